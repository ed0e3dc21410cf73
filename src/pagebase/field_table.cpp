#include "pagebase/field_table.h"

#include <algorithm>
#include <bit>
#include <cstdio>

#include "pagebase/text_conversion.h"

namespace nms {
namespace {

int WireBytes(const FieldDef& f) {
    switch (f.wire) {
        case Wire::kU8:
            return 1;
        case Wire::kU16LE:
        case Wire::kU16BE:
            return 2;
        case Wire::kU32LE:
        case Wire::kU32BE:
            return 4;
        case Wire::kBytes:
            return f.length;
    }
    return 0;
}

int ValueBits(const FieldDef& f) {
    if (f.mask)
        return std::popcount(f.mask);
    return f.wire == Wire::kBytes ? 0 : WireBytes(f) * 8;
}

std::string Printf(const char* format, long long a, long long b) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

std::string Thousandths(int64_t v) {
    return Printf("%lld.%03lld", v / 1000, v % 1000);
}

bool AllOf(const std::string& text, bool (*pred)(char)) {
    return std::all_of(text.begin(), text.end(), pred);
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsDigitOrPoint(char c) {
    return IsDigit(c) || c == '.';
}
// Digits with at most one point: "1.2.3" is not a number (it would read as 12).
bool IsDecimalNumber(const std::string& text) {
    return AllOf(text, IsDigitOrPoint) && std::count(text.begin(), text.end(), '.') <= 1;
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

FieldResult Refuse(std::string message) {
    FieldResult r;
    r.ok = false;
    r.message = std::move(message);
    return r;
}

std::string FormatMessage(const FieldDef& f) {
    if (!f.message.empty())
        return f.message;
    // Hexadecimal fields give their bounds in hexadecimal, as they are typed.
    if (f.codec == Codec::kHex || f.codec == Codec::kHexUpper)
        return Printf("Please enter an integer between %llX and %llX.", f.Min(), f.Max());
    return IntegerRangeMessage(f.Min(), f.Max());
}
std::string RangeMessage(const FieldDef& f) {
    return f.rangeMessage.empty() ? FormatMessage(f) : f.rangeMessage;
}

FieldResult InRange(const FieldDef& f, int64_t value) {
    if (value < f.Min() || value > f.Max())
        return Refuse(RangeMessage(f));
    FieldResult r;
    r.value = value;
    return r;
}

// Decimal digits (an optional '-' first when signed) into value; false on anything else or overflow.
bool ParseInteger(const std::string& text, bool allowSign, int64_t* value) {
    size_t i = 0;
    bool negative = false;
    if (allowSign && !text.empty() && text[0] == '-') {
        negative = true;
        i = 1;
    }
    if (i >= text.size())
        return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return false;
        if (v > (INT64_MAX - 9) / 10)
            return false;
        v = v * 10 + (text[i] - '0');
    }
    *value = negative ? -v : v;
    return true;
}

bool ParseHexValue(const std::string& text, int64_t* value) {
    if (text.empty() || !AllOf(text, IsHexDigit))
        return false;
    const size_t first = text.find_first_not_of('0');
    if (first != std::string::npos && text.size() - first > 8)
        return false;
    *value = first == std::string::npos ? 0 : int64_t(std::stoull(text.substr(first), nullptr, 16));
    return true;
}

bool ParseAddress(const std::string& text, std::vector<uint8_t>* bytes) {
    bytes->clear();
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t end = part < 3 ? text.find('.', start) : text.size();
        if (end == std::string::npos)
            return false;
        const std::string piece = text.substr(start, end - start);
        int64_t v = 0;
        if (piece.empty() || piece.size() > 3 || !ParseInteger(piece, false, &v) || v > 255)
            return false;
        bytes->push_back(uint8_t(v));
        start = end + 1;
    }
    return true;
}

bool ParseMac(const std::string& text, std::vector<uint8_t>* bytes) {
    if (text.size() < 17)
        return false;
    bytes->clear();
    for (int i = 0; i < 6; ++i) {
        const char hi = text[size_t(3 * i)], lo = text[size_t(3 * i + 1)];
        if (!IsHexDigit(hi) || !IsHexDigit(lo))
            return false;
        bytes->push_back(HexPairToByte(hi, lo));
    }
    return true;
}

}  // namespace

int64_t FieldDef::Min() const {
    if (max >= min)
        return min;
    const int bits = ValueBits(*this);
    return isSigned && bits > 0 ? -(int64_t(1) << (bits - 1)) : 0;
}

int64_t FieldDef::Max() const {
    if (max >= min)
        return max;
    const int bits = ValueBits(*this);
    if (bits <= 0)
        return 0;
    return isSigned ? (int64_t(1) << (bits - 1)) - 1 : (int64_t(1) << bits) - 1;
}

int FindField(const FieldTable& table, const std::string& key) {
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].key == key)
            return int(i);
    return -1;
}

