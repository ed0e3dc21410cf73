#include "pages/ird/cam_ird_program_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr int kStreamOffset = 78;
constexpr int kStreamSize = 48;
constexpr int kMaxStreams = 32;
constexpr int kStreamCaMax = (kStreamSize - 6) / 4;  // entries that fit a stream
constexpr int kProgramCaCount = 1614;
constexpr int kProgramCaOffset = 1615;
constexpr int kProgramCaMax = (1833 - kProgramCaOffset) / 4;  // entries before the colour byte
constexpr int kCatMax = 255;

std::string Printf(const char* format, const char* text, int number = 0) {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, format, text, number);
    return buffer;
}

}  // namespace

std::string CamIrdProgram::Name() const {
    return ByteReader(bytes).Text(1, 64);
}
uint16_t CamIrdProgram::ServiceId() const {
    return ByteReader(bytes).U16LEOr(67);
}
uint16_t CamIrdProgram::PmtPid() const {
    return ByteReader(bytes).U16LEOr(71);
}
uint16_t CamIrdProgram::PcrPid() const {
    return ByteReader(bytes).U16LEOr(73);
}
int CamIrdProgram::StreamCount() const {
    return std::min<int>(bytes[77], kMaxStreams);
}
uint8_t CamIrdProgram::StreamType(int stream) const {
    return bytes[size_t(kStreamOffset + kStreamSize * stream)];
}
uint16_t CamIrdProgram::StreamPid(int stream) const {
    return ByteReader(bytes).U16LEOr(size_t(kStreamOffset + kStreamSize * stream + 1));
}
std::vector<CaEntry> CamIrdProgram::StreamCa(int stream) const {
    const ByteReader s = ByteReader(bytes).Sub(size_t(kStreamOffset + kStreamSize * stream), kStreamSize);
    std::vector<CaEntry> out;
    const int n = std::min<int>(s.U8Or(5), kStreamCaMax);
    for (int j = 0; j < n; ++j)
        out.push_back({s.U16LEOr(size_t(6 + 4 * j)), s.U16LEOr(size_t(8 + 4 * j))});
    return out;
}
std::vector<CaEntry> CamIrdProgram::ProgramCa() const {
    const ByteReader r(bytes);
    std::vector<CaEntry> out;
    const int n = std::min<int>(r.U8Or(kProgramCaCount), kProgramCaMax);
    for (int j = 0; j < n; ++j)
        out.push_back(
            {r.U16LEOr(size_t(kProgramCaOffset + 4 * j)), r.U16LEOr(size_t(kProgramCaOffset + 2 + 4 * j))});
    return out;
}
bool CamIrdProgram::HasCa() const {
    if (!ProgramCa().empty())
        return true;
    for (int s = 0; s < StreamCount(); ++s)
        if (!StreamCa(s).empty())
            return true;
    return false;
}

const char* CamOperationText(uint8_t operation) {
    switch (operation) {
        case 1:
            return "CI-1";
        case 2:
            return "CI-2";
        case 3:
            return "Delete";
        default:
            return "Bypass";
    }
}

std::string CamIrdStreamLabel(uint8_t type) {
    const char* format = "Unknow(%02X)";
    switch (type) {
        case 0x01:
            format = "MPEG1 VIDEO(%02X)";
            break;
        case 0x02:
            format = "MPEG2 VIDEO(%02X)";
            break;
        case 0x03:
            format = "MPEG1 AUDIO(%02X)";
            break;
        case 0x04:
            format = "MPEG2 AUDIO(%02X)";
            break;
        case 0x05:
            format = "Private Section(%02X)";
            break;
        case 0x0f:
            format = "AAC AUDIO(%02X)";
            break;
        case 0x1b:
            format = "H.264 VIDEO(%02X)";
            break;
    }
    char text[48];
    std::snprintf(text, sizeof text, format, type);
    return text;
}

std::string CamIrdSourceName(int index) {
    static const char* const kNames[] = {"DVB-ASI", "DVB-S/S2", "DVB-C", "TS IP", "DVB-T/T2"};
    return index >= 0 && index < kCamIrdSources ? kNames[index] : "UNKNOW";
}

static std::string Hex4Text(const FieldDef&, int64_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", unsigned(value));
    return text;
}

