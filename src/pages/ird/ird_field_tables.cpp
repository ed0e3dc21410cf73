#include "pages/field_tables.h"
#include "pages/ird/cam_ird_input.h"
#include "pages/ird/cam_ird_program_logic.h"
#include "pages/ird/decoder_settings.h"

namespace nms {

// One line per field table of this folder's pages.
void AppendIrdFieldTables(std::vector<NamedFieldTable>& out) {
    out.push_back({"CamIrdInputParams", &CamIrdInputTable(), kCamInputSize});
    out.push_back({"CamIrdSource", &CamIrdSourceTable(), kCamSourceSize});
    out.push_back({"DecoderSettingsBlock", &DecoderSettingsTable(), kDecoderBlockSize});
    out.push_back({"Decoder4SettingsBlock", &Decoder4SettingsTable(), kDecoderBlockSize});
    out.push_back({"CamIrdOutputConfig", &CamOutputConfigTable(), kCamOutputConfigSize});
}

}  // namespace nms
