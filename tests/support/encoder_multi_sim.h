// The multi-channel encoders as their "Video/Audio", "ASI", Magnum script and transcoder pages see them:
// channel records read and written two at a time, an ASI input with three programs to analyse and route,
// the Magnum channel blocks, script texts and text log, and the transcoder's eight channel records.
// Writes replace what the device keeps. Plain logic: devsim and the tests use it; calls are serialised
// by the caller.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace nms::test {

class EncoderMultiSim {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };
    enum class Kind { kNone, kNarrow, kWide, kMagnum, kTranscoder };

    // True for the device types this simulator serves.
    static bool Serves(uint16_t typeCode);
    // The channel-record kind of a device type (kNone: only the ASI input, or nothing).
    static Kind KindOf(uint16_t typeCode);

    explicit EncoderMultiSim(uint16_t typeCode);
    // A device of this kind with an ASI input (the transcoder page is listed by no type).
    EncoderMultiSim(Kind kind, int channels, bool asi);

    // The reply to one request, or none for a command the device does not answer.
    std::optional<Reply> Handle(uint8_t command, const Bytes& payload);

    const Bytes& ChannelRecord(int channel) const { return m_records[size_t(channel)]; }
    // Script lines (text without the zero padding) of a Magnum channel pair.
    std::vector<Bytes> ScriptLines(int pair) const;
    // The ASI program record of index 1..3.
    const Bytes& AsiProgram(int index) const { return m_programs[size_t(index - 1)]; }
    // Replies to the ASI analysis say "no ASI input".
    void SetNoAsiInput(bool none) { m_noAsi = none; }

private:
    std::optional<Reply> Records(uint8_t command, const Bytes& payload);
    std::optional<Reply> Magnum(uint8_t command, const Bytes& payload);
    std::optional<Reply> Transcoder(uint8_t command, const Bytes& payload);
    std::optional<Reply> Asi(uint8_t command, const Bytes& payload);
    void Init(Kind kind, int channels, bool asi);

    Kind m_kind = Kind::kNone;
    int m_channels = 0;
    bool m_asi = false;
    bool m_noAsi = false;
    std::vector<Bytes> m_records;
    std::array<std::vector<Bytes>, 4> m_scripts;  // per channel pair, lines of 180 bytes
    std::vector<Bytes> m_programs;
};

}  // namespace nms::test
