#include "app/page_registry.h"
#include "pages/encoder/encoder8_view.h"
#include "pages/encoder/encoder_asi_view.h"
#include "pages/encoder/magnum_cmd_view.h"
#include "pages/encoder/magnum_view.h"
#include "pages/encoder/transcoder_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterEncoderPages() {
    RegisterPageClass<Cencoder8>("Cencoder8");
    RegisterPageClass<CEncoderASIView>("CEncoderASIView");
    RegisterPageClass<Cmagnum>("Cmagnum");
    RegisterPageClass<Cmagnum_cmd4>("Cmagnum_cmd4");
    RegisterPageClass<Ctranscoder>("Ctranscoder");
}

}  // namespace nms
