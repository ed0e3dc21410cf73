#include "pages/encoder/transcoder_logic.h"

#include "pages/encoder/channel_record_fields.h"

namespace nms {
namespace {

using namespace channel_fields;

constexpr size_t kChannelByte = 4;  // packet byte 11
constexpr size_t kRecordAt = 5;     // packet bytes 12-167
constexpr int kMinRecordReply = 161;
constexpr int kAudioHandlingByte = 11;

}  // namespace

const FieldTable& TranscoderTable() {
    static const FieldTable table = [] {
        FieldTable t;
        t.push_back(List("video", "Video Trans.:", 0, {"Transcode", "Pass-through"}));
        t.push_back(List("vmode", "Transcode Mode:", 1,
                         {"H.264-to-H.264", "H.264-to-MPEG2", "MPEG2-to-MPEG2", "MPEG2-to-H.264"}));
        t.push_back(List("rate", "RateControl:", 2, {"CBR", "VBR"}));
        t.push_back(Decimal("vbitrate", "Bitrate:", 3, Wire::kU16LE));
        t.push_back(List("profile", "Profile:", 9, {"High Profile", "Main Profile"}));
        t.push_back(List("level", "Level:", 10,
                         {"Level 1.2", "Level 1.3", "Level 2", "Level 2.1", "Level 2.2", "Level 3",
                          "Level 3.1", "Level 3.2", "Level 4", "Level 4.1", "Level 4.2"}));
        t.push_back(List("audio", "Audio Trans.:", 11, {"Un-multiplexing", "Pass-through", "Transcode"}));
        t.push_back(
            List("amode", "Transcode Mode:", 12, {"Dolby(AC-3)", "MPEG1 Layer2", "MPEG2 AAC", "MPEG4 AAC"}));
        t.push_back(List("abitrate", "Bitrate:", 13,
                         {"32Kbps", "48Kbps", "56Kbps", "64Kbps", "80Kbps", "96Kbps", "112Kbps", "128Kbps",
                          "160Kbps", "192Kbps", "224Kbps", "256Kbps", "320Kbps", "384Kbps", "448Kbps",
                          "512Kbps", "576Kbps", "640Kbps"}));
        t.push_back(Hex16("pmt", "PMT PID: 0x", 14));
        t.push_back(Hex16("videoPid", "PID: 0x", 16));
        t.push_back(Hex16("audioPid", "PID: 0x", 18));
        t.push_back(Hex16("pcr", "PCR PID: 0x", 20));
        t.push_back(Decimal("program", "Program NO.:", 25, Wire::kU16LE));
        t.push_back(Name("provider", "Provider Name:", 27));
        t.push_back(Name("name", "Program Name:", 59));
        return t;
    }();
    return table;
}

TranscoderLogic::TranscoderLogic() {
    for (ParamBlock& r : m_records) {
        r = ParamBlock(kTranscoderRecordSize);
        r.Bytes()[kAudioHandlingByte] = 1;  // the form starts at "Pass-through"
    }
}

PageStep TranscoderLogic::Get(std::optional<int>) {
    return Request(kCmdTranscoderGet, {0, 0, 0, 0, uint8_t(m_channel)}, PageStep::Wait::kBeginShort);
}

PageStep TranscoderLogic::Set(const FormInputs& inputs, std::optional<int>) {
    PageStep refused;
    if (!Collect(TranscoderTable(), inputs, m_records[size_t(m_channel)], &refused))
        return refused;
    const auto& table = m_tables[size_t(m_channel)];
    std::vector<uint8_t> payload = {0, 0, 0, uint8_t(m_channel)};
    const std::vector<uint8_t>& record = Block().Bytes();
    payload.insert(payload.end(), record.begin(), record.end());
    payload.push_back(uint8_t(table.size()));
    for (const auto& entry : table)
        payload.insert(payload.end(), entry.begin(), entry.end());
    return Request(kCmdTranscoderSet, std::move(payload), PageStep::Wait::kBeginShort);
}

bool TranscoderLogic::SelectChannel(int channel, const FormInputs& inputs, PageStep* step) {
    if (channel < 0 || channel >= kTranscoderChannels)
        return false;
    if (!Collect(TranscoderTable(), inputs, m_records[size_t(m_channel)], step))
        return false;
    m_channel = channel;
    return true;
}

PageStep TranscoderLogic::HandleReply(const ReplyView& reply) {
    if (!Awaits(reply))
        return {};
    m_awaited = -1;
    if (reply.Command() == kCmdTranscoderSet)
        return PageStep::End(PageStep::kRefreshNone);
    const ByteReader r = reply.Reader();
    uint8_t channel = 0;
    // A channel the page has no record for is not stored; the wait ends all the same.
    if (reply.PayloadLength() >= kMinRecordReply && r.U8(kChannelByte, &channel) &&
        channel < kTranscoderChannels)
        m_records[channel].Load(r.Sub(kRecordAt, kTranscoderRecordSize));
    return PageStep::End();
}

}  // namespace nms
