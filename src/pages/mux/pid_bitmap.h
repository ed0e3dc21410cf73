// The PID set that the filter and presence commands move: one bit for each of the 8192 PIDs, PID p at bit
// 7 - (p mod 8) of byte p / 8 (the most significant bit of byte 0 is PID 0).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "devices/byte_io.h"

namespace nms {

class PidBitmap {
public:
    static constexpr int kBytes = 1024;
    static constexpr int kPids = 8192;

    PidBitmap() { m_bytes.fill(0); }
    // The first kBytes of bytes; false (and all clear) when fewer arrived.
    bool Load(const uint8_t* bytes, int count);
    bool Load(const ByteReader& in) {
        return Load(in.Data(), static_cast<int>(std::min<size_t>(in.Size(), kBytes)));
    }

    void Clear() { m_bytes.fill(0); }
    // Only the low 13 bits of pid count.
    void Set(unsigned pid) {
        pid &= kPids - 1;
        m_bytes[pid / 8] |= uint8_t(0x80u >> (pid % 8));
    }
    bool Test(unsigned pid) const {
        return pid < unsigned(kPids) && (m_bytes[pid / 8] & (0x80u >> (pid % 8))) != 0;
    }
    // The set PIDs in ascending order.
    std::vector<uint16_t> Pids() const;

    const uint8_t* Data() const { return m_bytes.data(); }
    bool operator==(const PidBitmap& other) const = default;

private:
    std::array<uint8_t, kBytes> m_bytes;
};

}  // namespace nms
