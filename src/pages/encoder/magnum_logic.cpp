#include "pages/encoder/magnum_logic.h"

#include <algorithm>
#include <cstdio>

#include "pages/encoder/channel_record_fields.h"

namespace nms {
namespace {

using namespace channel_fields;

constexpr MagnumVariant kVariants[] = {{0, 4}, {81, 8}};
constexpr size_t kBlockByte = 2;
constexpr size_t kBlockAt = 3;
constexpr int kDisabledByte = 3;
constexpr int kVolumeByte = 130;
constexpr int kRescalerOffByte = 250;
constexpr int kPictureByte = 256;
constexpr int kMinVideoBitrate = 100;
constexpr int kMaxVolume = 100;
// Bytes a channel pair shares: written into both records, shown from the even one.
constexpr int kPairBytes[] = {0, 1, kDisabledByte, 37, 128, kRescalerOffByte, 251, 252, 253, 254};

bool IsPairByte(int at) {
    return std::find(std::begin(kPairBytes), std::end(kPairBytes), at) != std::end(kPairBytes);
}

// The video bitrate in kbit/s: a rate below 100 is taken as 100.
FieldResult ParseVideoBitrate(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    const std::string& t = input.text;
    if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos) {
        r.ok = false;
        r.message = IntegerRangeMessage(0, 999999999);
        return r;
    }
    r.value = std::max<int64_t>(std::stoll(t), kMinVideoBitrate);
    return r;
}

}  // namespace

const MagnumVariant& MagnumVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& MagnumTable() {
    static const FieldTable table = [] {
        const std::vector<std::string> aspects = {"4*3", "16*9", "1*1", "2.35*1"};
        FieldTable t;
        t.push_back(List("pixel", "Pixel:", 0, {"720*480", "720*576"}));
        t.push_back(List("framerate", "FrameRate:", 1, {"25      fps", "29.97 fps", "30      fps"}));
        t.push_back(List("format", "Format:", 2, {"Interlaced", "Progressive", "progressive segmented"}));
        t.push_back(Hex16("videoPid", "PID: 0x", 35));
        t.push_back(List("vtype", "Type:", 37, {"H.264", "MPEG-2"}));
        t.push_back(List("aspect", "AspectRatio:", 39, aspects));
        t.push_back(List("profile", "Profile:", 42, {"Baseline Profile", "Main Profile", "High Profile"}));
        t.push_back(List("level", "Level:", 43,
                         {"Automatic", "Level 1.0", "Level 1.1", "Level 1.2", "Level 1.3", "Level 2.0",
                          "Level 2.1", "Level 2.2", "Level 3.0", "Level 3.1", "Level 3.2", "Level 4.0",
                          "Level 4.1", "Level 4.2", "Level 5.0", "Level 5.1"}));
        t.push_back(List("rate", "RateControl:", 44, {"CBR", "Capped VBR", "Target VBR"}));
        FieldDef bitrate = Decimal("vbitrate", "Bitrate:", 45, Wire::kU32LE);
        bitrate.parse = ParseVideoBitrate;
        t.push_back(bitrate);
        t.push_back(Flag("it", "IT Detection", 49));
        t.push_back(List("sample", "SampleRate:", 113, {"32KHz", "44.1KHz", "48KHz"}));
        t.push_back(Hex16("audioPid", "PID: 0x", 126));
        t.push_back(List("atype", "Type:", 128, {"None", "MPEG-1 Layer II", "HE-AAC"}));
        t.push_back(List("abitrate", "Bitrate:", 131,
                         {"32Kbps", "48Kbps", "56Kbps", "64Kbps", "80Kbps", "96Kbps", "112Kbps", "128Kbps",
                          "160Kbps", "192Kbps", "224Kbps", "256Kbps", "320Kbps", "384Kbps", "448Kbps",
                          "512Kbps", "576Kbps", "640Kbps"}));
        t.push_back(Decimal("service", "Service ID:", 163, Wire::kU16LE));
        t.push_back(Hex16("pmt", "PMT PID: 0x", 165));
        t.push_back(Hex16("pcr", "PCR PID: 0x", 167));
        t.push_back(Name("name", "Program Name:", 170));
        t.push_back(Name("provider", "Provider Name:", 202));
        t.push_back(List("raspect", "AspectRatio:", 251, aspects));
        t.push_back(List("rpixel", "Pixel", 252,
                         {"416*240", "352*288", "320*240", "320*180", "192*192", "160*120", "160*90",
                          "352*240", "176*144"}));
        t.push_back(List("rframerate", "FrameRate:", 253,
                         {"23.97 fps", "24,25 fps", "29.9   fps", "30      fps", "50      fps", "59.94 fps",
                          "60      fps", "14.985 fps", "15      fps", "9.99   fps", "10      fps",
                          "4.995 fps", "5        fps", "2.997 fps", "3        fps"}));
        t.push_back(List("rformat", "Format:", 254, {"Interlaced", "Progressive"}));
        FieldDef contrast = Decimal("contrast", "Contrast(0~255):", 257);
        t.push_back(contrast);
        FieldDef brightness = Decimal("brightness", "Brightness(-127~127):", 258, Wire::kU8, true);
        brightness.min = -127;
        brightness.max = 127;
        t.push_back(brightness);
        FieldDef hue = Decimal("hue", "Hue(-90~90):", 259, Wire::kU8, true);
        hue.min = -90;
        hue.max = 90;
        t.push_back(hue);
        t.push_back(List("monitor", "Monitor:", 260, {"ON", "OFF"}));
        return t;
    }();
    return table;
}

