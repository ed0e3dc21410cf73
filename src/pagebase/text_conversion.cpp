#include "pagebase/text_conversion.h"

#include <cstdio>
#include <limits>

namespace nms {
namespace {

constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int32_t Saturate32(int64_t v) {
    if (v > kInt32Max)
        return static_cast<int32_t>(kInt32Max);
    if (v < kInt32Min)
        return static_cast<int32_t>(kInt32Min);
    return static_cast<int32_t>(v);
}

struct Leading {
    int64_t value = 0;  // within the 32-bit range: long digit runs saturate instead of wrapping
    bool negative = false;
};

// Optional blanks, an optional sign, then the digits up to the first non-digit.
Leading LeadingNumber(std::string_view text) {
    Leading result;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        result.negative = text[i] == '-';
        ++i;
    }
    int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kInt32Max + 1)
            magnitude = kInt32Max + 1;
    }
    result.value = Saturate32(result.negative ? -magnitude : magnitude);
    return result;
}

// The fraction after a point cut or padded with '0' to three characters.
std::string ThreePlaces(std::string_view fraction) {
    std::string places(fraction.substr(0, 3));
    places.resize(3, '0');
    return places;
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

uint8_t HexPairToByte(char high, char low) {
    return static_cast<uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

uint8_t HexDigitsToByte(char high, char low) {
    return HexPairToByte(high, low);
}

uint8_t HexTextToByte(std::string_view text) {
    if (text.empty())
        return 0;
    if (text.size() == 1)
        return static_cast<uint8_t>(HexDigitValue(text[0]));
    return HexPairToByte(text[0], text[1]);
}

uint32_t HexTextToUInt32(std::string_view text) {
    if (text.empty() || text.size() > 8)
        return 0;
    uint32_t value = 0;
    size_t i = 0;
    if (text.size() % 2 == 1)
        value = static_cast<uint32_t>(HexDigitValue(text[i++]));
    for (; i + 1 < text.size(); i += 2)
        value = (value << 8) | HexPairToByte(text[i], text[i + 1]);
    return value;
}

int HexTextToBytes(std::string_view text, uint8_t* bytes, int capacity) {
    if (!bytes || capacity <= 0)
        return 0;
    int written = 0;
    size_t i = 0;
    if (text.size() % 2 == 1)
        bytes[written++] = static_cast<uint8_t>(HexDigitValue(text[i++]));
    for (; i + 1 < text.size() && written < capacity; i += 2)
        bytes[written++] = HexPairToByte(text[i], text[i + 1]);
    return written;
}

uint16_t HexTextToUShort(std::string_view text) {
    uint16_t value = 0;
    for (size_t i = 0; i < text.size() && i < 4; ++i)
        value = static_cast<uint16_t>((value << 4) | HexDigitValue(text[i]));
    return value;
}

int ParseHexUShort(std::string_view text, uint16_t* value) {
    if (!IsHexText(text)) {
        *value = 0;
        return 0;
    }
    *value = HexTextToUShort(text);
    return 1;
}

int ParseHexDigits16(std::string_view text, uint16_t* value) {
    uint16_t v = 0;
    size_t i = 0;
    for (; i < text.size() && i < 4 && IsHexDigit(text[i]); ++i)
        v = static_cast<uint16_t>((v << 4) | HexDigitValue(text[i]));
    *value = v;
    return i > 0 ? 1 : 0;
}

uint32_t HexPrefixToUInt32(std::string_view text) {
    uint32_t value = 0;
    for (size_t i = 0; i < text.size() && i < 8; ++i)
        value = (value << 4) | static_cast<uint32_t>(HexDigitValue(text[i]));
    return value;
}

std::string BytesToHexText(const uint8_t* bytes, int count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    if (!bytes || count <= 0)
        return text;
    text.reserve(static_cast<size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

int IsHexText(std::string_view text) {
    for (char c : text)
        if (!IsHexDigit(c))
            return 0;
    return 1;
}

int IsDecimalText(std::string_view text) {
    for (char c : text)
        if (!IsDigit(c))
            return 0;
    return 1;
}

int32_t ParseFirstNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && !IsDigit(text[i]))
        ++i;
    int64_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kInt32Max)
            value = kInt32Max;
    }
    return static_cast<int32_t>(value);
}

