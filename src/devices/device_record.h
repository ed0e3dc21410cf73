// One managed device and its run-time link. The in-memory record is a plain object; the 114-byte record
// of the device list file is produced by an explicit codec (device_list_file.h), never by copying memory.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devices/device_packet.h"

namespace nms {

class IReplyReceiver;  // a page or the configuration-transfer dialog (devices/reply_receiver.h)

constexpr int kDeviceNameBytes = 48;  // at most 47 bytes and a NUL in the file
constexpr uint16_t kDefaultDevicePort = 2009;

// The run-time companion of a record. Every field is guarded by DeviceListMutex().
struct DeviceLink {
    IReplyReceiver* replyWindow = nullptr;  // the page that receives this device's replies
    // The send slot. Made at the first request (kInitialSendBuffer bytes, more when a request needs it):
    // most of fifty thousand listed devices never get one, and 4 KB each would be 200 MB.
    std::vector<uint8_t> sendBuffer;
    int sendLength = 0;                        // 0: nothing to send
    int lastReceivedLength = 0;                // of the last reply packet, without CRC
    IReplyReceiver* transferWindow = nullptr;  // the configuration-transfer dialog while it is open
};

// Shared ownership (DeviceRegistry) lets a page find out whether a record it bound was freed.
struct DeviceRecord : std::enable_shared_from_this<DeviceRecord> {
    std::string nodeName;    // frequency node, code-page bytes, at most 47
    std::string deviceName;  // code-page bytes, at most 47
    uint16_t typeCode = 0;
    uint32_t address = 0;  // IPv4 in network order: the first dotted number is the lowest-addressed byte
    uint16_t port = kDefaultDevicePort;
    std::atomic<int8_t> status{0};  // 0 new, 3 after a heartbeat reply, -1 offline
    std::atomic<uint8_t> busy{0};   // 1 while a page waits for a reply
    std::atomic<uint32_t> version{
        0};  // byte 0: software major, 1: software minor, 2: hardware major, 3: minor
    std::unique_ptr<DeviceLink> link = std::make_unique<DeviceLink>();

    // The four address bytes in dotted order.
    std::array<uint8_t, 4> AddressBytes() const;
    void SetAddressBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
};

// Guards the device list, every send slot and every link field. Held only briefly; never while a reply
// handler runs.
std::mutex& DeviceListMutex();

}  // namespace nms
