// The encoders and encoder-modulators as a device answers their output page (0x33/0x34 and the status
// poll 0x40), and every device type with a TS-over-IP page as it answers that page (0x58/0x59): records
// the simulated device keeps, writes replace them, and the status moves a little with every poll. Plain
// logic: devsim and the tests use it; calls are serialised by the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nms::test {

class EncoderOutputSimDevice {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // True for the device types this simulator serves.
    static bool Serves(uint16_t typeCode);

    explicit EncoderOutputSimDevice(uint16_t typeCode);

    // The reply to one request, or none for a command the device does not answer.
    std::optional<Reply> Handle(uint8_t command, const Bytes& payload);

private:
    Bytes Status();

    uint16_t m_type;
    int m_outputParam = -1;  // the output page's PageParam, -1 without one
    int m_ipParam = -1;      // the TS-over-IP page's PageParam, -1 without one
    unsigned m_tick = 0;
    uint8_t m_b = 1, m_c = 1;  // header bytes of the output reply (count and standard of some models)
    Bytes m_output;            // the output reply as the device sends it
    Bytes m_ipOut;             // the TS-over-IP records or block
};

}  // namespace nms::test
