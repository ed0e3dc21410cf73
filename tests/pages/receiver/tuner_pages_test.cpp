// The tuner channel records and the tuner input pages.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include "devices/device_record.h"
#include "devices/reply_routing.h"
#include "page_fixture.h"
#include "pagebase/placeholder_page.h"
#include "pages/receiver/dvbs2_8x_tuner_view.h"
#include "pages/receiver/dvbs_system_view.h"
#include "pages/receiver/tuner_grid.h"
#include "pages/receiver/tuner_records.h"
#include "receiver_device_sim.h"

namespace nms {
namespace tuner_pages_test {

using test::PageFixture;
using test::ReceiverSimDevice;
using Bytes = std::vector<uint8_t>;

TEST(TunerRecordsTest, ThousandthsTexts) {
    struct Case {
        const char* text;
        uint32_t max;
        bool ok;
        uint32_t value;
    } cases[] = {
        {"11747.5", UINT32_MAX, true, 11747500},
        {"11747", UINT32_MAX, true, 11747000},
        {"123456.0", UINT32_MAX, false, 0},
        {"123456", UINT32_MAX, false, 0},
        {"27.5", 65535, true, 27500},
        {"65.535", 65535, true, 65535},
        {"70", 65535, false, 0},  // would be cut to 4464
        {"1.23456", 65535, true, 1234},
    };
    for (const Case& c : cases) {
        uint32_t v = 0;
        EXPECT_EQ(ParseTunerThousandths(c.text, c.max, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(FormatThousandthsText(12605000), "12605.000");
    EXPECT_EQ(FormatThousandthsText(27500), "27.500");
}

TEST(TunerRecordsTest, MacTexts) {
    std::tm t{};
    t.tm_mon = 11, t.tm_mday = 9, t.tm_hour = 14, t.tm_min = 30, t.tm_sec = 5;
    EXPECT_EQ(MacTextFromTime(t), "00-12-09-14-30-05");
    uint8_t mac[6] = {};
    ASSERT_TRUE(ParseMacDashes("00-12-09-14-30-05", mac));
    EXPECT_EQ(Bytes(mac, mac + 6), (Bytes{0x00, 0x12, 0x09, 0x14, 0x30, 0x05}));
    EXPECT_FALSE(ParseMacDashes("00-12-09-14-30", mac));
    ASSERT_TRUE(ParseMacText("00:1a:2B:3c:4d:5e", mac));
    EXPECT_EQ(Bytes(mac, mac + 6), (Bytes{0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}));
    for (const char* bad : {"", "00-12-09", "0012091430", "00-12-09-14-30-zz"})
        EXPECT_FALSE(ParseMacText(bad, mac)) << bad;
}

TEST(TunerRecordsTest, RowKeepsUnshownBytesAndUnselectedLists) {
    Bytes image(29);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(0x80 + i);
    image[10] = 7;  // beyond the polarization list
    TunerRowInputs row = ShowTunerRow(image, 0, true);
    row.selection[0] = -1;  // the list shows no selection
    row.frequency = "11747.5";
    const Bytes before = image;
    EXPECT_EQ(TakeTunerRow(row, image, 0, true), "");
    EXPECT_EQ(image[10], 7);
    EXPECT_EQ(image[4], 0xac);
    EXPECT_EQ(image[5], 0x40);
    EXPECT_EQ(Bytes(image.begin() + 12, image.end()), Bytes(before.begin() + 12, before.end()));
    row.symbol = "70";
    EXPECT_EQ(TakeTunerRow(row, image, 0, true), kSymbolOverMaximumText);
    row.symbol = ShowTunerRow(image, 0, true).symbol;
    row.lnb = "123456";
    EXPECT_EQ(TakeTunerRow(row, image, 0, true), kFrequencyOverMaximumText);
}

// The device's records with the layout the page shows.
Bytes DvbsReply(int records, bool block) {
    Bytes r(size_t(records) * 29);
    for (int k = 0; k < records; ++k) {
        for (int i = 13; i < 29; ++i)
            r[size_t(29 * k + i)] = uint8_t(k * 16 + i);
        const uint32_t f = 11700000 + 1000 * uint32_t(k), lnb = 10600000;
        for (int i = 0; i < 4; ++i) {
            r[size_t(29 * k + i)] = uint8_t(lnb >> (8 * i));
            r[size_t(29 * k + 4 + i)] = uint8_t(f >> (8 * i));
        }
        r[size_t(29 * k + 8)] = 0x6c, r[size_t(29 * k + 9)] = 0x6b;
        r[size_t(29 * k + 10)] = 1, r[size_t(29 * k + 11)] = 1, r[size_t(29 * k + 12)] = 2;
        r[size_t(29 * k + 17)] = uint8_t(k % 2);
    }
    if (block) {
        r.push_back(0xA0);
        for (int i = 0; i < 96; ++i)
            r.push_back(uint8_t(i < 4 ? 10 + i : 0x40 + i));
    }
    return r;
}

struct DvbsPage {
    PageFixture fx;
    CDVBSSystemView page;
    explicit DvbsPage(int pageParam, uint16_t type = 0x4125) : fx(type) {
        fx.Bind(&page, pageParam);
        auto get = fx.TakeSentPacket();
        EXPECT_TRUE(get && get->command == 0x70 && get->payload.empty());
        EXPECT_TRUE(page.IsBusy());
    }
    void Reply(const Bytes& payload, uint8_t mode = 0) {
        fx.FeedReply(0x70, payload, mode);
        EXPECT_FALSE(page.IsBusy());
        auto version = fx.TakeSentPacket();
        EXPECT_TRUE(version && version->command == 0x02);
    }
    std::optional<test::SentPacket> Set() {
        page.m_set->click();
        return fx.TakeSentPacket();
    }
    bool RowShown(int row) { return page.m_grid->m_frequency[size_t(row)]->isVisibleTo(&page); }
};

TEST(DvbsSystemViewTest, SixRecordsWithoutBlock) {
    DvbsPage p(35);
    const Bytes reply = DvbsReply(6, false);
    p.Reply(reply);
    EXPECT_EQ(p.page.Logic().ChannelCount(), 6);
    EXPECT_TRUE(p.RowShown(5));
    EXPECT_FALSE(p.RowShown(6));
    EXPECT_FALSE(p.page.m_ipArea->isVisibleTo(&p.page));
    EXPECT_EQ(p.page.m_grid->m_frequency[2]->text(), "11702.000");
    EXPECT_EQ(p.page.m_grid->m_symbol[2]->text(), "27.500");
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x71);
    EXPECT_EQ(set->payload, reply);
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x71, {});
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(DvbsSystemViewTest, EightRecordsWithBlockGetANewMac) {
    DvbsPage p(35);
    const Bytes reply = DvbsReply(8, true);
    ASSERT_EQ(reply.size(), 329u);
    p.Reply(reply);
    EXPECT_TRUE(p.page.m_ipArea->isVisibleTo(&p.page));
    EXPECT_TRUE(p.RowShown(7));
    EXPECT_EQ(p.page.m_port->text(), QString::number(0x4445));
    p.page.m_port->setText("5000");
    p.page.m_grid->m_frequency[7]->setText("12000.125");
    auto set = p.Set();
    ASSERT_TRUE(set);
    ASSERT_EQ(set->payload.size(), 329u);
    uint8_t mac[6];
    ASSERT_TRUE(ParseMacDashes(p.page.m_mac->text().toStdString(), mac));
    Bytes expected = reply;
    expected[29 * 7 + 4] = 0x7d, expected[29 * 7 + 5] = 0x1b, expected[29 * 7 + 6] = 0xb7;
    expected[29 * 7 + 7] = 0x00;  // 12000125 kHz
    expected[237] = 0x13, expected[238] = 0x88;
    std::copy(mac, mac + 6, expected.begin() + 239);
    EXPECT_EQ(set->payload, expected);
    EXPECT_EQ(mac[0], 0);
}

TEST(DvbsSystemViewTest, ShortAndOddReplies) {
    DvbsPage p(35);
    // Too short for six records: nothing changes and the wait goes on.
    p.fx.FeedReply(0x70, Bytes(173, 1));
    EXPECT_TRUE(p.page.IsBusy());
    EXPECT_FALSE(p.fx.TakeSentPacket());
    // 231 bytes: six records, the marker looked for at 174; the block cut short after 56 bytes is
    // still the block, its missing bytes written as 0.
    Bytes r = DvbsReply(6, true);
    r.resize(231);
    p.Reply(r);
    EXPECT_EQ(p.page.Logic().ChannelCount(), 6);
    EXPECT_TRUE(p.page.Logic().HasIpBlock());
    EXPECT_TRUE(p.page.m_ipArea->isVisibleTo(&p.page));
    EXPECT_EQ(p.page.m_port->text(), QString::number(0x4445));
    auto cut = p.Set();
    ASSERT_TRUE(cut);
    ASSERT_EQ(cut->payload.size(), 271u);
    uint8_t mac[6];
    ASSERT_TRUE(ParseMacDashes(p.page.m_mac->text().toStdString(), mac));
    Bytes expected = r;
    std::copy(mac, mac + 6, expected.begin() + 181);
    expected.resize(271, 0);
    EXPECT_EQ(cut->payload, expected);
    p.fx.FeedReply(0x71, {});
    // A marker with nothing behind it.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    r = DvbsReply(8, false);
    r.push_back(0xA0);
    p.Reply(r);
    EXPECT_EQ(p.page.Logic().ChannelCount(), 8);
    EXPECT_FALSE(p.page.Logic().HasIpBlock());
    EXPECT_EQ(p.Set()->payload.size(), 232u);
}

TEST(DvbsSystemViewTest, FourRowVariantWritesFourRecordsAndTheBlock) {
    DvbsPage p(0, 0x5103);
    EXPECT_FALSE(p.page.m_grid->m_second[0]->isVisibleTo(&p.page));
    EXPECT_FALSE(p.RowShown(4));
    const Bytes reply = DvbsReply(8, true);
    p.Reply(reply, 1);
    EXPECT_FALSE(p.page.m_ipArea->isVisibleTo(&p.page));
    auto set = p.Set();
    ASSERT_TRUE(set);
    ASSERT_EQ(set->payload.size(), 213u);
    EXPECT_EQ(Bytes(set->payload.begin(), set->payload.begin() + 116),
              Bytes(reply.begin(), reply.begin() + 116));
    EXPECT_EQ(set->payload[116], 0xA0);
    EXPECT_EQ(Bytes(set->payload.begin() + 117, set->payload.end()), Bytes(reply.begin() + 233, reply.end()));
}

TEST(DvbsSystemViewTest, OnlyTheVariantThatShowsTheIpAreaWritesItsAddressPortAndMac) {
    // The others send the block exactly as it came: its MAC too, although every Set makes a new MAC text.
    struct Case {
        int pageParam;
        uint16_t type;
        size_t blockAt;  // in the write
    } cases[] = {{0, 0x5103, 117}, {37, 0x2133, 233}};
    for (const Case& c : cases) {
        DvbsPage p(c.pageParam, c.type);
        Bytes reply = DvbsReply(8, true);
        const Bytes mac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
        std::copy(mac.begin(), mac.end(), reply.begin() + 239);
        p.Reply(reply);
        EXPECT_FALSE(p.page.m_ipArea->isVisibleTo(&p.page)) << c.pageParam;
        auto set = p.Set();
        ASSERT_TRUE(set) << c.pageParam;
        ASSERT_EQ(set->payload.size(), c.blockAt + 96) << c.pageParam;
        EXPECT_EQ(set->payload[c.blockAt - 1], 0xA0) << c.pageParam;
        EXPECT_EQ(Bytes(set->payload.begin() + long(c.blockAt), set->payload.end()),
                  Bytes(reply.begin() + 233, reply.end()))
            << c.pageParam;
    }
}

TEST(DvbsSystemViewTest, AReadOrWriteReplyAfterItsTimeOutIsShownOnceAndStartsNothing) {
    DvbsPage p(35);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    EXPECT_FALSE(p.page.IsBusy());
    // The late read is shown; only the version request goes out, and no wait begins.
    const Bytes reply = DvbsReply(8, false);
    p.fx.FeedReply(0x70, reply);
    EXPECT_EQ(p.page.m_grid->m_frequency[7]->text(), "11707.000");
    EXPECT_EQ(p.page.Logic().ChannelCount(), 8);
    EXPECT_FALSE(p.page.IsBusy());
    std::vector<int> sent;
    while (auto packet = p.fx.TakeSentPacket())
        sent.push_back(packet->command);
    EXPECT_EQ(sent, (std::vector<int>{0x02}));
    // Only once: a second copy finds nothing late.
    Bytes other = reply;
    other[29 * 7 + 4] ^= 0x10;
    p.fx.FeedReply(0x70, other);
    EXPECT_EQ(p.page.m_grid->m_frequency[7]->text(), "11707.000");
    EXPECT_FALSE(p.fx.TakeSentPacket());

    // A write's late reply ends nothing and starts nothing; the next Get's late reply no longer counts
    // once a newer request went out.
    ASSERT_TRUE(p.Set());
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    p.page.OnGet();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x70);
    p.fx.FeedReply(0x71, {});
    EXPECT_TRUE(p.page.IsBusy());
    p.Reply(reply);
}

TEST(DvbsSystemViewTest, CableModeHidesColumnsButChecksThem) {
    DvbsPage p(35);
    Bytes reply = DvbsReply(8, false);
    reply[29 * 3 + 0] = reply[29 * 3 + 1] = reply[29 * 3 + 2] = reply[29 * 3 + 3] = 0;  // record 4: LNB 0
    p.Reply(reply, 3);
    EXPECT_EQ(p.page.m_grid->m_captions[TunerGrid::kFirst]->text(), "Constellation:");
    EXPECT_EQ(p.page.m_grid->m_first[0]->itemText(5), "1024QAN");
    EXPECT_FALSE(p.page.m_grid->m_lnb[0]->isVisibleTo(&p.page));
    EXPECT_FALSE(p.page.m_grid->m_disable[0]->isVisibleTo(&p.page));
    EXPECT_FALSE(p.page.m_grid->m_second[0]->isVisibleTo(&p.page));
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "parameter can not empty!");
    // The next reply in satellite mode brings the polarization list back.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    p.Reply(DvbsReply(8, false), 6);
    EXPECT_EQ(p.page.m_grid->m_first[0]->itemText(0), "Hor.(18V)");
    EXPECT_FALSE(p.RowShown(4));
}

TEST(DvbsSystemViewTest, SixteenChannelsOnTwoTabs) {
    DvbsPage p(39, 0x2143);
    QTabBar* tabs = p.page.m_grid->Tabs();
    EXPECT_TRUE(tabs->isVisibleTo(&p.page));
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Channel 8-16");
    Bytes reply = DvbsReply(16, false);
    reply[29 * 11 + 8] = reply[29 * 11 + 9] = 0;  // record 12: symbol rate 0
    p.Reply(reply);
    tabs->setCurrentIndex(1);  // as a click does
    EXPECT_EQ(p.page.m_grid->m_rowLabels[0]->text(), "9");
    EXPECT_EQ(p.page.m_grid->m_frequency[0]->text(), "11708.000");
    p.page.m_grid->m_frequency[2]->setText("11111");
    tabs->setCurrentIndex(0);
    EXPECT_EQ(p.page.m_grid->m_rowLabels[0]->text(), "1");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "11 parameter is empty(16,464)!");
    EXPECT_EQ(p.page.Logic().Records()[29 * 10 + 4], uint8_t(11111000 & 0xff));
    // A refused value keeps its tab in front.
    p.page.m_grid->m_symbol[1]->setText("99");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, kSymbolOverMaximumText);
    p.page.m_grid->m_symbol[1]->setText("27.5");
    tabs->setCurrentIndex(1);
    p.page.m_grid->m_symbol[3]->setText("30");
    auto set = p.Set();
    ASSERT_TRUE(set);
    Bytes expected = reply;
    expected[29 * 10 + 4] = uint8_t(11111000), expected[29 * 10 + 5] = uint8_t(11111000 >> 8);
    expected[29 * 10 + 6] = uint8_t(11111000 >> 16), expected[29 * 10 + 7] = uint8_t(11111000 >> 24);
    expected[29 * 11 + 8] = 0x30, expected[29 * 11 + 9] = 0x75;
    EXPECT_EQ(set->payload, expected);
}

