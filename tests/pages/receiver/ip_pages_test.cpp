// The TS-over-IP / IP-input channel page and the gateway pages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <functional>

#include "devices/device_record.h"
#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/receiver/asi2ip_view.h"
#include "pages/receiver/ip_gateway_view.h"
#include "pages/receiver/multi_ip_view.h"
#include "pages/receiver/tuner_records.h"
#include "platform/ip_address_edit.h"
#include "receiver_device_sim.h"

namespace nms {
namespace ip_pages_test {

using test::PageFixture;
using test::ReceiverSimDevice;
using Bytes = std::vector<uint8_t>;

struct IpPage {
    PageFixture fx;
    CMultiIPout page;
    ReceiverSimDevice sim;
    IpPage(int pageParam, uint16_t type) : fx(type), sim(type) {
        fx.Bind(&page, pageParam);
        auto get = fx.TakeSentPacket();
        EXPECT_TRUE(get && get->command == 0x58 && get->payload.empty());
        EXPECT_TRUE(page.IsBusy());
    }
    Bytes Block() { return sim.Handle(0x58, {})->payload; }
    void Reply(const Bytes& block) {
        fx.FeedReply(0x58, block);
        EXPECT_FALSE(page.IsBusy());
        auto version = fx.TakeSentPacket();
        EXPECT_TRUE(version && version->command == 0x02);
    }
    std::optional<test::SentPacket> Set() {
        page.m_set->click();
        return fx.TakeSentPacket();
    }
    bool Shown(QWidget* w) { return w->isVisibleTo(&page); }
    QStringList TabNames() {
        QStringList names;
        for (int i = 0; i < page.m_tabs->count(); ++i)
            names << page.m_tabs->tabText(i);
        return names;
    }
};

// The block as a Set sends it: the MAC made from the time the Set ran.
Bytes WithMac(Bytes block, const QString& macText) {
    uint8_t mac[6];
    EXPECT_TRUE(ParseMacText(macText.toStdString(), mac));
    std::copy(mac, mac + 6, block.begin() + 6);
    return block;
}

TEST(MultiIpTest, ChannelTabsByMode) {
    IpPage p(0, 0x2105);
    EXPECT_EQ(p.page.m_tabs->count(), 8);
    Bytes block = p.Block();
    block[20] = 3;
    p.Reply(block);
    EXPECT_EQ(p.TabNames(), QStringList({"Channel 1-16", "Channel 17-32", "Channel 33-48", "Channel 49-64",
                                         "65-80", "81-96", "97-112", "113-128"}));
    EXPECT_EQ(p.page.CurrentTab(), 0);
    p.page.m_tabs->setCurrentIndex(7);
    EXPECT_TRUE(p.Shown(p.page.m_ports[15]));
    EXPECT_EQ(p.page.m_numbers[15]->text(), "128");
    EXPECT_EQ(p.page.m_ports[15]->text(), QString::number(1234 + 127));
    // Mode 0: eight channels on the first tab, none on the second.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    block[20] = 0;
    p.Reply(block);
    EXPECT_TRUE(p.Shown(p.page.m_ports[7]));
    EXPECT_FALSE(p.Shown(p.page.m_ports[8]));
    p.page.m_tabs->setCurrentIndex(1);
    EXPECT_FALSE(p.Shown(p.page.m_ports[0]));
    // The enable bits go back as received: the checks are not shown on this page.
    EXPECT_FALSE(p.Shown(p.page.m_enables[0]));
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x59);
    EXPECT_EQ(set->payload, WithMac(block, p.page.m_mac->text()));
}

TEST(MultiIpTest, EditsReachTheBlockOnTabChangeAndRefusalsKeepTheTab) {
    IpPage p(0, 0x2115);
    Bytes block = p.Block();
    block[20] = 1;
    p.Reply(block);
    p.page.m_ports[1]->setText("70000");  // row 2: refused, not cut to 4464
    p.page.m_tabs->setCurrentIndex(1);
    EXPECT_EQ(p.page.m_tabs->currentIndex(), 0);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Port-2:Port:Value range should be between 0-65535");
    EXPECT_FALSE(p.Set());  // and the Set stops
    p.page.m_ports[1]->setText("5000");
    p.page.m_mac->setText("00-12-09-09-33-2");  // 16 characters
    p.page.m_tabs->setCurrentIndex(1);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "MAC error,please input correct MAC address!");
    EXPECT_EQ(p.page.CurrentTab(), 0);
    p.page.m_mac->setText("00-12-09-09-33-23");
    p.page.m_sourcePort->setText("65536");
    p.page.m_tabs->setCurrentIndex(1);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Source Port:Value range should be between 0-65535");
    p.page.m_sourcePort->setText("4000");
    p.page.m_tabs->setCurrentIndex(1);
    EXPECT_EQ(p.page.CurrentTab(), 1);
    EXPECT_EQ(p.page.m_numbers[0]->text(), "17");
    const Bytes& b = p.page.Logic().Block();
    EXPECT_EQ(Bytes(b.begin() + 6, b.begin() + 12), (Bytes{0x00, 0x12, 0x09, 0x09, 0x33, 0x23}));
    EXPECT_EQ(b[61 + 7 + 4], 0x88);
    EXPECT_EQ(b[61 + 7 + 5], 0x13);
    EXPECT_EQ(b[4], 0xa0);
    EXPECT_EQ(b[5], 0x0f);
    p.page.m_ips[0]->SetAddress(10, 0, 0, 1);
    p.page.m_ips[3]->SetAddress(172, 16, 5, 9);
    p.page.OnIpCopy(false);
    uint8_t a, b2, c, d;
    p.page.m_ips[3]->GetAddress(a, b2, c, d);
    EXPECT_EQ(std::vector<int>({a, b2, c, d}), std::vector<int>({10, 0, 0, 9}));
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[61 + 7 * 16], 10);
    EXPECT_EQ(set->payload[61 + 7 * 19 + 3], 9);
    // Row 1's port message names row 1 on every tab; the other rows name their channel.
    p.fx.FeedReply(0x59, {});
    p.page.m_ports[0]->setText("70000");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Port-1:Port:Value range should be between 0-65535");
    p.page.m_ports[0]->setText("5000");
    p.page.m_ports[2]->setText("70000");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Port-19:Port:Value range should be between 0-65535");
}

