// What the multi-output channel page (Cmuxchannel2) and the IP multiplexer page (Cmuxip) share, without
// any window: channel tables of multi-output program records, the output settings, the two trees, the
// request in flight, the program read chain and the program edit. A page adds its layout, its own requests
// and its own reply rules.
//
// Every request records what it expects; a reply for another command, channel or program, a short one or
// one that arrives after its wait ended changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/mux/mux_channel_logic.h"
#include "pages/mux/output_program_record.h"
#include "pages/mux/program_info_fields.h"
#include "pages/mux/program_tree.h"

namespace nms {

enum : uint8_t {
    kCmdIpAnalyse = 0x20,
    kCmdIpReadProgram = 0x21,
    kCmdIpRoute = 0x22,
    kCmdIpModify = 0x23,
    kCmdIpOutputSettings = 0x24,
    kCmdIpStatus = 0x40,
};

// The edit dialog's values besides ProgramInfoFields.
struct ProgramInfoEdit {
    ProgramInfoFields info;
    int languageFlag = 0;
};

class MultiOutputLogic {
public:
    enum TreeId { kInputTree = 0, kOutputTree = 1 };

    virtual ~MultiOutputLogic() = default;

    bool Waiting() const { return m_expect.active; }
    ProgramTree& InputTree() { return m_inputTree; }
    ProgramTree& OutputTree() { return m_outputTree; }
    const ProgramTree& InputTree() const { return m_inputTree; }
    const ProgramTree& OutputTree() const { return m_outputTree; }

    int ProgramCount(int channel) const;
    const MultiOutputProgramRecord* Program(int channel, int index) const;
    MultiOutputProgramRecord* Program(int channel, int index);
    bool Analysed(int channel) const;
    const MuxOutputSettings& Settings() const { return m_settings; }

    // The wait ended without its reply: the chain stops, and its reply, should it still come, is late.
    void WaitEnded() {
        if (m_expect.active)
            m_late = m_expect;
        m_expect = {};
    }
    // The late reply, once (late_reply.h); HandleReply then takes it as awaited, shows what it carries
    // and goes no further: a read chain ends with the programs that came.
    bool TakeLate(const ReplyView& r);
    void LateHandled() {
        m_expect = m_late = {};
        m_lateReply = false;
    }

    // Remove: the selected output program leaves its output.
    virtual PageStep Remove(const TreePath& outputSelection) = 0;

    // Edit: BeginEdit fills the dialog values from the selected output program (false: nothing to edit);
    // CommitEdit takes them back after OK.
    virtual bool BeginEdit(const TreePath& outputSelection, ProgramInfoEdit* edit);
    virtual PageStep CommitEdit(const ProgramInfoEdit& edit) = 0;

    // A status reply (0x40) at any time; otherwise only the reply the request in flight expects.
    PageStep HandleReply(const ReplyView& reply);

    // Tree nodes (public for the tests).
    ProgramTreeNode InputNode(int channel, int index) const;
    virtual ProgramTreeNode OutputNode(int channel, int index) const = 0;
    virtual ProgramTreeNode ModifiedNode(int channel, int index) const = 0;

protected:
    struct Expect {
        bool active = false;
        uint8_t command = 0;
        int channel = 0;
        int index = 0;
    };
    struct Table {
        int count = 0;
        std::vector<MultiOutputProgramRecord> programs;
    };

    static constexpr int kSettingsOffset = 16;  // of the 0x24 reply's settings (packet byte 23)

    MultiOutputLogic(int channels, int programsPerChannel);

    // Empty tables and settings, nothing analysed, nothing asked.
    void ResetTables();
    // The channel and program of a program node of tree (depth 2).
    virtual bool SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel,
                                 int* index) const = 0;
    // The item data of a channel node for a wire channel.
    virtual int NodeData(int wireChannel) const { return wireChannel; }
    // Where a full read ends: the channels [0, ReadLimit) are read; then [from, to) are shown.
    virtual int ReadLimit(const ReplyView& reply) const = 0;
    virtual void ShownChannels(int limit, int* from, int* to) const = 0;

    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index, PageStep::Wait wait,
                 bool followUp = false);
    PageStep Finish(PageStep step = {});
    // The program read chain: of one analysed channel, or of every channel from first on.
    PageStep ReadChannel(int channel);
    PageStep ReadAll(int first);
    // The end of a full read: the shown channels of the tables, inputs and routed outputs.
    void ShowFullRead(int limit);
    void RebuildInputChannel(int channel);
    void AddOutputProgram(int channel, int index);
    // The edited record with the dialog's values; false when there is no edit to commit.
    bool ApplyEdit(const ProgramInfoEdit& edit);
    // The 0x23 request: head (channel, index and what the layout adds), then the edited record.
    PageStep SendEdit(std::vector<uint8_t> head);

    // The replies; a layout answers analyses, settings, routes and the status in its own way.
    virtual PageStep OnAnalyse(const ReplyView& r) = 0;
    virtual PageStep OnSettings(const ReplyView& r) = 0;
    virtual PageStep OnRoute(const ReplyView& r) = 0;
    virtual void OnStatus(const ReplyView&) {}
    PageStep OnProgram(const ReplyView& r);
    PageStep OnModify(const ReplyView& r);

    const int m_channels;
    const int m_programsPerChannel;
    bool m_fullRead = false;
    int m_channel = 0;
    int m_index = 0;
    uint8_t m_secondByte = 0;  // byte 1 of the previous request
    std::vector<bool> m_analysed;
    std::vector<Table> m_tables;
    MuxOutputSettings m_settings;
    Expect m_expect;
    Expect m_late;             // the request whose wait ran out
    bool m_lateReply = false;  // the reply being handled came after its wait ran out
    // Edit: the record as the dialog left it, sent with 0x23 and stored when the device confirms it.
    MultiOutputProgramRecord m_editBuffer;
    int m_editChannel = -1;
    int m_editIndex = -1;
    TreePath m_editPath;
    ProgramTree m_inputTree{kInputTree};
    ProgramTree m_outputTree{kOutputTree};
};

// "%d %s" title, service id, PMT and PCR PIDs and the elements (counts 1..31) of a program node, with the
// input or the output values.
ProgramTreeNode MultiOutputProgramBody(const MultiOutputProgramRecord& r, int index, const std::string& name,
                                       bool input);
// A format with one unsigned value.
std::string FormatUnsigned(const char* format, unsigned value);

}  // namespace nms
