#include "pages/scrambler/scrambler_logic.h"

#include <algorithm>
#include <cstdio>

#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr const char* kPidTooLong = "PID length should not be more than 4 characters.";
constexpr const char* kNotHex = "should be 0-9,a-f or A-F!";

bool Decimal16(const std::string& text, uint16_t* value) {
    if (text.empty() || text.size() > 5 || !IsDecimalText(text))
        return false;
    const unsigned long v = std::stoul(text);
    if (v > 65535)
        return false;
    *value = uint16_t(v);
    return true;
}

std::string Filled(const char* format, const char* value) {
    char text[128];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The ECM PID text of a program: empty when it may be stored.
std::string CheckEcmText(const std::string& text, bool shortMessage = false) {
    if (text.size() > 4)
        return Filled("ECM %s", kPidTooLong);
    if (!IsHexText(text))
        return Filled(shortMessage ? "ECM %s" : "ECM PID %s", kNotHex);
    return {};
}

}  // namespace

ScramblerLogic::ScramblerLogic(ScramblerSettings::Kind kind, StreamLabelSet labels)
    : m_block(kind), m_labels(labels) {}

void ScramblerLogic::Reset() {
    m_block.Clear();
    for (auto& record : m_programs)
        std::fill(record.begin(), record.end(), 0);
    for (auto& row : m_marks)
        row.fill(0);
    for (auto& image : m_acImages)
        image.fill(0);
    for (auto& ecm : m_acEcm)
        ecm.fill(0);
    m_bitmap.Clear();
    m_count = 0;
    m_slot = 0;
    m_selected = 1;
    m_replies.LateHandled(&m_stage);
    m_status = {};
}

int ScramblerLogic::TreeCount() const {
    return std::min<int>(m_block.ProgramCount(), kScramblerPrograms);
}

void ScramblerLogic::SetAcTable(int slot, const AcTableImage& image, const AcEcmBlock& ecm) {
    m_acImages[size_t(slot & 3)] = image;
    m_acEcm[size_t(slot & 3)] = ecm;
}

int ScramblerLogic::ElementMark(int program, int element) const {
    const size_t p = Index(program);
    if (!p || element < 0 || element >= int(Describe(program).streamTypes.size()))
        return 0;
    return m_marks[p][size_t(element)];
}

int ScramblerLogic::ProgramMarkOf(int program) const {
    const int n = int(Describe(program).streamTypes.size());
    std::vector<int> marks;
    for (int e = 0; e < n; ++e)
        marks.push_back(ElementMark(program, e));
    return ProgramMark(marks);
}

void ScramblerLogic::ClickProgram(int program) {
    const int mark = ProgramMarkOf(program);
    if (!mark)
        return;
    const int next = NextMark(mark);
    const int n = int(Describe(program).streamTypes.size());
    for (int e = 0; e < n; ++e)
        m_marks[Index(program)][size_t(e)] = uint8_t(next);
}

void ScramblerLogic::ClickElement(int program, int element) {
    const int mark = ElementMark(program, element);
    if (mark)
        m_marks[Index(program)][size_t(element)] = uint8_t(NextMark(mark, m_twoValueElements));
}

void ScramblerLogic::LoadMarks() {
    for (int p = 1; p <= kScramblerPrograms; ++p) {
        const ScramblerProgramInfo info = Describe(p);
        m_marks[size_t(p)].fill(0);
        for (size_t e = 0; e < info.pids.size(); ++e) {
            uint8_t mark = 1;
            if (m_bitmap.Test(info.pids[e]))
                mark = 3;
            else if (m_block.Mask(p) >> e & 1)
                mark = 2;
            m_marks[size_t(p)][e] = mark;
        }
    }
}

void ScramblerLogic::CollectMarks() {
    m_bitmap.Clear();
    for (int p = 1; p <= TreeCount(); ++p) {
        const ScramblerProgramInfo info = Describe(p);
        uint32_t mask = m_block.Mask(p);
        for (size_t e = 0; e < info.pids.size(); ++e) {
            switch (m_marks[size_t(p)][e]) {
                case 3:
                    // A PID past 8191 does not fit the bitmap: the element is only left unchecked.
                    if (info.pids[e] < PidBitmap::kPids)
                        m_bitmap.Set(info.pids[e]);
                    mask &= ~(1u << e);
                    break;
                case 2:
                    mask |= 1u << e;
                    break;
                case 1:
                    mask &= ~(1u << e);
                    break;
                default:
                    break;
            }
        }
        m_block.SetMask(p, mask);
    }
}

