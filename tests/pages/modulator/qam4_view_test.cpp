// The routines other pages share with the multi-channel QAM page and the tuner input page.
#include "pages/modulator/qam4_view.h"

#include <gtest/gtest.h>

#include "devices/device_record.h"
#include "devices/reply_routing.h"
#include "page_fixture.h"
#include "pagebase/placeholder_page.h"

namespace nms {
namespace qam4_view_test {

using test::PageFixture;

// A page that borrows the shared handlers, as the IP multiplexer and Magnum pages do.
class BorrowingPage : public CPlaceholderPage {
public:
    BorrowingPage() : CPlaceholderPage("BorrowingPage") {}
    void OnTimer(int id) override { Cqam4::OnTimer(*this, id); }
    int collected = 0;

protected:
    bool DoDataExchange(bool collect) override {
        if (collect)
            ++collected;
        return true;
    }
};

TEST(Qam4ViewTest, StatusPollOnlyForAnOnlineIdleDevice) {
    struct Case {
        int8_t status;
        uint8_t busy;
        bool polled;
    };
    const Case cases[] = {{3, 0, true}, {1, 0, true}, {0, 0, false}, {-1, 0, false}, {3, 1, false}};
    for (const Case& c : cases) {
        PageFixture fx(0x4104);
        Cqam4 page;
        fx.Bind(&page, 0);
        fx.TakeSentPacket();  // the Get of a page being shown
        page.SetTimer(Cqam4::kStatusTimerId, 2000);
        fx.Device()->status.store(c.status);
        fx.Device()->busy.store(c.busy);
        ASSERT_TRUE(fx.FireTimer(&page, Cqam4::kStatusTimerId));
        const auto sent = fx.TakeSentPacket();
        ASSERT_EQ(sent.has_value(), c.polled) << int(c.status) << " " << int(c.busy);
        if (sent) {
            EXPECT_EQ(sent->command, 0x40);
            EXPECT_EQ(sent->b, 1);
            EXPECT_EQ(sent->c, 1);
            EXPECT_TRUE(sent->payload.empty());
            EXPECT_EQ(sent->type, 0x4104);
            EXPECT_TRUE(sent->crcOk);
        }
    }
}

TEST(Qam4ViewTest, NoDeviceNoPollAndThePollRunsWhileShown) {
    PageFixture fx;
    Cqam4 page;
    page.Cqam4::OnTimer(Cqam4::kStatusTimerId);
    EXPECT_FALSE(fx.PeekSentPacket().has_value());
    fx.Bind(&page, 0);
    EXPECT_TRUE(page.Timers().IsActive(Cqam4::kStatusTimerId));
    page.hide();
    EXPECT_FALSE(page.Timers().IsActive(Cqam4::kStatusTimerId));
}

TEST(Qam4ViewTest, BorrowedHandlersPollEndWaitsAndCollect) {
    PageFixture fx;
    BorrowingPage page;
    fx.Bind(&page, 0);
    page.SetTimer(Cqam4::kStatusTimerId, 2000);
    ASSERT_TRUE(fx.FireTimer(&page, Cqam4::kStatusTimerId));
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x40);

    // Any other id goes to the base: timer 4 is the wait's time-out.
    page.BeginWait(kWaitTimerId);
    EXPECT_EQ(fx.Device()->busy.load(), 1);
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.Device()->busy.load(), 0);
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
    EXPECT_FALSE(fx.PeekSentPacket().has_value());

    Cqam4::OnSelChangeCombo(page);
    EXPECT_EQ(page.collected, 1);
}

}  // namespace qam4_view_test
}  // namespace nms
