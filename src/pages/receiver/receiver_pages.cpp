#include "app/page_registry.h"
#include "pages/receiver/asi2ip_view.h"
#include "pages/receiver/dvbs2_8x_tuner_view.h"
#include "pages/receiver/dvbs2_signal_monitor_view.h"
#include "pages/receiver/dvbs_monitor_view.h"
#include "pages/receiver/dvbs_system_view.h"
#include "pages/receiver/ip_gateway_view.h"
#include "pages/receiver/multi_ip_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterReceiverPages() {
    RegisterPageClass<CDVBSSystemView>("CDVBSSystemView");
    RegisterPageClass<CDVBSMonitorView>("CDVBSMonitorView");
    RegisterPageClass<Cdvbs2_8xTuner>("Cdvbs2_8xTuner");
    RegisterPageClass<CDVBS2signalMonitor>("CDVBS2signalMonitor");
    RegisterPageClass<CMultiIPout>("CMultiIPout");
    RegisterPageClass<CIPGateWayView1>("CIPGateWayView1");
    RegisterPageClass<Casi2ip>("Casi2ip");
}

}  // namespace nms
