#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include "page_fixture.h"
#include "pages/modulator/qam4_view.h"
#include "param_store_sim.h"
#include "platform/resource_icons.h"

namespace nms {
namespace qam4_page_test {

using test::PageFixture;
using test::ParamStoreSim;

QLineEdit* Edit(Cqam4& page, const std::string& key) {
    return qobject_cast<QLineEdit*>(page.Binder()->Control(key));
}

struct Qam4Page {
    PageFixture fx;
    Cqam4 page;
    ParamStoreSim sim;
    Qam4Page(int pageParam, uint16_t type) : fx(type), sim(type) {
        fx.Bind(&page, pageParam);
        Answer();
    }
    // The simulated device answers what the page sent.
    void Answer() {
        while (auto sent = fx.TakeSentPacket()) {
            if (sent->command == 0x02)
                continue;
            if (auto reply = sim.Handle(sent->command, sent->payload))
                fx.FeedReply(sent->command, *reply);
        }
    }
    std::optional<test::SentPacket> Set() {
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        return fx.PeekSentPacket();
    }
};

TEST(Qam4PageTest, EveryVariantSendsBackWhatItRead) {
    const struct {
        int pageParam;
        uint16_t type;
        size_t size;
    } cases[] = {{0, 0x4104, 542},  {16, 0x4144, 542}, {17, 0x4154, 542}, {18, 0x4164, 542},
                 {19, 0x3104, 542}, {33, 0x4104, 542}, {34, 0x4114, 542}, {35, 0x4125, 542},
                 {38, 0x4126, 324}, {102, 0x4153, 588}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Qam4Page p(c.pageParam, c.type);
        EXPECT_FALSE(p.page.IsBusy());
        std::vector<uint8_t> expected = *p.sim.Record(0x33);
        if (c.pageParam == 102)
            std::fill(expected.begin(), expected.begin() + 8, 0);  // the request's eight leading zeros
        if (c.pageParam == 17)
            expected[286] = expected[287] = 1;  // the MUX and Scrambler lists as they show
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->command, 0x34);
        ASSERT_EQ(sent->payload.size(), c.size);
        EXPECT_EQ(sent->payload, expected);
        p.Answer();
        EXPECT_FALSE(p.page.IsBusy());
    }
}

// A 0x33 reply shorter than the whole record ends the wait (and asks for the version) but changes
// no byte: the form keeps what it showed and an untouched Set still sends the record read before.
TEST(Qam4PageTest, AShortReplyEndsTheWaitAndChangesNoRecord) {
    const struct {
        int pageParam;
        uint16_t type;
        size_t size;
    } cases[] = {{18, 0x4164, 542}, {38, 0x4126, 324}, {102, 0x4153, 588}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Qam4Page p(c.pageParam, c.type);
        std::vector<uint8_t> expected = *p.sim.Record(0x33);
        if (c.pageParam == 102)
            std::fill(expected.begin(), expected.begin() + 8, 0);
        const QString rf1 = Edit(p.page, "freq1")->text();
        for (size_t length : {size_t(10), c.size - 1}) {
            SCOPED_TRACE(length);
            p.page.OnGet();
            ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x33);
            std::vector<uint8_t> reply(length, 0x11);
            reply[1] = 2;  // a module count the modules variant would take from a whole reply
            p.fx.FeedReply(0x33, reply);
            EXPECT_FALSE(p.page.IsBusy());
            auto version = p.fx.TakeSentPacket();
            ASSERT_TRUE(version);
            EXPECT_EQ(version->command, 0x02);
            EXPECT_EQ(Edit(p.page, "freq1")->text(), rf1);
            if (c.pageParam == 102) {
                EXPECT_EQ(p.page.m_modules->count(), 4);
            }
        }
        auto sent = p.Set();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->payload, expected);
        p.Answer();
    }
}

