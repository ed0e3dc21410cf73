#include "pagebase/form_template_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "devices/reply_routing.h"
#include "page_fixture.h"
#include "pagebase/block_page_view.h"
#include "pagebase/form_binder.h"
#include "reply_packet.h"

namespace nms {
namespace form_template_view_test {

class TestPage : public CFormTemplateView {
public:
    TestPage() {
        auto* layout = new QVBoxLayout(this);
        m_edit = new QLineEdit(this);
        layout->addWidget(m_edit);
    }
    void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) override {
        ++replies;
        lastCommand = reply.Command();
        lastPayload = reply.PayloadCopy();
    }
    void OnInitialUpdate() override { ++initialUpdates; }
    bool DoDataExchange(bool collect) override {
        ++(collect ? collects : shows);
        return true;
    }
    void OnShowWindow(bool shown) override { shown ? ++shownCount : 0; }

    QLineEdit* m_edit;
    int replies = 0;
    int lastCommand = -1;
    std::vector<uint8_t> lastPayload;
    int initialUpdates = 0;
    int collects = 0, shows = 0;
    int shownCount = 0;
};

bool WaitCursorShown() {
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}

TEST(FormTemplateView, BindingCreatesTheRouteRunsInitialUpdateAndKeepsOneEntry) {
    test::PageFixture fx;
    TestPage page;
    fx.Bind(&page, 7);
    EXPECT_EQ(page.PageParam(), 7);
    EXPECT_EQ(page.Device(), fx.Device());
    EXPECT_EQ(ReplyWindowOf(fx.Device()), static_cast<IReplyReceiver*>(&page));
    page.SetDevice(fx.Device());
    EXPECT_EQ(page.BoundDevices().size(), 1u);
    EXPECT_EQ(page.initialUpdates, 2);
    fx.FeedReply(0x40, {1, 2, 3});
    EXPECT_EQ(page.replies, 1);
    EXPECT_EQ(page.lastCommand, 0x40);
    EXPECT_EQ(page.lastPayload, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(FormTemplateView, FixtureSeesTheLastQueuedRequest) {
    test::PageFixture fx(0x4101);
    TestPage page;
    fx.Bind(&page);
    const uint8_t first[] = {1}, second[] = {7, 8};
    SendCommand(0x20, 1, 1, page.Device(), first, 1);
    SendCommand(0x21, 1, 1, page.Device(), second, 2);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    EXPECT_TRUE(sent->crcOk);
    EXPECT_EQ(sent->type, 0x4101);
    EXPECT_EQ(sent->command, 0x21);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{7, 8}));
    EXPECT_EQ(sent->bytes.size(), 13u);
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
}

TEST(FormTemplateView, WaitsLastTheirTimeAndTimeOutOnce) {
    struct Case {
        const char* name;
        std::function<void(TestPage&)> begin;
        int expectedMs;
    } cases[] = {
        {"ordinary", [](TestPage& p) { p.BeginWait(4); }, 20000},
        {"long", [](TestPage& p) { p.BeginWait(4, true); }, 80000},
        {"short", [](TestPage& p) { p.BeginShortWait(4); }, 15000},
        {"config operation", [](TestPage& p) { p.OnConfigOperation(1, 1); }, 30000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::PageFixture fx;
        TestPage page;
        fx.Bind(&page);
        c.begin(page);
        EXPECT_TRUE(page.IsBusy());
        EXPECT_EQ(fx.Device()->busy.load(), 1);
        EXPECT_EQ(page.Timers().Interval(4), c.expectedMs);
        EXPECT_TRUE(WaitCursorShown());
        fx.Events().Clear();
        ASSERT_TRUE(fx.FireTimer(&page, 4));
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(fx.Device()->busy.load(), 0);
        EXPECT_FALSE(page.Timers().IsActive(4));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(fx.Events().Texts(), std::vector<std::string>{"Operation timeout"});
        EXPECT_FALSE(fx.FireTimer(&page, 4));  // killed: no second time-out
    }
}

TEST(FormTemplateView, WaitsAreIdempotentAndEndWaitRefreshesTheControls) {
    test::PageFixture fx;
    TestPage page;
    fx.Bind(&page);
    page.BeginWait(4);
    page.BeginShortWait(4);  // restarts the time-out only
    EXPECT_EQ(page.Timers().Interval(4), 15000);
    page.EndWait(4);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(page.shows, 1);
    page.EndWait(4);  // after the wait (or a time-out): idle stays idle
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(fx.Device()->busy.load(), 0);
    EXPECT_TRUE(fx.Events().Texts().empty());
}

TEST(FormTemplateView, TimeOutWithoutDeviceReportsNothing) {
    test::PageFixture fx;
    TestPage page;
    fx.Bind(&page);
    page.BeginWait(4);
    page.ClearDevice();
    ASSERT_TRUE(fx.FireTimer(&page, 4));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(fx.Events().Texts().empty());
}

TEST(FormTemplateView, OperatorInputIsSwallowedWhileWaiting) {
    test::PageFixture fx;
    TestPage page;
    fx.Bind(&page);
    page.activateWindow();
    page.m_edit->setFocus();
    page.BeginWait(4);
    QTest::keyClicks(page.m_edit, "12");
    EXPECT_EQ(page.m_edit->text(), "");
    page.EndWait(4);
    QTest::keyClicks(page.m_edit, "34");
    EXPECT_EQ(page.m_edit->text(), "34");
}

TEST(FormTemplateView, PageShownLastReceivesRepliesSpontaneousShowsDoNot) {
    test::PageFixture fx;
    TestPage first, second;
    fx.Bind(&first);
    fx.Bind(&second);
    fx.FeedReply(0x41, {});
    EXPECT_EQ(second.replies, 1);
    EXPECT_EQ(first.replies, 0);

    second.hide();
    first.hide();
    first.show();  // taken back
    fx.FeedReply(0x41, {});
    EXPECT_EQ(first.replies, 1);

    // A restored main window shows the other page again, spontaneously: the route stays.
    const int shownBefore = second.shownCount;
    QShowEvent spontaneous;
    QSpontaneKeyEvent::setSpontaneous(&spontaneous);
    static_cast<QObject*>(&second)->event(&spontaneous);  // as the window system delivers it
    fx.FeedReply(0x41, {});
    EXPECT_EQ(first.replies, 2);
    EXPECT_EQ(second.replies, 1);
    EXPECT_EQ(second.shownCount, shownBefore);
}

TEST(FormTemplateView, ConfigurationOperationTexts) {
    struct Case {
        int operation;
        std::vector<std::string> texts;
    } cases[] = {
        {1, {"Save config ...", "Save config succeed!"}},
        {2, {"Reload config form flash ...", "Reload config succeed!"}},
        {3, {"Restore to factory default ...", "Restore to factory succeed!"}},
        {9, {}},
        {-1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        test::PageFixture fx;
        TestPage page;
        fx.Bind(&page);
        page.OnConfigOperation(1, c.operation);
        EXPECT_TRUE(page.IsBusy());
        EXPECT_EQ(fx.Device()->busy.load(), 1);
        fx.FeedConfigOperationReply(c.operation);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(fx.Device()->busy.load(), 0);
        EXPECT_FALSE(page.Timers().IsActive(4));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(page.shows, 0);  // finishing does not refresh the controls
        EXPECT_EQ(fx.Events().Texts(), c.texts);
    }
}

TEST(FormTemplateView, DeviceRestartEndsTheWaitAsTimeOutThenReportsRestart) {
    for (bool waiting : {true, false}) {
        test::PageFixture fx;
        TestPage page;
        fx.Bind(&page);
        if (waiting)
            page.BeginWait(4);
        fx.FeedDeviceRestart();
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(fx.Events().Texts(), (std::vector<std::string>{"Operation timeout", "Device restart"}));
    }
    test::PageFixture fx;  // no page bound: nothing at all
    fx.FeedDeviceRestart();
    EXPECT_TRUE(fx.Events().Texts().empty());
}

TEST(FormTemplateView, DestroyedWhileWaitingFreesTheDeviceAndUnregisters) {
    test::PageFixture fx;
    auto page = std::make_unique<TestPage>();
    fx.Bind(page.get());
    page->BeginWait(4);
    SetTransferWindow(fx.Device(), page.get());
    page.reset();
    EXPECT_EQ(fx.Device()->busy.load(), 0);
    EXPECT_EQ(ReplyWindowOf(fx.Device()), nullptr);
    EXPECT_EQ(TransferWindowOf(fx.Device()), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    fx.FeedReply(0x40, {1});  // dropped: nobody is registered
    fx.FeedReply(23, {1});
    fx.FeedDeviceRestart();
    EXPECT_TRUE(fx.Events().Texts().empty());
}

TEST(FormTemplateView, DestroyedPageDoesNotTouchAFreedRecord) {
    test::PageFixture fx;
    auto other = std::make_shared<DeviceRecord>();
    other->status.store(3);
    auto page = std::make_unique<TestPage>();
    page->SetDevice(other.get());
    page->SetDevice(fx.Device());
    other.reset();  // the device list dropped it
    page.reset();   // must skip the freed record (ASan would tell)
    EXPECT_EQ(ReplyWindowOf(fx.Device()), nullptr);
}

// ---- the parameter-block page base ----

const FieldTable& LevelTable() {
    static const FieldTable table = [] {
        FieldDef level;
        level.key = "level";
        level.label = "Level:";
        level.max = 10;
        level.message = "Level 0-10";
        FieldDef gain = level;
        gain.key = "gain";
        gain.offset = 1;
        gain.message = "Gain 0-10";
        return FieldTable{level, gain};
    }();
    return table;
}

// A two-byte block read with 0x33 (selector entry in front) and written with 0x34; status 0x40.
class LevelLogic : public BlockLogic {
public:
    PageStep Get(std::optional<int> selection) override {
        return Request(0x33, {uint8_t(selection.value_or(0xEE))});
    }
    PageStep Set(const FormInputs& inputs, std::optional<int>) override {
        PageStep refused;
        if (!Collect(LevelTable(), inputs, m_block, &refused))
            return refused.WithCaption("Warning");
        return Request(0x34, m_block.Bytes());
    }
    PageStep HandleReply(const ReplyView& reply) override {
        if (reply.Command() == 0x40)
            return ++polls, PageStep{};
        if (!Awaits(reply))
            return {};
        m_awaited = -1;
        if (reply.Command() == 0x33)
            m_block.Load(reply.Reader());
        if (reply.Command() == 0x33 && chainAfterGet) {
            // The chain goes on under the running wait and shows the block only at its end.
            PageStep next = Request(0x35, {}, PageStep::Wait::kNone);
            next.sendVersion = true;
            return next;
        }
        return PageStep::End();
    }
    PageStep Poll() const override { return PageStep::Poll(0x40); }

    ParamBlock m_block{2};
    int polls = 0;
    bool chainAfterGet = false;  // the Get reply asks for more (0x35), as a chain does
};

class LevelPage : public CBlockPageView {
public:
    static constexpr int kPollTimerId = 70;
    LevelPage() : m_binder(LevelTable(), this) {
        auto* page = new QVBoxLayout(this);
        AddChannelRow(page, "Channel:");
        AddGetSetRow(page);
        SetStatusPoll(kPollTimerId, 1000);
        ShowChannels({"One", "Two"});
    }
    IBlockLogic* PageLogic() override { return &logic; }
    FormBinder* PageForm() override { return &m_binder; }
    void ShowBlock() override {
        m_binder.Show(logic.m_block);
        ++blocksShown;
    }
    QLineEdit* Edit(const char* key) { return qobject_cast<QLineEdit*>(m_binder.Control(key)); }

    LevelLogic logic;
    FormBinder m_binder;
    int blocksShown = 0;
};

TEST(BlockPageView, ShowingReadsTheSelectedEntryAndAReplyOfItsDeviceFillsTheForm) {
    test::PageFixture fx;
    LevelPage page;
    fx.Bind(&page);  // shown
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->command, 0x33);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0}));
    EXPECT_TRUE(page.IsBusy());

