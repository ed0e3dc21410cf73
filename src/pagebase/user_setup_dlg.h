// User Setup: changes the stored login (user name and password). Every refusal keeps the dialog open with
// what was typed.
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;

namespace nms {

class CIconButton;

class CUserSetupDlg : public QDialog {
    Q_OBJECT
public:
    // defaultLogin: the built-in password that counts as the old one while nothing is stored.
    explicit CUserSetupDlg(const std::string& defaultLogin, QWidget* parent = nullptr);

    // The check and the store behind OK. Texts are UTF-8 as typed. Returns the refusal message, or an
    // empty string when the new login was stored.
    static std::string ApplyUserSetup(const std::string& user, const std::string& oldPassword,
                                      const std::string& newPassword, const std::string& confirm,
                                      const std::string& defaultLogin);

    std::string m_userName;
    std::string m_oldPassword;
    std::string m_newPassword;
    std::string m_confirmPassword;

    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* OldPasswordEdit() const { return m_old; }
    QLineEdit* NewPasswordEdit() const { return m_new; }
    QLineEdit* ConfirmEdit() const { return m_confirm; }
    QComboBox* GroupCombo() const { return m_group; }
    CIconButton* OkButton() const { return m_ok; }
    CIconButton* CancelButton() const { return m_cancel; }

    void OnOK();

private:
    std::string m_defaultLogin;
    QLineEdit* m_user;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_confirm;
    QComboBox* m_group;
    CIconButton* m_ok;
    CIconButton* m_cancel;
};

}  // namespace nms
