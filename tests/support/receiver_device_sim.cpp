#include "receiver_device_sim.h"

#include <algorithm>
#include <string>

namespace nms::test {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// DVB-S/S2 input page variants by device type: records read, the mode byte of the reply, an IP block.
struct DvbsProfile {
    uint16_t type;
    int records;
    uint8_t mode;
    bool ip;
};
constexpr DvbsProfile kDvbs[] = {
    {0x5103, 8, 0, true},  {0x4125, 8, 0, true}, {0x4126, 8, 0, true},   {0x4187, 8, 0, true},
    {0x2103, 6, 2, false}, {0x2133, 8, 0, true}, {0x2143, 16, 0, false}, {0x2125, 16, 0, false},
};

const DvbsProfile* DvbsOf(uint16_t type) {
    for (const DvbsProfile& p : kDvbs)
        if (p.type == type)
            return &p;
    return nullptr;
}

bool IsTuner8x(uint16_t type) {
    return type == 0x2105 || type == 0x2115 || type == 0x2236;
}

// A satellite input: 11.7 GHz + 20 MHz per channel, LNB 10600 MHz, 27.5 Msym/s, vertical, 22 kHz on,
// DiSEqC A..D; the kept bytes carry a pattern so that a write shows whether they came back.
void FillTunerRecord(std::vector<uint8_t>& r, size_t at, int size, int channel) {
    for (int i = 13; i < size; ++i)
        r[at + size_t(i)] = uint8_t(0x30 + i + channel);
    Put32(r, at, 10600000);
    Put32(r, at + 4, 11700000 + 20000 * uint32_t(channel));
    Put16(r, at + 8, 27500);
    r[at + 10] = 1;
    r[at + 11] = 1;
    r[at + 12] = uint8_t(1 + channel % 4);
    if (size == 29)
        r[at + 17] = uint8_t(channel % 2);
}

}  // namespace

bool ReceiverSimDevice::Serves(uint16_t type) {
    if (DvbsOf(type) || IsTuner8x(type))
        return true;
    switch (type) {
        case 0x4154:
        case 0x4153:
        case 0x3105:
        case 0x4127:
        case 0x4157:
        case 0x5217:
        case 0x5104:
        case 0x5124:
            return true;
        default:
            return false;
    }
}

