#include "pages/encoder/encoder_system_logic.h"

#include <cstdio>

namespace nms {
namespace {

constexpr const char* kValidationCaption = "Warning";
constexpr uint8_t kGet = 0x64, kSet = 0x65, kIdentityGet = 0x33, kIdentitySet = 0x34, kStatus = 0x40;

constexpr EncoderSystemVariant kVariants[] = {
    {0, false},
    {2, true},
};

const char* const kVideoPidMessage = "Video PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd";
const char* const kPcrPidMessage = "PCR PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd";

std::string IdMessage(const char* what) {
    char text[96];
    std::snprintf(text, sizeof text, what, "should be 0-9,a-f or A-F!");
    return text;
}

// The audio PID is the one whose value is limited; its message has always named the video PID.
void AddPids(FieldTable& t, int pmt, int video, int audio, int pcr) {
    t.push_back(PidField("audioPid", "Audio PID:0X", audio, PidRangeMessage("Video PID:0X"), kMaxPid));
    t.push_back(PidField("videoPid", "Video PID:0X", video, kVideoPidMessage));
    t.push_back(PidField("pcrPid", "PCR PID:0X", pcr, kPcrPidMessage));
    t.push_back(PidField("pmtPid", "PMT PID:0X", pmt, kPmtPidMessage));
}

}  // namespace

const char* const kPmtPidMessage = "PMT PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd";

const FieldTable& EncoderSystemTable() {
    static const FieldTable table = [] {
        FieldTable t;
        // The form's own range checks come first, then the page's checks in the order it has always made
        // them.
        t.push_back(NumberField("bitrate", "Total Bitrate:", 0, Wire::kU16LE, 200, 15000));
        t.push_back(NumberField("program", "Program NO.:", 2, Wire::kU16LE, 0, 65535));
        t.push_back(NumberField("port", "IP Insert:", kEncoderIdentityAt + 4, Wire::kU16LE, 0, 65535));
        AddPids(t, 4, 6, 8, 10);
        FieldDef mode = ListFieldOf("mode", "", 12, {{"CBR", 0}, {"VBR", 1}}, Wire::kU8, Control::kRadio);
        mode.nonZeroIsOn = true;
        t.push_back(mode);
        t.push_back(FlagField("sdt", "Insert SDT description", 13));
        t.push_back(NameField("provider", "Provider Name:", 14, 32));
        t.push_back(NameField("name", "Program Name:", 46, 32));
        t.push_back(PidField("tsId", "TS ID:0X", kEncoderIdentityAt, IdMessage("TS ID %s")));
        t.push_back(
            PidField("netId", "NET. ID:0X", kEncoderIdentityAt + 2, IdMessage("Original Network ID %s")));
        return t;
    }();
    return table;
}

const FieldTable& HdSystemTable() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(NumberField("bitrate", "Total Bitrate:", 0, Wire::kU16LE, 200, 20000));
        t.push_back(NumberField("program", "Program NO.:", 67, Wire::kU16LE, 0, 65535));
        t.push_back(NumberField("port", "IP Insert:", 81, Wire::kU16LE, 0, 65535));
        AddPids(t, 69, 71, 73, 75);
        t.push_back(FlagField("sdt", "Insert SDT description", 2));
        t.push_back(NameField("provider", "Provider Name:", 3, 32));
        t.push_back(NameField("name", "Program Name:", 35, 32));
        t.push_back(PidField("tsId", "TS ID:0X", 77, IdMessage("TS ID %s")));
        t.push_back(PidField("netId", "NET. ID:0X", 79, IdMessage("Original Network ID %s")));
        return t;
    }();
    return table;
}

const EncoderSystemVariant& EncoderSystemVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

std::string CheckPmtPidText(const std::string& text) {
    const std::optional<uint64_t> value = HexValue(text);
    if (!value)
        return kPmtPidMessage;
    if (*value < 16 || *value > uint64_t(kMaxPid)) {
        char message[64];
        std::snprintf(message, sizeof message, "%#X <= PID <= %#X", 16u, unsigned(kMaxPid));
        return message;
    }
    return {};
}

EncoderSystemLogic::EncoderSystemLogic(int pageParam, bool hd)
    : m_hd(hd),
      m_channels(!hd && EncoderSystemVariantOf(pageParam).channels),
      m_block(size_t(hd ? kHdSystemWireSize : kEncoderSystemImageSize)) {}

std::vector<uint8_t> EncoderSystemLogic::ChannelPrefix(std::optional<int> channel) const {
    if (m_channels && channel && *channel >= 0 && *channel < 4)
        return {uint8_t(*channel + 1)};
    return {};
}

PageStep EncoderSystemLogic::Get(std::optional<int> channel) {
    if (Identity())
        m_range.Restart();
    return Request(kGet, ChannelPrefix(channel));
}

PageStep EncoderSystemLogic::Set(const FormInputs& inputs, std::optional<int> channel) {
    // Checked on a copy: a refused Set leaves the block as read.
    ParamBlock edited = m_block;
    PageStep refused;
    if (!Collect(Table(), inputs, edited, &refused)) {
        if (!m_hd)
            refused.caption = kValidationCaption;
        return refused;
    }
    m_block = edited;
    std::vector<uint8_t> payload = ChannelPrefix(channel);
    const auto& bytes = m_block.Bytes();
    const int size = m_hd ? kHdSystemWireSize : kEncoderSystemWireSize;
    payload.insert(payload.end(), bytes.begin(), bytes.begin() + size);
    return Request(kSet, std::move(payload));
}

PageStep EncoderSystemLogic::Poll() const {
    return Identity() ? PageStep::Poll(kStatus) : PageStep{};
}

PageStep EncoderSystemLogic::Status(const ReplyView& reply) {
    uint32_t raw = 0;
    if (reply.U32LE(8, &raw)) {
        m_bitrate = int32_t(raw);
        m_range.Add(*m_bitrate);
    }
    uint8_t bits = 0;
    if (reply.U8(12, &bits))
        m_alarm = (bits & 1) != 0;
    PageStep step;
    step.refresh = kRefreshStatus;
    return step;
}

PageStep EncoderSystemLogic::HandleReply(const ReplyView& reply) {
    if (reply.Command() == kStatus)
        return Identity() ? Status(reply) : PageStep{};
    if (!Awaits(reply))
        return {};
    switch (reply.Command()) {
        case kGet: {
            const int at = m_channels ? 1 : 0;
            const int need = m_hd ? kHdSystemBlockSize : kEncoderSystemBlockSize;
            if (!reply.Has(at, need))
                return {};
            const int size = m_hd ? kHdSystemWireSize : kEncoderSystemWireSize;
            m_block.Load(reply.Reader().Sub(size_t(at), size_t(size)));
            if (!Identity())
                break;
            PageStep step = Request(kIdentityGet, {});
            step.refresh = PageStep::kRefreshAll;
            return step;
        }
        case kIdentityGet:
            if (!reply.Has(0, kEncoderIdentityFieldsSize))
                return {};
            m_block.Load(reply.Reader().Sub(0, kEncoderIdentitySize), kEncoderIdentityAt);
            break;
        case kSet:
            if (Identity()) {
                // The device takes the three identity fields; the rest of its block goes as zeros.
                std::vector<uint8_t> identity(kEncoderIdentitySize, 0);
                const auto& bytes = m_block.Bytes();
                std::copy_n(bytes.begin() + kEncoderIdentityAt, kEncoderIdentityFieldsSize, identity.begin());
                return Request(kIdentitySet, std::move(identity));
            }
            break;
        default:
            break;
    }
    m_awaited = -1;
    return PageStep::End();
}

}  // namespace nms
