#include "encoder_multi_sim.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace nms::test {
namespace {

constexpr int kNarrowSize = 126;
constexpr int kWideSize = 149;
constexpr int kMagnumSize = 384;
constexpr int kTranscoderSize = 156;
constexpr int kProgramSize = 263;
constexpr int kLineSize = 180;
constexpr int kLinesPerPacket = 5;
constexpr int kMaxScriptLines = 120;

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

// MPEG-2 D1 PAL, 3.5 Mbit/s CBR, MPEG-1 Layer 2 at 48 kHz and 192 kbit/s, SDT inserted.
std::vector<uint8_t> NarrowRecord(int ch) {
    std::vector<uint8_t> r(kNarrowSize, 0);
    Put16(r, 0, uint16_t(ch + 1));
    Put16(r, 2, uint16_t(0x100 + 0x10 * ch));
    Put16(r, 4, uint16_t(0x101 + 0x10 * ch));
    Put16(r, 6, uint16_t(0x101 + 0x10 * ch));
    r[8] = 1;
    r[9] = 2;
    r[10] = 3;
    r[11] = 128, r[12] = 128, r[13] = 128;
    Put16(r, 20, 3500);
    Put16(r, 23, uint16_t(0x102 + 0x10 * ch));
    r[25] = 1;
    r[26] = 2;
    r[27] = 5;
    r[29] = 1;
    PutText(r, 30, "velmora");
    PutText(r, 62, "Channel " + std::to_string(ch + 1));
    return r;
}

// H.264 Main level 3.1, 720*576i at 25 fps, 2.5 Mbit/s, IPPP, MPEG-1 audio at 192 kbit/s.
std::vector<uint8_t> WideRecord(int ch) {
    std::vector<uint8_t> r(kWideSize, 0);
    Put16(r, 0, uint16_t(ch + 1));
    Put16(r, 2, uint16_t(0x100 + 0x10 * ch));
    Put16(r, 4, uint16_t(0x101 + 0x10 * ch));
    Put16(r, 6, uint16_t(0x101 + 0x10 * ch));
    Put16(r, 8, uint16_t(0x102 + 0x10 * ch));
    r[10] = 1;
    r[11] = 2;
    r[12] = 1;
    Put16(r, 13, 2500);
    r[18] = 2;
    r[19] = 31;
    Put16(r, 20, 720);
    Put16(r, 22, 576);
    r[25] = 1;
    r[26] = 25;
    r[41] = 3;
    Put16(r, 43, 192);
    r[52] = 1;
    PutText(r, 53, "velmora");
    PutText(r, 85, "Channel " + std::to_string(ch + 1));
    // ECM PIDs 0x1F00 + 0x10 * channel + k; every second channel scrambled with the first scrambler.
    for (int k = 0; k < 4; ++k)
        Put16(r, size_t(118 + 2 * k), uint16_t(0x1f00 + 0x10 * ch + k));
    r[126] = ch % 2 == 0 ? 0x01 : 0x00;
    return r;
}

// H.264 at 720*576, 25 fps, 3 Mbit/s, MPEG-1 Layer II at 48 kHz, the rescaler off.
std::vector<uint8_t> MagnumRecord(int ch) {
    std::vector<uint8_t> r(kMagnumSize, 0);
    r[0] = 1;
    Put16(r, 35, uint16_t(0x101 + 0x10 * ch));
    r[42] = 1;
    Put32(r, 45, 3000);
    r[113] = 2;
    Put16(r, 126, uint16_t(0x102 + 0x10 * ch));
    r[128] = 1;
    r[131] = 8;
    Put16(r, 163, uint16_t(ch + 1));
    Put16(r, 165, uint16_t(0x100 + 0x10 * ch));
    Put16(r, 167, uint16_t(0x101 + 0x10 * ch));
    PutText(r, 170, "Magnum " + std::to_string(ch + 1));
    PutText(r, 202, "velmora");
    r[250] = 1;
    r[256] = 1;
    r[257] = 128;
    return r;
}

// Transcode H.264 to MPEG-2 at 4 Mbit/s, audio passed through.
std::vector<uint8_t> TranscoderRecord(int ch) {
    std::vector<uint8_t> r(kTranscoderSize, 0);
    r[1] = 1;
    Put16(r, 3, 4000);
    r[11] = 1;
    r[13] = 5;
    Put16(r, 14, uint16_t(0x100 + 0x10 * ch));
    Put16(r, 16, uint16_t(0x101 + 0x10 * ch));
    Put16(r, 18, uint16_t(0x102 + 0x10 * ch));
    Put16(r, 20, uint16_t(0x101 + 0x10 * ch));
    Put16(r, 25, uint16_t(ch + 1));
    PutText(r, 27, "velmora");
    PutText(r, 59, "Transcode " + std::to_string(ch + 1));
    return r;
}

// An ASI input program: MPEG-2 video and MPEG-1 audio; the second one scrambled.
std::vector<uint8_t> AsiProgramRecord(int index) {
    std::vector<uint8_t> r(kProgramSize, 0);
    const std::string name = "ASI " + std::to_string(index);
    PutText(r, 1, name);
    Put16(r, 65, uint16_t(100 + index));
    Put16(r, 67, uint16_t(100 + index));
    for (size_t at : {69, 71})
        Put16(r, at, uint16_t(0x200 + 0x10 * index));
    for (size_t at : {73, 75})
        Put16(r, at, uint16_t(0x201 + 0x10 * index));
    r[77] = 2;
    r[78] = 2;
    Put16(r, 79, uint16_t(0x201 + 0x10 * index));
    Put16(r, 81, uint16_t(0x201 + 0x10 * index));
    r[83] = 3;
    Put16(r, 84, uint16_t(0x202 + 0x10 * index));
    Put16(r, 86, uint16_t(0x202 + 0x10 * index));
    if (index == 2) {
        r[238] = 1;
        Put16(r, 239, 0x0b00);
        Put16(r, 247, 0x1ff0);
        Put16(r, 255, 0x1ff0);
    }
    return r;
}

}  // namespace