TEST(MultiIpTest, ReceiverModesAndSpts) {
    IpPage p(66, 0x5217);
    EXPECT_FALSE(p.Shown(p.page.m_ports[0]));
    EXPECT_FALSE(p.Shown(p.page.m_tabs));
    Bytes block = p.Block();
    ASSERT_EQ(block[20], 8);
    p.Reply(block);
    EXPECT_EQ(p.TabNames(), QStringList({"IP OUT", "IP IN"}));
    EXPECT_TRUE(p.Shown(p.page.m_ports[3]));
    EXPECT_FALSE(p.Shown(p.page.m_ports[4]));
    p.page.m_tabs->setCurrentIndex(1);
    EXPECT_EQ(p.page.m_numbers[0]->text(), "17");
    p.page.m_ports[0]->setText("6000");
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[20], 8);
    EXPECT_EQ(set->payload[61 + 7 * 16 + 4], 0x70);
    EXPECT_EQ(set->payload[61 + 7 * 16 + 5], 0x17);
    // A mode other than 4 and 8 selects SPTS: the Set writes mode 0x20.
    p.fx.FeedReply(0x59, {});
    p.page.OnGet();
    p.fx.TakeSentPacket();
    block[20] = 5;
    p.Reply(block);
    EXPECT_EQ(p.TabNames(), QStringList({"Channel 1-16", "Channel 17-32"}));
    EXPECT_TRUE(p.Shown(p.page.m_ports[15]));
    set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[20], 0x20);
    // Mode 4: one tab, four rows.
    p.fx.FeedReply(0x59, {});
    p.page.OnGet();
    p.fx.TakeSentPacket();
    block[20] = 4;
    p.Reply(block);
    EXPECT_EQ(p.TabNames(), QStringList({"Channel 1-16"}));
    EXPECT_FALSE(p.Shown(p.page.m_ports[4]));
    EXPECT_EQ(p.Set()->payload[20], 4);
}

