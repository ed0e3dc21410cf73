#include "pages/encoder/encoder8_logic.h"
#include "pages/encoder/encoder_output_logic.h"
#include "pages/encoder/encoder_system_logic.h"
#include "pages/encoder/hd4in1_logic.h"
#include "pages/encoder/hd_av_logic.h"
#include "pages/encoder/ip_out_logic.h"
#include "pages/encoder/magnum_logic.h"
#include "pages/encoder/sd_encoder_logic.h"
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
    out.push_back({"EncoderOutputImage", &EncoderOutputTable(), kEncoderImageSize});
    out.push_back({"IpOutRecords", &IpOutTable(), kIpOutImageSize});
    out.push_back({"SdVideoBlock", &SdVideoTable(), kSdVideoBlockSize + 1});
    out.push_back({"SdAudioBlock", &SdAudioTable(), kSdAudioBlockSize});
    out.push_back({"EncoderSystemBlock", &EncoderSystemTable(), kEncoderSystemImageSize});
    out.push_back({"HdSystemBlock", &HdSystemTable(), kHdSystemWireSize});
    out.push_back({"HdAvBlock", &HdAvTable(), kHdAvBlockSize});
    out.push_back({"Hd4Version0", &Hd4V0Table(), kHd4ImageSize});
    out.push_back({"Hd4Version1", &Hd4V1Table(), kHd4V1ImageSize});
    out.push_back({"Hd4Version3", &Hd4V3Table(), kHd4ImageSize});
}

}  // namespace nms
