// The PID filter, PID pass-through (whole and segmented), PID monitor, IP multiplexer, output parameters and
// ASI monitor pages against devsim's devices over real UDP: every device type that shows one of them reads
// it without a time-out, and each page reads, changes, writes and reads back what it changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "app/page_registry.h"
#include "devices/device_type_catalogue.h"
#include "live_device.h"
#include "mux_pages_sim.h"
#include "pages/mux/add_pid_dlg.h"
#include "pages/mux/add_pid_multi_dlg.h"
#include "pages/mux/mux_channel_view.h"
#include "pages/mux/mux_ip_view.h"
#include "pages/mux/mux_misc_view.h"
#include "pages/mux/mux_monitor_view.h"
#include "pages/mux/mux_pid_filter_view.h"
#include "pages/mux/mux_pid_forward_view.h"
#include "pages/mux/mux_pid_forward_view1.h"
#include "pages/mux/pid_monitor_view.h"
#include "pages/mux/program_info_dlg.h"
#include "pages/psi/mux_nit_edit_view.h"
#include "pages/psi/mux_psi_view.h"

namespace nms {
namespace mux_devsim_e2e_test {

using test::LiveDevice;
using test::MuxPagesSim;
using Bytes = std::vector<uint8_t>;

QStringList TableColumn(QTableWidget* list, int column) {
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r)
        out << (list->item(r, column) ? list->item(r, column)->text() : QString());
    return out;
}

QStringList TreeColumn(QTreeWidget* list, int column) {
    QStringList out;
    for (int r = 0; r < list->topLevelItemCount(); ++r)
        out << list->topLevelItem(r)->text(column);
    return out;
}

QStringList Children(QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

std::vector<uint16_t> Pids(const Bytes& bitmap) {
    std::vector<uint16_t> out;
    for (size_t p = 0; p < bitmap.size() * 8; ++p)
        if (bitmap[p / 8] & (0x80 >> (p % 8)))
            out.push_back(uint16_t(p));
    return out;
}

// Runs the modal dialog the next click opens.
template <class Dialog>
void WithDialog(std::function<void(Dialog*)> body) {
    QTimer::singleShot(0, [body] {
        auto* dlg = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        body(dlg);
        if (dlg->isVisible())
            dlg->reject();
    });
}

// ---------------------------------------------------------------------------------------------------------
// Every device type of the catalogue with one of these pages: shown against devsim, the page reads its data
// (or, for the monitors, takes a poll) and no exchange times out.

struct TypePage {
    uint16_t type;
    std::string typeName;
    std::string pageClass;
    int pageParam;
};

std::vector<TypePage> ServedTypePages() {
    static const std::set<std::string> kClasses = {
        "CMuxPidFilterView", "CMuxPidForwardView", "CMuxPidForwardView1", "CpidMonitor", "Cmuxip",
        "CMuxMiscView",      "CMuxMonitorView",    "CMuxNitEditView",     "CMuxPsiView"};
    // Types with an input channel page also answer it without --mux; every type with the PSI/SI or the NIT
    // editor answers them in the page's variant.
    static const std::set<std::string> kWithInputChannels = {"CMuxChannelView"};
    std::vector<TypePage> out;
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        const DeviceTypeInfo& info = DeviceTypeAt(row);
        const bool inputChannels = test::InputChannelPageParam(info.typeCode) >= 0;
        for (int i = 0; i < info.pageCount; ++i) {
            const std::string cls = info.pages[i].pageClass;
            if (kClasses.count(cls) || (inputChannels && kWithInputChannels.count(cls)))
                out.push_back({info.typeCode, info.name, cls, info.pages[i].pageParam});
        }
    }
    return out;
}

// What the page shows of the device's data; empty when it shows nothing yet.
QString ReadData(CFormTemplateView* page) {
    if (auto* p = qobject_cast<CMuxPidFilterView*>(page))
        return TableColumn(p->List(), 1).join(",");
    if (auto* p = qobject_cast<CMuxPidForwardView*>(page))
        return TreeColumn(p->List(), 1).join(",");
    if (auto* p = qobject_cast<CMuxPidForwardView1*>(page))
        return TreeColumn(p->List(), 2).join(",");
    if (auto* p = qobject_cast<CpidMonitor*>(page))
        return TableColumn(p->List(), 1).join(",");
    if (auto* p = qobject_cast<Cmuxip*>(page)) {
        QStringList programs;
        QTreeWidgetItem* root = p->OutputTreeWidget()->topLevelItem(0);
        for (int c = 0; root && c < root->childCount(); ++c)
            programs << Children(root->child(c));
        return programs.join(",");
    }
    if (auto* p = qobject_cast<CMuxMiscView*>(page)) {
        const QString tsId = p->Output(0).tsId->text();
        return tsId == "0" ? QString() : tsId;
    }
    if (auto* p = qobject_cast<CMuxMonitorView*>(page))
        return p->BitrateEdit()->text();
    if (auto* p = qobject_cast<CMuxChannelView*>(page)) {
        QStringList programs;
        QTreeWidgetItem* root = p->OutputTreeWidget()->topLevelItem(0);
        for (int c = 0; root && c < root->childCount(); ++c)
            programs << Children(root->child(c));
        return programs.join(",");
    }
    if (auto* p = qobject_cast<CMuxNitEditView*>(page))  // the transport streams, in each model
        return TreeColumn(p->TsList(), 0).join(",");
    if (qobject_cast<CMuxPsiView*>(page)) {  // the PAT read
        auto* tree = page->findChild<QTreeWidget*>();
        QTreeWidgetItem* root = tree ? tree->topLevelItem(0) : nullptr;
        for (int i = 0; root && i < root->childCount(); ++i)
            if (root->child(i)->text(0) == "PAT")
                return Children(root->child(i)).join(",");
        return QString();
    }
    return "-";
}

TEST(MuxPagesAgainstDevsim, EveryTypeReadsEveryServedPage) {
    RegisterBuiltPages();
    const std::vector<TypePage> cases = ServedTypePages();
    ASSERT_FALSE(cases.empty());
    int address = 100;
    for (const TypePage& c : cases) {
        SCOPED_TRACE(c.typeName + " / " + c.pageClass + " " + std::to_string(c.pageParam));
        LiveDevice live(c.type, address++);
        ASSERT_TRUE(live.Start());
        std::unique_ptr<CFormTemplateView> page(CreatePage(c.pageClass, nullptr));
        ASSERT_TRUE(live.Show(page.get(), c.pageParam));
        // The monitors poll on their timers; take one poll now (after the version request went out).
        QTest::qWait(20);
        if (c.pageClass == "CMuxMonitorView")
            page->OnTimer(kMonitorTimerId);
        if (c.pageClass == "CMuxMiscView" || c.pageClass == "Cmuxip")
            page->OnTimer(kOutputStatusTimerId);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ReadData(page.get()).isEmpty(); }, 5000));
        EXPECT_TRUE(live.WaitIdle(page.get()));
        // What the device's data shows still fits the main window's page area (814 x 544).
        EXPECT_LE(page->minimumSizeHint().width(), 814);
        EXPECT_LE(page->minimumSizeHint().height(), 544);
        EXPECT_EQ(live.Events().Count("Operation timeout"), 0);
        EXPECT_TRUE(live.Prompt().shown.empty()) << live.Prompt().shown.front().text;
    }
}

