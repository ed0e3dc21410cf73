#include "pages/encoder/channel_record_fields.h"

namespace nms::channel_fields {
namespace {

constexpr int kNameBytes = 32;

FieldResult ParseName(const FieldDef& field, const FieldInput& input) {
    FieldResult r;
    const std::string cut = CutCodePageText(input.text, size_t(field.length - 1));
    r.bytes.assign(cut.begin(), cut.end());
    return r;
}

}  // namespace

std::string CutCodePageText(const std::string& text, size_t max) {
    size_t at = 0;
    while (at < text.size()) {
        // A GBK lead byte (0x81..0xFE) starts a two-byte character.
        const size_t width = uint8_t(text[at]) >= 0x81 && uint8_t(text[at]) <= 0xFE ? 2 : 1;
        if (at + width > max || at + width > text.size())
            break;
        at += width;
    }
    return text.substr(0, at);
}

FieldDef Hex16(std::string key, std::string label, int offset) {
    FieldDef f = Decimal(std::move(key), std::move(label), offset, Wire::kU16LE);
    f.codec = Codec::kHexUpper;
    return f;
}

FieldDef Name(std::string key, std::string label, int offset) {
    FieldDef f = Decimal(std::move(key), std::move(label), offset, Wire::kBytes);
    f.length = kNameBytes;
    f.codec = Codec::kText;
    f.parse = ParseName;
    return f;
}

}  // namespace nms::channel_fields
