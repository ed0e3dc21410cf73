// The output settings of the multi-channel encoders and encoder-modulators without windows: the 44-byte
// output block with its trailer byte, the DVB-C block (QamModBlock) and the RF block of the modulating
// models, the request and reply layouts of each model, the form's layout by model, channel count and RF
// standard, and the decoding of the status poll (lamps, bitrates, working time).
//
// The page keeps one image of everything it exchanges, whatever the model's wire layout:
//   [0] output block (44), [44] trailer, [45] RF standard, [46] DVB-C block + word + byte (23),
//   [69] RF block + word + byte (55).
// A reply is copied into the image piece by piece (only what arrived), a Set is built from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

enum : uint8_t {
    kCmdEncoderOutputGet = 0x33,
    kCmdEncoderOutputSet = 0x34,
    kCmdEncoderStatus = 0x40,
};

constexpr int kEncoderOutputBlockSize = 44;
constexpr int kEncoderImageTrailer = 44;
constexpr int kEncoderImageStandard = 45;
constexpr int kEncoderImageQam = 46;
constexpr int kEncoderQamSize = 23;
constexpr int kEncoderImageRf = 69;
constexpr int kEncoderRfSize = 55;
constexpr int kEncoderImageSize = 124;
constexpr int kEncoderChannels = 16;

extern const char* const kTsOnidMessage;          // "TS and Original Network ID should be 0-9,a-f or A-F!"
extern const char* const kOutputBitrateMessage;   // "Output bitrate error!"
extern const char* const kWrongFrequencyMessage;  // "wrong frequency !"
extern const char* const kMacMessage;             // "MAC error,please input correct MAC address!"

enum class EncoderStandard : uint8_t { kDvbt = 0, kDvbc = 1, kDtmb = 2 };

// The models of the page.
enum class EncoderOutputKind {
    kPlain,    // 2 and any other PageParam
    kMagnum4,  // 80
    kMagnum8,  // 81
    kCount82,  // 82: the count in the reply header
    kCount87,  // 87: the count in the payload, up to 16 channels
    kRf88,     // 88: counted, one RF modulator
    kDual89,   // 89: two RF outputs
    kRf24,     // 24: one RF modulator
    kRf85,     // 85: one RF modulator and an IP output (turns into 88 on a reply beginning with 8)
};

struct EncoderOutputVariant {
    int pageParam;
    EncoderOutputKind kind;
};
const EncoderOutputVariant& EncoderOutputVariantOf(int pageParam);

// Every field of every model over the image. Keys: "tsId", "netId", "sdt", "nit", "cat", "mux1".."mux16",
// "bitrate", "ip", "port", "mac"; DVB-C block "q.*"; RF block "t.*" (DVB-T), "c.*" (DVB-C of 88), "d.*"
// (DTMB); the two-output block "x.*".
const FieldTable& EncoderOutputTable();

// What the form shows: channel controls (CH lamp and MUX box) by channel, their captions, the input lamp,
// the fields in use and the standard's radio button.
struct EncoderOutputLayout {
    std::array<bool, kEncoderChannels> channel{};
    std::array<std::string, kEncoderChannels> channelCaption;  // "CH1"..; the MUX box "1 MUX"..
    bool inputLamp = false;
    std::string inputCaption;                 // "ASI 1", "ASI IN" or "IP IN"
    std::optional<EncoderStandard> standard;  // the radio shown; none without an RF group
    bool ipGroup = false;
    std::vector<std::string> used;  // keys of the fields in use
};

// The status display. Lamps: CH1..CH16, then the input lamp; -1 leaves a lamp as it is.
struct EncoderStatusDisplay {
    std::string bitrate, max, min;
    std::string maxCaption = "MAX:";
    std::string working;
    std::string statusLine;  // empty: hidden
    std::array<int, kEncoderChannels + 1> lamps;
    EncoderStatusDisplay() { lamps.fill(0); }
};

// "Working:001Day02Hour03Min.04Sec." of seconds.
std::string WorkingTimeText(uint32_t seconds);
// The MAC of "Generate MAC": "00-MM-DD-hh-mm-ss" of the local time's fields.
std::string GeneratedMacText(int month, int day, int hour, int minute, int second);
// The second RF frequency that follows the first on the two-output model: the leading number of the
// first plus 8 MHz (DVB-T: 7 with the 7M bandwidth entry, 6 with 6M).
std::string SecondFrequencyText(const std::string& first, std::optional<EncoderStandard> standard,
                                int bandwidthIndex);

class EncoderOutputLogic : public BlockLogic {
public:
    EncoderOutputLogic();

    // The model from the catalogue's PageParam and the device type (the status line of 0x1855).
    void Bind(int pageParam, uint16_t typeCode);
    EncoderOutputKind Kind() const { return m_kind; }
    int ChannelCount() const { return m_channels; }
    std::optional<EncoderStandard> Standard() const;
    const ParamBlock& Image() const { return m_image; }
    EncoderOutputLayout Layout() const;
    const EncoderStatusDisplay& Status() const { return m_status; }
    // The refused field's message goes in the validation box ("Warning") rather than a plain box.
    bool WarningBox() const { return m_warningBox; }

    // The page has no selector.
    PageStep Get(std::optional<int> selection) override;
    // Checks and takes the form, then the Set request of the model; a refusal is a message step.
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    PageStep HandleReply(const ReplyView& reply) override;
    PageStep Poll() const override { return PageStep::Poll(kCmdEncoderStatus); }
    // The operator clicked the standard's radio button: the standard byte is set again.
    void SelectStandard(EncoderStandard standard);
    // The size of the Set request the model sends now.
    int SetSize() const;

    enum : unsigned {
        kRefreshLayout = PageStep::kRefreshPageBits,
        kRefreshStatus = PageStep::kRefreshPageBits << 1,
    };

private:
    void TakeGetReply(const ReplyView& reply);
    void TakeStatus(const ReplyView& reply);
    std::vector<uint8_t> SetPayload() const;

    EncoderOutputKind m_kind = EncoderOutputKind::kPlain;
    uint16_t m_type = 0;
    ParamBlock m_image{kEncoderImageSize};
    int m_channels = 4;
    int m_standard = -1;  // -1: no RF group; else the standard byte as the device reported it
    bool m_warningBox = false;
    bool m_extremesKnown = false;
    uint32_t m_max = 0, m_min = 0;
    EncoderStatusDisplay m_status;
};

}  // namespace nms
