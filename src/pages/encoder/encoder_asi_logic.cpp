#include "pages/encoder/encoder_asi_logic.h"

#include <algorithm>
#include <cstdio>

#include "pages/encoder/channel_record_fields.h"

namespace nms {
namespace {

constexpr uint8_t kNoAsiInput = 0x80;
constexpr int kRecordSize = ProgramRecord::kSize;
constexpr int kNameChars = 31;

std::string Format(const char* format, int value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string Title(int index, const std::string& name) {
    return std::to_string(index) + " " + channel_fields::CutCodePageText(name, kNameChars);
}

const char* CommonLabel(uint8_t type) {
    switch (type) {
        case 1:
            return "Mpeg1 Video";
        case 2:
            return "Mpeg2 Video";
        case 3:
            return "Mpeg1 Audio";
        case 4:
            return "Mpeg2 Audio";
        case 5:
            return "Private Section";
        case 27:
            return "H.264 Video";
        default:
            return nullptr;
    }
}

bool ShowsElements(const ProgramRecord& r) {
    return r.ElementCount() >= 1 && r.ElementCount() < kMaxElements;
}

// Value nodes carry their value as item data in the input tree only.
ProgramTreeNode ProgramHeadNode(const ProgramRecord& r, int index, bool input) {
    ProgramTreeNode node(Title(index, input ? r.InputName() : r.ShownOutputName()), index);
    const int sid = input ? r.InputServiceId() : r.OutputServiceId();
    const int pmt = input ? r.InputPmtPid() : r.OutputPmtPid();
    const int pcr = input ? r.InputPcrPid() : r.OutputPcrPid();
    node.Add("Service ID:" + std::to_string(sid), input ? sid : 0);
    node.Add(Format("PMT PID:0x%x", pmt), input ? pmt : 0);
    node.Add(Format("PCR PID:0x%x", pcr), input ? pcr : 0);
    if (ShowsElements(r))
        for (int i = 0; i < r.ElementCount(); ++i)
            node.Add(AsiTreeLabel(r.ElementStreamType(i), input))
                .Add(Format("PID:0x%x", input ? r.ElementInputPid(i) : r.ElementOutputPid(i)));
    return node;
}

}  // namespace

std::string AsiTreeLabel(uint8_t type, bool inputTree) {
    if (const char* label = CommonLabel(type))
        return label;
    if (type == 6)
        return inputTree ? "AC3_A52_AUDIO_STREAM" : "A52 Audio(aka AC3)";
    return "User Define Data";
}

std::string AsiDialogEntry(uint8_t type) {
    const char* label = "User Define Data";
    switch (type) {
        case 1:
            label = "MPEG-1 Video";
            break;
        case 2:
            label = "MPEG-2 Video";
            break;
        case 3:
            label = "MPEG-1 Audio";
            break;
        case 4:
            label = "MPEG-2 Audio";
            break;
        case 5:
            label = "Private Section";
            break;
        case 6:
            label = "A52 Audio(aka AC3)";
            break;
        case 27:
            label = "H.264 Video";
            break;
        default:
            break;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%02d %s", type, label);
    return buffer;
}

ProgramTreeNode AsiProgramNode(const ProgramRecord& r, int index, bool input) {
    ProgramTreeNode node = ProgramHeadNode(r, index, input);
    // The CA block goes with the element nodes.
    const int count = r.CaCount();
    if (ShowsElements(r) && count >= 1 && count <= kMaxCaEntries) {
        auto& ca = node.Add("CA");
        for (int k = 0; k < count; ++k) {
            auto& entry = ca.Add(Format("CA %d", k + 1));
            entry.Add(Format("CA system id: 0x%x", r.CaSystemId(k)));
            const int pid = input ? r.InputEcmPid(k) : r.OutputEcmPid(k);
            entry.Add(Format("CA PID: 0x%x", pid), input ? pid : 0);
        }
    }
    return node;
}

ProgramTreeNode AsiEditedProgramNode(const ProgramRecord& r, int index) {
    ProgramTreeNode node = ProgramHeadNode(r, index, false);
    const int count = std::min<int>(r.CaCount(), kMaxCaEntries);
    if (ShowsElements(r))
        for (int k = 0; k < count; ++k) {
            auto& entry = node.Add(Format("CA %d", k));
            entry.Add(Format("CA system id: %d", r.CaSystemId(k)));
            entry.Add(Format("CA PID: %d", r.OutputEcmPid(k)));
        }
    node.expanded = true;
    return node;
}

const ProgramRecord& EncoderAsiLogic::Slot(int index) const {
    return m_slots[size_t(index >= 1 && index <= kAsiPrograms ? index : 0)];
}

int EncoderAsiLogic::FindNode(const std::vector<ProgramTreeNode>& nodes, int index) const {
    for (size_t i = 0; i < nodes.size(); ++i)
        if (nodes[i].data == index && nodes[i].text != "CA Info")
            return int(i);
    return -1;
}

void EncoderAsiLogic::PutNode(std::vector<ProgramTreeNode>& nodes, ProgramTreeNode node) {
    // A program listed again replaces its node.
    const int at = FindNode(nodes, node.data);
    if (at >= 0)
        nodes[size_t(at)] = std::move(node);
    else
        nodes.push_back(std::move(node));
}

PageStep EncoderAsiLogic::Start(uint8_t command, std::vector<uint8_t> payload) {
    // Every sequence starts from the first program, whatever the last one left behind.
    m_counter = 1;
    m_total = 1;
    m_inputId = 1;
    m_await.Expect(command);
    return PageStep::Request(command, std::move(payload), PageStep::Wait::kBeginShort);
}

PageStep EncoderAsiLogic::EndSequence(unsigned refresh) {
    m_counter = 1;
    m_total = 1;
    m_inputId = 1;
    m_await.Clear();
    m_pending = 0;
    return PageStep::End(refresh);
}

PageStep EncoderAsiLogic::Next(uint8_t command) {
    PageStep step = PageStep::Request(command, {m_inputId, uint8_t(m_counter)}, PageStep::Wait::kNone);
    step.checkOnline = false;
    return step;
}

PageStep EncoderAsiLogic::InputAnalyze() {
    m_input.clear();
    PageStep step = Start(kCmdAsiAnalyze, {1, 1});
    step.refresh = kRefreshInput;
    return step;
}

PageStep EncoderAsiLogic::RefreshOut() {
    m_output.clear();
    PageStep step = Start(kCmdAsiOutputProgram, {1, 1});
    step.refresh = kRefreshOutput;
    return step;
}

PageStep EncoderAsiLogic::Select(int index) {
    if (index < 1 || index > kAsiPrograms || FindNode(m_input, index) < 0)
        return {};
    if (FindNode(m_output, index) >= 0)
        return PageStep::Message("The program has already been selected!");
    PageStep step = Start(kCmdAsiSelect, {1, uint8_t(index)});
    m_pending = index;
    return step;
}

PageStep EncoderAsiLogic::Remove(int index) {
    if (index < 1 || index > kAsiPrograms || FindNode(m_output, index) < 0)
        return {};
    PageStep step = Start(kCmdAsiRemove, {1, uint8_t(index)});
    m_pending = index;
    return step;
}

bool EncoderAsiLogic::BeginEdit(int index, EditProgramFields* f) {
    if (index < 1 || index > kAsiPrograms || FindNode(m_output, index) < 0)
        return false;
    // The dialog edits its own copy: a cancelled dialog leaves the record and program a late reply of the
    // last request lands on as they were.
    m_editing = m_slots[size_t(index)];
    m_editIndex = index;
    const ProgramRecord& w = m_editing;
    *f = EditProgramFields();
    f->name = channel_fields::CutCodePageText(w.ShownOutputName(), kNameChars);
    f->serviceId = std::to_string(w.OutputServiceId());
    f->pmtPid = Format("%x", w.OutputPmtPid());
    f->pcrPid = Format("%x", w.OutputPcrPid());
    const int ca = w.CaCount();
    if (ca >= 1 && ca <= kMaxCaEntries)
        for (int k = 0; k < ca; ++k) {
            f->caSystemIds[size_t(k)] = w.CaSystemId(k);
            f->ecmPids[size_t(k)] = w.OutputEcmPid(k);
        }
    const int elements = w.ElementCount();
    if (elements >= 1 && elements <= kMaxElements)
        for (int i = 0; i < elements; ++i) {
            f->elementPids[size_t(i)] = int16_t(w.ElementOutputPid(i));
            f->elementLabels[size_t(i)] = AsiDialogEntry(w.ElementStreamType(i));
        }
    return true;
}

PageStep EncoderAsiLogic::CommitEdit(const EditProgramFields& f) {
    const int index = m_editIndex;
    if (index < 1 || index > kAsiPrograms || m_await.Waiting())
        return {};
    ProgramRecord& w = m_editing;
    uint32_t sid = 0, pmt = 0, pcr = 0;
    if (!ParseDecimalField(f.serviceId, 0xFFFF, &sid, nullptr) ||
        !ParseHexField(f.pmtPid, 0xFFFF, &pmt, nullptr) || !ParseHexField(f.pcrPid, 0xFFFF, &pcr, nullptr))
        return {};  // the dialog checked these; a caller that did not gets nothing sent
    w.SetOutputName(channel_fields::CutCodePageText(f.name, kNameChars));
    w.SetOutputServiceId(uint16_t(sid));
    w.SetOutputPmtPid(uint16_t(pmt));
    w.SetOutputPcrPid(uint16_t(pcr));
    const int ca = w.CaCount();
    if (ca >= 1 && ca <= kMaxCaEntries)
        for (int k = 0; k < ca; ++k) {
            w.SetCaSystemId(k, f.caSystemIds[size_t(k)]);
            w.SetOutputEcmPid(k, f.ecmPids[size_t(k)]);
        }
    const int elements = w.ElementCount();
    if (elements >= 1 && elements <= kMaxElements)
        for (int i = 0; i < kMaxElements; ++i)
            w.SetElementOutputPid(i, i < elements && f.elementPids[size_t(i)] >= 0
                                         ? uint16_t(f.elementPids[size_t(i)])
                                         : uint16_t(0));
    std::vector<uint8_t> payload = {1, uint8_t(index)};
    payload.insert(payload.end(), w.bytes.begin(), w.bytes.end());
    PageStep step = Start(kCmdAsiEdit, std::move(payload));
    m_working = w;
    m_pending = index;
    return step;
}

PageStep EncoderAsiLogic::HandleReply(const ReplyView& reply) {
    if (!m_await.InTime(reply))
        return {};  // another command, or a reply after its wait ended (see TakeLate)
    switch (reply.Command()) {
        case kCmdAsiAnalyze:
            return OnAnalyze(reply);
        case kCmdAsiCaList:
            return OnCaList(reply);
        case kCmdAsiInputProgram:
            return OnProgram(reply, true);
        case kCmdAsiOutputProgram:
            return OnProgram(reply, false);
        default:
            break;
    }
    const ByteReader r = reply.Reader();
    uint8_t index = 0;
    if (!r.U8(0, &m_inputId) || !r.U8(1, &index))
        return {};
    switch (reply.Command()) {
        case kCmdAsiSelect:
            if (!r.Has(2, kRecordSize) || index != m_pending)
                return EndSequence(PageStep::kRefreshNone);
            r.Bytes(2, kRecordSize, m_slots[index].Data());
            m_slots[index].SetInOutput(1);
            PutNode(m_output, AsiProgramNode(m_slots[index], index, false));
            return EndSequence(kRefreshOutput);
        case kCmdAsiRemove: {
            if (index != m_pending)
                return EndSequence(PageStep::kRefreshNone);
            const int at = FindNode(m_output, index);
            if (at >= 0)
                m_output.erase(m_output.begin() + at);
            m_slots[index].SetInOutput(0);
            return EndSequence(kRefreshOutput);
        }
        case kCmdAsiEdit: {
            if (index != m_pending)
                return EndSequence(PageStep::kRefreshNone);
            m_slots[index] = m_working;
            const int at = FindNode(m_output, index);
            if (at >= 0)
                m_output[size_t(at)] = AsiEditedProgramNode(m_slots[index], index);
            return EndSequence(kRefreshOutput);
        }
        default:
            return {};
    }
}

PageStep EncoderAsiLogic::OnAnalyze(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    uint8_t id = 0, total = 0, flags = 0;
    if (!r.U8(0, &id) || !r.U8(1, &total) || !r.U8(3, &flags))
        return {};
    m_counter = 1;
    m_inputId = id;
    m_total = total;
    if (flags == kNoAsiInput)
        return EndSequence(kRefreshInput).WithMessage("Don't Support ASI-IN !");
    m_await.Expect(kCmdAsiCaList);
    PageStep step = PageStep::Request(kCmdAsiCaList, {m_inputId}, PageStep::Wait::kNone);
    step.checkOnline = false;
    return step;
}

PageStep EncoderAsiLogic::OnCaList(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    uint8_t id = 0, count = 0;
    if (!r.U8(0, &id) || !r.U8(1, &count))
        return {};
    m_inputId = id;
    PageStep step;
    if (count >= 1 && count <= kMaxCaEntries && r.Has(2, size_t(4 * count))) {
        ProgramTreeNode info("CA Info");
        for (int k = 0; k < count; ++k) {
            auto& entry = info.Add(Format("CA %d", k + 1));
            entry.Add(Format("CA system ID:0x%x", r.U16LEOr(2 + 4 * size_t(k))));
            entry.Add(Format("CA PID:0x%x", r.U16LEOr(4 + 4 * size_t(k))));
        }
        m_input.push_back(std::move(info));
        step.refresh = kRefreshInput;
    }
    m_counter = 1;
    m_total = 1;
    m_await.Expect(kCmdAsiInputProgram);
    PageStep next = Next(kCmdAsiInputProgram);
    next.refresh = step.refresh;
    return next;
}

PageStep EncoderAsiLogic::OnProgram(const ReplyView& reply, bool input) {
    const ByteReader r = reply.Reader();
    // The program asked for, or an empty reply that only tells the total; anything else is stray.
    uint8_t index = 0;
    if (r.Size() > 0 && (!r.U8(1, &index) || index != m_counter))
        return {};
    m_counter += 1;
    m_total = reply.C();
    unsigned refresh = 0;
    const bool taken = input ? r.Size() > 0 : r.Size() > size_t(kRecordSize);
    uint8_t total = 0;
    if (taken && r.U8(2, &total)) {
        if (input)
            r.U8(0, &m_inputId);
        m_total = total;
        if (m_total != 0 && index >= 1 && index <= kAsiPrograms && r.Has(3, kRecordSize)) {
            r.Bytes(3, kRecordSize, m_slots[index].Data());
            if (input) {
                PutNode(m_input, AsiProgramNode(m_slots[index], index, true));
                refresh = kRefreshInput;
            } else if (m_slots[index].InOutput() != 0) {
                PutNode(m_output, AsiProgramNode(m_slots[index], index, false));
                refresh = kRefreshOutput;
            }
        }
    }
    // The sequence never asks past the 128 programs the page holds.
    if (m_total < m_counter || m_counter > kAsiPrograms)
        return EndSequence(refresh | (input ? kRefreshInput : kRefreshOutput));
    PageStep step = Next(input ? kCmdAsiInputProgram : kCmdAsiOutputProgram);
    step.refresh = refresh;
    return step;
}

}  // namespace nms
