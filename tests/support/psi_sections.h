// Real-looking PSI/SI sections for the tests, built byte by byte (not through the editor's own code).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/device_packet.h"

namespace nms::testing {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, int v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}

// Closes a section: fills section_length (syntax indicator and reserved bits set) and appends the CRC.
inline Bytes Close(Bytes b, uint8_t lengthTopBits = 0xB0) {
    int sectionLength = static_cast<int>(b.size()) - 3 + 4;
    b[1] = static_cast<uint8_t>(lengthTopBits | (sectionLength >> 8));
    b[2] = static_cast<uint8_t>(sectionLength);
    b.resize(b.size() + 4);
    AppendCrc32(b.data(), static_cast<int>(b.size()) - 4);
    return b;
}

inline Bytes Header(uint8_t tableId, int extension, int version, uint8_t topBits = 0xB0) {
    Bytes b{tableId, topBits, 0};
    Put16(b, extension);
    b.push_back(static_cast<uint8_t>(0xC0 | (version << 1) | 1));
    b.push_back(0);
    b.push_back(0);
    return b;
}

inline Bytes Descriptor(uint8_t tag, const Bytes& data) {
    Bytes b{tag, static_cast<uint8_t>(data.size())};
    for (uint8_t x : data)
        b.push_back(x);
    return b;
}

// A PAT with a network entry first, then programs 1..n with PMT PIDs 0x100 + i.
inline Bytes MakePat(int programs, int tsid = 0x0421, bool networkEntry = true) {
    Bytes b = Header(0x00, tsid, 3);
    if (networkEntry) {
        Put16(b, 0);
        Put16(b, 0xE010);
    }
    for (int i = 1; i <= programs; ++i) {
        Put16(b, i);
        Put16(b, 0xE000 | (0x100 + i));
    }
    return Close(b);
}

inline Bytes MakePmt(int program = 0x0011) {
    Bytes b = Header(0x02, program, 5);
    Put16(b, 0xE000 | 0x0101);                                      // PCR PID
    Bytes info = Descriptor(0x09, {0x0B, 0x00, 0xE1, 0x23, 0xAA});  // CA descriptor
    Bytes more = Descriptor(0x0E, {0xC0, 0x12, 0x34});              // maximum bitrate
    info.insert(info.end(), more.begin(), more.end());
    Put16(b, 0xF000 | static_cast<int>(info.size()));
    b.insert(b.end(), info.begin(), info.end());
    // video, no descriptors
    b.push_back(0x02);
    Put16(b, 0xE000 | 0x0101);
    Put16(b, 0xF000);
    // audio with a language descriptor
    Bytes lang = Descriptor(0x0A, {'e', 'n', 'g', 0x00});
    b.push_back(0x03);
    Put16(b, 0xE000 | 0x0102);
    Put16(b, 0xF000 | static_cast<int>(lang.size()));
    b.insert(b.end(), lang.begin(), lang.end());
    // private data with two descriptors
    Bytes priv = Descriptor(0x52, {0x07});
    Bytes sub = Descriptor(0x59, {'f', 'r', 'a', 0x10, 0x00, 0x01, 0x00, 0x02});
    priv.insert(priv.end(), sub.begin(), sub.end());
    b.push_back(0x06);
    Put16(b, 0xE000 | 0x0103);
    Put16(b, 0xF000 | static_cast<int>(priv.size()));
    b.insert(b.end(), priv.begin(), priv.end());
    return Close(b);
}

// CA descriptors with system ids 0x0B00 + k, PIDs 0x0100 + k and k bytes of private data.
inline Bytes MakeCat(int descriptors) {
    Bytes b = Header(0x01, 0xFFFF, 2);
    for (int k = 0; k < descriptors; ++k) {
        Bytes data{0x0B, static_cast<uint8_t>(k), static_cast<uint8_t>(0xE1), static_cast<uint8_t>(k)};
        for (int i = 0; i < k; ++i)
            data.push_back(static_cast<uint8_t>(0xA0 + i));
        Bytes d = Descriptor(0x09, data);
        b.insert(b.end(), d.begin(), d.end());
    }
    return Close(b);
}

inline Bytes MakeNit(const std::string& networkName = "Velmora Cable", bool emptyDescriptor = false) {
    Bytes b = Header(0x40, 0x3001, 7);
    Bytes network = Descriptor(0x40, Bytes(networkName.begin(), networkName.end()));
    if (emptyDescriptor) {
        Bytes empty = Descriptor(0x4A, {});
        network.insert(network.end(), empty.begin(), empty.end());
    }
    Put16(b, 0xF000 | static_cast<int>(network.size()));
    b.insert(b.end(), network.begin(), network.end());
    Bytes loop;
    // cable: 474 MHz (0474.0000 BCD), 64-QAM, 6.875 Msym/s, FEC inner 0xF
    Put16(loop, 0x0421);
    Put16(loop, 0x3001);
    Bytes cable = Descriptor(0x44, {0x04, 0x74, 0x00, 0x00, 0xFF, 0xF2, 0x03, 0x00, 0x68, 0x75, 0x0F});
    Bytes services = Descriptor(0x41, {0x00, 0x01, 0x01, 0x00, 0x02, 0x02});
    Bytes tsd = cable;
    tsd.insert(tsd.end(), services.begin(), services.end());
    Put16(loop, 0xF000 | static_cast<int>(tsd.size()));
    loop.insert(loop.end(), tsd.begin(), tsd.end());
    // satellite: 11.778 GHz, 19.2E, horizontal, 27.5 Msym/s, FEC 3/4
    Put16(loop, 0x0422);
    Put16(loop, 0x0001);
    Bytes sat = Descriptor(0x43, {0x01, 0x17, 0x78, 0x00, 0x01, 0x92, 0x81, 0x02, 0x75, 0x00, 0x03});
    Put16(loop, 0xF000 | static_cast<int>(sat.size()));
    loop.insert(loop.end(), sat.begin(), sat.end());
    Put16(b, 0xF000 | static_cast<int>(loop.size()));
    b.insert(b.end(), loop.begin(), loop.end());
    return Close(b);
}

inline std::string ServiceName(int i) {
    return "Service number " + std::to_string(i) + " with a name longer than thirty-one characters";
}

// Services 1..n, each with a service_descriptor whose names pass 31 characters.
inline Bytes MakeSdt(int services, int tsid = 0x0421) {
    Bytes b = Header(0x42, tsid, 9);
    Put16(b, 0x3001);  // original_network_id
    b.push_back(0xFF);
    for (int i = 1; i <= services; ++i) {
        std::string provider = "Velmora Broadcasting Provider Company";
        std::string name = ServiceName(i);
        Bytes d{0x01, static_cast<uint8_t>(provider.size())};
        d.insert(d.end(), provider.begin(), provider.end());
        d.push_back(static_cast<uint8_t>(name.size()));
        d.insert(d.end(), name.begin(), name.end());
        Bytes loop = Descriptor(0x48, d);
        if (i % 2 == 0) {
            Bytes extra = Descriptor(0x5F, {0x00, 0x00, 0x00, 0x28});
            loop.insert(loop.end(), extra.begin(), extra.end());
        }
        Put16(b, i);
        b.push_back(0xFC | (i % 2 ? 0x01 : 0x03));
        Put16(b, 0x8000 | static_cast<int>(loop.size()));
        b.insert(b.end(), loop.begin(), loop.end());
    }
    return Close(b);
}

}  // namespace nms::testing
