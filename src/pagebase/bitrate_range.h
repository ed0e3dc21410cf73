// The running highest and lowest of a polled bitrate since the last restart, for the status lines and
// charts of the encoder and multiplexer pages.
#pragma once

#include <cstdint>

namespace nms {

class BitrateRange {
public:
    // The first value becomes both the highest and the lowest.
    BitrateRange() = default;
    // The highest and the lowest start at these values and every value then pushes them outwards (the
    // real-time monitor starts its lowest at a ceiling that the first real value goes below).
    BitrateRange(int64_t highestStart, int64_t lowestStart)
        : m_seeded(true), m_maxStart(highestStart), m_minStart(lowestStart) {
        Restart();
    }

    void Restart() {
        m_known = false;
        m_max = m_maxStart;
        m_min = m_minStart;
    }
    void Add(int64_t value) {
        const bool first = !m_known && !m_seeded;
        if (first || value > m_max)
            m_max = value;
        if (first || value < m_min)
            m_min = value;
        m_known = true;
    }
    // True once a value came since the last restart.
    bool Known() const { return m_known; }
    int64_t Max() const { return m_max; }
    int64_t Min() const { return m_min; }

private:
    bool m_known = false;
    bool m_seeded = false;
    int64_t m_maxStart = 0, m_minStart = 0;
    int64_t m_max = 0, m_min = 0;
};

}  // namespace nms
