#include "app/login_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/login_registry.h"
#include "pagebase/icon_button.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

std::string ToCodePage(const std::string& utf8) {
    std::string gbk;
    return Utf8ToGbk(utf8, &gbk) ? gbk : utf8;
}

}  // namespace

QString CLoginDlg::Caption() {
    return QString::asprintf("%s(%s:%d.%02d)%s", "Login", "Version", 5, 21,
                             "DVB Network Management Software");
}

CLoginDlg::CLoginDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(Caption());
    const QPixmap icon = LoadResourceIcon(128, 32, 32);
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));
    m_user = new QLineEdit(this);
    m_pass = new QLineEdit(this);
    m_user->setMaxLength(kLoginFieldChars);
    m_pass->setMaxLength(kLoginFieldChars);
    m_pass->setEchoMode(QLineEdit::Password);
    m_userName = m_password = kDefaultLogin;
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (OnOK())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("User Name:", this), 0, 0);
    grid->addWidget(m_user, 0, 1);
    grid->addWidget(new QLabel("Password:", this), 1, 0);
    grid->addWidget(m_pass, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void CLoginDlg::OnInitDialog() {
    m_user->setText(QString::fromStdString(m_userName));
    m_pass->setText(QString::fromStdString(m_password));
}

bool CLoginDlg::OnOK() {
    m_userName = m_user->text().toStdString();
    m_password = m_pass->text().toStdString();
    if (CheckLogin(ToCodePage(m_userName), ToCodePage(m_password)))
        return true;
    ShowMessageBox("User name or password error!");
    return false;
}

int CLoginDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

}  // namespace nms
