// Every page of every variant takes random replies, clicks, typing and timer expiries without reading
// past what arrived, crashing or hanging (the sanitizer builds run it too). The same driver feeds the
// page_reply_fuzz target.
#include <gtest/gtest.h>

#include <random>

#include "page_reply_driver.h"

namespace nms {
namespace page_robustness_test {

// The catalogue is cut into parts so that ctest can run them side by side (gtest shards); each variant
// has its own random sequence, so a failure replays the same way whichever part runs it.
constexpr int kParts = 8;

class PageRobustnessTest : public ::testing::TestWithParam<int> {};

TEST_P(PageRobustnessTest, EveryPageTakesRandomInput) {
    const auto variants = test::AllPageVariants();
    ASSERT_FALSE(variants.empty());
    for (size_t v = size_t(GetParam()); v < variants.size(); v += kParts) {
        SCOPED_TRACE(variants[v].first + " " + std::to_string(variants[v].second));
        std::mt19937 random(uint32_t(20261210 + v));
        for (int round = 0; round < 25; ++round) {
            std::vector<uint8_t> input(size_t(random() % 900));
            for (uint8_t& b : input)
                b = uint8_t(random());
            test::DrivePage(v, input.data(), input.size());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, PageRobustnessTest, ::testing::Range(0, kParts));

}  // namespace page_robustness_test
}  // namespace nms
