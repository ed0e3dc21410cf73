#include "pages/mux/add_pid_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/prompt.h"

namespace nms {

CAddPidDlg::CAddPidDlg(QWidget* parent) : QDialog(parent) {
    m_output = new QComboBox(this);
    m_output->addItems({"A", "B"});
    m_output->setCurrentIndex(-1);
    m_input = new QComboBox(this);
    m_oldPid = new QLineEdit(this);
    m_newPid = new QLineEdit(this);
    m_inputLabel = new QLabel(this);
    m_oldPidLabel = new QLabel(this);
    m_newPidLabel = new QLabel(this);
    m_outputLabel = new QLabel(this);
    const char* checkTexts[4] = {"C-1", "C-2", "C-3", "C-4"};
    for (int i = 0; i < 4; ++i)
        m_checks[i] = new QCheckBox(checkTexts[i], this);

    auto* grid = new QGridLayout;
    grid->addWidget(m_inputLabel, 0, 0);
    grid->addWidget(m_input, 0, 1);
    grid->addWidget(m_oldPidLabel, 1, 0);
    grid->addWidget(m_oldPid, 1, 1);
    grid->addWidget(m_newPidLabel, 2, 0);
    grid->addWidget(m_newPid, 2, 1);
    grid->addWidget(m_outputLabel, 3, 0);
    grid->addWidget(m_output, 3, 1);
    auto* checks = new QHBoxLayout;
    for (QCheckBox* box : m_checks)
        checks->addWidget(box);
    grid->addLayout(checks, 4, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { OnOK(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QCheckBox* box : m_checks)
        box->hide();
    m_outputLabel->hide();
    m_output->hide();
}

void CAddPidDlg::OnInitDialog() {
    setWindowTitle("Add PID");
    m_inputLabel->setText("ASI");
    m_oldPidLabel->setText("Old PID:0X");
    m_newPidLabel->setText("New PID:0X");
    const AddPidFields& f = m_fields;
    if (f.filterMode) {
        for (QWidget* w : std::initializer_list<QWidget*>{m_inputLabel, m_input, m_oldPid, m_oldPidLabel,
                                                          m_outputLabel, m_output})
            w->hide();
        for (QCheckBox* box : m_checks)
            box->hide();
        m_newPidLabel->setText("Filter PID:0X");
        m_output->setCurrentIndex(f.outputSelection);
        if (f.outputMode != 0) {
            m_outputLabel->setText("Out ASI");
            m_outputLabel->show();
            m_output->show();
        }
    } else {
        m_input->clear();
        for (int n = 1; n <= 8; ++n)
            m_input->addItem(QString::number(n));
        m_input->setCurrentIndex(f.input >= 1 && f.input <= 8 ? f.input - 1 : -1);
        m_output->setCurrentIndex(f.outputSelection >= 0 && f.outputSelection <= 1 ? f.outputSelection : -1);
        if (f.outputMode == 4) {
            for (int bit = 0; bit < 4; ++bit) {
                m_checks[bit]->setChecked(f.outputSelection >= 0 && (f.outputSelection >> bit) & 1);
                m_checks[bit]->show();
            }
        } else if (f.outputMode != 0) {
            m_outputLabel->setText("Out ASI");
            m_outputLabel->show();
            m_output->show();
        }
        m_input->setEnabled(f.inputFixed == 0);
    }
    m_oldPid->setText(QString::fromStdString(f.oldPid));
    m_newPid->setText(QString::fromStdString(f.newPid));
}

int CAddPidDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

bool CAddPidDlg::CheckPidText(const std::string& text) {
    const std::string message = CheckPidTextMessage(text);
    if (message.empty())
        return true;
    ShowMessageBox(message);
    return false;
}

bool CAddPidDlg::OnOK() {
    const std::string oldPid = m_oldPid->text().toStdString();
    const std::string newPid = m_newPid->text().toStdString();
    const std::string refusal = AddPidRefusal(oldPid, newPid, m_fields.filterMode != 0);
    if (!refusal.empty()) {
        ShowMessageBox(refusal);
        return false;
    }
    m_fields.oldPid = oldPid;
    m_fields.newPid = newPid;
    // Without a chosen input (the row named one the list does not offer) the row keeps its own.
    if (!m_fields.filterMode && m_input->currentIndex() >= 0)
        m_fields.input = static_cast<uint8_t>(m_input->currentIndex() + 1);
    if (m_fields.outputMode == 4) {
        uint8_t mask = 0;
        for (int bit = 0; bit < 4; ++bit)
            if (m_checks[bit]->isChecked())
                mask |= uint8_t(1u << bit);
        m_fields.input = mask;
    }
    m_fields.outputSelection = m_output->currentIndex();
    accept();
    return true;
}

}  // namespace nms
