#include "pages/mux/mux_channel2_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "pages/mux/stream_type_labels.h"

namespace nms {
namespace {

constexpr int kRecordOffset = 3;
constexpr int kSettingsOffset = 16;  // packet byte 23
constexpr int kMaxRoutedIndex = 128;

std::string Format(const char* format, unsigned value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

std::vector<ProgramTreeNode> ChannelNodes() {
    std::vector<ProgramTreeNode> nodes;
    for (int i = 0; i < kChannel2Channels; ++i)
        nodes.emplace_back("Channel " + std::to_string(i + 1), i);
    return nodes;
}

ProgramTreeNode ProgramBody(const MultiOutputProgramRecord& r, int index, const std::string& name,
                            bool input) {
    ProgramTreeNode node(std::to_string(index + 1) + " " + name, index);
    node.Add("Service ID:" + std::to_string(input ? r.InputServiceId() : r.OutputServiceId()));
    node.Add(Format("PMT PID:0x%x", input ? r.InputPmtPid() : r.OutputPmtPid()));
    node.Add(Format("PCR PID:0x%x", input ? r.InputPcrPid() : r.OutputPcrPid()));
    const int count = r.ElementCount();
    if (count >= 1 && count < kMaxElements) {
        for (int i = 0; i < count; ++i) {
            auto& e = node.Add(StreamTypeLabels::Tree(r.ElementStreamType(i), TreeLabelStyle::kMultiOutput));
            e.Add(Format("PID:0x%x", input ? r.ElementInputPid(i) : r.ElementOutputPid(i)));
        }
    }
    return node;
}

}  // namespace

MuxChannel2Logic::MuxChannel2Logic(int pageParam) : m_pageParam(pageParam) {}

int MuxChannel2Logic::ProgramCount(int channel) const {
    return channel >= 0 && channel < kChannel2Channels ? m_tables[channel].count : 0;
}

const MultiOutputProgramRecord* MuxChannel2Logic::Program(int channel, int index) const {
    if (channel < 0 || channel >= kChannel2Channels || index < 0 || index >= kChannel2ProgramsPerChannel)
        return nullptr;
    return &m_tables[channel].programs[index];
}

bool MuxChannel2Logic::Analysed(int channel) const {
    return channel >= 0 && channel < kChannel2Channels && m_analysed[channel];
}

void MuxChannel2Logic::Initialise() {
    m_tables.assign(kChannel2Channels, Table{});
    m_settings = MuxOutputSettings{};
    m_analysed.fill(false);
    m_fullRead = false;
    m_expect = {};
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
    if (path.depth != 2)
        return false;
    const ProgramTreeNode* ch = tree.Node(path.root, path.channel);
    const ProgramTreeNode* prog = tree.Node(path.root, path.channel, path.child);
    if (!ch || !prog || ch->data < 0 || ch->data >= kChannel2Channels || prog->data < 0 ||
        prog->data >= kMaxRoutedIndex || prog->data >= m_tables[ch->data].count)
        return false;
    *channel = ch->data;
    *index = prog->data;
    return true;
}

PageStep MuxChannel2Logic::Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index,
                               PageStep::Wait wait, bool followUp) {
    m_expect = {true, command, channel, index};
    if (payload.size() > 1)
        m_secondByte = payload[1];
    PageStep step;
    step.command = command;
    step.payload = std::move(payload);
    step.wait = wait;
    step.checkOnline = !followUp;
    return step;
}

PageStep MuxChannel2Logic::Finish(PageStep step) {
    m_expect = {};
    step.wait = PageStep::Wait::kEnd;
    return step;
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

bool MuxChannel2Logic::BeginEdit(const TreePath& sel, ProgramInfoEdit* edit) {
    if (Waiting())
        return false;
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return false;
    m_editBuffer = m_tables[channel].programs[index];
    m_editChannel = channel;
    m_editIndex = index;
    m_editPath = sel;
    const MultiOutputProgramRecord& b = m_editBuffer;
    ProgramInfoFields& f = edit->info;
    f = ProgramInfoFields();
    std::memcpy(f.name.data(), b.OutputNameField(), kProgramNameWidth);
    f.serviceId = b.OutputServiceId();
    f.pmtPid = b.OutputPmtPid();
    f.pcrPid = b.OutputPcrPid();
    f.elementCount = b.ElementCount();
    for (int i = 0; i < std::min<int>(b.ElementCount(), kMaxElements); ++i) {
        f.streamTypes[i] = b.ElementStreamType(i);
        f.elementPids[i] = b.ElementOutputPid(i);
    }
    for (int k = 0; k < kMaxCaEntries; ++k) {
        f.ecmPids[k] = b.EcmPid(k);
        f.casEnabled[k] = m_settings.CasEnabledByte(k);
        f.caSystemIds[k] = m_settings.CaSystemId(k);
    }
    edit->languageFlag = 0;
    return true;
}

PageStep MuxChannel2Logic::CommitEdit(const ProgramInfoEdit& edit) {
    if (Waiting() || m_editChannel < 0)
        return {};
    MultiOutputProgramRecord& b = m_editBuffer;
    const ProgramInfoFields& f = edit.info;
    std::memcpy(b.Data() + MultiOutputProgramRecord::kOutputNameOffset, f.name.data(), kProgramNameWidth);
    b.SetOutputServiceId(static_cast<uint16_t>(f.serviceId));
    b.SetOutputPmtPid(f.pmtPid);
    b.SetOutputPcrPid(f.pcrPid);
    for (int i = 0; i < std::min<int>(b.ElementCount(), kMaxElements); ++i)
        b.SetElementOutputPid(i, f.elementPids[i]);
    for (int k = 0; k < kMaxCaEntries; ++k)
        b.SetEcmPid(k, f.ecmPids[k]);
    std::vector<uint8_t> payload = {static_cast<uint8_t>(m_editChannel), static_cast<uint8_t>(m_editIndex)};
    payload.insert(payload.end(), b.bytes.begin(), b.bytes.end());
    return Ask(kCmdIpModify, std::move(payload), m_editChannel, m_editIndex, PageStep::Wait::kBegin);
}

ProgramTreeNode MuxChannel2Logic::InputNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    std::string name = r->InputName();
    if (name.size() > 31)
        name.resize(31);
    return ProgramBody(*r, index, name, true);
}

ProgramTreeNode MuxChannel2Logic::OutputNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    const std::string out = r->OutputName();
    ProgramTreeNode node = ProgramBody(*r, index, out.empty() ? r->InputName() : out, false);
    auto& ca = node.Add("CA");
    int shown = 0;
    for (int k = 0; k < kMaxCaEntries; ++k) {
        if (!m_settings.CasEnabled(k))
            continue;
        auto& entry = ca.Add(Format("CA %d", ++shown), k);
        entry.Add(Format("CA system id: 0x%x", m_settings.CaSystemId(k)));
        entry.Add(Format("ECM PID: 0x%x", r->EcmPid(k)));
    }
    return node;
}

