// Field builders, checks and status helpers shared by the SD and HD encoder pages: PID texts checked by
// their whole value, service names cut at a whole character, lists whose out-of-range values show a
// fixed entry, and the running maximum and minimum of a polled bitrate.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/bitrate_range.h"  // the running maximum and minimum, restarted by every Get
#include "pagebase/field_table.h"

namespace nms {

// "Value range should be between " and the largest PID.
extern const char* const kPidRangeText;
constexpr int64_t kMaxPid = 0x1FFF;

// A list field whose choices are texts with values 0, 1, 2, ... (or the values given).
FieldDef ListField(const char* key, const char* label, int offset, std::initializer_list<const char*> texts,
                   Control control = Control::kCombo);
FieldDef ListFieldOf(const char* key, const char* label, int offset,
                     std::initializer_list<std::pair<const char*, uint32_t>> choices, Wire wire = Wire::kU8,
                     Control control = Control::kCombo);
// A decimal edit with its range; the range message is the program's default one.
FieldDef NumberField(const char* key, const char* label, int offset, Wire wire, int64_t min, int64_t max,
                     bool isSigned = false);
// A zero-terminated name of a fixed field: at most length - 1 bytes go out, never half a character.
FieldDef NameField(const char* key, const char* label, int offset, int length);
// A hexadecimal PID text: only hexadecimal digits, an empty text is 0, and the whole value must fit
// `max` (a 16-bit field at most). message is shown for either fault.
FieldDef PidField(const char* key, const char* label, int offset, std::string message, int64_t max = 0xFFFF);
FieldDef FlagField(const char* key, const char* label, int offset);

// The value of a text of hexadecimal digits (all of them, any length, saturating), or none when a
// character is not one.
std::optional<uint64_t> HexValue(const std::string& text);

// "%s%s%d-%#X": caption, kPidRangeText, 0, 8191.
std::string PidRangeMessage(const std::string& caption);

// The text of a value in thousandths, "%d.%03d" (a negative value keeps its sign in front).
std::string FormatThousandths(int64_t value);

// GBK text cut to at most maxBytes without splitting a two-byte character.
std::string CutGbk(const std::string& text, size_t maxBytes);

// What the form shows for a list field whose value has no entry of its own: the index of a fixed entry.
struct ListFallback {
    const char* key;
    int index;
};
// The index the form shows for field key of table: its own entry, else the fallback.
int ShownIndex(const FieldTable& table, const ParamBlock& block, const ListFallback& fallback);

}  // namespace nms
