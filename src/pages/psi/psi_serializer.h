// Packs a table's field items back into section bytes, in tree order, and closes the section with a
// fresh CRC_32 at its crc_32 item.
#pragma once

#include <cstdint>

#include "pages/psi/psi_tree.h"

namespace nms {

// Packs the children of parent (a table root or a PMT node) into buffer. Returns the byte count, CRC
// included, or -1 when the items would not fit in capacity bytes.
int SerializeTree(const PsiItem* parent, uint8_t* buffer, int capacity);

}  // namespace nms
