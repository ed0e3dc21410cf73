#include "pages/scrambler/scramble_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "app/menu_xp.h"
#include "devices/device_record.h"
#include "pages/psi/ca_descriptor_dlg.h"
#include "pages/scrambler/check_tree_ctrl.h"
#include "pages/scrambler/scramble_program_dlg.h"
#include "platform/codepage.h"
#include "platform/resource_icons.h"

namespace nms {

CScrambleView::CScrambleView(QWidget* parent) : CScramblerPageBase(m_logic, parent) {
    m_runMenu = [this](const QPoint& pos, bool onRoot) {
        CMenuXP menu(this);
        QAction* cat =
            menu.AppendMenuItem(MF_STRING, new CMenuXPItem(ID_EDIT_CAT, IconById(178), "Edit CAT"));
        QAction* pmt = menu.AppendMenuItem(onRoot ? MF_GRAYED : MF_STRING,
                                           new CMenuXPItem(ID_EDIT_PMT, IconById(157), "Edit PMT"));
        QAction* program = menu.AppendMenuItem(
            onRoot ? MF_GRAYED : MF_STRING, new CMenuXPItem(ID_EDIT_PROGRAM, IconById(157), "Edit Program"));
        QAction* chosen = menu.exec(m_tree->viewport()->mapToGlobal(pos));
        return chosen == cat       ? int(ID_EDIT_CAT)
               : chosen == pmt     ? int(ID_EDIT_PMT)
               : chosen == program ? int(ID_EDIT_PROGRAM)
                                   : 0;
    };
    m_runCaDialog = [](CCaDescriptorDlg& d) { return d.exec() == QDialog::Accepted; };
    m_runProgramDialog = [](CScrambleProgramDlg& d) { return d.exec() == QDialog::Accepted; };

    m_bitrate = new QLineEdit(this);
    m_bitrate->setMaxLength(7);
    m_tsId = new QLineEdit(this);
    m_tsId->setMaxLength(5);
    m_sdt = new QCheckBox("SDT", this);
    m_fixCw = new QCheckBox("Fix CW:", this);
    m_fixCw->setVisible(false);
    m_extraGrid->addWidget(new QLabel("Total Bitrate:", this), 4, 0);
    auto* rate = new QHBoxLayout;
    rate->setSpacing(6);
    rate->addWidget(m_bitrate);
    rate->addWidget(new QLabel("Mbps", this));
    m_extraGrid->addLayout(rate, 4, 1);
    m_extraGrid->addWidget(new QLabel("TS ID:", this), 5, 0);
    m_extraGrid->addWidget(m_tsId, 5, 1);
    auto* boxes = new QHBoxLayout;
    boxes->setSpacing(6);
    boxes->addWidget(m_sdt);
    boxes->addWidget(m_fixCw);
    boxes->addStretch();
    m_extraGrid->addLayout(boxes, 6, 0, 1, 2);

    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CScrambleView::OnContextMenu);
    OnInitialUpdate();
}

void CScrambleView::OnInitialUpdate() {
    ResetPage();
    m_tsId->setEnabled(true);
    m_fixCw->setVisible(false);
    SetTimer(kScramblerPollTimerId, kPollMs);
}

void CScrambleView::OnShowWindow(bool shown) {
    if (shown && m_device && !IsBusy())
        OnRefresh();
}

void CScrambleView::OnTimer(int id) {
    if (id == kWaitTimerId)
        m_logic.WaitEnded();
    if (id == kScramblerPollTimerId) {
        if (DeviceOnline() && !IsBusy() && !m_device->busy.load())
            Carry(PageStep::Poll(kCmdScrStatus));
        return;
    }
    CFormTemplateView::OnTimer(id);
}

void CScrambleView::OnParse() {
    if (!DeviceOnline() || m_logic.Running())
        return;
    EmptyTree();
    m_logic.SetVersion(m_device->version.load());
    CarryStep(m_logic.Parse());
}

void CScrambleView::OnRefresh() {
    if (!DeviceOnline() || m_logic.Running())
        return;
    EmptyTree();
    m_programName->clear();
    m_logic.SetVersion(m_device->version.load());
    CarryStep(m_logic.Refresh());
}

void CScrambleView::OnSet() {
    if (!DeviceOnline())
        return;
    m_logic.SetVersion(m_device->version.load());
    CarryStep(m_logic.Set(CollectForm(), SelectedProgramNode()));
}

void CScrambleView::OnRefresh(unsigned what, bool refreshed) {
    if (what & ScramblerLogic::kRefreshTs)
        ShowTs();
    CScramblerPageBase::OnRefresh(what & ~unsigned(ScrambleLogic::kRefreshSection), refreshed);
    if (what & ScrambleLogic::kRefreshSection)
        OpenSectionDialog();
}

