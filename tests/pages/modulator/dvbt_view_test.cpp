#include "pages/modulator/dvbt_view.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <numeric>

#include "page_fixture.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace dvbt_view_test {

using test::PageFixture;

std::vector<uint8_t> Block(std::initializer_list<std::pair<int, uint8_t>> bytes) {
    std::vector<uint8_t> b(kDvbtBlockSize);
    std::iota(b.begin(), b.end(), uint8_t(60));
    for (auto [at, v] : bytes)
        b[size_t(at)] = v;
    return b;
}

// What a Set sends for a block read as block: the insertion byte at bitsAt keeps only its five bits.
std::vector<uint8_t> SentBack(std::vector<uint8_t> block, int bitsAt) {
    block[size_t(bitsAt)] &= 0x1f;
    return block;
}

QComboBox* Combo(CDVBTView& page, const char* key) {
    return qobject_cast<QComboBox*>(page.Binder().Control(key));
}
QLineEdit* Edit(CDVBTView& page, const char* key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}

struct Page {
    PageFixture fx;
    CDVBTView page;
    Page(int pageParam, uint16_t type, const std::vector<uint8_t>& block, uint8_t marker = 1) : fx(type) {
        fx.Bind(&page, pageParam);
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x33);
        fx.FeedReply(0x33, block, marker, 1);
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
    }
    std::optional<test::SentPacket> Set() {
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
};

TEST(DvbtViewTest, DvbS2FecListsOfEveryStandardAndConstellation) {
    using List = std::vector<std::string>;
    const List dvbs = {"1/2", "2/3", "3/4", "5/6", "7/8"};
    const List qpsk = {"1/2", "3/5", "2/3", "3/4", "4/5", "5/6", "8/9", "9/10"};
    const List psk8 = {"3/5", "2/3", "3/4", "5/6", "8/9", "9/10"};
    const struct {
        int standard, constellation;
        const List& list;
        int keptUpTo, otherwise;  // the index kept when the list changes to this one
    } cases[] = {{0, 0, dvbs, 4, 3}, {0, 1, dvbs, 4, 3}, {1, 0, qpsk, 7, 5}, {1, 1, psk8, 5, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.standard << "/" << c.constellation);
        EXPECT_EQ(S2FecList(c.standard, c.constellation), c.list);
        for (int index = 0; index <= 9; ++index)
            EXPECT_EQ(S2FecIndexAfter(c.standard, c.constellation, index),
                      index <= c.keptUpTo ? index : c.otherwise);
    }
}

TEST(DvbtViewTest, DvbS2FecListsFollowStandardAndConstellation) {
    const std::vector<uint8_t> block = Block({{7, 0}, {9, 0}, {13, 4}, {5, 0xbb}, {6, 0x03}});
    Page p(97, 0x4122, block);
    EXPECT_EQ(Combo(p.page, "fec")->currentText(), "7/8");
    EXPECT_EQ(Edit(p.page, "power")->text(), "95.5");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, block);  // untouched: byte for byte
    p.fx.FeedReply(0x34, {});

    Combo(p.page, "standard")->setCurrentIndex(1);
    p.page.OnSelChangeModulationMode();
    EXPECT_EQ(Combo(p.page, "fec")->currentText(), "4/5");  // index 4 of the QPSK list
    Combo(p.page, "constellation")->setCurrentIndex(1);
    p.page.OnSelChangeConstellation();
    EXPECT_EQ(Combo(p.page, "fec")->currentText(), "8/9");
    Combo(p.page, "standard")->setCurrentIndex(0);
    p.page.OnSelChangeModulationMode();
    EXPECT_EQ(Combo(p.page, "constellation")->currentText(), "QPSK");
    EXPECT_EQ(Combo(p.page, "fec")->currentText(), "7/8");
    Combo(p.page, "constellation")->setCurrentIndex(1);
    p.page.OnSelChangeConstellation();
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "1 DVB-S only support QPSK mode !");
    EXPECT_EQ(Combo(p.page, "constellation")->currentText(), "QPSK");

    Edit(p.page, "power")->setText("95.55");
    Edit(p.page, "freq")->setText("99999.9999");
    sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[5] | sent->payload[6] << 8, 955);
    EXPECT_EQ(sent->payload[9], 0);
    EXPECT_EQ(sent->payload[13], 4);
    uint32_t khz = 0;
    for (int i = 0; i < 4; ++i)
        khz |= uint32_t(sent->payload[size_t(i)]) << (8 * i);
    EXPECT_EQ(khz, 99999999u);
    p.fx.FeedReply(0x34, {});
    Edit(p.page, "freq")->setText("123456.1");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, kFrequencyOverMaximum);
}