std::string IntegerRangeMessage(int64_t min, int64_t max) {
    return Printf("Please enter an integer between %lld and %lld.", min, max);
}

size_t ParamBlock::Load(const ByteReader& source, size_t offset) {
    if (offset >= m_bytes.size())
        return 0;
    const size_t n = std::min(source.Size(), m_bytes.size() - offset);
    source.Bytes(0, n, m_bytes.data() + offset);
    return n;
}

bool ParamBlock::Holds(const FieldDef& field) const {
    const int n = WireBytes(field);
    return field.offset >= 0 && n >= 0 && Reader().Has(size_t(field.offset), size_t(n));
}

int64_t ParamBlock::Value(const FieldDef& f) const {
    if (!Holds(f) || f.wire == Wire::kBytes)
        return 0;
    const ByteReader r = Reader();
    const size_t at = size_t(f.offset);
    uint32_t raw = 0;
    switch (f.wire) {
        case Wire::kU8:
            raw = r.U8Or(at);
            break;
        case Wire::kU16LE:
            raw = r.U16LEOr(at);
            break;
        case Wire::kU16BE:
            raw = r.U16BEOr(at);
            break;
        case Wire::kU32LE:
            raw = r.U32LEOr(at);
            break;
        case Wire::kU32BE:
            raw = r.U32BEOr(at);
            break;
        case Wire::kBytes:
            break;
    }
    if (f.mask)
        raw = (raw & f.mask) >> std::countr_zero(f.mask);
    int64_t v = raw;
    const int bits = ValueBits(f);
    if (f.isSigned && bits > 0 && bits < 64 && (v >> (bits - 1)) & 1)
        v -= int64_t(1) << bits;
    return v;
}

bool ParamBlock::SetValue(const FieldDef& f, int64_t value) {
    if (!Holds(f) || f.wire == Wire::kBytes)
        return false;
    uint32_t raw = uint32_t(value);
    if (f.mask) {
        FieldDef whole = f;
        whole.mask = 0;
        whole.isSigned = false;
        const uint32_t old = uint32_t(Value(whole));
        raw = (old & ~f.mask) | ((raw << std::countr_zero(f.mask)) & f.mask);
    }
    ByteWriter w(m_bytes);
    const size_t at = size_t(f.offset);
    switch (f.wire) {
        case Wire::kU8:
            return w.U8(at, uint8_t(raw));
        case Wire::kU16LE:
            return w.U16LE(at, uint16_t(raw));
        case Wire::kU16BE:
            return w.U16BE(at, uint16_t(raw));
        case Wire::kU32LE:
            return w.U32LE(at, raw);
        case Wire::kU32BE:
            return w.U32BE(at, raw);
        case Wire::kBytes:
            break;
    }
    return false;
}

std::vector<uint8_t> ParamBlock::FieldBytes(const FieldDef& f) const {
    std::vector<uint8_t> out;
    if (Holds(f))
        Reader().Bytes(size_t(f.offset), size_t(WireBytes(f)), &out);
    return out;
}

