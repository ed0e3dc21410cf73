#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "page_fixture.h"
#include "pages/psi/add_descriptor_dlg.h"
#include "pages/psi/add_element_dlg.h"
#include "pages/psi/ca_descriptor_dlg.h"
#include "pages/psi/descriptor_dlg.h"
#include "pages/psi/lcn_dlg.h"
#include "pages/psi/network_descriptor_dlg.h"
#include "pages/psi/nit_descriptor_dlg.h"
#include "pages/psi/psi_section_checker.h"
#include "platform/prompt.h"
#include "psi_sections.h"

namespace nms {
namespace psi_dialogs_test {

using testing::Bytes;

class PsiDialogsTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureApplication(); }
    std::string LastMessage() const { return prompt.shown.empty() ? "" : prompt.shown.back().text; }
    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
};

TEST_F(PsiDialogsTest, AddElementChecksItsFieldsAndBuildsDescriptorBytes) {
    CAddElementDlg dialog;
    struct Case {
        const char* type;
        const char* pid;
        const char* message;
    };
    Case cases[] = {
        {"", "100", "Element Type is empty!"},
        {"x1", "100", "Elem. Type:(0X) should be 0-9,a-f or A-F!"},
        {"02", "", "PID is empty!"},
        {"02", "1g", "PID(0x): should be 0-9,a-f or A-F!"},
        {"02", "2000", "Please enter an integer between 0x0 and 0x1fff."},
    };
    for (const Case& c : cases) {
        dialog.m_typeEdit->setText(c.type);
        dialog.m_pidEdit->setText(c.pid);
        dialog.OnOK();
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
    dialog.OnAddDescriptor();
    EXPECT_EQ(LastMessage(), "Descriptor Type(0X) should not be empty!");
    dialog.m_descriptorTypeEdit->setText("0a");
    dialog.m_descriptorDataEdit->setText("656e6g");
    dialog.OnAddDescriptor();
    EXPECT_EQ(LastMessage(), "Descriptor Data(0X) should be 0-9,a-f or A-F!");
    EXPECT_EQ(dialog.m_list->topLevelItemCount(), 0);
    // An odd row is taken as typed; its last digit is dropped when the bytes are made.
    dialog.m_descriptorDataEdit->setText("656e6700f");
    dialog.OnAddDescriptor();
    dialog.m_descriptorTypeEdit->setText("52");
    dialog.m_descriptorDataEdit->setText("");
    dialog.OnAddDescriptor();
    EXPECT_EQ(dialog.m_list->topLevelItemCount(), 2);
    dialog.m_typeEdit->setText("1b");
    dialog.m_pidEdit->setText("1fff");
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_streamType, 0x1B);
    EXPECT_EQ(dialog.m_pid, 0x1FFF);
    EXPECT_EQ(dialog.m_total, 8);
    ASSERT_EQ(dialog.m_descriptors.size(), 2u);
    EXPECT_EQ(dialog.m_descriptors[0].data, (std::vector<uint8_t>{'e', 'n', 'g', 0}));
}

TEST_F(PsiDialogsTest, AddDescriptorAndInsertDescription) {
    CAddDescriptorDlg add;
    struct Case {
        const char* type;
        std::string data;
        const char* message;
    };
    Case cases[] = {
        {"", "", "Element Type is empty!"},
        {"zz", "", "should be 0-9,a-f or A-F!"},
        {"100", "", "Please enter an integer between 0x0 and 0xff."},
        {"48", "abc", "Data lenght error:3"},
        {"48", std::string(512, 'a'), "Data lenght error:512"},
        {"48", "zz", "should be 0-9,a-f or A-F!"},
    };
    for (const Case& c : cases) {
        add.m_typeEdit->setText(c.type);
        add.m_dataEdit->setText(QString::fromStdString(c.data));
        add.OnOK();
        EXPECT_EQ(LastMessage(), c.message);
        EXPECT_NE(add.result(), QDialog::Accepted);
    }
    add.m_typeEdit->setText("48");
    add.m_dataEdit->setText("");
    add.OnOK();
    EXPECT_EQ(add.result(), QDialog::Accepted);
    EXPECT_EQ(add.m_tag, 0x48);
    EXPECT_TRUE(add.m_data.empty());

    CDescriptorDlg insert;
    EXPECT_EQ(insert.windowTitle(), "Insert Description");
    insert.m_tagEdit->setText("");
    insert.m_lengthEdit->setText("2");
    insert.m_contentEdit->setText("abcdef");
    insert.OnOK();
    EXPECT_EQ(
        LastMessage(),
        "Description info should equal or less than length!\r(Tips: two HEX characters equal one description "
        "length)");
    insert.m_lengthEdit->setText("x");
    insert.OnOK();
    EXPECT_EQ(LastMessage(), "Please enter an integer.");
    insert.m_lengthEdit->setText("3");
    insert.m_contentEdit->setText("abcde");
    insert.OnOK();
    EXPECT_EQ(LastMessage(), "Data lenght error:5");
    insert.m_contentEdit->setText("abcdef");
    insert.OnOK();
    EXPECT_EQ(insert.result(), QDialog::Accepted);
}

