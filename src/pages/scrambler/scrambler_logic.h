// What the QAM scrambler page and the stand-alone scrambler page share, without windows: the program
// table, the settings block with its four CAS slots, the four AC tables, the PID marks and the tree marks,
// the form of the selected slot and its checks, and the status reply. Each page's chains live in its own
// class below this one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/scrambler/ac_table.h"
#include "pages/scrambler/chain_replies.h"
#include "pages/scrambler/scrambler_records.h"

namespace nms {

// The slot form as typed: numbers in decimal, identifiers in hexadecimal.
struct ScramblerSlotForm {
    bool enabled = false;
    std::array<uint8_t, 4> ecmgAddress{};
    std::string ecmChannelId, ecmgPort, emmgTcpPort, emmgUdpPort;
    std::string superCasId, emmPid, ecmPid;
    int emmgMode = 0;
    int acIndex = -1;  // the AC index list's selection, -1 none
    std::string encryptPeriod;
    std::string tsId, ipInsertPort;  // the QAM scrambler
    // The stand-alone scrambler.
    std::string outputBitrate;  // Mbps "a.bcd"
    bool tsIdEnabled = true;    // false when the device sent no TS block
    bool sdtOn = true;
    bool fixCwShown = false;
    bool fixCw = false;
};

// The connection lamps and bitrate of a status reply.
struct ScramblerStatus {
    uint8_t links = 0;  // bits 0..3 ECMG 1..4, 4..7 EMMG 1..4
    bool hasRate = false;
    uint32_t kbps = 0;
    bool hasAsi = false;
    uint32_t asiFlags = 0;  // bit 0 ASI-1 fault, bit 1 ASI-2 fault
};

class ScramblerLogic {
public:
    enum : unsigned {
        kProgramsRead = 1u << 0,
        kCasRead = 1u << 1,  // settings and PID marks
        kAcRead = 1u << 2,
    };
    enum : unsigned {
        kRefreshTree = PageStep::kRefreshPageBits,  // rebuild the tree and show the slot
        kRefreshAcList = PageStep::kRefreshPageBits << 1,
        kRefreshStatus = PageStep::kRefreshPageBits << 2,
        kRefreshTs = PageStep::kRefreshPageBits << 3,  // the stand-alone TS ID and SDT box
    };

    ScramblerLogic(ScramblerSettings::Kind kind, StreamLabelSet labels);
    virtual ~ScramblerLogic() = default;

    // Forgets everything read (a new device is bound).
    virtual void Reset();

    const ScramblerSettings& Settings() const { return m_block; }
    ScramblerSettings& Settings() { return m_block; }
    unsigned Progress() const { return m_progress; }
    bool Running() const { return m_stage != 0; }
    int Slot() const { return m_slot; }
    int SelectedProgram() const { return m_selected; }
    // Programs the tree shows: 1..TreeCount().
    virtual int TreeCount() const;
    virtual ScramblerProgramInfo Describe(int program) const = 0;
    const std::vector<uint8_t>& ProgramRecord(int program) const { return m_programs[Index(program)]; }
    std::vector<uint8_t>& ProgramRecord(int program) { return m_programs[Index(program)]; }
    int ProgramsRead() const { return m_count; }
    std::string StreamLabel(uint8_t type) const { return ScramblerStreamLabel(type, m_labels); }

    const AcTableImage& AcImage(int slot) const { return m_acImages[size_t(slot & 3)]; }
    const AcEcmBlock& AcEcm(int slot) const { return m_acEcm[size_t(slot & 3)]; }
    void SetAcTable(int slot, const AcTableImage& image, const AcEcmBlock& ecm);
    std::vector<std::string> AcNames() const { return AcIndexNames(AcImage(m_slot)); }
    const PidMarkBitmap& Marks() const { return m_bitmap; }

    // Tree marks of the shown programs (0: no check image).
    int ElementMark(int program, int element) const;
    int ProgramMarkOf(int program) const;
    void ClickProgram(int program);
    void ClickElement(int program, int element);

    // The selected slot's values for the form.
    ScramblerSlotForm SlotForm() const;
    // Stores the form into the selected slot; the message of the first field that fails, or empty.
    // selectedProgram: the program node selected in the tree (0: none).
    std::string StoreSlotForm(const ScramblerSlotForm& form, int selectedProgram);
    // A tab change: the form goes into the old slot (its refusal is returned, the tab changes anyway).
    std::string ChangeSlot(int slot, const ScramblerSlotForm& form, int selectedProgram);
    // A click on a program's label: the ECM PID and AC index shown go into the previous program first; a
    // message refuses the selection.
    std::string SelectProgram(int program, const std::string& ecmText, int acIndex);
    // Every change of the ECM PID field while a program is selected.
    void EcmPidEdited(const std::string& text);
    // A rebuilt tree selects program 1.
    void ResetSelection() { m_selected = 1; }

    const ScramblerStatus& Status() const { return m_status; }
    // Events for the alarm list, taken once.
    std::vector<std::string> TakeEvents() { return std::move(m_events); }

