#include <gtest/gtest.h>

#include "devices/device_packet.h"
#include "devices/device_record.h"
#include "page_fixture.h"
#include "pages/encoder/encoder_public_view.h"

namespace nms {
namespace encoder_status_poll_test {

using test::PageFixture;

// A page of another family that takes the encoders' status poll as its timer handler.
class PollingPage : public CFormTemplateView {
public:
    void OnInitialUpdate() override { SetTimer(kEncoderStatusTimerId, 1500); }
    void OnTimer(int id) override { CEncoderPublicView::StatusPollTimer(*this, id); }
};

TEST(EncoderStatusPollTest, PollsOnlyABoundOnlineIdleDevice) {
    PageFixture fx(0x5109);
    PollingPage page;
    fx.Bind(&page);

    ASSERT_TRUE(fx.FireTimer(&page, kEncoderStatusTimerId));
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdEncoderStatus);
    EXPECT_EQ(sent->b, 1);
    EXPECT_EQ(sent->c, 1);
    EXPECT_TRUE(sent->payload.empty());
    EXPECT_FALSE(page.IsBusy());  // a poll starts no wait

    // Offline: nothing, and the poll comes back with the device.
    fx.Device()->status.store(0);
    fx.FireTimer(&page, kEncoderStatusTimerId);
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.Device()->status.store(3);
    fx.FireTimer(&page, kEncoderStatusTimerId);
    EXPECT_TRUE(fx.TakeSentPacket());

    // Busy for another page (or a configuration transfer): nothing.
    fx.Device()->busy.store(1);
    fx.FireTimer(&page, kEncoderStatusTimerId);
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.Device()->busy.store(0);

    // Unbound: nothing.
    page.ClearDevice();
    fx.FireTimer(&page, kEncoderStatusTimerId);
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(EncoderStatusPollTest, GivesWayToTheWaitAndKeepsTheBaseTimeout) {
    PageFixture fx(0x1102);
    PollingPage page;
    fx.Bind(&page);

    const uint8_t get[8] = {};
    ASSERT_EQ(SendCommand(0x33, 1, 1, fx.Device(), get, 8), kSendQueued);
    page.BeginShortWait(kWaitTimerId);
    fx.FireTimer(&page, kEncoderStatusTimerId);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, 0x33);  // the get stays in the send slot

    // The wait's time-out still runs through the shared handler.
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
    EXPECT_EQ(fx.Device()->busy.load(), 0);

    // A request still unsent when the poll comes is not replaced.
    ASSERT_EQ(SendCommand(0x34, 1, 1, fx.Device(), get, 8), kSendQueued);
    fx.FireTimer(&page, kEncoderStatusTimerId);
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x34);
}

}  // namespace encoder_status_poll_test
}  // namespace nms