// ---------------------------------------------------------------------------------------------------------
// PID filter.

// devsim's answers, with the simulated multiplexer pages kept where the test can look at them.
std::shared_ptr<MuxPagesSim> KeepPagesSim(LiveDevice* live, uint16_t type) {
    auto sim = std::make_shared<MuxPagesSim>(type);
    live->SetHandler([sim](const test::SimPacket& p) -> std::optional<test::SimReply> {
        if (auto r = sim->Handle(p.command, p.b, p.c, p.payload))
            return test::SimReply{p.command, r->payload, r->b, r->c};
        return std::nullopt;
    });
    return sim;
}

struct FilterPage {
    LiveDevice live;
    std::shared_ptr<MuxPagesSim> sim;
    CMuxPidFilterView page;
    std::vector<FilterPidEntry> answers;  // the operator's entries, front first

    FilterPage(uint16_t type, int address) : live(type, address), sim(KeepPagesSim(&live, type)) {
        page.SetPidAsker([this](QWidget*, FilterPidEntry* entry) {
            if (answers.empty())
                return false;
            entry->text = answers.front().text;
            entry->outputSelection = answers.front().outputSelection;
            answers.erase(answers.begin());
            return true;
        });
    }
    void Click(QPushButton* button) {
        button->click();
        ASSERT_TRUE(live.WaitIdle(&page));
    }
    void Select(int row) { page.List()->selectRow(row); }
};

