#include "pages/encoder/encoder_public_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "pagebase/lamp.h"

namespace nms {
namespace encoder_public_view_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// An output block: SDT and NIT inserted (bit 3 set as the device's own), channels 1, 3 and 9 on, TS ID
// 0x1a2b, ONID 0x0c, 38.5 Mbit/s, 93784 s of work, and odd bytes where nothing is interpreted.
Bytes OutputBlock() {
    Bytes b(44, 0);
    b[0] = 0x0b;
    b[1] = 0x05;
    b[2] = 0x2b, b[3] = 0x1a;
    b[4] = 0x0c;
    b[6] = 0x11, b[7] = 0x22, b[8] = 0x33;
    PutU32(b, 9, 38500);
    PutU32(b, 13, 93784);
    b[17] = 0x01;
    for (size_t i = 30; i < 44; ++i)
        b[i] = uint8_t(0x80 + i);
    return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// An RF block of 55 bytes with valid list indexes at every list position of every layout.
Bytes RfBlock(uint32_t khz, size_t freqAt = 0) {
    Bytes r(55, 1);
    PutU32(r, freqAt, khz);
    r[52] = 0x34, r[53] = 0x12, r[54] = 0x56;
    return r;
}

QLineEdit* Edit(CEncoderPublicView& page, const char* key) {
    return static_cast<QLineEdit*>(page.Field(key));
}
QCheckBox* Box(CEncoderPublicView& page, const char* key) {
    return static_cast<QCheckBox*>(page.Field(key));
}

struct Page {
    explicit Page(int pageParam, uint16_t type = 0x1102) : fx(type) {
        fx.Bind(&page, pageParam);
        sent = fx.TakeSentPacket();
    }
    // Answers the Get the page sent when it was shown.
    void Answer(const Bytes& payload, uint8_t b = 1, uint8_t c = 1) {
        fx.FeedReply(kCmdEncoderOutputGet, payload, b, c);
        fx.TakeSentPacket();  // the version request
    }
    std::optional<test::SentPacket> ClickSet() {
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
    PageFixture fx;
    CEncoderPublicView page;
    std::optional<test::SentPacket> sent;
};

TEST(EncoderPublicViewTest, ShowsTheOutputBlockAndWritesItBackUntouched) {
    RegisterBuiltPages();
    EXPECT_TRUE(IsPageRegistered("CEncoderPublicView"));
    Page p(2);
    ASSERT_TRUE(p.sent);
    EXPECT_EQ(p.sent->command, kCmdEncoderOutputGet);
    EXPECT_EQ(p.sent->payload, Bytes(8, 0));
    EXPECT_TRUE(p.page.IsBusy());

    const Bytes reply = Concat({OutputBlock(), {0x5a}});
    p.fx.FeedReply(kCmdEncoderOutputGet, reply);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);  // the version follows
    EXPECT_EQ(Edit(p.page, "tsId")->text(), "1a2b");
    EXPECT_EQ(Edit(p.page, "netId")->text(), "c");
    EXPECT_EQ(Edit(p.page, "bitrate")->text(), "38.500");
    EXPECT_EQ(p.page.m_working->text(), "Working:001Day02Hour03Min.04Sec.");
    EXPECT_TRUE(Box(p.page, "sdt")->isChecked());
    EXPECT_FALSE(Box(p.page, "cat")->isChecked());
    EXPECT_TRUE(Box(p.page, "mux3")->isChecked());
    EXPECT_FALSE(Box(p.page, "mux2")->isChecked());
    EXPECT_FALSE(Box(p.page, "mux5")->isVisibleTo(&p.page));

    auto set = p.ClickSet();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, kCmdEncoderOutputSet);
    EXPECT_EQ(set->payload, reply);
    p.fx.FeedReply(kCmdEncoderOutputSet, {});
    EXPECT_FALSE(p.page.IsBusy());

    // Edited fields change only their bits.
    Edit(p.page, "bitrate")->setText("12.5");
    Box(p.page, "cat")->setChecked(true);
    Box(p.page, "mux1")->setChecked(false);
    set = p.ClickSet();
    Bytes expected = reply;
    expected[0] = 0x0f;
    expected[1] = 0x04;
    PutU32(expected, 9, 12500);
    EXPECT_EQ(set->payload, expected);

    // A short reply replaces only what arrived.
    p.fx.FeedReply(kCmdEncoderOutputSet, {});
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdEncoderOutputGet, {0x0b, 0x05, 0x34, 0x12});
    EXPECT_EQ(Edit(p.page, "tsId")->text(), "1234");
    EXPECT_EQ(Edit(p.page, "bitrate")->text(), "12.500");
    p.fx.TakeSentPacket();

