#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "page_fixture.h"
#include "pages/ird/decoder4_view.h"

namespace nms {
namespace decoder4_test {

using test::PageFixture;

std::vector<uint8_t> InputReply(uint8_t module, uint8_t channel) {
    std::vector<uint8_t> p = {module, channel};
    std::vector<uint8_t> record(kCamInputSize, 0);
    record[4] = 0x10, record[5] = 0x3b, record[6] = 0x07;  // 473.872 MHz
    record[20] = 0x5a;
    p.insert(p.end(), record.begin(), record.end());
    p.insert(p.end(), {0x10, 0x27, 0, 0});  // 10000 kbit/s
    return p;
}

std::vector<uint8_t> DecoderReply(uint8_t channel) {
    std::vector<uint8_t> p = {0, channel, 1, 2};
    std::vector<uint8_t> block(kDecoderBlockSize, 0);
    block[10] = 60;
    p.insert(p.end(), block.begin(), block.end());
    p.insert(p.end(), {3, 'A', 'B', 'C'});
    return p;
}

std::vector<uint8_t> ProgramReply(uint8_t channel, uint8_t index, uint8_t count, uint8_t ca) {
    std::vector<uint8_t> p = {channel, index, count};
    std::vector<uint8_t> entry(kCamProgramEntrySize, 0);
    entry[0] = 1;
    entry[1] = 'P';
    entry[2] = uint8_t('0' + index);
    entry[33] = 0x01, entry[34] = uint8_t(index);
    entry[38] = ca;
    p.insert(p.end(), entry.begin(), entry.end());
    return p;
}

// Binds the page and answers the input and decoder reads of channel 1 that showing it sends; the program
// read is asked for next.
void ShowUpToTheDecoder(PageFixture& fx, Cdecoder4& page) {
    fx.Bind(&page);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdCamReadInput, InputReply(0, 0));
    fx.TakeSentPacket();
    fx.FeedReply(kCmdDecoderRead, DecoderReply(0));
}

TEST(Decoder4Test, ShowingReadsInputDecoderAndProgramsInOneChain) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    fx.Bind(&page);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamReadInput);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0}));
    fx.FeedReply(kCmdCamReadInput, InputReply(0, 0));
    EXPECT_EQ(qobject_cast<QLineEdit*>(page.InputBinder().Control("freq"))->text(), "473.872");
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdDecoderRead);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0}));  // the first byte is 0
    fx.FeedReply(kCmdDecoderRead, DecoderReply(0));
    EXPECT_EQ(qobject_cast<QLineEdit*>(page.DecoderBinder().Control("volume"))->text(), "60");
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamProgram);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0}));
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 0, 2, 1));
    EXPECT_EQ(fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 1}));
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 1, 2, 0));
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.m_programs->topLevelItemCount(), 2);
    EXPECT_EQ(page.m_programs->topLevelItem(0)->text(1), "($)P0");
    EXPECT_EQ(page.m_programs->topLevelItem(1)->text(2), "0101");
    EXPECT_EQ(page.m_programs->topLevelItem(1)->text(6), "CAM");

    // An untouched input write sends the record as read, with the output bitrate.
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    std::vector<uint8_t> expected = InputReply(0, 0);
    expected[0] = 0;
    EXPECT_EQ(sent->payload, expected);
}

// The volume field names the range it takes: 0~100 in its caption and in the message a value beyond it
// gives (nothing is sent then); 100 goes out.
TEST(Decoder4Test, TheVolumeCaptionAndItsMessageNameOneRange) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    ShowUpToTheDecoder(fx, page);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 0, 1, 0));
    ASSERT_FALSE(page.IsBusy());
    EXPECT_EQ(page.DecoderBinder().Label("volume")->text(), "Volume(0~100)");
    auto* volume = qobject_cast<QLineEdit*>(page.DecoderBinder().Control("volume"));
    volume->setText("101");
    QTest::mouseClick(page.m_sendDecoder, Qt::LeftButton);
    ASSERT_FALSE(fx.Prompt().shown.empty());
    EXPECT_EQ(fx.Prompt().shown.back().text, "Please enter an integer between 0 and 100.");
    EXPECT_FALSE(fx.TakeSentPacket());
    volume->setText("100");
    QTest::mouseClick(page.m_sendDecoder, Qt::LeftButton);
    const auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdDecoderWrite);
    ASSERT_EQ(sent->payload.size(), 2u + kDecoderBlockSize);
    EXPECT_EQ(sent->payload[2 + 10], 100);
}