bool ParamBlock::SetFieldBytes(const FieldDef& f, const std::vector<uint8_t>& bytes) {
    if (!Holds(f))
        return false;
    std::vector<uint8_t> padded(size_t(WireBytes(f)), 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), padded.size()), padded.begin());
    return ByteWriter(m_bytes).Bytes(size_t(f.offset), padded.data(), padded.size());
}

FieldInput ShowField(const FieldDef& f, const ParamBlock& block) {
    FieldInput in;
    const int64_t v = block.Value(f);
    if (f.format && f.codec != Codec::kChoice && f.codec != Codec::kFlag) {
        in.text = f.format(f, v);
        return in;
    }
    switch (f.codec) {
        case Codec::kChoice:
            if (f.choices.empty()) {  // a list the page fills: the value is the entry's index
                in.index = int(v);
                return in;
            }
            if (f.nonZeroIsOn) {
                for (size_t i = 0; i < f.choices.size(); ++i)
                    if ((f.choices[i].data != 0) == (v != 0)) {
                        in.index = int(i);
                        break;
                    }
                return in;
            }
            for (size_t i = 0; i < f.choices.size(); ++i)
                if (int64_t(f.choices[i].data) == v) {
                    in.index = int(i);
                    break;
                }
            return in;
        case Codec::kFlag:
            in.checked = v != 0;
            return in;
        case Codec::kDecimal:
            in.text = std::to_string(v);
            return in;
        case Codec::kHex:
            in.text = Printf("%llx", v, 0);
            return in;
        case Codec::kHexUpper:
            in.text = Printf("%llX", v, 0);
            return in;
        case Codec::kKhzAsMhz:
        case Codec::kSymbolRate:
        case Codec::kKbpsAsMbps:
            in.text = Thousandths(v);
            return in;
        case Codec::kHalfStepDb:
            in.text = Printf("%lld.%lld", v / 10, v % 10);
            return in;
        case Codec::kDottedIp: {
            const std::vector<uint8_t> b = block.FieldBytes(f);
            if (b.size() >= 4) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
                in.text = buffer;
            }
            return in;
        }
        case Codec::kMac: {
            const std::vector<uint8_t> b = block.FieldBytes(f);
            if (b.size() >= 6) {
                char buffer[32];
                const char s = f.macSeparator;
                std::snprintf(buffer, sizeof buffer, "%02x%c%02x%c%02x%c%02x%c%02x%c%02x", b[0], s, b[1], s,
                              b[2], s, b[3], s, b[4], s, b[5]);
                in.text = buffer;
            }
            return in;
        }
        case Codec::kText:
            in.text =
                block.Holds(f) ? block.Reader().Text(size_t(f.offset), size_t(f.length)) : std::string();
            return in;
    }
    return in;
}

