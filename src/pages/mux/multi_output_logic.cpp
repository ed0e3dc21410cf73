#include "pages/mux/multi_output_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "pages/mux/stream_type_labels.h"

namespace nms {
namespace {

constexpr int kRecordOffset = 3;  // 0x21 reply: channel, index, count, record

}  // namespace

std::string FormatUnsigned(const char* format, unsigned value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

ProgramTreeNode MultiOutputProgramBody(const MultiOutputProgramRecord& r, int index, const std::string& name,
                                       bool input) {
    ProgramTreeNode node(std::to_string(index + 1) + " " + name, index);
    node.Add("Service ID:" + std::to_string(input ? r.InputServiceId() : r.OutputServiceId()));
    node.Add(FormatUnsigned("PMT PID:0x%x", input ? r.InputPmtPid() : r.OutputPmtPid()));
    node.Add(FormatUnsigned("PCR PID:0x%x", input ? r.InputPcrPid() : r.OutputPcrPid()));
    const int count = r.ElementCount();
    if (count >= 1 && count < kMaxElements) {
        for (int i = 0; i < count; ++i) {
            auto& e = node.Add(StreamTypeLabels::Tree(r.ElementStreamType(i), TreeLabelStyle::kMultiOutput));
            e.Add(FormatUnsigned("PID:0x%x", input ? r.ElementInputPid(i) : r.ElementOutputPid(i)));
        }
    }
    return node;
}

MultiOutputLogic::MultiOutputLogic(int channels, int programsPerChannel)
    : m_channels(channels), m_programsPerChannel(programsPerChannel) {
    ResetTables();
}

void MultiOutputLogic::ResetTables() {
    Table empty;
    empty.programs.resize(size_t(m_programsPerChannel));
    m_tables.assign(size_t(m_channels), empty);
    m_settings = MuxOutputSettings{};
    m_analysed.assign(size_t(m_channels), false);
    m_fullRead = false;
    m_channel = 0;
    m_index = 0;
    m_expect = m_late = {};
}

int MultiOutputLogic::ProgramCount(int channel) const {
    return channel >= 0 && channel < m_channels ? m_tables[size_t(channel)].count : 0;
}

const MultiOutputProgramRecord* MultiOutputLogic::Program(int channel, int index) const {
    if (channel < 0 || channel >= m_channels || index < 0 || index >= m_programsPerChannel)
        return nullptr;
    return &m_tables[size_t(channel)].programs[size_t(index)];
}

MultiOutputProgramRecord* MultiOutputLogic::Program(int channel, int index) {
    if (channel < 0 || channel >= m_channels || index < 0 || index >= m_programsPerChannel)
        return nullptr;
    return &m_tables[size_t(channel)].programs[size_t(index)];
}

bool MultiOutputLogic::Analysed(int channel) const {
    return channel >= 0 && channel < m_channels && m_analysed[size_t(channel)];
}

PageStep MultiOutputLogic::Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index,
                               PageStep::Wait wait, bool followUp) {
    m_expect = {true, command, channel, index};
    m_late = {};
    if (payload.size() > 1)
        m_secondByte = payload[1];
    PageStep step;
    step.command = command;
    step.payload = std::move(payload);
    step.wait = wait;
    step.checkOnline = !followUp;
    return step;
}

PageStep MultiOutputLogic::Finish(PageStep step) {
    m_expect = {};
    step.wait = PageStep::Wait::kEnd;
    return step;
}

PageStep MultiOutputLogic::ReadChannel(int channel) {
    m_analysed[size_t(channel)] = true;
    m_fullRead = false;
    m_channel = channel;
    m_index = 0;
    return Ask(kCmdIpReadProgram, {static_cast<uint8_t>(channel), 0, 0}, channel, 0, PageStep::Wait::kNone,
               true);
}

PageStep MultiOutputLogic::ReadAll(int first) {
    m_fullRead = true;
    m_channel = first;
    m_index = 0;
    return Ask(kCmdIpReadProgram, {static_cast<uint8_t>(first), 0, 0}, first, 0, PageStep::Wait::kNone);
}

bool MultiOutputLogic::BeginEdit(const TreePath& sel, ProgramInfoEdit* edit) {
    if (Waiting())
        return false;
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return false;
    // A new edit takes the buffer: the confirmation of an earlier one that timed out no longer applies.
    if (m_late.command == kCmdIpModify)
        m_late = {};
    m_editBuffer = m_tables[size_t(channel)].programs[size_t(index)];
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
    const int elements = std::min<int>(b.ElementCount(), kMaxElements);
    for (int i = 0; i < elements; ++i) {
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

bool MultiOutputLogic::ApplyEdit(const ProgramInfoEdit& edit) {
    if (Waiting() || m_editChannel < 0)
        return false;
    MultiOutputProgramRecord& b = m_editBuffer;
    const ProgramInfoFields& f = edit.info;
    std::memcpy(b.Data() + MultiOutputProgramRecord::kOutputNameOffset, f.name.data(), kProgramNameWidth);
    b.SetOutputServiceId(static_cast<uint16_t>(f.serviceId));
    b.SetOutputPmtPid(f.pmtPid);
    b.SetOutputPcrPid(f.pcrPid);
    // Only the elements the program has: a CI record keeps its CI fields in the last element slot.
    const int elements = std::min<int>(b.ElementCount(), kMaxElements);
    for (int i = 0; i < elements; ++i)
        b.SetElementOutputPid(i, f.elementPids[i]);
    for (int k = 0; k < kMaxCaEntries; ++k)
        b.SetEcmPid(k, f.ecmPids[k]);
    return true;
}

PageStep MultiOutputLogic::SendEdit(std::vector<uint8_t> payload) {
    payload.insert(payload.end(), m_editBuffer.bytes.begin(), m_editBuffer.bytes.end());
    return Ask(kCmdIpModify, std::move(payload), m_editChannel, m_editIndex, PageStep::Wait::kBegin);
}

ProgramTreeNode MultiOutputLogic::InputNode(int channel, int index) const {
    const MultiOutputProgramRecord* r = Program(channel, index);
    if (!r)
        return {};
    std::string name = r->InputName();
    if (name.size() > 31)
        name.resize(31);
    return MultiOutputProgramBody(*r, index, name, true);
}

void MultiOutputLogic::RebuildInputChannel(int channel) {
    const int pos = m_inputTree.FindChannel(0, NodeData(channel));
    if (pos < 0)
        return;
    m_inputTree.ClearChannel(0, pos);
    for (int i = 0; i < m_tables[size_t(channel)].count; ++i)
        m_inputTree.AppendChild(0, pos, InputNode(channel, i));
    m_inputTree.ExpandChannel(0, pos);
}

void MultiOutputLogic::AddOutputProgram(int channel, int index) {
    // Under the output root of the lowest set bit of the mask.
    const uint8_t mask = m_tables[size_t(channel)].programs[size_t(index)].OutputBits();
    const int roots = static_cast<int>(m_outputTree.Roots().size());
    int root = -1;
    for (int bit = 0; bit < 8 && bit < roots; ++bit) {
        if (mask & (1u << bit)) {
            root = bit;
            break;
        }
    }
    if (root < 0)
        return;
    const int pos = m_outputTree.FindChannel(root, NodeData(channel));
    if (pos < 0)
        return;
    m_outputTree.AppendChild(root, pos, OutputNode(channel, index));
    m_outputTree.ExpandChannel(root, pos);
}

bool MultiOutputLogic::TakeLate(const ReplyView& r) {
    if (m_expect.active || !m_late.active || r.Command() != m_late.command)
        return false;
    m_expect = m_late;
    m_late = {};
    m_lateReply = true;
    return true;
}

PageStep MultiOutputLogic::HandleReply(const ReplyView& r) {
    if (r.Command() == kCmdIpStatus) {
        OnStatus(r);
        return {};
    }
    if (!r.IsValid() || !m_expect.active || r.Command() != m_expect.command)
        return {};
    switch (r.Command()) {
        case kCmdIpAnalyse:
            return OnAnalyse(r);
        case kCmdIpOutputSettings:
            return OnSettings(r);
        case kCmdIpReadProgram:
            return OnProgram(r);
        case kCmdIpRoute:
            return OnRoute(r);
        case kCmdIpModify:
            return OnModify(r);
        default:
            return {};
    }
}

PageStep MultiOutputLogic::OnProgram(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (p.Size() < 3 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    const int channel = m_expect.channel;
    Table& table = m_tables[size_t(channel)];
    // The table holds what it holds; the device may count more.
    table.count = std::min<int>(p.U8Or(2), m_programsPerChannel);
    if (m_index < table.count) {
        // A short reply stores nothing and asks for nothing: the wait runs out.
        if (!p.Bytes(kRecordOffset, MultiOutputProgramRecord::kSize, table.programs[size_t(m_index)].Data()))
            return {};
        ++m_index;
        if (m_index < table.count) {
            if (!m_lateReply)
                return Ask(kCmdIpReadProgram,
                           {static_cast<uint8_t>(channel), static_cast<uint8_t>(m_index), 0}, channel,
                           m_index, PageStep::Wait::kNone, true);
            // Late: the read stops here, and the channel holds the programs that came.
            table.count = m_index;
        }
    }
    if (!m_fullRead) {
        RebuildInputChannel(channel);
        return Finish();
    }
    const int limit = ReadLimit(r);
    ++m_channel;
    m_index = 0;
    if (m_channel < limit && !m_lateReply)
        return Ask(kCmdIpReadProgram, {static_cast<uint8_t>(m_channel), 0, 0}, m_channel, 0,
                   PageStep::Wait::kNone, true);
    ShowFullRead(limit);
    return Finish();
}

void MultiOutputLogic::ShowFullRead(int limit) {
    m_outputTree.ClearAllChannels();
    int from = 0, to = limit;
    ShownChannels(limit, &from, &to);
    for (int c = from; c < to && c < m_channels; ++c) {
        RebuildInputChannel(c);
        for (int i = 0; i < m_tables[size_t(c)].count; ++i)
            if (m_tables[size_t(c)].programs[size_t(i)].OutputBits() != 0)
                AddOutputProgram(c, i);
    }
    m_fullRead = false;
}

PageStep MultiOutputLogic::OnModify(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (p.Size() < 2 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    m_tables[size_t(m_editChannel)].programs[size_t(m_editIndex)] = m_editBuffer;
    const ProgramTreeNode* prog = m_outputTree.Node(m_editPath.root, m_editPath.channel, m_editPath.child);
    if (prog && prog->data == m_editIndex)
        m_outputTree.ReplaceChild(m_editPath.root, m_editPath.channel, m_editPath.child,
                                  ModifiedNode(m_editChannel, m_editIndex));
    return Finish();
}

}  // namespace nms
