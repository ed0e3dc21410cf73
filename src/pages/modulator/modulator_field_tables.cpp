#include "pages/field_tables.h"
#include "pages/modulator/qam_record_logic.h"

namespace nms {

// One line per field table of this folder's pages.
void AppendModulatorFieldTables(std::vector<NamedFieldTable>& out) {
    out.push_back({"QamModulatorParams", &QamModulatorParamsTable(), kQamModulatorParamsSize});
    out.push_back({"MuxQamOutputParams", &MuxQamOutputParamsTable(), kMuxQamOutputParamsSize});
}

}  // namespace nms
