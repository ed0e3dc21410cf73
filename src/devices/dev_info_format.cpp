#include "devices/dev_info_format.h"

#include <cstdio>

namespace nms {
namespace {

std::string MajorMinor(unsigned major, unsigned minor) {
    char text[16];
    std::snprintf(text, sizeof text, minor < 0x10 ? "%x.0%x" : "%x.%x", major, minor);
    return text;
}

}  // namespace

VersionTexts FormatVersionTexts(uint32_t version) {
    VersionTexts texts;
    texts.hardware = MajorMinor((version >> 16) & 0xFF, version >> 24);
    texts.software = MajorMinor(version & 0xFF, (version >> 8) & 0xFF);
    return texts;
}

std::string FormatHeartbeatCode(const uint8_t* payload, int length) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    if (!payload || length <= 0)
        return text;
    text.reserve(size_t(length) * 2);
    for (int i = length - 1; i >= 0; --i) {
        text += kDigits[payload[i] >> 4];
        text += kDigits[payload[i] & 0xF];
    }
    return text;
}

}  // namespace nms