TEST_F(PsiDialogsTest, CaDescriptorDialogEditsTheCallersBuffer) {
    Bytes cat = testing::MakeCat(5);
    CCaDescriptorDlg dialog;
    dialog.m_catFlag = 1;
    std::copy(cat.begin(), cat.end(), dialog.m_section);
    Bytes crc{0x11, 0x22, 0x33, 0x44};  // the packet's CRC the caller copies along
    std::copy(crc.begin(), crc.end(), dialog.m_section + cat.size());
    dialog.m_sectionLength = static_cast<int>(cat.size() + 4);
    dialog.OnInitDialog();
    QTreeWidgetItem* root = dialog.m_tree->topLevelItem(0);
    ASSERT_EQ(root->text(0), "CAT");
    ASSERT_EQ(root->childCount(), 5);
    EXPECT_EQ(root->child(4)->text(0), "descriptor_tag:     0x09");
    EXPECT_EQ(root->child(4)->child(1)->text(0), "ca_system_id :0x0b04");

    dialog.OnClickTree(root->child(4));
    EXPECT_EQ(dialog.m_caPidEdit->text(), "104");
    EXPECT_EQ(dialog.m_privateEdit->toPlainText(), "a0a1a2a3");
    dialog.m_privateEdit->setPlainText("abc");
    dialog.OnClickTree(root->child(0));
    EXPECT_EQ(LastMessage(), "Private data length should be even number.");
    dialog.m_privateEdit->setPlainText("beef");
    dialog.OnClickTree(root->child(0));
    dialog.OnOK();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    std::string why;
    EXPECT_TRUE(CheckPsiSection(dialog.m_section, dialog.m_sectionLength, &why)) << why;
    EXPECT_EQ(dialog.m_sectionLength, static_cast<int>(cat.size()) - 2);  // four private bytes became two
    EXPECT_EQ(dialog.Section().Entries()[4].privateText, "beef");

    // A PMT handed over as a CAT cannot be confirmed.
    Bytes pmt = testing::MakePmt();
    CCaDescriptorDlg wrong;
    wrong.m_catFlag = 1;
    std::copy(pmt.begin(), pmt.end(), wrong.m_section);
    wrong.m_sectionLength = static_cast<int>(pmt.size());
    wrong.OnInitDialog();
    EXPECT_EQ(wrong.m_tree->topLevelItem(0)->childCount(), 0);
    wrong.OnOK();
    EXPECT_NE(wrong.result(), QDialog::Accepted);
    EXPECT_EQ(LastMessage(), "The section is not a CAT.");
    EXPECT_EQ(Bytes(wrong.m_section, wrong.m_section + pmt.size()), pmt);
}

TEST_F(PsiDialogsTest, NetworkDescriptorDialogChecksTagAndData) {
    struct Case {
        const char* tag;
        std::string data;
        const char* message;
    };
    const Case cases[] = {
        {"", "01", "Tag length is 2 bytes"},
        {"100", "01", "Tag length is 2 bytes"},
        {"5g", "01", "should be 0-9,a-f or A-F!"},
        {"0", "01", "Tag is error!"},
        {"5f", std::string(512, 'a'), "Tag Max length is 255 bytes"},
        {"5f", "01x2", "should be 0-9,a-f or A-F!"},
    };
    for (const Case& c : cases) {
        CNetworkDescriptorDlg dialog;
        dialog.m_tagText = c.tag;
        dialog.m_dataText = c.data;
        dialog.OnInitDialog();
        dialog.OnOK();
        EXPECT_EQ(LastMessage(), c.message) << c.tag;
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
    CNetworkDescriptorDlg dialog;
    dialog.m_tagEdit->setText("5f");
    dialog.m_dataEdit->setText("0102030");
    dialog.OnOK();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_tag, 0x5F);
    EXPECT_EQ(dialog.m_data, "010203");
    // The NIT page keeps 127 data bytes a row: more is refused there, not cut.
    CNetworkDescriptorDlg page(nullptr, 254);
    page.m_tagEdit->setText("5f");
    page.m_dataEdit->setText(QString(256, 'a'));
    page.OnOK();
    EXPECT_EQ(LastMessage(), "Tag Max length is 127 bytes");
    EXPECT_NE(page.result(), QDialog::Accepted);
}

