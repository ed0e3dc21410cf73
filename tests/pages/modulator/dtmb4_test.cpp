#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/modulator/dtmb4_view.h"
#include "pages/modulator/qam_mod_block.h"
#include "param_store_sim.h"
#include "platform/resource_icons.h"

namespace nms {
namespace dtmb4_test {

using test::PageFixture;
using test::ParamStoreSim;

struct DtmbPage {
    PageFixture fx;
    Cdtmb4 page;
    ParamStoreSim sim;
    // answer: whether the device answers the page's first requests (the Get of the binding).
    DtmbPage(int pageParam, uint16_t type, bool answer = true) : fx(type), sim(type) {
        fx.Bind(&page, pageParam);
        if (answer)
            Answer();
    }
    void Answer() {
        while (auto sent = fx.TakeSentPacket()) {
            if (sent->command == 0x02)
                continue;
            if (auto reply = sim.Handle(sent->command, sent->payload))
                fx.FeedReply(sent->command, *reply);
        }
    }
    QLineEdit* Edit(const std::string& key) { return qobject_cast<QLineEdit*>(page.Binder().Control(key)); }
    std::optional<test::SentPacket> Set() {
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.PeekSentPacket();
    }
};

TEST(Dtmb4Test, ReadsAndWritesTheBlockOfEveryVariant) {
    const struct {
        int pageParam;
        uint16_t type;
        int tabs;
        const char* power;
    } cases[] = {
        {0, 0x4117, 0, "90"}, {99, 0x4157, 4, "90.6"}, {101, 0x4147, 4, "90.6"}, {103, 0x4187, 6, "90.6"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        DtmbPage p(c.pageParam, c.type);
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_EQ(p.page.m_tabs->isHidden(), c.tabs == 0);
        if (c.tabs) {
            EXPECT_EQ(p.page.m_tabs->count(), c.tabs);
        }
        EXPECT_EQ(p.Edit(c.pageParam == 0 ? "powerWhole" : "power")->text(), c.power);
        const std::vector<uint8_t> record = *p.sim.Record(0x33);
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        std::vector<uint8_t> expected(record.begin() + 2, record.end());
        expected.push_back(0);
        EXPECT_EQ(sent->payload, expected);
        p.Answer();
    }
}

// A typed power keeps to the range its unit label names: whole dB in the one-channel variant, tenths in
// the others; the ends of the range go out.
TEST(Dtmb4Test, PowerKeepsToTheRangeOfItsLabel) {
    const struct {
        int pageParam;
        uint16_t type;
        const char* text;
        int sent;  // -1: refused
        const char* message;
    } cases[] = {
        {0, 0x4117, "200", -1, "Please enter a number between 75 and 100."},
        {0, 0x4117, "74", -1, "Please enter a number between 75 and 100."},
        {0, 0x4117, "100", 100, ""},
        {99, 0x4157, "69.9", -1, "Please enter a number between 70 and 100."},
        {99, 0x4157, "70", 700, ""},
        {101, 0x4147, "74.5", -1, "Please enter a number between 75 and 100."},
        {101, 0x4147, "100.0", 1000, ""},
        {103, 0x4187, "100.1", -1, "Please enter a number between 75 and 100."},
        {103, 0x4187, "123456", -1, kFrequencyOverMaximum},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageParam << " " << c.text);
        DtmbPage p(c.pageParam, c.type);
        p.Edit(c.pageParam == 0 ? "powerWhole" : "power")->setText(c.text);
        auto sent = p.Set();
        if (c.sent < 0) {
            EXPECT_FALSE(sent);
            EXPECT_EQ(p.fx.Prompt().shown.back().text, c.message);
        } else {
            ASSERT_TRUE(sent);
            EXPECT_EQ(sent->payload[2] | sent->payload[3] << 8, c.sent);
        }
    }
}

TEST(Dtmb4Test, ChannelsChecksAndTheSpreadOfFrequencies) {
    DtmbPage p(103, 0x4187);
    auto* rf1 = p.Edit("freq1");
    rf1->clear();
    QTest::keyClicks(rf1, "474.000");
    EXPECT_EQ(p.Edit("freq2")->text(), "482");
    EXPECT_EQ(p.Edit("freq6")->text(), "514");
    p.Edit("freq3")->setText("123456");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "RF Frequency value should be '0-9' or '.'");
    p.Edit("freq3")->setText("490");

