#include "pages/encoder/ip_out_view.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstring>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "platform/ip_address_edit.h"

namespace nms {
namespace ip_out_view_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

void PutText(Bytes& b, size_t at, const char* text) {
    std::memcpy(b.data() + at, text, std::strlen(text));
}

// Records as a device keeps them: destination n at 239.1.1.n port 1000 + n, every second one enabled;
// record 0 holds 192.168.1.20, mask 255.255.255.0, gateway 192.168.1.1, MAC 00:11:22:33:44:55, source
// port 5000 and SPTS.
Bytes Records(int count) {
    Bytes b(size_t(159 * count), 0);
    for (int i = 0; i < count; ++i) {
        const size_t r = size_t(159 * i);
        const std::string dest = "239.1.1." + std::to_string(i + 1);
        PutText(b, r, dest.c_str());
        b[r + 32] = 239, b[r + 33] = 1, b[r + 34] = 1, b[r + 35] = uint8_t(i + 1);
        b[r + 100] = uint8_t((1001 + i) & 0xff), b[r + 101] = uint8_t((1001 + i) >> 8);
        b[r + 146] = i % 2 == 0;
        b[r + 156] = 0x77;  // not used by the page
    }
    PutText(b, 36, "192.168.001.001");
    PutText(b, 68, "255.255.255.000");
    PutText(b, 102, "192.168.1.20");
    const uint8_t local[] = {192, 168, 1, 20, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x88, 0x13};
    std::memcpy(b.data() + 134, local, sizeof local);
    b[147] = 1;
    const uint8_t gwMask[] = {192, 168, 1, 1, 255, 255, 255, 0};
    std::memcpy(b.data() + 148, gwMask, sizeof gwMask);
    return b;
}

QLineEdit* Edit(CEncoderIPOutView& page, const std::string& key) {
    return qobject_cast<QLineEdit*>(page.Field(key));
}
CIPAddressCtrl* Address(CEncoderIPOutView& page, const std::string& key) {
    return qobject_cast<CIPAddressCtrl*>(page.Field(key));
}
std::string AddressText(CEncoderIPOutView& page, const std::string& key) {
    return Address(page, key)->GetAddressText();
}

struct Page {
    Page(int pageParam, uint16_t type = 0x1101) : fx(type) {
        fx.Bind(&page, pageParam);
        sent = fx.TakeSentPacket();
    }
    void Answer(const Bytes& payload, uint8_t b = 1) { fx.FeedReply(kCmdIpOutGet, payload, b); }
    std::optional<test::SentPacket> ClickSet() {
        fx.Prompt().shown.clear();
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
    PageFixture fx;
    CEncoderIPOutView page;
    std::optional<test::SentPacket> sent;
};

TEST(IpOutViewTest, RecordFormReadsShowsAndWritesBack) {
    RegisterBuiltPages();
    EXPECT_TRUE(IsPageRegistered("CEncoderIPOutView"));
    Page p(2);
    ASSERT_TRUE(p.sent);
    EXPECT_EQ(p.sent->command, kCmdIpOutGet);
    EXPECT_TRUE(p.sent->payload.empty());
    EXPECT_TRUE(p.page.IsBusy());

    Bytes reply = Records(4);
    // The gateway shows from its text even where the binary field disagrees.
    reply[148 + 3] = 99;
    p.Answer(reply);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(AddressText(p.page, "gateway"), "192.168.1.1");
    EXPECT_EQ(Edit(p.page, "mac")->text(), "00-11-22-33-44-55");
    EXPECT_EQ(Edit(p.page, "srcPort")->text(), "5000");
    EXPECT_EQ(AddressText(p.page, "ip3"), "239.1.1.3");
    EXPECT_EQ(Edit(p.page, "port2")->text(), "1002");
    EXPECT_TRUE(p.page.m_spts->isChecked());
    EXPECT_TRUE(p.page.Field("ip4")->isVisibleTo(&p.page));
    EXPECT_FALSE(p.page.Field("ip5")->isVisibleTo(&p.page));

    auto set = p.ClickSet();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, kCmdIpOutSet);
    Bytes expected = Records(4);  // the gateway's binary field now agrees with its text
    EXPECT_EQ(set->payload, expected);
    p.fx.FeedReply(kCmdIpOutSet, {});
    EXPECT_FALSE(p.page.IsBusy());

