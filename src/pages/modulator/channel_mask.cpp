#include "pages/modulator/channel_mask.h"

namespace nms {

bool IsBitSetInChannelMask(uint32_t mask, uint8_t moduleCount, uint8_t index) {
    // A shift by 32 or more is undefined: such an index is never an output of a 32-bit mask.
    if (index >= 32 || index >= 4 * static_cast<int>(moduleCount))
        return false;
    return ((mask >> index) & 1u) != 0;
}

}  // namespace nms
