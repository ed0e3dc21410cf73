// The CAM receivers, decoders, line adapters, ASI distributor and infrared controller as a device
// answers their pages: each request is answered from records the simulated device keeps, writes replace
// those records, and status polls move a little each time so the monitors change. Plain logic: devsim
// and the tests use it; calls are serialised by the caller.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace nms::test {

class IrdSimDevice {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // True for the device types this simulator serves.
    static bool Serves(uint16_t typeCode);

    explicit IrdSimDevice(uint16_t typeCode);

    // The reply to one request, or none for a command the device does not answer.
    std::optional<Reply> Handle(uint8_t command, const Bytes& payload);

private:
    std::optional<Reply> Adapter(uint8_t command, const Bytes& payload);
    std::optional<Reply> Stb(uint8_t command, const Bytes& payload);
    std::optional<Reply> OneChannel(uint8_t command, const Bytes& payload);
    std::optional<Reply> FourChannel(uint8_t command, const Bytes& payload);
    Bytes Status1() const;
    Bytes Status4() const;

    uint16_t m_type;
    unsigned m_tick = 0;
    Bytes m_config;                 // 0x33 records of the adapters, the infrared base record
    std::array<Bytes, 2> m_tables;  // the infrared key tables
    Bytes m_source;                 // one-channel: type, record, IP block, trailer
    std::array<Bytes, 4> m_inputs;  // four-channel records
    std::array<uint32_t, 4> m_bitrates{};
    std::array<Bytes, 4> m_decoders;  // decoder blocks
    std::vector<Bytes> m_programs;    // program records of the one-channel pages
    Bytes m_output;                   // output configuration
};

}  // namespace nms::test
