// Replies of any bytes, mixed with Get, Set, polls and time-outs, never make the output parameters page
// read past a reply or send a record of the wrong size.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "pages/mux/mux_misc_logic.h"

using namespace nms;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int kParams[] = {0, 1, 20, 39, 86};
    if (size < 1)
        return 0;
    MuxMiscLogic logic(kParams[data[0] % 5]);
    size_t at = 1;
    while (at + 3 <= size) {
        const uint8_t op = data[at];
        const uint8_t cmd = data[at + 1];
        const int length = data[at + 2] * 2;
        at += 3;
        const int available = static_cast<int>(size - at);
        const int n = length < available ? length : available;
        // Each reply gets its own copy, so a read past it is caught.
        std::vector<uint8_t> payload(data + at, data + at + n);
        at += static_cast<size_t>(n);
        const auto target = static_cast<MuxMiscLogic::Target>(cmd % 3);
        PageStep step;
        switch (op % 6) {
            case 0:
                step = logic.Get(target);
                break;
            case 1:
                logic.Form(cmd % kMuxOutputs).bitrate = std::string(payload.begin(), payload.end());
                step = logic.Set(target);
                break;
            case 2:
                step = logic.Shown();
                break;
            case 3:
                logic.WaitEnded();
                break;
            default: {
                // The framed reply, sized to what arrived.
                std::vector<uint8_t> packet{0x21,
                                            0x01,
                                            1,
                                            1,
                                            static_cast<uint8_t>(0x33 + cmd % 14),
                                            static_cast<uint8_t>(n >> 8),
                                            static_cast<uint8_t>(n)};
                packet.insert(packet.end(), payload.begin(), payload.end());
                step = logic.HandleReply(ReplyView(packet.data(), static_cast<int>(packet.size())));
                break;
            }
        }
        if (step.command == kCmdSetOutputParams) {
            const size_t expected = logic.IsBlockRecord() ? 301u : logic.IsTranscoder() ? 80u : 11u;
            if (step.payload.size() != expected)
                std::abort();
        }
    }
    return 0;
}
