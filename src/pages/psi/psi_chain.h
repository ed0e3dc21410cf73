// The read and write chains of the PSI/SI editor page as plain logic: each decoded reply yields the
// next request (or the end of the wait), the tables are parsed into the model as they arrive, and before
// writing every section is packed from the tree and checked.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/psi/psi_model.h"

namespace nms {

constexpr int kPsiTableBuffer = 2048;
constexpr int kPsiSegmentSize = 1024;
constexpr int kPsiChannels = 8;
constexpr int kPsiPrograms = 128;

class CMuxPsiChain {
public:
    // What a step asks the page to refresh besides its members.
    enum : unsigned {
        kRefreshTree = PageStep::kRefreshPageBits,           // the chain is done: mirror the tree
        kRefreshChannels = PageStep::kRefreshPageBits << 1,  // the module count changed: refill the channels
    };

    explicit CMuxPsiChain(CMuxPsiModel& model);

    void SetPageParam(int pageParam) { m_pageParam = pageParam; }
    int PageParam() const { return m_pageParam; }
    static bool IsMultiChannel(int pageParam);
    // Variants whose writes carry a channel byte before the section.
    static bool WritesChannelByte(int pageParam);
    // Variants whose table replies carry a channel (or source) byte before the section.
    static bool ReadsChannelByte(int pageParam);

    // Entries of the channel list: 4, 3 or 2 on the multi-channel variants, 4 per module on 102.
    int ChannelCount() const;
    int ModuleCount() const { return m_moduleCount; }
    void SetModuleCount(int count) { m_moduleCount = count; }

    // Buffers zeroed, PMT slots freed, lengths 0; the chain stops.
    void ClearTables();

    // Starts a read with the given channel (or source) byte; the source flag is 1 after "Get From Input"
    // or "Parse". Empties the subtrees the variant re-reads.
    PageStep BeginRead(uint8_t channel, int sourceFlag);
    PageStep BeginParse();
    // Packs every table from the tree and checks each section; a section that fails is dropped with a
    // message naming its table. True when there is a PAT to write.
    bool PackForWrite(std::vector<std::string>* messages);
    PageStep BeginWrite(uint8_t channel);

    PageStep OnReply(const ReplyView& reply);
    // The chain stops; nothing is awaited and nothing is late.
    void Abort();
    bool IsRunning() const { return m_expect != 0; }
    // The wait ran out: the chain stops, and the reply it waited for, should it still come, is late: taken
    // once (TakeLate), read into the tables like one in time, and the chain goes no further
    // (late_reply.h).
    void WaitEnded() {
        if (m_expect != 0)
            m_late = m_expect;
        m_expect = 0;
    }
    bool IsLate(const ReplyView& reply) const {
        return m_expect == 0 && m_late != 0 && reply.Command() == m_late;
    }
    bool TakeLate(const ReplyView& reply);
    void LateHandled() { Abort(); }
    int SourceFlag() const { return m_sourceFlag; }

    // Buffers, for the page and the tests.
    const std::vector<uint8_t>& PmtSlot(int channel, int program) const;  // channel 1..8, program 1..128
    int PatLength() const { return m_patLength; }
    const uint8_t* Pat() const { return m_pat.data(); }
    int CatLength() const { return m_catLength; }
    int NitLength() const { return m_nitLength[0]; }
    int SdtLength() const { return m_sdtLength; }

private:
    PageStep ReplyMulti(const ReplyView& reply);
    PageStep ReplySingle(const ReplyView& reply);
    PageStep ReplyWrite(const ReplyView& reply);
    PageStep Finish(PageStep step);
    PageStep Request(PageStep step, uint8_t command, std::vector<uint8_t> payload, uint8_t b = 1,
                     uint8_t c = 1);
    std::vector<uint8_t> TablePayload() const;  // 45/47/43 payload of the single-channel variants
    int SectionOffset() const;                  // where a single-channel variant's table reply begins
    std::optional<PageStep> PmtRequestSingle(PageStep step);
    std::optional<PageStep> NextTableWrite(PageStep step, uint8_t after);
    void ClearPmtSlots();
    std::vector<uint8_t>& Slot(int channel, int program) { return m_pmt[channel - 1][program - 1]; }

    CMuxPsiModel& m_model;
    int m_pageParam = 0;
    int m_moduleCount = 1;
    int m_sourceFlag = 0;
    uint8_t m_channel = 0;       // channel or source byte of the running read / write
    uint8_t m_replyChannel = 0;  // variant 19: the channel the PAT reply named
    uint8_t m_expect = 0;        // the command whose reply continues the chain; 0: none
    uint8_t m_late = 0;          // the command whose wait ran out; 0: none
    int m_pmtIndex = 0;
    int m_pmtCount = 0;
    int m_segment = 0;

    std::array<uint8_t, kPsiTableBuffer> m_pat{};
    std::array<uint8_t, kPsiTableBuffer> m_cat{};
    std::array<uint8_t, kPsiTableBuffer> m_nit{};
    std::array<uint8_t, kPsiTableBuffer> m_sdt{};
    int m_patLength = 0;
    int m_catLength = 0;
    int m_nitLength[2] = {0, 0};
    int m_sdtLength = 0;
    int m_sdtSegment[2] = {0, 0};
    std::array<std::array<std::vector<uint8_t>, kPsiPrograms>, kPsiChannels> m_pmt;

    struct PmtSend {
        int channel;
        int program;
    };
    std::vector<PmtSend> m_sendList;
    size_t m_sendPos = 0;
};

}  // namespace nms
