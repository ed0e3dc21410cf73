// A device's parameter records in general: a Get answers the stored record, a Set stores what it carries
// (bytes it does not carry keep their values) and is acknowledged. Profiles say, per device type, which
// commands read and write which record. Plain logic: devsim and the tests use it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace nms::test {

struct ParamRecordSpec {
    uint8_t get = 0;
    int set = -1;  // -1: read only
    std::vector<uint8_t> initial;
    size_t keep = 0;     // leading bytes of the record a Set does not replace (a header the device owns)
    size_t setAt = 0;    // where a Set's payload lands in the record
    uint8_t replyB = 1;  // header byte 2 of the Get reply
};

// A status record that changes with every poll.
struct StatusSpec {
    uint8_t command = 0x40;
    std::vector<uint8_t> (*make)(unsigned tick) = nullptr;
};

class ParamStoreSim {
public:
    using Bytes = std::vector<uint8_t>;

    // The profile of a device type; empty when none is known.
    static std::vector<ParamRecordSpec> ProfileOf(uint16_t typeCode);
    static StatusSpec StatusOf(uint16_t typeCode);
    // The DVB-T/T2 modulator (4106) that carries the DVB-T2 block: its Get reply says so with header
    // byte 2 = 8.
    static std::vector<ParamRecordSpec> DvbT2ModulatorProfile();

    explicit ParamStoreSim(std::vector<ParamRecordSpec> records, StatusSpec status = {})
        : m_records(std::move(records)), m_status(status) {}
    // The profile and status of a device type.
    explicit ParamStoreSim(uint16_t typeCode) : ParamStoreSim(ProfileOf(typeCode), StatusOf(typeCode)) {}
    bool Empty() const { return m_records.empty() && !m_status.make; }

    // The reply payload to one request, or none for a command no record answers.
    std::optional<Bytes> Handle(uint8_t command, const Bytes& payload);
    const Bytes* Record(uint8_t getCommand) const;
    // Header byte 2 of the reply to a command (1 unless a record says otherwise).
    uint8_t ReplyB(uint8_t command) const;

private:
    std::vector<ParamRecordSpec> m_records;
    StatusSpec m_status;
    unsigned m_tick = 0;
};

}  // namespace nms::test
