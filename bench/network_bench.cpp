// Whole-link benchmark: devsim with 10,000 devices, the network thread with the same 10,000 records,
// heartbeat ticks at a shortened period, page requests answered while the heartbeats run.
//
//   build/bin/network_bench [--devices N] [--ticks T] [--tick-ms M] [--pages P] [--port P] [--devsim PATH]
//                           [--flood F]
//
// Prints: devices online, false "Device offline" events (devices reported offline while they answer),
// the network thread's CPU time per device per tick against a bare sendto + recvfrom loop on the same
// sockets (the floor), and the time from a page reply's arrival to its handler.
//
// With --flood F, after the warm-up the first device sends F "device restart" datagrams to its shown page
// (whose handler takes 1 ms, as a page's does) while the ticks go on; it prints the false "Device offline"
// events of the other devices, the restarts the page handled and how long the page took to get through
// them.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device_simulator.h"
#include "devices/device_events.h"
#include "devices/device_packet.h"
#include "devices/network_thread.h"
#include "devices/reply_receiver.h"
#include "devices/reply_routing.h"
#include "devices/reply_view.h"

extern char** environ;

namespace {

using namespace nms;

constexpr uint8_t kStampCommand = 0x70;
constexpr uint16_t kType = 0x2101;

int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t ThreadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The GUI thread of the benchmark: runs handed-over work in order.
class GuiThread : public IGuiHandoff {
public:
    GuiThread() : m_thread([this] { Run(); }) {}
    ~GuiThread() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    void Post(std::function<void()> work) override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue.push_back(std::move(work));
        }
        m_cv.notify_one();
    }

private:
    void Run() {
        for (;;) {
            std::function<void()> work;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_cv.wait(lock, [&] { return m_stop || !m_queue.empty(); });
                if (m_queue.empty())
                    return;
                work = std::move(m_queue.front());
                m_queue.pop_front();
            }
            work();
        }
    }
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_queue;
    bool m_stop = false;
    std::thread m_thread;
};

// A page: takes the stamp the device put into its reply and notes how long the reply took to get here.
struct StampPage : IReplyReceiver {
    void OnDeviceReply(DeviceRecord*, const ReplyView& reply) override {
        const int64_t now = MonotonicNs();
        uint8_t b[8];
        if (reply.Command() != kStampCommand || !reply.Bytes(0, 8, b))
            return;
        int64_t stamp = 0;
        for (uint8_t x : b)
            stamp = stamp << 8 | x;
        std::lock_guard<std::mutex> lock(mutex);
        if (recording)
            latenciesNs.push_back(now - stamp);
        if (recording)
            handled.push_back({stamp, now});
    }
    void OnConfigOperation(int, int) override {}
    void OnTimer(int id) override {
        if (id != 4)
            return;
        // A page's time-out handling: end the wait, refresh its controls, report.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        restarts.fetch_add(1);
    }
    std::mutex mutex;
    bool recording = false;
    std::vector<int64_t> latenciesNs;
    std::vector<std::pair<int64_t, int64_t>> handled;  // stamp, handler time; in handler order
    std::atomic<int> restarts{0};
};

struct Child {
    pid_t pid = -1;
    int toChild = -1;
    FILE* fromChild = nullptr;
};

bool SpawnDevsim(const std::string& path, int devices, uint16_t port, Child* child) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string count = std::to_string(devices), portText = std::to_string(port),
                      stamp = std::to_string(kStampCommand);
    std::vector<char*> argv = {const_cast<char*>(path.c_str()),     const_cast<char*>("--count"),
                               const_cast<char*>(count.c_str()),    const_cast<char*>("--port"),
                               const_cast<char*>(portText.c_str()), const_cast<char*>("--stamp-command"),
                               const_cast<char*>(stamp.c_str()),    nullptr};
    const int rc = posix_spawn(&child->pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (rc != 0)
        return false;
    child->toChild = in[1];
    child->fromChild = fdopen(out[0], "r");
    char line[128];
    if (std::fgets(line, sizeof line, child->fromChild) && std::strncmp(line, "ready", 5) == 0)
        return true;
    // Not ready (its port taken, say): it must not outlive us.
    kill(child->pid, SIGTERM);
    waitpid(child->pid, nullptr, 0);
    return false;
}

std::string OwnFolder() {
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    path[n] = 0;
    std::string s(path);
    return s.substr(0, s.rfind('/'));
}

double Percentile(std::vector<int64_t> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return double(v[i]);
}

}  // namespace