    // An empty Get reply ends the wait and asks for the version; the form stays.
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdEncoderOutputGet, {});
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);
    EXPECT_EQ(Edit(p.page, "tsId")->text(), "1234");
}

// The device answered after the 15-s wait had run out: the form shows that answer (a Set then writes
// it, not the zeros shown before), and no new wait or request starts; the version request may follow.
TEST(EncoderPublicViewTest, AReplyAfterTheWaitRanOutIsShownAndStartsNothing) {
    Page p(2, 0x1102);
    ASSERT_TRUE(p.sent);
    ASSERT_EQ(p.sent->command, kCmdEncoderOutputGet);
    EXPECT_EQ(p.page.Timers().Interval(kWaitTimerId), 15000);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.Events().Count("Operation timeout"), 1);
    EXPECT_EQ(Edit(p.page, "tsId")->text(), "0");

    const Bytes reply = Concat({OutputBlock(), {0x5a}});
    p.fx.FeedReply(kCmdEncoderOutputGet, reply);
    EXPECT_EQ(Edit(p.page, "tsId")->text(), "1a2b");
    EXPECT_EQ(Edit(p.page, "netId")->text(), "c");
    EXPECT_EQ(Edit(p.page, "bitrate")->text(), "38.500");
    EXPECT_TRUE(Box(p.page, "mux3")->isChecked());
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.page.Timers().Interval(kWaitTimerId), 0);
    std::vector<uint8_t> sent;
    while (auto packet = p.fx.TakeSentPacket())
        sent.push_back(packet->command);
    EXPECT_TRUE(sent.empty() || sent == std::vector<uint8_t>{kVersionCommand});

    auto set = p.ClickSet();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, kCmdEncoderOutputSet);
    EXPECT_EQ(set->payload, reply);
}

