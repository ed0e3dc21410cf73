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
#include <chrono>
#include <cstring>
#include <ctime>
#include <unordered_map>

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

struct NetworkThread::Targets {
    std::vector<Target> list;                            // in list order
    std::unordered_map<const DeviceRecord*, size_t> at;  // index in list
};

struct NetworkThread::QueuedReply {
    DevicePtr device;
    std::shared_ptr<std::vector<uint8_t>> packet;  // shared: a handler still running after shut-down keeps it
    int packetLength;
};

struct NetworkThread::CallState {
    std::mutex mutex;
    bool abandoned = false;  // guarded by mutex
    std::atomic<bool> finished{false};
    int wakeFd = -1;
    // A run of page replies handed over together, and how many of them the GUI thread delivered (set
    // before finished); the rest go back to the front of the queue.
    std::vector<QueuedReply> run;
    int delivered = 0;
};

// The buffers of one recvmmsg call.
struct NetworkThread::ReceiveBatch {
    static constexpr int kCount = 64;
    // Not cleared: the kernel writes what arrives, and only the pages that datagrams reach are touched.
    std::unique_ptr<uint8_t[]> buffers{new uint8_t[size_t(kCount) * kReceiveBufferSize]};
    mmsghdr messages[kCount];
    iovec vectors[kCount];
    sockaddr_in from[kCount];

    void Reset(int n) {
        for (int i = 0; i < n; ++i) {
            vectors[i] = {buffers.get() + size_t(i) * kReceiveBufferSize, kReceiveBufferSize};
            messages[i] = mmsghdr{};
            messages[i].msg_hdr.msg_iov = &vectors[i];
            messages[i].msg_hdr.msg_iovlen = 1;
            messages[i].msg_hdr.msg_name = &from[i];
            messages[i].msg_hdr.msg_namelen = sizeof from[i];
            from[i] = sockaddr_in{};
        }
    }
    const uint8_t* Data(int i) const { return buffers.get() + size_t(i) * kReceiveBufferSize; }
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
      m_receive(std::make_unique<ReceiveBatch>()) {}

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
        SetSendWaker([this](DeviceRecord* device) { WakeForSend(device); });
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
        }
    }
    Wake();
    m_thread.join();
    // A restart does not wait for a handler that was abandoned.
    std::lock_guard<std::mutex> lock(m_callMutex);
    m_pendingCall.reset();
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
    {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        m_sendAll = true;
    }
    m_sendPending.store(true);
    Wake();
}

void NetworkThread::WakeForSend(DeviceRecord* device) {
    {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        m_sendQueued.push_back(device);
    }
    m_sendPending.store(true);
    Wake();
}

void NetworkThread::NetworkThreadProc() {
    // Named, so that top -H, a debugger or a benchmark can tell it from the GUI thread.
    pthread_setname_np(pthread_self(), "velmora-net");
    pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_socket, POLLIN, 0}};
    bool socketReady = false;
    while (!m_stop.load()) {
        const bool idle = CallIdle();
        const bool work = (idle && m_sendPending.load()) || m_tickPending.load() || m_pass || socketReady ||
                          (idle && !m_replies.empty());
        if (!work) {
            // A burst is over: what it changed goes to the GUI thread as one batch.
            FlushBatch();
            fds[0].revents = fds[1].revents = 0;
            if (poll(fds, 2, -1) < 0)
                continue;  // EINTR
            if (fds[0].revents & POLLIN) {
                uint64_t count;
                (void)!read(m_wakeFd, &count, sizeof count);
            }
            socketReady = (fds[1].revents & POLLIN) != 0;
            continue;
        }
        // Requests a handler queued leave only after it returned, and then only the last of each slot.
        if (CallIdle() && m_sendPending.exchange(false)) {
            SendPass();
            continue;
        }
        if (!m_pass && m_tickPending.exchange(false)) {
            m_stats.heartbeatPasses.fetch_add(1, std::memory_order_relaxed);
            m_pass = CurrentTargets();
            m_passNext = 0;
        }
        if (m_pass) {
            // Page replies that waited for a handler go before the next chunk: their hand-off does not hold
            // the pass up, while each of them would otherwise wait for a chunk to be sent.
            HandOverNext();
            if (!HeartbeatChunk())
                m_pass.reset();
            // Between chunks: the replies of this chunk and whatever else came, then a pending send pass
            // at the top of the loop.
            socketReady = Drain(4 * kHeartbeatChunk);
        } else if (socketReady) {
            socketReady = Drain(ReceiveBatch::kCount);
        }
        HandOverNext();
    }
    FlushBatch();
}

