// A device's configuration flash as the transfer dialog reads and writes it: export blocks (23), erase
// (24) and import blocks (25). The short format has 250 blocks of 1024 bytes; the long format 175 export
// blocks of 2048 bytes (the erase reply says so with 255) and imports carry their block number in front.
// Plain logic shared by devsim and the tests; calls are serialised by its mutex.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace nms::test {

class ConfigFlashSim {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // Demo content: the first usedBlocks kilobytes hold a pattern, the rest is erased (0xFF).
    explicit ConfigFlashSim(bool longFormat = false, int usedBlocks = 40);

    std::optional<Reply> Handle(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);

    Bytes Image() const;
    int ImportedBlocks() const;

    static constexpr int kImportBlock = 1024;

private:
    int ExportBlockBytes() const { return m_long ? 2048 : 1024; }
    int ExportBlocks() const { return m_long ? 175 : 250; }

    bool m_long;
    mutable std::mutex m_mutex;
    Bytes m_flash;
    int m_lastImported = 0;  // block number of the last import request (the wire carries its low byte)
    int m_importedBlocks = 0;
};

}  // namespace nms::test
