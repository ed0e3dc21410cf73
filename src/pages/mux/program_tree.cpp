#include "pages/mux/program_tree.h"

namespace nms {

void ProgramTree::Reset(std::vector<ProgramTreeNode> roots) {
    m_roots = std::move(roots);
    for (auto& r : m_roots)
        r.expanded = true;
    if (m_observer)
        m_observer->TreeReset(m_id);
}

int ProgramTree::FindChannel(int root, int channel) const {
    if (root < 0 || root >= static_cast<int>(m_roots.size()))
        return -1;
    const auto& kids = m_roots[root].children;
    for (int i = 0; i < static_cast<int>(kids.size()); ++i)
        if (kids[i].data == channel)
            return i;
    return -1;
}

int ProgramTree::FindChild(int root, int channelPos, int value) const {
    const ProgramTreeNode* ch = Node(root, channelPos);
    if (!ch)
        return -1;
    for (int i = 0; i < static_cast<int>(ch->children.size()); ++i)
        if (ch->children[i].data == value)
            return i;
    return -1;
}

bool ProgramTree::ProgramNodes(const TreePath& path, const ProgramTreeNode** channel,
                               const ProgramTreeNode** program) const {
    if (path.depth != 2)
        return false;
    *channel = Node(path.root, path.channel);
    *program = Node(path.root, path.channel, path.child);
    return *channel && *program;
}

const ProgramTreeNode* ProgramTree::Node(int root, int channelPos, int child) const {
    if (root < 0 || root >= static_cast<int>(m_roots.size()))
        return nullptr;
    const ProgramTreeNode* n = &m_roots[root];
    if (channelPos < 0)
        return n;
    if (channelPos >= static_cast<int>(n->children.size()))
        return nullptr;
    n = &n->children[channelPos];
    if (child < 0)
        return n;
    if (child >= static_cast<int>(n->children.size()))
        return nullptr;
    return &n->children[child];
}

ProgramTreeNode* ProgramTree::Channel(int root, int channelPos) {
    return const_cast<ProgramTreeNode*>(channelPos < 0 ? nullptr : Node(root, channelPos));
}

void ProgramTree::AppendChild(int root, int channelPos, ProgramTreeNode node) {
    ProgramTreeNode* ch = Channel(root, channelPos);
    if (!ch)
        return;
    ch->children.push_back(std::move(node));
    if (m_observer)
        m_observer->ChildInserted(m_id, root, channelPos, static_cast<int>(ch->children.size()) - 1);
}

void ProgramTree::RemoveChild(int root, int channelPos, int child) {
    ProgramTreeNode* ch = Channel(root, channelPos);
    if (!ch || child < 0 || child >= static_cast<int>(ch->children.size()))
        return;
    ch->children.erase(ch->children.begin() + child);
    if (m_observer)
        m_observer->ChildRemoved(m_id, root, channelPos, child);
}

void ProgramTree::ReplaceChild(int root, int channelPos, int child, ProgramTreeNode node) {
    ProgramTreeNode* ch = Channel(root, channelPos);
    if (!ch || child < 0 || child >= static_cast<int>(ch->children.size()))
        return;
    ch->children[child] = std::move(node);
    if (m_observer)
        m_observer->ChildReplaced(m_id, root, channelPos, child);
}

void ProgramTree::ClearChannel(int root, int channelPos) {
    ProgramTreeNode* ch = Channel(root, channelPos);
    if (!ch)
        return;
    while (!ch->children.empty())
        RemoveChild(root, channelPos, static_cast<int>(ch->children.size()) - 1);
}

void ProgramTree::ClearAllChannels() {
    for (int r = 0; r < static_cast<int>(m_roots.size()); ++r)
        for (int c = 0; c < static_cast<int>(m_roots[r].children.size()); ++c)
            ClearChannel(r, c);
}

void ProgramTree::ExpandChannel(int root, int channelPos) {
    ProgramTreeNode* ch = Channel(root, channelPos);
    if (!ch)
        return;
    ch->expanded = true;
    if (m_observer)
        m_observer->ChannelExpanded(m_id, root, channelPos);
}

void ProgramTree::SetChannelText(int root, int channelPos, std::string text) {
    ProgramTreeNode* ch = Channel(root, channelPos);
    if (!ch)
        return;
    ch->text = std::move(text);
    if (m_observer)
        m_observer->ChannelRenamed(m_id, root, channelPos);
}

}  // namespace nms
