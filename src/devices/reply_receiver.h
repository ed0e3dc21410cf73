// What the network thread delivers to the window that receives a device's replies (a page, or the
// configuration-transfer dialog). Every call arrives on the GUI thread.
#pragma once

namespace nms {

struct DeviceRecord;
class ReplyView;

class IReplyReceiver {
public:
    // A reply for the device. The view and its bytes live only for the duration of the call: copy what
    // must be kept. The network thread waits until this returns, so requests queued here leave afterwards
    // (only the last one per device).
    virtual void OnDeviceReply(DeviceRecord* device, const ReplyView& reply) = 0;
    // A configuration operation (save 1, reload 2, factory reset 3) started (started != 0) or finished
    // (started == 0, the device's reply).
    virtual void OnConfigOperation(int started, int operation) = 0;
    // A window timer; the link sends id 4 when the device reports a restart, which ends a wait as a time-out.
    virtual void OnTimer(int id) = 0;

protected:
    ~IReplyReceiver() = default;
};

// Message numbers the program has always used for these deliveries.
constexpr int WM_DEVICE_REPLY = 0x465;
constexpr int WM_CONFIG_OPERATION = 0x466;

}  // namespace nms
