// The program page of the four-channel CI/CAM receiver without windows: per channel the tuner input,
// the parse and the program list read one program at a time, each program's CAM/Bypass/Delete choice,
// IP output index and elementary-stream filter, and the selection sent back.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/ird/cam4_channel_logic.h"

namespace nms {

enum : uint8_t { kCmdCam4Send = 0x22 };

constexpr int kCam4Programs = 32;
constexpr int kCam4MaxIpIndex = 32;

// Program status bytes.
enum : uint8_t { kCam4Bypass = 0, kCam4Cam = 1, kCam4Delete = 2 };

class Cam4DecryptLogic : public CamChannelLogic {
public:
    Cam4DecryptLogic();

    const ParamBlock& Input() const { return m_input; }
    uint8_t Feature() const { return m_feature; }
    bool IpIndexFeature() const { return (m_feature & 0x81) == 0x81; }
    bool FilterFeature() const { return (m_feature & 0x82) == 0x82; }
    bool IndexBox() const { return m_indexBox; }
    int Count(int channel) const { return m_counts[size_t(channel)]; }
    const CamProgramEntry& Program(int channel, int index) const {
        return m_programs[size_t(channel)][size_t(index)];
    }

    PageStep Parse(int channel, bool index);
    PageStep Read(int channel);
    PageStep Send(int channel);

    // The operator's choices for one program of the channel on show.
    void SetStatus(int index, uint8_t status);
    // The IP-index dialog's result: the index (when the feature is on) and the filter mask (when that
    // feature is on). Returns the warnings to show.
    std::vector<std::string> SetIpIndex(int index, int ipIndex, uint16_t filterMask);

private:
    ParamBlock* InputRecordOf(int channel) override { return channel == m_channel ? &m_input : nullptr; }
    PageStep ContinueShown() override;
    PageStep ChannelReply(const ReplyView& reply) override;

    ParamBlock m_input;
    std::array<std::array<CamProgramEntry, kCam4Programs>, kCamChannels> m_programs{};
    std::array<int, kCamChannels> m_counts{};
    uint8_t m_feature = 0;
    bool m_indexBox = false;
};

}  // namespace nms
