#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "encoder_multi_support.h"
#include "pages/encoder/encoder8_view.h"

namespace nms {
namespace encoder8_test {

using test::EncoderMultiSim;
using test::PageFixture;
using test::Pump;

QLineEdit* Edit(Cencoder8& page, const char* key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}
QComboBox* Combo(Cencoder8& page, const char* key) {
    return qobject_cast<QComboBox*>(page.Binder().Control(key));
}

// The first channels of the pairs a chain of one command asked for.
std::vector<int> Firsts(const std::vector<test::SentPacket>& sent, uint8_t command, size_t firstAt) {
    std::vector<int> out;
    for (const auto& p : sent)
        if (p.command == command && p.payload.size() > firstAt)
            out.push_back(p.payload[firstAt]);
    return out;
}

std::vector<uint8_t> Concat(const std::vector<uint8_t>& head, const std::vector<uint8_t>& a,
                            const std::vector<uint8_t>& b) {
    std::vector<uint8_t> out = head;
    out.insert(out.end(), a.begin(), a.end());
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

TEST(Encoder8Test, NarrowGetRunsOneChainOfFourPairsThenAsksTheVersion) {
    struct Case {
        uint16_t type;
        int pageParam;
        int tabs;
    };
    for (const Case c : {Case{0x1808, 82, 8}, Case{0x4203, 84, 4}}) {
        SCOPED_TRACE(c.type);
        PageFixture fx(c.type);
        EncoderMultiSim sim(c.type);
        Cencoder8 page;
        fx.Bind(&page, c.pageParam);
        const auto sent = Pump(fx, sim);
        // One request per reply: the first reply does not also ask again.
        EXPECT_EQ(test::Commands(sent), (std::vector<uint8_t>{0x60, 0x60, 0x60, 0x60, 0x02}));
        EXPECT_EQ(Firsts(sent, 0x60, 2), (std::vector<int>{0, 2, 4, 6}));
        EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{0, 0, 0}));
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(page.m_tabs->count(), c.tabs);
        EXPECT_EQ(page.m_tabs->tabText(0), "CH1");
        EXPECT_EQ(Edit(page, "name")->text(), "Channel 1");
        EXPECT_EQ(Edit(page, "pmt")->text(), "100");
        EXPECT_EQ(Combo(page, "abitrate")->count(), c.pageParam == 82 ? 10 : 18);
    }
}

TEST(Encoder8Test, NarrowReplyWithBit3OfItsFirstSequencingByteShowsFourTabs) {
    PageFixture fx(0x1808);
    EncoderMultiSim sim(0x1808);
    Cencoder8 page;
    fx.Bind(&page, 82);
    for (int first = 0; first <= 6; first += 2) {
        auto sent = fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        fx.FeedReply(0x60, sim.Handle(0x60, sent->payload)->payload, 0x09, 1);
    }
    EXPECT_EQ(page.m_tabs->count(), 4);
}

TEST(Encoder8Test, NarrowUntouchedSetWritesEveryPairAsRead) {
    PageFixture fx(0x1808);
    EncoderMultiSim sim(0x1808);
    Cencoder8 page;
    fx.Bind(&page, 82);
    Pump(fx, sim);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    std::vector<test::SentPacket> sets;
    for (int i = 0; i < 8; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            break;
        sets.push_back(*sent);
        EXPECT_TRUE(page.IsBusy());  // the wait ends after the last pair only
        fx.FeedReply(0x61, {0, 0, sent->payload[2]});
    }
    ASSERT_EQ(sets.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(sets[size_t(k)].payload,
                  Concat({0, 0, uint8_t(2 * k)}, sim.ChannelRecord(2 * k), sim.ChannelRecord(2 * k + 1)));
    }
    EXPECT_FALSE(page.IsBusy());
}

TEST(Encoder8Test, RepeatedShortAndLateRepliesChangeNothing) {
    PageFixture fx(0x1808);
    EncoderMultiSim sim(0x1808);
    Cencoder8 page;
    fx.Bind(&page, 82);
    auto first = fx.TakeSentPacket();
    const auto reply0 = sim.Handle(0x60, first->payload)->payload;
    fx.FeedReply(0x60, reply0);
    auto second = fx.TakeSentPacket();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->payload[2], 2);
    fx.FeedReply(0x60, reply0);  // the same pair again: no new request
    EXPECT_FALSE(fx.TakeSentPacket());
    auto reply2 = sim.Handle(0x60, second->payload)->payload;
    fx.FeedReply(0x60, std::vector<uint8_t>(reply2.begin(), reply2.begin() + 200));  // short
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_TRUE(page.IsBusy());
    fx.FireTimer(&page, kWaitTimerId);  // time-out: the chain stops
    EXPECT_FALSE(page.IsBusy());
    fx.FeedReply(0x60, reply2);  // late
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_FALSE(page.IsBusy());
}