std::shared_ptr<const NetworkThread::Targets> NetworkThread::CurrentTargets() {
    const uint64_t generation = m_registry.Generation();
    if (m_targets && generation == m_targetsGeneration)
        return m_targets;
    std::vector<DevicePtr> devices = m_registry.Snapshot();
    auto targets = std::make_shared<Targets>();
    targets->list.resize(devices.size());
    targets->at.reserve(devices.size());
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        for (size_t i = 0; i < devices.size(); ++i) {
            Target& t = targets->list[i];
            const DeviceRecord& d = *devices[i];
            t.device = devices[i];
            t.to = sockaddr_in{};
            t.to.sin_family = AF_INET;
            t.to.sin_addr.s_addr = d.address;
            t.to.sin_port = htons(d.port);
            t.heartbeat = d.address != 0 && d.port != 0;
            int length = 0;
            BuildPacket(d.typeCode, 1, 1, 1, t.packet, &length, nullptr, 0);
            targets->at.emplace(devices[i].get(), i);
        }
    }
    m_targets = std::move(targets);
    m_targetsGeneration = generation;
    return m_targets;
}

void NetworkThread::SendPass() {
    m_stats.sendPasses.fetch_add(1, std::memory_order_relaxed);
    std::vector<DeviceRecord*> queued;
    bool all;
    {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        queued.swap(m_sendQueued);
        all = m_sendAll;
        m_sendAll = false;
    }
    const std::shared_ptr<const Targets> targets = CurrentTargets();
    // In list order, as a pass over every slot would send them; a device no longer listed is skipped.
    std::vector<size_t> order;
    if (all) {
        order.resize(targets->list.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
    } else {
        for (DeviceRecord* device : queued) {
            auto it = targets->at.find(device);
            if (it != targets->at.end())
                order.push_back(it->second);
        }
        std::sort(order.begin(), order.end());
        order.erase(std::unique(order.begin(), order.end()), order.end());
    }
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    for (size_t i : order) {
        const Target& t = targets->list[i];
        DeviceLink* link = t.device->link.get();
        if (!link || link->sendLength <= 0)
            continue;
        sendto(m_socket, link->sendBuffer.data(), size_t(link->sendLength), 0,
               reinterpret_cast<const sockaddr*>(&t.to), sizeof t.to);
        link->sendLength = 0;
        m_stats.requests.fetch_add(1, std::memory_order_relaxed);
    }
}

bool NetworkThread::HeartbeatChunk() {
    const std::vector<Target>& list = m_pass->list;
    mmsghdr messages[kHeartbeatChunk];
    iovec vectors[kHeartbeatChunk];
    const Target* sent[kHeartbeatChunk];
    int n = 0;
    while (m_passNext < list.size() && n < kHeartbeatChunk) {
        const Target& t = list[m_passNext++];
        if (!t.heartbeat || t.device->busy.load(std::memory_order_relaxed))
            continue;
        vectors[n] = {const_cast<uint8_t*>(t.packet), sizeof t.packet};
        messages[n] = mmsghdr{};
        messages[n].msg_hdr.msg_name = const_cast<sockaddr_in*>(&t.to);
        messages[n].msg_hdr.msg_namelen = sizeof t.to;
        messages[n].msg_hdr.msg_iov = &vectors[n];
        messages[n].msg_hdr.msg_iovlen = 1;
        sent[n++] = &t;
    }
    // One system call for the chunk; a datagram the kernel refuses is skipped, as a failed sendto would be.
    for (int done = 0; done < n;) {
        const int r = sendmmsg(m_socket, messages + done, unsigned(n - done), 0);
        if (r < 0 && errno == EINTR)
            continue;
        done += r > 0 ? r : 1;
    }
    m_stats.heartbeats.fetch_add(uint64_t(n), std::memory_order_relaxed);
    INetworkObserver* observer = m_observer;
    for (int i = 0; i < n; ++i) {
        DeviceRecord& device = *sent[i]->device;
        const int status = device.status.fetch_sub(1) - 1;
        if (status > 0)
            continue;
        device.status.store(-1);
        // Reported once: at the third unanswered heartbeat (3 -> 0) or at the first tick of a device that
        // never answered (0 -> -1). Later ticks hold it at -1.
        if (status == 0 || status == -1) {
            DevicePtr held = sent[i]->device;
            PostBatched([held, observer] {
                PostDeviceEvent(held.get(), "Device offline");
                if (observer)
                    observer->UpdateStatusIcon(held.get());
            });
        }
    }
    return m_passNext < list.size();
}

bool NetworkThread::Drain(int limit) {
    ReceiveBatch& batch = *m_receive;
    struct Matched {
        DevicePtr device;
        int index;
        int packetLength;
    };
    std::vector<Matched> linkReplies;
    for (int taken = 0; taken < limit;) {
        const int want = std::min(ReceiveBatch::kCount, limit - taken);
        batch.Reset(want);
        const int n = recvmmsg(m_socket, batch.messages, unsigned(want), MSG_DONTWAIT, nullptr);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        taken += n;
        m_stats.datagrams.fetch_add(uint64_t(n), std::memory_order_relaxed);
        // Page replies first: their hand-off starts before the heartbeat replies of the batch are counted.
        linkReplies.clear();
        for (int i = 0; i < n; ++i) {
            const uint8_t* data = batch.Data(i);
            const int size =
                (batch.messages[i].msg_hdr.msg_flags & MSG_TRUNC) ? -1 : int(batch.messages[i].msg_len);
            const int packetLength = CheckedPacketLength(data, size);
            DevicePtr device;
            if (packetLength >= 0 && batch.from[i].sin_family == AF_INET) {
                const uint16_t type = uint16_t(data[0] << 8 | data[1]);
                device = m_registry.FindByEndpoint(batch.from[i].sin_addr.s_addr,
                                                   ntohs(batch.from[i].sin_port), type);
            }
            if (!device) {
                m_stats.dropped.fetch_add(1, std::memory_order_relaxed);
                m_stats.processed.fetch_add(1, std::memory_order_release);
                continue;
            }
            const uint8_t command = data[4];
            if (command == 1 || command == 2)
                linkReplies.push_back({std::move(device), i, packetLength});
            else
                QueuePageReply(device, data, packetLength);
        }
        HandOverNext();
        for (const Matched& m : linkReplies) {
            HandleLinkReply(m.device, batch.Data(m.index), m.packetLength);
            ++m_batchProcessed;  // done with once the batch holding its work is posted
        }
        if (n < want)
            return false;
    }
    return true;
}

void NetworkThread::QueuePageReply(const DevicePtr& device, const uint8_t* packet, int packetLength) {
    if (m_replies.size() >= kReplyQueueLimit || m_replyBytes + size_t(packetLength) > kReplyQueueBytes) {
        // A flood the pages cannot keep up with: the newest replies go, as if the network had lost them.
        m_stats.queueOverflows.fetch_add(1, std::memory_order_relaxed);
        m_stats.dropped.fetch_add(1, std::memory_order_relaxed);
        m_stats.processed.fetch_add(1, std::memory_order_release);
        return;
    }
    m_replies.push_back(
        {device, std::make_shared<std::vector<uint8_t>>(packet, packet + packetLength), packetLength});
    m_replyBytes += size_t(packetLength);
}

void NetworkThread::HandleLinkReply(const DevicePtr& device, const uint8_t* packet, int packetLength) {
    const ReplyView reply(packet, packetLength);
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        if (device->link)
            device->link->lastReceivedLength = packetLength;
    }
    INetworkObserver* observer = m_observer;
    if (reply.Command() == 2) {
        uint32_t version = 0;
        if (!reply.U32LE(0, &version))
            return;  // too short: nothing changes
        device->version.store(version);
        PostBatched([observer, version] {
            if (observer)
                observer->SetVersion(version);
        });
        return;
    }
    const bool cameOnline = device->status.exchange(3) <= 0;
    const bool hasPayload = reply.DeclaredLength() != 0;
    if (!cameOnline && !hasPayload)
        return;
    std::vector<uint8_t> payload = hasPayload ? reply.PayloadCopy() : std::vector<uint8_t>();
    const bool saved = hasPayload && (reply.B() & 0x80) != 0;
    PostBatched([device, observer, cameOnline, payload = std::move(payload)] {
        if (cameOnline) {
            if (observer)
                observer->UpdateStatusIcon(device.get());
            PostDeviceEvent(device.get(), "Device online");
        }
        if (!payload.empty() && observer)
            observer->ShowCode(payload.data(), int(payload.size()), device.get());
    });
    if (saved) {
        // A box of the GUI thread, posted on its own so that the rest of a batch does not wait for it;
        // the link goes on meanwhile.
        Post([device] {
            std::string name, address;
            {
                std::lock_guard<std::mutex> lock(DeviceListMutex());
                name = device->deviceName;
                address = DottedAddress(device->address);
            }
            ShowSavedNotice(device.get(), GbkToUtf8(name) + "(" + address + "):" + "Save config succeed!");
        });
    }
}

