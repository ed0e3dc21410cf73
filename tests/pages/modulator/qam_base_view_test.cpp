#include "pages/modulator/qam_base_view.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <numeric>

#include "page_fixture.h"
#include "pages/modulator/qam_mod_block.h"

namespace nms {
namespace qam_base_view_test {

using test::PageFixture;

// A 43-byte record: 474 MHz, ATT 3.5, 64QAM, 6.875 Msym/s, inversion on, annex B, ASI, PAT and SDT in,
// port 1234, TS ID 1, network ID 2, and counting bytes where nothing is interpreted.
std::vector<uint8_t> QamRecord() {
    std::vector<uint8_t> r(kQamModulatorParamsSize);
    std::iota(r.begin(), r.end(), uint8_t(100));
    const uint8_t head[] = {0x90, 0x3b, 0x07, 0x00, 35, 3, 0xdb, 0x1a, 1, 1, 0};
    std::copy(std::begin(head), std::end(head), r.begin());
    r[23] = 1, r[24] = 1, r[25] = 0, r[26] = 0, r[27] = 0;
    r[30] = 0xd2, r[31] = 0x04;
    r[32] = 1, r[33] = 0, r[34] = 2, r[35] = 0;
    return r;
}

QLineEdit* Edit(QamRecordPage& page, const char* key) {
    return qobject_cast<QLineEdit*>(page.Binder().Control(key));
}

struct QamPage {
    PageFixture fx;
    CQamBaseView page;
    explicit QamPage(int pageParam, uint16_t type = 0x4101) : fx(type) {
        fx.Bind(&page, pageParam);
        auto sent = fx.TakeSentPacket();
        EXPECT_TRUE(sent && sent->command == kCmdModulatorGet && sent->payload.empty());
    }
    std::optional<test::SentPacket> Set() {
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
};

// A Set rebuilds the modulation block from the form: bytes 0 to 10 as the form shows them, 11 to 22 as 0
// whatever the device sent there; the rest of the record goes back as read, the port repeated at 41.
TEST(QamBaseViewTest, AnUntouchedSetRebuildsTheModulationBlock) {
    const struct {
        int pageParam;
        uint16_t type;
    } variants[] = {{0, 0x4101}, {0, 0x3102}, {100, 0x4102}};
    for (const auto& v : variants) {
        SCOPED_TRACE(testing::Message() << std::hex << v.type);
        QamPage p(v.pageParam, v.type);
        const std::vector<uint8_t> record = QamRecord();  // bytes 11..22 hold 111..122
        p.fx.FeedReply(kCmdModulatorGet, record);
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_EQ(Edit(p.page, "freq")->text(), "474.000");
        EXPECT_EQ(Edit(p.page, "symbol")->text(), "6.875");
        EXPECT_FALSE(Edit(p.page, "tsId")->isHidden());
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->command, kCmdModulatorSet);
        std::vector<uint8_t> expected = record;
        std::fill(expected.begin() + 11, expected.begin() + 23, uint8_t(0));
        expected[41] = 0xd2, expected[42] = 0x04;  // the port again
        EXPECT_EQ(sent->payload, expected);
        p.fx.FeedReply(kCmdModulatorSet, {});
        EXPECT_FALSE(p.page.IsBusy());
    }
}

// Inversion and annex lists show any non-zero byte as "Yes" / "Annex-B" and send what they show.
TEST(QamBaseViewTest, InversionAndAnnexGoOutAsShown) {
    QamPage p(0);
    std::vector<uint8_t> record = QamRecord();
    record[8] = 3;
    record[9] = 0x80;
    p.fx.FeedReply(kCmdModulatorGet, record);
    EXPECT_EQ(qobject_cast<QComboBox*>(p.page.Binder().Control("inversion"))->currentText(), "Yes");
    EXPECT_EQ(qobject_cast<QComboBox*>(p.page.Binder().Control("annex"))->currentText(), "Annex-B");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[8], 1);
    EXPECT_EQ(sent->payload[9], 1);
}

TEST(QamBaseViewTest, ChecksComeInTheDevicesOrder) {
    QamPage p(0);
    p.fx.FeedReply(kCmdModulatorGet, QamRecord());
    const struct {
        const char* key;
        const char* bad;
        std::string message;
    } cases[] = {
        {"port", "65536", "Please enter an integer between 0 and 65535."},
        {"att", "3,5", kAttCharacters},
        {"att", "3.3", kAttStep},
        {"att", "26", kAttCharacters},  // 260 tenths do not fit the byte
        {"freq", "123456", kFrequencyOverMaximum},
        {"symbol", "6875", kSymbolRateCharacters},  // 6,875,000 does not fit 16 bits
        {"symbol", "6,8", kSymbolRateCharacters},
    };
    for (const auto& c : cases) {
        p.fx.Prompt().shown.clear();
        const QString good = Edit(p.page, c.key)->text();
        Edit(p.page, c.key)->setText(c.bad);
        EXPECT_FALSE(p.Set()) << c.key << " " << c.bad;
        ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(p.fx.Prompt().shown[0].text, c.message) << c.key << " " << c.bad;
        EXPECT_FALSE(p.page.IsBusy());
        Edit(p.page, c.key)->setText(good);
    }
    // Several bad at once: the first in the device's order speaks, with the focus on it.
    Edit(p.page, "symbol")->setText("x");
    Edit(p.page, "freq")->setText("x");
    Edit(p.page, "att")->setText("x");
    p.fx.Prompt().shown.clear();
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown[0].text, kAttCharacters);
    EXPECT_EQ(p.page.focusWidget(), Edit(p.page, "att"));
    Edit(p.page, "att")->setText("3.5");
    Edit(p.page, "freq")->setText("474.0005");
    Edit(p.page, "symbol")->setText("6.875");
    Edit(p.page, "port")->setText("80");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[0], 0x90);  // 474000 kHz
    EXPECT_EQ(sent->payload[30], 80);
    EXPECT_EQ(sent->payload[41], 80);
}

