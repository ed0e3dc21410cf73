#include "scrambler_device_sim.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "psi_sections.h"

namespace nms::test {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put16Be(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}
void Put32Le(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
void Put32Be(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * (3 - i)));
}
void Append32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void PutText(std::vector<uint8_t>& b, size_t at, const std::string& text) {
    std::memcpy(b.data() + at, text.data(), text.size());
}

const char* const kNames[] = {"NEWS-1", "NEWS-2", "Sports HD", "Movie"};

// A CAS slot of the scramblers' settings blocks (214 bytes).
void FillSlot(std::vector<uint8_t>& b, size_t at, int slot) {
    b[at] = slot == 0 ? 1 : 0;
    b[at + 1] = 0x5a;  // carried as read
    Put32Be(b, at + 3, 0x4ad00000u + uint32_t(slot));
    Put16Be(b, at + 7, uint16_t(slot + 1));
    b[at + 9] = 127, b[at + 10] = 0, b[at + 11] = 0, b[at + 12] = uint8_t(10 + slot);
    Put16Be(b, at + 13, uint16_t(5000 + slot));
    for (int p = 1; p <= 4; ++p)
        Put16(b, at + 13 + 2 * size_t(p), uint16_t(0x1000 + 0x10 * slot + p));
    Put16(b, at + 207, uint16_t(0x200 + slot));
    Put16Be(b, at + 209, uint16_t(6000 + slot));
    Put16Be(b, at + 211, uint16_t(6100 + slot));
    b[at + 213] = uint8_t(slot & 1);
}

// An AC table image of the 2-byte-count form with two entries.
std::vector<uint8_t> AcImage(int table) {
    std::vector<uint8_t> b(2048, 0);
    const std::string n1 = "AC" + std::to_string(table) + "-1", n2 = "AC" + std::to_string(table) + "-2";
    size_t pos = 2;
    for (const std::string& name : {n1, n2}) {
        b[pos++] = uint8_t(name.size());
        PutText(b, pos, name);
        pos += name.size();
        b[pos++] = 3;
        b[pos++] = uint8_t(table);
        b[pos++] = 0xa5;
        b[pos++] = uint8_t(name.back());
    }
    Put16Be(b, 0, 2);
    return b;
}

}  // namespace

bool ScramblerSimDevice::Serves(uint16_t type) {
    switch (type) {
        case 0x3102:  // ASI QAM modulator with scrambler
        case 0x3101:  // ASI scrambler
        case 0x4144:  // the scrambling QAM modulators and multiplexers
        case 0x4164:
        case 0x4154:
        case 0x4125:
        case 0x3104:
        case 0x3105:
        case 0x4117:
        case 0x4236:
        case 0x4208:
        case 0x4153:
            return true;
        default:
            return false;
    }
}

bool ScramblerSimDevice::ParseQuirk(const std::string& text, Quirks* quirks) {
    if (text == "misnumber") {
        quirks->misnumber = true;
    } else if (text == "two-channel") {
        quirks->twoChannel = true;
    } else if (text.rfind("ac-steps:", 0) == 0 && text.size() > 9 &&
               text.find_first_not_of("0123456789", 9) == std::string::npos && text.size() <= 12) {
        quirks->acSteps = std::stoi(text.substr(9));
        return quirks->acSteps <= 255;
    } else {
        return false;
    }
    return true;
}

