#include "encoder_device_sim.h"

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
void PutText(std::vector<uint8_t>& b, size_t at, const std::string& text) {
    std::memcpy(b.data() + at, text.data(), text.size());
}

bool IsSd(uint16_t type) {
    return type == 0x1101 || type == 0x1102;
}

// How the multi-channel encoders answer: the record version, the channel count of version 3, and the
// board variant of version 0.
struct MultiKind {
    uint16_t type;
    uint8_t version;
    uint8_t channels;
    uint8_t board;
};
constexpr MultiKind kMulti[] = {
    {0x1115, 3, 4, 0}, {0x1815, 3, 8, 0}, {0x1855, 3, 12, 0}, {0x4256, 3, 8, 0},
    {0x4202, 0, 4, 2}, {0x4101, 0, 1, 0}, {0x4107, 0, 1, 0},  {0x4106, 0, 1, 0},
};

const MultiKind* MultiOf(uint16_t type) {
    for (const MultiKind& k : kMulti)
        if (k.type == type)
            return &k;
    return nullptr;
}

// The service of channel k: program k + 1, PMT 0x100 + k, video 0x200 + 16k, audio 0x300 + 16k, PCR as
// video, 8 Mbit/s, names "Provider" and "Program k+1".
void PutService(std::vector<uint8_t>& b, size_t at, int k, bool hdLayout) {
    if (hdLayout) {  // bitrate, SDT byte, provider, name, program number, PIDs
        Put16(b, at, 8000);
        b[at + 2] = 1;
        PutText(b, at + 3, "Provider");
        PutText(b, at + 35, "Program " + std::to_string(k + 1));
        Put16(b, at + 67, uint16_t(k + 1));
        Put16(b, at + 69, uint16_t(0x100 + k));
        Put16(b, at + 71, uint16_t(0x200 + 16 * k));
        Put16(b, at + 73, uint16_t(0x300 + 16 * k));
        Put16(b, at + 75, uint16_t(0x200 + 16 * k));
        return;
    }
    Put16(b, at, 8000);
    Put16(b, at + 2, uint16_t(k + 1));
    Put16(b, at + 4, uint16_t(0x100 + k));
    Put16(b, at + 6, uint16_t(0x200 + 16 * k));
    Put16(b, at + 8, uint16_t(0x300 + 16 * k));
    Put16(b, at + 10, uint16_t(0x200 + 16 * k));
    b[at + 13] = 1;
    PutText(b, at + 14, "Provider");
    PutText(b, at + 46, "Program " + std::to_string(k + 1));
}

// Stores a Set payload into a record: from `from` in the payload, at most the record's size.
void Store(std::vector<uint8_t>& record, const std::vector<uint8_t>& payload, size_t from, size_t at = 0) {
    if (payload.size() <= from || at >= record.size())
        return;
    const size_t n = std::min(payload.size() - from, record.size() - at);
    std::copy_n(payload.begin() + long(from), n, record.begin() + long(at));
}

}  // namespace

bool EncoderSimDevice::Serves(uint16_t type) {
    return IsSd(type) || type == 0x1105 || MultiOf(type) != nullptr;
}

EncoderSimDevice::EncoderSimDevice(uint16_t type) : m_type(type) {
    for (int k = 0; k < 4; ++k) {
        Bytes& video = m_video[size_t(k)];
        video.assign(25, 0);
        video[0] = 0, video[1] = 2, video[2] = 1, video[3] = 3;  // CVBS, PAL, video, IBBP
        for (int i = 4; i < 12; ++i)
            video[size_t(i)] = 128;
        video[7] = 0xf0;  // hue -16
        video[14] = 2, video[15] = 9;
        Bytes& audio = m_audio[size_t(k)];
        audio.assign(16, 0);
        audio[0] = 1, audio[1] = 1, audio[2] = 3, audio[3] = 0, audio[5] = 1;
        m_system[size_t(k)].assign(90, 0);
        PutService(m_system[size_t(k)], 0, k, false);
    }
    m_identity.assign(134, 0);
    Put16(m_identity, 0, 1);
    Put16(m_identity, 2, 0x22);
    Put16(m_identity, 4, 1234);

    m_hdAv.assign(131, 0);
    m_hdAv[0] = 0, m_hdAv[1] = 11, m_hdAv[2] = 3, m_hdAv[3] = 1, m_hdAv[4] = 1, m_hdAv[6] = 8;
    m_hdAv[8] = 10;
    for (int i = 9; i < 14; ++i)
        m_hdAv[size_t(i)] = 128;
    m_hdSystem.assign(211, 0);
    PutService(m_hdSystem, 0, 0, true);
    Put16(m_hdSystem, 77, 1);
    Put16(m_hdSystem, 79, 0x22);
    Put16(m_hdSystem, 81, 1234);

    if (const MultiKind* kind = MultiOf(type)) {
        for (int k = 0; k < 16; ++k) {
            Bytes& image = m_channels[size_t(k)];
            image.assign(345, 0);
            image[6] = kind->channels;
            image[7] = kind->version;
            image[8] = uint8_t(k);
            uint8_t* block = image.data() + 9;
            if (kind->version == 3) {
                block[1] = 5;                  // 1920*1080*50i
                block[2] = 192, block[3] = 0;  // 192 kbit/s
                block[4] = 1, block[6] = 40, block[7] = 4, block[8] = 1, block[9] = 20;
            } else {
                block[1] = 5, block[2] = kind->board == 2 ? 192 : 3, block[3] = 1;
                block[5] = kind->board == 2 ? 40 : 8;
                block[7] = kind->board;
                block[8] = 20;
                block[9] = 100, block[10] = 0, block[11] = 0;
            }
            PutService(image, 140, k, true);
            PutText(image, 140 + 77, "1920x1080i50");
        }
    }
}