EncoderMultiSim::Kind EncoderMultiSim::KindOf(uint16_t type) {
    switch (type) {
        case 0x1808:
        case 0x4208:
        case 0x4203:
            return Kind::kNarrow;
        case 0x1303:
        case 0x4236:
            return Kind::kWide;
        case 0x1301:
        case 0x1302:
            return Kind::kMagnum;
        default:
            return Kind::kNone;
    }
}

bool EncoderMultiSim::Serves(uint16_t type) {
    switch (type) {
        case 0x1102:
        case 0x1115:
        case 0x1815:
        case 0x1855:
            return true;
        default:
            return KindOf(type) != Kind::kNone;
    }
}

EncoderMultiSim::EncoderMultiSim(uint16_t type) {
    const Kind kind = KindOf(type);
    int channels = 8;
    if (type == 0x4203 || type == 0x1301)
        channels = 4;
    else if (type == 0x1303)
        channels = 16;
    else if (type == 0x4236)
        channels = 12;
    const bool asi = type == 0x1102 || type == 0x1808 || type == 0x1303 || type == 0x1115 || type == 0x1815 ||
                     type == 0x1855;
    Init(kind, channels, asi);
}

EncoderMultiSim::EncoderMultiSim(Kind kind, int channels, bool asi) {
    Init(kind, channels, asi);
}

