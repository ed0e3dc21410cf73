#include "pagebase/text_conversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace nms {
namespace text_conversion_test {

TEST(HexConversion, DigitsAndPairs) {
    const struct {
        char c;
        int value;
    } digits[] = {{'0', 0}, {'9', 9}, {'a', 10}, {'f', 15}, {'A', 10}, {'F', 15}, {'g', 0}, {'G', 0},
                  {' ', 0}, {'x', 0}, {'\0', 0}, {'/', 0},  {':', 0},  {'@', 0},  {'`', 0}, {'\xFF', 0}};
    for (const auto& d : digits)
        EXPECT_EQ(HexDigitValue(d.c), d.value) << int(d.c);

    EXPECT_EQ(HexPairToByte('a', 'B'), 0xAB);
    EXPECT_EQ(HexPairToByte('F', 'f'), 0xFF);
    EXPECT_EQ(HexPairToByte('z', '7'), 0x07);  // a non-hex character counts as 0
    EXPECT_EQ(HexDigitsToByte('1', 'e'), 0x1E);
    EXPECT_EQ(HexDigitsToByte('?', '?'), 0x00);
}

TEST(HexConversion, TextToByteUInt32UShortPrefix) {
    const struct {
        const char* text;
        uint8_t byte;
        uint32_t u32;
        uint16_t u16;
        uint32_t prefix;
    } cases[] = {
        {"", 0, 0, 0, 0},
        {"7", 0x07, 0x7, 0x7, 0x7},
        {"ABC", 0xAB, 0xABC, 0xABC, 0xABC},
        {"1FFF", 0x1F, 0x1FFF, 0x1FFF, 0x1FFF},
        {"12345", 0x12, 0x12345, 0x1234, 0x12345},
        {"deadBEEF", 0xDE, 0xDEADBEEF, 0xDEAD, 0xDEADBEEF},
        {"123456789", 0x12, 0, 0x1234, 0x12345678},  // over 8 characters: HexTextToUInt32 refuses
        {"1G2", 0x10, 0x102, 0x102, 0x102},          // non-hex counts as 0 where nothing tests first
        {"zz", 0x00, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexTextToByte(c.text), c.byte);
        EXPECT_EQ(HexTextToUInt32(c.text), c.u32);
        EXPECT_EQ(HexTextToUShort(c.text), c.u16);
        EXPECT_EQ(HexPrefixToUInt32(c.text), c.prefix);
    }
}

TEST(HexConversion, ParseHexUShortAndDigits16) {
    const struct {
        const char* text;
        int ushortResult;
        uint16_t ushortValue;
        int digitsResult;
        uint16_t digitsValue;
    } cases[] = {
        {"", 1, 0, 0, 0},        {"1fff", 1, 0x1FFF, 1, 0x1FFF},
        {"12G4", 0, 0, 1, 0x12}, {"1a2b3c", 1, 0x1A2B, 1, 0x1A2B},
        {"xyz", 0, 0, 0, 0},     {" 12", 0, 0, 0, 0},
        {"0x12", 0, 0, 1, 0x0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        uint16_t value = 0xBEEF;
        EXPECT_EQ(ParseHexUShort(c.text, &value), c.ushortResult);
        EXPECT_EQ(value, c.ushortValue);
        value = 0xBEEF;
        EXPECT_EQ(ParseHexDigits16(c.text, &value), c.digitsResult);
        EXPECT_EQ(value, c.digitsValue);
    }
}

TEST(HexConversion, TextToBytes) {
    const struct {
        const char* text;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"", {}},
        {"a", {0x0A}},
        {"abc", {0x0A, 0xBC}},
        {"0102ff", {0x01, 0x02, 0xFF}},
        {"0a0B0c0D", {0x0A, 0x0B, 0x0C, 0x0D}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        uint8_t out[8];
        std::memset(out, 0xEE, sizeof out);
        ASSERT_EQ(HexTextToBytes(c.text, out), static_cast<int>(c.bytes.size()));
        EXPECT_EQ(std::vector<uint8_t>(out, out + c.bytes.size()), c.bytes);
        EXPECT_EQ(out[c.bytes.size()], 0xEE);
    }
}

TEST(HexConversion, TextToBytesNeverWritesPastCapacity) {
    // Guard bytes around a 3-byte window: a long text fills the window and stops.
    const struct {
        const char* text;
        int capacity;
        std::vector<uint8_t> written;
    } cases[] = {
        {"0102030405", 3, {0x01, 0x02, 0x03}},
        {"102030405", 3, {0x01, 0x02, 0x03}},
        {"abcdef", 3, {0xAB, 0xCD, 0xEF}},
        {"abcdef", 1, {0xAB}},
        {"abcdef", 0, {}},
        {"abcdef", -5, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " capacity " + std::to_string(c.capacity));
        std::array<uint8_t, 8> buffer;
        buffer.fill(0xEE);
        EXPECT_EQ(HexTextToBytes(c.text, buffer.data() + 2, c.capacity), static_cast<int>(c.written.size()));
        EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 2, buffer.begin() + 2 + c.written.size()), c.written);
        EXPECT_EQ(buffer[0], 0xEE);
        EXPECT_EQ(buffer[1], 0xEE);
        for (size_t i = 2 + c.written.size(); i < buffer.size(); ++i)
            EXPECT_EQ(buffer[i], 0xEE) << i;
    }
}

