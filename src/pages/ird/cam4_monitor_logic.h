// The signal monitor of the four-channel CI/CAM receiver and decoder without windows: the status poll of
// the four channels (programs, bitrate, lock, signal, CAM) and the four tuner input records read and
// written as a chain.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/field_table.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"
#include "pages/ird/cam_ird_input.h"

namespace nms {

constexpr int kCam4MonitorTimerId = 66;
constexpr int kCam4MonitorPollMs = 2000;

struct Cam4ChannelStatus {
    bool valid = false;
    uint8_t programs = 0;
    int32_t bitrate = 0;
    bool locked = false;
    bool cam = false;
    int32_t quality = 0;
    bool percent = false;  // the quality is a percentage, else hundredths of a dB
    std::string camName;
};

// The output bitrate beside each record (a decimal kbit/s field, key "bitrate").
const FieldTable& CamOutputBitrateTable();

class Cam4MonitorLogic {
public:
    enum : unsigned {
        kRefreshInputs = PageStep::kRefreshPageBits,
        kRefreshStatus = PageStep::kRefreshPageBits << 1,
    };

    Cam4MonitorLogic();

    const ParamBlock& Record(int channel) const { return m_records[size_t(channel)]; }
    const ParamBlock& Bitrate(int channel) const { return m_bitrates[size_t(channel)]; }
    int ModuleType() const { return m_moduleType; }
    const std::array<Cam4ChannelStatus, kCamChannels>& Status() const { return m_status; }
    int FailedChannel() const { return m_failedChannel; }
    int FailedField() const { return m_failedField; }

    PageStep Get();
    // rows[k]: channel k's record inputs and its bitrate input; eit/tdt: the one pair of boxes, given to
    // every record that offers the pass-through options.
    struct Row {
        std::vector<std::optional<FieldInput>> record;
        std::vector<std::optional<FieldInput>> bitrate;
    };
    PageStep Set(const std::array<Row, kCamChannels>& rows, std::optional<bool> eit, std::optional<bool> tdt);
    PageStep Poll() const { return PageStep::Poll(kCmdCamStatus); }
    // An input reply after its wait ran out is shown once and asks for no further channel.
    PageStep HandleReply(const ReplyView& reply);
    void WaitEnded() { m_await.Ended(); }
    void Refused() { m_await.Clear(); }

private:
    PageStep Handle(const ReplyView& reply);
    PageStep Finish();
    PageStep ReadNext(int channel);

    std::array<ParamBlock, kCamChannels> m_records;
    std::array<ParamBlock, kCamChannels> m_bitrates;
    std::array<Cam4ChannelStatus, kCamChannels> m_status;
    int m_moduleType = 0;
    AwaitedCommand m_await;
    int m_expected = 0;  // the channel the running read asked for
    int m_failedChannel = -1;
    int m_failedField = -1;
};

}  // namespace nms
