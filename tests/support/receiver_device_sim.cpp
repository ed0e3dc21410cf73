#include "receiver_device_sim.h"

#include <algorithm>

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
    {0x5103, 8, 0, false}, {0x4125, 8, 0, true},  {0x4126, 8, 0, true},   {0x4187, 8, 0, true},
    {0x2103, 6, 2, false}, {0x2133, 8, 0, false}, {0x2143, 16, 0, false}, {0x2125, 16, 0, false},
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

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::IpPages(uint8_t, const Bytes&) {
    return std::nullopt;
}

std::optional<ReceiverSimDevice::Reply> ReceiverSimDevice::Gateway(uint8_t, const Bytes&) {
    return std::nullopt;
}

}  // namespace nms::test
