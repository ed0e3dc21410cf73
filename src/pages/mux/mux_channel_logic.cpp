#include "pages/mux/mux_channel_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "pages/mux/program_node_texts.h"
#include "pages/mux/stream_type_labels.h"

namespace nms {
namespace {

// Copies a whole record from the payload; false (nothing copied) when the payload does not hold all of it.
template <class Record>
bool CopyRecord(const ByteReader& payload, int offset, Record* dst) {
    return dst && payload.Bytes(size_t(offset), Record::kSize, dst->bytes.data());
}

std::string ChannelText(int n) {
    return "Channel " + std::to_string(n);
}

}  // namespace

MuxChannelLogic::MuxChannelLogic(int pageParam) : m_pageParam(pageParam) {
    if (IsTranscoder())
        m_transcodeTables.resize(kTranscodeChannels);
    else
        m_tables.resize(kMaxInputChannels);
}

ChannelProgramTable* MuxChannelLogic::Channel(int channel) {
    if (channel < 1 || channel > static_cast<int>(m_tables.size()))
        return nullptr;
    return &m_tables[channel - 1];
}

TranscodeChannelTable* MuxChannelLogic::TranscodeChannel(int channel) {
    if (channel < 1 || channel > static_cast<int>(m_transcodeTables.size()))
        return nullptr;
    return &m_transcodeTables[channel - 1];
}

const ProgramRecord* MuxChannelLogic::ProgramAt(int channel, int index) const {
    if (channel < 1 || channel > static_cast<int>(m_tables.size()))
        return nullptr;
    return m_tables[channel - 1].Program(index);
}

bool MuxChannelLogic::ChannelInRange(int channel) const {
    return channel >= 1 && channel <= std::min(m_channelCount, TableChannels());
}

int MuxChannelLogic::LayoutChannels() const {
    switch (m_pageParam) {
        case 1:
            return 8;
        case 3:
            return 2;
        case 36:
            return 7;
        case 86:
            return 8;
        default:
            return m_channelCount;
    }
}

std::vector<ProgramTreeNode> MuxChannelLogic::ChannelNodes(int count) const {
    std::vector<ProgramTreeNode> nodes;
    for (int n = 1; n <= count; ++n)
        nodes.emplace_back(ChannelText(n), n);
    return nodes;
}

void MuxChannelLogic::BuildInputTree(int channels) {
    ProgramTreeNode root("Input-program");
    root.children = ChannelNodes(channels);
    std::vector<ProgramTreeNode> roots;
    roots.push_back(std::move(root));
    m_inputTree.Reset(std::move(roots));
}

void MuxChannelLogic::BuildLayout(bool initial) {
    const bool fixed = m_pageParam == 1 || m_pageParam == 3 || m_pageParam == 36 || m_pageParam == 86;
    if (!fixed && initial)
        m_channelCount = 8;
    const int channels = LayoutChannels();
    BuildInputTree(channels);
    std::vector<ProgramTreeNode> roots;
    if (IsTwoOutput()) {
        roots.emplace_back("Output Channel A").children = ChannelNodes(8);
        roots.emplace_back("Output Channel B").children = ChannelNodes(8);
    } else {
        roots.emplace_back("Output-program").children = ChannelNodes(channels);
    }
    m_outputTree.Reset(std::move(roots));
    m_inputsFollow = false;
}

bool MuxChannelLogic::SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel,
                                      int* index) const {
    const ProgramTreeNode *ch = nullptr, *prog = nullptr;
    if (!tree.ProgramNodes(path, &ch, &prog))
        return false;
    if (!ChannelInRange(ch->data) || prog->data < 1 || prog->data > kProgramsPerChannel)
        return false;
    *channel = ch->data;
    *index = prog->data;
    return true;
}

PageStep MuxChannelLogic::Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index, int pass,
                              PageStep::Wait wait) {
    m_expect = {true, command, channel, index, pass};
    PageStep step;
    step.command = command;
    step.payload = std::move(payload);
    step.wait = wait;
    return step;
}

void MuxChannelLogic::ResetCursor() {
    m_channel = 1;
    m_index = 1;
    m_count = 1;
}

PageStep MuxChannelLogic::Finish(PageStep step) {
    ResetCursor();
    m_expect = {};
    step.wait = PageStep::Wait::kEnd;
    return step;
}

void MuxChannelLogic::WaitEnded() {
    m_expect = {};
}

