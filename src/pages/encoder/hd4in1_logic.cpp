#include "pages/encoder/hd4in1_logic.h"

#include <algorithm>
#include <cstdio>

#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr uint8_t kGet = 0x60, kSet = 0x61;
constexpr int kV0 = 9;  // the version 0 and 3 block in the image
constexpr int kV1 = 8;  // the version 1 record in its image
constexpr int kPb = kHd4ProgramAt;
constexpr int kDetectedFormatAt = kPb + 77;

constexpr Hd4Variant kVariants[] = {
    {0, 4, false},
    {83, 8, false},
    {24, 1, true},
};

// "%s%x,%s%d-%#X": the PID's caption, its value, and the range.
FieldResult ParseRangedPid(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    const std::optional<uint64_t> value = HexValue(input.text);
    if (value && *value <= uint64_t(kMaxPid)) {
        r.value = int64_t(*value);
        return r;
    }
    const unsigned long long shown = value ? *value : HexTextToUShort(input.text);
    char text[192];
    std::snprintf(text, sizeof text, "%s%llx,%s%d-%#X", field.label.c_str(), shown, kPidRangeText, 0,
                  unsigned(kMaxPid));
    r.ok = false;
    r.message = text;
    return r;
}

FieldDef Pid(const char* key, const char* label, int offset) {
    FieldDef f = PidField(key, label, offset, "", kMaxPid);
    f.parse = ParseRangedPid;
    return f;
}

// The form's own range checks come first, then the PIDs in the order the page checks them.
void AddService(FieldTable& t, int program, int bitrate, int pmt, int video, int audio, int pcr, int provider,
                int name) {
    t.push_back(NumberField("program", "Program NO.:", program, Wire::kU16LE, 0, 65535));
    t.push_back(NumberField("bitrate", "Total Bitrate:", bitrate, Wire::kU16LE, 0, 65535));
    t.push_back(Pid("audioPid", "Audio PID:0X", audio));
    t.push_back(Pid("videoPid", "Video PID:0X", video));
    t.push_back(Pid("pcrPid", "PCR PID:0X", pcr));
    t.push_back(Pid("pmtPid", "PMT PID:0X", pmt));
    t.push_back(NameField("provider", "Provider Name:", provider, 32));
    t.push_back(NameField("name", "Program Name:", name, 32));
}

FieldDef Mode(int offset) {
    return ListField("mode", "", offset, {"CBR", "VBR"}, Control::kRadio);
}

const char* const kLevels[] = {"Level 1.2", "Level 1.3", "Level 2", "Level 2.1", "Level 2.2", "Level 3",
                               "Level 3.1", "Level 3.2", "Level 4", "Level 4.1", "Level 4.2"};
const uint32_t kLevelIdc[] = {12, 13, 20, 21, 22, 30, 31, 32, 40, 41, 42};

FieldDef HdPixel(const char* key, int offset, int from) {
    FieldDef f;
    f.key = key;
    f.label = "Video Pixel:";
    f.offset = offset;
    f.control = Control::kCombo;
    f.codec = Codec::kChoice;
    const std::vector<std::string>& all = {"1920*1080*60p",     "1920*1080*59.94p", "1920*1080*50p",
                                           "1920*1080*60i",     "1920*1080*59.94i", "1920*1080*50i",
                                           "1280*720*60p",      "1280*720*59.94p",  "1280*720*50p",
                                           "720*480*59.94i(N)", "720*576*50i(P)",   "AUTO"};
    for (size_t i = size_t(from); i < all.size(); ++i)
        f.choices.push_back({all[i], uint32_t(i)});
    return f;
}

bool IsOneOf(const std::string& key, std::initializer_list<const char*> keys) {
    return std::any_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; });
}

}  // namespace

