// Field makers shared by the multi-channel encoder and transcoder pages' channel records.
#pragma once

#include <string>
#include <vector>

#include "pagebase/field_table.h"

namespace nms::channel_fields {

using fields::Decimal;
using fields::Flag;
using fields::List;
using fields::ListData;
// A PID or other 16-bit value typed in hexadecimal and shown "%X".
FieldDef Hex16(std::string key, std::string label, int offset);
// A zero-terminated name of 32 bytes: a typed text keeps its first 31 bytes (never half a character).
FieldDef Name(std::string key, std::string label, int offset);

// The longest prefix of a code-page (GBK) text of at most max bytes that does not split a character.
std::string CutCodePageText(const std::string& text, size_t max);

}  // namespace nms::channel_fields
