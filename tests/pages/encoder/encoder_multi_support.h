// Helpers of the multi-channel encoder page tests: the simulated device answering what a page queued.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "encoder_multi_sim.h"
#include "page_fixture.h"

namespace nms::test {

// Answers queued requests from the simulator until none is left; the commands that were sent (the
// version requests included, which nothing answers here).
inline std::vector<SentPacket> Pump(PageFixture& fx, EncoderMultiSim& sim, int limit = 200) {
    std::vector<SentPacket> sent;
    for (int i = 0; i < limit; ++i) {
        auto packet = fx.TakeSentPacket();
        if (!packet)
            break;
        EXPECT_TRUE(packet->crcOk);
        sent.push_back(*packet);
        if (auto reply = sim.Handle(packet->command, packet->payload))
            fx.FeedReply(packet->command, reply->payload, reply->b, reply->c);
    }
    return sent;
}

inline std::vector<uint8_t> Commands(const std::vector<SentPacket>& sent) {
    std::vector<uint8_t> out;
    for (const SentPacket& p : sent)
        out.push_back(p.command);
    return out;
}

}  // namespace nms::test
