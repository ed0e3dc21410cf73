// The HD encoders' video/audio pages: the one-channel page with its pixel list, input clicks and status,
// and the multi-channel page in each record version.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "page_fixture.h"
#include "pagebase/lamp.h"
#include "pages/encoder/encoder_hd4in1_view.h"
#include "pages/encoder/encoder_hd_av_view.h"
#include "pages/encoder/encoder_widgets.h"

namespace nms {
namespace hd_encoder_test {

using test::PageFixture;

std::vector<uint8_t> AvBlock(std::initializer_list<std::pair<int, uint8_t>> bytes) {
    std::vector<uint8_t> b(kHdAvBlockSize);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(0x30 + i);
    const uint8_t head[] = {0, 5, 3, 1, 1, 0, 8};
    std::copy(std::begin(head), std::end(head), b.begin());
    b[14] = 1;
    for (auto [at, v] : bytes)
        b[size_t(at)] = v;
    return b;
}

QComboBox* Combo(FormBinder& binder, const char* key) {
    return qobject_cast<QComboBox*>(binder.Control(key));
}

struct AvPage {
    PageFixture fx{0x1105};
    CencoderHDav page;
    explicit AvPage(const std::vector<uint8_t>& block) {
        fx.Bind(&page, 0);
        auto get = fx.TakeSentPacket();
        EXPECT_EQ(get->command, 0x60);
        EXPECT_TRUE(page.IsBusy());
        fx.FeedReply(0x60, block);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);  // then the version
    }
    std::optional<test::SentPacket> Set() {
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
    void Status(uint32_t kbps, uint8_t locks, const std::string& text = {}) {
        std::vector<uint8_t> s(8, 0);
        for (int i = 0; i < 4; ++i)
            s[size_t(i)] = uint8_t(kbps >> (8 * i));
        s[4] = locks;
        s.insert(s.end(), text.begin(), text.end());
        fx.FeedReply(0x40, s);
    }
};

TEST(HdEncoderTest, BindAndShowReadTheBlockOnce) {
    PageFixture fx(0x1105);
    CencoderHDav page;
    fx.Bind(&page, 0);
    auto get = fx.TakeSentPacket();
    ASSERT_TRUE(get);
    EXPECT_EQ(get->command, 0x60);
    EXPECT_TRUE(page.IsBusy());
    // The Get of the binding and the one of showing are one request and one wait.
    page.hide();
    page.show();
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FeedReply(0x60, AvBlock({}));
    EXPECT_FALSE(page.IsBusy());
    fx.FeedReply(0x60, AvBlock({{2, 0}}));  // a late second reply is not taken
    EXPECT_EQ(Combo(page.Binder(), "audioBitrate")->currentIndex(), 3);
}

TEST(HdEncoderTest, PixelListFollowsTheInput) {
    {
        AvPage p(AvBlock({{0, 3}, {1, 10}}));
        QComboBox* pixel = p.page.PixelCombo();
        EXPECT_EQ(pixel->count(), 2);
        EXPECT_EQ(pixel->currentText(), "720*576*50i(P)");
        auto set = p.Set();
        ASSERT_TRUE(set);
        EXPECT_EQ(set->payload, AvBlock({{0, 3}, {1, 10}}));
    }
    AvPage p(AvBlock({{1, 15}, {2, 9}, {5, 2}}));
    EXPECT_EQ(p.page.PixelCombo()->currentText(), "1920*1080*60i");
    EXPECT_EQ(Combo(p.page.Binder(), "audioBitrate")->currentIndex(), 5);
    EXPECT_EQ(ListSelection(p.page.Binder().Control("mode")), 0);
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[1], 3);
    EXPECT_EQ(set->payload[2], 5);
    EXPECT_EQ(set->payload[5], 0);

    // An input click keeps the operator's other edits and moves the list and the audio interface.
    p.fx.FeedReply(0x61, {});
    Combo(p.page.Binder(), "profile")->setCurrentIndex(3);
    p.page.PixelCombo()->setCurrentIndex(9);  // 720*480*59.94i(N)
    auto radios = p.page.Binder().Control("input")->findChildren<QRadioButton*>();
    radios[3]->click();
    EXPECT_EQ(p.page.PixelCombo()->count(), 2);
    EXPECT_EQ(p.page.PixelCombo()->currentIndex(), 0);
    EXPECT_EQ(Combo(p.page.Binder(), "profile")->currentIndex(), 3);
    EXPECT_EQ(Combo(p.page.Binder(), "audioInterface")->currentText(), "Audio");
    radios[1]->click();
    EXPECT_EQ(p.page.PixelCombo()->currentIndex(), 9);
    EXPECT_EQ(Combo(p.page.Binder(), "audioInterface")->currentText(), "SDI");
    set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload[0], 1);
    EXPECT_EQ(set->payload[1], 9);
    EXPECT_EQ(set->payload[3], 2);
    EXPECT_EQ(set->payload[4], 3);
}

