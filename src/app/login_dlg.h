// The login dialog of the start: user name and password, both "quill" at first. OK closes only on a login
// that CheckLogin accepts; a refused one says so and the dialog stays.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace nms {

class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLoginDlg(QWidget* parent = nullptr);

    std::string m_userName;  // UTF-8 as typed
    std::string m_password;

    static QString Caption();

    void OnInitDialog();
    bool OnOK();
    // 1 when logged in, 2 otherwise.
    int DoModal();

    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* PasswordEdit() const { return m_pass; }

private:
    QLineEdit* m_user;
    QLineEdit* m_pass;
};

}  // namespace nms
