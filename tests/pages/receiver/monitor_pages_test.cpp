// The signal monitor pages: status replies of every layout, short and odd ones, and the poll.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include "devices/device_record.h"
#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/receiver/dvbs2_signal_monitor_view.h"
#include "pages/receiver/dvbs_monitor_view.h"
#include "receiver_device_sim.h"

namespace nms {
namespace monitor_pages_test {

using test::PageFixture;
using test::ReceiverSimDevice;
using Bytes = std::vector<uint8_t>;

struct MonitorPage {
    PageFixture fx;
    CDVBSMonitorView page;
    MonitorPage(int pageParam, uint16_t type) : fx(type) {
        fx.Bind(&page, pageParam);
        auto version = fx.TakeSentPacket();
        EXPECT_TRUE(version && version->command == 0x02);
    }
    QString Value(int row) { return page.m_values[size_t(row)]->text(); }
    int Bar(int row) { return page.m_bars[size_t(row)]->value(); }
    bool Shown(QWidget* w) { return w->isVisibleTo(&page); }
};

TEST(DvbsMonitorTest, PollsWhileShownAndGivesWayToAWait) {
    MonitorPage p(0, 0x5103);
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    auto poll = p.fx.TakeSentPacket();
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->command, 0x72);
    EXPECT_TRUE(poll->payload.empty());
    // A request still in the send slot, or a wait, keeps the poll back; a status reply ends no wait.
    p.page.BeginWait(kWaitTimerId);
    p.fx.FireTimer(&p.page, 66);
    EXPECT_FALSE(p.fx.TakeSentPacket());
    p.fx.FeedReply(0x72, Bytes(21, 0), 2);
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FireTimer(&p.page, kWaitTimerId);
    p.page.hide();
    EXPECT_FALSE(p.fx.FireTimer(&p.page, 66));
}

TEST(DvbsMonitorTest, FourChannelReceiver) {
    MonitorPage p(0, 0x5103);
    EXPECT_TRUE(p.Shown(p.page.m_groups[3]));
    EXPECT_FALSE(p.Shown(p.page.m_labels[4]));
    Bytes s(21, 0);
    s[4] = 12, s[9] = 12, s[14] = 20, s[19] = 7;
    s[2] = 0xe8, s[3] = 0x03;  // channel 1: useful 1000, total 0
    s[20] = 0x05;
    p.fx.FeedReply(0x72, s, 3);
    EXPECT_EQ(p.Value(0), "12.00db");
    EXPECT_EQ(p.Value(1), "12.00%");
    EXPECT_EQ(p.Value(2), "20.00%");
    EXPECT_EQ(p.page.m_bars[0]->maximum(), 28);
    EXPECT_EQ(p.page.m_useful[0]->text(), "1.604");
    EXPECT_EQ(p.page.m_total[0]->text(), "0.000");
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[0]));
    EXPECT_FALSE(IsLampOn(p.page.m_lamps[1]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[2]));
    // K = 2: hundredths from bytes 14-17 (which are also channel 3's level and channel 4's rate word).
    p.fx.FeedReply(0x72, s, 2);
    EXPECT_EQ(p.Value(0), "12.20db");
    EXPECT_EQ(p.Value(3), "7.00db");
    // Too short: nothing changes.
    p.fx.FeedReply(0x72, Bytes(20, 0), 1);
    EXPECT_EQ(p.Value(0), "12.20db");
    EXPECT_EQ(p.page.m_bars[0]->maximum(), 28);
}