void NetworkThread::HandOverNext() {
    while (!m_replies.empty() && CallIdle() && !m_stop.load()) {
        QueuedReply next = std::move(m_replies.front());
        m_replies.pop_front();
        m_replyBytes -= size_t(next.packetLength);
        const DevicePtr& device = next.device;
        const ReplyView reply(next.packet->data(), next.packetLength);
        const uint8_t command = reply.Command();
        bool hasReceiver = false;
        {
            std::lock_guard<std::mutex> lock(DeviceListMutex());
            if (device->link) {
                device->link->lastReceivedLength = next.packetLength;
                hasReceiver = (IsTransferCommand(command) ? device->link->transferWindow
                                                          : device->link->replyWindow) != nullptr;
            }
        }
        if (!hasReceiver) {
            m_stats.processed.fetch_add(1, std::memory_order_release);
            continue;
        }
        if (command == 3) {
            uint8_t operation = 0;
            if (reply.U8(0, &operation)) {
                Post([device, operation] { DeliverConfigOperationReply(device.get(), int8_t(operation)); });
            }
            m_stats.processed.fetch_add(1, std::memory_order_release);
        } else if (command == 4) {
            CallOnGui([device] { DeliverDeviceRestart(device.get()); });
        } else {
            // Page replies already waiting behind this one go along: the GUI thread delivers them one after
            // the other as long as no handler queued a request (nothing would be sent between them), which
            // spares two thread wake-ups per reply in a burst. What it leaves comes back to the queue.
            std::vector<QueuedReply> run;
            run.push_back(std::move(next));
            while (run.size() < kReplyRunLimit && !m_replies.empty()) {
                const uint8_t c = m_replies.front().packet->at(4);
                if (c == 3 || c == 4)
                    break;
                m_replyBytes -= size_t(m_replies.front().packetLength);
                run.push_back(std::move(m_replies.front()));
                m_replies.pop_front();
            }
            CallOnGuiRun(std::move(run));
        }
    }
}

