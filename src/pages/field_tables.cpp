#include "pages/field_tables.h"

namespace nms {

std::vector<NamedFieldTable> AllFieldTables() {
    std::vector<NamedFieldTable> out;
    AppendEncoderFieldTables(out);
    AppendModulatorFieldTables(out);
    AppendReceiverFieldTables(out);
    AppendIrdFieldTables(out);
    return out;
}

}  // namespace nms
