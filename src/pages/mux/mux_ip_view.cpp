#include "pages/mux/mux_ip_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/modulator/qam4_view.h"
#include "pages/mux/program_info_dlg.h"
#include "platform/prompt.h"

namespace nms {
Cmuxip::Cmuxip(QWidget* parent) : CFormTemplateView(parent) {
    QFont font("Arial");
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    setFont(font);

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
    m_groupLabel = new QLabel("Channel", this);
    m_group = new QComboBox(this);
    for (const char* g : {"01-08", "09-16", "17-24", "25-32", "33-40", "41-48", "49-56", "57-64"})
        m_group->addItem(g);
    m_pidRemap = new QCheckBox("PID Remap", this);
    m_pidRemap->setChecked(true);
    m_pidRemap->hide();

    (new QVBoxLayout(inputGroup))->addWidget(m_inputTree);
    (new QVBoxLayout(outputGroup))->addWidget(m_outputTree);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_groupLabel);
    buttons->addWidget(m_group);
    buttons->addStretch();
    buttons->addWidget(m_analyze);
    for (QPushButton* b : m_out)
        buttons->addWidget(b);
    buttons->addWidget(m_refresh);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(inputGroup, 1);
    row->addLayout(buttons);
    row->addWidget(outputGroup, 1);

    connect(m_analyze, &QPushButton::clicked, this, &Cmuxip::OnInputAnalyze);
    for (int n = 0; n < 4; ++n)
        connect(m_out[n], &QPushButton::clicked, this, [this, n] { OnOut(n); });
    connect(m_edit, &QPushButton::clicked, this, &Cmuxip::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &Cmuxip::OnRemove);
    connect(m_refresh, &QPushButton::clicked, this, &Cmuxip::OnRefreshOut);
    connect(m_group, &QComboBox::activated, this, &Cmuxip::OnSelChangeGroup);
}

Cmuxip::~Cmuxip() = default;

void Cmuxip::OnInitialUpdate() {
    const uint16_t type = m_device ? m_device->typeCode : 0;
    m_mirror->Detach();
    m_logic = std::make_unique<MuxIpLogic>(m_pageParam, type);
    m_mirror->Attach(&m_logic->InputTree(), &m_logic->OutputTree());
    m_logic->Initialise();
    m_logic->SetGroup(m_logic->GroupComboShown() ? m_group->currentIndex() : 0);
    ApplyLayoutControls();
}

void Cmuxip::ApplyLayoutControls() {
    if (!m_logic)
        return;
    m_out[0]->setText(m_logic->FirstRouteText());
    for (int n = 0; n < 4; ++n)
        m_out[n]->setVisible(m_logic->OutButtonShown(n));
    m_group->setVisible(m_logic->GroupComboShown());
    m_groupLabel->setVisible(m_logic->GroupComboShown());
}

QString Cmuxip::BitrateText(int n) const {
    if (!m_logic || n < 0 || n > 3)
        return {};
    return QString::fromStdString(m_logic->Bitrates()[n]);
}

void Cmuxip::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void Cmuxip::Apply(const PageStep& step) {
    Carry(step);
    ApplyLayoutControls();
}

void Cmuxip::OnInputAnalyze() {
    if ((m_logic && DeviceOnline()))
        Apply(m_logic->InputAnalyze(ProgramTreeMirror::Selection(m_inputTree)));
}

void Cmuxip::OnOut(int output) {
    if ((m_logic && DeviceOnline()) && output >= 0 && output < 4 && m_logic->OutButtonShown(output))
        Apply(m_logic->Route(ProgramTreeMirror::Selection(m_inputTree), output));
}

void Cmuxip::OnRemove() {
    if ((m_logic && DeviceOnline()))
        Apply(m_logic->Remove(ProgramTreeMirror::Selection(m_outputTree)));
}

void Cmuxip::OnEdit() {
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
    Apply(m_logic->CommitEdit(edit));
}

void Cmuxip::OnRefreshOut() {
    if (!(m_logic && DeviceOnline()))
        return;
    m_logic->SetGroup(m_logic->GroupComboShown() ? m_group->currentIndex() : 0);
    Apply(m_logic->Refresh());
}

void Cmuxip::OnSelChangeGroup() {
    OnRefreshOut();
}

void Cmuxip::OnShowWindow(bool shown) {
    if (!shown) {
        KillTimer(kPollTimerId);
        return;
    }
    SetTimer(kPollTimerId, kPollMs);
    OnRefreshOut();
}

void Cmuxip::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!m_logic || device != m_device || !reply.IsValid())
        return;
    Apply(m_logic->HandleReply(reply));
}

void Cmuxip::OnTimer(int id) {
    // The wait ran out: the chain stops, so a late reply finds nothing to continue.
    if (id == kWaitTimerId && m_logic)
        m_logic->WaitEnded();
    Cqam4::OnTimer(*this, id);
}

}  // namespace nms