ProgramTreeNode MuxChannel2Logic::ModifiedNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    ProgramTreeNode node = ProgramBody(*r, index, r->OutputName(), false);
    int shown = 0;
    for (int k = 0; k < kMaxCaEntries; ++k) {
        if (!m_settings.CasEnabled(k))
            continue;
        auto& entry = node.Add(Format("CA %d", ++shown), k);
        entry.Add(Format("CA system id: %u", m_settings.CaSystemId(k)));
        entry.Add(Format("ECM PID: %u", r->EcmPid(k)));
    }
    return node;
}

void MuxChannel2Logic::RebuildInputChannel(int channel) {
    const int pos = m_inputTree.FindChannel(0, channel);
    if (pos < 0)
        return;
    m_inputTree.ClearChannel(0, pos);
    for (int i = 0; i < m_tables[channel].count; ++i)
        m_inputTree.AppendChild(0, pos, InputNode(channel, i));
    m_inputTree.ExpandChannel(0, pos);
}

void MuxChannel2Logic::AddOutputProgram(int channel, int index) {
    const uint8_t mask = m_tables[channel].programs[index].OutputBits();
    const int roots = static_cast<int>(m_outputTree.Roots().size());
    int root = -1;
    for (int bit = 0; bit < roots; ++bit) {
        if (mask & (1u << bit)) {
            root = bit;
            break;
        }
    }
    const int pos = root < 0 ? -1 : m_outputTree.FindChannel(root, channel);
    if (pos < 0)
        return;
    m_outputTree.AppendChild(root, pos, OutputNode(channel, index));
    m_outputTree.ExpandChannel(root, pos);
}

