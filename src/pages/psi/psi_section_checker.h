// Structural check of an MPEG-2 / DVB section before it goes to a device: section_length against the
// bytes, the CRC_32, and every loop and descriptor length tiling its loop exactly (ISO/IEC 13818-1 for
// PAT, CAT and PMT; EN 300 468 for NIT and SDT).
#pragma once

#include <cstdint>
#include <string>

namespace nms {

// True when the section (table_id through CRC_32, exactly length bytes) is sound. Otherwise problem
// (when given) says what is wrong, in English.
bool CheckPsiSection(const uint8_t* section, int length, std::string* problem = nullptr);

}  // namespace nms
