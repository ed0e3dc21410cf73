// Hex text helpers of the PSI/SI editor (value texts are lower-case hex without prefix).
#pragma once

#include <cstdint>
#include <string>

namespace nms::psihex {

int DigitValue(char c);  // 0..15; any other character counts as 0
bool IsHexDigit(char c);
bool IsHex(const std::string& text);  // empty text passes
uint8_t PairToByte(char high, char low);
// Value of up to the first eight digits; non-hex digits count 0.
uint32_t ToUInt32(const std::string& text);
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string BytesToHex(const uint8_t* bytes, int count);

}  // namespace nms::psihex