TEST(MuxPagesAgainstDevsim, PidFilterReadsEditsWritesAndReadsBack) {
    FilterPage fx(0x2101, 30);
    ASSERT_TRUE(fx.live.Start());
    ASSERT_TRUE(fx.live.Show(&fx.page, 0));
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"100", "101", "200"}));

    fx.answers = {{"1ff", -1}, {"1FFF", -1}};
    fx.page.AddButton()->click();
    fx.Select(0);
    fx.page.EditButton()->click();  // 100 becomes 1fff
    fx.Select(1);
    fx.page.DeleteButton()->click();  // 101 goes
    EXPECT_EQ(TableColumn(fx.page.List(), 0), (QStringList{"1", "2", "3"}));
    fx.Click(fx.page.SetButton());

    EXPECT_EQ(Pids(fx.sim->FilterBitmap()), (std::vector<uint16_t>{0x1ff, 0x200, 0x1fff}));
    fx.Click(fx.page.GetButton());
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"1ff", "200", "1fff"}));
    EXPECT_EQ(fx.live.Events().Count("Operation timeout"), 0);
}

TEST(MuxPagesAgainstDevsim, PidFilterOfTheTwoOutputMultiplexerKeepsBothTables) {
    FilterPage fx(0x2102, 31);
    ASSERT_TRUE(fx.live.Start());
    ASSERT_TRUE(fx.live.Show(&fx.page, 1));
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"100", "101", "200", "300"}));
    EXPECT_EQ(TableColumn(fx.page.List(), 2), (QStringList{"A", "A", "A", "B"}));

    fx.answers = {{"40", 1}};
    fx.page.AddButton()->click();
    fx.Select(0);
    fx.page.DeleteButton()->click();
    fx.Click(fx.page.SetButton());
    fx.Click(fx.page.GetButton());
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"101", "200", "40", "300"}));
    EXPECT_EQ(TableColumn(fx.page.List(), 2), (QStringList{"A", "A", "B", "B"}));
    EXPECT_EQ(TableColumn(fx.page.List(), 0), (QStringList{"1", "2", "1", "2"}));
}

void SaveShot(QWidget* page, const char* name) {
    if (const char* dir = std::getenv("NMS_SHOT_DIR"))
        page->grab().save(QString("%1/%2.png").arg(dir, name));
}

// A two-output multiplexer whose PID filter tables echo 9 instead of 1 and 2: both tables are still read,
// their rows on output B, and no wait runs out.
TEST(MuxPagesAgainstDevsim, PidFilterTakesAnUnexpectedSelectorEchoAsOutputB) {
    FilterPage fx(0x2102, 32);
    fx.sim->SetQuirks({false, 9});
    ASSERT_TRUE(fx.live.Start());
    fx.page.resize(700, 500);
    ASSERT_TRUE(fx.live.Show(&fx.page, 1));
    EXPECT_FALSE(fx.page.IsBusy());
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"100", "101", "200", "300"}));
    EXPECT_EQ(TableColumn(fx.page.List(), 2), (QStringList{"B", "B", "B", "B"}));
    SaveShot(&fx.page, "pid_filter_echo9");
}

TEST(MuxPagesAgainstDevsim, PidFilterPerChannelOfTheFourChannelModulator) {
    FilterPage fx(0x4144, 32);
    ASSERT_TRUE(fx.live.Start());
    ASSERT_TRUE(fx.live.Show(&fx.page, 15));
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"100", "101"}));
    fx.page.ChannelCombo()->setCurrentIndex(2);
    emit fx.page.ChannelCombo()->activated(2);
    ASSERT_TRUE(fx.live.WaitIdle(&fx.page));
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"120", "121"}));
    fx.answers = {{"7", -1}};
    fx.page.AddButton()->click();
    fx.Click(fx.page.SetButton());
    fx.page.ChannelCombo()->setCurrentIndex(0);
    emit fx.page.ChannelCombo()->activated(0);
    ASSERT_TRUE(fx.live.WaitIdle(&fx.page));
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"100", "101"}));
    fx.page.ChannelCombo()->setCurrentIndex(2);
    emit fx.page.ChannelCombo()->activated(2);
    ASSERT_TRUE(fx.live.WaitIdle(&fx.page));
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"7", "120", "121"}));
}