TEST(Qam4PageTest, FrequenciesSpreadAtMostEightyMegahertz) {
    Qam4Page p(18, 0x4164);
    Edit(p.page, "freq4")->setText("554");
    EXPECT_TRUE(p.Set());
    p.Answer();
    Edit(p.page, "freq4")->setText("555.5");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Error:555-474=81 > 80;Can not set !!!");

    // Typing RF-1's frequency spreads the others by the spacing.
    auto* rf1 = Edit(p.page, "freq1");
    rf1->clear();
    QTest::keyClicks(rf1, "474.000");
    EXPECT_EQ(Edit(p.page, "freq2")->text(), "482");
    EXPECT_EQ(Edit(p.page, "freq4")->text(), "498");
    Edit(p.page, "att3")->setText("3.3");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "ATT value must be changed with step 0.5.");
    Edit(p.page, "att3")->setText("3.0");
    Edit(p.page, "ts2")->setText("70000");
    EXPECT_FALSE(p.Set());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Please enter an integer between 0 and 65535.");
}

// The unit label beside the power field names its range: a typed power outside it is refused with the
// field's message and nothing is sent; the ends of the range go out as typed.
TEST(Qam4PageTest, PowerOutsideItsLabelledRangeIsRefused) {
    const struct {
        int pageParam;
        uint16_t type;
        size_t at;  // the power byte in the request
    } variants[] = {{0, 0x4104, 3}, {102, 0x4153, 8 + 3}};
    const struct {
        const char* text;
        int sent;  // -1: refused
    } cases[] = {{"200", -1}, {"79", -1}, {"111", -1}, {"256", -1}, {"80", 80}, {"110", 110}};
    for (const auto& v : variants) {
        SCOPED_TRACE(v.pageParam);
        Qam4Page p(v.pageParam, v.type);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            Edit(p.page, "power")->setText(c.text);
            auto sent = p.Set();
            if (c.sent < 0) {
                EXPECT_FALSE(sent);
                EXPECT_EQ(p.fx.Prompt().shown.back().text, "Please enter an integer between 80 and 110.");
                EXPECT_FALSE(p.page.IsBusy());
            } else {
                ASSERT_TRUE(sent);
                EXPECT_EQ(sent->payload[v.at], c.sent);
                p.Answer();
            }
        }
    }
}

// Lamps stand only where the status poll reports locks; a variant without them shows no lock caption.
TEST(Qam4PageTest, LockLampsFollowTheVariant) {
    const struct {
        int pageParam;
        uint16_t type;
        int lamps;
    } cases[] = {{0, 0x4104, 4}, {16, 0x4144, 5}, {18, 0x4164, 8}, {35, 0x4125, 0}, {102, 0x4153, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Qam4Page p(c.pageParam, c.type);
        for (int n = 0; n < 9; ++n)
            EXPECT_EQ(p.page.m_locks[size_t(n)]->isHidden(), n >= c.lamps) << n;
        EXPECT_EQ(p.page.m_lockCaption->isHidden(), c.lamps == 0);
    }
    // The 4-output modulator's lamps show its outputs' lock bits.
    Qam4Page p(0, 0x4104);
    std::vector<uint8_t> status(17, 0);
    status[0] = 0x0a;
    p.fx.FeedReply(0x40, status);
    const QImage on = PixmapById(213).toImage();
    for (int n = 0; n < 4; ++n)
        EXPECT_EQ(p.page.m_locks[size_t(n)]->pixmap().toImage() == on, n == 1 || n == 3) << n;
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(bytes[at + size_t(i)]) << (8 * i);
    return v;
}

// The three-output DVB-T variant spaces RF-2.. by the bandwidth; its hidden RF-4 follows RF-1 as well
// and goes out with the others.
TEST(Qam4PageTest, TheDvbtVariantSpacesByBandwidth) {
    Qam4Page p(38, 0x4126);
    EXPECT_TRUE(p.page.Binder()->Control("freq4")->isHidden());  // three outputs
    p.page.OnGet();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x33);
    std::vector<uint8_t> reply = *p.sim.Record(0x33);
    reply[11] = 2;  // 6M
    for (int i = 0; i < 4; ++i)
        reply[size_t(224 + i)] = uint8_t(495000u >> (8 * i));  // RF-4 at 495000 kHz
    p.fx.FeedReply(0x33, reply);
    EXPECT_EQ(qobject_cast<QComboBox*>(p.page.Binder()->Control("bandwidth"))->currentText(), "6M");
    auto* rf1 = Edit(p.page, "freq1");
    rf1->clear();
    QTest::keyClicks(rf1, "474");
    EXPECT_EQ(Edit(p.page, "freq2")->text(), "480");
    EXPECT_EQ(Edit(p.page, "freq3")->text(), "486");
    EXPECT_TRUE(p.page.Binder()->Control("freq4")->isHidden());
    p.Answer();
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    const uint32_t expected[] = {474000, 480000, 486000, 492000};
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(U32At(sent->payload, size_t(14 + 70 * k)), expected[k]) << "RF-" << k + 1;
}