TEST(DvbtViewTest, TheDvbtModulatorSwitchesToT2OnItsMarker) {
    const std::vector<uint8_t> block = Block({{12, 1}, {14, 2}, {16, 3}});
    {
        Page p(24, 0x4106, block);
        EXPECT_EQ(p.page.Logic().Layout(), DvbtLayout::kDvbt);
        EXPECT_EQ(Combo(p.page, "fec")->currentText(), "5/6");
        EXPECT_EQ(p.page.Binder().Control("inverse"), nullptr);  // DVB-T shows no inversion
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload, SentBack(block, 17));  // the input frequency and the hidden bytes as read
    }
    Page p(24, 0x4106, block, kT2Marker);
    EXPECT_EQ(p.page.Logic().Layout(), DvbtLayout::kDvbT2);
    EXPECT_EQ(Combo(p.page, "codeRate")->currentIndex(), -1);  // byte 13 is 73: no such entry
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, SentBack(block, 19));  // the whole T2 block as read
    p.fx.FeedReply(0x34, {});
    Combo(p.page, "modulation")->setCurrentIndex(3);
    sent = p.Set();
    ASSERT_TRUE(sent);
    std::vector<uint8_t> expected = SentBack(block, 19);
    expected[12] = 3;
    EXPECT_EQ(sent->payload, expected);
}

// A Get reply shorter than the 55-byte block ends the wait (and asks for the version) but changes no
// block, and a T2 marker on it does not switch the layout.
TEST(DvbtViewTest, AShortReplyEndsTheWaitAndChangesNoBlock) {
    const struct {
        int pageParam;
        uint16_t type;
    } cases[] = {{97, 0x4122}, {0, 0x4107}, {25, 0x4109}, {24, 0x4106}};
    const std::vector<uint8_t> block = Block({{7, 1}, {9, 1}, {13, 2}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Page p(c.pageParam, c.type, block);
        const DvbtLayout layout = p.page.Logic().Layout();
        const QString freq = Edit(p.page, "freq")->text();
        for (size_t length : {size_t(10), size_t(kDvbtBlockSize - 1)}) {
            SCOPED_TRACE(length);
            p.page.OnGet();
            ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x33);
            p.fx.FeedReply(0x33, std::vector<uint8_t>(length, 0x11), kT2Marker, 1);
            EXPECT_FALSE(p.page.IsBusy());
            auto version = p.fx.TakeSentPacket();
            ASSERT_TRUE(version);
            EXPECT_EQ(version->command, 0x02);
            EXPECT_EQ(p.page.Logic().Layout(), layout);
            EXPECT_EQ(Edit(p.page, "freq")->text(), freq);
        }
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload, c.pageParam == 97 ? block : SentBack(block, 17));
    }
}