ScramblerSimDevice::ScramblerSimDevice(uint16_t type, const Quirks& quirks) : m_type(type), m_quirks(quirks) {
    for (int t = 0; t < 4; ++t)
        m_ac[size_t(t)] = AcImage(t + 1);
    m_marks.assign(1024, 0);
    if (type == 0x3102) {
        m_block.assign(1249, 0);
        for (int s = 0; s < 4; ++s)
            FillSlot(m_block, size_t(214 * s), s);
        Put16Be(m_block, 1112, 10);  // encrypt period
        m_block[1114] = 3;
        Put16(m_block, 1115, 0x0101);  // TS ID
        m_block[1117] = 0x77;          // carried as read
        Put16(m_block, 1119, 1234);
        for (int p = 0; p < 3; ++p) {
            std::vector<uint8_t> r(267, 0);
            r[0] = 0x11;
            PutText(r, 1, kNames[p]);
            Put16(r, 65, uint16_t(101 + p));
            Put16(r, 71, uint16_t(0x100 * (p + 1)));
            Put16(r, 75, uint16_t(0x100 * (p + 1) + 1));
            r[77] = p == 2 ? 3 : 2;
            for (int e = 0; e < r[77]; ++e) {
                r[size_t(82 + 5 * e)] = e == 0 ? 0x02 : 0x04;
                Put16(r, size_t(82 + 5 * e + 3), uint16_t(0x100 * (p + 1) + 1 + e));
            }
            r[200] = 0x33;  // carried as read
            m_programs.push_back(r);
        }
        m_masks = {0x1, 0x0, 0x2};
        for (size_t p = 0; p < m_masks.size(); ++p)
            for (size_t i = 0; i < 4; ++i)
                m_block[856 + 4 * p + i] = uint8_t(m_masks[p] >> (8 * i));
        // Program 2's audio carries the cross.
        const uint16_t pid = 0x202;
        m_marks[pid / 8] |= uint8_t(0x80 >> (pid % 8));
    }
    if (type != 0x3101 && type != 0x3102 && Serves(type))
        InitSas();
    if (type == 0x3101) {
        m_block.assign(1121, 0);
        for (int s = 0; s < 4; ++s)
            FillSlot(m_block, size_t(214 * s), s);
        for (size_t i = 0; i < 4; ++i)
            m_block[1112 + i] = uint8_t(38500u >> (8 * i));  // 38.500 Mbps
        m_block[1116] = 0x42;                                // carried as read
        Put16Be(m_block, 1118, 20);
        m_block[1120] = 2;
        m_masks = {0x1, 0x0};
        for (size_t p = 0; p < m_masks.size(); ++p)
            m_block[856 + 4 * p] = uint8_t(m_masks[p]);
        for (int p = 0; p < 2; ++p) {
            std::vector<uint8_t> r(135, 0);
            Put16(r, 0, uint16_t(201 + p));
            Put16(r, 2, uint16_t(0x100 * (p + 1)));
            Put16(r, 4, uint16_t(0x100 * (p + 1) + 1));
            PutText(r, 6, kNames[p]);
            r[38] = 2;
            for (int e = 0; e < 2; ++e) {
                r[size_t(39 + 3 * e)] = e == 0 ? 0x1b : 0x0f;
                Put16(r, size_t(39 + 3 * e + 1), uint16_t(0x100 * (p + 1) + 1 + e));
            }
            r[134] = 0x66;  // carried as read
            m_programs.push_back(r);
        }
        m_ts.assign(66, 0);
        Put16(m_ts, 0, 0x0321);
        m_ts[4] = 0x04;  // SDT off
        m_ts[10] = 0x5c;
        m_cw.assign(832, 0);
        m_cw[0] = 1, m_cw[1] = 1;
        for (int p = 1; p <= 2; ++p)
            for (int i = 0; i < 8; ++i)
                m_cw[size_t(56 + 8 * p + i)] = uint8_t(0x10 * p + i);
        const uint16_t pid = 0x202;
        m_marks[pid / 8] |= uint8_t(0x80 >> (pid % 8));
    }
}

std::optional<ScramblerSimDevice::Reply> ScramblerSimDevice::Handle(uint8_t command, uint8_t b, uint8_t c,
                                                                    const Bytes& payload) {
    if (m_type == 0x3102)
        return QamScrambler(command, b, c, payload);
    if (m_type == 0x3101)
        return StandAlone(command, b, c, payload);
    if (Serves(m_type))
        return SasModulator(command, b, c, payload);
    return std::nullopt;
}

ScramblerSimDevice::Reply ScramblerSimDevice::AcPage(uint8_t table, uint8_t half) {
    // The header counts the pages of a read (b, odd for a first half in the pages' orders) and says how
    // many the read has (c).
    // (1, 1) begins a read, except inside a misnumbered one, which may come back to it.
    const bool begins = table == 1 && half == 1 && (!m_quirks.misnumber || m_acStep >= m_quirks.acSteps);
    m_acStep = begins ? 1 : m_acStep + 1;
    if (m_quirks.misnumber && m_type == 0x3102 && m_acStep == 2 && !m_acMisnumbered) {
        m_acMisnumbered = true;
        table = 1, half = 1;
    }
    Reply r;
    r.b = uint8_t(m_acStep);
    r.c = uint8_t(m_quirks.acSteps);
    r.payload = {table, half};
    if (table >= 1 && table <= 4 && half >= 1 && half <= 2) {
        const Bytes& image = m_ac[size_t(table - 1)];
        r.payload.insert(r.payload.end(), image.begin() + (half - 1) * 1024, image.begin() + half * 1024);
    } else {
        r.payload.resize(1026, 0);
    }
    return r;
}

