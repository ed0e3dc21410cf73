// Replies of any bytes, in any order and mixed with operator actions, never make the input channel page's
// chains read past a reply, index past a table or run without end.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pages/mux/mux_channel_logic.h"

using namespace nms;

namespace {

TreePath FirstProgram(const ProgramTree& tree, int channel) {
    const int root = 0;
    const int pos = tree.FindChannel(root, channel);
    const ProgramTreeNode* ch = tree.Node(root, pos);
    if (!ch || ch->children.empty())
        return {};
    return {2, root, pos, static_cast<int>(ch->children.size()) - 1};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int kParams[] = {0, 1, 3, 36, 37, 86};
    if (size < 1)
        return 0;
    MuxChannelLogic logic(kParams[data[0] % 6]);
    logic.BuildLayout(true);
    size_t at = 1;
    int steps = 0;
    while (at + 4 <= size && ++steps < 10000) {
        const uint8_t op = data[at];
        const uint8_t cmd = data[at + 1];
        const uint8_t b = data[at + 2];
        const int length = data[at + 3] * 2;
        at += 4;
        const int available = static_cast<int>(size - at);
        const int n = length < available ? length : available;
        // Each reply is framed in its own copy, sized to what arrived, so a read past it is caught.
        std::vector<uint8_t> packet{0x21,
                                    0x01,
                                    b,
                                    data[0],
                                    static_cast<uint8_t>(0x20 + (cmd % 8)),
                                    static_cast<uint8_t>(n >> 8),
                                    static_cast<uint8_t>(n)};
        packet.insert(packet.end(), data + at, data + at + n);
        at += static_cast<size_t>(n);
        switch (op % 8) {
            case 0:
                logic.RefreshOut();
                break;
            case 1:
                logic.InputAnalyze({1, 0, cmd % 20, -1}, (b & 1) != 0);
                break;
            case 2:
                logic.Select(FirstProgram(logic.InputTree(), 1 + cmd % 16), 1 + (b & 1));
                break;
            case 3:
                logic.Remove(FirstProgram(logic.OutputProgramTree(), 1 + cmd % 16));
                break;
            case 4:
                logic.WaitEnded();
                break;
            case 5:
                logic.Shown();
                break;
            default:
                break;
        }
        logic.HandleReply(ReplyView(packet.data(), static_cast<int>(packet.size())));
    }
    if (logic.ChannelCount() != 8 && logic.ChannelCount() != 16)
        std::abort();
    return 0;
}
