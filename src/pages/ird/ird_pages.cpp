#include "app/page_registry.h"
#include "pages/ird/adapter_views.h"
#include "pages/ird/stb_key_ctrl.h"

namespace nms {

// One line per page class of this folder.
void RegisterIrdPages() {}

}  // namespace nms