std::optional<ScramblerSimDevice::Reply> ScramblerSimDevice::QamScrambler(uint8_t command, uint8_t b, uint8_t,
                                                                          const Bytes& payload) {
    Reply r;
    switch (command) {
        case 0x20:
            return r;
        case 0x21: {
            const int n = int(m_programs.size());
            int i = payload.empty() ? 1 : payload.size() >= 2 ? 1 : payload[0];
            if (m_quirks.misnumber && i == 3 && !m_programMisnumbered) {
                m_programMisnumbered = true;
                i = 1;
            }
            r.payload = {uint8_t(i), uint8_t(n)};
            if (n == 0 || i < 1 || i > n) {
                r.payload.resize(2 + 4 + 267, 0);
                return r;
            }
            Append32(r.payload, m_masks[size_t(i - 1)]);
            r.payload.insert(r.payload.end(), m_programs[size_t(i - 1)].begin(),
                             m_programs[size_t(i - 1)].end());
            return r;
        }
        case 0x24:
            r.payload = m_block;
            return r;
        case 0x37:
            r.payload = m_marks;
            return r;
        case 0x50:
            if (payload.size() < 2)
                return std::nullopt;
            return AcPage(payload[0], payload[1]);
        case 0x25:
            if (payload.size() >= m_block.size()) {
                std::copy(payload.begin(), payload.begin() + long(m_block.size()), m_block.begin());
                for (size_t p = 0; p < m_masks.size(); ++p)
                    m_masks[p] = uint32_t(m_block[856 + 4 * p]) | uint32_t(m_block[857 + 4 * p]) << 8 |
                                 uint32_t(m_block[858 + 4 * p]) << 16 | uint32_t(m_block[859 + 4 * p]) << 24;
            }
            ++m_writes;
            return r;
        case 0x23:
            if (payload.size() >= 268 && payload[0] >= 1 && payload[0] <= m_programs.size())
                std::copy(payload.begin() + 1, payload.begin() + 268,
                          m_programs[size_t(payload[0] - 1)].begin());
            return r;
        case 0x38:
            if (payload.size() >= 1024)
                std::copy(payload.begin(), payload.begin() + 1024, m_marks.begin());
            return r;
        case 0x51:
            if (payload.size() >= 1026 && payload[0] >= 1 && payload[0] <= 4 && payload[1] >= 1 &&
                payload[1] <= 2)
                std::copy(payload.begin() + 2, payload.begin() + 1026,
                          m_ac[size_t(payload[0] - 1)].begin() + (payload[1] - 1) * 1024);
            return r;
        case 0x26: {
            ++m_tick;
            const uint16_t rate = uint16_t(25000 + (m_tick % 7) * 10);
            r.payload = {0x11, uint8_t(rate >> 8), uint8_t(rate), uint8_t(m_tick & 1 ? 2 : 0), 0, 0, 0};
            return r;
        }
        default:
            return std::nullopt;
    }
    (void)b;
}

