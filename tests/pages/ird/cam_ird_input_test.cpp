#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <numeric>

#include "page_fixture.h"
#include "pages/ird/cam_ird_input_view.h"

namespace nms {
namespace cam_ird_input_test {

using test::PageFixture;

// A source block whose bytes count up, with a satellite record that the form can show.
std::vector<uint8_t> SourceReply(uint8_t type) {
    std::vector<uint8_t> payload(1 + kCamSourceSize);
    std::iota(payload.begin(), payload.end(), uint8_t(0));
    payload[0] = type;
    uint8_t* record = payload.data() + 1;
    record[10] = 1;  // polarization / QAM / standard
    record[11] = 7;  // 22 kHz on
    record[12] = 2;  // DiSEqC B
    record[17] = 0x41;
    record[kCamIpBlockOffset + 82] = 0;
    return payload;
}

QLineEdit* Edit(CCAMIRD_INPUT& page, const char* key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}

struct SourcePage {
    PageFixture fx{0x5106};
    CCAMIRD_INPUT page;
    explicit SourcePage(int pageParam = 64) {
        fx.Bind(&page, pageParam);
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamReadInput);
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> texts;
        for (const auto& r : fx.Prompt().shown)
            texts.push_back(r.text);
        return texts;
    }
};

TEST(CamIrdInputTest, AnUntouchedSetSendsTheBlockAsReadWithTheAddressTexts) {
    SourcePage p;
    const std::vector<uint8_t> reply = SourceReply(1);
    p.fx.FeedReply(kCmdCamReadInput, reply);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);
    EXPECT_EQ(p.page.m_tunerGroup->title(), "DVB-S");
    EXPECT_FALSE(Edit(p.page, "lnb")->isHidden());

    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamWriteInput);
    std::vector<uint8_t> expected = reply;
    for (int offset : {kCamIpBlockOffset + 10, kCamIpBlockOffset + 42})
        std::copy_n("0.0.0.0", 8, expected.begin() + 1 + offset);
    expected[1 + 11] = 1;                // the 22 kHz byte 7 shows "Open" and goes back as 1
    EXPECT_EQ(sent->payload, expected);  // everything else (bytes 6-9 of the IP block too): as read
    p.fx.FeedReply(kCmdCamWriteInput, {});
    EXPECT_FALSE(p.page.IsBusy());
}

// A read reply after its wait ran out is shown as it would have been in time, once; the poll goes on.
TEST(CamIrdInputTest, ALateReadIsShownOnce) {
    SourcePage p;
    EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    EXPECT_FALSE(p.page.IsBusy());
    std::vector<uint8_t> reply = SourceReply(1);
    reply[1 + 4] = 0x10, reply[1 + 5] = 0x27, reply[1 + 6] = 0, reply[1 + 7] = 0;  // 10000 kHz
    p.fx.FeedReply(kCmdCamReadInput, reply);
    EXPECT_EQ(Edit(p.page, "freq")->text(), "10.000");
    EXPECT_EQ(p.page.m_tunerGroup->title(), "DVB-S");
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x02);
    EXPECT_FALSE(p.page.IsBusy());
    reply[1 + 4] = 0x20;
    p.fx.FeedReply(kCmdCamReadInput, reply);
    EXPECT_EQ(Edit(p.page, "freq")->text(), "10.000");
}

TEST(CamIrdInputTest, RefusedFieldsStopTheWrite) {
    SourcePage p;
    p.fx.FeedReply(kCmdCamReadInput, SourceReply(1));
    p.fx.TakeSentPacket();
    const struct {
        const char* key;
        const char* text;
        const char* message;
    } cases[] = {
        {"freq", "123456", "Frequency error,over maximum!"},
        {"symbol", "70", "Symbol rate error,over maximum!"},  // 70000 does not fit the 16-bit field
        {"port", "65536", "Port range should be between 0-65535!"},
    };
    for (const auto& c : cases) {
        const QString old = Edit(p.page, c.key)->text();
        Edit(p.page, c.key)->setText(c.text);
        QTest::mouseClick(p.page.m_set, Qt::LeftButton);
        EXPECT_EQ(p.Messages().back(), c.message);
        EXPECT_FALSE(p.fx.TakeSentPacket()) << c.key;
        EXPECT_FALSE(p.page.IsBusy());
        Edit(p.page, c.key)->setText(old);
    }
    Edit(p.page, "freq")->setText("12345.6789");
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    const uint8_t* record = sent->payload.data() + 1;
    EXPECT_EQ(uint32_t(record[4] | record[5] << 8 | record[6] << 16 | record[7] << 24), 12345678u);
}

