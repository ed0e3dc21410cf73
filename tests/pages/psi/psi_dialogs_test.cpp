#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "page_fixture.h"
#include "pages/psi/add_descriptor_dlg.h"
#include "pages/psi/add_element_dlg.h"
#include "pages/psi/ca_descriptor_dlg.h"
#include "pages/psi/descriptor_dlg.h"
#include "pages/psi/psi_section_checker.h"
#include "platform/prompt.h"
#include "psi_sections.h"

namespace nms {
namespace {

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

}  // namespace
}  // namespace nms
