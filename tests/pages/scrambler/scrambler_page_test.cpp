// The scrambler pages and their dialogs through the page fixture, against the simulated devices.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>
#include <random>

#include "app/page_registry.h"
#include "devices/atomic_file.h"
#include "devices/device_record.h"
#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/psi/ca_descriptor_dlg.h"
#include "pages/scrambler/ac_edit_dlg.h"
#include "pages/scrambler/ac_list_dlg.h"
#include "pages/scrambler/ac_table_dlg.h"
#include "pages/scrambler/check_tree_ctrl.h"
#include "pages/scrambler/qam4_sas_view.h"
#include "pages/scrambler/scramble_program_dlg.h"
#include "pages/scrambler/scramble_view.h"
#include "pages/scrambler/scrambler_qam_view.h"
#include "scrambler_device_sim.h"

namespace nms {
namespace scrambler_page_test {

using test::PageFixture;
using test::ScramblerSimDevice;

// Answers every queued request from the simulated device until nothing more is sent.
void Pump(PageFixture& fx, ScramblerSimDevice& sim, int limit = 400) {
    for (int i = 0; i < limit; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            return;
        if (auto reply = sim.Handle(sent->command, sent->b, sent->c, sent->payload))
            fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
    }
}

TEST(CheckTreeCtrlTest, ThreeStatesFromATableOfClicks) {
    test::EnsureApplication();
    CCheckTreeCtrl tree;
    auto* item = new QTreeWidgetItem(&tree, {"item"});
    EXPECT_EQ(tree.GetCheckState(item), 0);
    EXPECT_EQ(tree.GetCheck(item, 1), 0);
    // Values outside 1..3 change nothing and still answer 1.
    EXPECT_EQ(tree.SetCheck(item, 0), 1);
    EXPECT_EQ(tree.SetCheck(item, 4), 1);
    EXPECT_EQ(tree.GetCheckState(item), 0);
    tree.SetCheck(item, 1);
    EXPECT_EQ(tree.SetCheck(item, 4), 1);
    EXPECT_EQ(tree.GetCheckState(item), 1);
    // GetCheck with the flag turns 2 into 3 and leaves 1 and 3.
    for (unsigned v : {1u, 3u}) {
        tree.SetCheck(item, v);
        EXPECT_EQ(tree.GetCheck(item, 1), int(v));
    }
    tree.SetCheck(item, 2);
    EXPECT_EQ(tree.GetCheck(item, 0), 2);
    EXPECT_EQ(tree.GetCheck(item, 1), 3);
    EXPECT_EQ(tree.GetCheckState(item), 3);

    // Clicks: the page hears the coming value first; three images cycle 1-2-3, two images 1-2.
    std::vector<int> heard;
    QObject::connect(&tree, &CCheckTreeCtrl::CheckImageClicked,
                     [&heard](QTreeWidgetItem*, int next) { heard.push_back(next); });
    const struct {
        int images, from;
        std::vector<int> after;
    } cases[] = {{3, 1, {2, 3, 1, 2}}, {2, 1, {2, 1, 2, 1}}, {3, 3, {1, 2, 3, 1}}};
    for (const auto& c : cases) {
        tree.SetImageCount(c.images);
        tree.SetCheck(item, unsigned(c.from));
        heard.clear();
        std::vector<int> seen;
        for (size_t k = 0; k < c.after.size(); ++k) {
            tree.ClickCheckImage(item);
            seen.push_back(tree.GetCheckState(item));
        }
        EXPECT_EQ(seen, c.after);
        EXPECT_EQ(heard, c.after);
    }
    // A real mouse click on the image advances; a click on the text does not.
    tree.SetImageCount(3);
    tree.SetCheck(item, 1);
    tree.resize(200, 100);
    tree.show();
    const QRect image = tree.CheckImageRect(item);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, image.center());
    EXPECT_EQ(tree.GetCheckState(item), 2);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, QPoint(image.right() + 30, image.center().y()));
    EXPECT_EQ(tree.GetCheckState(item), 2);
    // An item without a value has no image to click.
    auto* plain = new QTreeWidgetItem(&tree, {"plain"});
    tree.ClickCheckImage(plain);
    EXPECT_EQ(tree.GetCheckState(plain), 0);
}

AcTableImage ThreeEntries(AcEcmBlock* ecm) {
    AcTableImage image{};
    PackAcEntries({{"one", {1}, 0x11}, {"two", {2}, 0x22}, {"three", {3}, 0x33}}, &image, ecm);
    return image;
}

