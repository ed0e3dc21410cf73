#include "ird_device_sim.h"

#include <algorithm>
#include <cstring>
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
void Append32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void PutText(std::vector<uint8_t>& b, size_t at, const std::string& text) {
    std::memcpy(b.data() + at, text.data(), text.size());
}

// A satellite input at 1150 MHz, LNB 9750, 27.5 Msym/s, horizontal, 22 kHz on, DiSEqC A. The fourth
// channel reports its tone as 7, as some tuners do: any value but 0 is on, and the pages write it back as 1.
std::vector<uint8_t> InputRecord(int channel) {
    std::vector<uint8_t> r(45, 0);
    Put32(r, 0, 9750000);
    Put32(r, 4, 1150000 + 10000 * uint32_t(channel));
    Put16(r, 8, 27500);
    r[10] = 0;
    r[11] = channel == 3 ? 7 : 1;
    r[12] = 1;
    r[18] = 0x01;  // offers EIT/TDT pass-through
    return r;
}

const char* const kNames[] = {"NEWS-1", "NEWS-2", "Sports HD", "Movie", "News"};

}  // namespace

bool IrdSimDevice::Serves(uint16_t type) {
    switch (type) {
        case 0x5109:
        case 0x5101:
        case 0x7101:
        case 0x7201:
        case 0x5106:
        case 0x5176:
        case 0x5217:
        case 0x5304:
            return true;
        default:
            return false;
    }
}

IrdSimDevice::IrdSimDevice(uint16_t type) : m_type(type) {
    switch (type) {
        case 0x5109:
            m_config = {2};
            break;
        case 0x5101:
            m_config.assign(79, 0);
            m_config[45] = 1;
            m_config[46] = 2;
            break;
        case 0x7101:
            m_config.assign(12, 0);
            m_config[0] = 1;
            break;
        case 0x7201: {
            m_config.assign(196, 0);
            const uint32_t codes[] = {0x00ff18, 0x00ff4a, 0x00ff10, 0x00ff5a, 0x00ff38};
            for (int k = 0; k < 5; ++k)
                Put32(m_config, size_t(4 * k), codes[k]);
            Put16(m_config, 94, 5);
            Put16(m_config, 96, 500);
            Put16(m_config, 98, 300);
            const uint8_t pub[] = {6, 5, 13, 3, 5, 5};  // Menu,1,Ok
            std::copy(std::begin(pub), std::end(pub), m_config.begin() + 100);
            for (auto& t : m_tables)
                t.assign(1408, 0);
            const uint8_t stb[] = {1, 5, 5, 5};  // Up,Ok for STB 2
            std::copy(std::begin(stb), std::end(stb), m_tables[0].begin() + 44);
            Put16(m_config, 92, 2);
            break;
        }
        default:
            break;
    }
    // Receivers: one source block, four inputs, decoders, programs and an output configuration.
    m_source.assign(192, 0);
    m_source[0] = 1;
    const std::vector<uint8_t> record = InputRecord(0);
    std::copy(record.begin(), record.end(), m_source.begin() + 1);
    m_source[1 + 45 + 0] = 239, m_source[1 + 45 + 1] = 1, m_source[1 + 45 + 2] = 1, m_source[1 + 45 + 3] = 1;
    Put16(m_source, 1 + 45 + 4, 1234);
    m_source[1 + 45 + 82] = 1;
    for (int k = 0; k < 4; ++k) {
        m_inputs[size_t(k)] = InputRecord(k);
        m_bitrates[size_t(k)] = 38000;
        m_decoders[size_t(k)].assign(75, 0);
        Bytes& d = m_decoders[size_t(k)];
        d[1] = 3;
        d[2] = 1;
        d[4] = 50, d[5] = 50, d[6] = 50;
        d[8] = 3;
        d[10] = 80;
        d[11] = 0x11, d[12] = 0x12;
    }
    m_output.assign(74, 0);
    Put16(m_output, 0, 0x0001);
    Put16(m_output, 2, 0x0002);
    Put16(m_output, 4, 0);
    Put32(m_output, 6, 38000);
    Put16(m_output, 10, 0x0b00);
    Put16(m_output, 12, 0x0500);
    const size_t size = type == 0x5176 ? 2013 : 2089;
    for (int i = 0; i < 3; ++i) {
        Bytes p(size, 0);
        p[0] = uint8_t(i == 1 ? 1 : 0);
        PutText(p, 1, kNames[i]);
        if (type == 0x5176)
            PutText(p, 33, kNames[i]);
        Put16(p, 67, uint16_t(101 + i));
        Put16(p, 71, uint16_t(0x100 + i));
        p[77] = 2;
        if (type == 0x5176) {
            Put16(p, 75, uint16_t(0x200 + i));
            p[78] = 0x02;
            Put16(p, 78 + 3, uint16_t(0x201 + 16 * i));
            p[78 + 51] = 0x04;
            Put16(p, 78 + 51 + 3, uint16_t(0x202 + 16 * i));
            if (i == 1) {
                p[1710] = 1;
                p[1711] = 0;
                Put16(p, 1712, 0x0300);
            }
        } else {
            Put16(p, 73, uint16_t(0x200 + i));
            p[78] = 0x02;
            Put16(p, 79, uint16_t(0x201 + 16 * i));
            p[78 + 48] = 0x04;
            Put16(p, 78 + 48 + 1, uint16_t(0x202 + 16 * i));
            if (i == 1) {
                p[1614] = 1;
                Put16(p, 1615, 0x0b00);
                Put16(p, 1617, 0x0300);
            }
        }
        m_programs.push_back(std::move(p));
    }
}

