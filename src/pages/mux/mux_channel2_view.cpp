#include "pages/mux/mux_channel2_view.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "pages/mux/mux_channel_view.h"
#include "pages/mux/program_info_dlg.h"
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
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    return tree;
}

}  // namespace

Cmuxchannel2::Cmuxchannel2(QWidget* parent) : CFormTemplateView(parent) {
    m_inputTree = MakeTree(this);
    m_outputTree = MakeTree(this);
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

Cmuxchannel2::~Cmuxchannel2() {
    if (m_logic) {
        m_logic->InputTree().SetObserver(nullptr);
        m_logic->OutputTree().SetObserver(nullptr);
    }
}

void Cmuxchannel2::OnInitialUpdate() {
    if (m_logic) {
        m_logic->InputTree().SetObserver(nullptr);
        m_logic->OutputTree().SetObserver(nullptr);
    }
    m_logic = std::make_unique<MuxChannel2Logic>(m_pageParam);
    m_logic->InputTree().SetObserver(this);
    m_logic->OutputTree().SetObserver(this);
    m_logic->Initialise();
    for (int n = 1; n < 4; ++n)
        m_out[n]->setVisible(m_logic->FourOutputs());
}

TreePath Cmuxchannel2::Selection(QTreeWidget* tree) const {
    const auto selected = tree->selectedItems();
    return selected.isEmpty() ? TreePath{} : CMuxChannelView::PathOf(selected.front());
}

void Cmuxchannel2::OnStepRefused(const PageStep&) {
    m_logic->WaitEnded();
}

void Cmuxchannel2::OnInputAnalyze() {
    if ((m_logic && DeviceOnline()))
        Carry(m_logic->InputAnalyze(Selection(m_inputTree), m_pidRemap->isChecked()));
}

void Cmuxchannel2::OnOut(int output) {
    if ((m_logic && DeviceOnline()) && output >= 0 && output < 4 && (output == 0 || m_logic->FourOutputs()))
        Carry(m_logic->Route(Selection(m_inputTree), output));
}

void Cmuxchannel2::OnRemove() {
    if ((m_logic && DeviceOnline()))
        Carry(m_logic->Remove(Selection(m_outputTree)));
}

void Cmuxchannel2::OnEdit() {
    if (!(m_logic && DeviceOnline()))
        return;
    ProgramInfoEdit edit;
    if (!m_logic->BeginEdit(Selection(m_outputTree), &edit))
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

// ---- Mirror of the model ----

QTreeWidget* Cmuxchannel2::Widget(int treeId) const {
    return treeId == MuxChannel2Logic::kInputTree ? m_inputTree : m_outputTree;
}

const ProgramTree& Cmuxchannel2::Model(int treeId) const {
    return treeId == MuxChannel2Logic::kInputTree ? m_logic->InputTree() : m_logic->OutputTree();
}

QTreeWidgetItem* Cmuxchannel2::ChannelItem(int treeId, int root, int channel) const {
    QTreeWidgetItem* top = Widget(treeId)->topLevelItem(root);
    return top ? top->child(channel) : nullptr;
}

void Cmuxchannel2::TreeReset(int treeId) {
    QTreeWidget* tree = Widget(treeId);
    tree->clear();
    for (const auto& root : Model(treeId).Roots()) {
        QTreeWidgetItem* item = MakeItem(root);
        tree->addTopLevelItem(item);
        ApplyExpansion(item, root);
    }
}

void Cmuxchannel2::ChildInserted(int treeId, int root, int channel, int child) {
    QTreeWidgetItem* parent = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId).Node(root, channel, child);
    if (!parent || !node)
        return;
    QTreeWidgetItem* item = MakeItem(*node);
    parent->insertChild(child, item);
    ApplyExpansion(item, *node);
}

void Cmuxchannel2::ChildRemoved(int treeId, int root, int channel, int child) {
    if (QTreeWidgetItem* parent = ChannelItem(treeId, root, channel))
        delete parent->takeChild(child);
}

void Cmuxchannel2::ChildReplaced(int treeId, int root, int channel, int child) {
    QTreeWidgetItem* parent = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId).Node(root, channel, child);
    QTreeWidgetItem* item = parent ? parent->child(child) : nullptr;
    if (!item || !node)
        return;
    qDeleteAll(item->takeChildren());
    item->setText(0, QString::fromStdString(GbkToUtf8(node->text)));
    item->setData(0, Qt::UserRole, node->data);
    for (const auto& c : node->children)
        item->addChild(MakeItem(c));
    ApplyExpansion(item, *node);
}

void Cmuxchannel2::ChannelExpanded(int treeId, int root, int channel) {
    if (QTreeWidgetItem* item = ChannelItem(treeId, root, channel))
        item->setExpanded(true);
}

}  // namespace nms