void EncoderMultiSim::Init(Kind kind, int channels, bool asi) {
    m_kind = kind;
    m_channels = channels;
    m_asi = asi;
    for (int ch = 0; ch < 16; ++ch) {
        switch (kind) {
            case Kind::kNarrow:
                m_records.push_back(NarrowRecord(ch));
                break;
            case Kind::kWide:
                m_records.push_back(WideRecord(ch));
                break;
            case Kind::kMagnum:
                if (ch < 8)
                    m_records.push_back(MagnumRecord(ch));
                break;
            case Kind::kTranscoder:
                if (ch < 8)
                    m_records.push_back(TranscoderRecord(ch));
                break;
            case Kind::kNone:
                break;
        }
    }
    if (kind == Kind::kMagnum) {
        for (int pair = 0; pair < 4; ++pair)
            for (const char* text : {"# channel pair script", "rescaler on"}) {
                Bytes line(kLineSize, 0);
                PutText(line, 0, std::string(text) + " " + std::to_string(pair + 1));
                m_scripts[size_t(pair)].push_back(line);
            }
    }
    if (asi)
        for (int index = 1; index <= 3; ++index)
            m_programs.push_back(AsiProgramRecord(index));
}

std::vector<EncoderMultiSim::Bytes> EncoderMultiSim::ScriptLines(int pair) const {
    std::vector<Bytes> out;
    for (const Bytes& line : m_scripts[size_t(pair)]) {
        const auto end = std::find(line.begin(), line.end(), 0);
        out.emplace_back(line.begin(), end);
    }
    return out;
}

std::optional<EncoderMultiSim::Reply> EncoderMultiSim::Handle(uint8_t command, const Bytes& payload) {
    if (m_asi && command >= 0x20 && command <= 0x26)
        return Asi(command, payload);
    switch (m_kind) {
        case Kind::kNarrow:
        case Kind::kWide:
            return Records(command, payload);
        case Kind::kMagnum:
            return Magnum(command, payload);
        case Kind::kTranscoder:
            return Transcoder(command, payload);
        case Kind::kNone:
            break;
    }
    return std::nullopt;
}

std::optional<EncoderMultiSim::Reply> EncoderMultiSim::Records(uint8_t command, const Bytes& payload) {
    const bool wide = m_kind == Kind::kWide;
    const size_t firstAt = wide ? 8 : 2;
    const size_t size = wide ? kWideSize : kNarrowSize;
    if ((command != 0x60 && command != 0x61) || payload.size() <= firstAt || payload[firstAt] > 14)
        return std::nullopt;
    const int first = payload[firstAt];
    Reply reply;
    reply.payload.assign(firstAt + 1, 0);
    reply.payload[firstAt] = uint8_t(first);
    if (wide)
        reply.payload[0] = uint8_t(m_channels);
    if (command == 0x60) {
        for (int k = 0; k < 2; ++k)
            reply.payload.insert(reply.payload.end(), m_records[size_t(first + k)].begin(),
                                 m_records[size_t(first + k)].end());
    } else {
        for (int k = 0; k < 2; ++k) {
            const size_t at = firstAt + 1 + size_t(k) * size;
            if (payload.size() >= at + size)
                std::copy_n(payload.begin() + long(at), size, m_records[size_t(first + k)].begin());
        }
    }
    return reply;
}

