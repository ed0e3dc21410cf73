// The logic of the multi-output channel page (Cmuxchannel2) without any window: 7 channel tables of
// multi-output program records, the two trees and the request chains. Built like MuxIpLogic: each request
// records what it expects, and replies that do not match it, short ones and late ones change nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/mux/mux_channel_logic.h"
#include "pages/mux/mux_ip_logic.h"
#include "pages/mux/output_program_record.h"
#include "pages/mux/program_tree.h"

namespace nms {

constexpr int kChannel2Channels = 7;
constexpr int kChannel2ProgramsPerChannel = 139;

class MuxChannel2Logic {
public:
    enum TreeId { kInputTree = 0, kOutputTree = 1 };

    explicit MuxChannel2Logic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool FourOutputs() const { return m_pageParam == 33; }
    bool Waiting() const { return m_expect.active; }
    ProgramTree& InputTree() { return m_inputTree; }
    ProgramTree& OutputTree() { return m_outputTree; }
    const ProgramTree& InputTree() const { return m_inputTree; }
    const ProgramTree& OutputTree() const { return m_outputTree; }
    int ProgramCount(int channel) const;
    const MultiOutputProgramRecord* Program(int channel, int index) const;
    bool Analysed(int channel) const;

    void Initialise();

    PageStep InputAnalyze(const TreePath& inputSelection, bool pidRemapChecked);
    PageStep Route(const TreePath& inputSelection, int output);
    PageStep Remove(const TreePath& outputSelection);
    PageStep Refresh();
    bool BeginEdit(const TreePath& outputSelection, ProgramInfoEdit* edit);
    PageStep CommitEdit(const ProgramInfoEdit& edit);

    void WaitEnded() { m_expect = {}; }
    PageStep HandleReply(const ReplyView& reply);

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
            std::vector<MultiOutputProgramRecord>(kChannel2ProgramsPerChannel);
    };

    bool SelectedProgram(const ProgramTree& tree, const TreePath& path, int* channel, int* index) const;
    PageStep Ask(uint8_t command, std::vector<uint8_t> payload, int channel, int index, PageStep::Wait wait,
                 bool followUp = false);
    PageStep Finish(PageStep step = {});
    void RebuildInputChannel(int channel);
    void AddOutputProgram(int channel, int index);
    PageStep OnProgram(const ReplyView& r);
    PageStep OnRoute(const ReplyView& r);

    int m_pageParam;
    bool m_fullRead = false;
    int m_channel = 0;
    int m_index = 0;
    uint8_t m_secondByte = 0;  // byte 1 of the previous request: the analysis sends it again
    std::array<bool, kChannel2Channels> m_analysed{};
    std::vector<Table> m_tables = std::vector<Table>(kChannel2Channels);
    MuxOutputSettings m_settings;
    Expect m_expect;
    TreePath m_removePath;
    MultiOutputProgramRecord m_editBuffer;
    int m_editChannel = -1;
    int m_editIndex = -1;
    TreePath m_editPath;
    ProgramTree m_inputTree{kInputTree};
    ProgramTree m_outputTree{kOutputTree};
};

}  // namespace nms
