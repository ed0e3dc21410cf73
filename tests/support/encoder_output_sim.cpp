#include "encoder_output_sim.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace nms::test {
namespace {

struct TypePages {
    uint16_t type;
    int output;  // PageParam of the output page, -1 none
    int ipOut;   // PageParam of the TS-over-IP page, -1 none
};

constexpr TypePages kTypes[] = {
    {0x1101, -1, 1},  {0x1102, 2, 2},   {0x1808, 82, 82}, {0x1301, 80, 2},  {0x1302, 81, 81},
    {0x1303, 87, 87}, {0x1105, -1, 1},  {0x1115, 2, 2},   {0x1815, 82, 82}, {0x1855, 87, 87},
    {0x1401, -1, 82}, {0x2125, -1, 2},  {0x5106, -1, 82}, {0x5176, -1, 82}, {0x4122, -1, 97},
    {0x4107, -1, 97}, {0x4106, -1, 97}, {0x4203, 24, -1}, {0x4208, 85, 85}, {0x4202, 24, -1},
    {0x4256, 89, -1}, {0x4236, 88, -1},
};

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
void PutText(std::vector<uint8_t>& b, size_t at, const std::string& text) {
    std::memcpy(b.data() + at, text.data(), text.size());
}
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// SDT and NIT inserted, every channel multiplexed, TS ID 1, ONID 1, 38.000 Mbit/s, a day and a bit of work;
// then the trailer byte.
std::vector<uint8_t> OutputBlock(int channels) {
    std::vector<uint8_t> b(45, 0);
    b[0] = 0x03;
    b[1] = uint8_t(channels >= 8 ? 0xff : (1u << channels) - 1);
    if (channels > 8)
        b[17] = uint8_t((1u << (channels - 8)) - 1);
    Put16(b, 2, 1);
    Put16(b, 4, 1);
    Put32(b, 9, 38000);
    Put32(b, 13, 93784);
    return b;
}

// The DVB-C block of the modulating encoders: 474 MHz, ATT 3.5 dB, 64QAM, 6.875 Msym/s.
std::vector<uint8_t> QamBlock() {
    std::vector<uint8_t> q(23, 0);
    Put32(q, 0, 474000);
    q[4] = 35;
    q[5] = 2;
    Put16(q, 6, 6875);
    return q;
}

// The RF block of one standard: 474 MHz, power 10.5 dB, first entries of the lists but 64QAM and 8K.
std::vector<uint8_t> RfBlock(int standard) {
    std::vector<uint8_t> r(55, 0);
    Put32(r, 0, 474000);
    if (standard == 1) {
        Put16(r, 4, 105);
        Put16(r, 6, 6875);
        r[8] = 2;
        r[11] = 8;
    } else {
        Put16(r, 5, 105);
        r[7] = 2;
        r[13] = 1;
        r[4] = 1;
    }
    return r;
}

// The two-output block: 474 and 482 MHz, both outputs on, ATT 2.0 dB, power 10.5 dB, TS IDs 1 and 2.
std::vector<uint8_t> DualRfBlock() {
    std::vector<uint8_t> r(55, 0);
    Put16(r, 0, 105);
    r[2] = 0x03;
    r[3] = 6;
    Put32(r, 14, 474000);
    Put32(r, 18, 482000);
    r[30] = r[31] = 20;
    r[34] = r[35] = 0x04;
    Put16(r, 38, 1);
    Put16(r, 40, 2);
    Put16(r, 46, 1);
    Put16(r, 48, 1);
    return r;
}

// Destination n at 239.1.1.n:1234 + n, the first enabled; the device at 192.168.1.20.
std::vector<uint8_t> IpRecords(int count) {
    std::vector<uint8_t> b(size_t(159 * count), 0);
    for (int i = 0; i < count; ++i) {
        const size_t r = size_t(159 * i);
        PutText(b, r, "239.1.1." + std::to_string(i + 1));
        b[r + 32] = 239, b[r + 33] = 1, b[r + 34] = 1, b[r + 35] = uint8_t(i + 1);
        Put16(b, r + 100, uint16_t(1235 + i));
        b[r + 146] = i == 0;
    }
    PutText(b, 36, "192.168.001.001");
    PutText(b, 68, "255.255.255.000");
    PutText(b, 102, "192.168.1.20");
    const uint8_t local[] = {192, 168, 1, 20, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::memcpy(b.data() + 134, local, sizeof local);
    Put16(b, 144, 5000);
    const uint8_t gwMask[] = {192, 168, 1, 1, 255, 255, 255, 0};
    std::memcpy(b.data() + 148, gwMask, sizeof gwMask);
    return b;
}

std::vector<uint8_t> IpBlock(int count) {
    std::vector<uint8_t> b(287, 0);
    b[0] = uint8_t(count);
    const uint8_t local[] = {192, 168, 1, 20, 192, 168, 1, 1, 255, 255, 255, 0};
    std::memcpy(b.data() + 8, local, sizeof local);
    Put16(b, 20, 5000);
    const uint8_t mac[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::memcpy(b.data() + 22, mac, sizeof mac);
    for (int i = 0; i < count; ++i) {
        const size_t at = size_t(47 + 15 * i);
        b[at] = 239, b[at + 1] = 1, b[at + 2] = 1, b[at + 3] = uint8_t(i + 1);
        Put16(b, at + 4, uint16_t(1235 + i));
        b[at + 6] = i == 0;
    }
    return b;
}

}  // namespace

bool EncoderOutputSimDevice::Serves(uint16_t type) {
    return std::any_of(std::begin(kTypes), std::end(kTypes),
                       [type](const TypePages& t) { return t.type == type; });
}

EncoderOutputSimDevice::EncoderOutputSimDevice(uint16_t type) : m_type(type) {
    for (const TypePages& t : kTypes)
        if (t.type == type) {
            m_outputParam = t.output;
            m_ipParam = t.ipOut;
        }
    const std::vector<uint8_t> zeros7(7, 0);
    switch (m_outputParam) {
        case 82:
            m_b = 8;
            m_output = OutputBlock(8);
            break;
        case 87: {
            const int count = type == 0x1855 ? 12 : 16;
            m_output = Join({{uint8_t(count)}, zeros7, OutputBlock(count)});
            break;
        }
        case 88:
            m_output = Join({{12, 0, 0, 0, 0, 0, 0, 0}, OutputBlock(12), RfBlock(0)});
            break;
        case 89:
            m_b = 8, m_c = 2;  // eight channels, DTMB
            m_output = Join({OutputBlock(8), DualRfBlock()});
            break;
        case 24:
            // The SD model in DVB-C, the HD model in DTMB.
            m_output = type == 0x4203 ? Join({OutputBlock(4), {1}, QamBlock()})
                                      : Join({OutputBlock(4), {2}, RfBlock(2)});
            break;
        case 85: {
            m_output = Join({OutputBlock(8), {1}, QamBlock()});
            const uint8_t ip[] = {192, 168, 1, 30, 0x04, 0xd2, 0x00, 0x12, 0x09, 0x10, 0x07, 0x33};
            std::memcpy(m_output.data() + 18, ip, sizeof ip);
            break;
        }
        case 80:
        case 2:
            m_output = OutputBlock(4);
            break;
        case 81:
            m_output = OutputBlock(8);
            break;
        default:
            break;
    }
    switch (m_ipParam) {
        case 1:
            m_ipOut = IpRecords(1);
            break;
        case 2:
            m_ipOut = IpRecords(4);
            if (type == 0x2125)
                m_ipOut[147] = 1;  // the gateway sends one stream per destination
            break;
        case 87:
            m_ipOut = IpBlock(type == 0x1855 ? 12 : 16);
            break;
        case -1:
            break;
        default:
            m_ipOut = IpRecords(8);
    }
}

std::vector<uint8_t> EncoderOutputSimDevice::Status() {
    const unsigned t = m_tick++;
    std::vector<uint8_t> s(70, 0);
    Put32(s, 1, 38000 + (t * 137) % 900);
    const bool greenWhenSet = m_outputParam == 2 || m_outputParam == 80;
    // Every few polls channel 2 shows an alarm.
    const uint8_t alarm = t % 4 == 3 ? 0x02 : 0x00;
    s[5] = greenWhenSet ? uint8_t(0x1f & ~alarm) : alarm;
    // The inputs are fine: their lamps go green when set on some models, when clear on others.
    s[6] = (m_outputParam == 24 || m_outputParam == 81) ? 0x01 : 0x00;
    if (m_outputParam == 87 || m_outputParam == 88) {
        s[5] = 0x00;
        s[7] = 0x01;
        Put32(s, 13, 93784 + 2 * t);
        s[18] = alarm;
        s[19] = 0x00;
    }
    if (m_outputParam == 89) {
        for (int i = 0; i < 8; ++i)
            Put32(s, size_t(9 + 4 * i), 4000 + 10 * uint32_t(i) + t % 7);
        Put32(s, 49, 19000 + (t * 53) % 500);
    }
    if (m_type == 0x1855)
        for (int i = 0; i < 12; ++i)
            Put32(s, size_t(22 + 4 * i), 3000 + 10 * uint32_t(i) + t % 5);
    return s;
}

std::optional<EncoderOutputSimDevice::Reply> EncoderOutputSimDevice::Handle(uint8_t command,
                                                                            const Bytes& payload) {
    if (m_outputParam >= 0) {
        switch (command) {
            case 0x33:
                return Reply{m_b, m_c, m_output};
            case 0x34: {
                // The counted models keep their count and standard: the request carries zeros there.
                const size_t keep = (m_outputParam == 87 || m_outputParam == 88) ? 8 : 0;
                if (payload.size() > keep) {
                    if (m_output.size() < payload.size())
                        m_output.resize(payload.size());
                    std::copy(payload.begin() + long(keep), payload.end(), m_output.begin() + long(keep));
                    if (m_outputParam == 24 || m_outputParam == 85)
                        m_output.resize(payload.size());  // the standard byte decides what follows
                }
                return Reply{};
            }
            case 0x40:
                return Reply{m_b, m_c, Status()};
            default:
                break;
        }
    }
    if (m_ipParam >= 0) {
        if (command == 0x58)
            return Reply{1, 1, m_ipOut};
        if (command == 0x59) {
            const size_t n = std::min(payload.size(), m_ipOut.size());
            std::copy_n(payload.begin(), n, m_ipOut.begin());
            return Reply{};
        }
    }
    return std::nullopt;
}

}  // namespace nms::test