TEST(DvbsMonitorTest, SixteenChannelsClampToTheScale) {
    MonitorPage p(39, 0x2143);
    EXPECT_TRUE(p.Shown(p.page.m_bars[15]));
    Bytes s(98, 0);
    s[0] = 0x01, s[1] = 0x80;
    s[6] = 55, s[7] = 20;
    s[6 + 6 * 15] = 10, s[7 + 6 * 15] = 5;
    p.fx.FeedReply(0x72, s, 1);
    EXPECT_EQ(p.Value(0), "40.20%");
    EXPECT_EQ(p.Bar(0), 40);
    EXPECT_EQ(p.page.m_bars[0]->maximum(), 40);
    EXPECT_EQ(p.Value(15), "10.05%");
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[0]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[15]));
    EXPECT_FALSE(IsLampOn(p.page.m_lamps[8]));
    p.fx.FeedReply(0x72, s, 6);
    EXPECT_EQ(p.Value(0), "28.20db");
    p.fx.FeedReply(0x72, Bytes(97, 0), 6);
    EXPECT_EQ(p.Value(0), "28.20db");
}

TEST(DvbsMonitorTest, ModulatorInputsByKind) {
    MonitorPage p(33, 0x4125);
    EXPECT_TRUE(p.Shown(p.page.m_lamps[6]));
    EXPECT_FALSE(p.Shown(p.page.m_bars[6]));
    Bytes s(38, 0);
    for (int n = 0; n < 6; ++n)
        s[size_t(4 + 5 * n)] = uint8_t(50 + n);
    s[30] = 0x41;
    s[37] = 0x22;
    // K = 6: row 5 keeps its label and lamp only, rows 6-8 go.
    p.fx.FeedReply(0x72, s, 6);
    EXPECT_FALSE(p.Shown(p.page.m_bars[4]));
    EXPECT_TRUE(p.Shown(p.page.m_lamps[4]));
    EXPECT_FALSE(p.Shown(p.page.m_labels[5]));
    EXPECT_FALSE(p.Shown(p.page.m_labels[6]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[0]));
    // K = 1 and 38 bytes: rows 7-9 (and 10-12) get lamps but rows 7 and 8 no values.
    p.fx.FeedReply(0x72, s, 1);
    EXPECT_TRUE(p.Shown(p.page.m_bars[4]));
    EXPECT_TRUE(p.Shown(p.page.m_lamps[8]));
    EXPECT_TRUE(p.Shown(p.page.m_lamps[11]));
    EXPECT_FALSE(p.Shown(p.page.m_bars[6]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[7]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[11]));
    EXPECT_EQ(p.Value(0), "50.00%");
    EXPECT_EQ(p.Value(6), "");
    // 42 bytes: channels 7 and 8 with their hundredths.
    s.resize(42);
    s[38] = 21, s[39] = 50, s[40] = 22, s[41] = 5;
    p.fx.FeedReply(0x72, s, 1);
    EXPECT_TRUE(p.Shown(p.page.m_bars[7]));
    EXPECT_EQ(p.Value(6), "21.50%");
    EXPECT_EQ(p.Value(7), "22.05%");
    // The modulator with 8 inputs has no rows 10-12.
    MonitorPage q(33, 0x4187);
    q.fx.FeedReply(0x72, s, 1);
    EXPECT_TRUE(q.Shown(q.page.m_lamps[8]));
    EXPECT_FALSE(q.Shown(q.page.m_lamps[9]));
}

TEST(DvbsMonitorTest, SixAndEightChannelReceivers) {
    MonitorPage six(36, 0x2103);
    Bytes s(49, 0);
    for (int n = 0; n < 6; ++n)
        s[size_t(4 + 5 * n)] = uint8_t(10 + n);
    s[30] = 0x40;
    six.fx.FeedReply(0x72, s, 1);
    EXPECT_TRUE(IsLampOn(six.page.m_lamps[6]));
    EXPECT_EQ(six.Value(5), "15.00%");
    MonitorPage eight(37, 0x2133);
    s[35] = 30, s[40] = 31, s[41] = 20, s[42] = 45, s[47] = 21, s[48] = 3;
    eight.fx.FeedReply(0x72, s, 1);
    EXPECT_EQ(eight.Value(6), "30.00%");
    EXPECT_EQ(eight.Value(7), "31.00%");
    eight.fx.FeedReply(0x72, s, 2);
    // K = 2: hundredths at 24-29 (channel 5's level and channel 6's record, read as they stand).
    EXPECT_EQ(eight.Value(0), "10.14db");
    EXPECT_EQ(eight.Value(6), "20.45db");
    EXPECT_EQ(eight.Value(7), "21.03db");
    eight.fx.FeedReply(0x72, Bytes(48, 0), 2);  // short for K = 2
    EXPECT_EQ(eight.Value(7), "21.03db");
}

