#include "app/freq_node_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/device_dlg.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

CFreqNodeDlg::CFreqNodeDlg(QWidget* parent) : QDialog(parent) {
    m_name = new QLineEdit(this);
    LimitCodePageBytes(m_name, kNameFieldMaxBytes);
    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (OnOK())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Freq Node Name", this));
    row->addWidget(m_name, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void CFreqNodeDlg::OnInitDialog() {
    setWindowTitle(m_editMode ? "Edit Frequency Node" : "Add Frequency Node");
    m_name->setText(QString::fromStdString(GbkToUtf8(m_nodeName)));
}

bool CFreqNodeDlg::OnOK() {
    std::string gbk;
    const std::string utf8 = m_name->text().toStdString();
    m_nodeName = Utf8ToGbk(utf8, &gbk) ? gbk : utf8;
    if (m_nodeName.empty()) {
        ShowMessageBox("Frequency Node should not be empty!");
        return false;
    }
    return true;
}

int CFreqNodeDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

}  // namespace nms
