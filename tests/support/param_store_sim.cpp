#include "param_store_sim.h"

#include <algorithm>

namespace nms::test {
namespace {

// 474 MHz, ATT 3.5 dB, 64QAM, 6.875 Msym/s, annex A, ASI input, PAT/SDT/PMT inserted, port 1234, TS ID 1,
// network ID 2. Bytes 11 to 22 hold a pattern: the page's Set writes them as 0.
std::vector<uint8_t> QamModulatorRecord() {
    std::vector<uint8_t> r(43, 0);
    const uint8_t head[] = {0x90, 0x3b, 0x07, 0x00, 35, 3, 0xdb, 0x1a, 0, 0, 0};
    std::copy(std::begin(head), std::end(head), r.begin());
    for (size_t i = 11; i < 23; ++i)
        r[i] = uint8_t(0xa0 + i);
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

// Four RF outputs at 474, 482, 490 and 498 MHz, ATT 2.0 dB, 6.875 Msym/s, 64QAM, power 95, spacing 8, all
// enabled, PAT/SDT/PMT inserted, TS IDs 1..4, network ID 1. muxScrambler: bytes 286 and 287 (the "MUX" and
// "Scrambler" lists of the IP QAM modulator) hold 5 and 7, which the lists show as "Enable" and send as 1.
std::vector<uint8_t> Qam4Record(bool muxScrambler = false) {
    std::vector<uint8_t> r(542, 0);
    if (muxScrambler)
        r[286] = 5, r[287] = 7;
    r[0] = 0xdb, r[1] = 0x1a, r[2] = 2, r[3] = 95, r[4] = 8, r[5] = 0x0f;
    for (int k = 0; k < 4; ++k) {
        const size_t at = size_t(6 + 70 * k);
        const uint32_t khz = 474000 + 8000 * uint32_t(k);
        for (int i = 0; i < 4; ++i)
            r[at + size_t(i)] = uint8_t(khz >> (8 * i));
        r[at + 4] = 20;
        r[at + 5] = 0x0b;
        r[at + 6] = uint8_t(k + 1);
        r[at + 8] = 1;
    }
    return r;
}

// Three outputs 6 MHz apart at 474, 480 and 486 MHz (bandwidth 6M); the fourth, which the page does not
// show, at 495 MHz until RF-1 is typed again.
std::vector<uint8_t> Qam4Dvbt() {
    std::vector<uint8_t> r(324, 0);
    r[0] = 0x07, r[1] = 90, r[3] = 2, r[4] = 1, r[9] = 1, r[11] = 2, r[12] = 2;
    for (int k = 0; k < 4; ++k) {
        const size_t at = size_t(14 + 70 * k);
        const uint32_t khz = k == 3 ? 495000 : 474000 + 6000 * uint32_t(k);
        for (int i = 0; i < 4; ++i)
            r[at + size_t(i)] = uint8_t(khz >> (8 * i));
        r[at + 4] = 30;
        r[at + 5] = 0x01;
        r[at + 6] = uint8_t(k + 1);
    }
    return r;
}

// Eight bytes (the module count in byte 1), then four modules of four outputs.
std::vector<uint8_t> Qam4Modules() {
    std::vector<uint8_t> r(8 + 580, 0);
    r[1] = 4;
    for (int m = 0; m < 4; ++m) {
        const size_t base = size_t(8 + 145 * m);
        r[base] = 0xdb, r[base + 1] = 0x1a, r[base + 2] = 2, r[base + 3] = 95, r[base + 4] = 8,
        r[base + 5] = 0x0f;
        for (int k = 0; k < 4; ++k) {
            const size_t at = base + size_t(6 + 26 * k);
            const uint32_t khz = 474000 + 32000 * uint32_t(m) + 8000 * uint32_t(k);
            for (int i = 0; i < 4; ++i)
                r[at + size_t(i)] = uint8_t(khz >> (8 * i));
            r[at + 4] = 20;
            r[at + 5] = 0x0b;
            r[at + 6] = uint8_t(4 * m + k + 1);
        }
    }
    return r;
}

std::vector<uint8_t> Qam4Status(unsigned tick) {
    std::vector<uint8_t> s = {uint8_t(0x0f ^ (tick % 3 == 0 ? 0x08 : 0))};
    for (int c = 0; c < 16; ++c) {
        const uint32_t kbps = 38000 + 100 * uint32_t(c % 4) + (tick * 37 + uint32_t(c) * 11) % 400;
        for (int i = 0; i < 4; ++i)
            s.push_back(uint8_t(kbps >> (8 * i)));
    }
    return s;
}

// The four tuner channels of a tuner-fed modulator: the block kind 2, then four 75-byte blocks.
std::vector<uint8_t> TunerBlocks() {
    std::vector<uint8_t> r(301, 0);
    r[0] = 2;
    for (int k = 0; k < 4; ++k) {
        const size_t at = size_t(1 + 75 * k);
        const uint32_t khz = 1150000 + 20000 * uint32_t(k);
        for (int i = 0; i < 4; ++i)
            r[at + size_t(i)] = uint8_t(khz >> (8 * i));
        r[at + 4] = 0xdb, r[at + 5] = 0x1a;
        r[at + 6] = 2;
    }
    return r;
}

std::vector<uint8_t> TunerStatus(unsigned tick) {
    std::vector<uint8_t> s(122, 0);
    s[0] = 0x07;
    for (int k = 0; k < 4; ++k) {
        const uint32_t kbps = 30000 + 1000 * uint32_t(k) + tick % 97;
        for (int i = 0; i < 4; ++i)
            s[size_t(1 + 4 * k + i)] = uint8_t(kbps >> (8 * i));
        s[size_t(22 + 25 * k)] = uint8_t(70 + 5 * k);
    }
    s[21] = 2;
    return s;
}

// The 55-byte block of the single-output modulators: 474 MHz, on, power 95.5 dB, PAT/SDT/PMT/CAT inserted
// with bits 5-7 of the insertion byte set (0xFB: the DTMB and DVB-T pages write them as 0, the DVB-S/S2 page
// keeps them), port 1234, TS ID 1, network ID 2; the DVB-S/S2 one at 1150 MHz, DVB-S2 QPSK 3/4,
// 27.5 Msym/s; the DVB-T one in 64QAM.
std::vector<uint8_t> SingleModBlock(bool s2, bool dvbt = false) {
    std::vector<uint8_t> r(55, 0);
    const uint32_t khz = s2 ? 1150000 : 474000;
    for (int i = 0; i < 4; ++i)
        r[size_t(i)] = uint8_t(khz >> (8 * i));
    r[4] = 1;
    r[5] = 0xbb, r[6] = 0x03;
    r[7] = s2 ? 0 : dvbt ? 2 : 6;  // QPSK, 64QAM (DVB-T) or DTMB mode 6
    r[8] = s2 ? 0 : 1;
    if (s2) {
        r[9] = 1;
        r[10] = 0x6c, r[11] = 0x6b;
        r[13] = 3;
    }
    r[17] = 0xfb;
    r[18] = 0xd2, r[19] = 0x04;
    r[20] = 1;
    r[22] = 2;
    return r;
}

// The DVB-T2 block: 474 MHz, on, power 95.5 dB, normal input, FEC frame 64800, no rotation, 64QAM, code rate
// 2/3, guard interval 1/32, 8 MHz, PP7, 8K, L1-post 16QAM, PAT and CAT inserted with bits 5-7 of the
// insertion byte set (0xF1; the page writes them as 0), port 1234, TS ID 1, network ID 2; the uninterpreted
// tail holds a pattern.
std::vector<uint8_t> DvbT2Block() {
    std::vector<uint8_t> r(55, 0);
    const uint32_t khz = 474000;
    for (int i = 0; i < 4; ++i)
        r[size_t(i)] = uint8_t(khz >> (8 * i));
    r[4] = 1;
    r[5] = 0xbb, r[6] = 0x03;
    r[8] = 1;
    r[12] = 2, r[13] = 2, r[14] = 0, r[15] = 4, r[16] = 6, r[17] = 1, r[18] = 2;
    r[19] = 0xf1;
    r[20] = 0xd2, r[21] = 0x04;
    r[22] = 1;
    r[24] = 2;
    for (size_t i = 26; i < r.size(); ++i)
        r[i] = uint8_t(i);
    return r;
}

// The multi-channel DTMB block as the Get reply carries it: a byte, the channel count, the 237-byte block.
// Channels 1 to 6 lie 8 MHz apart from 474 MHz on; with four channels the two the page does not show lie
// at 562 and 570 MHz, until channel 1 is typed again.
std::vector<uint8_t> DtmbMulti(uint8_t channels) {
    std::vector<uint8_t> r(239, 0);
    r[1] = channels;
    uint8_t* b = r.data() + 2;
    b[0] = 1;
    b[1] = uint8_t((1u << channels) - 1);
    b[2] = 0x8a, b[3] = 0x03;  // 90.6 dB (906 tenths)
    if (channels == 1)
        b[2] = 90, b[3] = 0;  // the one-channel modulator counts whole dB
    b[4] = 6, b[5] = 2, b[8] = 1, b[10] = 1;
    for (int k = 0; k < 6; ++k) {
        uint8_t* c = b + 45 + 24 * k;
        const uint32_t khz =
            channels == 4 && k >= 4 ? 562000 + 8000 * uint32_t(k - 4) : 474000 + 8000 * uint32_t(k);
        for (int i = 0; i < 4; ++i)
            c[i] = uint8_t(khz >> (8 * i));
        c[4] = 25;
        c[5] = 0x0b;
        c[6] = uint8_t(k + 1);
        c[8] = 1;
    }
    return r;
}

bool IsQam4Type(uint16_t type) {
    switch (type) {
        case 0x4104:
        case 0x4144:
        case 0x4154:
        case 0x4164:
        case 0x3104:
        case 0x4114:
        case 0x4125:
        case 0x4126:
        case 0x4153:
            return true;
        default:
            return false;
    }
}

}  // namespace

StatusSpec ParamStoreSim::StatusOf(uint16_t type) {
    // The tuner-fed 4114 answers its source page and its modulator page with one status: the tuner layout
    // (locks, four rates, signal reports) holds the modulator page's locks and rates at the same bytes.
    if (type == 0x4137 || type == 0x4117 || type == 0x4157 || type == 0x4147 || type == 0x4127 ||
        type == 0x4187 || type == 0x4114)
        return {0x40, TunerStatus};
    if (IsQam4Type(type))
        return {0x40, Qam4Status};
    return {};
}

std::vector<ParamRecordSpec> ParamStoreSim::DvbT2ModulatorProfile() {
    return {{0x33, 0x34, DvbT2Block(), 0, 0, 8}};
}

std::vector<ParamRecordSpec> ParamStoreSim::ProfileOf(uint16_t type) {
    if (type == 0x4126)  // three-output DVB-T modulator
        return {{0x33, 0x34, Qam4Dvbt()}};
    if (type == 0x4153)  // four modules of four outputs
        return {{0x33, 0x34, Qam4Modules(), 8}};
    if (type == 0x4114)  // four-output QAM fed by four tuners
        return {{0x33, 0x34, Qam4Record()}, {0x70, 0x71, TunerBlocks()}};
    if (type == 0x4137)
        return {{0x70, 0x71, TunerBlocks()}, {0x33, 0x34, DtmbMulti(4), 0, 2}};
    if (type == 0x4117)
        return {{0x33, 0x34, DtmbMulti(1), 0, 2}};
    if (type == 0x4157 || type == 0x4147)
        return {{0x33, 0x34, DtmbMulti(4), 0, 2}};
    // The six-channel modulator, and the four-tab 4127 reporting six channels (its page turns to six tabs).
    if (type == 0x4187 || type == 0x4127)
        return {{0x33, 0x34, DtmbMulti(6), 0, 2}};
    if (IsQam4Type(type))
        return {{0x33, 0x34, Qam4Record(type == 0x4154)}};
    if (type == 0x4122)  // DVB-S/S2 modulator
        return {{0x33, 0x34, SingleModBlock(true)}};
    if (type == 0x4107 || type == 0x4109)  // DTMB, DTMB transmodulator
        return {{0x33, 0x34, SingleModBlock(false)}};
    if (type == 0x4106)  // DVB-T
        return {{0x33, 0x34, SingleModBlock(false, true)}};
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
    if (m_status.make && command == m_status.command)
        return m_status.make(m_tick++);
    for (ParamRecordSpec& r : m_records) {
        if (command == r.get)
            return r.initial;
        if (r.set >= 0 && command == r.set) {
            const size_t room = r.initial.size() - std::min(r.setAt, r.initial.size());
            const size_t n = std::min(payload.size(), room);
            if (n > r.keep)
                std::copy(payload.begin() + long(r.keep), payload.begin() + long(n),
                          r.initial.begin() + long(r.setAt + r.keep));
            return Bytes{};
        }
    }
    return std::nullopt;
}

uint8_t ParamStoreSim::ReplyB(uint8_t command) const {
    for (const ParamRecordSpec& r : m_records)
        if (r.get == command)
            return r.replyB;
    return 1;
}

const ParamStoreSim::Bytes* ParamStoreSim::Record(uint8_t get) const {
    for (const ParamRecordSpec& r : m_records)
        if (r.get == get)
            return &r.initial;
    return nullptr;
}

}  // namespace nms::test
