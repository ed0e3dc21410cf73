// The two tree widgets of a program routing page (input programs, output programs) kept in step with the
// ProgramTree models that the page's logic changes: the logic never touches a widget, the widgets never
// hold anything the models do not.
#pragma once

#include "pages/mux/mux_channel_logic.h"
#include "pages/mux/program_tree.h"

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace nms {

class ProgramTreeMirror : public IProgramTreeObserver {
public:
    // The tree ids the logics give their models: 0 the input tree, 1 the output tree.
    ProgramTreeMirror(QTreeWidget* inputWidget, QTreeWidget* outputWidget);
    ~ProgramTreeMirror() override;

    // Observes the two models from now on (and stops observing the previous ones).
    void Attach(ProgramTree* input, ProgramTree* output);
    void Detach();

    // A tree widget as the routing pages show them: no header, one selected item.
    static QTreeWidget* MakeTree(QWidget* parent);
    // A widget item of a node, its children below it; the item data is the node's.
    static QTreeWidgetItem* MakeItem(const ProgramTreeNode& node);
    // The tree position of a widget item (depth 0 root, 1 channel, 2 program, 3 below).
    static TreePath PathOf(QTreeWidgetItem* item);
    // The position of the selected item (depth -1 when nothing is selected).
    static TreePath Selection(QTreeWidget* tree);

    // IProgramTreeObserver
    void TreeReset(int treeId) override;
    void ChildInserted(int treeId, int root, int channel, int child) override;
    void ChildRemoved(int treeId, int root, int channel, int child) override;
    void ChildReplaced(int treeId, int root, int channel, int child) override;
    void ChannelExpanded(int treeId, int root, int channel) override;
    void ChannelRenamed(int treeId, int root, int channel) override;

private:
    QTreeWidget* Widget(int treeId) const;
    const ProgramTree* Model(int treeId) const;
    QTreeWidgetItem* ChannelItem(int treeId, int root, int channel) const;

    QTreeWidget* m_inputWidget;
    QTreeWidget* m_outputWidget;
    ProgramTree* m_input = nullptr;
    ProgramTree* m_output = nullptr;
};

}  // namespace nms
