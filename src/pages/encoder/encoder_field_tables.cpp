#include "pages/encoder/encoder8_logic.h"
#include "pages/encoder/magnum_logic.h"
#include "pages/encoder/transcoder_logic.h"
#include "pages/field_tables.h"

namespace nms {

// One line per field table of this folder's pages.
void AppendEncoderFieldTables(std::vector<NamedFieldTable>& out) {
    out.push_back({"Encoder8Narrow", &Encoder8NarrowTable(), kEncoder8NarrowSize});
    out.push_back({"Encoder8NarrowShortAudio", &Encoder8NarrowShortAudioTable(), kEncoder8NarrowSize});
    out.push_back({"Encoder8Wide", &Encoder8WideTable(), kEncoder8WideSize});
    out.push_back({"MagnumChannel", &MagnumTable(), kMagnumRecordSize});
    out.push_back({"TranscoderChannel", &TranscoderTable(), kTranscoderRecordSize});
}

}  // namespace nms
