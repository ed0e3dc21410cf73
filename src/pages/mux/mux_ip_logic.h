// The logic of the IP multiplexer page (Cmuxip) without any window: 64 channel tables of multi-output
// program records, the two trees, the channel group, the read cursor and the request chains. Operator
// actions and decoded replies go in; the request to send, the wait to begin or end and the message to show
// come out (MuxChannelLogic's PageStep). The tables, the read chain and the edit are MultiOutputLogic's.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/mux/multi_output_logic.h"

namespace nms {

constexpr int kIpChannels = 64;
constexpr int kIpProgramsPerChannel = 69;
constexpr int kIpGroups = 8;

class MuxIpLogic : public MultiOutputLogic {
public:
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
    const std::array<std::string, 4>& Bitrates() const { return m_bitrates; }

    // Clears every table and builds the trees of the layout (the page's initial update).
    void Initialise();

    // Wire channel of a channel node's item data, and the item data of a wire channel.
    int WireChannel(int nodeData) const;
    int NodeData(int wireChannel) const override;

    // Operator actions; an empty step means nothing happens.
    PageStep InputAnalyze(const TreePath& inputSelection);
    PageStep Route(const TreePath& inputSelection, int output);  // output 0..3
    PageStep Remove(const TreePath& outputSelection) override;
    // "Refresh Out", a group change and the page shown: relabels the channel nodes and reads the settings.
    PageStep Refresh();
    // The edit adds the language flag and a CI program's CI mode.
    bool BeginEdit(const TreePath& outputSelection, ProgramInfoEdit* edit) override;
    PageStep CommitEdit(const ProgramInfoEdit& edit) override;

    ProgramTreeNode OutputNode(int channel, int index) const override;
    ProgramTreeNode ModifiedNode(int channel, int index) const override;

private:
    void BuildTrees();
    std::vector<ProgramTreeNode> OutputChannelNodes(int n) const;
    int OutputRootCount() const;
    bool SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel,
                         int* index) const override;
    // Layouts 35, 38 and 39 read the channel count the reply's sequencing byte names; the others read all
    // and show the group's eight.
    int ReadLimit(const ReplyView& reply) const override;
    void ShownChannels(int limit, int* from, int* to) const override;

    PageStep OnAnalyse(const ReplyView& r) override;
    PageStep OnSettings(const ReplyView& r) override;
    PageStep OnRoute(const ReplyView& r) override;
    void OnStatus(const ReplyView& r) override;

    int m_pageParam;
    uint16_t m_deviceType;
    int m_group = 0;
    int m_channelsPerRoot = 8;
    int m_moduleCount = 0;
    std::array<std::string, 4> m_bitrates;

    // Remove: the output channel node the request was made from.
    int m_removeRoot = -1;
    int m_removeChannelPos = -1;
};

}  // namespace nms
