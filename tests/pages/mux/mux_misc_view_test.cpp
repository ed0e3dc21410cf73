#include "pages/mux/mux_misc_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/page_registry.h"
#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "page_fixture.h"

namespace nms {
namespace mux_misc_view_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

struct MuxMiscViewTest : ::testing::Test {
    PageFixture fx{0x2101};
    std::unique_ptr<CMuxMiscView> page;

    void Open(int pageParam) {
        page = std::make_unique<CMuxMiscView>();
        fx.Bind(page.get(), pageParam);
    }
    const CMuxMiscView::OutputControls& Out(int o) const { return page->Output(o); }
};

TEST_F(MuxMiscViewTest, LayoutOfEachVariant) {
    struct Case {
        int param;
        const char* captionA;
        int groups;
        bool realtime, buttonsA, buttonsB, buttonsAll, polls;
    } cases[] = {
        {0, "Basic Parameters", 1, false, true, false, false, true},
        {1, "Channel A", 2, false, true, true, false, true},
        {20, "Channel A", 4, true, false, false, true, true},
        {39, "Channel A", 2, true, false, false, true, true},
        {86, "Basic Parameters", 1, false, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.param);
        Open(c.param);
        fx.TakeSentPacket();
        EXPECT_EQ(Out(0).group->title().toStdString(), c.captionA);
        for (int o = 0; o < kMuxOutputs; ++o)
            EXPECT_EQ(Out(o).group->isVisible(), o < c.groups) << o;
        EXPECT_EQ(Out(0).realtime->isVisible(), c.realtime);
        EXPECT_EQ(Out(0).tables[kTableNit]->isVisible(), c.realtime);
        EXPECT_TRUE(Out(0).tables[kTablePat]->isVisible());
        EXPECT_FALSE(Out(0).address->isVisible());  // until a reply reports IP outputs
        EXPECT_EQ(page->GetAButton()->isVisible(), c.buttonsA);
        EXPECT_EQ(page->GetBButton()->isVisible(), c.buttonsB);
        EXPECT_EQ(page->SetAllButton()->isVisible(), c.buttonsAll);
        EXPECT_EQ(page->Timers().IsActive(kOutputStatusTimerId), c.polls);
        if (c.polls) {
            EXPECT_EQ(page->Timers().Interval(kOutputStatusTimerId), 2000);
        }
        EXPECT_EQ(page->GetAButton()->text(), "Get");
        EXPECT_EQ(page->SetAllButton()->text(), "Set");
    }
}

TEST_F(MuxMiscViewTest, ShownReadsAThenBAndTheWaitEndsAfterB) {
    Open(1);
    auto first = fx.TakeSentPacket();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->command, kCmdGetOutputParams);
    EXPECT_EQ(first->payload, Bytes{1});
    EXPECT_TRUE(page->IsBusy());

    fx.FeedReply(kCmdGetOutputParams, {1, 0x64, 0x96, 0, 0, 0x2b, 0x1a, 0x02, 0x01, 0x2c, 0x01});
    auto second = fx.TakeSentPacket();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->payload, Bytes{2});
    EXPECT_TRUE(page->IsBusy());
    EXPECT_EQ(Out(0).bitrate->text(), "38.500");
    EXPECT_EQ(Out(0).tsId->text(), "1a2b");

    fx.FeedReply(kCmdGetOutputParams, {2, 0x39, 0x30, 0, 0, 0x01, 0, 0x02, 0, 0, 0});
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(Out(1).bitrate->text(), "12.345");

    // B's own buttons: Get reads only B; Set sends what the operator typed.
    QTest::mouseClick(page->GetBButton(), Qt::LeftButton);
    auto getB = fx.TakeSentPacket();
    ASSERT_TRUE(getB);
    EXPECT_EQ(getB->payload, Bytes{2});
    fx.FeedReply(kCmdGetOutputParams, {2, 0x39, 0x30, 0, 0, 0x01, 0, 0x02, 0, 0, 0});
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_FALSE(page->IsBusy());

    Out(1).bitrate->setText("2.5");
    QTest::mouseClick(page->SetBButton(), Qt::LeftButton);
    auto setB = fx.TakeSentPacket();
    ASSERT_TRUE(setB);
    EXPECT_EQ(setB->command, kCmdSetOutputParams);
    EXPECT_EQ(setB->payload, (Bytes{2, 0xc4, 0x09, 0, 0, 0x01, 0, 0x02, 0, 0, 0}));
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdSetOutputParams, {});
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(MuxMiscViewTest, BadBitrateIsRefusedWithItsMessage) {
    Open(0);
    fx.FeedReply(kCmdGetOutputParams, Bytes(11, 0));
    fx.TakeSentPacket();
    Out(0).bitrate->setText("12a");
    QTest::mouseClick(page->SetAButton(), Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_FALSE(page->IsBusy());
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "Output bitrate error!");
    EXPECT_EQ(fx.Prompt().shown[0].caption, "");
}