const Hd4Variant& Hd4VariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& Hd4V0Table() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(NumberField("volume", "Volume(0~31)", kV0 + 8, Wire::kU8, 0, 127));
        t.push_back(NumberField("contrast", "Contrast(0~200)", kV0 + 9, Wire::kU8, 0, 200));
        t.push_back(NumberField("brightness", "Brightness(-100~100)", kV0 + 10, Wire::kU8, -100, 100, true));
        t.push_back(NumberField("hue", "Hue(-90~90)", kV0 + 11, Wire::kU8, -90, 90, true));
        t.push_back(NumberField("hSize", "Horizontal Size", kV0 + 127, Wire::kU16LE, 0, 65535));
        t.push_back(NumberField("vSize", "Vertical Size", kV0 + 129, Wire::kU16LE, 0, 65535));
        AddService(t, kPb + 67, kPb, kPb + 69, kPb + 71, kPb + 73, kPb + 75, kPb + 3, kPb + 35);
        t.push_back(ListField("inputInterface", "Input Interface:", kV0, {"HDMI", "CVBS"}));
        t.push_back(HdPixel("pixel", kV0 + 1, 0));
        t.push_back(ListField(
            "audioBitrate", "Audio Bitrate:", kV0 + 2,
            {"64Kbps", "128Kbps", "160Kbps", "192Kbps", "224Kbps", "256Kbps", "320Kbps", "384Kbps"}));
        // The board variant 2 carries kbit/s and level_idc where the others carry list indexes.
        t.push_back(ListFieldOf(
            "audioBitrateKbps", "Audio Bitrate:", kV0 + 2,
            {{"64Kbps", 64}, {"128Kbps", 128}, {"160Kbps", 160}, {"192Kbps", 192}, {"224Kbps", 224}}));
        t.push_back(ListField("profile", "Video Profile:", kV0 + 3,
                              {"Auto-detect", "High Profile", "Main Profile", "Baseline Profile"}));
        t.push_back(Mode(kV0 + 4));
        FieldDef level = ListField("level", "Video Level:", kV0 + 5, {});
        FieldDef idc = level;
        idc.key = "levelIdc";
        for (size_t i = 0; i < std::size(kLevels); ++i) {
            level.choices.push_back({kLevels[i], uint32_t(i)});
            idc.choices.push_back({kLevels[i], kLevelIdc[i]});
        }
        t.push_back(level);
        t.push_back(idc);
        t.push_back(ListField("aspect", "ASPECT SD", kV0 + 9, {"4:3", "16:3"}));
        t.push_back(ListField("frameMode", "Frame Mode:", kV0 + 10, {"Interlaced", "Progressive"}));
        t.push_back(ListField("audioMode", "Audio Mode", kV0 + 11, {"Stereo", "Single Channel"}));
        t.push_back(ListField("stb", "STB Type", kV0 + 14, {"Standard STB", "Other STB"}));
        t.push_back(ListField("audioInterface", "Audio Interface:", kV0 + 15, {"Analog", "HDMI"}));
        t.push_back(
            ListField("outputFormat", "input", kV0 + 126, {"Close", "1920*1080*50i", "1280*720*50p"}));
        return t;
    }();
    return table;
}

const FieldTable& Hd4V1Table() {
    static const FieldTable table = [] {
        FieldTable t;
        AddService(t, kV1 + 9, kV1 + 7, kV1 + 11, kV1 + 13, kV1 + 15, kV1 + 17, kV1 + 21, kV1 + 53);
        t.push_back(ListField("videoMode", "Video Profile:", kV1, {"Auto", "NTSC", "PAL"}));
        t.push_back(ListField("switch", "Video Level:", kV1 + 1, {"Disable", "Enable"}));
        t.push_back(
            ListField("pictureSize", "Video Pixel:", kV1 + 2, {"D1", "3/4D1", "2/3D1", "HD1", "SIF"}));
        t.push_back(ListField("audioCoding", "Audio Coding:", kV1 + 3, {"Layer 1", "Layer 2"}));
        t.push_back(ListField("sampling", "Audio Sampling:", kV1 + 4, {"44.1KHz", "48KHz", "32KHz"}));
        t.push_back(ListField(
            "audioBitrate", "Audio Bitrate:", kV1 + 5,
            {"64Kbps", "128Kbps", "160Kbps", "192Kbps", "224Kbps", "256Kbps", "320Kbps", "384Kbps"}));
        t.push_back(ListField("audioMode", "Audio Mode:", kV1 + 6,
                              {"Stereo", "Joint stereo", "Dual channel", "Single channel"}));
        t.push_back(Mode(kV1 + 19));
        return t;
    }();
    return table;
}

