#include "pages/scrambler/ac_edit_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

CAcEditDlg::CAcEditDlg(QWidget* parent) : QDialog(parent) {
    m_numberEdit = new QLineEdit(this);
    m_numberEdit->setReadOnly(true);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setMaxLength(256);
    m_dataEdit = new QLineEdit(this);
    m_dataEdit->setMaxLength(kAcDataTextMax);
    m_ecmEdit = new QLineEdit(this);
    m_ecmEdit->setMaxLength(4);
    m_ecmEdit->setEnabled(false);
    auto* form = new QFormLayout;
    form->addRow("AC NO.", m_numberEdit);
    form->addRow("AC Index", m_nameEdit);
    form->addRow("AC Data", m_dataEdit);
    form->addRow("ECM ID: 0x", m_ecmEdit);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAcEditDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CAcEditDlg::OnInitDialog() {
    setWindowTitle(m_editMode ? "Edit AC" : "Add AC");
    m_numberEdit->setText(QString::number(m_number));
    m_nameEdit->setText(QString::fromStdString(GbkToUtf8(m_name)));
    m_dataEdit->setText(QString::fromStdString(m_dataText));
    m_ecmEdit->setText(QString::fromStdString(m_ecmText));
}

int CAcEditDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CAcEditDlg::OnOK() {
    std::string name;
    const std::string data = m_dataEdit->text().toStdString();
    const std::string ecm = m_ecmEdit->text().toStdString();
    AcRecord record;
    // A name the code page cannot hold goes no further than the name check.
    const bool converted = Utf8ToGbk(m_nameEdit->text().toStdString(), &name);
    const std::string error =
        converted ? CheckAcEntry(name, data, ecm, &record) : "AC name error!(length should between 1-128)";
    if (!error.empty()) {
        ShowMessageBox(error);
        return;
    }
    m_name = name;
    m_dataText = data;
    m_ecmText = ecm;
    m_record = std::move(record);
    accept();
}

}  // namespace nms
