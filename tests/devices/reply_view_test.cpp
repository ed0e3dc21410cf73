#include "devices/reply_view.h"

#include <gtest/gtest.h>

#include <vector>

#include "devices/device_packet.h"

namespace nms {
namespace reply_view_test {

std::vector<uint8_t> Packet(uint8_t command, std::vector<uint8_t> payload, uint16_t declared) {
    std::vector<uint8_t> p = {0x21, 0x01, 0x05, 0x06, command, uint8_t(declared >> 8), uint8_t(declared)};
    for (uint8_t x : payload)
        p.push_back(x);
    return p;
}

TEST(ReplyView, HeaderFieldsAndTypedReaders) {
    const auto bytes = Packet(0x40, {0x01, 0x02, 0x03, 0x04, 0x05}, 5);
    ReplyView v(bytes.data(), int(bytes.size()));
    ASSERT_TRUE(v.IsValid());
    EXPECT_EQ(v.Type(), 0x2101);
    EXPECT_EQ(v.B(), 5);
    EXPECT_EQ(v.C(), 6);
    EXPECT_EQ(v.Command(), 0x40);
    EXPECT_EQ(v.PayloadLength(), 5);
    uint8_t u8 = 0;
    uint16_t u16 = 0;
    uint32_t u32 = 0;
    EXPECT_TRUE(v.U8(4, &u8));
    EXPECT_EQ(u8, 0x05);
    EXPECT_TRUE(v.U16BE(0, &u16));
    EXPECT_EQ(u16, 0x0102);
    EXPECT_TRUE(v.U16LE(0, &u16));
    EXPECT_EQ(u16, 0x0201);
    EXPECT_TRUE(v.U32LE(1, &u32));
    EXPECT_EQ(u32, 0x05040302u);
    EXPECT_TRUE(v.U32BE(0, &u32));
    EXPECT_EQ(u32, 0x01020304u);
    std::vector<uint8_t> out;
    EXPECT_TRUE(v.Bytes(3, 2, &out));
    EXPECT_EQ(out, (std::vector<uint8_t>{0x04, 0x05}));
    EXPECT_TRUE(v.Bytes(5, 0, &out));
}

TEST(ReplyView, ReadsPastTheEndFailAndLeaveOutputsAlone) {
    const auto bytes = Packet(0x40, {0xAA, 0xBB, 0xCC}, 3);
    ReplyView v(bytes.data(), int(bytes.size()));
    uint8_t u8 = 7;
    uint16_t u16 = 7;
    uint32_t u32 = 7;
    uint8_t buf[4] = {9, 9, 9, 9};
    EXPECT_FALSE(v.U8(3, &u8));
    EXPECT_FALSE(v.U8(-1, &u8));
    EXPECT_FALSE(v.U16BE(2, &u16));
    EXPECT_FALSE(v.U16LE(2, &u16));
    EXPECT_FALSE(v.U32LE(0, &u32));
    EXPECT_FALSE(v.U32BE(0, &u32));
    EXPECT_FALSE(v.Bytes(1, 3, buf));
    EXPECT_FALSE(v.Bytes(0, -1, buf));
    EXPECT_FALSE(v.Bytes(0x7FFFFFFF, 2, buf));
    EXPECT_EQ(u8, 7);
    EXPECT_EQ(u16, 7);
    EXPECT_EQ(u32, 7u);
    EXPECT_EQ(buf[0], 9);
}

TEST(ReplyView, PayloadIsBoundedByWhatArrivedAndByTheLengthField) {
    struct Case {
        std::vector<uint8_t> payload;
        uint16_t declared;
        int expected;
    } cases[] = {
        {{1, 2, 3, 4}, 10, 4},  // field claims more than arrived
        {{1, 2, 3, 4}, 2, 2},   // fewer declared than arrived (0x3101 keeps its CRC bytes)
        {{}, 0, 0},
        {{}, 65535, 0},
    };
    for (const Case& c : cases) {
        const auto bytes = Packet(2, c.payload, c.declared);
        ReplyView v(bytes.data(), int(bytes.size()));
        EXPECT_EQ(v.PayloadLength(), c.expected);
        EXPECT_EQ(v.DeclaredLength(), c.declared);
        EXPECT_EQ(int(v.PayloadCopy().size()), c.expected);
    }
}

TEST(ReplyView, LessThanAHeaderIsAnEmptyView) {
    const uint8_t bytes[6] = {0x21, 0x01, 1, 1, 2, 0};
    ReplyView v(bytes, 6);
    EXPECT_FALSE(v.IsValid());
    EXPECT_EQ(v.Command(), 0);
    uint8_t u8 = 0;
    EXPECT_FALSE(v.U8(0, &u8));
    EXPECT_FALSE(ReplyView(nullptr, 20).IsValid());
}

}  // namespace reply_view_test
}  // namespace nms
