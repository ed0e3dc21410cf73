#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "encoder_multi_support.h"
#include "pages/encoder/magnum_cmd_view.h"
#include "pages/encoder/magnum_view.h"
#include "pages/encoder/net_descriptor_dlg.h"

namespace nms {
namespace magnum_test {

using test::EncoderMultiSim;
using test::PageFixture;
using test::Pump;

QLineEdit* Edit(Cmagnum& page, const char* key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}
QComboBox* Combo(Cmagnum& page, const char* key) {
    return qobject_cast<QComboBox*>(page.Binder().Control(key));
}

std::vector<int> Blocks(const std::vector<test::SentPacket>& sent, uint8_t command) {
    std::vector<int> out;
    for (const auto& p : sent)
        if (p.command == command)
            out.push_back(p.payload.at(2));
    return out;
}

TEST(MagnumTest, GetReadsEveryBlockThenAsksTheVersion) {
    struct Case {
        uint16_t type;
        int pageParam;
        std::vector<int> blocks;
    };
    for (const Case& c : {Case{0x1302, 81, {0, 1, 2, 3}}, Case{0x1301, 0, {0, 1}}}) {
        SCOPED_TRACE(c.pageParam);
        PageFixture fx(c.type);
        EncoderMultiSim sim(c.type);
        Cmagnum page;
        fx.Bind(&page, c.pageParam);
        const auto sent = Pump(fx, sim);
        EXPECT_EQ(Blocks(sent, 0x60), c.blocks);
        EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{0, 0, 0, 0}));
        EXPECT_EQ(sent.back().command, 0x02);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(Edit(page, "name")->text(), "Magnum 1");
        EXPECT_EQ(Edit(page, "vbitrate")->text(), "3000");
        EXPECT_TRUE(page.m_enable->isChecked());
        EXPECT_FALSE(page.m_rescaler->isChecked());
        EXPECT_EQ(page.m_rescaler->text(), "Rescaler-0");
        EXPECT_FALSE(page.m_script->isVisible());
    }
}

