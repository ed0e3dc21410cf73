// A received reply as pages read it: the header fields and a payload limited to what arrived. Every
// accessor is checked: a read past the end fails (returns false) and leaves the output untouched.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "devices/byte_io.h"
#include "devices/device_packet.h"

namespace nms {

class ReplyView {
public:
    ReplyView() = default;
    // packet: the bytes of one packet; length: the packet length the link reports (header + payload, the
    // CRC excluded, or the whole datagram for the unchecked 0x3101 replies).
    ReplyView(const uint8_t* packet, int length) {
        if (!packet || length < kPacketHeaderSize)
            return;
        m_packet = packet;
        m_length = length;
        const int declared = packet[5] << 8 | packet[6];
        const int arrived = length - kPacketHeaderSize;
        m_payloadLength = declared < arrived ? declared : arrived;
    }

    // False for an empty view (nothing arrived or less than a header).
    bool IsValid() const { return m_packet != nullptr; }

    uint16_t Type() const { return m_packet ? uint16_t(m_packet[0] << 8 | m_packet[1]) : 0; }
    uint8_t B() const { return m_packet ? m_packet[2] : 0; }
    uint8_t C() const { return m_packet ? m_packet[3] : 0; }
    uint8_t Command() const { return m_packet ? m_packet[4] : 0; }
    // The payload length field as the device sent it.
    int DeclaredLength() const { return m_packet ? (m_packet[5] << 8 | m_packet[6]) : 0; }
    // The payload bytes that may be read: the declared length, bounded by what arrived.
    int PayloadLength() const { return m_payloadLength; }
    const uint8_t* Payload() const { return m_packet ? m_packet + kPacketHeaderSize : nullptr; }
    // The packet as the link stored it (header first).
    const uint8_t* Packet() const { return m_packet; }
    int PacketLength() const { return m_length; }

    // The payload as a bounded reader.
    ByteReader Reader() const { return ByteReader(Payload(), size_t(m_payloadLength)); }

    // True when payload bytes [offset, offset + count) arrived.
    bool Has(int offset, int count) const {
        return offset >= 0 && count >= 0 && offset <= m_payloadLength && count <= m_payloadLength - offset;
    }

    // Payload readers by payload offset (payload byte k is packet byte 7 + k).
    bool U8(int offset, uint8_t* value) const {
        if (!Has(offset, 1))
            return false;
        *value = Payload()[offset];
        return true;
    }
    bool U16BE(int offset, uint16_t* value) const {
        if (!Has(offset, 2))
            return false;
        const uint8_t* p = Payload() + offset;
        *value = uint16_t(p[0] << 8 | p[1]);
        return true;
    }
    bool U16LE(int offset, uint16_t* value) const {
        if (!Has(offset, 2))
            return false;
        const uint8_t* p = Payload() + offset;
        *value = uint16_t(p[1] << 8 | p[0]);
        return true;
    }
    bool U32BE(int offset, uint32_t* value) const {
        if (!Has(offset, 4))
            return false;
        const uint8_t* p = Payload() + offset;
        *value = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        return true;
    }
    bool U32LE(int offset, uint32_t* value) const {
        if (!Has(offset, 4))
            return false;
        const uint8_t* p = Payload() + offset;
        *value = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        return true;
    }
    // Copies count payload bytes from offset into out.
    bool Bytes(int offset, int count, uint8_t* out) const {
        if (!Has(offset, count))
            return false;
        if (count)
            std::memcpy(out, Payload() + offset, size_t(count));
        return true;
    }
    bool Bytes(int offset, int count, std::vector<uint8_t>* out) const {
        if (!Has(offset, count))
            return false;
        out->assign(Payload() + offset, Payload() + offset + count);
        return true;
    }
    // The whole payload as a copy.
    std::vector<uint8_t> PayloadCopy() const {
        return m_payloadLength ? std::vector<uint8_t>(Payload(), Payload() + m_payloadLength)
                               : std::vector<uint8_t>();
    }

private:
    const uint8_t* m_packet = nullptr;
    int m_length = 0;
    int m_payloadLength = 0;
};

}  // namespace nms
