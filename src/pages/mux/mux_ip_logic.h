// The logic of the IP multiplexer page (Cmuxip) without any window: 64 channel tables of multi-output
// program records, the two trees, the channel group, the read cursor and the request chains. Operator
// actions and decoded replies go in; the request to send, the wait to begin or end and the message to show
// come out (MuxChannelLogic's PageStep).
//
// Every request records what it expects; a reply for another command, channel or program, a short one or
// one that arrives after its wait ended changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

constexpr int kIpChannels = 64;
constexpr int kIpProgramsPerChannel = 69;
constexpr int kIpGroups = 8;

// The edit dialog's values besides ProgramInfoFields.
struct ProgramInfoEdit {
    ProgramInfoFields info;
    int languageFlag = 0;
};

class MuxIpLogic {
public:
    enum TreeId { kInputTree = 0, kOutputTree = 1 };

    MuxIpLogic(int pageParam, uint16_t deviceType);

    int PageParam() const { return m_pageParam; }
    // Layouts 35, 38 and 39 name their channels directly; the others by group x 8 + position.
    bool DirectChannels() const { return m_pageParam == 35 || m_pageParam == 38 || m_pageParam == 39; }
    bool GroupComboShown() const { return m_pageParam == 0; }
    // The route buttons shown (output A..D) and the text of the first one.
    bool OutButtonShown(int n) const;
    const char* FirstRouteText() const;
    int ChannelsPerRoot() const { return m_channelsPerRoot; }
    int Group() const { return m_group; }
    void SetGroup(int group) { m_group = group >= 0 && group < kIpGroups ? group : 0; }
    int ModuleCount() const { return m_moduleCount; }
    bool Waiting() const { return m_expect.active; }

    ProgramTree& InputTree() { return m_inputTree; }
    ProgramTree& OutputTree() { return m_outputTree; }
    const ProgramTree& InputTree() const { return m_inputTree; }
    const ProgramTree& OutputTree() const { return m_outputTree; }

    int ProgramCount(int channel) const;
    const MultiOutputProgramRecord* Program(int channel, int index) const;
    MultiOutputProgramRecord* Program(int channel, int index);
    bool Analysed(int channel) const { return channel >= 0 && channel < kIpChannels && m_analysed[channel]; }
    const MuxOutputSettings& Settings() const { return m_settings; }
    const std::array<std::string, 4>& Bitrates() const { return m_bitrates; }

    // Clears every table and builds the trees of the layout (the page's initial update).
    void Initialise();

    // Wire channel of a channel node's item data, and the item data of a wire channel.
    int WireChannel(int nodeData) const;
    int NodeData(int wireChannel) const;

    // Operator actions; an empty step means nothing happens.
    PageStep InputAnalyze(const TreePath& inputSelection);
    PageStep Route(const TreePath& inputSelection, int output);  // output 0..3
    PageStep Remove(const TreePath& outputSelection);
    // "Refresh Out", a group change and the page shown: relabels the channel nodes and reads the settings.
    PageStep Refresh();
    // Edit: BeginEdit fills the dialog values from the selected output program (false: nothing to edit);
    // CommitEdit takes them back after OK.
    bool BeginEdit(const TreePath& outputSelection, ProgramInfoEdit* edit);
    PageStep CommitEdit(const ProgramInfoEdit& edit);

    // The wait ended without its reply or the request was not queued: the chain stops.
    void WaitEnded() { m_expect = {}; }

    // headerB: the reply's sequencing byte at packet byte 2 (the channel count on layouts 35, 38, 39).
    PageStep HandleReply(const ReplyView& reply);

    // Tree nodes (public for the tests).
    ProgramTreeNode InputNode(int channel, int index) const;
    ProgramTreeNode OutputNode(int channel, int index) const;
    ProgramTreeNode ModifiedNode(int channel, int index) const;

private:
    struct Expect {
        bool active = false;
        uint8_t command = 0;
        int channel = 0;
        int index = 0;
    };
    struct Table {
        int count = 0;
        std::vector<MultiOutputProgramRecord> programs =
            std::vector<MultiOutputProgramRecord>(kIpProgramsPerChannel);
    };

    void BuildTrees();
    std::vector<ProgramTreeNode> OutputChannelNodes(int n) const;
    int OutputRootCount() const;
    bool SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel, int* index) const;
    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index, PageStep::Wait wait,
                 bool followUp = false);
    PageStep Finish(PageStep step = {});
    void RebuildInputChannel(int channel);
    void AddOutputProgram(int channel, int index);

    PageStep OnAnalyse(const ReplyView& r);
    PageStep OnSettings(const ReplyView& r);
    PageStep OnProgram(const ReplyView& r);
    PageStep OnRoute(const ReplyView& r);
    PageStep OnModify(const ReplyView& r);
    void OnStatus(const ReplyView& r);

    int m_pageParam;
    uint16_t m_deviceType;
    int m_group = 0;
    int m_channelsPerRoot = 8;
    int m_moduleCount = 0;
    bool m_fullRead = false;
    int m_channel = 0;
    int m_index = 0;
    std::array<bool, kIpChannels> m_analysed{};
    std::vector<Table> m_tables = std::vector<Table>(kIpChannels);
    MuxOutputSettings m_settings;
    std::array<std::string, 4> m_bitrates;
    Expect m_expect;

    // Remove: the output channel node the request was made from.
    int m_removeRoot = -1;
    int m_removeChannelPos = -1;
    // Edit: the record as the dialog left it, sent with 0x23 and stored when the device confirms it.
    MultiOutputProgramRecord m_editBuffer;
    int m_editChannel = -1;
    int m_editIndex = -1;
    TreePath m_editPath;

    ProgramTree m_inputTree{kInputTree};
    ProgramTree m_outputTree{kOutputTree};
};

}  // namespace nms
