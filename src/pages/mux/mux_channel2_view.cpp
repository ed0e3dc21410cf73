#include "pages/mux/mux_channel2_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/mux/program_info_dlg.h"
#include "platform/prompt.h"

namespace nms {
Cmuxchannel2::Cmuxchannel2(QWidget* parent) : CFormTemplateView(parent) {
    m_inputTree = ProgramTreeMirror::MakeTree(this);
    m_outputTree = ProgramTreeMirror::MakeTree(this);
    m_mirror = std::make_unique<ProgramTreeMirror>(m_inputTree, m_outputTree);
    auto* inputGroup = new QGroupBox("Input-program", this);
    auto* outputGroup = new QGroupBox("Output-program", this);
    m_analyze = new QPushButton("Input Analyze", this);
    static const char* const kOut[] = {"Out A", "Out B", "Out C", "Out D"};
    for (int n = 0; n < 4; ++n)
        m_out[n] = new QPushButton(kOut[n], this);
    m_edit = new QPushButton("Edit", this);
    m_remove = new QPushButton("Remove", this);
    m_refresh = new QPushButton("Refresh Out", this);
    auto* pidRemapLabel = new QLabel("PID Re-Mapping", this);
    m_pidRemap = new QCheckBox("PID Remap", this);
    m_pidRemap->setChecked(true);

    (new QVBoxLayout(inputGroup))->addWidget(m_inputTree);
    (new QVBoxLayout(outputGroup))->addWidget(m_outputTree);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_analyze);
    for (QPushButton* b : m_out)
        buttons->addWidget(b);
    buttons->addWidget(m_refresh);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addSpacing(16);
    buttons->addWidget(pidRemapLabel);
    buttons->addWidget(m_pidRemap);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(inputGroup, 1);
    row->addLayout(buttons);
    row->addWidget(outputGroup, 1);

    connect(m_analyze, &QPushButton::clicked, this, &Cmuxchannel2::OnInputAnalyze);
    for (int n = 0; n < 4; ++n)
        connect(m_out[n], &QPushButton::clicked, this, [this, n] { OnOut(n); });
    connect(m_edit, &QPushButton::clicked, this, &Cmuxchannel2::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &Cmuxchannel2::OnRemove);
    connect(m_refresh, &QPushButton::clicked, this, &Cmuxchannel2::OnRefreshOut);
}

Cmuxchannel2::~Cmuxchannel2() = default;

void Cmuxchannel2::OnInitialUpdate() {
    m_mirror->Detach();
    m_logic = std::make_unique<MuxChannel2Logic>(m_pageParam);
    m_mirror->Attach(&m_logic->InputTree(), &m_logic->OutputTree());
    m_logic->Initialise();
    for (int n = 1; n < 4; ++n)
        m_out[n]->setVisible(m_logic->FourOutputs());
}

void Cmuxchannel2::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void Cmuxchannel2::OnInputAnalyze() {
    if ((m_logic && DeviceOnline()))
        Carry(m_logic->InputAnalyze(ProgramTreeMirror::Selection(m_inputTree), m_pidRemap->isChecked()));
}

void Cmuxchannel2::OnOut(int output) {
    if ((m_logic && DeviceOnline()) && output >= 0 && output < 4 && (output == 0 || m_logic->FourOutputs()))
        Carry(m_logic->Route(ProgramTreeMirror::Selection(m_inputTree), output));
}

void Cmuxchannel2::OnRemove() {
    if ((m_logic && DeviceOnline()))
        Carry(m_logic->Remove(ProgramTreeMirror::Selection(m_outputTree)));
}

void Cmuxchannel2::OnEdit() {
    if (!(m_logic && DeviceOnline()))
        return;
    ProgramInfoEdit edit;
    if (!m_logic->BeginEdit(ProgramTreeMirror::Selection(m_outputTree), &edit))
        return;
    CProgramInfoDlg dlg(this);
    dlg.m_info = edit.info;
    dlg.m_languageFlag = edit.languageFlag;
    dlg.m_ciChoice = (edit.info.ciField & 0x80) ? static_cast<int>(edit.info.ciField & 1) : 0;
    if (dlg.DoModal() != 1)
        return;
    edit.info = dlg.m_info;
    edit.languageFlag = dlg.m_languageFlag;
    Carry(m_logic->CommitEdit(edit));
}

void Cmuxchannel2::OnRefreshOut() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->Refresh());
}

void Cmuxchannel2::OnShowWindow(bool shown) {
    if (shown)
        OnRefreshOut();
}

void Cmuxchannel2::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!m_logic || device != m_device || !reply.IsValid())
        return;
    Carry(m_logic->HandleReply(reply));
}

void Cmuxchannel2::OnTimer(int id) {
    // The wait ran out: the chain stops, so a late reply finds nothing to continue.
    if (id == kWaitTimerId && m_logic)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
