#include "pages/psi/add_element_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "pages/psi/psi_hex.h"
#include "platform/prompt.h"

namespace nms {
namespace {

const char kNotHex[] = "should be 0-9,a-f or A-F!";

std::string Text(const QLineEdit* edit) {
    return edit->text().toStdString();
}

}  // namespace

CAddElementDlg::CAddElementDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Add Element");
    auto* grid = new QGridLayout(this);
    m_typeEdit = new QLineEdit(this);
    m_typeEdit->setMaxLength(2);
    m_pidEdit = new QLineEdit(this);
    m_pidEdit->setMaxLength(4);
    m_descriptorTypeEdit = new QLineEdit(this);
    m_descriptorTypeEdit->setMaxLength(2);
    m_descriptorDataEdit = new QLineEdit(this);
    m_descriptorDataEdit->setMaxLength(256);
    grid->addWidget(new QLabel("Elem. Type:(0X)", this), 0, 0);
    grid->addWidget(m_typeEdit, 0, 1);
    grid->addWidget(new QLabel("PID(0x):", this), 0, 2);
    grid->addWidget(m_pidEdit, 0, 3);
    grid->addWidget(new QLabel("Descriptor Type(0X)", this), 1, 0);
    grid->addWidget(m_descriptorTypeEdit, 1, 1);
    grid->addWidget(new QLabel("Descriptor Data(0X)", this), 1, 2);
    grid->addWidget(m_descriptorDataEdit, 1, 3);
    m_addDescriptorButton = new QPushButton("Add Descriptor", this);
    grid->addWidget(m_addDescriptorButton, 1, 4);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({"Descriptor Type(0X)", "Descriptor Data(0X)"});
    m_list->header()->resizeSection(0, 100);
    m_list->header()->resizeSection(1, 350);
    m_list->headerItem()->setTextAlignment(0, Qt::AlignCenter);
    grid->addWidget(m_list, 2, 0, 1, 5);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    grid->addWidget(buttons, 3, 0, 1, 5);
    connect(m_addDescriptorButton, &QPushButton::clicked, this, &CAddElementDlg::OnAddDescriptor);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddElementDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CAddElementDlg::OnAddDescriptor() {
    std::string type = Text(m_descriptorTypeEdit);
    std::string data = Text(m_descriptorDataEdit);
    if (type.empty()) {
        ShowMessageBox("Descriptor Type(0X) should not be empty!");
        return;
    }
    if (!psihex::IsHex(type)) {
        ShowMessageBox(std::string("Descriptor Type(0X) ") + kNotHex);
        return;
    }
    if (!psihex::IsHex(data)) {
        ShowMessageBox(std::string("Descriptor Data(0X) ") + kNotHex);
        return;
    }
    auto* row = new QTreeWidgetItem(m_list, {QString::fromStdString(type), QString::fromStdString(data)});
    row->setTextAlignment(0, Qt::AlignCenter);
}

void CAddElementDlg::OnOK() {
    std::string type = Text(m_typeEdit);
    std::string pid = Text(m_pidEdit);
    if (type.empty()) {
        ShowMessageBox("Element Type is empty!");
        return;
    }
    if (!psihex::IsHex(type)) {
        ShowMessageBox(std::string("Elem. Type:(0X) ") + kNotHex);
        return;
    }
    if (pid.empty()) {
        ShowMessageBox("PID is empty!");
        return;
    }
    if (!psihex::IsHex(pid)) {
        ShowMessageBox(std::string("PID(0x): ") + kNotHex);
        return;
    }
    uint32_t pidValue = psihex::ToUInt32(pid);
    if (pidValue > 0x1FFF) {
        ShowMessageBox("Please enter an integer between 0x0 and 0x1fff.");
        return;
    }
    m_streamType = static_cast<uint8_t>(psihex::ToUInt32(type));
    m_pid = static_cast<uint16_t>(pidValue);
    m_descriptors.clear();
    m_total = 0;
    for (int i = 0; i < m_list->topLevelItemCount() && m_total <= 400; ++i) {
        QTreeWidgetItem* row = m_list->topLevelItem(i);
        std::string rowType = row->text(0).toStdString();
        std::string rowData = row->text(1).toStdString();
        PsiDescriptorRow d;
        d.tag = static_cast<uint8_t>(psihex::ToUInt32(rowType));
        // Pairs of digits; an odd last one is dropped.
        for (size_t k = 0; k + 1 < rowData.size(); k += 2)
            d.data.push_back(psihex::PairToByte(rowData[k], rowData[k + 1]));
        m_total += 2 + static_cast<int>(d.data.size());
        m_descriptors.push_back(std::move(d));
    }
    accept();
}

}  // namespace nms