std::optional<ScramblerSimDevice::Reply> ScramblerSimDevice::StandAlone(uint8_t command, uint8_t, uint8_t,
                                                                        const Bytes& payload) {
    Reply r;
    switch (command) {
        case 0x20:
        case 0x30:
            return r;
        case 0x21:
        case 0x31: {
            const int n = int(m_programs.size());
            const int k = payload.size() >= 2 ? payload[1] : 1;
            r.b = uint8_t(k);
            r.c = uint8_t(n);
            r.payload = {1, uint8_t(k), uint8_t(n)};
            if (k < 1 || k > n)
                return r;
            Append32(r.payload, m_masks[size_t(k - 1)]);
            r.payload.insert(r.payload.end(), m_programs[size_t(k - 1)].begin(),
                             m_programs[size_t(k - 1)].end());
            return r;
        }
        case 0x24:
            r.payload = m_block;
            return r;
        case 0x22:
            if (payload.size() < 2)
                return std::nullopt;
            return AcPage(payload[0], payload[1]);
        case 0x40:
            r.payload = m_ts;
            r.payload.insert(r.payload.end(), m_marks.begin(), m_marks.end());
            return r;
        case 0x42:
            r.payload = m_cw;
            return r;
        case 0x25:
            if (payload.size() >= m_block.size())
                std::copy(payload.begin(), payload.begin() + long(m_block.size()), m_block.begin());
            ++m_writes;
            return r;
        case 0x41:
            if (payload.size() >= 1090) {
                std::copy(payload.begin(), payload.begin() + 66, m_ts.begin());
                std::copy(payload.begin() + 66, payload.begin() + 1090, m_marks.begin());
            }
            return r;
        case 0x43:
            if (payload.size() >= 832)
                std::copy(payload.begin(), payload.begin() + 832, m_cw.begin());
            return r;
        case 0x2f:
            if (payload.size() >= 137 && payload[0] >= 1 && payload[0] <= m_programs.size())
                std::copy(payload.begin() + 2, payload.begin() + 137,
                          m_programs[size_t(payload[0] - 1)].begin());
            return r;
        case 0x23:
        case 0x33:
            if (payload.size() >= 1026 && payload[0] >= 1 && payload[0] <= 4 && payload[1] >= 1 &&
                payload[1] <= 2)
                std::copy(payload.begin() + 2, payload.begin() + 1026,
                          m_ac[size_t(payload[0] - 1)].begin() + (payload[1] - 1) * 1024);
            return r;
        case 0x2d:
            r.payload = m_cat.empty() ? nms::testing::MakeCat(2) : m_cat;
            return r;
        case 0x29: {
            r.payload = {1, payload.size() >= 2 ? payload[1] : uint8_t(1)};
            const Bytes pmt = m_pmt.empty() ? nms::testing::MakePmt(0x11) : m_pmt;
            r.payload.insert(r.payload.end(), pmt.begin(), pmt.end());
            return r;
        }
        case 0x2e:
            m_cat = payload;
            return r;
        case 0x2a:
            if (payload.size() > 2)
                m_pmt.assign(payload.begin() + 2, payload.end());
            return r;
        case 0x26: {
            ++m_tick;
            const uint16_t rate = uint16_t(25000 + (m_tick % 7) * 10);
            r.payload = {uint8_t(0x0f | (m_tick & 1 ? 0x30 : 0x10)), uint8_t(rate >> 8), uint8_t(rate)};
            return r;
        }
        default:
            return std::nullopt;
    }
}

int ScramblerSimDevice::SasVariant(uint16_t type) {
    switch (type) {
        case 0x4144:
            return 0;
        case 0x4164:
            return 18;
        case 0x4125:
            return 35;
        case 0x3104:
            return 19;
        case 0x4117:
            return 98;
        case 0x4236:
        case 0x4208:
            return 88;
        case 0x4153:
            return 102;
        default:
            return 17;
    }
}

// A program record of the scrambling modulators (283 bytes; the 322-byte entry and the 286-byte record
// carry the same fields, the latter three bytes further on): name, ids, two streams and their codes.
static std::vector<uint8_t> SasRecord(size_t size, int shift, int number, uint8_t channelBits,
                                      uint32_t codes) {
    std::vector<uint8_t> r(size, 0);
    const size_t s = size_t(shift);
    r[0] = channelBits;
    PutText(r, 33 + s, kNames[number % 4]);
    Put16(r, 67 + s, uint16_t(301 + number));
    Put16(r, 71 + s, uint16_t(0x500 + 0x10 * number));
    Put16(r, 75 + s, uint16_t(0x501 + 0x10 * number));
    r[77 + s] = 2;
    r[78 + s] = 1;  // AC index of CAS 1
    Put16(r, 82 + s, uint16_t(0x1500 + number));
    for (int i = 0; i < 4; ++i)
        r[90 + s + size_t(i)] = uint8_t(codes >> (8 * i));
    for (int e = 0; e < 2; ++e) {
        r[98 + s + 5 * size_t(e)] = e == 0 ? 0x02 : 0x04;
        Put16(r, 98 + s + 5 * size_t(e) + 3, uint16_t(0x501 + 0x10 * number + e));
    }
    return r;
}

