#include "pages/mux/program_tree_mirror.h"

#include <QTreeWidget>
#include <algorithm>
#include <vector>

#include "platform/codepage.h"

namespace nms {
namespace {

void ApplyExpansion(QTreeWidgetItem* item, const ProgramTreeNode& node) {
    item->setExpanded(node.expanded);
    for (int i = 0; i < item->childCount() && i < static_cast<int>(node.children.size()); ++i)
        ApplyExpansion(item->child(i), node.children[i]);
}

}  // namespace

ProgramTreeMirror::ProgramTreeMirror(QTreeWidget* inputWidget, QTreeWidget* outputWidget)
    : m_inputWidget(inputWidget), m_outputWidget(outputWidget) {}

ProgramTreeMirror::~ProgramTreeMirror() {
    Detach();
}

void ProgramTreeMirror::Attach(ProgramTree* input, ProgramTree* output) {
    Detach();
    m_input = input;
    m_output = output;
    if (m_input)
        m_input->SetObserver(this);
    if (m_output)
        m_output->SetObserver(this);
}

void ProgramTreeMirror::Detach() {
    if (m_input)
        m_input->SetObserver(nullptr);
    if (m_output)
        m_output->SetObserver(nullptr);
    m_input = m_output = nullptr;
}

QTreeWidget* ProgramTreeMirror::MakeTree(QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);  // lines at root, buttons
    tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    return tree;
}

QTreeWidgetItem* ProgramTreeMirror::MakeItem(const ProgramTreeNode& node) {
    auto* item = new QTreeWidgetItem;
    item->setText(0, QString::fromStdString(GbkToUtf8(node.text)));
    item->setData(0, Qt::UserRole, node.data);
    for (const auto& child : node.children)
        item->addChild(MakeItem(child));
    return item;
}

TreePath ProgramTreeMirror::PathOf(QTreeWidgetItem* item) {
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

TreePath ProgramTreeMirror::Selection(QTreeWidget* tree) {
    const auto selected = tree->selectedItems();
    return selected.isEmpty() ? TreePath{} : PathOf(selected.front());
}

QTreeWidget* ProgramTreeMirror::Widget(int treeId) const {
    return treeId == 0 ? m_inputWidget : m_outputWidget;
}

const ProgramTree* ProgramTreeMirror::Model(int treeId) const {
    return treeId == 0 ? m_input : m_output;
}

QTreeWidgetItem* ProgramTreeMirror::ChannelItem(int treeId, int root, int channel) const {
    QTreeWidgetItem* top = Widget(treeId)->topLevelItem(root);
    return top ? top->child(channel) : nullptr;
}

void ProgramTreeMirror::TreeReset(int treeId) {
    QTreeWidget* tree = Widget(treeId);
    tree->clear();
    if (!Model(treeId))
        return;
    for (const auto& root : Model(treeId)->Roots()) {
        QTreeWidgetItem* item = MakeItem(root);
        tree->addTopLevelItem(item);
        ApplyExpansion(item, root);
    }
}

void ProgramTreeMirror::ChildInserted(int treeId, int root, int channel, int child) {
    QTreeWidgetItem* parent = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId) ? Model(treeId)->Node(root, channel, child) : nullptr;
    if (!parent || !node)
        return;
    QTreeWidgetItem* item = MakeItem(*node);
    parent->insertChild(child, item);
    ApplyExpansion(item, *node);
}

void ProgramTreeMirror::ChildRemoved(int treeId, int root, int channel, int child) {
    if (QTreeWidgetItem* parent = ChannelItem(treeId, root, channel))
        delete parent->takeChild(child);
}

void ProgramTreeMirror::ChildReplaced(int treeId, int root, int channel, int child) {
    QTreeWidgetItem* parent = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId) ? Model(treeId)->Node(root, channel, child) : nullptr;
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

void ProgramTreeMirror::ChannelExpanded(int treeId, int root, int channel) {
    if (QTreeWidgetItem* item = ChannelItem(treeId, root, channel))
        item->setExpanded(true);
}

void ProgramTreeMirror::ChannelRenamed(int treeId, int root, int channel) {
    QTreeWidgetItem* item = ChannelItem(treeId, root, channel);
    const ProgramTreeNode* node = Model(treeId) ? Model(treeId)->Node(root, channel) : nullptr;
    if (item && node)
        item->setText(0, QString::fromStdString(GbkToUtf8(node->text)));
}

}  // namespace nms
