#include "pages/encoder/hd_av_logic.h"

namespace nms {
namespace {

constexpr uint8_t kGet = 0x60, kSet = 0x61, kStatus = 0x40;

constexpr HdAvVariant kVariants[] = {
    {0, false},
    {24, true},
};

FieldDef Picture(const char* key, const char* label, int offset) {
    return NumberField(key, label, offset, Wire::kU8, 0, 255);
}

}  // namespace

const HdAvVariant& HdAvVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

const std::vector<std::string>& HdPixelList() {
    static const std::vector<std::string> list = {"1920*1080*60p",     "1920*1080*59.94p", "1920*1080*50p",
                                                  "1920*1080*60i",     "1920*1080*59.94i", "1920*1080*50i",
                                                  "1280*720*60p",      "1280*720*59.94p",  "1280*720*50p",
                                                  "720*480*59.94i(N)", "720*576*50i(P)",   "AUTO"};
    return list;
}

const FieldTable& HdAvTable() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(ListField("input", "", 0, {"HDMI", "SDI", "YPbPr", "CVBS/AV"}, Control::kRadio));
        t.push_back(ListField("pixel", "Video Pixel:", 1, {}));
        t.push_back(ListField(
            "audioBitrate", "Audio Bitrate:", 2,
            {"64KBbps", "128KBbps", "160KBbps", "192KBbps", "224KBbps", "256KBbps", "320KBbps", "384KBbps"}));
        t.push_back(ListField("audioInterface", "Audio Interface:", 3, {"Audio", "HDMI", "SDI"}));
        t.push_back(ListField("profile", "Video Profile:", 4,
                              {"Auto-detect", "High Profile", "Main Profile", "Baseline Profile"}));
        t.push_back(ListField("mode", "Encoding Mode:", 5, {"CBR", "VBR"}, Control::kRadio));
        t.push_back(ListField("level", "Video Level:", 6,
                              {"Level 1.2", "Level 1.3", "Level 2", "Level 2.1", "Level 2.2", "Level 3",
                               "Level 3.1", "Level 3.2", "Level 4", "Level 4.1", "Level 4.2"}));
        t.push_back(Picture("volume", "Volume(0~15):", 8));
        t.push_back(Picture("contrast", "Contrast(0~255):", 9));
        t.push_back(Picture("brightness", "Brightness(0~255):", 10));
        t.push_back(Picture("hue", "Hue(0~255):", 11));
        t.push_back(Picture("saturationCb", "Saturation_cb(0~255):", 12));
        t.push_back(Picture("saturationCr", "Saturation_cr(0~255):", 13));
        t.push_back(ListField("stb", "STB Type:", 14, {"Standard STB", "Other STB"}));
        return t;
    }();
    return table;
}

const std::vector<ListFallback>& HdAvFallbacks() {
    // Any encoding mode but VBR shows CBR.
    static const std::vector<ListFallback> fallbacks = {{"audioBitrate", 5}, {"mode", 0}};
    return fallbacks;
}

std::vector<std::string> HdAvPixelList(int input) {
    const std::vector<std::string>& all = HdPixelList();
    if (input == kHdAvCvbsInput)
        return {all[9], all[10]};
    if (input >= 0 && input < kHdAvCvbsInput)
        return all;
    return {};
}

int HdAvPixelIndex(int input, int value) {
    if (input == kHdAvCvbsInput)
        return value == 9 ? 0 : 1;
    if (input >= 0 && input < kHdAvCvbsInput)
        return value >= 0 && value <= 11 ? value : 3;
    return -1;
}

int HdAvPixelValue(int input, int index) {
    return input == kHdAvCvbsInput ? index + 9 : index;
}

int HdAvInterfaceOf(int input) {
    switch (input) {
        case 0:
            return 1;
        case 1:
            return 2;
        default:
            return 0;
    }
}

PageStep HdAvLogic::Get(std::optional<int>) {
    m_range.Restart();
    if (m_awaited == kGet)
        return {};
    return Request(kGet, {});
}

PageStep HdAvLogic::Set(const FormInputs& form, std::optional<int> pixel) {
    FormInputs inputs = form;
    const FieldTable& t = HdAvTable();
    const size_t pixelField = size_t(FindField(t, "pixel"));
    const size_t input = size_t(FindField(t, "input"));
    const size_t interface = size_t(FindField(t, "audioInterface"));
    if (pixelField < inputs.size())
        inputs[pixelField].reset();
    ParamBlock edited = m_block;
    PageStep refused;
    if (!Collect(t, inputs, edited, &refused))
        return refused;
    const int inputIndex = input < inputs.size() && inputs[input] ? inputs[input]->index : -1;
    const int shownInput = int(m_block.Bytes()[0]);
    // Without an interface of its own the input's goes with a changed input.
    if (interface < inputs.size() && inputs[interface] && inputs[interface]->index < 0 && inputIndex >= 0 &&
        inputIndex != shownInput)
        edited.Bytes()[3] = uint8_t(HdAvInterfaceOf(inputIndex));
    // A pixel list without a selection keeps the byte as read.
    if (pixel && *pixel >= 0 && inputIndex >= 0)
        edited.Bytes()[1] = uint8_t(HdAvPixelValue(inputIndex, *pixel));
    m_block = edited;
    return Request(kSet, m_block.Bytes());
}

PageStep HdAvLogic::Poll() const {
    return PageStep::Poll(kStatus);
}

PageStep HdAvLogic::HandleReply(const ReplyView& reply) {
    if (reply.Command() == kStatus) {
        uint32_t bitrate = 0;
        if (reply.U32LE(0, &bitrate)) {
            m_bitrate = bitrate;
            m_range.Add(bitrate);
        }
        uint8_t locks = 0;
        if (reply.U8(4, &locks))
            m_locks = locks;
        if (reply.Has(8, 1))
            m_format = reply.Reader().Text(8, size_t(reply.PayloadLength() - 8));
        PageStep step;
        step.refresh = kRefreshStatus;
        return step;
    }
    if (!Awaits(reply))
        return {};
    if (reply.Command() == kGet) {
        if (!reply.Has(0, kHdAvBlockSize))
            return {};
        m_block.Load(reply.Reader());
        m_awaited = -1;
        PageStep step = PageStep::End();
        step.sendVersion = true;
        if (m_block.Bytes()[0] > kHdAvCvbsInput)
            step.messages.push_back("No this input!");
        return step;
    }
    m_awaited = -1;
    return PageStep::End();
}

}  // namespace nms
