// Any datagram through the link's checks and the reply view the pages read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "devices/network_thread.h"
#include "devices/reply_view.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > nms::kReceiveBufferSize)
        return 0;
    // The datagram in a buffer of exactly its size, so that any read past it is caught.
    std::vector<uint8_t> datagram(data, data + size);
    const int length = nms::CheckedPacketLength(datagram.data(), int(datagram.size()));
    if (length < 0)
        return 0;
    const nms::ReplyView reply(datagram.data(), length);
    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
    std::vector<uint8_t> bytes;
    for (int offset = -1; offset <= reply.PayloadLength() + 1; ++offset) {
        reply.U8(offset, &u8);
        reply.U16BE(offset, &u16);
        reply.U16LE(offset, &u16);
        reply.U32BE(offset, &u32);
        reply.U32LE(offset, &u32);
        reply.Bytes(offset, 3, &bytes);
    }
    reply.PayloadCopy();
    return 0;
}
