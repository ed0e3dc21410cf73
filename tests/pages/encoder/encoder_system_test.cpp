// The system pages of the SD and HD encoders: the identity chain of the one-channel SD encoder, the
// checks of "Set" in their order, the PMT PID check on leaving its edit and the status row.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/encoder/encoder_system_view.h"

namespace nms {
namespace encoder_system_test {

using test::PageFixture;

std::vector<uint8_t> SdSystemBlock() {
    std::vector<uint8_t> b(kEncoderSystemWireSize, 0);
    for (size_t i = 78; i < b.size(); ++i)
        b[i] = uint8_t(0xa0 + i);  // kept as read
    b[0] = 0x40, b[1] = 0x1f;      // 8000 kbit/s
    b[2] = 7;
    b[4] = 0x00, b[5] = 0x01;  // PMT 0x100
    b[6] = 0x00, b[7] = 0x02;
    b[8] = 0x00, b[9] = 0x03;
    b[10] = 0x00, b[11] = 0x02;
    b[12] = 5;  // VBR as any value but 0
    b[13] = 0;
    const char provider[] = "Provider";
    std::copy(std::begin(provider), std::end(provider) - 1, b.begin() + 14);
    return b;
}

std::vector<uint8_t> Identity() {
    std::vector<uint8_t> b(kEncoderIdentitySize);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(i * 3 + 1);
    return b;
}

struct SdPage {
    PageFixture fx{0x1101};
    CEncoderSystemView page;
    SdPage() {
        fx.Bind(&page, 0);
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x64);
        fx.FeedReply(0x64, SdSystemBlock());
        auto identity = fx.TakeSentPacket();
        EXPECT_EQ(identity->command, 0x33);
        EXPECT_TRUE(identity->payload.empty());
        EXPECT_TRUE(page.IsBusy());
        fx.FeedReply(0x33, Identity());
        EXPECT_FALSE(page.IsBusy());
    }
    std::optional<test::SentPacket> Set() {
        fx.Prompt().shown.clear();
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
};

TEST(EncoderSystemTest, OneChannelGetAndSetChainTheIdentity) {
    SdPage p;
    EXPECT_EQ(p.page.Edit("pmtPid")->text(), "100");
    EXPECT_EQ(p.page.Edit("tsId")->text(), "401");  // bytes 1, 4
    EXPECT_EQ(p.page.m_slider->value(), 8000);
    EXPECT_FALSE(p.page.Edit("provider")->isEnabled());  // no SDT description
    EXPECT_TRUE(p.page.m_statusRow->isVisibleTo(&p.page));

    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x65);
    EXPECT_EQ(set->payload, SdSystemBlock());  // untouched, the kept bytes and value too
    p.fx.FeedReply(0x65, {});
    auto identity = p.fx.TakeSentPacket();
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->command, 0x34);
    std::vector<uint8_t> expected(kEncoderIdentitySize, 0);
    const std::vector<uint8_t> read = Identity();
    std::copy_n(read.begin(), 6, expected.begin());
    EXPECT_EQ(identity->payload, expected);
    EXPECT_TRUE(p.page.IsBusy());
    p.fx.FeedReply(0x34, {});
    EXPECT_FALSE(p.page.IsBusy());

    // Edited fields go where they belong.
    p.page.Edit("tsId")->setText("abcd");
    p.page.Edit("port")->setText("5000");
    qobject_cast<QCheckBox*>(p.page.Binder().Control("sdt"))->click();
    EXPECT_TRUE(p.page.Edit("provider")->isEnabled());
    p.page.Edit("name")->setText("News");
    set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[13], 1);
    EXPECT_EQ(std::string(set->payload.begin() + 46, set->payload.begin() + 51), std::string("News\0", 5));
    p.fx.FeedReply(0x65, {});
    identity = p.fx.TakeSentPacket();
    EXPECT_EQ(identity->payload[0], 0xcd);
    EXPECT_EQ(identity->payload[1], 0xab);
    EXPECT_EQ(identity->payload[4] | identity->payload[5] << 8, 5000);

    // A name longer than its field keeps its terminating zero and is never cut inside a character.
    p.fx.FeedReply(0x34, {});
    p.page.Edit("name")->setMaxLength(100);
    p.page.Edit("name")->setText(QString(30, QChar('a')) + QString::fromUtf8("\u4e2d\u6587"));
    p.page.Edit("provider")->setMaxLength(100);
    p.page.Edit("provider")->setText(QString(40, QChar('b')));
    set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(std::string(set->payload.begin() + 46, set->payload.begin() + 78),
              std::string(30, 'a') + '\0' + '\0');
    EXPECT_EQ(std::string(set->payload.begin() + 14, set->payload.begin() + 46), std::string(31, 'b') + '\0');
}

