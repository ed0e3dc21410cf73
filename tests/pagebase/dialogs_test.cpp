#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/login_registry.h"
#include "pagebase/all_config_dlg.h"
#include "pagebase/icon_button.h"
#include "pagebase/message_dlg.h"
#include "pagebase/system_setup_dlg.h"
#include "pagebase/user_setup_dlg.h"
#include "platform/prompt.h"
#include "platform/settings_store.h"
#include "qt_app_environment.h"

namespace nms {
namespace dialogs_test {

// Runs the dialog and does `action` once it is on screen.
template <typename Dialog, typename Action>
int RunWith(Dialog& dlg, Action action) {
    QTimer::singleShot(0, &dlg, [&dlg, action] { action(dlg); });
    return dlg.DoModal();
}

TEST(MessageDlg, EmptyCaptionShowsWarningAndOnlyOk) {
    CMessageDlg dlg;
    dlg.m_text = "Clear all LCN?";
    dlg.m_okText = "OK";
    dlg.m_cancelText = "Cancel";
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), "Warning");
    EXPECT_EQ(dlg.TextLabel()->text(), "Clear all LCN?");
    EXPECT_EQ(dlg.OkButton()->text(), "OK");
    EXPECT_TRUE(dlg.CancelButton()->isHidden());

    dlg.m_caption = "Clear";
    dlg.m_showCancel = true;
    dlg.m_okText = "";  // used unchanged
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.windowTitle(), "Clear");
    EXPECT_FALSE(dlg.CancelButton()->isHidden());
    EXPECT_EQ(dlg.OkButton()->text(), "");
    EXPECT_EQ(dlg.CancelButton()->text(), "Cancel");
}

TEST(MessageDlg, OkGivesOneEveryOtherCloseGivesTwo) {
    CMessageDlg dlg;
    dlg.m_okText = "OK";
    dlg.m_cancelText = "Cancel";
    EXPECT_EQ(RunWith(dlg, [](CMessageDlg& d) { d.OkButton()->click(); }), 1);
    EXPECT_EQ(RunWith(dlg, [](CMessageDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }), 2);
    EXPECT_EQ(RunWith(dlg, [](CMessageDlg& d) { d.close(); }), 2);
    dlg.m_showCancel = true;
    EXPECT_EQ(RunWith(dlg, [](CMessageDlg& d) { d.CancelButton()->click(); }), 2);
    // A long-lived box run again shows the new text.
    dlg.m_text = "second";
    EXPECT_EQ(RunWith(dlg, [](CMessageDlg& d) { d.OkButton()->click(); }), 1);
    EXPECT_EQ(dlg.TextLabel()->text(), "second");
}

// ---- Icon button ------------------------------------------------------------------------------------

QPixmap Solid(QColor c) {
    QPixmap pm(8, 8);
    pm.fill(c);
    return pm;
}

class IconButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        button.resize(100, 40);
        button.SetNormalBackground(QColor(0, 0, 255));
        button.SetHoverBackground(QColor(255, 0, 0));
    }
    QRgb Probe(QPoint at = QPoint(90, 35)) { return button.grab().toImage().pixel(at); }
    CIconButton button{"OK"};
};

TEST_F(IconButtonTest, OnlyHoverIconServesBothStates) {
    button.SetIcon(Solid(Qt::green), QPixmap(), 8, 8);
    EXPECT_EQ(button.CurrentIcon().toImage().pixel(0, 0), QColor(Qt::green).rgb());
    button.TrackMouse(QPoint(10, 10), false);
    ASSERT_TRUE(button.IsHovered());
    EXPECT_EQ(button.CurrentIcon().toImage().pixel(0, 0), QColor(Qt::green).rgb());
}

TEST_F(IconButtonTest, HoverLightsUpAndLeavingEndsIt) {
    button.SetIcon(Solid(Qt::green), Solid(Qt::yellow), 8, 8);
    EXPECT_EQ(Probe(), QColor(0, 0, 255).rgb());
    EXPECT_EQ(button.CurrentIcon().toImage().pixel(0, 0), QColor(Qt::yellow).rgb());

    button.TrackMouse(QPoint(10, 10), false);
    EXPECT_TRUE(button.IsHovered());
    EXPECT_EQ(Probe(), QColor(255, 0, 0).rgb());
    EXPECT_EQ(button.CurrentIcon().toImage().pixel(0, 0), QColor(Qt::green).rgb());

    button.TrackMouse(QPoint(20, 20), false);  // still inside
    EXPECT_TRUE(button.IsHovered());
    button.TrackMouse(QPoint(150, 20), false);
    EXPECT_FALSE(button.IsHovered());
    EXPECT_EQ(Probe(), QColor(0, 0, 255).rgb());
}

TEST_F(IconButtonTest, DragFromOutsideDoesNotLightUpButLeavingWhilePressedEndsHover) {
    button.TrackMouse(QPoint(10, 10), true);
    EXPECT_FALSE(button.IsHovered());
    button.TrackMouse(QPoint(10, 10), false);
    ASSERT_TRUE(button.IsHovered());
    button.TrackMouse(QPoint(-5, 10), true);
    EXPECT_FALSE(button.IsHovered());
}

TEST_F(IconButtonTest, PressedUsesHoverLookAndFocusLossEndsHover) {
    button.setDown(true);
    EXPECT_EQ(Probe(QPoint(50, 35)), QColor(255, 0, 0).rgb());
    button.setDown(false);
    button.TrackMouse(QPoint(10, 10), false);
    ASSERT_TRUE(button.IsHovered());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&button, &out);
    EXPECT_FALSE(button.IsHovered());
}

