// The decoder settings block of the receivers' built-in decoders (75 bytes) and the decoder read reply:
// the program to play, video format, aspect, screen mode, picture levels, audio track, mode, AC3 bypass
// and volume, with the program names and audio track codes the device offers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

enum : uint8_t {
    kCmdDecoderRead = 0x73,
    kCmdDecoderWrite = 0x74,
};

constexpr int kDecoderBlockSize = 75;
constexpr int kDecoderAudioCodes = 11;
constexpr int kDecoderMaxTracks = 32;
constexpr int kDecoderNameMax = 32;

// Keys: "program" and "audio" (lists the page fills from the reply), "video", "aspect", "screen",
// "brightness", "contrast", "saturation", "audioMode", "ac3", "volume".
const FieldTable& DecoderSettingsTable();
// The four-channel decoder's block: the same fields with the volume 0~100.
const FieldTable& Decoder4SettingsTable();

// What a read reply offers beside the block.
struct DecoderOffer {
    std::vector<std::string> programs;  // "%02d:%s", names cut to 32 characters
    std::vector<std::string> tracks;    // "Audio %02d(%02x)"
};

// A 0x73 reply: the block (when the reply holds all of it) and the offered programs and tracks. False
// (nothing changed) for a reply too short for the block.
// countsOffset: where the program and track counts stand (the block follows them); trackCodes: the
// track texts show each track's code.
bool ReadDecoderReply(const ReplyView& reply, std::vector<uint8_t>* block, DecoderOffer* offer,
                      int countsOffset = 0, bool trackCodes = true);

// One decoder channel's read (0x73) and write (0x74), each under the 15-s wait.
class DecoderLogic : public BlockLogic {
public:
    enum : unsigned { kRefreshDecoder = PageStep::kRefreshPageBits };

    DecoderLogic();
    const ParamBlock& Block() const { return m_block; }
    const DecoderOffer& Offer() const { return m_offer; }

    // channel: the decoder channel 0-3 (none or another: the first).
    PageStep Get(std::optional<int> channel) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> channel) override;
    PageStep HandleReply(const ReplyView& reply) override;

private:
    ParamBlock m_block;
    DecoderOffer m_offer;
};

}  // namespace nms
