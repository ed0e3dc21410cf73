#include "pages/mux/mux_channel_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/mux/edit_program_dlg.h"
#include "pages/mux/transcode_program_dlg.h"
#include "platform/prompt.h"

namespace nms {

CMuxChannelView::CMuxChannelView(QWidget* parent) : CFormTemplateView(parent) {
    m_inputTree = ProgramTreeMirror::MakeTree(this);
    m_outputTree = ProgramTreeMirror::MakeTree(this);
    m_mirror = std::make_unique<ProgramTreeMirror>(m_inputTree, m_outputTree);
    m_inputGroup = new QGroupBox("Input-program", this);
    m_outputGroup = new QGroupBox("Output-program", this);
    m_analyze = new QPushButton("Input Analyze", this);
    m_select = new QPushButton("Select", this);
    m_refresh = new QPushButton("Refresh Out", this);
    m_edit = new QPushButton("Edit", this);
    m_remove = new QPushButton("Remove", this);
    m_outB = new QPushButton("Out B", this);
    m_pidRemap = new QCheckBox("PID Remap", this);
    m_pidRemapLabel = new QLabel("PID Re-Mapping", this);

    (new QVBoxLayout(m_inputGroup))->addWidget(m_inputTree);
    (new QVBoxLayout(m_outputGroup))->addWidget(m_outputTree);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_analyze, m_select, m_outB, m_refresh, m_edit, m_remove})
        buttons->addWidget(w);
    buttons->addSpacing(16);
    buttons->addWidget(m_pidRemapLabel);
    buttons->addWidget(m_pidRemap);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_inputGroup, 1);
    row->addLayout(buttons);
    row->addWidget(m_outputGroup, 1);

    connect(m_analyze, &QPushButton::clicked, this, &CMuxChannelView::OnInputAnalyze);
    connect(m_select, &QPushButton::clicked, this, &CMuxChannelView::OnSelect);
    connect(m_outB, &QPushButton::clicked, this, &CMuxChannelView::OnOutB);
    connect(m_refresh, &QPushButton::clicked, this, &CMuxChannelView::OnRefreshOut);
    connect(m_edit, &QPushButton::clicked, this, &CMuxChannelView::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &CMuxChannelView::OnRemove);
    // Moving the input selection (mouse or keys) checks "PID Remap" again; it sends nothing.
    connect(m_inputTree, &QTreeWidget::currentItemChanged, this, [this] {
        if (m_logic && m_logic->RecheckPidRemapOnSelection())
            m_pidRemap->setChecked(true);
    });
    m_outB->hide();
}

CMuxChannelView::~CMuxChannelView() = default;

void CMuxChannelView::OnInitialUpdate() {
    if (!m_logic || m_logic->PageParam() != m_pageParam) {
        m_mirror->Detach();
        m_logic = std::make_unique<MuxChannelLogic>(m_pageParam);
        m_mirror->Attach(&m_logic->InputTree(), &m_logic->OutputTree());
    }
    m_logic->BuildLayout(true);
    ApplyLayoutControls();
}

void CMuxChannelView::ApplyLayoutControls() {
    const bool twoOutputs = m_logic->IsTwoOutput();
    m_select->setText(twoOutputs ? "Out A" : "Select");
    m_outB->setVisible(twoOutputs);
    m_outB->setEnabled(twoOutputs);
    m_pidRemap->setVisible(!twoOutputs);
    m_pidRemapLabel->setVisible(!twoOutputs);
    m_pidRemap->setEnabled(!twoOutputs);
    if (!twoOutputs)
        m_pidRemap->setChecked(true);
}

void CMuxChannelView::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void CMuxChannelView::OnInputAnalyze() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->InputAnalyze(ProgramTreeMirror::Selection(m_inputTree), m_pidRemap->isChecked()));
}

void CMuxChannelView::OnSelect() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->Select(ProgramTreeMirror::Selection(m_inputTree), 1));
}

void CMuxChannelView::OnOutB() {
    if (!(m_logic && DeviceOnline()) || !m_logic->IsTwoOutput())
        return;
    Carry(m_logic->Select(ProgramTreeMirror::Selection(m_inputTree), 2));
}

void CMuxChannelView::OnRefreshOut() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->RefreshOut());
}

void CMuxChannelView::OnEdit() {
    if (!(m_logic && DeviceOnline()))
        return;
    const TreePath sel = ProgramTreeMirror::Selection(m_outputTree);
    if (m_logic->IsTranscoder()) {
        TranscodeProgramRecord record;
        if (!m_logic->BeginTranscodeEdit(sel, &record))
            return;
        CTranscodeProgramDlg dlg(&record, this);
        if (dlg.DoModal() == 1)
            Carry(m_logic->CommitTranscodeEdit(record));
        return;
    }
    CEditProgramDlg dlg(this);
    if (!m_logic->BeginEdit(sel, &dlg.m_fields))
        return;
    if (dlg.DoModal() == 1)
        Carry(m_logic->CommitEdit(dlg.m_fields));
}

void CMuxChannelView::OnRemove() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->Remove(ProgramTreeMirror::Selection(m_outputTree)));
}

void CMuxChannelView::OnShowWindow(bool shown) {
    if (!shown || !(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->Shown());
}

void CMuxChannelView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!m_logic || device != m_device || !reply.IsValid())
        return;
    Carry(m_logic->HandleReply(reply));
}

void CMuxChannelView::OnTimer(int id) {
    // The wait ended without its reply: the chain stops here; a late reply is applied but continues nothing.
    if (id == kWaitTimerId && m_logic)
        m_logic->TimedOut();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