    // Changed addresses go as value and text; an empty port is 0; MPTS hides the rows.
    Address(p.page, "ip2")->SetAddressText("10.0.0.7");
    Edit(p.page, "port3")->clear();
    Edit(p.page, "mac")->setText("00:aa:bb:cc:dd:ee");
    QTest::mouseClick(p.page.m_mpts, Qt::LeftButton);
    EXPECT_FALSE(p.page.Field("ip2")->isVisibleTo(&p.page));
    set = p.ClickSet();
    ASSERT_EQ(set->payload.size(), 636u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&set->payload[159])), "10.0.0.7");
    EXPECT_EQ(Bytes(set->payload.begin() + 159 + 32, set->payload.begin() + 159 + 36), (Bytes{10, 0, 0, 7}));
    EXPECT_EQ(set->payload[318 + 100], 0);
    EXPECT_EQ(set->payload[318 + 101], 0);
    EXPECT_EQ(Bytes(set->payload.begin() + 138, set->payload.begin() + 144),
              (Bytes{0x00, 0xaa, 0xbb, 0xcc, 0xdd, 0xee}));
    EXPECT_EQ(set->payload[147], 0);  // MPTS
}

TEST(IpOutViewTest, RefusalsComeInOrder) {
    struct Case {
        std::vector<std::pair<std::string, const char*>> edits;
        const char* message;
    };
    const Case cases[] = {
        {{{"srcPort", "70000"}, {"mac", "x"}}, "Source Port:Value range should be between 0-65535"},
        {{{"srcPort", "12a"}}, "Source Port:Value range should be between 0-65535"},
        {{{"mac", "001122334455"}, {"port1", "x"}}, "MAC error,please input correct MAC address!"},
        {{{"mac", "0:1:2:3:4:5:6:7:8"}}, "MAC error,please input correct MAC address!"},
        {{{"mac", "00-11-22-33-44-zz"}}, "MAC error,please input correct MAC address!"},
        {{{"port3", "65536"}, {"port4", "x"}}, "Port-3:Port:Value range should be between 0-65535"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Page p(2);
        p.Answer(Records(4));
        for (const auto& [key, text] : c.edits)
            Edit(p.page, key)->setText(text);
        EXPECT_FALSE(p.ClickSet());
        ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(p.fx.Prompt().shown[0].text, c.message);
        EXPECT_EQ(p.fx.Prompt().shown[0].caption, "Warning");
    }
    // Both separators give the same bytes.
    for (const char* mac : {"00:11:22:33:44:56", "00-11-22-33-44-56"}) {
        Page p(1);
        p.Answer(Records(1));
        Edit(p.page, "mac")->setText(mac);
        auto set = p.ClickSet();
        ASSERT_TRUE(set);
        EXPECT_EQ(set->payload.size(), 159u);
        EXPECT_EQ(set->payload[143], 0x56);
    }
    Page unknown(5);
    unknown.Answer(Records(1));
    EXPECT_FALSE(unknown.ClickSet());
    ASSERT_EQ(unknown.fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(unknown.fx.Prompt().shown[0].text, "Error!");
}

TEST(IpOutViewTest, RepliesOfOddLengthsAndCounts) {
    {
        // Whole records only; rows the reply does not cover show the defaults.
        Page p(81);
        Bytes reply = Records(2);
        reply.resize(reply.size() + 50, 0xee);
        p.Answer(reply);
        EXPECT_EQ(AddressText(p.page, "ip2"), "239.1.1.2");
        EXPECT_EQ(AddressText(p.page, "ip3"), "224.2.2.2");
        EXPECT_EQ(Edit(p.page, "port3")->text(), "1234");
        EXPECT_TRUE(static_cast<QCheckBox*>(p.page.Field("enable1"))->isChecked());
        EXPECT_FALSE(static_cast<QCheckBox*>(p.page.Field("enable3"))->isChecked());
        EXPECT_EQ(p.ClickSet()->payload.size(), 1272u);
    }
    {
        // More records than the page keeps: the first 16 are taken.
        Page p(81);
        p.Answer(Records(20));
        EXPECT_EQ(AddressText(p.page, "ip8"), "239.1.1.8");
    }
    {
        // 82 with bit 3 of header byte 2: four destinations shown, eight records sent.
        Page p(82);
        p.Answer(Records(8), 0x08);
        EXPECT_TRUE(p.page.Field("ip4")->isVisibleTo(&p.page));
        EXPECT_FALSE(p.page.Field("ip5")->isVisibleTo(&p.page));
        EXPECT_EQ(p.ClickSet()->payload, Records(8));
    }
    {
        // The gateway of type 0x2125: SPTS fixed, the choice hidden.
        Page p(2, 0x2125);
        EXPECT_FALSE(p.page.m_mpts->isVisibleTo(&p.page));
        Bytes reply = Records(4);
        reply[147] = 0;
        p.Answer(reply);
        EXPECT_TRUE(p.page.Field("ip4")->isVisibleTo(&p.page));
        EXPECT_EQ(p.ClickSet()->payload[147], 1);
    }
    {
        Page p(85);
        EXPECT_EQ(static_cast<QCheckBox*>(p.page.Field("enable1"))->text(), "Encrypted");
        Page q(97);
        EXPECT_EQ(q.page.m_destinations->title(), "IP Input Setting");
        EXPECT_FALSE(q.page.m_mpts->isVisibleTo(&q.page));
    }
}

TEST(IpOutViewTest, BlockFormRoundTripsWithItsCount) {
    Bytes block(287);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = uint8_t(i * 7 + 3);
    block[0] = 12;
    block[28] = 1;  // SPTS
    for (int i = 0; i < 16; ++i) {
        const size_t at = size_t(47 + 15 * i);
        block[at] = 239, block[at + 1] = 2, block[at + 2] = 0, block[at + 3] = uint8_t(i + 1);
        if (at + 6 < 287)
            block[at + 6] = 1;
    }
    Page p(87);
    p.Answer(block);
    EXPECT_EQ(AddressText(p.page, "ip12"), "239.2.0.12");
    EXPECT_TRUE(p.page.Field("ip12")->isVisibleTo(&p.page));
    EXPECT_FALSE(p.page.Field("ip13")->isVisibleTo(&p.page));
    auto set = p.ClickSet();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload, block);  // bytes 0 to 7 go back as read

    p.fx.FeedReply(kCmdIpOutSet, {});
    Edit(p.page, "port12")->setText("4000");
    set = p.ClickSet();
    const size_t at = 47 + 15 * 11 + 4;
    EXPECT_EQ(set->payload[at], 4000 & 0xff);
    EXPECT_EQ(set->payload[at + 1], 4000 >> 8);
}

// The MPTS/SPTS byte follows every click, not only the first one after a read: 0 with MPTS, 1 with SPTS.
TEST(IpOutViewTest, EverySetSendsTheStreamChoiceShown) {
    struct Case {
        uint16_t type;
        int pageParam;
        size_t sptsByte;
    };
    Bytes block(287, 0);
    block[0] = 16;
    const Case cases[] = {{0x1302, 81, 147}, {0x1303, 87, 28}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Page p(c.pageParam, c.type);
        Bytes reply = c.pageParam == 87 ? block : Records(8);
        reply[c.sptsByte] = 0;  // MPTS as read
        p.Answer(reply);
        ASSERT_TRUE(p.page.m_mpts->isChecked());
        for (bool spts : {true, false, true, false}) {
            QTest::mouseClick(spts ? p.page.m_spts : p.page.m_mpts, Qt::LeftButton);
            EXPECT_EQ(p.page.Field("ip2")->isVisibleTo(&p.page), spts);
            auto set = p.ClickSet();
            ASSERT_TRUE(set);
            EXPECT_EQ(set->payload[c.sptsByte], spts ? 1 : 0) << (spts ? "SPTS" : "MPTS");
            p.fx.FeedReply(kCmdIpOutSet, {});
        }
    }
    // Any non-zero byte a device sent shows SPTS, and SPTS goes out as 1, whether clicked or as read.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Page p(c.pageParam, c.type);
        Bytes reply = c.pageParam == 87 ? block : Records(8);
        reply[c.sptsByte] = 2;
        p.Answer(reply);
        EXPECT_TRUE(p.page.m_spts->isChecked());
        auto set = p.ClickSet();
        ASSERT_TRUE(set);
        EXPECT_EQ(set->payload[c.sptsByte], 1);
    }
}

}  // namespace ip_out_view_test
}  // namespace nms