TEST(Encoder8Test, WideGetAsksOnePairPerTwoChannels) {
    struct Case {
        uint16_t type;
        int pageParam;
        int requests;
    };
    for (const Case c : {Case{0x4236, 88, 6}, Case{0x1303, 87, 8}}) {
        SCOPED_TRACE(c.type);
        PageFixture fx(c.type);
        EncoderMultiSim sim(c.type);
        Cencoder8 page;
        fx.Bind(&page, c.pageParam);
        const auto sent = Pump(fx, sim);
        const auto firsts = Firsts(sent, 0x60, 8);
        ASSERT_EQ(int(firsts.size()), c.requests);
        EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(firsts.back(), 2 * (c.requests - 1));
        EXPECT_EQ(sent.back().command, 0x02);
        EXPECT_EQ(page.m_tabs->count(), 2 * c.requests);
        EXPECT_EQ(page.m_tabs->tabText(2 * c.requests - 1), QString("CH%1").arg(2 * c.requests));
        EXPECT_TRUE(page.m_copyAll->isVisible());
        EXPECT_EQ(Combo(page, "level")->currentText(), "Level 3.1");
        EXPECT_EQ(page.m_info->text(), "0,0");
        // Only the twelve-channel scrambling model goes without its scrambler controls.
        const bool scrambler = c.pageParam != 88;
        EXPECT_EQ(page.Binder().Control("scr1")->isVisible(), scrambler);
        EXPECT_EQ(Edit(page, "ecm4")->isVisible(), scrambler);
        EXPECT_EQ(page.Binder().IsUsed("ecm1"), scrambler);
    }
}

// The sixteen-channel model keeps its PageParam: its scrambler checks and ECM PID edits are shown with
// their own captions, show the record's bytes and write them back.
TEST(Encoder8Test, SixteenChannelFormShowsAndWritesItsScramblerSettings) {
    PageFixture fx(0x1303);
    EncoderMultiSim sim(0x1303);
    Cencoder8 page;
    fx.Bind(&page, 87);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    auto reply = sim.Handle(0x60, sent->payload)->payload;
    ASSERT_EQ(reply[0], 16);
    reply[0] = 2;  // two channels are enough: the chain ends with this pair
    const size_t ch0 = 9;
    reply[ch0 + 118] = 0x34, reply[ch0 + 119] = 0x12;  // ECM PID 1 = 0x1234
    reply[ch0 + 124] = 0xf0, reply[ch0 + 125] = 0x1f;  // ECM PID 4 = 0x1FF0
    reply[ch0 + 126] = 0x82;                           // scrambler 2 and a bit the page keeps
    fx.FeedReply(0x60, reply);
    fx.TakeSentPacket();  // the version request
    EXPECT_EQ(page.Logic().PageParam(), 87);
    auto* scr1 = qobject_cast<QCheckBox*>(page.Binder().Control("scr1"));
    auto* scr2 = qobject_cast<QCheckBox*>(page.Binder().Control("scr2"));
    ASSERT_TRUE(scr1 && scr2);
    EXPECT_TRUE(scr1->isVisible());
    EXPECT_FALSE(scr1->isChecked());
    EXPECT_TRUE(scr2->isChecked());
    EXPECT_EQ(scr1->text(), "Scrambler 1");
    for (int k = 1; k <= 4; ++k) {
        const std::string key = "ecm" + std::to_string(k);
        EXPECT_TRUE(page.Binder().Label(key)->isVisible());
        EXPECT_EQ(page.Binder().Label(key)->text(), QString("ECM PID %1:").arg(k));
        EXPECT_TRUE(Edit(page, key.c_str())->isVisible());
    }
    EXPECT_EQ(Edit(page, "ecm1")->text(), "1234");
    EXPECT_EQ(Edit(page, "ecm4")->text(), "1FF0");

    Edit(page, "ecm2")->setText("1ABC");
    scr1->setChecked(true);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->payload.size(), 307u);
    EXPECT_EQ(sent->payload[ch0 + 118], 0x34);
    EXPECT_EQ(sent->payload[ch0 + 120], 0xbc);
    EXPECT_EQ(sent->payload[ch0 + 121], 0x1a);
    EXPECT_EQ(sent->payload[ch0 + 126], 0x83);
}

TEST(Encoder8Test, WideReplyCountingEightChannelsMakesTheScramblingVariant) {
    PageFixture fx(0x1303);
    EncoderMultiSim sim(EncoderMultiSim::Kind::kWide, 8, false);
    Cencoder8 page;
    fx.Bind(&page, 87);
    Pump(fx, sim);
    EXPECT_EQ(page.Logic().PageParam(), 88);
    EXPECT_TRUE(page.Binder().IsUsed("ecm1"));
    EXPECT_EQ(page.m_tabs->count(), 8);
    auto* scrambler = qobject_cast<QCheckBox*>(page.Binder().Control("scr1"));
    EXPECT_TRUE(scrambler->isVisible());
    EXPECT_EQ(scrambler->text(), "Scrambler");
    EXPECT_FALSE(Edit(page, "ecm1")->isVisible());
}

