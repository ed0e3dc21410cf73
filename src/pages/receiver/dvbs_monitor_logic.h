// The status reply (0x72) of the DVB-S/S2 signal monitor: one layout per page variant, with the signal
// kind in the reply header saying whether values are dB or percent. Plain logic: what each row shows.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "devices/reply_view.h"

namespace nms {

constexpr uint8_t kCmdTunerStatus = 0x72;
constexpr int kDvbsMonitorRows = 16;
constexpr int kDvbsMonitorPollMs = 1500;

struct DvbsMonitorRow {
    enum Show : int8_t { kUnchanged = -1, kHidden = 0, kLabelAndLamp = 1, kFull = 2 };
    Show show = kUnchanged;
    bool hasLock = false;
    bool lock = false;
    bool hasValue = false;
    int bar = 0;
    std::string text;
};

struct DvbsMonitorStatus {
    int barMax = 100;
    std::array<DvbsMonitorRow, kDvbsMonitorRows> rows{};
    bool hasRates = false;
    std::array<std::string, 4> useful{}, total{};  // Mbit/s, "%.3f"
};

// The variants that have a decoder.
bool IsDvbsMonitorVariant(int pageParam);
// False (nothing to show) when the reply is too short for its layout or the variant has no decoder.
bool DecodeDvbsMonitorStatus(int pageParam, uint16_t deviceType, const ReplyView& reply,
                             DvbsMonitorStatus* out);
// A rate half of the four-channel receiver in Mbit/s: floor(x * 1504 / 1000) * 0.0010666...
std::string DvbsRateText(uint32_t x);

}  // namespace nms
