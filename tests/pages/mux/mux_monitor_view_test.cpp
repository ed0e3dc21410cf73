#include "pages/mux/mux_monitor_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "app/page_registry.h"
#include "devices/device_record.h"
#include "page_fixture.h"
#include "pagebase/graph_ctrl.h"

namespace nms {
namespace mux_monitor_view_test {

using test::PageFixture;

std::vector<uint8_t> Single(uint8_t count, uint32_t kbps, uint8_t lock) {
    return {count, uint8_t(kbps), uint8_t(kbps >> 8), uint8_t(kbps >> 16), uint8_t(kbps >> 24), lock};
}

std::vector<uint8_t> Dual(uint8_t output, uint8_t count, uint32_t kbps, uint8_t lock) {
    std::vector<uint8_t> p{output};
    auto rest = Single(count, kbps, lock);
    p.insert(p.end(), rest.begin(), rest.end());
    return p;
}

TEST(MuxMonitorView, ShowAsksForTheVersionAndPollsOnTimer66) {
    PageFixture fx;
    CMuxMonitorView page;
    fx.Bind(&page, 0);
    auto version = fx.TakeSentPacket();
    ASSERT_TRUE(version);
    EXPECT_EQ(version->command, 0x02);
    EXPECT_TRUE(version->payload.empty());
    ASSERT_TRUE(page.Timers().IsActive(66));
    EXPECT_EQ(page.Timers().Interval(66), 1000);

    ASSERT_TRUE(fx.FireTimer(&page, 66));
    auto poll = fx.TakeSentPacket();
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->command, 0x40);
    EXPECT_TRUE(poll->payload.empty());
    EXPECT_EQ(poll->b, 1);
    EXPECT_EQ(poll->c, 1);
    EXPECT_FALSE(page.IsBusy());  // no wait

