#include "config_flash_sim.h"

#include <algorithm>

namespace nms::test {

ConfigFlashSim::ConfigFlashSim(bool longFormat, int usedBlocks) : m_long(longFormat) {
    m_flash.assign(size_t(ExportBlocks()) * size_t(ExportBlockBytes()), 0xFF);
    const size_t used = std::min(m_flash.size(), size_t(std::max(usedBlocks, 0)) * kImportBlock);
    for (size_t i = 0; i < used; ++i)
        m_flash[i] = uint8_t(i / kImportBlock + i);
}

std::optional<ConfigFlashSim::Reply> ConfigFlashSim::Handle(uint8_t command, uint8_t b, uint8_t c,
                                                            const Bytes& payload) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Reply reply;
    reply.b = b;
    reply.c = c;
    switch (command) {
        case 23: {
            if (b == 0 || b > ExportBlocks())
                return std::nullopt;
            const auto first = m_flash.begin() + (b - 1) * ExportBlockBytes();
            reply.payload.assign(first, first + ExportBlockBytes());
            reply.c = m_long ? 255 : c;
            return reply;
        }
        case 24:
            std::fill(m_flash.begin(), m_flash.end(), 0xFF);
            m_lastImported = 0;
            m_importedBlocks = 0;
            if (m_long)
                reply.payload = {255};
            return reply;
        case 25: {
            int block = 0;
            Bytes::const_iterator data = payload.begin();
            if (m_long) {
                if (payload.size() < 2)
                    return std::nullopt;
                block = payload[0] << 8 | payload[1];
                data += 2;
            } else {
                // Skipped (erased) blocks are not sent: the next block with this low byte.
                block = m_lastImported + 1;
                while ((block & 0xFF) != b)
                    ++block;
            }
            const size_t offset = size_t(block - 1) * kImportBlock;
            const size_t length = size_t(payload.end() - data);
            if (block < 1 || length > kImportBlock || offset + length > m_flash.size())
                return std::nullopt;
            std::copy(data, payload.end(), m_flash.begin() + offset);
            m_lastImported = block;
            ++m_importedBlocks;
            return reply;
        }
        default:
            return std::nullopt;
    }
}

ConfigFlashSim::Bytes ConfigFlashSim::Image() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_flash;
}

int ConfigFlashSim::ImportedBlocks() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_importedBlocks;
}

}  // namespace nms::test
