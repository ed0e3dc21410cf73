#include "devices/device_packet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "devices/device_record.h"

namespace nms {
namespace device_packet_test {

TEST(Crc32Mpeg2, KnownValues) {
    const std::string digits = "123456789";
    EXPECT_EQ(Crc32Mpeg2(reinterpret_cast<const uint8_t*>(digits.data()), 9), 0x0376E6E7u);
    uint32_t empty = 0;
    Crc32Mpeg2(nullptr, 0, &empty);
    EXPECT_EQ(empty, 0xFFFFFFFFu);
}

TEST(Crc32Mpeg2, AppendKeepsDataAndReturnsLengthPlusFour) {
    uint8_t buf[13] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(AppendCrc32(buf, 9), 13);
    EXPECT_EQ(std::memcmp(buf, "123456789", 9), 0);
    EXPECT_EQ(buf[9], 0x03);
    EXPECT_EQ(buf[10], 0x76);
    EXPECT_EQ(buf[11], 0xE6);
    EXPECT_EQ(buf[12], 0xE7);
    // A section followed by its CRC checks to zero remainder in the MPEG-2 sense.
    EXPECT_EQ(Crc32Mpeg2(buf, 13), 0u);
}

TEST(BuildPacket, EmptyRequestIsElevenBytes) {
    uint8_t buf[16];
    int len = -1;
    BuildPacket(0x4101, 0x20, 1, 1, buf, &len, nullptr, 0);
    ASSERT_EQ(len, 11);
    const uint8_t head[] = {0x41, 0x01, 0x01, 0x01, 0x20, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(buf, head, 7), 0);
    const uint32_t crc = Crc32Mpeg2(buf, 7);
    EXPECT_EQ(buf[7], crc >> 24);
    EXPECT_EQ(buf[10], crc & 0xFF);
}

TEST(BuildPacket, NullPayloadWithLengthFramesAnEmptyPacket) {
    uint8_t buf[16];
    int len = 0;
    BuildPacket(0x1101, 5, 1, 1, buf, &len, nullptr, 300);
    EXPECT_EQ(len, 11);
    EXPECT_EQ(buf[5], 0);
    EXPECT_EQ(buf[6], 0);
}

class SendCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.typeCode = 0x4101;
        device.status = 3;
        SetSendWaker([this](DeviceRecord*) { ++wakes; });
    }
    void TearDown() override { SetSendWaker(nullptr); }
    std::vector<uint8_t> Slot() const {
        return {device.link->sendBuffer.begin(), device.link->sendBuffer.begin() + device.link->sendLength};
    }
    DeviceRecord device;
    int wakes = 0;
};

TEST_F(SendCommandTest, Results) {
    const uint8_t p[2] = {1, 2};
    EXPECT_EQ(SendCommand(0x20, 1, 1, nullptr, p, 2), -3);
    for (int8_t s : {0, -1, -100}) {
        device.status = s;
        EXPECT_EQ(SendCommand(0x20, 1, 1, &device, p, 2), -2);
        EXPECT_EQ(device.link->sendLength, 0);
    }
    EXPECT_EQ(wakes, 0);
    EXPECT_EQ(SendCommandEx(0x20, 1, 1, &device, p, 2, 0), 1);  // offline, but no online test
    EXPECT_EQ(device.link->sendLength, 13);
    device.status = 3;
    EXPECT_EQ(SendCommand(0x21, 1, 1, &device, p, 2), 1);
    EXPECT_EQ(wakes, 2);
}

// A poll never replaces a request waiting in the slot, and waits while a page waits for its reply.
TEST_F(SendCommandTest, PollsGiveWayToRequests) {
    const uint8_t p[2] = {1, 2};
    ASSERT_EQ(SendCommand(0x34, 1, 1, &device, p, 2), 1);
    const std::vector<uint8_t> queued = Slot();
    EXPECT_EQ(SendPollCommand(0x40, &device, nullptr, 0), kSendSlotTaken);
    EXPECT_EQ(Slot(), queued);
    device.link->sendLength = 0;  // the network thread sent it
    device.busy = 1;
    EXPECT_EQ(SendPollCommand(0x40, &device, nullptr, 0), kSendSlotTaken);
    EXPECT_EQ(device.link->sendLength, 0);
    device.busy = 0;
    device.status = 0;
    EXPECT_EQ(SendPollCommand(0x40, &device, nullptr, 0), kSendOffline);
    device.status = 3;
    EXPECT_EQ(SendPollCommand(0x40, &device, nullptr, 0), 1);
    EXPECT_EQ(device.link->sendBuffer[4], 0x40);
}

TEST_F(SendCommandTest, OversizedPayloadIsRefusedAndNothingQueued) {
    std::vector<uint8_t> big(65536, 0xAB);
    EXPECT_EQ(SendCommand(0x20, 1, 1, &device, big.data(), 65536), kSendPayloadTooLong);
    EXPECT_EQ(device.link->sendLength, 0);
    EXPECT_EQ(wakes, 0);
    EXPECT_EQ(SendCommand(0x20, 1, 1, &device, big.data(), 65535), 1);
    EXPECT_EQ(device.link->sendLength, 65535 + 11);
}

TEST_F(SendCommandTest, SlotKeepsOnlyTheLastRequestAndGrows) {
    const uint8_t first[3] = {9, 9, 9};
    ASSERT_EQ(SendCommand(0x20, 1, 1, &device, first, 3), 1);
    std::vector<uint8_t> payload(4086);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t(i);
    ASSERT_EQ(SendCommand(0x22, 2, 3, &device, payload.data(), int(payload.size())), 1);
    const auto slot = Slot();
    ASSERT_EQ(slot.size(), 4097u);
    EXPECT_GE(device.link->sendBuffer.size(), 4097u);
    EXPECT_EQ(slot[2], 2);
    EXPECT_EQ(slot[3], 3);
    EXPECT_EQ(slot[4], 0x22);
    EXPECT_EQ(slot[5], 4086 >> 8);
    EXPECT_EQ(slot[6], 4086 & 0xFF);
    EXPECT_EQ(std::memcmp(slot.data() + 7, payload.data(), payload.size()), 0);
    EXPECT_EQ(Crc32Mpeg2(slot.data(), int(slot.size())), 0u);
}

TEST(IsDeviceOnline, ByStatusCounter) {
    DeviceRecord d;
    EXPECT_EQ(IsDeviceOnline(&d), -1);
    d.status = 1;
    EXPECT_EQ(IsDeviceOnline(&d), 1);
    d.status = -1;
    EXPECT_EQ(IsDeviceOnline(&d), -1);
}

}  // namespace device_packet_test
}  // namespace nms
