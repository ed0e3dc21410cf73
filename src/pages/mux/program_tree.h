// The program trees of the multiplexer pages as plain data: roots, channel nodes under them, program nodes
// under the channels. The page mirrors every change into its tree widgets through the observer; the PSI/SI
// editor reads the output tree through IOutputProgramSource. Node texts are code-page bytes (GBK).
#pragma once

#include <string>
#include <vector>

namespace nms {

struct ProgramTreeNode {
    std::string text;
    int data = 0;  // channel number, program index or a value (service id, PIDs)
    bool expanded = false;
    std::vector<ProgramTreeNode> children;

    ProgramTreeNode() = default;
    explicit ProgramTreeNode(std::string t, int d = 0) : text(std::move(t)), data(d) {}
    ProgramTreeNode& Add(std::string t, int d = 0) {
        children.emplace_back(std::move(t), d);
        return children.back();
    }
};

// A node of one of the trees: depth 0 a root, 1 a channel node, 2 a program node, 3 and more below.
struct TreePath {
    int depth = -1;  // -1: no selection
    int root = -1;
    int channel = -1;  // position under the root
    int child = -1;    // position under the channel node
};

// Receives every change of a ProgramTree right after it was made. Positions are indexes in the model.
class IProgramTreeObserver {
public:
    virtual ~IProgramTreeObserver() = default;
    virtual void TreeReset(int treeId) = 0;
    virtual void ChildInserted(int treeId, int root, int channel, int child) = 0;
    virtual void ChildRemoved(int treeId, int root, int channel, int child) = 0;
    virtual void ChildReplaced(int treeId, int root, int channel, int child) = 0;
    virtual void ChannelExpanded(int treeId, int root, int channel) = 0;
    virtual void ChannelRenamed(int treeId, int root, int channel) {}
};

class ProgramTree {
public:
    explicit ProgramTree(int id = 0) : m_id(id) {}

    int Id() const { return m_id; }
    void SetObserver(IProgramTreeObserver* observer) { m_observer = observer; }
    const std::vector<ProgramTreeNode>& Roots() const { return m_roots; }

    // Replaces everything: the roots (expanded) with their channel nodes.
    void Reset(std::vector<ProgramTreeNode> roots);

    // Position of the channel node with this channel number under root, or -1.
    int FindChannel(int root, int channel) const;
    // Position of the child of the channel node whose data is value, or -1.
    int FindChild(int root, int channelPos, int value) const;
    const ProgramTreeNode* Node(int root, int channelPos = -1, int child = -1) const;
    // The channel node and the program node of a program path (depth 2); false when path names none.
    bool ProgramNodes(const TreePath& path, const ProgramTreeNode** channel,
                      const ProgramTreeNode** program) const;

    void AppendChild(int root, int channelPos, ProgramTreeNode node);
    void RemoveChild(int root, int channelPos, int child);
    void ReplaceChild(int root, int channelPos, int child, ProgramTreeNode node);
    void ClearChannel(int root, int channelPos);
    // Every program node of every channel.
    void ClearAllChannels();
    void ExpandChannel(int root, int channelPos);
    void SetChannelText(int root, int channelPos, std::string text);

private:
    ProgramTreeNode* Channel(int root, int channelPos);

    int m_id;
    std::vector<ProgramTreeNode> m_roots;
    IProgramTreeObserver* m_observer = nullptr;
};

// What the PSI/SI editor reads of the input channel page: its output tree (channel nodes under the roots,
// their program nodes with item data and texts) and the program records behind them.
class ProgramRecord;
class IOutputProgramSource {
public:
    virtual ~IOutputProgramSource() = default;
    virtual const ProgramTree& OutputProgramTree() const = 0;
    // The record of channel 1..16 and program index 1..128, or null.
    virtual const ProgramRecord* ProgramAt(int channel, int index) const = 0;
};

}  // namespace nms
