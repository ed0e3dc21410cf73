// The video and audio pages of the SD encoders without windows: one parameter block per page, read with
// a Get and written with a Set, and on the four-channel encoder the encoding channel (1-4) in front of
// both requests and of the reply.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/encoder/encoder_fields.h"

namespace nms {

constexpr int kSdVideoBlockSize = 24;  // then the trailing byte
constexpr int kSdAudioBlockSize = 16;
constexpr int kSdEncoderChannels = 4;

struct SdEncoderVariant {
    int pageParam;
    bool channels;  // the page picks one of four encoding channels
};
const SdEncoderVariant& SdEncoderVariantOf(int pageParam);

// The video block and its trailing byte (keys: input, mode, av, gop, brightness, contrast, saturation,
// hue, heftContrast, pbSaturation, prSaturation, heftBrightness, compress, profile, level).
const FieldTable& SdVideoTable();
const std::vector<ListFallback>& SdVideoFallbacks();
// Keys: encoding, sampleRate, bitrate, audioMode, source.
const FieldTable& SdAudioTable();
const std::vector<ListFallback>& SdAudioFallbacks();

// Video block byte 13: 1 when the encoder takes only its profile and level from the page.
constexpr int kSdVideoProfileModeOffset = 13;

// One block read with getCommand and written with getCommand + 1.
class SdBlockLogic : public BlockLogic {
public:
    SdBlockLogic(int pageParam, uint8_t getCommand, int blockSize, int storedSize, const FieldTable& table);

    const SdEncoderVariant& Variant() const { return m_variant; }
    const FieldTable& Table() const { return *m_table; }
    const ParamBlock& Block() const { return m_block; }

    // channel: the selected encoding channel 0-3, or none.
    PageStep Get(std::optional<int> channel) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> channel) override;
    PageStep HandleReply(const ReplyView& reply) override;

private:
    std::vector<uint8_t> ChannelPrefix(std::optional<int> channel) const;

    SdEncoderVariant m_variant;
    uint8_t m_get;
    int m_blockSize;
    const FieldTable* m_table;
    ParamBlock m_block;
};

}  // namespace nms