TEST(MultiIpTest, FourChannelModulatorEncryptedFlags) {
    IpPage p(35, 0x4125);
    EXPECT_EQ(p.TabNames(), QStringList({"Channel 1-4"}));
    EXPECT_TRUE(p.Shown(p.page.m_enables[8]));
    EXPECT_EQ(p.page.m_enables[8]->text(), "Encrypted");
    EXPECT_FALSE(p.Shown(p.page.m_ports[4]));
    Bytes block = p.Block();
    block[61 + 6] = 1;  // channel 1 encrypted
    p.Reply(block);
    EXPECT_TRUE(p.page.m_enables[8]->isChecked());
    EXPECT_FALSE(p.page.m_enables[9]->isChecked());
    p.page.m_enables[9]->setChecked(true);
    auto set = p.Set();
    ASSERT_TRUE(set);
    Bytes expected = WithMac(block, p.page.m_mac->text());
    expected[61 + 7 + 6] = 1;
    // The "Encrypted" checks are also channels 9-12's enable checks.
    expected[22] = uint8_t((expected[22] & 0xf0) | 0x03);
    EXPECT_EQ(set->payload, expected);
    // A module without IP: an empty reply.
    p.fx.FeedReply(0x59, {});
    p.page.OnGet();
    p.fx.TakeSentPacket();
    p.fx.FeedReply(0x58, {});
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Do not support this moudle");
}

TEST(MultiIpTest, IpInputPageStatesAndEnableAll) {
    IpPage p(17, 0x4153);
    EXPECT_EQ(p.TabNames(), QStringList({"Channel 1-16", "Channel 17-32"}));
    // Short replies change nothing; the wait goes on.
    p.fx.FeedReply(0x58, Bytes(499, 0));
    EXPECT_TRUE(p.page.IsBusy());
    // No state poll while the Get waits.
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_FALSE(p.fx.TakeSentPacket());
    Bytes block = p.Block();
    block[20] = 0xff;  // channels 1-8 enabled, 9 not
    p.Reply(block);
    EXPECT_EQ(p.TabNames().size(), 4);  // 64 channels
    // In the page area (814 wide) the MAC field, crowded by the channel count, still shows a whole address.
    p.page.resize(814, 544);
    p.page.show();
    QCoreApplication::processEvents();
    EXPECT_GE(p.page.m_mac->contentsRect().width(),
              p.page.m_mac->fontMetrics().horizontalAdvance(p.page.m_mac->text()) + 4);
    EXPECT_TRUE(p.Shown(p.page.m_enables[0]));
    EXPECT_TRUE(p.Shown(p.page.m_states[15]));
    EXPECT_TRUE(p.page.m_enables[1]->isChecked());
    EXPECT_TRUE(p.page.m_enableAll[0]->isChecked());
    EXPECT_FALSE(p.page.m_enables[9]->isChecked());
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x26);
    Bytes states(9, 0);
    states[1] = 0x05;
    p.fx.FeedReply(0x26, states);
    EXPECT_TRUE(IsLampOn(p.page.m_states[0]));
    EXPECT_FALSE(IsLampOn(p.page.m_states[1]));
    EXPECT_TRUE(IsLampOn(p.page.m_states[2]));
    p.fx.FeedReply(0x26, {0, 1});  // too short for rows 9-16
    EXPECT_TRUE(IsLampOn(p.page.m_states[2]));
    // "Enable All" on the third tab while channel 9 is disabled.
    p.page.m_tabs->setCurrentIndex(2);
    p.page.m_enableAll[0]->click();
    EXPECT_FALSE(p.page.m_enableAll[0]->isChecked());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "please use IP port from 1 to 16 at first!");
    // On the first tab it ticks all eight.
    p.page.m_tabs->setCurrentIndex(0);
    p.page.m_enableAll[1]->click();
    for (int r = 8; r < 16; ++r)
        EXPECT_TRUE(p.page.m_enables[size_t(r)]->isChecked());
    p.page.m_channelCount->setText("256");
    EXPECT_FALSE(p.Set());
    p.page.m_channelCount->setText("48");
    auto set = p.Set();
    ASSERT_TRUE(set);
    ASSERT_EQ(set->payload.size(), 500u);
    Bytes expected = WithMac(block, p.page.m_mac->text());
    expected[21] = 0xff;
    expected[50] = 48;
    EXPECT_EQ(set->payload, expected);
    ASSERT_TRUE(p.sim.Handle(0x59, set->payload));
    EXPECT_EQ(p.sim.IpBlock(), expected);
}

