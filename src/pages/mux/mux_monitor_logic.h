// The core of the "ASI Monitor" page: the real-time status poll (command 0x40), its replies, the
// current / highest / lowest bitrates, the lock lamps and the chart series. No Qt: the page wires it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/bitrate_range.h"
#include "pagebase/graph_series.h"
#include "pagebase/page_step.h"

namespace nms {

constexpr uint8_t kCmdMonitorVersion = 0x02;  // answered by the network thread
constexpr uint8_t kCmdRealTimeStatus = 0x40;
constexpr int kMonitorTimerId = 66;
constexpr int kMonitorPollMs = 1000;
constexpr uint32_t kLowestStart = 4000000;

class MuxMonitorLogic {
public:
    explicit MuxMonitorLogic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool IsTwoOutput() const { return m_pageParam == 1; }
    bool ShowsProgramCount() const { return m_pageParam != 32; }
    bool IsTranscoder() const { return m_pageParam == 86; }
    // Lock indicators shown: 2, 7 or 8.
    int ChannelCount() const;
    // The label of channel n (1..8) before any reply.
    std::string ChannelLabel(int channel) const;

    // The page was shown: highest and lowest restart.
    void RestartExtremes();
    // The poll's payload ([1] on the two-output multiplexer, which then waits for output A).
    std::vector<uint8_t> PollPayload();

    // Every reply the page takes lights its lamps and redraws the chart.
    enum : unsigned { kRefreshLocks = PageStep::kRefreshPageBits };
    // A 0x40 reply; version: the device's version word (software major in byte 0, minor in byte 1).
    // Empty when the reply is not one for this page (too short for its layout); output B's poll goes
    // out as a poll step.
    PageStep OnStatusReply(const ReplyView& reply, uint32_t version);

    // "%d.%03d" of kbit/s.
    static std::string FormatMbps(uint32_t kbps);
    // software major x 256 + minor.
    static int SoftwareVersion(uint32_t versionWord);

    // Members shown by the page.
    unsigned programCountA = 0, programCountB = 0;
    std::string bitrateA, highestA, lowestA, bitrateB, highestB;
    std::string statusLabel;
    std::array<std::string, 8> channelLabels;
    std::array<bool, 8> lockGreen{};  // per channel: the green lamp, else the red one
    uint32_t currentA = 0, currentB = 0;
    BitrateRange rangeA{0, kLowestStart}, rangeB{0, kLowestStart};  // kbit/s; B shows no lowest
    int secondPoll = 1;

    GraphSeries firstSeries;
    GraphSeries secondSeries;

private:
    // Output A's (or the only output's) program count and bitrate, with its highest and lowest.
    void ShowA(uint8_t count, uint32_t kbps);
    void SetLocks(uint8_t lockByte, bool inverted, bool setShowsGreen);

    int m_pageParam;
};

}  // namespace nms