void NetworkThread::CallOnGuiRun(std::vector<QueuedReply> run) {
    auto state = std::make_shared<CallState>();
    state->wakeFd = m_wakeFd;
    state->run = std::move(run);
    {
        std::lock_guard<std::mutex> lock(m_callMutex);
        if (m_stop.load())
            return;
        m_pendingCall = state;
    }
    std::atomic<bool>* sendPending = &m_sendPending;
    Post([state, sendPending] {
        const auto start = std::chrono::steady_clock::now();
        int delivered = 0;
        for (const QueuedReply& reply : state->run) {
            {
                std::lock_guard<std::mutex> lock(state->mutex);
                // Checked under the lock: until the call is abandoned, the thread (and its flag) exists.
                if (state->abandoned)
                    return;
                if (delivered > 0 && (sendPending->load() || std::chrono::steady_clock::now() - start >=
                                                                 std::chrono::milliseconds(kReplyRunMs)))
                    break;
            }
            DeliverDeviceReply(reply.device.get(), ReplyView(reply.packet->data(), reply.packetLength));
            ++delivered;
        }
        std::lock_guard<std::mutex> lock(state->mutex);
        state->delivered = delivered;
        state->finished.store(true, std::memory_order_release);
        if (!state->abandoned) {
            const uint64_t one = 1;
            (void)!write(state->wakeFd, &one, sizeof one);
        }
    });
}

