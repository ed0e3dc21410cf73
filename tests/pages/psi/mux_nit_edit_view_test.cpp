#include "pages/psi/mux_nit_edit_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "page_fixture.h"
#include "pages/psi/network_descriptor_dlg.h"
#include "pages/psi/nit_descriptor_dlg.h"
#include "pages/psi/psi_section_checker.h"
#include "platform/prompt.h"

namespace nms {
namespace mux_nit_edit_view_test {

using Bytes = std::vector<uint8_t>;

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A table of 'rows' rows with 300-byte entries (three rows per section) and its sections.
NitTable MakeTable(int rows) {
    NitTable t;
    t.networkId = "3a";
    t.version = 4;
    t.networkName = "Net";
    for (int i = 0; i < rows; ++i) {
        NitTsRow row;
        row.columns[0] = std::to_string(i + 1);
        row.columns[1] = "1";
        Bytes d = {0x44, 0x0B, 0x03, 0x46, 0x00, 0x00, 0xFF, 0xF2, 0x03, 0x00, 0x68, 0x75, 0x05, 0x83, 0xFF};
        d.resize(13 + 2 + 255, static_cast<uint8_t>(i));
        row.entry.SetDescriptors(d.data(), static_cast<int>(d.size()));
        t.rows.push_back(row);
    }
    EXPECT_TRUE(t.Build());
    return t;
}

Bytes Section(const NitTable& t, int k) {
    const uint8_t* s = t.image.Slot(k);
    return Bytes(s, s + (((s[1] & 0x0F) << 8) | s[2]) + 3);
}

class MuxNitEditViewTest : public ::testing::Test {
protected:
    explicit MuxNitEditViewTest(uint16_t type = 0x2101) : fx(type) {}
    test::SentPacket Sent(uint8_t command) {
        auto sent = fx.TakeSentPacket();
        EXPECT_TRUE(sent.has_value());
        if (!sent)
            return {};
        EXPECT_EQ(sent->command, command);
        return *sent;
    }
    void Bind(int model) {
        fx.Bind(&page, model);
        fx.TakeSentPacket();  // the read of the shown page
        fx.FeedReply(0x2F, {});
    }
    test::PageFixture fx;
    CMuxNitEditView page;
};

// Every column heading of both lists shows whole.
TEST_F(MuxNitEditViewTest, ColumnHeadingsAreNotCutOff) {
    Bind(0);
    for (QTreeWidget* list : {page.TsList(), page.NetworkDescriptorList()}) {
        const QFontMetrics metrics(list->header()->font());
        for (int c = 0; c < list->columnCount(); ++c) {
            const QString heading = list->headerItem()->text(c);
            EXPECT_GE(list->columnWidth(c), metrics.horizontalAdvance(heading) + 8) << heading.toStdString();
        }
    }
}

TEST_F(MuxNitEditViewTest, ReadsThreeSectionsOneAfterTheOther) {
    fx.Bind(&page, 0);
    const NitTable t = MakeTable(7);
    ASSERT_EQ(t.sectionCount, 3);
    auto s = Sent(0x2F);
    EXPECT_EQ(s.b, 1);
    EXPECT_EQ(s.c, 1);
    EXPECT_EQ(s.payload, Bytes{0});
    EXPECT_TRUE(page.IsBusy());

    fx.FeedReply(0x2F, Section(t, 0), 1, 3);
    s = Sent(0x2F);
    EXPECT_EQ(s.b, 2);
    EXPECT_EQ(s.c, 3);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 0);
    fx.FeedReply(0x2F, Section(t, 1), 2, 3);
    s = Sent(0x2F);
    EXPECT_EQ(s.b, 3);
    fx.FeedReply(0x2F, Section(t, 2), 3, 3);
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.TsList()->topLevelItemCount(), 7);
    EXPECT_EQ(page.TsList()->topLevelItem(6)->text(0), "0007");
    EXPECT_EQ(page.TsList()->topLevelItem(6)->text(2), "0346.0000(MHz)");
    EXPECT_EQ(page.IdEdit()->text(), "003a");
    EXPECT_EQ(page.VersionEdit()->text(), "4");
    EXPECT_EQ(page.NameEdit()->text(), "Net");