TEST(DvbsSystemViewTest, SixRowVariantSendsRecordsSevenAndEightAsRead) {
    DvbsPage p(36, 0x2103);
    EXPECT_FALSE(p.page.m_grid->m_disable[0]->isVisibleTo(&p.page));
    Bytes reply = DvbsReply(8, false);
    reply[29 * 6 + 10] = 9;  // record 7: a byte no list holds
    p.Reply(reply, 2);
    EXPECT_TRUE(p.page.m_grid->m_disable[0]->isVisibleTo(&p.page));
    EXPECT_FALSE(p.RowShown(6));
    p.page.m_grid->m_disable[0]->setCurrentIndex(1);
    auto set = p.Set();
    ASSERT_TRUE(set);
    Bytes expected = reply;
    expected[17] = 1;
    EXPECT_EQ(set->payload, expected);
}

TEST(DvbsSystemViewTest, RefusedValuesAndOfflineDevice) {
    DvbsPage p(37, 0x2133);
    p.Reply(DvbsReply(8, false));
    EXPECT_FALSE(p.page.m_grid->m_disable[0]->isVisibleTo(&p.page));
    // Every number too long for the record is reported and taken as 0, which the empty-record check then
    // refuses: one box per such field, then the check's.
    p.page.m_grid->m_frequency[0]->setText("123456.0");
    p.page.m_grid->m_lnb[4]->setText("123456.0");
    EXPECT_FALSE(p.Set());
    std::vector<std::string> boxes;
    for (const auto& shown : p.fx.Prompt().shown)
        boxes.push_back(shown.text);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Frequency error,over maximum!",
                                               "Frequency error,over maximum!", "parameter can not empty!"}));
    EXPECT_EQ(p.page.Logic().Records()[4], 0);
    EXPECT_FALSE(p.page.IsBusy());
    p.page.m_grid->m_frequency[0]->setText("11700");
    p.page.m_grid->m_lnb[4]->setText("10600");
    p.fx.Device()->status.store(0);
    EXPECT_FALSE(p.Set());
    p.page.OnGet();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(DvbsSystemViewTest, SimulatedDeviceRoundTrip) {
    for (uint16_t type : {0x5103, 0x4125, 0x2103, 0x2133, 0x2143}) {
        const int pageParam = type == 0x5103   ? 0
                              : type == 0x4125 ? 35
                              : type == 0x2103 ? 36
                              : type == 0x2133 ? 37
                                               : 39;
        DvbsPage p(pageParam, type);
        ReceiverSimDevice sim(type);
        auto reply = sim.Handle(0x70, {});
        ASSERT_TRUE(reply);
        p.Reply(reply->payload, reply->b);
        auto set = p.Set();
        ASSERT_TRUE(set) << type;
        const Bytes before = sim.TunerRecords();
        const Bytes block = sim.DvbsIpBlock();
        ASSERT_TRUE(sim.Handle(0x71, set->payload));
        EXPECT_EQ(sim.TunerRecords(), before) << type;
        // Only the variant that shows the IP area writes a new MAC into the block.
        if (pageParam != 35) {
            EXPECT_EQ(sim.DvbsIpBlock(), block) << type;
        }
    }
}