MagnumLogic::MagnumLogic(int pageParam) : m_variant(MagnumVariantOf(pageParam)) {
    for (ParamBlock& r : m_records)
        r = ParamBlock(kMagnumRecordSize);
}

ParamBlock MagnumLogic::View() const {
    ParamBlock view = m_records[size_t(m_channel)];
    const ParamBlock& even = m_records[size_t(m_channel & ~1)];
    for (int at : kPairBytes)
        view.Bytes()[size_t(at)] = even.Bytes()[size_t(at)];
    return view;
}

MagnumChecks MagnumLogic::Checks() const {
    const ParamBlock view = View();
    const std::vector<uint8_t>& b = view.Bytes();
    MagnumChecks c;
    c.enable = b[kDisabledByte] == 0;
    c.rescaler = b[kRescalerOffByte] == 0;
    c.volume = b[kVolumeByte] != 0;
    c.volumeText = std::to_string(c.volume ? b[kVolumeByte] - 1 : 0);
    return c;
}

bool MagnumLogic::PictureAdjustment() const {
    return m_records[size_t(m_channel)].Bytes()[kPictureByte] == 1;
}

std::string MagnumLogic::RescalerCaption(int pair) {
    char text[32];
    std::snprintf(text, sizeof text, "%s-%d", "Rescaler", 2 * pair);
    return text;
}

int MagnumLogic::FrameRateForPixel(int pixel, int frameRate) {
    if (pixel == 1)
        return 0;
    if (pixel == 0 && frameRate != 1 && frameRate != 2)
        return 2;
    return frameRate;
}

bool MagnumLogic::Store(const std::vector<std::optional<FieldInput>>& inputs, const MagnumChecks& checks,
                        PageStep* refused) {
    m_failedField = -1;
    const ParamBlock shown = View();
    ParamBlock view = shown;
    const CollectResult r = CollectFields(MagnumTable(), inputs, view);
    if (!r.ok) {
        m_failedField = r.field;
        *refused = PageStep::Message(r.message);
        return false;
    }
    const MagnumChecks before = Checks();
    std::vector<uint8_t>& b = view.Bytes();
    if (checks.enable != before.enable)
        b[kDisabledByte] = checks.enable ? 0 : 1;
    if (checks.rescaler != before.rescaler)
        b[kRescalerOffByte] = checks.rescaler ? 0 : 1;
    if (checks.volume != before.volume || checks.volumeText != before.volumeText) {
        int volume = 0;
        if (checks.volume) {
            const std::string& t = checks.volumeText;
            if (t.empty() || t.size() > 9 || t.find_first_not_of("0123456789") != std::string::npos) {
                *refused = PageStep::Message("Please enter an integer.");
                return false;
            }
            volume = std::min(std::stoi(t), kMaxVolume) + 1;
        }
        b[kVolumeByte] = uint8_t(volume);
    }
    // A pair byte the form changed goes into both channels of the pair; the others to this channel.
    for (int at = 0; at < kMagnumRecordSize; ++at) {
        if (!IsPairByte(at)) {
            m_records[size_t(m_channel)].Bytes()[size_t(at)] = b[size_t(at)];
        } else if (b[size_t(at)] != shown.Bytes()[size_t(at)]) {
            m_records[size_t(m_channel & ~1)].Bytes()[size_t(at)] = b[size_t(at)];
            m_records[size_t(m_channel | 1)].Bytes()[size_t(at)] = b[size_t(at)];
        }
    }
    return true;
}

std::vector<uint8_t> MagnumLogic::BlockBytes(int block) const {
    std::vector<uint8_t> out = m_records[size_t(2 * block)].Bytes();
    const std::vector<uint8_t>& odd = m_records[size_t(2 * block + 1)].Bytes();
    out.insert(out.end(), odd.begin(), odd.end());
    return out;
}

PageStep MagnumLogic::Get(int pair) {
    if (pair < 0 || pair >= Blocks())
        return PageStep::Message("Please select Channel !");
    m_script.Stop();
    m_await.Expect(kCmdMagnumGet);
    m_expected = pair;
    return PageStep::Request(kCmdMagnumGet, {0, 0, uint8_t(pair), 0}, PageStep::Wait::kBeginShort);
}

PageStep MagnumLogic::Set(const std::vector<std::optional<FieldInput>>& inputs, const MagnumChecks& checks) {
    PageStep refused;
    if (!Store(inputs, checks, &refused))
        return refused;
    m_script.Stop();
    m_await.Expect(kCmdMagnumSet);
    m_expected = 0;
    std::vector<uint8_t> payload = {0, 0, 0};
    const std::vector<uint8_t> block = BlockBytes(0);
    payload.insert(payload.end(), block.begin(), block.end());
    return PageStep::Request(kCmdMagnumSet, std::move(payload), PageStep::Wait::kBeginShort);
}

