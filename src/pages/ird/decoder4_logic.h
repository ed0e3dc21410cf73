// The program page of the four-channel ASI HD decoder without windows: per channel the tuner input
// record, the programs the channel carries and the decoder settings, read and written in chains.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/ird/cam_ird_input.h"
#include "pages/ird/decoder_settings.h"

namespace nms {

enum : uint8_t {
    kCmdDecoder4Parse = 0x20,
    kCmdDecoder4Program = 0x21,
    kCmdDecoder4Ack = 0x22,
};

constexpr int kDecoder4Programs = 64;
constexpr int kDecoder4EntrySize = 51;

struct Decoder4Program {
    uint8_t status = 0;
    std::string name;
    uint16_t number = 0, pmtPid = 0;
    uint8_t elements = 0, caCount = 0;
};

class Decoder4Logic : public CamChannelLogic {
public:
    enum : unsigned {
        kRefreshInput = PageStep::kRefreshPageBits,
        kRefreshPrograms = PageStep::kRefreshPageBits << 1,
        kRefreshDecoder = PageStep::kRefreshPageBits << 2,
    };

    Decoder4Logic();

    const ParamBlock& Input(int channel) const { return m_inputs[size_t(channel)]; }
    uint32_t OutputBitrate() const { return m_bitrate; }
    const ParamBlock& Decoder(int channel) const { return m_decoders[size_t(channel)]; }
    const DecoderOffer& Offer() const { return m_offer; }
    const std::vector<Decoder4Program>& Programs() const { return m_programs; }

    PageStep Parse(int channel);
    PageStep ReadPrograms(int channel);
    PageStep ReadDecoder(int channel, bool restart = false);
    PageStep SendDecoder(int channel, const FormInputs& inputs);
    PageStep HandleReply(const ReplyView& reply) override;

private:
    ParamBlock& InputRecord() override;
    PageStep ProgramRequest(PageStep::Wait wait);

    std::array<ParamBlock, kCamChannels> m_inputs;
    std::array<ParamBlock, kCamChannels> m_decoders;
    DecoderOffer m_offer;
    std::vector<Decoder4Program> m_programs;
    int m_count = 0;
    int m_counter = 0;
};

}  // namespace nms
