// The TS-over-IP / IP-input channel page and the gateway pages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "devices/device_record.h"
#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/receiver/multi_ip_view.h"
#include "pages/receiver/tuner_records.h"
#include "platform/ip_address_edit.h"
#include "receiver_device_sim.h"

namespace nms {
namespace {

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

}  // namespace
}  // namespace nms
