// The SD encoder's video and audio pages: blocks read, shown and written back, the channel byte of the
// four-channel encoder, lists that show a fixed entry for values they have none for.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <numeric>

#include "page_fixture.h"
#include "pages/encoder/encoder_audio_view.h"
#include "pages/encoder/encoder_video_view.h"
#include "pages/encoder/encoder_widgets.h"

namespace nms {
namespace sd_encoder_test {

using test::PageFixture;

std::vector<uint8_t> VideoBlock(std::initializer_list<std::pair<int, uint8_t>> bytes) {
    std::vector<uint8_t> b(kSdVideoBlockSize + 1);
    std::iota(b.begin(), b.end(), uint8_t(40));
    const uint8_t valid[] = {1, 1, 1, 2};  // SDI, NTSC, video, IBP
    std::copy(std::begin(valid), std::end(valid), b.begin());
    b[12] = 3, b[13] = 0, b[14] = 1, b[15] = 6;
    for (auto [at, v] : bytes)
        b[size_t(at)] = v;
    return b;
}

QLineEdit* Edit(FormBinder& binder, const char* key) {
    return qobject_cast<QLineEdit*>(binder.Control(key));
}

TEST(SdEncoderTest, VideoBlockRoundTripsAndFallbackEntriesAreWritten) {
    PageFixture fx(0x1101);
    CEncoderVideoView page;
    fx.Bind(&page, 0);
    auto get = fx.TakeSentPacket();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->command, 0x60);
    EXPECT_TRUE(get->payload.empty());
    EXPECT_FALSE(page.m_channel->isVisibleTo(&page));

    const std::vector<uint8_t> block = VideoBlock({{7, 0xf0}});
    fx.FeedReply(0x60, block);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(Edit(page.Binder(), "hue")->text(), "-16");
    EXPECT_EQ(page.Slider("hue")->value(), -16);
    EXPECT_EQ(page.Slider("brightness")->value(), block[4]);
    EXPECT_FALSE(page.Binder().Control("profile")->isVisibleTo(&page));
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x61);
    EXPECT_EQ(set->payload, block);  // untouched: the block and its trailing byte as read
    fx.FeedReply(0x61, {});
    EXPECT_FALSE(page.IsBusy());

    // Values the lists have no entry for show YPbPr, PAL, IBBP and D1, and a Set writes those entries.
    QTest::mouseClick(page.m_get, Qt::LeftButton);
    fx.TakeSentPacket();
    fx.FeedReply(0x60, VideoBlock({{0, 7}, {1, 3}, {3, 9}, {12, 9}}));
    EXPECT_EQ(ListSelection(page.Binder().Control("input")), 2);
    EXPECT_EQ(qobject_cast<QComboBox*>(page.Binder().Control("compress"))->currentText(), "D1");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[0], 2);
    EXPECT_EQ(set->payload[1], 2);
    EXPECT_EQ(set->payload[3], 3);
    EXPECT_EQ(set->payload[12], 0);
}