void MuxChannelLogic::TimedOut() {
    if (m_expect.active) {
        m_late.expect = m_expect;
        m_late.editBuffer = m_editBuffer;
        m_late.transcodeBuffer = m_transcodeBuffer;
        m_late.editChannel = m_editChannel;
        m_late.editIndex = m_editIndex;
        m_late.editRoot = m_editRoot;
    }
    m_expect = {};
}

// ---- Operator actions ----

PageStep MuxChannelLogic::InputAnalyze(const TreePath& sel, bool pidRemapChecked) {
    if (Waiting())
        return {};
    PageStep refused;
    const ProgramTreeNode* node = sel.depth == 1 ? m_inputTree.Node(sel.root, sel.channel) : nullptr;
    if (!node) {
        refused.messages.push_back("Please select Input Channel!");
        return refused;
    }
    const int channel = node->data;
    const int maxChannel = IsTwoOutput() ? 8 : std::min(kMaxInputChannels, TableChannels());
    if (channel < 1 || channel > maxChannel) {
        refused.messages.push_back("Don't support !");
        return refused;
    }
    m_inputTree.ClearChannel(sel.root, sel.channel);
    std::vector<uint8_t> payload = {static_cast<uint8_t>(channel), 1};
    if (!IsTwoOutput())
        payload.push_back(pidRemapChecked ? 0 : 1);
    m_channel = channel;
    return Ask(kCmdAnalyseInput, std::move(payload), channel, 0, 0, PageStep::Wait::kBeginLong);
}

PageStep MuxChannelLogic::Select(const TreePath& sel, int pass) {
    if (Waiting())
        return {};
    int channel = 0, index = 0;
    if (!SelectedProgram(m_inputTree, sel, &channel, &index))
        return {};
    // Under every output root: a program shown by output A cannot go to output B either.
    const auto& roots = m_outputTree.Roots();
    for (int r = 0; r < static_cast<int>(roots.size()); ++r) {
        for (int c = 0; c < static_cast<int>(roots[r].children.size()); ++c) {
            if (roots[r].children[c].data != channel)
                continue;
            if (m_outputTree.FindChild(r, c, index) >= 0) {
                PageStep refused;
                refused.messages.push_back("The program has already been selected!");
                return refused;
            }
        }
    }
    std::vector<uint8_t> payload = {static_cast<uint8_t>(channel), static_cast<uint8_t>(index)};
    if (IsTwoOutput())
        payload.push_back(static_cast<uint8_t>(pass == 2 ? 2 : 1));
    return Ask(kCmdSelectIntoOutput, std::move(payload), channel, index,
               IsTwoOutput() ? (pass == 2 ? 2 : 1) : 0, PageStep::Wait::kBegin);
}

PageStep MuxChannelLogic::RefreshOut() {
    if (Waiting())
        return {};
    m_outputTree.ClearAllChannels();
    m_channel = 1;
    m_index = 1;
    m_pass = 1;
    std::vector<uint8_t> payload = {1, 1};
    if (IsTwoOutput())
        payload.push_back(1);
    return Ask(kCmdReadOutputProgram, std::move(payload), 1, 1, IsTwoOutput() ? 1 : 0,
               PageStep::Wait::kBegin);
}

PageStep MuxChannelLogic::Shown() {
    PageStep step = RefreshOut();
    if (step.HasRequest())
        m_inputsFollow = true;
    return step;
}

PageStep MuxChannelLogic::Remove(const TreePath& sel) {
    if (Waiting())
        return {};
    if (sel.root != 0 && !(IsTwoOutput() && sel.root == 1))
        return {};
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return {};
    std::vector<uint8_t> payload = {static_cast<uint8_t>(channel), static_cast<uint8_t>(index)};
    const int pass = IsTwoOutput() ? sel.root + 1 : 0;
    if (IsTwoOutput())
        payload.push_back(static_cast<uint8_t>(pass));
    return Ask(kCmdRemoveFromOutput, std::move(payload), channel, index, pass, PageStep::Wait::kBegin);
}

