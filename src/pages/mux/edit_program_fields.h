// The values that callers of the program edit dialog (CEditProgramDlg) fill and take back, and the field
// checks the dialog makes on OK. No Qt: the page logic and the tests use them too.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nms {

constexpr int kEditCaEntries = 20;  // the scrambling pages hand over up to 20 ECM PIDs
constexpr int kEditElements = 32;
constexpr int16_t kNoElement = -1;  // the same bits as 0xFFFF

struct EditProgramFields {
    std::string name;                                    // code-page bytes (GBK); at most 31
    std::string serviceId;                               // decimal text
    std::string pcrPid;                                  // hexadecimal text
    std::string pmtPid;                                  // hexadecimal text
    std::array<uint16_t, kEditCaEntries> caSystemIds{};  // 0: no entry
    std::array<uint16_t, kEditCaEntries> ecmPids{};
    std::array<int16_t, kEditElements> elementPids;        // negative: no such element
    std::array<std::string, kEditElements> elementLabels;  // "%02X %s"
    uint8_t ipOutputFlag = 0;                              // non-zero: show the IP output index
    uint8_t ipOutputIndex = 0;                             // 0 "Disable", n "%d-SPTS"
    uint8_t ipOutputMode = 0;                              // 2: 64 single-program outputs, else 128

    EditProgramFields() { elementPids.fill(kNoElement); }
};

// Field checks: true and the value, or false and the message to show.
bool ParseDecimalField(const std::string& text, uint32_t max, uint32_t* value, std::string* message);
bool ParseHexField(const std::string& text, uint32_t max, uint32_t* value, std::string* message);

// "Program name's length should not be more than 32 charactors." for a name of 32 bytes or more.
extern const char* const kProgramNameTooLong;
constexpr int kMaxProgramNameBytes = 31;

// The number of single-program IP outputs the combo offers for a mode: 64 for mode 2, else 128.
inline int IpOutputCount(uint8_t mode) {
    return mode == 2 ? 64 : 128;
}

}  // namespace nms
