// The device protocol's packet: big-endian type code, sequencing bytes b and c, command, big-endian
// payload length, payload, big-endian CRC-32/MPEG-2 over everything before it. One packet per datagram.
#pragma once

#include <cstdint>
#include <functional>

namespace nms {

struct DeviceRecord;

constexpr int kPacketHeaderSize = 7;
constexpr int kPacketCrcSize = 4;
constexpr int kPacketOverhead = kPacketHeaderSize + kPacketCrcSize;  // 11: the empty request
constexpr int kMaxPayload = 65535;
constexpr int kInitialSendBuffer = 4096;

// CRC-32/MPEG-2: polynomial 0x04C11DB7, initial 0xFFFFFFFF, MSB first, no reflection, no final XOR.
void Crc32Mpeg2(const uint8_t* data, int length, uint32_t* result);
uint32_t Crc32Mpeg2(const uint8_t* data, int length);

// Writes the CRC of buffer[0, length) big-endian at buffer[length, length + 4); returns length + 4.
int AppendCrc32(uint8_t* buffer, int length);

// Frames a packet at destination (which must hold 11 + n bytes) and stores its length through
// packetLength as the very last step.
void BuildPacket(uint16_t type, uint8_t command, uint8_t b, uint8_t c, uint8_t* destination,
                 int* packetLength, const uint8_t* payload, uint16_t n);

// 1 when the device's status counter is above 0, else -1.
int IsDeviceOnline(const DeviceRecord* device);

// Results of SendCommand / SendCommandEx.
enum : int {
    kSendQueued = 1,
    kSendNoDevice = -3,
    kSendOffline = -2,
    kSendPayloadTooLong = -4,  // more than 65535 payload bytes: nothing queued
    kSendSlotTaken = -5,       // a poll that gave way to a page's request (see SendPollCommand)
};

// Queues one request in the device's send slot (a newer request replaces an unsent one) and wakes the
// network thread. A null payload with n > 0 frames a packet whose header says 0.
int SendCommand(uint8_t command, uint8_t b, uint8_t c, DeviceRecord* device, const uint8_t* payload, int n);
// As SendCommand; the online test is made only when checkOnline is not 0.
int SendCommandEx(uint8_t command, uint8_t b, uint8_t c, DeviceRecord* device, const uint8_t* payload, int n,
                  int16_t checkOnline);

// A status poll (sequencing bytes 1, 1): queued only for an online device that no page waits on and whose
// send slot is empty, so a poll can never replace a request that is still waiting to go out.
int SendPollCommand(uint8_t command, DeviceRecord* device, const uint8_t* payload, int n);

// Who is woken when a request was queued (the network thread), with the device whose slot was filled.
// Empty: nobody.
void SetSendWaker(std::function<void(DeviceRecord*)> waker);

}  // namespace nms