bool MuxChannelLogic::BeginEdit(const TreePath& sel, EditProgramFields* f) {
    if (Waiting() || IsTranscoder())
        return false;
    if (sel.root != 0 && !(IsTwoOutput() && sel.root == 1))
        return false;
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return false;
    m_editBuffer = *Channel(channel)->Program(index);
    m_editBuffer.TerminateNames();
    m_editChannel = channel;
    m_editIndex = index;
    m_editRoot = sel.root;

    const ProgramRecord& b = m_editBuffer;
    *f = EditProgramFields();
    f->name = b.ShownOutputName();
    f->serviceId = std::to_string(b.OutputServiceId());
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", b.OutputPmtPid());
    f->pmtPid = buf;
    std::snprintf(buf, sizeof buf, "%x", b.OutputPcrPid());
    f->pcrPid = buf;
    const int caCount = b.CaCount();
    if (caCount >= 1 && caCount <= kMaxCaEntries) {
        for (int k = 0; k < caCount; ++k) {
            f->caSystemIds[k] = b.CaSystemId(k);
            f->ecmPids[k] = b.OutputEcmPid(k);
        }
    }
    const int elements = b.ElementCount();
    if (elements >= 1 && elements <= kMaxElements) {
        for (int i = 0; i < elements; ++i) {
            f->elementPids[i] = static_cast<int16_t>(b.ElementOutputPid(i));
            f->elementLabels[i] = StreamTypeLabels::DialogEntry(b.ElementStreamType(i));
        }
    }
    // With 32 elements the IP output index byte is element 31's stream_type: no index to offer.
    f->ipOutputFlag = m_ipOutputFlag && b.IpOutputIndexUsable() ? 1 : 0;
    f->ipOutputIndex = b.IpOutputIndex();
    f->ipOutputMode = m_ipOutputMode;
    return true;
}

PageStep MuxChannelLogic::CommitEdit(const EditProgramFields& f) {
    if (Waiting() || m_editChannel == 0)
        return {};
    ProgramRecord& b = m_editBuffer;
    uint32_t sid = 0, pmt = 0, pcr = 0;
    if (!b.SetOutputName(f.name) || !ParseDecimalField(f.serviceId, 0xFFFF, &sid, nullptr) ||
        !ParseHexField(f.pmtPid, 0xFFFF, &pmt, nullptr) || !ParseHexField(f.pcrPid, 0xFFFF, &pcr, nullptr))
        return {};  // the dialog checked these; a caller that did not gets nothing sent
    b.SetOutputServiceId(static_cast<uint16_t>(sid));
    b.SetOutputPmtPid(static_cast<uint16_t>(pmt));
    b.SetOutputPcrPid(static_cast<uint16_t>(pcr));
    const bool indexUsable = b.IpOutputIndexUsable();
    if (indexUsable && f.ipOutputFlag)
        b.SetIpOutputIndex(f.ipOutputIndex);
    // Only the CA entries the dialog was given: a count beyond the four entries offered none to edit.
    const int caCount = b.CaCount();
    if (caCount >= 1 && caCount <= kMaxCaEntries) {
        for (int k = 0; k < caCount; ++k)
            b.SetOutputEcmPid(k, f.ecmPids[k]);
    }
    // Every element slot: the ones the program uses take the dialog's PID as its 16 bits (0xFFFF stays
    // 0xFFFF), the ones it does not use go out with output PID 0.
    const int elements = b.ElementCount();
    const int used = elements >= 1 && elements <= kMaxElements ? elements : 0;
    for (int i = 0; i < kMaxElements; ++i)
        b.SetElementOutputPid(i, i < used ? static_cast<uint16_t>(f.elementPids[i]) : 0);

    if (!IsTwoOutput() && indexUsable) {
        int cc = 0, cp = 0;
        if (FindIpIndexConflict(b.IpOutputIndex(), m_editChannel, m_editIndex, &cc, &cp) && m_ipOutputFlag) {
            char msg[96];
            std::snprintf(msg, sizeof msg, "Fail:IP-Index conflict with channel(%d) program(%d)", cc, cp);
            PageStep refused;
            refused.messages.push_back(msg);
            return refused;
        }
    }
    std::vector<uint8_t> payload = {static_cast<uint8_t>(m_editChannel), static_cast<uint8_t>(m_editIndex)};
    if (IsTwoOutput())
        payload.push_back(static_cast<uint8_t>(m_editRoot + 1));
    payload.insert(payload.end(), b.bytes.begin(), b.bytes.end());
    return Ask(kCmdModifyOutputProgram, std::move(payload), m_editChannel, m_editIndex, 0,
               PageStep::Wait::kBegin);
}

