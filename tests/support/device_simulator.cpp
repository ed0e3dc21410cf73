#include "device_simulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "devices/device_packet.h"

namespace nms::test {

struct DeviceSimulator::Device {
    int fd = -1;
    bool shared = false;  // fd is the shared socket
    uint32_t address = 0;
    uint16_t port = 0;
    uint16_t typeCode = 0;
    bool silent = false;
    std::vector<uint8_t> heartbeatPayload;
    bool savedBit = false;
    std::vector<uint8_t> versionPayload = {0x01, 0x00, 0x01, 0x00};
    std::map<uint8_t, SimReply> scripts;
    Handler handler;
    std::vector<SimPacket> requests;
    std::map<int, int> counts;  // by command
    int total = 0;
    sockaddr_in lastPeer{};
    bool hasPeer = false;
    std::map<uint8_t, std::chrono::milliseconds> delays;  // by command
    std::map<uint8_t, int> repeats;                       // by command
};
static_assert(sizeof(sockaddr_in) == 16, "a delayed reply keeps its sockaddr_in in 16 bytes");

std::vector<uint8_t> FramePacket(uint16_t type, uint8_t command, const std::vector<uint8_t>& payload,
                                 uint8_t b, uint8_t c) {
    std::vector<uint8_t> packet(payload.size() + kPacketOverhead);
    int length = 0;
    BuildPacket(type, command, b, c, packet.data(), &length, payload.empty() ? nullptr : payload.data(),
                uint16_t(payload.size()));
    packet.resize(size_t(length));
    return packet;
}

std::vector<uint8_t> MalformedPacket(Malformation kind, uint16_t type, uint8_t command,
                                     const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> packet;
    switch (kind) {
        case Malformation::BadCrc:
            packet = FramePacket(type, command, payload);
            packet.back() ^= 0x01;
            break;
        case Malformation::Short:
            packet = FramePacket(type, command, payload);
            packet.resize(5);
            break;
        case Malformation::WrongType:
            packet = FramePacket(uint16_t(type ^ 0x0F00), command, payload);
            break;
        case Malformation::LengthMismatch: {
            packet = FramePacket(type, command, payload);
            const uint16_t claimed = uint16_t(payload.size() + 1);
            packet[5] = uint8_t(claimed >> 8);
            packet[6] = uint8_t(claimed);
            AppendCrc32(packet.data(), int(packet.size()) - kPacketCrcSize);
            break;
        }
    }
    return packet;
}

uint32_t SimLoopbackAddress(int index) {
    const uint32_t host = 0x7F000000u | uint32_t(1 + index / 254) << 8 | uint32_t(1 + index % 254);
    return htonl(host);
}

void RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

DeviceSimulator::DeviceSimulator() : DeviceSimulator(Options()) {}

DeviceSimulator::DeviceSimulator(Options options) : m_options(options) {
    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    m_stopFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = ~uint64_t(0);
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_stopFd, &event);
}

DeviceSimulator::~DeviceSimulator() {
    Stop();
    for (auto& d : m_devices)
        if (!d->shared)
            close(d->fd);
    if (m_sharedFd >= 0)
        close(m_sharedFd);
    close(m_stopFd);
    close(m_epoll);
}

bool DeviceSimulator::OpenSharedSocket() {
    if (m_sharedFd >= 0)
        return true;
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const int on = 1;
    setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);  // which device a datagram was sent to
    // A heartbeat pass over fifty thousand devices arrives faster than one thread answers it: room for
    // the whole pass (about 1.3 KB of kernel memory per datagram), or as much as the system allows.
    int bytes = 128 << 20;
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(m_options.sharedPort);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(fd);
        return false;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = ~uint64_t(1);
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
    m_sharedFd = fd;
    return true;
}

