#include "pages/field_tables.h"
#include "pages/modulator/dtmb4_logic.h"
#include "pages/modulator/dvbt_logic.h"
#include "pages/modulator/qam4_logic.h"
#include "pages/modulator/qam_record_logic.h"
#include "pages/modulator/tuner2qam_logic.h"

namespace nms {

// One line per field table of this folder's pages.
void AppendModulatorFieldTables(std::vector<NamedFieldTable>& out) {
    out.push_back({"QamModulatorParams", &QamModulatorParamsTable(), kQamModulatorParamsSize});
    out.push_back({"MuxQamOutputParams", &MuxQamOutputParamsTable(), kMuxQamOutputParamsSize});
    out.push_back({"Qam4ModulatorParams", &Qam4StandardTable(), kQam4RecordSize});
    out.push_back({"Qam4DvbtParams", &Qam4DvbtTable(), kQam4DvbtSize});
    out.push_back({"Qam4ModuleBlock", &Qam4ModuleTable(), kQam4ModuleSize});
    out.push_back({"TunerChannelBlocks", &Tuner2QamTable(), kTunerAreaSize});
    out.push_back({"DvbS2ModBlock", &DvbS2Table(), kDvbtBlockSize});
    out.push_back({"DtmbModBlock", &DtmbTable(), kDvbtBlockSize});
    out.push_back({"DtmbModBlock (DVB-T)", &DvbtTable(), kDvbtBlockSize});
    out.push_back({"DvbT2ModBlock", &DvbT2Table(), kDvbtBlockSize});
    out.push_back({"DtmbMultiModBlock", &DtmbMultiTable(), kDtmbMultiBlockSize});
}

}  // namespace nms