TEST(AcListDlgTest, AddEditDeleteLoadAndSave) {
    PageFixture fx;
    AcEcmBlock ecm{};
    const AcTableImage image = ThreeEntries(&ecm);
    CAcListDlg dlg(1, image, ecm);
    EXPECT_EQ(dlg.m_title->text(), "Channel: 2 AC Table");
    ASSERT_EQ(dlg.m_list->topLevelItemCount(), 3);
    EXPECT_EQ(dlg.m_list->topLevelItem(2)->text(3), "33");

    // Add: typed upper case shows as typed.
    std::function<void(CAcEditDlg&)> fill;
    dlg.m_runEdit = [&fill](CAcEditDlg& d) {
        d.OnInitDialog();
        fill(d);
        d.OnOK();
        return d.result() == QDialog::Accepted;
    };
    fill = [](CAcEditDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Add AC");
        EXPECT_EQ(d.m_numberEdit->text(), "4");
        EXPECT_EQ(d.m_ecmEdit->text(), "1");
        d.m_nameEdit->setText("four");
        d.m_dataEdit->setText("0A1B");
    };
    dlg.OnAdd();
    ASSERT_EQ(dlg.m_list->topLevelItemCount(), 4);
    EXPECT_EQ(dlg.m_list->topLevelItem(3)->text(2), "0A1B");
    EXPECT_EQ(dlg.Records()[3].data, (std::vector<uint8_t>{0x0a, 0x1b}));

    // A refused entry keeps the entry dialog open: nothing is added.
    fill = [](CAcEditDlg& d) {
        d.m_nameEdit->setText("bad");
        d.m_dataEdit->setText("123");
    };
    dlg.OnAdd();
    EXPECT_EQ(dlg.m_list->topLevelItemCount(), 4);
    EXPECT_EQ(fx.Prompt().shown.back().text, "AC value's length should be even number!");

    // Edit of row 1.
    dlg.m_list->setCurrentItem(dlg.m_list->topLevelItem(0));
    fill = [](CAcEditDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Edit AC");
        EXPECT_EQ(d.m_nameEdit->text(), "one");
        EXPECT_EQ(d.m_dataEdit->text(), "01");
        EXPECT_EQ(d.m_ecmEdit->text(), "11");
        d.m_nameEdit->setText("uno");
    };
    dlg.OnEdit();
    EXPECT_EQ(dlg.m_list->topLevelItem(0)->text(1), "uno");

    // Delete the second of the rows: the following rows are renumbered; Cancel keeps it.
    dlg.m_list->setCurrentItem(dlg.m_list->topLevelItem(1));
    fx.Prompt().answers = {IDCANCEL};
    dlg.OnDelete();
    EXPECT_EQ(dlg.m_list->topLevelItemCount(), 4);
    EXPECT_EQ(fx.Prompt().shown.back().text, "Sure to delete 'two' ?");
    EXPECT_EQ(fx.Prompt().shown.back().caption, "Sure to delete");
    dlg.OnDelete();
    ASSERT_EQ(dlg.m_list->topLevelItemCount(), 3);
    EXPECT_EQ(dlg.m_list->topLevelItem(1)->text(0), "2");
    EXPECT_EQ(dlg.m_list->topLevelItem(1)->text(1), "three");

    // Save, then load the file back into another dialog: data in lower case now.
    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath("t.ac").toStdString();
    fx.Prompt().fileAnswers = {path};
    dlg.OnSave();
    EXPECT_EQ(fx.Prompt().fileRequests.back().fileName, "ac_info");
    EXPECT_EQ(QFile(QString::fromStdString(path)).size(), 3072);
    CAcListDlg other(0, AcTableImage{}, AcEcmBlock{});
    fx.Prompt().fileAnswers = {path};
    other.OnLoad();
    ASSERT_EQ(other.m_list->topLevelItemCount(), 3);
    EXPECT_EQ(other.m_list->topLevelItem(2)->text(2), "0a1b");
    EXPECT_EQ(other.m_list->topLevelItem(2)->text(3), "1");

    // A file of 3073 bytes asks first; Cancel reads nothing.
    QFile longFile(QString::fromStdString(path));
    ASSERT_TRUE(longFile.open(QIODevice::Append));
    longFile.write("x", 1);
    longFile.close();
    CAcListDlg third(0, AcTableImage{}, AcEcmBlock{});
    const size_t boxes = fx.Prompt().shown.size();
    fx.Prompt().fileAnswers = {path};
    fx.Prompt().answers = {IDCANCEL};
    third.OnLoad();
    ASSERT_EQ(fx.Prompt().shown.size(), boxes + 1);
    EXPECT_EQ(fx.Prompt().shown.back().caption, "File confirm");
    EXPECT_EQ(third.m_list->topLevelItemCount(), 0);

    // OK packs the list.
    dlg.OnOK();
    EXPECT_EQ(ReadAcEntries(dlg.Image(), dlg.Ecm()), dlg.Records());
}

TEST(AcListDlgTest, AFullTableRefusesAdd) {
    PageFixture fx;
    AcTableImage image{};
    AcEcmBlock ecm{};
    ASSERT_TRUE(PackAcEntries(
        std::vector<AcRecord>(8, AcRecord{std::string(127, 'n'), std::vector<uint8_t>(126, 1), 1}), &image,
        &ecm));
    CAcListDlg dlg(0, image, ecm);
    int runs = 0;
    dlg.m_runEdit = [&runs](CAcEditDlg& d) {
        ++runs;
        d.m_nameEdit->setText("n");
        d.m_dataEdit->setText(QString(60, 'a'));
        d.OnOK();
        return true;
    };
    dlg.OnAdd();  // 2042 bytes used: the new entry of 33 bytes does not fit
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(fx.Prompt().shown.back().text, kAcFullMessage);
    EXPECT_EQ(dlg.m_list->topLevelItemCount(), 8);
}

TEST(AcTableDlgTest, SaveHandsThePackedTableOverAndLoadsTheListDialogsFiles) {
    PageFixture fx;
    SasAcTableImage image{};
    ASSERT_TRUE(PackSasAcEntries({{"a", {0xab}, 1}, {"b", {0xcd, 0xef}, 1}, {"c", {1}, 1}}, &image));
    CAcTableDlg dlg;
    dlg.m_image = &image;
    dlg.m_table = 2;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.m_title->text(), "Channel: 3 AC Table");
    ASSERT_EQ(dlg.m_list->topLevelItemCount(), 3);
    EXPECT_EQ(dlg.m_list->topLevelItem(1)->text(2), "CDEF");
    // Deleting the first of three rows leaves rows 1 and 2.
    dlg.m_list->setCurrentItem(dlg.m_list->topLevelItem(0));
    dlg.OnDelete();
    EXPECT_EQ(dlg.m_list->topLevelItem(0)->text(0), "1");
    EXPECT_EQ(dlg.m_list->topLevelItem(1)->text(0), "2");
    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath("m.ac").toStdString();
    fx.Prompt().fileAnswers = {path};
    dlg.OnSave();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(QFile(QString::fromStdString(path)).size(), 3071);
    EXPECT_EQ(ReadSasAcEntries(image).size(), 2u);

    // A file of the access-criteria list dialog loads with its entries.
    AcTableImage other{};
    AcEcmBlock ecm{};
    ASSERT_TRUE(PackAcEntries({{"x", {1}, 7}, {"y", {2}, 8}, {"z", {3}, 9}}, &other, &ecm));
    const std::string listFile = QDir(dir.path()).filePath("l.ac").toStdString();
    ASSERT_TRUE(WriteFileAtomically(listFile, AcFileBytes(other, ecm), nullptr));
    CAcTableDlg again;
    again.m_image = &image;
    again.OnInitDialog();
    fx.Prompt().fileAnswers = {listFile};
    again.OnLoad();
    ASSERT_EQ(again.m_list->topLevelItemCount(), 3);
    EXPECT_EQ(again.m_list->topLevelItem(2)->text(1), "z");
    // Cancel after the load leaves the page's image as it was.
    again.reject();
    EXPECT_EQ(ReadSasAcEntries(image).size(), 2u);
}

