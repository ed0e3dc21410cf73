#include "pages/mux/mux_ip_logic.h"

#include <algorithm>
#include <cstdio>

namespace nms {
namespace {

constexpr uint16_t kAsiIpType = 0x4187;       // inputs "ASI In", "IP In1".."IP In8" after channel 8
constexpr uint16_t kFourOutputType = 0x2125;  // layout 39 with outputs C and D

std::string ChannelText(int n) {
    return "Channel " + std::to_string(n);
}

// The channels 9 and on of an input or output list.
void AddUpperChannels(std::vector<ProgramTreeNode>* nodes, int n, uint16_t deviceType) {
    if (n <= 8)
        return;
    if (deviceType == kAsiIpType) {
        nodes->emplace_back("ASI In");
        for (int i = 1; i <= 8; ++i)
            nodes->emplace_back("IP In" + std::to_string(i));
        return;
    }
    for (int i = 9; i <= 12; ++i)
        nodes->emplace_back(ChannelText(i));
    if (n > 12)
        for (int i = 13; i <= 16; ++i)
            nodes->emplace_back(ChannelText(i));
}

void NumberNodes(std::vector<ProgramTreeNode>* nodes) {
    for (int i = 0; i < static_cast<int>(nodes->size()); ++i)
        (*nodes)[i].data = i;
}

}  // namespace

MuxIpLogic::MuxIpLogic(int pageParam, uint16_t deviceType)
    : MultiOutputLogic(kIpChannels, kIpProgramsPerChannel),
      m_pageParam(pageParam),
      m_deviceType(deviceType) {}

bool MuxIpLogic::OutButtonShown(int n) const {
    switch (m_pageParam) {
        case 19:
            return n == 0;
        case 35:
            return n >= 0 && n <= 3;
        case 38:
            return n >= 0 && n <= 2;
        case 39:
            return n <= 1 || (m_deviceType == kFourOutputType && n <= 3);
        case 98:
            return n == 0 || (m_moduleCount == 4 && n <= 3);
        default:
            return n >= 0 && n <= 3;
    }
}

const char* MuxIpLogic::FirstRouteText() const {
    return m_pageParam == 19 || m_pageParam == 98 ? "Select" : "Out A";
}

void MuxIpLogic::Initialise() {
    ResetTables();
    m_moduleCount = 0;
    m_channelsPerRoot = 8;
    m_bitrates = {};
    BuildTrees();
}

std::vector<ProgramTreeNode> MuxIpLogic::OutputChannelNodes(int n) const {
    std::vector<ProgramTreeNode> nodes;
    nodes.emplace_back(ChannelText(1));
    nodes.emplace_back(ChannelText(2));
    if (n >= 3)
        for (int i = 3; i <= 5; ++i)
            nodes.emplace_back(ChannelText(i));
    if (n > 5) {
        nodes.emplace_back(ChannelText(6));
        nodes.emplace_back(ChannelText(7));
    }
    if (n > 7)
        nodes.emplace_back(ChannelText(8));
    AddUpperChannels(&nodes, n, m_deviceType);
    NumberNodes(&nodes);
    return nodes;
}

int MuxIpLogic::OutputRootCount() const {
    switch (m_pageParam) {
        case 19:
            return 1;
        case 39:
            return m_deviceType == kFourOutputType ? 4 : 2;
        case 98:
            return m_moduleCount == 4 ? 4 : 1;
        default:
            return 4;
    }
}

void MuxIpLogic::BuildTrees() {
    int channels = 8;
    if (m_pageParam == 35 || m_pageParam == 38)
        channels = m_deviceType == kAsiIpType ? 17 : 12;
    else if (m_pageParam == 39)
        channels = 16;
    else if (m_pageParam == 98)
        channels = 5;

    std::vector<ProgramTreeNode> inputs;
    for (int i = 1; i <= std::min(channels, 8); ++i)
        inputs.emplace_back(ChannelText(i));
    if (m_pageParam == 39) {
        for (int i = 9; i <= 16; ++i)
            inputs.emplace_back(ChannelText(i));
    } else {
        AddUpperChannels(&inputs, channels, m_deviceType);
    }
    NumberNodes(&inputs);
    ProgramTreeNode inputRoot("Input-program");
    inputRoot.children = std::move(inputs);
    std::vector<ProgramTreeNode> inputRoots;
    inputRoots.push_back(std::move(inputRoot));
    m_inputTree.Reset(std::move(inputRoots));

    m_channelsPerRoot = channels;
    std::vector<ProgramTreeNode> roots;
    if (m_pageParam == 19) {
        roots.emplace_back("Output-program").children = OutputChannelNodes(channels);
    } else {
        static const char* const kNames[] = {"Output Channel A", "Output Channel B", "Output Channel C",
                                             "Output Channel D"};
        for (int r = 0; r < OutputRootCount(); ++r)
            roots.emplace_back(kNames[r]).children = OutputChannelNodes(channels);
    }
    m_outputTree.Reset(std::move(roots));
}

int MuxIpLogic::WireChannel(int nodeData) const {
    return DirectChannels() ? nodeData : m_group * 8 + nodeData;
}

int MuxIpLogic::NodeData(int wireChannel) const {
    return DirectChannels() ? wireChannel : wireChannel % 8;
}

bool MuxIpLogic::SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel,
                                 int* index) const {
    const ProgramTreeNode *ch = nullptr, *prog = nullptr;
    if (!tree.ProgramNodes(path, &ch, &prog))
        return false;
    const int wire = WireChannel(ch->data);
    // Only programs the table holds: the device numbers up to 128, the table keeps 69.
    if (wire < 0 || wire >= kIpChannels || prog->data < 0 || prog->data >= kIpProgramsPerChannel)
        return false;
    *channel = wire;
    *index = prog->data;
    return true;
}

