#include "pages/ird/cam_ird_view.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "page_fixture.h"

namespace nms {
namespace cam_ird_view_test {

using test::PageFixture;

std::vector<uint8_t> ProgramReply(uint8_t number, uint8_t count, uint8_t operation, bool programCa) {
    std::vector<uint8_t> p = {1, number, count};
    std::vector<uint8_t> record(kCamIrdProgramSize, 0);
    record[0] = operation;
    record[1] = 'P';
    record[2] = uint8_t('0' + number);
    record[67] = number;
    record[77] = 1;
    record[78] = 0x02;
    record[79] = 0x00, record[80] = 0x01;
    if (programCa) {
        record[1614] = 1;
        record[1615] = 0x00, record[1616] = 0x0b;
        record[1617] = 0x10, record[1618] = 0x01;
    }
    p.insert(p.end(), record.begin(), record.end());
    return p;
}

struct ProgramPage {
    PageFixture fx{0x5106};
    CCAMIRDView page;
    ProgramPage() {
        fx.Bind(&page);
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamIrdCat);  // showing refreshes
        fx.FireTimer(&page, kWaitTimerId);
    }
    // repeated: each program reply comes twice.
    void ReadChain(int count, uint8_t firstOperation = 0, bool repeated = false) {
        QTest::mouseClick(page.m_parse, Qt::LeftButton);
        auto sent = fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, 1, 0}));
        fx.FeedReply(kCmdCamIrdParse, {1, uint8_t(count)});
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamIrdCat);
        fx.FeedReply(kCmdCamIrdCat, {1, 1, 0x00, 0x0b, 0x20, 0x00});
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamIrdConfig);
        std::vector<uint8_t> config(kCamOutputConfigSize, 0);
        config[0] = 0x34, config[1] = 0x12;
        config[6] = 0x10, config[7] = 0x27;  // 10000 kbit/s
        fx.FeedReply(kCmdCamIrdConfig, config);
        for (int n = 1; n <= count; ++n) {
            sent = fx.TakeSentPacket();
            ASSERT_TRUE(sent);
            EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, uint8_t(n), 0}));
            const std::vector<uint8_t> reply =
                ProgramReply(uint8_t(n), uint8_t(count), n == 1 ? firstOperation : 1, n == 2);
            fx.FeedReply(kCmdCamIrdProgram, reply);
            if (repeated && n < count) {
                // The request for the next program stays the only one; the chain waits for its reply.
                fx.FeedReply(kCmdCamIrdProgram, reply);
                ASSERT_TRUE(page.IsBusy());
            }
        }
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
        EXPECT_FALSE(page.IsBusy());
    }
};

TEST(CamIrdViewTest, ParseReadsCatConfigurationAndEveryProgram) {
    ProgramPage p;
    p.ReadChain(3, 7);
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(7), "Bypass");  // 7 shows as Bypass
    EXPECT_EQ(p.page.m_programs->topLevelItem(1)->text(1), "($)P2");
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(1), "P1");
    EXPECT_EQ(p.page.m_cat->topLevelItemCount(), 1);  // the CAT list keeps its rows
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.ConfigBinder().Control("tsId"))->text(), "1234");
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.ConfigBinder().Control("bitrate"))->text(), "10.000");

    QTest::mouseClick(p.page.m_sendSelection, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->payload.size(), 3u + 76u);
    EXPECT_EQ(sent->payload[2], 7);  // sent back as read
    EXPECT_EQ(sent->payload[5], 0x34);
}

TEST(CamIrdViewTest, ASecondCopyOfAProgramReplyIsIgnored) {
    ProgramPage p;
    p.ReadChain(3, 0, true);
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(p.page.m_programs->topLevelItem(2)->text(1), "P3");  // the last program is read
    EXPECT_EQ(p.page.m_programs->topLevelItem(2)->text(2), "0003");
}

