#include "pages/ird/adapter_logic.h"

#include <gtest/gtest.h>

#include "devices/device_packet.h"

namespace nms {
namespace adapter_logic_test {

struct Reply {
    std::vector<uint8_t> packet;
    Reply(uint8_t command, const std::vector<uint8_t>& payload) {
        packet.resize(payload.size() + kPacketOverhead);
        int length = 0;
        BuildPacket(0x5109, command, 1, 1, packet.data(), &length, payload.data(), uint16_t(payload.size()));
        packet.resize(size_t(length));
    }
    ReplyView View() const { return ReplyView(packet.data(), int(packet.size()) - kPacketCrcSize); }
};

std::vector<uint8_t> Status(uint32_t a, uint32_t b, uint8_t bits) {
    return {uint8_t(a),       uint8_t(a >> 8),  uint8_t(a >> 16),
            uint8_t(a >> 24), uint8_t(b),       uint8_t(b >> 8),
            uint8_t(b >> 16), uint8_t(b >> 24), bits};
}

TEST(AdapterLogicTest, RatesAndListIndexes) {
    EXPECT_EQ(AdapterMbps(12345), "12.345");
    EXPECT_EQ(AdapterMbps(999), "0.999");
    EXPECT_EQ(AdapterMbps(1000), "1.000");
    EXPECT_EQ(AdapterMbps(0xffffffffu), "4294967.295");
    // Received mode against the list shown: 1..4 select, 0 and 5..7 clear, 8 and above keep.
    const struct {
        int mode, current, expected;
    } modes[] = {{1, 2, 0}, {4, 0, 3}, {0, 2, -1}, {5, 2, -1}, {7, 1, -1}, {8, 1, 1}, {9, 3, 3}, {255, 2, 2}};
    for (const auto& m : modes) {
        E1AdapterLogic e1;
        e1.HandleReply(Reply(kCmdAdapterGet, {uint8_t(m.mode)}).View());
        EXPECT_EQ(e1.ModeIndex(m.current), m.expected) << m.mode;
    }
}

TEST(AdapterLogicTest, E1SetSendsTheModeAndOnlyItsReplyEndsTheWait) {
    E1AdapterLogic e1;
    EXPECT_EQ(e1.Get().wait, PageStep::Wait::kNone);
    EXPECT_EQ(e1.HandleReply(Reply(kCmdAdapterGet, {3}).View()).refresh, unsigned(kRefreshAdapterConfig));
    PageStep set = e1.Set(-1);  // no selection: the mode read goes back
    EXPECT_EQ(set.payload, std::vector<uint8_t>{3});
    EXPECT_EQ(set.wait, PageStep::Wait::kBegin);
    EXPECT_EQ(e1.Set(1).payload, std::vector<uint8_t>{2});
    // A get's reply during the set's wait does not end it.
    EXPECT_NE(e1.HandleReply(Reply(kCmdAdapterGet, {2}).View()).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(e1.HandleReply(Reply(kCmdAdapterSet, {}).View()).wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(e1.HandleReply(Reply(kCmdAdapterSet, {}).View()).IsEmpty());  // late, nothing waits

    EXPECT_TRUE(e1.HandleReply(Reply(kCmdAdapterStatus, {1, 2, 3}).View()).IsEmpty());
    e1.HandleReply(Reply(kCmdAdapterStatus, Status(2048, 999, 0x1f)).View());
    EXPECT_EQ(e1.AsiToE1(), "2.048");
    EXPECT_EQ(e1.E1ToAsi(), "0.999");
    EXPECT_EQ(e1.LockBits(), 0x1f);
    EXPECT_TRUE(e1.HandleReply(Reply(kCmdAdapterGet, {}).View()).IsEmpty());  // empty: nothing read
    EXPECT_EQ(e1.Mode(), 2);
}

TEST(AdapterLogicTest, Ds3SetCarriesTheTwoProtocolIndexes) {
    Ds3AdapterLogic ds3;
    EXPECT_EQ(ds3.Get().wait, PageStep::Wait::kBegin);
    std::vector<uint8_t> record(79, 0xaa);
    record[45] = 2;
    record[46] = 9;
    record[77] = 0x34, record[78] = 0x12;
    PageStep step = ds3.HandleReply(Reply(kCmdAdapterGet, record).View());
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(step.sendVersion);
    EXPECT_EQ(ds3.TrailingWord(), 0x1234);
    EXPECT_EQ(ds3.Params()[1], 9);

    std::vector<uint8_t> expected(79, 0);
    expected[45] = 5;
    expected[46] = 9;  // no selection: the index read goes back
    EXPECT_EQ(ds3.Set(5, -1).payload, expected);
    EXPECT_EQ(ds3.HandleReply(Reply(kCmdAdapterSet, {}).View()).wait, PageStep::Wait::kEnd);

    // Too short for the two indexes: nothing changes and the wait is left to run out.
    ds3.Get();
    EXPECT_TRUE(ds3.HandleReply(Reply(kCmdAdapterGet, std::vector<uint8_t>(46, 1)).View()).IsEmpty());
    EXPECT_EQ(ds3.Params()[0], 2);

    ds3.HandleReply(Reply(kCmdAdapterStatus, Status(1, 2, 0x01)).View());
    EXPECT_TRUE(ds3.Ds3ToAsiLocked());
    EXPECT_FALSE(ds3.AsiToDs3Locked());
}

TEST(AdapterLogicTest, DistributorConfigurationAndOutputLamps) {
    AsiDistributorLogic asi;
    EXPECT_EQ(asi.Set(true, false).payload, (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(asi.Set(false, true).payload[0], 1);
    asi.HandleReply(Reply(kCmdAdapterGet, {1, 1}).View());
    EXPECT_FALSE(asi.AutoSwitch());
    EXPECT_TRUE(asi.Input2());
    asi.HandleReply(Reply(kCmdAdapterGet, {0, 0}).View());
    EXPECT_TRUE(asi.AutoSwitch());
    EXPECT_TRUE(asi.Input2());  // an automatic device leaves the inputs as they were

    std::vector<uint8_t> status(17, 0);
    status[0] = 2;
    status[1] = 0xe8, status[2] = 0x03;  // 1000
    status[9] = 7;
    asi.HandleReply(Reply(kCmdAdapterStatus, status).View());
    EXPECT_EQ(asi.OutputInput(), 2);
    EXPECT_EQ(asi.Input1Rates(), "1.000 / 0.000");
    EXPECT_EQ(asi.Input2Rates(), "0.007 / 0.000");
    status[0] = 3;
    asi.HandleReply(Reply(kCmdAdapterStatus, status).View());
    EXPECT_EQ(asi.OutputInput(), 2);  // above 2: the lamps stay
    EXPECT_TRUE(asi.HandleReply(Reply(kCmdAdapterStatus, std::vector<uint8_t>(16, 1)).View()).IsEmpty());
    EXPECT_TRUE(asi.HandleReply(Reply(kCmdAdapterSet, {}).View()).IsEmpty());
}

}  // namespace adapter_logic_test
}  // namespace nms
