#include "devices/config_operation.h"

#include <mutex>

#include "devices/device_packet.h"
#include "devices/reply_receiver.h"
#include "devices/reply_routing.h"
#include "platform/prompt.h"

namespace nms {

bool ConfigOperation(const DevicePtr& device, int operation, const PostToGui& post) {
    if (!device || IsDeviceOnline(device.get()) != 1)
        return false;
    if (operation == kConfigFactory &&
        !Confirm("Restore to factory will clear all settings to default, continue ?")) {
        return false;
    }
    if (operation == kConfigReload &&
        !Confirm("Re-load settings form flash will clear all un-saved settings, continue ?")) {
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(DeviceListMutex());
        if (device->link)
            device->link->sendLength = 0;
    }
    if (ReplyWindowOf(device.get()) && post) {
        // Looked up again on delivery: the page may have gone in between.
        post([device, operation] {
            if (IReplyReceiver* page = ReplyWindowOf(device.get()))
                page->OnConfigOperation(1, operation);
        });
    }
    const uint8_t op = uint8_t(operation);
    return SendCommand(3, 1, 1, device.get(), &op, 1) == kSendQueued;
}

}  // namespace nms
