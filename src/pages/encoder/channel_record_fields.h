// Field makers shared by the multi-channel encoder and transcoder pages' channel records.
#pragma once

#include <string>
#include <vector>

#include "pagebase/field_table.h"

namespace nms::channel_fields {

FieldDef Decimal(std::string key, std::string label, int offset, Wire wire = Wire::kU8,
                 bool isSigned = false);
// A PID or other 16-bit value typed in hexadecimal and shown "%X".
FieldDef Hex16(std::string key, std::string label, int offset);
FieldDef List(std::string key, std::string label, int offset, const std::vector<std::string>& texts,
              Wire wire = Wire::kU8);
FieldDef ListData(std::string key, std::string label, int offset, std::vector<Choice> choices,
                  Wire wire = Wire::kU8);
FieldDef Flag(std::string key, std::string label, int offset, uint32_t mask = 0);
// A zero-terminated name of 32 bytes: a typed text keeps its first 31 bytes (never half a character).
FieldDef Name(std::string key, std::string label, int offset);

// The longest prefix of a code-page (GBK) text of at most max bytes that does not split a character.
std::string CutCodePageText(const std::string& text, size_t max);

}  // namespace nms::channel_fields
