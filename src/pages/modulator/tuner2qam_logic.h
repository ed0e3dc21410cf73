// The four tuner channels that feed a QAM modulator: their input records (frequency, symbol rate,
// constellation in 75-byte blocks) and the status reply of locks, bitrates and signal quality.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pagebase/field_table.h"

namespace nms {

constexpr int kTunerChannels = 4;
constexpr int kTunerBlockSize = 75;
constexpr int kTunerAreaSize = kTunerChannels * kTunerBlockSize;  // 300
constexpr int kTuner2QamPollMs = 1500;

// Keys per channel k (1..4): "freq<k>", "symbol<k>", "constellation<k>".
const FieldTable& Tuner2QamTable();

// What a status reply shows.
struct Tuner2QamStatus {
    uint8_t locks = 0;
    std::array<std::string, kTunerChannels> bitrates{};
    bool quality = false;  // the signal reports carry a quality in percent
    std::array<uint8_t, kTunerChannels> percent{};
};
// False (nothing changes) for a reply too short for what it shows.
bool ReadTuner2QamStatus(const std::vector<uint8_t>& payload, Tuner2QamStatus* status);

}  // namespace nms
