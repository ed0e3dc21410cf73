#include "pages/mux/qam16_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "pagebase/late_reply.h"
#include "pages/mux/program_info_dlg.h"
#include "pages/mux/program_tree_mirror.h"

namespace nms {
namespace {

void ShowTree(QTreeWidget* tree, const std::vector<ProgramTreeNode>& roots) {
    tree->clear();
    for (const ProgramTreeNode& root : roots) {
        QTreeWidgetItem* item = ProgramTreeMirror::MakeItem(root);
        tree->addTopLevelItem(item);
        item->setExpanded(root.expanded);
    }
}

void Fill(QComboBox* combo, const std::vector<std::string>& items, int keep) {
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(keep >= 0 && keep < combo->count() ? keep : (combo->count() ? 0 : -1));
}

}  // namespace

Cqam16::Cqam16(QWidget* parent) : CFormTemplateView(parent) {
    QFont font("Arial");
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    setFont(font);
    m_logic = std::make_unique<Qam16Logic>();
    m_inputTree = ProgramTreeMirror::MakeTree(this);
    m_outputTree = ProgramTreeMirror::MakeTree(this);
    m_multiplexTo = new QComboBox(this);
    m_qamGroup = new QComboBox(this);
    m_inputGroup = new QComboBox(this);
    m_pidRemap = new QCheckBox("PID Remap", this);
    m_pidRemap->hide();
    m_refresh = new QPushButton("Refresh", this);
    m_analyze = new QPushButton("Input Analyze", this);
    m_edit = new QPushButton("Edit", this);
    m_remove = new QPushButton("Remove", this);

    auto* left = new QVBoxLayout;
    auto* inputHead = new QHBoxLayout;
    inputHead->addWidget(new QLabel("Input Channel Infor.:", this));
    inputHead->addWidget(m_inputGroup);
    inputHead->addStretch();
    left->addLayout(inputHead);
    left->addWidget(m_inputTree, 1);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_analyze);
    middle->addWidget(new QLabel("Multiplex To:", this));
    middle->addWidget(m_multiplexTo);
    middle->addWidget(m_refresh);
    middle->addWidget(m_edit);
    middle->addWidget(m_remove);
    middle->addWidget(m_pidRemap);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    auto* outputHead = new QHBoxLayout;
    outputHead->addWidget(new QLabel("Output Channel Infor.:", this));
    outputHead->addWidget(m_qamGroup);
    outputHead->addStretch();
    right->addLayout(outputHead);
    right->addWidget(m_outputTree, 1);
    auto* page = new QHBoxLayout(this);
    page->addLayout(left, 1);
    page->addLayout(middle);
    page->addLayout(right, 1);

    connect(m_refresh, &QPushButton::clicked, this, &Cqam16::OnRefreshClicked);
    connect(m_analyze, &QPushButton::clicked, this, &Cqam16::OnInputAnalyze);
    connect(m_edit, &QPushButton::clicked, this, &Cqam16::OnEdit);
    connect(m_remove, &QPushButton::clicked, this, &Cqam16::OnRemove);
    connect(m_multiplexTo, &QComboBox::activated, this, &Cqam16::OnMultiplexTo);
    connect(m_inputGroup, &QComboBox::activated, this, [this] { OnRefreshClicked(); });
    connect(m_qamGroup, &QComboBox::activated, this, [this] { OnRefreshClicked(); });
    m_inputTree->installEventFilter(this);
}

Cqam16::~Cqam16() = default;

void Cqam16::OnInitialUpdate() {
    m_logic = std::make_unique<Qam16Logic>();
    m_pidRemap->setChecked(true);
    FillCombos();
    m_logic->inputChanged = m_logic->outputChanged = true;
    ShowChanges();
}

void Cqam16::FillCombos() {
    const int qam = m_qamGroup->currentIndex(), input = m_inputGroup->currentIndex();
    Fill(m_multiplexTo, m_logic->MultiplexToItems(), -1);
    m_multiplexTo->setCurrentIndex(-1);
    Fill(m_qamGroup, m_logic->QamGroupItems(), qam >= 0 && qam <= 4 ? qam : 0);
    Fill(m_inputGroup, m_logic->InputGroupItems(), input >= 0 && input <= 8 ? input : 0);
    m_logic->combosChanged = false;
}

void Cqam16::ShowChanges() {
    if (m_logic->combosChanged)
        FillCombos();
    m_logic->SetGroups(m_inputGroup->currentIndex(), m_qamGroup->currentIndex());
    if (m_logic->inputChanged)
        ShowTree(m_inputTree, m_logic->InputTree());
    if (m_logic->outputChanged)
        ShowTree(m_outputTree, m_logic->OutputTree());
    m_logic->inputChanged = m_logic->outputChanged = false;
}

void Cqam16::OnRefresh(unsigned what, bool refreshed) {
    ShowChanges();
    CFormTemplateView::OnRefresh(what, refreshed);
}

void Cqam16::OnStepRefused(const PageStep&) {
    NothingLate(*m_logic);
}

void Cqam16::OnRefreshClicked() {
    m_multiplexTo->setCurrentIndex(-1);
    m_logic->SetGroups(m_inputGroup->currentIndex(), m_qamGroup->currentIndex());
    if (!DeviceOnline()) {
        // Offline: the stored table as it stands.
        m_logic->inputChanged = m_logic->outputChanged = true;
        ShowChanges();
        return;
    }
    const PageStep step = m_logic->Refresh();
    ShowChanges();
    Carry(step);
}

void Cqam16::OnInputAnalyze() {
    m_multiplexTo->setCurrentIndex(-1);
    if (DeviceOnline())
        Carry(m_logic->InputAnalyze(ProgramTreeMirror::Selection(m_inputTree), m_pidRemap->isChecked()));
}

void Cqam16::OnRemove() {
    if (DeviceOnline())
        Carry(m_logic->Remove(ProgramTreeMirror::Selection(m_outputTree)));
}

void Cqam16::OnMultiplexTo(int output) {
    if (DeviceOnline() && output >= 0)
        Carry(m_logic->MultiplexTo(ProgramTreeMirror::Selection(m_inputTree), output));
}

void Cqam16::OnInputTreeFocus() {
    m_multiplexTo->setCurrentIndex(m_logic->RoutedOutput(ProgramTreeMirror::Selection(m_inputTree)));
}

bool Cqam16::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_inputTree && event->type() == QEvent::FocusIn)
        OnInputTreeFocus();
    return CFormTemplateView::eventFilter(watched, event);
}

void Cqam16::OnEdit() {
    if (!DeviceOnline())
        return;
    ProgramInfoFields fields;
    int language = 0;
    if (!m_logic->BeginEdit(ProgramTreeMirror::Selection(m_outputTree), &fields, &language))
        return;
    CProgramInfoDlg dlg(this);
    dlg.m_info = fields;
    dlg.m_languageFlag = language;
    if (dlg.DoModal() != 1)
        return;
    Carry(m_logic->CommitEdit(dlg.m_info, dlg.m_languageFlag));
}

void Cqam16::OnShowWindow(bool shown) {
    if (shown && m_device)
        OnRefreshClicked();
}

void Cqam16::OnTimer(int id) {
    // The wait ran out: the chain stops; a late reply is shown but continues nothing.
    if (id == kWaitTimerId)
        m_logic->WaitEnded();
    CFormTemplateView::OnTimer(id);
}

void Cqam16::OnDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || device != m_device || !reply.IsValid())
        return;
    const PageStep step = ReplyStep(*m_logic, reply, IsBusy());
    if (step.IsEmpty())
        return;
    Carry(step);
    ShowChanges();
}

}  // namespace nms
