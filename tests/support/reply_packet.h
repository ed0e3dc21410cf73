// A framed reply as the link hands it to a page (header + payload, no CRC), kept alive while its view is
// used: logic tests feed replies through the same ReplyView the pages get.
#pragma once

#include <cstdint>
#include <vector>

#include "devices/reply_view.h"

namespace nms {

struct ReplyPacket {
    std::vector<uint8_t> bytes;
    ReplyPacket(uint8_t command, const std::vector<uint8_t>& payload, uint8_t b = 1, uint8_t c = 1)
        : ReplyPacket(command, payload.data(), payload.size(), b, c) {}
    // count bytes of payload; the length field says count (cut to 16 bits, as on the wire).
    ReplyPacket(uint8_t command, const uint8_t* payload, size_t count, uint8_t b = 1, uint8_t c = 1) {
        bytes = {0x21, 0x01, b, c, command, uint8_t(count >> 8), uint8_t(count)};
        if (payload && count)
            bytes.insert(bytes.end(), payload, payload + count);
    }
    ReplyView View() const { return ReplyView(bytes.data(), static_cast<int>(bytes.size())); }
};

}  // namespace nms
