// The Operate menu's configuration operations on one device: save the configuration in its flash (1),
// reload it from flash (2), restore the factory defaults (3), all with command 3.
#pragma once

#include <functional>

#include "devices/device_registry.h"

namespace nms {

enum : int { kConfigSave = 1, kConfigReload = 2, kConfigFactory = 3 };

// Runs work later on the GUI thread, after what is running now (the start notice is posted, not called).
using PostToGui = std::function<void(std::function<void()>)>;

// Only for an online device: asks for confirmation (reload and factory reset), empties the device's send
// slot, tells its page that the operation started (posted) and queues command 3 with the operation byte.
// True when the request was queued.
bool ConfigOperation(const DevicePtr& device, int operation, const PostToGui& post);

}  // namespace nms
