#include "pages/modulator/channel_mask.h"

#include <gtest/gtest.h>

namespace nms {
namespace channel_mask_test {

TEST(ChannelMaskTest, BitInsideTheModulesOutputs) {
    struct Case {
        uint32_t mask;
        uint8_t modules;
        uint8_t index;
        bool expected;
    };
    const Case cases[] = {
        {0x1, 1, 0, true},
        {0x1, 1, 1, false},
        {0x8, 1, 3, true},
        {0x10, 1, 4, false},  // bit set, but the fifth output needs a second module
        {0x10, 2, 4, true},
        {0x80000000u, 4, 15, false},
        {0xFFFFFFFFu, 4, 15, true},
        {0xFFFFFFFFu, 4, 16, false},
        {0xFFFFFFFFu, 0, 0, false},
        {0xFFFFFFFFu, 8, 31, true},
        {0xFFFFFFFFu, 8, 32, false},
        {0xFFFFFFFFu, 255, 255, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsBitSetInChannelMask(c.mask, c.modules, c.index), c.expected)
            << "mask " << std::hex << c.mask << std::dec << " modules " << int(c.modules) << " index "
            << int(c.index);
    }
}

}  // namespace channel_mask_test
}  // namespace nms
