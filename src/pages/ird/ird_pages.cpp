#include "app/page_registry.h"

namespace nms {

// One line per page class of this folder.
void RegisterIrdPages() {}

}  // namespace nms
