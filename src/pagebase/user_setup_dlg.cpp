#include "pagebase/user_setup_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/login_registry.h"
#include "pagebase/icon_button.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

// The store keeps code-page bytes, as the login dialog compares them.
std::string ToCodePage(const std::string& utf8) {
    std::string gbk;
    return Utf8ToGbk(utf8, &gbk) ? gbk : utf8;
}

int CharCount(const std::string& utf8) {
    return int(QString::fromStdString(utf8).size());
}

}  // namespace

CUserSetupDlg::CUserSetupDlg(const std::string& defaultLogin, QWidget* parent)
    : QDialog(parent), m_defaultLogin(defaultLogin) {
    setWindowTitle("User Setup");
    m_user = new QLineEdit(this);
    m_old = new QLineEdit(this);
    m_new = new QLineEdit(this);
    m_confirm = new QLineEdit(this);
    for (QLineEdit* e : {m_user, m_old, m_new, m_confirm})
        e->setMaxLength(kLoginFieldChars);
    for (QLineEdit* e : {m_old, m_new, m_confirm})
        e->setEchoMode(QLineEdit::Password);
    m_group = new QComboBox(this);
    m_group->clear();
    m_group->addItem("Administrator");
    m_group->setCurrentIndex(0);

    m_ok = new CIconButton("OK", this);
    m_cancel = new CIconButton("Cancel", this);
    m_ok->SetIcon(153, 0, 32, 32);
    m_cancel->SetIcon(155, 0, 32, 32);
    for (CIconButton* b : {m_ok, m_cancel})
        b->setMinimumSize(90, 40);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CUserSetupDlg::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* label, QWidget* field) {
        grid->addWidget(new QLabel(label, this), row, 0);
        grid->addWidget(field, row, 1);
        ++row;
    };
    addRow("User Name:", m_user);
    addRow("User Group:", m_group);
    addRow("Old Password:", m_old);
    addRow("New Password:", m_new);
    addRow("Password Confirm:", m_confirm);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

std::string CUserSetupDlg::ApplyUserSetup(const std::string& user, const std::string& oldPassword,
                                          const std::string& newPassword, const std::string& confirm,
                                          const std::string& defaultLogin) {
    if (user.empty())
        return "Please input user name.";
    if (newPassword.empty())
        return "Please input password.";
    // Longer credentials could be stored but never typed into the login dialog's fields.
    if (CharCount(user) > kLoginFieldChars)
        return "User name should not exceed 32 characters.";
    if (CharCount(newPassword) > kLoginFieldChars)
        return "Password should not exceed 32 characters.";
    if (newPassword != confirm)
        return "Confirm password are not consistent to Password.";

    std::string userBase64, passwordBase64;
    const std::string stored = ReadLoginFromRegistry(&userBase64, &passwordBase64)
                                   ? DecodeLoginText(passwordBase64)
                                   : ToCodePage(defaultLogin);
    if (stored != ToCodePage(oldPassword))
        return "Old password error!";

    if (!WriteLoginToRegistry(EncodeLoginText(ToCodePage(user)), EncodeLoginText(ToCodePage(newPassword)))) {
        return "Set new password failed!";
    }
    return {};
}

void CUserSetupDlg::OnOK() {
    m_userName = m_user->text().toStdString();
    m_oldPassword = m_old->text().toStdString();
    m_newPassword = m_new->text().toStdString();
    m_confirmPassword = m_confirm->text().toStdString();
    const std::string refusal =
        ApplyUserSetup(m_userName, m_oldPassword, m_newPassword, m_confirmPassword, m_defaultLogin);
    if (!refusal.empty()) {
        ShowMessageBox(refusal);
        return;
    }
    accept();
}

}  // namespace nms
