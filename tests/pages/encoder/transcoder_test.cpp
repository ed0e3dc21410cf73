#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "encoder_multi_support.h"
#include "pages/encoder/transcoder_view.h"

namespace nms {
namespace transcoder_test {

using test::EncoderMultiSim;
using test::PageFixture;
using test::Pump;

QLineEdit* Edit(Ctranscoder& page, const char* key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}

TEST(TranscoderTest, ShowingReadsTheShownChannelAndAnUntouchedSetWritesItBack) {
    PageFixture fx;
    EncoderMultiSim sim(EncoderMultiSim::Kind::kTranscoder, 8, false);
    Ctranscoder page;
    fx.Bind(&page);
    const auto sent = Pump(fx, sim);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{0, 0, 0, 0, 0}));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(Edit(page, "name")->text(), "Transcode 1");
    EXPECT_EQ(Edit(page, "pmt")->text(), "100");
    EXPECT_EQ(qobject_cast<QComboBox*>(page.Binder().Control("vmode"))->currentText(), "H.264-to-MPEG2");

    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x61);
    ASSERT_EQ(set->payload.size(), 161u);  // an empty table: the count 0 ends it
    std::vector<uint8_t> expected = {0, 0, 0, 0};
    expected.insert(expected.end(), sim.ChannelRecord(0).begin(), sim.ChannelRecord(0).end());
    expected.push_back(0);
    EXPECT_EQ(set->payload, expected);
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(0x61, {'a'});
    EXPECT_FALSE(page.IsBusy());
}

TEST(TranscoderTest, TabChangeStoresTheChannelLeftAndReadsTheNewOne) {
    PageFixture fx;
    EncoderMultiSim sim(EncoderMultiSim::Kind::kTranscoder, 8, false);
    Ctranscoder page;
    fx.Bind(&page);
    Pump(fx, sim);
    page.OnSelChangeTab(2);
    Pump(fx, sim);
    Edit(page, "vbitrate")->setText("2500");
    page.OnSelChangeTab(5);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0, 0, 0, 5}));
    EXPECT_EQ(page.Logic().Record(2).Bytes()[3] | page.Logic().Record(2).Bytes()[4] << 8, 2500);
    EXPECT_EQ(page.m_tabs->currentIndex(), 5);
}

TEST(TranscoderTest, ShortOrForeignRepliesOnlyEndTheWait) {
    struct Case {
        const char* what;
        std::vector<uint8_t> payload;
    };
    std::vector<uint8_t> foreign(161, 0);
    foreign[4] = 8;  // no ninth channel
    foreign[5 + 59] = 'X';
    const Case cases[] = {{"160 bytes", std::vector<uint8_t>(160, 0x41)}, {"channel 8", foreign}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageFixture fx;
        Ctranscoder page;
        fx.Bind(&page);
        fx.TakeSentPacket();
        fx.FeedReply(0x60, c.payload);
        EXPECT_FALSE(page.IsBusy());
        for (int ch = 0; ch < kTranscoderChannels; ++ch)
            EXPECT_EQ(page.Logic().Record(ch).Reader().Text(59, 32), "");
        fx.FeedReply(0x60, c.payload);  // late: nothing
        EXPECT_FALSE(fx.TakeSentPacket());
    }
}

}  // namespace transcoder_test
}  // namespace nms
