// The input channels of a small multiplexer as the input channel page reads them: analyse (0x20), channel
// CA information (0x24), input programs (0x21), output programs (0x22), select (0x25), remove (0x26) and
// modify (0x23). Selections, removals and modifications change what later reads return. Plain logic: the
// device simulator and the page tests both use it; calls are serialised by the caller or by its mutex.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace nms::test {

class MuxSimPrograms {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // pageParam: the page variant the device serves (1: two outputs with a pass byte; 86: 379-byte records).
    // Demo content: channel 1 with three programs (the first routed, with one CA entry), channel 3 with one.
    explicit MuxSimPrograms(int pageParam = 0, bool demo = true);

    // A program record of the variant's size: name, service id, PMT PID, elements {stream_type, PID}.
    Bytes MakeProgram(const std::string& name, uint16_t serviceId, uint16_t pmtPid,
                      const std::vector<std::pair<uint8_t, uint16_t>>& elements) const;
    void AddProgram(int channel, Bytes record, bool routed = false);
    void SetChannelCa(int channel, std::vector<std::pair<uint16_t, uint16_t>> entries);

    // The reply to one request, or none for a command this device does not serve.
    std::optional<Reply> Handle(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);

    uint8_t headerB = 1;  // 16: sixteen channels; 2: an IP output is present
    uint8_t headerC = 1;  // IP output mode
    int modifications = 0;

    // The stored record of (channel, index), for checks.
    Bytes Program(int channel, int index) const;
    bool Routed(int channel, int index, int output = 1) const;

private:
    struct Slot {
        Bytes record;
        uint8_t outputs = 0;  // bit 0 output A (or the only output), bit 1 output B
    };
    int RecordSize() const { return m_pageParam == 86 ? 379 : 263; }
    Slot* Find(int channel, int index);
    int Count(int channel) const;

    int m_pageParam;
    mutable std::mutex m_mutex;
    std::map<int, std::vector<Slot>> m_channels;
    std::map<int, Bytes> m_ca;
};

}  // namespace nms::test