TEST_F(PsiDialogsTest, LcnDialogSwitchesBaseAndRefusesWhatDoesNotFit) {
    CLcnDlg dialog;
    dialog.m_serviceIdText = "1A";
    dialog.m_lcnText = "F";
    dialog.OnInitDialog();
    EXPECT_TRUE(dialog.m_hex->isChecked());
    EXPECT_TRUE(dialog.m_nordigGroup->isHidden());
    // Clicking the format already shown changes nothing.
    dialog.m_hex->click();
    EXPECT_EQ(dialog.m_serviceIdEdit->text(), "1A");
    dialog.m_decimal->click();
    EXPECT_EQ(dialog.m_serviceIdEdit->text(), "26");
    EXPECT_EQ(dialog.m_lcnEdit->text(), "15");
    dialog.m_hex->click();
    EXPECT_EQ(dialog.m_serviceIdEdit->text(), "1A");
    dialog.OnOK();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_serviceId, 0x1A);
    EXPECT_EQ(dialog.m_lcnValue, 0x0F);
    EXPECT_EQ(dialog.m_decimalFormat, 0);

    struct Case {
        bool decimal;
        const char* serviceId;
        const char* lcn;
        const char* message;
    };
    const Case cases[] = {
        {true, "1A", "1", "should be 0-9,a-f or A-F!"},
        {false, "1G", "1", "should be 0-9,a-f or A-F!"},
        {false, "1", "x", "should be 0-9,a-f or A-F!"},
        {false, "10000", "1", "Please enter an integer between 0x0 and 0xffff."},
        {true, "65536", "1", "Please enter an integer between 0 and 65535."},
    };
    for (const Case& c : cases) {
        CLcnDlg d;
        d.m_decimalFormat = c.decimal ? 1 : 0;
        d.m_serviceIdText = c.serviceId;
        d.m_lcnText = c.lcn;
        d.OnInitDialog();
        d.OnOK();
        EXPECT_EQ(LastMessage(), c.message) << c.serviceId;
        EXPECT_NE(d.result(), QDialog::Accepted);
    }

    // NORDIG: the channel-list fields show and are checked against their fields' sizes.
    CLcnDlg nordig;
    nordig.m_nordig = 1;
    nordig.m_decimalFormat = 1;
    nordig.m_serviceIdText = "7";
    nordig.m_lcnText = "8";
    nordig.OnInitDialog();
    EXPECT_FALSE(nordig.m_nordigGroup->isHidden());
    nordig.m_channelListIdEdit->setText("256");
    nordig.OnOK();
    EXPECT_EQ(LastMessage(), "Please enter an integer between 0 and 255.");
    nordig.m_channelListIdEdit->setText("3");
    nordig.m_countryCodeEdit->setText("16777216");
    nordig.OnOK();
    EXPECT_EQ(LastMessage(), "Please enter an integer between 0 and 16777215.");
    nordig.m_countryCodeEdit->setText("578");
    nordig.m_channelListNameEdit->setText("Norway");
    nordig.OnOK();
    ASSERT_EQ(nordig.result(), QDialog::Accepted);
    EXPECT_EQ(nordig.m_decimalFormat, 1);
    EXPECT_EQ(nordig.m_serviceId, 7);
    EXPECT_EQ(nordig.m_channelListId, 3);
    EXPECT_EQ(nordig.m_channelListName, "Norway");
    EXPECT_EQ(nordig.m_countryCode, 578u);
}