// PageParam 17: the "MUX" and "Scrambler" lists show any non-zero byte as "Enable" and send what they
// show.
TEST(Qam4PageTest, TheMuxAndScramblerListsSendWhatTheyShow) {
    Qam4Page p(17, 0x4154);
    p.page.OnGet();
    ASSERT_EQ(p.fx.TakeSentPacket()->command, 0x33);
    std::vector<uint8_t> reply = *p.sim.Record(0x33);
    reply[286] = 5, reply[287] = 7;
    p.fx.FeedReply(0x33, reply);
    p.Answer();
    auto* mux = qobject_cast<QComboBox*>(p.page.Binder()->Control("mux"));
    auto* scrambler = qobject_cast<QComboBox*>(p.page.Binder()->Control("scrambler"));
    EXPECT_EQ(mux->currentText(), "Enable");
    EXPECT_EQ(scrambler->currentText(), "Enable");
    auto sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[286], 1);
    EXPECT_EQ(sent->payload[287], 1);
    p.Answer();
    mux->setCurrentIndex(0);
    sent = p.Set();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload[286], 0);
    EXPECT_EQ(sent->payload[287], 1);
}

// Which RFs show their TS ID, NET. ID and PSI checks, by variant; shown identifiers are read from and
// written into their RF's block.
TEST(Qam4PageTest, IdentifiersAndPsiChecksPerRfFollowTheVariant) {
    const struct {
        int pageParam;
        uint16_t type;
        int idRfs;   // RFs 1..idRfs show TS ID and NET. ID
        int psiRfs;  // RFs 1..psiRfs show the PAT check
    } cases[] = {{18, 0x4164, 4, 4}, {35, 0x4125, 4, 4}, {33, 0x4104, 4, 4},
                 {19, 0x3104, 1, 1}, {16, 0x4144, 0, 4}, {0, 0x4104, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        Qam4Page p(c.pageParam, c.type);
        for (int rf = 1; rf <= 4; ++rf) {
            SCOPED_TRACE(rf);
            EXPECT_EQ(!p.page.Binder()->Control(Qam4Key("ts", rf))->isHidden(), rf <= c.idRfs);
            EXPECT_EQ(!p.page.Binder()->Control(Qam4Key("net", rf))->isHidden(), rf <= c.idRfs);
            EXPECT_EQ(!p.page.Binder()->Control(Qam4Key("pat", rf))->isHidden(), rf <= c.psiRfs);
        }
        if (c.idRfs == 4) {
            EXPECT_EQ(Edit(p.page, "ts3")->text(), "3");  // as the simulated device numbers them
            Edit(p.page, "ts3")->setText("300");
            Edit(p.page, "net4")->setText("7");
            auto sent = p.Set();
            ASSERT_TRUE(sent);
            EXPECT_EQ(sent->payload[6 + 70 * 2 + 6] | sent->payload[6 + 70 * 2 + 7] << 8, 300);
            EXPECT_EQ(sent->payload[6 + 70 * 3 + 8], 7);
        }
    }
}

// The four modules' RF checks are named by the outputs they stand for: RF-4m+1 .. RF-4m+4.
TEST(Qam4PageTest, EachModulesRfChecksNameItsOwnOutputs) {
    Qam4Page p(102, 0x4153);
    auto captions = [&] {
        std::vector<QString> out;
        for (int rf = 1; rf <= 4; ++rf)
            out.push_back(
                qobject_cast<QAbstractButton*>(p.page.Binder()->Control(Qam4Key("rf", rf)))->text());
        return out;
    };
    EXPECT_EQ(captions(), (std::vector<QString>{"RF-1", "RF-2", "RF-3", "RF-4"}));
    p.page.OnSelChangeTab(1);
    EXPECT_EQ(captions(), (std::vector<QString>{"RF-5", "RF-6", "RF-7", "RF-8"}));
    p.page.OnSelChangeTab(3);
    EXPECT_EQ(captions(), (std::vector<QString>{"RF-13", "RF-14", "RF-15", "RF-16"}));
    p.page.OnSelChangeTab(0);
    EXPECT_EQ(captions(), (std::vector<QString>{"RF-1", "RF-2", "RF-3", "RF-4"}));
}

TEST(Qam4PageTest, ModulesAndTheirErrors) {
    PageFixture fx(0x4153);
    Cqam4 page;
    fx.Bind(&page, 102);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, std::vector<uint8_t>(8, 0));
    // Set before any reply: the device is not known to answer.
    page.OnSet();
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(fx.Prompt().shown.back().text, "Device offline");
    for (uint8_t count : {0, 5}) {
        std::vector<uint8_t> reply(8 + 580, 0);
        reply[1] = count;
        fx.FeedReply(0x33, reply);
        ASSERT_FALSE(fx.Prompt().shown.empty());
        EXPECT_EQ(fx.Prompt().shown.back().text, "Module Error");
        EXPECT_FALSE(page.IsBusy());
        page.OnGet();
    }
    ParamStoreSim sim(0x4153);
    std::vector<uint8_t> reply = *sim.Record(0x33);
    reply[1] = 2;  // two modules
    fx.FeedReply(0x33, reply);
    EXPECT_EQ(Edit(page, "freq1")->text(), "474.000");
    page.OnSelChangeTab(1);
    EXPECT_EQ(page.m_modules->currentIndex(), 1);
    EXPECT_EQ(Edit(page, "freq1")->text(), "506.000");
    page.OnSelChangeTab(2);  // beyond the modules present
    EXPECT_EQ(page.m_modules->currentIndex(), 1);
    // A refused field keeps the operator on the module, the field focused.
    Edit(page, "att2")->setText("9.9");
    fx.Prompt().shown.clear();
    page.OnSelChangeTab(0);
    EXPECT_EQ(page.m_modules->currentIndex(), 1);
    ASSERT_EQ(fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(page.focusWidget(), Edit(page, "att2"));

    // The monitor shows the selected module's four rates: offsets 33, 37, 41, 45 for module 2.
    Edit(page, "att2")->setText("2.0");
    std::vector<uint8_t> status(1 + 64, 0);
    status[1 + 16 * 1] = 0x7c, status[1 + 16 * 1 + 1] = 0x94;  // 38012
    fx.FeedReply(0x40, status);
    EXPECT_EQ(page.m_rate[0]->text(), "38.012");
}

TEST(Qam4PageTest, MonitorRatesBoundsAndLocks) {
    Qam4Page p(18, 0x4164);
    auto status = [&](uint8_t locks, uint32_t first) {
        std::vector<uint8_t> s = {locks};
        for (int k = 0; k < 4; ++k)
            for (int i = 0; i < 4; ++i)
                s.push_back(uint8_t((first + uint32_t(k)) >> (8 * i)));
        p.fx.FeedReply(0x40, s);
    };
    status(0x05, 38012);
    EXPECT_EQ(p.page.m_rate[0]->text(), "38.012");
    EXPECT_EQ(p.page.m_min[0]->text(), "38.012");  // the first sample after Get sets both
    EXPECT_EQ(p.page.m_max[0]->text(), "38.012");
    status(0x05, 38500);
    status(0x05, 38100);
    EXPECT_EQ(p.page.m_rate[0]->text(), "38.100");
    EXPECT_EQ(p.page.m_max[0]->text(), "38.500");
    EXPECT_EQ(p.page.m_min[0]->text(), "38.012");
    const QImage on = PixmapById(213).toImage();
    EXPECT_EQ(p.page.m_locks[0]->pixmap().toImage(), on);
    EXPECT_NE(p.page.m_locks[1]->pixmap().toImage(), on);
    EXPECT_EQ(p.page.m_locks[2]->pixmap().toImage(), on);
    p.page.OnGet();
    p.Answer();
    status(0, 37000);
    EXPECT_EQ(p.page.m_max[0]->text(), "37.000");
}

}  // namespace qam4_page_test
}  // namespace nms
