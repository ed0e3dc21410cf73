#include "pages/mux/mux_channel_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/mux/edit_program_dlg.h"
#include "pages/mux/transcode_program_dlg.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {
namespace {

QTreeWidgetItem* MakeItem(const ProgramTreeNode& node) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(GbkToUtf8(node.text)));
    item->setData(0, Qt::UserRole, node.data);
    for (const auto& child : node.children)
        item->addChild(MakeItem(child));
    return item;
}

void ApplyExpansion(QTreeWidgetItem* item, const ProgramTreeNode& node) {
    item->setExpanded(node.expanded);
    for (int i = 0; i < item->childCount() && i < static_cast<int>(node.children.size()); ++i)
        ApplyExpansion(item->child(i), node.children[i]);
}

QTreeWidget* MakeTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);  // lines at root, buttons
    tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    return tree;
}

}  // namespace

CMuxChannelView::CMuxChannelView(QWidget* parent) : CFormTemplateView(parent) {
    m_inputTree = MakeTree(this);
    m_outputTree = MakeTree(this);
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

CMuxChannelView::~CMuxChannelView() {
    if (m_logic) {
        m_logic->InputTree().SetObserver(nullptr);
        m_logic->OutputTree().SetObserver(nullptr);
    }
}

void CMuxChannelView::OnInitialUpdate() {
    if (!m_logic || m_logic->PageParam() != m_pageParam) {
        if (m_logic) {
            m_logic->InputTree().SetObserver(nullptr);
            m_logic->OutputTree().SetObserver(nullptr);
        }
        m_logic = std::make_unique<MuxChannelLogic>(m_pageParam);
        m_logic->InputTree().SetObserver(this);
        m_logic->OutputTree().SetObserver(this);
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

TreePath CMuxChannelView::PathOf(QTreeWidgetItem* item) {
    TreePath path;
    if (!item)
        return path;
    std::vector<QTreeWidgetItem*> chain;
    for (QTreeWidgetItem* i = item; i; i = i->parent())
        chain.insert(chain.begin(), i);
    QTreeWidget* tree = item->treeWidget();
    path.depth = std::min<int>(static_cast<int>(chain.size()) - 1, 3);
    path.root = tree ? tree->indexOfTopLevelItem(chain[0]) : -1;
    if (chain.size() > 1)
        path.channel = chain[0]->indexOfChild(chain[1]);
    if (chain.size() > 2)
        path.child = chain[1]->indexOfChild(chain[2]);
    return path;
}

TreePath CMuxChannelView::Selection(QTreeWidget* tree) const {
    const auto selected = tree->selectedItems();
    return selected.isEmpty() ? TreePath{} : PathOf(selected.front());
}

void CMuxChannelView::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void CMuxChannelView::OnInputAnalyze() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->InputAnalyze(Selection(m_inputTree), m_pidRemap->isChecked()));
}

void CMuxChannelView::OnSelect() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->Select(Selection(m_inputTree), 1));
}

void CMuxChannelView::OnOutB() {
    if (!(m_logic && DeviceOnline()) || !m_logic->IsTwoOutput())
        return;
    Carry(m_logic->Select(Selection(m_inputTree), 2));
}

void CMuxChannelView::OnRefreshOut() {
    if (!(m_logic && DeviceOnline()))
        return;
    Carry(m_logic->RefreshOut());
}

void CMuxChannelView::OnEdit() {
    if (!(m_logic && DeviceOnline()))
        return;
    const TreePath sel = Selection(m_outputTree);
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
    Carry(m_logic->Remove(Selection(m_outputTree)));
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

// ---- Mirror of the model ----

QTreeWidget* CMuxChannelView::Widget(int treeId) const {
    return treeId == MuxChannelLogic::kInputTree ? m_inputTree : m_outputTree;
}

const ProgramTree& CMuxChannelView::Model(int treeId) const {
    return treeId == MuxChannelLogic::kInputTree ? m_logic->InputTree() : m_logic->OutputProgramTree();
}

QTreeWidgetItem* CMuxChannelView::ChannelItem(int treeId, int root, int channel) const {
    QTreeWidgetItem* top = Widget(treeId)->topLevelItem(root);
    return top ? top->child(channel) : nullptr;
}

void CMuxChannelView::TreeReset(int treeId) {
    QTreeWidget* tree = Widget(treeId);
    tree->clear();
    for (const auto& root : Model(treeId).Roots()) {
        QTreeWidgetItem* item = MakeItem(root);
        tree->addTopLevelItem(item);
        ApplyExpansion(item, root);
    }
}

void CMuxChannelView::ChildInserted(int treeId, int root, int channel, int child) {
    QTreeWidgetItem* parent = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId).Node(root, channel, child);
    if (!parent || !node)
        return;
    QTreeWidgetItem* item = MakeItem(*node);
    parent->insertChild(child, item);
    ApplyExpansion(item, *node);
}

void CMuxChannelView::ChildRemoved(int treeId, int root, int channel, int child) {
    if (QTreeWidgetItem* parent = ChannelItem(treeId, root, channel))
        delete parent->takeChild(child);
}

void CMuxChannelView::ChildReplaced(int treeId, int root, int channel, int child) {
    QTreeWidgetItem* parent = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId).Node(root, channel, child);
    QTreeWidgetItem* item = parent ? parent->child(child) : nullptr;
    if (!item || !node)
        return;
    // Emptied and rebuilt in place, so the selection stays on it.
    qDeleteAll(item->takeChildren());
    item->setText(0, QString::fromStdString(GbkToUtf8(node->text)));
    item->setData(0, Qt::UserRole, node->data);
    for (const auto& c : node->children)
        item->addChild(MakeItem(c));
    ApplyExpansion(item, *node);
}

void CMuxChannelView::ChannelExpanded(int treeId, int root, int channel) {
    if (QTreeWidgetItem* item = ChannelItem(treeId, root, channel))
        item->setExpanded(true);
}

}  // namespace nms
