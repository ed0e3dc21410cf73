// The 8/16-channel IP gateways' tuner pages without their windows: the input records (eight or sixteen
// 75-byte records, the tuner mode in the reply header) and the signal status with its physical-channel map.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/receiver/reply_wait.h"
#include "pages/receiver/tuner_records.h"

namespace nms {

constexpr uint8_t kCmdChannelMapRead = 0x33;
constexpr uint8_t kCmdChannelMapWrite = 0x34;
constexpr int kPhysicalChannelMapSize = 8;  // PhysicalChannelMap
constexpr int kSignalMonitorPollMs = 1500;

enum class TunerForm { kSatellite, kCable, kTerrestrial };

// Page refresh bit: the lists, captions, columns and tabs of the last reply's mode, before the rows.
constexpr unsigned kTuner8xRefreshLayout = PageStep::kRefreshPageBits;

class Tuner8xLogic : public RequestLogic {
public:
    // The initial update: mode 8, tab 0.
    void Reset() {
        m_mode = 8;
        m_tab = 0;
    }
    // A 0x70 reply: false (nothing changes) when it is shorter than the records of its mode.
    bool ReadReply(const ReplyView& reply);

    int Mode() const { return m_mode; }
    bool Sixteen() const { return m_mode == 16; }
    TunerForm Form() const;
    int Tab() const { return m_tab; }
    void SetTab(int tab) { m_tab = tab == 1 && Sixteen() ? 1 : 0; }
    size_t RecordOffset(int row) const { return size_t(m_tab * 8 + row) * kTunerChannelParamsSize; }
    std::vector<uint8_t>& Records() { return m_records; }
    const std::vector<uint8_t>& Records() const { return m_records; }

    // The empty-record test over the records the mode writes: the message, or empty and the payload.
    std::string BuildWrite(std::vector<uint8_t>* payload) const;

    // Get: the 0x70 read with its 15 s wait (the page asks only for an online device).
    PageStep Get() override;
    // Set: the eight rows into the current tab's records, the empty-record check, the 0x71 write. A value
    // that does not fit refuses the Set at its row (FailedRow).
    PageStep Set(const std::array<TunerRowInputs, 8>& rows);
    // A tab switch in mode 16: the rows into the current tab's records, then the new tab; refused (the
    // tab stays, *switched false) at a value that does not fit.
    PageStep SwitchTab(const std::array<TunerRowInputs, 8>& rows, int tab, bool* switched);
    // The read's reply takes the records (kTuner8xRefreshLayout, then the rows; no version request), the
    // write's ends the wait; a late one is shown and starts nothing. Empty for a reply not taken.
    PageStep HandleReply(const ReplyView& reply) override;
    int FailedRow() const { return m_failedRow; }

private:
    bool TakeRows(const std::array<TunerRowInputs, 8>& rows, std::string* refusal);

    int m_failedRow = -1;
    std::vector<uint8_t> m_records = std::vector<uint8_t>(16 * kTunerChannelParamsSize, 0);
    int m_mode = 8;
    int m_tab = 0;
};

// TunerSignalStatus as the monitor shows it.
struct TunerSignalView {
    bool db = false;  // qualities in dB (hundredths on the wire), else percent
    int rows = 8;
    std::array<bool, 16> locks{};
    std::array<std::string, 16> bitrates{};
    std::array<float, 16> quality{};
    bool hasTotal = false;
    std::string total;
};
// rows: 8 or 16 (the 16-row layout with a count of 16). False when the reply is too short for them.
bool ReadTunerSignalStatus(const ReplyView& reply, int rows, TunerSignalView* out);

// The gateways' signal monitor without its windows: the variant, the channel count of the last status, the
// physical-channel map, and the map read that follows the version request when the page is shown.
class SignalMonitorLogic {
public:
    static constexpr int kMapVariant = 49;
    static constexpr int kSixteenVariant = 48;

    // The initial update: eight channels, nothing pending.
    void Reset(int pageParam);
    bool MapVariant() const { return m_pageParam == kMapVariant; }
    bool SixteenVariant() const { return m_pageParam == kSixteenVariant; }
    int ChannelCount() const { return m_count; }
    const std::vector<uint8_t>& Map() const { return m_map; }

    // The page is shown: the version request, and then (online) the map read, on every variant. The device
    // has one send slot and a newer request replaces an unsent one, so the map read waits until the
    // version request has left it (MapReadPending / MapReadSent).
    PageStep Shown(bool online);
    bool MapReadPending() const { return m_mapPending; }
    void MapReadSent() { m_mapPending = false; }
    // "Get": the map read at once (no wait); "Set": the selections (-1: none, the byte goes back as it
    // came) into the map and the 0x34 write (no wait).
    PageStep Get();
    PageStep Set(const std::array<int, kPhysicalChannelMapSize>& selections);
    // A 0x33 reply: false when shorter than the map.
    bool ReadMap(const ReplyView& reply);
    // A 0x72 reply: the status to show; *sixteenLayout: the 16-row layout (with m_count rows 9-16).
    // False (nothing changes) when the reply is too short.
    bool ReadStatus(const ReplyView& reply, TunerSignalView* status, bool* sixteenLayout);

private:
    int m_pageParam = 0;
    int m_count = 8;
    bool m_mapPending = false;
    std::vector<uint8_t> m_map = std::vector<uint8_t>(kPhysicalChannelMapSize, 0);
};
// Packets per second of 188-byte packets as Mbit/s with three decimals (665 shows 1.000).
std::string PacketRateText(int32_t packets);
// The quality as the form shows floats: at most six significant digits.
std::string QualityText(float value);

}  // namespace nms
