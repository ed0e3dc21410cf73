// The service settings of the SD and HD encoders without windows ("System" tabs): output bitrate, program
// number, PIDs, names and SDT insertion read with 0x64 and written with 0x65. The one-channel SD encoder
// chains its output identity (TS ID, network id, IP insertion port) behind them with 0x33 and 0x34 and
// polls its status; the four-channel one puts the encoding channel in front of both requests.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/encoder/encoder_fields.h"

namespace nms {

// The SD block: 88 bytes and a kept 16-bit value; then, in the same image, the 134-byte identity block.
constexpr int kEncoderSystemBlockSize = 88;
constexpr int kEncoderSystemWireSize = 90;
constexpr int kEncoderIdentitySize = 134;
constexpr int kEncoderIdentityAt = kEncoderSystemWireSize;
constexpr int kEncoderIdentityFieldsSize = 6;
constexpr int kEncoderSystemImageSize = kEncoderIdentityAt + kEncoderIdentitySize;
// The HD block: 208 bytes, then a kept word and byte.
constexpr int kHdSystemBlockSize = 208;
constexpr int kHdSystemWireSize = 211;

constexpr int kEncoderSystemPollMs = 1000;

extern const char* const kPmtPidMessage;

// Keys: bitrate, program, port, audioPid, videoPid, pcrPid, pmtPid, mode, sdt, provider, name, tsId, netId
// (port, tsId and netId lie in the identity block).
const FieldTable& EncoderSystemTable();
// Keys: bitrate, program, port, audioPid, videoPid, pcrPid, pmtPid, sdt, provider, name, tsId, netId.
const FieldTable& HdSystemTable();

struct EncoderSystemVariant {
    int pageParam;
    bool channels;  // the encoding channel goes in front of the requests; no identity, no status
};
const EncoderSystemVariant& EncoderSystemVariantOf(int pageParam);

// The PMT PID check on leaving its edit: empty when the text may stay, else the message to show.
std::string CheckPmtPidText(const std::string& text);

class EncoderSystemLogic : public BlockLogic {
public:
    enum : unsigned { kRefreshStatus = PageStep::kRefreshPageBits };

    // hd: the HD encoder's 208-byte block; otherwise the SD one of the variant.
    EncoderSystemLogic(int pageParam, bool hd);

    bool Hd() const { return m_hd; }
    bool Channels() const { return m_channels; }
    bool Identity() const { return !m_hd && !m_channels; }
    const FieldTable& Table() const { return m_hd ? HdSystemTable() : EncoderSystemTable(); }
    const ParamBlock& Block() const { return m_block; }

    // The status of the one-channel SD encoder.
    const BitrateRange& Range() const { return m_range; }
    std::optional<int32_t> Bitrate() const { return m_bitrate; }
    std::optional<bool> Alarm() const { return m_alarm; }

    PageStep Get(std::optional<int> channel) override;
    // The SD encoders refuse a field in their validation box ("Warning").
    PageStep Set(const FormInputs& inputs, std::optional<int> channel) override;
    PageStep HandleReply(const ReplyView& reply) override;
    // The one-channel SD encoder's status; nothing on the others.
    PageStep Poll() const override;

private:
    std::vector<uint8_t> ChannelPrefix(std::optional<int> channel) const;
    PageStep Status(const ReplyView& reply);

    bool m_hd;
    bool m_channels;
    ParamBlock m_block;
    BitrateRange m_range;
    std::optional<int32_t> m_bitrate;
    std::optional<bool> m_alarm;
};

}  // namespace nms