void ScramblerSimDevice::InitSas() {
    m_variant = SasVariant(m_type);
    m_casBlock.assign(202, 0);
    for (int slot = 0; slot < 4; ++slot) {
        const size_t at = size_t(44 * slot);
        m_casBlock[at] = slot == 0 ? 1 : 0;
        Put32Be(m_casBlock, at + 1, 0x4ad00000u + uint32_t(slot));
        Put16Be(m_casBlock, at + 5, uint16_t(slot + 1));
        m_casBlock[at + 7] = 127, m_casBlock[at + 10] = uint8_t(20 + slot);
        Put16(m_casBlock, at + 11, uint16_t(5000 + slot));
        Put16(m_casBlock, at + 13, uint16_t(0x300 + slot));
        Put16Be(m_casBlock, at + 15, uint16_t(6000 + slot));
        Put16Be(m_casBlock, at + 17, uint16_t(6100 + slot));
        m_casBlock[at + 19] = uint8_t(slot & 1);
        m_casBlock[at + 30] = 0x3c;  // carried as read
    }
    Put16(m_casBlock, 176, 15);
    m_casBlock[178] = 1;
    m_casBlock[190] = 0x7e;
    m_casBlock[200] = 0xab, m_casBlock[201] = 0xcd;  // the trailing word
    for (int t = 0; t < 4; ++t) {
        std::vector<uint8_t> img(2048, 0);
        size_t pos = 3;
        for (int k = 1; k <= 2; ++k) {
            const std::string name = "AC" + std::to_string(t + 1) + "-" + std::to_string(k);
            img[pos++] = uint8_t(name.size());
            PutText(img, pos, name);
            pos += name.size();
            img[pos++] = 2;
            img[pos++] = uint8_t(t);
            img[pos++] = uint8_t(k);
        }
        Put16Be(img, 0, uint16_t(pos));
        img[2] = 2;
        m_ac[size_t(t)] = img;
    }
    if (m_variant == 102) {
        // Two modules; program 0 on outputs 1 and 2 and scrambled, program 1 on output 2 in the clear.
        std::vector<uint8_t> a = SasRecord(286, 3, 0, 0, 0x5);
        Put32Le(a, 0, 0x00010003u);
        std::vector<uint8_t> b = SasRecord(286, 3, 1, 0, 0);
        Put32Le(b, 0, 0x00000002u);
        m_outputRecords = {a, b};
        return;
    }
    if (m_variant == 88) {
        for (int p = 0; p < 3; ++p)
            m_acIndexes[size_t(4 * p)] = uint8_t(p % 2);
        return;
    }
    const bool entries = m_variant == 0;
    const size_t size = entries ? 322 : 283;
    // Channel A: a program with its video checked, a program with both streams crossed; channel B: one
    // program in the clear. Byte 0 as the page writes it back (channel bit, bit 4 with a check mark).
    m_channels[0] = {SasRecord(size, 0, 0, entries ? 1 : 0x11, 0x1),
                     SasRecord(size, 0, 1, entries ? 2 : 0x01, 0xA)};
    m_channels[1] = {SasRecord(size, 0, 2, entries ? 0 : 0x02, 0x0)};
    if (m_quirks.twoChannel && !entries)
        m_channels[0][1][0] = 0x05;
    for (int c = 0; c < 4; ++c)
        m_headers[size_t(c)].assign(m_channels[size_t(c)].size(), {uint8_t(0x40 + c), 0x01});
}