std::optional<EncoderSimDevice::Bytes> EncoderSimDevice::Sd(uint8_t command, const Bytes& payload) {
    const bool four = m_type == 0x1102;
    // The four-channel encoder names the channel (1-4) in front; without one it means the first.
    size_t channel = 0;
    if (four && !payload.empty() && payload[0] >= 1 && payload[0] <= 4)
        channel = size_t(payload[0] - 1);
    const size_t from = four && !payload.empty() ? 1 : 0;
    auto reply = [&](const Bytes& record) {
        const size_t at = four ? 1 : 0;
        Bytes out(record.size() + at, uint8_t(channel + 1));
        std::copy(record.begin(), record.end(), out.begin() + long(at));
        return out;
    };
    switch (command) {
        case 0x60:
            return reply(m_video[channel]);
        case 0x61:
            Store(m_video[channel], payload, from);
            return Bytes{};
        case 0x62:
            return reply(m_audio[channel]);
        case 0x63:
            Store(m_audio[channel], payload, from);
            return Bytes{};
        case 0x64:
            return reply(m_system[channel]);
        case 0x65:
            Store(m_system[channel], payload, from);
            return Bytes{};
        default:
            break;
    }
    if (four)
        return std::nullopt;
    switch (command) {
        case 0x33:
            return m_identity;
        case 0x34:
            Store(m_identity, payload, 0);
            return Bytes{};
        case 0x40: {
            Bytes status(16, 0);
            Put32(status, 8, 8000 + (m_tick * 137) % 900);
            status[12] = m_tick % 5 == 4 ? 1 : 0;
            ++m_tick;
            return status;
        }
        default:
            return std::nullopt;
    }
}

std::optional<EncoderSimDevice::Bytes> EncoderSimDevice::Hd(uint8_t command, const Bytes& payload) {
    switch (command) {
        case 0x60:
            return m_hdAv;
        case 0x61:
            Store(m_hdAv, payload, 0);
            return Bytes{};
        case 0x64:
            return m_hdSystem;
        case 0x65:
            Store(m_hdSystem, payload, 0);
            return Bytes{};
        case 0x40: {
            const std::string format = "1920x1080i50";
            Bytes status(8 + format.size() + 1, 0);
            Put32(status, 0, 8000 + (m_tick * 137) % 900);
            status[4] = m_tick % 4 == 3 ? 0x00 : 0x01;  // HDMI locked, now and then lost
            ++m_tick;
            PutText(status, 8, format);
            return status;
        }
        default:
            return std::nullopt;
    }
}

std::optional<EncoderSimDevice::Bytes> EncoderSimDevice::MultiChannel(uint8_t command, const Bytes& payload) {
    if (payload.size() < 9)
        return std::nullopt;
    const size_t channel = payload[8] < 16 ? payload[8] : 0;
    Bytes& image = m_channels[channel];
    if (command == 0x60)
        return image;
    if (command == 0x61) {
        // The header (marker, count, version, channel) stays the device's own.
        Store(image, payload, 9, 9);
        return Bytes{};
    }
    return std::nullopt;
}

std::optional<EncoderSimDevice::Bytes> EncoderSimDevice::Handle(uint8_t command, const Bytes& payload) {
    if (IsSd(m_type))
        return Sd(command, payload);
    if (m_type == 0x1105)
        return Hd(command, payload);
    if (command == 0x60 || command == 0x61)
        return MultiChannel(command, payload);
    return std::nullopt;
}

}  // namespace nms::test