    // The sixth channel's fields are stored too.
    p.page.OnSelChangeChannelTab(5);
    EXPECT_EQ(p.page.m_tabs->currentIndex(), 5);
    EXPECT_EQ(p.Edit("ts6")->text(), "6");
    p.Edit("ts6")->setText("60");
    p.Edit("att6")->setText("3.3");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, kAttStep);
    p.page.OnSelChangeChannelTab(0);  // refused: the sixth stays in front
    EXPECT_EQ(p.page.m_tabs->currentIndex(), 5);
    p.Edit("att6")->setText("3.5");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    const uint8_t* c6 = sent->payload.data() + 45 + 24 * 5;
    EXPECT_EQ(c6[4], 35);
    EXPECT_EQ(c6[6], 60);
}

// A Get reply carrying the block of count channels, its frequencies given per channel (kHz).
std::vector<uint8_t> Reply(const ParamStoreSim& sim, uint8_t count, std::initializer_list<uint32_t> khz) {
    std::vector<uint8_t> r = *sim.Record(0x33);
    r[1] = count;
    int k = 0;
    for (uint32_t f : khz) {
        for (int i = 0; i < 4; ++i)
            r[size_t(2 + 45 + 24 * k + i)] = uint8_t(f >> (8 * i));
        ++k;
    }
    return r;
}

// Asks for the block and answers with a reply counting count channels.
void AnswerGet(DtmbPage& p, uint8_t count) {
    p.page.OnGet();
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->command, 0x33);
    p.fx.FeedReply(0x33, Reply(p.sim, count, {}));
    p.Answer();
}

// Typing channel 1's frequency moves channels 2 to 6 to F + 8 .. F + 40, the ones the page does not show
// included, and a Set sends all six.
TEST(Dtmb4Test, HiddenChannelsFollowTheFirstFrequency) {
    const struct {
        int pageParam;
        uint16_t type;
        uint8_t count;
        int shown;
    } cases[] = {{101, 0x4147, 4, 4}, {99, 0x4157, 4, 4}, {0, 0x4117, 1, 1}, {103, 0x4187, 6, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        DtmbPage p(c.pageParam, c.type);
        p.page.OnGet();
        ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x33);
        p.fx.FeedReply(0x33, Reply(p.sim, c.count, {474000, 482000, 490000, 498000, 562000, 570000}));
        p.Answer();
        for (int k = 1; k <= 6; ++k)
            EXPECT_EQ(p.page.Binder().Control(DtmbKey("freq", k))->isHidden(), k > c.shown) << k;
        auto* rf1 = p.Edit("freq1");
        rf1->clear();
        QTest::keyClicks(rf1, "626");
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        for (int k = 0; k < 6; ++k) {
            uint32_t khz = 0;
            for (int i = 0; i < 4; ++i)
                khz |= uint32_t(sent->payload[size_t(45 + 24 * k + i)]) << (8 * i);
            EXPECT_EQ(khz, 626000u + 8000u * uint32_t(k)) << "channel " << k + 1;
        }
    }
}

