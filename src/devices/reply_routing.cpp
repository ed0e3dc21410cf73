#include "devices/reply_routing.h"

#include <mutex>

#include "devices/device_events.h"
#include "devices/device_record.h"
#include "devices/reply_receiver.h"
#include "devices/reply_view.h"

namespace nms {

void SetReplyWindow(DeviceRecord* device, IReplyReceiver* receiver) {
    if (!device)
        return;
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (!device->link)
        device->link = std::make_unique<DeviceLink>();
    device->link->replyWindow = receiver;
}

void SetTransferWindow(DeviceRecord* device, IReplyReceiver* receiver) {
    if (!device)
        return;
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (!device->link)
        device->link = std::make_unique<DeviceLink>();
    device->link->transferWindow = receiver;
}

IReplyReceiver* ReplyWindowOf(const DeviceRecord* device) {
    if (!device)
        return nullptr;
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    return device->link ? device->link->replyWindow : nullptr;
}

IReplyReceiver* TransferWindowOf(const DeviceRecord* device) {
    if (!device)
        return nullptr;
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    return device->link ? device->link->transferWindow : nullptr;
}

void UnregisterReceiver(DeviceRecord* device, IReplyReceiver* receiver) {
    if (!device || !receiver)
        return;
    std::lock_guard<std::mutex> lock(DeviceListMutex());
    if (!device->link)
        return;
    if (device->link->replyWindow == receiver)
        device->link->replyWindow = nullptr;
    if (device->link->transferWindow == receiver)
        device->link->transferWindow = nullptr;
}

void DeliverDeviceReply(DeviceRecord* device, const ReplyView& reply) {
    if (!device || !reply.IsValid())
        return;
    IReplyReceiver* receiver = nullptr;
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        if (!device->link)
            return;
        device->link->lastReceivedLength = reply.PacketLength();
        receiver =
            IsTransferCommand(reply.Command()) ? device->link->transferWindow : device->link->replyWindow;
    }
    if (receiver)
        receiver->OnDeviceReply(device, reply);
}

void DeliverConfigOperationReply(DeviceRecord* device, int operation) {
    IReplyReceiver* receiver = ReplyWindowOf(device);
    if (receiver)
        receiver->OnConfigOperation(0, operation);
}

void DeliverDeviceRestart(DeviceRecord* device) {
    IReplyReceiver* receiver = ReplyWindowOf(device);
    if (!receiver)
        return;
    receiver->OnTimer(4);
    PostDeviceEvent(device, "Device restart");
}

}  // namespace nms
