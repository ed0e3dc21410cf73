// The eight-channel transcoder page without windows: one 156-byte record per channel, read for the
// channel shown and written with its (empty) table of 48-byte entries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "pagebase/block_logic.h"

namespace nms {

constexpr int kTranscoderChannels = 8;
constexpr int kTranscoderRecordSize = 156;
constexpr int kTranscoderEntrySize = 48;
constexpr int kTranscoderMaxEntries = 64;
constexpr uint8_t kCmdTranscoderGet = 0x60;
constexpr uint8_t kCmdTranscoderSet = 0x61;

// Field keys: "video", "vmode", "rate", "vbitrate", "profile", "level", "audio", "amode", "abitrate",
// "pmt", "videoPid", "audioPid", "pcr", "program", "provider", "name".
const FieldTable& TranscoderTable();

class TranscoderLogic : public BlockLogic {
public:
    TranscoderLogic();

    int Channel() const { return m_channel; }
    const ParamBlock& Record(int channel) const { return m_records[size_t(channel)]; }
    const ParamBlock& Block() const { return m_records[size_t(m_channel)]; }

    // Requests are for the channel shown (SelectChannel), not a selector entry.
    PageStep Get(std::optional<int> selection) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> selection) override;
    // Stores the form into the shown channel, shows another and reads it; false (message in *step) when
    // a field is refused and the operator stays.
    bool SelectChannel(int channel, const FormInputs& inputs, PageStep* step);
    PageStep HandleReply(const ReplyView& reply) override;

private:
    std::array<ParamBlock, kTranscoderChannels> m_records;
    // The per-channel tables the device takes with every write; nothing fills them yet.
    std::array<std::vector<std::array<uint8_t, kTranscoderEntrySize>>, kTranscoderChannels> m_tables;
    int m_channel = 0;
};

}  // namespace nms
