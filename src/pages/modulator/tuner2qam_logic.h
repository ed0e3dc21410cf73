// The four tuner channels that feed a QAM modulator: their input records (frequency, symbol rate,
// constellation in 75-byte blocks) and the status reply of locks, bitrates and signal quality.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

constexpr int kTunerChannels = 4;
constexpr int kTunerBlockSize = 75;
constexpr int kTunerAreaSize = kTunerChannels * kTunerBlockSize;  // 300
constexpr int kTuner2QamPollMs = 1500;
constexpr int kTuner2QamStatusTimerId = 66;

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

// The requests of the page and what their replies leave: the four blocks (0x70 read, 0x71 write, the block
// kind 2 before them) and the last status (0x40).
class Tuner2QamLogic : public BlockLogic {
public:
    enum : unsigned { kRefreshStatus = PageStep::kRefreshPageBits };

    Tuner2QamLogic() : m_area(kTunerAreaSize) {}

    const ParamBlock& Area() const { return m_area; }
    const Tuner2QamStatus& Status() const { return m_status; }

    // The page has no selector.
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    PageStep HandleReply(const ReplyView& reply) override;
    PageStep Poll() const override;

private:
    ParamBlock m_area;
    Tuner2QamStatus m_status;
};

}  // namespace nms
