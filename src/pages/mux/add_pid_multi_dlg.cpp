#include "pages/mux/add_pid_multi_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace nms {

CAddPidMultiDlg::CAddPidMultiDlg(QWidget* parent) : QDialog(parent) {
    m_input = new QComboBox(this);
    m_oldPid = new QLineEdit(this);
    m_newPid = new QLineEdit(this);
    m_group = new QGroupBox(this);
    auto* boxes = new QGridLayout(m_group);
    for (int i = 0; i < 16; ++i) {
        m_checks[i] = new QCheckBox(QString("C-%1").arg(i + 1), m_group);
        boxes->addWidget(m_checks[i], i / 4, i % 4);
    }
    m_selectAll = new QCheckBox("Select All", this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Input", this), 0, 0);
    grid->addWidget(m_input, 0, 1);
    grid->addWidget(new QLabel("Old PID:0X", this), 1, 0);
    grid->addWidget(m_oldPid, 1, 1);
    grid->addWidget(new QLabel("New PID:0X", this), 2, 0);
    grid->addWidget(m_newPid, 2, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("OK");
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(m_group);
    column->addWidget(m_selectAll);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddPidMultiDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_selectAll, &QCheckBox::clicked, this, &CAddPidMultiDlg::OnSelectAll);
}

void CAddPidMultiDlg::OnInitDialog() {
    setWindowTitle("Add PID");
    const AddPidMultiFields& f = m_fields;
    m_input->clear();
    for (int n = 1; n <= f.inputCount; ++n)
        m_input->addItem(QString("%1").arg(n, 2, 10, QChar('0')));
    m_input->setEnabled(f.inputFixed == 0);
    m_input->setCurrentIndex(f.input >= 1 && f.input <= f.inputCount ? f.input - 1 : -1);
    const bool outputs = f.outputCount > 1;
    m_group->setVisible(outputs);
    m_selectAll->setVisible(outputs);
    for (int bit = 0; bit < 16; ++bit) {
        m_checks[bit]->setVisible(outputs && bit < f.outputCount);
        m_checks[bit]->setChecked((f.outputMask >> bit) & 1u);
    }
    m_oldPid->setText(QString::fromStdString(f.oldPid));
    m_newPid->setText(QString::fromStdString(f.newPid));
}

int CAddPidMultiDlg::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? 1 : 2;
}

void CAddPidMultiDlg::OnSelectAll() {
    for (QCheckBox* box : m_checks)
        box->setChecked(m_selectAll->isChecked());
}

void CAddPidMultiDlg::OnOK() {
    m_fields.oldPid = m_oldPid->text().toStdString();
    m_fields.newPid = m_newPid->text().toStdString();
    // Without a chosen input (a row whose input the list does not offer) the row keeps its own.
    if (m_input->currentIndex() >= 0)
        m_fields.input = m_input->currentIndex() + 1;
    bool boxes[16];
    for (int bit = 0; bit < 16; ++bit)
        boxes[bit] = m_checks[bit]->isChecked();
    m_fields.outputMask = MaskFromBoxes(boxes, m_fields.outputCount, m_fields.outputMask);
    accept();
}

}  // namespace nms
