#include "pages/encoder/encoder8_logic.h"

#include <algorithm>
#include <cstdio>

#include "pages/encoder/channel_record_fields.h"

namespace nms {
namespace {

using namespace channel_fields;

constexpr Encoder8Variant kVariants[] = {
    {82, false, true},
    {84, false, false},
    {87, true, false},
    {88, true, false},
};
constexpr int kWidePageParam = 88;
constexpr int kNarrowLastFirst = 6;  // the narrow chain asks for pairs 0, 2, 4 and 6
constexpr int kMaxFirstChannel = kEncoder8Records - 2;
constexpr int kWideCountByte = 0;
constexpr int kWideFirstByte = 8;
constexpr int kNarrowFirstByte = 2;
constexpr int kWideAudioTypeAlways = 41;
constexpr int kWideScramblerByte = 126;

FieldTable NarrowTable(bool shortAudio) {
    FieldTable t;
    t.push_back(Decimal("program", "Program NO.:", 0, Wire::kU16LE));
    t.push_back(Hex16("pmt", "PMT PID:", 2));
    t.push_back(Hex16("videoPid", "Video PID:", 4));
    t.push_back(Hex16("pcr", "PCR PID:", 6));
    t.push_back(Flag("enable", "Enable", 8));
    t.push_back(List("standard", "Video Standard:", 9, {"AUTO", "720*480(NTSC)", "720*576(PAL)"}));
    t.push_back(List("gop", "GOP:", 10, {"I", "IP", "IBP", "IBBP"}));
    t.push_back(Decimal("brightness", "Brightness:", 11));
    t.push_back(Decimal("contrast", "Contrast:", 12));
    t.push_back(Decimal("saturation", "Saturation:", 13));
    t.push_back(Decimal("hue", "Hue:", 14, Wire::kU8, true));
    t.push_back(
        List("compress", "Compress:", 19, {"D1", "3/4D1", "2/3D1", "HD1", "SIF", "QSIF", "Slice screen"}));
    t.push_back(Decimal("vbitrate", "BitRate:", 20, Wire::kU16LE));
    t.push_back(List("rate", "RateControl:", 22, {"CBR", "VBR"}));
    t.push_back(Hex16("audioPid", "Audio PID:", 23));
    t.push_back(List("atype", "Audio Type:", 25, {"MPEG-1 Layer 1", "MPEG-1 Layer 2"}));
    t.push_back(List("sample", "SampleRate:", 26, {"32KHz", "44.1KHz", "48KHz"}));
    if (shortAudio)
        t.push_back(List("abitrate", "BitRate:", 27,
                         {"32Kbps", "64Kbps", "96Kbps", "128Kbps", "160Kbps", "192Kbps", "224Kbps", "256Kbps",
                          "320Kbps", "384Kbps"}));
    else
        t.push_back(List("abitrate", "BitRate:", 27,
                         {"32Kbps", "48Kbps", "56Kbps", "64Kbps", "80Kbps", "96Kbps", "112Kbps", "128Kbps",
                          "160Kbps", "192Kbps", "224Kbps", "256Kbps", "288Kbps", "320Kbps", "352Kbps",
                          "384Kbps", "416Kbps", "448Kbps"}));
    t.push_back(List("amode", "Audio Mode:", 28, {"Sterea", "Enhance Sterea", "Dual Track", "Single Track"}));
    t.push_back(Flag("sdt", "SDT Insert", 29));
    t.push_back(Name("provider", "Provider Name:", 30));
    t.push_back(Name("name", "Program Name:", 62));
    return t;
}

}  // namespace

const Encoder8Variant& Encoder8VariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& Encoder8NarrowTable() {
    static const FieldTable table = NarrowTable(false);
    return table;
}

const FieldTable& Encoder8NarrowShortAudioTable() {
    static const FieldTable table = NarrowTable(true);
    return table;
}

const FieldTable& Encoder8WideTable() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(Decimal("program", "Program NO.:", 0, Wire::kU16LE));
        t.push_back(Hex16("pmt", "PMT PID:", 2));
        t.push_back(Hex16("videoPid", "Video PID:", 4));
        t.push_back(Hex16("pcr", "PCR PID:", 6));
        t.push_back(Hex16("audioPid", "Audio PID:", 8));
        t.push_back(Flag("enable", "Enable", 10));
        t.push_back(List("pixel", "Pixel", 11, {"Auto", "720*480i", "720*576i"}));
        t.push_back(List("encoding", "Encoding Type", 12, {"MPEG-2", "MPEG-4"}));
        t.push_back(Decimal("vbitrate", "BitRate:", 13, Wire::kU16LE));
        t.push_back(List("rate", "RateControl:", 15, {"CBR", "VBR"}));
        t.push_back(List("frame", "FrameFormat:", 16, {"Interlaced", "Progressive"}));
        t.push_back(List("aspect", "Aspect:", 17, {"4:3", "16:9"}));
        t.push_back(ListData("profile", "H264 Profile:", 18, {{"High", 1}, {"Main", 2}}));
        t.push_back(ListData("level", "H264 Level:", 19,
                             {{"Level 3", 30},
                              {"Level 3.1", 31},
                              {"Level 3.2", 32},
                              {"Level 4", 40},
                              {"Level 4.1", 41},
                              {"Level 4.2", 42}}));
        t.push_back(Decimal("horizontal", "Output Horizontal:", 20, Wire::kU16LE));
        t.push_back(Decimal("vertical", "Output Vertical:", 22, Wire::kU16LE));
        t.push_back(ListData("gop", "GOP Struct:", 25, {{"IBBP", 0}, {"IPPP", 1}, {"IBP", 3}, {"I", 5}}));
        t.push_back(Decimal("idr", "IDR interval:", 26));
        t.push_back(List("framerate", "FrameRate", 28, {"25", "30", "29.97"}));
        t.push_back(List("atype", "Audio Type:", 42, {"MPEG-1"}));
        t.push_back(ListData("abitrate", "BitRate:", 43,
                             {{"64Kbps", 64},
                              {"96Kbps", 96},
                              {"112Kbps", 112},
                              {"128Kbps", 128},
                              {"160Kbps", 160},
                              {"192Kbps", 192},
                              {"224Kbps", 224},
                              {"256Kbps", 256},
                              {"320Kbps", 320},
                              {"384Kbps", 384}},
                             Wire::kU16LE));
        t.push_back(List("sample", "SampleRate:", 45, {"48KHz", "44.1KHz", "32KHz"}));
        t.push_back(Flag("sdt", "SDT Insert", 52));
        t.push_back(Name("provider", "Provider Name:", 53));
        t.push_back(Name("name", "Program Name:", 85));
        for (int k = 0; k < 4; ++k)
            t.push_back(
                Hex16("ecm" + std::to_string(k + 1), "ECM PID " + std::to_string(k + 1) + ":", 118 + 2 * k));
        t.push_back(Flag("scr1", "Scrambler 1", kWideScramblerByte, 0x01));
        t.push_back(Flag("scr2", "Scrambler 2", kWideScramblerByte, 0x02));
        return t;
    }();
    return table;
}

