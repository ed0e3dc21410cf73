#include "app/page_registry.h"
#include "pages/receiver/dvbs_system_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterReceiverPages() {
    RegisterPageClass<CDVBSSystemView>("CDVBSSystemView");
}

}  // namespace nms