TEST_F(MuxMiscViewTest, PollOnlyWhenOnlineAndIdleAndKeepsTypedValues) {
    Open(20);
    auto get = fx.TakeSentPacket();
    ASSERT_TRUE(get);
    // Busy with the Get: no poll.
    EXPECT_TRUE(fx.FireTimer(page.get(), kOutputStatusTimerId));
    EXPECT_FALSE(fx.TakeSentPacket());

    Bytes reply(301, 0);
    reply[0] = 1;
    reply[1 + 12] = 10, reply[1 + 15] = 7;
    fx.FeedReply(kCmdGetOutputParams, reply);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(Out(3).address->isVisible());
    EXPECT_EQ(Out(0).address->text(), "10.0.0.7");
    EXPECT_EQ(Out(0).bitrate->text(), "000.000");

    EXPECT_TRUE(fx.FireTimer(page.get(), kOutputStatusTimerId));
    auto poll = fx.TakeSentPacket();
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->command, kCmdOutputStatus);
    EXPECT_TRUE(poll->payload.empty());
    EXPECT_FALSE(page->IsBusy());

    Out(1).bitrate->setText("12.");
    fx.FeedReply(kCmdOutputStatus, {0, 0x39, 0x30, 0, 0, 0xe8, 0x03, 0, 0});
    EXPECT_EQ(Out(0).realtime->text(), "12.345");
    EXPECT_EQ(Out(1).realtime->text(), "1.000");
    EXPECT_EQ(Out(1).bitrate->text(), "12.");
    EXPECT_TRUE(fx.Prompt().shown.empty());

    fx.Device()->status.store(-1);
    EXPECT_TRUE(fx.FireTimer(page.get(), kOutputStatusTimerId));
    QTest::mouseClick(page->GetAllButton(), Qt::LeftButton);
    QTest::mouseClick(page->SetAllButton(), Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());
}

// Another page's request still waiting in the send slot is never replaced by this page's poll.
TEST_F(MuxMiscViewTest, PollNeverReplacesAnotherPagesRequest) {
    Open(0);
    fx.TakeSentPacket();
    fx.FireTimer(page.get(), kWaitTimerId);
    ASSERT_EQ(SendCommand(0x2c, 1, 1, fx.Device(), nullptr, 0), kSendQueued);  // e.g. an Edit PSI Set
    EXPECT_TRUE(fx.FireTimer(page.get(), kOutputStatusTimerId));
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, 0x2c);
    fx.Device()->busy.store(1);  // another page waits for its reply
    EXPECT_TRUE(fx.FireTimer(page.get(), kOutputStatusTimerId));
    EXPECT_FALSE(fx.TakeSentPacket());
}