const FieldTable& Hd4V3Table() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(NumberField("volume", "Volume(0~31)", kV0 + 9, Wire::kU8, 0, 127));
        AddService(t, kPb + 67, kPb, kPb + 69, kPb + 71, kPb + 73, kPb + 75, kPb + 3, kPb + 35);
        t.push_back(HdPixel("pixel", kV0 + 1, 3));
        t.push_back(ListFieldOf("audioBitrate", "Audio Bitrate:", kV0 + 2,
                                {{"64 kbps", 64},
                                 {"96 kbps", 96},
                                 {"112 kbps", 112},
                                 {"128 kbps", 128},
                                 {"160 kbps", 160},
                                 {"192 kbps", 192},
                                 {"224 kbps", 224},
                                 {"256 kbps", 256},
                                 {"320 kbps", 320},
                                 {"384 kbps", 384}},
                                Wire::kU16LE));
        t.push_back(ListFieldOf("profile", "Video Profile:", kV0 + 4, {{"High", 1}, {"Main", 2}}));
        t.push_back(Mode(kV0 + 5));
        t.push_back(ListFieldOf("level", "Video Level:", kV0 + 6,
                                {{"Level 3", 30},
                                 {"Level 3.1", 31},
                                 {"Level 3.2", 32},
                                 {"Level 4", 40},
                                 {"Level 4.1", 41},
                                 {"Level 4.2", 42}}));
        t.push_back(ListField("audioMode", "Audio Mode", kV0 + 14, {"Stereo", "Mono"}));
        t.push_back(ListField("frameMode", "Frame Mode:", kV0 + 15, {"Interlaced", "Progressive"}));
        t.push_back(ListField("aspect", "Aspect:", kV0 + 16, {"4:3", "16:9"}));
        return t;
    }();
    return table;
}

const FieldTable& Hd4TableOf(Hd4Version version) {
    switch (version) {
        case Hd4Version::kV1:
            return Hd4V1Table();
        case Hd4Version::kV3:
            return Hd4V3Table();
        default:
            return Hd4V0Table();
    }
}

Hd4Logic::Hd4Logic(int pageParam) : m_variant(Hd4VariantOf(pageParam)) {
    SetChannelCount(m_variant.channels);
}

void Hd4Logic::SetChannelCount(int count) {
    m_channels.clear();
    for (int i = 1; i <= count; ++i)
        m_channels.push_back("Channel " + std::to_string(i));
}

bool Hd4Logic::ChannelsShown() const {
    if (m_version == Hd4Version::kV1)
        return false;
    return !m_variant.modulator || m_channels.size() > 1;
}

bool Hd4Logic::Uses(const std::string& key) const {
    if (FindField(Table(), key) < 0)
        return false;
    if (IsOneOf(key, {"program", "bitrate", "audioPid", "videoPid", "pcrPid", "pmtPid", "provider", "name",
                      "mode"}))
        return true;
    switch (m_version) {
        case Hd4Version::kV1:
            return true;
        case Hd4Version::kV3:
            return key != "volume" || m_image.Bytes()[kV0 + 8] == 1;
        default:
            break;
    }
    const bool v2 = BoardVariant2();
    const bool modulator = m_variant.modulator;
    if (key == "pixel" || key == "profile" || key == "volume")
        return true;
    if (key == "audioBitrate" || key == "level")
        return !v2;
    if (key == "audioBitrateKbps" || key == "levelIdc")
        return v2;
    if (key == "outputFormat" || key == "hSize" || key == "vSize")
        return m_marker;
    if (key == "inputInterface" || key == "hue" || key == "audioInterface")
        return modulator;
    // The marker's controls take the places of these three.
    if (key == "contrast" || key == "brightness" || key == "stb")
        return modulator && !m_marker;
    if (key == "aspect" || key == "frameMode" || key == "audioMode")
        return v2 && !modulator;
    return false;
}

std::vector<ListFallback> Hd4Logic::Fallbacks() const {
    switch (m_version) {
        case Hd4Version::kV3:
            return {{"audioBitrate", 5}, {"level", 3}};
        case Hd4Version::kV1:
            return {};
        default:
            return {{"pixel", 3}, {"audioBitrate", 5}, {"audioBitrateKbps", 3}};
    }
}