TEST(MuxPagesAgainstDevsim, PidFilterKeepsItsSelectionWhileTheOutputPageStillPolls) {
    // As on the "ASI Multiplexer(8ASI)": the output parameters page, bound and hidden, polls 0x40 every
    // 2 s; the PID filter page is shown and receives the replies.
    FilterPage fx(0x2101, 59);
    ASSERT_TRUE(fx.live.Start());
    CMuxMiscView output;
    ASSERT_TRUE(fx.live.Show(&output, 0));
    output.hide();
    ASSERT_TRUE(fx.live.Show(&fx.page, 0));
    fx.Select(1);
    for (int poll = 1; poll <= 2; ++poll) {
        output.OnTimer(kOutputStatusTimerId);
        ASSERT_TRUE(fx.live.Sim().WaitForRequests(fx.live.SimIndex(), 0x40, poll));
        QTest::qWait(100);  // the reply reaches the filter page
        EXPECT_EQ(fx.page.List()->currentRow(), 1);
        EXPECT_TRUE(fx.page.List()->item(1, 1)->isSelected());
    }
    fx.answers = {{"7", -1}};
    fx.page.EditButton()->click();
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"100", "7", "200"}));
    fx.Select(0);
    output.OnTimer(kOutputStatusTimerId);
    ASSERT_TRUE(fx.live.Sim().WaitForRequests(fx.live.SimIndex(), 0x40, 3));
    QTest::qWait(100);
    fx.page.DeleteButton()->click();
    EXPECT_EQ(TableColumn(fx.page.List(), 1), (QStringList{"7", "200"}));
    fx.Click(fx.page.SetButton());
    EXPECT_EQ(Pids(fx.sim->FilterBitmap()), (std::vector<uint16_t>{0x7, 0x200}));
}

// ---------------------------------------------------------------------------------------------------------
// PID pass-through.

TEST(MuxPagesAgainstDevsim, PidPassthroughReadsAddsWritesAndReadsBack) {
    struct Case {
        uint16_t type;
        int pageParam;
        QStringList inputs;  // "ASI" after the first read
    };
    const Case cases[] = {
        {0x2101, 0, {"1", "3"}},
        {0x4101, 64, {"2", "2"}},
        {0x3101, 65, {"2", "2"}},
        {0x1808, 82, {"1", "1"}},
    };
    int address = 33;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageParam);
        LiveDevice live(c.type, address++);
        ASSERT_TRUE(live.Start());
        CMuxPidForwardView page;
        ASSERT_TRUE(live.Show(&page, c.pageParam));
        EXPECT_EQ(TreeColumn(page.List(), 0), c.inputs);
        EXPECT_EQ(TreeColumn(page.List(), 1), (QStringList{"100", "200"}));
        EXPECT_EQ(TreeColumn(page.List(), 2), (QStringList{"1100", "1200"}));

        WithDialog<CAddPidDlg>([](CAddPidDlg* dlg) {
            dlg->OldPidEdit()->setText("1ff");
            dlg->NewPidEdit()->setText("a0");
            if (dlg->OnOK())
                dlg->accept();
        });
        page.AddButton()->click();
        page.List()->setCurrentItem(page.List()->topLevelItem(0));
        page.DeleteButton()->click();
        page.SetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.GetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        EXPECT_EQ(TreeColumn(page.List(), 1), (QStringList{"200", "1FF"}));
        EXPECT_EQ(TreeColumn(page.List(), 2), (QStringList{"1200", "A0"}));
        EXPECT_EQ(live.Events().Count("Operation timeout"), 0);
    }
}