TEST(DvbsMonitorTest, SimulatedStatusOfEveryVariant) {
    const std::pair<int, uint16_t> variants[] = {
        {0, 0x5103}, {33, 0x4125}, {36, 0x2103}, {37, 0x2133}, {39, 0x2143}};
    for (auto [pageParam, type] : variants) {
        MonitorPage p(pageParam, type);
        ReceiverSimDevice sim(type);
        auto status = sim.Handle(0x72, {});
        ASSERT_TRUE(status);
        p.fx.FeedReply(0x72, status->payload, status->b);
        EXPECT_FALSE(p.Value(0).isEmpty()) << pageParam;
    }
}

}  // namespace monitor_pages_test
}  // namespace nms

namespace nms {
namespace monitor_pages_test {

void Put32(Bytes& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

struct SignalPage {
    PageFixture fx;
    CDVBS2signalMonitor page;
    SignalPage(int pageParam, uint16_t type) : fx(type) { fx.Bind(&page, pageParam); }
    bool Shown(QWidget* w) { return w->isVisibleTo(&page); }
};

TEST(SignalMonitorTest, QualitiesBitratesAndLocks) {
    SignalPage p(0, 0x2105);
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);
    EXPECT_FALSE(p.Shown(p.page.m_get));
    EXPECT_FALSE(p.Shown(p.page.m_numbers[8]));
    Bytes s(74, 0);
    s[0] = 1;
    s[1] = 0x81;
    Put32(s, 2, 665);
    Put32(s, 6, 1234);
    Put32(s, 10, 700);
    Put32(s, 70, 1365);
    p.fx.FeedReply(0x72, s, 8);
    EXPECT_EQ(p.page.m_qualityValues[0]->text(), "12.34");
    EXPECT_EQ(p.page.m_quality[0]->maximum(), 28);
    EXPECT_EQ(p.page.m_quality[0]->value(), 12);
    EXPECT_EQ(p.page.m_qualityCaption->text(), "Signal Quality(db)");
    EXPECT_EQ(p.page.m_bitrates[0]->text(), "1.000");
    EXPECT_EQ(p.page.m_bitrates[1]->text(), "1.052");
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[0]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[7]));
    EXPECT_FALSE(IsLampOn(p.page.m_lamps[1]));
    s[0] = 0;
    Put32(s, 6, 85);
    p.fx.FeedReply(0x72, s, 8);
    EXPECT_EQ(p.page.m_qualityValues[0]->text(), "85");
    EXPECT_EQ(p.page.m_quality[0]->value(), 85);
    EXPECT_EQ(p.page.m_quality[0]->maximum(), 100);
    // Sixteen channels switch this variant to the sixteen-row display.
    Bytes t(131, 0);
    t[66] = 0x01;
    Put32(t, 67, 665);
    p.fx.FeedReply(0x72, t, 16);
    EXPECT_TRUE(p.Shown(p.page.m_numbers[15]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[8]));
    EXPECT_EQ(p.page.m_bitrates[8]->text(), "1.000");
    // Too short for sixteen channels: nothing changes.
    p.fx.FeedReply(0x72, Bytes(130, 0), 16);
    EXPECT_EQ(p.page.m_bitrates[8]->text(), "1.000");
}

