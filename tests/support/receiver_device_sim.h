// The receivers and IP gateways as a device answers their pages: tuner input records (0x70/0x71), tuner
// status (0x72), the physical-channel map (0x33/0x34), the TS-over-IP and IP-input blocks (0x58/0x59), the
// IP-input channel states (0x26) and the gateways' status (0x40). Writes replace the records; status polls
// move a little each time. Plain logic: devsim and the tests use it; calls are serialised by the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nms::test {

class ReceiverSimDevice {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // True for the device types this simulator serves (some share a device with other simulators and
    // answer only the commands those leave).
    static bool Serves(uint16_t typeCode);

    explicit ReceiverSimDevice(uint16_t typeCode);

    std::optional<Reply> Handle(uint8_t command, const Bytes& payload);

    // The records as the device holds them (for tests).
    const Bytes& TunerRecords() const { return m_tuners; }
    // The IP/MAC block behind the DVB-S/S2 records (empty for the types without one).
    const Bytes& DvbsIpBlock() const { return m_dvbsIp; }
    const Bytes& IpBlock() const { return m_ipBlock; }
    const Bytes& GatewayBlock() const { return m_gateway; }
    void SetTunerMode(uint8_t mode) { m_mode = mode; }
    const std::vector<Bytes>& QamPrograms() const { return m_qamPrograms; }

private:
    std::optional<Reply> Dvbs(uint8_t command, const Bytes& payload);
    std::optional<Reply> Tuner8x(uint8_t command, const Bytes& payload);
    std::optional<Reply> IpPages(uint8_t command, const Bytes& payload);
    std::optional<Reply> Gateway(uint8_t command, const Bytes& payload);
    std::optional<Reply> Qam16(uint8_t command, const Bytes& payload);
    Bytes DvbsStatus() const;
    Bytes SignalStatus() const;

    uint16_t m_type;
    unsigned m_tick = 0;
    uint8_t m_mode = 0;  // header byte 2 of the tuner replies
    int m_records = 0;   // tuner records kept
    int m_recordSize = 0;
    Bytes m_tuners;                    // tuner records
    Bytes m_dvbsIp;                    // the IP block behind the DVB-S/S2 records (empty: none)
    Bytes m_map;                       // physical-channel map
    Bytes m_ipBlock;                   // TS-over-IP / IP-input block
    Bytes m_gateway;                   // gateway block
    std::vector<Bytes> m_qamPrograms;  // 16-QAM routing: 286-byte records of channels 1 and 3
};

}  // namespace nms::test
