#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "app/page_registry.h"
#include "devices/device_record.h"
#include "page_fixture.h"
#include "pages/mux/add_pid_dlg.h"
#include "pages/mux/mux_pid_filter_view.h"
#include "pages/mux/pid_bitmap.h"
#include "pages/mux/pid_monitor_view.h"

namespace nms {
namespace pid_pages_view_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

Bytes Bitmap(std::initializer_list<unsigned> pids, int head = -1) {
    PidBitmap bitmap;
    for (unsigned p : pids)
        bitmap.Set(p);
    Bytes bytes(bitmap.Data(), bitmap.Data() + PidBitmap::kBytes);
    if (head >= 0)
        bytes.insert(bytes.begin(), uint8_t(head));
    return bytes;
}

QStringList Row(QTableWidget* list, int row) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << (list->item(row, c) ? list->item(row, c)->text() : QString());
    return out;
}

QStringList Headers(QTableWidget* list) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->horizontalHeaderItem(c)->text();
    return out;
}

struct PidFilterViewTest : ::testing::Test {
    PageFixture fx{0x2101};
    std::unique_ptr<CMuxPidFilterView> page;
    std::vector<FilterPidEntry> answers;  // the operator's entries, front first; none left: Cancel
    std::vector<FilterPidEntry> asked;

    void Open(int pageParam) {
        page = std::make_unique<CMuxPidFilterView>();
        page->SetPidAsker([this](QWidget*, FilterPidEntry* entry) {
            asked.push_back(*entry);
            if (answers.empty())
                return false;
            entry->text = answers.front().text;
            entry->outputSelection = answers.front().outputSelection;
            answers.erase(answers.begin());
            return true;
        });
        fx.Bind(page.get(), pageParam);
    }
};

TEST_F(PidFilterViewTest, TwoOutputShownReadsBothTables) {
    Open(1);
    EXPECT_EQ(Headers(page->List()), (QStringList{"Index", "Filter PID", "Out ASI"}));
    EXPECT_FALSE(page->ChannelCombo()->isVisible());
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdGetPidFilter);
    EXPECT_EQ(sent->payload, Bytes{1});
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x21, 0x1FFF}, 1));
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bytes{2});
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x64}, 2));
    EXPECT_FALSE(page->IsBusy());
    ASSERT_EQ(page->List()->rowCount(), 3);
    EXPECT_EQ(Row(page->List(), 0), (QStringList{"1", "21", "A"}));
    EXPECT_EQ(Row(page->List(), 1), (QStringList{"2", "1fff", "A"}));
    EXPECT_EQ(Row(page->List(), 2), (QStringList{"1", "64", "B"}));
    EXPECT_EQ(page->List()->item(1, 0)->data(Qt::UserRole).toInt(), 0x1FFF);
}

// A time-out keeps the rows of table A; table B's late reply is then shown once and asks for nothing.
TEST_F(PidFilterViewTest, TimeOutKeepsTableAAndTheLateReplyIsShownOnce) {
    Open(1);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x21}, 1));
    fx.TakeSentPacket();
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
    EXPECT_EQ(page->List()->rowCount(), 1);
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x64}, 2));
    ASSERT_EQ(page->List()->rowCount(), 2);
    EXPECT_EQ(page->List()->item(1, 1)->text(), "64");
    EXPECT_EQ(page->List()->item(1, 2)->text(), "B");
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.PeekSentPacket());
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x65}, 2));
    EXPECT_EQ(page->List()->rowCount(), 2);
}

// The two-output page whose whole Get timed out: table A's late bitmap is listed, and table B is not
// asked for.
TEST_F(PidFilterViewTest, TableAAfterTheTimeOutIsListedAndAsksNothingForB) {
    Open(1);
    ASSERT_TRUE(fx.TakeSentPacket());
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x21, 0x1fff}, 1));
    ASSERT_EQ(page->List()->rowCount(), 2);
    EXPECT_EQ(Row(page->List(), 0), (QStringList{"1", "21", "A"}));
    EXPECT_EQ(Row(page->List(), 1), (QStringList{"2", "1fff", "A"}));
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.PeekSentPacket());
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x64}, 2));  // nothing is late any more
    EXPECT_EQ(page->List()->rowCount(), 2);
}

