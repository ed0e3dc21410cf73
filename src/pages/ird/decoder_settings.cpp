#include "pages/ird/decoder_settings.h"

#include <cstdio>

#include "devices/byte_io.h"

namespace nms {
namespace {

FieldDef Level(const char* key, const char* label, int offset, int max) {
    FieldDef f;
    f.key = key;
    f.label = label;
    f.offset = offset;
    f.min = 0;
    f.max = max;
    return f;
}

}  // namespace

namespace {

FieldTable DecoderFields(const char* volumeLabel, int volumeMax) {
    FieldTable t;
    t.push_back(fields::List("program", "Play Program:", 0, {}));
    t.push_back(fields::List("video", "Video Pixel:", 1,
                             {"480i", "576i", "480p", "576p", "1280*720*50p", "1280*720*60p", "1920*1080*50i",
                              "1920*1080*60i", "1920*1080*50p", "1920*1080*60p"}));
    t.push_back(fields::List("aspect", "Screen Mode", 2, {"4X3", "16X9"}));
    t.push_back(fields::List("screen", "Aspect:", 3, {"Normal", "Pan Scan", "Letter Box"}));
    t.push_back(Level("brightness", "Brightness", 4, 100));
    t.push_back(Level("contrast", "Contrast", 5, 100));
    t.push_back(Level("saturation", "Saturaton", 6, 100));
    t.push_back(fields::List("audio", "Audio Channel", 7, {}));
    t.push_back(fields::List("audioMode", "Audio Mode", 8, {"MONO", "LEFT", "RIGHT", "STEREO"}));
    t.push_back(fields::List("ac3", "AC3 Bypass", 9, {"OFF", "ON"}));
    t.push_back(Level("volume", volumeLabel, 10, volumeMax));
    return t;
}

}  // namespace

const FieldTable& DecoderSettingsTable() {
    static const FieldTable table = DecoderFields("Volume(0~127)", 127);
    return table;
}

const FieldTable& Decoder4SettingsTable() {
    static const FieldTable table = DecoderFields("Volume(0~100)", 100);
    return table;
}

bool ReadDecoderReply(const ReplyView& reply, std::vector<uint8_t>* block, DecoderOffer* offer,
                      int countsOffset, bool trackCodes) {
    const ByteReader r = reply.Reader().Sub(size_t(countsOffset));
    uint8_t programs = 0, tracks = 0;
    std::vector<uint8_t> bytes;
    if (!r.U8(0, &programs) || !r.U8(1, &tracks) || !r.Bytes(2, kDecoderBlockSize, &bytes))
        return false;
    *block = bytes;
    offer->programs.clear();
    offer->tracks.clear();
    // Name entries: a length byte and that many characters; as many as arrived.
    size_t at = 2 + kDecoderBlockSize;
    for (int k = 1; k <= programs; ++k) {
        uint8_t length = 0;
        if (!r.U8(at, &length) || !r.Has(at + 1, length))
            break;
        std::string name(reinterpret_cast<const char*>(r.Data() + at + 1), length);
        if (name.size() > kDecoderNameMax)
            name.resize(kDecoderNameMax);
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02d:", k);
        offer->programs.push_back(prefix + name);
        at += 1 + length;
    }
    const int shown = tracks < kDecoderMaxTracks ? tracks : kDecoderMaxTracks;
    for (int t = 1; t <= shown; ++t) {
        char text[32];
        if (trackCodes)
            std::snprintf(text, sizeof text, "Audio %02d(%02x)", t,
                          bytes[size_t(kDecoderAudioCodes + t - 1)]);
        else
            std::snprintf(text, sizeof text, "Audio %02d", t);
        offer->tracks.push_back(text);
    }
    return true;
}

DecoderLogic::DecoderLogic() : m_block(kDecoderBlockSize) {}

PageStep DecoderLogic::Get(std::optional<int> channel) {
    const int c = channel.value_or(0);
    return Request(kCmdDecoderRead, {uint8_t(c >= 0 && c <= 3 ? c : 0)}, PageStep::Wait::kBeginShort);
}

PageStep DecoderLogic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Collect(DecoderSettingsTable(), inputs, m_block, &refused))
        return refused;
    return Request(kCmdDecoderWrite, m_block.Bytes(), PageStep::Wait::kBeginShort);
}

PageStep DecoderLogic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    if (reply.Command() == kCmdDecoderRead && reply.PayloadLength() > 0) {
        std::vector<uint8_t> block;
        DecoderOffer offer;
        if (!ReadDecoderReply(reply, &block, &offer))
            return {};  // too short for the block: the wait runs out
        m_block.Bytes() = std::move(block);
        m_offer = std::move(offer);
        m_awaited = -1;
        return PageStep::End(kRefreshDecoder);
    }
    m_awaited = -1;
    return PageStep::End(PageStep::kRefreshNone);
}

}  // namespace nms
