#include "pages/receiver/tuner8x_logic.h"

#include <cstdio>

namespace nms {

bool Tuner8xLogic::ReadReply(const ReplyView& reply) {
    const int mode = reply.B();
    const int bytes = (mode == 16 ? 16 : 8) * kTunerChannelParamsSize;
    const ByteReader r = reply.Reader();
    if (!r.Has(0, size_t(bytes)))
        return false;
    r.Bytes(0, size_t(bytes), m_records.data());
    m_mode = mode;
    if (!Sixteen())
        m_tab = 0;
    return true;
}

TunerForm Tuner8xLogic::Form() const {
    if (m_mode == 3)
        return TunerForm::kCable;
    if (m_mode == 4)
        return TunerForm::kTerrestrial;
    return TunerForm::kSatellite;
}

std::string Tuner8xLogic::BuildWrite(std::vector<uint8_t>* payload) const {
    const int records = Sixteen() ? 16 : 8;
    for (int i = 0; i < records; ++i)
        if (IsEmptyTunerRecord(m_records, size_t(i) * kTunerChannelParamsSize))
            return Sixteen() ? "parameter can not empty 1!" : "parameter can not empty 2!";
    payload->assign(m_records.begin(), m_records.begin() + records * kTunerChannelParamsSize);
    return {};
}

std::string PacketRateText(int32_t packets) {
    const int64_t bits = packets > 0 ? int64_t(packets) * 1504 : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(bits / 1000000),
                  static_cast<long long>(bits / 1000 % 1000));
    return text;
}

std::string QualityText(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", double(value));
    return text;
}

bool ReadTunerSignalStatus(const ReplyView& reply, int rows, TunerSignalView* out) {
    const ByteReader r = reply.Reader();
    const bool sixteen = rows == 16;
    // With 16 channels the last quality ends at 131; with 8 the channels end at 66.
    if (!r.Has(0, sixteen ? 131 : 66))
        return false;
    TunerSignalView v;
    v.rows = rows;
    v.db = r.U8Or(0) & 1;
    for (int k = 0; k < rows; ++k) {
        const size_t base = k < 8 ? size_t(2 + 8 * k) : size_t(67 + 8 * (k - 8));
        const uint8_t lockByte = r.U8Or(k < 8 ? 1 : 66);
        v.locks[size_t(k)] = lockByte >> (k % 8) & 1;
        v.bitrates[size_t(k)] = PacketRateText(int32_t(r.U32LEOr(base)));
        const int32_t q = int32_t(r.U32LEOr(base + 4));
        v.quality[size_t(k)] = v.db ? float(q * 0.01) : float(q);
    }
    // The total follows eight channels only; with sixteen its bytes belong to channel 9.
    if (!sixteen && r.Has(70, 4)) {
        v.hasTotal = true;
        v.total = PacketRateText(int32_t(r.U32LEOr(70)));
    }
    *out = v;
    return true;
}

PageStep Tuner8xLogic::Get() {
    return m_wait.Request(kCmdTunerRead, {}, PageStep::Wait::kBeginShort);
}

bool Tuner8xLogic::TakeRows(const std::array<TunerRowInputs, 8>& rows, std::string* refusal) {
    m_failedRow = -1;
    for (int r = 0; r < 8; ++r) {
        *refusal = TakeTunerRow(rows[size_t(r)], m_records, RecordOffset(r), false);
        if (!refusal->empty()) {
            m_failedRow = r;
            return false;
        }
    }
    return true;
}

PageStep Tuner8xLogic::Set(const std::array<TunerRowInputs, 8>& rows) {
    std::string message;
    std::vector<uint8_t> payload;
    if (!TakeRows(rows, &message) || !(message = BuildWrite(&payload)).empty())
        return PageStep::Message(message);
    return m_wait.Request(kCmdTunerWrite, std::move(payload), PageStep::Wait::kBeginShort);
}

PageStep Tuner8xLogic::SwitchTab(const std::array<TunerRowInputs, 8>& rows, int tab, bool* switched) {
    *switched = false;
    m_failedRow = -1;
    if (!Sixteen() || tab == m_tab)
        return {};
    std::string message;
    if (!TakeRows(rows, &message))
        return PageStep::Message(message);
    SetTab(tab);
    *switched = true;
    return {};
}

PageStep Tuner8xLogic::HandleReply(const ReplyView& reply) {
    return m_wait.ReadOrWrite(reply, kCmdTunerRead, kCmdTunerWrite,
                              PageStep::kRefreshAll | kTuner8xRefreshLayout, false,
                              [&] { return ReadReply(reply); });
}

void SignalMonitorLogic::Reset(int pageParam) {
    m_pageParam = pageParam;
    m_count = 8;
    m_mapPending = false;
}

PageStep SignalMonitorLogic::Shown(bool online) {
    PageStep version;
    version.sendVersion = true;
    m_mapPending = online;
    return version;
}

PageStep SignalMonitorLogic::Get() {
    m_mapPending = false;
    return PageStep::Request(kCmdChannelMapRead, {}, PageStep::Wait::kNone);
}

PageStep SignalMonitorLogic::Set(const std::array<int, kPhysicalChannelMapSize>& selections) {
    for (size_t i = 0; i < selections.size(); ++i)
        if (selections[i] >= 0)
            m_map[i] = uint8_t(selections[i]);
    return PageStep::Request(kCmdChannelMapWrite, m_map, PageStep::Wait::kNone);
}

bool SignalMonitorLogic::ReadMap(const ReplyView& reply) {
    std::vector<uint8_t> map;
    if (!reply.Bytes(0, kPhysicalChannelMapSize, &map))
        return false;
    m_map = map;
    return true;
}

bool SignalMonitorLogic::ReadStatus(const ReplyView& reply, TunerSignalView* status, bool* sixteenLayout) {
    *sixteenLayout = false;
    if (MapVariant())
        return ReadTunerSignalStatus(reply, 8, status);
    const int count = reply.B();
    const bool sixteen = SixteenVariant() || count > 8;
    if (!ReadTunerSignalStatus(reply, sixteen && count == 16 ? 16 : 8, status))
        return false;
    m_count = count;
    *sixteenLayout = sixteen;
    return true;
}

}  // namespace nms
