#include "pages/mux/qam16_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "pagebase/text_conversion.h"
#include "pages/modulator/channel_mask.h"
#include "pages/mux/stream_type_labels.h"

namespace nms {
namespace {

constexpr size_t kZeroes = 8;
constexpr int kRecordSize = QamOutputProgramRecord::kSize;

std::string Format(const char* format, unsigned a, unsigned b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string ChannelText(int n) {
    return "Channel " + std::to_string(n);
}

ProgramTreeNode ProgramNode(const QamOutputProgramRecord& r, int index, std::string name, bool input) {
    ProgramTreeNode node(std::to_string(index + 1) + " " + name, index);
    node.Add("Service ID:" + std::to_string(input ? r.InputServiceId() : r.OutputServiceId()));
    node.Add(Format("PMT PID:0x%x", input ? r.InputPmtPid() : r.OutputPmtPid()));
    node.Add(Format("PCR PID:0x%x", input ? r.InputPcrPid() : r.OutputPcrPid()));
    const int count = r.ElementCount();
    if ((input && count >= 1 && count < kMaxElements) || (!input && count < kMaxElements)) {
        for (int k = 0; k < count; ++k)
            node.Add(StreamTypeLabels::Tree(r.ElementStreamType(k), TreeLabelStyle::kMultiOutput) +
                     Format(":0x%x", input ? r.ElementInputPid(k) : r.ElementOutputPid(k)));
    }
    if (!input)
        for (int n = 0; n < kMaxCaEntries; ++n)
            node.Add(Format("CA-%d ECM PID:0x%x", unsigned(n + 1), r.EcmPid(n)));
    return node;
}

}  // namespace

int FirstQamOutput(uint32_t mask, int moduleCount) {
    for (int n = 0; n < 4 * moduleCount && n < 32; ++n)
        if (mask >> n & 1)
            return n + 1;
    return 0;
}

Qam16Logic::Qam16Logic() = default;

void Qam16Logic::SetGroups(int inputGroup, int qamGroup) {
    const int group = inputGroup >= 0 && inputGroup < m_inputChannels / kQam16Rows ? inputGroup : 0;
    // The rows hold the channels of the group last read: under another group they are no channel's programs
    // (a read that stops early must not show them, nor route them with the new channel numbers).
    if (group != m_group)
        m_counts.fill(0);
    m_group = group;
    m_qamGroup = qamGroup >= 0 && qamGroup < m_moduleCount ? qamGroup : 0;
}

const QamOutputProgramRecord* Qam16Logic::Program(int row, int index) const {
    if (row < 0 || row >= kQam16Rows || index < 0 || index >= kQam16Programs)
        return nullptr;
    return &m_programs[size_t(row * kQam16Programs + index)];
}

std::vector<std::string> Qam16Logic::MultiplexToItems() const {
    std::vector<std::string> items;
    for (int n = 1; n <= 4 * m_moduleCount; ++n)
        items.push_back(Format("QAM-%02d", unsigned(n)));
    return items;
}

std::vector<std::string> Qam16Logic::QamGroupItems() const {
    std::vector<std::string> items;
    for (int i = 0; i < m_moduleCount; ++i)
        items.push_back(Format("%02d-%02d", unsigned(4 * i + 1), unsigned(4 * i + 4)));
    return items;
}

std::vector<std::string> Qam16Logic::InputGroupItems() const {
    std::vector<std::string> items;
    for (int i = 0; i < m_inputChannels / kQam16Rows; ++i)
        items.push_back(Format("%02d-%02d", unsigned(8 * i + 1), unsigned(8 * i + 8)));
    return items;
}

std::vector<ProgramTreeNode> Qam16Logic::InputTree() const {
    ProgramTreeNode root("Input-program");
    root.expanded = true;
    for (int row = 0; row < kQam16Rows; ++row) {
        ProgramTreeNode& channel = root.Add(ChannelText(row + m_group * kQam16Rows + 1), row);
        for (int j = 0; j < m_counts[size_t(row)]; ++j) {
            const QamOutputProgramRecord& r = *Program(row, j);
            // The name shows at most 31 characters; the record keeps its bytes.
            std::string name = r.InputName();
            if (name.size() > 31)
                name.resize(31);
            channel.children.push_back(ProgramNode(r, j, name, true));
        }
    }
    return {root};
}

std::vector<ProgramTreeNode> Qam16Logic::OutputTree() const {
    std::vector<ProgramTreeNode> roots;
    for (int a = 0; a < 4; ++a) {
        const int output = a + m_qamGroup * 4;
        ProgramTreeNode root("Output Channel " + std::to_string(output + 1));
        root.expanded = true;
        for (int row = 0; row < kQam16Rows; ++row) {
            ProgramTreeNode& channel = root.Add(ChannelText(row + m_group * kQam16Rows + 1), row);
            for (int j = 0; j < m_counts[size_t(row)]; ++j) {
                const QamOutputProgramRecord& r = *Program(row, j);
                if (!IsBitSetInChannelMask(r.OutputMask(), uint8_t(m_moduleCount), uint8_t(output)))
                    continue;
                std::string name = r.OutputName();
                if (!name.empty())
                    ConvertText(kTextFromDevice, name.data(), int(name.size()));
                else
                    name = r.InputName();
                channel.children.push_back(ProgramNode(r, j, name, false));
            }
        }
        roots.push_back(std::move(root));
    }
    return roots;
}

PageStep Qam16Logic::Ask(uint8_t command, std::vector<uint8_t> tail, PageStep::Wait wait, bool inChain) {
    std::vector<uint8_t> payload(kZeroes, 0);
    payload.insert(payload.end(), tail.begin(), tail.end());
    PageStep step = PageStep::Request(command, std::move(payload), wait);
    step.checkOnline = !inChain;
    m_awaited.Expect(command);
    return step;
}

PageStep Qam16Logic::ReadProgram(bool inChain) {
    return Ask(kCmdQam16ReadProgram, {uint8_t(m_channel >> 8), uint8_t(m_channel), uint8_t(m_program), 0},
               PageStep::Wait::kNone, inChain);
}

PageStep Qam16Logic::Finish(PageStep step) {
    m_awaited.Clear();
    step.wait = PageStep::Wait::kEnd;
    step.refresh |= PageStep::kRefreshAll;
    return step;
}

PageStep Qam16Logic::Refresh() {
    if (Waiting())
        return {};
    inputChanged = outputChanged = true;
    return Ask(kCmdQam16Config, {0}, PageStep::Wait::kBeginLong);
}

PageStep Qam16Logic::InputAnalyze(const TreePath& sel, bool pidRemap) {
    if (Waiting())
        return {};
    if (sel.depth != 1 || sel.root != 0)
        return PageStep::Message("Please select Input Channel!");
    m_channel = sel.channel + m_group * kQam16Rows;
    if (sel.channel >= 0 && sel.channel < kQam16Rows)
        m_counts[size_t(sel.channel)] = 0;
    if (sel.channel < 0 || sel.channel >= kQam16Rows || m_channel >= m_inputChannels)
        return {};
    return Ask(kCmdQam16Analyse, {uint8_t(m_channel >> 8), uint8_t(m_channel), uint8_t(pidRemap ? 1 : 0)},
               PageStep::Wait::kBeginLong);
}

bool Qam16Logic::OutputProgram(const TreePath& p, int* row, int* index) const {
    if (p.depth != 2 || p.root < 0 || p.root >= 4 || p.channel < 0 || p.channel >= kQam16Rows)
        return false;
    // The program node's item data is its index in the channel.
    const std::vector<ProgramTreeNode> roots = OutputTree();
    const ProgramTreeNode& channel = roots[size_t(p.root)].children[size_t(p.channel)];
    if (p.child < 0 || p.child >= int(channel.children.size()))
        return false;
    *row = p.channel;
    *index = channel.children[size_t(p.child)].data;
    return true;
}

bool Qam16Logic::InputProgram(const TreePath& p, int* row, int* index) const {
    if (p.depth != 2 || p.root != 0 || p.channel < 0 || p.channel >= kQam16Rows || p.child < 0 ||
        p.child >= m_counts[size_t(p.channel)])
        return false;
    *row = p.channel;
    *index = p.child;
    return true;
}

PageStep Qam16Logic::Remove(const TreePath& sel) {
    int row = 0, index = 0;
    if (Waiting() || !OutputProgram(sel, &row, &index))
        return {};
    m_channel = row + m_group * kQam16Rows;
    m_program = index;
    if (m_channel > 63 || (index & 0x80))
        return {};
    // The program leaves every output of the modules; the upper bits stay.
    const uint32_t mask = Program(row, index)->OutputMask() & 0xFFFF0000u;
    return Ask(kCmdQam16Route,
               {uint8_t(m_channel >> 8), uint8_t(m_channel), uint8_t(index), uint8_t(mask),
                uint8_t(mask >> 8), uint8_t(mask >> 16), uint8_t(mask >> 24)},
               PageStep::Wait::kBegin);
}

int Qam16Logic::RoutedOutput(const TreePath& sel) const {
    int row = 0, index = 0;
    if (!InputProgram(sel, &row, &index))
        return -1;
    return FirstQamOutput(Program(row, index)->OutputMask(), m_moduleCount) - 1;
}

PageStep Qam16Logic::MultiplexTo(const TreePath& sel, int output) {
    int row = 0, index = 0;
    if (Waiting() || output < 0 || output >= 4 * m_moduleCount || !InputProgram(sel, &row, &index))
        return {};
    const QamOutputProgramRecord& r = *Program(row, index);
    if (const int first = FirstQamOutput(r.OutputMask(), m_moduleCount)) {
        char text[160];
        std::snprintf(text, sizeof text, "[%s] %s to QAM %d", r.InputName().c_str(),
                      "The program has already been selected!", first);
        return PageStep::Message(text);
    }
    m_channel = row + m_group * kQam16Rows;
    m_program = index;
    if (m_channel >= 64)
        return {};
    const uint32_t mask = r.OutputMask() | 1u << output;
    return Ask(kCmdQam16Route,
               {uint8_t(m_channel >> 8), uint8_t(m_channel), uint8_t(index), uint8_t(mask),
                uint8_t(mask >> 8), uint8_t(mask >> 16), uint8_t(mask >> 24)},
               PageStep::Wait::kBegin);
}

bool Qam16Logic::BeginEdit(const TreePath& sel, ProgramInfoFields* f, int* languageFlag) {
    int row = 0, index = 0;
    if (Waiting() || !OutputProgram(sel, &row, &index))
        return false;
    // A new edit takes the buffer: the confirmation of an earlier one that timed out no longer applies.
    m_awaited.Clear();
    m_edit = *Program(row, index);
    m_editRow = row;
    m_editIndex = index;
    const QamOutputProgramRecord& r = m_edit;
    *f = ProgramInfoFields();
    std::memcpy(f->name.data(), r.OutputNameField(), kProgramNameWidth);
    f->serviceId = r.OutputServiceId();
    f->pmtPid = r.OutputPmtPid();
    f->pcrPid = r.OutputPcrPid();
    f->elementCount = r.ElementCount();
    for (int k = 0; k < std::min<int>(r.ElementCount(), kMaxElements); ++k) {
        f->streamTypes[size_t(k)] = r.ElementStreamType(k);
        f->elementPids[size_t(k)] = r.ElementOutputPid(k);
    }
    *languageFlag = r.LanguageFlag();
    // The QAM-output mask is no CI choice: the dialog gets none, so its OK cannot rewrite the mask.
    f->ciField = 0;
    for (int n = 0; n < kMaxCaEntries; ++n) {
        f->casEnabled[size_t(n)] = m_settings.CasEnabledByte(n);
        f->caSystemIds[size_t(n)] = m_settings.CaSystemId(n);
        f->ecmPids[size_t(n)] = r.EcmPid(n);
    }
    f->casLabelFlag = 1;
    return true;
}

PageStep Qam16Logic::CommitEdit(const ProgramInfoFields& f, int languageFlag) {
    if (Waiting() || m_editRow < 0)
        return {};
    QamOutputProgramRecord& r = m_edit;
    std::memcpy(r.Data() + QamOutputProgramRecord::kOutputNameOffset, f.name.data(), kProgramNameWidth);
    r.SetOutputServiceId(uint16_t(f.serviceId));
    r.SetOutputPmtPid(f.pmtPid);
    r.SetOutputPcrPid(f.pcrPid);
    r.SetLanguageFlag(uint8_t(languageFlag));
    for (int k = 0; k < std::min<int>(r.ElementCount(), kMaxElements); ++k)
        r.SetElementOutputPid(k, f.elementPids[size_t(k)]);
    for (int n = 0; n < kMaxCaEntries; ++n)
        r.SetEcmPid(n, f.ecmPids[size_t(n)]);
    // The device takes the record; the table keeps the edit as sent.
    m_programs[size_t(m_editRow * kQam16Programs + m_editIndex)] = r;
    m_channel = m_editRow + m_group * kQam16Rows;
    m_program = m_editIndex;
    std::vector<uint8_t> tail = {uint8_t(m_channel >> 8), uint8_t(m_channel), uint8_t(m_editIndex), 0};
    tail.insert(tail.end(), r.bytes.begin(), r.bytes.end());
    return Ask(kCmdQam16Modify, std::move(tail), PageStep::Wait::kBegin);
}

bool Qam16Logic::TakeLate(const ReplyView& reply) {
    if (!m_awaited.TakeLate(reply))
        return false;
    m_lateReply = true;
    inputChanged = outputChanged = combosChanged = true;
    return true;
}

PageStep Qam16Logic::HandleReply(const ReplyView& reply) {
    if (!m_awaited.InTime(reply))
        return {};
    switch (reply.Command()) {
        case kCmdQam16Config:
            return OnConfig(reply);
        case kCmdQam16Analyse:
            return OnAnalyse(reply);
        case kCmdQam16ReadProgram:
            return OnProgram(reply);
        case kCmdQam16Route:
            return OnRoute(reply);
        case kCmdQam16Modify:
            outputChanged = true;
            return Finish({});
        default:
            return {};
    }
}

PageStep Qam16Logic::OnConfig(const ReplyView& r) {
    uint8_t modules = 0;
    if (!r.U8(8, &modules) || !r.Has(23, 202))
        return {};
    if (modules < 1 || modules > 4)
        return Finish(PageStep::Message("Module Error"));
    m_moduleCount = modules;
    m_settings = MuxOutputSettings();
    r.Bytes(23, 200, m_settings.Data());
    uint16_t word = 0;
    r.U16LE(223, &word);
    m_configWord = word;
    SetGroups(m_group, m_qamGroup);
    m_readAll = true;
    m_channel = m_group * kQam16Rows;
    m_program = 0;
    // The first read of the chain is sent with the online test; the long wait goes on.
    return ReadProgram(false);
}

PageStep Qam16Logic::OnAnalyse(const ReplyView& r) {
    uint16_t channel = 0;
    uint8_t status = 0;
    if (!r.U16BE(15, &channel) || !r.U8(19, &status))
        return {};
    if (channel == m_channel && (status == 0 || status == 0xFF)) {
        m_counts[size_t(m_channel % kQam16Rows)] = 0;
        inputChanged = true;
        const std::string text = (status == 0 ? "Channel %d: there is no stream!" : "Channel %d: Un-Lock!");
        char message[64];
        std::snprintf(message, sizeof message, text.c_str(), m_channel + 1);
        return Finish(PageStep::Message(message));
    }
    if (channel == m_channel)
        m_counts[size_t(m_channel % kQam16Rows)] = 0;
    m_program = 0;
    m_readAll = false;
    return ReadProgram(true);
}

PageStep Qam16Logic::OnProgram(const ReplyView& r) {
    uint16_t channel = 0;
    uint8_t index = 0, count = 0;
    if (!r.U16BE(15, &channel) || !r.U8(17, &index) || !r.U8(18, &count))
        return {};
    const int row = m_channel % kQam16Rows;
    if (channel == m_channel && index == m_program) {
        m_counts[size_t(row)] = std::min<int>(count, kQam16Programs);
        // Only a complete record is stored.
        if (r.Has(19, kRecordSize) && index < kQam16Programs) {
            r.Bytes(19, kRecordSize, m_programs[size_t(row * kQam16Programs + index)].Data());
            ++m_program;
            if (m_program < m_counts[size_t(row)]) {
                if (!m_lateReply)
                    return ReadProgram(true);
                // Late: the read stops here, and the channel holds the programs that came.
                m_counts[size_t(row)] = m_program;
                return Finish({});
            }
            if (!m_readAll) {
                inputChanged = combosChanged = true;
                return Finish({});
            }
        } else {
            // A reply without its record ends the channel with the programs that did come.
            m_counts[size_t(row)] = std::min(m_counts[size_t(row)], m_program);
        }
    }
    ++m_channel;
    if (m_readAll && m_channel < m_group * kQam16Rows + kQam16Rows && !m_lateReply) {
        m_program = 0;
        m_counts[size_t(m_channel % kQam16Rows)] = 0;
        return ReadProgram(true);
    }
    inputChanged = outputChanged = combosChanged = true;
    return Finish({});
}

PageStep Qam16Logic::OnRoute(const ReplyView& r) {
    uint16_t channel = 0;
    uint8_t index = 0;
    uint32_t mask = 0;
    if (!r.U16BE(15, &channel) || !r.U8(17, &index) || !r.U32LE(18, &mask) || !r.Has(22, kRecordSize))
        return {};
    if (channel != m_channel || index != m_program || index >= kQam16Programs)
        return {};
    QamOutputProgramRecord& stored = m_programs[size_t((m_channel % kQam16Rows) * kQam16Programs + index)];
    const int before = FirstQamOutput(stored.OutputMask(), m_moduleCount);
    r.Bytes(22, kRecordSize, stored.Data());
    const int after = FirstQamOutput(mask, m_moduleCount);
    if (after || before)
        stored.SetOutputMask(mask);
    if ((after && (after - 1) / 4 == m_qamGroup) || (!after && before && (before - 1) / 4 == m_qamGroup))
        outputChanged = true;
    return Finish({});
}

}  // namespace nms