TEST(MagnumTest, SetWritesEveryBlockAsReadAndEndsTheWaitAfterTheLast) {
    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum page;
    fx.Bind(&page, 81);
    Pump(fx, sim);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    for (int block = 0; block < 4; ++block) {
        auto sent = fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        ASSERT_EQ(sent->payload.size(), 771u);
        EXPECT_EQ(sent->payload[2], block);
        std::vector<uint8_t> expected = sim.ChannelRecord(2 * block);
        expected.insert(expected.end(), sim.ChannelRecord(2 * block + 1).begin(),
                        sim.ChannelRecord(2 * block + 1).end());
        EXPECT_EQ(std::vector<uint8_t>(sent->payload.begin() + 3, sent->payload.end()), expected);
        EXPECT_TRUE(page.IsBusy());
        fx.FeedReply(0x61, {0, 0, uint8_t(block)});
    }
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(MagnumTest, BlockRepliesOutsideTheRecordsRepeatedOrShortDoNotRunPastThem) {
    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum page;
    fx.Bind(&page, 81);
    auto sent = fx.TakeSentPacket();
    auto reply = sim.Handle(0x60, sent->payload)->payload;
    fx.FeedReply(0x60, reply);
    ASSERT_EQ(fx.TakeSentPacket()->payload[2], 1);
    fx.FeedReply(0x60, reply);  // block 0 again
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FeedReply(0x60, std::vector<uint8_t>(reply.begin(), reply.begin() + 500));
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_TRUE(page.IsBusy());
    reply[2] = 4;  // a fifth block: no record holds it
    fx.FeedReply(0x60, reply);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(MagnumTest, FormRulesClampAndSharePairFields) {
    struct PixelCase {
        int pixel, rate, expected;
    };
    for (const PixelCase c : {PixelCase{1, 2, 0}, PixelCase{0, 0, 2}, PixelCase{0, 1, 1}, PixelCase{0, 2, 2}})
        EXPECT_EQ(MagnumLogic::FrameRateForPixel(c.pixel, c.rate), c.expected);

    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum page;
    fx.Bind(&page, 81);
    Pump(fx, sim);
    page.OnSelChangeTab(3);
    Edit(page, "vbitrate")->setText("50");
    page.m_volume->setChecked(true);
    page.OnVolume();
    EXPECT_EQ(page.m_volumeEdit->text(), "25");
    page.m_volumeEdit->setText("150");
    Combo(page, "pixel")->setCurrentIndex(0);
    page.OnSelChangePixel();
    EXPECT_EQ(Combo(page, "framerate")->currentIndex(), 2);
    page.m_enable->setChecked(false);
    page.OnSelChangeTab(0);
    const auto& odd = page.Logic().Record(3).Bytes();
    const auto& even = page.Logic().Record(2).Bytes();
    EXPECT_EQ(odd[45] | odd[46] << 8, 100);
    EXPECT_EQ(odd[130], 101);
    EXPECT_EQ(even[130], 0);  // the volume is the channel's own
    for (const auto* r : {&odd, &even}) {
        EXPECT_EQ((*r)[0], 0);  // pixel, frame rate and enable belong to the pair
        EXPECT_EQ((*r)[1], 2);
        EXPECT_EQ((*r)[3], 1);
    }
    EXPECT_EQ(page.Logic().Record(1).Bytes()[0], 1);  // another pair keeps its own
}

// The name fields hold 31 characters; their edits show a whole name without scrolling it.
TEST(MagnumTest, NameEditsShowAWholeName) {
    Cmagnum page;
    const QString name = "NEWS-13 NEWS CHANNEL HD 1080i 5";
    ASSERT_EQ(name.size(), 31);
    for (const char* key : {"name", "provider"}) {
        SCOPED_TRACE(key);
        QLineEdit* edit = Edit(page, key);
        EXPECT_GE(edit->minimumWidth(), edit->fontMetrics().horizontalAdvance(name) + 8);
    }
}

TEST(MagnumTest, PictureAdjustmentIsStoredOnlyWhenTheRecordHasIt) {
    PageFixture fx(0x1301);
    EncoderMultiSim sim(0x1301);
    Cmagnum page;
    fx.Bind(&page, 0);
    auto sent = fx.TakeSentPacket();
    auto reply = sim.Handle(0x60, sent->payload)->payload;
    reply[3 + 384 + 256] = 0;  // channel 1 has none
    fx.FeedReply(0x60, reply);
    Pump(fx, sim);
    EXPECT_TRUE(page.Binder().IsUsed("contrast"));
    EXPECT_EQ(Edit(page, "contrast")->text(), "128");
    page.OnSelChangeTab(1);
    EXPECT_FALSE(page.Binder().IsUsed("contrast"));
    EXPECT_FALSE(Edit(page, "brightness")->isVisible());
}

// The script of a channel pair: read in packets of five lines, edited in the dialog, written back.
TEST(MagnumTest, ScriptIsReadEditedAndWrittenFiveLinesAPacket) {
    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum page;
    fx.Bind(&page, 81);
    Pump(fx, sim);
    std::string shown;
    std::string typed;
    for (int i = 1; i <= 12; ++i)
        typed += "line " + std::to_string(i) + "\r\n";
    page.m_runDialog = [&](CNetDescriptorDlg& dialog) {
        shown = dialog.m_text;
        dialog.m_text = typed;
        return true;
    };
    page.OnScript();
    auto read = Pump(fx, sim);
    ASSERT_EQ(read.size(), 2u);  // lines 0-4, then first line 5 reaches the count of 2
    EXPECT_EQ(read[1].payload, (std::vector<uint8_t>{0, 0, 0, 5}));
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, "# channel pair script 1\r\nrescaler on 1\r\n");
    auto written = Pump(fx, sim);
    ASSERT_EQ(written.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(written[size_t(k)].command, 0x63);
        EXPECT_EQ(written[size_t(k)].payload.size(), 905u);
        EXPECT_EQ(written[size_t(k)].payload[3], 5 * k);
        EXPECT_EQ(written[size_t(k)].payload[4], 12);
    }
    EXPECT_FALSE(page.IsBusy());
    const auto lines = sim.ScriptLines(0);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(std::string(lines[11].begin(), lines[11].end()), "line 12");
}

TEST(MagnumTest, ScriptTextsThatDoNotFitAreRefusedWithAMessage) {
    struct Case {
        std::string text;
        std::string message;
    };
    std::string many;
    for (int i = 0; i < 101; ++i)
        many += "x\r\n";
    const Case cases[] = {{std::string(180, 'a'), "Line 1 is longer than 179 characters."},
                          {many, "The script has 101 lines; at most 100 fit."}};
    for (const Case& c : cases) {
        PageFixture fx(0x1302);
        EncoderMultiSim sim(0x1302);
        Cmagnum page;
        fx.Bind(&page, 81);
        Pump(fx, sim);
        page.m_runDialog = [&](CNetDescriptorDlg& dialog) {
            dialog.m_text = c.text;
            return true;
        };
        page.OnScript();
        Pump(fx, sim);
        QCoreApplication::processEvents();
        EXPECT_FALSE(fx.TakeSentPacket());
        ASSERT_FALSE(fx.Prompt().shown.empty());
        EXPECT_EQ(fx.Prompt().shown.back().text, c.message);
    }
    EXPECT_EQ(ScriptExchange::SplitLines("a\r\n\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ScriptExchange::SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
}

TEST(MagnumTest, ScriptRepliesPastTheStoreEndTheChain) {
    for (const auto& [pair, count] : {std::pair{4, 3}, std::pair{0, 101}}) {
        PageFixture fx(0x1302);
        Cmagnum page;
        fx.Bind(&page, 81);
        fx.TakeSentPacket();
        fx.FireTimer(&page, kWaitTimerId);
        bool opened = false;
        page.m_runDialog = [&](CNetDescriptorDlg&) { return opened = true, false; };
        page.OnScript();
        ASSERT_TRUE(fx.TakeSentPacket());
        std::vector<uint8_t> reply = {0, 0, uint8_t(pair), 0, uint8_t(count)};
        reply.resize(905, 'z');
        fx.FeedReply(0x62, reply);
        EXPECT_FALSE(fx.TakeSentPacket());
        EXPECT_FALSE(page.IsBusy());
    }
}

// The request a late reply answers, made after the replies of the run that come in time.
enum class Action { kGet, kSet, kScript, kReset };

// Answers `inTime` requests, lets the wait for the next run out and delivers its reply then; returns the
// commands the page sent after the late reply (a second copy of it included, which must start nothing).
template <typename Page>
std::vector<uint8_t> ReplyAfterTimeOut(PageFixture& fx, EncoderMultiSim& sim, Page& page, int inTime) {
    for (int i = 0; i < inTime; ++i) {
        auto sent = fx.TakeSentPacket();
        EXPECT_TRUE(sent);
        if (!sent)
            return {};
        fx.FeedReply(sent->command, sim.Handle(sent->command, sent->payload)->payload);
    }
    auto pending = fx.TakeSentPacket();
    EXPECT_TRUE(pending);
    if (!pending)
        return {};
    EXPECT_TRUE(page.IsBusy());
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    const auto late = sim.Handle(pending->command, pending->payload);
    EXPECT_TRUE(late);
    fx.FeedReply(pending->command, late->payload);
    fx.FeedReply(pending->command, late->payload);
    QCoreApplication::processEvents();  // a dialog the reply opens
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(page.Logic().Waiting());
    std::vector<uint8_t> sent;
    while (auto packet = fx.TakeSentPacket())
        sent.push_back(packet->command);
    return sent;
}

// A reply after its wait ran out is shown as it would have been in time, but continues no chain and
// starts no wait; the version request a finished read asks for still goes out.
TEST(MagnumTest, AReplyAfterTheTimeOutIsShownAndStartsNothing) {
    struct Case {
        const char* name;
        int pageParam;
        Action action;
        int inTime;
        std::vector<uint8_t> after;
        bool dialog;
    };
    const Case cases[] = {
        {"first block of a read", 81, Action::kGet, 0, {}, false},
        {"last block of a read", 0, Action::kGet, 1, {0x02}, false},
        {"first block of a write", 81, Action::kSet, 0, {}, false},
        {"last script packet", 81, Action::kScript, 1, {}, true},
        {"reset", 81, Action::kReset, 0, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint16_t type = c.pageParam == 81 ? 0x1302 : 0x1301;
        PageFixture fx(type);
        EncoderMultiSim sim(type);
        Cmagnum page;
        bool opened = false;
        page.m_runDialog = [&](CNetDescriptorDlg&) { return opened = true, false; };
        fx.Bind(&page, c.pageParam);
        if (c.action != Action::kGet) {
            Pump(fx, sim);
            Edit(page, "name")->setText("typed");
        }
        if (c.action == Action::kSet)
            QTest::mouseClick(page.m_set, Qt::LeftButton);
        else if (c.action == Action::kScript)
            page.OnScript();
        else if (c.action == Action::kReset)
            page.OnReset();
        EXPECT_EQ(ReplyAfterTimeOut(fx, sim, page, c.inTime), c.after);
        EXPECT_EQ(opened, c.dialog);
        EXPECT_EQ(Edit(page, "name")->text(), c.action == Action::kGet ? "Magnum 1" : "typed");
    }
}

TEST(MagnumCmdTest, SevenLinesGoAsTwoPacketsWithTheirLineEnds) {
    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum_cmd4 page;
    fx.Bind(&page, 81);
    EXPECT_EQ(page.m_pair->count(), 4);
    page.m_text->setPlainText("a\nb\nc\nd\ne\nf\ng");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    const auto sent = Pump(fx, sim);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].payload[3], 0);
    EXPECT_EQ(sent[1].payload[3], 5);
    EXPECT_EQ(sent[1].payload[4], 7);
    EXPECT_FALSE(page.IsBusy());
    const auto lines = sim.ScriptLines(0);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(std::string(lines[6].begin(), lines[6].end()), "g\r\n");

    page.OnClear();
    QTest::mouseClick(page.m_get, Qt::LeftButton);
    const auto read = Pump(fx, sim);
    EXPECT_EQ(read.size(), 3u);  // first lines 0, 5, then 10 says the count was reached
    EXPECT_EQ(page.m_text->toPlainText(), "a\nb\nc\nd\ne\nf\ng\n");
}

TEST(MagnumCmdTest, TooLongTextsAreRefused) {
    struct Case {
        std::string text;
        std::string message;
    };
    std::string many;
    for (int i = 0; i < 121; ++i)
        many += "x\n";
    const Case cases[] = {{std::string(21600, 'a'), "Length is over:21600,21600"},
                          {std::string(178, 'a'), "Line 1 is longer than 177 characters."},
                          {many, "The script has 121 lines; at most 120 fit."}};
    for (const Case& c : cases) {
        PageFixture fx(0x1302);
        Cmagnum_cmd4 page;
        fx.Bind(&page, 0);
        page.m_text->setPlainText(QString::fromStdString(c.text));
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        EXPECT_FALSE(fx.TakeSentPacket());
        ASSERT_FALSE(fx.Prompt().shown.empty());
        EXPECT_EQ(fx.Prompt().shown.back().text, c.message);
    }
}

TEST(MagnumCmdTest, LogArrivesInSegmentsAndIsAppendedOnce) {
    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum_cmd4 page;
    fx.Bind(&page, kMagnumLogPageParam);
    EXPECT_FALSE(page.m_pair->isVisibleTo(&page));
    EXPECT_EQ(page.m_set->text(), "Disable");
    page.m_text->setPlainText("before\n");
    QTest::mouseClick(page.m_get, Qt::LeftButton);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{0}));
    fx.FeedReply(0x08, sim.Handle(0x08, sent->payload)->payload);
    EXPECT_EQ(page.m_text->toPlainText(), "before\n");
    sent = fx.TakeSentPacket();
    fx.FeedReply(0x08, sim.Handle(0x08, sent->payload)->payload);
    fx.FeedReply(0x08, sim.Handle(0x08, sent->payload)->payload);  // repeated: ignored
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{2}));
    fx.FeedReply(0x08, sim.Handle(0x08, sent->payload)->payload);
    EXPECT_EQ(page.m_text->toPlainText(), "before\nlog segment 1\nlog segment 2\nlog segment 3\n");
    EXPECT_FALSE(fx.TakeSentPacket());
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_EQ(page.m_set->text(), "Enable");
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(MagnumCmdTest, LogLongerThanItsBufferIsCutThereAndTheChainEnds) {
    PageFixture fx(0x1302);
    Cmagnum_cmd4 page;
    fx.Bind(&page, kMagnumLogPageParam);
    QTest::mouseClick(page.m_get, Qt::LeftButton);
    fx.TakeSentPacket();
    std::vector<uint8_t> reply = {0, 9, 0x10, 0x00};  // 4096 bytes of nine segments
    reply.resize(4 + 4096, 'a');
    fx.FeedReply(0x08, reply);
    ASSERT_TRUE(fx.TakeSentPacket());
    reply[0] = 1;
    fx.FeedReply(0x08, reply);
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_EQ(page.m_text->toPlainText().size(), 6144);
}

