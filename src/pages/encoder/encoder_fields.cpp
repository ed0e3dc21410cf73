#include "pages/encoder/encoder_fields.h"

#include <cstdio>

namespace nms {

const char* const kPidRangeText = "Value range should be between ";

FieldDef ListField(const char* key, const char* label, int offset, std::initializer_list<const char*> texts,
                   Control control) {
    FieldDef f;
    f.key = key;
    f.label = label;
    f.offset = offset;
    f.control = control;
    f.codec = Codec::kChoice;
    uint32_t i = 0;
    for (const char* t : texts)
        f.choices.push_back({t, i++});
    return f;
}

FieldDef ListFieldOf(const char* key, const char* label, int offset,
                     std::initializer_list<std::pair<const char*, uint32_t>> choices, Wire wire,
                     Control control) {
    FieldDef f;
    f.key = key;
    f.label = label;
    f.offset = offset;
    f.wire = wire;
    f.control = control;
    f.codec = Codec::kChoice;
    for (const auto& [text, value] : choices)
        f.choices.push_back({text, value});
    return f;
}

FieldDef NumberField(const char* key, const char* label, int offset, Wire wire, int64_t min, int64_t max,
                     bool isSigned) {
    FieldDef f = fields::Decimal(key, label, offset, wire, isSigned);
    f.min = min;
    f.max = max;
    return f;
}

namespace {

FieldResult ParseName(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    const std::string cut = CutGbk(input.text, size_t(field.length > 0 ? field.length - 1 : 0));
    r.bytes.assign(cut.begin(), cut.end());
    return r;
}

FieldResult ParsePid(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    const std::optional<uint64_t> value = HexValue(input.text);
    if (!value || int64_t(*value) > field.max) {
        r.ok = false;
        r.message = field.message;
        return r;
    }
    r.value = int64_t(*value);
    return r;
}

}  // namespace

FieldDef NameField(const char* key, const char* label, int offset, int length) {
    FieldDef f;
    f.key = key;
    f.label = label;
    f.offset = offset;
    f.wire = Wire::kBytes;
    f.length = length;
    f.codec = Codec::kText;
    f.parse = ParseName;
    return f;
}

FieldDef PidField(const char* key, const char* label, int offset, std::string message, int64_t max) {
    FieldDef f;
    f.key = key;
    f.label = label;
    f.offset = offset;
    f.wire = Wire::kU16LE;
    f.codec = Codec::kHex;
    f.min = 0;
    f.max = max;
    f.message = std::move(message);
    f.parse = ParsePid;
    return f;
}

FieldDef FlagField(const char* key, const char* label, int offset) {
    return fields::Flag(key, label, offset);
}

std::optional<uint64_t> HexValue(const std::string& text) {
    uint64_t v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        v = v > (UINT64_MAX >> 4) ? UINT64_MAX : (v << 4 | uint64_t(d));
    }
    return v;
}

std::string PidRangeMessage(const std::string& caption) {
    char text[160];
    std::snprintf(text, sizeof text, "%s%s%d-%#X", caption.c_str(), kPidRangeText, 0, unsigned(kMaxPid));
    return text;
}

std::string FormatThousandths(int64_t value) {
    char text[48];
    const uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    std::snprintf(text, sizeof text, "%s%llu.%03llu", value < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 1000),
                  static_cast<unsigned long long>(magnitude % 1000));
    return text;
}

std::string CutGbk(const std::string& text, size_t maxBytes) {
    size_t n = 0;
    while (n < text.size()) {
        const size_t width = uint8_t(text[n]) >= 0x81 && n + 1 < text.size() ? 2 : 1;
        if (n + width > maxBytes)
            break;
        n += width;
    }
    return text.substr(0, n);
}

int ShownIndex(const FieldTable& table, const ParamBlock& block, const ListFallback& fallback) {
    const int i = FindField(table, fallback.key);
    if (i < 0)
        return -1;
    const int shown = ShowField(table[size_t(i)], block).index;
    return shown >= 0 ? shown : fallback.index;
}

}  // namespace nms