TEST(EncoderSystemTest, SetChecksStopAtTheFirstFailure) {
    const std::string range = "Video PID:0XValue range should be between 0-0X1FFF";
    const struct {
        std::vector<std::pair<const char*, const char*>> texts;
        const char* message;  // empty: sent
    } cases[] = {
        {{{"audioPid", "2000"}}, range.c_str()},
        {{{"audioPid", "1FFF"}}, ""},
        {{{"audioPid", "01fff"}}, ""},  // the whole value is read, leading zeros too
        {{{"videoPid", "zz"}, {"audioPid", "2000"}}, range.c_str()},  // the audio PID is checked first
        {{{"videoPid", "12g"}}, "Video PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd"},
        {{{"videoPid", ""}}, ""},  // empty passes as 0
        {{{"pcrPid", "-1"}}, "PCR PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd"},
        {{{"pmtPid", "x"}, {"pcrPid", "x"}}, "PCR PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd"},
        {{{"tsId", "g"}}, "TS ID should be 0-9,a-f or A-F!"},
        {{{"netId", "10000"}}, "Original Network ID should be 0-9,a-f or A-F!"},  // would not fit 16 bits
        {{{"bitrate", "15001"}, {"audioPid", "2000"}}, "Please enter an integer between 200 and 15000."},
        {{{"port", "65536"}}, "Please enter an integer between 0 and 65535."},
    };
    for (const auto& c : cases) {
        SdPage p;
        SCOPED_TRACE(c.texts.front().first);
        for (auto [key, text] : c.texts) {
            p.page.Edit(key)->setMaxLength(32767);
            p.page.Edit(key)->setText(text);
        }
        auto set = p.Set();
        if (!*c.message) {
            EXPECT_TRUE(set);
            EXPECT_TRUE(p.fx.Prompt().shown.empty());
            continue;
        }
        EXPECT_FALSE(set);
        ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(p.fx.Prompt().shown[0].text, c.message);
        EXPECT_EQ(p.fx.Prompt().shown[0].caption, "Warning");
    }
}

TEST(EncoderSystemTest, PmtPidIsCheckedOnLeavingItsEdit) {
    SdPage p;
    QLineEdit* pmt = p.page.Edit("pmtPid");
    const struct {
        const char* text;
        const char* message;
    } cases[] = {{"F", "0X10 <= PID <= 0X1FFF"},
                 {"2000", "0X10 <= PID <= 0X1FFF"},
                 {"1q", "PMT PID should be 0-9,a-f or A-F,Range:0x12~0x1ffd"},
                 {"1fff", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        p.fx.Prompt().shown.clear();
        pmt->setText(c.text);
        emit pmt->editingFinished();
        if (!c.message) {
            EXPECT_TRUE(p.fx.Prompt().shown.empty());
            EXPECT_EQ(pmt->text(), c.text);
            continue;
        }
        ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(p.fx.Prompt().shown[0].text, c.message);
        EXPECT_EQ(pmt->text(), "100");  // the text it had before
    }
    // Leaving the bitrate edit moves the slider, kept within its bounds.
    p.page.Edit("bitrate")->setText("20000");
    emit p.page.Edit("bitrate")->editingFinished();
    EXPECT_EQ(p.page.m_slider->value(), 15000);
}

TEST(EncoderSystemTest, StatusRowKeepsTheMaximumAndMinimum) {
    SdPage p;
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    auto poll = p.fx.TakeSentPacket();
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->command, 0x40);
    EXPECT_TRUE(poll->payload.empty());
    EXPECT_FALSE(p.page.IsBusy());

    auto status = [&](int32_t kbps, uint8_t alarm) {
        std::vector<uint8_t> s(13, 0);
        for (int i = 0; i < 4; ++i)
            s[size_t(8 + i)] = uint8_t(uint32_t(kbps) >> (8 * i));
        s[12] = alarm;
        p.fx.FeedReply(0x40, s);
    };
    status(9500, 0);
    EXPECT_EQ(p.page.m_max->text(), "9.500");
    EXPECT_EQ(p.page.m_min->text(), "9.500");
    EXPECT_TRUE(IsLampOn(p.page.m_lamp));
    status(10250, 1);
    status(8000, 0xfe);
    EXPECT_EQ(p.page.m_bitrate->text(), "8.000");
    EXPECT_EQ(p.page.m_max->text(), "10.250");
    EXPECT_EQ(p.page.m_min->text(), "8.000");
    EXPECT_TRUE(IsLampOn(p.page.m_lamp));
    status(-1500, 1);
    EXPECT_EQ(p.page.m_bitrate->text(), "-1.500");
    EXPECT_FALSE(IsLampOn(p.page.m_lamp));
    // A status too short for the lamp shows the bitrate alone; Get restarts the range.
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.fx.TakeSentPacket();
    EXPECT_FALSE(p.fx.FireTimer(&p.page, 66) && p.fx.TakeSentPacket());  // no poll while the page waits
    p.fx.FeedReply(0x40, {0, 0, 0, 0, 0, 0, 0, 0, 0x10, 0x27, 0, 0});
    EXPECT_EQ(p.page.m_max->text(), "10.000");
    EXPECT_EQ(p.page.m_min->text(), "10.000");
    EXPECT_FALSE(IsLampOn(p.page.m_lamp));
}