// Every model: a recorded reply goes back byte for byte in a Set request of the model's size.
TEST(EncoderPublicViewTest, EveryModelWritesBackWhatItRead) {
    const Bytes b = Concat({OutputBlock(), {0x5a}});
    Bytes qam(23, 0);
    PutU32(qam, 0, 474000);
    qam[4] = 35, qam[5] = 2, qam[6] = 0xdb, qam[7] = 0x1a, qam[8] = 1, qam[9] = 0;
    for (size_t i = 10; i < 23; ++i)
        qam[i] = uint8_t(0x40 + i);
    Bytes rf88c = RfBlock(474000);
    rf88c[10] = 0, rf88c[11] = 8;  // 8M
    Bytes rf89 = RfBlock(0, 0);
    rf89[0] = 105, rf89[1] = 0;  // 10.5 dB
    PutU32(rf89, 14, 474000);
    PutU32(rf89, 18, 482000);
    rf89[30] = 35, rf89[31] = 40;
    rf89[38] = 0x2b, rf89[39] = 0x1a, rf89[46] = 0x0c, rf89[47] = 0;
    struct Case {
        int pageParam;
        Bytes reply;
        uint8_t b, c;
        Bytes set;
    };
    const Bytes head87 = {12, 9, 9, 9, 9, 9, 9, 9};
    const Bytes head88 = {8, 1, 9, 9, 9, 9, 9, 9};
    const Case cases[] = {
        {2, b, 1, 1, b},
        {80, b, 1, 1, b},
        {81, b, 1, 1, b},
        {82, b, 12, 1, b},
        {87, Concat({head87, b}), 1, 1, Concat({Bytes(8, 0), b})},
        {88, Concat({head88, b, rf88c}), 1, 1, Concat({Bytes(8, 0), b, rf88c})},
        {89, Concat({b, rf89}), 8, 2, Concat({b, rf89})},
        {24, Concat({b, {1}, qam}), 1, 1, Concat({b, {1}, qam})},
        {24, Concat({b, {0}, RfBlock(474000)}), 1, 1, Concat({b, {0}, RfBlock(474000)})},
        {24, Concat({b, {2}, RfBlock(474000)}), 1, 1, Concat({b, {2}, RfBlock(474000)})},
        {24, Concat({b, {3}}), 1, 1, Concat({b, {3}})},
        {85, Concat({b, {1}, qam}), 1, 1, Concat({b, {1}, qam})},
        {85, Concat({b, {0}, RfBlock(474000)}), 1, 1, Concat({b, {0}, RfBlock(474000)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "PageParam " << c.pageParam << " reply " << c.reply.size());
        Page p(c.pageParam, 0x4256);
        p.Answer(c.reply, c.b, c.c);
        auto set = p.ClickSet();
        ASSERT_TRUE(set);
        EXPECT_EQ(set->payload, c.set);
    }
}

TEST(EncoderPublicViewTest, ChecksComeInOrderWithTheirMessages) {
    struct Case {
        int pageParam;
        Bytes reply;
        std::vector<std::pair<const char*, const char*>> edits;
        const char* message;
    };
    const Bytes b = Concat({OutputBlock(), {0}});
    Bytes qam(23, 0);
    PutU32(qam, 0, 474000);
    const Bytes dvbc24 = Concat({b, {1}, qam});
    const Bytes dvbc85 = dvbc24;
    Bytes rf88 = RfBlock(474000);
    const Bytes dvbc88 = Concat({{8, 1, 0, 0, 0, 0, 0, 0}, b, rf88});
    const Bytes dtmb89 = Concat({b, RfBlock(474000, 14)});
    const Case cases[] = {
        {2, b, {{"tsId", "12G4"}, {"bitrate", "12,5"}}, kTsOnidMessage},
        {2, b, {{"netId", "x"}}, kTsOnidMessage},
        {2, b, {{"bitrate", "12,5"}}, "Output bitrate error!"},
        {2, b, {{"bitrate", "9999999"}}, "Output bitrate error!"},
        {2, b, {{"bitrate", "1.2.3"}}, "Output bitrate error!"},
        {24, dvbc24, {{"q.att", "26"}, {"q.freq", "x"}}, "ATT value error,should be 0-9 or ."},
        {24, dvbc24, {{"q.att", "3.3"}}, "ATT value must be changed with step 0.5."},
        {24, dvbc24, {{"q.att", "3,5"}}, "ATT value error,should be 0-9 or ."},
        {24, dvbc24, {{"q.freq", "1234567"}, {"q.symbol", "x"}}, "Frequency error,over maximum!"},
        {24, dvbc24, {{"q.symbol", "70"}}, "Symbol rate should be '0-9' or '.'"},
        {24, dvbc24, {{"q.symbol", "6.8.75"}}, "Symbol rate should be '0-9' or '.'"},
        {88, dvbc88, {{"c.freq", "abc"}, {"c.symbol", "x"}}, "Frequency error,over maximum!"},
        {88, dvbc88, {{"c.symbol", "100"}}, "Symbol rate should be '0-9' or '.'"},
        {89, dtmb89, {{"x.freq1", "x"}}, "wrong frequency !"},
        {89, dtmb89, {{"x.freq2", "123456"}}, "wrong frequency !"},
        {89, dtmb89, {{"x.att2", "4.2"}}, "ATT value must be changed with step 0.5."},
        {89, dtmb89, {{"x.tsId2", "zz"}}, kTsOnidMessage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "PageParam " << c.pageParam << " " << c.edits[0].first);
        Page p(c.pageParam, 0x4256);
        p.Answer(c.reply, 8, 2);
        for (const auto& [key, text] : c.edits) {
            ASSERT_TRUE(p.page.Field(key)->isVisibleTo(&p.page)) << key;
            Edit(p.page, key)->setText(text);
        }
        p.fx.Prompt().shown.clear();
        EXPECT_FALSE(p.ClickSet());
        ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(p.fx.Prompt().shown[0].text, c.message);
        EXPECT_FALSE(p.page.IsBusy());
    }
}

TEST(EncoderPublicViewTest, ModelsWithTheirOwnRules) {
    const Bytes b = Concat({OutputBlock(), {0}});
    {
        // A reply that begins with 8 turns the page of 85 into the 12-channel model for good.
        Page p(85);
        Bytes rf = RfBlock(474000);
        p.Answer(Concat({{8, 2, 0, 0, 0, 0, 0, 0}, b, rf}));
        EXPECT_EQ(p.page.Logic().Kind(), EncoderOutputKind::kRf88);
        EXPECT_TRUE(p.page.Field("d.mode")->isVisibleTo(&p.page));
        EXPECT_EQ(p.ClickSet()->payload.size(), 108u);
    }
    {
        // The IP output of 85 in DVB-C: address, big-endian port, MAC pairs.
        Page p(85);
        Bytes qam(23, 0);
        p.Answer(Concat({b, {1}, qam}));
        EXPECT_TRUE(p.page.m_ipGroup->isVisibleTo(&p.page));
        EXPECT_EQ(p.page.m_lampCaptions[kEncoderChannels]->text(), "IP IN");
        Edit(p.page, "mac")->setText("00-12-09-10-07-33");
        Edit(p.page, "port")->setText("1234");
        auto set = p.ClickSet();
        ASSERT_EQ(set->payload.size(), 69u);
        EXPECT_EQ(Bytes(set->payload.begin() + 22, set->payload.begin() + 30),
                  (Bytes{0x04, 0xd2, 0x00, 0x12, 0x09, 0x10, 0x07, 0x33}));
        EXPECT_EQ(set->payload[46 + 9], 0);  // annex A

        // Whatever the operator typed goes out: the pairs at their fixed places, a missing character as
        // 0, a character that is no hexadecimal digit as the digit 0, any separator.
        const std::pair<const char*, Bytes> macs[] = {
            {"00-11-22", {0x00, 0x11, 0x22, 0x00, 0x00, 0x00}},
            {"00-11-22-33-44-5", {0x00, 0x11, 0x22, 0x33, 0x44, 0x50}},
            {"00-11-22-33-44-5g", {0x00, 0x11, 0x22, 0x33, 0x44, 0x50}},
            {"0A:1b 2C.3d-4E_5f", {0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f}},
        };
        for (const auto& [text, bytes] : macs) {
            SCOPED_TRACE(text);
            p.fx.FeedReply(kCmdEncoderOutputSet, {});
            Edit(p.page, "mac")->setText(text);
            p.fx.Prompt().shown.clear();
            set = p.ClickSet();
            ASSERT_TRUE(set);
            EXPECT_TRUE(p.fx.Prompt().shown.empty());
            EXPECT_EQ(Bytes(set->payload.begin() + 24, set->payload.begin() + 30), bytes);
        }
    }
    {
        // 88 in DVB-C: a bandwidth byte the one-entry list does not hold gives no selection and goes
        // back as 8 MHz.
        Page p(88);
        Bytes rf = RfBlock(474000);
        rf[10] = 1, rf[11] = 7;
        p.Answer(Concat({{12, 1, 0, 0, 0, 0, 0, 0}, b, rf}));
        EXPECT_EQ(static_cast<QComboBox*>(p.page.Field("c.bandwidth"))->currentIndex(), -1);
        auto set = p.ClickSet();
        EXPECT_EQ(set->payload[53 + 10], 0);  // the list's index goes with the 8 MHz it stands for
        EXPECT_EQ(set->payload[53 + 11], 8);

        // The list's index byte is the selection's, not the one the device had stored beside 8 MHz.
        p.fx.FeedReply(kCmdEncoderOutputSet, {});
        rf[10] = 2, rf[11] = 8;
        p.fx.TakeSentPacket();
        QTest::mouseClick(p.page.m_get, Qt::LeftButton);
        p.fx.TakeSentPacket();
        p.Answer(Concat({{12, 1, 0, 0, 0, 0, 0, 0}, b, rf}));
        EXPECT_EQ(static_cast<QComboBox*>(p.page.Field("c.bandwidth"))->currentIndex(), 0);
        set = p.ClickSet();
        EXPECT_EQ(set->payload[53 + 10], 0);
        EXPECT_EQ(set->payload[53 + 11], 8);
    }
    {
        // 89: the DTMB power in tenths keeps its half dB; the second frequency follows the first.
        Page p(89);
        Bytes rf = RfBlock(474000, 14);
        rf[0] = 105, rf[1] = 0;
        p.Answer(Concat({b, rf}), 8, 2);
        EXPECT_EQ(Edit(p.page, "x.d.power")->text(), "10.5");
        EXPECT_EQ(p.ClickSet()->payload[45], 105);
        p.fx.FeedReply(kCmdEncoderOutputSet, {});
        Edit(p.page, "x.freq1")->clear();
        QTest::keyClicks(Edit(p.page, "x.freq1"), "474");
        EXPECT_EQ(Edit(p.page, "x.freq2")->text(), "482");
        // The first output's TS ID is the output block's too.
        Edit(p.page, "x.tsId1")->setText("77");
        auto set = p.ClickSet();
        EXPECT_EQ(set->payload[2], 0x77);
        EXPECT_EQ(set->payload[45 + 38], 0x77);

        // Edited or not: the identifiers the form shows (the first output's) replace the output block's.
        Page u(89);
        Bytes ids = RfBlock(474000, 14);
        ids[38] = 0x55, ids[39] = 0x05, ids[46] = 0x66, ids[47] = 0x06;
        u.Answer(Concat({b, ids}), 8, 2);
        EXPECT_EQ(Edit(u.page, "x.tsId1")->text(), "555");
        set = u.ClickSet();
        ASSERT_TRUE(set);
        EXPECT_EQ(Bytes(set->payload.begin() + 2, set->payload.begin() + 6), (Bytes{0x55, 0x05, 0x66, 0x06}));
        EXPECT_EQ(Bytes(set->payload.begin() + 45, set->payload.end()), ids);

        // In DVB-T the step follows the bandwidth: 7 MHz with 7M.
        Page t(89);
        t.Answer(Concat({b, RfBlock(474000, 14)}), 8, 0);
        static_cast<QComboBox*>(t.page.Field("x.t.bandwidth"))->setCurrentIndex(1);
        Edit(t.page, "x.freq1")->clear();
        QTest::keyClicks(Edit(t.page, "x.freq1"), "474");
        EXPECT_EQ(Edit(t.page, "x.freq2")->text(), "481");
        EXPECT_FALSE(Box(t.page, "sdt")->isVisibleTo(&t.page));
    }
}

TEST(EncoderPublicViewTest, CountedModelsShowTheirChannels) {
    const Bytes b = Concat({OutputBlock(), {0}});
    struct Case {
        int count;
        int shown;
        bool input;
    };
    for (const Case& c : {Case{16, 16, false}, Case{4, 4, false}, Case{8, 8, true}, Case{12, 12, false}}) {
        SCOPED_TRACE(c.count);
        Page p(87);
        p.Answer(Concat({{uint8_t(c.count), 0, 0, 0, 0, 0, 0, 0}, b}));
        for (int n = 1; n <= kEncoderChannels; ++n) {
            EXPECT_EQ(p.page.m_lamps[size_t(n - 1)]->isVisibleTo(&p.page), n <= c.shown) << n;
            EXPECT_EQ(Box(p.page, ("mux" + std::to_string(n)).c_str())->isVisibleTo(&p.page), n <= c.shown);
        }
        EXPECT_EQ(p.page.m_lamps[kEncoderChannels]->isVisibleTo(&p.page), c.input);
    }
    // 82 with four channels: the places of 5 to 8 under the captions 1 to 4, on bits 4 to 7.
    Page p(82);
    p.Answer(b, 4);
    EXPECT_FALSE(Box(p.page, "mux1")->isVisibleTo(&p.page));
    EXPECT_EQ(Box(p.page, "mux5")->text(), "1 MUX");
    EXPECT_EQ(p.page.m_lampCaptions[4]->text(), "CH1");
    Box(p.page, "mux5")->setChecked(true);
    EXPECT_EQ(p.ClickSet()->payload[1], 0x15);
}

Bytes Status(uint32_t kbps, size_t size = 20) {
    Bytes s(size, 0);
    PutU32(s, 1, kbps);
    return s;
}

TEST(EncoderPublicViewTest, StatusShowsLampsBitratesAndExtremes) {
    Page p(2);
    p.Answer(Concat({OutputBlock(), {0}}));
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kEncoderStatusTimerId));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdEncoderStatus);

    Edit(p.page, "tsId")->setText("beef");  // typing is never overwritten by a status reply
    Bytes s = Status(12345);
    s[5] = 0x1f;
    p.fx.FeedReply(kCmdEncoderStatus, s);
    EXPECT_EQ(p.page.m_bitrate->text(), "12.345");
    EXPECT_EQ(p.page.m_max->text(), "12.345");
    EXPECT_EQ(p.page.m_min->text(), "12.345");
    for (int i : {0, 1, 2, 3, kEncoderChannels})
        EXPECT_TRUE(IsLampOn(p.page.m_lamps[size_t(i)])) << i;
    EXPECT_EQ(Edit(p.page, "tsId")->text(), "beef");

    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.Answer(Concat({OutputBlock(), {0}}));
    for (uint32_t kbps : {9500u, 10250u, 8000u})
        p.fx.FeedReply(kCmdEncoderStatus, Status(kbps));
    EXPECT_EQ(p.page.m_max->text(), "10.250");
    EXPECT_EQ(p.page.m_min->text(), "8.000");
    EXPECT_FALSE(IsLampOn(p.page.m_lamps[0]));

    // A short status changes nothing it does not carry.
    p.fx.FeedReply(kCmdEncoderStatus, {0, 1});
    EXPECT_EQ(p.page.m_bitrate->text(), "8.000");

    // Get restarts the extremes, the next status sets both.
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.Answer(Concat({OutputBlock(), {0}}));
    p.fx.FeedReply(kCmdEncoderStatus, Status(20000));
    EXPECT_EQ(p.page.m_min->text(), "20.000");
    EXPECT_EQ(p.page.m_max->text(), "20.000");

    // Hidden, the page asks nothing.
    p.page.hide();
    EXPECT_FALSE(p.fx.FireTimer(&p.page, kEncoderStatusTimerId));
}