bool MuxChannelLogic::BeginTranscodeEdit(const TreePath& sel, TranscodeProgramRecord* record) {
    if (Waiting() || !IsTranscoder() || sel.root != 0)
        return false;
    int channel = 0, index = 0;
    if (!SelectedProgram(m_outputTree, sel, &channel, &index))
        return false;
    m_transcodeBuffer = *TranscodeChannel(channel)->Program(index);
    m_editChannel = channel;
    m_editIndex = index;
    m_editRoot = 0;
    *record = m_transcodeBuffer;
    return true;
}

PageStep MuxChannelLogic::CommitTranscodeEdit(const TranscodeProgramRecord& record) {
    if (Waiting() || !IsTranscoder() || m_editChannel == 0)
        return {};
    m_transcodeBuffer = record;
    *TranscodeChannel(m_editChannel)->Program(m_editIndex) = record;
    std::vector<uint8_t> payload = {static_cast<uint8_t>(m_editChannel), static_cast<uint8_t>(m_editIndex)};
    payload.insert(payload.end(), record.bytes.begin(), record.bytes.end());
    return Ask(kCmdModifyOutputProgram, std::move(payload), m_editChannel, m_editIndex, 0,
               PageStep::Wait::kBegin);
}

bool MuxChannelLogic::FindIpIndexConflict(uint8_t index, int channel, int program, int* cc, int* cp) const {
    if (index == 0 || IsTranscoder())
        return false;
    const int channels = std::min(m_channelCount, kMaxInputChannels);
    for (int ch = 1; ch <= channels; ++ch) {
        const ChannelProgramTable& t = m_tables[ch - 1];
        const int count = std::min<int>(t.programCount, kProgramsPerChannel);
        for (int p = 1; p <= count; ++p) {
            if (ch == channel && p == program)
                continue;
            const ProgramRecord& r = t.programs[p - 1];
            // A record with 32 elements holds no IP output index.
            if (r.IpOutputIndexUsable() && r.IpOutputIndex() == index) {
                *cc = ch;
                *cp = p;
                return true;
            }
        }
    }
    return false;
}

// ---- Replies ----

PageStep MuxChannelLogic::HandleReply(const ReplyView& r) {
    if (m_expect.active && r.Command() == m_expect.command) {
        PageStep step = Dispatch(r);
        if (step.HasRequest() || step.wait != PageStep::Wait::kNone)
            return step;
    }
    return HandleLateReply(r);
}

PageStep MuxChannelLogic::HandleLateReply(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (!m_late.expect.active || r.Command() != m_late.expect.command)
        return {};
    // A reply out of range names nothing the page asked for: there is no data to apply.
    if ((r.Command() == kCmdReadInputProgram || r.Command() == kCmdReadOutputProgram) && int(p.Size()) >= 2 &&
        OutOfRange(p.U8Or(0), p.U8Or(1)))
        return {};
    // The handlers move the read cursor, the expectation and the edit state; all of them belong to what
    // the page does now, so they come back as they were.
    const Expect expect = m_expect;
    const int channel = m_channel, index = m_index, count = m_count, pass = m_pass;
    const bool inputsFollow = m_inputsFollow;
    std::swap(m_editBuffer, m_late.editBuffer);
    std::swap(m_transcodeBuffer, m_late.transcodeBuffer);
    std::swap(m_editChannel, m_late.editChannel);
    std::swap(m_editIndex, m_late.editIndex);
    std::swap(m_editRoot, m_late.editRoot);
    m_expect = m_late.expect;
    const PageStep step = Dispatch(r);
    std::swap(m_editBuffer, m_late.editBuffer);
    std::swap(m_transcodeBuffer, m_late.transcodeBuffer);
    std::swap(m_editChannel, m_late.editChannel);
    std::swap(m_editIndex, m_late.editIndex);
    std::swap(m_editRoot, m_late.editRoot);
    m_expect = expect;
    m_channel = channel;
    m_index = index;
    m_count = count;
    m_pass = pass;
    m_inputsFollow = inputsFollow;
    // Used once: a repeated copy changes nothing more.
    if (step.HasRequest() || step.wait != PageStep::Wait::kNone)
        m_late = {};
    return {};
}