    // Another device's reply, and one that answers nothing asked for, change nothing.
    DeviceRecord other;
    const ReplyPacket elsewhere(0x33, {7, 7});
    page.OnDeviceReply(&other, elsewhere.View());
    fx.FeedReply(0x34, {});
    EXPECT_TRUE(page.IsBusy());
    EXPECT_EQ(page.logic.m_block.Bytes(), (std::vector<uint8_t>{0, 0}));
    fx.FeedReply(0x33, {4, 9});
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.Edit("level")->text(), "4");
    EXPECT_EQ(page.Edit("gain")->text(), "9");

    page.m_channel->setCurrentIndex(1);
    emit page.m_channel->activated(1);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1}));
}

TEST(BlockPageView, ARefusedSetFocusesItsFieldAndSendsNothing) {
    test::PageFixture fx;
    LevelPage page;
    fx.Bind(&page);
    QApplication::setActiveWindow(&page);
    fx.TakeSentPacket();
    fx.FeedReply(0x33, {1, 2});
    page.Edit("gain")->setText("11");
    page.m_set->click();
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "Gain 0-10");
    EXPECT_EQ(fx.Prompt().shown[0].caption, "Warning");
    EXPECT_TRUE(page.Edit("gain")->hasFocus());
    page.Edit("gain")->setText("3");
    page.m_set->click();
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->command, 0x34);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, 3}));
}

