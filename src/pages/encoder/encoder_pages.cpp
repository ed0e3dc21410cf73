#include "app/page_registry.h"
#include "pages/encoder/encoder_public_view.h"
#include "pages/encoder/ip_out_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterEncoderPages() {
    RegisterPageClass<CEncoderPublicView>("CEncoderPublicView");
    RegisterPageClass<CEncoderIPOutView>("CEncoderIPOutView");
}

}  // namespace nms
