// The Edit PSI page of an "ASI Multiplexer(8ASI)" against the device simulator over real UDP, through the
// network thread and the GUI hand-off, with the input channel page as its first page: read the tables,
// rename a service, write them back, read again. The Edit NIT page the same way: a transport stream with a
// cable delivery descriptor and LCNs from a file is added, sent, read back and edited.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>

#include "devices/device_record.h"
#include "live_device.h"
#include "mux_device_sim.h"
#include "pages/mux/mux_channel_view.h"
#include "pages/psi/mux_nit_edit_view.h"
#include "pages/psi/mux_psi_view.h"
#include "pages/psi/nit_descriptor_dlg.h"
#include "pages/psi/nit_ts_entry.h"
#include "pages/psi/psi_section_checker.h"
#include "psi_device_sim.h"

namespace nms {
namespace mux_psi_e2e_test {

PsiItem* FindItem(PsiItem* under, const char* prefix) {
    for (auto& child : under->children) {
        if (StartsWith(child->text, prefix))
            return child.get();
        if (PsiItem* found = FindItem(child.get(), prefix))
            return found;
    }
    return nullptr;
}

class MuxPsiEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        live = std::make_unique<test::LiveDevice>(0x2101, 78);
        live->SetHandler([this](const test::SimPacket& p) -> std::optional<test::SimReply> {
            if (auto r = programs.Handle(p.command, p.b, p.c, p.payload))
                return test::SimReply{p.command, r->payload, r->b, r->c};
            if (auto r = tables.Handle(p.command, p.b, p.c, p.payload))
                return test::SimReply{p.command, r->payload, r->b, r->c};
            return std::nullopt;
        });
        ASSERT_TRUE(live->Start());
        device = live->Device();
    }
    void TearDown() override {
        nitPage.reset();
        psi.reset();
        channels.reset();
        live.reset();
    }
    void WaitIdle(CFormTemplateView* page) {
        QCoreApplication::processEvents();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !page->IsBusy(); }, 15000));
    }

    test::MuxSimPrograms programs{0};
    test::PsiSimTables tables;
    std::unique_ptr<test::LiveDevice> live;
    DeviceRecord* device = nullptr;
    std::unique_ptr<CMuxChannelView> channels;
    std::unique_ptr<CMuxPsiView> psi;
    std::unique_ptr<CMuxNitEditView> nitPage;
};

TEST_F(MuxPsiEndToEnd, ReadRenameWriteReadAgain) {
    channels = std::make_unique<CMuxChannelView>();
    channels->SetPageParam(0);
    channels->SetFirstPage(channels.get());
    channels->SetDevice(device);
    channels->show();
    WaitIdle(channels.get());
    channels->hide();

    psi = std::make_unique<CMuxPsiView>();
    psi->SetPageParam(0);
    psi->SetFirstPage(channels.get());
    psi->SetDevice(device);
    psi->show();
    WaitIdle(psi.get());
    CMuxPsiModel& model = psi->Model();
    ASSERT_EQ(model.PmtsRoot()->children.size(), 1u);
    EXPECT_TRUE(StartsWith(model.PmtsRoot()->children[0]->text, "ASI 1: 1 "));
    EXPECT_FALSE(model.PmtsRoot()->children[0]->children.empty());
    PsiItem* name = FindItem(model.SdtRoot(), "service_name(");
    ASSERT_NE(name, nullptr);

    QTreeWidgetItem* widget = psi->WidgetItem(name);
    ASSERT_NE(widget, nullptr);
    psi->m_tree->setCurrentItem(widget);
    psi->OnClickTree(widget);
    psi->m_valueEdit->setText("Velmora Eins");
    psi->OnSet();
    WaitIdle(psi.get());
    EXPECT_EQ(tables.writes, 5);  // PAT, the PMT of the one routed program, CAT, NIT, SDT
    std::string why;
    EXPECT_TRUE(CheckPsiSection(tables.sdt.data(), static_cast<int>(tables.sdt.size()), &why)) << why;

    psi->OnGet();
    WaitIdle(psi.get());
    PsiItem* again = FindItem(psi->Model().SdtRoot(), "service_name(");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->text, "service_name(12bytes):Velmora Eins");
}

TEST_F(MuxPsiEndToEnd, NitTransportStreamWithLcnsFromAFileSentAndReadBack) {
    const std::filesystem::path lcnFile = std::filesystem::temp_directory_path() / "mux_psi_e2e_lcn.txt";
    {
        std::FILE* f = std::fopen(lcnFile.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("LCN List\n@lcn:0x10:5:\n@lcn:17:0x6#\n@end\n", f);
        std::fclose(f);
    }
    nitPage = std::make_unique<CMuxNitEditView>();
    nitPage->SetPageParam(0);
    nitPage->SetFirstPage(nitPage.get());
    nitPage->SetDevice(device);
    nitPage->show();
    WaitIdle(nitPage.get());
    const int readRows = nitPage->TsList()->topLevelItemCount();
    ASSERT_GE(readRows, 1);

    live->Prompt().fileAnswers = {lcnFile.string()};
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNitDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->m_lcnCheck->click();
        dlg->m_lcnButtons[4]->click();  // Load
        dlg->OnOK();
    });
    nitPage->TsAddButton()->click();
    ASSERT_EQ(nitPage->TsList()->topLevelItemCount(), readRows + 1);
    nitPage->OnSendA();
    WaitIdle(nitPage.get());
    std::string why;
    EXPECT_TRUE(CheckPsiSection(tables.nit.data(), static_cast<int>(tables.nit.size()), &why)) << why;

    nitPage->OnGet();
    WaitIdle(nitPage.get());
    ASSERT_EQ(nitPage->TsList()->topLevelItemCount(), readRows + 1);
    const NitTsRow& row = nitPage->Logic()->Table().rows.back();
    EXPECT_EQ(row.columns[6], "Cable");
    const NitTsEntryLists lists = ReadNitTsEntry(row.entry);
    ASSERT_EQ(lists.lcnRows.size(), 2u);
    EXPECT_EQ(lists.lcnRows[0].serviceId, 0x10);
    EXPECT_EQ(lists.lcnRows[1].lcn, 6);

    // Edited: 256QAM; sent and read again.
    nitPage->TsList()->topLevelItem(readRows)->setSelected(true);
    nitPage->OnTsListClick();
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNitDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->m_modulation->setCurrentIndex(5);
        dlg->OnOK();
    });
    nitPage->TsEditButton()->click();
    nitPage->OnSendA();
    WaitIdle(nitPage.get());
    nitPage->OnGet();
    WaitIdle(nitPage.get());
    EXPECT_EQ(nitPage->Logic()->Table().rows.back().columns[4], "256QAM");
    EXPECT_EQ(ReadNitTsEntry(nitPage->Logic()->Table().rows.back().entry).lcnRows.size(), 2u);
    std::filesystem::remove(lcnFile);
}

}  // namespace mux_psi_e2e_test
}  // namespace nms