TEST(HdEncoderTest, UnknownInputLeavesThePixelAsRead) {
    AvPage p(AvBlock({{0, 7}, {1, 4}, {4, 9}}));
    ASSERT_FALSE(p.fx.Prompt().shown.empty());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "No this input!");
    EXPECT_EQ(p.page.PixelCombo()->count(), 0);
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->payload, AvBlock({{0, 7}, {1, 4}, {4, 9}}));  // nothing selected: bytes as read
}

TEST(HdEncoderTest, StatusShowsBitrateRangeLocksAndFormat) {
    AvPage p(AvBlock({{1, 11}}));
    ASSERT_TRUE(p.fx.FireTimer(&p.page, 66));
    EXPECT_EQ(p.fx.TakeSentPacket()->command, 0x40);
    p.Status(12345, 0x05, std::string("1080i50\0junk", 12));
    EXPECT_EQ(p.page.m_bitrate->text(), "12.345");
    EXPECT_EQ(p.page.m_max->text(), "12.345");
    EXPECT_EQ(p.page.m_min->text(), "12.345");
    // The first lamp picture (set bit) for an input with signal.
    EXPECT_FALSE(IsLampOn(p.page.m_locks[0]));
    EXPECT_TRUE(IsLampOn(p.page.m_locks[1]));
    EXPECT_FALSE(IsLampOn(p.page.m_locks[2]));
    EXPECT_TRUE(IsLampOn(p.page.m_locks[3]));
    EXPECT_TRUE(p.page.m_format->isVisibleTo(&p.page));
    EXPECT_EQ(p.page.m_format->text(), "1080i50");
    p.Status(7, 0);
    EXPECT_EQ(p.page.m_bitrate->text(), "0.007");
    EXPECT_EQ(p.page.m_min->text(), "0.007");
    EXPECT_EQ(p.page.m_max->text(), "12.345");
    p.Status(20000, 0);
    EXPECT_EQ(p.page.m_max->text(), "20.000");
    // A short status changes only what arrived.
    p.fx.FeedReply(0x40, {0x10, 0x27});
    EXPECT_EQ(p.page.m_bitrate->text(), "20.000");
    // Hidden: no poll.
    p.page.hide();
    EXPECT_FALSE(p.fx.FireTimer(&p.page, 66));
}

// ---- multi-channel ----

std::vector<uint8_t> Image(uint8_t version, uint8_t count, uint8_t channel) {
    std::vector<uint8_t> b(kHd4ImageSize);
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = uint8_t(0x20 + i % 90);
    for (int i = 0; i < 8; ++i)
        b[size_t(i)] = 0;
    b[6] = count;
    b[7] = version;
    b[8] = channel;
    // Valid PIDs, names.
    for (int at : {209, 211, 213, 215})
        b[size_t(at)] = 0x21, b[size_t(at + 1)] = 0x01;
    b[143 + 5] = 0;
    b[175 + 5] = 0;
    if (version == 3) {
        b[10] = 5, b[11] = 192, b[12] = 0, b[13] = 1, b[14] = 1, b[15] = 40, b[16] = 4, b[17] = 1, b[18] = 20;
        b[23] = 0, b[24] = 1, b[25] = 1;
    } else {
        b[9] = 0, b[10] = 5, b[11] = 3, b[12] = 1, b[13] = 0, b[14] = 8, b[16] = 0, b[17] = 20;
    }
    return b;
}

struct Hd4Page {
    PageFixture fx;
    encoderHD4in1_av page;
    Hd4Page(uint16_t type, int pageParam) : fx(type) {
        fx.Bind(&page, pageParam);
        auto get = fx.TakeSentPacket();
        EXPECT_EQ(get->command, 0x60);
        EXPECT_EQ(get->payload, std::vector<uint8_t>(9, 0));
    }
    std::optional<test::SentPacket> Set() {
        fx.Prompt().shown.clear();
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.TakeSentPacket();
    }
};