PageStep MuxChannelLogic::Dispatch(const ReplyView& r) {
    switch (r.Command()) {
        case kCmdAnalyseInput:
            return OnAnalyse(r);
        case kCmdChannelCaInfo:
            return OnCaInfo(r);
        case kCmdReadInputProgram:
            return OnInputProgram(r);
        case kCmdReadOutputProgram:
            return OnOutputProgram(r);
        case kCmdSelectIntoOutput:
            return OnSelect(r);
        case kCmdRemoveFromOutput:
            return OnRemove(r);
        case kCmdModifyOutputProgram:
            return OnModify(r);
        default:
            return {};
    }
}

PageStep MuxChannelLogic::OnAnalyse(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 2 || p.U8Or(0) != m_expect.channel)
        return {};
    const int channel = p.U8Or(0);
    m_channel = channel;
    if (p.U8Or(1) == 0) {
        PageStep step;
        char msg[48];
        std::snprintf(msg, sizeof msg, "Channel %d no input!", channel);
        step.messages.push_back(msg);
        return Finish(step);
    }
    return Ask(kCmdChannelCaInfo, {static_cast<uint8_t>(channel)}, channel, 0, 0, PageStep::Wait::kNone);
}

PageStep MuxChannelLogic::OnCaInfo(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 2 || p.U8Or(0) != m_expect.channel)
        return {};
    const int channel = p.U8Or(0);
    const int count = p.U8Or(1);
    // A list cut short is neither stored nor shown; the program read follows whatever the list held.
    if (count >= 1 && count <= kMaxCaEntries && int(p.Size()) >= 2 + 4 * count) {
        const ByteReader& reply = p;
        ChannelProgramTable* table = Channel(channel);
        TranscodeChannelTable* ttable = TranscodeChannel(channel);
        for (int k = 0; k < count; ++k) {
            const uint16_t system = reply.U16LEOr(2 + 4 * size_t(k));
            const uint16_t pid = reply.U16LEOr(4 + 4 * size_t(k));
            if (table)
                table->SetCaEntry(k, system, pid);
            if (ttable)
                ttable->SetCaEntry(k, system, pid);
        }
        const int pos = m_inputTree.FindChannel(0, channel);
        if (pos >= 0) {
            ChannelProgramTable shown;
            for (int k = 0; k < count; ++k)
                shown.SetCaEntry(k, reply.U16LEOr(2 + 4 * size_t(k)), reply.U16LEOr(4 + 4 * size_t(k)));
            m_inputTree.AppendChild(0, pos, ChannelCaInfoNode(shown, count));
        }
    }
    m_index = 1;
    return Ask(kCmdReadInputProgram, {static_cast<uint8_t>(channel), 1}, channel, 1, 0,
               PageStep::Wait::kNone);
}

bool MuxChannelLogic::OutOfRange(int channel, int index) const {
    const int channels = IsTranscoder() ? kTranscodeChannels : std::min(m_channelCount, kMaxInputChannels);
    return channel < 1 || channel > channels || index < 1 || index > kProgramsPerChannel;
}

PageStep MuxChannelLogic::OnInputProgram(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 3)
        return {};
    // A channel or index out of range: the reply's data is ignored and the chain goes on from the item asked.
    const bool ignored = OutOfRange(p.U8Or(0), p.U8Or(1));
    if (!ignored && (p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index))
        return {};
    const int channel = ignored ? m_expect.channel : p.U8Or(0);
    const int index = ignored ? m_expect.index : p.U8Or(1);
    const int count = ignored ? m_count : p.U8Or(2);
    bool stored = false;
    if (IsTranscoder()) {
        TranscodeChannelTable* t = TranscodeChannel(channel);
        TranscodeProgramRecord* slot = t && !ignored ? t->Program(index) : nullptr;
        stored = CopyRecord(p, 3, slot);
        if (stored) {
            const int pos = m_inputTree.FindChannel(0, channel);
            if (pos >= 0) {
                m_inputTree.AppendChild(0, pos, InputProgramNode(*slot, index));
                m_inputTree.ExpandChannel(0, pos);
            }
        }
    } else {
        ChannelProgramTable* t = Channel(channel);
        ProgramRecord* slot = t && !ignored ? t->Program(index) : nullptr;
        stored = CopyRecord(p, 3, slot);
        if (stored) {
            const int pos = m_inputTree.FindChannel(0, channel);
            if (pos >= 0) {
                m_inputTree.AppendChild(0, pos, InputProgramNode(*slot, index));
                m_inputTree.ExpandChannel(0, pos);
            }
        }
    }
    m_channel = channel;
    m_count = count;
    m_index = index + 1;
    if (m_index <= count && m_index <= kProgramsPerChannel)
        return Ask(kCmdReadInputProgram, {static_cast<uint8_t>(channel), static_cast<uint8_t>(m_index)},
                   channel, m_index, 0, PageStep::Wait::kNone);
    if (!IsTranscoder())
        return Finish();
    if (m_inputsFollow && channel < kTranscodeChannels) {
        m_channel = channel + 1;
        m_index = 1;
        m_count = 1;
        return Ask(kCmdReadInputProgram, {static_cast<uint8_t>(m_channel), 1}, m_channel, 1, 0,
                   PageStep::Wait::kNone);
    }
    m_inputsFollow = false;
    PageStep step;
    step.sendVersion = true;
    return Finish(step);
}