Encoder8Logic::Encoder8Logic(int pageParam, uint16_t deviceType)
    : m_variant(Encoder8VariantOf(pageParam)),
      m_pageParam(Encoder8VariantOf(pageParam).pageParam),
      m_deviceType(deviceType) {
    for (ParamBlock& b : m_narrow)
        b = ParamBlock(kEncoder8NarrowSize);
    for (ParamBlock& b : m_wide)
        b = ParamBlock(kEncoder8WideSize);
    m_tabs = m_variant.wide ? m_channelCount : 4;
}

const FieldTable& Encoder8Logic::Table() const {
    if (m_variant.wide)
        return Encoder8WideTable();
    return m_variant.shortAudioList ? Encoder8NarrowShortAudioTable() : Encoder8NarrowTable();
}

const ParamBlock& Encoder8Logic::Record(int channel) const {
    const size_t i = size_t(std::clamp(channel, 0, kEncoder8Records - 1));
    return m_variant.wide ? m_wide[i] : m_narrow[i];
}

ParamBlock& Encoder8Logic::MutableRecord(int channel) {
    const size_t i = size_t(std::clamp(channel, 0, kEncoder8Records - 1));
    return m_variant.wide ? m_wide[i] : m_narrow[i];
}

std::vector<std::pair<std::string, int>> Encoder8Logic::ComboFallbacks() const {
    if (m_variant.wide)
        return {{"profile", 1}, {"level", 1}, {"gop", 1}, {"abitrate", 5}};
    // A bitrate index past the list shows its last entry.
    const int i = FindField(Table(), "abitrate");
    return {{"abitrate", int(Table()[size_t(i)].choices.size()) - 1}};
}