TEST(SignalMonitorTest, SixteenRowVariantShowsTheTotalWithEightChannels) {
    SignalPage p(48, 0x2115);
    p.fx.TakeSentPacket();
    EXPECT_TRUE(p.Shown(p.page.m_total));
    Bytes s(74, 0);
    Put32(s, 70, 1330);
    p.fx.FeedReply(0x72, s, 8);
    EXPECT_EQ(p.page.m_total->text(), "2.000");
    EXPECT_FALSE(p.Shown(p.page.m_numbers[8]));
    p.fx.FeedReply(0x72, Bytes(131, 0), 16);
    EXPECT_TRUE(p.Shown(p.page.m_numbers[8]));
    EXPECT_FALSE(p.Shown(p.page.m_total));
}

TEST(SignalMonitorTest, EveryVariantAsksForTheVersionAndThenTheMapWhenShown) {
    for (auto [pageParam, type] : {std::pair<int, uint16_t>{0, 0x2105}, {48, 0x2115}, {49, 0x2236}}) {
        SignalPage p(pageParam, type);
        // The map read waits while the version request is still in the send slot: it would replace it.
        EXPECT_TRUE(p.fx.FireTimer(&p.page, 67)) << pageParam;
        ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x02) << pageParam;
        // Nor does the status poll go ahead of it.
        EXPECT_TRUE(p.fx.FireTimer(&p.page, 66));
        EXPECT_FALSE(p.fx.PeekSentPacket()) << pageParam;
        EXPECT_TRUE(p.fx.FireTimer(&p.page, 67));
        auto get = p.fx.TakeSentPacket();
        ASSERT_TRUE(get) << pageParam;
        EXPECT_EQ(get->command, 0x33);
        EXPECT_TRUE(get->payload.empty());
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_FALSE(p.fx.FireTimer(&p.page, 67)) << pageParam;  // sent once
        EXPECT_TRUE(p.fx.FireTimer(&p.page, 66));
        EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x72) << pageParam;
    }
    // Offline: the version request is refused and no map read is left over.
    SignalPage p(0, 0x2105);
    p.fx.TakeSentPacket();
    p.page.hide();
    p.fx.Device()->status.store(0);
    p.page.show();
    EXPECT_FALSE(p.fx.FireTimer(&p.page, 67));
    EXPECT_FALSE(p.fx.PeekSentPacket());
}

TEST(SignalMonitorTest, ChannelMapReadAndWrite) {
    SignalPage p(49, 0x2236);
    EXPECT_FALSE(p.Shown(p.page.m_quality[0]));
    EXPECT_TRUE(p.Shown(p.page.m_physical[7]));
    p.fx.TakeSentPacket();
    p.page.m_get->click();
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x33);
    p.fx.FeedReply(0x33, {0x01, 0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    EXPECT_EQ(p.page.m_physical[0]->currentText(), "2");
    EXPECT_EQ(p.page.m_physical[1]->currentText(), "1");
    p.fx.FeedReply(0x33, {0x01});  // short: ignored
    EXPECT_EQ(p.page.m_physical[0]->currentText(), "2");
    p.fx.FeedReply(0x33, {9, 0, 2, 3, 4, 5, 6, 7});  // 9 is on no list: sent back as it came
    p.page.m_physical[1]->setCurrentIndex(7);
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x34);
    EXPECT_EQ(set->payload, (Bytes{9, 7, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(p.page.IsBusy());
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x72);
}

TEST(SignalMonitorTest, SimulatedStatus) {
    for (auto [pageParam, type] : {std::pair<int, uint16_t>{0, 0x2105}, {48, 0x2115}, {49, 0x2236}}) {
        SignalPage p(pageParam, type);
        ReceiverSimDevice sim(type);
        auto status = sim.Handle(0x72, {});
        p.fx.FeedReply(0x72, status->payload, status->b);
        EXPECT_FALSE(p.page.m_bitrates[7]->text().isEmpty()) << pageParam;
    }
}

}  // namespace monitor_pages_test
}  // namespace nms
