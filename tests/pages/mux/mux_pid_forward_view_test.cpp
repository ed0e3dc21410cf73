#include "pages/mux/mux_pid_forward_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "pages/mux/add_pid_dlg.h"

namespace nms {
namespace mux_pid_forward_view_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

class PidForwardViewTest : public ::testing::Test {
protected:
    PageFixture fx;
    std::unique_ptr<CMuxPidForwardView> page;

    // Binds the page; the Get it sends when shown is answered with an empty table (two on variant 1).
    void Open(int pageParam) {
        page = std::make_unique<CMuxPidForwardView>();
        page->resize(600, 400);
        fx.Bind(page.get(), pageParam);
        for (int i = 0; i < 2; ++i) {
            auto sent = fx.TakeSentPacket();
            if (!sent)
                break;
            Bytes reply;
            if (pageParam == 1 || pageParam == 66)
                reply.push_back(sent->payload.at(0));
            reply.push_back(0);
            fx.FeedReply(sent->command, reply);
        }
        ASSERT_FALSE(page->IsBusy());
    }

    QStringList Row(int row) const {
        QStringList out;
        QTreeWidgetItem* item = page->List()->topLevelItem(row);
        for (int c = 0; item && c < page->List()->columnCount(); ++c)
            out << item->text(c);
        return out;
    }

    // Runs the dialog the next click opens.
    static void WithDialog(std::function<void(CAddPidDlg*)> body) {
        QTimer::singleShot(0, [body] {
            auto* dlg = qobject_cast<CAddPidDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            body(dlg);
            if (dlg->isVisible())
                dlg->reject();
        });
    }
};

TEST_F(PidForwardViewTest, ShownReadsBothTablesOfTheTwoOutputMultiplexer) {
    page = std::make_unique<CMuxPidForwardView>();
    fx.Bind(page.get(), 1);
    EXPECT_EQ(page->GetButton()->text(), "Get");
    EXPECT_EQ(page->AddButton()->text(), "Add PID");
    EXPECT_EQ(page->List()->headerItem()->text(3), "Out ASI");
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdGetPidForward);
    EXPECT_EQ(sent->payload, Bytes{1});
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdGetPidForward, {1, 1, 2, 0x01, 0xFF, 0x00, 0x20});
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bytes{2});
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdGetPidForward, {2, 1, 3, 0x00, 0x10, 0x1F, 0xFF});
    EXPECT_FALSE(page->IsBusy());
    ASSERT_EQ(page->List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0), (QStringList{"2", "1FF", "20", "A"}));
    EXPECT_EQ(Row(1), (QStringList{"3", "10", "1FFF", "B"}));
}

// A time-out keeps table A's rows; table B's late reply is shown once and asks for nothing.
TEST_F(PidForwardViewTest, TimeOutKeepsTableAAndTheLateReplyIsShownOnce) {
    page = std::make_unique<CMuxPidForwardView>();
    fx.Bind(page.get(), 1);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidForward, {1, 1, 2, 0x01, 0xFF, 0x00, 0x20});
    fx.TakeSentPacket();
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(page->List()->topLevelItemCount(), 1);
    fx.FeedReply(kCmdGetPidForward, {2, 1, 3, 0x00, 0x10, 0x1F, 0xFF});
    ASSERT_EQ(page->List()->topLevelItemCount(), 2);
    EXPECT_EQ(page->List()->topLevelItem(1)->text(2), "1FFF");
    EXPECT_EQ(page->List()->topLevelItem(1)->text(3), "B");
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FeedReply(kCmdGetPidForward, {2, 1, 4, 0x00, 0x11, 0x00, 0x12});
    EXPECT_EQ(page->List()->topLevelItemCount(), 2);
}

// On the two-output multiplexer an echo other than 1 is output B, and table B is still asked for.
TEST_F(PidForwardViewTest, AnyEchoOtherThanOneIsOutputBAndTheExchangeGoesOn) {
    page = std::make_unique<CMuxPidForwardView>();
    fx.Bind(page.get(), 1);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidForward, {9, 1, 2, 0x01, 0xFF, 0x00, 0x20});
    auto second = fx.TakeSentPacket();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->command, kCmdGetPidForward);
    EXPECT_EQ(second->payload, Bytes{2});
    fx.FeedReply(kCmdGetPidForward, {0, 0});
    EXPECT_FALSE(page->IsBusy());
    ASSERT_EQ(page->List()->topLevelItemCount(), 1);
    EXPECT_EQ(page->List()->topLevelItem(0)->text(3), "B");
}

