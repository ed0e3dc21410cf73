#include "pagebase/message_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace nms {

CMessageDlg::CMessageDlg(QWidget* parent) : QDialog(parent) {
    m_label = new QLabel(this);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    m_label->setMinimumWidth(220);
    m_ok = new QPushButton(this);
    m_cancel = new QPushButton(this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label, 1);
    layout->addLayout(buttons);
}

void CMessageDlg::OnInitDialog() {
    m_cancel->setVisible(m_showCancel);
    setWindowTitle(m_caption.empty() ? QStringLiteral("Warning") : QString::fromStdString(m_caption));
    m_label->setText(QString::fromStdString(m_text));
    m_ok->setText(QString::fromStdString(m_okText));
    m_cancel->setText(QString::fromStdString(m_cancelText));
}

int CMessageDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

}  // namespace nms
