// The source setting page of the one-channel CI/CAM receivers without windows: the tuner input with its
// IP-input block read (0x70) and written (0x71) as one block, and the status poll (0x72) of locks, signal,
// CAM slots, program count and output bitrate with its running maximum and minimum.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/ird/cam_ird_input.h"

namespace nms {

constexpr int kCamSourceStatusTimerId = 66;
constexpr int kCamSourceStatusPollMs = 1500;

struct CamIrdStatus {
    int inputType = 0;
    uint8_t programs = 0;
    int32_t bitrate = 0;  // kbit/s
    uint8_t bits = 0;     // 0 icon, 1 ASI lock, 2 tuner lock, 3 IP lock, 6 CAM 1, 7 CAM 2
    uint8_t quality = 0;
    uint8_t unitOrStrength = 0;
    int32_t carrierToNoise = 0;  // hundredths of a dB
    uint32_t word = 0;
    std::string cam1Name, cam2Name;
};

class CamIrdSourceLogic : public BlockLogic {
public:
    enum : unsigned {
        kRefreshSource = PageStep::kRefreshPageBits,
        kRefreshStatus = PageStep::kRefreshPageBits << 1,
    };

    CamIrdSourceLogic();

    const ParamBlock& Block() const { return m_block; }
    int InputType() const { return m_inputType; }
    // The form the stored input type shows; nothing for a type without a form.
    std::optional<CamInputForm> Form() const;

    // Get: the bounds start again with the next status. The page has no selector to read for.
    PageStep Get(std::optional<int> selection) override;
    // Set from the form (inputs as FormBinder::Inputs gives them) and the receive mode the radio buttons
    // select (1 Multicast, else Unicast).
    PageStep Set(const FormInputs& inputs, std::optional<int> mode) override;
    PageStep Poll() const override { return PageStep::Poll(kCmdCamStatus); }
    PageStep HandleReply(const ReplyView& reply) override;

    const CamIrdStatus& Status() const { return m_status; }
    // "%d.%03d" texts of the bitrate and of its bounds since the last Get ("0" before the first status).
    std::string BitrateText() const;
    const std::string& MaxText() const { return m_maxText; }
    const std::string& MinText() const { return m_minText; }

private:
    ParamBlock m_block;
    int m_inputType = 0;
    CamIrdStatus m_status;
    bool m_boundsStarted = false;
    uint32_t m_max = 0, m_min = 0;
    std::string m_maxText = "0", m_minText = "0";
};

// "%d.%03d" of a kbit/s value, negative values included.
std::string CamMbpsText(int32_t kbps);

}  // namespace nms