TEST(DvbsSystemViewTest, SharedBindingAndTimerBodies) {
    PageFixture fx(0x5103);
    CPlaceholderPage other("CEncoderVideoView");
    CDVBSSystemView::SetDevice(other, fx.Device());
    EXPECT_EQ(ReplyWindowOf(fx.Device()), static_cast<IReplyReceiver*>(&other));
    other.BeginWait(kWaitTimerId);
    other.SetTimer(66, 1000);
    CDVBSSystemView::OnTimer(other, 66);  // other ids change nothing
    EXPECT_TRUE(other.IsBusy());
    CDVBSSystemView::OnTimer(other, kWaitTimerId);
    EXPECT_FALSE(other.IsBusy());
    EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
    EXPECT_FALSE(fx.PeekSentPacket().has_value());
}

}  // namespace tuner_pages_test
}  // namespace nms

namespace nms {
namespace tuner_pages_test {

Bytes TunerRecords(int count) {
    ReceiverSimDevice sim(count == 16 ? 0x2115 : 0x2105);
    return sim.TunerRecords();
}

struct Tuner8xPage {
    PageFixture fx;
    Cdvbs2_8xTuner page;
    explicit Tuner8xPage(uint16_t type = 0x2105) : fx(type) {
        fx.Bind(&page, 0);
        auto get = fx.TakeSentPacket();
        EXPECT_TRUE(get && get->command == 0x70 && get->payload.empty());
    }
    void Reply(const Bytes& payload, uint8_t mode) {
        fx.FeedReply(0x70, payload, mode);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_FALSE(fx.TakeSentPacket());  // no version request follows
    }
    bool Shown(QWidget* w) { return w->isVisibleTo(&page); }
};

TEST(Tuner8xTest, AReadReplyAfterItsTimeOutIsShownOnceAndStartsNothing) {
    Tuner8xPage p(0x2115);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    const Bytes records = TunerRecords(16);
    p.fx.FeedReply(0x70, records, 16);  // late: shown in its mode, nothing sent, no wait
    EXPECT_TRUE(p.Shown(p.page.m_grid->Tabs()));
    EXPECT_EQ(p.page.m_grid->m_frequency[1]->text(), "11720.000");
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_FALSE(p.fx.TakeSentPacket());
    p.fx.FeedReply(0x70, Bytes(600, 0), 3);  // a second copy is not taken
    EXPECT_EQ(p.page.m_grid->m_frequency[1]->text(), "11720.000");
    EXPECT_EQ(p.page.Logic().Mode(), 16);
    // A write's late reply after a newer request does not end that request's wait.
    p.page.m_set->click();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x71);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    p.page.m_get->click();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x70);
    p.fx.FeedReply(0x71, {});
    EXPECT_TRUE(p.page.IsBusy());
    p.Reply(records, 16);
}

