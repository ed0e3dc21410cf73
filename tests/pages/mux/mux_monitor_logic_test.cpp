#include "pages/mux/mux_monitor_logic.h"

#include <gtest/gtest.h>

#include "devices/device_packet.h"

namespace nms {
namespace mux_monitor_logic_test {

// A framed reply as the link hands it over (header + payload, no CRC).
struct Reply {
    std::vector<uint8_t> bytes;
    Reply(uint8_t command, const std::vector<uint8_t>& payload) {
        bytes = {0x21, 0x01, 1, 1, command, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    }
    ReplyView View() const { return ReplyView(bytes.data(), int(bytes.size())); }
};

std::vector<uint8_t> Le32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// Single-output layout: [count][kbps u32][lock].
std::vector<uint8_t> Single(uint8_t count, uint32_t kbps, uint8_t lock) {
    std::vector<uint8_t> p{count};
    auto k = Le32(kbps);
    p.insert(p.end(), k.begin(), k.end());
    p.push_back(lock);
    return p;
}

// Two-output layout: [output][count][kbps u32][lock].
std::vector<uint8_t> Dual(uint8_t output, uint8_t count, uint32_t kbps, uint8_t lock) {
    std::vector<uint8_t> p{output};
    auto rest = Single(count, kbps, lock);
    p.insert(p.end(), rest.begin(), rest.end());
    return p;
}

// The version word with software major in byte 0 and minor in byte 1.
uint32_t Version(int major, int minor) {
    return uint32_t(major) | uint32_t(minor) << 8;
}

TEST(MuxMonitorLogic, Variants) {
    struct Case {
        int param, channels;
        bool programCount;
        const char* first;
        const char* seventh;
    } cases[] = {
        {0, 8, true, "Total Bitrate:", "CH-7"},  {1, 8, true, "A Port Bitrate:", "CH-7"},
        {4, 2, true, "Total Bitrate:", "CH-7"},  {32, 2, false, "Total Bitrate:", "CH-7"},
        {36, 7, true, "Total Bitrate:", "CH"},   {37, 8, true, "Total Bitrate:", "CH-7"},
        {86, 8, true, "Total Bitrate:", "CH-7"},
    };
    for (const auto& c : cases) {
        MuxMonitorLogic l(c.param);
        EXPECT_EQ(l.ChannelCount(), c.channels) << c.param;
        EXPECT_EQ(l.ShowsProgramCount(), c.programCount) << c.param;
        EXPECT_EQ(l.firstSeries.name, c.first) << c.param;
        EXPECT_EQ(l.ChannelLabel(7), c.seventh) << c.param;
        EXPECT_EQ(l.firstSeries.fullScale, 50);
        EXPECT_EQ(l.firstSeries.rightEdgeX, 500);
        EXPECT_EQ(l.firstSeries.colour, 0xFF0000u);
        EXPECT_EQ(l.firstSeries.xLabel, "Sec.");
        EXPECT_EQ(l.firstSeries.yLabel, "Mbps");
    }
    MuxMonitorLogic two(1);
    EXPECT_EQ(two.secondSeries.name, "B Port Bitrate:");
    EXPECT_EQ(two.secondSeries.fullScale, 300);
    EXPECT_EQ(two.secondSeries.colour, 0xFFFF00u);
}

TEST(MuxMonitorLogic, FormatsMbpsWithThreeDecimals) {
    EXPECT_EQ(MuxMonitorLogic::FormatMbps(38500), "38.500");
    EXPECT_EQ(MuxMonitorLogic::FormatMbps(3050), "3.050");
    EXPECT_EQ(MuxMonitorLogic::FormatMbps(7), "0.007");
    EXPECT_EQ(MuxMonitorLogic::FormatMbps(4000000), "4000.000");
    EXPECT_EQ(MuxMonitorLogic::FormatMbps(0xFFFFFFFFu), "4294967.295");  // unsigned, never negative
}

TEST(MuxMonitorLogic, SingleOutputReplyUpdatesCurrentHighestLowestAndChart) {
    MuxMonitorLogic l(0);
    EXPECT_TRUE(l.PollPayload().empty());
    auto step = l.OnStatusReply(Reply(0x40, Single(12, 38500, 0x05)).View(), 0);
    ASSERT_FALSE(step.IsEmpty());
    EXPECT_TRUE(step.refresh & PageStep::kRefreshAll);
    EXPECT_FALSE(step.HasRequest());
    EXPECT_EQ(l.programCountA, 12u);
    EXPECT_EQ(l.bitrateA, "38.500");
    EXPECT_EQ(l.highestA, "38.500");
    EXPECT_EQ(l.lowestA, "38.500");  // lowest starts at 4000000 and takes the first real value
    l.OnStatusReply(Reply(0x40, Single(12, 40000, 0)).View(), 0);
    l.OnStatusReply(Reply(0x40, Single(12, 39000, 0)).View(), 0);
    EXPECT_EQ(l.bitrateA, "39.000");
    EXPECT_EQ(l.highestA, "40.000");
    EXPECT_EQ(l.lowestA, "38.500");
    ASSERT_EQ(l.firstSeries.count, 3);
    EXPECT_FLOAT_EQ(l.firstSeries.values[2], 39.0f);

    // Shown again: the extremes restart.
    l.RestartExtremes();
    l.OnStatusReply(Reply(0x40, Single(12, 39500, 0)).View(), 0);
    EXPECT_EQ(l.highestA, "39.500");
    EXPECT_EQ(l.lowestA, "39.500");
}

TEST(MuxMonitorLogic, SingleOutputLockBitShowsRedWhateverTheVersion) {
    for (uint32_t version : {0u, Version(1, 0x47), Version(1, 0x48)}) {
        MuxMonitorLogic l(37);
        l.OnStatusReply(Reply(0x40, Single(1, 1000, 0x81)).View(), version);
        EXPECT_FALSE(l.lockGreen[0]);
        EXPECT_TRUE(l.lockGreen[1]);
        EXPECT_FALSE(l.lockGreen[7]);
    }
}

TEST(MuxMonitorLogic, TwoOutputLockPolarityFollowsTheVersion) {
    struct Case {
        uint32_t version;
        bool aGreen, bGreen;  // channel 1 after lock byte 0x01
    } cases[] = {
        {Version(1, 0x47), false, true},
        {Version(1, 0x48), true, false},
        {0, true, true},  // never answered: A is not inverted, B is
    };
    for (const auto& c : cases) {
        MuxMonitorLogic l(1);
        l.PollPayload();
        l.OnStatusReply(Reply(0x40, Dual(1, 3, 1000, 0x01)).View(), c.version);
        EXPECT_EQ(l.lockGreen[0], c.aGreen) << std::hex << c.version;
        l.OnStatusReply(Reply(0x40, Dual(2, 3, 1000, 0x01)).View(), c.version);
        EXPECT_EQ(l.lockGreen[0], c.bGreen) << std::hex << c.version;
    }
}

TEST(MuxMonitorLogic, TwoOutputAsksForBAfterAAndRefreshesAfterB) {
    MuxMonitorLogic l(1);
    EXPECT_EQ(l.secondPoll, 1);
    EXPECT_EQ(l.PollPayload(), std::vector<uint8_t>{1});
    EXPECT_EQ(l.secondPoll, 0);

    auto a = l.OnStatusReply(Reply(0x40, Dual(1, 5, 20000, 0)).View(), 0);
    ASSERT_FALSE(a.IsEmpty());
    EXPECT_EQ(a.payload, std::vector<uint8_t>{2});
    EXPECT_FALSE(a.refresh & PageStep::kRefreshAll);
    EXPECT_EQ(l.secondPoll, 1);
    EXPECT_EQ(l.programCountA, 5u);
    EXPECT_EQ(l.bitrateA, "20.000");

    auto b = l.OnStatusReply(Reply(0x40, Dual(2, 7, 30500, 0)).View(), 0);
    EXPECT_TRUE(b.refresh & PageStep::kRefreshAll);
    EXPECT_FALSE(b.HasRequest());
    EXPECT_EQ(l.programCountB, 7u);
    EXPECT_EQ(l.bitrateB, "30.500");
    EXPECT_EQ(l.highestB, "30.500");
    EXPECT_EQ(l.lowestA, "20.000");  // B has no lowest and never touches A's
    EXPECT_EQ(l.firstSeries.count, 1);
    ASSERT_EQ(l.secondSeries.count, 1);
    EXPECT_FLOAT_EQ(l.secondSeries.values[0], 30.5f);

    // A late second output-A reply asks for nothing more.
    auto late = l.OnStatusReply(Reply(0x40, Dual(1, 5, 21000, 0)).View(), 0);
    EXPECT_FALSE(late.HasRequest());
    EXPECT_TRUE(late.refresh & PageStep::kRefreshAll);
}

TEST(MuxMonitorLogic, TwoOutputUnknownOutputRepeatsTheLastASample) {
    MuxMonitorLogic l(1);
    l.PollPayload();
    l.OnStatusReply(Reply(0x40, Dual(1, 5, 20000, 0x01)).View(), Version(1, 0x48));
    const auto locks = l.lockGreen;
    auto step = l.OnStatusReply(Reply(0x40, Dual(9, 99, 77777, 0xFF)).View(), Version(1, 0x48));
    EXPECT_FALSE(step.IsEmpty());
    EXPECT_EQ(l.programCountA, 5u);
    EXPECT_EQ(l.programCountB, 0u);
    EXPECT_EQ(l.bitrateA, "20.000");
    EXPECT_EQ(l.lockGreen, locks);
    ASSERT_EQ(l.firstSeries.count, 2);
    EXPECT_FLOAT_EQ(l.firstSeries.values[1], 20.0f);
}

TEST(MuxMonitorLogic, TranscoderShowsStatusAndChannelBitrates) {
    MuxMonitorLogic l(86);
    std::vector<uint8_t> p = Single(4, 38500, 0x00);
    p.push_back(0x3C);  // status byte
    for (int n = 0; n < 8; ++n) {
        const uint16_t kbps = uint16_t(n == 0 ? 3050 : 1000 * n);
        p.insert(p.end(), {uint8_t(kbps), uint8_t(kbps >> 8), 0, 0});
    }
    auto step = l.OnStatusReply(Reply(0x40, p).View(), 0);
    ASSERT_FALSE(step.IsEmpty());
    EXPECT_EQ(l.statusLabel, "Lock Bitrate(mbps)3c");
    EXPECT_EQ(l.channelLabels[0], "CH-1 3.050");
    EXPECT_EQ(l.channelLabels[7], "CH-8 7.000");
    EXPECT_EQ(l.bitrateA, "38.500");
}

TEST(MuxMonitorLogic, ShortOrForeignRepliesChangeNothing) {
    struct Case {
        int param;
        std::vector<uint8_t> payload;
    } cases[] = {
        {0, {}},
        {0, {1, 0x10, 0x27, 0}},  // bitrate cut short
        {37, {1, 0, 0, 0, 0}},    // lock byte missing
        {1, {}},
        {1, {1, 3, 0x10, 0x27, 0, 0}},  // lock byte missing
        {86, Single(4, 38500, 0)},      // no status byte or channel bitrates
    };
    for (const auto& c : cases) {
        MuxMonitorLogic l(c.param);
        l.PollPayload();
        auto step = l.OnStatusReply(Reply(0x40, c.payload).View(), 0);
        EXPECT_TRUE(step.IsEmpty()) << c.param << " " << c.payload.size();
        EXPECT_FALSE(step.HasRequest());
        EXPECT_EQ(l.bitrateA, "");
        EXPECT_EQ(l.rangeA.Min(), kLowestStart);
        EXPECT_EQ(l.firstSeries.count, 0);
    }
    // A reply to another command is not a status reply.
    MuxMonitorLogic l(0);
    EXPECT_TRUE(l.OnStatusReply(Reply(0x41, Single(1, 1000, 0)).View(), 0).IsEmpty());
    EXPECT_EQ(l.firstSeries.count, 0);
}

TEST(MuxMonitorLogic, ChartKeepsTheNewestSamplesOnly) {
    MuxMonitorLogic l(0);
    for (uint32_t i = 1; i <= 600; ++i)
        l.OnStatusReply(Reply(0x40, Single(1, i * 1000, 0)).View(), 0);
    ASSERT_EQ(l.firstSeries.count, 499);
    EXPECT_FLOAT_EQ(l.firstSeries.values[498], 600.0f);
    EXPECT_FLOAT_EQ(l.firstSeries.values[0], 102.0f);
}

}  // namespace mux_monitor_logic_test
}  // namespace nms