PageStep MagnumLogic::Reset(int pair, const std::vector<std::optional<FieldInput>>& inputs,
                            const MagnumChecks& checks) {
    PageStep refused;
    if (!Store(inputs, checks, &refused))
        return refused;
    m_script.Stop();
    m_await.Expect(kCmdMagnumReset);
    std::vector<uint8_t> payload = {0, 0, uint8_t(std::max(pair, 0)), 0};
    const std::vector<uint8_t> block = BlockBytes(0);
    payload.insert(payload.end(), block.begin(), block.end());
    return PageStep::Request(kCmdMagnumReset, std::move(payload), PageStep::Wait::kBeginShort);
}

bool MagnumLogic::SelectChannel(int channel, const std::vector<std::optional<FieldInput>>& inputs,
                                const MagnumChecks& checks, PageStep* step) {
    if (channel < 0 || channel >= m_variant.channels || channel == m_channel)
        return false;
    if (!Store(inputs, checks, step))
        return false;
    m_channel = channel;
    return true;
}

PageStep MagnumLogic::ReadScript(int pair) {
    if (pair < 0 || pair >= Blocks())
        return PageStep::Message("Please select Channel !");
    m_await.Expect(kCmdScriptRead);
    return m_script.Read(pair, PageStep::Wait::kBeginShort);
}

PageStep MagnumLogic::WriteScript(const std::string& text) {
    std::string message;
    if (!m_script.SetText(text, &message))
        return PageStep::Message(message);
    m_await.Expect(kCmdScriptWrite);
    return m_script.Write(m_script.Pair(), PageStep::Wait::kBeginShort);
}

void MagnumLogic::WaitEnded() {
    // The script exchange stays where it was: a late packet of it is still taken.
    m_await.Ended();
}

void MagnumLogic::Refused() {
    m_await.Clear();
    m_script.Stop();
}

std::optional<PageStep> MagnumLogic::HandleLate(const ReplyView& reply) {
    if (!m_await.TakeLate(reply))
        return std::nullopt;
    PageStep step = LateStep(HandleReply(reply));
    // A chain that stopped here still shows what it read: the form would otherwise write old values over it.
    if (reply.Command() == kCmdMagnumGet)
        step.refresh |= PageStep::kRefreshAll;
    m_await.Clear();
    m_script.Stop();
    return step;
}

PageStep MagnumLogic::HandleReply(const ReplyView& reply) {
    if (!m_await.InTime(reply))
        return {};
    switch (reply.Command()) {
        case kCmdMagnumGet:
            return HandleGet(reply);
        case kCmdMagnumSet:
            return HandleSet(reply);
        case kCmdMagnumReset:
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdScriptRead: {
            bool done = false;
            PageStep step = m_script.OnReadReply(reply, &done);
            if (!done)
                return step;
            m_await.Clear();
            return PageStep::End(kRefreshScript);
        }
        case kCmdScriptWrite: {
            bool done = false;
            PageStep step = m_script.OnWriteReply(&done);
            if (!done)
                return step;
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        }
        default:
            return {};
    }
}

PageStep MagnumLogic::HandleGet(const ReplyView& reply) {
    uint8_t block = 0;
    if (!reply.U8(kBlockByte, &block) || !reply.Has(int(kBlockAt), kMagnumBlockSize))
        return {};  // too short: the wait runs on
    if (block >= Blocks()) {
        m_await.Clear();  // no record holds that block
        return PageStep::End();
    }
    if (block != m_expected)
        return {};
    const ByteReader r = reply.Reader();
    for (int k = 0; k < 2; ++k)
        m_records[size_t(2 * block + k)].Load(
            r.Sub(kBlockAt + size_t(k * kMagnumRecordSize), kMagnumRecordSize));
    if (block + 1 < Blocks()) {
        m_expected = block + 1;
        PageStep step =
            PageStep::Request(kCmdMagnumGet, {0, 0, uint8_t(block + 1), 0}, PageStep::Wait::kNone);
        step.checkOnline = false;
        return step;
    }
    m_await.Clear();
    PageStep step = PageStep::End();
    step.sendVersion = true;
    return step;
}

PageStep MagnumLogic::HandleSet(const ReplyView& reply) {
    uint8_t block = 0;
    if (!reply.U8(kBlockByte, &block) || block != m_expected)
        return {};
    if (block + 1 < Blocks()) {
        m_expected = block + 1;
        std::vector<uint8_t> payload = {0, 0, uint8_t(block + 1)};
        const std::vector<uint8_t> bytes = BlockBytes(block + 1);
        payload.insert(payload.end(), bytes.begin(), bytes.end());
        PageStep step = PageStep::Request(kCmdMagnumSet, std::move(payload), PageStep::Wait::kNone);
        step.checkOnline = false;
        return step;
    }
    // The wait ends with the last block written, not the first.
    m_await.Clear();
    return PageStep::End(PageStep::kRefreshNone);
}

}  // namespace nms
