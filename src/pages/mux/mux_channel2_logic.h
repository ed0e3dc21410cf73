// The logic of the multi-output channel page (Cmuxchannel2) without any window: 7 channel tables of
// multi-output program records, the two trees and the request chains, on MultiOutputLogic as the IP
// multiplexer page: each request records what it expects, and replies that do not match it, short ones
// and late ones change nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "pages/mux/multi_output_logic.h"

namespace nms {

constexpr int kChannel2Channels = 7;
constexpr int kChannel2ProgramsPerChannel = 139;

class MuxChannel2Logic : public MultiOutputLogic {
public:
    explicit MuxChannel2Logic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool FourOutputs() const { return m_pageParam == 33; }

    void Initialise();

    PageStep InputAnalyze(const TreePath& inputSelection, bool pidRemapChecked);
    PageStep Route(const TreePath& inputSelection, int output);
    PageStep Remove(const TreePath& outputSelection) override;
    PageStep Refresh();
    PageStep CommitEdit(const ProgramInfoEdit& edit) override;

    ProgramTreeNode OutputNode(int channel, int index) const override;
    ProgramTreeNode ModifiedNode(int channel, int index) const override;

private:
    bool SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel,
                         int* index) const override;
    int ReadLimit(const ReplyView&) const override { return kChannel2Channels; }
    void ShownChannels(int, int*, int*) const override {}
    PageStep OnAnalyse(const ReplyView& r) override;
    PageStep OnSettings(const ReplyView& r) override;
    PageStep OnRoute(const ReplyView& r) override;

    int m_pageParam;
    TreePath m_removePath;
};

}  // namespace nms
