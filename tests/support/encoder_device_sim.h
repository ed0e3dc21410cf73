// The SD and HD encoders as their video, audio, system and multi-channel video/audio pages see them:
// every Get answers the record the simulated device keeps (per encoding channel where the device has
// several), every Set replaces it, and the status polls of the system and HD video/audio pages move a
// little each time. Plain logic: devsim and the tests use it; calls are serialised by the caller.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace nms::test {

class EncoderSimDevice {
public:
    using Bytes = std::vector<uint8_t>;

    // True for the device types this simulator serves.
    static bool Serves(uint16_t typeCode);

    explicit EncoderSimDevice(uint16_t typeCode);

    // The reply payload to one request, or none for a command the device does not answer here.
    std::optional<Bytes> Handle(uint8_t command, const Bytes& payload);

    // The stored records, for tests: channel 0-3 of the SD blocks, 0-15 of the multi-channel images.
    const Bytes& Video(int channel) const { return m_video[size_t(channel)]; }
    const Bytes& Audio(int channel) const { return m_audio[size_t(channel)]; }
    const Bytes& System(int channel) const { return m_system[size_t(channel)]; }
    const Bytes& Identity() const { return m_identity; }
    const Bytes& HdAv() const { return m_hdAv; }
    const Bytes& HdSystem() const { return m_hdSystem; }
    const Bytes& Channel(int channel) const { return m_channels[size_t(channel)]; }

private:
    std::optional<Bytes> Sd(uint8_t command, const Bytes& payload);
    std::optional<Bytes> Hd(uint8_t command, const Bytes& payload);
    std::optional<Bytes> MultiChannel(uint8_t command, const Bytes& payload);

    uint16_t m_type;
    unsigned m_tick = 0;
    std::array<Bytes, 4> m_video, m_audio, m_system;
    Bytes m_identity;
    Bytes m_hdAv, m_hdSystem;
    std::array<Bytes, 16> m_channels;  // reply images of the multi-channel encoders
};

}  // namespace nms::test
