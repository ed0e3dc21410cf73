// Delivery of what the link received to the window registered for the device. Runs on the GUI thread;
// the receiver is looked up at delivery time, so a page that unregistered itself is never reached.
#pragma once

#include <cstdint>

namespace nms {

struct DeviceRecord;
class IReplyReceiver;
class ReplyView;

// Makes receiver the device's reply window (creating the link when it has none).
void SetReplyWindow(DeviceRecord* device, IReplyReceiver* receiver);
// The configuration-transfer window: commands 23, 24 and 25 go there instead.
void SetTransferWindow(DeviceRecord* device, IReplyReceiver* receiver);
IReplyReceiver* ReplyWindowOf(const DeviceRecord* device);
IReplyReceiver* TransferWindowOf(const DeviceRecord* device);
// Clears every link field of the device that points at receiver.
void UnregisterReceiver(DeviceRecord* device, IReplyReceiver* receiver);

// True for the commands of the configuration transfer (23, 24, 25).
constexpr bool IsTransferCommand(uint8_t command) {
    return command >= 23 && command <= 25;
}

// A reply of any command but 1 to 4: to the transfer window for 23 to 25, else to the reply window.
// Dropped when there is none. Stores the packet length as the link's last received length.
void DeliverDeviceReply(DeviceRecord* device, const ReplyView& reply);
// Command 3 finished: the reply window gets the operation (the reply's first payload byte, sign-extended).
void DeliverConfigOperationReply(DeviceRecord* device, int operation);
// Command 4: with a reply window, it gets timer 4 and then "Device restart" is reported; else nothing.
void DeliverDeviceRestart(DeviceRecord* device);

}  // namespace nms