TEST_F(IconButtonTest, RaisedButtonNeverHoversAndHasEdges) {
    button.SetFlat(false);
    button.TrackMouse(QPoint(10, 10), false);
    EXPECT_FALSE(button.IsHovered());
    const QImage img = button.grab().toImage();
    EXPECT_NE(img.pixel(0, 20), QColor(0, 0, 255).rgb());  // the raised edge
    EXPECT_EQ(img.pixel(50, 20), QColor(0, 0, 255).rgb());
}

TEST_F(IconButtonTest, DialogIconsExist) {
    EXPECT_FALSE(LoadResourceIcon(153, 32, 32).isNull());
    EXPECT_FALSE(LoadResourceIcon(155, 32, 32).isNull());
    EXPECT_EQ(LoadResourceIcon(153, 32, 32).size(), QSize(32, 32));
}

// ---- Setup dialogs ----------------------------------------------------------------------------------

TEST(SetupDialogs, TextsAndButtons) {
    CSystemSetupDlg system;
    EXPECT_EQ(system.windowTitle(), "System Setup");
    EXPECT_EQ(system.OkButton()->text(), "OK");
    EXPECT_FALSE(system.OkButton()->CurrentIcon().isNull());
    EXPECT_FALSE(system.CancelButton()->CurrentIcon().isNull());

    CAllConfigDlg all;
    EXPECT_FALSE(all.SaveAllButton()->isEnabled());
    EXPECT_FALSE(all.DefaultAllButton()->isEnabled());
    EXPECT_FALSE(all.BackupAllButton()->isEnabled());
    EXPECT_EQ(all.ExitButton()->text(), "Exit");

    CUserSetupDlg user("quill");
    EXPECT_EQ(user.windowTitle(), "User Setup");
    EXPECT_EQ(user.GroupCombo()->count(), 1);
    EXPECT_EQ(user.GroupCombo()->currentIndex(), 0);
    EXPECT_EQ(user.NewPasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(user.UserEdit()->maxLength(), 32);
}

// The texts of a dialog's labels and push buttons, in the order they were made.
QStringList Texts(const QWidget& dialog) {
    QStringList texts;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        else if (auto* button = qobject_cast<QPushButton*>(w))
            texts << "[" + button->text() + "]";
    }
    return texts;
}

TEST(SetupDialogs, LabelsAndButtonTexts) {
    CUserSetupDlg user("quill");
    CSystemSetupDlg system;
    CAllConfigDlg all;
    const struct {
        const QWidget* dialog;
        QStringList texts;
    } cases[] = {
        {&user,
         {"[OK]", "[Cancel]",
          "User Name:", "User Group:", "Old Password:", "New Password:", "Password Confirm:"}},
        {&system, {"[OK]", "[Cancel]", "Query Time Span", "Minute"}},
        {&all, {"[Save All Config.]", "[Default All Config.]", "[Backup All Config.]", "[Exit]"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Texts(*c.dialog), c.texts) << c.dialog->windowTitle().toStdString();
}

class UserSetupTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(SettingsFilePath()); }
    void TearDown() override { std::filesystem::remove(SettingsFilePath()); }
    static std::string Apply(const std::string& user, const std::string& old, const std::string& pw,
                             const std::string& confirm) {
        return CUserSetupDlg::ApplyUserSetup(user, old, pw, confirm, kDefaultLogin);
    }
};

TEST_F(UserSetupTest, RefusalsInOrderAndNothingStored) {
    const std::string long33(33, 'a');
    struct Case {
        const char* user;
        const char* old;
        std::string pw, confirm;
        const char* message;
    } cases[] = {
        {"", "quill", "x", "x", "Please input user name."},
        {"admin", "quill", "", "", "Please input password."},
        {"admin", "quill", "Secret", "secret", "Confirm password are not consistent to Password."},
        {"admin", "wrong", "x", "x", "Old password error!"},
        {"admin", "Quill", "x", "x", "Old password error!"},
        {"admin", "quill", long33, long33, "Password should not exceed 32 characters."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Apply(c.user, c.old, c.pw, c.confirm), c.message) << c.user << "/" << c.pw;
    }
    EXPECT_EQ(Apply(long33, "quill", "x", "x"), "User name should not exceed 32 characters.");
    EXPECT_FALSE(std::filesystem::exists(SettingsFilePath()));
    EXPECT_TRUE(CheckLogin("quill", "quill"));
}

TEST_F(UserSetupTest, StoresBothAndChangesTheLogin) {
    const std::string name32(32, 'n');
    ASSERT_EQ(Apply(name32, "quill", "s3cret", "s3cret"), "");
    EXPECT_TRUE(CheckLogin(name32, "s3cret"));
    EXPECT_FALSE(CheckLogin("quill", "quill"));
    EXPECT_FALSE(CheckLogin(name32, "S3cret"));

    // The old password is now the stored one, not the built-in one.
    EXPECT_EQ(Apply("op", "quill", "next", "next"), "Old password error!");
    ASSERT_EQ(Apply("op", "s3cret", "next", "next"), "");
    EXPECT_TRUE(CheckLogin("op", "next"));

    const auto perms = std::filesystem::status(SettingsFilePath()).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(UserSetupTest, DialogShowsEachMessageAndStaysOpen) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    CUserSetupDlg dlg(kDefaultLogin);
    dlg.show();
    dlg.UserEdit()->setText("admin");
    dlg.OldPasswordEdit()->setText("quill");
    dlg.NewPasswordEdit()->setText("abc");
    dlg.ConfirmEdit()->setText("abd");
    dlg.OkButton()->click();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "Confirm password are not consistent to Password.");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.NewPasswordEdit()->text(), "abc");

    dlg.ConfirmEdit()->setText("abc");
    dlg.OkButton()->click();
    EXPECT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(CheckLogin("admin", "abc"));
}

}  // namespace dialogs_test
}  // namespace nms
