#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "page_fixture.h"
#include "pages/modulator/qam_mod_block.h"
#include "pages/modulator/tuner2qam_view.h"
#include "param_store_sim.h"

namespace nms {
namespace tuner2qam_test {

using test::PageFixture;
using test::ParamStoreSim;

QLineEdit* Edit(Ctuner2qam& page, const std::string& key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}

TEST(Tuner2QamTest, ReadsAndWritesTheFourChannels) {
    PageFixture fx(0x4114);
    Ctuner2qam page;
    fx.Bind(&page, 0);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, 0x70);
    EXPECT_EQ(sent->payload, std::vector<uint8_t>{2});
    ParamStoreSim sim(0x4114);
    const std::vector<uint8_t> blocks = *sim.Record(0x70);
    fx.FeedReply(0x70, blocks);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
    EXPECT_EQ(Edit(page, "freq3")->text(), "1190.000");
    EXPECT_EQ(Edit(page, "symbol1")->text(), "6.875");

    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, blocks);  // 68 bytes a block as received
    fx.FeedReply(0x71, {});
    EXPECT_FALSE(page.IsBusy());

    Edit(page, "freq2")->setText("123456");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_EQ(fx.Prompt().shown.back().text, kFrequencyOverMaximum);
    Edit(page, "freq2")->setText("1170");
    Edit(page, "symbol4")->setText("70");  // 70,000 does not fit 16 bits
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());

    // Another block kind changes nothing but ends the wait and asks for the version.
    page.OnGet();
    fx.TakeSentPacket();
    std::vector<uint8_t> other = blocks;
    other[0] = 3;
    other[1] = 0x99;
    fx.FeedReply(0x70, other);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
    EXPECT_EQ(page.Area().Bytes()[0], blocks[1]);
}

// The bitrate variant hides symbol rate and constellation: an untouched Set sends every byte of the four
// blocks back as read, those of the hidden fields and the uninterpreted ones included.
TEST(Tuner2QamTest, TheBitrateVariantSendsTheBlocksBackByteForByte) {
    PageFixture fx(0x4137);
    Ctuner2qam page;
    fx.Bind(&page, 99);
    ASSERT_EQ(fx.TakeSentPacket()->command, 0x70);
    std::vector<uint8_t> blocks = *ParamStoreSim(0x4137).Record(0x70);
    for (int k = 0; k < 4; ++k) {
        const size_t at = size_t(1 + 75 * k);
        blocks[at + 4] = 0xff, blocks[at + 5] = uint8_t(0xf0 + k);  // symbol rate, not shown
        blocks[at + 6] = uint8_t(9 + k);                            // no such constellation
        for (size_t i = 7; i < 75; ++i)
            blocks[at + i] = uint8_t(31 * k + i);
    }
    fx.FeedReply(0x70, blocks);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
    EXPECT_TRUE(page.Binder().Control("symbol2")->isHidden());
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, 0x71);
    EXPECT_EQ(sent->payload, blocks);
}

TEST(Tuner2QamTest, StatusLocksBitratesAndQuality) {
    PageFixture fx(0x4137);
    Ctuner2qam page;
    fx.Bind(&page, 99);
    fx.TakeSentPacket();
    EXPECT_TRUE(page.Binder().Control("symbol1")->isHidden());
    EXPECT_FALSE(page.m_bitrate[0]->isHidden());
    // The poll waits while the Get is under way.
    ASSERT_TRUE(fx.FireTimer(&page, 66));
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FireTimer(&page, kWaitTimerId);
    ASSERT_TRUE(fx.FireTimer(&page, 66));
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x40);
    std::vector<uint8_t> status = ParamStoreSim(0x4137).Handle(0x40, {}).value();
    status[1] = 0x7c, status[2] = 0x94, status[3] = 0, status[4] = 0;  // 38012
    fx.FeedReply(0x40, status);
    EXPECT_EQ(page.m_bitrate[0]->text(), "38.012");
    EXPECT_EQ(page.m_quality[1]->value(), 75);
    EXPECT_EQ(page.m_percent[1]->text(), "75%");
    status[21] = 3;  // no quality in the reports: the bars stay
    status[22 + 25] = 10;
    fx.FeedReply(0x40, status);
    EXPECT_EQ(page.m_quality[1]->value(), 75);
    fx.FeedReply(0x40, std::vector<uint8_t>(16, 0));  // too short for the bitrates
    EXPECT_EQ(page.m_bitrate[0]->text(), "38.012");
}

// A Get reply that comes after its wait ran out is shown as it would have been in time, asks for the
// version and starts nothing; it is taken once, and not at all once another request went out or when the
// request was never sent.
TEST(Tuner2QamTest, AReplyAfterItsTimeOutIsShownOnceAndStartsNothing) {
    PageFixture fx(0x4114);
    Ctuner2qam page;
    fx.Bind(&page, 0);
    ASSERT_EQ(fx.TakeSentPacket()->command, 0x70);
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(page.Logic().Waiting());

    std::vector<uint8_t> blocks = *ParamStoreSim(0x4114).Record(0x70);
    fx.FeedReply(0x70, blocks);
    EXPECT_EQ(Edit(page, "freq1")->text(), "1150.000");
    EXPECT_FALSE(page.IsBusy());
    std::vector<int> sent;
    while (auto packet = fx.TakeSentPacket())
        sent.push_back(packet->command);
    EXPECT_EQ(sent, std::vector<int>{0x02});

    std::vector<uint8_t> again = blocks;
    again[1] = 0x10, again[2] = 0x27, again[3] = 0, again[4] = 0;  // 10 MHz
    fx.FeedReply(0x70, again);                                     // a second copy: nothing is late any more
    EXPECT_EQ(Edit(page, "freq1")->text(), "1150.000");
    EXPECT_FALSE(fx.TakeSentPacket());

    // A Set's wait runs out; a new Get goes out: the Set's late acknowledgement and a stale block no
    // longer count, the Get's own reply does.
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    ASSERT_EQ(fx.TakeSentPacket()->command, 0x71);
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    page.OnGet();
    ASSERT_EQ(fx.TakeSentPacket()->command, 0x70);
    fx.FeedReply(0x71, {});
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(0x70, again);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(Edit(page, "freq1")->text(), "10.000");
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);

    // Offline: the Get sends nothing, so nothing can come late.
    fx.Device()->status = 0;
    page.OnGet();
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.Device()->status = 3;
    EXPECT_FALSE(page.Logic().Waiting());
    fx.FeedReply(0x70, blocks);
    EXPECT_EQ(Edit(page, "freq1")->text(), "10.000");
}

}  // namespace tuner2qam_test
}  // namespace nms