// ---- Operator actions ----

PageStep MuxIpLogic::InputAnalyze(const TreePath& sel) {
    if (Waiting())
        return {};
    const ProgramTreeNode* node = sel.depth == 1 ? m_inputTree.Node(sel.root, sel.channel) : nullptr;
    if (!node) {
        PageStep refused;
        refused.messages.push_back("Please select Input Channel!");
        return refused;
    }
    const int wire = WireChannel(node->data);
    if (wire < 0 || wire >= kIpChannels)
        return {};
    // "PID Remap" stays checked on this page: remap 1.
    return Ask(kCmdIpAnalyse, {static_cast<uint8_t>(wire), 0, 1}, wire, 0, PageStep::Wait::kBeginLong);
}

PageStep MuxIpLogic::Route(const TreePath& sel, int output) {
    if (Waiting() || output < 0 || output > 3)
        return {};
    int channel = 0, index = 0;
    if (!SelectedProgram(m_inputTree, sel, &channel, &index) || index >= m_tables[channel].count)
        return {};
    const int data = m_inputTree.Node(sel.root, sel.channel)->data;
    const auto& roots = m_outputTree.Roots();
    for (int r = 0; r < static_cast<int>(roots.size()); ++r) {
        const int pos = m_outputTree.FindChannel(r, data);
        if (pos >= 0 && m_outputTree.FindChild(r, pos, index) >= 0) {
            PageStep refused;
            refused.messages.push_back("The program has already been selected!");
            return refused;
        }
    }
    return Ask(
        kCmdIpRoute,
        {static_cast<uint8_t>(channel), static_cast<uint8_t>(index), static_cast<uint8_t>(1u << output), 1},
        channel, index, PageStep::Wait::kBegin);
}

PageStep MuxIpLogic::Remove(const TreePath& sel) {
    if (Waiting())
        return {};
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return {};
    m_removeRoot = sel.root;
    m_removeChannelPos = sel.channel;
    return Ask(kCmdIpRoute, {static_cast<uint8_t>(channel), static_cast<uint8_t>(index), 0}, channel, index,
               PageStep::Wait::kBegin);
}

PageStep MuxIpLogic::Refresh() {
    if (Waiting())
        return {};
    const int group = GroupComboShown() ? m_group : 0;
    auto relabel = [&](ProgramTree& tree) {
        for (int r = 0; r < static_cast<int>(tree.Roots().size()); ++r) {
            const int n = std::min<int>(m_channelsPerRoot, static_cast<int>(tree.Roots()[r].children.size()));
            for (int pos = 0; pos < n; ++pos)
                tree.SetChannelText(r, pos, ChannelText(group * m_channelsPerRoot + pos + 1));
        }
    };
    relabel(m_inputTree);
    relabel(m_outputTree);
    return Ask(kCmdIpOutputSettings, {0}, 0, 0, PageStep::Wait::kBeginLong);
}

bool MuxIpLogic::BeginEdit(const TreePath& sel, ProgramInfoEdit* edit) {
    if (!MultiOutputLogic::BeginEdit(sel, edit))
        return false;
    const MultiOutputProgramRecord& b = m_editBuffer;
    edit->languageFlag = b.LanguageFlag();
    edit->info.ciField = b.CiFlag() == MultiOutputProgramRecord::kCiSlotMark ? (b.CiMode() | 0x80u) : 0;
    edit->info.casLabelFlag = 0;
    return true;
}

PageStep MuxIpLogic::CommitEdit(const ProgramInfoEdit& edit) {
    if (!ApplyEdit(edit))
        return {};
    MultiOutputProgramRecord& b = m_editBuffer;
    b.SetLanguageFlag(static_cast<uint8_t>(edit.languageFlag));
    // After the element PIDs: the CI mode shares the last element slot.
    if (b.CiFlag() == MultiOutputProgramRecord::kCiSlotMark)
        b.SetCiMode(static_cast<uint16_t>(edit.info.ciField & 0x0F));
    return SendEdit({static_cast<uint8_t>(m_editChannel), static_cast<uint8_t>(m_editIndex), 0});
}

