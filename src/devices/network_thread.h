// The network thread: owns the program's UDP socket, sends the requests that pages queue, sends a
// heartbeat to every device at each tick and decides which devices are online, and verifies and routes
// every reply. It never touches a widget: events, icons, list rows and boxes go to the GUI thread in the
// order they arose; a reply for a page is handed over and the thread waits until the page's handler has
// returned (or the program is shutting down).
//
// Each wake-up does one thing, in this priority: the send pass (every pending send slot), else the
// heartbeat pass, else one received datagram.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/device_registry.h"
#include "devices/gui_handoff.h"

namespace nms {

struct DeviceRecord;
// Shows the "configuration saved" box of a device on the GUI thread; notices that come while such a box is
// open are merged per device (with a count) and shown after it closes, never inside it.
void ShowSavedNotice(const DeviceRecord* device, const std::string& text);

constexpr int kReceiveBufferSize = 65536;  // any UDP datagram fits

// The packet length a verified datagram hands to its device (header + payload, without the CRC; the whole
// datagram for a 0x3101 reply whose CRC does not match), or -1 when it is dropped: shorter than a packet,
// a bad CRC, or a payload length field that disagrees with the datagram's size.
int CheckedPacketLength(const uint8_t* datagram, int size);

struct NetworkStats {
    std::atomic<uint64_t> datagrams{0};   // received datagrams, dropped ones included
    std::atomic<uint64_t> dropped{0};     // failed the checks or came from no listed device
    std::atomic<uint64_t> processed{0};   // datagrams done with (hand-offs returned, work queued)
    std::atomic<uint64_t> heartbeats{0};  // heartbeat requests sent
    std::atomic<uint64_t> requests{0};    // page requests sent
    std::atomic<uint64_t> sendPasses{0};
    std::atomic<uint64_t> heartbeatPasses{0};
};

class NetworkThread {
public:
    struct Options {
        uint32_t bindAddress = 0;  // network order; 0: any
        uint16_t bindPort = 0;     // 0: the system chooses
        int receiveBufferBytes = 16 << 20;
        bool installSendWaker = true;  // SendCommand wakes this thread
    };

    // observer may be null. The registry, hand-off and observer must outlive the thread (Stop / destroy).
    NetworkThread(DeviceRegistry& registry, IGuiHandoff& gui, INetworkObserver* observer = nullptr);
    NetworkThread(DeviceRegistry& registry, IGuiHandoff& gui, INetworkObserver* observer, Options options);
    ~NetworkThread();  // Stop()
    NetworkThread(const NetworkThread&) = delete;
    NetworkThread& operator=(const NetworkThread&) = delete;

    // Opens and binds the socket and starts the thread; false when the socket cannot be opened.
    bool Start();
    // Ends the thread and joins it: releases a hand-off the thread waits for, so a handler that is still
    // running (say, inside a modal box) does not keep the program from closing. Idempotent.
    void Stop();
    bool IsRunning() const { return m_thread.joinable(); }

    // The heartbeat tick (the device tree's 5-second timer 1).
    void Tick();
    // Wakes the thread for a send pass (what SendCommand does through the send waker).
    void WakeForSend();

    uint16_t LocalPort() const { return m_localPort; }
    // The socket stays open after Stop until the object is destroyed.
    int SocketFd() const { return m_socket; }
    const NetworkStats& Stats() const { return m_stats; }
    // CPU time the thread has used so far, in nanoseconds (-1 when it is not running).
    int64_t CpuTimeNs();

private:
    struct Target;
    struct CallState;

    // The thread body.
    void NetworkThreadProc();
    void Wake();
    void RefreshTargets();
    void SendPass();
    void HeartbeatPass();
    // One datagram; false when none was waiting.
    bool ReceiveOne();
    void Dispatch(const DevicePtr& device, int packetLength);
    // Runs work on the GUI thread and waits until it returned or the thread is stopping.
    void CallOnGui(std::function<void()> work);

    DeviceRegistry& m_registry;
    IGuiHandoff& m_gui;
    INetworkObserver* m_observer;
    Options m_options;

    int m_socket = -1;
    int m_wakeFd = -1;
    uint16_t m_localPort = 0;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_sendPending{false};
    std::atomic<bool> m_tickPending{false};

    // Shared so that a handler still running after shutdown keeps its bytes.
    std::shared_ptr<std::vector<uint8_t>> m_receiveBuffer;
    std::vector<Target> m_targets;  // network thread only
    uint64_t m_targetsGeneration = ~uint64_t(0);

    std::mutex m_callMutex;  // guards m_pendingCall
    std::shared_ptr<CallState> m_pendingCall;

    NetworkStats m_stats;
};

}  // namespace nms
