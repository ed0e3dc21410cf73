// The "Video/Audio" page of the multi-channel SD encoders without windows: up to 16 channel records (126
// bytes on the MPEG-2 models, 149 bytes on the MPEG-2/4 models) read and written two per packet in one
// chain under one wait, the channel shown, and "Copy to All CH".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

constexpr int kEncoder8NarrowSize = 126;
constexpr int kEncoder8WideSize = 149;
constexpr int kEncoder8Records = 16;
constexpr uint8_t kCmdEncoder8Get = 0x60;
constexpr uint8_t kCmdEncoder8Set = 0x61;
constexpr uint8_t kCmdEncoder8Done = 0x64;
constexpr uint16_t kEncoder8FourChannelType = 0x4203;

struct Encoder8Variant {
    int pageParam;
    bool wide;            // the 149-byte record
    bool shortAudioList;  // ten audio bitrates, "32Kbps" to "384Kbps"
};
const Encoder8Variant& Encoder8VariantOf(int pageParam);

// Field keys (both records): "program", "pmt", "videoPid", "pcr", "audioPid", "enable", "vbitrate",
// "rate", "atype", "sample", "abitrate", "sdt", "provider", "name"; 126-byte record: "standard", "gop",
// "brightness", "contrast", "saturation", "hue", "compress", "amode"; 149-byte record: "pixel",
// "encoding", "frame", "aspect", "profile", "level", "horizontal", "vertical", "gop", "idr",
// "framerate", "ecm1".."ecm4", "scr1", "scr2".
const FieldTable& Encoder8NarrowTable();
const FieldTable& Encoder8NarrowShortAudioTable();
const FieldTable& Encoder8WideTable();

class Encoder8Logic : public BlockLogic {
public:
    enum : unsigned {
        kRefreshTabs = PageStep::kRefreshPageBits,
        kRefreshLayout = PageStep::kRefreshPageBits << 1,
    };

    // deviceType: the bound device's type (the four-channel model answers like the eight-channel one).
    Encoder8Logic(int pageParam, uint16_t deviceType);

    int PageParam() const { return m_pageParam; }
    bool Wide() const { return m_variant.wide; }
    const Encoder8Variant& Variant() const { return m_variant; }
    const FieldTable& Table() const;
    const ParamBlock& Record(int channel) const;
    const ParamBlock& Block() const { return Record(m_channel); }
    int Channel() const { return m_channel; }
    int Tabs() const { return m_tabs; }
    int ChannelCount() const { return m_channelCount; }

    // What a list shows for a value it has no entry for: (key, entry index).
    std::vector<std::pair<std::string, int>> ComboFallbacks() const;
    // The scrambler checks and ECM PID edits: used (stored) and visible; the eight-channel scrambling
    // model captions them differently and shows no ECM PID edits.
    bool ScramblerUsed() const;
    bool ScramblerChecksShown() const;
    bool EcmEditsShown() const;
    bool EightChannelScrambler() const;
    // Edit 1011 of the 149-byte layout: bytes 27 and 42 as "%d,%d".
    std::string InfoText() const;

    // Requests are for the channel shown (SelectChannel), not a selector entry.
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    // Stores the form into the shown channel, then shows another; false (message in *step) when a field
    // is refused and the operator stays.
    bool SelectChannel(int channel, const FormInputs& inputs, PageStep* step);
    // 149-byte layout: the shown channel's settings (not its PIDs, names, program number, enable or SDT
    // insert) into every record. Nothing is sent.
    PageStep CopyToAll(const FormInputs& inputs);
    // Ten-entry audio bitrate list: the audio mode that goes with a chosen bitrate entry (-1: none).
    static int AudioModeFor(int bitrateIndex, int audioMode);

    PageStep HandleReply(const ReplyView& reply) override;

private:
    ParamBlock& MutableRecord(int channel);
    bool Store(const FormInputs& inputs, PageStep* refused);
    std::vector<uint8_t> SetPayload(int first) const;
    std::vector<uint8_t> GetPayload(int first) const;
    PageStep HandleGet(const ReplyView& reply);
    PageStep HandleSet(const ReplyView& reply);
    int RecordSize() const { return m_variant.wide ? kEncoder8WideSize : kEncoder8NarrowSize; }

    Encoder8Variant m_variant;
    int m_pageParam;
    uint16_t m_deviceType;
    std::array<ParamBlock, kEncoder8Records> m_narrow;
    std::array<ParamBlock, kEncoder8Records> m_wide;
    int m_channel = 0;
    int m_tabs = 4;
    int m_channelCount = 8;
    bool m_firstReply = true;
    int m_expected = 0;  // the first channel of the pair asked for
};

}  // namespace nms