    // A reply nobody asked for changes nothing.
    fx.FeedReply(0x2F, Section(MakeTable(1), 0), 1, 1);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 7);
}

// A read that timed out: its section still comes, is shown once, and nothing more is asked. In the middle of
// a longer read the late section does not ask for the next one either.
TEST_F(MuxNitEditViewTest, ASectionAfterTheTimeOutIsShownAndAsksForNothing) {
    fx.Bind(&page, 0);
    Sent(0x2F);
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    fx.FeedReply(0x2F, Section(MakeTable(2), 0), 1, 1);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 2);
    EXPECT_EQ(page.IdEdit()->text(), "003a");
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    fx.FeedReply(0x2F, Section(MakeTable(1), 0), 1, 1);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 2);

    const NitTable t = MakeTable(7);
    page.GetButton()->click();
    Sent(0x2F);
    fx.FeedReply(0x2F, Section(t, 0), 1, 3);
    Sent(0x2F);
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    fx.FeedReply(0x2F, Section(t, 1), 2, 3);
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    EXPECT_FALSE(page.IsBusy());
}

TEST_F(MuxNitEditViewTest, StrayOrImpossibleSectionEndsTheRead) {
    const NitTable t = MakeTable(7);
    struct Case {
        uint8_t b, c;
    } cases[] = {{3, 3}, {0, 3}, {5, 5}, {3, 2}};
    Bind(0);
    for (const Case& c : cases) {
        page.OnGet();
        Sent(0x2F);
        fx.FeedReply(0x2F, Section(t, 0), 1, 3);
        Sent(0x2F);
        fx.FeedReply(0x2F, Section(t, 1), c.b, c.c);
        EXPECT_FALSE(fx.TakeSentPacket().has_value());
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(page.TsList()->topLevelItemCount(), 0);
    }
}

TEST_F(MuxNitEditViewTest, ChannelSelectorOfModelFive) {
    Bind(5);
    EXPECT_FALSE(page.ChannelSelector()->isHidden());
    ASSERT_EQ(page.ChannelSelector()->count(), 4);
    page.ChannelSelector()->setCurrentIndex(2);
    page.OnSelChangeChannel();
    auto s = Sent(0x2F);
    EXPECT_EQ(s.payload, Bytes{2});
    // The reply's channel byte selects its channel.
    fx.FeedReply(0x2F, Cat({1}, Section(MakeTable(1), 0)), 1, 1);
    EXPECT_EQ(page.ChannelSelector()->currentIndex(), 1);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 1);
}

class MuxNitEditView4208Test : public MuxNitEditViewTest {
protected:
    MuxNitEditView4208Test() : MuxNitEditViewTest(0x4208) {}
};

TEST_F(MuxNitEditView4208Test, SectionWithoutChannelByteSwitchesToPlainForm) {
    fx.Bind(&page, 5);
    Sent(0x2F);
    fx.FeedReply(0x2F, Section(MakeTable(2), 0), 1, 1);
    EXPECT_TRUE(page.ChannelSelector()->isHidden());
    EXPECT_EQ(page.Logic()->Model(), 0);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 2);
    page.OnGet();
    EXPECT_EQ(Sent(0x2F).payload, Bytes{0});
    EXPECT_TRUE(page.ChannelSelector()->isHidden());
}