ScramblerSlotForm ScramblerLogic::SlotForm() const {
    const uint8_t* slot = m_block.Slot(m_slot);
    const CasSlotFields f = ReadCasSlot(slot);
    ScramblerSlotForm form;
    char text[32];
    form.enabled = f.enabled;
    form.ecmgAddress = f.ecmgAddress;
    form.ecmgPort = std::to_string(f.ecmgPort);
    form.emmgTcpPort = std::to_string(f.emmgTcpPort);
    form.emmgUdpPort = std::to_string(f.emmgUdpPort);
    form.ecmChannelId = std::to_string(f.ecmChannelId);
    std::snprintf(text, sizeof text, "%x", unsigned(f.emmPid));
    form.emmPid = text;
    form.emmgMode = f.emmgUdp ? 1 : 0;
    std::snprintf(text, sizeof text, "%08x", unsigned(f.superCasId));
    form.superCasId = text;
    std::snprintf(text, sizeof text, "%x", unsigned(CasSlotEcmPid(slot, m_selected)));
    form.ecmPid = text;
    form.acIndex = CasSlotAcIndex(slot, m_selected ? m_selected : 1);
    form.encryptPeriod = std::to_string(m_block.EncryptPeriod());
    form.tsId = std::to_string(m_block.TsId());
    form.ipInsertPort = std::to_string(m_block.IpInsertPort());
    const uint32_t kbps = m_block.OutputBitrate();
    std::snprintf(text, sizeof text, "%u.%03u", unsigned(kbps / 1000), unsigned(kbps % 1000));
    form.outputBitrate = text;
    return form;
}

std::string ScramblerLogic::StoreSlotForm(const ScramblerSlotForm& form, int selectedProgram) {
    const bool qam = m_block.IsQam();
    CasSlotFields f = ReadCasSlot(m_block.Slot(m_slot));
    uint16_t encrypt = 0, tsId = 0, ipInsert = 0;
    const std::string range = "Please enter an integer between 0 and 65535.";
    if (!Decimal16(form.ecmChannelId, &f.ecmChannelId) || !Decimal16(form.ecmgPort, &f.ecmgPort) ||
        !Decimal16(form.emmgTcpPort, &f.emmgTcpPort) || !Decimal16(form.emmgUdpPort, &f.emmgUdpPort) ||
        !Decimal16(form.encryptPeriod, &encrypt))
        return range;
    if (qam && (!Decimal16(form.tsId, &tsId) || !Decimal16(form.ipInsertPort, &ipInsert)))
        return range;
    if (form.emmPid.size() > 4)
        return Filled("EMM %s", kPidTooLong);
    if (!IsHexText(form.emmPid))
        return Filled("EMM %s", kNotHex);
    if (std::string error = CheckEcmText(form.ecmPid); !error.empty())
        return error;
    const bool programSelected = selectedProgram >= 1 && selectedProgram <= kScramblerPrograms;
    if (form.superCasId.size() > 8)
        return "Supper CAS ID should not be more than 8 characters.";
    if (!IsHexText(form.superCasId))
        return Filled("Supper CAS ID %s", kNotHex);
    int32_t bitrate = 0;
    if (!qam) {
        if (form.outputBitrate.size() > 7)
            return "Please enter the output bitrate in Mbps (at most 7 characters).";
        bitrate = ParseThousandths(form.outputBitrate);
        if (bitrate < 0)
            return "Please enter the output bitrate in Mbps (at most 7 characters).";
    }

    uint8_t* slot = m_block.Slot(m_slot);
    if (qam) {
        m_block.SetTsId(tsId);
        m_block.SetIpInsertPort(ipInsert);
    } else {
        m_block.SetOutputBitrate(uint32_t(bitrate));
    }
    f.enabled = form.enabled;
    f.ecmgAddress = form.ecmgAddress;
    f.emmPid = HexTextToUShort(form.emmPid);
    f.superCasId = HexPrefixToUInt32(form.superCasId);
    f.emmgUdp = form.emmgMode != 0;
    WriteCasSlot(slot, f);
    if (programSelected) {
        SetCasSlotEcmPid(slot, selectedProgram, HexTextToUShort(form.ecmPid));
        if (form.acIndex >= 0 && form.acIndex <= 255)
            SetCasSlotAcIndex(slot, selectedProgram, uint8_t(form.acIndex));
    }
    m_block.SetEncryptPeriod(encrypt);
    return {};
}

