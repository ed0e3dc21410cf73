// Any packet and any offsets: the reply accessors read only bytes that arrived and agree with each other.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "devices/reply_view.h"

using namespace nms;

namespace {

int32_t TakeInt(const uint8_t* data, size_t size, size_t* at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = v << 8 | (*at < size ? data[(*at)++] : 0);
    // Mostly small values near the payload, sometimes extreme ones.
    if ((v & 0xC0000000u) != 0xC0000000u)
        return int32_t(v % 600) - 50;
    return int32_t(v);
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // The packet gets its own exact copy, so a read past what arrived is caught; the link may report
    // fewer bytes than it holds, never more.
    const size_t packetSize = (size_t(data[0]) << 8 | data[1]) % (size - 1);
    std::vector<uint8_t> packet(data + 2, data + 2 + packetSize);
    const uint8_t* p = packet.empty() ? nullptr : packet.data();
    const ReplyView view(p, int(packet.size()));

    Check(view.IsValid() == (packet.size() >= size_t(kPacketHeaderSize)));
    Check(view.PayloadLength() >= 0);
    Check(view.PayloadLength() <= view.DeclaredLength());
    Check(!view.IsValid() || view.PayloadLength() <= view.PacketLength() - kPacketHeaderSize);
    (void)view.Type();
    (void)view.B();
    (void)view.C();
    (void)view.Command();
    const std::vector<uint8_t> copy = view.PayloadCopy();
    Check(copy.size() == size_t(view.PayloadLength()));

    size_t at = 2 + packetSize;
    for (int step = 0; step < 64 && at < size; ++step) {
        const int offset = TakeInt(data, size, &at);
        const int count = TakeInt(data, size, &at);
        const bool has = view.Has(offset, count);
        Check(!has || (offset >= 0 && count >= 0 && int64_t(offset) + count <= view.PayloadLength()));

        uint8_t u8 = 0xA5;
        const bool ok8 = view.U8(offset, &u8);
        Check(ok8 == view.Has(offset, 1));
        Check(ok8 ? u8 == copy[size_t(offset)] : u8 == 0xA5);

        uint16_t be16 = 0x5A5A, le16 = 0x5A5A;
        const bool okBe16 = view.U16BE(offset, &be16);
        const bool okLe16 = view.U16LE(offset, &le16);
        Check(okBe16 == view.Has(offset, 2) && okLe16 == okBe16);
        Check(okBe16 ? uint16_t(be16 >> 8 | be16 << 8) == le16 : (be16 == 0x5A5A && le16 == 0x5A5A));

        uint32_t be32 = 0x12345678, le32 = 0x12345678;
        const bool okBe32 = view.U32BE(offset, &be32);
        const bool okLe32 = view.U32LE(offset, &le32);
        Check(okBe32 == view.Has(offset, 4) && okLe32 == okBe32);
        Check(okBe32 ? __builtin_bswap32(be32) == le32 : (be32 == 0x12345678 && le32 == 0x12345678));

        std::vector<uint8_t> bytes = {1, 2, 3};
        const bool okBytes = view.Bytes(offset, count, &bytes);
        Check(okBytes == has);
        if (okBytes) {
            Check(bytes.size() == size_t(count));
            Check(count == 0 || std::memcmp(bytes.data(), copy.data() + offset, size_t(count)) == 0);
            std::vector<uint8_t> raw(size_t(count) + 1, 0xEE);
            Check(view.Bytes(offset, count, raw.data()));
            Check(raw.back() == 0xEE);
        } else {
            Check(bytes == std::vector<uint8_t>({1, 2, 3}));
        }
    }
    return 0;
}
