#include "app/device_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/freq_node_dlg.h"
#include "devices/device_type_catalogue.h"
#include "platform/ip_address_edit.h"
#include "platform/prompt.h"
#include "qt_app_environment.h"

namespace nms {
namespace device_dlg_test {

// The texts of the dialog's own labels and push buttons, in the order they were made.
QStringList Texts(const QWidget& dialog) {
    QStringList texts;
    for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        else if (auto* button = qobject_cast<QPushButton*>(w))
            texts << "[" + button->text() + "]";
    }
    return texts;
}

TEST(DeviceDialogs, CaptionsLabelsAndButtons) {
    for (int edit : {0, 1}) {
        CDeviceDlg device;
        device.m_editMode = edit;
        device.OnInitDialog();
        EXPECT_EQ(device.windowTitle(), edit ? "Edit Device" : "Add Device");
        EXPECT_EQ(Texts(device),
                  QStringList({"[OK]", "[Cancel]", "Device Type", "Device Name", "IP Address", "Port:"}));
        CFreqNodeDlg node;
        node.m_editMode = edit;
        node.OnInitDialog();
        EXPECT_EQ(node.windowTitle(), edit ? "Edit Frequency Node" : "Add Frequency Node");
        EXPECT_EQ(Texts(node), QStringList({"[OK]", "[Cancel]", "Freq Node Name"}));
    }
}

class DeviceDlgTest : public ::testing::Test {
protected:
    // Fills a valid form; single cases then spoil one field.
    void FillValid() {
        dlg.TypeList()->setCurrentIndex(0);
        dlg.NameEdit()->setText("Encoder 1");
        dlg.AddressCtrl()->SetAddressText("127.0.0.2");
        dlg.PortEdit()->setText("2009");
    }
    ScriptedPrompt prompt;
    ScopedPrompt scope{&prompt};
    CDeviceDlg dlg;
};

TEST_F(DeviceDlgTest, NewDeviceShowsDefaultsAndWholeCatalogue) {
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), "Add Device");
    EXPECT_EQ(dlg.PortEdit()->text(), "2009");
    EXPECT_EQ(dlg.TypeList()->currentIndex(), -1);
    ASSERT_EQ(dlg.TypeList()->count(), DeviceTypeCount());
    for (int row = 0; row < DeviceTypeCount(); ++row) {
        EXPECT_EQ(dlg.TypeList()->itemText(row).toStdString(), DeviceTypeAt(row).name) << row;
    }
    // Opening again does not double the list.
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.TypeList()->count(), DeviceTypeCount());
}

TEST_F(DeviceDlgTest, EditPreselectsTypeIncludingLeadingBlank) {
    int blankRow = -1;
    for (int row = 0; row < DeviceTypeCount() && blankRow < 0; ++row) {
        if (DeviceTypeAt(row).name[0] == ' ')
            blankRow = row;
    }
    const int row = blankRow >= 0 ? blankRow : DeviceTypeCount() - 1;
    dlg.m_editMode = 1;
    dlg.m_typeName = DeviceTypeAt(row).name;
    dlg.m_deviceName = "\xD6\xD0\xCE\xC4";  // GBK
    dlg.m_address = "10.1.2.3";
    dlg.m_port = 4000;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), "Edit Device");
    EXPECT_EQ(dlg.TypeList()->currentIndex(), row);
    EXPECT_EQ(dlg.NameEdit()->text(), QString::fromUtf8("\xE4\xB8\xAD\xE6\x96\x87"));
    EXPECT_EQ(dlg.AddressCtrl()->GetAddressText(), "10.1.2.3");
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_deviceName, "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(dlg.m_typeName, DeviceTypeAt(row).name);
    EXPECT_EQ(dlg.m_port, 4000);
}

