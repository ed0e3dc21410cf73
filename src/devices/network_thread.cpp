#include "devices/network_thread.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "devices/device_events.h"
#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "devices/reply_routing.h"
#include "devices/reply_view.h"
#include "platform/codepage.h"
#include "platform/prompt.h"

namespace nms {

namespace {

// "Configuration saved" notices of the GUI thread. A device may send many in a row (a flood of heartbeat
// replies with the saved bit): while one box is open, further notices wait and are merged per device with
// a count, and no box ever opens inside another one's event loop.
struct SavedNotice {
    const DeviceRecord* device;
    std::string text;
    int count;
};
std::vector<SavedNotice>& PendingSavedNotices() {
    static std::vector<SavedNotice> pending;
    return pending;
}
bool g_savedBoxOpen = false;

}  // namespace

void ShowSavedNotice(const DeviceRecord* device, const std::string& text) {
    auto& pending = PendingSavedNotices();
    auto it = std::find_if(pending.begin(), pending.end(),
                           [device](const SavedNotice& n) { return n.device == device; });
    if (it != pending.end()) {
        ++it->count;
        it->text = text;
    } else {
        pending.push_back({device, text, 1});
    }
    if (g_savedBoxOpen)
        return;  // shown when the open box closes
    g_savedBoxOpen = true;
    while (!pending.empty()) {
        const SavedNotice notice = pending.front();
        pending.erase(pending.begin());
        ShowMessageBox(notice.count > 1 ? notice.text + " (" + std::to_string(notice.count) + " times)"
                                        : notice.text);
    }
    g_savedBoxOpen = false;
}

// A device as the passes see it, refreshed whenever the list changes (fields read under the list lock).
struct NetworkThread::Target {
    DevicePtr device;
    sockaddr_in to;
    bool heartbeat;  // address and port not 0
    uint8_t packet[kPacketOverhead];
};

struct NetworkThread::CallState {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
};

int CheckedPacketLength(const uint8_t* datagram, int size) {
    if (!datagram || size < kPacketHeaderSize)
        return -1;
    const int declared = datagram[5] << 8 | datagram[6];
    const uint16_t type = uint16_t(datagram[0] << 8 | datagram[1]);
    if (size >= kPacketOverhead) {
        const uint8_t* c = datagram + size - kPacketCrcSize;
        const uint32_t carried = uint32_t(c[0]) << 24 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 8 | c[3];
        if (Crc32Mpeg2(datagram, size - kPacketCrcSize) == carried)
            return declared == size - kPacketOverhead ? size - kPacketCrcSize : -1;
    }
    // Type 0x3101 is accepted without a valid CRC; its whole datagram counts, and its payload may not
    // claim more than arrived.
    if (type == 0x3101 && kPacketHeaderSize + declared <= size)
        return size;
    return -1;
}

NetworkThread::NetworkThread(DeviceRegistry& registry, IGuiHandoff& gui, INetworkObserver* observer)
    : NetworkThread(registry, gui, observer, Options()) {}

NetworkThread::NetworkThread(DeviceRegistry& registry, IGuiHandoff& gui, INetworkObserver* observer,
                             Options options)
    : m_registry(registry),
      m_gui(gui),
      m_observer(observer),
      m_options(options),
      m_receiveBuffer(std::make_shared<std::vector<uint8_t>>(kReceiveBufferSize)) {}

NetworkThread::~NetworkThread() {
    Stop();
    if (m_socket >= 0)
        close(m_socket);
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

bool NetworkThread::Start() {
    if (m_thread.joinable())
        return true;
    if (m_socket < 0) {
        m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (m_socket < 0)
            return false;
        // Ten thousand heartbeat replies arrive in one burst: room for all of them.
        int bytes = m_options.receiveBufferBytes;
        if (setsockopt(m_socket, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
            setsockopt(m_socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = m_options.bindAddress;
        local.sin_port = htons(m_options.bindPort);
        if (bind(m_socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            close(m_socket);
            m_socket = -1;
            return false;
        }
        socklen_t length = sizeof local;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &length);
        m_localPort = ntohs(local.sin_port);
    }
    if (m_wakeFd < 0) {
        m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (m_wakeFd < 0)
            return false;
    }
    m_stop.store(false);
    m_thread = std::thread([this] { NetworkThreadProc(); });
    if (m_options.installSendWaker)
        SetSendWaker([this] { WakeForSend(); });
    return true;
}

void NetworkThread::Stop() {
    if (!m_thread.joinable())
        return;
    if (m_options.installSendWaker)
        SetSendWaker(nullptr);
    m_stop.store(true);
    {
        // A handler that has not returned (a modal box, or a GUI thread that is itself stopping us)
        // no longer holds the thread.
        std::lock_guard<std::mutex> lock(m_callMutex);
        if (m_pendingCall) {
            std::lock_guard<std::mutex> callLock(m_pendingCall->mutex);
            m_pendingCall->abandoned = true;
            m_pendingCall->done.notify_all();
        }
    }
    Wake();
    m_thread.join();
}

int64_t NetworkThread::CpuTimeNs() {
    if (!m_thread.joinable())
        return -1;
    clockid_t clock;
    timespec used{};
    if (pthread_getcpuclockid(m_thread.native_handle(), &clock) != 0 || clock_gettime(clock, &used) != 0)
        return -1;
    return int64_t(used.tv_sec) * 1000000000 + used.tv_nsec;
}

void NetworkThread::Wake() {
    const uint64_t one = 1;
    if (m_wakeFd >= 0)
        (void)!write(m_wakeFd, &one, sizeof one);
}

void NetworkThread::Tick() {
    m_tickPending.store(true);
    Wake();
}

void NetworkThread::WakeForSend() {
    m_sendPending.store(true);
    Wake();
}

void NetworkThread::NetworkThreadProc() {
    pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_socket, POLLIN, 0}};
    bool socketReady = false;
    while (!m_stop.load()) {
        if (!m_sendPending.load() && !m_tickPending.load() && !socketReady) {
            fds[0].revents = fds[1].revents = 0;
            if (poll(fds, 2, -1) < 0)
                continue;  // EINTR
            if (fds[0].revents & POLLIN) {
                uint64_t count;
                (void)!read(m_wakeFd, &count, sizeof count);
            }
            socketReady = (fds[1].revents & POLLIN) != 0;
        }
        if (m_stop.load())
            break;
        if (m_sendPending.exchange(false)) {
            SendPass();
        } else if (m_tickPending.exchange(false)) {
            HeartbeatPass();
        } else if (socketReady) {
            // Datagrams are taken one at a time; the flags above are looked at again before the next.
            socketReady = ReceiveOne();
        }
    }
}

void NetworkThread::RefreshTargets() {
    const uint64_t generation = m_registry.Generation();
    if (generation == m_targetsGeneration)
        return;
    std::vector<DevicePtr> devices = m_registry.Snapshot();
    std::vector<Target> targets(devices.size());
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        for (size_t i = 0; i < devices.size(); ++i) {
            Target& t = targets[i];
            const DeviceRecord& d = *devices[i];
            t.device = devices[i];
            t.to = sockaddr_in{};
            t.to.sin_family = AF_INET;
            t.to.sin_addr.s_addr = d.address;
            t.to.sin_port = htons(d.port);
            t.heartbeat = d.address != 0 && d.port != 0;
            int length = 0;
            BuildPacket(d.typeCode, 1, 1, 1, t.packet, &length, nullptr, 0);
        }
    }
    m_targets = std::move(targets);
    m_targetsGeneration = generation;
}

void NetworkThread::SendPass() {
    m_stats.sendPasses.fetch_add(1, std::memory_order_relaxed);
    RefreshTargets();
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    for (Target& t : m_targets) {
        DeviceLink* link = t.device->link.get();
        if (!link || link->sendLength <= 0)
            continue;
        sendto(m_socket, link->sendBuffer.data(), size_t(link->sendLength), 0,
               reinterpret_cast<sockaddr*>(&t.to), sizeof t.to);
        link->sendLength = 0;
        m_stats.requests.fetch_add(1, std::memory_order_relaxed);
    }
}

void NetworkThread::HeartbeatPass() {
    m_stats.heartbeatPasses.fetch_add(1, std::memory_order_relaxed);
    RefreshTargets();
    for (Target& t : m_targets) {
        DeviceRecord& device = *t.device;
        if (!t.heartbeat || device.busy.load(std::memory_order_relaxed))
            continue;
        sendto(m_socket, t.packet, sizeof t.packet, 0, reinterpret_cast<sockaddr*>(&t.to), sizeof t.to);
        m_stats.heartbeats.fetch_add(1, std::memory_order_relaxed);
        const int status = device.status.fetch_sub(1) - 1;
        if (status > 0)
            continue;
        device.status.store(-1);
        // Reported once: at the third unanswered heartbeat (3 -> 0) or at the first tick of a device that
        // never answered (0 -> -1). Later ticks hold it at -1.
        if (status == 0 || status == -1) {
            DevicePtr held = t.device;
            INetworkObserver* observer = m_observer;
            m_gui.Post([held, observer] {
                PostDeviceEvent(held.get(), "Device offline");
                if (observer)
                    observer->UpdateStatusIcon(held.get());
            });
        }
    }
}

bool NetworkThread::ReceiveOne() {
    std::vector<uint8_t>& buffer = *m_receiveBuffer;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t size = recvfrom(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size < 0)
        return errno == EINTR;
    m_stats.datagrams.fetch_add(1, std::memory_order_relaxed);
    const int packetLength = CheckedPacketLength(buffer.data(), int(size));
    DevicePtr device;
    if (packetLength >= 0 && from.sin_family == AF_INET) {
        const uint16_t type = uint16_t(buffer[0] << 8 | buffer[1]);
        device = m_registry.FindByEndpoint(from.sin_addr.s_addr, ntohs(from.sin_port), type);
    }
    if (device)
        Dispatch(device, packetLength);
    else
        m_stats.dropped.fetch_add(1, std::memory_order_relaxed);
    m_stats.processed.fetch_add(1, std::memory_order_release);
    return true;
}

void NetworkThread::Dispatch(const DevicePtr& device, int packetLength) {
    const std::vector<uint8_t>& buffer = *m_receiveBuffer;
    const ReplyView reply(buffer.data(), packetLength);
    const uint8_t command = reply.Command();
    bool hasReceiver = false;
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        if (device->link) {
            device->link->lastReceivedLength = packetLength;
            hasReceiver = (IsTransferCommand(command) ? device->link->transferWindow
                                                      : device->link->replyWindow) != nullptr;
        }
    }
    INetworkObserver* observer = m_observer;
    switch (command) {
        case 1: {
            const bool cameOnline = device->status.exchange(3) <= 0;
            const bool hasPayload = reply.DeclaredLength() != 0;
            if (!cameOnline && !hasPayload)
                return;
            std::vector<uint8_t> payload = hasPayload ? reply.PayloadCopy() : std::vector<uint8_t>();
            const bool saved = hasPayload && (reply.B() & 0x80) != 0;
            m_gui.Post([device, observer, cameOnline, saved, payload = std::move(payload)] {
                if (cameOnline) {
                    if (observer)
                        observer->UpdateStatusIcon(device.get());
                    PostDeviceEvent(device.get(), "Device online");
                }
                if (!payload.empty() && observer)
                    observer->ShowCode(payload.data(), int(payload.size()), device.get());
                if (saved) {
                    std::string name, address;
                    {
                        std::lock_guard<std::mutex> lock(DeviceListMutex());
                        name = device->deviceName;
                        address = DottedAddress(device->address);
                    }
                    // A box of the GUI thread: the link goes on meanwhile.
                    ShowSavedNotice(device.get(),
                                    GbkToUtf8(name) + "(" + address + "):" + "Save config succeed!");
                }
            });
            return;
        }
        case 2: {
            uint32_t version = 0;
            if (!reply.U32LE(0, &version))
                return;  // too short: nothing changes
            device->version.store(version);
            m_gui.Post([observer, version] {
                if (observer)
                    observer->SetVersion(version);
            });
            return;
        }
        case 3: {
            uint8_t operation = 0;
            if (!reply.U8(0, &operation) || !hasReceiver)
                return;
            m_gui.Post([device, operation] { DeliverConfigOperationReply(device.get(), int8_t(operation)); });
            return;
        }
        case 4:
            if (!hasReceiver)
                return;
            CallOnGui([device] { DeliverDeviceRestart(device.get()); });
            return;
        default: {
            if (!hasReceiver)
                return;
            std::shared_ptr<std::vector<uint8_t>> bytes = m_receiveBuffer;
            CallOnGui([device, bytes, packetLength] {
                DeliverDeviceReply(device.get(), ReplyView(bytes->data(), packetLength));
            });
            return;
        }
    }
}

void NetworkThread::CallOnGui(std::function<void()> work) {
    auto state = std::make_shared<CallState>();
    {
        std::lock_guard<std::mutex> lock(m_callMutex);
        if (m_stop.load())
            return;
        m_pendingCall = state;
    }
    m_gui.Post([state, work = std::move(work)] {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->abandoned)
                return;
        }
        work();
        std::lock_guard<std::mutex> lock(state->mutex);
        state->finished = true;
        state->done.notify_all();
    });
    {
        std::unique_lock<std::mutex> lock(state->mutex);
        state->done.wait(lock, [&] { return state->finished || state->abandoned; });
    }
    std::lock_guard<std::mutex> lock(m_callMutex);
    m_pendingCall.reset();
}

}  // namespace nms