std::optional<IrdSimDevice::Reply> IrdSimDevice::Handle(uint8_t command, const Bytes& payload) {
    ++m_tick;
    switch (m_type) {
        case 0x5109:
        case 0x5101:
        case 0x7101:
            return Adapter(command, payload);
        case 0x7201:
            return Stb(command, payload);
        case 0x5106:
        case 0x5176:
            return OneChannel(command, payload);
        case 0x5217:
        case 0x5304:
            return FourChannel(command, payload);
        default:
            return std::nullopt;
    }
}

std::optional<IrdSimDevice::Reply> IrdSimDevice::Adapter(uint8_t command, const Bytes& payload) {
    const uint32_t a = 2048 + m_tick % 7, b = 38000 + 13 * (m_tick % 11);
    switch (command) {
        case 0x33:
            return Reply{1, 1, m_config};
            break;
        case 0x34:
            if (m_type == 0x5109 && !payload.empty())
                m_config[0] = payload[0];
            if (m_type == 0x5101 && payload.size() >= 47) {
                m_config[45] = payload[45];
                m_config[46] = payload[46];
            }
            if (m_type == 0x7101 && payload.size() >= 2) {
                m_config[0] = payload[0];
                m_config[1] = payload[1];
            }
            if (m_type == 0x7101)
                return std::nullopt;  // the distributor does not answer a write
            return Reply{1, 1, {}};
        case 0x40: {
            Bytes s;
            if (m_type == 0x7101) {
                s.push_back(m_config[0] ? uint8_t(m_config[1] ? 2 : 1) : 1);
                for (uint32_t v : {b, a, b / 2, a / 2})
                    Append32(s, v);
            } else {
                Append32(s, a);
                Append32(s, b);
                // One lock bit per line in use; a mode byte beyond the four lines locks them all.
                const unsigned lines = std::min<unsigned>(m_config[0], 4);
                s.push_back(m_type == 0x5109 ? uint8_t(0x10 | ((1u << lines) - 1)) : 0x03);
            }
            return Reply{1, 1, s};
        }
        default:
            return std::nullopt;
    }
}

std::optional<IrdSimDevice::Reply> IrdSimDevice::Stb(uint8_t command, const Bytes& payload) {
    switch (command) {
        case 0x33:
            return Reply{1, 1, m_config};
        case 0x34:
            if (payload.size() >= 196)
                m_config.assign(payload.begin(), payload.begin() + 196);
            return Reply{1, 1, {}};
        case 0x45: {
            const int table = payload.empty() ? 1 : payload[0];
            Bytes r = {uint8_t(table)};
            if (table == 1 || table == 2)
                r.insert(r.end(), m_tables[size_t(table - 1)].begin(), m_tables[size_t(table - 1)].end());
            return Reply{1, 1, r};
        }
        case 0x55:
            if (payload.size() >= 1409 && (payload[0] == 1 || payload[0] == 2))
                m_tables[size_t(payload[0] - 1)].assign(payload.begin() + 1, payload.begin() + 1409);
            return Reply{1, 1, {}};
        case 0x43:
            return Reply{1, 1, {}};
        default:
            return std::nullopt;
    }
}

