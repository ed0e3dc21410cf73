// The three scrambler pages against the simulated devices over real UDP, through the network thread and
// the GUI hand-off, as devsim serves them: each reads its programs, takes a scrambling choice and an AC
// table edit and writes them. With NMS_SHOT_DIR set, each page is saved there as a picture.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>

#include "devices/device_record.h"
#include "live_page_test.h"
#include "pages/scrambler/ac_edit_dlg.h"
#include "pages/scrambler/ac_list_dlg.h"
#include "pages/scrambler/ac_table_dlg.h"
#include "pages/scrambler/check_tree_ctrl.h"
#include "pages/scrambler/qam4_sas_view.h"
#include "pages/scrambler/scramble_view.h"
#include "pages/scrambler/scrambler_qam_view.h"
#include "scrambler_device_sim.h"

namespace nms {
namespace scrambler_e2e_test {

class ScramblerEndToEnd : public test::LivePageTest {
protected:
    template <class Page>
    Page* Open(uint16_t type, int pageParam, uint32_t version = 0x0010) {
        scrambler = std::make_shared<test::ScramblerSimDevice>(type);
        live = std::make_unique<test::LiveDevice>(type, 93);
        auto s = scrambler;
        live->SetHandler([s](const test::SimPacket& p) -> std::optional<test::SimReply> {
            if (auto reply = s->Handle(p.command, p.b, p.c, p.payload))
                return test::SimReply{p.command, reply->payload, reply->b, reply->c};
            return std::nullopt;
        });
        EXPECT_TRUE(live->Start());
        live->Device()->version.store(version);
        return Bind<Page>(pageParam, 1100, 720);
    }
    static bool AddEntry(CAcEditDlg& e) {
        e.m_nameEdit->setText("e2e");
        e.m_dataEdit->setText("0102");
        e.OnOK();
        return true;
    }

    std::shared_ptr<test::ScramblerSimDevice> scrambler;
};

TEST_F(ScramblerEndToEnd, QamScrambler) {
    auto* p = Open<Scrambler_qam>(0x3102, 0);
    ASSERT_EQ(p->m_root->childCount(), 3);
    p->m_tree->ClickCheckImage(p->m_root->child(2));  // program 3: 2 -> 3
    p->m_runAcList = [](CAcListDlg& d) {
        d.m_runEdit = AddEntry;
        d.OnAdd();
        d.OnOK();
        return true;
    };
    p->m_acTable->click();
    Click(p->m_set);
    EXPECT_TRUE(live->Prompt().shown.empty());
    const auto& marks = scrambler->Marks();
    EXPECT_TRUE(marks[0x301 / 8] & (0x80 >> (0x301 % 8)));
    EXPECT_EQ(scrambler->AcTables()[0][1], 3);  // three entries in table 1
    Click(p->m_refresh);
    EXPECT_EQ(p->m_acIndex->count(), 3);
    Shot("scrambler_qam");
}

TEST_F(ScramblerEndToEnd, StandAloneScrambler) {
    auto* p = Open<CScrambleView>(0x3101, 0);
    ASSERT_EQ(p->m_root->childCount(), 2);
    p->m_tree->ClickCheckImage(p->m_root->child(0)->child(4));  // audio of program 1: 1 -> 2
    p->m_runAcList = [](CAcListDlg& d) {
        d.m_runEdit = AddEntry;
        d.OnAdd();
        d.OnOK();
        return true;
    };
    p->m_acTable->click();
    Click(p->m_set);
    EXPECT_TRUE(live->Prompt().shown.empty());
    EXPECT_EQ(scrambler->Block()[856], 0x3);  // program 1: both elements checked
    EXPECT_EQ(scrambler->AcTables()[0][1], 3);
    Click(p->m_refresh);
    Shot("scramble_view");
}

TEST_F(ScramblerEndToEnd, ScramblingQamModulator) {
    auto* p = Open<Cqam4_sas>(0x4144, 0);
    QTreeWidgetItem* a = p->m_tree->topLevelItem(0);
    ASSERT_EQ(a->childCount(), 2);
    p->m_tree->ClickCheckImage(a->child(0));  // 2 -> 3
    Click(p->m_set);
    EXPECT_EQ(scrambler->Channels()[0][0][0], 2);
    p->m_runAcTable = [](CAcTableDlg& d) {
        d.OnInitDialog();
        d.m_runEdit = AddEntry;
        d.OnAdd();
        d.OnOK();
        return true;
    };
    p->m_acTable->click();
    WaitIdle();
    EXPECT_EQ(scrambler->AcTables()[0][2], 3);
    EXPECT_TRUE(live->Prompt().shown.empty());
    Click(p->m_get);
    p->m_tree->setCurrentItem(p->m_tree->topLevelItem(0)->child(0));
    p->OnClickTree(p->m_tree->topLevelItem(0)->child(0));
    Shot("qam4_sas");
}

// The IP QAM modulator as devsim composes it: its 16-QAM routing page and its scrambler page share command
// codes (0x21, 0x23, 0x24), told apart by the request; the scrambler page gets its own replies.
TEST_F(ScramblerEndToEnd, IpQamModulatorAsDevsimServesIt) {
    live = std::make_unique<test::LiveDevice>(0x4153, 93);
    ASSERT_TRUE(live->Start());
    auto* p = Bind<Cqam4_sas>(102, 814, 544);
    EXPECT_TRUE(live->Prompt().shown.empty()) << live->Prompt().shown.front().text;
    ASSERT_EQ(p->m_tree->topLevelItemCount(), 4);
    EXPECT_EQ(p->m_tree->topLevelItem(0)->text(0), "Output Channel 1");  // renamed by the first read
    EXPECT_GT(p->m_tree->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(p->m_ecmgPort->text(), "5000");
    EXPECT_EQ(live->Events().Count("Operation timeout"), 0);
}

}  // namespace scrambler_e2e_test
}  // namespace nms