TEST(MultiIpTest, EightInputModulatorHasOneTabAndRtp) {
    IpPage p(101, 0x4187);
    EXPECT_EQ(p.TabNames(), QStringList({"Channel 1-16"}));
    EXPECT_TRUE(p.Shown(p.page.m_rtp));
    EXPECT_EQ(p.page.m_rtp->text(), "RTP");
    Bytes block = p.Block();
    block[51] = 1;
    p.Reply(block);
    EXPECT_TRUE(p.page.m_rtp->isChecked());
    EXPECT_FALSE(p.Shown(p.page.m_ports[8]));
    EXPECT_TRUE(p.Shown(p.page.m_ports[7]));
    p.page.m_udp->setChecked(true);
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[51], 0);
}

}  // namespace ip_pages_test
}  // namespace nms

namespace nms {
namespace ip_pages_test {

struct GatewayPage {
    PageFixture fx{0x5104};
    CIPGateWayView1 page;
    ReceiverSimDevice sim{0x5104};
    GatewayPage() {
        fx.Bind(&page, 0);
        auto get = fx.TakeSentPacket();
        EXPECT_TRUE(get && get->command == 0x58);
    }
    void Reply(const Bytes& block) {
        fx.FeedReply(0x58, block);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
    }
    Bytes Status(uint8_t flags, uint32_t a, uint32_t b) {
        Bytes s(9, 0);
        s[0] = flags;
        for (int i = 0; i < 4; ++i) {
            s[size_t(1 + i)] = uint8_t(a >> (8 * i));
            s[size_t(5 + i)] = uint8_t(b >> (8 * i));
        }
        return s;
    }
    bool Shown(QWidget* w) { return w->isVisibleTo(&page); }
};

TEST(IpGatewayTest, RoundTripWithNewMacAndDottedTexts) {
    GatewayPage p;
    EXPECT_FALSE(p.page.m_set->isEnabled());  // nothing read: nothing to write
    p.page.OnSet();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    const Bytes block = p.sim.Handle(0x58, {})->payload;
    p.Reply(block);
    EXPECT_TRUE(p.page.m_set->isEnabled());
    EXPECT_TRUE(p.Shown(p.page.m_input2));  // byte 97 = 1
    EXPECT_FALSE(p.Shown(p.page.m_mode));
    EXPECT_EQ(p.page.m_gateway->GetAddressText(), "192.168.1.1");
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x59);
    uint8_t mac[6];
    ASSERT_TRUE(ParseMacText(p.page.m_mac->text().toStdString(), mac));
    Bytes expected = block;
    std::copy(mac, mac + 6, expected.begin() + 82);
    EXPECT_EQ(set->payload, expected);
    p.fx.FeedReply(0x59, {});
    // A gateway address goes as its dotted text with a NUL; the field's other bytes stay.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    Bytes other = block;
    std::fill(other.begin() + 18, other.begin() + 50, 'x');
    other[18] = '1';
    p.Reply(other);
    EXPECT_EQ(p.page.m_gateway->GetAddressText(), "255.255.255.255");
    p.page.m_gateway->SetAddress(10, 1, 2, 3);
    p.page.m_destinationPort->setText("65536");
    p.page.m_set->click();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Port range should be between 0-65535!");
    p.page.m_destinationPort->setText("1234");
    p.page.m_set->click();
    set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(std::string(set->payload.begin() + 18, set->payload.begin() + 26), "10.1.2.3");
    EXPECT_EQ(set->payload[26], 0);
    EXPECT_EQ(set->payload[27], 'x');
}

// In the page area (814 x 544) every rate of both directions shows whole beside the address fields.
TEST(IpGatewayTest, RatesShowWholeInThePageArea) {
    GatewayPage p;
    p.Reply(p.sim.Handle(0x58, {})->payload);
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x40);
    p.fx.FeedReply(0x40, p.Status(0x03, 38123, 38159));
    p.page.resize(814, 544);
    p.page.show();
    QCoreApplication::processEvents();
    for (size_t k = 0; k < 2; ++k)
        for (QLineEdit* e : {p.page.m_current[k], p.page.m_max[k], p.page.m_min[k]}) {
            ASSERT_EQ(e->text().size(), 6);
            EXPECT_GE(e->contentsRect().width(), e->fontMetrics().horizontalAdvance(e->text()) + 4) << k;
        }
}

