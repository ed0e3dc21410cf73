#include "app/page_registry.h"
#include "pages/modulator/dtmb4_view.h"
#include "pages/modulator/dvbt_view.h"
#include "pages/modulator/qam4_view.h"
#include "pages/modulator/qam_base_view.h"
#include "pages/modulator/tuner2qam_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterModulatorPages() {
    RegisterPageClass<Cqam4>("Cqam4");
    RegisterPageClass<CQamBaseView>("CQamBaseView");
    RegisterPageClass<CmuxQAM>("CmuxQAM");
    RegisterPageClass<Ctuner2qam>("Ctuner2qam");
    RegisterPageClass<CDVBTView>("CDVBTView");
    RegisterPageClass<Cdtmb4>("Cdtmb4");
}

}  // namespace nms