// The one-table page: the whole Get times out, the bitmap comes after it and fills the list.
TEST_F(PidFilterViewTest, ABitmapAfterTheTimeOutFillsTheList) {
    Open(0);
    ASSERT_TRUE(fx.TakeSentPacket());
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x30, 0x1fff}, -1));
    ASSERT_EQ(page->List()->rowCount(), 2);
    EXPECT_EQ(page->List()->item(1, 1)->text(), "1fff");
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.PeekSentPacket());
}

// An echo other than 1 on the two-output multiplexer still gives rows ("B") and the request for table B.
TEST_F(PidFilterViewTest, AnyEchoOtherThanOneIsOutputBAndTheExchangeGoesOn) {
    Open(1);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x21}, 9));
    auto second = fx.TakeSentPacket();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->command, kCmdGetPidFilter);
    EXPECT_EQ(second->payload, Bytes{2});
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x22}, 0));
    EXPECT_FALSE(page->IsBusy());
    ASSERT_EQ(page->List()->rowCount(), 2);
    EXPECT_EQ(page->List()->item(0, 2)->text(), "B");
    EXPECT_EQ(page->List()->item(1, 2)->text(), "B");
}

// Replies meant for another page (the output parameters page's poll) leave the list and its selection.
TEST_F(PidFilterViewTest, OtherRepliesKeepTheSelection) {
    Open(1);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x21, 0x22}, 1));
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x64}, 2));
    page->List()->selectRow(1);
    QTableWidgetItem* selected = page->List()->item(1, 0);
    fx.FeedReply(0x40, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x30}, 1));  // not awaited
    EXPECT_EQ(page->List()->item(1, 0), selected);
    ASSERT_EQ(page->List()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(page->List()->selectionModel()->selectedRows()[0].row(), 1);
}

TEST_F(PidFilterViewTest, EditTheListAndSetBothTables) {
    Open(1);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({}, 1));
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({}, 2));

    answers = {{"1ff", 0}, {"20", 1}, {"30", 0}};
    for (int i = 0; i < 3; ++i)
        page->AddButton()->click();
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_TRUE(asked[0].outputChoice);
    EXPECT_EQ(Row(page->List(), 1), (QStringList{"2", "20", "B"}));

    page->List()->selectRow(1);
    answers = {{"40", 0}};
    page->EditButton()->click();
    EXPECT_EQ(asked.back().text, "20");
    EXPECT_EQ(asked.back().outputSelection, 1);
    EXPECT_EQ(Row(page->List(), 1), (QStringList{"2", "40", "A"}));

    page->List()->selectRow(0);
    page->DeleteButton()->click();
    ASSERT_EQ(page->List()->rowCount(), 2);
    EXPECT_EQ(Row(page->List(), 0), (QStringList{"1", "40", "A"}));
    EXPECT_EQ(Row(page->List(), 1), (QStringList{"2", "30", "A"}));

    page->SetButton()->click();
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdSetPidFilter);
    EXPECT_EQ(sent->payload, Bitmap({0x40, 0x30}, 1));
    fx.FeedReply(kCmdSetPidFilter, {});
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bitmap({}, 2));
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdSetPidFilter, {});
    EXPECT_FALSE(page->IsBusy());

    fx.Prompt().answers = {IDCANCEL};
    page->EmptyButton()->click();
    EXPECT_EQ(page->List()->rowCount(), 2);
    ASSERT_FALSE(fx.Prompt().shown.empty());
    EXPECT_EQ(fx.Prompt().shown.back().text, "Sure to empty all PID ?");
    page->EmptyButton()->click();
    EXPECT_EQ(page->List()->rowCount(), 0);
}