void MuxChannelLogic::AddOutputNode(int root, int channel, int index) {
    const int pos = m_outputTree.FindChannel(root, channel);
    if (pos < 0)
        return;
    ProgramTreeNode node = IsTranscoder()
                               ? OutputProgramNode(*TranscodeChannel(channel)->Program(index), index)
                               : OutputProgramNode(*Channel(channel)->Program(index), index);
    // A late reply may have shown the program already: one node per program.
    const int child = m_outputTree.FindChild(root, pos, index);
    if (child >= 0)
        m_outputTree.ReplaceChild(root, pos, child, std::move(node));
    else
        m_outputTree.AppendChild(root, pos, std::move(node));
}

PageStep MuxChannelLogic::OnOutputProgram(const ReplyView& r) {
    const ByteReader p = r.Reader();
    const int headerSize = IsTwoOutput() ? 4 : 3;
    if (int(p.Size()) < headerSize)
        return {};
    // A channel or index out of range: the reply's data is ignored and the chain goes on from the item asked.
    const bool ignored = OutOfRange(p.U8Or(0), p.U8Or(1));
    if (!ignored && (p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index))
        return {};
    const int pass = IsTwoOutput() ? (ignored ? m_expect.pass : p.U8Or(3)) : 0;
    if (pass != m_expect.pass)
        return {};
    const int channel = ignored ? m_expect.channel : p.U8Or(0);
    const int index = ignored ? m_expect.index : p.U8Or(1);
    const int count = ignored ? m_count : p.U8Or(2);

    m_channelCount = r.B() == 16 ? 16 : 8;
    m_ipOutputFlag = r.B() == 2;
    m_ipOutputMode = r.C();
    m_count = count;
    m_index = index + 1;

    // A 16-channel device shows its 16 channels from the first reply of channel 1 on; an unchanged layout
    // is not rebuilt, so the input tree keeps what was analysed.
    if (m_channelCount == 16 && channel == 1 && index == 1 && (!IsTwoOutput() || pass == 1)) {
        const ProgramTreeNode* inRoot = m_inputTree.Node(0);
        if (inRoot && static_cast<int>(inRoot->children.size()) != LayoutChannels())
            BuildLayout(false);
    }

    if (count != 0 && !ignored) {
        const int root = IsTwoOutput() && pass == 2 ? 1 : 0;
        if (IsTranscoder()) {
            TranscodeChannelTable* t = TranscodeChannel(channel);
            TranscodeProgramRecord* slot = t ? t->Program(index) : nullptr;
            if (CopyRecord(p, headerSize, slot)) {
                t->programCount = static_cast<uint8_t>(count);
                if (slot->InOutput())
                    AddOutputNode(root, channel, index);
            }
        } else {
            ChannelProgramTable* t = Channel(channel);
            ProgramRecord* slot = t ? t->Program(index) : nullptr;
            if (CopyRecord(p, headerSize, slot)) {
                t->programCount = static_cast<uint8_t>(count);
                if (slot->InOutput())
                    AddOutputNode(root, channel, index);
            }
        }
    }

    const int lastChannel = IsTranscoder() ? kTranscodeChannels : std::min(m_channelCount, kMaxInputChannels);
    m_channel = channel;
    if (m_index > count || m_index > kProgramsPerChannel) {
        m_channel = channel + 1;
        m_index = 1;
        m_count = 1;
        if (m_channel > lastChannel && IsTwoOutput() && m_pass == 1) {
            m_pass = 2;
            m_channel = 1;
        }
    }
    if (m_channel > lastChannel) {
        m_pass = 1;
        if (!IsTranscoder()) {
            PageStep step;
            step.sendVersion = true;
            return Finish(step);
        }
        if (!m_inputsFollow)
            return Finish();
        // The transcoding multiplexer reads all its inputs after the outputs when the page was shown.
        BuildInputTree(m_channelCount == 16 ? 16 : 8);
        ResetCursor();
        return Ask(kCmdReadInputProgram, {1, 1}, 1, 1, 0, PageStep::Wait::kRestart);
    }
    std::vector<uint8_t> payload = {static_cast<uint8_t>(m_channel), static_cast<uint8_t>(m_index)};
    if (IsTwoOutput())
        payload.push_back(static_cast<uint8_t>(m_pass));
    return Ask(kCmdReadOutputProgram, std::move(payload), m_channel, m_index, IsTwoOutput() ? m_pass : 0,
               PageStep::Wait::kNone);
}

