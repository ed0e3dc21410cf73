// The start of the program: login before the main frame, and the commands the application object adds to it.
#include "app/velmora_app.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "app/about_dlg.h"
#include "app/command_ids.h"
#include "app/login_dlg.h"
#include "app/login_registry.h"
#include "app/main_frame.h"
#include "platform/prompt.h"
#include "platform/settings_store.h"
#include "qt_app_environment.h"

namespace nms {
namespace velmora_app_test {

void ClickButton(QWidget* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == text)
            b->click();
    }
}

class VelmoraAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(SettingsFilePath());
        SetDeviceListPath("");
    }
    void TearDown() override { std::filesystem::remove(SettingsFilePath()); }
    ScriptedPrompt prompt;
    ScopedPrompt scope{&prompt};
};

TEST_F(VelmoraAppTest, LoginComesFirstAndCancelEndsTheProgram) {
    QString title, user, password;
    QTimer::singleShot(0, [&] {
        auto* login = qobject_cast<CLoginDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(login, nullptr);
        title = login->windowTitle();
        user = login->UserEdit()->text();
        password = login->PasswordEdit()->text();
        ClickButton(login, "OK");
    });
    {
        CVelmoraApp app;
        EXPECT_TRUE(app.InitInstance());
    }
    EXPECT_EQ(title, "Login(Version:5.21)DVB Network Management Software");
    EXPECT_EQ(user, "quill");
    EXPECT_EQ(password, "quill");

    QTimer::singleShot(0, [] { ClickButton(QApplication::activeModalWidget(), "Cancel"); });
    CVelmoraApp cancelled;
    EXPECT_FALSE(cancelled.InitInstance());
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(VelmoraAppTest, StoredLoginBringsTheStoredListPath) {
    ASSERT_EQ(WriteDevicePathToRegistry("/srv/lists/site.db"), 1);
    ASSERT_EQ(WriteLoginToRegistry(EncodeLoginText("op"), EncodeLoginText("pw")), 1);
    QTimer::singleShot(0, [] {
        auto* login = qobject_cast<CLoginDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(login, nullptr);
        ClickButton(login, "OK");  // quill/quill: refused, the dialog stays
        login->UserEdit()->setText("op");
        login->PasswordEdit()->setText("pw");
        ClickButton(login, "OK");
    });
    CVelmoraApp app;
    EXPECT_TRUE(app.InitInstance());
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "User name or password error!");
    EXPECT_EQ(DeviceListPath(), "/srv/lists/site.db");
}

TEST_F(VelmoraAppTest, AttachEnablesAboutAndTheOperateCommands) {
    CMainFrame frame;
    CVelmoraApp app;
    app.AttachMainFrame(&frame);
    for (int id : {ID_APP_ABOUT, ID_SAVE_CONFIG, ID_RESTORE_FACTORY, ID_RELOAD_CONFIG, ID_IMPORT_CONFIG,
                   ID_EXPORT_CONFIG}) {
        ASSERT_NE(frame.CommandAction(id), nullptr) << id;
        EXPECT_TRUE(frame.CommandAction(id)->isEnabled()) << id;
    }
    bool about = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        about = box != nullptr;
        if (box)
            ClickButton(box, "OK");
    });
    frame.OnCommand(ID_APP_ABOUT);
    EXPECT_TRUE(about);
    // Nothing selected: the operations do nothing.
    frame.OnCommand(ID_RESTORE_FACTORY);
    frame.OnCommand(ID_EXPORT_CONFIG);
    EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace velmora_app_test
}  // namespace nms
