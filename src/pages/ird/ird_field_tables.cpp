#include "pages/field_tables.h"

namespace nms {

// One line per field table of this folder's pages.
void AppendIrdFieldTables(std::vector<NamedFieldTable>& out) {}

}  // namespace nms