    // A reply of the bound device: the status, or the next step of the running chain. Only the reply the
    // chain's request waits for moves it, and a second copy of the reply taken last does not.
    PageStep HandleReply(const ReplyView& reply);

    // The reply wait ended by its time-out: the chain is over. A reply that still comes for its request is
    // taken once (TakeLate, then HandleReply in the stage the chain was in); the page carries only
    // LateStep of the result and calls LateHandled.
    void WaitEnded() { m_replies.WaitEnded(&m_stage); }
    bool TakeLate(const ReplyView& reply) { return m_replies.TakeLate(reply, &m_stage); }
    void LateHandled() { m_replies.LateHandled(&m_stage); }

protected:
    // The status poll's reply.
    virtual PageStep StatusReply(const ReplyView& reply) = 0;
    // The running chain's step for the reply its request waits for.
    virtual PageStep Step(const ReplyView& reply) = 0;
    // The replies of the running stage say which step they answer (a program number, an AC page, a step
    // count), so a second copy of one is known and ignored. Write replies carry nothing of the kind: two of
    // them may be alike and both count.
    virtual bool RepliesNamed() const = 0;
    // A chain begins with this step / the chain made this step.
    PageStep Begin(PageStep step) {
        m_replies.Start();
        return Made(std::move(step));
    }
    PageStep Made(PageStep step) {
        m_replies.Made(step, m_stage != 0);
        return step;
    }

    // The AC table read: step counter from 1, 8 steps until a reply's header says otherwise, table 1.
    PageStep StartAcRead(uint8_t command);
    // A reply of the AC read: its page goes into its table (half from the reply; a half above 2 is told
    // by the header's b), the number of steps becomes the header's c. The next page asked for follows the
    // step counter; the table advances after a first half (halfOrder) or on an odd step counter. Returns
    // the step while the read goes on (empty for a reply too short to take), none once it is complete.
    std::optional<PageStep> TakeAcPage(const ReplyView& reply, bool halfOrder);

    static size_t Index(int program) {
        return program >= 1 && program <= kScramblerPrograms ? size_t(program) : 0;
    }
    void LoadMarks();
    void CollectMarks();
    bool ReadStatus(const ReplyView& reply, bool asiFlags);
    PageStep EndChain(unsigned refresh = PageStep::kRefreshAll);

    ScramblerSettings m_block;
    StreamLabelSet m_labels;
    std::array<std::vector<uint8_t>, kScramblerPrograms + 1> m_programs;  // [0] unused
    std::array<std::array<uint8_t, 32>, kScramblerPrograms + 1> m_marks{};
    std::array<AcTableImage, kCasSlots> m_acImages{};
    std::array<AcEcmBlock, kCasSlots> m_acEcm{};
    PidMarkBitmap m_bitmap;
    int m_count = 0;
    int m_slot = 0;
    int m_selected = 1;
    unsigned m_progress = 0;
    int m_stage = 0;  // 0 idle; pages number their chain steps from 1
    int m_next = 0;   // the program or AC page the chain waits for
    ChainReplies m_replies;
    uint8_t m_acCommand = 0;
    int m_acStep = 0, m_acSteps = 0, m_acTable = 1;
    bool m_twoValueElements = false;
    bool m_shortEcmMessage = false;  // "ECM %s" for a non-hexadecimal ECM PID
    ScramblerStatus m_status;
    std::vector<std::string> m_events;
};

enum : uint8_t {
    kCmdScrParse = 0x20,
    kCmdScrProgram = 0x21,
    kCmdScrWriteProgram = 0x23,
    kCmdScrCas = 0x24,
    kCmdScrWriteCas = 0x25,
    kCmdScrStatus = 0x26,
    kCmdScrMarks = 0x37,
    kCmdScrWriteMarks = 0x38,
    kCmdScrAcRead = 0x50,
    kCmdScrAcWrite = 0x51,
};

// The AC table pages: (table 1..4, half 1..2).
using AcPage = std::pair<uint8_t, uint8_t>;
// The AC image half of a page, for requests and replies.
std::vector<uint8_t> AcPagePayload(const AcTableImage& image, const AcPage& page);

// The "Scrambler" page of the QAM modulator with built-in scrambler.
class ScramblerQamLogic : public ScramblerLogic {
public:
    static constexpr int kRecordSize = kScramblerProgramSize;

    ScramblerQamLogic();
    ScramblerProgramInfo Describe(int program) const override;

    PageStep Parse();
    PageStep Refresh();
    PageStep Set(const ScramblerSlotForm& form, int selectedProgram);
    // The order in which a read asks for the AC pages when every reply answers the page asked for.
    static const std::array<AcPage, 8>& ReadOrder();

protected:
    PageStep StatusReply(const ReplyView& reply) override;
    PageStep Step(const ReplyView& reply) override;
    bool RepliesNamed() const override { return m_stage == kPrograms || m_stage == kAcReading; }

private:
    enum Stage {
        kIdle,
        kParse,
        kPrograms,
        kCas,
        kPidMarks,
        kAcReading,
        kWriteCas,
        kWritePrograms,
        kWriteMarks,
        kAcWriting
    };
    PageStep SendProgram();
    PageStep SendAcPage();
};

}  // namespace nms
