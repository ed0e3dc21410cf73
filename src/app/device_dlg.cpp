#include "app/device_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "devices/device_type_catalogue.h"
#include "platform/codepage.h"
#include "platform/ip_address_edit.h"
#include "platform/prompt.h"

namespace nms {
namespace {

std::string ToCodePage(const QString& text) {
    std::string gbk;
    return Utf8ToGbk(text.toStdString(), &gbk) ? gbk : text.toStdString();
}

}  // namespace

void LimitCodePageBytes(QLineEdit* edit, int maxBytes) {
    edit->setMaxLength(maxBytes);
    auto last = std::make_shared<QString>(edit->text());
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, maxBytes, last](const QString& text) {
        std::string gbk;
        if (Utf8ToGbk(text.toStdString(), &gbk) && int(gbk.size()) <= maxBytes) {
            *last = text;
            return;
        }
        const int cursor = edit->cursorPosition();
        edit->setText(*last);
        edit->setCursorPosition(qMin(cursor, int(last->size())));
    });
}

CDeviceDlg::CDeviceDlg(QWidget* parent) : QDialog(parent) {
    m_type = new QComboBox(this);
    m_name = new QLineEdit(this);
    LimitCodePageBytes(m_name, kNameFieldMaxBytes);
    m_addressCtrl = new CIPAddressCtrl(this);
    m_portEdit = new QLineEdit(this);
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (OnOK())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Device Type", this), 0, 0);
    grid->addWidget(m_type, 0, 1);
    grid->addWidget(new QLabel("Device Name", this), 1, 0);
    grid->addWidget(m_name, 1, 1);
    grid->addWidget(new QLabel("IP Address", this), 2, 0);
    grid->addWidget(m_addressCtrl, 2, 1);
    grid->addWidget(new QLabel("Port:", this), 3, 0);
    grid->addWidget(m_portEdit, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void CDeviceDlg::OnInitDialog() {
    setWindowTitle(m_editMode ? "Edit Device" : "Add Device");
    m_type->clear();
    for (int row = 0; row < DeviceTypeCount(); ++row)
        m_type->addItem(QString::fromUtf8(DeviceTypeAt(row).name));
    m_type->setCurrentIndex(m_typeName.empty() ? -1
                                               : m_type->findText(QString::fromStdString(m_typeName),
                                                                  Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_name->setText(QString::fromStdString(GbkToUtf8(m_deviceName)));
    if (!m_addressCtrl->SetAddressText(m_address))
        m_addressCtrl->ClearAddress();
    m_portEdit->setText(QString::number(m_port));
}

bool CDeviceDlg::OnOK() {
    bool isNumber = false;
    const QString portText = m_portEdit->text().trimmed();
    const qlonglong port = portText.toLongLong(&isNumber);
    if (!isNumber) {
        // A text too long for any number is still a number the field cannot take.
        static const QRegularExpression digits("^[+-]?[0-9]+$");
        if (!digits.match(portText).hasMatch()) {
            ShowMessageBox("Please enter an integer.");
            m_portEdit->setFocus();
            return false;
        }
    }
    m_deviceName = ToCodePage(m_name->text());
    m_address = m_addressCtrl->GetAddressText();
    m_typeName = m_type->currentIndex() >= 0 ? m_type->currentText().toStdString() : std::string();

    if (m_deviceName.empty()) {
        ShowMessageBox("Device Name should not be empty!");
        return false;
    }
    if (m_typeName.empty()) {
        ShowMessageBox("Please select device type!");
        return false;
    }
    if (!isNumber || port <= 0 || port > 65535) {
        ShowMessageBox("Port range should be between 0-65535!");
        return false;
    }
    m_port = int(port);
    return true;
}

int CDeviceDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

}  // namespace nms
