#include "pages/mux/program_dlg_base.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "pagebase/text_conversion.h"
#include "pages/mux/edit_program_fields.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

CProgramDlgBase::CProgramDlgBase(QWidget* parent, const char* title) : QDialog(parent) {
    setWindowTitle(title);
    m_name = new QLineEdit(this);
    m_serviceId = new QLineEdit(this);
    m_pmt = new QLineEdit(this);
    m_pcr = new QLineEdit(this);
}

void CProgramDlgBase::MakeOkCancel() {
    m_ok = new QPushButton("OK", this);
    m_cancel = new QPushButton("Cancel", this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (OnOK())
            accept();
    });
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CProgramDlgBase::AddProgramRows(QGridLayout* grid) {
    int row = 0;
    grid->addWidget(new QLabel("Program Name:", this), row, 0);
    grid->addWidget(m_name, row++, 1, 1, 3);
    grid->addWidget(new QLabel("Service ID:", this), row, 0);
    grid->addWidget(m_serviceId, row++, 1);
    grid->addWidget(new QLabel("PMT PID: 0x", this), row, 0);
    grid->addWidget(m_pmt, row, 1);
    grid->addWidget(new QLabel("PCR PID: 0x", this), row, 2);
    grid->addWidget(m_pcr, row++, 3);
    return row;
}

void CProgramDlgBase::FinishLayout(QGridLayout* grid) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
}

bool CProgramDlgBase::NameToDevice(const QString& text, std::string* bytes) {
    if (Utf8ToGbk(text.toStdString(), bytes))
        return true;
    ShowMessageBox("Program name contains characters that the device cannot store.");
    m_name->setFocus();
    return false;
}

bool CProgramDlgBase::NameFits(size_t size, int maxBytes) {
    if (static_cast<int>(size) <= maxBytes)
        return true;
    ShowMessageBox(kProgramNameTooLong);
    m_name->setFocus();
    return false;
}

bool CProgramDlgBase::ReadNumbers(std::initializer_list<TypedNumber> numbers) {
    std::string message;
    for (const TypedNumber& n : numbers) {
        const std::string text = n.edit->text().toStdString();
        const bool ok = n.hex ? ParseHexField(text, 0xFFFF, n.value, &message)
                              : ParseDecimalField(text, 0xFFFF, n.value, &message);
        if (!ok) {
            ShowMessageBox(message);
            n.edit->setFocus();
            return false;
        }
    }
    return true;
}

bool CProgramDlgBase::OnOK() {
    return DoDataExchange(true);
}

int CProgramDlgBase::DoModal() {
    DoDataExchange(false);
    return exec() == QDialog::Accepted ? 1 : 2;
}

}  // namespace nms