struct QamPage {
    PageFixture fx{0x3102};
    ScramblerSimDevice sim{0x3102};
    Scrambler_qam page;
    QamPage() {
        fx.Bind(&page);
        Pump(fx, sim);  // showing the page reads everything
    }
};

TEST(ScramblerQamPageTest, ShowingReadsAndAnUntouchedSetWritesTheSame) {
    QamPage p;
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_TRUE(p.page.Timers().IsActive(kScramblerPollTimerId));
    QTreeWidgetItem* root = p.page.m_root;
    ASSERT_EQ(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0), "NEWS-1");
    EXPECT_EQ(root->child(0)->child(0)->text(0), "Service ID:101");
    EXPECT_EQ(root->child(0)->child(1)->text(0), "PMT PID:0x100");
    EXPECT_EQ(root->child(0)->child(3)->text(0), "Mpeg2 Video");
    EXPECT_EQ(root->child(0)->child(3)->child(0)->text(0), "PID:0x101");
    EXPECT_EQ(p.page.m_tree->GetCheckState(root->child(0)), 2);
    EXPECT_EQ(p.page.m_tree->GetCheckState(root->child(1)->child(4)), 3);
    EXPECT_EQ(p.page.m_programName->text(), "NEWS-1");
    EXPECT_EQ(p.page.m_ecmgPort->text(), "5000");
    EXPECT_EQ(p.page.m_superCasId->text(), "4ad00000");
    EXPECT_EQ(p.page.m_acIndex->count(), 2);
    EXPECT_EQ(p.page.m_acIndex->itemText(0), "AC1-1");
    EXPECT_EQ(p.page.m_ecmPid->text(), "1001");
    EXPECT_EQ(p.page.m_tsId->text(), "257");

    const auto block = p.sim.Block();
    const auto programs = p.sim.Programs();
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    Pump(p.fx, p.sim);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.sim.Block(), block);
    EXPECT_EQ(p.sim.Programs(), programs);
    EXPECT_EQ(p.fx.Events().Texts().back(), "Commit AC info succeed");
    EXPECT_TRUE(p.fx.Prompt().shown.empty());
}

TEST(ScramblerQamPageTest, EditsReachTheDevice) {
    QamPage p;
    // A click on program 3's box crosses all its elements; the AC index of program 1 becomes entry 2.
    QTreeWidgetItem* third = p.page.m_root->child(2);
    p.page.m_tree->ClickCheckImage(third);
    EXPECT_EQ(p.page.m_tree->GetCheckState(third), 3);
    EXPECT_EQ(p.page.m_tree->GetCheckState(third->child(5)), 3);
    p.page.m_acIndex->setCurrentIndex(1);
    p.page.m_ecmPid->setText("1x");
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "ECM PID should be 0-9,a-f or A-F!");
    EXPECT_FALSE(p.fx.TakeSentPacket().has_value());
    p.page.m_ecmPid->setText("1abc");
    // CAS 2: the EMMG UDP port.
    p.page.OnSelChangeCasTab(1);
    EXPECT_EQ(p.page.m_slotBox->title(), "CAS: 2");
    EXPECT_EQ(p.page.m_ecmgPort->text(), "5001");
    p.page.m_emmgUdpPort->setText("7777");
    // The AC table of CAS 2 gets a third entry.
    p.page.m_runAcList = [](CAcListDlg& d) {
        d.m_runEdit = [](CAcEditDlg& e) {
            e.m_nameEdit->setText("new");
            e.m_dataEdit->setText("beef");
            e.OnOK();
            return true;
        };
        d.OnAdd();
        d.OnOK();
        return true;
    };
    QTest::mouseClick(p.page.m_acTable, Qt::LeftButton);
    EXPECT_EQ(p.page.m_acIndex->count(), 3);
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    Pump(p.fx, p.sim);
    const auto& block = p.sim.Block();
    EXPECT_EQ(block[142 + 1], 1);                           // slot 1, program 1: AC index 1
    EXPECT_EQ(block[13 + 2] | block[13 + 3] << 8, 0x1abc);  // and its ECM PID
    EXPECT_EQ(block[214 + 211] << 8 | block[214 + 212], 7777);
    const auto names = AcIndexNames([&] {
        AcTableImage image{};
        std::copy(p.sim.AcTables()[1].begin(), p.sim.AcTables()[1].end(), image.begin());
        return image;
    }());
    EXPECT_EQ(names.back(), "new");
    const auto& marks = p.sim.Marks();
    EXPECT_TRUE(marks[0x301 / 8] & (0x80 >> (0x301 % 8)));
}

TEST(ScramblerQamPageTest, SetWithoutARefusesAndStatusLightsLamps) {
    PageFixture fx(0x3102);
    Scrambler_qam page;
    fx.Bind(&page);
    // The read starts on show; the device does not answer and the wait runs out.
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdScrProgram);
    fx.FireTimer(&page, kWaitTimerId);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    // The poll asks for the status; the reply lights ECMG1 and EMMG1 only.
    ASSERT_TRUE(fx.FireTimer(&page, kScramblerPollTimerId));
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdScrStatus);
    fx.FeedReply(kCmdScrStatus, {0x11, 0x03, 0xe8, 0x01, 0, 0, 0});
    for (int bit = 0; bit < 8; ++bit)
        EXPECT_EQ(IsLampOn(page.m_linkLamps[size_t(bit)]), bit == 0 || bit == 4) << bit;
    EXPECT_EQ(page.m_root->text(0), "Program: 1 .504Mbps");
    EXPECT_FALSE(IsLampOn(page.m_asi1));
    EXPECT_TRUE(IsLampOn(page.m_asi2));
}

