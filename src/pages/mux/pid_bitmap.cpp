#include "pages/mux/pid_bitmap.h"

#include <cstring>

namespace nms {

bool PidBitmap::Load(const uint8_t* bytes, int count) {
    Clear();
    if (!bytes || count < kBytes)
        return false;
    std::memcpy(m_bytes.data(), bytes, kBytes);
    return true;
}

std::vector<uint16_t> PidBitmap::Pids() const {
    std::vector<uint16_t> pids;
    for (int p = 0; p < kPids; ++p)
        if (Test(unsigned(p)))
            pids.push_back(uint16_t(p));
    return pids;
}

}  // namespace nms