TEST(Tuner8xTest, SixteenChannelsOnTwoTabs) {
    Tuner8xPage p(0x2115);
    EXPECT_FALSE(p.Shown(p.page.m_grid->Tabs()));
    const Bytes records = TunerRecords(16);
    ASSERT_EQ(records.size(), 1200u);
    p.Reply(records, 16);
    EXPECT_TRUE(p.Shown(p.page.m_grid->Tabs()));
    p.page.m_grid->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(p.page.m_grid->m_rowLabels[7]->text(), "16");
    p.page.m_grid->m_frequency[0]->setText("12000");
    p.page.m_grid->Tabs()->setCurrentIndex(0);
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x71);
    Bytes expected = records;
    const uint32_t f = 12000000;
    for (int i = 0; i < 4; ++i)
        expected[75 * 8 + 4 + size_t(i)] = uint8_t(f >> (8 * i));
    EXPECT_EQ(set->payload, expected);
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x71, {});
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(Tuner8xTest, CableAndTerrestrialLayouts) {
    Tuner8xPage p;
    Bytes records = TunerRecords(8);
    records[75 * 2 + 11] = 4;  // bandwidth 1.7M
    p.Reply(records, 3);
    EXPECT_EQ(p.page.m_grid->m_first[0]->itemText(5), "1024QAM");
    EXPECT_FALSE(p.Shown(p.page.m_grid->m_lnb[0]));
    EXPECT_FALSE(p.Shown(p.page.m_grid->m_second[0]));
    EXPECT_FALSE(p.Shown(p.page.m_grid->m_captions[TunerGrid::kDiseqc]));
    EXPECT_EQ(p.page.m_grid->m_captions[TunerGrid::kFirst]->text(), "Polarization:");
    p.page.OnGet();
    p.fx.TakeSentPacket();
    p.Reply(records, 4);
    EXPECT_EQ(p.page.m_grid->m_captions[TunerGrid::kFirst]->text(), "Modulation Mode");
    EXPECT_EQ(p.page.m_grid->m_captions[TunerGrid::kSecond]->text(), "Bandwidth:");
    EXPECT_EQ(p.page.m_grid->m_second[2]->currentText(), "1.7M");
    EXPECT_FALSE(p.Shown(p.page.m_grid->m_symbol[0]));
    // The hidden symbol rates and LNB frequencies go back as received.
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload, records);
    // A satellite reply restores the whole satellite layout.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    p.Reply(records, 0);
    EXPECT_EQ(p.page.m_grid->m_captions[TunerGrid::kFirst]->text(), "Polarization:");
    EXPECT_EQ(p.page.m_grid->m_first[0]->itemText(0), "Hor.(18V)");
    EXPECT_TRUE(p.Shown(p.page.m_grid->m_lnb[0]));
    EXPECT_FALSE(p.Shown(p.page.m_grid->m_disable[0]));
}

