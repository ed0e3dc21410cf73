#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "page_fixture.h"
#include "pages/ird/cam4_monitor_view.h"
#include "platform/resource_icons.h"

namespace nms {
namespace cam4_monitor_test {

using test::PageFixture;

bool LampOn(const QLabel* lamp) {
    return lamp->pixmap().toImage() == PixmapById(213).toImage();
}

std::vector<uint8_t> Record(uint8_t mark) {
    std::vector<uint8_t> r(kCamInputSize, mark);
    r[17] = 0;
    r[18] = 0;
    return r;
}

std::vector<uint8_t> InputReply(uint8_t channel, bool withBitrate) {
    std::vector<uint8_t> p = {0, channel};
    const std::vector<uint8_t> r = Record(uint8_t(0x10 + channel));
    p.insert(p.end(), r.begin(), r.end());
    if (withBitrate)
        p.insert(p.end(), {uint8_t(channel + 1), 0, 0, 0});
    return p;
}

struct MonitorPage {
    PageFixture fx{0x5217};
    Ccam4ird_monitors page;
    explicit MonitorPage(int pageParam = 0) { fx.Bind(&page, pageParam); }
};

TEST(Cam4MonitorTest, ReadsTheChannelsOneByOneOrAllAtOnce) {
    MonitorPage p;
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0}));
    p.fx.FeedReply(kCmdCamReadInput, InputReply(0, true));
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 1}));
    // A reply without its record still moves on.
    p.fx.FeedReply(kCmdCamReadInput, {0});
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 2}));
    p.fx.FeedReply(kCmdCamReadInput, InputReply(2, true));
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 3}));
    p.fx.FeedReply(kCmdCamReadInput, InputReply(3, true));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);  // done: the version, no index 4
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.m_bitrates[3]->Control("bitrate"))->text(), "4");

    // One reply with all four.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    std::vector<uint8_t> all = InputReply(0, true);
    for (uint8_t k = 1; k < 4; ++k) {
        const std::vector<uint8_t> r = Record(uint8_t(0x20 + k));
        all.insert(all.end(), r.begin(), r.end());
        all.insert(all.end(), {uint8_t(10 + k), 0, 0, 0});
    }
    ASSERT_EQ(all.size(), 198u);
    p.fx.FeedReply(kCmdCamReadInput, all);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.m_bitrates[2]->Control("bitrate"))->text(), "12");

    // Set: the whole block, then channel by channel as the device asks.
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    std::vector<uint8_t> expected = {0, 0};
    expected.insert(expected.end(), all.begin() + 2, all.end());
    for (int k = 0; k < 4; ++k)
        expected[size_t(2 + 49 * k + 11)] = 1;  // a shown 22 kHz tone goes back as 0 or 1
    EXPECT_EQ(sent->payload, expected);
    p.fx.FeedReply(kCmdCamWriteInput, {0, 0});
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload.size(), 51u);
    EXPECT_EQ(sent->payload[1], 1);
    p.fx.FeedReply(kCmdCamWriteInput, {0, 1});
    p.fx.FeedReply(kCmdCamWriteInput, {0, 2});
    EXPECT_EQ(p.fx.TakeSentPacket()->payload[1], 3);
    p.fx.FeedReply(kCmdCamWriteInput, {0, 3});
    EXPECT_FALSE(p.page.IsBusy());
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    p.fx.FeedReply(kCmdCamWriteInput, {0x80});
    EXPECT_FALSE(p.page.IsBusy());
}