TEST(BlockPageView, AReplyAfterItsTimeOutIsShownOnceAndStartsNothing) {
    test::PageFixture fx;
    LevelPage page;
    page.logic.chainAfterGet = true;
    fx.Bind(&page);  // shown: the Get is under way
    ASSERT_EQ(fx.TakeSentPacket()->command, 0x33);
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());

    // The late reply is shown; the request its step asks for and the wait stay out, the version request
    // (which waits for nothing) goes.
    fx.FeedReply(0x33, {5, 5});
    EXPECT_EQ(page.logic.m_block.Bytes(), (std::vector<uint8_t>{5, 5}));
    EXPECT_EQ(page.Edit("gain")->text(), "5");
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(page.logic.Waiting());
    std::vector<int> sent;
    while (auto packet = fx.TakeSentPacket())
        sent.push_back(packet->command);
    EXPECT_EQ(sent, (std::vector<int>{kVersionCommand}));

    // Only once: a second copy finds nothing late.
    fx.FeedReply(0x33, {6, 6});
    EXPECT_EQ(page.logic.m_block.Bytes(), (std::vector<uint8_t>{5, 5}));
}

TEST(BlockPageView, ALateReplyCountsOnlyUntilTheNextRequestAndNotAfterARefusedSend) {
    test::PageFixture fx;
    LevelPage page;
    fx.Bind(&page);
    fx.FeedReply(0x33, {1, 2});
    page.m_get->click();
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    page.Edit("gain")->setText("3");
    page.m_set->click();  // a new request: the Get's late reply is no longer taken
    ASSERT_TRUE(fx.Prompt().shown.empty());
    fx.FeedReply(0x33, {5, 5});
    EXPECT_EQ(page.logic.m_block.Bytes(), (std::vector<uint8_t>{1, 3}));
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(0x34, {});
    EXPECT_FALSE(page.IsBusy());

    fx.Device()->status = 0;  // offline: the link refuses the request, nothing went out to be late
    page.m_get->click();
    fx.Device()->status = 3;
    EXPECT_FALSE(page.logic.Waiting());
    fx.FeedReply(0x33, {5, 5});
    EXPECT_EQ(page.logic.m_block.Bytes(), (std::vector<uint8_t>{1, 3}));
}

TEST(BlockPageView, ThePollRunsWhileShownAndNeverTakesARequestsSlot) {
    test::PageFixture fx;
    LevelPage page;
    fx.Bind(&page);  // shown: the Get is under way
    fx.TakeSentPacket();
    EXPECT_TRUE(fx.FireTimer(&page, LevelPage::kPollTimerId));
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    fx.FeedReply(0x33, {0, 0});
    EXPECT_TRUE(fx.FireTimer(&page, LevelPage::kPollTimerId));
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    EXPECT_EQ(sent->command, 0x40);
    EXPECT_FALSE(page.IsBusy());
    page.hide();
    EXPECT_FALSE(fx.FireTimer(&page, LevelPage::kPollTimerId));
}

}  // namespace form_template_view_test
}  // namespace nms