TEST_F(MuxNitEditViewTest, SendToBOfModelOneSendsEverySection) {
    Bind(1);
    EXPECT_EQ(page.SetButton()->text(), "Send to A");
    EXPECT_FALSE(page.SendBButton()->isHidden());
    page.Logic()->Table() = MakeTable(5);  // two sections
    page.UpdateData(false);
    page.OnSendB();
    const NitTable& t = page.Logic()->Table();
    ASSERT_EQ(t.sectionCount, 2);
    auto s = Sent(0x30);
    EXPECT_EQ(s.b, 1);
    EXPECT_EQ(s.c, 2);
    EXPECT_EQ(s.payload, Cat({2}, Section(t, 0)));
    EXPECT_TRUE(page.IsBusy());
    std::string why;
    EXPECT_TRUE(CheckPsiSection(s.payload.data() + 1, static_cast<int>(s.payload.size()) - 1, &why)) << why;

    fx.FeedReply(0x30, {2}, 1, 2);
    s = Sent(0x30);
    EXPECT_EQ(s.b, 2);
    EXPECT_EQ(s.c, 2);
    ASSERT_EQ(s.payload.size(), 1025u);
    EXPECT_EQ(s.payload[0], 2);
    EXPECT_EQ(Bytes(s.payload.begin() + 1, s.payload.end()), Bytes(t.image.Slot(1), t.image.Slot(1) + 1024));
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(0x30, {2}, 2, 2);
    EXPECT_FALSE(fx.TakeSentPacket().has_value());
    EXPECT_FALSE(page.IsBusy());
}

TEST_F(MuxNitEditViewTest, SendChecksTheFieldsFirst) {
    Bind(0);
    struct Case {
        const char *id, *name, *version, *message;
    } cases[] = {
        {"", "N", "0", "Network ID error!"},
        {"12G", "N", "0", "Network ID should be 0-9,a-f or A-F!"},
        {"12", "", "0", "Network description should not be empty!"},
        {"12", "N", "32", "Please enter an integer between 0 and 31."},
        {"12", "N", "x", "Please enter an integer between 0 and 31."},
    };
    for (const Case& c : cases) {
        fx.Prompt().shown.clear();
        page.IdEdit()->setText(c.id);
        page.NameEdit()->setText(c.name);
        page.VersionEdit()->setText(c.version);
        page.OnSendA();
        EXPECT_FALSE(fx.TakeSentPacket().has_value()) << c.id;
        ASSERT_EQ(fx.Prompt().shown.size(), 1u) << c.id;
        EXPECT_EQ(fx.Prompt().shown[0].text, c.message);
    }
    // Version 0 goes out as 0.
    page.IdEdit()->setText("1");
    page.NameEdit()->setText("N");
    page.VersionEdit()->setText("0");
    page.OnSendA();
    auto s = Sent(0x30);
    EXPECT_EQ(s.payload, Section(page.Logic()->Table(), 0));  // model 0: no channel byte
    EXPECT_EQ(s.payload[5], 0xC1);
}

TEST_F(MuxNitEditViewTest, SaveAndReadLocalFile) {
    Bind(0);
    page.Logic()->Table() = MakeTable(4);
    page.Logic()->Table().networkDescriptorsOn = true;
    page.Logic()->Table().networkDescriptors = {{0x5F, "0A0B"}};
    page.UpdateData(false);
    const std::string path = (std::filesystem::temp_directory_path() / "mux_nit_view_test.nit").string();
    fx.Prompt().fileAnswers = {path};
    page.OnSaveLocal();
    ASSERT_EQ(std::filesystem::file_size(path), 5120u);
    EXPECT_TRUE(fx.Prompt().fileRequests.back().save);
    EXPECT_EQ(fx.Prompt().fileRequests.back().defaultExt, "nit");

    page.Logic()->Table() = NitTable();
    page.UpdateData(false);
    fx.Prompt().fileAnswers = {path};
    page.OnReadLocal();
    std::filesystem::remove(path);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 4);
    EXPECT_EQ(page.IdEdit()->text(), "003a");
    EXPECT_TRUE(page.NetworkDescriptorCheck()->isChecked());
    ASSERT_EQ(page.NetworkDescriptorList()->topLevelItemCount(), 1);
    EXPECT_EQ(page.NetworkDescriptorList()->topLevelItem(0)->text(0), "5F");
    EXPECT_EQ(page.NetworkDescriptorList()->topLevelItem(0)->text(1), "0A0B");

    // An empty network id saves nothing and asks for no file.
    const size_t asked = fx.Prompt().fileRequests.size();
    page.IdEdit()->setText("");
    page.OnSaveLocal();
    EXPECT_EQ(fx.Prompt().fileRequests.size(), asked);
}