bool MuxChannelLogic::RouteAnswered(const ByteReader& p, int* channel, int* index, int* pass) const {
    const size_t headerSize = IsTwoOutput() ? 3 : 2;
    if (p.Size() < headerSize || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return false;
    *pass = IsTwoOutput() ? p.U8Or(2) : 0;
    if (*pass != m_expect.pass)
        return false;
    *channel = p.U8Or(0);
    *index = p.U8Or(1);
    return true;
}

PageStep MuxChannelLogic::OnSelect(const ReplyView& r) {
    const ByteReader p = r.Reader();
    const int headerSize = IsTwoOutput() ? 3 : 2;
    int channel = 0, index = 0, pass = 0;
    if (!RouteAnswered(p, &channel, &index, &pass))
        return {};
    if (IsTranscoder()) {
        TranscodeChannelTable* t = TranscodeChannel(channel);
        TranscodeProgramRecord* slot = t ? t->Program(index) : nullptr;
        if (!CopyRecord(p, headerSize, slot)) {
            PageStep step;
            step.messages.push_back("Eorror:quantity of programs should <= 8");
            return Finish(step);
        }
        slot->SetInOutput(1);
        AddOutputNode(0, channel, index);
        return Finish();
    }
    ChannelProgramTable* t = Channel(channel);
    ProgramRecord* slot = t ? t->Program(index) : nullptr;
    if (CopyRecord(p, headerSize, slot)) {
        if (!IsTwoOutput())
            slot->SetInOutput(1);
        AddOutputNode(IsTwoOutput() ? pass - 1 : 0, channel, index);
    }
    return Finish();
}

PageStep MuxChannelLogic::OnRemove(const ReplyView& r) {
    const ByteReader p = r.Reader();
    int channel = 0, index = 0, pass = 0;
    if (!RouteAnswered(p, &channel, &index, &pass))
        return {};
    const int root = IsTwoOutput() ? pass - 1 : 0;
    const int pos = m_outputTree.FindChannel(root, channel);
    const int child = pos >= 0 ? m_outputTree.FindChild(root, pos, index) : -1;
    if (child >= 0)
        m_outputTree.RemoveChild(root, pos, child);
    if (IsTranscoder()) {
        if (TranscodeChannelTable* t = TranscodeChannel(channel))
            t->Program(index)->SetInOutput(0);
    } else if (ChannelProgramTable* t = Channel(channel)) {
        t->Program(index)->SetInOutput(0);
    }
    return Finish();
}

PageStep MuxChannelLogic::OnModify(const ReplyView& r) {
    const ByteReader p = r.Reader();
    if (int(p.Size()) < 2 || p.U8Or(0) != m_expect.channel || p.U8Or(1) != m_expect.index)
        return {};
    const int channel = m_editChannel;
    const int index = m_editIndex;
    const int pos = m_outputTree.FindChannel(m_editRoot, channel);
    const int child = pos >= 0 ? m_outputTree.FindChild(m_editRoot, pos, index) : -1;
    if (IsTranscoder()) {
        TranscodeProgramRecord* slot = TranscodeChannel(channel)->Program(index);
        *slot = m_transcodeBuffer;
        if (child >= 0)
            m_outputTree.ReplaceChild(m_editRoot, pos, child, OutputProgramNode(*slot, index));
    } else {
        ProgramRecord* slot = Channel(channel)->Program(index);
        *slot = m_editBuffer;
        if (child >= 0)
            m_outputTree.ReplaceChild(m_editRoot, pos, child, ModifiedProgramNode(*slot, index));
    }
    return Finish();
}

}  // namespace nms
