#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <filesystem>

#include "app/about_dlg.h"
#include "app/login_dlg.h"
#include "app/login_registry.h"
#include "platform/prompt.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"
#include "qt_app_environment.h"

namespace nms {
namespace login_test {

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove(SettingsFilePath());
        SetDeviceListPath("");
    }
    void TearDown() override { std::filesystem::remove(SettingsFilePath()); }
    static void Store(const std::string& user, const std::string& password) {
        ASSERT_EQ(WriteLoginToRegistry(EncodeLoginText(user), EncodeLoginText(password)), 1);
    }
};

// A store whose values do not decode is reported with its path and counts as nothing stored; a file
// that others may read is made owner-only when read.
TEST_F(LoginTest, DamagedStoreIsReportedAndIgnored) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    ASSERT_EQ(WriteLoginToRegistry("YWRtaW4=", "%%%not base64"), 1);
    ::chmod(SettingsFilePath().c_str(), 0644);
    EXPECT_TRUE(CheckLogin("quill", "quill"));
    EXPECT_FALSE(CheckLogin("admin", "x"));
    ASSERT_EQ(prompt.shown.size(), 1u);  // once
    EXPECT_NE(prompt.shown[0].text.find(SettingsFilePath()), std::string::npos);
    EXPECT_EQ(std::filesystem::status(SettingsFilePath()).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // A new login stored by User Setup works again.
    Store("admin", "Pa55");
    EXPECT_TRUE(CheckLogin("admin", "Pa55"));

    const struct {
        const char* text;
        bool valid;
    } texts[] = {{"YWRtaW4=", true}, {"", true},       {"YWRtaW4", false}, {"YW=taW4=", false},
                 {"YQ==", true},     {"YQ===", false}, {"Y*Rt", false},    {"AAAA", false /* NUL */}};
    for (const auto& t : texts)
        EXPECT_EQ(IsStoredLoginText(t.text), t.valid) << t.text;
}

TEST_F(LoginTest, CheckTable) {
    struct Case {
        const char* storedUser;  // null: nothing stored
        const char* storedPassword;
        const char* user;
        const char* password;
        bool accepted;
    } cases[] = {
        {nullptr, nullptr, "quill", "quill", true},
        {nullptr, nullptr, "quill", "quill2", false},
        {nullptr, nullptr, "quill", "", false},
        {nullptr, nullptr, "Quill", "quill", false},
        {nullptr, nullptr, "admin", "quill", false},
        {"admin", "Pa55", "admin", "Pa55", true},
        {"admin", "Pa55", "quill", "quill", false},
        {"admin", "Pa55", "admin", "pa55", false},
        {"admin", "Pa55", "Admin", "Pa55", false},
        {"quill", "quill", "quill", "quill", true},
        {"\xD6\xD0", "\xCE\xC4", "\xD6\xD0", "\xCE\xC4", true},  // code-page bytes
    };
    for (const Case& c : cases) {
        std::filesystem::remove(SettingsFilePath());
        if (c.storedUser)
            Store(c.storedUser, c.storedPassword);
        EXPECT_EQ(CheckLogin(c.user, c.password), c.accepted)
            << (c.storedUser ? c.storedUser : "(none)") << " " << c.user << "/" << c.password;
    }
}

