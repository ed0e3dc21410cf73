// The video/audio settings of the one-channel HD encoder without windows: the 131-byte block read with
// 0x60 and written with 0x61, the video pixel list that depends on the input, and the status poll's
// bitrate, its running maximum and minimum, the four input locks and the detected format.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/encoder/encoder_fields.h"

namespace nms {

constexpr int kHdAvBlockSize = 131;
constexpr int kHdAvPollMs = 1500;
constexpr int kHdAvCvbsInput = 3;
constexpr int kHdAvAutoPixel = 11;

struct HdAvVariant {
    int pageParam;
    bool picture;  // the picture edits and the STB type are shown
};
const HdAvVariant& HdAvVariantOf(int pageParam);

// Keys: input, pixel (filled by the page), audioBitrate, audioInterface, profile, mode, level, volume,
// contrast, brightness, hue, saturationCb, saturationCr, stb.
const FieldTable& HdAvTable();
const std::vector<ListFallback>& HdAvFallbacks();

// The twelve video formats of the HD encoders, "1920*1080*60p" ... "AUTO".
const std::vector<std::string>& HdPixelList();
// The pixel list for an input (0-2 the twelve formats, 3 the two SD ones; others none), the entry that
// a pixel byte selects in it, and the byte an entry stands for.
std::vector<std::string> HdAvPixelList(int input);
int HdAvPixelIndex(int input, int value);
int HdAvPixelValue(int input, int index);
// The audio interface that goes with an input: HDMI with HDMI, SDI with SDI, the analogue one otherwise.
int HdAvInterfaceOf(int input);

class HdAvLogic : public BlockLogic {
public:
    enum : unsigned { kRefreshStatus = PageStep::kRefreshPageBits };

    HdAvLogic() = default;

    const ParamBlock& Block() const { return m_block; }

    const BitrateRange& Range() const { return m_range; }
    std::optional<uint32_t> Bitrate() const { return m_bitrate; }
    std::optional<uint8_t> Locks() const { return m_locks; }
    const std::string& Format() const { return m_format; }
    // The detected format is shown only while the block's pixel is "AUTO".
    bool ShowsFormat() const { return m_block.Bytes()[1] == kHdAvAutoPixel; }

    // A Get while one is already under way sends nothing more. The page has no selector to read for.
    PageStep Get(std::optional<int> selection) override;
    // inputs: the form (the pixel field's input is not used); pixel: the selected pixel entry, if any.
    PageStep Set(const FormInputs& inputs, std::optional<int> pixel) override;
    PageStep HandleReply(const ReplyView& reply) override;
    PageStep Poll() const override;

private:
    ParamBlock m_block{kHdAvBlockSize};
    BitrateRange m_range;
    std::optional<uint32_t> m_bitrate;
    std::optional<uint8_t> m_locks;
    std::string m_format;
};

}  // namespace nms