void CScrambleView::ShowTs() {
    const auto& ts = m_logic.TsBlock();
    m_tsId->setEnabled(m_logic.TsRead());
    m_tsId->setText(m_logic.TsRead() ? QString::number(ts[0] | ts[1] << 8) : QString("0"));
    m_sdt->setChecked(!m_logic.TsRead() || !(ts[4] & 0x04));
    m_fixCw->setVisible(m_logic.CwRead());
    m_fixCw->setChecked(m_logic.CwRead() && m_logic.CwTable()[0] == 1);
}

void CScrambleView::ShowExtraFields(const ScramblerSlotForm& form) {
    m_bitrate->setText(QString::fromStdString(form.outputBitrate));
}

void CScrambleView::CollectExtraFields(ScramblerSlotForm* form) const {
    form->outputBitrate = m_bitrate->text().toStdString();
    form->tsId = m_tsId->text().toStdString();
    form->tsIdEnabled = m_tsId->isEnabled();
    form->sdtOn = m_sdt->isChecked();
    form->fixCwShown = m_fixCw->isVisible();
    form->fixCw = m_fixCw->isChecked();
}

void CScrambleView::OnContextMenu(const QPoint& pos) {
    QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || m_tree->itemAt(pos) != item)
        return;
    const bool onRoot = item == m_root;
    if (!onRoot && !SelectedProgramNode())
        return;
    switch (m_runMenu(pos, onRoot)) {
        case ID_EDIT_CAT:
            OnEditCat();
            break;
        case ID_EDIT_PMT:
            if (!onRoot)
                OnEditPmt();
            break;
        case ID_EDIT_PROGRAM:
            if (!onRoot)
                OnEditProgram();
            break;
        default:
            break;
    }
}

void CScrambleView::OnEditCat() {
    if (DeviceOnline())
        CarryStep(m_logic.EditCat());
}

void CScrambleView::OnEditPmt() {
    if (DeviceOnline())
        CarryStep(m_logic.EditPmt(SelectedProgramNode()));
}

void CScrambleView::OpenSectionDialog() {
    CCaDescriptorDlg dialog;
    dialog.m_catFlag = m_logic.SectionIsCat() ? 1 : 0;
    const auto& section = m_logic.Section();
    std::copy(section.begin(), section.end(), dialog.m_section);
    dialog.m_sectionLength = int(section.size());
    if (!m_runCaDialog(dialog))
        return;
    CarryStep(m_logic.WriteSection(dialog.m_section, dialog.m_sectionLength));
}

void CScrambleView::OnEditProgram() {
    const int program = SelectedProgramNode();
    if (!DeviceOnline() || !program)
        return;
    m_logic.SetVersion(m_device->version.load());
    const ScramblerProgramInfo info = m_logic.Describe(program);
    CScrambleProgramDlg dialog(this);
    dialog.m_version = m_logic.Version();
    dialog.m_serviceId = info.serviceId;
    dialog.m_name = info.name;
    dialog.m_pmtPid = info.pmtPid;
    dialog.m_pcrPid = info.pcrPid;
    dialog.m_streamTypes = info.streamTypes;
    dialog.m_pids = info.pids;
    dialog.m_cwShown = m_logic.CwRead();
    if (dialog.m_cwShown)
        dialog.m_cw = m_logic.Cw(program);
    if (!m_runProgramDialog(dialog))
        return;
    const std::string error = m_logic.ApplyProgramEdit(program, dialog.m_serviceId, dialog.m_name,
                                                       dialog.m_pmtPid, dialog.m_pcrPid, dialog.m_pids);
    if (!error.empty())
        return;
    if (dialog.m_cwShown)
        m_logic.SetCw(program, dialog.m_cw);
    // The node shows the record as it now stands.
    const ScramblerProgramInfo now = m_logic.Describe(program);
    QTreeWidgetItem* node = ProgramNode(program);
    if (!node)
        return;
    node->setText(0, now.name.empty() ? QString("No Name") : QString::fromStdString(GbkToUtf8(now.name)));
    m_programName->setText(node->text(0));
    if (node->childCount() >= 3) {
        node->child(0)->setText(0, QString::asprintf("%s%d", "Service ID:", int(now.serviceId)));
        node->child(1)->setText(0, QString::asprintf("PMT PID:0x%x", unsigned(now.pmtPid)));
        node->child(2)->setText(0, QString::asprintf("PCR PID:0x%x", unsigned(now.pcrPid)));
    }
    for (size_t e = 0; e < now.pids.size(); ++e) {
        QTreeWidgetItem* element = ElementNode(program, int(e));
        if (element && element->childCount()) {
            element->child(0)->setText(0, QString::asprintf("PID:0x%02x", unsigned(now.pids[e])));
            element->child(0)->setData(0, Qt::UserRole, int(now.pids[e]));
        }
    }
}

}  // namespace nms