// Version words: byte 0 the software major, byte 1 the minor.
constexpr uint32_t kVersion1000 = 0x0010;
constexpr uint32_t kVersion0FFE = 0xFE0F;
constexpr uint32_t kVersion0600 = 0x0006;

struct StandAlonePage {
    PageFixture fx{0x3101};
    ScramblerSimDevice sim{0x3101};
    CScrambleView page;
    std::vector<uint8_t> commands;
    explicit StandAlonePage(uint32_t version = kVersion1000) {
        fx.Device()->version.store(version);
        fx.Bind(&page);
        Run();
    }
    // Answers every request, keeping the commands that went out.
    void Run() {
        for (int i = 0; i < 400; ++i) {
            auto sent = fx.TakeSentPacket();
            if (!sent)
                return;
            commands.push_back(sent->command);
            if (auto reply = sim.Handle(sent->command, sent->b, sent->c, sent->payload))
                fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
        }
    }
};

TEST(ScrambleViewTest, ReadAndAnUntouchedSetWriteTheSame) {
    StandAlonePage p;
    EXPECT_EQ(p.commands, (std::vector<uint8_t>{0x21, 0x21, 0x24, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22, 0x22,
                                                0x22, 0x40, 0x42, 0x02}));
    EXPECT_FALSE(p.page.IsBusy());
    ASSERT_EQ(p.page.m_root->childCount(), 2);
    EXPECT_EQ(p.page.m_root->child(0)->child(3)->text(0), "H.264 Video");
    EXPECT_EQ(p.page.m_root->child(0)->child(4)->text(0), "AAC Audio");
    EXPECT_EQ(p.page.m_tree->GetCheckState(p.page.m_root->child(1)->child(4)), 3);
    EXPECT_EQ(p.page.m_bitrate->text(), "38.500");
    EXPECT_EQ(p.page.m_tsId->text(), "801");
    EXPECT_FALSE(p.page.m_sdt->isChecked());
    EXPECT_TRUE(p.page.m_fixCw->isVisibleTo(&p.page));
    EXPECT_TRUE(p.page.m_fixCw->isChecked());
    EXPECT_TRUE(p.page.Timers().IsActive(kScramblerPollTimerId));

    const auto block = p.sim.Block();
    const auto programs = p.sim.Programs();
    const auto ts = p.sim.TsBlock();
    const auto cw = p.sim.CwTable();
    const auto marks = p.sim.Marks();
    const auto ac = p.sim.AcTables();
    p.commands.clear();
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    p.Run();
    EXPECT_EQ(p.commands, (std::vector<uint8_t>{0x25, 0x41, 0x43, 0x2f, 0x2f, 0x33, 0x33, 0x33, 0x33, 0x33,
                                                0x33, 0x33, 0x33}));
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.sim.Block(), block);
    EXPECT_EQ(p.sim.Programs(), programs);
    EXPECT_EQ(p.sim.TsBlock(), ts);
    EXPECT_EQ(p.sim.CwTable(), cw);
    EXPECT_EQ(p.sim.Marks(), marks);
    EXPECT_EQ(p.sim.AcTables(), ac);
    const auto events = p.fx.Events().Texts();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "Commit CA info succeed");
    EXPECT_EQ(events.back(), "Commit AC info succeed");
}

TEST(ScrambleViewTest, VersionChoosesCodesAndMarks) {
    {
        StandAlonePage p(kVersion0FFE);
        p.commands.clear();
        QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
        p.Run();
        ASSERT_FALSE(p.commands.empty());
        EXPECT_EQ(p.commands.front(), 0x20);
        p.commands.clear();
        QTest::mouseClick(p.page.m_set, Qt::LeftButton);
        p.Run();
        EXPECT_EQ(p.commands.back(), 0x23);
    }
    {
        StandAlonePage p(kVersion1000);
        p.commands.clear();
        QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
        p.Run();
        EXPECT_EQ(p.commands, (std::vector<uint8_t>{0x30, 0x31, 0x31, 0x02}));
    }
    {
        // Below 0x0610 a checked element goes back to the empty box; the program still cycles three marks.
        StandAlonePage p(kVersion0600);
        QTreeWidgetItem* video = p.page.m_root->child(0)->child(3);
        ASSERT_EQ(p.page.m_tree->GetCheckState(video), 2);
        p.page.m_tree->ClickCheckImage(video);
        EXPECT_EQ(p.page.m_tree->GetCheckState(video), 1);
        QTreeWidgetItem* program = p.page.m_root->child(0);
        EXPECT_EQ(p.page.m_tree->GetCheckState(program), 1);
        p.page.m_tree->ClickCheckImage(program);
        p.page.m_tree->ClickCheckImage(program);
        EXPECT_EQ(p.page.m_tree->GetCheckState(program), 3);
        EXPECT_EQ(p.page.m_tree->GetCheckState(video), 3);
    }
}