std::string ScramblerLogic::ChangeSlot(int slot, const ScramblerSlotForm& form, int selectedProgram) {
    std::string error;
    if (m_progress & kCasRead)
        error = StoreSlotForm(form, selectedProgram);
    if (slot >= 0 && slot < kCasSlots)
        m_slot = slot;
    return error;
}

std::string ScramblerLogic::SelectProgram(int program, const std::string& ecmText, int acIndex) {
    if (m_selected >= 1 && m_selected <= kScramblerPrograms) {
        if (std::string error = CheckEcmText(ecmText, m_shortEcmMessage); !error.empty())
            return error;
        uint8_t* slot = m_block.Slot(m_slot);
        SetCasSlotEcmPid(slot, m_selected, HexTextToUShort(ecmText));
        if (acIndex >= 0 && acIndex <= 255)
            SetCasSlotAcIndex(slot, m_selected, uint8_t(acIndex));
    }
    if (program >= 1 && program <= kScramblerPrograms)
        m_selected = program;
    return {};
}

void ScramblerLogic::EcmPidEdited(const std::string& text) {
    // Only a text that Set would accept is stored; Set checks it again and says what is wrong.
    if (CheckEcmText(text).empty())
        SetCasSlotEcmPid(m_block.Slot(m_slot), m_selected, HexTextToUShort(text));
}

bool ScramblerLogic::ReadStatus(const ReplyView& reply, bool asiFlags) {
    uint8_t links = 0;
    if (!reply.U8(0, &links))
        return false;
    m_status.links = links;
    uint16_t rate = 0;
    m_status.hasRate = reply.U16BE(1, &rate);
    m_status.kbps = uint32_t(rate) * 1504 / 1000;
    uint32_t flags = 0;
    m_status.hasAsi = asiFlags && reply.U32LE(3, &flags);
    m_status.asiFlags = flags;
    return true;
}

PageStep ScramblerLogic::HandleReply(const ReplyView& reply) {
    if (reply.Command() == kCmdScrStatus)
        return StatusReply(reply);
    if (m_stage == 0 || !m_replies.InTime(reply))
        return {};
    if (RepliesNamed() && m_replies.IsCopy(reply))
        return {};
    m_replies.Took(reply);
    return Made(Step(reply));
}

PageStep ScramblerLogic::StartAcRead(uint8_t command) {
    m_acCommand = command;
    m_acStep = 1;
    m_acSteps = 8;
    m_acTable = 1;
    return PageStep::Request(command, {1, 1}, PageStep::Wait::kNone);
}

std::optional<PageStep> ScramblerLogic::TakeAcPage(const ReplyView& reply, bool halfOrder) {
    constexpr int kAcPageReplySize = 2 + 1024;
    uint8_t table = 0, half = 0;
    if (!reply.U8(0, &table) || !reply.U8(1, &half) || !reply.Has(0, kAcPageReplySize))
        return PageStep();
    ++m_acStep;
    m_acSteps = reply.C();
    if (half > 2)
        half = reply.B() & 1 ? 1 : 2;
    // Half 0 or a table the page does not hold has no place in the images.
    if (table >= 1 && table <= kCasSlots && half >= 1)
        std::copy(reply.Payload() + 2, reply.Payload() + kAcPageReplySize,
                  m_acImages[size_t(table - 1)].begin() + (half - 1) * 1024);
    if (m_acStep > m_acSteps)
        return std::nullopt;
    if (halfOrder ? half == 1 : (m_acStep & 1) != 0)
        m_acTable = m_acTable % kCasSlots + 1;
    return PageStep::Request(m_acCommand, {uint8_t(m_acTable), uint8_t(m_acStep & 1 ? 1 : 2)},
                             PageStep::Wait::kNone);
}

PageStep ScramblerLogic::EndChain(unsigned refresh) {
    m_stage = 0;
    return PageStep::End(refresh);
}

std::vector<uint8_t> AcPagePayload(const AcTableImage& image, const AcPage& page) {
    std::vector<uint8_t> payload = {page.first, page.second};
    const size_t at = size_t(page.second - 1) * 1024;
    payload.insert(payload.end(), image.begin() + long(at), image.begin() + long(at + 1024));
    return payload;
}

}  // namespace nms
