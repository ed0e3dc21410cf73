// The multi-channel HD encoder's video/audio settings without windows: one encoding channel's record read
// with 0x60 and written with 0x61, in whichever of its three record versions the device answers (0 with
// or without the 0x88 marker, 1 or 3), the channel list the reply implies, and the page's checks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/encoder/encoder_fields.h"

namespace nms {

// The image of a version 0 or 3 reply and request: 8 header bytes, the channel, the 128-byte block, its
// word and byte, the 204-byte program block and its byte.
constexpr int kHd4ImageSize = 345;
constexpr int kHd4ProgramAt = 140;
constexpr int kHd4ReplyNeed = 344;  // through the program block
// Version 1: 7 zero bytes, the version byte, the 85-byte record.
constexpr int kHd4V1ImageSize = 93;
constexpr uint8_t kHd4Marker = 0x88;
constexpr int kHd4MaxChannelIndex = 16;

enum class Hd4Version { kV0 = 0, kV1 = 1, kV3 = 3 };

struct Hd4Variant {
    int pageParam;
    int channels;    // entries of the channel list before any reply
    bool modulator;  // the encoder board of a modulator: input, audio interface, picture and STB controls
};
const Hd4Variant& Hd4VariantOf(int pageParam);

// Fields of each version by image offset. Keys shared by versions name the same thing: pixel,
// audioBitrate, profile, mode, level, volume, bitrate, program, provider, name, pmtPid, videoPid, audioPid,
// pcrPid; version 0 adds audioBitrateKbps, levelIdc, aspect, frameMode, audioMode, inputInterface,
// contrast, brightness, hue, stb, audioInterface, outputFormat, hSize, vSize; version 1 adds pictureSize,
// videoMode, switch, audioCoding, sampling, audioMode; version 3 adds audioMode, frameMode, aspect.
const FieldTable& Hd4V0Table();
const FieldTable& Hd4V1Table();
const FieldTable& Hd4V3Table();
const FieldTable& Hd4TableOf(Hd4Version version);

class Hd4Logic : public BlockLogic {
public:
    explicit Hd4Logic(int pageParam);

    const Hd4Variant& Variant() const { return m_variant; }
    Hd4Version Version() const { return m_version; }
    bool Marker() const { return m_marker; }
    const FieldTable& Table() const { return Hd4TableOf(m_version); }
    const ParamBlock& Image() const { return m_version == Hd4Version::kV1 ? m_v1 : m_image; }

    // The fields the version shown uses (the others are hidden and go back as read).
    bool Uses(const std::string& key) const;
    std::vector<ListFallback> Fallbacks() const;

    // The channel list, whether it is shown, and the entry the last reply selects (-1 none).
    const std::vector<std::string>& Channels() const { return m_channels; }
    bool ChannelsShown() const;
    int ChannelSelection() const { return m_channelSelection; }

    // The input label ("HDMI:", "SDI:"; empty: hidden) and the text beside it (empty: hidden).
    std::string InputLabel() const;
    std::string InputText() const;

    // The message for a video pixel entry the board cannot encode, or empty.
    std::string CheckPixel(int selection) const;

    // channel: the entry of the channel list.
    PageStep Get(std::optional<int> channel) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> channel) override;
    PageStep HandleReply(const ReplyView& reply) override;

private:
    bool BoardVariant2() const { return m_image.Bytes()[16] == 2; }
    void SetChannelCount(int count);

    Hd4Variant m_variant;
    Hd4Version m_version = Hd4Version::kV0;
    bool m_marker = false;
    ParamBlock m_image{kHd4ImageSize};
    ParamBlock m_v1{kHd4V1ImageSize};
    std::vector<std::string> m_channels;
    int m_channelSelection = 0;
};

}  // namespace nms
