#include "pages/encoder/net_descriptor_dlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/codepage.h"

namespace nms {

CNetDescriptorDlg::CNetDescriptorDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Network Descriptor");
    m_edit = new QPlainTextEdit(this);
    m_edit->setMinimumSize(520, 320);
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CNetDescriptorDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
}

int CNetDescriptorDlg::DoModal() {
    m_edit->setPlainText(QString::fromStdString(GbkToUtf8(m_text)));
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CNetDescriptorDlg::OnOK() {
    // The edit keeps line feeds only; the device's lines end in carriage return and line feed.
    std::string text;
    const std::string utf8 = m_edit->toPlainText().replace("\n", "\r\n").toStdString();
    m_text = Utf8ToGbk(utf8, &text) ? text : utf8;
    accept();
}

}  // namespace nms
