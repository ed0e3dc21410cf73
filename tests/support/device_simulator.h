// Simulated devices for tests, benchmarks and the devsim program: real UDP on loopback addresses
// (127.0.0.x and up), each device with its own address, port and type code. A device answers heartbeats
// (payload and the "saved" bit 7 of byte b configurable), the version request and command 3, answers
// other commands as a test scripts them, can go silent, and sends command 4 or any datagram (malformed
// ones included) on demand.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace nms::test {

// A packet as a simulated device received it.
struct SimPacket {
    uint16_t type = 0;
    uint8_t b = 0, c = 0, command = 0;
    std::vector<uint8_t> payload;
    bool crcOk = false;
};

// What a device sends back.
struct SimReply {
    uint8_t command = 0;
    std::vector<uint8_t> payload;
    uint8_t b = 1, c = 1;
};

// Frames a packet as a device would (type, b, c, command, length, payload, CRC).
std::vector<uint8_t> FramePacket(uint16_t type, uint8_t command, const std::vector<uint8_t>& payload,
                                 uint8_t b = 1, uint8_t c = 1);
// Datagrams a faulty device might send.
enum class Malformation {
    BadCrc,          // one CRC bit flipped
    Short,           // the first 5 bytes only
    WrongType,       // another type code than the device's (CRC valid)
    LengthMismatch,  // the length field claims one byte more than the payload (CRC valid)
};
std::vector<uint8_t> MalformedPacket(Malformation kind, uint16_t type, uint8_t command,
                                     const std::vector<uint8_t>& payload);

// The loopback address (network order) of device number index: 127.0.1.1, 127.0.1.2, ... 127.0.1.254,
// 127.0.2.1, ...
uint32_t SimLoopbackAddress(int index);
// Raises the open-file limit to its hard maximum (thousands of devices each hold a socket).
void RaiseOpenFileLimit();

class DeviceSimulator {
public:
    struct Options {
        bool recordRequests = true;  // keep every request (off for thousands of devices)
        // Not 0: devices on this port share one socket bound to every local address on it (the replies
        // still come from each device's own address). Tens of thousands of devices then need one file
        // descriptor instead of one each.
        uint16_t sharedPort = 0;
    };
    using Handler = std::function<std::optional<SimReply>(const SimPacket&)>;

    DeviceSimulator();
    explicit DeviceSimulator(Options options);
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    // Binds a device to address:port (address in network order; port 0: the system chooses). Returns its
    // number, or -1 when the socket cannot be bound. Devices may be added before or after Start.
    int AddDevice(uint32_t address, uint16_t port, uint16_t typeCode);
    int AddDevice(const std::string& dottedAddress, uint16_t port, uint16_t typeCode);
    int Count() const;
    uint32_t Address(int device) const;
    uint16_t Port(int device) const;
    uint16_t TypeCode(int device) const;

    bool Start();
    void Stop();

    // Behaviour.
    void SetSilent(int device, bool silent);
    void SetHeartbeatReply(int device, std::vector<uint8_t> payload, bool savedBit = false);
    void SetVersionPayload(int device, std::vector<uint8_t> payload);  // the reply to command 2
    // Answers every request with this command by reply (until cleared).
    void ScriptReply(int device, uint8_t command, SimReply reply);
    void ClearScript(int device, uint8_t command);
    // Answers requests that no script covers (return nothing for no answer).
    void SetHandler(int device, Handler handler);
    // Faults of a slow or echoing device: replies to this command leave after delay (0: at once), and are
    // sent times times in a row (1: once). Both apply to every reply, scripted or handled.
    void SetReplyDelay(int device, uint8_t command, std::chrono::milliseconds delay);
    void SetReplyRepeat(int device, uint8_t command, int times);
    // Requests with this command (any device) are answered with 8 bytes of CLOCK_MONOTONIC nanoseconds,
    // big-endian, taken just before sending (-1: off).
    void SetStampCommand(int command);

    // Datagrams the device sends on its own, to the program it last heard from (or the peer set here).
    void SetPeer(uint32_t address, uint16_t port);
    bool SendPacket(int device, uint8_t command, const std::vector<uint8_t>& payload, uint8_t b = 1,
                    uint8_t c = 1);
    bool SendRestart(int device) { return SendPacket(device, 4, {}); }
    bool SendRaw(int device, const std::vector<uint8_t>& datagram);
    bool SendMalformed(int device, Malformation kind, uint8_t command,
                       const std::vector<uint8_t>& payload = {}) {
        return SendRaw(device, MalformedPacket(kind, TypeCode(device), command, payload));
    }

    // What the devices received.
    std::vector<SimPacket> Requests(int device) const;
    int RequestCount(int device, int command = -1) const;
    uint64_t TotalReceived() const;
    // Waits until the device received count requests with this command (-1: any); false on timeout.
    bool WaitForRequests(int device, int command, int count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    struct Device;
    void Run();
    void HandleDatagram(int index, const uint8_t* data, int size, const void* from, unsigned fromLength);
    // Sends from the device's own address, whether it has a socket of its own or shares one.
    bool SendFrom(const Device& device, const uint8_t* data, size_t size, const void* to);
    bool OpenSharedSocket();
    // Replies held back by SetReplyDelay, sent by the run loop when their time comes.
    struct Delayed {
        std::chrono::steady_clock::time_point due;
        int device = 0;
        std::vector<uint8_t> datagram;
        std::array<uint8_t, 16> to{};  // the sockaddr_in it goes to
    };
    void SendDue();
    int MillisecondsToNextDue() const;
    void ReceiveShared(std::vector<uint8_t>& buffer);

    Options m_options;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_received;
    std::vector<std::unique_ptr<Device>> m_devices;
    int m_epoll = -1;
    int m_sharedFd = -1;
    std::map<uint32_t, int> m_sharedDevices;  // address -> device, on the shared socket
    int m_stopFd = -1;
    std::thread m_thread;
    int m_stampCommand = -1;
    uint32_t m_peerAddress = 0;
    uint16_t m_peerPort = 0;
    uint64_t m_totalReceived = 0;
    std::vector<Delayed> m_delayed;  // run loop only
};

}  // namespace nms::test