TEST(IpGatewayTest, InputOnlyVariantAndRates) {
    GatewayPage p;
    Bytes block = p.sim.Handle(0x58, {})->payload;
    block[94] = 1;
    block[90] = 1;
    block[91] = 0;
    p.Reply(block);
    EXPECT_TRUE(p.Shown(p.page.m_mode));
    EXPECT_FALSE(p.Shown(p.page.m_destination));
    EXPECT_FALSE(p.Shown(p.page.m_outputEnable));
    EXPECT_EQ(p.page.m_mode->currentText(), "Multicast");
    p.page.m_protocol->setCurrentIndex(1);
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[90], 1);
    EXPECT_EQ(set->payload[91], 1);
    p.fx.FeedReply(0x59, {});
    // Status: the first after a Get sets MAX and MIN of both directions; a later 0 lowers MIN only.
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x40);
    p.fx.FeedReply(0x40, p.Status(0x01, 38123, 5000));
    EXPECT_EQ(p.page.m_current[0]->text(), "38.123");
    EXPECT_EQ(p.page.m_max[0]->text(), "38.123");
    EXPECT_EQ(p.page.m_min[0]->text(), "38.123");
    EXPECT_EQ(p.page.m_min[1]->text(), "5.000");
    EXPECT_EQ(p.page.m_lockTexts[0]->text(), "ASI=>IP Lock ");
    EXPECT_EQ(p.page.m_lockTexts[1]->text(), "IP=>ASI Unlock ");
    p.fx.FeedReply(0x40, p.Status(0x02, 0, 6000));
    EXPECT_EQ(p.page.m_min[0]->text(), "0.000");
    EXPECT_EQ(p.page.m_max[0]->text(), "38.123");
    EXPECT_EQ(p.page.m_max[1]->text(), "6.000");
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[1]));
    p.fx.FeedReply(0x40, Bytes(8, 0));  // short: nothing changes
    EXPECT_EQ(p.page.m_max[1]->text(), "6.000");
    // The poll waits while a Get does.
    p.page.OnGet();
    EXPECT_EQ(p.page.m_max[0]->text(), "0");
    p.fx.TakeSentPacket();
    p.fx.FireTimer(&p.page, 66);
    EXPECT_FALSE(p.fx.TakeSentPacket());
}