TEST(QamBaseViewTest, ShortRepliesAndHiddenIdentifiers) {
    QamPage p(0);
    std::vector<uint8_t> first = QamRecord();
    p.fx.FeedReply(kCmdModulatorGet, std::vector<uint8_t>(first.begin(), first.begin() + 32));
    EXPECT_TRUE(Edit(p.page, "tsId")->isHidden());  // 32 bytes carry no identifiers
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[32], 0);  // as the record holds them: nothing read yet
    p.fx.FeedReply(kCmdModulatorSet, {});
    p.page.OnGet();
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdModulatorGet, {});  // empty: only ends the wait
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(Edit(p.page, "freq")->text(), "474.000");
    // A list value beyond its list shows no selection and goes back as read.
    p.page.OnGet();
    p.fx.TakeSentPacket();
    std::vector<uint8_t> odd = QamRecord();
    odd[5] = 9;
    odd[10] = 12;
    p.fx.FeedReply(kCmdModulatorGet, odd);
    EXPECT_EQ(qobject_cast<QComboBox*>(p.page.Binder().Control("constellation"))->currentIndex(), -1);
    sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[5], 9);
    EXPECT_EQ(sent->payload[10], 12);
}

TEST(QamBaseViewTest, TheQpskModulatorHasItsOwnAttenuation) {
    QamPage p(100, 0x4102);
    EXPECT_TRUE(p.page.Binder().Control("constellation")->isHidden());
    EXPECT_FALSE(p.page.Binder().Control("coding")->isHidden());
    EXPECT_TRUE(p.page.m_insertGroup->isHidden());
    std::vector<uint8_t> record = QamRecord();
    record[4] = 33;
    record[10] = 2;
    p.fx.FeedReply(kCmdModulatorGet, record);
    EXPECT_EQ(Edit(p.page, "attQpsk")->text(), "3.5");
    EXPECT_EQ(qobject_cast<QComboBox*>(p.page.Binder().Control("coding"))->currentText(), "3/4");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[4], 33);  // untouched: as read
    p.fx.FeedReply(kCmdModulatorSet, {});
    const struct {
        const char* text;
        int value;  // -1: refused
    } cases[] = {{"20", 200}, {"20.5", -1}, {"3.3", 35}, {"3.2", 35}, {"3.0", 30}, {"3", 30}};
    for (const auto& c : cases) {
        p.fx.Prompt().shown.clear();
        Edit(p.page, "attQpsk")->setText(c.text);
        sent = p.Set();
        if (c.value < 0) {
            EXPECT_FALSE(sent);
            ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
            EXPECT_EQ(p.fx.Prompt().shown[0].text, kQpskAttTooHigh);
        } else {
            ASSERT_TRUE(sent) << c.text;
            EXPECT_EQ(sent->payload[4], c.value) << c.text;
            p.fx.FeedReply(kCmdModulatorSet, {});
        }
    }
}

std::vector<uint8_t> MuxRecord() {
    std::vector<uint8_t> r(kMuxQamOutputParamsSize);
    std::iota(r.begin(), r.end(), uint8_t(1));
    const uint8_t head[] = {0x90, 0x3b, 0x07, 0x00, 40, 5, 0xdb, 0x1a, 0, 1};
    std::copy(std::begin(head), std::end(head), r.begin());
    r[23] = 0x34, r[24] = 0x12, r[25] = 0x01, r[26] = 0x00, r[27] = 0x39, r[28] = 0x30;
    return r;
}

TEST(MuxQamTest, ReadsEditsAndWritesTheOutputRecord) {
    PageFixture fx(0x4111);
    CmuxQAM page;
    fx.Bind(&page);
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdModulatorGet);
    const std::vector<uint8_t> record = MuxRecord();
    fx.FeedReply(kCmdModulatorGet, record);
    EXPECT_EQ(Edit(page, "tsId")->text(), "1234");
    EXPECT_EQ(Edit(page, "port")->text(), "12345");
    EXPECT_EQ(Edit(page, "att")->text(), "4.0");
    auto* yes = page.Binder().Control("inversion")->findChildren<QRadioButton*>().at(0);
    auto* annexB = page.Binder().Control("annex")->findChildren<QRadioButton*>().at(1);
    EXPECT_FALSE(yes->isChecked());
    EXPECT_TRUE(annexB->isChecked());

    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, record);  // bytes 10-22 and 29-92 as read, everything else untouched
    fx.FeedReply(kCmdModulatorSet, {});

    Edit(page, "tsId")->setText("1a2b");
    yes->setChecked(true);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[23], 0x2b);
    EXPECT_EQ(sent->payload[24], 0x1a);
    EXPECT_EQ(sent->payload[8], 1);
    fx.FeedReply(kCmdModulatorSet, {});

    Edit(page, "tsId")->setText("12345");  // does not fit 16 bits
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_EQ(fx.Prompt().shown.back().text, "Please enter an integer between 0 and FFFF.");

    // A short reply changes only what it carries.
    page.OnGet();
    fx.TakeSentPacket();
    fx.FeedReply(kCmdModulatorGet, {0x10, 0x27, 0x00, 0x00});
    EXPECT_EQ(Edit(page, "freq")->text(), "10.000");
    EXPECT_EQ(Edit(page, "port")->text(), "12345");
}

}  // namespace qam_base_view_test
}  // namespace nms