int32_t ParseThousandths(std::string_view text) {
    const size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0)
        return Saturate32(LeadingNumber(text).value * 1000);
    // Joining the integer part and three places reads the sign with the whole number ("-0.5" is -500).
    const std::string joined = std::string(text.substr(0, point)) + ThreePlaces(text.substr(point + 1));
    return Saturate32(LeadingNumber(joined).value);
}

int ParseDecimalTimes1000Checked(std::string_view text, int32_t* value) {
    constexpr size_t kMaxIntegerChars = 5;
    const size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0) {
        if (text.size() > kMaxIntegerChars)
            return -2;
        *value = Saturate32(LeadingNumber(text).value * 1000);
        return 1;
    }
    if (point > kMaxIntegerChars)
        return -1;
    const Leading whole = LeadingNumber(text.substr(0, point));
    const int64_t places = LeadingNumber(ThreePlaces(text.substr(point + 1))).value;
    // The places belong to the number's magnitude: "-12.5" is -12500, not -11500.
    const int64_t thousandths = whole.value * 1000 + (whole.negative ? -places : places);
    *value = Saturate32(thousandths);
    return 1;
}

int32_t ParseDecimalTimes1000(std::string_view text) {
    int32_t value = 0;
    if (ParseDecimalTimes1000Checked(text, &value) != 1)
        return 0;
    return value;
}

namespace {

// The tenths before they are reduced to a byte; the result code as ParseHalfStepTenths.
int HalfStepTenths(std::string_view text, int64_t* tenths) {
    *tenths = 0;
    for (char c : text)
        if (!IsDigit(c) && c != '.')
            return -1;
    const size_t point = text.find('.');
    if (point == std::string_view::npos || point == 0) {
        *tenths = LeadingNumber(text).value * 10;
        return 1;
    }
    const char decimal = point + 1 < text.size() ? text[point + 1] : '\0';
    if (decimal != '0' && decimal != '5')
        return -2;
    *tenths = LeadingNumber(text.substr(0, point)).value * 10 + (decimal - '0');
    return 1;
}

}  // namespace

int ParseHalfStepTenths(std::string_view text, uint8_t* value) {
    *value = 0;
    int64_t tenths = 0;
    const int result = HalfStepTenths(text, &tenths);
    if (result == 1)
        *value = static_cast<uint8_t>(tenths & 0xFF);
    return result;
}

int ParseHalfStepTenthsChecked(std::string_view text, uint8_t* value) {
    *value = 0;
    int64_t tenths = 0;
    const int result = HalfStepTenths(text, &tenths);
    if (result != 1)
        return result;
    if (tenths > 0xFF)
        return kHalfStepTooLarge;
    *value = static_cast<uint8_t>(tenths);
    return 1;
}

int ParseDottedIp(std::string_view text, uint8_t address[4]) {
    // The text is zero-terminated where it came from a buffer: nothing after the terminator counts.
    text = text.substr(0, text.find('\0'));
    for (size_t part = 0; part < 4; ++part) {
        const size_t offset = part * 4;
        const std::string_view digits = offset < text.size() ? text.substr(offset, 3) : std::string_view();
        const int64_t number = LeadingNumber(digits).value;
        if (number > 255 || number < 0)
            return -1;
        address[part] = static_cast<uint8_t>(number);
    }
    return 0;
}

int FormatDottedIp(char* buffer, const uint8_t address[4]) {
    std::snprintf(buffer, kDottedIpBufferSize, "%03d.%03d.%03d.%03d", address[0], address[1], address[2],
                  address[3]);
    return 0;
}

int ConvertText(int direction, char* text, int length) {
    return 0;
}

}  // namespace nms
