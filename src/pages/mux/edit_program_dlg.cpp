#include "pages/mux/edit_program_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "pagebase/text_conversion.h"
#include "platform/codepage.h"

namespace nms {
namespace {

QString Hex(unsigned v) {
    return QString::number(v, 16);
}

}  // namespace

CEditProgramDlg::CEditProgramDlg(QWidget* parent) : CProgramDlgBase(parent, "Edit") {
    m_ecm = new QLineEdit(this);
    m_elementPid = new QLineEdit(this);
    m_ca = new QComboBox(this);
    m_element = new QComboBox(this);
    m_ipOutput = new QComboBox(this);
    m_ipLabel = new QLabel("IP Output Index: ", this);
    MakeOkCancel();
    connect(m_ca, &QComboBox::activated, this, &CEditProgramDlg::OnCaChanged);
    connect(m_element, &QComboBox::activated, this, &CEditProgramDlg::OnElementChanged);

    auto* grid = new QGridLayout;
    int row = AddProgramRows(grid);
    grid->addWidget(new QLabel("CA system ID: ", this), row, 0);
    grid->addWidget(m_ca, row, 1);
    grid->addWidget(new QLabel("ECM PID: 0x", this), row, 2);
    grid->addWidget(m_ecm, row++, 3);
    grid->addWidget(new QLabel("Element NO.", this), row, 0);
    grid->addWidget(m_element, row, 1);
    grid->addWidget(new QLabel("Element PID:0x", this), row, 2);
    grid->addWidget(m_elementPid, row++, 3);
    grid->addWidget(m_ipLabel, row, 0);
    grid->addWidget(m_ipOutput, row++, 1);
    FinishLayout(grid);
    m_ipLabel->hide();
    m_ipOutput->hide();
}

bool CEditProgramDlg::DoDataExchange(bool collect) {
    EditProgramFields& f = m_fields;
    if (!collect) {
        std::string shown = f.name;
        ConvertText(kTextFromDevice, shown.data(), static_cast<int>(shown.size()));
        m_shownName = GbkToUtf8(shown);
        m_name->setText(QString::fromStdString(m_shownName));
        m_serviceId->setText(QString::fromStdString(f.serviceId));
        m_pmt->setText(QString::fromStdString(f.pmtPid));
        m_pcr->setText(QString::fromStdString(f.pcrPid));

        m_ca->clear();
        for (int k = 0; k < kEditCaEntries; ++k)
            if (f.caSystemIds[k] != 0)
                m_ca->addItem(Hex(f.caSystemIds[k]), k);
        m_caEntry = -1;
        m_ecm->clear();
        if (f.caSystemIds[0] != 0) {
            m_ca->setCurrentIndex(0);
            m_caEntry = 0;
            m_ecm->setText(Hex(f.ecmPids[0]));
        } else {
            m_ca->setCurrentIndex(-1);
        }

        m_element->clear();
        for (int i = 0; i < kEditElements; ++i) {
            if (f.elementPids[i] < 0)
                continue;
            m_element->addItem(QString("%1:%2").arg(i + 1).arg(QString::fromStdString(f.elementLabels[i])),
                               i);
        }
        m_elementEntry = -1;
        m_elementPid->clear();
        if (m_element->count() > 0) {
            m_element->setCurrentIndex(0);
            m_elementEntry = m_element->itemData(0).toInt();
            m_elementPid->setText(Hex(static_cast<uint16_t>(f.elementPids[m_elementEntry])));
        }

        m_ipOutput->clear();
        const bool showIp = f.ipOutputFlag != 0;
        if (showIp) {
            m_ipOutput->addItem("Disable", 0);
            for (int n = 1; n <= IpOutputCount(f.ipOutputMode); ++n)
                m_ipOutput->addItem(QString("%1-SPTS").arg(n), n);
            // An index the list does not offer shows no selection and is kept.
            m_ipOutput->setCurrentIndex(m_ipOutput->findData(static_cast<int>(f.ipOutputIndex)));
        }
        m_ipLabel->setVisible(showIp);
        m_ipOutput->setVisible(showIp);
        return true;
    }

    const QString nameText = m_name->text();
    std::string name;
    if (nameText.toStdString() == m_shownName) {
        name = f.name;  // untouched: back as the bytes it came as
    } else if (!NameToDevice(nameText, &name)) {
        return false;
    } else {
        ConvertText(kTextToDevice, name.data(), static_cast<int>(name.size()));
    }
    uint32_t value = 0;
    if (!NameFits(name.size(), kMaxProgramNameBytes) ||
        !ReadNumbers({{m_serviceId, false, &value}, {m_pmt, true, &value}, {m_pcr, true, &value}}))
        return false;
    if (!StoreEcm() || !StoreElementPid())
        return false;
    f.name = name;
    f.serviceId = m_serviceId->text().toStdString();
    f.pmtPid = m_pmt->text().toStdString();
    f.pcrPid = m_pcr->text().toStdString();
    if (m_ipOutput->isVisibleTo(this) && m_ipOutput->currentIndex() >= 0)
        f.ipOutputIndex = static_cast<uint8_t>(m_ipOutput->currentData().toInt());
    return true;
}

bool CEditProgramDlg::StoreEcm() {
    if (m_caEntry < 0)
        return true;
    uint32_t v = 0;
    if (!ReadNumbers({{m_ecm, true, &v}}))
        return false;
    m_fields.ecmPids[m_caEntry] = static_cast<uint16_t>(v);
    return true;
}

bool CEditProgramDlg::StoreElementPid() {
    if (m_elementEntry < 0)
        return true;
    uint32_t v = 0;
    if (!ReadNumbers({{m_elementPid, true, &v}}))
        return false;
    m_fields.elementPids[m_elementEntry] = static_cast<int16_t>(static_cast<uint16_t>(v));
    return true;
}

void CEditProgramDlg::OnCaChanged(int row) {
    if (!StoreEcm()) {
        m_ca->setCurrentIndex(m_ca->findData(m_caEntry));
        return;
    }
    m_caEntry = row >= 0 ? m_ca->itemData(row).toInt() : -1;
    if (m_caEntry >= 0)
        m_ecm->setText(Hex(m_fields.ecmPids[m_caEntry]));
}

void CEditProgramDlg::OnElementChanged(int row) {
    if (!StoreElementPid()) {
        m_element->setCurrentIndex(m_element->findData(m_elementEntry));
        return;
    }
    m_elementEntry = row >= 0 ? m_element->itemData(row).toInt() : -1;
    if (m_elementEntry >= 0)
        m_elementPid->setText(Hex(static_cast<uint16_t>(m_fields.elementPids[m_elementEntry])));
}

}  // namespace nms