TEST(ScrambleViewTest, RefusalsAndShortReplies) {
    PageFixture fx(0x3101);
    CScrambleView page;
    fx.Device()->version.store(kVersion1000);
    fx.Bind(&page);
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x21);
    fx.FireTimer(&page, kWaitTimerId);
    // Set right after binding: every port is 0.
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown[0].text, ScrambleLogic::kGetFirstMessage);

    // A read whose 0x40 reply has 10 bytes: TS ID disabled and 0; the status needs exactly 3 bytes.
    ScramblerSimDevice sim(0x3101);
    QTest::mouseClick(page.m_refresh, Qt::LeftButton);
    for (int i = 0; i < 100; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            break;
        auto reply = sim.Handle(sent->command, sent->b, sent->c, sent->payload);
        if (sent->command == 0x40)
            reply->payload.resize(10);
        if (reply)
            fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
    }
    EXPECT_FALSE(page.m_tsId->isEnabled());
    EXPECT_EQ(page.m_tsId->text(), "0");
    ASSERT_TRUE(fx.FireTimer(&page, kScramblerPollTimerId));
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x26);
    fx.FeedReply(0x26, {0xff, 0, 0, 0});
    EXPECT_FALSE(IsLampOn(page.m_linkLamps[0]));
    fx.FeedReply(0x26, {0x11, 0x03, 0xe8});
    EXPECT_TRUE(IsLampOn(page.m_linkLamps[0]));
    EXPECT_EQ(page.m_root->text(0), "Program: 1 .504Mbps");
}

TEST(ScrambleViewTest, CatAndProgramDialogs) {
    StandAlonePage p;
    // Edit CAT from the root's menu: the section goes to the dialog and comes back on OK.
    p.page.m_tree->setCurrentItem(p.page.m_root);
    p.page.m_runMenu = [](const QPoint&, bool onRoot) {
        EXPECT_TRUE(onRoot);
        return int(CScrambleView::ID_EDIT_CAT);
    };
    int sectionLength = 0;
    p.page.m_runCaDialog = [&sectionLength](CCaDescriptorDlg& d) {
        EXPECT_EQ(d.m_catFlag, 1);
        d.OnInitDialog();
        sectionLength = d.m_sectionLength;
        d.OnOK();
        return true;
    };
    p.page.OnContextMenu(p.page.m_tree->visualItemRect(p.page.m_root).center());
    p.Run();
    EXPECT_GT(sectionLength, 8);
    EXPECT_EQ(int(p.sim.Cat().size()), sectionLength);
    EXPECT_FALSE(p.page.IsBusy());

    // Edit Program: a 15-character CW and a name of 32 characters are refused; then a new name and CW.
    QTreeWidgetItem* program = p.page.m_root->child(1);
    p.page.m_tree->setCurrentItem(program);
    int runs = 0;
    p.page.m_runProgramDialog = [&runs, &p](CScrambleProgramDlg& d) {
        ++runs;
        d.OnInitDialog();
        EXPECT_EQ(d.m_cwEdit->text(), "2021222324252627");
        d.m_cwEdit->setText("202122232425262");
        d.OnOK();
        EXPECT_EQ(p.fx.Prompt().shown.back().text, "Need 8 Hex Value!");
        d.m_cwEdit->setText("00112233445566ff");
        d.m_nameEdit->setText(QString(32, 'n'));
        d.OnOK();
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.m_nameEdit->setText("Renamed");
        d.OnOK();
        return d.result() == QDialog::Accepted;
    };
    p.page.OnEditProgram();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(program->text(0), "Renamed");
    p.commands.clear();
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    p.Run();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p.sim.Programs()[1].data() + 6)), "Renamed");
    EXPECT_EQ(p.sim.CwTable()[56 + 16 + 7], 0xff);
}

struct SasPage {
    PageFixture fx;
    ScramblerSimDevice sim;
    Cqam4_sas page;
    std::vector<uint8_t> commands;
    SasPage(uint16_t type, int pageParam, const test::ScramblerSimQuirks& quirks = {})
        : fx(type), sim(type, quirks) {
        fx.Bind(&page, pageParam);
        Run();
    }
    void Run() {
        for (int i = 0; i < 400; ++i) {
            auto sent = fx.TakeSentPacket();
            if (!sent)
                return;
            commands.push_back(sent->command);
            if (auto reply = sim.Handle(sent->command, sent->b, sent->c, sent->payload))
                fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
        }
    }
};

