// The "ASI" page of encoders with an ASI input, without windows: the analysis of the input (CA list and
// programs, read one by one), the output list, and selecting, removing and editing output programs. The
// trees are kept as data; the page shows them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"
#include "pages/mux/edit_program_fields.h"
#include "pages/mux/program_record.h"
#include "pages/mux/program_tree.h"

namespace nms {

enum : uint8_t {
    kCmdAsiAnalyze = 0x20,
    kCmdAsiInputProgram = 0x21,
    kCmdAsiOutputProgram = 0x22,
    kCmdAsiEdit = 0x23,
    kCmdAsiCaList = 0x24,
    kCmdAsiSelect = 0x25,
    kCmdAsiRemove = 0x26,
};

constexpr int kAsiPrograms = 128;

// The texts of a stream type: in the input tree, the output tree and the edit dialog's rows ("%02d %s").
std::string AsiTreeLabel(uint8_t streamType, bool inputTree);
std::string AsiDialogEntry(uint8_t streamType);

// Program nodes of the two trees, and an output node rebuilt after an edit.
ProgramTreeNode AsiProgramNode(const ProgramRecord& record, int index, bool inputTree);
ProgramTreeNode AsiEditedProgramNode(const ProgramRecord& record, int index);

class EncoderAsiLogic {
public:
    enum : unsigned {
        kRefreshInput = PageStep::kRefreshPageBits,
        kRefreshOutput = PageStep::kRefreshPageBits << 1,
    };

    // The programs (and "CA Info") under the roots "ASI IN" and "ASI OUT".
    const std::vector<ProgramTreeNode>& InputNodes() const { return m_input; }
    const std::vector<ProgramTreeNode>& OutputNodes() const { return m_output; }
    // The record last received for program index 1..128 (index 0 and others: an empty record).
    const ProgramRecord& Slot(int index) const;
    int Counter() const { return m_counter; }

    PageStep InputAnalyze();
    PageStep RefreshOut();
    // index: the item data of the selected direct child of the input root (0 when none is selected).
    PageStep Select(int index);
    PageStep Remove(int index);
    // Fills the edit dialog's fields for the selected output program; false when there is none.
    bool BeginEdit(int index, EditProgramFields* fields);
    PageStep CommitEdit(const EditProgramFields& fields);
    PageStep HandleReply(const ReplyView& reply);
    // The wait ran out: the reply it waited for, should it still come, is late. The sequence keeps its
    // state. A late reply (TakeLate, then HandleReply) goes into the slots and trees as it would have in
    // time, but the sequence asks for nothing more and no wait begins (the page carries ReplyStep).
    void WaitEnded() { m_await.Ended(); }
    bool TakeLate(const ReplyView& reply) { return m_await.TakeLate(reply); }
    void LateHandled() { m_await.Clear(); }
    bool Waiting() const { return m_await.Waiting(); }

private:
    PageStep Start(uint8_t command, std::vector<uint8_t> payload);
    PageStep EndSequence(unsigned refresh);
    PageStep Next(uint8_t command);
    void PutNode(std::vector<ProgramTreeNode>& nodes, ProgramTreeNode node);
    int FindNode(const std::vector<ProgramTreeNode>& nodes, int index) const;
    PageStep OnAnalyze(const ReplyView& reply);
    PageStep OnCaList(const ReplyView& reply);
    PageStep OnProgram(const ReplyView& reply, bool input);

    std::array<ProgramRecord, kAsiPrograms + 1> m_slots{};
    ProgramRecord m_working;
    std::vector<ProgramTreeNode> m_input, m_output;
    // The running sequence: the next program index to ask for, the total the device reports, the input.
    int m_counter = 1;
    int m_total = 1;
    uint8_t m_inputId = 1;
    AwaitedCommand m_await;
    int m_pending = 0;  // the program index a select, remove or edit waits for
    // The record and program index the edit dialog shows; they become the working copy when it is sent.
    ProgramRecord m_editing;
    int m_editIndex = 0;
};

}  // namespace nms
