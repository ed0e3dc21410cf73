#include "pages/scrambler/scramble_logic.h"

#include <algorithm>

#include "devices/byte_io.h"
#include "pages/psi/ca_descriptor_section.h"

namespace nms {
namespace {

constexpr int kProgramReplySize = 7 + kScrambleProgramSize;  // 0, number, count, u32 mask, record
constexpr int kTsReplySize = kScrambleTsBlockSize;
constexpr int kTsAndMarksSize = kScrambleTsBlockSize + PidBitmap::kBytes;  // 1090

const std::array<AcPage, 8> kPageOrder = {{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {4, 1}, {4, 2}}};

}  // namespace

ScrambleLogic::ScrambleLogic()
    : ScramblerLogic(ScramblerSettings::Kind::kStandAlone, StreamLabelSet::kStandAlone) {
    m_shortEcmMessage = true;
    Reset();
}

void ScrambleLogic::Reset() {
    ScramblerLogic::Reset();
    for (auto& record : m_programs)
        record.assign(kRecordSize, 0);
    m_ts.assign(kScrambleTsBlockSize, 0);
    m_cw.assign(kFixedCwTableSize, 0);
    m_tsRead = m_cwRead = false;
    m_fullRead = false;
    m_progress = 0;
    m_section.clear();
}

ScramblerProgramInfo ScrambleLogic::Describe(int program) const {
    return DescribeScrambleProgram(m_programs[Index(program)]);
}

void ScrambleLogic::SetVersion(uint32_t versionWord) {
    m_version = SoftwareVersion(versionWord);
    m_twoValueElements = m_version < 0x0610;
}

std::vector<uint8_t> ScrambleLogic::Cw(int program) const {
    if (!Index(program))
        return std::vector<uint8_t>(8, 0);
    const auto at = m_cw.begin() + kFixedCwOffset + 8 * program;
    return std::vector<uint8_t>(at, at + 8);
}

void ScrambleLogic::SetCw(int program, const std::vector<uint8_t>& cw) {
    if (Index(program) && cw.size() == 8)
        std::copy(cw.begin(), cw.end(), m_cw.begin() + kFixedCwOffset + 8 * program);
}

PageStep ScrambleLogic::Parse() {
    if (m_stage != kIdle)
        return {};
    m_selected = 1;
    m_stage = kParse;
    m_fullRead = false;
    return Begin(PageStep::Request(
        NewCodes() ? static_cast<uint8_t>(kCmdScrambleParseNew) : static_cast<uint8_t>(kCmdScrParse), {1},
        PageStep::Wait::kBeginLong));
}

PageStep ScrambleLogic::StartPrograms(uint8_t command) {
    m_stage = kPrograms;
    m_programCommand = command;
    return PageStep::Request(command, {1, 1}, PageStep::Wait::kNone);
}

PageStep ScrambleLogic::Refresh() {
    if (m_stage != kIdle)
        return {};
    m_selected = 1;
    m_fullRead = true;
    PageStep step = StartPrograms(kCmdScrambleProgramOld);
    step.wait = PageStep::Wait::kBegin;
    return Begin(step);
}

PageStep ScrambleLogic::Set(const ScramblerSlotForm& form, int selectedProgram) {
    if (m_stage != kIdle)
        return {};
    // Ports of 0 mean the settings were never read: writing them would wipe the device's.
    bool zeroPort = !(m_progress & kAcRead);
    for (int s = 0; s < kCasSlots; ++s) {
        const CasSlotFields f = ReadCasSlot(m_block.Slot(s));
        zeroPort = zeroPort || !f.ecmgPort || !f.emmgTcpPort || !f.emmgUdpPort;
    }
    if (zeroPort)
        return PageStep::Message(kGetFirstMessage);
    if (form.tsIdEnabled) {
        const std::string& t = form.tsId;
        if (t.empty() || t.size() > 5 || t.find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(t) > 65535)
            return PageStep::Message("Please enter an integer between 0 and 65535.");
    }
    if (std::string error = StoreSlotForm(form, selectedProgram); !error.empty())
        return PageStep::Message(error);
    CollectMarks();
    m_pendingForm = form;
    m_stage = kWriteCas;
    return Begin(PageStep::Request(kCmdScrWriteCas, m_block.Bytes()));
}

PageStep ScrambleLogic::EditCat() {
    if (m_stage != kIdle)
        return {};
    m_stage = kSectionRead;
    m_sectionCat = true;
    return Begin(PageStep::Request(kCmdScrambleCat, {}));
}

PageStep ScrambleLogic::EditPmt(int program) {
    if (m_stage != kIdle || !Index(program))
        return {};
    m_stage = kSectionRead;
    m_sectionCat = false;
    return Begin(PageStep::Request(kCmdScramblePmt, {1, uint8_t(program)}));
}

PageStep ScrambleLogic::WriteSection(const uint8_t* section, int length) {
    if (m_stage != kIdle || length < 0 || length > kCaSectionBufferSize)
        return {};
    m_stage = kSectionWrite;
    return Begin(PageStep::Request(m_sectionCat ? kCmdScrambleWriteCat : kCmdScrambleWritePmt,
                                   std::vector<uint8_t>(section, section + length)));
}

std::string ScrambleLogic::ApplyProgramEdit(int program, uint16_t serviceId, const std::string& name,
                                            uint16_t pmtPid, uint16_t pcrPid,
                                            const std::vector<uint16_t>& elementPids) {
    if (!Index(program))
        return {};
    // The record's name field holds 31 characters and its terminator.
    if (name.size() > 31)
        return "Program name should not be more than 31 characters.";
    std::vector<uint8_t>& r = m_programs[Index(program)];
    ByteWriter w(r);
    w.U16LE(0, serviceId);
    w.Text(6, 32, name);
    w.U16LE(2, pmtPid);
    if (m_version > 2184) {
        w.U16LE(4, pcrPid);
        const int count = std::min<int>(r[38], 32);
        for (int e = 0; e < count && e < int(elementPids.size()); ++e)
            w.U16LE(size_t(39 + 3 * e + 1), uint16_t(elementPids[size_t(e)] & 0x1fff));
    }
    return {};
}

PageStep ScrambleLogic::SendProgram() {
    PageStep step;
    if (m_count == 0) {
        step = PageStep::Request(kCmdScrambleWriteProgram, {1, 0}, PageStep::Wait::kNone);
        step.c = 0;
        return step;
    }
    std::vector<uint8_t> payload = {uint8_t(m_next), uint8_t(m_count)};
    const auto& record = m_programs[Index(m_next)];
    payload.insert(payload.end(), record.begin(), record.end());
    step = PageStep::Request(kCmdScrambleWriteProgram, std::move(payload), PageStep::Wait::kNone);
    step.b = uint8_t(m_next);
    step.c = uint8_t(m_count);
    return step;
}

PageStep ScrambleLogic::SendAcPage() {
    const AcPage& page = kPageOrder[size_t(m_next)];
    PageStep step =
        PageStep::Request(NewCodes() ? kCmdScrambleAcWriteNew : kCmdScrambleAcWriteOld,
                          AcPagePayload(m_acImages[size_t(page.first - 1)], page), PageStep::Wait::kNone);
    step.b = uint8_t(m_next + 1);
    step.c = 8;
    return step;
}

PageStep ScrambleLogic::StatusReply(const ReplyView& reply) {
    if (reply.PayloadLength() != 3 || !ReadStatus(reply, false))
        return {};
    PageStep step;
    step.refresh = kRefreshStatus;
    return step;
}

PageStep ScrambleLogic::Step(const ReplyView& reply) {
    switch (m_stage) {
        case kParse:
            if (reply.Command() == kCmdScrParse) {
                m_fullRead = true;
                return StartPrograms(kCmdScrambleProgramOld);
            }
            return StartPrograms(kCmdScrambleProgramNew);
        case kPrograms: {
            // The reply's header says which step it answers (b) and how many there are (c); the read goes
            // on from there.
            const int step = reply.B(), steps = reply.C();
            uint8_t number = 0, count = 0;
            if (reply.U8(2, &count)) {
                m_count = std::min<int>(count, kScramblerPrograms);
                if (count != 0 && reply.U8(1, &number) && Index(number)) {
                    uint32_t mask = 0;
                    if (reply.U32LE(3, &mask))
                        m_block.SetMask(number, mask);
                    if (reply.Has(0, kProgramReplySize)) {
                        std::vector<uint8_t>& record = m_programs[size_t(number)];
                        reply.Bytes(7, kRecordSize, &record);
                        record[37] = 0;
                    }
                }
            }
            m_progress |= kProgramsRead;
            if (step < steps)
                return PageStep::Request(m_programCommand, {1, uint8_t(step + 1)}, PageStep::Wait::kNone);
            if (m_fullRead) {
                m_stage = kCas;
                return PageStep::Request(kCmdScrCas, {1}, PageStep::Wait::kNone);
            }
            PageStep done = EndChain(PageStep::kRefreshAll | kRefreshTree);
            done.sendVersion = true;
            return done;
        }
        case kCas: {
            if (!reply.Has(0, ScramblerSettings::kStandAloneSize))
                return {};
            reply.Bytes(0, ScramblerSettings::kStandAloneSize, &m_block.Bytes());
            m_progress |= kCasRead;
            // The settings may come in several replies: the AC read starts after the last (b = c).
            if (reply.B() != reply.C())
                return {};
            m_stage = kAcReading;
            return StartAcRead(kCmdScrambleAcRead);
        }
        case kAcReading: {
            if (std::optional<PageStep> going = TakeAcPage(reply, false))
                return *going;
            m_progress |= kAcRead;
            m_fullRead = false;
            m_stage = kTs;
            PageStep step = PageStep::Request(kCmdScrambleTs, {}, PageStep::Wait::kNone);
            step.refresh = kRefreshAcList;
            return step;
        }
        case kTs: {
            m_tsRead = reply.Has(0, kTsReplySize);
            if (m_tsRead)
                reply.Bytes(0, kTsReplySize, &m_ts);
            if (reply.Has(0, kTsAndMarksSize)) {
                m_bitmap.Load(reply.Payload() + kTsReplySize, PidBitmap::kBytes);
                LoadMarks();
            } else {
                // Without marks from the device every element starts from its mask.
                m_bitmap.Clear();
                LoadMarks();
            }
            m_stage = kCwRead;
            PageStep step = PageStep::Request(kCmdScrambleCw, {}, PageStep::Wait::kNone);
            step.refresh = kRefreshTs;
            return step;
        }
        case kCwRead: {
            if (reply.Has(0, kFixedCwTableSize)) {
                reply.Bytes(0, kFixedCwTableSize, &m_cw);
                m_cwRead = true;
            }
            PageStep step = EndChain(PageStep::kRefreshAll | kRefreshTree | kRefreshTs);
            step.sendVersion = true;
            return step;
        }
        case kWriteCas: {
            ByteWriter w(m_ts);
            if (m_pendingForm.tsIdEnabled)
                w.U16LE(0, uint16_t(std::stoul(m_pendingForm.tsId)));
            m_ts[4] = m_pendingForm.sdtOn ? uint8_t(m_ts[4] & ~0x04) : uint8_t(m_ts[4] | 0x04);
            std::vector<uint8_t> payload = m_ts;
            payload.insert(payload.end(), m_bitmap.Data(), m_bitmap.Data() + PidBitmap::kBytes);
            m_stage = kWriteTs;
            return PageStep::Request(kCmdScrambleWriteTs, std::move(payload), PageStep::Wait::kNone);
        }
        case kWriteTs:
            // A table never read would write zero control words over the device's: it is left out.
            if (!m_cwRead) {
                m_stage = kWritePrograms;
                m_next = 1;
                return SendProgram();
            }
            for (int p = 1; p <= m_count; ++p)
                m_cw[size_t(p - 1)] = m_pendingForm.fixCw ? 1 : 0;
            m_stage = kWriteCw;
            return PageStep::Request(kCmdScrambleWriteCw, m_cw, PageStep::Wait::kNone);
        case kWriteCw:
            m_stage = kWritePrograms;
            m_next = 1;
            return SendProgram();
        case kWritePrograms:
            if (m_next < m_count) {
                ++m_next;
                return SendProgram();
            }
            m_stage = kAcWriting;
            m_next = 0;
            return SendAcPage();
        case kAcWriting:
            if (++m_next < 8)
                return SendAcPage();
            m_events.push_back("Commit CA info succeed");
            m_events.push_back("Commit AC info succeed");
            return EndChain();
        case kSectionRead: {
            const int n = std::min(reply.PayloadLength(), kCaSectionBufferSize);
            reply.Bytes(0, n, &m_section);
            m_stage = kIdle;
            PageStep step = PageStep::End();
            step.refresh = kRefreshSection;
            return step;
        }
        case kSectionWrite:
            return EndChain();
        default:
            return {};
    }
}

}  // namespace nms