struct Asi2IpPage {
    PageFixture fx{0x5124};
    Casi2ip page;
    ReceiverSimDevice sim{0x5124};
    Asi2IpPage() {
        fx.Bind(&page, 0);
        // Binding and showing ask once.
        auto get = fx.TakeSentPacket();
        EXPECT_TRUE(get && get->command == 0x58);
        EXPECT_TRUE(page.IsBusy());
    }
};

TEST(Asi2IpTest, RecordsRoundTripAndPorts) {
    Asi2IpPage p;
    p.page.OnSet();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    Bytes reply = p.sim.Handle(0x58, {})->payload;
    reply[1 + 124 * 3 + 6] = 2;                                   // channel 4 enabled as 2
    p.fx.FeedReply(0x58, Bytes(reply.begin(), reply.end() - 1));  // short: ignored
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x58, reply);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);
    EXPECT_TRUE(p.page.m_enables[3]->isChecked());
    EXPECT_EQ(p.page.m_mac->text(), "00-1a-2b-3c-4d-70");
    p.page.m_ports[4]->setText("65536");
    p.page.m_set->click();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Port range should be between 0-65535!");
    p.page.m_ports[4]->setText("1238");
    p.page.m_sourcePort->setText("65536");  // refused too, not sent as 0
    p.page.m_set->click();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    p.page.m_sourcePort->setText("4000");
    p.page.m_mac->setText("00-1a-2b");
    p.page.m_set->click();
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "MAC error,please input correct MAC address!");
    // Auto Generate keeps edits not yet taken.
    p.page.m_ports[0]->setText("7000");
    p.page.OnAutoGenerate();
    EXPECT_EQ(p.page.m_ports[0]->text(), "7000");
    p.page.m_ports[0]->setText("1234");
    p.page.m_mac->setText("00:1a:2b:3c:4d:70");
    p.page.m_set->click();
    auto set = p.fx.TakeSentPacket();
    ASSERT_TRUE(set);
    ASSERT_EQ(set->payload.size(), 993u);
    Bytes expected = reply;
    expected[0] = 0;
    expected[1 + 124 * 3 + 6] = 1;
    EXPECT_EQ(set->payload, expected);
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x59, {});
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(Asi2IpTest, StatusLocksAndRates) {
    Asi2IpPage p;
    p.fx.FireTimer(&p.page, 66);
    EXPECT_FALSE(p.fx.TakeSentPacket());  // the Get still waits
    p.fx.FireTimer(&p.page, kWaitTimerId);
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x40);
    Bytes s(33, 0);
    s[0] = 0x81;
    s[1] = 5;
    p.fx.FeedReply(0x40, s);
    EXPECT_EQ(p.page.m_bitrates[0]->text(), "0.005");
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[0]));
    EXPECT_TRUE(IsLampOn(p.page.m_lamps[7]));
    EXPECT_FALSE(IsLampOn(p.page.m_lamps[1]));
    p.fx.FeedReply(0x40, Bytes(32, 0));
    EXPECT_EQ(p.page.m_bitrates[0]->text(), "0.005");
}