// Each program reply that is not a copy moves the read on to the next number, whichever program it
// carries: one outside 1..128 is not stored, another one lands in its own row; every program the device
// counts is asked for, also beyond the 128 the table holds.
TEST(CamIrdViewTest, TheProgramReadGoesOnWhicheverProgramAReplyCarries) {
    const struct {
        const char* what;
        uint8_t count;
        std::vector<uint8_t> numbers;  // the program each reply carries, in order
        int rows;                      // rows listed at the end
    } cases[] = {
        {"program 0", 3, {1, 0, 3}, 3},
        {"program 200", 3, {1, 200, 3}, 3},
        {"program 3 instead of 2", 3, {1, 3, 2}, 3},
        {"a count above the table", 130, {}, 128},
    };
    for (const auto& c : cases) {
        ProgramPage p;
        QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
        p.fx.TakeSentPacket();
        p.fx.FeedReply(kCmdCamIrdParse, {1, c.count});
        p.fx.TakeSentPacket();
        p.fx.FeedReply(kCmdCamIrdCat, {1, 0});
        p.fx.TakeSentPacket();
        p.fx.FeedReply(kCmdCamIrdConfig, std::vector<uint8_t>(kCamOutputConfigSize, 0));
        for (int n = 1; n <= c.count; ++n) {
            auto sent = p.fx.TakeSentPacket();
            ASSERT_TRUE(sent) << c.what << " program " << n;
            EXPECT_EQ(sent->command, kCmdCamIrdProgram) << c.what;
            EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, uint8_t(n), 0})) << c.what;
            const uint8_t carried = c.numbers.empty() ? uint8_t(n) : c.numbers[size_t(n - 1)];
            p.fx.FeedReply(kCmdCamIrdProgram, ProgramReply(carried, c.count, 0, false));
        }
        auto sent = p.fx.TakeSentPacket();
        ASSERT_TRUE(sent) << c.what;
        EXPECT_EQ(sent->command, kVersionCommand) << c.what;
        EXPECT_FALSE(p.page.IsBusy()) << c.what;
        EXPECT_EQ(p.page.m_programs->topLevelItemCount(), c.rows) << c.what;
    }
}

// Counts beyond what the record holds are clamped: 32 streams, 10 CA entries a stream, 54 program CA
// entries (they end before the colour byte); the CAT list holds what arrived.
TEST(CamIrdViewTest, OversizedCountsStayInsideTheRecord) {
    ProgramPage p;
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdParse, {1, 1});
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdCat, {1, 200, 0x00, 0x0b, 0x20, 0x00, 0x00, 0x0c, 0x21, 0x00});
    EXPECT_EQ(p.page.m_cat->topLevelItemCount(), 2);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdConfig, std::vector<uint8_t>(kCamOutputConfigSize, 0));
    p.fx.TakeSentPacket();
    std::vector<uint8_t> reply = ProgramReply(1, 1, 0, false);
    reply[2] = 1;
    uint8_t* record = reply.data() + 3;
    record[77] = 200;      // streams
    record[78 + 5] = 255;  // CA entries of stream 1
    for (int j = 0; j < 12; ++j)
        record[78 + 6 + 4 * j] = uint8_t(j + 1);
    record[1614] = 255;  // program CA entries
    for (int j = 0; j < 55; ++j)
        record[1615 + 4 * j] = uint8_t(j + 1);
    record[1833] = 0;
    p.fx.FeedReply(kCmdCamIrdProgram, reply);
    EXPECT_FALSE(p.page.IsBusy());
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 1);
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(5), "32");
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(6), "54");
    p.page.m_programs->setCurrentItem(p.page.m_programs->topLevelItem(0));
    p.page.OnClickProgramList();
    EXPECT_EQ(p.page.m_elements->topLevelItemCount(), 32);
    EXPECT_EQ(p.page.m_elements->topLevelItem(0)->text(3).split('/').size(), 10);
    ASSERT_EQ(p.page.m_ca->topLevelItemCount(), 54);
    EXPECT_EQ(p.page.m_ca->topLevelItem(53)->text(1), "0036");
}

TEST(CamIrdViewTest, ServiceIdsAndMessages) {
    ProgramPage p;
    p.ReadChain(5);
    QTest::mouseClick(p.page.m_sendSelection, Qt::LeftButton);
    EXPECT_EQ(p.fx.TakeSentPacket()->payload.size(), 81u);
    p.fx.FeedReply(kCmdCamIrdSelection, {});

    QTest::mouseClick(p.page.m_setServiceId, Qt::LeftButton);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Not select index");
    p.page.m_programs->setCurrentItem(p.page.m_programs->topLevelItem(1));
    p.page.OnClickProgramList();
    EXPECT_EQ(p.page.m_serviceId->text(), "2");
    EXPECT_EQ(p.page.m_elements->topLevelItem(0)->text(1), "MPEG2 VIDEO(02)");
    EXPECT_EQ(p.page.m_ca->topLevelItemCount(), 1);
    p.page.m_serviceId->setMaxLength(8);
    p.page.m_serviceId->setText("12345");
    QTest::mouseClick(p.page.m_setServiceId, Qt::LeftButton);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Not HEX(0~9,A,B,C,D)");
    EXPECT_FALSE(p.fx.TakeSentPacket());
    p.page.m_serviceId->setText("1ab");
    QTest::mouseClick(p.page.m_setServiceId, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdWriteProgram);
    EXPECT_EQ(sent->payload.size(), 2u + kCamIrdProgramSize);
    EXPECT_EQ(sent->payload[1], 2);
    EXPECT_EQ(sent->payload[2 + 67], 0xab);

    // No input, no such source; late replies drive nothing.
    p.fx.FeedReply(kCmdCamIrdWriteProgram, {});
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdParse, {1, 0});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Source DVB-ASI no input.");
    p.page.m_source->setCurrentIndex(2);
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdParse, {3, 0xff});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "No this source2(DVB-C),please choose other source:2");
    p.fx.FeedReply(kCmdCamIrdCat, {3, 0});
    EXPECT_FALSE(p.fx.TakeSentPacket());
}