bool NetworkThread::CallIdle() {
    if (!m_pendingCall)
        return true;
    if (!m_pendingCall->finished.load(std::memory_order_acquire))
        return false;
    std::lock_guard<std::mutex> lock(m_callMutex);
    std::vector<QueuedReply>& run = m_pendingCall->run;
    const size_t delivered = run.empty() ? 1 : size_t(m_pendingCall->delivered);
    // Replies of a run that the GUI thread left (a handler queued a request) wait at the front, in order.
    for (size_t i = run.size(); i > delivered; --i) {
        m_replyBytes += size_t(run[i - 1].packetLength);
        m_replies.push_front(std::move(run[i - 1]));
    }
    m_pendingCall.reset();
    m_stats.processed.fetch_add(delivered, std::memory_order_release);
    return true;
}

void NetworkThread::CallOnGui(std::function<void()> work) {
    auto state = std::make_shared<CallState>();
    state->wakeFd = m_wakeFd;
    {
        std::lock_guard<std::mutex> lock(m_callMutex);
        if (m_stop.load())
            return;
        m_pendingCall = state;
    }
    Post([state, work = std::move(work)] {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->abandoned)
                return;
        }
        work();
        std::lock_guard<std::mutex> lock(state->mutex);
        state->finished.store(true, std::memory_order_release);
        // Once abandoned, the thread is gone and its wake-up may be closed.
        if (!state->abandoned) {
            const uint64_t one = 1;
            (void)!write(state->wakeFd, &one, sizeof one);
        }
    });
}

void NetworkThread::Post(std::function<void()> work) {
    FlushBatch();  // the GUI thread sees everything in the order it arose
    m_gui.Post(std::move(work));
}

void NetworkThread::PostBatched(std::function<void()> work) {
    m_batch.push_back(std::move(work));
    // The GUI thread runs a batch at one go: keep it short.
    if (m_batch.size() >= 256)
        FlushBatch();
}

void NetworkThread::FlushBatch() {
    if (!m_batch.empty()) {
        m_gui.PostBatch(std::move(m_batch));
        m_batch.clear();
    }
    // Counted only now: whoever sees the count finds their work on the GUI thread's queue.
    if (m_batchProcessed != 0) {
        m_stats.processed.fetch_add(m_batchProcessed, std::memory_order_release);
        m_batchProcessed = 0;
    }
}

}  // namespace nms