int main(int argc, char** argv) {
    int devices = 10000, ticks = 12, tickMs = 400, pages = 16, flood = 0;
    uint16_t port = 39009;  // away from the program's 2009, where other simulators may run
    std::string devsim = OwnFolder() + "/devsim";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--devices")
            devices = std::atoi(argv[i + 1]);
        else if (a == "--ticks")
            ticks = std::atoi(argv[i + 1]);
        else if (a == "--tick-ms")
            tickMs = std::atoi(argv[i + 1]);
        else if (a == "--pages")
            pages = std::atoi(argv[i + 1]);
        else if (a == "--devsim")
            devsim = argv[i + 1];
        else if (a == "--port")
            port = uint16_t(std::atoi(argv[i + 1]));
        else if (a == "--flood")
            flood = std::atoi(argv[i + 1]);
    }
    if (devices < 1 || ticks < 3 || tickMs < 1 || pages < 1 || pages > devices || flood < 0 || port == 0) {
        std::fprintf(stderr, "network_bench: bad arguments\n");
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);

    Child child;
    if (!SpawnDevsim(devsim, devices, port, &child)) {
        std::fprintf(stderr, "network_bench: cannot start %s\n", devsim.c_str());
        return 1;
    }

    DeviceRegistry registry;
    std::vector<DevicePtr> records;
    for (int i = 0; i < devices; ++i) {
        auto d = std::make_shared<DeviceRecord>();
        d->deviceName = std::to_string(i);
        d->typeCode = kType;
        d->address = test::SimLoopbackAddress(i);
        d->port = port;
        registry.Append(d);
        records.push_back(d);
    }

    // Online bookkeeping on the GUI thread, from the events themselves.
    std::vector<char> wasOnline(static_cast<size_t>(devices), 0);
    std::atomic<int> falseOffline{0}, onlineEvents{0}, offlineEvents{0};
    SetDeviceEventSink([&](const DeviceEvent& e) {
        const int i = std::atoi(e.deviceName.c_str());
        if (e.text == "Device online") {
            wasOnline[size_t(i)] = 1;
            ++onlineEvents;
        } else if (e.text == "Device offline") {
            ++offlineEvents;
            if (wasOnline[size_t(i)])
                ++falseOffline;
        }
    });

    auto gui = std::make_unique<GuiThread>();
    StampPage page;
    for (int p = 0; p < pages; ++p)
        SetReplyWindow(records[size_t(p * (devices / pages))].get(), &page);

    NetworkThread net(registry, *gui, nullptr);
    if (!net.Start()) {
        std::fprintf(stderr, "network_bench: no socket\n");
        return 1;
    }

    // Two warm-up ticks bring every device online. Then the measured ticks: first heartbeats alone (the
    // CPU figure), then heartbeats with a page's requests going to some of the devices every 2 ms (the
    // reply-to-handler figure).
    const int warmup = 2;
    for (int t = 0; t < warmup; ++t) {
        net.Tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(tickMs));
    }
    if (flood > 0) {
        const int falseBefore = falseOffline.load();
        const uint64_t overflowsBefore = net.Stats().queueOverflows.load();
        const int64_t start = MonotonicNs();
        std::thread sender([&] {
            const std::string line = "restart 0\n";
            for (int i = 0; i < flood; ++i)
                (void)!write(child.toChild, line.data(), line.size());
        });
        int ticked = 0;
        int64_t doneNs = 0;
        while (ticked < ticks || (doneNs == 0 && MonotonicNs() - start < 120 * 1000000000LL)) {
            net.Tick();
            ++ticked;
            std::this_thread::sleep_for(std::chrono::milliseconds(tickMs));
            if (doneNs == 0 &&
                page.restarts.load() + int(net.Stats().queueOverflows.load() - overflowsBefore) >= flood)
                doneNs = MonotonicNs();
        }
        sender.join();
        int online = 0;
        for (const DevicePtr& d : records)
            online += d->status.load() > 0;
        net.Stop();
        gui.reset();
        close(child.toChild);
        kill(child.pid, SIGTERM);
        waitpid(child.pid, nullptr, 0);
        SetDeviceEventSink(nullptr);
        std::printf("devices                               %d\n", devices);
        std::printf("tick period                           %d ms, %d ticks during the flood\n", tickMs,
                    ticked);
        std::printf("\"device restart\" datagrams to device 0 %d (its page's handler takes 1 ms)\n", flood);
        std::printf("restarts the page handled             %d (dropped by the full queue: %llu)\n",
                    page.restarts.load(),
                    (unsigned long long)(net.Stats().queueOverflows.load() - overflowsBefore));
        std::printf("page through the flood after          %.2f s%s\n",
                    doneNs ? double(doneNs - start) / 1e9 : double(MonotonicNs() - start) / 1e9,
                    doneNs ? "" : " (not through)");
        std::printf("devices online at the end             %d\n", online);
        std::printf("false \"Device offline\" events         %d\n", falseOffline.load() - falseBefore);
        return 0;
    }

    const int64_t cpuStart = net.CpuTimeNs();
    const uint64_t heartbeatsStart = net.Stats().heartbeats.load();
    for (int t = 0; t < ticks; ++t) {
        net.Tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(tickMs));
    }
    const int64_t cpuNet = net.CpuTimeNs() - cpuStart;
    const uint64_t heartbeatsMeasured = net.Stats().heartbeats.load() - heartbeatsStart;

    std::atomic<bool> requesting{true};
    std::thread requester([&] {
        int next = 0;
        while (requesting.load()) {
            DeviceRecord* d = records[size_t((next++ % pages) * (devices / pages))].get();
            gui->Post([d] { SendCommand(kStampCommand, 1, 1, d, nullptr, 0); });
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    // The floor of the same figure at the same time: a thread of its own that sleeps in recvfrom on a
    // socket of its own, asking a device for the stamp at the same rate. On a busy machine the wake-ups of
    // every thread wait for a processor alike; this shows how much of the figure that is.
    std::vector<int64_t> alongsideLatencies;
    std::thread alongside([&] {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
        timeval timeout{0, 100000};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        sockaddr_in device{};
        device.sin_family = AF_INET;
        device.sin_addr.s_addr = records[size_t(devices > 1 ? 1 : 0)]->address;
        device.sin_port = htons(port);
        std::array<uint8_t, kPacketOverhead> request;
        int length = 0;
        BuildPacket(kType, kStampCommand, 1, 1, request.data(), &length, nullptr, 0);
        std::vector<uint8_t> reply(kReceiveBufferSize);
        while (requesting.load()) {
            const int64_t sent = MonotonicNs();
            sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&device),
                   sizeof device);
            // The answer to this request: a late answer to an earlier one (after a time-out) is skipped.
            for (;;) {
                const ssize_t n = recv(fd, reply.data(), reply.size(), 0);
                const int64_t now = MonotonicNs();
                if (n < kPacketHeaderSize + 8)
                    break;
                int64_t stamp = 0;
                for (int k = 0; k < 8; ++k)
                    stamp = stamp << 8 | reply[size_t(kPacketHeaderSize + k)];
                if (stamp < sent)
                    continue;
                alongsideLatencies.push_back(now - stamp);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        close(fd);
    });
    {
        std::lock_guard<std::mutex> lock(page.mutex);
        page.recording = true;
    }
    for (int t = 0; t < ticks; ++t) {
        net.Tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(tickMs));
    }
    requesting.store(false);
    requester.join();
    alongside.join();
    {
        std::lock_guard<std::mutex> lock(page.mutex);
        page.recording = false;
    }
    int online = 0;
    for (const DevicePtr& d : records)
        online += d->status.load() > 0;
    const uint64_t datagrams = net.Stats().datagrams.load(), dropped = net.Stats().dropped.load();
    net.Stop();
    gui.reset();  // runs what is left

    // The floor: the same socket and the same devices, one sendto and one recvfrom per device per round.
    const int fd = net.SocketFd();
    std::vector<uint8_t> buffer(kReceiveBufferSize);
    while (recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT) >= 0) {
    }
    std::vector<sockaddr_in> to(static_cast<size_t>(devices));
    std::vector<std::array<uint8_t, kPacketOverhead>> heartbeat(static_cast<size_t>(devices));
    for (int i = 0; i < devices; ++i) {
        to[size_t(i)] = sockaddr_in{};
        to[size_t(i)].sin_family = AF_INET;
        to[size_t(i)].sin_addr.s_addr = records[size_t(i)]->address;
        to[size_t(i)].sin_port = htons(port);
        int length = 0;
        BuildPacket(kType, 1, 1, 1, heartbeat[size_t(i)].data(), &length, nullptr, 0);
    }
    timeval timeout{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const int rounds = std::min(ticks, 6);
    int floorReceived = 0;
    const int64_t floorStart = ThreadCpuNs();
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < devices; ++i)
            sendto(fd, heartbeat[size_t(i)].data(), kPacketOverhead, 0,
                   reinterpret_cast<sockaddr*>(&to[size_t(i)]), sizeof(sockaddr_in));
        for (int i = 0; i < devices; ++i) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            if (recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr*>(&from),
                         &fromLength) < 0)
                break;
            ++floorReceived;
        }
    }
    const int64_t cpuFloor = ThreadCpuNs() - floorStart;

    // The latency floor: the same request answered to a thread that sleeps in recvfrom on the same socket
    // (one thread wake-up, where a page reply needs two: the network thread's and the GUI thread's).
    std::vector<int64_t> bareLatencies;
    {
        std::array<uint8_t, kPacketOverhead> request;
        int length = 0;
        BuildPacket(kType, kStampCommand, 1, 1, request.data(), &length, nullptr, 0);
        for (int i = 0; i < 500; ++i) {
            sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to[0]),
                   sizeof(sockaddr_in));
            const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
            const int64_t now = MonotonicNs();
            if (n < kPacketHeaderSize + 8)
                break;
            int64_t stamp = 0;
            for (int k = 0; k < 8; ++k)
                stamp = stamp << 8 | buffer[size_t(kPacketHeaderSize + k)];
            bareLatencies.push_back(now - stamp);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    close(child.toChild);
    kill(child.pid, SIGTERM);
    waitpid(child.pid, nullptr, 0);
    SetDeviceEventSink(nullptr);

    const double netPerDeviceTick = double(cpuNet) / double(heartbeatsMeasured ? heartbeatsMeasured : 1);
    const double floorPerDeviceTick = double(cpuFloor) / double(floorReceived ? floorReceived : 1);
    std::printf("devices                               %d\n", devices);
    std::printf("heartbeat ticks                       %d warm-up, %d alone (CPU), %d with page requests\n",
                warmup, ticks, ticks);
    std::printf("tick period                           %d ms\n", tickMs);
    std::printf("devices online at the end             %d\n", online);
    std::printf("false \"Device offline\" events         %d\n", falseOffline.load());
    std::printf("events: online %d, offline %d (first tick: devices not yet answered)\n", onlineEvents.load(),
                offlineEvents.load());
    std::printf("datagrams received %llu, dropped %llu\n", (unsigned long long)datagrams,
                (unsigned long long)dropped);
    std::printf("network thread CPU per device per tick %.0f ns\n", netPerDeviceTick);
    std::printf("floor (sendto + recvfrom) per device  %.0f ns (%d rounds, %d replies)\n", floorPerDeviceTick,
                rounds, floorReceived);
    std::printf("ratio to the floor                    %.2f\n",
                floorPerDeviceTick > 0 ? netPerDeviceTick / floorPerDeviceTick : 0.0);
    std::vector<int64_t> latencies;
    std::vector<std::pair<int64_t, int64_t>> handled;
    {
        std::lock_guard<std::mutex> lock(page.mutex);
        latencies = page.latenciesNs;
        handled = page.handled;
    }
    // Page replies go to their handlers one at a time: a reply that arrives while an earlier one has not
    // reached its handler waits for it. Those apart, what is left is the road of a single reply.
    std::vector<int64_t> alone, queued;
    for (size_t i = 0; i < handled.size(); ++i) {
        const int64_t latency = handled[i].second - handled[i].first;
        const bool behind = i > 0 && handled[i - 1].second > handled[i].first;
        (behind ? queued : alone).push_back(latency);
    }
    std::printf("reply to page handler: %zu replies, median %.1f us, 99th percentile %.1f us\n",
                latencies.size(), Percentile(latencies, 0.5) / 1000.0, Percentile(latencies, 0.99) / 1000.0);
    std::printf(
        "  of which %zu arrived with no earlier reply waiting: median %.1f us, 99th percentile %.1f us\n",
        alone.size(), Percentile(alone, 0.5) / 1000.0, Percentile(alone, 0.99) / 1000.0);
    std::printf("  and %zu queued behind earlier replies: median %.1f us, 99th percentile %.1f us\n",
                queued.size(), Percentile(queued, 0.5) / 1000.0, Percentile(queued, 0.99) / 1000.0);
    std::printf(
        "bare recvfrom wake-up alongside (own thread and socket, same time): median %.1f us, 99th "
        "percentile %.1f us\n",
        Percentile(alongsideLatencies, 0.5) / 1000.0, Percentile(alongsideLatencies, 0.99) / 1000.0);
    std::printf("bare recvfrom wake-up (same socket, idle): median %.1f us, 99th percentile %.1f us\n",
                Percentile(bareLatencies, 0.5) / 1000.0, Percentile(bareLatencies, 0.99) / 1000.0);
    return 0;
}