PageStep MuxChannel2Logic::HandleReply(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (!r.IsValid() || !m_expect.active || r.Command() != m_expect.command)
        return {};
    switch (r.Command()) {
        case kCmdIpAnalyse: {
            if (int(p.Size()) < 2 || p.U8Or(0) != m_expect.channel)
                return {};
            const int channel = m_expect.channel;
            m_tables[channel].count = std::min<int>(p.U8Or(1), kChannel2ProgramsPerChannel);
            if (p.U8Or(1) == 0) {
                PageStep step;
                step.messages.push_back(Format("Channel %d no input!", channel + 1));
                return Finish(std::move(step));
            }
            m_analysed[channel] = true;
            m_fullRead = false;
            m_channel = channel;
            m_index = 0;
            return Ask(kCmdIpReadProgram, {static_cast<uint8_t>(channel), 0, 0}, channel, 0,
                       PageStep::Wait::kNone, true);
        }
        case kCmdIpOutputSettings:
            if (!p.Bytes(kSettingsOffset, MuxOutputSettings::kSize, m_settings.Data()))
                return {};
            m_fullRead = true;
            m_channel = 0;
            m_index = 0;
            return Ask(kCmdIpReadProgram, {0, 0, 0}, 0, 0, PageStep::Wait::kNone);
        case kCmdIpReadProgram:
            return OnProgram(r);
        case kCmdIpRoute:
            return OnRoute(r);
        case kCmdIpModify: {
            if (int(p.Size()) < 2 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
                return {};
            m_tables[m_editChannel].programs[m_editIndex] = m_editBuffer;
            const ProgramTreeNode* prog =
                m_outputTree.Node(m_editPath.root, m_editPath.channel, m_editPath.child);
            if (prog && prog->data == m_editIndex)
                m_outputTree.ReplaceChild(m_editPath.root, m_editPath.channel, m_editPath.child,
                                          ModifiedNode(m_editChannel, m_editIndex));
            return Finish();
        }
        default:
            return {};
    }
}

PageStep MuxChannel2Logic::OnProgram(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 3 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    const int channel = m_expect.channel;
    Table& table = m_tables[channel];
    table.count = std::min<int>(p.U8Or(2), kChannel2ProgramsPerChannel);
    if (m_index < table.count) {
        if (!p.Bytes(kRecordOffset, MultiOutputProgramRecord::kSize, table.programs[m_index].Data()))
            return {};
        ++m_index;
        if (m_index < table.count)
            return Ask(kCmdIpReadProgram, {static_cast<uint8_t>(channel), static_cast<uint8_t>(m_index), 0},
                       channel, m_index, PageStep::Wait::kNone, true);
    }
    if (!m_fullRead) {
        RebuildInputChannel(channel);
        return Finish();
    }
    ++m_channel;
    m_index = 0;
    if (m_channel < kChannel2Channels)
        return Ask(kCmdIpReadProgram, {static_cast<uint8_t>(m_channel), 0, 0}, m_channel, 0,
                   PageStep::Wait::kNone, true);
    m_outputTree.ClearAllChannels();
    for (int c = 0; c < kChannel2Channels; ++c) {
        RebuildInputChannel(c);
        for (int i = 0; i < m_tables[c].count; ++i)
            if (m_tables[c].programs[i].OutputBits() != 0)
                AddOutputProgram(c, i);
    }
    m_fullRead = false;
    return Finish();
}

PageStep MuxChannel2Logic::OnRoute(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 3 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    const int channel = m_expect.channel;
    const int index = m_expect.index;
    m_tables[channel].programs[index].SetOutputBits(p.U8Or(2));
    if (p.U8Or(2) != 0) {
        if (m_analysed[channel]) {
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
