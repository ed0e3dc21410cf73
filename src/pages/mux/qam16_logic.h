// The 16-QAM routing page of the modular IP QAM modulator without its windows: the programs of one input
// group (8 channels x 32 QAM-output program records) read in one chain, the input and output trees, the
// combos' entries, routing a program to one QAM output or taking it off all of them, and the program edit.
// Every request begins with 8 zero bytes; channel numbers travel big-endian.
//
// Each request records what it expects: a reply for another command, a short one or one that arrives
// after its wait ended changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"
#include "pages/mux/mux_channel_logic.h"
#include "pages/mux/output_program_record.h"
#include "pages/mux/program_info_fields.h"
#include "pages/mux/program_tree.h"

namespace nms {

enum : uint8_t {
    kCmdQam16Analyse = 0x20,
    kCmdQam16ReadProgram = 0x21,
    kCmdQam16Route = 0x22,
    kCmdQam16Modify = 0x23,
    kCmdQam16Config = 0x24,
};

constexpr int kQam16Rows = 8;
constexpr int kQam16Programs = 32;
constexpr int kQam16Channels = 64;

// 1 + the lowest output n below 4 x moduleCount whose bit is set in mask, or 0.
int FirstQamOutput(uint32_t mask, int moduleCount);

class Qam16Logic {
public:
    Qam16Logic();

    int ModuleCount() const { return m_moduleCount; }
    int InputGroup() const { return m_group; }
    int QamGroup() const { return m_qamGroup; }
    void SetGroups(int inputGroup, int qamGroup);
    bool Waiting() const { return m_awaited.Waiting(); }
    int ProgramCount(int row) const { return row >= 0 && row < kQam16Rows ? m_counts[size_t(row)] : 0; }
    const QamOutputProgramRecord* Program(int row, int index) const;
    const MuxOutputSettings& Settings() const { return m_settings; }

    // Combo entries, refilled after each read and at the initial update.
    std::vector<std::string> MultiplexToItems() const;
    std::vector<std::string> QamGroupItems() const;
    std::vector<std::string> InputGroupItems() const;

    // The trees as the page shows them.
    std::vector<ProgramTreeNode> InputTree() const;
    std::vector<ProgramTreeNode> OutputTree() const;
    // Set when a tree must be shown anew; the page clears them.
    bool inputChanged = true, outputChanged = true, combosChanged = true;

    // Operator actions (the device is online). An empty step: nothing happens.
    PageStep Refresh();
    PageStep InputAnalyze(const TreePath& inputSelection, bool pidRemap);
    PageStep Remove(const TreePath& outputSelection);
    PageStep MultiplexTo(const TreePath& inputSelection, int output);
    // The output the program selected in the input tree is routed to (a combo index), or -1.
    int RoutedOutput(const TreePath& inputSelection) const;
    // Edit: BeginEdit fills the dialog's fields (false: no program selected); CommitEdit takes them back.
    bool BeginEdit(const TreePath& outputSelection, ProgramInfoFields* fields, int* languageFlag);
    PageStep CommitEdit(const ProgramInfoFields& fields, int languageFlag);

    PageStep HandleReply(const ReplyView& reply);
    // The wait ended without its reply: the chain stops, and its reply, should it still come, is late
    // (late_reply.h).
    void WaitEnded() { m_awaited.Ended(); }
    // A late reply is shown with the trees and combos redrawn; a read it answers stops with the programs
    // that came.
    bool TakeLate(const ReplyView& reply);
    void LateHandled() {
        m_awaited.Clear();
        m_lateReply = false;
    }

private:
    PageStep Ask(uint8_t command, std::vector<uint8_t> tail, PageStep::Wait wait, bool inChain = false);
    PageStep ReadProgram(bool inChain);
    PageStep Finish(PageStep step);
    bool OutputProgram(const TreePath& path, int* row, int* index) const;
    bool InputProgram(const TreePath& path, int* row, int* index) const;

    PageStep OnConfig(const ReplyView& r);
    PageStep OnAnalyse(const ReplyView& r);
    PageStep OnProgram(const ReplyView& r);
    PageStep OnRoute(const ReplyView& r);

    int m_moduleCount = 1;
    int m_inputChannels = kQam16Channels;
    int m_group = 0;
    int m_qamGroup = 0;
    MuxOutputSettings m_settings;
    uint16_t m_configWord = 0;
    std::vector<QamOutputProgramRecord> m_programs =
        std::vector<QamOutputProgramRecord>(kQam16Rows * kQam16Programs);
    std::array<int, kQam16Rows> m_counts{};
    int m_channel = 0;
    int m_program = 0;
    bool m_readAll = false;
    AwaitedCommand m_awaited;
    bool m_lateReply = false;  // the reply being handled came after its wait ran out
    QamOutputProgramRecord m_edit;
    int m_editRow = -1, m_editIndex = -1;
};

}  // namespace nms
