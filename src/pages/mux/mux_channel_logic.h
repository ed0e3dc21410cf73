// The logic of the input channel page (CMuxChannelView) without any window: the program tables, the two
// program trees, the read cursor and every request chain. An operator action or a decoded reply goes in; the
// request to send, what to do with the page's wait and the message to show come out, and the trees change
// (the page mirrors them through the tree observer).
//
// A chain continues only while its wait runs: each request records what it asked for (command, channel,
// index, pass) and only a reply that matches it is used. Short, duplicated and out-of-range replies change
// nothing and let the wait end as a time-out. The reply to a request that timed out may still arrive: what
// it reports is applied once (the device did route, remove or modify the program), but it starts and
// continues no chain and leaves any running wait alone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/mux/edit_program_fields.h"
#include "pages/mux/program_record.h"
#include "pages/mux/program_tree.h"

namespace nms {

// The commands of the page.
enum : uint8_t {
    kCmdVersion = 0x02,
    kCmdAnalyseInput = 0x20,
    kCmdReadInputProgram = 0x21,
    kCmdReadOutputProgram = 0x22,
    kCmdModifyOutputProgram = 0x23,
    kCmdChannelCaInfo = 0x24,
    kCmdSelectIntoOutput = 0x25,
    kCmdRemoveFromOutput = 0x26,
};

constexpr int kMaxInputChannels = 16;
constexpr int kTranscodeChannels = 8;

class MuxChannelLogic : public IOutputProgramSource {
public:
    enum TreeId { kInputTree = 0, kOutputTree = 1 };

    explicit MuxChannelLogic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool IsTranscoder() const { return m_pageParam == 86; }
    bool IsTwoOutput() const { return m_pageParam == 1; }
    int ChannelCount() const { return m_channelCount; }
    bool IpOutputFlag() const { return m_ipOutputFlag; }
    uint8_t IpOutputMode() const { return m_ipOutputMode; }
    bool InputsFollow() const { return m_inputsFollow; }
    bool Waiting() const { return m_expect.active; }

    ProgramTree& InputTree() { return m_inputTree; }
    ProgramTree& OutputTree() { return m_outputTree; }
    const ProgramTree& InputTree() const { return m_inputTree; }

    // IOutputProgramSource
    const ProgramTree& OutputProgramTree() const override { return m_outputTree; }
    const ProgramRecord* ProgramAt(int channel, int index) const override;

    ChannelProgramTable* Channel(int channel);
    TranscodeChannelTable* TranscodeChannel(int channel);

    // The layout of the page variant; initial: set when the page is initialised (channel count back to 8).
    void BuildLayout(bool initial);

    // Operator actions. Each returns what to send; an empty step means nothing happens.
    PageStep InputAnalyze(const TreePath& inputSelection, bool pidRemapChecked);
    PageStep Select(const TreePath& inputSelection, int pass);  // pass 2: "Out B"
    PageStep RefreshOut();
    PageStep Remove(const TreePath& outputSelection);
    // The page was shown while a device is bound.
    PageStep Shown();
    // "PID Remap" is checked again on an input selection change, except on the two-output variant.
    bool RecheckPidRemapOnSelection() const { return !IsTwoOutput(); }

    // Edit: BeginEdit fills the dialog's fields from the selected program (false: nothing to edit);
    // CommitEdit takes them back after OK.
    bool BeginEdit(const TreePath& outputSelection, EditProgramFields* fields);
    PageStep CommitEdit(const EditProgramFields& fields);
    // Transcode edit (PageParam 86): the record goes to the transcode dialog and comes back on OK.
    bool BeginTranscodeEdit(const TreePath& outputSelection, TranscodeProgramRecord* record);
    PageStep CommitTranscodeEdit(const TranscodeProgramRecord& record);
    const ProgramRecord& EditBuffer() const { return m_editBuffer; }

    // The request could not be queued: the chain stops; the cursor stays where it stood.
    void WaitEnded();
    // The wait ended without its reply (time-out, restart): the chain stops as above, and the reply to
    // the request, should it still come, is applied without continuing anything.
    void TimedOut();

    PageStep HandleReply(const ReplyView& reply);

    // The first program (channel by channel, in program order) other than (channel, index) whose IP output
    // index is index; false when none or index is 0.
    bool FindIpIndexConflict(uint8_t index, int channel, int program, int* conflictChannel,
                             int* conflictProgram) const;

private:
    struct Expect {
        bool active = false;
        uint8_t command = 0;
        int channel = 0;
        int index = 0;
        int pass = 0;  // 0: not checked
    };

    // The request that timed out, with the edit it carried (a modify's reply applies that edit).
    struct Late {
        Expect expect;
        ProgramRecord editBuffer;
        TranscodeProgramRecord transcodeBuffer;
        int editChannel = 0, editIndex = 0, editRoot = 0;
    };

    int TableChannels() const { return IsTranscoder() ? kTranscodeChannels : kMaxInputChannels; }
    bool ChannelInRange(int channel) const;
    int LayoutChannels() const;
    std::vector<ProgramTreeNode> ChannelNodes(int count) const;
    void BuildInputTree(int channels);
    bool SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel, int* index) const;

    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index, int pass,
                 PageStep::Wait wait);
    PageStep Finish(PageStep step = {});
    void ResetCursor();
    void AddOutputNode(int root, int channel, int index);

    PageStep Dispatch(const ReplyView& r);
    PageStep HandleLateReply(const ReplyView& r);
    PageStep OnAnalyse(const ReplyView& r);
    PageStep OnCaInfo(const ReplyView& r);
    // A channel or program number a reply may not name.
    bool OutOfRange(int channel, int index) const;
    PageStep OnInputProgram(const ReplyView& r);
    PageStep OnOutputProgram(const ReplyView& r);
    // The channel, index and (two-output) pass of a select or remove reply that answers the request.
    bool RouteAnswered(const ByteReader& payload, int* channel, int* index, int* pass) const;
    PageStep OnSelect(const ReplyView& r);
    PageStep OnRemove(const ReplyView& r);
    PageStep OnModify(const ReplyView& r);

    int m_pageParam;
    int m_channelCount = 8;
    bool m_ipOutputFlag = false;
    uint8_t m_ipOutputMode = 0;
    bool m_inputsFollow = false;

    // Read cursor.
    int m_channel = 1;
    int m_index = 1;
    int m_count = 1;
    int m_pass = 1;

    Expect m_expect;
    Late m_late;
    std::vector<ChannelProgramTable> m_tables;             // 16, all but PageParam 86
    std::vector<TranscodeChannelTable> m_transcodeTables;  // 8, PageParam 86

    ProgramRecord m_editBuffer;
    TranscodeProgramRecord m_transcodeBuffer;
    int m_editChannel = 0;
    int m_editIndex = 0;
    int m_editRoot = 0;

    ProgramTree m_inputTree{kInputTree};
    ProgramTree m_outputTree{kOutputTree};
};

}  // namespace nms