// Every layout's power field stands beside "db(80-110)" and keeps to it; the digit limit keeps its own
// message, and the ends of the range go out in tenths.
TEST(DvbtViewTest, PowerKeepsToItsLabelledRange) {
    const struct {
        int pageParam;
        uint16_t type;
        uint8_t marker;
    } variants[] = {{0, 0x4107, 1}, {24, 0x4106, 1}, {24, 0x4106, kT2Marker}, {97, 0x4122, 1}};
    const char* const range = "Please enter a number between 80 and 110.";
    const struct {
        const char* text;
        int sent;  // -1: refused
        const char* message;
    } cases[] = {{"200", -1, range},   {"79.9", -1, range},
                 {"110.1", -1, range}, {"123456", -1, kFrequencyOverMaximum},
                 {"80", 800, ""},      {"110.0", 1100, ""}};
    for (const auto& v : variants) {
        SCOPED_TRACE(testing::Message() << v.pageParam << "/" << int(v.marker));
        Page p(v.pageParam, v.type, Block({{5, 0xbf}, {6, 0x03}}), v.marker);
        int units = 0;
        for (QLabel* label : p.page.findChildren<QLabel*>())
            units += label->text() == "db(80-110)";
        EXPECT_EQ(units, 4);  // one beside the power field of each layout
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            Edit(p.page, "power")->setText(c.text);
            auto sent = p.Set();
            if (c.sent < 0) {
                EXPECT_FALSE(sent);
                EXPECT_EQ(p.fx.Prompt().shown.back().text, c.message);
            } else {
                ASSERT_TRUE(sent);
                EXPECT_EQ(sent->payload[5] | sent->payload[6] << 8, c.sent);
                p.fx.FeedReply(0x34, {});
            }
        }
    }
}

TEST(DvbtViewTest, DtmbModesAndTheTransmodulatorsInputFrequency) {
    const std::vector<uint8_t> block = Block({{7, 11}, {25, 0x10}, {26, 0x27}, {27, 0}, {28, 0}});
    Page p(0, 0x4107, block);
    EXPECT_EQ(Combo(p.page, "constellation")->currentIndex(), -1);  // mode 11: no entry
    EXPECT_TRUE(p.page.Binder().Control("inputFreq")->isHidden());
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, SentBack(block, 17));

    Page q(25, 0x4109, block);
    EXPECT_FALSE(q.page.Binder().Control("inputFreq")->isHidden());
    // The input frequency's unit label comes and goes with its field.
    auto shownUnits = [](CDVBTView& page) {
        int n = 0;
        for (QLabel* label : page.findChildren<QLabel*>())
            n += label->text() == "MHz" && !label->isHidden();
        return n;
    };
    EXPECT_EQ(shownUnits(q.page), shownUnits(p.page) + 1);
    EXPECT_EQ(Edit(q.page, "inputFreq")->text(), "10.000");
    sent = q.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, SentBack(block, 17));  // untouched: byte for byte but the insertion byte
    q.fx.FeedReply(0x34, {});
    Edit(q.page, "inputFreq")->setText("474");
    sent = q.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[25] | sent->payload[26] << 8 | sent->payload[27] << 16, 474000);
}

// The insertion byte: the DTMB, DVB-T and DVB-T2 blocks write bits 5-7 as 0, the DVB-S/S2 block keeps them
// as read; the five check boxes write their bits in every layout.
TEST(DvbtViewTest, InsertionBitsAboveTheFiveTablesGoOutAsTheLayoutSays) {
    const struct {
        int pageParam;
        uint16_t type;
        uint8_t marker;
        int at;
        uint8_t read, untouched, withoutPat;
    } cases[] = {
        {0, 0x4107, 1, 17, 0xfb, 0x1b, 0x1a},  {25, 0x4109, 1, 17, 0xfb, 0x1b, 0x1a},
        {24, 0x4106, 1, 17, 0xfb, 0x1b, 0x1a}, {24, 0x4106, kT2Marker, 19, 0xf1, 0x11, 0x10},
        {97, 0x4122, 1, 17, 0xfb, 0xfb, 0xfa},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pageParam << "/" << int(c.marker));
        Page p(c.pageParam, c.type, Block({{c.at, c.read}}), c.marker);
        EXPECT_TRUE(qobject_cast<QAbstractButton*>(p.page.Binder().Control("pat"))->isChecked());
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload[size_t(c.at)], c.untouched);
        p.fx.FeedReply(0x34, {});
        qobject_cast<QAbstractButton*>(p.page.Binder().Control("pat"))->setChecked(false);
        sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload[size_t(c.at)], c.withoutPat);
    }
}

}  // namespace dvbt_view_test
}  // namespace nms
