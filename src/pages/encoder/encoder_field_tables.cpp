#include "pages/encoder/encoder_output_logic.h"
#include "pages/encoder/ip_out_logic.h"
#include "pages/field_tables.h"

namespace nms {

// One line per field table of this folder's pages.
void AppendEncoderFieldTables(std::vector<NamedFieldTable>& out) {
    out.push_back({"EncoderOutputImage", &EncoderOutputTable(), kEncoderImageSize});
    out.push_back({"IpOutRecords", &IpOutTable(), kIpOutImageSize});
}

}  // namespace nms
