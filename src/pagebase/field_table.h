// Parameter blocks described as data. A page declares the fields of a device record once (offset, wire
// type, bits, control, codec, range, choices, message); shared code reads the record into the form and the
// form back into the record. The block keeps every byte as read and a field is written only when the
// operator changed what the form showed for it, so a Get followed by an untouched Set sends exactly what
// was read. Checks run in table order and stop at the first failure with that field's message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/byte_io.h"

namespace nms {

enum class Wire : uint8_t { kU8, kU16LE, kU16BE, kU32LE, kU32BE, kBytes };

enum class Control : uint8_t {
    kEdit,       // a text field
    kCombo,      // a list: the selection's item data is the value
    kCheck,      // a check box: checked writes the field's bits (or 1), unchecked 0
    kReadOnly,   // shown, never taken back (status values)
    kIpAddress,  // a dotted-address control
    kRadio       // one radio button per choice, in a row
};

enum class Codec : uint8_t {
    kDecimal,     // unsigned decimal (signed when FieldDef::isSigned)
    kHex,         // hexadecimal, "%x"
    kHexUpper,    // hexadecimal, "%X"
    kKhzAsMhz,    // "%d.%03d"; typed MHz with at most 5 integer digits
    kSymbolRate,  // "%d.%03d"; typed Msym/s: digits and '.' only
    kHalfStepDb,  // "%d.%d" of tenths; typed in 0.5 steps
    kKbpsAsMbps,  // "%d.%03d"; typed Mbit/s with up to three places
    kDottedIp,    // four bytes, first octet first
    kMac,         // six bytes, "xx:xx:xx:xx:xx:xx"
    kText,        // a fixed text field of `length` bytes (code-page bytes, NUL padded)
    kChoice,      // with Control::kCombo; without choices the page fills the list, the value is the index
    kFlag,        // used with Control::kCheck
};

struct Choice {
    std::string text;
    uint32_t data = 0;
};

struct FieldDef {
    std::string key;    // the page's name for the field (layout, rules, tests)
    std::string label;  // the caption beside the control; a check box's own text
    int offset = 0;
    Wire wire = Wire::kU8;
    uint32_t mask = 0;  // the bits of the value this field owns (value shifted down); 0: all
    int length = 0;     // bytes of a kBytes field (text, MAC, address)
    Control control = Control::kEdit;
    Codec codec = Codec::kDecimal;
    int64_t min = 0;
    int64_t max = -1;  // below min: the widest range the field's bits hold
    bool isSigned = false;
    bool nonZeroIsOn = false;  // an off/on list: any value but 0 shows the entry whose data is not 0
    std::vector<Choice> choices;
    std::string message;       // shown when the text is refused (format or range)
    std::string rangeMessage;  // shown when only the range is wrong; empty: message, or the default text
    std::string stepMessage;   // half steps: a first decimal other than 0 or 5
    char macSeparator = ':';   // between the pairs of a MAC as shown
    // A page's own reading of the text or text of the value, where the codec's is not the device's.
    struct FieldResult (*parse)(const FieldDef& field, const struct FieldInput& input) = nullptr;
    std::string (*format)(const FieldDef& field, int64_t value) = nullptr;

    int64_t Min() const;
    int64_t Max() const;
};

using FieldTable = std::vector<FieldDef>;

// The index of the field with that key, or -1.
int FindField(const FieldTable& table, const std::string& key);

// A record image of fixed size. Load copies only what arrived; the rest keeps its bytes.
class ParamBlock {
public:
    explicit ParamBlock(size_t size = 0) : m_bytes(size, 0) {}

    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    std::vector<uint8_t>& Bytes() { return m_bytes; }
    ByteReader Reader() const { return ByteReader(m_bytes); }

    // Copies source into the block from offset on, no further than the block; returns the bytes copied.
    size_t Load(const ByteReader& source, size_t offset = 0);
    void Clear() { std::fill(m_bytes.begin(), m_bytes.end(), 0); }

    // True when the field's bytes lie inside the block.
    bool Holds(const FieldDef& field) const;
    // The field's value (masked, shifted down; sign-extended when signed); 0 when outside the block.
    int64_t Value(const FieldDef& field) const;
    // Writes value into the field's bits, leaving the other bits of its bytes alone. False when the
    // field lies outside the block.
    bool SetValue(const FieldDef& field, int64_t value);
    // The raw bytes of a kBytes field.
    std::vector<uint8_t> FieldBytes(const FieldDef& field) const;
    bool SetFieldBytes(const FieldDef& field, const std::vector<uint8_t>& bytes);

private:
    std::vector<uint8_t> m_bytes;
};

// One field as the form holds it: the text of an edit (code-page bytes for text fields), the selection
// of a list (-1 none), the state of a check box.
struct FieldInput {
    std::string text;
    int index = -1;
    bool checked = false;
    bool operator==(const FieldInput& o) const {
        return text == o.text && index == o.index && checked == o.checked;
    }
};

// What the form shows for the field's value in the block. A list value with no choice of its own gives
// no selection.
FieldInput ShowField(const FieldDef& field, const ParamBlock& block);

// The field's value from the form's text: empty when it fits, else the message to show.
struct FieldResult {
    bool ok = true;
    int64_t value = 0;
    std::vector<uint8_t> bytes;  // kBytes fields
    std::string message;
};
FieldResult ParseField(const FieldDef& field, const FieldInput& input);

// Takes the form into the block in table order. inputs[i] is the form's field i, or nothing where the
// variant does not show it (its bytes stay as read). A field whose input equals what ShowField gives is
// left alone; a read-only field is never taken. Stops at the first field that does not fit: fields taken
// before it keep their new values.
struct CollectResult {
    bool ok = true;
    int field = -1;  // the refused field's index
    std::string message;
};
CollectResult CollectFields(const FieldTable& table, const std::vector<std::optional<FieldInput>>& inputs,
                            ParamBlock& block);

// "Please enter an integer between MIN and MAX."
std::string IntegerRangeMessage(int64_t min, int64_t max);

// Makers of the common kinds of field; a table sets what else a field needs (message, range, codec) on
// what they return.
namespace fields {
// A number edit.
FieldDef Decimal(std::string key, std::string label, int offset, Wire wire = Wire::kU8,
                 bool isSigned = false);
// A list whose entries stand for 0, 1, 2, ... in the order given.
FieldDef List(std::string key, std::string label, int offset, const std::vector<std::string>& texts,
              Wire wire = Wire::kU8);
// A list whose entries stand for the values given.
FieldDef ListData(std::string key, std::string label, int offset, std::vector<Choice> choices,
                  Wire wire = Wire::kU8);
// A check box owning the bits of mask (0: the whole byte, 1 when checked).
FieldDef Flag(std::string key, std::string label, int offset, uint32_t mask = 0);
}  // namespace fields

// Tables of page variants: one row per PageParam, looked up once when the page is bound.
template <class Variant, size_t N>
const Variant& FindVariant(const Variant (&table)[N], int pageParam) {
    for (const Variant& v : table)
        if (v.pageParam == pageParam)
            return v;
    return table[0];
}

// Every field table of the program by name, for the tests and fuzzers that cover them all.
struct NamedFieldTable {
    std::string name;
    const FieldTable* table;
    size_t blockSize;
};
std::vector<NamedFieldTable> AllFieldTables();

}  // namespace nms
