#include "app/base64.h"

#include <cstdint>

namespace nms {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

uint32_t SextetOf(char c) {
    if (c >= 'A' && c <= 'Z')
        return static_cast<uint32_t>(c - 'A');
    if (c >= 'a' && c <= 'z')
        return static_cast<uint32_t>(c - 'a' + 26);
    if (c >= '0' && c <= '9')
        return static_cast<uint32_t>(c - '0' + 52);
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return 0;
}

}  // namespace

std::string Base64Encode(std::string_view data) {
    std::string text;
    text.reserve((data.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= data.size(); i += 3) {
        const uint32_t group = static_cast<uint8_t>(data[i]) << 16 | static_cast<uint8_t>(data[i + 1]) << 8 |
                               static_cast<uint8_t>(data[i + 2]);
        text.push_back(kAlphabet[group >> 18 & 0x3F]);
        text.push_back(kAlphabet[group >> 12 & 0x3F]);
        text.push_back(kAlphabet[group >> 6 & 0x3F]);
        text.push_back(kAlphabet[group & 0x3F]);
    }
    const size_t rest = data.size() - i;
    if (rest > 0) {
        uint32_t group = static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << 16;
        if (rest == 2)
            group |= static_cast<uint32_t>(static_cast<uint8_t>(data[i + 1])) << 8;
        text.push_back(kAlphabet[group >> 18 & 0x3F]);
        text.push_back(kAlphabet[group >> 12 & 0x3F]);
        text.push_back(rest == 2 ? kAlphabet[group >> 6 & 0x3F] : '=');
        text.push_back('=');
    }
    return text;
}

std::string Base64Decode(std::string_view text) {
    size_t count = text.find('=');
    if (count == std::string_view::npos)
        count = text.size();
    size_t fillers = 0;
    while (count + fillers < text.size() && text[count + fillers] == '=')
        ++fillers;
    const size_t groups = (count + fillers) / 4;

    std::string bytes;
    bytes.reserve(groups * 3);
    for (size_t g = 0; g < groups; ++g) {
        uint32_t group = 0;
        for (size_t k = 0; k < 4; ++k)
            group = group << 6 | SextetOf(text[g * 4 + k]);
        bytes.push_back(static_cast<char>(group >> 16 & 0xFF));
        bytes.push_back(static_cast<char>(group >> 8 & 0xFF));
        bytes.push_back(static_cast<char>(group & 0xFF));
    }
    // Fillers shorten the last group by one byte each, as in well-formed text; counting the bits of the
    // characters before them keeps a stray run of '=' from making the length negative or cutting a group
    // it does not belong to.
    const size_t dataChars = count < groups * 4 ? count : groups * 4;
    bytes.resize(dataChars * 6 / 8);
    return bytes;
}

}  // namespace nms