TEST_F(MuxNitEditViewTest, DeletingARowKeepsTheOthersDescriptors) {
    Bind(0);
    page.Logic()->Table() = MakeTable(3);
    const NitTable before = page.Logic()->Table();
    page.UpdateData(false);
    fx.Prompt().fileAnswers.clear();
    // Show the rows as a read would.
    page.Logic()->Table().ParseNitSections();
    page.OnGet();  // empties everything again
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 0);
    fx.FeedReply(0x2F, Section(before, 0), 1, 2);
    Sent(0x2F);
    fx.FeedReply(0x2F, Section(before, 1), 2, 2);
    ASSERT_EQ(page.TsList()->topLevelItemCount(), 3);
    page.TsList()->topLevelItem(0)->setSelected(true);
    page.OnTsListClick();
    EXPECT_TRUE(page.TsDeleteButton()->isEnabled());
    EXPECT_EQ(CMuxNitEditView::MarkedRow(), 0);
    page.OnDeleteTs();
    const auto& rows = page.Logic()->Table().rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].entry.bytes, before.rows[1].entry.bytes);
    EXPECT_EQ(rows[1].entry.bytes, before.rows[2].entry.bytes);
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 2);
    EXPECT_EQ(page.TsList()->topLevelItem(0)->text(0), "0002");

    fx.Prompt().answers = {IDCANCEL};
    page.OnClearTs();
    EXPECT_EQ(fx.Prompt().shown.back().text, "Clear List?");
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 2);
    page.OnClearTs();
    EXPECT_EQ(page.TsList()->topLevelItemCount(), 0);
    page.OnClearTs();
    EXPECT_EQ(fx.Prompt().shown.back().text, "List is empty!");
}