// The reply of a read that timed out is shown when it comes, once, and starts nothing.
TEST_F(MuxMiscViewTest, TimedOutReadShowsItsLateReplyOnce) {
    Open(0);
    ASSERT_TRUE(fx.TakeSentPacket());
    EXPECT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    EXPECT_FALSE(page->IsBusy());
    Out(0).bitrate->setText("9.9");  // typed meanwhile
    fx.FeedReply(kCmdGetOutputParams, {0xe8, 0x03, 0, 0, 0x2b, 0x1a, 0, 0, 0, 0, 0x02});
    EXPECT_EQ(Out(0).bitrate->text(), "1.000");
    EXPECT_EQ(Out(0).tsId->text(), "1a2b");
    EXPECT_TRUE(Out(0).tables[kTableSdt]->isChecked());
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FeedReply(kCmdGetOutputParams, {0x10, 0x27, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Out(0).bitrate->text(), "1.000");
}

// The two-output page: A's reply after the time-out is shown, B is not asked for.
TEST_F(MuxMiscViewTest, TwoOutputLateReplyOfAAsksNothingForB) {
    Open(1);
    ASSERT_TRUE(fx.TakeSentPacket());
    EXPECT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    fx.FeedReply(kCmdGetOutputParams, {1, 0xe8, 0x03, 0, 0, 5, 0, 0, 0, 0, 0});
    EXPECT_EQ(Out(0).bitrate->text(), "1.000");
    EXPECT_EQ(Out(0).tsId->text(), "5");
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

// A read answered with the ten parameter bytes only leaves the table boxes as the operator left them,
// and the next untouched Set sends that choice.
TEST_F(MuxMiscViewTest, ReplyWithoutFlagsKeepsTheBoxesAsShown) {
    Open(0);
    ASSERT_TRUE(fx.TakeSentPacket());
    const Bytes params{0x64, 0x96, 0, 0, 0x2b, 0x1a, 0x02, 0x01, 0x2c, 0x01};
    Bytes withFlags = params;
    withFlags.push_back(0x0b);  // PAT, SDT, PMT
    fx.FeedReply(kCmdGetOutputParams, withFlags);
    ASSERT_TRUE(Out(0).tables[kTableSdt]->isChecked());
    Out(0).tables[kTableSdt]->setChecked(false);

    QTest::mouseClick(page->GetAButton(), Qt::LeftButton);
    ASSERT_TRUE(fx.TakeSentPacket());
    fx.FeedReply(kCmdGetOutputParams, params);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(Out(0).tables[kTablePat]->isChecked());
    EXPECT_FALSE(Out(0).tables[kTableSdt]->isChecked());
    EXPECT_TRUE(Out(0).tables[kTablePmt]->isChecked());

    QTest::mouseClick(page->SetAButton(), Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    Bytes expected = params;
    expected.push_back(0x09);  // PAT and PMT
    EXPECT_EQ(set->payload, expected);
}

// After a time-out the page is the operator's again: what a late reply does not carry stays as the
// operator left it meanwhile (the table boxes after a reply without its flags byte, the other output's
// fields), and the next untouched Set sends that.
TEST_F(MuxMiscViewTest, LateReplyKeepsWhatTheOperatorChangedAfterTheTimeOut) {
    const Bytes params{0x64, 0x96, 0, 0, 0x2b, 0x1a, 0x02, 0x01, 0x2c, 0x01};
    {
        SCOPED_TRACE("one output, a late reply without the flags byte");
        Open(0);
        ASSERT_TRUE(fx.TakeSentPacket());
        Bytes withFlags = params;
        withFlags.push_back(0x0b);  // PAT, SDT, PMT
        fx.FeedReply(kCmdGetOutputParams, withFlags);
        QTest::mouseClick(page->GetAButton(), Qt::LeftButton);
        ASSERT_TRUE(fx.TakeSentPacket());
        EXPECT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
        Out(0).tables[kTableSdt]->setChecked(false);  // after the time-out
        fx.FeedReply(kCmdGetOutputParams, params);
        EXPECT_EQ(Out(0).tsId->text(), "1a2b");
        EXPECT_TRUE(Out(0).tables[kTablePat]->isChecked());
        EXPECT_FALSE(Out(0).tables[kTableSdt]->isChecked());
        EXPECT_FALSE(fx.TakeSentPacket());
        QTest::mouseClick(page->SetAButton(), Qt::LeftButton);
        auto set = fx.TakeSentPacket();
        ASSERT_TRUE(set);
        Bytes expected = params;
        expected.push_back(0x09);  // PAT and PMT
        EXPECT_EQ(set->payload, expected);
    }
    {
        SCOPED_TRACE("two outputs, A's late reply while B is being typed");
        Open(1);
        ASSERT_TRUE(fx.TakeSentPacket());
        EXPECT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
        Out(1).bitrate->setText("2.5");
        Out(1).tsId->setText("77");
        Bytes a{1};
        a.insert(a.end(), params.begin(), params.end());
        fx.FeedReply(kCmdGetOutputParams, a);
        EXPECT_EQ(Out(0).bitrate->text(), "38.500");
        EXPECT_EQ(Out(1).bitrate->text(), "2.5");
        EXPECT_EQ(Out(1).tsId->text(), "77");
        EXPECT_FALSE(fx.TakeSentPacket());
    }
}

TEST_F(MuxMiscViewTest, NewBindingSendsNothingReadBefore) {
    Open(39);
    ASSERT_TRUE(fx.TakeSentPacket());
    Bytes reply(301, 0x11);
    reply[0] = 1;
    fx.FeedReply(kCmdGetOutputParams, reply);
    ASSERT_FALSE(page->IsBusy());

    page->SetDevice(fx.Device());
    EXPECT_EQ(Out(0).tsId->text(), "0");
    QTest::mouseClick(page->SetAllButton(), Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload, Bytes(301, 0));
}

TEST_F(MuxMiscViewTest, RegisteredForTheCatalogue) {
    RegisterBuiltPages();
    std::unique_ptr<CFormTemplateView> created(CreatePage("CMuxMiscView", nullptr));
    EXPECT_NE(dynamic_cast<CMuxMiscView*>(created.get()), nullptr);
}

}  // namespace mux_misc_view_test
}  // namespace nms