// ---- Tree nodes ----

ProgramTreeNode MuxIpLogic::OutputNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    const std::string out = r->OutputName();
    ProgramTreeNode node = MultiOutputProgramBody(*r, index, out.empty() ? r->InputName() : out, false);
    auto& ca = node.Add("CA");
    for (int k = 0; k < kMaxCaEntries; ++k) {
        auto& entry = ca.Add(FormatUnsigned("CA %d", k + 1), k);
        entry.Add(FormatUnsigned("CA system id: 0X%X", m_settings.CaSystemId(k)));
        entry.Add(FormatUnsigned("ECM PID: 0x%x", r->EcmPid(k)));
    }
    return node;
}

ProgramTreeNode MuxIpLogic::ModifiedNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    ProgramTreeNode node = MultiOutputProgramBody(*r, index, r->OutputName(), false);
    for (int k = 0; k < kMaxCaEntries; ++k) {
        auto& entry = node.Add(FormatUnsigned("CA %d", k + 1), k);
        entry.Add(FormatUnsigned("CA system id: %u", m_settings.CaSystemId(k)));
        entry.Add(FormatUnsigned("ECM PID: %X", r->EcmPid(k)));
    }
    return node;
}

// ---- Replies ----

PageStep MuxIpLogic::OnAnalyse(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 4 || p.U8Or(0) != m_expect.channel)
        return {};
    const int channel = p.U8Or(0);
    const uint8_t state = p.U8Or(3);
    m_channel = channel;
    m_index = 0;
    m_tables[channel].count = 0;
    if (state == 0 || state == 255) {
        RebuildInputChannel(channel);
        PageStep step;
        step.messages.push_back(FormatUnsigned(
            state == 0 ? "Channel %d: there is no stream!" : "Channel %d: Un-Lock!", channel + 1));
        return Finish(std::move(step));
    }
    return ReadChannel(channel);
}

PageStep MuxIpLogic::OnSettings(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (!p.Bytes(kSettingsOffset, MuxOutputSettings::kSize, m_settings.Data()))
        return {};
    if (m_pageParam == 98 && int(p.Size()) > kSettingsOffset + MuxOutputSettings::kSize) {
        m_moduleCount = p.U8Or(kSettingsOffset + MuxOutputSettings::kSize);
        if (m_moduleCount == 4)
            BuildTrees();
    }
    return ReadAll((GroupComboShown() ? m_group : 0) * 8);
}

int MuxIpLogic::ReadLimit(const ReplyView& r) const {
    if (!DirectChannels())
        return kIpChannels;
    return r.B() == 12 || r.B() == 16 || r.B() == 17 ? r.B() : 7;
}

void MuxIpLogic::ShownChannels(int limit, int* from, int* to) const {
    *from = 0;
    *to = limit;
    if (!DirectChannels()) {
        *from = (GroupComboShown() ? m_group : 0) * 8;
        *to = *from + 8;
    }
}

PageStep MuxIpLogic::OnRoute(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 3 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    const int channel = m_expect.channel;
    const int index = m_expect.index;
    MultiOutputProgramRecord& record = m_tables[channel].programs[index];
    const uint8_t mask = p.U8Or(2);
    if (mask & 0x0F) {
        record.SetOutputBits(mask);
        // A late confirmation only adds the program: it starts no new read.
        if (m_analysed[channel] && !m_lateReply) {
            m_analysed[channel] = false;
            m_expect = {};
            PageStep step = Refresh();
            step.wait = PageStep::Wait::kRestartLong;  // the output side is read again: 80 s, as its own read
            return step;
        }
        AddOutputProgram(channel, index);
        return Finish();
    }
    record.SetOutputBits(0);
    const ProgramTreeNode* node = m_outputTree.Node(m_removeRoot, m_removeChannelPos);
    if (node && node->data == NodeData(channel)) {
        const int child = m_outputTree.FindChild(m_removeRoot, m_removeChannelPos, index);
        if (child >= 0)
            m_outputTree.RemoveChild(m_removeRoot, m_removeChannelPos, child);
    }
    return Finish();
}

void MuxIpLogic::OnStatus(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 17)
        return;
    for (int k = 0; k < 4; ++k) {
        const uint32_t v = p.U32LEOr(1 + 4 * size_t(k));
        char buf[32];
        std::snprintf(buf, sizeof buf, "%u.%03u", v / 1000, v % 1000);
        m_bitrates[k] = buf;
    }
}

}  // namespace nms
