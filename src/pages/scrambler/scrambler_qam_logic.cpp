#include <algorithm>

#include "pages/scrambler/scrambler_logic.h"

namespace nms {
namespace {

constexpr int kProgramReplyHeader = 6;  // number, count, u32 element mask

// Write order of the AC pages (both pages).
const std::array<AcPage, 8> kWriteOrder = {{{1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {4, 1}, {4, 2}}};

}  // namespace

const std::array<AcPage, 8>& ScramblerQamLogic::ReadOrder() {
    static const std::array<AcPage, 8> kOrder = {
        {{1, 1}, {2, 2}, {2, 1}, {3, 2}, {3, 1}, {4, 2}, {4, 1}, {1, 2}}};
    return kOrder;
}

ScramblerQamLogic::ScramblerQamLogic()
    : ScramblerLogic(ScramblerSettings::Kind::kQam, StreamLabelSet::kQamScrambler) {
    for (auto& record : m_programs)
        record.assign(kRecordSize, 0);
}

ScramblerProgramInfo ScramblerQamLogic::Describe(int program) const {
    return DescribeScramblerProgram(m_programs[Index(program)]);
}

PageStep ScramblerQamLogic::Parse() {
    if (m_stage != kIdle)
        return {};
    m_selected = 1;
    m_stage = kParse;
    return Begin(PageStep::Request(kCmdScrParse, {1}, PageStep::Wait::kBeginLong));
}

PageStep ScramblerQamLogic::Refresh() {
    if (m_stage != kIdle)
        return {};
    m_selected = 1;
    m_stage = kPrograms;
    return Begin(PageStep::Request(kCmdScrProgram, {1, 1}));
}

PageStep ScramblerQamLogic::Set(const ScramblerSlotForm& form, int selectedProgram) {
    if (m_stage != kIdle)
        return {};
    // Without a whole read the block is what binding left (all zero): sending it would wipe the device.
    if (!(m_progress & kAcRead))
        return PageStep::Message("Please press 'Refresh' to read the device's settings before Set.");
    if (std::string error = StoreSlotForm(form, selectedProgram); !error.empty())
        return PageStep::Message(error);
    CollectMarks();
    m_stage = kWriteCas;
    return Begin(PageStep::Request(kCmdScrWriteCas, m_block.Bytes()));
}

PageStep ScramblerQamLogic::SendProgram() {
    std::vector<uint8_t> payload;
    PageStep step;
    if (m_count == 0) {
        step = PageStep::Request(kCmdScrWriteProgram, {0}, PageStep::Wait::kNone);
        step.b = 1;
        step.c = 0;
        return step;
    }
    payload.push_back(uint8_t(m_next));
    const auto& record = m_programs[Index(m_next)];
    payload.insert(payload.end(), record.begin(), record.end());
    step = PageStep::Request(kCmdScrWriteProgram, std::move(payload), PageStep::Wait::kNone);
    step.b = uint8_t(m_next);
    step.c = uint8_t(m_count);
    return step;
}

PageStep ScramblerQamLogic::SendAcPage() {
    const AcPage& page = kWriteOrder[size_t(m_next)];
    PageStep step = PageStep::Request(kCmdScrAcWrite, AcPagePayload(m_acImages[size_t(page.first - 1)], page),
                                      PageStep::Wait::kNone);
    step.b = uint8_t(m_next + 1);
    step.c = 8;
    return step;
}

PageStep ScramblerQamLogic::StatusReply(const ReplyView& reply) {
    if (!ReadStatus(reply, true))
        return {};
    PageStep step;
    step.refresh = kRefreshStatus;
    return step;
}

PageStep ScramblerQamLogic::Step(const ReplyView& reply) {
    switch (m_stage) {
        case kParse:
            m_stage = kPrograms;
            return PageStep::Request(kCmdScrProgram, {1, 1}, PageStep::Wait::kNone);
        case kPrograms: {
            // The read goes on from the program the reply carries, whichever was asked for.
            uint8_t number = 0, count = 0;
            if (!reply.U8(0, &number) || !reply.U8(1, &count))
                return {};
            if (number >= 1 && number <= count) {
                // The page holds programs 1..64; one above is read past, not stored.
                if (number <= kScramblerPrograms) {
                    if (!reply.Has(0, kProgramReplyHeader + kRecordSize))
                        return {};
                    uint32_t mask = 0;
                    reply.U32LE(2, &mask);
                    m_block.SetMask(number, mask);
                    std::vector<uint8_t>& record = m_programs[size_t(number)];
                    reply.Bytes(kProgramReplyHeader, kRecordSize, &record);
                    record[32] = 0;
                }
                m_count = std::min<int>(count, kScramblerPrograms);
            } else {
                m_count = 0;
            }
            m_progress |= kProgramsRead;
            if (number < std::min<int>(count, kScramblerPrograms))
                return PageStep::Request(kCmdScrProgram, {uint8_t(number + 1)}, PageStep::Wait::kNone);
            m_stage = kCas;
            return PageStep::Request(kCmdScrCas, {1}, PageStep::Wait::kNone);
        }
        case kCas:
            if (!reply.Has(0, ScramblerSettings::kQamSize))
                return {};
            reply.Bytes(0, ScramblerSettings::kQamSize, &m_block.Bytes());
            m_stage = kPidMarks;
            return PageStep::Request(kCmdScrMarks, {}, PageStep::Wait::kNone);
        case kPidMarks:
            if (!reply.Has(0, PidBitmap::kBytes))
                return {};
            m_bitmap.Load(reply.Payload(), PidBitmap::kBytes);
            LoadMarks();
            m_progress |= kCasRead;
            m_stage = kAcReading;
            return StartAcRead(kCmdScrAcRead);
        case kAcReading: {
            if (std::optional<PageStep> going = TakeAcPage(reply, true))
                return *going;
            m_progress |= kAcRead;
            m_selected = 1;
            PageStep step = EndChain(PageStep::kRefreshAll | kRefreshTree | kRefreshAcList);
            step.sendVersion = true;
            return step;
        }
        case kWriteCas:
            m_stage = kWritePrograms;
            m_next = 1;
            return SendProgram();
        case kWritePrograms:
            if (m_next < m_count) {
                ++m_next;
                return SendProgram();
            }
            m_stage = kWriteMarks;
            return PageStep::Request(
                kCmdScrWriteMarks, std::vector<uint8_t>(m_bitmap.Data(), m_bitmap.Data() + PidBitmap::kBytes),
                PageStep::Wait::kNone);
        case kWriteMarks:
            m_stage = kAcWriting;
            m_next = 0;
            return SendAcPage();
        case kAcWriting:
            if (++m_next < 8)
                return SendAcPage();
            m_events.push_back("Commit AC info succeed");
            return EndChain();
        default:
            return {};
    }
}

}  // namespace nms