TEST(HexConversion, BytesToHexTextAndCheck) {
    const uint8_t bytes[] = {0x00, 0x0A, 0xBC, 0xFF};
    EXPECT_EQ(BytesToHexText(bytes, 4), "000abcff");
    EXPECT_EQ(BytesToHexText(bytes, 1), "00");
    EXPECT_EQ(BytesToHexText(bytes, 0), "");
    EXPECT_EQ(BytesToHexText(bytes, -1), "");
    EXPECT_EQ(BytesToHexText(nullptr, 3), "");

    const struct {
        const char* text;
        int isHex;
        int isDecimal;
    } cases[] = {
        {"", 1, 1},    {"0123456789", 1, 1}, {"abcDEF", 1, 0}, {"12g", 0, 0},
        {" 12", 0, 0}, {"-12", 0, 0},        {"1.5", 0, 0},    {"0x1F", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsHexText(c.text), c.isHex);
        EXPECT_EQ(IsDecimalText(c.text), c.isDecimal);
    }
}

TEST(DecimalConversion, ParseFirstNumber) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"CH-12 A", 12},
        {"42", 42},
        {"  7x9", 7},
        {"2147483647", 2147483647},
        {"4294967296", 2147483647},  // saturates instead of wrapping to 0
        {"99999999999999999999", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseFirstNumber(c.text), c.value) << c.text;
}

TEST(DecimalConversion, ParseThousandths) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"12.5", 12500},
        {"0.0275", 27},
        {"7", 7000},
        {"3.", 3000},
        {".5", 0},
        {"", 0},
        {"99999.999", 99999999},
        {"1.23456", 1234},
        {"-12.5", -12500},
        {"-0.5", -500},
        {" 4.25", 4250},
        {"123456", 123456000},  // no length limit here
        // Beyond 32 bits the value saturates, so a range check refuses it (it once came out as 0.704).
        {"4294968", 2147483647},
        {"4294968.0", 2147483647},
        {"2147483.647", 2147483647},
        {"-4294968", -2147483647 - 1},
        {"99999999999999999999.5", 2147483647},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseThousandths(c.text), c.value) << c.text;
}