TEST(EncoderPublicViewTest, StatusOfTheCountedAndDualModels) {
    {
        Page p(87);
        p.Answer(Concat({{12, 0, 0, 0, 0, 0, 0, 0}, OutputBlock(), {0}}));
        Bytes s = Status(1000, 22);
        s[5] = 0x05, s[7] = 0xa0;
        PutU32(s, 13, 93784);
        s[19] = 0x0f;
        p.fx.FeedReply(kCmdEncoderStatus, s);
        for (int n = 9; n <= 16; ++n)
            EXPECT_EQ(IsLampOn(p.page.m_lamps[size_t(n - 1)]), n >= 13) << n;
        EXPECT_EQ(p.page.m_working->text(), "a005,Working:001Day02Hour03Min.04Sec.");
    }
    {
        Page p(89);
        p.Answer(Concat({OutputBlock(), {0}, RfBlock(474000, 14)}), 8, 2);
        Bytes s = Status(1000, 53);
        for (int i = 0; i < 8; ++i)
            PutU32(s, size_t(9 + 4 * i), 1000u * uint32_t(i + 1));
        PutU32(s, 49, 4321);
        p.fx.FeedReply(kCmdEncoderStatus, s);
        EXPECT_EQ(p.page.m_maxCaption->text(), "BitRate2:");
        EXPECT_EQ(p.page.m_max->text(), "4.321");
        EXPECT_EQ(p.page.m_statusLine->text(), "1.000+2.000+3.000+4.000+5.000+6.000+7.000+8.000");
    }
}

}  // namespace encoder_public_view_test
}  // namespace nms