TEST_F(PsiDialogsTest, TransportStreamDialogBuildsTheEntryWithLcnsFromAFile) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "psi_dialogs_lcn.txt";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("LCN List\r\n@lcn:0x10:5:\r\n@lcn:0x11:0x123#\r\n@end\r\n", f);
        std::fclose(f);
    }
    CNitDescriptorDlg dialog;
    dialog.m_form.frequency = "346";
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Insert Description");
    EXPECT_TRUE(dialog.m_cable->isChecked());
    EXPECT_EQ(dialog.m_modulation->currentText(), "64QAM");
    EXPECT_EQ(dialog.m_symbolRateEdit->text(), "6.875");
    EXPECT_EQ(dialog.m_frequencyUnit->text(), "MHZ");
    EXPECT_FALSE(dialog.m_lcnButtons[0]->isEnabled());
    dialog.m_lcnCheck->click();
    EXPECT_TRUE(dialog.m_lcnButtons[4]->isEnabled());
    prompt.fileAnswers = {path.string()};
    dialog.m_lcnButtons[4]->click();
    EXPECT_EQ(prompt.fileRequests.back().filter, "*.txt|*.txt||");
    ASSERT_EQ(dialog.m_lcnList->topLevelItemCount(), 2);
    const QStringList first = {
        dialog.m_lcnList->topLevelItem(0)->text(0), dialog.m_lcnList->topLevelItem(0)->text(1),
        dialog.m_lcnList->topLevelItem(0)->text(2), dialog.m_lcnList->topLevelItem(0)->text(3)};
    EXPECT_EQ(first, (QStringList{"10", "16", "5", "5"}));

    // A second LCN through the LCN dialog, in decimal.
    QTimer::singleShot(0, [] {
        auto* lcn = qobject_cast<CLcnDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(lcn, nullptr);
        lcn->m_decimal->click();
        lcn->m_serviceIdEdit->setText("18");
        lcn->m_lcnEdit->setText("7");
        lcn->OnOK();
    });
    dialog.m_lcnButtons[0]->click();
    ASSERT_EQ(dialog.m_lcnList->topLevelItemCount(), 3);
    EXPECT_EQ(dialog.m_lcnList->topLevelItem(2)->text(0), "12");
    EXPECT_EQ(dialog.m_lcnFormat, 1);
    // DEL needs a row.
    dialog.m_lcnList->clearSelection();
    dialog.m_lcnButtons[1]->click();
    EXPECT_EQ(LastMessage(), "Please Select List");

    // A private descriptor.
    dialog.m_privateCheck->click();
    QTimer::singleShot(0, [] {
        auto* nd = qobject_cast<CNetworkDescriptorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(nd, nullptr);
        nd->m_tagEdit->setText("80");
        nd->m_dataEdit->setText("abcd");
        nd->OnOK();
    });
    dialog.m_privateButtons[0]->click();
    ASSERT_EQ(dialog.m_privateList->topLevelItemCount(), 1);
    if (const char* out = std::getenv("NMS_GRAB_DIR"))
        dialog.grab().save(QString(out) + "/nit_descriptor_dlg.png");

    // A refused OK keeps the operator's texts.
    dialog.m_frequencyEdit->setText("10000");
    dialog.OnOK();
    EXPECT_EQ(LastMessage(), "RF Frequency should not be more than 10000M.");
    EXPECT_EQ(dialog.m_frequencyEdit->text(), "10000");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.m_frequencyEdit->setText("346");
    dialog.OnOK();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_frequencyEdit->text(), "0346.0000(MHz)");
    const uint8_t* d = dialog.m_entry.Descriptors();
    EXPECT_EQ(Bytes(d, d + dialog.m_entry.DescriptorsLength()),
              (Bytes{0x44, 0x0B, 0x03, 0x46, 0x00, 0x00, 0xFF, 0xF2, 0x03, 0x00, 0x68, 0x75, 0x05,        //
                     0x83, 12,   0x00, 0x10, 0xFC, 0x05, 0x00, 0x11, 0xFD, 0x23, 0x00, 0x12, 0xFC, 0x07,  //
                     0x80, 2,    0xAB, 0xCD}));

    // Opened again on that entry (editing), the lists come back; switching to terrestrial shows its controls.
    CNitDescriptorDlg again;
    again.m_editMode = 1;
    again.m_form = dialog.m_form;
    again.m_entry = dialog.m_entry;
    again.OnInitDialog();
    EXPECT_EQ(again.m_frequencyUnit->text(), "MHz");
    EXPECT_TRUE(again.m_lcnCheck->isChecked());
    EXPECT_EQ(again.m_lcnList->topLevelItemCount(), 3);
    EXPECT_EQ(again.m_privateList->topLevelItem(0)->text(1), "ABCD");
    again.m_terrestrial->click();
    EXPECT_TRUE(again.m_symbolRateEdit->isHidden());
    EXPECT_FALSE(again.m_guardInterval->isHidden());
    EXPECT_EQ(again.m_polarization->itemText(0), "1/2");
    // NORDIG(0x87) adds the channel-list columns; "NORDIG Ver2.1" takes them away again.
    again.m_nordig87->click();
    EXPECT_EQ(again.m_lcnList->columnCount(), 7);
    again.m_nordigV21->click();
    EXPECT_FALSE(again.m_nordig87->isChecked());
    EXPECT_EQ(again.m_lcnList->columnCount(), 4);

    // Loading a file that is not an LCN list empties the list and says so.
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("lcn\n", f);
        std::fclose(f);
    }
    prompt.fileAnswers = {path.string()};
    again.m_lcnButtons[4]->click();
    EXPECT_EQ(LastMessage(), "Error benter!");
    EXPECT_EQ(again.m_lcnList->topLevelItemCount(), 0);
    std::filesystem::remove(path);
}

}  // namespace psi_dialogs_test
}  // namespace nms