TEST(SdEncoderTest, HueHoldsWhatItsSignedByteHolds) {
    PageFixture fx(0x1101);
    CEncoderVideoView page;
    fx.Bind(&page, 0);
    fx.TakeSentPacket();
    fx.FeedReply(0x60, VideoBlock({}));
    const struct {
        const char* text;
        int sent;  // -1: refused
    } cases[] = {{"127", 0x7f}, {"-128", 0x80}, {"128", -1}, {"-129", -1}, {"1x", -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        fx.Prompt().shown.clear();
        Edit(page.Binder(), "hue")->setText(c.text);
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        auto set = fx.TakeSentPacket();
        if (c.sent < 0) {
            EXPECT_FALSE(set);
            ASSERT_EQ(fx.Prompt().shown.size(), 1u);
            EXPECT_EQ(fx.Prompt().shown[0].text, "Please enter an integer between -128 and 127.");
            continue;
        }
        ASSERT_TRUE(set);
        EXPECT_EQ(set->payload[7], c.sent);
        fx.FeedReply(0x61, {});
    }
    // Leaving the edit moves its slider.
    Edit(page.Binder(), "hue")->setText("-100");
    emit Edit(page.Binder(), "hue")->editingFinished();
    EXPECT_EQ(page.Slider("hue")->value(), -100);
}

TEST(SdEncoderTest, FourChannelVideoCarriesTheChannelAndProfileModeHidesTheRest) {
    PageFixture fx(0x1102);
    CEncoderVideoView page;
    fx.Bind(&page, 2);
    auto get = fx.TakeSentPacket();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->payload, std::vector<uint8_t>{1});
    EXPECT_TRUE(page.m_channel->isVisibleTo(&page));
    EXPECT_FALSE(page.Binder().Control("input")->isVisibleTo(&page));
    EXPECT_FALSE(page.Slider("pbSaturation")->isVisibleTo(&page));

    // A short reply changes nothing and the wait goes on.
    fx.FeedReply(0x60, {1, 2, 3});
    EXPECT_TRUE(page.IsBusy());

    page.m_channel->setCurrentIndex(2);
    emit page.m_channel->activated(2);
    get = fx.TakeSentPacket();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->payload, std::vector<uint8_t>{3});
    std::vector<uint8_t> block = VideoBlock({{13, 1}, {14, 3}, {15, 11}});
    std::vector<uint8_t> reply = {3};
    reply.insert(reply.end(), block.begin(), block.end());
    fx.FeedReply(0x60, reply);
    EXPECT_TRUE(page.Binder().Control("profile")->isVisibleTo(&page));
    EXPECT_FALSE(page.Slider("brightness")->isVisibleTo(&page));
    EXPECT_EQ(qobject_cast<QComboBox*>(page.Binder().Control("level"))->currentText(), "Level 4.2");
    qobject_cast<QComboBox*>(page.Binder().Control("profile"))->setCurrentIndex(2);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    block[14] = 2;
    std::vector<uint8_t> expected = {3};
    expected.insert(expected.end(), block.begin(), block.end());
    EXPECT_EQ(set->payload, expected);
}

TEST(SdEncoderTest, AudioBlockValuesAndChannels) {
    {
        PageFixture fx(0x1101);
        CEncoderAudioView page;
        fx.Bind(&page, 0);
        EXPECT_TRUE(fx.TakeSentPacket()->payload.empty());
        EXPECT_TRUE(page.m_sourceGroup->isVisibleTo(&page));
        std::vector<uint8_t> block(16);
        std::iota(block.begin(), block.end(), uint8_t(50));
        block[0] = 0, block[1] = 1, block[2] = 3, block[3] = 7, block[5] = 1;
        fx.FeedReply(0x62, block);
        EXPECT_EQ(ListSelection(page.Binder().Control("bitrate")), 3);  // "224Kbps"
        EXPECT_EQ(qobject_cast<QComboBox*>(page.Binder().Control("audioMode"))->currentText(), "Stereo");
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        auto set = fx.TakeSentPacket();
        ASSERT_TRUE(set);
        EXPECT_EQ(set->command, 0x63);
        block[3] = 0;  // the mode shown is the mode sent
        EXPECT_EQ(set->payload, block);
    }
    PageFixture fx(0x1102);
    CEncoderAudioView page;
    fx.Bind(&page, 2);
    EXPECT_EQ(fx.TakeSentPacket()->payload, std::vector<uint8_t>{1});
    EXPECT_FALSE(page.m_sourceGroup->isVisibleTo(&page));
    std::vector<uint8_t> reply(17, 0);
    reply[0] = 1, reply[6] = 5;  // the source byte goes back as read although it is not shown
    fx.FeedReply(0x62, reply);
    page.m_channel->setCurrentIndex(-1);
    QTest::mouseClick(page.m_get, Qt::LeftButton);
    EXPECT_TRUE(fx.TakeSentPacket()->payload.empty());
    fx.FeedReply(0x62, reply);  // a channel byte is still expected: it is the four-channel encoder
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload, std::vector<uint8_t>(reply.begin() + 1, reply.end()));
}

}  // namespace sd_encoder_test
}  // namespace nms