TEST_F(DeviceDlgTest, ChecksInOrderWithTheirMessages) {
    struct Case {
        const char* name;
        int typeRow;
        const char* port;
        const char* message;  // null: accepted
    } cases[] = {
        {"A", 0, "65535", nullptr},
        {"A", 0, "1", nullptr},
        {"A", 0, "65536", "Port range should be between 0-65535!"},
        {"A", 0, "0", "Port range should be between 0-65535!"},
        {"A", 0, "-1", "Port range should be between 0-65535!"},
        {"A", 0, "99999999999999999999999", "Port range should be between 0-65535!"},
        {"A", 0, "20x9", "Please enter an integer."},
        {"A", 0, "", "Please enter an integer."},
        {"", 0, "2009", "Device Name should not be empty!"},
        {"A", -1, "2009", "Please select device type!"},
        {"", -1, "0", "Device Name should not be empty!"},
    };
    dlg.OnInitDialog();
    for (const Case& c : cases) {
        prompt.shown.clear();
        FillValid();
        dlg.NameEdit()->setText(c.name);
        dlg.TypeList()->setCurrentIndex(c.typeRow);
        dlg.PortEdit()->setText(c.port);
        const bool accepted = dlg.OnOK();
        EXPECT_EQ(accepted, c.message == nullptr) << c.name << "/" << c.port;
        if (c.message) {
            ASSERT_EQ(prompt.shown.size(), 1u) << c.port;
            EXPECT_EQ(prompt.shown[0].text, c.message);
        } else {
            EXPECT_TRUE(prompt.shown.empty());
        }
    }
}

TEST_F(DeviceDlgTest, AnyAddressIsAccepted) {
    dlg.OnInitDialog();
    FillValid();
    dlg.AddressCtrl()->SetAddressText("0.0.0.0");
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_address, "0.0.0.0");
    dlg.AddressCtrl()->ClearAddress();
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_address, "0.0.0.0");
}

TEST_F(DeviceDlgTest, NameTakesAtMost47CodePageBytes) {
    dlg.OnInitDialog();
    dlg.show();
    dlg.NameEdit()->setFocus();
    QTest::keyClicks(dlg.NameEdit(), QString(48, 'a'));
    EXPECT_EQ(dlg.NameEdit()->text().size(), 47);

    // Chinese characters take two bytes each: 23 of them fit, the 24th does not.
    dlg.NameEdit()->clear();
    const QString zhong = QString::fromUtf8("\xE4\xB8\xAD");
    for (int i = 0; i < 24; ++i)
        dlg.NameEdit()->insert(zhong);
    EXPECT_EQ(dlg.NameEdit()->text().size(), 23);
    FillValid();
    dlg.NameEdit()->setText(QString(23, zhong[0]));
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_deviceName.size(), 46u);
}

TEST(FreqNodeDlg, CaptionsAndEmptyName) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    CFreqNodeDlg dlg;
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), "Add Frequency Node");
    EXPECT_FALSE(dlg.OnOK());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Frequency Node should not be empty!");

    dlg.m_editMode = 1;
    dlg.m_nodeName = "474MHz";
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), "Edit Frequency Node");
    EXPECT_EQ(dlg.NameEdit()->text(), "474MHz");
    dlg.NameEdit()->setText(QString(60, 'n'));
    ASSERT_TRUE(dlg.OnOK());
    EXPECT_EQ(dlg.m_nodeName, std::string(47, 'n'));
}

TEST(IpAddressCtrl, FieldsRefuseAbove255AndAdvance) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    CIPAddressCtrl ip;
    ip.show();
    ip.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&ip));
    EXPECT_TRUE(ip.IsBlank());
    ip.Field(0)->setFocus();
    QTest::keyClicks(ip.Field(0), "192");  // three digits move on
    ASSERT_TRUE(ip.Field(1)->hasFocus());
    QTest::keyClicks(ip.Field(1), "168.");
    ASSERT_TRUE(ip.Field(2)->hasFocus());
    QTest::keyClicks(ip.Field(2), "1.");
    ASSERT_TRUE(ip.Field(3)->hasFocus());
    QTest::keyClicks(ip.Field(3), "30");
    EXPECT_EQ(ip.GetAddressText(), "192.168.1.30");
    QTest::keyClicks(ip.Field(3), "0");  // 300: refused, field keeps 30
    EXPECT_EQ(ip.GetAddressText(), "192.168.1.30");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Please enter an integer between 0 and 255.");

    EXPECT_FALSE(ip.SetAddressText("1.2.3"));
    EXPECT_TRUE(ip.IsBlank());
    EXPECT_FALSE(ip.SetAddressText("1.2.3.256"));
    EXPECT_TRUE(ip.SetAddressText("255.0.10.1"));
    EXPECT_EQ(ip.GetAddressText(), "255.0.10.1");
}

}  // namespace device_dlg_test
}  // namespace nms
