#include "pages/psi/add_descriptor_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pages/psi/psi_hex.h"
#include "platform/prompt.h"

namespace nms {

CAddDescriptorDlg::CAddDescriptorDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Add Descriptor");
    auto* grid = new QGridLayout(this);
    m_typeEdit = new QLineEdit(this);
    m_dataEdit = new QLineEdit(this);
    grid->addWidget(new QLabel("Type:", this), 0, 0);
    grid->addWidget(m_typeEdit, 0, 1);
    grid->addWidget(new QLabel("Data:0x", this), 1, 0);
    grid->addWidget(m_dataEdit, 1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    grid->addWidget(buttons, 2, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddDescriptorDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CAddDescriptorDlg::OnOK() {
    std::string type = m_typeEdit->text().toStdString();
    std::string data = m_dataEdit->text().toStdString();
    if (type.empty()) {
        ShowMessageBox("Element Type is empty!");
        return;
    }
    if (!psihex::IsHex(type)) {
        ShowMessageBox("should be 0-9,a-f or A-F!");
        return;
    }
    // The tag is one byte and the data's length one byte: larger values would be cut.
    if (type.size() > 8 || psihex::ToUInt32(type) > 0xFF) {
        ShowMessageBox("Please enter an integer between 0x0 and 0xff.");
        return;
    }
    if (data.size() % 2 != 0 || data.size() > 510) {
        ShowMessageBox(psihex::Format("Data lenght error:%d", static_cast<int>(data.size())));
        return;
    }
    if (!psihex::IsHex(data)) {
        ShowMessageBox("should be 0-9,a-f or A-F!");
        return;
    }
    m_tag = static_cast<uint8_t>(psihex::ToUInt32(type));
    m_dataText = data;
    m_data.clear();
    for (size_t i = 0; i + 1 < data.size(); i += 2)
        m_data.push_back(psihex::PairToByte(data[i], data[i + 1]));
    accept();
}

}  // namespace nms
