#include "pages/ird/cam4_monitor_logic.h"

#include "devices/byte_io.h"
#include "pagebase/late_reply.h"

namespace nms {
namespace {

constexpr int kStatusOffset = 1;
constexpr int kStatusSize = 39;
constexpr int kNameOffset = 157;
constexpr int kNameSlot = 25;
constexpr int kWholeReadSize = 198;
// Where records 2..4 and their bitrates stand in a whole read.
constexpr int kRecordAt[kCamChannels] = {2, 51, 100, 149};
constexpr int kBitrateAt[kCamChannels] = {47, 96, 145, 194};

}  // namespace

const FieldTable& CamOutputBitrateTable() {
    static const FieldTable table = [] {
        FieldDef f;
        f.key = "bitrate";
        f.label = "Output Bitrate(Kbps):";
        f.wire = Wire::kU32LE;
        return FieldTable{f};
    }();
    return table;
}

Cam4MonitorLogic::Cam4MonitorLogic()
    : m_records{ParamBlock(kCamInputSize), ParamBlock(kCamInputSize), ParamBlock(kCamInputSize),
                ParamBlock(kCamInputSize)},
      m_bitrates{ParamBlock(4), ParamBlock(4), ParamBlock(4), ParamBlock(4)} {}

PageStep Cam4MonitorLogic::Get() {
    m_await.Expect(kCmdCamReadInput);
    m_expected = 0;
    return PageStep::Request(kCmdCamReadInput, {0, 0}, PageStep::Wait::kBeginShort);
}

PageStep Cam4MonitorLogic::Set(const std::array<Row, kCamChannels>& rows, std::optional<bool> eit,
                               std::optional<bool> tdt) {
    m_failedChannel = m_failedField = -1;
    for (int k = 0; k < kCamChannels; ++k) {
        CollectResult r = CollectFields(CamIrdInputTable(), rows[size_t(k)].record, m_records[size_t(k)]);
        if (r.ok)
            r = CollectFields(CamOutputBitrateTable(), rows[size_t(k)].bitrate, m_bitrates[size_t(k)]);
        if (!r.ok) {
            m_failedChannel = k;
            m_failedField = r.field;
            return PageStep::Message(r.message);
        }
        StoreToneAsShown(CamIrdInputTable(), rows[size_t(k)].record, m_records[size_t(k)]);
        uint8_t& flags = m_records[size_t(k)].Bytes()[18];
        if (flags & 0x01) {
            if (eit)
                flags = uint8_t(*eit ? flags | 0x02 : flags & ~0x02);
            if (tdt)
                flags = uint8_t(*tdt ? flags | 0x04 : flags & ~0x04);
        }
    }
    std::vector<uint8_t> payload = {0, 0};
    for (int k = 0; k < kCamChannels; ++k) {
        payload.insert(payload.end(), m_records[size_t(k)].Bytes().begin(),
                       m_records[size_t(k)].Bytes().end());
        payload.insert(payload.end(), m_bitrates[size_t(k)].Bytes().begin(),
                       m_bitrates[size_t(k)].Bytes().end());
    }
    m_await.Expect(kCmdCamWriteInput);
    return PageStep::Request(kCmdCamWriteInput, std::move(payload), PageStep::Wait::kBeginShort);
}

PageStep Cam4MonitorLogic::Finish() {
    m_await.Clear();
    PageStep step = PageStep::End(kRefreshInputs);
    step.sendVersion = true;
    return step;
}

PageStep Cam4MonitorLogic::ReadNext(int channel) {
    if (channel >= kCamChannels - 1)
        return Finish();
    m_expected = channel + 1;
    return PageStep::Request(kCmdCamReadInput, {0, uint8_t(m_expected)}, PageStep::Wait::kNone);
}

PageStep Cam4MonitorLogic::HandleReply(const ReplyView& reply) {
    const bool late = m_await.Late(reply);
    PageStep step = ReplyStep(m_await, reply, false, [&] { return Handle(reply); });
    // What a late read brought is shown at once: no further channel comes to end the read.
    if (late && reply.Command() == kCmdCamReadInput)
        step.refresh |= kRefreshInputs;
    return step;
}

PageStep Cam4MonitorLogic::Handle(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    const int command = reply.Command();
    if (command == kCmdCamStatus) {
        for (int k = 0; k < kCamChannels; ++k) {
            const ByteReader s = r.Sub(size_t(kStatusOffset + kStatusSize * k), kStatusSize);
            if (s.Size() < size_t(kStatusSize))
                break;
            Cam4ChannelStatus& c = m_status[size_t(k)];
            c.valid = true;
            c.programs = s.U8Or(0);
            c.bitrate = int32_t(s.U32LEOr(1));
            c.locked = s.U8Or(5) & 0x01;
            c.cam = s.U8Or(5) & 0x40;
            c.quality = int32_t(s.U32LEOr(8));
            c.percent = s.U8Or(28) == 1;
            c.camName.clear();
            uint8_t length = 0;
            if (r.U8(size_t(kNameOffset + kNameSlot * k), &length) && length && c.cam)
                c.camName =
                    std::string(r.Text(size_t(kNameOffset + kNameSlot * k + 1), length < 24 ? length : 24));
        }
        PageStep step;
        step.refresh = kRefreshStatus;
        return step;
    }
    if (!m_await.InTime(reply))
        return {};
    if (command == kCmdCamReadInput) {
        uint8_t module = 0, named = 0;
        int index = m_expected;
        if (r.U8(0, &module) && r.U8(1, &named) && r.Has(2, kCamInputSize)) {
            if (named >= kCamChannels)
                return {};  // a channel the page does not have changes nothing
            index = named;
            m_moduleType = module;
            r.Bytes(2, kCamInputSize, m_records[size_t(index)].Bytes().data());
        }
        // A reply without its record still moves the read on to the next channel.
        if (!r.Has(0, 51))
            return ReadNext(index);
        r.Bytes(kBitrateAt[0], 4, m_bitrates[size_t(index)].Bytes().data());
        if (index == 0 && r.Has(0, 96)) {
            // The four channels in one reply, as far as it holds them.
            for (int k = 1; k < kCamChannels; ++k) {
                if (!r.Has(size_t(kRecordAt[k]), kCamInputSize + 4))
                    break;
                r.Bytes(size_t(kRecordAt[k]), kCamInputSize, m_records[size_t(k)].Bytes().data());
                r.Bytes(size_t(kBitrateAt[k]), 4, m_bitrates[size_t(k)].Bytes().data());
            }
            return Finish();
        }
        return ReadNext(index);
    }
    if (command == kCmdCamWriteInput) {
        uint8_t first = 0, written = 0;
        if (!r.U8(0, &first))
            return {};
        if (first == 0x80 || !r.U8(1, &written) || written + 1 >= kCamChannels) {
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        }
        const int next = written + 1;
        std::vector<uint8_t> payload = {0, uint8_t(next)};
        payload.insert(payload.end(), m_records[size_t(next)].Bytes().begin(),
                       m_records[size_t(next)].Bytes().end());
        payload.insert(payload.end(), m_bitrates[size_t(next)].Bytes().begin(),
                       m_bitrates[size_t(next)].Bytes().end());
        return PageStep::Request(kCmdCamWriteInput, std::move(payload), PageStep::Wait::kNone);
    }
    return {};
}

}  // namespace nms
