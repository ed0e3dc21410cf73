#include "app/page_registry.h"
#include "pages/receiver/dvbs_monitor_view.h"
#include "pages/receiver/dvbs_system_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterReceiverPages() {
    RegisterPageClass<CDVBSSystemView>("CDVBSSystemView");
    RegisterPageClass<CDVBSMonitorView>("CDVBSMonitorView");
}

}  // namespace nms
