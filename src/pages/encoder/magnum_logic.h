// The "Video/Audio" page of the Magnum encoders without windows: four or eight 384-byte channel
// records read and written as blocks of two channels (768 bytes) in one chain under one wait, the fields
// a channel pair shares, and the pair's script text.
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
#include "pages/encoder/magnum_script.h"

namespace nms {

constexpr int kMagnumRecordSize = 384;
constexpr int kMagnumBlockSize = 2 * kMagnumRecordSize;
constexpr int kMagnumChannels = 8;
constexpr uint8_t kCmdMagnumGet = 0x60;
constexpr uint8_t kCmdMagnumSet = 0x61;
constexpr uint8_t kCmdMagnumReset = 0x64;
constexpr int kMagnumScriptLines = 100;

struct MagnumVariant {
    int pageParam;
    int channels;
};
const MagnumVariant& MagnumVariantOf(int pageParam);

// Field keys: "pixel", "framerate", "format", "videoPid", "vtype", "aspect", "profile", "level", "rate",
// "vbitrate", "it", "sample", "audioPid", "atype", "abitrate", "service", "pmt", "pcr", "name",
// "provider", "raspect", "rpixel", "rframerate", "rformat", "contrast", "brightness", "hue", "monitor".
const FieldTable& MagnumTable();

// The check boxes whose bytes the table does not describe: "Enable" and "Rescaler" (pair bytes, set
// means 0) and "Volume" with its edit (0 off, else volume + 1).
struct MagnumChecks {
    bool enable = false;
    bool rescaler = false;
    bool volume = false;
    std::string volumeText;
    bool operator==(const MagnumChecks& o) const {
        return enable == o.enable && rescaler == o.rescaler && volume == o.volume &&
               volumeText == o.volumeText;
    }
};

class MagnumLogic {
public:
    enum : unsigned { kRefreshScript = PageStep::kRefreshPageBits };

    explicit MagnumLogic(int pageParam);

    const MagnumVariant& Variant() const { return m_variant; }
    int Blocks() const { return m_variant.channels / 2; }
    int Channel() const { return m_channel; }
    const ParamBlock& Record(int channel) const { return m_records[size_t(channel)]; }
    // The shown channel with the pair fields of its pair's even channel: what the form shows.
    ParamBlock View() const;
    MagnumChecks Checks() const;
    // The picture adjustment (contrast, brightness, hue) is shown and stored.
    bool PictureAdjustment() const;
    int FailedField() const { return m_failedField; }
    const ScriptExchange& Script() const { return m_script; }
    // "Rescaler-%d" with twice the pair index.
    static std::string RescalerCaption(int pair);
    // 720*576 takes 25 fps; 720*480 takes 30 fps unless 29.97 or 30 is chosen.
    static int FrameRateForPixel(int pixel, int frameRate);

    PageStep Get(int pair);
    PageStep Set(const std::vector<std::optional<FieldInput>>& inputs, const MagnumChecks& checks);
    PageStep Reset(int pair, const std::vector<std::optional<FieldInput>>& inputs,
                   const MagnumChecks& checks);
    bool SelectChannel(int channel, const std::vector<std::optional<FieldInput>>& inputs,
                       const MagnumChecks& checks, PageStep* step);
    PageStep ReadScript(int pair);
    // The dialog's text after OK: the lines are checked and written.
    PageStep WriteScript(const std::string& text);
    PageStep HandleReply(const ReplyView& reply);
    // The wait ran out: the reply it waited for, should it still come, is late (HandleLate).
    void WaitEnded();
    // A request was refused: nothing went out, nothing can come late.
    void Refused();
    // A reply that came after its wait ran out: shown as it would have been in time (a block read then
    // shows the channel), but no request goes out and no wait begins. Null when the reply is not the
    // late one; it is taken once, and only until the next request.
    std::optional<PageStep> HandleLate(const ReplyView& reply);
    bool Waiting() const { return m_await.Waiting(); }

private:
    bool Store(const std::vector<std::optional<FieldInput>>& inputs, const MagnumChecks& checks,
               PageStep* refused);
    std::vector<uint8_t> BlockBytes(int block) const;
    PageStep HandleGet(const ReplyView& reply);
    PageStep HandleSet(const ReplyView& reply);

    MagnumVariant m_variant;
    std::array<ParamBlock, kMagnumChannels> m_records;
    int m_channel = 0;
    AwaitedCommand m_await;
    int m_expected = 0;  // the block asked for or written
    int m_failedField = -1;
    ScriptExchange m_script{kMagnumScriptLines, false};
};

}  // namespace nms