TEST(Qam4SasPageTest, EveryVariantReadsAndWritesBackWhatItRead) {
    const struct {
        uint16_t type;
        int pageParam;
        int roots;
        const char* firstRoot;
    } cases[] = {{0x4144, 0, 4, "Channel A"},  {0x4154, 17, 4, "Channel A"},
                 {0x4164, 18, 4, "Channel A"}, {0x3104, 19, 1, "Output-program"},
                 {0x4125, 35, 4, "Channel A"}, {0x4117, 98, 1, "Channel A"},
                 {0x4236, 88, 1, "Channel A"}, {0x4153, 102, 4, "Output Channel 1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        SasPage p(c.type, c.pageParam);
        EXPECT_FALSE(p.page.IsBusy());
        ASSERT_GE(p.commands.size(), 9u);
        // The CAS block, then all eight AC halves before the first program request.
        EXPECT_EQ(p.commands[0], kCmdSasCas);
        EXPECT_EQ(std::vector<uint8_t>(p.commands.begin() + 1, p.commands.begin() + 9),
                  std::vector<uint8_t>(8, kCmdSasAcRead));
        EXPECT_EQ(p.commands[9], kCmdSasProgram);
        ASSERT_EQ(p.page.m_tree->topLevelItemCount(), c.roots);
        EXPECT_EQ(p.page.m_tree->topLevelItem(0)->text(0), c.firstRoot);
        EXPECT_EQ(p.page.m_ecmgPort->text(), "5000");
        EXPECT_EQ(p.page.m_acIndex->count(), 2);
        EXPECT_TRUE(p.page.Timers().IsActive(kSasStatusTimerId));
        const auto block = p.sim.CasBlock();
        const auto channels = p.sim.Channels();
        const auto outputs = p.sim.OutputRecords();
        const auto indexes = p.sim.AcIndexes();
        p.commands.clear();
        QTest::mouseClick(p.page.m_set, Qt::LeftButton);
        p.Run();
        EXPECT_FALSE(p.page.IsBusy());
        ASSERT_FALSE(p.commands.empty());
        EXPECT_EQ(p.commands[0], kCmdSasWriteCas);
        EXPECT_EQ(p.sim.CasBlock(), block);
        EXPECT_EQ(p.sim.Channels(), channels);
        EXPECT_EQ(p.sim.OutputRecords(), outputs);
        EXPECT_EQ(p.sim.AcIndexes(), indexes);
        EXPECT_TRUE(p.fx.Prompt().shown.empty());
    }
}

TEST(Qam4SasPageTest, TreeClicksBecomeCodesAndChannelBits) {
    SasPage p(0x4154, 17);
    QTreeWidgetItem* a = p.page.m_tree->topLevelItem(0);
    ASSERT_EQ(a->childCount(), 2);
    QTreeWidgetItem* first = a->child(0);
    EXPECT_EQ(first->text(0), "NEWS-1");
    EXPECT_EQ(first->child(3)->text(0), "Mpeg2 Video");
    EXPECT_EQ(p.page.m_tree->GetCheckState(first), 2);
    EXPECT_EQ(p.page.m_tree->GetCheckState(a->child(1)), 3);
    // The program goes 2 -> 3: both streams crossed, code 2 each.
    p.page.m_tree->ClickCheckImage(first);
    EXPECT_EQ(p.page.m_tree->GetCheckState(first->child(4)), 3);
    // Channel B's program: its audio 1 -> 2, the program follows.
    QTreeWidgetItem* b = p.page.m_tree->topLevelItem(1)->child(0);
    p.page.m_tree->ClickCheckImage(b->child(4));
    EXPECT_EQ(p.page.m_tree->GetCheckState(b), 2);
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    p.Run();
    const auto& ch = p.sim.Channels();
    EXPECT_EQ(ch[0][0][90], 0xA);  // codes 2, 2
    EXPECT_EQ(ch[0][0][0], 0x11);  // channel bits kept
    EXPECT_EQ(ch[1][0][90], 0x4);  // stream 1 code 1
    EXPECT_EQ(ch[1][0][0], 0x12);  // channel B bit and bit 4
}

TEST(Qam4SasPageTest, OutputVariantEditsItsRecordsAndTheProbeFindsVariant88) {
    {
        SasPage p(0x4153, 102);
        EXPECT_EQ(p.page.m_group->count(), 2);
        EXPECT_EQ(p.page.m_group->itemText(1), "05-08");
        QTreeWidgetItem* out2 = p.page.m_tree->topLevelItem(1);
        ASSERT_EQ(out2->childCount(), 2);
        EXPECT_TRUE(out2->child(0)->text(0).startsWith("1:NEWS-1"));
        EXPECT_EQ(out2->child(0)->child(2)->text(0), "Mpeg2 Video:0x501");
        EXPECT_EQ(p.page.m_tree->GetCheckState(out2->child(1)), 1);
        // The clear program's first stream: code 1 and the scrambled flag.
        p.page.m_tree->ClickCheckImage(out2->child(1)->child(2));
        EXPECT_EQ(p.page.m_tree->GetCheckState(out2->child(1)->child(2)), 2);
        // The scrambled program, clicked under output 1: cleared everywhere.
        p.page.m_tree->ClickCheckImage(p.page.m_tree->topLevelItem(0)->child(0));
        EXPECT_EQ(p.page.m_tree->GetCheckState(out2->child(0)), 1);
        QTest::mouseClick(p.page.m_set, Qt::LeftButton);
        p.Run();
        const auto& recs = p.sim.OutputRecords();
        EXPECT_EQ(recs[0][2], 0x00);  // bit 16 clear
        EXPECT_EQ(recs[0][93], 0x00);
        EXPECT_EQ(recs[1][2], 0x01);  // bit 16 set
        EXPECT_EQ(recs[1][93], 0x01);
    }
    {
        // An encoder-modulator of type 0x4208 is probed first; its answer 8 makes it variant 88.
        SasPage p(0x4208, 98);
        ASSERT_GE(p.commands.size(), 2u);
        EXPECT_EQ(p.commands[0], kCmdSasProgram);
        EXPECT_EQ(p.commands[1], kCmdSasCas);
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_EQ(p.page.Logic().Variant().pageParam, 88);
        QTreeWidgetItem* root = p.page.m_tree->topLevelItem(0);
        ASSERT_EQ(root->childCount(), 3);
        EXPECT_EQ(root->child(1)->text(0), "Program-02");
        EXPECT_EQ(p.page.m_tree->GetCheckState(root->child(1)), 0);
        p.page.OnClickTree(root->child(1));
        EXPECT_EQ(p.page.m_acIndex->currentIndex(), 1);
        p.page.m_acIndex->setCurrentIndex(0);
        p.page.OnSelChangeAcIndex();
        QTest::mouseClick(p.page.m_set, Qt::LeftButton);
        p.Run();
        EXPECT_EQ(p.sim.AcIndexes()[4], 0);
    }
}

TEST(Qam4SasPageTest, AcTableTransferRefusalsAndStatus) {
    SasPage p(0x4144, 0);
    // The AC table of CAS 2 gets an entry; OK sends both halves, under a wait.
    p.page.OnSelChangeTab(1);
    p.page.m_runAcTable = [](CAcTableDlg& d) {
        d.OnInitDialog();
        EXPECT_EQ(d.m_title->text(), "Channel: 2 AC Table");
        EXPECT_EQ(d.m_list->topLevelItemCount(), 2);
        d.m_runEdit = [](CAcEditDlg& e) {
            e.m_nameEdit->setText("extra");
            e.m_dataEdit->setText("c0de");
            e.OnOK();
            return true;
        };
        d.OnAdd();
        d.OnOK();
        return true;
    };
    p.commands.clear();
    QTest::mouseClick(p.page.m_acTable, Qt::LeftButton);
    EXPECT_TRUE(p.page.IsBusy());
    p.Run();
    EXPECT_EQ(p.commands, (std::vector<uint8_t>{kCmdSasAcWrite, kCmdSasAcWrite}));
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.page.m_acIndex->count(), 3);
    SasAcTableImage image{};
    std::copy(p.sim.AcTables()[1].begin(), p.sim.AcTables()[1].end(), image.begin());
    EXPECT_EQ(SasAcIndexNames(image).back(), "extra");

    // Cancel after a load changes nothing.
    const SasAcTableImage before = p.page.Logic().AcImage(1);
    p.page.m_runAcTable = [](CAcTableDlg& d) {
        d.OnInitDialog();
        d.m_list->setCurrentItem(d.m_list->topLevelItem(0));
        d.OnDelete();
        return false;
    };
    p.page.OnAcTable();
    EXPECT_EQ(p.page.Logic().AcImage(1), before);

    // A refused CAS write ends the wait with its message; a late reply changes nothing.
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdSasWriteCas);
    p.fx.FeedReply(kCmdSasWriteCas, {1});
    EXPECT_FALSE(p.page.IsBusy());
    ASSERT_FALSE(p.fx.Prompt().shown.empty());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Eorror:CA_RUN_QAM4");
    p.fx.FeedReply(kCmdSasWriteCas, {0});
    EXPECT_FALSE(p.fx.TakeSentPacket().has_value());

    // A non-hexadecimal EMM PID refuses Set.
    p.page.m_emmPid->setText("xyz");
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "PID must be HEX !(xyz)");
    EXPECT_FALSE(p.fx.TakeSentPacket().has_value());

    // Parse needs a channel root.
    p.page.m_tree->setCurrentItem(p.page.m_tree->topLevelItem(0)->child(0));
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Please Select a Channel !");
    p.page.m_tree->setCurrentItem(p.page.m_tree->topLevelItem(1));
    p.commands.clear();
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.Run();
    EXPECT_EQ(p.commands, (std::vector<uint8_t>{kCmdSasParse, kCmdSasProgram}));
    EXPECT_EQ(p.page.m_tree->topLevelItem(1)->childCount(), 1);

    // The status poll lights the connected links.
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kSasStatusTimerId));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdSasStatus);
    p.fx.FeedReply(kCmdSasStatus, {0x11});
    EXPECT_TRUE(p.page.m_links[0]->property("linkUp").toBool());
    EXPECT_FALSE(p.page.m_links[1]->property("linkUp").toBool());
    EXPECT_TRUE(p.page.m_links[4]->property("linkUp").toBool());
}

