#include "pages/psi/psi_hex.h"

#include <cstdarg>
#include <cstdio>

namespace nms::psihex {

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHex(const std::string& text) {
    for (char c : text) {
        if (!IsHexDigit(c))
            return false;
    }
    return true;
}

uint8_t PairToByte(char high, char low) {
    return static_cast<uint8_t>(DigitValue(high) * 16 + DigitValue(low));
}

uint32_t ToUInt32(const std::string& text) {
    uint32_t value = 0;
    for (size_t i = 0; i < text.size() && i < 8; ++i)
        value = (value << 4) | DigitValue(text[i]);
    return value;
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0)
        return std::string();
    if (n < static_cast<int>(sizeof buffer))
        return std::string(buffer, n);
    std::string big(n + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    big.resize(n);
    return big;
}

std::string BytesToHex(const uint8_t* bytes, int count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (int i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

}  // namespace nms::psihex