int DeviceSimulator::AddDevice(uint32_t address, uint16_t port, uint16_t typeCode) {
    if (m_options.sharedPort != 0 && port == m_options.sharedPort) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_sharedDevices.count(address) || !OpenSharedSocket())
            return -1;
        auto device = std::make_unique<Device>();
        device->fd = m_sharedFd;
        device->shared = true;
        device->address = address;
        device->port = port;
        device->typeCode = typeCode;
        const int index = int(m_devices.size());
        m_devices.push_back(std::move(device));
        m_sharedDevices.emplace(address, index);
        return index;
    }
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0 && errno == EMFILE) {
        RaiseOpenFileLimit();
        fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    }
    if (fd < 0)
        return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = address;
    local.sin_port = htons(port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        close(fd);
        return -1;
    }
    socklen_t length = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);
    auto device = std::make_unique<Device>();
    device->fd = fd;
    device->address = address;
    device->port = ntohs(local.sin_port);
    device->typeCode = typeCode;
    int index;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        index = int(m_devices.size());
        m_devices.push_back(std::move(device));
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = uint64_t(index);
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
    return index;
}

int DeviceSimulator::AddDevice(const std::string& dottedAddress, uint16_t port, uint16_t typeCode) {
    in_addr address{};
    if (inet_pton(AF_INET, dottedAddress.c_str(), &address) != 1)
        return -1;
    return AddDevice(address.s_addr, port, typeCode);
}

int DeviceSimulator::Count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_devices.size());
}

uint32_t DeviceSimulator::Address(int device) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices.at(size_t(device))->address;
}

uint16_t DeviceSimulator::Port(int device) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices.at(size_t(device))->port;
}

uint16_t DeviceSimulator::TypeCode(int device) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices.at(size_t(device))->typeCode;
}

bool DeviceSimulator::Start() {
    if (m_thread.joinable())
        return true;
    uint64_t drained;
    (void)!read(m_stopFd, &drained, sizeof drained);
    m_thread = std::thread([this] { Run(); });
    return true;
}

void DeviceSimulator::Stop() {
    if (!m_thread.joinable())
        return;
    const uint64_t one = 1;
    (void)!write(m_stopFd, &one, sizeof one);
    m_thread.join();
}

void DeviceSimulator::Run() {
    std::vector<epoll_event> events(256);
    std::vector<uint8_t> buffer(65536);
    for (;;) {
        const int n = epoll_wait(m_epoll, events.data(), int(events.size()), MillisecondsToNextDue());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        SendDue();
        for (int e = 0; e < n; ++e) {
            if (events[e].data.u64 == ~uint64_t(0))
                return;
            if (events[e].data.u64 == ~uint64_t(1)) {
                ReceiveShared(buffer);
                continue;
            }
            const int index = int(events[e].data.u64);
            int fd;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                fd = m_devices[size_t(index)]->fd;
            }
            for (;;) {
                sockaddr_in from{};
                socklen_t fromLength = sizeof from;
                const ssize_t size = recvfrom(fd, buffer.data(), buffer.size(), 0,
                                              reinterpret_cast<sockaddr*>(&from), &fromLength);
                if (size < 0)
                    break;
                HandleDatagram(index, buffer.data(), int(size), &from, fromLength);
            }
        }
    }
}

void DeviceSimulator::ReceiveShared(std::vector<uint8_t>& buffer) {
    for (;;) {
        sockaddr_in from{};
        iovec vector{buffer.data(), buffer.size()};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
        msghdr message{};
        message.msg_name = &from;
        message.msg_namelen = sizeof from;
        message.msg_iov = &vector;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = recvmsg(m_sharedFd, &message, 0);
        if (size < 0)
            return;
        uint32_t to = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c))
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO)
                to = reinterpret_cast<const in_pktinfo*>(CMSG_DATA(c))->ipi_addr.s_addr;
        int index = -1;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_sharedDevices.find(to);
            if (it != m_sharedDevices.end())
                index = it->second;
        }
        if (index >= 0)
            HandleDatagram(index, buffer.data(), int(size), &from, message.msg_namelen);
    }
}