    fx.FeedReply(0x40, Single(9, 38500, 0x02));
    EXPECT_EQ(page.ProgramCountEdit()->text(), "9");
    EXPECT_EQ(page.BitrateEdit()->text(), "38.500");
    EXPECT_EQ(page.HighestEdit()->text(), "38.500");
    EXPECT_EQ(page.LowestEdit()->text(), "38.500");
    EXPECT_TRUE(page.LockShowsGreen(1));
    EXPECT_FALSE(page.LockShowsGreen(2));  // a set bit shows red
    ASSERT_TRUE(page.Chart());
    EXPECT_EQ(page.Chart()->Series().size(), 1u);
    EXPECT_EQ(page.Logic()->firstSeries.count, 1);
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(MuxMonitorView, HidingStopsThePollAndShowingRestartsTheExtremes) {
    PageFixture fx;
    CMuxMonitorView page;
    fx.Bind(&page, 0);
    fx.TakeSentPacket();
    fx.FeedReply(0x40, Single(1, 50000, 0));
    fx.FeedReply(0x40, Single(1, 10000, 0));
    EXPECT_EQ(page.HighestEdit()->text(), "50.000");
    page.hide();
    EXPECT_FALSE(page.Timers().IsActive(66));
    page.show();
    EXPECT_TRUE(page.Timers().IsActive(66));
    fx.FeedReply(0x40, Single(1, 20000, 0));
    EXPECT_EQ(page.HighestEdit()->text(), "20.000");
    EXPECT_EQ(page.LowestEdit()->text(), "20.000");
}

TEST(MuxMonitorView, OfflineOrBusyDeviceIsNotPolled) {
    PageFixture fx;
    fx.Device()->status.store(-1);
    CMuxMonitorView page;
    fx.Bind(&page, 0);
    EXPECT_FALSE(fx.TakeSentPacket());  // no version request either
    ASSERT_TRUE(fx.FireTimer(&page, 66));
    EXPECT_FALSE(fx.TakeSentPacket());

    fx.Device()->status.store(3);
    fx.Device()->busy.store(1);
    fx.FireTimer(&page, 66);
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.Device()->busy.store(0);
    fx.FireTimer(&page, 66);
    EXPECT_TRUE(fx.TakeSentPacket());
}

TEST(MuxMonitorView, TwoOutputsPollAThenBAndShowBothRows) {
    PageFixture fx;
    fx.Device()->version.store(0x4801);  // software 1.0x48: output A not inverted
    CMuxMonitorView page;
    fx.Bind(&page, 1);
    fx.TakeSentPacket();
    EXPECT_EQ(page.CaptionLabel(1271)->text(), "A Port Programs:");
    EXPECT_EQ(page.CaptionLabel(1272)->text(), "A Port Bitrate:");
    EXPECT_EQ(page.CaptionLabel(1273)->text(), "A Port Max Bitrate:");
    EXPECT_EQ(page.CaptionLabel(1328)->text(), "B Port Programs:");
    EXPECT_EQ(page.CaptionLabel(1330)->text(), "B Port Bitrate:");
    EXPECT_EQ(page.CaptionLabel(1332)->text(), "B Port Max Bitrate:");
    EXPECT_FALSE(page.BitrateBEdit()->isHidden());
    EXPECT_EQ(page.Chart()->Series().size(), 2u);

    fx.FireTimer(&page, 66);
    auto a = fx.TakeSentPacket();
    ASSERT_TRUE(a);
    EXPECT_EQ(a->payload, std::vector<uint8_t>{1});
    fx.FeedReply(0x40, Dual(1, 4, 20000, 0x01));
    auto b = fx.TakeSentPacket();
    ASSERT_TRUE(b);
    EXPECT_EQ(b->command, 0x40);
    EXPECT_EQ(b->payload, std::vector<uint8_t>{2});
    EXPECT_EQ(page.BitrateEdit()->text(), "");  // refreshed after output B
    EXPECT_TRUE(page.LockShowsGreen(1));

    fx.FeedReply(0x40, Dual(2, 6, 30000, 0x01));
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_EQ(page.BitrateEdit()->text(), "20.000");
    EXPECT_EQ(page.ProgramCountEdit()->text(), "4");
    EXPECT_EQ(page.BitrateBEdit()->text(), "30.000");
    EXPECT_EQ(page.HighestBEdit()->text(), "30.000");
    EXPECT_EQ(page.ProgramCountBEdit()->text(), "6");
    EXPECT_FALSE(page.LockShowsGreen(1));  // B's set bit shows red on this version
}

TEST(MuxMonitorView, VariantLayouts) {
    struct Case {
        int param, shown;
        bool programCount;
        const char* seventh;
    } cases[] = {{0, 8, true, "CH-7"}, {4, 2, true, "CH-7"},  {32, 2, false, "CH-7"},
                 {36, 7, true, "CH"},  {37, 8, true, "CH-7"}, {86, 8, true, "CH-7"}};
    for (const auto& c : cases) {
        PageFixture fx;
        CMuxMonitorView page;
        fx.Bind(&page, c.param);
        for (int n = 1; n <= 8; ++n) {
            EXPECT_EQ(page.LockIcon(n)->isHidden(), n > c.shown) << c.param << " CH " << n;
            EXPECT_FALSE(page.LockShowsGreen(n));
            EXPECT_FALSE(page.LockIcon(n)->pixmap().isNull());
        }
        EXPECT_EQ(page.LockLabel(7)->text(), c.seventh);
        EXPECT_EQ(page.ProgramCountEdit()->isHidden(), !c.programCount) << c.param;
        EXPECT_EQ(page.CaptionLabel(1271)->isHidden(), !c.programCount) << c.param;
        EXPECT_TRUE(page.BitrateBEdit()->isHidden());
        EXPECT_EQ(page.CaptionLabel(1633)->text(), "MIN BitRate:");
        EXPECT_EQ(page.StatusLabel()->text(), "");
    }
}

TEST(MuxMonitorView, TranscoderLabelsShowChannelBitrates) {
    PageFixture fx;
    CMuxMonitorView page;
    fx.Bind(&page, 86);
    std::vector<uint8_t> p = Single(4, 38500, 0);
    p.push_back(0x01);
    for (int n = 0; n < 8; ++n)
        p.insert(p.end(), {uint8_t(n == 0 ? 0xEA : 0), uint8_t(n == 0 ? 0x0B : 0), 0, 0});  // 3050
    fx.FeedReply(0x40, p);
    EXPECT_EQ(page.LockLabel(1)->text(), "CH-1 3.050");
    EXPECT_EQ(page.LockLabel(2)->text(), "CH-2 0.000");
    EXPECT_EQ(page.StatusLabel()->text(), "Lock Bitrate(mbps)01");
}

TEST(MuxMonitorView, ShortRepliesAndOtherCommandsChangeNothing) {
    PageFixture fx;
    CMuxMonitorView page;
    fx.Bind(&page, 0);
    fx.FeedReply(0x40, {3, 0x10});
    fx.FeedReply(0x41, Single(3, 1000, 0xFF));
    fx.FeedRawPacket({0x21, 0x01, 1, 1, 0x40, 0x00, 0x06, 3});  // declares 6, brings 1
    EXPECT_EQ(page.BitrateEdit()->text(), "");
    EXPECT_EQ(page.Logic()->firstSeries.count, 0);
    EXPECT_FALSE(page.LockShowsGreen(1));
}

TEST(MuxMonitorView, ChartFillsThePlaceholderAndPaints) {
    PageFixture fx;
    CMuxMonitorView page;
    page.resize(800, 500);
    fx.Bind(&page, 1);
    for (uint32_t i = 0; i < 20; ++i) {
        fx.FireTimer(&page, 66);
        fx.FeedReply(0x40, Dual(1, 4, 20000 + i * 700, 0x55));
        fx.FeedReply(0x40, Dual(2, 6, 30000 - i * 500, 0x0F));
    }
    CGraphCtrl* chart = page.Chart();
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->ChartRect().right, chart->width());
    EXPECT_EQ(chart->ChartRect().bottom, chart->height());
    EXPECT_GT(chart->width(), 100);
    const QImage frame = chart->Render();
    EXPECT_FALSE(frame.isNull());
    if (const char* out = std::getenv("NMS_MONITOR_GRAB"))
        page.grab().save(out);
}

TEST(MuxMonitorView, RegisteredForTheCatalogue) {
    test::EnsureApplication();
    RegisterBuiltPages();
    std::unique_ptr<CFormTemplateView> page(CreatePage("CMuxMonitorView", nullptr));
    EXPECT_TRUE(dynamic_cast<CMuxMonitorView*>(page.get()));
}

}  // namespace mux_monitor_view_test
}  // namespace nms
