#include "pages/mux/mux_pid_forward_view1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "pages/mux/add_pid_multi_dlg.h"

namespace nms {
namespace mux_pid_forward_view1_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

QStringList Row(QTreeWidget* list, int row) {
    QStringList out;
    QTreeWidgetItem* item = list->topLevelItem(row);
    for (int c = 0; item && c < list->columnCount(); ++c)
        out << item->text(c);
    return out;
}

void WithDialog(std::function<void(CAddPidMultiDlg*)> body) {
    QTimer::singleShot(0, [body] {
        auto* dlg = qobject_cast<CAddPidMultiDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        body(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
}

TEST(PidForwardView1Test, GatewayReadsAddsWithSelectAllAndWrites) {
    PageFixture fx(0x2125);
    CMuxPidForwardView1 page;
    fx.Bind(&page, 39);
    EXPECT_EQ(page.List()->headerItem()->text(4), "Output");
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdGetPidForward);
    EXPECT_EQ(sent->payload, (Bytes{0, 0}));
    // One entry: input 3, outputs 1 and 3.
    fx.FeedReply(kCmdGetPidForward, {0, 0, 0, 8, 0, 8, 0, 1, 2, 5, 0, 0x10, 0, 0x20});
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.List()->topLevelItemCount(), 1);
    EXPECT_EQ(Row(page.List(), 0), (QStringList{"1", "3", "10", "20", "1,3,", ""}));

    WithDialog([](CAddPidMultiDlg* dlg) {
        EXPECT_EQ(dlg->InputCombo()->count(), 16);
        EXPECT_EQ(dlg->InputCombo()->itemText(0), "01");
        EXPECT_TRUE(dlg->OutputCheck(3)->isVisibleTo(dlg));
        EXPECT_FALSE(dlg->OutputCheck(4)->isVisibleTo(dlg));
        EXPECT_TRUE(dlg->OutputCheck(0)->isChecked());
        dlg->SelectAllCheck()->click();
        EXPECT_TRUE(dlg->OutputCheck(15)->isChecked());
        dlg->OldPidEdit()->setText("FFFF");
        dlg->NewPidEdit()->setText("1ff");
        dlg->InputCombo()->setCurrentIndex(1);
        dlg->OnOK();
    });
    page.AddButton()->click();
    ASSERT_EQ(page.List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(page.List(), 1), (QStringList{"2", "2", "FFFF", "1ff", "1,2,3,4,", ""}));

    page.SetButton()->click();
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdSetPidForward);
    EXPECT_EQ(sent->payload,
              (Bytes{0, 0, 0, 14, 0, 2, 2, 5, 0, 0x10, 0, 0x20, 1, 0xFF, 0x1F, 0xFF, 0x01, 0xFF}));
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(kCmdSetPidForward, {0, 0, 0, 14});
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(PidForwardView1Test, ChassisModuleErrorAndTimeOut) {
    PageFixture fx;
    CMuxPidForwardView1 page;
    fx.Bind(&page, 102);
    ASSERT_TRUE(fx.TakeSentPacket());
    fx.FeedReply(kCmdGetPidForward, {0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 0});
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "Module Error");

    // A time-out after the first of two segments leaves the list empty; the late second segment completes
    // the table, which is shown, and nothing more is asked.
    page.GetButton()->click();
    ASSERT_TRUE(fx.TakeSentPacket());
    Bytes first = {0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 4, 0, 1, 0, 0};
    fx.FeedReply(kCmdGetPidForward, first);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 4}));
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_EQ(page.List()->topLevelItemCount(), 0);
    fx.FeedReply(kCmdGetPidForward, {0, 2, 0, 0, 0, 0, 0, 0, 0, 4, 0, 10, 0, 6, 0, 1, 0, 0x10, 0, 0x20});
    ASSERT_EQ(page.List()->topLevelItemCount(), 1);
    EXPECT_EQ(page.List()->topLevelItem(0)->text(2), "10");
    EXPECT_EQ(page.List()->topLevelItem(0)->text(3), "20");
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

// A one-segment table that answers after the time-out is shown; the next Get is asked for as usual.
TEST(PidForwardView1Test, ATableAfterTheTimeOutIsShown) {
    PageFixture fx;
    CMuxPidForwardView1 page;
    fx.Bind(&page, 19);
    ASSERT_TRUE(fx.TakeSentPacket());
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    fx.FeedReply(kCmdGetPidForward, {0, 0, 0, 8, 0, 8, 0, 1, 0, 6, 0, 0x10, 0, 0x20});
    ASSERT_EQ(page.List()->topLevelItemCount(), 1);
    EXPECT_EQ(page.List()->topLevelItem(0)->text(2), "10");
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
    page.GetButton()->click();
    EXPECT_TRUE(fx.TakeSentPacket());
    EXPECT_TRUE(page.IsBusy());
}

TEST(PidForwardView1Test, OneOutputHidesTheBoxesAndEditKeepsTheMask) {
    PageFixture fx;
    CMuxPidForwardView1 page;
    fx.Bind(&page, 19);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidForward, {0, 0, 0, 8, 0, 8, 0, 1, 0, 6, 0, 0x10, 0, 0x20});
    ASSERT_EQ(page.List()->topLevelItemCount(), 1);
    page.List()->topLevelItem(0)->setSelected(true);
    WithDialog([](CAddPidMultiDlg* dlg) {
        EXPECT_FALSE(dlg->OutputGroup()->isVisibleTo(dlg));
        EXPECT_FALSE(dlg->SelectAllCheck()->isVisibleTo(dlg));
        dlg->NewPidEdit()->setText("30");
        dlg->OnOK();
    });
    page.EditButton()->click();
    EXPECT_EQ(Row(page.List(), 0), (QStringList{"1", "1", "10", "30", "2,3,", ""}));
    EXPECT_EQ(page.List()->topLevelItem(0)->data(0, Qt::UserRole).toUInt(), 6u);
}

TEST(PidForwardView1Test, Registered) {
    RegisterBuiltPages();
    EXPECT_TRUE(IsPageRegistered("CMuxPidForwardView1"));
}

}  // namespace mux_pid_forward_view1_test
}  // namespace nms
