#include "pages/psi/network_descriptor_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pagebase/text_conversion.h"
#include "platform/prompt.h"

namespace nms {

CNetworkDescriptorDlg::CNetworkDescriptorDlg(QWidget* parent, int maxDataCharacters)
    : QDialog(parent), m_maxData(maxDataCharacters) {
    setWindowTitle("Network Descriptor");
    m_tagEdit = new QLineEdit(this);
    m_dataEdit = new QLineEdit(this);
    m_dataEdit->setMinimumWidth(360);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Tag:0X", this), 0, 0);
    grid->addWidget(m_tagEdit, 0, 1);
    grid->addWidget(new QLabel("Data:0X", this), 1, 0);
    grid->addWidget(m_dataEdit, 1, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 2, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNetworkDescriptorDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int CNetworkDescriptorDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CNetworkDescriptorDlg::OnInitDialog() {
    m_tagEdit->setText(QString::fromStdString(m_tagText));
    m_dataEdit->setText(QString::fromStdString(m_dataText));
}

void CNetworkDescriptorDlg::OnOK() {
    m_tagText = m_tagEdit->text().toStdString();
    m_dataText = m_dataEdit->text().toStdString();
    if (m_tagText.empty() || m_tagText.size() > 2) {
        ShowMessageBox("Tag length is 2 bytes");
        return;
    }
    if (!IsHexText(m_tagText)) {
        ShowMessageBox("should be 0-9,a-f or A-F!");
        return;
    }
    const uint8_t tag = HexTextToByte(m_tagText);
    if (tag == 0) {
        ShowMessageBox("Tag is error!");
        return;
    }
    if (static_cast<int>(m_dataText.size()) > m_maxData) {
        ShowMessageBox(m_maxData >= 511 ? std::string("Tag Max length is 255 bytes")
                                        : "Tag Max length is " + std::to_string(m_maxData / 2) + " bytes");
        return;
    }
    if (!IsHexText(m_dataText)) {
        ShowMessageBox("should be 0-9,a-f or A-F!");
        return;
    }
    m_tag = tag;
    // An odd last digit is no whole byte.
    m_data = m_dataText.substr(0, m_dataText.size() & ~size_t(1));
    accept();
}

}  // namespace nms
