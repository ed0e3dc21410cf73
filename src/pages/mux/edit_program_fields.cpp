#include "pages/mux/edit_program_fields.h"

#include <cstdio>

namespace nms {

const char* const kProgramNameTooLong = "Program name's length should not be more than 32 charactors.";

namespace {

std::string RangeMessage(uint32_t max, bool hex) {
    char buf[80];
    std::snprintf(
        buf, sizeof buf,
        hex ? "Please enter an integer between 0 and %X." : "Please enter an integer between 0 and %u.", max);
    return buf;
}

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (!hex)
        return -1;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseField(const std::string& text, uint32_t max, bool hex, uint32_t* value, std::string* message) {
    if (text.empty()) {
        if (message)
            *message = "Please enter an integer.";
        return false;
    }
    uint64_t v = 0;
    for (char c : text) {
        const int d = DigitValue(c, hex);
        if (d < 0) {
            if (message)
                *message = hex ? RangeMessage(max, true) : "Please enter an integer.";
            return false;
        }
        v = v * (hex ? 16 : 10) + static_cast<uint64_t>(d);
        if (v > max) {
            if (message)
                *message = RangeMessage(max, hex);
            return false;
        }
    }
    *value = static_cast<uint32_t>(v);
    return true;
}

}  // namespace

bool ParseDecimalField(const std::string& text, uint32_t max, uint32_t* value, std::string* message) {
    return ParseField(text, max, false, value, message);
}

bool ParseHexField(const std::string& text, uint32_t max, uint32_t* value, std::string* message) {
    return ParseField(text, max, true, value, message);
}

}  // namespace nms
