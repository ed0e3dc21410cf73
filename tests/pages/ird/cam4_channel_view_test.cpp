// The channel tabs both four-channel program pages (CAM receiver and decoder) share: choosing a tab reads
// that channel's input and then the rest of the channel; an input reply for another channel is stored only
// where the page keeps a record per channel.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <functional>
#include <memory>

#include "page_fixture.h"
#include "pages/ird/cam4_decrypt_view.h"
#include "pages/ird/decoder4_view.h"

namespace nms {
namespace cam4_channel_view_test {

using test::PageFixture;

std::vector<uint8_t> InputReply(uint8_t channel, uint8_t freqLow) {
    std::vector<uint8_t> p = {0, channel};
    std::vector<uint8_t> record(kCamInputSize, 0);
    record[4] = freqLow, record[5] = 0x3b, record[6] = 0x07;
    p.insert(p.end(), record.begin(), record.end());
    p.insert(p.end(), {0x10, 0x27, 0, 0});
    return p;
}

struct ChannelPageCase {
    const char* name;
    uint16_t type;
    std::function<std::unique_ptr<CCam4ChannelView>()> make;
    // What follows the input read of the chosen channel 2.
    uint8_t nextCommand;
    std::vector<uint8_t> nextPayload;
    // Whether an input reply naming channel 1 while channel 2 is read is taken (and the chain goes on).
    bool takesOtherChannel;
};

TEST(Cam4ChannelViewTest, ATabReadsItsChannelThenTheRestOfIt) {
    const std::vector<ChannelPageCase> cases = {
        {"CAM receiver",
         0x5217,
         [] { return std::make_unique<Ccam4ird_decrypt>(); },
         kCmdCamProgram,
         {2, 0},
         false},
        {"decoder", 0x5304, [] { return std::make_unique<Cdecoder4>(); }, kCmdDecoderRead, {0, 2}, true},
    };
    for (const ChannelPageCase& c : cases) {
        SCOPED_TRACE(c.name);
        PageFixture fx(c.type);
        std::unique_ptr<CCam4ChannelView> page = c.make();
        fx.Bind(page.get());
        ASSERT_EQ(fx.TakeSentPacket()->command, kCmdCamReadInput);
        fx.FireTimer(page.get(), kWaitTimerId);
        ASSERT_FALSE(page->IsBusy());

        emit page->m_tabs->tabBarClicked(2);
        page->m_tabs->setCurrentIndex(2);
        auto sent = fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->command, kCmdCamReadInput);
        EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 2}));

        fx.FeedReply(kCmdCamReadInput, InputReply(1, 0x20));
        sent = fx.TakeSentPacket();
        EXPECT_EQ(bool(sent), c.takesOtherChannel);
        if (!c.takesOtherChannel) {
            EXPECT_TRUE(page->IsBusy());  // still waiting for channel 2
            fx.FeedReply(kCmdCamReadInput, InputReply(2, 0x10));
            sent = fx.TakeSentPacket();
        }
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->command, c.nextCommand);
        EXPECT_EQ(sent->payload, c.nextPayload);
        EXPECT_TRUE(page->IsBusy());  // the chain runs under one wait

        if (!c.takesOtherChannel) {
            // The record shown is channel 2's.
            EXPECT_EQ(qobject_cast<QLineEdit*>(page->InputBinder().Control("freq"))->text(), "473.872");
        }
    }
}

}  // namespace cam4_channel_view_test
}  // namespace nms
