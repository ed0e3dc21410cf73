#include "pages/mux/mux_monitor_logic.h"

#include <cstdio>

namespace nms {
namespace {

GraphSeries MakeSeries(const char* name, uint32_t colour, int fullScale) {
    GraphSeries s;
    s.name = name;
    s.colour = colour;
    s.visible = 1;
    s.fullScale = fullScale;
    s.rightEdgeX = 500;
    s.xLabel = "Sec.";
    s.yLabel = "Mbps";
    return s;
}

constexpr uint32_t Rgb(int r, int g, int b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

}  // namespace

MuxMonitorLogic::MuxMonitorLogic(int pageParam) : m_pageParam(pageParam) {
    firstSeries = MakeSeries(IsTwoOutput() ? "A Port Bitrate:" : "Total Bitrate:", Rgb(0, 0, 255), 50);
    if (IsTwoOutput())
        secondSeries = MakeSeries("B Port Bitrate:", Rgb(0, 255, 255), 300);
    for (int n = 1; n <= 8; ++n)
        channelLabels[size_t(n - 1)] = ChannelLabel(n);
    lowestA = highestA = bitrateA = bitrateB = highestB = "";
}

int MuxMonitorLogic::ChannelCount() const {
    if (m_pageParam == 4 || m_pageParam == 32)
        return 2;
    if (m_pageParam == 36)
        return 7;
    return 8;
}

std::string MuxMonitorLogic::ChannelLabel(int channel) const {
    if (m_pageParam == 36 && channel == 7)
        return "CH";
    return "CH-" + std::to_string(channel);
}

void MuxMonitorLogic::RestartExtremes() {
    rangeA.Restart();
    rangeB.Restart();
}

std::vector<uint8_t> MuxMonitorLogic::PollPayload() {
    if (!IsTwoOutput())
        return {};
    secondPoll = 0;
    return {1};
}

std::string MuxMonitorLogic::FormatMbps(uint32_t kbps) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%03u", kbps / 1000, kbps % 1000);
    return text;
}

int MuxMonitorLogic::SoftwareVersion(uint32_t versionWord) {
    return int(versionWord & 0xFF) * 256 + int(versionWord >> 8 & 0xFF);
}

void MuxMonitorLogic::SetLocks(uint8_t lockByte, bool inverted, bool setShowsGreen) {
    if (inverted)
        lockByte = uint8_t(~lockByte);
    for (int n = 0; n < 8; ++n) {
        const bool set = (lockByte >> n & 1) != 0;
        lockGreen[size_t(n)] = set == setShowsGreen;
    }
}

void MuxMonitorLogic::ShowA(uint8_t count, uint32_t kbps) {
    programCountA = count;
    currentA = kbps;
    rangeA.Add(kbps);
    bitrateA = FormatMbps(currentA);
    highestA = FormatMbps(uint32_t(rangeA.Max()));
    lowestA = FormatMbps(uint32_t(rangeA.Min()));
}

PageStep MuxMonitorLogic::OnStatusReply(const ReplyView& reply, uint32_t version) {
    PageStep step;
    if (reply.Command() != kCmdRealTimeStatus)
        return step;
    const int soft = SoftwareVersion(version);

    if (IsTwoOutput()) {
        uint8_t output = 0;
        if (!reply.U8(0, &output))
            return step;
        if (output == 1 || output == 2) {
            uint8_t count = 0, lock = 0;
            uint32_t kbps = 0;
            if (!reply.U8(1, &count) || !reply.U32LE(2, &kbps) || !reply.U8(6, &lock))
                return step;
            if (output == 1) {
                ShowA(count, kbps);
                SetLocks(lock, soft > 0 && soft <= 0x147, true);
                firstSeries.Append(float(currentA) / 1000.0f);
            } else {
                programCountB = count;
                currentB = kbps;
                rangeB.Add(kbps);
                bitrateB = FormatMbps(currentB);
                highestB = FormatMbps(uint32_t(rangeB.Max()));
                SetLocks(lock, soft <= 0x147, false);
                secondSeries.Append(float(currentB) / 1000.0f);
            }
        } else {
            // An unknown output changes nothing but repeats output A's last sample.
            firstSeries.Append(float(currentA) / 1000.0f);
        }
        step.refresh = kRefreshLocks;
        if (output == 1 && secondPoll == 0) {
            step = PageStep::Poll(kCmdRealTimeStatus, {2});
            step.refresh = kRefreshLocks;
            secondPoll = 1;
            return step;
        }
        step.refresh |= PageStep::kRefreshAll;
        return step;
    }

    uint8_t count = 0, lock = 0;
    uint32_t kbps = 0;
    if (!reply.U8(0, &count) || !reply.U32LE(1, &kbps) || !reply.U8(5, &lock))
        return step;
    uint8_t status = 0;
    std::array<uint16_t, 8> channelKbps{};
    if (IsTranscoder()) {
        if (!reply.U8(6, &status))
            return step;
        for (int n = 0; n < 8; ++n)
            if (!reply.U16LE(7 + 4 * n, &channelKbps[size_t(n)]))
                return step;
    }
    ShowA(count, kbps);
    SetLocks(lock, false, false);
    if (IsTranscoder()) {
        char text[48];
        std::snprintf(text, sizeof text, "Lock Bitrate(mbps)%02x", status);
        statusLabel = text;
        for (int n = 1; n <= 8; ++n)
            channelLabels[size_t(n - 1)] =
                "CH-" + std::to_string(n) + " " + FormatMbps(channelKbps[size_t(n - 1)]);
    }
    firstSeries.Append(float(currentA) / 1000.0f);
    step.refresh = kRefreshLocks | PageStep::kRefreshAll;
    return step;
}

}  // namespace nms