// A second copy of a program reply is ignored: the chain waits for the program it asked for and reads the
// last one too. An input reply under 47 bytes keeps the old record.
TEST(Decoder4Test, RepeatedProgramRepliesAndShortInputReplies) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    ShowUpToTheDecoder(fx, page);
    ASSERT_EQ(fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 0}));
    for (uint8_t index = 0; index < 3; ++index) {
        const std::vector<uint8_t> reply = ProgramReply(0, index, 3, 0);
        fx.FeedReply(kCmdCamProgram, reply);
        if (index == 2)
            break;
        fx.FeedReply(kCmdCamProgram, reply);
        EXPECT_TRUE(page.IsBusy());
        auto sent = fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, uint8_t(index + 1)}));
        EXPECT_FALSE(fx.TakeSentPacket());
    }
    EXPECT_FALSE(page.IsBusy());
    ASSERT_EQ(page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(page.m_programs->topLevelItem(2)->text(1), "P2");

    page.OnGet();
    ASSERT_EQ(fx.TakeSentPacket()->command, kCmdCamReadInput);
    std::vector<uint8_t> shortReply = InputReply(0, 0);
    shortReply.resize(46);
    shortReply[2 + 4] = 0x20;  // another frequency in the part that arrived
    fx.FeedReply(kCmdCamReadInput, shortReply);
    EXPECT_TRUE(page.IsBusy());  // not the awaited record: the wait runs on
    EXPECT_EQ(qobject_cast<QLineEdit*>(page.InputBinder().Control("freq"))->text(), "473.872");
    fx.FireTimer(&page, kWaitTimerId);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    std::vector<uint8_t> expected = InputReply(0, 0);
    expected[0] = 0;
    EXPECT_EQ(sent->payload, expected);
}

// A program reply that carries another index than the one asked for still moves the read on: the read
// asks for the next index and ends at the count.
TEST(Decoder4Test, AReplyCarryingAnotherProgramMovesTheReadOn) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    ShowUpToTheDecoder(fx, page);
    ASSERT_EQ(fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 0}));
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 2, 3, 0));  // index 2 for the request of 0
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 1}));
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 1, 3, 0));
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 2}));
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 0, 3, 0));
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.m_programs->topLevelItemCount(), 3);
}

// Parse empties the program list as it sends: a channel without input ("No input!") shows no programs,
// not those of the read before.
TEST(Decoder4Test, ParseEmptiesTheProgramList) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    ShowUpToTheDecoder(fx, page);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 0, 1, 0));
    ASSERT_EQ(page.m_programs->topLevelItemCount(), 1);

    QTest::mouseClick(page.m_parse, Qt::LeftButton);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamParse);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(page.m_programs->topLevelItemCount(), 0);
    fx.FeedReply(kCmdCamParse, {0, 0, 0});
    EXPECT_EQ(fx.Prompt().shown.back().text, "No input!");
    EXPECT_EQ(page.m_programs->topLevelItemCount(), 0);
}

TEST(Decoder4Test, ParseAndChannelErrors) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    fx.Bind(&page);
    fx.FireTimer(&page, kWaitTimerId);
    fx.TakeSentPacket();
    QTest::mouseClick(page.m_parse, Qt::LeftButton);
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamParse);
    fx.FeedReply(kCmdCamParse, {0, 0, 0xff});
    EXPECT_EQ(fx.Prompt().shown.back().text, "No input!");
    EXPECT_FALSE(page.IsBusy());

    QTest::mouseClick(page.m_parse, Qt::LeftButton);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdCamParse, {0, 0, 3});
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdDecoderRead);
    fx.FeedReply(kCmdDecoderRead, DecoderReply(0));
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamProgram);
    fx.FeedReply(kCmdCamProgram, ProgramReply(2, 0, 3, 0));  // another channel
    EXPECT_EQ(fx.Prompt().shown.back().text, "Channel Error 9528");
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.m_programs->topLevelItemCount(), 0);
    // A late reply continues nothing.
    fx.FeedReply(kCmdCamProgram, ProgramReply(0, 0, 3, 0));
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(Decoder4Test, CableModulesShowTheConstellations) {
    PageFixture fx(0x5304);
    Cdecoder4 page;
    fx.Bind(&page);
    fx.TakeSentPacket();
    fx.FeedReply(kCmdCamReadInput, InputReply(1, 0));
    EXPECT_TRUE(page.InputBinder().Control("lnb")->isHidden());
    EXPECT_TRUE(page.InputBinder().Control("diseqc")->isHidden());
    EXPECT_FALSE(page.InputBinder().Control("qam")->isHidden());
    // A reply naming channel 4 or more is not taken.
    fx.FeedReply(kCmdDecoderRead, DecoderReply(0));
    fx.TakeSentPacket();
    page.OnGet();
    fx.TakeSentPacket();
    fx.FeedReply(kCmdCamReadInput, InputReply(0, 4));
    EXPECT_TRUE(page.IsBusy());
}

}  // namespace decoder4_test
}  // namespace nms