std::optional<EncoderMultiSim::Reply> EncoderMultiSim::Magnum(uint8_t command, const Bytes& payload) {
    Reply reply;
    switch (command) {
        case 0x60:
        case 0x61: {
            if (payload.size() < 3 || payload[2] >= 4)
                return std::nullopt;
            const int block = payload[2];
            reply.payload = {0, 0, uint8_t(block)};
            for (int k = 0; k < 2; ++k) {
                Bytes& record = m_records[size_t(2 * block + k)];
                if (command == 0x60)
                    reply.payload.insert(reply.payload.end(), record.begin(), record.end());
                else if (payload.size() >= 3 + 768)
                    std::copy_n(payload.begin() + 3 + k * kMagnumSize, kMagnumSize, record.begin());
            }
            return reply;
        }
        case 0x62: {
            if (payload.size() < 4 || payload[2] >= 4)
                return std::nullopt;
            const std::vector<Bytes>& lines = m_scripts[payload[2]];
            reply.payload = {0, 0, payload[2], payload[3], uint8_t(lines.size())};
            for (int k = 0; k < kLinesPerPacket; ++k) {
                const size_t line = size_t(payload[3]) + size_t(k);
                const Bytes blank(kLineSize, 0);
                const Bytes& text = line < lines.size() ? lines[line] : blank;
                reply.payload.insert(reply.payload.end(), text.begin(), text.end());
            }
            return reply;
        }
        case 0x63: {
            if (payload.size() < 5 + kLinesPerPacket * kLineSize || payload[2] >= 4)
                return std::nullopt;
            std::vector<Bytes>& lines = m_scripts[payload[2]];
            const size_t first = payload[3], count = std::min<size_t>(payload[4], kMaxScriptLines);
            lines.resize(count, Bytes(kLineSize, 0));
            for (size_t k = 0; k < kLinesPerPacket && first + k < count; ++k)
                lines[first + k].assign(payload.begin() + long(5 + k * kLineSize),
                                        payload.begin() + long(5 + (k + 1) * kLineSize));
            reply.payload = {0, 0, payload[2]};
            return reply;
        }
        case 0x64:
            reply.payload = {'d'};
            return reply;
        case 0x08: {
            // A text log in three segments.
            const uint8_t segment = payload.empty() ? 0 : payload[0];
            if (segment >= 3)
                return std::nullopt;
            const std::string text = "log segment " + std::to_string(segment + 1) + "\r\n";
            reply.payload = {segment, 3, uint8_t(text.size() >> 8), uint8_t(text.size())};
            reply.payload.insert(reply.payload.end(), text.begin(), text.end());
            return reply;
        }
        default:
            return std::nullopt;
    }
}

std::optional<EncoderMultiSim::Reply> EncoderMultiSim::Transcoder(uint8_t command, const Bytes& payload) {
    Reply reply;
    if (command == 0x60) {
        if (payload.size() < 5 || payload[4] >= 8)
            return std::nullopt;
        const Bytes& record = m_records[payload[4]];
        reply.payload = {0, 0, 0, 0, payload[4]};
        reply.payload.insert(reply.payload.end(), record.begin(), record.end());
        return reply;
    }
    if (command == 0x61) {
        if (payload.size() < 4 + kTranscoderSize || payload[3] >= 8)
            return std::nullopt;
        std::copy_n(payload.begin() + 4, kTranscoderSize, m_records[payload[3]].begin());
        reply.payload = {'a'};
        return reply;
    }
    return std::nullopt;
}

std::optional<EncoderMultiSim::Reply> EncoderMultiSim::Asi(uint8_t command, const Bytes& payload) {
    const int total = int(m_programs.size());
    Reply reply;
    const uint8_t index = payload.size() >= 2 ? payload[1] : 0;
    switch (command) {
        case 0x20:
            reply.payload = {1, uint8_t(total), 0, uint8_t(m_noAsi ? 0x80 : 0)};
            return reply;
        case 0x24:
            reply.payload = {1, 1, 0x00, 0x0b, 0xf0, 0x1f};
            return reply;
        case 0x21:
        case 0x22: {
            reply.c = uint8_t(total);
            reply.payload = {1, index, uint8_t(total)};
            if (index < 1 || index > total)
                return reply;
            const Bytes& record = m_programs[size_t(index - 1)];
            reply.payload.insert(reply.payload.end(), record.begin(), record.end());
            return reply;
        }
        case 0x25:
        case 0x26: {
            reply.payload = {1, index};
            if (index < 1 || index > total)
                return reply;
            Bytes& record = m_programs[size_t(index - 1)];
            record[0] = command == 0x25 ? 1 : 0;
            if (command == 0x25)
                reply.payload.insert(reply.payload.end(), record.begin(), record.end());
            return reply;
        }
        case 0x23:
            if (payload.size() < 2 + kProgramSize || index < 1 || index > total)
                return std::nullopt;
            std::copy_n(payload.begin() + 2, kProgramSize, m_programs[size_t(index - 1)].begin());
            reply.payload = {1, index};
            return reply;
        default:
            return std::nullopt;
    }
}

}  // namespace nms::test
