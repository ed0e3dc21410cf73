#include "pages/scrambler/scramble_program_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "pagebase/text_conversion.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

const char* ElementLabel(uint8_t type) {
    switch (type) {
        case 1:
            return "MPEG-1 Video";
        case 2:
            return "MPEG-2 Video";
        case 3:
            return "MPEG-1 Audio";
        case 4:
            return "MPEG-2 Audio";
        case 5:
            return "Private Section";
        case 6:
            return "A52 Audio(aka AC3)";
        case 27:
            return "H.264 Video";
        default:
            return "User Define Data";
    }
}

}  // namespace

CScrambleProgramDlg::CScrambleProgramDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("EDIT PROGRAM");
    m_serviceIdEdit = new QLineEdit(this);
    m_serviceIdEdit->setMaxLength(5);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setMaxLength(64);
    m_pmtPidEdit = new QLineEdit(this);
    m_pmtPidEdit->setMaxLength(4);
    m_pcrPidEdit = new QLineEdit(this);
    m_pcrPidEdit->setMaxLength(4);
    m_pcrPidEdit->setEnabled(false);
    m_elements = new QComboBox(this);
    m_elementPidEdit = new QLineEdit(this);
    m_elementPidEdit->setMaxLength(4);
    m_elementPidEdit->setEnabled(false);
    m_cwLabel = new QLabel("Fix CW(0X):", this);
    m_cwEdit = new QLineEdit(this);
    m_cwEdit->setMaxLength(16);
    auto* form = new QFormLayout;
    form->addRow("Service ID:", m_serviceIdEdit);
    form->addRow("Program Name:", m_nameEdit);
    form->addRow("PMT PID(0X):", m_pmtPidEdit);
    form->addRow("PCR PID(0X):", m_pcrPidEdit);
    form->addRow("Elem. Type:(0X)", m_elements);
    form->addRow("Elem. PID(0X):", m_elementPidEdit);
    form->addRow(m_cwLabel, m_cwEdit);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CScrambleProgramDlg::OnOK);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_elements, &QComboBox::activated, this, &CScrambleProgramDlg::OnSelChangeElement);
    connect(m_elementPidEdit, &QLineEdit::textEdited, this, &CScrambleProgramDlg::OnChangeElementPid);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CScrambleProgramDlg::OnInitDialog() {
    m_serviceIdEdit->setText(QString::number(m_serviceId));
    m_nameEdit->setText(QString::fromStdString(GbkToUtf8(m_name)));
    m_pcrPidEdit->setText(QString::asprintf("%X", unsigned(m_pcrPid)));
    m_pmtPidEdit->setText(QString::asprintf("%X", unsigned(m_pmtPid)));
    // Newer devices take the PCR and element PIDs too.
    m_pcrPidEdit->setEnabled(m_version > 2184);
    m_elementPidEdit->setEnabled(m_version > 2184);
    m_elements->clear();
    for (size_t e = 0; e < m_streamTypes.size() && e < m_pids.size(); ++e)
        m_elements->addItem(
            QString::asprintf("%02d %s", int(m_streamTypes[e]), ElementLabel(m_streamTypes[e])),
            int(m_pids[e]));
    if (m_elements->count()) {
        m_elements->setCurrentIndex(0);
        OnSelChangeElement();
    }
    m_cwLabel->setVisible(m_cwShown);
    m_cwEdit->setVisible(m_cwShown);
    QString cw;
    for (uint8_t b : m_cw)
        cw += QString::asprintf("%02X", unsigned(b));
    m_cwEdit->setText(cw);
}

int CScrambleProgramDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

void CScrambleProgramDlg::OnSelChangeElement() {
    const int e = m_elements->currentIndex();
    if (e >= 0)
        m_elementPidEdit->setText(QString::asprintf("%X", m_elements->itemData(e).toUInt()));
}

void CScrambleProgramDlg::OnChangeElementPid() {
    const std::string text = m_elementPidEdit->text().toStdString();
    if (text.empty()) {
        ShowMessageBox("Elem PID is Empty!");
        return;
    }
    if (!IsHexText(text)) {
        ShowMessageBox("Error Inpunt!");
        return;
    }
    const int e = m_elements->currentIndex();
    if (e >= 0)
        m_elements->setItemData(e, int(HexTextToUShort(text)));
}

void CScrambleProgramDlg::OnOK() {
    const std::string sid = m_serviceIdEdit->text().toStdString();
    if (sid.empty() || !IsDecimalText(sid) || std::stoul(sid) > 65535) {
        ShowMessageBox("Please enter an integer between 0 and 65535.");
        return;
    }
    std::string name;
    if (!Utf8ToGbk(m_nameEdit->text().toStdString(), &name) || name.size() > 31) {
        ShowMessageBox("Program name should not be more than 31 characters.");
        return;
    }
    const std::string pmt = m_pmtPidEdit->text().toStdString();
    const std::string pcr = m_pcrPidEdit->text().toStdString();
    if (!IsHexText(pmt) || !IsHexText(pcr)) {
        ShowMessageBox("PID should be 0-9,a-f or A-F!");
        return;
    }
    std::vector<uint8_t> cw = m_cw;
    if (m_cwShown) {
        const std::string text = m_cwEdit->text().toStdString();
        if (text.size() != 16 || !IsHexText(text)) {
            ShowMessageBox("Need 8 Hex Value!");
            return;
        }
        HexTextToBytes(text, cw.data(), 8);
    }
    m_serviceId = uint16_t(std::stoul(sid));
    m_name = name;
    m_pmtPid = HexTextToUShort(pmt);
    if (m_version > 2184) {
        m_pcrPid = HexTextToUShort(pcr);
        for (int e = 0; e < m_elements->count() && e < int(m_pids.size()); ++e)
            m_pids[size_t(e)] = uint16_t(m_elements->itemData(e).toUInt() & 0x1fff);
    }
    m_cw = cw;
    accept();
}

}  // namespace nms