TEST(MuxPagesAgainstDevsim, PidPassthroughOfTwoOutputsAndOfFourOutputs) {
    {
        LiveDevice live(0x2102, 38);
        ASSERT_TRUE(live.Start());
        CMuxPidForwardView page;
        ASSERT_TRUE(live.Show(&page, 1));
        EXPECT_EQ(TreeColumn(page.List(), 1), (QStringList{"100", "200", "300"}));
        EXPECT_EQ(TreeColumn(page.List(), 3), (QStringList{"A", "A", "B"}));
        WithDialog<CAddPidDlg>([](CAddPidDlg* dlg) {
            dlg->OldPidEdit()->setText("44");
            dlg->NewPidEdit()->setText("55");
            dlg->OutputCombo()->setCurrentIndex(1);
            if (dlg->OnOK())
                dlg->accept();
        });
        page.AddButton()->click();
        page.SetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.GetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        EXPECT_EQ(TreeColumn(page.List(), 1), (QStringList{"100", "200", "300", "44"}));
        EXPECT_EQ(TreeColumn(page.List(), 3), (QStringList{"A", "A", "B", "B"}));
    }
    {
        LiveDevice live(0x4144, 39);
        ASSERT_TRUE(live.Start());
        CMuxPidForwardView page;
        ASSERT_TRUE(live.Show(&page, 66));
        EXPECT_EQ(TreeColumn(page.List(), 4), (QStringList{"3", "8"}));
        EXPECT_EQ(TreeColumn(page.List(), 3), (QStringList{"(1) (2) ", "(4)"}));
        page.SetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.GetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        EXPECT_EQ(TreeColumn(page.List(), 4), (QStringList{"3", "8"}));
    }
}

TEST(MuxPagesAgainstDevsim, SegmentedPassthroughWritesAndReadsBackAWholeTable) {
    struct Case {
        uint16_t type;
        int pageParam;
        int rows;  // written and read back
    };
    // Tables just longer than one segment: 171 rows of 6 bytes (1024 + 4 bytes), 128 rows of 8 bytes on the
    // chassis (1024 + 2).
    const Case cases[] = {{0x4164, 18, 171}, {0x2125, 39, 3}, {0x4153, 102, 128}};
    int address = 40;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageParam);
        LiveDevice live(c.type, address++);
        ASSERT_TRUE(live.Start());
        CMuxPidForwardView1 page;
        ASSERT_TRUE(live.Show(&page, c.pageParam));
        EXPECT_EQ(TreeColumn(page.List(), 1), (QStringList{"1", "2"}));
        EXPECT_EQ(TreeColumn(page.List(), 2), (QStringList{"100", "200"}));
        EXPECT_EQ(TreeColumn(page.List(), 4), (QStringList{"1,", "1,2,"}));

        // Fill the table, write it, read it back: the image grows past one segment each way.
        const int rows = c.rows;
        for (int i = 2; i < rows; ++i) {
            WithDialog<CAddPidMultiDlg>([i](CAddPidMultiDlg* dlg) {
                dlg->OldPidEdit()->setText(QString::number(0x400 + i, 16));
                dlg->NewPidEdit()->setText(QString::number(0x800 + i, 16));
                dlg->OnOK();
            });
            page.AddButton()->click();
        }
        ASSERT_EQ(page.List()->topLevelItemCount(), rows);
        page.SetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.GetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        ASSERT_EQ(page.List()->topLevelItemCount(), rows);
        EXPECT_EQ(page.List()->topLevelItem(rows - 1)->text(2),
                  QString::number(0x400 + rows - 1, 16).toUpper());
        EXPECT_EQ(page.List()->topLevelItem(rows - 1)->text(3),
                  QString::number(0x800 + rows - 1, 16).toUpper());

        // And back to a short table: the next Get shows exactly it.
        live.Prompt().answers = {IDOK};
        page.EmptyButton()->click();
        WithDialog<CAddPidMultiDlg>([](CAddPidMultiDlg* dlg) {
            dlg->OldPidEdit()->setText("33");
            dlg->NewPidEdit()->setText("44");
            dlg->OnOK();
        });
        page.AddButton()->click();
        page.SetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.GetButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        EXPECT_EQ(TreeColumn(page.List(), 2), QStringList{"33"});
        EXPECT_EQ(live.Events().Count("Operation timeout"), 0);
    }
}

// ---------------------------------------------------------------------------------------------------------
// PID monitor.