const FieldTable& CamOutputConfigTable() {
    static const FieldTable table = [] {
        FieldTable t(4);
        t[0].key = "bitrate";
        t[0].label = "Total Bitrate:";
        t[0].offset = 6;
        t[0].wire = Wire::kU32LE;
        t[0].codec = Codec::kKbpsAsMbps;
        t[0].message = "Please enter the bitrate in Mbit/s, for example 38.000.";
        t[1].key = "tsId";
        t[1].label = "TS ID:0X";
        t[1].offset = 0;
        t[1].wire = Wire::kU16LE;
        t[1].codec = Codec::kHexUpper;
        t[1].message = "Not HEX(0~9,A,B,C,D)";
        t[1].format = Hex4Text;
        t[2].key = "netId";
        t[2].label = "NET. ID:0X";
        t[2].offset = 2;
        t[2].wire = Wire::kU16LE;
        t[2].codec = Codec::kHexUpper;
        t[2].message = "Not HEX(0~9,A,B,C,D)";
        t[2].format = Hex4Text;
        t[3].key = "ipInsert";
        t[3].label = "IP Insert:";
        t[3].offset = 4;
        t[3].wire = Wire::kU16LE;
        return t;
    }();
    return table;
}

CamIrdProgramLogic::CamIrdProgramLogic() : m_programs(kCamIrdPrograms), m_config(kCamOutputConfigSize) {}

PageStep CamIrdProgramLogic::Ask(uint8_t command, std::vector<uint8_t> payload, PageStep::Wait wait) {
    m_await.Expect(command);
    return PageStep::Request(command, std::move(payload), wait);
}

PageStep CamIrdProgramLogic::Parse(int source) {
    if (source < 0 || source >= kCamIrdSources)
        return {};
    m_source = source;
    return Ask(kCmdCamIrdParse, {uint8_t(source + 1), 1, 0}, PageStep::Wait::kBeginLong);
}

PageStep CamIrdProgramLogic::Refresh(int source) {
    if (source >= 0 && source < kCamIrdSources)
        m_source = source;
    return Ask(kCmdCamIrdCat, {uint8_t(m_source + 1)}, PageStep::Wait::kBegin);
}

PageStep CamIrdProgramLogic::SelectSource(int source) {
    if (source < 0 || source >= kCamIrdSources)
        return {};
    return Ask(kCmdCamIrdSource, {uint8_t(source + 1), 1, 0}, PageStep::Wait::kBegin);
}

PageStep CamIrdProgramLogic::SendSelection(const std::vector<std::optional<FieldInput>>& config) {
    m_failedField = -1;
    const CollectResult result = CollectFields(CamOutputConfigTable(), config, m_config);
    if (!result.ok) {
        m_failedField = result.field;
        return PageStep::Message(result.message);
    }
    std::vector<uint8_t> payload = {1, uint8_t(m_count)};
    for (int i = 0; i < m_count; ++i)
        payload.push_back(m_programs[size_t(i)].bytes[0]);
    payload.insert(payload.end(), m_config.Bytes().begin(), m_config.Bytes().end());
    return Ask(kCmdCamIrdSelection, std::move(payload), PageStep::Wait::kBegin);
}

PageStep CamIrdProgramLogic::SetServiceId(int row, const std::string& text) {
    if (row < 0 || row >= m_count)
        return PageStep::Message("Not select index");
    uint16_t value = 0;
    // The whole text is checked: "12345" does not fit a service id.
    if (text.size() > 4 || !ParseHexUShort(text, &value))
        return PageStep::Message("Not HEX(0~9,A,B,C,D)");
    CamIrdProgram& p = m_programs[size_t(row)];
    ByteWriter(p.bytes).U16LE(67, value);
    std::vector<uint8_t> payload = {1, uint8_t(row + 1)};
    payload.insert(payload.end(), p.bytes.begin(), p.bytes.end());
    PageStep step = Ask(kCmdCamIrdWriteProgram, std::move(payload), PageStep::Wait::kBegin);
    step.refresh = kRefreshPrograms;
    return step;
}

void CamIrdProgramLogic::SetOperation(int row, uint8_t operation) {
    if (row >= 0 && row < m_count && operation <= 3)
        m_programs[size_t(row)].bytes[0] = operation;
}

PageStep CamIrdProgramLogic::Finish() {
    m_next = m_expected = 1;
    m_await.Clear();
    PageStep step = PageStep::End(kRefreshPrograms | kRefreshSource);
    step.sendVersion = true;
    return step;
}