TEST_F(MuxNitEditViewTest, TransportStreamsAddedEditedSentAndReadBack) {
    Bind(0);
    EXPECT_TRUE(page.TsAddButton()->isEnabled());
    EXPECT_FALSE(page.TsEditButton()->isEnabled());
    page.IdEdit()->setText("3a");
    // Add: the dialog opens with the presets of an empty list; an LCN and 64QAM at 346 MHz.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNitDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->m_tsIdEdit->text(), "1");
        EXPECT_EQ(dlg->m_frequencyEdit->text(), "307");
        dlg->m_frequencyEdit->setText("346");
        dlg->m_lcnCheck->click();
        dlg->m_form.lcnRows = {LcnRow{0x0001, 0x123, 0, "", 0}};
        dlg->OnOK();
    });
    page.TsAddButton()->click();
    ASSERT_EQ(page.TsList()->topLevelItemCount(), 1);
    QTreeWidgetItem* row = page.TsList()->topLevelItem(0);
    EXPECT_EQ(row->text(0), "0001");
    EXPECT_EQ(row->text(2), "0346.0000(MHz)");
    EXPECT_EQ(row->text(3), "6.8750");
    EXPECT_EQ(row->text(4), "64QAM");
    EXPECT_EQ(row->text(6), "Cable");

    // A second row: TS id and frequency follow the last row.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNitDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->m_tsIdEdit->text(), "0002");
        EXPECT_EQ(dlg->m_frequencyEdit->text(), "354");
        dlg->m_satellite->click();
        dlg->m_frequencyEdit->setText("11.7275");
        dlg->OnOK();
    });
    page.TsAddButton()->click();
    ASSERT_EQ(page.TsList()->topLevelItemCount(), 2);
    EXPECT_EQ(page.TsList()->topLevelItem(1)->text(5), "Horizontal");

    // Edit the first row: the dialog shows its values; 256QAM replaces 64QAM, the LCN stays.
    page.TsList()->topLevelItem(0)->setSelected(true);
    page.OnTsListClick();
    EXPECT_TRUE(page.TsEditButton()->isEnabled());
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNitDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->m_frequencyEdit->text(), "0346.0000");
        EXPECT_EQ(dlg->m_modulation->currentText(), "64QAM");
        EXPECT_EQ(dlg->m_lcnList->topLevelItemCount(), 1);
        dlg->m_modulation->setCurrentIndex(5);
        dlg->OnOK();
    });
    page.TsEditButton()->click();
    EXPECT_EQ(page.TsList()->topLevelItem(0)->text(4), "256QAM");

    // A network descriptor through its dialog.
    page.NetworkDescriptorCheck()->click();
    EXPECT_TRUE(page.NdAddButton()->isEnabled());
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNetworkDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->m_tagEdit->setText("5f");
        dlg->m_dataEdit->setText("0a0b0");
        dlg->OnOK();
    });
    page.NdAddButton()->click();
    ASSERT_EQ(page.NetworkDescriptorList()->topLevelItemCount(), 1);
    EXPECT_EQ(page.NetworkDescriptorList()->topLevelItem(0)->text(0), "5F");
    EXPECT_EQ(page.NetworkDescriptorList()->topLevelItem(0)->text(1), "0a0b");
    page.NetworkDescriptorList()->clearSelection();
    page.NdEditButton()->click();
    EXPECT_EQ(fx.Prompt().shown.back().text, "Please Select List");
    page.NetworkDescriptorList()->topLevelItem(0)->setSelected(true);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CNetworkDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->m_tagEdit->text(), "5F");
        dlg->m_dataEdit->setText("0c");
        dlg->OnOK();
    });
    page.NdEditButton()->click();
    EXPECT_EQ(page.NetworkDescriptorList()->topLevelItem(0)->text(1), "0c");

    // Sent and read back: the same rows, their descriptors byte for byte.
    const std::vector<NitTsRow> sentRows = page.Logic()->Table().rows;
    page.OnSendA();
    const auto s = Sent(0x30);
    fx.FeedReply(0x30, {}, 1, 1);
    EXPECT_FALSE(page.IsBusy());
    page.OnGet();
    Sent(0x2F);
    fx.FeedReply(0x2F, s.payload, 1, 1);
    ASSERT_EQ(page.TsList()->topLevelItemCount(), 2);
    const auto& rows = page.Logic()->Table().rows;
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(rows[i].entry.bytes, sentRows[i].entry.bytes) << i;
        // The symbol rate reads back with its three integer digits ("006.8750" for "6.8750").
        EXPECT_EQ(std::stod(rows[i].columns[3]), std::stod(sentRows[i].columns[3])) << i;
        for (int c = 0; c < kNitTsColumns; ++c) {
            if (c != 3) {
                EXPECT_EQ(QString::fromStdString(rows[i].columns[c]).toUpper(),
                          QString::fromStdString(sentRows[i].columns[c]).toUpper())
                    << i << " " << c;
            }
        }
    }
    ASSERT_EQ(page.NetworkDescriptorList()->topLevelItemCount(), 1);
    EXPECT_EQ(page.NetworkDescriptorList()->topLevelItem(0)->text(1), "0C");

    // A row read without a delivery descriptor opens no dialog.
    page.Logic()->Table().rows[0].columns[6].clear();
    page.TsList()->topLevelItem(0)->setSelected(true);
    page.OnTsListClick();
    const size_t boxes = fx.Prompt().shown.size();
    page.OnEditTs();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(fx.Prompt().shown.size(), boxes);
}

}  // namespace mux_nit_edit_view_test
}  // namespace nms

namespace nms {
namespace mux_nit_edit_view_test {

TEST(MuxNitEditViewLook, Grab) {
    test::PageFixture fx;
    CMuxNitEditView page;
    fx.Bind(&page, 0);
    fx.TakeSentPacket();
    NitTable t = MakeTable(4);
    fx.FeedReply(0x2F, Section(t, 0), 1, 2);
    fx.TakeSentPacket();
    fx.FeedReply(0x2F, Section(t, 1), 2, 2);
    page.TsList()->topLevelItem(1)->setSelected(true);
    page.OnTsListClick();
    page.TsList()->clearSelection();
    page.resize(1000, 560);
    if (const char* out = std::getenv("NMS_GRAB_DIR"))
        page.grab().save(QString(out) + "/nit_page.png");
    EXPECT_EQ(page.TsList()->topLevelItem(1)->foreground(0).color(), QColor(255, 0, 0));
}

}  // namespace mux_nit_edit_view_test
}  // namespace nms
