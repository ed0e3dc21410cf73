#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <numeric>

#include "page_fixture.h"
#include "pages/ird/ird_cam_decoder_view.h"

namespace nms {
namespace decoder_test {

using test::PageFixture;

std::vector<uint8_t> DecoderReply(uint8_t programs, uint8_t tracks, const std::vector<std::string>& names) {
    std::vector<uint8_t> payload = {programs, tracks};
    std::vector<uint8_t> block(kDecoderBlockSize);
    std::iota(block.begin(), block.end(), uint8_t(0));
    block[0] = 1;   // the second program
    block[1] = 6;   // 1920*1080*50i
    block[4] = 50;  // brightness
    block[7] = 33;  // a track the list does not have
    block[10] = 90;
    payload.insert(payload.end(), block.begin(), block.end());
    for (const std::string& name : names) {
        payload.push_back(uint8_t(name.size()));
        payload.insert(payload.end(), name.begin(), name.end());
    }
    return payload;
}

TEST(DecoderTest, ReadShowsTheOfferAndAnUntouchedSetSendsTheBlockBack) {
    PageFixture fx(0x5106);
    CIRD_CAM_decoder page;
    fx.Bind(&page);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdDecoderRead);
    EXPECT_EQ(sent->payload, std::vector<uint8_t>{0});
    const std::string longName(40, 'x');
    const std::vector<uint8_t> reply = DecoderReply(5, 40, {"NEWS-1", longName, "Sports"});
    fx.FeedReply(kCmdDecoderRead, reply);
    EXPECT_FALSE(page.IsBusy());
    auto* programs = qobject_cast<QComboBox*>(page.Binder().Control("program"));
    auto* audio = qobject_cast<QComboBox*>(page.Binder().Control("audio"));
    ASSERT_EQ(programs->count(), 3);  // five announced, three arrived
    EXPECT_EQ(programs->itemText(0), "01:NEWS-1");
    EXPECT_EQ(programs->itemText(1).size(), 3 + 32);
    EXPECT_EQ(programs->currentIndex(), 1);
    EXPECT_EQ(audio->count(), 32);
    EXPECT_EQ(audio->itemText(0), "Audio 01(0b)");
    EXPECT_EQ(audio->currentIndex(), -1);
    EXPECT_EQ(qobject_cast<QComboBox*>(page.Binder().Control("video"))->currentText(), "1920*1080*50i");

    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdDecoderWrite);
    EXPECT_EQ(sent->payload, std::vector<uint8_t>(reply.begin() + 2, reply.begin() + 2 + kDecoderBlockSize));
    fx.FeedReply(kCmdDecoderWrite, {});
    EXPECT_FALSE(page.IsBusy());

    // Edited fields only; a volume beyond its field is refused.
    programs->setCurrentIndex(2);
    qobject_cast<QLineEdit*>(page.Binder().Control("volume"))->setText("300");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_EQ(fx.Prompt().shown.back().text, "Please enter an integer between 0 and 127.");
    EXPECT_FALSE(fx.TakeSentPacket());
    qobject_cast<QLineEdit*>(page.Binder().Control("volume"))->setText("127");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[0], 2);
    EXPECT_EQ(sent->payload[10], 127);
    EXPECT_EQ(sent->payload[7], 33);  // no selection: as read
}

TEST(DecoderTest, EmptyAndShortReplies) {
    PageFixture fx(0x5106);
    CIRD_CAM_decoder page;
    fx.Bind(&page);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdDecoderRead, std::vector<uint8_t>(40, 1));  // too short: the wait goes on
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(kCmdDecoderRead, {});  // empty: only ends the wait
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(qobject_cast<QComboBox*>(page.Binder().Control("program"))->count(), 0);
}

}  // namespace decoder_test
}  // namespace nms