// An accepted source change keeps the choice, so Parse reads that source; a refusal sets the list back to
// the source the page reads and says so.
TEST(CamIrdViewTest, AnAcceptedSourceStaysChosenAndARefusedOneIsSetBack) {
    ProgramPage p;
    p.page.m_source->setCurrentIndex(1);  // "DVB-S"
    p.page.OnSelChangeSource();
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdSource);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{2, 1, 0}));
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(kCmdCamIrdSource, {2, 1});
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.page.m_source->currentIndex(), 1);
    EXPECT_TRUE(p.fx.Prompt().shown.empty());
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdParse);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{2, 1, 0}));
    p.fx.FeedReply(kCmdCamIrdParse, {2, 0});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Source DVB-S/S2 no input.");

    p.page.m_source->setCurrentIndex(2);  // "DVB-C", refused
    p.page.OnSelChangeSource();
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{3, 1, 0}));
    p.fx.FeedReply(kCmdCamIrdSource, {3, 0});
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "No this source:DVB-S/S2");
    EXPECT_EQ(p.page.m_source->currentIndex(), 1);
}

// The reading chain goes on with replies that come after its wait ran out (no new wait starts); any other
// late reply is shown once and starts nothing.
TEST(CamIrdViewTest, LateRepliesCarryTheReadingChainOn) {
    ProgramPage p;
    p.fx.TakeSentPacket();
    QTest::mouseClick(p.page.m_refresh, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdCat);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));  // "Operation timeout"
    EXPECT_FALSE(p.page.IsBusy());

    p.fx.FeedReply(kCmdCamIrdCat, {1, 1, 0x00, 0x0b, 0x20, 0x00});
    EXPECT_EQ(p.page.m_cat->topLevelItemCount(), 1);
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdConfig);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1}));
    EXPECT_FALSE(p.page.IsBusy());
    p.fx.FeedReply(kCmdCamIrdConfig, std::vector<uint8_t>(kCamOutputConfigSize, 0));
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdProgram);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, 1, 0}));
    p.fx.FeedReply(kCmdCamIrdProgram, ProgramReply(1, 2, 0, false));
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{1, 2, 0}));
    p.fx.FeedReply(kCmdCamIrdProgram, ProgramReply(2, 2, 1, true));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kVersionCommand);
    EXPECT_EQ(p.page.m_programs->topLevelItemCount(), 2);
    EXPECT_FALSE(p.page.IsBusy());

    // A late program reply in the middle of a chain that timed out there goes on from that program.
    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdParse, {1, 2});
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdCat, {1, 0});
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdConfig, std::vector<uint8_t>(kCamOutputConfigSize, 0));
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdProgram, ProgramReply(1, 2, 0, false));
    EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{1, 2, 0}));
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    p.fx.FeedReply(kCmdCamIrdProgram, ProgramReply(2, 2, 2, false));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kVersionCommand);
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 2);
    EXPECT_EQ(p.page.m_programs->topLevelItem(1)->text(7), "CI-2");

    // A late refusal of a source change is shown once and starts nothing.
    p.page.m_source->setCurrentIndex(3);
    p.page.OnSelChangeSource();
    p.fx.TakeSentPacket();
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    const size_t shown = p.fx.Prompt().shown.size();
    p.fx.FeedReply(kCmdCamIrdSource, {4, 0});
    ASSERT_EQ(p.fx.Prompt().shown.size(), shown + 1);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "No this source:DVB-ASI");
    EXPECT_EQ(p.page.m_source->currentIndex(), 0);
    EXPECT_FALSE(p.fx.TakeSentPacket());
    p.fx.FeedReply(kCmdCamIrdSource, {4, 0});
    EXPECT_EQ(p.fx.Prompt().shown.size(), shown + 1);
}

}  // namespace cam_ird_view_test
}  // namespace nms
