// Typed texts of any bytes through every conversion; round trips must hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "pagebase/text_conversion.h"

using namespace nms;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the capacity given to HexTextToBytes; the rest is the text.
    const int capacity = data[0] % 64;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    if (text.size() >= 2)
        HexPairToByte(text[0], text[1]);
    HexTextToByte(text);
    HexTextToUInt32(text);
    HexTextToUShort(text);
    HexPrefixToUInt32(text);
    uint16_t u16 = 0;
    ParseHexUShort(text, &u16);
    ParseHexDigits16(text, &u16);
    IsHexText(text);
    IsDecimalText(text);
    ParseFirstNumber(text);
    ParseThousandths(text);
    ConvertText(kTextFromDevice, nullptr, 0);

    // Exactly capacity bytes on the heap, so a write past them is caught.
    auto bytes = std::make_unique<uint8_t[]>(capacity > 0 ? capacity : 1);
    const int written = HexTextToBytes(text, bytes.get(), capacity);
    if (written < 0 || written > capacity || written > static_cast<int>((text.size() + 1) / 2))
        std::abort();
    if (IsHexText(text) && text.size() % 2 == 0 && written == static_cast<int>(text.size() / 2)) {
        std::string lower(text);
        for (char& c : lower)
            if (c >= 'A' && c <= 'F')
                c = static_cast<char>(c - 'A' + 'a');
        if (BytesToHexText(bytes.get(), written) != lower)
            std::abort();
    }

    int32_t thousandths = 0;
    const int checked = ParseDecimalTimes1000Checked(text, &thousandths);
    if (checked != 1 && checked != -1 && checked != -2)
        std::abort();
    if (ParseDecimalTimes1000(text) != (checked == 1 ? thousandths : 0))
        std::abort();

    uint8_t tenths = 0, checkedTenths = 0;
    const int half = ParseHalfStepTenths(text, &tenths);
    const int halfChecked = ParseHalfStepTenthsChecked(text, &checkedTenths);
    if (halfChecked == 1 && (half != 1 || tenths != checkedTenths))
        std::abort();
    if (half != 1 && (tenths != 0 || halfChecked != half))
        std::abort();

    uint8_t address[4];
    ParseDottedIp(text, address);
    if (text.size() >= 4) {
        const uint8_t original[4] = {data[1], data[2], data[3], data[4]};
        char buffer[kDottedIpBufferSize];
        FormatDottedIp(buffer, original);
        if (std::strlen(buffer) != 15 || ParseDottedIp(buffer, address) != 0 ||
            std::memcmp(address, original, 4) != 0)
            std::abort();
    }
    return 0;
}
