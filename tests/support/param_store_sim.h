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
};

class ParamStoreSim {
public:
    using Bytes = std::vector<uint8_t>;

    // The profile of a device type; empty when none is known.
    static std::vector<ParamRecordSpec> ProfileOf(uint16_t typeCode);

    explicit ParamStoreSim(std::vector<ParamRecordSpec> records) : m_records(std::move(records)) {}
    bool Empty() const { return m_records.empty(); }

    // The reply payload to one request, or none for a command no record answers.
    std::optional<Bytes> Handle(uint8_t command, const Bytes& payload);
    const Bytes* Record(uint8_t getCommand) const;

private:
    std::vector<ParamRecordSpec> m_records;
};

}  // namespace nms::test