// The 22 kHz byte shows "Open" for any value but 0 and is written as the list's 0 or 1, in the whole
// write and in the channel-by-channel one; a terrestrial row's bandwidth in the same byte stays as read.
TEST(Cam4MonitorTest, TheToneByteIsWrittenAsZeroOrOne) {
    const struct {
        uint8_t module;
        uint8_t byte11;
        uint8_t written;
    } cases[] = {{0, 7, 1}, {0, 0, 0}, {0, 1, 1}, {2, 4, 4}};
    for (const auto& c : cases) {
        MonitorPage p;
        p.fx.TakeSentPacket();
        std::vector<uint8_t> all = {c.module, 0};
        for (int k = 0; k < 4; ++k) {
            std::vector<uint8_t> r = Record(0);
            if (k == 3)
                r[11] = c.byte11;  // row 4
            all.insert(all.end(), r.begin(), r.end());
            all.insert(all.end(), {0, 0, 0, 0});
        }
        p.fx.FeedReply(kCmdCamReadInput, all);
        QTest::mouseClick(p.page.m_set, Qt::LeftButton);
        auto sent = p.fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        ASSERT_EQ(sent->payload.size(), 198u);
        EXPECT_EQ(sent->payload[160], c.written) << int(c.byte11);
        p.fx.FeedReply(kCmdCamWriteInput, {0, 2});  // the device takes one channel at a time
        sent = p.fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        ASSERT_EQ(sent->payload.size(), 51u);
        EXPECT_EQ(sent->payload[1], 3);
        EXPECT_EQ(sent->payload[13], c.written) << int(c.byte11);
    }
}

// An input reply after the read's wait ran out is shown in its row, once, and asks for no further channel.
TEST(Cam4MonitorTest, ALateInputReplyIsShownAndReadsNoFurther) {
    MonitorPage p;
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamReadInput, InputReply(0, true));
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 1}));
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    p.fx.FeedReply(kCmdCamReadInput, InputReply(1, true));
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.m_bitrates[1]->Control("bitrate"))->text(), "2");
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_FALSE(p.page.IsBusy());
    p.fx.FeedReply(kCmdCamReadInput, InputReply(2, true));  // nobody's
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.m_bitrates[2]->Control("bitrate"))->text(), "0");
}

TEST(Cam4MonitorTest, StatusShowsSignalLocksAndCams) {
    MonitorPage p;
    p.fx.FireTimer(&p.page, kWaitTimerId);
    p.fx.TakeSentPacket();
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kCam4MonitorTimerId));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdCamStatus);
    std::vector<uint8_t> status(1 + 4 * 39, 0);
    auto channel = [&](int k, uint8_t flags, int32_t quality, uint8_t kind) {
        uint8_t* c = status.data() + 1 + 39 * k;
        c[0] = 3;
        c[1] = 0x39, c[2] = 0x30;  // 12345
        c[5] = flags;
        c[8] = uint8_t(quality), c[9] = uint8_t(quality >> 8);
        c[28] = kind;
    };
    channel(0, 0x41, 85, 1);
    channel(1, 0x01, 2350, 0);
    status.insert(status.end(), {5, 'A', 'l', 'p', 'h', 'a'});
    status.resize(status.size() + 19);
    status.insert(status.end(), {4, 'B', 'e', 't', 'a'});
    p.fx.FeedReply(kCmdCamStatus, status);
    const auto& rows = p.page.m_rows;
    EXPECT_EQ(rows[0].signalText->text(), "85.00%");
    EXPECT_EQ(rows[0].signal->value(), 85);
    EXPECT_EQ(rows[1].signalText->text(), "23.50db");
    EXPECT_EQ(rows[1].signal->value(), 23);
    EXPECT_EQ(rows[1].signal->maximum(), 30);
    EXPECT_TRUE(LampOn(rows[0].lock));
    EXPECT_TRUE(LampOn(rows[0].cam));
    EXPECT_EQ(rows[0].camName->text(), "Alpha");
    EXPECT_EQ(rows[1].camName->text(), "");  // no CAM: no name
    EXPECT_EQ(rows[0].bitrate->text(), "12.345");
    // The poll never takes a waiting request's send slot.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kCam4MonitorTimerId));
    EXPECT_FALSE(p.fx.TakeSentPacket());
}

TEST(Cam4MonitorTest, TheDecoderHasNoCamColumn) {
    MonitorPage p(67);
    EXPECT_TRUE(p.page.m_camHeading->isHidden());
    EXPECT_TRUE(p.page.m_rows[2].cam->isHidden());
}

}  // namespace cam4_monitor_test
}  // namespace nms
