#include "param_store_sim.h"

#include <algorithm>

namespace nms::test {
namespace {

// 474 MHz, ATT 3.5 dB, 64QAM, 6.875 Msym/s, annex A, ASI input, PAT/SDT/PMT inserted, port 1234, TS ID 1,
// network ID 2.
std::vector<uint8_t> QamModulatorRecord() {
    std::vector<uint8_t> r(43, 0);
    const uint8_t head[] = {0x90, 0x3b, 0x07, 0x00, 35, 3, 0xdb, 0x1a, 0, 0, 0};
    std::copy(std::begin(head), std::end(head), r.begin());
    r[23] = r[24] = r[26] = 1;
    r[30] = 0xd2, r[31] = 0x04;
    r[32] = 1;
    r[34] = 2;
    return r;
}

std::vector<uint8_t> MuxQamRecord() {
    std::vector<uint8_t> r(93, 0);
    const uint8_t head[] = {0xd0, 0x1e, 0x08, 0x00, 20, 5, 0xdb, 0x1a, 0, 1};
    std::copy(std::begin(head), std::end(head), r.begin());
    r[23] = 0x01, r[25] = 0x02, r[27] = 0xd2, r[28] = 0x04;
    return r;
}

}  // namespace

std::vector<ParamRecordSpec> ParamStoreSim::ProfileOf(uint16_t type) {
    switch (type) {
        case 0x4101:  // ASI QAM modulator
        case 0x3102:  // ASI QAM modulator with scrambler
        case 0x4102:  // QPSK modulator
            return {{0x33, 0x34, QamModulatorRecord()}};
        case 0x4111:  // QAM modulator with multiplexer
            return {{0x33, 0x34, MuxQamRecord()}};
        default:
            return {};
    }
}

std::optional<ParamStoreSim::Bytes> ParamStoreSim::Handle(uint8_t command, const Bytes& payload) {
    for (ParamRecordSpec& r : m_records) {
        if (command == r.get)
            return r.initial;
        if (r.set >= 0 && command == r.set) {
            std::copy_n(payload.begin(), std::min(payload.size(), r.initial.size()), r.initial.begin());
            return Bytes{};
        }
    }
    return std::nullopt;
}

const ParamStoreSim::Bytes* ParamStoreSim::Record(uint8_t get) const {
    for (const ParamRecordSpec& r : m_records)
        if (r.get == get)
            return &r.initial;
    return nullptr;
}

}  // namespace nms::test