TEST(DecimalConversion, ParseDecimalTimes1000) {
    const struct {
        const char* text;
        int result;  // of the checked form
        int32_t value;
    } cases[] = {
        {"99999.999", 1, 99999999},
        {"12.3456", 1, 12345},
        {"55.5", 1, 55500},
        {"7", 1, 7000},
        {"3.", 1, 3000},
        {".5", 1, 0},
        {"", 1, 0},
        {"0.001", 1, 1},
        {"12345", 1, 12345000},
        {"-12.5", 1, -12500},  // the places carry the sign; once -11500
        {"-0.5", 1, -500},
        {"-1.999", 1, -1999},
        {"123456", -2, 0},
        {"123456.5", -1, 0},
        {"1234.5678", 1, 1234567},
        {"12345.9999", 1, 12345999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t value = -77;
        EXPECT_EQ(ParseDecimalTimes1000Checked(c.text, &value), c.result);
        EXPECT_EQ(value, c.result == 1 ? c.value : -77);  // untouched on failure
        EXPECT_EQ(ParseDecimalTimes1000(c.text), c.value);
    }
}

TEST(DecimalConversion, ParseHalfStepTenths) {
    const struct {
        const char* text;
        int result;
        uint8_t value;
        int checkedResult;
        uint8_t checkedValue;
    } cases[] = {
        {"10.5", 1, 105, 1, 105},
        {"3", 1, 30, 1, 30},
        {"2.50", 1, 25, 1, 25},
        {"0.0", 1, 0, 1, 0},
        {"25.5", 1, 255, 1, 255},
        {"", 1, 0, 1, 0},
        {".5", 1, 0, 1, 0},
        {"2.3", -2, 0, -2, 0},
        {"2.", -2, 0, -2, 0},
        {"1.5a", -1, 0, -1, 0},
        {"-1", -1, 0, -1, 0},
        {" 1", -1, 0, -1, 0},
        // The plain form keeps its byte; the checked form refuses what does not fit.
        {"26", 1, 4, kHalfStepTooLarge, 0},
        {"25.6", -2, 0, -2, 0},
        {"26.0", 1, 4, kHalfStepTooLarge, 0},
        {"429496730", 1, static_cast<uint8_t>(4294967300LL & 0xFF), kHalfStepTooLarge, 0},
        {"99999999999999999999", 1, static_cast<uint8_t>(21474836470LL & 0xFF), kHalfStepTooLarge, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        uint8_t value = 0xAA;
        EXPECT_EQ(ParseHalfStepTenths(c.text, &value), c.result);
        EXPECT_EQ(value, c.value);
        value = 0xAA;
        EXPECT_EQ(ParseHalfStepTenthsChecked(c.text, &value), c.checkedResult);
        EXPECT_EQ(value, c.checkedValue);
    }
}

TEST(DottedIp, Parse) {
    using Address = std::array<uint8_t, 4>;
    const struct {
        const char* text;
        int result;
        Address address;  // as left by the call; starts as ee.ee.ee.ee
    } cases[] = {
        {"192.168.001.005", 0, {192, 168, 1, 5}},
        {"010.000.000.001", 0, {10, 0, 0, 1}},
        {"255.255.255.255", 0, {255, 255, 255, 255}},
        // Stops at the first part above 255; earlier parts keep their new values.
        {"192.168.001.256", -1, {192, 168, 1, 0xEE}},
        {"999.000.000.000", -1, {0xEE, 0xEE, 0xEE, 0xEE}},
        // The separators are not looked at.
        {"192x168x001x005", 0, {192, 168, 1, 5}},
        // A short text is read only as far as it goes; missing parts are 0.
        {"10.0.0.1", 0, {10, 0, 0, 0}},
        {"192.168", 0, {192, 168, 0, 0}},
        {"", 0, {0, 0, 0, 0}},
        // A negative part fails instead of becoming 255.
        {"-01.000.000.000", -1, {0xEE, 0xEE, 0xEE, 0xEE}},
        {"001.-01.000.000", -1, {1, 0xEE, 0xEE, 0xEE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Address address;
        address.fill(0xEE);
        EXPECT_EQ(ParseDottedIp(c.text, address.data()), c.result);
        EXPECT_EQ(address, c.address);
    }
}

TEST(DottedIp, ParseStopsAtTerminator) {
    // A buffer of 16 with the text ending early: what follows the terminator is not read.
    const char buffer[16] = {'1', '0', '.', '0', '\0', '9', '9', '9', '.', '9', '9', '9', '.', '9', '9', '9'};
    uint8_t address[4];
    EXPECT_EQ(ParseDottedIp(std::string_view(buffer, sizeof buffer), address), 0);
    EXPECT_EQ(address[0], 10);
    EXPECT_EQ(address[1], 0);
    EXPECT_EQ(address[2], 0);
    EXPECT_EQ(address[3], 0);
}

TEST(DottedIp, FormatAndRoundTrip) {
    const struct {
        std::array<uint8_t, 4> address;
        const char* text;
    } cases[] = {
        {{192, 168, 1, 5}, "192.168.001.005"},
        {{10, 0, 0, 1}, "010.000.000.001"},
        {{0, 0, 0, 0}, "000.000.000.000"},
        {{255, 255, 255, 255}, "255.255.255.255"},
    };
    for (const auto& c : cases) {
        char buffer[kDottedIpBufferSize + 2];
        std::memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(FormatDottedIp(buffer, c.address.data()), 0);
        EXPECT_STREQ(buffer, c.text);
        EXPECT_EQ(buffer[kDottedIpBufferSize], 'Z');
        std::array<uint8_t, 4> back{};
        EXPECT_EQ(ParseDottedIp(buffer, back.data()), 0);
        EXPECT_EQ(back, c.address);
    }
}

TEST(TextHook, ConvertTextChangesNothing) {
    char name[] = "NEWS-1 \xB9\xE3\xB6\xAB";
    const std::string before = name;
    EXPECT_EQ(ConvertText(kTextFromDevice, name, static_cast<int>(std::strlen(name))), 0);
    EXPECT_EQ(ConvertText(kTextToDevice, name, static_cast<int>(std::strlen(name))), 0);
    EXPECT_EQ(std::string(name), before);
}

}  // namespace text_conversion_test
}  // namespace nms
