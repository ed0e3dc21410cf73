#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "page_fixture.h"
#include "pages/ird/cam4_decrypt_view.h"

namespace nms {
namespace cam4_decrypt_test {

using test::PageFixture;

std::vector<uint8_t> Entry(uint8_t status, const std::vector<uint8_t>& name, uint8_t ca, uint8_t ip,
                           uint8_t streams = 2) {
    std::vector<uint8_t> e(kCamProgramEntrySize, 0);
    e[0] = status;
    std::copy(name.begin(), name.end(), e.begin() + 1);
    e[33] = 0x34, e[34] = 0x12;
    e[37] = streams;
    e[38] = ca;
    e[40] = 0x00, e[41] = 0xe1;  // PCR 0x100 with high bits set
    e[48] = 0x00, e[49] = 0x03;
    e[50] = ip;
    return e;
}

std::vector<uint8_t> ProgramReply(uint8_t channel, uint8_t index, uint8_t count,
                                  const std::vector<uint8_t>& entry) {
    std::vector<uint8_t> p = {channel, index, count};
    p.insert(p.end(), entry.begin(), entry.end());
    return p;
}

struct DecryptPage {
    PageFixture fx{0x5217};
    Ccam4ird_decrypt page;
    DecryptPage() {
        fx.Bind(&page);
        // Showing reads the input, then the programs.
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamReadInput);
        std::vector<uint8_t> input = {0, 0};
        input.resize(2 + kCamInputSize + 4, 0);
        fx.FeedReply(kCmdCamReadInput, input);
        auto sent = fx.TakeSentPacket();
        EXPECT_EQ(sent->command, kCmdCamProgram);
        EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 0}));
    }
    void Programs(uint8_t feature, const std::vector<std::vector<uint8_t>>& entries) {
        for (size_t i = 0; i < entries.size(); ++i) {
            fx.FeedReply(kCmdCamProgram, ProgramReply(0, uint8_t(i), uint8_t(entries.size()), entries[i]),
                         feature, 0);
            auto sent = fx.TakeSentPacket();
            if (i + 1 < entries.size()) {
                EXPECT_TRUE(sent);
                if (sent) {
                    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, uint8_t(i + 1)}));
                }
            } else {
                EXPECT_FALSE(sent);
            }
        }
    }
};

// Channel 4's satellite record with the 22 kHz byte 7 shows "Open" and an untouched Set writes it as 1;
// every byte the form does not show goes back as read.
TEST(Cam4DecryptTest, TheToneByteOfAnInputIsWrittenAsZeroOrOne) {
    DecryptPage p;
    p.fx.FeedReply(kCmdCamProgram, ProgramReply(0, 0, 0, Entry(0, {}, 0, 0)));  // no programs
    ASSERT_FALSE(p.page.IsBusy());
    p.page.m_tabs->setCurrentIndex(3);
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 3}));
    std::vector<uint8_t> input = {0, 3};
    for (int i = 0; i < kCamInputSize; ++i)
        input.push_back(uint8_t(0x40 + i));
    input[2 + 10] = 1, input[2 + 11] = 7, input[2 + 12] = 2, input[2 + 17] = 0, input[2 + 18] = 0;
    input.insert(input.end(), {0x10, 0x27, 0, 0});
    p.fx.FeedReply(kCmdCamReadInput, input);
    EXPECT_FALSE(p.page.IsBusy());
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamWriteInput);
    std::vector<uint8_t> expected = input;
    expected[13] = 1;
    EXPECT_EQ(sent->payload, expected);
}

TEST(Cam4DecryptTest, ProgramsAreReadOneByOneAndListed) {
    DecryptPage p;
    const std::vector<uint8_t> utf16 = {0x11, 0x4e, 0x2d, 0x59, 0x2e, 0x00, 0x00};  // "中央"
    p.Programs(0, {Entry(1, {'A', 'B', 'C'}, 1, 0), Entry(7, utf16, 0, 0), Entry(2, {'X'}, 0, 0)});
    EXPECT_FALSE(p.page.IsBusy());
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(1), "($)ABC");
    EXPECT_EQ(p.page.m_programs->topLevelItem(1)->text(1), QString::fromUtf8("中央"));
    EXPECT_EQ(p.page.m_programs->topLevelItem(1)->text(6), "Bypass");
    EXPECT_EQ(p.page.m_programs->topLevelItem(2)->text(6), "Delete");
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(2), "1234");
    EXPECT_TRUE(p.page.m_index->isHidden());
}