// A count of 6 brings six tabs with the first in front, and the frequency and bitrate fields of channels
// 2 to 6; any count but 1 and 6 leaves tabs and the tab in front as they are.
TEST(Dtmb4Test, TheChannelCountOfAReplySetsTheTabs) {
    DtmbPage p(101, 0x4147);
    p.page.OnSelChangeChannelTab(3);
    EXPECT_EQ(p.page.m_tabs->currentIndex(), 3);
    AnswerGet(p, 4);
    EXPECT_EQ(p.page.m_tabs->count(), 4);
    EXPECT_EQ(p.page.m_tabs->currentIndex(), 3);
    EXPECT_FALSE(p.page.Binder().Control("ts4")->isHidden());

    AnswerGet(p, 6);
    ASSERT_EQ(p.page.m_tabs->count(), 6);
    EXPECT_EQ(p.page.m_tabs->tabText(5), "Channel 6");
    EXPECT_EQ(p.page.m_tabs->currentIndex(), 0);
    EXPECT_FALSE(p.page.Binder().Control("ts1")->isHidden());
    EXPECT_TRUE(p.page.Binder().Control("ts4")->isHidden());
    EXPECT_EQ(p.Edit("ts1")->text(), "1");
    for (int k = 0; k < 6; ++k) {
        EXPECT_FALSE(p.page.m_rates[size_t(k)]->isHidden()) << k;
        EXPECT_FALSE(p.page.Binder().Control(DtmbKey("freq", k + 1))->isHidden()) << k;
    }
    // The first tab's fields are what a Set stores.
    p.Edit("ts1")->setText("11");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[45 + 6], 11);
    EXPECT_EQ(sent->payload[45 + 24 * 3 + 6], 4);
    p.Answer();
}

// Six channel tabs fit beside the shared settings in the main window's page area (814 x 544): every tab
// lies whole inside the tab control, and nothing of the page reaches past the area.
TEST(Dtmb4Test, SixChannelTabsFitThePageArea) {
    DtmbPage p(103, 0x4187);
    ASSERT_EQ(p.page.m_tabs->count(), 6);
    p.page.resize(814, 544);
    p.page.show();
    QApplication::processEvents();
    EXPECT_LE(p.page.minimumSizeHint().width(), 814);
    EXPECT_LE(p.page.minimumSizeHint().height(), 544);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_GE(p.page.m_tabs->tabRect(k).left(), 0);
        EXPECT_LE(p.page.m_tabs->tabRect(k).right(), p.page.m_tabs->width() - 1);
    }
    EXPECT_LE(p.page.m_tabs->mapTo(&p.page, QPoint(p.page.m_tabs->width(), 0)).x(), 814);
}

// A count of 1 hides the tab control and nothing else: the channel in front stays in front (its fields
// are what a Set stores), and the frequency fields of channels 2 to 4 stay.
TEST(Dtmb4Test, ACountOfOneOnlyHidesTheTabControl) {
    for (int front : {0, 3}) {
        SCOPED_TRACE(front);
        DtmbPage p(101, 0x4147);
        p.page.OnSelChangeChannelTab(front);
        AnswerGet(p, 1);
        EXPECT_TRUE(p.page.m_tabs->isHidden());
        EXPECT_EQ(p.page.m_tabs->count(), 4);
        EXPECT_EQ(p.page.m_tabs->currentIndex(), front);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(p.page.Binder().Control(DtmbKey("ts", k))->isHidden(), k != front + 1) << k;
        for (int k = 1; k <= 6; ++k)
            EXPECT_EQ(p.page.Binder().Control(DtmbKey("freq", k))->isHidden(), k > 4) << k;
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(p.page.m_rates[size_t(k)]->isHidden(), k >= 4) << k;
        p.Edit(DtmbKey("ts", front + 1))->setText("77");
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload[size_t(45 + 24 * front + 6)], 77);
        p.Answer();
    }
    // Six channels bring the tab control back with the six tabs.
    DtmbPage p(101, 0x4147);
    AnswerGet(p, 1);
    AnswerGet(p, 6);
    EXPECT_FALSE(p.page.m_tabs->isHidden());
    EXPECT_EQ(p.page.m_tabs->count(), 6);
}

