#include "app/page_registry.h"
#include "pages/encoder/encoder8_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterEncoderPages() {
    RegisterPageClass<Cencoder8>("Cencoder8");
}

}  // namespace nms