IrdSimDevice::Bytes IrdSimDevice::Status1() const {
    Bytes s(80, 0);
    s[0] = m_source[0];
    s[1] = uint8_t(m_programs.size());
    Put32(s, 2, 38000 + 17 * (m_tick % 9));
    s[6] = 0x47;  // icon, ASI lock, tuner lock, CAM 1
    s[7] = uint8_t(80 + m_tick % 5);
    s[8] = 0;  // dB
    Put32(s, 9, 1250 + 10 * (m_tick % 4));
    Put32(s, 40, 0x1234);
    PutText(s, 45, "Test CAM");
    return s;
}

IrdSimDevice::Bytes IrdSimDevice::Status4() const {
    Bytes s(1 + 4 * 39, 0);
    for (int k = 0; k < 4; ++k) {
        const size_t at = size_t(1 + 39 * k);
        s[at] = 3;
        Put32(s, at + 1, 38000 + 100 * uint32_t(k) + m_tick % 7);
        s[at + 5] = uint8_t(k == 3 ? 0 : (k == 0 ? 0x41 : 0x01));
        Put32(s, at + 8, k % 2 ? 1150 + m_tick % 30 : 80 + m_tick % 5);
        s[at + 28] = uint8_t(k % 2 ? 0 : 1);
    }
    for (int k = 0; k < 4; ++k) {
        const std::string name = k == 0 ? "Slot A" : "";
        s.push_back(uint8_t(name.size()));
        Bytes slot(24, 0);
        std::copy(name.begin(), name.end(), slot.begin());
        s.insert(s.end(), slot.begin(), slot.end());
    }
    return s;
}

std::optional<IrdSimDevice::Reply> IrdSimDevice::OneChannel(uint8_t command, const Bytes& payload) {
    const uint8_t source = payload.empty() ? 1 : payload[0];
    const bool mux = m_type == 0x5176;
    switch (command) {
        case 0x70:
            return Reply{1, 1, m_source};
        case 0x71:
            if (payload.size() == 192)
                std::copy(payload.begin() + 1, payload.end(), m_source.begin() + 1);
            else if (payload.size() == 191)
                std::copy(payload.begin(), payload.end(), m_source.begin() + 1);
            return Reply{1, 1, {}};
        case 0x72:
            return Reply{1, 1, Status1()};
        case 0x20:
            return Reply{1, 1, {source, uint8_t(m_programs.size())}};
        case 0x24: {
            Bytes r = {source, 2};
            if (mux) {
                r.insert(r.end(), {0x0b, 0x00, 0xe3, 0x00, 0x05, 0x00, 0xe4, 0x00});  // big-endian entries
            } else {
                r.insert(r.end(), {0x00, 0x0b, 0x00, 0x05, 0x00, 0x05, 0x01, 0x05});
            }
            return Reply{1, 1, r};
        }
        case 0x25: {
            Bytes r = {source, 1, 0};
            r.resize(43, 0);
            Put16(r, 3, 0x0400);
            return Reply{1, 1, r};
        }
        case 0x33:
            return Reply{1, 1, m_output};
        case 0x34:
            if (payload.size() >= 74)
                m_output.assign(payload.begin(), payload.begin() + 74);
            return Reply{1, 1, {}};
        case 0x21: {
            const int number = payload.size() >= 2 ? payload[1] : 1;
            if (mux && payload.size() >= 2 + 2013)
                return std::nullopt;  // a record the device asked for with 0x63: taken, not answered
            Bytes r = {source, uint8_t(number), uint8_t(m_programs.size())};
            if (number >= 1 && size_t(number) <= m_programs.size())
                r.insert(r.end(), m_programs[size_t(number - 1)].begin(),
                         m_programs[size_t(number - 1)].end());
            return Reply{1, 1, r};
        }
        case 0x22:
            if (!mux && payload.size() >= 2)
                for (size_t i = 0; i < m_programs.size() && 2 + i < payload.size(); ++i)
                    m_programs[i][0] = payload[2 + i];
            return Reply{1, 1, Bytes(mux ? 8 : 0, 0)};
        case 0x23:
            if (payload.size() >= 2 && payload[1] >= 1 && size_t(payload[1]) <= m_programs.size()) {
                Bytes& p = m_programs[size_t(payload[1] - 1)];
                if (payload.size() - 2 >= p.size())
                    std::copy(payload.begin() + 2, payload.begin() + 2 + long(p.size()), p.begin());
            }
            return Reply{1, 1, {}};
        case 0x35:
            // The source selection carries three bytes; one byte asks for the PID pass-through table.
            if (payload.size() < 3)
                return std::nullopt;
            return Reply{1, 1, {source, 1}};
        case 0x39:
            return Reply{1, 1, {}};
        case 0x73: {
            Bytes r = {uint8_t(m_programs.size()), 2};
            r.insert(r.end(), m_decoders[0].begin(), m_decoders[0].end());
            for (size_t i = 0; i < m_programs.size(); ++i) {
                const std::string name = kNames[i];
                r.push_back(uint8_t(name.size()));
                r.insert(r.end(), name.begin(), name.end());
            }
            return Reply{1, 1, r};
        }
        case 0x74:
            if (payload.size() >= 75)
                m_decoders[0].assign(payload.begin(), payload.begin() + 75);
            return Reply{1, 1, {}};
        default:
            return std::nullopt;
    }
}

