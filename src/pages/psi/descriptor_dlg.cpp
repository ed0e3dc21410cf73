#include "pages/psi/descriptor_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pages/psi/psi_hex.h"
#include "platform/prompt.h"

namespace nms {

CDescriptorDlg::CDescriptorDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Insert Description");
    auto* grid = new QGridLayout(this);
    m_tagEdit = new QLineEdit(this);
    m_tagEdit->setMaxLength(2);
    m_lengthEdit = new QLineEdit(this);
    m_contentEdit = new QLineEdit(this);
    m_contentEdit->setMaxLength(512);
    grid->addWidget(new QLabel("Tag:0X", this), 0, 0);
    grid->addWidget(m_tagEdit, 0, 1);
    grid->addWidget(new QLabel("Length", this), 1, 0);
    grid->addWidget(m_lengthEdit, 1, 1);
    grid->addWidget(new QLabel("Description Info", this), 2, 0);
    grid->addWidget(m_contentEdit, 2, 1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    grid->addWidget(buttons, 3, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDescriptorDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CDescriptorDlg::OnOK() {
    std::string lengthText = m_lengthEdit->text().trimmed().toStdString();
    bool ok = false;
    int length = QString::fromStdString(lengthText).toInt(&ok);
    if (!ok) {
        ShowMessageBox("Please enter an integer.");
        return;
    }
    // A descriptor's length is one byte.
    if (length < 0 || length > 255) {
        ShowMessageBox("Please enter an integer between 0 and 255.");
        return;
    }
    std::string tag = m_tagEdit->text().toStdString();
    std::string content = m_contentEdit->text().toStdString();
    if (!psihex::IsHex(tag)) {
        ShowMessageBox("Tag should be 0-9,a-f or A-F!");
        return;
    }
    if (!psihex::IsHex(content)) {
        ShowMessageBox("Content should be 0-9,a-f or A-F!");
        return;
    }
    // Content is whole bytes: an odd last digit would be dropped.
    if (content.size() % 2 != 0) {
        ShowMessageBox(psihex::Format("Data lenght error:%d", static_cast<int>(content.size())));
        return;
    }
    if (2 * length < static_cast<int>(content.size())) {
        ShowMessageBox(
            "Description info should equal or less than length!\r(Tips: two HEX characters equal one "
            "description "
            "length)");
        return;
    }
    m_tag = tag;
    m_length = length;
    m_content = content;
    accept();
}

}  // namespace nms
