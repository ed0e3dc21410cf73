#include "devices/byte_io.h"

#include <gtest/gtest.h>

namespace nms {
namespace byte_io_test {

TEST(ByteReaderTest, ReadsBothByteOrdersAndFailsPastTheEnd) {
    const std::vector<uint8_t> bytes = {0x12, 0x34, 0x56, 0x78, 0x9a};
    ByteReader r(bytes);
    uint16_t v16 = 0;
    uint32_t v32 = 0;
    ASSERT_TRUE(r.U16LE(0, &v16));
    EXPECT_EQ(v16, 0x3412);
    ASSERT_TRUE(r.U16BE(3, &v16));
    EXPECT_EQ(v16, 0x789a);
    ASSERT_TRUE(r.U32LE(1, &v32));
    EXPECT_EQ(v32, 0x9a785634u);
    ASSERT_TRUE(r.U32BE(0, &v32));
    EXPECT_EQ(v32, 0x12345678u);

    // Past the end: false, output untouched.
    v16 = 7;
    v32 = 7;
    EXPECT_FALSE(r.U16LE(4, &v16));
    EXPECT_FALSE(r.U32BE(2, &v32));
    EXPECT_FALSE(r.U32BE(SIZE_MAX - 1, &v32));
    EXPECT_EQ(v16, 7);
    EXPECT_EQ(v32, 7u);
    EXPECT_EQ(r.U16LEOr(4, 99), 99);
    std::vector<uint8_t> out = {1};
    EXPECT_FALSE(r.Bytes(3, 3, &out));
    EXPECT_EQ(out.size(), 1u);
    EXPECT_TRUE(r.Bytes(5, 0, &out));
    EXPECT_TRUE(out.empty());
}

TEST(ByteReaderTest, TextStopsAtNulFieldOrData) {
    const std::vector<uint8_t> bytes = {'a', 'b', 0, 'c', 'd', 'e', 'f'};
    ByteReader r(bytes);
    EXPECT_EQ(r.Text(0, 5), "ab");
    EXPECT_EQ(r.Text(3, 2), "cd");
    EXPECT_EQ(r.Text(3, 100), "cdef");
    EXPECT_EQ(r.Text(9, 3), "");
    EXPECT_EQ(r.Sub(5).Size(), 2u);
    EXPECT_EQ(r.Sub(8).Size(), 0u);
    EXPECT_EQ(r.Sub(1, 2).U16BEOr(0), 0x6200);
}

TEST(ByteWriterTest, WritesInsideTheDestinationOnly) {
    std::vector<uint8_t> bytes(6, 0xee);
    ByteWriter w(bytes);
    EXPECT_TRUE(w.U16LE(0, 0x1234));
    EXPECT_TRUE(w.U16BE(2, 0x1234));
    EXPECT_FALSE(w.U32LE(3, 0xffffffff));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x34, 0x12, 0x12, 0x34, 0xee, 0xee}));
    EXPECT_TRUE(w.Text(2, 4, "xy"));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x34, 0x12, 'x', 'y', 0, 0}));
    EXPECT_TRUE(w.Text(0, 2, "longer"));
    EXPECT_EQ(bytes[0], 'l');
    EXPECT_EQ(bytes[1], 'o');
    EXPECT_EQ(bytes[2], 'x');
    EXPECT_EQ(bytes.size(), 6u);
}

}  // namespace byte_io_test
}  // namespace nms