// A page whose Get (already sent) timed out: its late read reply is shown once (first, then a second copy
// that must change nothing), only the version request follows and no wait begins; then a Set whose reply
// comes late ends nothing and starts nothing either.
template <typename Page>
void ExpectLateRepliesShownOnce(Page& p, const Bytes& first, const Bytes& second,
                                const std::function<QString()>& probe, const QString& shown) {
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    EXPECT_FALSE(p.page.IsBusy());
    p.fx.FeedReply(0x58, first);
    EXPECT_EQ(probe(), shown);
    EXPECT_TRUE(p.page.m_set->isEnabled());
    EXPECT_FALSE(p.page.IsBusy());
    std::vector<int> sent;
    while (auto packet = p.fx.TakeSentPacket())
        sent.push_back(packet->command);
    EXPECT_EQ(sent, (std::vector<int>{0x02}));
    p.fx.FeedReply(0x58, second);
    EXPECT_EQ(probe(), shown);
    EXPECT_FALSE(p.fx.TakeSentPacket());

    p.page.m_set->click();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x59);
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    p.page.m_get->click();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x58);
    p.fx.FeedReply(0x59, {});  // the Set's, late, after a newer request: not taken
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x58, first);
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(MultiIpTest, ReadAndWriteRepliesAfterTheirTimeOutAreShownOnceAndStartNothing) {
    IpPage p(0, 0x2105);
    Bytes block = p.Block();
    block[61 + 4] = 0x39, block[61 + 5] = 0x30;  // channel 1: port 12345
    Bytes other = block;
    other[61 + 4] = 0x3a;
    ExpectLateRepliesShownOnce(
        p, block, other, [&] { return p.page.m_ports[0]->text(); }, "12345");

    // The four-channel modulator's empty reply, late: its message once, nothing else.
    IpPage m(35, 0x4125);
    EXPECT_TRUE(m.fx.FireTimer(&m.page, kWaitTimerId));
    m.fx.FeedReply(0x58, {});
    m.fx.FeedReply(0x58, {});
    ASSERT_EQ(m.fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(m.fx.Prompt().shown[0].text, "Do not support this moudle");
    EXPECT_FALSE(m.fx.TakeSentPacket());
    EXPECT_FALSE(m.page.IsBusy());
}

TEST(IpGatewayTest, ReadAndWriteRepliesAfterTheirTimeOutAreShownOnceAndStartNothing) {
    GatewayPage p;
    Bytes block = p.sim.Handle(0x58, {})->payload;
    Bytes other = block;
    other[0] = 10;
    ExpectLateRepliesShownOnce(
        p, block, other, [&] { return QString::fromStdString(p.page.m_destination->GetAddressText()); },
        QString("%1.%2.%3.%4").arg(block[0]).arg(block[1]).arg(block[2]).arg(block[3]));
}

TEST(Asi2IpTest, ReadAndWriteRepliesAfterTheirTimeOutAreShownOnceAndStartNothing) {
    Asi2IpPage p;
    Bytes reply = p.sim.Handle(0x58, {})->payload;
    reply[1 + 4] = 0x39, reply[1 + 5] = 0x30;  // channel 1: port 12345
    Bytes other = reply;
    other[1 + 4] = 0x3a;
    ExpectLateRepliesShownOnce(
        p, reply, other, [&] { return p.page.m_ports[0]->text(); }, "12345");
}

}  // namespace ip_pages_test
}  // namespace nms

namespace nms {
namespace ip_pages_test {

TEST(MultiIpTest, UntouchedGetThenSetSendsTheBlockWithItsNewMac) {
    const std::pair<int, uint16_t> variants[] = {{0, 0x2105},   {0, 0x2115},  {0, 0x2236},  {35, 0x4125},
                                                 {35, 0x4157},  {66, 0x5217}, {17, 0x4153}, {17, 0x3105},
                                                 {101, 0x4127}, {101, 0x4187}};
    for (auto [pageParam, type] : variants) {
        SCOPED_TRACE(type);
        IpPage p(pageParam, type);
        const Bytes block = p.Block();
        p.Reply(block);
        auto set = p.Set();
        ASSERT_TRUE(set);
        Bytes expected = WithMac(block, p.page.m_mac->text());
        // The four-channel modulators' "Encrypted" checks are channels 9-12's enable checks as well:
        // their bits follow byte 6 of entries 1-4 (0 here), as the device has always been sent.
        if (pageParam == 35)
            expected[22] &= 0xf0;
        EXPECT_EQ(set->payload, expected);
    }
}

}  // namespace ip_pages_test
}  // namespace nms
