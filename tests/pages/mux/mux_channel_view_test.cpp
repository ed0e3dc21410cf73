#include "pages/mux/mux_channel_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "app/page_registry.h"
#include "fake_mux.h"
#include "page_fixture.h"
#include "pages/mux/edit_program_dlg.h"
#include "pages/mux/transcode_program_dlg.h"

namespace nms {
namespace mux_channel_view_test {

using test::PageFixture;

// Answers every request the page queues from the fake until the page stops asking; returns the commands.
std::vector<int> Serve(PageFixture& fx, const FakeMux& mux, int limit = 5000) {
    std::vector<int> commands;
    for (int i = 0; i < limit; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            break;
        commands.push_back(sent->command);
        if (sent->command == kCmdVersion)
            continue;
        fx.FeedReply(sent->command, mux.Answer(sent->command, sent->payload), mux.b, mux.c);
    }
    return commands;
}

QStringList Texts(QTreeWidgetItem* item) {
    QStringList out;
    if (item)
        for (int i = 0; i < item->childCount(); ++i)
            out << item->child(i)->text(0);
    return out;
}

// The widget mirrors the model node for node.
void ExpectMirrors(QTreeWidgetItem* item, const ProgramTreeNode& node) {
    ASSERT_EQ(item->text(0).toStdString(), node.text);
    EXPECT_EQ(item->data(0, Qt::UserRole).toInt(), node.data);
    ASSERT_EQ(item->childCount(), static_cast<int>(node.children.size()));
    for (int i = 0; i < item->childCount(); ++i)
        ExpectMirrors(item->child(i), node.children[i]);
}

void ExpectTreeMirrors(QTreeWidget* w, const ProgramTree& t) {
    ASSERT_EQ(w->topLevelItemCount(), static_cast<int>(t.Roots().size()));
    for (int r = 0; r < w->topLevelItemCount(); ++r)
        ExpectMirrors(w->topLevelItem(r), t.Roots()[r]);
}

struct MuxChannelViewTest : ::testing::Test {
    PageFixture fx{0x2101};
    FakeMux mux;
    std::unique_ptr<CMuxChannelView> page;

    void Open(int pageParam) {
        mux.pageParam = pageParam;
        page = std::make_unique<CMuxChannelView>();
        fx.Bind(page.get(), pageParam);
    }
    QTreeWidgetItem* InChannel(int ch) { return page->InputTreeWidget()->topLevelItem(0)->child(ch - 1); }
    QTreeWidgetItem* OutChannel(int root, int ch) {
        return page->OutputTreeWidget()->topLevelItem(root)->child(ch - 1);
    }
};

TEST_F(MuxChannelViewTest, ShownReadsTheOutputsAndAnalyseFillsTheInputTree) {
    mux.programs[1] = {MakeRecord(263, "News", true), MakeRecord(263, "Sport", false, 2)};
    Open(0);
    EXPECT_TRUE(page->IsBusy());
    EXPECT_EQ(page->SelectButton()->text(), "Select");
    EXPECT_FALSE(page->OutBButton()->isVisible());
    EXPECT_TRUE(page->PidRemapCheck()->isChecked());
    const auto out = Serve(fx, mux);
    EXPECT_EQ(out.size(), 2u + 7u + 1u);
    EXPECT_EQ(out.back(), kCmdVersion);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(Texts(OutChannel(0, 1)), QStringList{"1 News"});

    page->PidRemapCheck()->setChecked(false);
    page->InputTreeWidget()->setCurrentItem(InChannel(1));
    EXPECT_TRUE(page->PidRemapCheck()->isChecked());  // a new input selection checks it again
    page->PidRemapCheck()->setChecked(false);
    page->AnalyzeButton()->click();
    auto sent = fx.PeekSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (Bytes{1, 1, 1}));
    Serve(fx, mux);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(Texts(InChannel(1)), (QStringList{"1 News", "2 Sport"}));
    ExpectTreeMirrors(page->InputTreeWidget(), page->Logic()->InputTree());
    ExpectTreeMirrors(page->OutputTreeWidget(), page->Logic()->OutputProgramTree());
    // The PSI/SI editor's view of this page.
    const IOutputProgramSource* src = page->OutputProgramSource();
    ASSERT_NE(src, nullptr);
    EXPECT_EQ(src->ProgramAt(1, 2)->InputName(), "Sport");
}

TEST_F(MuxChannelViewTest, SelectRemoveAndMessages) {
    mux.programs[2] = {MakeRecord(263, "A", false)};
    Open(0);
    Serve(fx, mux);
    // No selection: the analyse button explains, nothing is sent.
    page->InputTreeWidget()->clearSelection();
    page->AnalyzeButton()->click();
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, "Please select Input Channel!");
    EXPECT_FALSE(fx.PeekSentPacket());

    page->InputTreeWidget()->setCurrentItem(InChannel(2));
    page->AnalyzeButton()->click();
    Serve(fx, mux);
    page->InputTreeWidget()->setCurrentItem(InChannel(2)->child(0));
    page->SelectButton()->click();
    EXPECT_EQ(Serve(fx, mux), (std::vector<int>{kCmdSelectIntoOutput}));
    EXPECT_EQ(Texts(OutChannel(0, 2)), QStringList{"1 A"});
    page->SelectButton()->click();
    EXPECT_EQ(fx.Prompt().shown.back().text, "The program has already been selected!");

    page->OutputTreeWidget()->setCurrentItem(OutChannel(0, 2)->child(0));
    page->RemoveButton()->click();
    EXPECT_EQ(Serve(fx, mux), (std::vector<int>{kCmdRemoveFromOutput}));
    EXPECT_TRUE(Texts(OutChannel(0, 2)).isEmpty());
}