TEST(Encoder8Test, WideAudioBitrateWithoutEntryShows192AndSetSendsIt) {
    PageFixture fx(0x1303);
    EncoderMultiSim sim(0x1303);
    Cencoder8 page;
    fx.Bind(&page, 87);
    auto sent = fx.TakeSentPacket();
    auto reply = sim.Handle(0x60, sent->payload)->payload;
    reply[9 + 43] = 200;  // channel 0's audio bitrate
    reply[9 + 44] = 0;
    reply[0] = 2;  // a two-channel device: the chain ends here
    fx.FeedReply(0x60, reply);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(Combo(page, "abitrate")->currentText(), "192Kbps");
    fx.TakeSentPacket();
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->payload.size(), 307u);
    EXPECT_EQ(sent->payload[9 + 43], 192);
    EXPECT_EQ(sent->payload[9 + 41], 3);
    fx.FeedReply(0x61, std::vector<uint8_t>(9, 0));
    EXPECT_FALSE(page.IsBusy());  // first channel + 2 is not below two channels
}

TEST(Encoder8Test, WideCountAboveSixteenEndsTheChainUnstored) {
    PageFixture fx(0x1303);
    EncoderMultiSim sim(0x1303);
    Cencoder8 page;
    fx.Bind(&page, 87);
    auto sent = fx.TakeSentPacket();
    auto reply = sim.Handle(0x60, sent->payload)->payload;
    reply[0] = 17;
    fx.FeedReply(0x60, reply);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(Edit(page, "name")->text(), "");
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(Encoder8Test, CopyToAllTakesSettingsButNoPidOrName) {
    PageFixture fx(0x1303);
    EncoderMultiSim sim(0x1303);
    Cencoder8 page;
    fx.Bind(&page, 87);
    Pump(fx, sim);
    Combo(page, "encoding")->setCurrentIndex(0);
    Edit(page, "vbitrate")->setText("6000");
    Edit(page, "pmt")->setText("1FF");
    QTest::mouseClick(page.m_copyAll, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());
    for (int ch = 1; ch < 16; ++ch) {
        const ParamBlock& r = page.Logic().Record(ch);
        EXPECT_EQ(r.Bytes()[12], 0);
        EXPECT_EQ(r.Bytes()[13] | r.Bytes()[14] << 8, 6000);
        EXPECT_EQ(r.Bytes()[2] | r.Bytes()[3] << 8, 0x100 + 0x10 * ch);  // PMT PID stays
        EXPECT_EQ(r.Reader().Text(85, 32), "Channel " + std::to_string(ch + 1));
    }
    EXPECT_EQ(page.Logic().Record(0).Bytes()[2], 0xFF);  // the shown channel took its own edit
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    const auto sent = Pump(fx, sim);
    EXPECT_EQ(Firsts(sent, 0x61, 8).size(), 8u);
    EXPECT_EQ(sim.ChannelRecord(7)[13] | sim.ChannelRecord(7)[14] << 8, 6000);
}

TEST(Encoder8Test, TabChangeStoresTheChannelLeftAndRefusesBadFields) {
    PageFixture fx(0x1808);
    EncoderMultiSim sim(0x1808);
    Cencoder8 page;
    fx.Bind(&page, 82);
    Pump(fx, sim);
    Edit(page, "name")->setText(QString(40, 'x'));
    Edit(page, "vbitrate")->setText("4000");
    page.OnSelChangeTab(3);
    EXPECT_EQ(page.m_tabs->currentIndex(), 3);
    EXPECT_EQ(Edit(page, "name")->text(), "Channel 4");
    EXPECT_EQ(page.Logic().Record(0).Reader().Text(62, 32), std::string(31, 'x'));  // cut, zero-ended
    EXPECT_EQ(page.Logic().Record(0).Bytes()[62 + 31], 0);
    Edit(page, "hue")->setText("200");
    page.OnSelChangeTab(0);
    EXPECT_EQ(page.m_tabs->currentIndex(), 3);
    ASSERT_FALSE(fx.Prompt().shown.empty());
    EXPECT_EQ(fx.Prompt().shown.back().text, "Please enter an integer between -128 and 127.");
}

TEST(Encoder8Test, ShortAudioListPairsLowestBitrateWithSingleTrack) {
    struct Case {
        int bitrate, mode, expected;
    };
    for (const Case c :
         {Case{0, 0, 3}, Case{3, 3, 3}, Case{6, 3, 0}, Case{9, 3, 0}, Case{-1, 3, 0}, Case{7, 2, 2}}) {
        EXPECT_EQ(Encoder8Logic::AudioModeFor(c.bitrate, c.mode), c.expected) << c.bitrate << " " << c.mode;
    }
    PageFixture fx(0x1808);
    EncoderMultiSim sim(0x1808);
    Cencoder8 page;
    fx.Bind(&page, 82);
    Pump(fx, sim);
    Combo(page, "abitrate")->setCurrentIndex(0);
    page.OnSelChangeAudioBitrate();
    EXPECT_EQ(Combo(page, "amode")->currentText(), "Single Track");
}

TEST(Encoder8Test, AnyReplyOfCommand64EndsTheWait) {
    PageFixture fx(0x1808);
    Cencoder8 page;
    fx.Bind(&page, 82);
    EXPECT_TRUE(page.IsBusy());
    fx.FeedReply(0x64, {});
    EXPECT_FALSE(page.IsBusy());
}

}  // namespace encoder8_test
}  // namespace nms