bool DeviceSimulator::SendFrom(const Device& device, const uint8_t* data, size_t size, const void* to) {
    if (!device.shared)
        return sendto(device.fd, data, size, 0, static_cast<const sockaddr*>(to), sizeof(sockaddr_in)) ==
               ssize_t(size);
    iovec vector{const_cast<uint8_t*>(data), size};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = const_cast<void*>(to);
    message.msg_namelen = sizeof(sockaddr_in);
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&message);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst.s_addr = device.address;  // the reply leaves from the device's address
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    return sendmsg(device.fd, &message, 0) == ssize_t(size);
}

void DeviceSimulator::HandleDatagram(int index, const uint8_t* data, int size, const void* fromPtr,
                                     unsigned fromLength) {
    const sockaddr_in& from = *static_cast<const sockaddr_in*>(fromPtr);
    SimPacket packet;
    if (size >= kPacketOverhead) {
        packet.type = uint16_t(data[0] << 8 | data[1]);
        packet.b = data[2];
        packet.c = data[3];
        packet.command = data[4];
        packet.payload.assign(data + kPacketHeaderSize, data + size - kPacketCrcSize);
        const uint8_t* c = data + size - kPacketCrcSize;
        const uint32_t carried = uint32_t(c[0]) << 24 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 8 | c[3];
        packet.crcOk = Crc32Mpeg2(data, size - kPacketCrcSize) == carried;
    }
    std::optional<SimReply> reply;
    uint16_t type = 0;
    const Device* device = nullptr;
    bool stamp = false;
    Handler handler;
    std::chrono::milliseconds delay{0};
    int repeat = 1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Device& d = *m_devices[size_t(index)];
        ++m_totalReceived;
        ++d.total;
        ++d.counts[packet.command];
        if (m_options.recordRequests)
            d.requests.push_back(packet);
        d.lastPeer = from;
        d.hasPeer = true;
        type = d.typeCode;
        device = &d;
        if (auto it = d.delays.find(packet.command); it != d.delays.end())
            delay = it->second;
        if (auto it = d.repeats.find(packet.command); it != d.repeats.end())
            repeat = it->second;
        if (!d.silent && packet.crcOk) {
            auto script = d.scripts.find(packet.command);
            if (script != d.scripts.end()) {
                reply = script->second;
            } else if (int(packet.command) == m_stampCommand) {
                stamp = true;
                reply = SimReply{packet.command, {}, 1, 1};
            } else if (packet.command == 1) {
                reply = SimReply{1, d.heartbeatPayload, uint8_t(d.savedBit ? 0x81 : 0x01), 1};
            } else if (packet.command == 2) {
                reply = SimReply{2, d.versionPayload, 1, 1};
            } else if (packet.command == 3) {
                reply = SimReply{3, packet.payload, 1, 1};
            } else {
                handler = d.handler;
            }
        }
    }
    m_received.notify_all();
    if (handler)
        reply = handler(packet);
    if (!reply)
        return;
    if (stamp) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const uint64_t ns = uint64_t(now.tv_sec) * 1000000000u + uint64_t(now.tv_nsec);
        for (int shift = 56; shift >= 0; shift -= 8)
            reply->payload.push_back(uint8_t(ns >> shift));
    }
    const std::vector<uint8_t> datagram =
        FramePacket(type, reply->command, reply->payload, reply->b, reply->c);
    (void)fromLength;
    for (int k = 0; k < repeat; ++k) {
        if (delay.count() > 0) {
            Delayed held;
            held.due = std::chrono::steady_clock::now() + delay;
            held.device = index;
            held.datagram = datagram;
            std::memcpy(held.to.data(), &from, sizeof from);
            m_delayed.push_back(std::move(held));
        } else {
            SendFrom(*device, datagram.data(), datagram.size(), &from);
        }
    }
}

int DeviceSimulator::MillisecondsToNextDue() const {
    if (m_delayed.empty())
        return -1;
    auto next = m_delayed.front().due;
    for (const Delayed& d : m_delayed)
        next = std::min(next, d.due);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(next - std::chrono::steady_clock::now());
    return left.count() <= 0 ? 0 : int(left.count()) + 1;
}