std::optional<ScramblerSimDevice::Reply> ScramblerSimDevice::SasModulator(uint8_t command, uint8_t, uint8_t,
                                                                          const Bytes& payload) {
    Reply r;
    switch (command) {
        case 0x24:
            r.payload.assign(16, 0);
            if (m_variant == 102)
                r.payload[1] = 2;
            for (int c = 0; c < 4 && m_variant == 0; ++c)
                r.payload[size_t(4 * c)] = uint8_t(c + 1);
            r.payload.insert(r.payload.end(), m_casBlock.begin(), m_casBlock.end());
            return r;
        case 0x25: {
            const size_t skip = m_variant == 88 ? 16 : 0;
            if (payload.size() >= skip + 202)
                std::copy(payload.begin() + long(skip), payload.begin() + long(skip + 202),
                          m_casBlock.begin());
            ++m_writes;
            r.payload = {0};
            return r;
        }
        case 0x50: {
            if (payload.size() < 2 || payload[0] > 3 || payload[1] > 1)
                return std::nullopt;
            r.payload = {payload[0], payload[1]};
            const Bytes& img = m_ac[payload[0]];
            r.payload.insert(r.payload.end(), img.begin() + payload[1] * 1024,
                             img.begin() + (payload[1] + 1) * 1024);
            return r;
        }
        case 0x51:
            if (payload.size() < 1026 || payload[0] > 3 || payload[1] > 1)
                return std::nullopt;
            std::copy(payload.begin() + 2, payload.begin() + 1026,
                      m_ac[payload[0]].begin() + payload[1] * 1024);
            r.payload = {payload[0], 0, 0};
            return r;
        case 0x20: {
            const uint8_t c = payload.empty() ? 0 : payload[0] & 3;
            r.payload = {c, 0, 0, uint8_t(m_channels[c].size()), 0x3};
            return r;
        }
        case 0x21: {
            if (payload.size() == 12 && m_type == 0x4208) {  // the probe of the encoder-modulators
                r.payload = {8};
                return r;
            }
            if (m_variant == 88) {
                r.payload.assign(16, 0);
                r.payload[0] = 3;
                r.payload.insert(r.payload.end(), m_acIndexes.begin(), m_acIndexes.end());
                return r;
            }
            if (m_variant == 102) {
                if (payload.size() < 12)
                    return std::nullopt;
                const int index = payload[8] << 8 | payload[9];
                r.payload.assign(11, 0);
                r.payload[7] = 1;
                r.payload[8] = payload[8], r.payload[9] = payload[9];
                if (index >= int(m_outputRecords.size())) {
                    r.payload[10] = 0xFF;
                    return r;
                }
                r.payload.insert(r.payload.end(), m_outputRecords[size_t(index)].begin(),
                                 m_outputRecords[size_t(index)].end());
                return r;
            }
            if (payload.size() < 2)
                return std::nullopt;
            const uint8_t c = payload[0] & 3, i = payload[1];
            const auto& list = m_channels[c];
            r.payload = {c, i, uint8_t(list.size())};
            if (i < list.size()) {
                if (m_variant != 0)
                    r.payload.insert(r.payload.end(), m_headers[c][i].begin(), m_headers[c][i].end());
                r.payload.insert(r.payload.end(), list[i].begin(), list[i].end());
            }
            return r;
        }
        case 0x22:
            if (payload.size() >= 80)
                std::copy(payload.begin() + 16, payload.begin() + 80, m_acIndexes.begin());
            return r;
        case 0x23: {
            if (m_variant == 102) {
                if (payload.size() >= 12 + 286 && payload[10] < m_outputRecords.size())
                    std::copy(payload.begin() + 12, payload.begin() + 298,
                              m_outputRecords[payload[10]].begin());
                return r;
            }
            if (m_variant == 0) {
                if (payload.size() >= 2 + 322 && payload[0] < 4 && payload[1] < m_channels[payload[0]].size())
                    std::copy(payload.begin() + 2, payload.begin() + 324,
                              m_channels[payload[0]][payload[1]].begin());
                r.payload = {payload.empty() ? uint8_t(0) : payload[0],
                             payload.size() > 1 ? payload[1] : uint8_t(0), 0};
                return r;
            }
            // The record variants: the program is known by its service id.
            if (payload.size() >= 3 + 283) {
                const uint16_t sid = uint16_t(payload[3 + 67] | payload[3 + 68] << 8);
                for (auto& list : m_channels)
                    for (auto& rec : list)
                        if (uint16_t(rec[67] | rec[68] << 8) == sid)
                            std::copy(payload.begin() + 3, payload.begin() + 286, rec.begin());
            }
            return r;
        }
        case 0x26:
            ++m_tick;
            r.payload = {uint8_t(m_tick & 1 ? 0x13 : 0x11)};
            return r;
        default:
            return std::nullopt;
    }
}

}  // namespace nms::test
