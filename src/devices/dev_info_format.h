// The texts of the device information list that come from replies: the version rows and the code row.
#pragma once

#include <cstdint>
#include <string>

namespace nms {

struct VersionTexts {
    std::string hardware;  // "HW Ver.:" row: bytes 2 (major) and 3 (minor)
    std::string software;  // "SW Ver.:" row: bytes 0 (major) and 1 (minor)
};

// Byte 0 of the word is the reply's first payload byte. Minor numbers below 0x10 get a leading zero:
// payload 01 05 02 12 gives SW "1.05" and HW "2.12".
VersionTexts FormatVersionTexts(uint32_t version);

// The "Code:" row: the payload read as a little-endian number, written most significant byte first, each
// byte "%02x". Long payloads are shown whole.
std::string FormatHeartbeatCode(const uint8_t* payload, int length);

}  // namespace nms