TEST_F(PidForwardViewTest, AddThroughTheDialogThenSetBothTables) {
    Open(1);
    // Refused first (the box stays open), then accepted without a chosen output: a "B" row.
    WithDialog([this](CAddPidDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Add PID");
        EXPECT_TRUE(dlg->OutputCombo()->isVisibleTo(dlg));
        EXPECT_TRUE(dlg->InputCombo()->isEnabled());
        dlg->OldPidEdit()->setText("2000");
        dlg->NewPidEdit()->setText("10");
        EXPECT_FALSE(dlg->OnOK());
        EXPECT_TRUE(dlg->isVisible());
        ASSERT_EQ(fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(fx.Prompt().shown[0].text, "PID value must be less than 8192 !");
        dlg->OldPidEdit()->setText("1ff");
        dlg->InputCombo()->setCurrentIndex(3);
        EXPECT_TRUE(dlg->OnOK());
    });
    page->AddButton()->click();
    ASSERT_EQ(page->List()->topLevelItemCount(), 1);
    EXPECT_EQ(Row(0), (QStringList{"4", "1ff", "10", "B"}));

    WithDialog([](CAddPidDlg* dlg) {
        dlg->OldPidEdit()->setText("20");
        dlg->NewPidEdit()->setText("21");
        dlg->OutputCombo()->setCurrentIndex(0);
        dlg->OnOK();
    });
    page->AddButton()->click();
    EXPECT_EQ(Row(1), (QStringList{"1", "20", "21", "A"}));

    page->SetButton()->click();
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdSetPidForward);
    EXPECT_EQ(sent->payload, (Bytes{1, 1, 1, 0x00, 0x20, 0x00, 0x21}));
    fx.FeedReply(kCmdSetPidForward, {});
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (Bytes{2, 1, 4, 0x01, 0xFF, 0x00, 0x10}));
    EXPECT_TRUE(page->IsBusy());
    fx.FeedReply(kCmdSetPidForward, {});
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST_F(PidForwardViewTest, TableOf200RefusesAdd) {
    Open(0);
    for (int i = 0; i < 199; ++i)
        page->Logic()->Rows().push_back({"1", "10", "20", "", ""});
    WithDialog([](CAddPidDlg* dlg) {
        dlg->OldPidEdit()->setText("1");
        dlg->NewPidEdit()->setText("2");
        dlg->OnOK();
    });
    page->AddButton()->click();
    EXPECT_EQ(page->List()->topLevelItemCount(), 200);
    EXPECT_TRUE(fx.Prompt().shown.empty());
    page->AddButton()->click();  // no dialog opens
    EXPECT_EQ(page->List()->topLevelItemCount(), 200);
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "PID passthrough table must be less than 200 !");
}

TEST_F(PidForwardViewTest, FourOutputEditShowsTheMaskAndTakesItBack) {
    Open(66);
    EXPECT_EQ(page->List()->columnCount(), 5);
    page->GetButton()->click();
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bytes{0});
    fx.FeedReply(kCmdGetPidForward, {0, 2, 9, 0x00, 0x01, 0x00, 0x02, 2, 0x00, 0x03, 0x00, 0x04});
    ASSERT_EQ(page->List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(0), (QStringList{"5", "1", "2", "(1) (4)", "9"}));

    page->List()->topLevelItem(0)->setSelected(true);
    WithDialog([](CAddPidDlg* dlg) {
        EXPECT_FALSE(dlg->InputCombo()->isEnabled());
        EXPECT_FALSE(dlg->OutputCombo()->isVisibleTo(dlg));
        EXPECT_EQ(dlg->OldPidEdit()->text(), "1");
        const bool expected[4] = {true, false, false, true};
        for (int bit = 0; bit < 4; ++bit) {
            EXPECT_TRUE(dlg->OutputCheck(bit)->isVisibleTo(dlg));
            EXPECT_EQ(dlg->OutputCheck(bit)->isChecked(), expected[bit]) << bit;
        }
        dlg->OutputCheck(0)->setChecked(false);
        dlg->OutputCheck(1)->setChecked(true);
        dlg->NewPidEdit()->setText("1fff");
        EXPECT_TRUE(dlg->OnOK());
    });
    page->EditButton()->click();
    EXPECT_EQ(Row(0), (QStringList{"5", "1", "1fff", "(2) (4) ", "10"}));

    page->SetButton()->click();
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (Bytes{0, 2, 10, 0x00, 0x01, 0x1F, 0xFF, 2, 0x00, 0x03, 0x00, 0x04}));
    fx.FeedReply(kCmdSetPidForward, {});
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(PidForwardViewTest, DeleteAndEmpty) {
    Open(0);
    page->GetButton()->click();
    fx.TakeSentPacket();
    fx.FeedReply(kCmdGetPidForward, {2, 1, 0x00, 0x01, 0x00, 0x02, 3, 0x00, 0x03, 0x00, 0x04});
    ASSERT_EQ(page->List()->topLevelItemCount(), 2);
    EXPECT_EQ(Row(1), (QStringList{"3", "3", "4", ""}));

    page->DeleteButton()->click();  // nothing selected
    EXPECT_EQ(page->List()->topLevelItemCount(), 2);
    page->List()->topLevelItem(0)->setSelected(true);
    page->DeleteButton()->click();
    ASSERT_EQ(page->List()->topLevelItemCount(), 1);
    EXPECT_EQ(Row(0).at(0), "3");

    fx.Prompt().answers = {IDCANCEL, IDOK};
    page->EmptyButton()->click();
    EXPECT_EQ(page->List()->topLevelItemCount(), 1);
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "Sure to empty all PID ?");
    EXPECT_EQ(fx.Prompt().shown[0].caption, "Confirm");
    page->EmptyButton()->click();
    EXPECT_EQ(page->List()->topLevelItemCount(), 0);

    page->SetButton()->click();
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, Bytes{0});
}

TEST_F(PidForwardViewTest, OfflineDeviceSendsNothing) {
    Open(0);
    fx.Device()->status = 0;
    page->GetButton()->click();
    page->SetButton()->click();
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(AddPidDlgTest, FilterModeAsksOnlyOnePid) {
    test::EnsureApplication();
    CAddPidDlg dlg;
    dlg.m_fields.filterMode = 1;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.NewPidLabel()->text(), "Filter PID:0X");
    EXPECT_FALSE(dlg.OldPidEdit()->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.InputCombo()->isVisibleTo(&dlg));
    EXPECT_FALSE(dlg.OutputCombo()->isVisibleTo(&dlg));
    dlg.NewPidEdit()->setText("1FFF");
    EXPECT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_fields.newPid, "1FFF");
}

TEST(PidForwardRegistry, PageIsRegistered) {
    RegisterBuiltPages();
    EXPECT_TRUE(IsPageRegistered("CMuxPidForwardView"));
}

}  // namespace mux_pid_forward_view_test
}  // namespace nms
