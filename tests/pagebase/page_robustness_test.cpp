// Every page of every variant takes random replies, clicks, typing and timer expiries without reading
// past what arrived, crashing or hanging (the sanitizer builds run it too). The same driver feeds the
// page_reply_fuzz target.
#include <gtest/gtest.h>

#include <random>

#include "page_reply_driver.h"

namespace nms {
namespace page_robustness_test {

TEST(PageRobustnessTest, EveryPageTakesRandomInput) {
    const auto variants = test::AllPageVariants();
    ASSERT_FALSE(variants.empty());
    std::mt19937 random(20261210);
    for (size_t v = 0; v < variants.size(); ++v) {
        SCOPED_TRACE(variants[v].first + " " + std::to_string(variants[v].second));
        for (int round = 0; round < 25; ++round) {
            std::vector<uint8_t> input(size_t(random() % 900));
            for (uint8_t& b : input)
                b = uint8_t(random());
            test::DrivePage(v, input.data(), input.size());
        }
    }
}

}  // namespace page_robustness_test
}  // namespace nms