TEST(MuxPagesAgainstDevsim, PidMonitorListsThePidsPresentAndFollowsChanges) {
    LiveDevice live(0x3101, 45);
    ASSERT_TRUE(live.Start());
    CpidMonitor page;
    ASSERT_TRUE(live.Show(&page, 0));
    const QStringList first = TableColumn(page.List(), 1);
    EXPECT_TRUE(first.contains("0") && first.contains("11") && first.contains("1fff"))
        << first.join(",").toStdString();
    page.GetButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    const QStringList second = TableColumn(page.List(), 1);
    EXPECT_NE(first, second);  // the EIT came or went
    EXPECT_EQ(first.contains("12"), !second.contains("12"));
    EXPECT_EQ(TableColumn(page.List(), 0).front(), "1");
}

// ---------------------------------------------------------------------------------------------------------
// IP multiplexer.

TEST(MuxPagesAgainstDevsim, IpMultiplexerReadsRoutesEditsAndRemoves) {
    // The gateway: 16 channels named directly, outputs A to D.
    LiveDevice live(0x2125, 46);
    ASSERT_TRUE(live.Start());
    Cmuxip page;
    ASSERT_TRUE(live.Show(&page, 39));
    QTreeWidgetItem* outA = page.OutputTreeWidget()->topLevelItem(0);
    QTreeWidgetItem* outB = page.OutputTreeWidget()->topLevelItem(1);
    QTreeWidgetItem* in = page.InputTreeWidget()->topLevelItem(0);
    ASSERT_TRUE(outA && outB && in);
    EXPECT_EQ(Children(outA->child(0)), QStringList{"1 NEWS-1"});
    EXPECT_EQ(Children(in->child(0)), (QStringList{"1 NEWS-1", "2 NEWS-2"}));
    EXPECT_EQ(Children(in->child(1)), QStringList{"1 Sport HD"});

    // Route Sport HD to output B.
    page.InputTreeWidget()->setCurrentItem(in->child(1)->child(0));
    page.OutButton(1)->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    EXPECT_EQ(Children(outB->child(1)), QStringList{"1 Sport HD"});

    // Edit it there: a new name and service id reach the device.
    page.OutputTreeWidget()->setCurrentItem(outB->child(1)->child(0));
    WithDialog<CProgramInfoDlg>([](CProgramInfoDlg* dlg) {
        dlg->NameEdit()->setText("Sport 2");
        dlg->ServiceIdEdit()->setText("777");
        if (dlg->OnOK())
            dlg->accept();
    });
    page.EditButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));

    // Everything read again from the device.
    page.RefreshButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    outA = page.OutputTreeWidget()->topLevelItem(0);
    outB = page.OutputTreeWidget()->topLevelItem(1);
    EXPECT_EQ(Children(outB->child(1)), QStringList{"1 Sport 2"});
    EXPECT_EQ(Children(outB->child(1)->child(0)).value(0), "Service ID:777");

    // Remove NEWS-1 from output A.
    page.OutputTreeWidget()->setCurrentItem(outA->child(0)->child(0));
    page.RemoveButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    page.RefreshButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    outA = page.OutputTreeWidget()->topLevelItem(0);
    EXPECT_TRUE(Children(outA->child(0)).isEmpty());
    EXPECT_EQ(live.Events().Count("Operation timeout"), 0);

    // The output bitrates poll.
    page.OnTimer(Cmuxip::kPollTimerId);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !page.BitrateText(0).isEmpty(); }, 5000));
    EXPECT_TRUE(page.BitrateText(0).startsWith("38.")) << page.BitrateText(0).toStdString();
}

// ---------------------------------------------------------------------------------------------------------
// Output parameters.

TEST(MuxPagesAgainstDevsim, OutputParametersReadChangeWriteAndReadBack) {
    LiveDevice live(0x2101, 47);
    ASSERT_TRUE(live.Start());
    CMuxMiscView page;
    ASSERT_TRUE(live.Show(&page, 0));
    const auto& a = page.Output(0);
    EXPECT_EQ(a.bitrate->text(), "38.000");
    EXPECT_EQ(a.tsId->text(), "1");
    EXPECT_EQ(a.netId->text(), "2");
    a.bitrate->setText("31.668");
    a.tsId->setText("abc");
    a.tables[kTableCat]->setChecked(true);
    page.SetAButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    a.bitrate->setText("0");
    a.tsId->setText("0");
    a.tables[kTableCat]->setChecked(false);
    page.GetAButton()->click();
    ASSERT_TRUE(live.WaitIdle(&page));
    EXPECT_EQ(a.bitrate->text(), "31.668");
    EXPECT_EQ(a.tsId->text(), "abc");
    EXPECT_TRUE(a.tables[kTableCat]->isChecked());
    EXPECT_EQ(live.Events().Count("Operation timeout"), 0);
}

