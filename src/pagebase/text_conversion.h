// Conversions between the texts the operator types and the numbers of the device records. Hexadecimal
// texts carry no prefix; decimals with up to three places are carried as integers in thousandths (MHz to
// kHz, Mbit/s to kbit/s); half steps are carried in tenths; some addresses travel as fixed-width dotted
// text. None of them shows a message: callers test the result and say what is wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace nms {

// ---- Hexadecimal ----

// 0-9, a-f, A-F give 0..15; any other character gives 0.
int HexDigitValue(char c);
// high * 16 + low, each by HexDigitValue.
uint8_t HexPairToByte(char high, char low);
uint8_t HexDigitsToByte(char high, char low);
// Empty: 0; one character: its digit value; longer: the byte of the first two characters.
uint8_t HexTextToByte(std::string_view text);
// Empty or longer than 8 characters: 0. An odd length reads as if a 0 were put in front.
uint32_t HexTextToUInt32(std::string_view text);
// Writes the bytes of the text (an odd length takes its first character alone as the first byte) but
// never more than capacity of them; returns the number written. Room for (length + 1) / 2 bytes takes
// the whole text.
int HexTextToBytes(std::string_view text, uint8_t* bytes, int capacity);
template <size_t N>
int HexTextToBytes(std::string_view text, uint8_t (&bytes)[N]) {
    return HexTextToBytes(text, bytes, static_cast<int>(N));
}
// The value of at most the first four characters.
uint16_t HexTextToUShort(std::string_view text);
// 0 (value 0) when any character is not a hexadecimal digit; otherwise value = the first four characters
// and 1. An empty text gives 1 and 0.
int ParseHexUShort(std::string_view text, uint16_t* value);
// value = the leading hexadecimal digits, at most four; 1 when at least one was read, else 0 (value 0).
int ParseHexDigits16(std::string_view text, uint16_t* value);
// The value of at most the first eight characters; no test.
uint32_t HexPrefixToUInt32(std::string_view text);
// Two lower-case digits per byte, no separators.
std::string BytesToHexText(const uint8_t* bytes, int count);
// 1 when every character is a hexadecimal digit (an empty text too), else 0.
int IsHexText(std::string_view text);

// ---- Decimal ----

// 1 when every character is 0-9 (an empty text too), else 0.
int IsDecimalText(std::string_view text);
// The number from the first digit on (anything before it, a sign too, is skipped); 0 without a digit.
// Saturates at INT32_MAX.
int32_t ParseFirstNumber(std::string_view text);
// Decimal text with up to three places to thousandths: "12.5" 12500, "0.0275" 27, "7" 7000, ".5" 0.
// Values beyond 32 bits saturate at INT32_MIN / INT32_MAX so that callers' range checks refuse them.
int32_t ParseThousandths(std::string_view text);
// As ParseThousandths with at most 5 characters before the point; 0 when longer.
int32_t ParseDecimalTimes1000(std::string_view text);
// 1 and value = thousandths; -1 when the part before a point is longer than 5 characters, -2 when a text
// without a point is; value is untouched on failure.
int ParseDecimalTimes1000Checked(std::string_view text, int32_t* value);
// Steps of 0.5 in tenths, one byte: value is set to 0 first; -1 when a character is neither a digit nor
// '.'; -2 when the first decimal is not 0 or 5 (or missing after a point); else 1 and value = tenths
// reduced to 8 bits ("26" gives 4).
int ParseHalfStepTenths(std::string_view text, uint8_t* value);
// As ParseHalfStepTenths but returns kHalfStepTooLarge (value 0) when the tenths do not fit the byte, so
// that 26 is refused instead of read as 0.4.
constexpr int kHalfStepTooLarge = -3;
int ParseHalfStepTenthsChecked(std::string_view text, uint8_t* value);

// ---- Dotted IPv4 text: "192.168.001.005" ----

// Reads the three characters at offsets 0, 4, 8 and 12 (as far as the text reaches) as the four address
// bytes. 0 on success; -1 at the first part above 255 or below 0 (bytes stored before it keep their new
// values). Missing parts read as 0.
int ParseDottedIp(std::string_view text, uint8_t address[4]);
// Writes "%03d.%03d.%03d.%03d" into buffer, which holds at least 16 bytes; returns 0.
constexpr int kDottedIpBufferSize = 16;
int FormatDottedIp(char* buffer, const uint8_t address[4]);

// ---- Text hook ----

enum : int {
    kTextFromDevice = 0,  // a name received from a device, before it is shown
    kTextToDevice = 1,    // a name typed by the operator, before it is sent
};
// The one place for a character-set conversion of service names; device texts stay in their code page,
// so it changes nothing and returns 0.
int ConvertText(int direction, char* text, int length);

}  // namespace nms