FieldResult ParseField(const FieldDef& f, const FieldInput& in) {
    const std::string& t = in.text;
    if (f.parse)
        return f.parse(f, in);
    switch (f.codec) {
        case Codec::kChoice:
            if (f.choices.empty() && in.index >= 0)
                return InRange(f, in.index);
            if (in.index < 0 || size_t(in.index) >= f.choices.size())
                return Refuse(f.message);
            return InRange(f, f.choices[size_t(in.index)].data);
        case Codec::kFlag: {
            FieldResult r;
            r.value = in.checked ? 1 : 0;
            return r;
        }
        case Codec::kDecimal: {
            int64_t v = 0;
            if (!ParseInteger(t, f.isSigned, &v))
                return Refuse(FormatMessage(f));
            return InRange(f, v);
        }
        case Codec::kHex:
        case Codec::kHexUpper: {
            int64_t v = 0;
            if (!ParseHexValue(t, &v))
                return Refuse(FormatMessage(f));
            return InRange(f, v);
        }
        case Codec::kKhzAsMhz: {
            int32_t v = 0;
            if (!IsDecimalNumber(t) || ParseDecimalTimes1000Checked(t, &v) != 1)
                return Refuse(FormatMessage(f));
            return InRange(f, v);
        }
        case Codec::kSymbolRate:
        case Codec::kKbpsAsMbps: {
            if (!IsDecimalNumber(t))
                return Refuse(FormatMessage(f));
            // A text beyond 32 bits comes back saturated: refused, never cut.
            const int32_t v = ParseThousandths(t);
            if (v == INT32_MAX)
                return Refuse(RangeMessage(f));
            return InRange(f, v);
        }
        case Codec::kHalfStepDb: {
            uint8_t v = 0;
            const int rc = ParseHalfStepTenthsChecked(t, &v);
            if (rc == -1)
                return Refuse(FormatMessage(f));
            if (rc == -2)
                return Refuse(f.stepMessage.empty() ? FormatMessage(f) : f.stepMessage);
            if (rc != 1)
                return Refuse(RangeMessage(f));
            return InRange(f, v);
        }
        case Codec::kDottedIp: {
            FieldResult r;
            if (!ParseAddress(t, &r.bytes))
                return Refuse(FormatMessage(f));
            return r;
        }
        case Codec::kMac: {
            FieldResult r;
            if (!ParseMac(t, &r.bytes))
                return Refuse(FormatMessage(f));
            return r;
        }
        case Codec::kText: {
            FieldResult r;
            r.bytes.assign(t.begin(), t.begin() + std::min<ptrdiff_t>(ptrdiff_t(t.size()), f.length));
            return r;
        }
    }
    return Refuse(f.message);
}

CollectResult CollectFields(const FieldTable& table, const std::vector<std::optional<FieldInput>>& inputs,
                            ParamBlock& block) {
    CollectResult result;
    for (size_t i = 0; i < table.size() && i < inputs.size(); ++i) {
        const FieldDef& f = table[i];
        if (!inputs[i] || f.control == Control::kReadOnly || !block.Holds(f))
            continue;
        const FieldInput& in = *inputs[i];
        // Untouched fields keep their bytes, whatever they hold; a list without a selection too.
        if (in == ShowField(f, block) || (f.codec == Codec::kChoice && in.index < 0))
            continue;
        const FieldResult r = ParseField(f, in);
        if (!r.ok) {
            result.ok = false;
            result.field = int(i);
            result.message = r.message;
            return result;
        }
        if (f.wire == Wire::kBytes)
            block.SetFieldBytes(f, r.bytes);
        else
            block.SetValue(f, r.value);
    }
    return result;
}

namespace fields {

FieldDef Decimal(std::string key, std::string label, int offset, Wire wire, bool isSigned) {
    FieldDef f;
    f.key = std::move(key);
    f.label = std::move(label);
    f.offset = offset;
    f.wire = wire;
    f.isSigned = isSigned;
    return f;
}

FieldDef List(std::string key, std::string label, int offset, const std::vector<std::string>& texts,
              Wire wire) {
    std::vector<Choice> choices;
    for (size_t i = 0; i < texts.size(); ++i)
        choices.push_back({texts[i], uint32_t(i)});
    return ListData(std::move(key), std::move(label), offset, std::move(choices), wire);
}

FieldDef ListData(std::string key, std::string label, int offset, std::vector<Choice> choices, Wire wire) {
    FieldDef f = Decimal(std::move(key), std::move(label), offset, wire);
    f.control = Control::kCombo;
    f.codec = Codec::kChoice;
    f.choices = std::move(choices);
    return f;
}

FieldDef Flag(std::string key, std::string label, int offset, uint32_t mask) {
    FieldDef f = Decimal(std::move(key), std::move(label), offset);
    f.mask = mask;
    f.control = Control::kCheck;
    f.codec = Codec::kFlag;
    return f;
}

}  // namespace fields

}  // namespace nms