PageStep CamIrdProgramLogic::HandleReply(const ReplyView& reply) {
    if (m_await.InTime(reply))
        return Handle(reply);
    if (!m_await.TakeLate(reply))
        return {};
    switch (reply.Command()) {
        case kCmdCamIrdParse:
        case kCmdCamIrdCat:
        case kCmdCamIrdConfig:
        case kCmdCamIrdProgram:
            // The reading chain goes on after its time-out: its next requests wait for nothing.
            return Handle(reply);
        default: {
            const PageStep step = LateStep(Handle(reply));
            m_await.Clear();
            return step;
        }
    }
}

PageStep CamIrdProgramLogic::Handle(const ReplyView& reply) {
    const int command = reply.Command();
    const ByteReader r = reply.Reader();
    switch (command) {
        case kCmdCamIrdParse: {
            uint8_t source = 0, count = 0;
            if (!r.U8(0, &source) || !r.U8(1, &count))
                return {};
            if (count != 0 && count != 0xff)
                return Ask(kCmdCamIrdCat, {source}, PageStep::Wait::kNone);
            m_await.Clear();
            const std::string name = CamIrdSourceName(m_source);
            std::string message;
            if (count == 0xff)
                message = Printf("No this source2(%s),please choose other source:%d", name.c_str(), m_source);
            else
                message = Printf("Source %s no input.", name.c_str());
            return PageStep::End(PageStep::kRefreshNone).WithMessage(message);
        }
        case kCmdCamIrdCat: {
            uint8_t source = 0, n = 0;
            if (!r.U8(0, &source) || !r.U8(1, &n))
                return {};
            m_cat.clear();
            for (int i = 0; i < n && i < kCatMax; ++i) {
                uint16_t id = 0, pid = 0;
                if (!r.U16LE(size_t(2 + 4 * i), &id) || !r.U16LE(size_t(4 + 4 * i), &pid))
                    break;
                m_cat.push_back({id, pid});
            }
            PageStep step = Ask(kCmdCamIrdConfig, {source}, PageStep::Wait::kNone);
            step.refresh = kRefreshCat;
            return step;
        }
        case kCmdCamIrdConfig: {
            if (r.Has(0, kCamOutputConfigSize))
                m_config.Load(r);
            m_next = m_expected = 1;
            m_count = 0;
            for (CamIrdProgram& p : m_programs)
                std::fill(p.bytes.begin(), p.bytes.end(), 0);
            m_cat.clear();  // the list keeps its rows
            m_lastProgram.clear();
            return Ask(kCmdCamIrdProgram, {uint8_t(m_source + 1), 1, 0}, PageStep::Wait::kNone);
        }
        case kCmdCamIrdProgram: {
            // A second copy of the reply just taken (a device or network that sends it twice) moves
            // nothing; any other program reply moves the read on by one, whichever program it carries.
            std::vector<uint8_t> key = {reply.B(), reply.C()};
            key.insert(key.end(), reply.Payload(), reply.Payload() + reply.PayloadLength());
            if (key == m_lastProgram)
                return {};
            m_lastProgram = std::move(key);
            uint8_t source = uint8_t(m_source + 1), number = 0, count = 0;
            ++m_next;
            if (r.U8(0, &source) && r.U8(1, &number) && r.U8(2, &count)) {
                const int index = source - 1;
                // Every program the device counts is asked for; the table holds programs 1..128.
                m_expected = count;
                if (index >= 0 && index < kCamIrdSources) {
                    m_source = index;
                    if (r.Has(3, kCamIrdProgramSize) && number >= 1 && number <= kCamIrdPrograms) {
                        m_count = std::min<int>(count, kCamIrdPrograms);
                        r.Bytes(3, kCamIrdProgramSize, m_programs[size_t(number - 1)].bytes.data());
                    }
                }
            }
            if (m_next <= m_expected)
                return Ask(kCmdCamIrdProgram, {source, uint8_t(m_next), 0}, PageStep::Wait::kNone);
            return Finish();
        }
        case kCmdCamIrdSelection:
        case kCmdCamIrdWriteProgram:
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdCamIrdSource: {
            uint8_t result = 1;
            r.U8(1, &result);
            m_await.Clear();
            // An accepted source stays chosen in the list; only a refusal sets the list back to the source
            // the page reads.
            if (result != 0)
                return PageStep::End(PageStep::kRefreshNone);
            PageStep step = PageStep::End(kRefreshSource);
            step.messages.push_back(m_source < kCamIrdSources
                                        ? Printf("No this source:%s", CamIrdSourceName(m_source).c_str())
                                        : Printf("Source:%s", "UNKNOW"));
            return step;
        }
        default:
            return {};
    }
}

}  // namespace nms
