// Output masks of the multi-channel QAM modulators: bit i of the mask stands for QAM output i, and every
// QAM module carries four outputs.
#pragma once

#include <cstdint>

namespace nms {

// True when index is one of the outputs of moduleCount modules and its bit is set in mask.
bool IsBitSetInChannelMask(uint32_t mask, uint8_t moduleCount, uint8_t index);

}  // namespace nms
