#include "pages/encoder/sd_encoder_logic.h"

namespace nms {
namespace {

constexpr SdEncoderVariant kVariants[] = {
    {0, false},
    {2, true},
};

FieldDef Picture(const char* key, const char* label, int offset) {
    return NumberField(key, label, offset, Wire::kU8, 0, 255);
}

}  // namespace

const SdEncoderVariant& SdEncoderVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const FieldTable& SdVideoTable() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(ListField("input", "Video Input", 0, {"CVBS", "SDI", "YPbPr"}, Control::kRadio));
        t.push_back(ListField("mode", "Video Mode", 1, {"Auto", "NTSC", "PAL"}, Control::kRadio));
        FieldDef av =
            ListFieldOf("av", "AV or Audio", 2, {{"Video", 1}, {"Audio", 0}}, Wire::kU8, Control::kRadio);
        av.nonZeroIsOn = true;
        t.push_back(av);
        t.push_back(ListField("gop", "GOP", 3, {"I", "IP", "IBP", "IBBP"}, Control::kRadio));
        t.push_back(Picture("brightness", "Brightness", 4));
        t.push_back(Picture("contrast", "Contrast", 5));
        t.push_back(Picture("saturation", "Saturaton", 6));
        // A signed byte: -128..127 is all it holds.
        t.push_back(NumberField("hue", "Hue", 7, Wire::kU8, -128, 127, true));
        t.push_back(Picture("heftContrast", "Heft Contrast", 8));
        t.push_back(Picture("pbSaturation", "Pb Saturation", 9));
        t.push_back(Picture("prSaturation", "Pr Saturation", 10));
        t.push_back(Picture("heftBrightness", "Heft Brightness", 11));
        t.push_back(ListField("compress", "Compress", 12,
                              {"D1", "3/4D1", "2/3D1", "HD1", "SIF", "QSIF", "Slice screen"}));
        t.push_back(ListField("profile", "Video Profile:", 14,
                              {"Auto-detect", "High Profile", "Main Profile", "Baseline Profile"}));
        t.push_back(ListField("level", "Video Level:", 15,
                              {"Auto-detect", "Level 1.2", "Level 1.3", "Level 2", "Level 2.1", "Level 2.2",
                               "Level 3", "Level 3.1", "Level 3.2", "Level 4", "Level 4.1", "Level 4.2"}));
        return t;
    }();
    return table;
}

const std::vector<ListFallback>& SdVideoFallbacks() {
    static const std::vector<ListFallback> fallbacks = {
        {"input", 2}, {"mode", 2}, {"gop", 3}, {"compress", 0}};
    return fallbacks;
}

const FieldTable& SdAudioTable() {
    static const FieldTable table = [] {
        FieldTable t;
        FieldDef encoding =
            ListField("encoding", "Encoding Type", 0, {"Layer 1", "Layer 2"}, Control::kRadio);
        encoding.nonZeroIsOn = true;
        t.push_back(encoding);
        t.push_back(ListField("sampleRate", "SampleRate:", 1, {"44.1k", "48k", "32K"}, Control::kRadio));
        // 224 kbit/s came last to the device: value 3.
        t.push_back(ListField("bitrate", "Total Bitrate:", 2, {"128Kbps", "256Kbps", "384Kbps", "224Kbps"},
                              Control::kRadio));
        t.push_back(ListField("audioMode", "Audio Mode", 3,
                              {"Stereo", "Enhance Stereo", "Dual Track", "Single Track"}));
        FieldDef source = ListField("source", "", 5, {"SDI Audio", "Analog Audio"}, Control::kRadio);
        source.nonZeroIsOn = true;
        t.push_back(source);
        return t;
    }();
    return table;
}

const std::vector<ListFallback>& SdAudioFallbacks() {
    static const std::vector<ListFallback> fallbacks = {{"sampleRate", 2}, {"bitrate", 2}, {"audioMode", 0}};
    return fallbacks;
}

SdBlockLogic::SdBlockLogic(int pageParam, uint8_t getCommand, int blockSize, int storedSize,
                           const FieldTable& table)
    : m_variant(SdEncoderVariantOf(pageParam)),
      m_get(getCommand),
      m_blockSize(blockSize),
      m_table(&table),
      m_block(size_t(storedSize)) {}

std::vector<uint8_t> SdBlockLogic::ChannelPrefix(std::optional<int> channel) const {
    if (m_variant.channels && channel && *channel >= 0 && *channel < kSdEncoderChannels)
        return {uint8_t(*channel + 1)};
    return {};
}

PageStep SdBlockLogic::Get(std::optional<int> channel) {
    return Request(m_get, ChannelPrefix(channel));
}

PageStep SdBlockLogic::Set(const FormInputs& inputs, std::optional<int> channel) {
    PageStep refused;
    if (!Collect(*m_table, inputs, m_block, &refused))
        return refused;
    std::vector<uint8_t> payload = ChannelPrefix(channel);
    payload.insert(payload.end(), m_block.Bytes().begin(), m_block.Bytes().end());
    return Request(uint8_t(m_get + 1), std::move(payload));
}

PageStep SdBlockLogic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    if (reply.Command() == m_get) {
        // The channel byte of the four-channel encoder comes first; a reply without a whole block is
        // left to time out.
        const int at = m_variant.channels ? 1 : 0;
        if (!reply.Has(at, m_blockSize))
            return {};
        m_block.Load(reply.Reader().Sub(size_t(at)));
    }
    m_awaited = -1;
    return PageStep::End();
}

}  // namespace nms
