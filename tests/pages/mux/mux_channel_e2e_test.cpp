// The input channel page against the device simulator over real UDP, through the network thread and the
// GUI hand-off: Input Analyze, Select, Refresh Out, Edit (both dialogs) and Remove end to end.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "live_device.h"
#include "mux_device_sim.h"
#include "pages/mux/edit_program_dlg.h"
#include "pages/mux/mux_channel_view.h"
#include "pages/mux/transcode_program_dlg.h"

namespace nms {
namespace mux_channel_e2e_test {

using test::MuxSimPrograms;

class MuxChannelEndToEnd : public ::testing::Test {
protected:
    void Open(int pageParam) {
        programs = std::make_shared<MuxSimPrograms>(pageParam);
        live = std::make_unique<test::LiveDevice>(0x2101, 77);
        std::shared_ptr<MuxSimPrograms> mux = programs;
        live->SetHandler([mux](const test::SimPacket& p) -> std::optional<test::SimReply> {
            auto r = mux->Handle(p.command, p.b, p.c, p.payload);
            if (!r)
                return std::nullopt;
            return test::SimReply{p.command, r->payload, r->b, r->c};
        });
        ASSERT_TRUE(live->Start());
        page = std::make_unique<CMuxChannelView>();
        ASSERT_TRUE(live->Show(page.get(), pageParam));
    }
    void TearDown() override {
        page.reset();
        live.reset();
    }
    void WaitIdle() { ASSERT_TRUE(live->WaitIdle(page.get())); }
    QTreeWidgetItem* In(int channel) { return page->InputTreeWidget()->topLevelItem(0)->child(channel - 1); }
    QTreeWidgetItem* Out(int channel) {
        return page->OutputTreeWidget()->topLevelItem(0)->child(channel - 1);
    }
    static QStringList Texts(QTreeWidgetItem* item) {
        QStringList out;
        for (int i = 0; item && i < item->childCount(); ++i)
            out << item->child(i)->text(0);
        return out;
    }
    void Click(QPushButton* button) {
        button->click();
        WaitIdle();
    }

    std::shared_ptr<MuxSimPrograms> programs;
    std::unique_ptr<test::LiveDevice> live;
    std::unique_ptr<CMuxChannelView> page;
};

TEST_F(MuxChannelEndToEnd, AnalyseSelectRefreshEditRemove) {
    Open(0);
    EXPECT_EQ(Texts(Out(1)), QStringList{"1 NEWS-1"});

    page->InputTreeWidget()->setCurrentItem(In(1));
    Click(page->AnalyzeButton());
    EXPECT_EQ(Texts(In(1)), (QStringList{"CA Info", "1 NEWS-1", "2 NEWS-2", "3 News 24"}));

    page->InputTreeWidget()->setCurrentItem(In(1)->child(2));
    Click(page->SelectButton());
    EXPECT_TRUE(programs->Routed(1, 2));
    EXPECT_EQ(Texts(Out(1)), (QStringList{"1 NEWS-1", "2 NEWS-2"}));
    page->SelectButton()->click();
    ASSERT_FALSE(live->Prompt().shown.empty());
    EXPECT_EQ(live->Prompt().shown.back().text, "The program has already been selected!");

    Click(page->RefreshButton());
    EXPECT_EQ(Texts(Out(1)), (QStringList{"1 NEWS-1", "2 NEWS-2"}));

    page->OutputTreeWidget()->setCurrentItem(Out(1)->child(1));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CEditProgramDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->NameEdit()->setText("NEWS-2 HD");
        dlg->ServiceIdEdit()->setText("202");
        if (dlg->OnOK())
            dlg->accept();
    });
    Click(page->EditButton());
    EXPECT_EQ(programs->modifications, 1);
    EXPECT_EQ(Out(1)->child(1)->text(0), "2 NEWS-2 HD");
    EXPECT_EQ(Out(1)->child(1)->child(0)->text(0), "Service ID:202");
    Click(page->RefreshButton());
    EXPECT_EQ(Texts(Out(1)), (QStringList{"1 NEWS-1", "2 NEWS-2 HD"}));

    page->OutputTreeWidget()->setCurrentItem(Out(1)->child(0));
    Click(page->RemoveButton());
    EXPECT_FALSE(programs->Routed(1, 1));
    EXPECT_EQ(Texts(Out(1)), QStringList{"2 NEWS-2 HD"});

    page->InputTreeWidget()->setCurrentItem(In(2));
    Click(page->AnalyzeButton());
    EXPECT_EQ(live->Prompt().shown.back().text, "Channel 2 no input!");
    EXPECT_EQ(live->Events().Count("Operation timeout"), 0);
}

TEST_F(MuxChannelEndToEnd, TranscoderReadsAllAndEditsThroughTheTranscodeDialog) {
    Open(86);
    // Shown: the outputs, then every input without further action.
    EXPECT_EQ(Texts(In(1)), (QStringList{"1 NEWS-1", "2 NEWS-2", "3 News 24"}));
    EXPECT_EQ(Texts(In(3)), QStringList{"1 Sport HD"});
    EXPECT_EQ(Texts(Out(1)), QStringList{"1 NEWS-1"});

    page->OutputTreeWidget()->setCurrentItem(Out(1)->child(0));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CTranscodeProgramDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->BitrateEdit()->setText("6000");
        if (dlg->OnOK())
            dlg->accept();
    });
    Click(page->EditButton());
    ASSERT_EQ(programs->modifications, 1);
    const auto record = programs->Program(1, 1);
    EXPECT_EQ(record[242] | record[243] << 8, 6000);
    EXPECT_EQ(live->Events().Count("Operation timeout"), 0);
}

}  // namespace mux_channel_e2e_test
}  // namespace nms