// A second copy of a program reply is ignored: the chain waits for the program it asked for and reads the
// last one too. An input reply under 47 bytes keeps the old record.
TEST(Cam4DecryptTest, RepeatedProgramRepliesAndShortInputReplies) {
    DecryptPage p;
    for (uint8_t index = 0; index < 3; ++index) {
        const std::vector<uint8_t> reply = ProgramReply(0, index, 3, Entry(1, {uint8_t('A' + index)}, 0, 0));
        p.fx.FeedReply(kCmdCamProgram, reply, 0, 0);
        if (index == 2)
            break;
        p.fx.FeedReply(kCmdCamProgram, reply, 0, 0);
        EXPECT_TRUE(p.page.IsBusy());
        auto sent = p.fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, uint8_t(index + 1)}));
        EXPECT_FALSE(p.fx.TakeSentPacket());
    }
    EXPECT_FALSE(p.page.IsBusy());
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(p.page.m_programs->topLevelItem(2)->text(1), "C");

    p.page.OnGet();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, kCmdCamReadInput);
    std::vector<uint8_t> input = {0, 0};
    input.resize(46, 0x55);  // one byte short of the record
    p.fx.FeedReply(kCmdCamReadInput, input);
    EXPECT_TRUE(p.page.IsBusy());  // not the awaited record: the wait runs on
    p.fx.FireTimer(&p.page, kWaitTimerId);
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamWriteInput);
    ASSERT_GE(sent->payload.size(), 2u + kCamInputSize);
    EXPECT_EQ(std::vector<uint8_t>(sent->payload.begin() + 2, sent->payload.begin() + 2 + kCamInputSize),
              std::vector<uint8_t>(kCamInputSize, 0));  // the record read on show, all zeros
}

TEST(Cam4DecryptTest, SendCarriesStatusIndexesAndFilters) {
    DecryptPage p;
    p.Programs(0x83, {Entry(1, {'A'}, 0, 5), Entry(0, {'B'}, 0, 6)});
    EXPECT_FALSE(p.page.m_index->isHidden());
    QTest::mouseClick(p.page.m_send, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCam4Send);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0, 2, 1, 0, 0x81, 2, 5, 6, 0x82, 4, 0, 3, 0, 3}));
    p.fx.FeedReply(kCmdCam4Send, {});
    EXPECT_FALSE(p.page.IsBusy());

    // "Disable" in the dialog deletes the program; a shared index warns.
    p.page.m_programs->setCurrentItem(p.page.m_programs->topLevelItem(0));
    p.page.m_runDialog = [](CIpIndexDlg& dialog) {
        dialog.m_index->setCurrentIndex(0);
        dialog.m_streams[1]->setChecked(false);
        return true;
    };
    p.page.OnDblClickProgramList();
    EXPECT_EQ(p.page.Logic().Program(0, 0).Status(), kCam4Delete);
    EXPECT_EQ(p.page.Logic().Program(0, 0).FilterMask(), 0x0001);
    p.page.m_programs->setCurrentItem(p.page.m_programs->topLevelItem(0));
    p.page.m_runDialog = [](CIpIndexDlg& dialog) {
        dialog.m_index->setCurrentIndex(6);
        return true;
    };
    p.page.OnDblClickProgramList();
    EXPECT_EQ(p.page.Logic().Program(0, 0).Status(), kCam4Bypass);
    ASSERT_FALSE(p.fx.Prompt().shown.empty());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "IP Index:conflict with channel(1) program(2)");
}

TEST(Cam4DecryptTest, ParseCountsAndRepliesOutOfRange) {
    DecryptPage p;
    p.Programs(0, {Entry(0, {'A'}, 0, 0)});
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    // The last program reply's header said index mode (bit 2 of byte c clear): the box is checked.
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0x80, 0}));
    p.fx.FeedReply(kCmdCamParse, {0, 0, 0});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "No input!");
    EXPECT_FALSE(p.page.IsBusy());

    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamParse, {0, 0, 40});  // more than the page keeps: 32 are read
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 0}));
    for (int i = 0; i < 31; ++i) {
        p.fx.FeedReply(kCmdCamProgram, ProgramReply(0, uint8_t(i), 40, {1, 2}));  // short: stored as nothing
        ASSERT_TRUE(p.fx.TakeSentPacket());
    }
    p.fx.FeedReply(kCmdCamProgram, ProgramReply(0, 31, 40, Entry(0, {'Z'}, 0, 0)));
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.page.m_programs->topLevelItemCount(), 32);
    // A reply for channel 4 is not taken.
    p.page.OnRead();
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamProgram, ProgramReply(4, 0, 1, Entry(0, {'Q'}, 0, 0)));
    EXPECT_TRUE(p.page.IsBusy());
}

}  // namespace cam4_decrypt_test
}  // namespace nms