TEST(MuxPagesAgainstDevsim, OutputParametersOfTwoAndFourOutputs) {
    {
        LiveDevice live(0x2102, 48);
        ASSERT_TRUE(live.Start());
        CMuxMiscView page;
        ASSERT_TRUE(live.Show(&page, 1));  // reads A, then B
        EXPECT_EQ(page.Output(0).bitrate->text(), "38.000");
        EXPECT_EQ(page.Output(1).bitrate->text(), "24.000");
        EXPECT_EQ(page.Output(1).tsId->text(), "11");
        page.Output(1).netId->setText("99");
        page.SetBButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.Output(1).netId->setText("0");
        page.GetBButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        EXPECT_EQ(page.Output(1).netId->text(), "99");
        EXPECT_EQ(page.Output(0).netId->text(), "2");
    }
    {
        LiveDevice live(0x3105, 49);
        ASSERT_TRUE(live.Start());
        CMuxMiscView page;
        ASSERT_TRUE(live.Show(&page, 20));
        EXPECT_EQ(page.Output(3).bitrate->text(), "041.000");
        EXPECT_EQ(page.Output(3).tsId->text(), "0103");
        EXPECT_EQ(page.Output(2).address->text(), "239.1.1.3");
        page.Output(2).port->setText("5005");
        page.Output(3).tsId->setText("77");
        page.SetAllButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        page.GetAllButton()->click();
        ASSERT_TRUE(live.WaitIdle(&page));
        EXPECT_EQ(page.Output(2).port->text(), "5005");
        EXPECT_EQ(page.Output(3).tsId->text(), "0077");
        page.OnTimer(kOutputStatusTimerId);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !page.Output(3).realtime->text().isEmpty(); }, 5000));
        EXPECT_TRUE(page.Output(3).realtime->text().startsWith("20."))
            << page.Output(3).realtime->text().toStdString();
    }
}

// ---------------------------------------------------------------------------------------------------------
// ASI monitor.

TEST(MuxPagesAgainstDevsim, AsiMonitorShowsMovingBitratesAndLocks) {
    struct Case {
        uint16_t type;
        int pageParam;
    };
    const Case cases[] = {{0x2101, 0}, {0x2102, 1}, {0x4101, 32}, {0x1401, 86}};
    int address = 50;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageParam);
        LiveDevice live(c.type, address++);
        ASSERT_TRUE(live.Start());
        CMuxMonitorView page;
        ASSERT_TRUE(live.Show(&page, c.pageParam));
        QTest::qWait(20);  // the version request goes out first
        QString last;
        for (int poll = 0; poll < 3; ++poll) {
            page.OnTimer(kMonitorTimerId);
            ASSERT_TRUE(QTest::qWaitFor([&] { return page.BitrateEdit()->text() != last; }, 5000));
            last = page.BitrateEdit()->text();
            EXPECT_TRUE(last.startsWith("38.")) << last.toStdString();
        }
        EXPECT_FALSE(page.HighestEdit()->text().isEmpty());
        // Channels 1 and 3 carry a stream, 4 to 8 none (output A's polarity of the two-output multiplexer
        // turns with devsim's software version 1.00).
        EXPECT_TRUE(page.Logic()->lockGreen[0]);
        EXPECT_TRUE(page.Logic()->lockGreen[2]);
        EXPECT_FALSE(page.Logic()->lockGreen[3]);
        if (c.pageParam == 1) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return page.BitrateBEdit()->text().startsWith("24."); }, 5000));
        }
        if (c.pageParam == 86) {
            EXPECT_EQ(page.StatusLabel()->text(), "Lock Bitrate(mbps)38");
            EXPECT_TRUE(page.LockLabel(3)->text().startsWith("CH-3 5.0"))
                << page.LockLabel(3)->text().toStdString();
        }
    }
}

}  // namespace mux_devsim_e2e_test
}  // namespace nms