TEST(HdEncoderTest, MultiChannelVersion3RoundTripAndChannelCounts) {
    Hd4Page p(0x1855, 83);
    EXPECT_EQ(p.page.m_channel->count(), 8);
    std::vector<uint8_t> image = Image(3, 12, 9);
    image[11] = 200;  // no such bitrate: shown and sent as 192
    p.fx.FeedReply(0x60, image);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.page.Logic().Version(), Hd4Version::kV3);
    EXPECT_EQ(p.page.m_channel->count(), 12);
    EXPECT_EQ(p.page.m_channel->currentIndex(), 9);
    EXPECT_EQ(Combo(p.page.Binder(), "audioBitrate")->currentText(), "192 kbps");
    EXPECT_EQ(Combo(p.page.Binder(), "level")->currentText(), "Level 4");
    EXPECT_EQ(p.page.m_inputText->text(), "(1)");
    EXPECT_TRUE(p.page.Binder().Control("volume")->isVisibleTo(&p.page));
    // A pixel entry of the version 3 list raises no version 0 complaint.
    Combo(p.page.Binder(), "pixel")->setCurrentIndex(0);
    emit Combo(p.page.Binder(), "pixel")->activated(0);
    EXPECT_TRUE(p.fx.Prompt().shown.empty());
    Combo(p.page.Binder(), "pixel")->setCurrentIndex(2);  // value 5, as read
    auto set = p.Set();
    ASSERT_TRUE(set);
    EXPECT_EQ(set->command, 0x61);
    std::vector<uint8_t> expected = image;
    std::fill_n(expected.begin(), 8, 0);
    expected[11] = 192;
    EXPECT_EQ(set->payload, expected);
    p.fx.FeedReply(0x61, {});
    EXPECT_FALSE(p.page.IsBusy());

    p.page.m_channel->setCurrentIndex(1);
    emit p.page.m_channel->activated(1);
    EXPECT_EQ(p.fx.TakeSentPacket()->payload[8], 1);
    p.fx.FeedReply(0x60, Image(3, 4, 1));
    EXPECT_EQ(p.page.m_channel->count(), 4);
}

TEST(HdEncoderTest, MultiChannelRefusesChannelsAndPidsItCannotTake) {
    Hd4Page p(0x1115, 0);
    p.fx.FeedReply(0x60, Image(3, 4, 20));
    ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(p.fx.Prompt().shown[0].text, "channel error: 20 > 16");
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.page.Logic().Version(), Hd4Version::kV0);  // the record was not taken

    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(0x60, Image(3, 4, 2));
    const struct {
        const char* key;
        const char* text;
        const char* message;
    } cases[] = {
        {"audioPid", "2000", "Audio PID:0X2000,Value range should be between 0-0X1FFF"},
        {"videoPid", "12345", "Video PID:0X12345,Value range should be between 0-0X1FFF"},
        {"pmtPid", "1g", "PMT PID:0X10,Value range should be between 0-0X1FFF"},
        {"pcrPid", "1fff", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        qobject_cast<QLineEdit*>(p.page.Binder().Control(c.key))->setText(c.text);
        auto set = p.Set();
        if (!c.message) {
            EXPECT_TRUE(set);
            break;
        }
        EXPECT_FALSE(set);
        ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
        EXPECT_EQ(p.fx.Prompt().shown[0].text, c.message);
        qobject_cast<QLineEdit*>(p.page.Binder().Control(c.key))->setText("100");
    }
    p.fx.FeedReply(0x61, {});
    p.page.m_channel->setCurrentIndex(-1);
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Error 135");

    // An empty reply: the board is missing.
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(0x60, {});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Do not support this moudle");
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(HdEncoderTest, MarkedVersion0ShowsTheOutputFormatAndSizes) {
    Hd4Page p(0x4202, 0);
    std::vector<uint8_t> image = Image(0, 0, 1);
    image[0] = kHd4Marker;
    image[7] = 3;  // not read behind the marker
    image[135] = 2, image[136] = 0x80, image[137] = 0x07, image[138] = 0x38, image[139] = 0x04;
    p.fx.FeedReply(0x60, image);
    EXPECT_EQ(p.page.Logic().Version(), Hd4Version::kV0);
    EXPECT_TRUE(p.page.Logic().Marker());
    EXPECT_EQ(Combo(p.page.Binder(), "outputFormat")->currentText(), "1280*720*50p");
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.Binder().Control("hSize"))->text(), "1920");
    EXPECT_EQ(qobject_cast<QLineEdit*>(p.page.Binder().Control("vSize"))->text(), "1080");
    EXPECT_EQ(p.page.m_channel->currentIndex(), 1);
    qobject_cast<QLineEdit*>(p.page.Binder().Control("vSize"))->setText("720");
    auto set = p.Set();
    ASSERT_TRUE(set);
    std::vector<uint8_t> expected = image;
    std::fill_n(expected.begin(), 8, 0);  // the marker is the device's, not sent back
    expected[138] = 0xd0, expected[139] = 0x02;
    EXPECT_EQ(set->payload, expected);
}