TEST_F(PidFilterViewTest, ChannelChangeReadsThatChannel) {
    Open(15);
    EXPECT_TRUE(page->ChannelCombo()->isVisible());
    EXPECT_EQ(Headers(page->List()), (QStringList{"Index", "Filter PID"}));
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bytes{0});
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x10}, 0));
    EXPECT_EQ(page->List()->rowCount(), 1);
    page->ChannelCombo()->setCurrentIndex(2);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bytes{2});
    EXPECT_EQ(page->List()->rowCount(), 0);
    fx.FeedReply(kCmdGetPidFilter, Bitmap({0x11, 0x12}, 2));
    EXPECT_EQ(page->List()->rowCount(), 2);
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(PidFilterViewTest, OfflineDeviceSendsNothing) {
    Open(0);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidFilter, Bitmap({1}));
    fx.Device()->status = -1;
    page->GetButton()->click();
    page->SetButton()->click();
    EXPECT_FALSE(fx.PeekSentPacket());
    EXPECT_EQ(page->List()->rowCount(), 1);
}

TEST_F(PidFilterViewTest, DialogRefusesBadPidAndKeepsTypedText) {
    page = std::make_unique<CMuxPidFilterView>();
    fx.Bind(page.get(), 0);
    std::vector<std::string> boxes;
    fx.Prompt().onShow = [&](const PromptRequest& r) { boxes.push_back(r.text); };
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CAddPidDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->NewPidLabel()->text(), "Filter PID:0X");
        dlg->NewPidEdit()->setText("2000");
        EXPECT_FALSE(dlg->OnOK());  // refused, the dialog stays
        dlg->NewPidEdit()->setText("1Ab");
        EXPECT_TRUE(dlg->OnOK());
    });
    page->AddButton()->click();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "PID value must be less than 8192 !");
    ASSERT_EQ(page->List()->rowCount(), 1);
    EXPECT_EQ(Row(page->List(), 0), (QStringList{"1", "1Ab"}));
    EXPECT_EQ(page->List()->item(0, 0)->data(Qt::UserRole).toInt(), 0x1AB);
}

TEST(PidMonitorViewTest, ShownListsPresentPids) {
    PageFixture fx{0x2101};
    CpidMonitor page;
    fx.Bind(&page, 0);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdGetPidPresence);
    EXPECT_EQ(sent->payload, Bytes(7, 0));
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(kCmdGetPidPresence, Bitmap({0, 0x11, 0x1FFF}));
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.List()->rowCount(), 3);
    EXPECT_EQ(Row(page.List(), 2), (QStringList{"3", "1fff"}));
    EXPECT_EQ(Headers(page.List()), (QStringList{"Index", "PID"}));

    page.GetButton()->click();
    EXPECT_EQ(page.List()->rowCount(), 0);
    fx.FeedReply(kCmdGetPidPresence, {});
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.List()->rowCount(), 0);
}

// The presence bitmap after the time-out is listed once; a refused send leaves nothing to take late.
TEST(PidMonitorViewTest, ABitmapAfterTheTimeOutIsListedOnce) {
    PageFixture fx{0x2101};
    CpidMonitor page;
    fx.Bind(&page, 0);
    ASSERT_TRUE(fx.TakeSentPacket());
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    fx.FeedReply(kCmdGetPidPresence, Bitmap({0x11}));
    ASSERT_EQ(page.List()->rowCount(), 1);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FeedReply(kCmdGetPidPresence, Bitmap({0x12, 0x13}));
    EXPECT_EQ(page.List()->rowCount(), 1);
}

TEST(PidPagesRegistryTest, BothClassesAreRegistered) {
    test::EnsureApplication();
    RegisterBuiltPages();
    std::unique_ptr<CFormTemplateView> filter(CreatePage("CMuxPidFilterView", nullptr));
    std::unique_ptr<CFormTemplateView> monitor(CreatePage("CpidMonitor", nullptr));
    EXPECT_NE(dynamic_cast<CMuxPidFilterView*>(filter.get()), nullptr);
    EXPECT_NE(dynamic_cast<CpidMonitor*>(monitor.get()), nullptr);
}

}  // namespace pid_pages_view_test
}  // namespace nms