TEST(EncoderSystemTest, FourChannelEncoderNamesTheChannel) {
    PageFixture fx(0x1102);
    CEncoderSystemView page;
    fx.Bind(&page, 2);
    EXPECT_EQ(fx.TakeSentPacket()->payload, std::vector<uint8_t>{1});
    EXPECT_FALSE(page.m_statusRow->isVisibleTo(&page));
    EXPECT_FALSE(page.m_identityGroup->isVisibleTo(&page));
    EXPECT_FALSE(fx.FireTimer(&page, 66));
    page.m_channel->setCurrentIndex(2);
    emit page.m_channel->activated(2);
    EXPECT_EQ(fx.TakeSentPacket()->payload, std::vector<uint8_t>{3});
    std::vector<uint8_t> reply = {3};
    const std::vector<uint8_t> block = SdSystemBlock();
    reply.insert(reply.end(), block.begin(), block.end());
    fx.FeedReply(0x64, reply);
    EXPECT_FALSE(page.IsBusy());  // no identity on this encoder
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload.size(), 91u);
    EXPECT_EQ(set->payload, reply);
    fx.FeedReply(0x65, {});
    EXPECT_FALSE(page.IsBusy());
    EXPECT_FALSE(fx.TakeSentPacket());
}

TEST(EncoderSystemTest, HdSystemBlockRoundTrips) {
    PageFixture fx(0x1105);
    CencoderHDsystems page;
    fx.Bind(&page, 0);
    EXPECT_EQ(page.m_slider->value(), 8000);
    EXPECT_FALSE(page.m_statusRow->isVisibleTo(&page));
    EXPECT_FALSE(page.m_modeGroup->isVisibleTo(&page));
    auto get = fx.TakeSentPacket();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->command, 0x64);
    std::vector<uint8_t> block(kHdSystemWireSize);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = uint8_t(i * 7);
    block[0] = 0x10, block[1] = 0x27;  // 10000
    block[2] = 0;
    block[3] = 'A', block[4] = 0;
    block[35] = 'B', block[36] = 0;
    block[73] = 0xff, block[74] = 0x1f;  // audio PID 0x1FFF
    fx.FeedReply(0x64, block);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.Edit("audioPid")->text(), "1fff");
    EXPECT_FALSE(page.Edit("provider")->isEnabled());
    EXPECT_FALSE(fx.TakeSentPacket());  // no identity chain
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    auto set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload, block);
    fx.FeedReply(0x65, {});

    page.Edit("bitrate")->setText("300");
    emit page.Edit("bitrate")->editingFinished();
    EXPECT_EQ(page.m_slider->value(), 1000);  // the slider's lower end
    page.Edit("audioPid")->setText("2000");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_FALSE(fx.TakeSentPacket());
    EXPECT_EQ(fx.Prompt().shown.back().text, "Video PID:0XValue range should be between 0-0X1FFF");
    page.Edit("audioPid")->setText("1ffe");
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    set = fx.TakeSentPacket();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[0] | set->payload[1] << 8, 300);
    EXPECT_EQ(set->payload[73], 0xfe);
}

}  // namespace encoder_system_test
}  // namespace nms