TEST(HdEncoderTest, MultiChannelVersion1AndVersion0) {
    {
        Hd4Page p(0x1115, 0);
        std::vector<uint8_t> reply(kHd4V1ImageSize);
        for (size_t i = 0; i < reply.size(); ++i)
            reply[i] = uint8_t(i);
        reply[7] = 1;
        reply[8] = 2, reply[9] = 1, reply[10] = 4, reply[11] = 1, reply[12] = 2, reply[13] = 7, reply[14] = 3;
        reply[19] = 0x21, reply[20] = 0x01, reply[21] = 0x22, reply[22] = 0x01, reply[23] = 0x23,
        reply[24] = 0x01;
        reply[25] = 0x24, reply[26] = 0x01, reply[27] = 1;
        reply[29 + 4] = 0, reply[61 + 4] = 0;
        p.fx.FeedReply(0x60, reply);
        EXPECT_EQ(p.page.Logic().Version(), Hd4Version::kV1);
        EXPECT_FALSE(p.page.m_channel->isVisibleTo(&p.page));
        EXPECT_EQ(Combo(p.page.Binder(), "sampling")->currentText(), "32KHz");
        auto set = p.Set();
        ASSERT_TRUE(set);
        EXPECT_EQ(set->payload.size(), 93u);
        std::vector<uint8_t> expected = reply;
        std::fill_n(expected.begin(), 7, 0);
        EXPECT_EQ(set->payload, expected);
    }
    // The modulator's board variant 2: kbit/s and level_idc, and the 1080p warning.
    Hd4Page p(0x4101, 24);
    EXPECT_FALSE(p.page.m_channel->isVisibleTo(&p.page));
    std::vector<uint8_t> image = Image(0, 0, 0);
    image[11] = 224, image[14] = 41, image[16] = 2;
    image[9] = 1;  // SDI: no detected format
    p.fx.FeedReply(0x60, image);
    EXPECT_EQ(Combo(p.page.Binder(), "audioBitrateKbps")->currentText(), "224Kbps");
    EXPECT_EQ(Combo(p.page.Binder(), "levelIdc")->currentText(), "Level 4.1");
    EXPECT_EQ(p.page.m_inputLabel->text(), "SDI:");
    EXPECT_FALSE(p.page.m_inputText->isVisibleTo(&p.page));
    EXPECT_TRUE(p.page.Binder().Control("hue")->isVisibleTo(&p.page));
    Combo(p.page.Binder(), "pixel")->setCurrentIndex(1);
    emit Combo(p.page.Binder(), "pixel")->activated(1);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Don't support (1920*1080*60/59/50p) !");
    Combo(p.page.Binder(), "pixel")->setCurrentIndex(5);
    Combo(p.page.Binder(), "audioBitrateKbps")->setCurrentIndex(1);
    auto set = p.Set();
    ASSERT_TRUE(set);
    std::vector<uint8_t> expected = image;
    std::fill_n(expected.begin(), 8, 0);
    expected[11] = 128;
    EXPECT_EQ(set->payload, expected);

    // A board that says it has four channels lets the operator pick one first.
    p.fx.FeedReply(0x61, {});
    QTest::mouseClick(p.page.m_get, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(0x60, Image(0, 0, 4));
    EXPECT_TRUE(p.page.m_channel->isVisibleTo(&p.page));
    EXPECT_EQ(p.page.m_channel->count(), 4);
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Error 135");
}

}  // namespace hd_encoder_test
}  // namespace nms
