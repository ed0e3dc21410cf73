#include "app/page_registry.h"
#include "pages/ird/adapter_views.h"
#include "pages/ird/cam4_decrypt_view.h"
#include "pages/ird/cam4_monitor_view.h"
#include "pages/ird/cam_ird_input_view.h"
#include "pages/ird/cam_ird_view.h"
#include "pages/ird/cam_mux_view.h"
#include "pages/ird/decoder4_view.h"
#include "pages/ird/ird_cam_decoder_view.h"
#include "pages/ird/stb_key_ctrl.h"

namespace nms {

// One line per page class of this folder.
void RegisterIrdPages() {
    RegisterPageClass<CStbKeyCtrl>("CStbKeyCtrl");
    RegisterPageClass<C4e1_asi>("C4e1_asi");
    RegisterPageClass<CDS3AdapterView>("CDS3AdapterView");
    RegisterPageClass<CASIDistributorView>("CASIDistributorView");
    RegisterPageClass<CCAMIRD_INPUT>("CCAMIRD_INPUT");
    RegisterPageClass<CIRD_CAM_decoder>("CIRD_CAM_decoder");
    RegisterPageClass<Cdecoder4>("Cdecoder4");
    RegisterPageClass<Ccam4ird_monitors>("Ccam4ird_monitors");
    RegisterPageClass<Ccam4ird_decrypt>("Ccam4ird_decrypt");
    RegisterPageClass<CCAMIRDView>("CCAMIRDView");
    RegisterPageClass<Ccam_ird_mux>("Ccam_ird_mux");
}

}  // namespace nms