// The one-channel modulator shows its "Channel 1" tab from the start, until a reply counts one channel.
TEST(Dtmb4Test, TheOneChannelTabShowsUntilAReplyCountsOne) {
    DtmbPage p(0, 0x4117, false);
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x33);
    ASSERT_FALSE(p.page.m_tabs->isHidden());
    ASSERT_EQ(p.page.m_tabs->count(), 1);
    EXPECT_EQ(p.page.m_tabs->tabText(0), "Channel 1");
    EXPECT_FALSE(p.page.Binder().Control("freq1")->isHidden());
    EXPECT_TRUE(p.page.Binder().Control("freq2")->isHidden());
    // A short reply and other counts leave it.
    p.fx.FeedReply(0x33, std::vector<uint8_t>(238, 1));
    EXPECT_FALSE(p.page.m_tabs->isHidden());
    AnswerGet(p, 2);
    EXPECT_FALSE(p.page.m_tabs->isHidden());
    EXPECT_EQ(p.page.m_tabs->count(), 1);
    AnswerGet(p, 1);
    EXPECT_TRUE(p.page.m_tabs->isHidden());
    EXPECT_FALSE(p.page.Binder().Control("ts1")->isHidden());
}

TEST(Dtmb4Test, StatusLocksAndRates) {
    DtmbPage p(101, 0x4147);
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kDtmbStatusTimerId));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x40);
    std::vector<uint8_t> status(17, 0);
    status[0] = 0x05;
    status[5] = 0x7c, status[6] = 0x94;  // channel 2: 38012
    p.fx.FeedReply(0x40, status);
    const QImage on = PixmapById(213).toImage();
    EXPECT_EQ(p.page.m_locks[0]->pixmap().toImage(), on);
    EXPECT_NE(p.page.m_locks[1]->pixmap().toImage(), on);
    EXPECT_EQ(p.page.m_locks[2]->pixmap().toImage(), on);
    EXPECT_EQ(p.page.m_rates[1]->text(), "38.012");

    DtmbPage q(99, 0x4157);
    q.fx.FeedReply(0x40, status);
    EXPECT_TRUE(q.page.m_rates[0]->isHidden());  // the poll runs but shows no rate
    EXPECT_TRUE(q.page.m_locks[0]->isHidden());
}

// Each variant shows its own lamps (the four-channel modulator none for channel 5, the six-channel one only
// channel 6's), and every lamp shown carries its own channel's bit of the status.
TEST(Dtmb4Test, EachShownLampShowsItsChannelsLockBit) {
    const struct {
        int pageParam;
        uint16_t type;
        unsigned shown;  // bit k: lamp of channel k+1
    } cases[] = {{0, 0x4117, 0x3f}, {99, 0x4157, 0x00}, {101, 0x4147, 0x2f}, {103, 0x4187, 0x20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        DtmbPage p(c.pageParam, c.type);
        for (int k = 0; k < 6; ++k) {
            const bool shown = c.shown >> k & 1;
            EXPECT_EQ(p.page.m_locks[size_t(k)]->isHidden(), !shown) << k;
            const QLabel* label = p.page.m_lockLabels[size_t(k)];
            EXPECT_EQ(label->text(), QString("Channel %1").arg(k + 1));
            EXPECT_EQ(label->isHidden(), !shown) << k;
        }
        for (uint8_t status : {uint8_t(0x25), uint8_t(0x1a), uint8_t(0x00)}) {
            std::vector<uint8_t> reply(17, 0);
            reply[0] = status;
            p.fx.FeedReply(0x40, reply);
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ(IsLampOn(p.page.m_locks[size_t(k)]), bool(status >> k & 1))
                    << "status " << int(status) << " channel " << k + 1;
        }
    }
}

// The status box shows the lock caption only over lamps, and goes altogether when it would be empty.
TEST(Dtmb4Test, StatusBoxShowsOnlyWhatTheVariantHas) {
    const struct {
        int pageParam;
        uint16_t type;
        bool caption, box;
    } cases[] = {{0, 0x4117, true, true},
                 {99, 0x4157, false, false},
                 {101, 0x4147, true, true},
                 {103, 0x4187, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        DtmbPage p(c.pageParam, c.type);
        EXPECT_EQ(!p.page.m_lockCaption->isHidden(), c.caption);
        EXPECT_EQ(!p.page.m_status->isHidden(), c.box);
    }
}

}  // namespace dtmb4_test
}  // namespace nms