bool Encoder8Logic::ScramblerUsed() const {
    return ScramblerChecksShown();
}

bool Encoder8Logic::ScramblerChecksShown() const {
    // Only the twelve-channel scrambling model has no scrambler settings on this page.
    return m_variant.wide && !(m_pageParam == kWidePageParam && m_channelCount == 12);
}

bool Encoder8Logic::EcmEditsShown() const {
    return ScramblerChecksShown() && !EightChannelScrambler();
}

bool Encoder8Logic::EightChannelScrambler() const {
    return m_variant.wide && m_pageParam == kWidePageParam && m_channelCount == 8;
}

std::string Encoder8Logic::InfoText() const {
    const ByteReader r = Block().Reader();
    char text[16];
    std::snprintf(text, sizeof text, "%d,%d", r.U8Or(27), r.U8Or(42));
    return text;
}

int Encoder8Logic::AudioModeFor(int bitrateIndex, int audioMode) {
    constexpr int kSingleTrack = 3;
    if (bitrateIndex == 0)
        return kSingleTrack;
    if ((bitrateIndex < 0 || bitrateIndex >= 6) && audioMode == kSingleTrack)
        return 0;
    return audioMode;
}

std::vector<uint8_t> Encoder8Logic::GetPayload(int first) const {
    if (!m_variant.wide)
        return {0, 0, uint8_t(first)};
    std::vector<uint8_t> p(9, 0);
    p[kWideFirstByte] = uint8_t(first);
    return p;
}

std::vector<uint8_t> Encoder8Logic::SetPayload(int first) const {
    std::vector<uint8_t> p = m_variant.wide ? std::vector<uint8_t>(9, 0) : std::vector<uint8_t>{0, 0, 0};
    p[m_variant.wide ? kWideFirstByte : kNarrowFirstByte] = uint8_t(first);
    for (int c = first; c < first + 2; ++c) {
        const std::vector<uint8_t>& bytes = Record(c).Bytes();
        p.insert(p.end(), bytes.begin(), bytes.end());
    }
    return p;
}

PageStep Encoder8Logic::Get(std::optional<int>) {
    m_expected = 0;
    return Request(kCmdEncoder8Get, GetPayload(0), PageStep::Wait::kBeginShort);
}

bool Encoder8Logic::Store(const FormInputs& inputs, PageStep* refused) {
    if (!Collect(Table(), inputs, MutableRecord(m_channel), refused))
        return false;
    if (m_variant.wide)
        MutableRecord(m_channel).Bytes()[kWideAudioTypeAlways] = 3;
    return true;
}

PageStep Encoder8Logic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Store(inputs, &refused))
        return refused;
    m_expected = 0;
    return Request(kCmdEncoder8Set, SetPayload(0), PageStep::Wait::kBeginShort);
}

bool Encoder8Logic::SelectChannel(int channel, const FormInputs& inputs, PageStep* step) {
    if (channel < 0 || channel >= m_tabs || channel >= kEncoder8Records || channel == m_channel)
        return false;
    if (!Store(inputs, step))
        return false;
    m_channel = channel;
    return true;
}

PageStep Encoder8Logic::CopyToAll(const FormInputs& inputs) {
    if (!m_variant.wide)
        return {};
    PageStep refused;
    if (!Store(inputs, &refused))
        return refused;
    // Pixel through rate control, frame format to level, sizes; GOP and IDR; frame rate; audio.
    static constexpr std::pair<int, int> kCopied[] = {{11, 13}, {25, 2}, {28, 1}, {41, 5}};
    const std::vector<uint8_t> shown = Record(m_channel).Bytes();
    for (int c = 0; c < kEncoder8Records; ++c) {
        std::vector<uint8_t>& bytes = MutableRecord(c).Bytes();
        for (const auto& [at, n] : kCopied)
            std::copy_n(shown.begin() + at, n, bytes.begin() + at);
        if (ScramblerUsed())
            bytes[kWideScramblerByte] =
                uint8_t((bytes[kWideScramblerByte] & ~0x03) | (shown[kWideScramblerByte] & 0x03));
    }
    return PageStep::End(PageStep::kRefreshAll);
}

