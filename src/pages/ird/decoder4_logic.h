// The program page of the four-channel ASI HD decoder without windows: per channel the tuner input
// record, the programs the channel carries and the decoder settings, read and written in chains.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/ird/cam4_channel_logic.h"
#include "pages/ird/decoder_settings.h"

namespace nms {

enum : uint8_t { kCmdDecoder4Ack = 0x22 };

constexpr int kDecoder4Programs = 64;

class Decoder4Logic : public CamChannelLogic {
public:
    enum : unsigned { kRefreshDecoder = kRefreshChannelBits };

    Decoder4Logic();

    const ParamBlock& Input(int channel) const { return m_inputs[size_t(channel)]; }
    uint32_t OutputBitrate() const { return m_bitrate; }
    const ParamBlock& Decoder(int channel) const { return m_decoders[size_t(channel)]; }
    const DecoderOffer& Offer() const { return m_offer; }
    const std::vector<CamProgramEntry>& Programs() const { return m_programs; }

    PageStep Parse(int channel);
    PageStep ReadPrograms(int channel);
    PageStep ReadDecoder(int channel, bool restart = false);
    PageStep SendDecoder(int channel, const FormInputs& inputs);

private:
    ParamBlock* InputRecordOf(int channel) override { return &m_inputs[size_t(channel)]; }
    PageStep ContinueShown() override { return ReadDecoder(m_channel, true); }
    PageStep ChannelReply(const ReplyView& reply) override;

    std::array<ParamBlock, kCamChannels> m_inputs;
    std::array<ParamBlock, kCamChannels> m_decoders;
    DecoderOffer m_offer;
    std::vector<CamProgramEntry> m_programs;
    int m_count = 0;
};

}  // namespace nms