TEST_F(LoginTest, StoredValuesAreBase64AndTheFileIsPrivate) {
    Store("quill", "ab");
    QFile file(QString::fromStdString(SettingsFilePath()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("user=\"cXVpbGw=\"")) << text.constData();
    EXPECT_TRUE(text.contains("password=\"YWI=\"")) << text.constData();
    std::string user, password;
    ASSERT_EQ(ReadLoginFromRegistry(&user, &password), 1);
    EXPECT_EQ(user, "cXVpbGw=");
    EXPECT_EQ(DecodeLoginText(password), "ab");
    const auto perms =
        std::filesystem::status(SettingsFilePath()).permissions() & std::filesystem::perms::all;
    EXPECT_EQ(perms, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // A file made readable by others is made private again at the next write.
    std::filesystem::permissions(SettingsFilePath(), std::filesystem::perms::others_read,
                                 std::filesystem::perm_options::add);
    ASSERT_EQ(WriteDevicePathToRegistry("/tmp/list.db"), 1);
    EXPECT_EQ(std::filesystem::status(SettingsFilePath()).permissions() & std::filesystem::perms::all, perms);
}

TEST_F(LoginTest, PathIsReadOnlyWithStoredCredentials) {
    ASSERT_EQ(WriteDevicePathToRegistry("/data/other.db"), 1);
    std::string user, password;
    EXPECT_EQ(ReadLoginFromRegistry(&user, &password), 0);
    EXPECT_TRUE(CheckLogin("quill", "quill"));
    EXPECT_EQ(DeviceListPath(), "");

    Store("op", "pw");
    EXPECT_TRUE(CheckLogin("op", "pw"));
    EXPECT_EQ(DeviceListPath(), "/data/other.db");
    // Writing the login keeps the path, writing the path keeps the login.
    ASSERT_EQ(WriteDevicePathToRegistry(""), 1);
    EXPECT_TRUE(CheckLogin("op", "pw"));
    EXPECT_EQ(DeviceListPath(), "");
}

TEST_F(LoginTest, DialogCaptionDefaultsAndRefusal) {
    ScriptedPrompt prompt;
    ScopedPrompt scope(&prompt);
    CLoginDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "Login(Version:5.21)DVB Network Management Software");
    dlg.OnInitDialog();
    EXPECT_EQ(dlg.UserEdit()->text(), "quill");
    EXPECT_EQ(dlg.PasswordEdit()->text(), "quill");
    EXPECT_EQ(dlg.PasswordEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dlg.UserEdit()->maxLength(), 32);
    EXPECT_EQ(dlg.PasswordEdit()->maxLength(), 32);
    QStringList texts;
    for (QWidget* w : dlg.findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        else if (auto* button = qobject_cast<QPushButton*>(w))
            texts << "[" + button->text() + "]";
    }
    EXPECT_EQ(texts, QStringList({"[OK]", "[Cancel]", "User Name:", "Password:"}));

    Store("op", "pw");
    int result = 0;
    QTimer::singleShot(0, &dlg, [&] {
        for (QPushButton* b : dlg.findChildren<QPushButton*>()) {
            if (b->text() == "OK")
                b->click();  // quill/quill: refused, stays open
        }
        EXPECT_TRUE(dlg.isVisible());
        dlg.UserEdit()->setText("op");
        dlg.PasswordEdit()->setText("pw");
        for (QPushButton* b : dlg.findChildren<QPushButton*>()) {
            if (b->text() == "OK")
                b->click();
        }
    });
    result = dlg.exec();
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, "User name or password error!");

    CLoginDlg cancelled;
    QTimer::singleShot(0, &cancelled, [&] { cancelled.reject(); });
    EXPECT_EQ(cancelled.DoModal(), 2);
}

TEST(AboutDlg, VersionText) {
    CAboutDlg dlg;
    EXPECT_EQ(dlg.VersionLabel()->text(), "Version:5.21");
}

TEST(SingleInstance, SecondStartRaisesTheFirstAndGivesUp) {
    const QString lock = QString::fromStdString(SettingsFilePath()) + ".test.lock";
    SingleInstance first(lock);
    ASSERT_TRUE(first.Acquire());
    QSignalSpy raised(&first, &SingleInstance::activationRequested);

    SingleInstance second(lock);
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(raised.count() > 0 || raised.wait(5000));
    EXPECT_EQ(raised.count(), 1);
}

TEST(SingleInstance, FreedLockCanBeTakenAgain) {
    const QString lock = QString::fromStdString(SettingsFilePath()) + ".test2.lock";
    {
        SingleInstance first(lock);
        ASSERT_TRUE(first.Acquire());
    }
    SingleInstance next(lock);
    EXPECT_TRUE(next.Acquire());
}

}  // namespace login_test
}  // namespace nms
