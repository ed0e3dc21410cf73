#include "pages/mux/mux_channel2_logic.h"

#include <algorithm>

namespace nms {
namespace {

constexpr int kMaxRoutedIndex = 128;

std::vector<ProgramTreeNode> ChannelNodes() {
    std::vector<ProgramTreeNode> nodes;
    for (int i = 0; i < kChannel2Channels; ++i)
        nodes.emplace_back("Channel " + std::to_string(i + 1), i);
    return nodes;
}

}  // namespace

MuxChannel2Logic::MuxChannel2Logic(int pageParam)
    : MultiOutputLogic(kChannel2Channels, kChannel2ProgramsPerChannel), m_pageParam(pageParam) {}

void MuxChannel2Logic::Initialise() {
    ResetTables();
    ProgramTreeNode in("Input-program");
    in.children = ChannelNodes();
    std::vector<ProgramTreeNode> inRoots;
    inRoots.push_back(std::move(in));
    m_inputTree.Reset(std::move(inRoots));
    std::vector<ProgramTreeNode> roots;
    static const char* const kNames[] = {"Output Channel A", "Output Channel B", "Output Channel C",
                                         "Output Channel D"};
    for (int r = 0; r < (FourOutputs() ? 4 : 1); ++r) {
        auto& root = roots.emplace_back(kNames[r], r);
        root.children = ChannelNodes();
    }
    m_outputTree.Reset(std::move(roots));
}

bool MuxChannel2Logic::SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel,
                                       int* index) const {
    const ProgramTreeNode *ch = nullptr, *prog = nullptr;
    if (!tree.ProgramNodes(path, &ch, &prog) || ch->data < 0 || ch->data >= kChannel2Channels ||
        prog->data < 0 || prog->data >= kMaxRoutedIndex || prog->data >= m_tables[ch->data].count)
        return false;
    *channel = ch->data;
    *index = prog->data;
    return true;
}

PageStep MuxChannel2Logic::InputAnalyze(const TreePath& sel, bool pidRemapChecked) {
    if (Waiting())
        return {};
    const ProgramTreeNode* node = sel.depth == 1 ? m_inputTree.Node(sel.root, sel.channel) : nullptr;
    if (!node) {
        PageStep refused;
        refused.messages.push_back("Please select Input Channel!");
        return refused;
    }
    if (node->data < 0 || node->data >= kChannel2Channels)
        return {};
    return Ask(
        kCmdIpAnalyse,
        {static_cast<uint8_t>(node->data), m_secondByte, static_cast<uint8_t>(pidRemapChecked ? 0 : 1)},
        node->data, 0, PageStep::Wait::kBeginLong);
}

PageStep MuxChannel2Logic::Route(const TreePath& sel, int output) {
    if (Waiting() || output < 0 || output > (FourOutputs() ? 3 : 0))
        return {};
    int channel = 0, index = 0;
    if (!SelectedProgram(m_inputTree, sel, &channel, &index))
        return {};
    for (int r = 0; r < static_cast<int>(m_outputTree.Roots().size()); ++r) {
        const int pos = m_outputTree.FindChannel(r, channel);
        if (pos >= 0 && m_outputTree.FindChild(r, pos, index) >= 0) {
            PageStep refused;
            refused.messages.push_back("The program has already been selected!");
            return refused;
        }
    }
    return Ask(
        kCmdIpRoute,
        {static_cast<uint8_t>(channel), static_cast<uint8_t>(index), static_cast<uint8_t>(1u << output)},
        channel, index, PageStep::Wait::kBegin);
}

PageStep MuxChannel2Logic::Remove(const TreePath& sel) {
    if (Waiting())
        return {};
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return {};
    m_removePath = sel;
    return Ask(kCmdIpRoute, {static_cast<uint8_t>(channel), static_cast<uint8_t>(index), 0}, channel, index,
               PageStep::Wait::kBegin);
}

PageStep MuxChannel2Logic::Refresh() {
    if (Waiting())
        return {};
    return Ask(kCmdIpOutputSettings, {0}, 0, 0, PageStep::Wait::kBegin);
}

PageStep MuxChannel2Logic::CommitEdit(const ProgramInfoEdit& edit) {
    if (!ApplyEdit(edit))
        return {};
    return SendEdit({static_cast<uint8_t>(m_editChannel), static_cast<uint8_t>(m_editIndex)});
}

ProgramTreeNode MuxChannel2Logic::OutputNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    const std::string out = r->OutputName();
    ProgramTreeNode node = MultiOutputProgramBody(*r, index, out.empty() ? r->InputName() : out, false);
    auto& ca = node.Add("CA");
    int shown = 0;
    for (int k = 0; k < kMaxCaEntries; ++k) {
        if (!m_settings.CasEnabled(k))
            continue;
        auto& entry = ca.Add(FormatUnsigned("CA %d", ++shown), k);
        entry.Add(FormatUnsigned("CA system id: 0x%x", m_settings.CaSystemId(k)));
        entry.Add(FormatUnsigned("ECM PID: 0x%x", r->EcmPid(k)));
    }
    return node;
}

ProgramTreeNode MuxChannel2Logic::ModifiedNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    ProgramTreeNode node = MultiOutputProgramBody(*r, index, r->OutputName(), false);
    int shown = 0;
    for (int k = 0; k < kMaxCaEntries; ++k) {
        if (!m_settings.CasEnabled(k))
            continue;
        auto& entry = node.Add(FormatUnsigned("CA %d", ++shown), k);
        entry.Add(FormatUnsigned("CA system id: %u", m_settings.CaSystemId(k)));
        entry.Add(FormatUnsigned("ECM PID: %u", r->EcmPid(k)));
    }
    return node;
}

PageStep MuxChannel2Logic::OnAnalyse(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (p.Size() < 2 || p.U8Or(0) != m_expect.channel)
        return {};
    const int channel = m_expect.channel;
    m_tables[channel].count = std::min<int>(p.U8Or(1), kChannel2ProgramsPerChannel);
    if (p.U8Or(1) == 0) {
        PageStep step;
        step.messages.push_back(FormatUnsigned("Channel %d no input!", channel + 1));
        return Finish(std::move(step));
    }
    return ReadChannel(channel);
}

PageStep MuxChannel2Logic::OnSettings(const ReplyView& r) {
    if (!r.Reader().Bytes(kSettingsOffset, MuxOutputSettings::kSize, m_settings.Data()))
        return {};
    return ReadAll(0);
}

PageStep MuxChannel2Logic::OnRoute(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 3 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    const int channel = m_expect.channel;
    const int index = m_expect.index;
    m_tables[channel].programs[index].SetOutputBits(p.U8Or(2));
    if (p.U8Or(2) != 0) {
        // A late confirmation only adds the program: it starts no new read.
        if (m_analysed[channel] && !m_lateReply) {
            m_expect = {};
            PageStep step = Refresh();
            step.wait = PageStep::Wait::kRestart;
            return step;
        }
        AddOutputProgram(channel, index);
        return Finish();
    }
    const ProgramTreeNode* ch = m_outputTree.Node(m_removePath.root, m_removePath.channel);
    const ProgramTreeNode* prog =
        m_outputTree.Node(m_removePath.root, m_removePath.channel, m_removePath.child);
    if (ch && prog && ch->data == channel && prog->data == index)
        m_outputTree.RemoveChild(m_removePath.root, m_removePath.channel, m_removePath.child);
    return Finish();
}

}  // namespace nms