TEST(CamIrdInputTest, InputTypesChooseTheForm) {
    SourcePage p(0);
    EXPECT_TRUE(p.page.m_ipGroup->isHidden());
    // A short reply changes only the type: the kept (zero) record shown as a cable input.
    p.fx.FeedReply(kCmdCamReadInput, std::vector<uint8_t>(191, 2));
    EXPECT_EQ(p.page.m_tunerGroup->title(), "DVB-C");
    EXPECT_TRUE(Edit(p.page, "lnb")->isHidden());
    EXPECT_EQ(Edit(p.page, "freq")->text(), "0.000");

    std::vector<uint8_t> dtmb = SourceReply(1);
    dtmb[1 + 17] = 0x13;
    p.page.OnGet();
    p.fx.FeedReply(kCmdCamReadInput, dtmb);
    EXPECT_EQ(p.page.m_tunerGroup->title(), "DTMB");
    EXPECT_TRUE(Edit(p.page, "symbol")->isHidden());

    p.page.OnGet();
    p.fx.FeedReply(kCmdCamReadInput, SourceReply(3));
    EXPECT_EQ(p.Messages(), std::vector<std::string>{"No this type parameter!"});
    p.fx.TakeSentPacket();
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload.size(), 191u);  // no type byte: the record comes first
    EXPECT_EQ(sent->payload[17], 0x41);
}

// Without its IP group the page closes up: the buttons follow the tuner group however tall the page is.
TEST(CamIrdInputTest, AHiddenIpGroupLeavesNoGap) {
    SourcePage p(0);
    p.fx.FeedReply(kCmdCamReadInput, SourceReply(1));
    p.page.resize(1200, 900);
    p.page.layout()->activate();
    EXPECT_TRUE(p.page.m_ipGroup->isHidden());
    EXPECT_LT(p.page.m_get->y() - p.page.m_tunerGroup->geometry().bottom(), 30);
}

TEST(CamIrdInputTest, StatusShowsLocksCamsAndBitrateBounds) {
    SourcePage p;
    p.fx.FeedReply(kCmdCamReadInput, SourceReply(2));
    p.fx.TakeSentPacket();
    auto status = [&](uint32_t kbps, uint8_t bits, std::vector<uint8_t> tail = {}) {
        std::vector<uint8_t> s(70, 0);
        s[0] = 2;
        s[1] = 5;
        s[2] = uint8_t(kbps), s[3] = uint8_t(kbps >> 8), s[4] = uint8_t(kbps >> 16),
        s[5] = uint8_t(kbps >> 24);
        s[6] = bits;
        s[7] = 77;
        std::copy_n("TestCA", 7, s.begin() + 45);
        s.insert(s.end(), tail.begin(), tail.end());
        p.fx.FeedReply(kCmdCamStatus, s);
    };
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kCamSourceStatusTimerId));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, kCmdCamStatus);
    status(20000, 0xc4, {'V', 'i', 'a'});  // the CAM 2 name runs to the end of the payload
    EXPECT_EQ(p.page.m_max->text(), "20.000");
    EXPECT_EQ(p.page.m_min->text(), "20.000");
    EXPECT_EQ(p.page.m_cam1Name->text(), "TestCA");
    EXPECT_EQ(p.page.m_cam2Name->text(), "Via");
    EXPECT_EQ(p.page.m_signalText->text(), "77%");
    status(15000, 0x00);
    EXPECT_EQ(p.page.m_max->text(), "20.000");
    EXPECT_EQ(p.page.m_min->text(), "15.000");
    EXPECT_EQ(p.page.m_cam1Name->text(), "CAM-1");
    status(1, 0, {});
    p.fx.FeedReply(kCmdCamStatus, std::vector<uint8_t>(39, 9));  // too short: nothing changes
    EXPECT_EQ(p.page.m_bitrate->text(), "0.001");

    // The poll waits while a write is under way.
    QTest::mouseClick(p.page.m_set, Qt::LeftButton);
    p.fx.TakeSentPacket();
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kCamSourceStatusTimerId));
    EXPECT_FALSE(p.fx.TakeSentPacket());
}

}  // namespace cam_ird_input_test
}  // namespace nms