void DeviceSimulator::SendDue() {
    if (m_delayed.empty())
        return;
    const auto now = std::chrono::steady_clock::now();
    // In the order they were held: replies of the same moment keep their order.
    std::vector<Delayed> later;
    for (Delayed& d : m_delayed) {
        if (d.due > now) {
            later.push_back(std::move(d));
            continue;
        }
        const Device* device;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            device = m_devices[size_t(d.device)].get();
        }
        sockaddr_in to{};
        std::memcpy(&to, d.to.data(), sizeof to);
        SendFrom(*device, d.datagram.data(), d.datagram.size(), &to);
    }
    m_delayed = std::move(later);
}

void DeviceSimulator::SetReplyDelay(int device, uint8_t command, std::chrono::milliseconds delay) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Device& d = *m_devices.at(size_t(device));
    if (delay.count() > 0)
        d.delays[command] = delay;
    else
        d.delays.erase(command);
}

void DeviceSimulator::SetReplyRepeat(int device, uint8_t command, int times) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Device& d = *m_devices.at(size_t(device));
    if (times != 1)
        d.repeats[command] = times < 0 ? 0 : times;
    else
        d.repeats.erase(command);
}

void DeviceSimulator::SetSilent(int device, bool silent) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.at(size_t(device))->silent = silent;
}

void DeviceSimulator::SetHeartbeatReply(int device, std::vector<uint8_t> payload, bool savedBit) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Device& d = *m_devices.at(size_t(device));
    d.heartbeatPayload = std::move(payload);
    d.savedBit = savedBit;
}

void DeviceSimulator::SetVersionPayload(int device, std::vector<uint8_t> payload) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.at(size_t(device))->versionPayload = std::move(payload);
}

void DeviceSimulator::ScriptReply(int device, uint8_t command, SimReply reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.at(size_t(device))->scripts[command] = std::move(reply);
}

void DeviceSimulator::ClearScript(int device, uint8_t command) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.at(size_t(device))->scripts.erase(command);
}

void DeviceSimulator::SetHandler(int device, Handler handler) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.at(size_t(device))->handler = std::move(handler);
}

void DeviceSimulator::SetStampCommand(int command) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stampCommand = command;
}

void DeviceSimulator::SetPeer(uint32_t address, uint16_t port) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_peerAddress = address;
    m_peerPort = port;
}

bool DeviceSimulator::SendPacket(int device, uint8_t command, const std::vector<uint8_t>& payload, uint8_t b,
                                 uint8_t c) {
    return SendRaw(device, FramePacket(TypeCode(device), command, payload, b, c));
}

bool DeviceSimulator::SendRaw(int device, const std::vector<uint8_t>& datagram) {
    sockaddr_in to{};
    const Device* sender;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const Device& d = *m_devices.at(size_t(device));
        sender = &d;
        if (m_peerPort) {
            to.sin_family = AF_INET;
            to.sin_addr.s_addr = m_peerAddress;
            to.sin_port = htons(m_peerPort);
        } else if (d.hasPeer) {
            to = d.lastPeer;
        } else {
            return false;
        }
    }
    return SendFrom(*sender, datagram.data(), datagram.size(), &to);
}

std::vector<SimPacket> DeviceSimulator::Requests(int device) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices.at(size_t(device))->requests;
}

int DeviceSimulator::RequestCount(int device, int command) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Device& d = *m_devices.at(size_t(device));
    if (command < 0)
        return d.total;
    auto it = d.counts.find(command);
    return it == d.counts.end() ? 0 : it->second;
}

uint64_t DeviceSimulator::TotalReceived() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_totalReceived;
}

bool DeviceSimulator::WaitForRequests(int device, int command, int count,
                                      std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_received.wait_for(lock, timeout, [&] {
        const Device& d = *m_devices.at(size_t(device));
        if (command < 0)
            return d.total >= count;
        auto it = d.counts.find(command);
        return it != d.counts.end() && it->second >= count;
    });
}

}  // namespace nms::test