// Every chain of every scrambler page, with the device's replies cut short, garbled, repeated or dropped at
// random: nothing reads past what arrived, nothing hangs, and a time-out always frees the page.
TEST(ScramblerPagesTest, ChainsTakeDamagedReplies) {
    RegisterBuiltPages();
    const struct {
        uint16_t type;
        const char* page;
        int pageParam;
    } cases[] = {{0x3102, "Scrambler_qam", 0}, {0x3101, "CScrambleView", 0}, {0x4144, "Cqam4_sas", 0},
                 {0x4154, "Cqam4_sas", 17},    {0x4153, "Cqam4_sas", 102},   {0x4208, "Cqam4_sas", 98}};
    std::mt19937 random(1210);
    for (const auto& c : cases) {
        int answered = 0;
        SCOPED_TRACE(c.page + std::string(" ") + std::to_string(c.pageParam));
        for (int round = 0; round < 12; ++round) {
            PageFixture fx(c.type);
            fx.Device()->version.store(round & 1 ? 0x0010 : 0x0006);
            ScramblerSimDevice sim(c.type);
            std::unique_ptr<CFormTemplateView> page(CreatePage(c.page, nullptr));
            fx.Bind(page.get(), c.pageParam);
            for (int step = 0; step < 120; ++step) {
                auto sent = fx.TakeSentPacket();
                if (!sent) {
                    // Nothing waits for an answer: time out, then start something again.
                    fx.FireTimer(page.get(), kWaitTimerId);
                    // The chain buttons (the dialogs' buttons would open modal windows).
                    QList<QPushButton*> buttons;
                    for (QPushButton* b : page->findChildren<QPushButton*>())
                        if (QStringList{"Get", "Set", "Refresh", "Parse"}.contains(b->text()))
                            buttons << b;
                    if (!buttons.isEmpty())
                        buttons[int(random() % unsigned(buttons.size()))]->click();
                    continue;
                }
                auto reply = sim.Handle(sent->command, sent->b, sent->c, sent->payload);
                if (!reply)
                    continue;
                ++answered;
                switch (random() % 6) {
                    case 0:
                        reply->payload.resize(random() % (reply->payload.size() + 1));
                        break;
                    case 1:
                        for (uint8_t& b : reply->payload)
                            if (random() % 8 == 0)
                                b = uint8_t(random());
                        break;
                    case 2:
                        fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
                        break;
                    case 3:
                        continue;
                    default:
                        break;
                }
                fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
            }
            fx.FireTimer(page.get(), kWaitTimerId);
            EXPECT_FALSE(page->IsBusy());
        }
        EXPECT_GT(answered, 12 * 30);  // the chains did run
    }
}

