#include "pages/mux/program_info_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pagebase/text_conversion.h"
#include "pages/mux/edit_program_fields.h"
#include "pages/mux/stream_type_labels.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

QString Hex4(unsigned v) {
    return QString("%1").arg(v, 4, 16, QChar('0')).toUpper();
}

}  // namespace

CProgramInfoDlg::CProgramInfoDlg(QWidget* parent) : CProgramDlgBase(parent, "Edit") {
    m_elementPid = new QLineEdit(this);
    m_ecm = new QLineEdit(this);
    m_language = new QLineEdit(this);
    m_element = new QComboBox(this);
    m_cas = new QComboBox(this);
    m_ci = new QComboBox(this);
    m_ci->addItems({"Bypass", "CAM"});
    m_ciLabel = new QLabel("CI Slot:", this);
    MakeOkCancel();
    connect(m_element, &QComboBox::activated, this, &CProgramInfoDlg::OnElementChanged);
    connect(m_cas, &QComboBox::activated, this, &CProgramInfoDlg::OnCasChanged);

    auto* grid = new QGridLayout;
    int row = AddProgramRows(grid);
    grid->addWidget(new QLabel("Element NO.", this), row, 0);
    grid->addWidget(m_element, row, 1);
    grid->addWidget(new QLabel("Element PID:0x", this), row, 2);
    grid->addWidget(m_elementPid, row++, 3);
    grid->addWidget(new QLabel("CA system ID: ", this), row, 0);
    grid->addWidget(m_cas, row, 1);
    grid->addWidget(new QLabel("ECM PID:0x ", this), row, 2);
    grid->addWidget(m_ecm, row++, 3);
    grid->addWidget(m_ciLabel, row, 0);
    grid->addWidget(m_ci, row++, 1);
    grid->addWidget(m_language, row, 0);
    grid->addWidget(new QLabel("Language flag:    0: Default(ANSI); 1: Russian", this), row++, 1, 1, 3);
    FinishLayout(grid);
}

bool CProgramInfoDlg::DoDataExchange(bool collect) {
    ProgramInfoFields& f = m_info;
    if (!collect) {
        const uint8_t* name = f.name.data();
        int start = name[0] == kRussianNamePrefix ? 1 : 0;
        m_nameBytes = ReadFixedName(name + start, kProgramNameWidth - start);
        std::string shown = m_nameBytes;
        ConvertText(kTextFromDevice, shown.data(), static_cast<int>(shown.size()));
        m_shownName = GbkToUtf8(shown);
        m_name->setText(QString::fromStdString(m_shownName));
        m_serviceId->setText(QString::number(f.serviceId & 0xFFFF));
        m_pmt->setText(Hex4(f.pmtPid));
        m_pcr->setText(Hex4(f.pcrPid));
        m_language->setText(QString::number(m_languageFlag));

        m_element->clear();
        const int count = std::min<int>(f.elementCount, kMaxElements);
        for (int i = 0; i < count; ++i)
            m_element->addItem(QString::fromStdString(StreamTypeLabels::DialogEntry(f.streamTypes[i])),
                               static_cast<int>(f.elementPids[i]));
        m_elementRow = count > 0 ? 0 : -1;
        m_element->setCurrentIndex(m_elementRow);
        m_elementPid->setText(count > 0 ? Hex4(f.elementPids[0]) : QString());

        m_cas->clear();
        for (int k = 0; k < kMaxCaEntries; ++k) {
            const QString label = f.casLabelFlag == 1 ? QString("CAS %1").arg(k + 1)
                                                      : QString::number(f.caSystemIds[k], 16).toUpper();
            m_cas->addItem(label, static_cast<int>(f.ecmPids[k]));
        }
        m_casRow = 0;
        m_cas->setCurrentIndex(0);
        m_ecm->setText(Hex4(f.ecmPids[0]));

        const bool ci = (f.ciField & 0x80) != 0;
        m_ciLabel->setVisible(ci);
        m_ci->setVisible(ci);
        m_ci->setCurrentIndex(ci ? static_cast<int>(f.ciField & 1) : m_ciChoice);
        return true;
    }

    const bool russian = m_language->text().trimmed() == "1";
    if (!russian && m_language->text().trimmed() != "0") {
        ShowMessageBox("Please enter an integer between 0 and 1.");
        m_language->setFocus();
        return false;
    }
    std::string name;
    if (m_name->text().toStdString() == m_shownName) {
        name = m_nameBytes;
    } else if (!NameToDevice(m_name->text(), &name)) {
        return false;
    }
    // The 32-byte field keeps a terminating zero, and a Russian name the prefix byte too.
    uint32_t sid = 0, pmt = 0, pcr = 0;
    if (!NameFits(name.size(), russian ? kMaxRussianNameBytes : kMaxProgramNameBytes) ||
        !ReadNumbers({{m_serviceId, false, &sid}, {m_pmt, true, &pmt}, {m_pcr, true, &pcr}}))
        return false;
    if (!StoreEdit(m_element, m_elementRow, m_elementPid) || !StoreEdit(m_cas, m_casRow, m_ecm))
        return false;

    if (m_name->text().toStdString() != m_shownName)
        ConvertText(kTextToDevice, name.data(), static_cast<int>(name.size()));
    f.name.fill(0);
    int at = 0;
    if (russian)
        f.name[at++] = kRussianNamePrefix;
    for (char ch : name)
        f.name[at++] = static_cast<uint8_t>(ch);
    m_languageFlag = russian ? 1 : 0;
    f.serviceId = sid;
    f.pmtPid = static_cast<uint16_t>(pmt);
    f.pcrPid = static_cast<uint16_t>(pcr);
    f.elementCount = static_cast<uint8_t>(m_element->count());
    for (int i = 0; i < m_element->count() && i < kMaxElements; ++i)
        f.elementPids[i] = static_cast<uint16_t>(m_element->itemData(i).toInt());
    for (int k = 0; k < kMaxCaEntries && k < m_cas->count(); ++k)
        f.ecmPids[k] = static_cast<uint16_t>(m_cas->itemData(k).toInt());
    if (f.ciField & 0x80) {
        m_ciChoice = m_ci->currentIndex() == 1 ? 1 : 0;
        f.ciField = m_ciChoice ? 0x81 : 0x80;
    }
    return true;
}

bool CProgramInfoDlg::StoreEdit(QComboBox* combo, int row, QLineEdit* edit) {
    if (row < 0 || row >= combo->count())
        return true;
    uint32_t v = 0;
    if (!ReadNumbers({{edit, true, &v}}))
        return false;
    combo->setItemData(row, static_cast<int>(v));
    return true;
}

void CProgramInfoDlg::OnElementChanged(int row) {
    if (!StoreEdit(m_element, m_elementRow, m_elementPid)) {
        m_element->setCurrentIndex(m_elementRow);
        return;
    }
    m_elementRow = row;
    if (row >= 0)
        m_elementPid->setText(QString::number(m_element->itemData(row).toInt(), 16).toUpper());
}

void CProgramInfoDlg::OnCasChanged(int row) {
    if (!StoreEdit(m_cas, m_casRow, m_ecm)) {
        m_cas->setCurrentIndex(m_casRow);
        return;
    }
    m_casRow = row;
    if (row >= 0)
        m_ecm->setText(QString::number(m_cas->itemData(row).toInt(), 16));
}

}  // namespace nms