TEST_F(MuxChannelViewTest, TimeOutStopsTheChainAndALateReplyOnlyShowsItsData) {
    mux.programs[1] = {MakeRecord(263, "Late", true)};
    Open(0);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
    fx.FeedReply(kCmdReadOutputProgram, mux.Answer(kCmdReadOutputProgram, sent->payload));
    // The program the late reply reports is shown; the read does not go on.
    EXPECT_EQ(Texts(OutChannel(0, 1)), QStringList{"1 Late"});
    EXPECT_FALSE(fx.PeekSentPacket());
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(MuxChannelViewTest, TwoOutputLayoutAndOutB) {
    mux.programs[1] = {MakeRecord(263, "P", false)};
    Open(1);
    EXPECT_EQ(page->SelectButton()->text(), "Out A");
    EXPECT_TRUE(page->OutBButton()->isVisible());
    EXPECT_FALSE(page->PidRemapCheck()->isVisible());
    EXPECT_EQ(page->OutputTreeWidget()->topLevelItem(1)->text(0), "Output Channel B");
    EXPECT_EQ(Serve(fx, mux).size(), 17u);  // 16 reads and the version
    page->InputTreeWidget()->setCurrentItem(InChannel(1));
    page->AnalyzeButton()->click();
    EXPECT_EQ(fx.PeekSentPacket()->payload, (Bytes{1, 1}));
    Serve(fx, mux);
    page->InputTreeWidget()->setCurrentItem(InChannel(1)->child(0));
    page->OutBButton()->click();
    EXPECT_EQ(fx.PeekSentPacket()->payload, (Bytes{1, 1, 2}));
    Serve(fx, mux);
    EXPECT_EQ(Texts(OutChannel(1, 1)), QStringList{"1 P"});
}

TEST_F(MuxChannelViewTest, EditThroughTheDialog) {
    mux.programs[1] = {MakeRecord(263, "Edit me", true, 2)};
    Open(0);
    Serve(fx, mux);
    page->OutputTreeWidget()->setCurrentItem(OutChannel(0, 1)->child(0));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CEditProgramDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->ElementCombo()->count(), 2);
        EXPECT_EQ(dlg->ElementCombo()->itemText(0), "1:02 MPEG-2 Video");
        dlg->ServiceIdEdit()->setText("4660");
        dlg->NameEdit()->setText("Renamed");
        if (dlg->OnOK())
            dlg->accept();
    });
    page->EditButton()->click();
    auto sent = fx.PeekSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->command, kCmdModifyOutputProgram);
    ASSERT_EQ(sent->payload.size(), 265u);
    EXPECT_EQ(sent->payload[2 + 67], 0x34);
    EXPECT_EQ(sent->payload[2 + 68], 0x12);
    Serve(fx, mux);
    EXPECT_EQ(OutChannel(0, 1)->child(0)->text(0), "1 Renamed");
    EXPECT_EQ(OutChannel(0, 1)->child(0)->child(0)->text(0), "Service ID:4660");
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(MuxChannelViewTest, TranscoderReadsEverythingWhenShownAndEditsThroughItsDialog) {
    mux.programs[2] = {MakeRecord(379, "T1", true, 2), MakeRecord(379, "T2", false)};
    Open(86);
    const auto commands = Serve(fx, mux);
    // Outputs of 8 channels (channel 2 twice), then the inputs of 8 channels, then the version.
    ASSERT_EQ(commands.size(), 9u + 9u + 1u);
    EXPECT_EQ(commands[9], kCmdReadInputProgram);
    EXPECT_EQ(commands.back(), kCmdVersion);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(Texts(InChannel(2)), (QStringList{"1 T1", "2 T2"}));
    EXPECT_EQ(Texts(OutChannel(0, 2)), QStringList{"1 T1"});

    page->OutputTreeWidget()->setCurrentItem(OutChannel(0, 2)->child(0));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CTranscodeProgramDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->BitrateEdit()->setText("4500");
        dlg->NameEdit()->setText("T1-HD");
        if (dlg->OnOK())
            dlg->accept();
    });
    page->EditButton()->click();
    auto sent = fx.PeekSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->payload.size(), 381u);
    EXPECT_EQ(sent->payload[0], 2);
    EXPECT_EQ(sent->payload[1], 1);
    EXPECT_EQ(sent->payload[2 + 242], 4500 & 0xFF);
    EXPECT_EQ(sent->payload[2 + 243], 4500 >> 8);
    Serve(fx, mux);
    EXPECT_EQ(OutChannel(0, 2)->child(0)->text(0), "1 T1-HD");
}

TEST_F(MuxChannelViewTest, OfflineDeviceButtonsDoNothing) {
    Open(0);
    Serve(fx, mux);
    fx.Device()->status.store(-1);
    page->InputTreeWidget()->setCurrentItem(InChannel(1));
    page->AnalyzeButton()->click();
    page->RefreshButton()->click();
    EXPECT_FALSE(fx.PeekSentPacket());
    EXPECT_TRUE(fx.Prompt().shown.empty());
}

TEST(MuxChannelViewRegistry, TheMultiplexPageIsBuiltIn) {
    test::EnsureApplication();
    RegisterBuiltPages();
    ASSERT_TRUE(IsPageRegistered("CMuxChannelView"));
    std::unique_ptr<CFormTemplateView> made(CreatePage("CMuxChannelView", nullptr));
    EXPECT_NE(dynamic_cast<CMuxChannelView*>(made.get()), nullptr);
}

}  // namespace mux_channel_view_test
}  // namespace nms
