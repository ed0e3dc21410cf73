// How the network thread hands work to the GUI thread, and what the GUI shows of the link.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "devices/device_events.h"

namespace nms {

struct DeviceRecord;

// Runs work on the GUI thread later, in the order it was handed over. Never blocks the caller. Work that
// is still queued when the receiving side goes away may be dropped.
class IGuiHandoff {
public:
    virtual ~IGuiHandoff() = default;
    virtual void Post(std::function<void()> work) = 0;
    // Runs a batch of short work items (status changes and their events) in order, after what was handed
    // over before, with the alarm log flushed once for the lot. A hand-off may spread a batch over several
    // turns of its event loop.
    virtual void PostBatch(std::vector<std::function<void()>> batch) {
        Post([batch = std::move(batch)] {
            AlarmLogBatch log;
            for (const auto& work : batch)
                work();
        });
    }
};

// What the network thread has the GUI thread show (all calls on the GUI thread).
class INetworkObserver {
public:
    virtual ~INetworkObserver() = default;
    // The device went online or offline: show its status icon.
    virtual void UpdateStatusIcon(DeviceRecord* device) {}
    // A version reply (any device): the information list's version rows.
    virtual void SetVersion(uint32_t version) {}
    // A heartbeat reply with a payload: the information list's code row when it shows that device.
    virtual void ShowCode(const uint8_t* payload, int length, const DeviceRecord* device) {}
};

}  // namespace nms