TEST(Qam4SasPageTest, TheAcTransferEndsQuietlyOnTheSecondHalfsReply) {
    const struct {
        std::vector<uint8_t> firstReply, secondReply;
        bool secondSent;
        const char* message;  // nullptr: none
    } cases[] = {
        {{1, 0, 0}, {1, 1, 0}, true, nullptr},  // the second half answered 01 01 00
        {{1, 0, 0}, {1, 0, 0}, true, nullptr},
        {{1, 0, 0}, {7}, true, nullptr},
        {{1, 1, 0}, {}, false, "The device did not take the AC table."},  // the first half refused
        {{9, 0, 0}, {}, false, "The device did not take the AC table."},
    };
    for (const auto& c : cases) {
        SasPage p(0x4144, 0);
        p.page.OnSelChangeTab(1);  // CAS 2: table byte 1
        p.page.m_runAcTable = [](CAcTableDlg& d) {
            d.OnInitDialog();
            d.OnOK();
            return true;
        };
        QTest::mouseClick(p.page.m_acTable, Qt::LeftButton);
        auto first = p.fx.TakeSentPacket();
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->command, kCmdSasAcWrite);
        EXPECT_EQ(first->payload.size(), 1026u);
        EXPECT_EQ(std::vector<uint8_t>(first->payload.begin(), first->payload.begin() + 2),
                  (std::vector<uint8_t>{1, 0}));
        p.fx.FeedReply(kCmdSasAcWrite, c.firstReply);
        auto second = p.fx.TakeSentPacket();
        ASSERT_EQ(second.has_value(), c.secondSent);
        if (second) {
            EXPECT_EQ(second->command, kCmdSasAcWrite);
            EXPECT_EQ(std::vector<uint8_t>(second->payload.begin(), second->payload.begin() + 2),
                      (std::vector<uint8_t>{1, 1}));
            EXPECT_EQ(std::vector<uint8_t>(second->payload.begin() + 2, second->payload.end()),
                      std::vector<uint8_t>(p.page.Logic().AcImage(1).begin() + 1024,
                                           p.page.Logic().AcImage(1).end()));
            p.fx.FeedReply(kCmdSasAcWrite, c.secondReply);
        }
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_FALSE(p.page.Logic().Running());
        EXPECT_FALSE(p.fx.TakeSentPacket().has_value());
        if (c.message) {
            ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
            EXPECT_EQ(p.fx.Prompt().shown.back().text, c.message);
        } else {
            EXPECT_TRUE(p.fx.Prompt().shown.empty()) << p.fx.Prompt().shown.front().text;
        }
    }
}

TEST(Qam4SasPageTest, ARecordShowsUnderEveryChannelItsByteZeroNames) {
    test::ScramblerSimQuirks quirks;
    quirks.twoChannel = true;  // channel A's second record: byte [0] = 0x05
    SasPage p(0x4154, 17, quirks);
    ASSERT_EQ(p.page.m_tree->topLevelItemCount(), 4);
    QTreeWidgetItem* a = p.page.m_tree->topLevelItem(0);
    QTreeWidgetItem* b = p.page.m_tree->topLevelItem(1);
    QTreeWidgetItem* c = p.page.m_tree->topLevelItem(2);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(b->childCount(), 1);
    ASSERT_EQ(c->childCount(), 1);
    EXPECT_EQ(p.page.m_tree->topLevelItem(3)->childCount(), 0);
    EXPECT_EQ(c->child(0)->text(0), a->child(1)->text(0));
    EXPECT_EQ(c->child(0)->child(0)->text(0), a->child(1)->child(0)->text(0));
    // One record: a click under Channel C shows under Channel A too (both streams code 2: value 3 -> 1).
    EXPECT_EQ(p.page.m_tree->GetCheckState(c->child(0)), 3);
    p.page.m_tree->ClickCheckImage(c->child(0));
    EXPECT_EQ(p.page.m_tree->GetCheckState(c->child(0)), 1);
    EXPECT_EQ(p.page.m_tree->GetCheckState(a->child(1)), 1);
    // Set writes it once, with both channel bits.
    p.commands.clear();
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    p.Run();
    EXPECT_EQ(p.commands, (std::vector<uint8_t>{kCmdSasWriteCas, kCmdSasWriteProgram, kCmdSasWriteProgram,
                                                kCmdSasWriteProgram}));
    EXPECT_EQ(p.sim.Channels()[0][1][0], 0x05);
    EXPECT_EQ(p.sim.Channels()[0][1][90], 0);  // both streams code 0
}

TEST(Qam4SasPageTest, AGetReplyAfterItsTimeOutIsShownAndStartsNothing) {
    SasPage p(0x4144, 0);
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    ASSERT_EQ(sent->command, kCmdSasCas);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    EXPECT_FALSE(p.page.IsBusy());
    auto reply = p.sim.Handle(sent->command, sent->b, sent->c, sent->payload);
    ASSERT_TRUE(reply.has_value());
    reply->payload[16 + 11] = 0x39, reply->payload[16 + 12] = 0x30;  // ECMG port 12345
    p.fx.FeedReply(kCmdSasCas, reply->payload);
    EXPECT_EQ(p.page.m_ecmgPort->text(), "12345");
    EXPECT_FALSE(p.fx.TakeSentPacket().has_value());  // no AC page request
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_FALSE(p.page.Logic().Running());
    // Taken once: the same reply again changes nothing.
    reply->payload[16 + 11] = 0x3a;
    p.fx.FeedReply(kCmdSasCas, reply->payload);
    EXPECT_EQ(p.page.m_ecmgPort->text(), "12345");
    // Get works again.
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdSasCas);
}

TEST(ScramblerQamPageTest, AProgramReplyAfterItsTimeOutIsShownAndStartsNothing) {
    QamPage p;
    p.page.OnRefresh();
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent.has_value());
    ASSERT_EQ(sent->command, kCmdScrProgram);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    EXPECT_EQ(p.fx.Events().Count("Operation timeout"), 1);
    auto reply = p.sim.Handle(sent->command, sent->b, sent->c, sent->payload);
    ASSERT_TRUE(reply.has_value());
    p.fx.FeedReply(kCmdScrProgram, reply->payload);
    EXPECT_EQ(p.page.Logic().Describe(1).name, "NEWS-1");
    EXPECT_FALSE(p.fx.TakeSentPacket().has_value());  // no request for program 2
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_FALSE(p.page.Logic().Running());
    p.fx.FeedReply(kCmdScrProgram, reply->payload);
    EXPECT_FALSE(p.fx.TakeSentPacket().has_value());
    p.page.OnRefresh();
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdScrProgram);
}

}  // namespace scrambler_page_test
}  // namespace nms