ReceiverSimDevice::ReceiverSimDevice(uint16_t type) : m_type(type) {
    if (const DvbsProfile* p = DvbsOf(type)) {
        m_records = p->records;
        m_recordSize = 29;
        m_mode = p->mode;
        if (p->ip) {
            m_dvbsIp.assign(96, 0);
            const uint8_t head[] = {192, 168, 1, 50, 0x13, 0x88, 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
            std::copy(std::begin(head), std::end(head), m_dvbsIp.begin());
            for (size_t i = 12; i < 96; ++i)
                m_dvbsIp[i] = uint8_t(i);
        }
    } else if (IsTuner8x(type)) {
        m_records = type == 0x2115 ? 16 : 8;
        m_recordSize = 75;
        m_mode = type == 0x2115 ? 16 : 8;
    }
    m_tuners.assign(size_t(m_records * m_recordSize), 0);
    for (int k = 0; k < m_records; ++k)
        FillTunerRecord(m_tuners, size_t(k * m_recordSize), m_recordSize, k);
    m_map = {0, 1, 2, 3, 4, 5, 6, 7};
}

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::Handle(uint8_t command, const Bytes& payload) {
    ++m_tick;
    if (m_records) {
        if (auto r = m_recordSize == 29 ? Dvbs(command, payload) : Tuner8x(command, payload))
            return r;
    }
    if (m_type == 0x4153)
        if (auto r = Qam16(command, payload))
            return r;
    if (auto r = IpPages(command, payload))
        return r;
    return Gateway(command, payload);
}

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::Dvbs(uint8_t command, const Bytes& payload) {
    switch (command) {
        case 0x70: {
            Bytes r = m_tuners;
            if (!m_dvbsIp.empty()) {
                r.push_back(0xA0);
                r.insert(r.end(), m_dvbsIp.begin(), m_dvbsIp.end());
            }
            return Reply{m_mode, 1, r};
        }
        case 0x71: {
            size_t records = payload.size() / 29;
            // Records, then optionally the marker and the 96-byte block.
            if (payload.size() % 29 && payload.size() >= 97 && (payload.size() - 97) % 29 == 0 &&
                payload[payload.size() - 97] == 0xA0) {
                records = (payload.size() - 97) / 29;
                if (!m_dvbsIp.empty())
                    std::copy(payload.end() - 96, payload.end(), m_dvbsIp.begin());
            }
            const size_t n = std::min(records * 29, m_tuners.size());
            std::copy(payload.begin(), payload.begin() + long(n), m_tuners.begin());
            return Reply{1, 1, {}};
        }
        case 0x72:
            return Reply{uint8_t(m_type == 0x2143 || m_type == 0x2125 ? 6 : 2), 1, DvbsStatus()};
        default:
            return std::nullopt;
    }
}

ReceiverSimDevice::Bytes ReceiverSimDevice::DvbsStatus() const {
    const uint8_t q = uint8_t(9 + m_tick % 3), h = uint8_t(m_tick * 7 % 100);
    if (m_records == 16) {
        Bytes s(98, 0);
        s[0] = 0xff;
        s[1] = uint8_t(0x7f ^ (m_tick % 2));
        for (int n = 0; n < 16; ++n) {
            s[size_t(6 + 6 * n)] = uint8_t(q + n % 5);
            s[size_t(7 + 6 * n)] = h;
        }
        return s;
    }
    if (m_type == 0x5103) {
        Bytes s(21, 0);
        for (int n = 0; n < 4; ++n) {
            Put32(s, size_t(5 * n), uint32_t(26000 + 100 * n) << 16 | uint32_t(26500 + 100 * n));
            s[size_t(5 * n + 4)] = uint8_t(q + n);
        }
        s[20] = 0x0b;
        return s;
    }
    Bytes s(49, 0);
    for (int n = 0; n < 6; ++n)
        s[size_t(4 + 5 * n)] = uint8_t(q + n);
    s[30] = m_records == 6 ? 0x3f : 0xff;
    s[37] = 0x03;
    s[41] = uint8_t(q + 6), s[42] = h;
    s[47] = uint8_t(q + 7), s[48] = h;
    return s;
}

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::Tuner8x(uint8_t command, const Bytes& payload) {
    switch (command) {
        case 0x70:
            if (m_type == 0x2236)
                return std::nullopt;
            return Reply{m_mode, 1, m_tuners};
        case 0x71: {
            const size_t n = std::min(payload.size(), m_tuners.size());
            std::copy(payload.begin(), payload.begin() + long(n), m_tuners.begin());
            return Reply{1, 1, {}};
        }
        case 0x72:
            return Reply{uint8_t(m_type == 0x2115 ? 16 : 8), 1, SignalStatus()};
        case 0x33:
            return Reply{1, 1, m_map};
        case 0x34:
            if (payload.size() >= 8)
                m_map.assign(payload.begin(), payload.begin() + 8);
            return Reply{1, 1, {}};
        default:
            return std::nullopt;
    }
}

ReceiverSimDevice::Bytes ReceiverSimDevice::SignalStatus() const {
    const bool sixteen = m_type == 0x2115;
    Bytes s(sixteen ? 131 : 74, 0);
    s[0] = sixteen ? 0 : 1;  // hundredths of a dB, or percent
    s[1] = uint8_t(0xff ^ (m_tick % 2 ? 0x80 : 0));
    uint32_t total = 0;
    for (int k = 0; k < 8; ++k) {
        const uint32_t packets = 2600 + 10 * uint32_t(k) + m_tick % 13;
        total += packets;
        Put32(s, size_t(2 + 8 * k), packets);
        Put32(s, size_t(6 + 8 * k), sixteen ? 70 + uint32_t(k) : 1150 + 10 * uint32_t(k) + m_tick % 20);
    }
    if (sixteen) {
        s[66] = 0x0f;
        for (int k = 0; k < 8; ++k) {
            Put32(s, size_t(67 + 8 * k), 1300 + uint32_t(k));
            Put32(s, size_t(71 + 8 * k), 60 + uint32_t(k));
        }
    } else {
        Put32(s, 70, total);
    }
    return s;
}

namespace {

bool IsIpInputType(uint16_t type) {
    return type == 0x4154 || type == 0x4153 || type == 0x3105 || type == 0x4127 || type == 0x4187;
}

// The TS-over-IP block: source 192.168.1.100:1234, MAC 00-1a-2b-3c-4d-5e, gateway 192.168.1.1, mask
// 255.255.255.0; destinations 239.1.1.k:1234 + k, every other channel enabled.
std::vector<uint8_t> MakeIpBlock(uint16_t type) {
    const bool input = IsIpInputType(type);
    std::vector<uint8_t> b(input ? 500 : 957, 0);
    const uint8_t head[] = {192,  168,  1,   100, 0xd2, 0x04, 0x00, 0x1a, 0x2b, 0x3c,
                            0x4d, 0x5e, 192, 168, 1,    1,    255,  255,  255,  0};
    std::copy(std::begin(head), std::end(head), b.begin());
    const int channels = input ? (type == 0x4187 ? 8 : 64) : 128;
    const size_t enables = input ? 20 : 21, entries = input ? 52 : 61;
    for (int k = 0; k < channels; ++k) {
        const size_t at = entries + 7 * size_t(k);
        b[at] = 239, b[at + 1] = 1, b[at + 2] = 1, b[at + 3] = uint8_t(k + 1);
        Put16(b, at + 4, uint16_t(1234 + k));
        if (k % 2 == 0)
            b[enables + size_t(k / 8)] |= uint8_t(1u << (k % 8));
    }
    if (input) {
        b[50] = uint8_t(channels);
        for (size_t i = 28; i < 50; ++i)
            b[i] = uint8_t(i);
    } else {
        uint8_t mode = 0;
        switch (type) {
            case 0x2115:
                mode = 16;
                break;
            case 0x2236:
                mode = 2;
                break;
            case 0x5217:
                mode = 8;
                break;
            case 0x4125:
            case 0x4126:
            case 0x4157:
                mode = 4;
                break;
            default:
                break;
        }
        b[20] = mode;
        for (size_t i = 37; i < 61; ++i)
            b[i] = uint8_t(i);
    }
    return b;
}

}  // namespace

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::IpPages(uint8_t command, const Bytes& payload) {
    // Only the types whose "TS over IP" or "IP IN" page is the channel-table page.
    static const uint16_t kIpTypes[] = {0x2105, 0x2115, 0x2236, 0x4125, 0x4126, 0x4157,
                                        0x5217, 0x4154, 0x4153, 0x3105, 0x4127, 0x4187};
    if (std::find(std::begin(kIpTypes), std::end(kIpTypes), m_type) == std::end(kIpTypes))
        return std::nullopt;
    if (m_ipBlock.empty())
        m_ipBlock = MakeIpBlock(m_type);
    switch (command) {
        case 0x58:
            return Reply{1, 1, m_ipBlock};
        case 0x59:
            if (payload.size() == m_ipBlock.size())
                m_ipBlock = payload;
            return Reply{1, 1, {}};
        case 0x26: {
            if (!IsIpInputType(m_type))
                return std::nullopt;
            // Enabled channels are locked, but one of them drops out now and then.
            Bytes r(9, 0);
            for (int i = 0; i < 8; ++i)
                r[size_t(1 + i)] = m_ipBlock[20 + size_t(i)];
            r[1] = uint8_t(r[1] & ~(m_tick % 3 == 0 ? 0x04 : 0));
            return Reply{1, 1, r};
        }
        default:
            return std::nullopt;
    }
}

namespace {

// The IP-ASI gateway: output to 239.1.1.10:1234, input 239.2.2.20:5000 (both on), local 192.168.1.60,
// gateway and mask as dotted texts, MAC 00-1a-2b-3c-4d-60, a second input 239.3.3.30:5002.
std::vector<uint8_t> IpAsiBlock() {
    std::vector<uint8_t> b(102, 0);
    const uint8_t head[] = {239, 1, 1, 10, 0xd2, 0x04, 1, 239, 2, 2, 20, 0x88, 0x13, 1, 192, 168, 1, 60};
    std::copy(std::begin(head), std::end(head), b.begin());
    const std::string gateway = "192.168.1.1", mask = "255.255.255.0";
    std::copy(gateway.begin(), gateway.end(), b.begin() + 18);
    std::copy(mask.begin(), mask.end(), b.begin() + 50);
    const uint8_t mac[] = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x60};
    std::copy(std::begin(mac), std::end(mac), b.begin() + 82);
    Put16(b, 88, 4000);
    b[92] = 0x5a, b[93] = 0xa5;
    Put16(b, 95, 5002);
    b[97] = 1;
    b[98] = 239, b[99] = 3, b[100] = 3, b[101] = 30;
    return b;
}

// Eight channels to 239.10.0.k:1234 + k, odd ones enabled; record 0 carries the local settings.
std::vector<uint8_t> Asi2IpRecords() {
    std::vector<uint8_t> b(992, 0);
    for (int k = 0; k < 8; ++k) {
        const size_t at = 124 * size_t(k);
        b[at] = 239, b[at + 1] = 10, b[at + 2] = 0, b[at + 3] = uint8_t(k + 1);
        Put16(b, at + 4, uint16_t(1234 + k));
        b[at + 6] = uint8_t(k % 2);
        for (size_t i = 34; i < 124; ++i)
            b[at + i] = uint8_t(i + k);
    }
    const uint8_t local[] = {192,  168,  1,   70,  0xa0, 0x0f, 0x00, 0x1a, 0x2b, 0x3c,
                             0x4d, 0x70, 192, 168, 1,    1,    255,  255,  255,  0};
    std::copy(std::begin(local), std::end(local), b.begin() + 14);
    return b;
}

}  // namespace

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::Gateway(uint8_t command, const Bytes& payload) {
    const bool asi2ip = m_type == 0x5124;
    if (m_type != 0x5104 && !asi2ip)
        return std::nullopt;
    if (m_gateway.empty())
        m_gateway = asi2ip ? Asi2IpRecords() : IpAsiBlock();
    switch (command) {
        case 0x58: {
            Bytes r = m_gateway;
            if (asi2ip)
                r.insert(r.begin(), 0);
            return Reply{1, 1, r};
        }
        case 0x59:
            if (payload.size() == m_gateway.size() + (asi2ip ? 1 : 0))
                m_gateway.assign(payload.end() - long(m_gateway.size()), payload.end());
            return Reply{1, 1, {}};
        case 0x40: {
            Bytes s;
            if (asi2ip) {
                s.assign(33, 0);
                s[0] = 0;
                for (int k = 0; k < 8; ++k) {
                    const bool on = m_gateway[124 * size_t(k) + 6] != 0;
                    s[0] = uint8_t(s[0] | (on ? 1u << k : 0));
                    Put32(s, size_t(1 + 4 * k), on ? 38000 + 100 * uint32_t(k) + m_tick % 50 : 0);
                }
            } else {
                s.assign(9, 0);
                s[0] = m_tick % 5 == 0 ? 0x01 : 0x03;
                Put32(s, 1, 38000 + (m_tick * 37) % 500);
                Put32(s, 5, 26000 + (m_tick * 53) % 800);
            }
            return Reply{1, 1, s};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace nms::test

namespace nms::test {
namespace {

// A program of the modular QAM modulator: input and output names, service id, PMT and PCR PIDs, a video and
// an audio stream; routed to the QAM outputs in mask.
std::vector<uint8_t> QamProgram(const std::string& name, uint16_t sid, uint32_t mask) {
    std::vector<uint8_t> r(286, 0);
    Put32(r, 0, mask);
    std::copy(name.begin(), name.end(), r.begin() + 4);
    Put16(r, 68, sid), Put16(r, 70, sid);
    Put16(r, 72, uint16_t(0x100 + sid)), Put16(r, 74, uint16_t(0x100 + sid));
    Put16(r, 76, uint16_t(0x200 + sid)), Put16(r, 78, uint16_t(0x200 + sid));
    r[80] = 2;
    r[101] = 0x02, Put16(r, 102, uint16_t(0x200 + sid)), Put16(r, 104, uint16_t(0x200 + sid));
    r[106] = 0x04, Put16(r, 107, uint16_t(0x300 + sid)), Put16(r, 109, uint16_t(0x300 + sid));
    return r;
}

}  // namespace

// Two modules; channel 1 carries three programs (the first on QAM-01), channel 3 one.
std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::Qam16(uint8_t command, const Bytes& payload) {
    if (m_qamPrograms.empty())
        m_qamPrograms = {QamProgram("NEWS-1", 101, 0x1), QamProgram("NEWS-2", 102, 0),
                         QamProgram("Sports HD", 103, 0), QamProgram("News", 301, 0x20)};
    auto channelOf = [&]() { return payload.size() >= 10 ? payload[8] << 8 | payload[9] : -1; };
    auto programsOf = [&](int channel) -> std::vector<size_t> {
        if (channel == 0)
            return {0, 1, 2};
        if (channel == 2)
            return {3};
        return {};
    };
    // The scrambler page of the same device uses these command codes too: its program requests carry 1 in
    // byte 7 and its CAS read has 17 bytes (this page sends 8 zero bytes first, 9 bytes for 0x24). Those
    // are the scrambler's to answer.
    if ((payload.size() > 7 && payload[7] == 1) || (command == 0x24 && payload.size() > 9))
        return std::nullopt;
    switch (command) {
        case 0x24: {
            Bytes r(225, 0);
            r[8] = 2;
            r[23] = 1, r[24] = 0x00, r[25] = 0x00, r[26] = 0x0b, r[27] = 0x00;  // CAS 1: 0x0B00
            return Reply{1, 1, r};
        }
        case 0x20: {
            const int channel = channelOf();
            Bytes r(20, 0);
            r[15] = uint8_t(channel >> 8), r[16] = uint8_t(channel);
            r[19] = programsOf(channel).empty() ? 0 : 1;
            return Reply{1, 1, r};
        }
        case 0x21: {
            const int channel = channelOf();
            const int index = payload.size() >= 11 ? payload[10] : 0;
            const auto programs = programsOf(channel);
            Bytes r(19, 0);
            r[15] = uint8_t(channel >> 8), r[16] = uint8_t(channel), r[17] = uint8_t(index);
            r[18] = uint8_t(programs.size());
            if (size_t(index) < programs.size()) {
                const Bytes& p = m_qamPrograms[programs[size_t(index)]];
                r.insert(r.end(), p.begin(), p.end());
            }
            return Reply{1, 1, r};
        }
        case 0x22: {
            const int channel = channelOf();
            const int index = payload.size() >= 11 ? payload[10] : 0;
            const auto programs = programsOf(channel);
            if (payload.size() < 15 || size_t(index) >= programs.size())
                return std::nullopt;
            Bytes& p = m_qamPrograms[programs[size_t(index)]];
            std::copy(payload.begin() + 11, payload.begin() + 15, p.begin());
            Bytes r(22, 0);
            r[15] = uint8_t(channel >> 8), r[16] = uint8_t(channel), r[17] = uint8_t(index);
            std::copy(p.begin(), p.begin() + 4, r.begin() + 18);
            r.insert(r.end(), p.begin(), p.end());
            return Reply{1, 1, r};
        }
        case 0x23: {
            const int channel = channelOf();
            const int index = payload.size() >= 11 ? payload[10] : 0;
            const auto programs = programsOf(channel);
            if (payload.size() >= 12 + 286 && size_t(index) < programs.size())
                std::copy(payload.begin() + 12, payload.begin() + 12 + 286,
                          m_qamPrograms[programs[size_t(index)]].begin());
            return Reply{1, 1, Bytes(8, 0)};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace nms::test