std::optional<IrdSimDevice::Reply> IrdSimDevice::FourChannel(uint8_t command, const Bytes& payload) {
    const int channel = payload.size() >= 2 ? std::min<int>(payload[1], 3) : 0;
    switch (command) {
        case 0x70: {
            Bytes r = {0, uint8_t(channel)};  // a satellite module
            r.insert(r.end(), m_inputs[size_t(channel)].begin(), m_inputs[size_t(channel)].end());
            Append32(r, m_bitrates[size_t(channel)]);
            return Reply{1, 1, r};
        }
        case 0x71:
            if (payload.size() == 198) {
                for (int k = 0; k < 4; ++k) {
                    const size_t at = size_t(2 + 49 * k);
                    m_inputs[size_t(k)].assign(payload.begin() + long(at), payload.begin() + long(at + 45));
                    m_bitrates[size_t(k)] = uint32_t(payload[at + 45] | payload[at + 46] << 8 |
                                                     payload[at + 47] << 16 | payload[at + 48] << 24);
                }
                return Reply{1, 1, {0x80}};
            }
            if (payload.size() >= 51) {
                m_inputs[size_t(channel)].assign(payload.begin() + 2, payload.begin() + 47);
                return Reply{1, 1, {0, uint8_t(channel)}};
            }
            return Reply{1, 1, {}};
        case 0x72:
            return Reply{1, 1, Status4()};
        case 0x20:
            return Reply{1, 1, {0, uint8_t(channel), 3}};
        case 0x21: {
            const int ch = payload.empty() ? 0 : std::min<int>(payload[0], 3);
            const int index = payload.size() >= 2 ? payload[1] : 0;
            Bytes r = {uint8_t(ch), uint8_t(index), 3};
            Bytes e(51, 0);
            e[0] = uint8_t(index == 1 ? 1 : 0);
            PutText(e, 1, kNames[index % 5]);
            Put16(e, 33, uint16_t(101 + index));
            Put16(e, 35, uint16_t(0x100 + index));
            e[37] = 2;
            e[38] = uint8_t(index == 1 ? 1 : 0);
            Put16(e, 40, uint16_t(0x200 + index));
            Put16(e, 42, uint16_t(0x201 + index));
            Put16(e, 44, uint16_t(0x202 + index));
            e[49] = 0x03;
            e[50] = uint8_t(index + 1);
            r.insert(r.end(), e.begin(), e.end());
            // Byte b: the IP-index features; byte c: index mode on for every channel.
            return Reply{0x83, 0x00, r};
        }
        case 0x22:
            return Reply{1, 1, {}};
        case 0x73: {
            Bytes r = {0, uint8_t(channel), 3, 2};
            r.insert(r.end(), m_decoders[size_t(channel)].begin(), m_decoders[size_t(channel)].end());
            for (int i = 0; i < 3; ++i) {
                const std::string name = kNames[i];
                r.push_back(uint8_t(name.size()));
                r.insert(r.end(), name.begin(), name.end());
            }
            return Reply{1, 1, r};
        }
        case 0x74:
            if (payload.size() >= 77)
                m_decoders[size_t(channel)].assign(payload.begin() + 2, payload.begin() + 77);
            return Reply{1, 1, {}};
        default:
            return std::nullopt;
    }
}

}  // namespace nms::test