PageStep Encoder8Logic::HandleReply(const ReplyView& reply) {
    switch (reply.Command()) {
        case kCmdEncoder8Done:
            m_awaited = -1;
            return PageStep::End();
        case kCmdEncoder8Get:
            return m_awaited == kCmdEncoder8Get ? HandleGet(reply) : PageStep();
        case kCmdEncoder8Set:
            return m_awaited == kCmdEncoder8Set ? HandleSet(reply) : PageStep();
        default:
            return {};
    }
}

PageStep Encoder8Logic::HandleGet(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    uint8_t marker = 0;
    if (!r.U8(kWideCountByte, &marker))
        return {};
    unsigned refresh = 0;
    if (marker == 8 && (!m_variant.wide || m_pageParam != kWidePageParam)) {
        // The device says it is the scrambling 149-byte model: the page stays that variant.
        m_variant = Encoder8VariantOf(kWidePageParam);
        m_pageParam = kWidePageParam;
        m_channel = 0;
        refresh |= kRefreshLayout | kRefreshTabs;
    }
    const int size = RecordSize();
    const size_t firstAt = m_variant.wide ? kWideFirstByte : kNarrowFirstByte;
    uint8_t first = 0;
    if (!r.U8(firstAt, &first) || !r.Has(firstAt + 1, size_t(2 * size))) {
        PageStep step;
        step.refresh = refresh;
        return step;  // too short: the wait runs on
    }
    if (m_variant.wide && (marker < 1 || marker > kEncoder8Records)) {
        m_awaited = -1;
        return PageStep::End(PageStep::kRefreshAll | refresh | kRefreshTabs);  // no table holds that
    }
    if (first != m_expected) {
        PageStep step;
        step.refresh = refresh;
        return step;  // a repeated or stray pair: the chain waits for the one it asked for
    }
    if (m_firstReply) {
        m_firstReply = false;
        m_channel = 0;
        if (!m_variant.wide)
            m_tabs = 8;
        refresh |= kRefreshTabs;
    }
    if (m_variant.wide)
        m_channelCount = marker;
    for (int k = 0; k < 2; ++k)
        MutableRecord(first + k).Load(r.Sub(firstAt + 1 + size_t(k * size), size_t(size)));

    const int next = first + 2;
    const bool more = m_variant.wide ? next < m_channelCount : first <= kNarrowLastFirst - 1;
    if (more && next <= kMaxFirstChannel) {
        m_expected = next;
        PageStep step = PageStep::Request(kCmdEncoder8Get, GetPayload(next), PageStep::Wait::kNone);
        step.checkOnline = false;
        step.refresh = refresh;
        return step;
    }
    if (m_variant.wide)
        m_tabs = m_channelCount;
    else
        m_tabs = (reply.B() & 0x08) || m_deviceType == kEncoder8FourChannelType ? 4 : 8;
    m_channel = std::min(m_channel, m_tabs - 1);
    m_awaited = -1;
    PageStep step = PageStep::End(PageStep::kRefreshAll | refresh | kRefreshTabs);
    step.sendVersion = true;
    return step;
}

PageStep Encoder8Logic::HandleSet(const ReplyView& reply) {
    uint8_t first = 0;
    if (!reply.U8(m_variant.wide ? kWideFirstByte : kNarrowFirstByte, &first) || first != m_expected)
        return {};
    const int next = first + 2;
    const bool more = m_variant.wide ? next < m_channelCount : first <= kNarrowLastFirst - 1;
    if (more && next <= kMaxFirstChannel) {
        m_expected = next;
        PageStep step = PageStep::Request(kCmdEncoder8Set, SetPayload(next), PageStep::Wait::kNone);
        step.checkOnline = false;
        return step;
    }
    m_awaited = -1;
    return PageStep::End(PageStep::kRefreshNone);
}

}  // namespace nms