TEST(MagnumCmdTest, AReplyAfterTheTimeOutIsTakenButStartsNothing) {
    struct Case {
        const char* name;
        Action action;
        int inTime;
        QString text;  // the edit after the late reply
    };
    const Case cases[] = {
        // A read that stopped half-way shows nothing: a Set would write the half as the whole script.
        {"first packet of a read", Action::kGet, 0, "typed"},
        {"last packet of a read", Action::kGet, 1, "# channel pair script 1rescaler on 1"},
        {"reset", Action::kReset, 0, "typed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageFixture fx(0x1302);
        EncoderMultiSim sim(0x1302);
        Cmagnum_cmd4 page;
        fx.Bind(&page, 81);
        page.m_text->setPlainText(c.action == Action::kSet ? "a\nb\nc\nd\ne\nf\ng" : "typed");
        QTest::mouseClick(c.action == Action::kGet   ? page.m_get
                          : c.action == Action::kSet ? page.m_set
                                                     : page.m_reset,
                          Qt::LeftButton);
        EXPECT_EQ(ReplyAfterTimeOut(fx, sim, page, c.inTime), std::vector<uint8_t>{});
        EXPECT_EQ(page.m_text->toPlainText(), c.text);
    }
}

// A device that answers slowly still gets the whole script: the wait ran out after the first packet, and
// the late acknowledgement and the ones after it carry the write on to its last line without a new wait
// (stopping there would leave the pair with a count of 12 and only five new lines).
TEST(MagnumCmdTest, AWriteWhoseReplyCameAfterTheTimeOutStillWritesEveryLine) {
    PageFixture fx(0x1302);
    EncoderMultiSim sim(0x1302);
    Cmagnum_cmd4 page;
    fx.Bind(&page, 81);
    QString text;
    for (int i = 1; i <= 12; ++i)
        text += QString("line %1\n").arg(i);
    page.m_text->setPlainText(text);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto first = fx.TakeSentPacket();
    ASSERT_TRUE(first);
    ASSERT_EQ(first->command, 0x63);
    ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
    EXPECT_FALSE(page.IsBusy());

    auto reply = sim.Handle(first->command, first->payload);
    ASSERT_TRUE(reply);
    fx.FeedReply(0x63, reply->payload);
    std::vector<std::pair<int, int>> packets;  // first line, count
    for (int i = 0; i < 3; ++i) {
        auto next = fx.TakeSentPacket();
        if (!next)
            break;
        ASSERT_EQ(next->command, 0x63);
        ASSERT_EQ(next->payload.size(), 905u);
        packets.push_back({next->payload[3], next->payload[4]});
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(page.Timers().Interval(kWaitTimerId), 0);
        reply = sim.Handle(next->command, next->payload);
        ASSERT_TRUE(reply);
        fx.FeedReply(0x63, reply->payload);
    }
    EXPECT_EQ(packets, (std::vector<std::pair<int, int>>{{5, 12}, {10, 12}}));
    fx.FeedReply(0x63, reply->payload);  // a second copy of the last acknowledgement
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_FALSE(page.Logic().Waiting());
    const auto lines = sim.ScriptLines(0);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(std::string(lines[11].begin(), lines[11].end()), "line 12\r\n");
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
}

}  // namespace magnum_test
}  // namespace nms