TEST(Tuner8xTest, EmptyRecordsShortRepliesAndRefusedValues) {
    Tuner8xPage p;
    Bytes records = TunerRecords(8);
    records[75 * 5 + 0] = records[75 * 5 + 1] = records[75 * 5 + 2] = records[75 * 5 + 3] = 0;
    // Shorter than its mode's records: nothing changes, the wait goes on.
    p.fx.FeedReply(0x70, Bytes(records.begin(), records.begin() + 599), 8);
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x70, records, 16);  // 600 bytes are short for 16 channels
    EXPECT_TRUE(p.page.IsBusy());
    p.Reply(records, 3);
    p.page.m_set->click();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "parameter can not empty 2!");
    p.page.m_grid->m_frequency[1]->setText("1234567");
    p.page.m_set->click();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, kFrequencyOverMaximumText);
}

TEST(Tuner8xTest, SimulatedDeviceKeepsWhatWasWritten) {
    ReceiverSimDevice sim(0x2105);
    Tuner8xPage p;
    auto reply = sim.Handle(0x70, {});
    p.Reply(reply->payload, reply->b);
    p.page.m_grid->m_symbol[3]->setText("30");
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    sim.Handle(0x71, set->payload);
    EXPECT_EQ(sim.TunerRecords()[75 * 3 + 8], 0x30);
    EXPECT_EQ(sim.TunerRecords()[75 * 3 + 9], 0x75);
}

}  // namespace tuner_pages_test
}  // namespace nms
