#include "pages/scrambler/scrambler_qam_view.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "devices/device_record.h"
#include "pagebase/lamp.h"

namespace nms {

Scrambler_qam::Scrambler_qam(QWidget* parent) : CScramblerPageBase(m_logic, parent) {
    m_tsId = new QLineEdit(this);
    m_tsId->setMaxLength(5);
    m_ipInsert = new QLineEdit(this);
    m_ipInsert->setMaxLength(5);
    m_extraGrid->addWidget(new QLabel("TS ID:", this), 4, 0);
    m_extraGrid->addWidget(m_tsId, 4, 1);
    m_extraGrid->addWidget(new QLabel("IP Insert:", this), 5, 0);
    m_extraGrid->addWidget(m_ipInsert, 5, 1);
    m_asi1 = MakeLamp(this);
    m_asi2 = MakeLamp(this);
    auto* asi = new QHBoxLayout;
    asi->addWidget(new QLabel("ASI-1", this));
    asi->addWidget(m_asi1);
    asi->addWidget(new QLabel("ASI-2", this));
    asi->addWidget(m_asi2);
    asi->addStretch();
    m_sideColumn->insertLayout(m_sideColumn->count() - 1, asi);
}

void Scrambler_qam::SetDevice(DeviceRecord* device) {
    CFormTemplateView::SetDevice(device);
    ResetPage();
}

void Scrambler_qam::OnShowWindow(bool shown) {
    if (!shown) {
        KillTimer(kScramblerPollTimerId);
        return;
    }
    if (!m_device)
        return;
    if (!IsBusy())
        OnRefresh();
    SetTimer(kScramblerPollTimerId, kPollMs);
}

void Scrambler_qam::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    if (id == kScramblerPollTimerId) {
        if (DeviceOnline() && !IsBusy() && !m_device->busy.load())
            Carry(PageStep::Poll(kCmdScrStatus));
        return;
    }
    CFormTemplateView::OnTimer(id);
}

void Scrambler_qam::OnParse() {
    if (!DeviceOnline() || m_logic.Running())
        return;
    EmptyTree();
    CarryStep(m_logic.Parse());
}

void Scrambler_qam::OnRefresh() {
    if (!DeviceOnline() || m_logic.Running())
        return;
    EmptyTree();
    m_programName->clear();
    CarryStep(m_logic.Refresh());
}

void Scrambler_qam::OnSet() {
    if (!DeviceOnline())
        return;
    CarryStep(m_logic.Set(CollectForm(), SelectedProgramNode()));
}

void Scrambler_qam::ShowExtraFields(const ScramblerSlotForm& form) {
    m_tsId->setText(QString::fromStdString(form.tsId));
    m_ipInsert->setText(QString::fromStdString(form.ipInsertPort));
}

void Scrambler_qam::CollectExtraFields(ScramblerSlotForm* form) const {
    form->tsId = m_tsId->text().toStdString();
    form->ipInsertPort = m_ipInsert->text().toStdString();
}

void Scrambler_qam::ShowStatus() {
    CScramblerPageBase::ShowStatus();
    const ScramblerStatus& s = m_logic.Status();
    if (s.hasAsi) {
        // A set flag is a fault: the red lamp.
        SetLamp(m_asi1, !(s.asiFlags & 1));
        SetLamp(m_asi2, !(s.asiFlags & 2));
    }
}

}  // namespace nms
