#include "pages/mux/multi_output_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pagebase/late_reply.h"
#include "pages/mux/program_info_dlg.h"

namespace nms {

CMultiOutputView::CMultiOutputView(QWidget* parent) : CFormTemplateView(parent) {
    m_inputTree = ProgramTreeMirror::MakeTree(this);
    m_outputTree = ProgramTreeMirror::MakeTree(this);
    m_mirror = std::make_unique<ProgramTreeMirror>(m_inputTree, m_outputTree);
    m_inputGroup = new QGroupBox("Input-program", this);
    m_outputGroup = new QGroupBox("Output-program", this);
    m_analyze = new QPushButton("Input Analyze", this);
    static const char* const kOut[] = {"Out A", "Out B", "Out C", "Out D"};
    for (int n = 0; n < 4; ++n)
        m_out[n] = new QPushButton(kOut[n], this);
    m_edit = new QPushButton("Edit", this);
    m_remove = new QPushButton("Remove", this);
    m_refresh = new QPushButton("Refresh Out", this);

    connect(m_analyze, &QPushButton::clicked, this, [this] { OnInputAnalyze(); });
    for (int n = 0; n < 4; ++n)
        connect(m_out[n], &QPushButton::clicked, this, [this, n] { OnOut(n); });
    connect(m_edit, &QPushButton::clicked, this, &CMultiOutputView::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &CMultiOutputView::OnRemove);
    connect(m_refresh, &QPushButton::clicked, this, [this] { OnRefreshOut(); });
}

CMultiOutputView::~CMultiOutputView() = default;

void CMultiOutputView::MakePidRemap() {
    m_pidRemap = new QCheckBox("PID Remap", this);
    m_pidRemap->setChecked(true);
}

void CMultiOutputView::LayOut(const std::vector<QWidget*>& above, const std::vector<QWidget*>& below) {
    (new QVBoxLayout(m_inputGroup))->addWidget(m_inputTree);
    (new QVBoxLayout(m_outputGroup))->addWidget(m_outputTree);
    auto* buttons = new QVBoxLayout;
    for (QWidget* w : above)
        buttons->addWidget(w);
    buttons->addStretch();
    buttons->addWidget(m_analyze);
    for (QPushButton* b : m_out)
        buttons->addWidget(b);
    buttons->addWidget(m_refresh);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    if (!below.empty())
        buttons->addSpacing(16);
    for (QWidget* w : below)
        buttons->addWidget(w);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_inputGroup, 1);
    row->addLayout(buttons);
    row->addWidget(m_outputGroup, 1);
}

void CMultiOutputView::Mirror(MultiOutputLogic* logic) {
    if (logic)
        m_mirror->Attach(&logic->InputTree(), &logic->OutputTree());
    else
        m_mirror->Detach();
}

void CMultiOutputView::OnStepRefused(const PageStep&) {
    NothingLate(*Multi());
}

void CMultiOutputView::OnRemove() {
    if (Ready())
        Apply(Multi()->Remove(ProgramTreeMirror::Selection(m_outputTree)));
}

void CMultiOutputView::OnEdit() {
    if (!Ready())
        return;
    ProgramInfoEdit edit;
    if (!Multi()->BeginEdit(ProgramTreeMirror::Selection(m_outputTree), &edit))
        return;
    CProgramInfoDlg dlg(this);
    dlg.m_info = edit.info;
    dlg.m_languageFlag = edit.languageFlag;
    dlg.m_ciChoice = (edit.info.ciField & 0x80) ? static_cast<int>(edit.info.ciField & 1) : 0;
    if (dlg.DoModal() != 1)
        return;
    edit.info = dlg.m_info;
    edit.languageFlag = dlg.m_languageFlag;
    Apply(Multi()->CommitEdit(edit));
}

void CMultiOutputView::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!Multi() || device != m_device || !reply.IsValid())
        return;
    Apply(ReplyStep(*Multi(), reply, IsBusy()));
}

void CMultiOutputView::OnTimer(int id) {
    // The wait ran out: the chain stops; a late reply is shown but continues nothing.
    if (id == kWaitTimerId && Multi())
        Multi()->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

}  // namespace nms
