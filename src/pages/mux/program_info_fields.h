// The block that callers of CProgramInfoDlg (multi-output, IP and 16-QAM multiplexer pages) fill from a
// MultiOutputProgramRecord or QamOutputProgramRecord and take back after OK.
#pragma once

#include <array>
#include <cstdint>

#include "pages/mux/program_record.h"

namespace nms {

struct ProgramInfoFields {
    std::array<uint8_t, kProgramNameWidth> name{};  // output name bytes (a leading 0x01 marks a Russian name)
    uint8_t elementCount = 0;
    uint32_t serviceId = 0;  // the dialog keeps the low 16 bits
    uint16_t pmtPid = 0;
    uint16_t pcrPid = 0;
    std::array<uint16_t, kMaxElements> elementPids{};
    std::array<uint8_t, kMaxElements> streamTypes{};
    uint32_t ciField = 0;  // bit 7: through a CI slot; bit 0: "CAM" (1) or "Bypass" (0)
    std::array<uint8_t, kMaxCaEntries> casEnabled{};
    std::array<uint16_t, kMaxCaEntries> ecmPids{};
    std::array<uint32_t, kMaxCaEntries> caSystemIds{};  // as MuxOutputSettings holds them
    uint8_t casLabelFlag = 0;                           // 1: "CAS %d" labels; 0: the CA system ids
};

// A Russian name is stored as 0x01 and the text: 30 bytes of text at most, so the terminating zero fits.
constexpr uint8_t kRussianNamePrefix = 0x01;
constexpr int kMaxRussianNameBytes = kProgramNameWidth - 2;

}  // namespace nms