std::string Hd4Logic::InputLabel() const {
    switch (m_version) {
        case Hd4Version::kV1:
            return {};
        case Hd4Version::kV3:
            return "HDMI:";
        default:
            return m_image.Bytes()[kV0] == 1 ? "SDI:" : "HDMI:";
    }
}

std::string Hd4Logic::InputText() const {
    switch (m_version) {
        case Hd4Version::kV1:
            return {};
        case Hd4Version::kV3: {
            char text[16];
            std::snprintf(text, sizeof text, "(%d)", int(m_image.Bytes()[kV0 + 7]) - 3);
            return text;
        }
        default:
            if (m_image.Bytes()[kV0] == 1)
                return {};
            return m_image.Reader().Text(kDetectedFormatAt, size_t(kHd4ReplyNeed - kDetectedFormatAt));
    }
}

std::string Hd4Logic::CheckPixel(int selection) const {
    // Only the version 0 board variant 2 says it cannot encode the 1080p modes.
    if (m_version == Hd4Version::kV0 && BoardVariant2() && selection >= 0 && selection < 3)
        return "Don't support (1920*1080*60/59/50p) !";
    return {};
}

PageStep Hd4Logic::Get(std::optional<int> channel) {
    std::vector<uint8_t> payload(9, 0);
    payload[8] = uint8_t(std::max(channel.value_or(0), 0));
    return Request(kGet, std::move(payload));
}

PageStep Hd4Logic::Set(const FormInputs& inputs, std::optional<int> channel) {
    m_failedField = -1;
    // Without a channel the record would land on whichever channel byte 8 happened to name.
    if (m_version != Hd4Version::kV1 && (!channel || *channel < 0))
        return PageStep::Message("Error 135");
    ParamBlock edited = Image();
    PageStep refused;
    if (!Collect(Table(), inputs, edited, &refused))
        return refused;
    std::vector<uint8_t> payload = edited.Bytes();
    std::fill_n(payload.begin(), 8, 0);
    if (m_version == Hd4Version::kV1) {
        m_v1 = edited;
        payload[7] = 1;
    } else {
        m_image = edited;
        payload[8] = uint8_t(*channel);
    }
    return Request(kSet, std::move(payload));
}

PageStep Hd4Logic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    if (reply.Command() == kSet) {
        m_awaited = -1;
        return PageStep::End(PageStep::kRefreshNone);
    }
    if (reply.PayloadLength() == 0) {
        m_awaited = -1;
        return PageStep::End().WithMessage("Do not support this moudle");
    }
    uint8_t first = 0, version = 0;
    reply.U8(0, &first);
    const bool marker = first == kHd4Marker;
    if (!marker && !reply.U8(7, &version))
        return {};
    if (!marker && version == 1) {
        if (!reply.Has(0, kHd4V1ImageSize))
            return {};
        m_v1.Load(reply.Reader());
        m_version = Hd4Version::kV1;
        m_marker = false;
        m_awaited = -1;
        return PageStep::End();
    }
    if (!reply.Has(0, kHd4ReplyNeed))
        return {};
    const bool v3 = !marker && version == 3;
    const uint8_t channel = reply.Reader().U8Or(8);
    m_awaited = -1;
    if (channel > kHd4MaxChannelIndex) {
        char text[64];
        std::snprintf(text, sizeof text, "channel error: %d > %d", channel, kHd4MaxChannelIndex);
        return PageStep::End(PageStep::kRefreshNone).WithMessage(text);
    }
    m_image.Load(reply.Reader());
    m_marker = marker;
    m_version = v3 ? Hd4Version::kV3 : Hd4Version::kV0;
    if (v3) {
        const uint8_t count = reply.Reader().U8Or(6);
        SetChannelCount(count == 4 ? 4 : count == 12 ? 12 : 8);
    } else if (m_variant.modulator && channel == 4) {
        // The modulator's board says it has four channels: the operator picks one.
        SetChannelCount(4);
        m_channelSelection = -1;
        return PageStep::End();
    }
    m_channelSelection = channel < m_channels.size() ? int(channel) : -1;
    return PageStep::End();
}

}  // namespace nms
