#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "page_fixture.h"
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
    DtmbPage(int pageParam, uint16_t type) : fx(type), sim(type) {
        fx.Bind(&page, pageParam);
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

// The status box shows the lock caption only over lamps, and goes altogether when it would be empty.
TEST(Dtmb4Test, StatusBoxShowsOnlyWhatTheVariantHas) {
    const struct {
        int pageParam;
        uint16_t type;
        bool caption, box;
    } cases[] = {{0, 0x4117, true, true},
                 {99, 0x4157, false, false},
                 {101, 0x4147, true, true},
                 {103, 0x4187, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        DtmbPage p(c.pageParam, c.type);
        EXPECT_EQ(!p.page.m_lockCaption->isHidden(), c.caption);
        EXPECT_EQ(!p.page.m_status->isHidden(), c.box);
    }
}

}  // namespace dtmb4_test
}  // namespace nms
