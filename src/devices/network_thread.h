// The network thread: owns the program's UDP socket, sends the requests that pages queue, sends a
// heartbeat to every device at each tick and decides which devices are online, and verifies and routes
// every reply. It never touches a widget: events, icons, list rows and boxes go to the GUI thread in the
// order they arose; a reply for a page is handed over and the thread waits until the page's handler has
// returned (or the program is shutting down).
//
// Priorities: the send pass (every pending send slot), then the heartbeat pass, then received datagrams.
// None starves another: the heartbeat pass sends in chunks, and between chunks the socket is drained and a
// pending send pass runs, so replies and page requests never wait for a whole pass over a long list.
//
// A page reply is handed to the GUI thread and the next page reply waits until that handler has returned
// (so does the send pass: requests a handler queues leave after it returns). Page replies that are already
// waiting when a handler returns are delivered by the GUI thread right after it, unless a request was
// queued meanwhile: with nothing to send in between, the order is the same as with one hand-off each, and
// a burst of replies does not pay two thread wake-ups per reply. Heartbeat and version replies
// are never held up by that wait: they are taken from the socket and counted meanwhile, while page replies
// that arrive wait, in order, in a bounded queue. A device that answers its heartbeats is therefore never
// reported offline because another device's page is busy with a flood of replies or a modal box.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
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
    std::atomic<uint64_t> queueOverflows{0};  // page replies dropped because the queue was full
};

// Page replies waiting for their hand-off, at most (and at most this many bytes).
constexpr size_t kReplyQueueLimit = 65536;
constexpr size_t kReplyQueueBytes = 64u << 20;
// Page replies that the GUI thread may deliver in one go, and for how long it may go on.
constexpr size_t kReplyRunLimit = 64;
constexpr int kReplyRunMs = 4;
// Heartbeats sent per chunk of the heartbeat pass. A page reply that arrives during the pass waits in the
// socket for the chunk being sent and for the heartbeat replies queued ahead of it (a few microseconds
// each): 64 keeps that wait near a tenth of a millisecond, where 256 let it reach two or three.
constexpr int kHeartbeatChunk = 64;

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
    // Wakes the thread for a send pass over every slot.
    void WakeForSend();
    // Wakes the thread for a send pass; the slot of this device was filled (what SendCommand does through
    // the send waker).
    void WakeForSend(DeviceRecord* device);

    uint16_t LocalPort() const { return m_localPort; }
    // The socket stays open after Stop until the object is destroyed.
    int SocketFd() const { return m_socket; }
    const NetworkStats& Stats() const { return m_stats; }
    // CPU time the thread has used so far, in nanoseconds (-1 when it is not running).
    int64_t CpuTimeNs();

private:
    struct Target;
    struct Targets;
    struct CallState;
    struct QueuedReply;
    struct ReceiveBatch;

    // The thread body.
    void NetworkThreadProc();
    void Wake();
    // The current targets, rebuilt when the list changed.
    std::shared_ptr<const Targets> CurrentTargets();
    void SendPass();
    // Sends the next chunk of the running heartbeat pass; false when the pass is done.
    bool HeartbeatChunk();
    // Takes up to limit datagrams from the socket; false when it had no more.
    bool Drain(int limit);
    // A page-bound reply: queued for its hand-off. Heartbeat and version replies: handled at once.
    void QueuePageReply(const DevicePtr& device, const uint8_t* packet, int packetLength);
    void HandleLinkReply(const DevicePtr& device, const uint8_t* packet, int packetLength);
    // Hands the next queued page reply over when no handler runs.
    void HandOverNext();
    // True (and the finished call cleared) when no handler runs any more.
    bool CallIdle();
    // Starts work on the GUI thread; the thread learns of its return through its wake-up.
    void CallOnGui(std::function<void()> work);
    // Hands a run of page replies to the GUI thread (see HandOverNext).
    void CallOnGuiRun(std::vector<QueuedReply> run);
    // Work for the GUI thread, in order; status changes go in one batch per burst.
    void Post(std::function<void()> work);
    void PostBatched(std::function<void()> work);
    void FlushBatch();

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

    std::mutex m_sendMutex;                   // guards the two below
    std::vector<DeviceRecord*> m_sendQueued;  // devices whose slot was filled since the last send pass
    bool m_sendAll = false;                   // a wake without a device: look at every slot

    // Network thread only, from here to m_pendingCall.
    std::unique_ptr<ReceiveBatch> m_receive;
    std::shared_ptr<const Targets> m_targets;
    uint64_t m_targetsGeneration = ~uint64_t(0);
    std::shared_ptr<const Targets> m_pass;  // the running heartbeat pass, or null
    size_t m_passNext = 0;
    std::deque<QueuedReply> m_replies;
    size_t m_replyBytes = 0;
    std::vector<std::function<void()>> m_batch;
    uint64_t m_batchProcessed = 0;  // heartbeat and version replies whose work waits in m_batch

    std::mutex m_callMutex;  // guards m_pendingCall
    std::shared_ptr<CallState> m_pendingCall;

    NetworkStats m_stats;
};

}  // namespace nms
