#include "pages/ird/adapter_views.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "pages/encoder/encoder_public_view.h"
#include "platform/resource_icons.h"

namespace nms {
namespace adapter_views_test {

using test::PageFixture;

bool LampOn(const QLabel* lamp) {
    return lamp->pixmap().toImage() == PixmapById(213).toImage();
}

TEST(AdapterViewsTest, TheFolderPagesAreRegistered) {
    RegisterBuiltPages();
    for (const char* name :
         {"C4e1_asi", "CDS3AdapterView", "CASIDistributorView", "CStbKeyCtrl", "CCAMIRD_INPUT"})
        EXPECT_TRUE(IsPageRegistered(name)) << name;
}

TEST(AdapterViewsTest, E1PageReadsPollsAndSetsTheMode) {
    PageFixture fx(0x5109);
    C4e1_asi page;
    fx.Bind(&page);
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdAdapterGet);
    EXPECT_FALSE(page.IsBusy());
    fx.FeedReply(kCmdAdapterGet, {3});
    EXPECT_EQ(page.m_mode->currentText(), "3*E1");

    ASSERT_TRUE(fx.FireTimer(&page, kEncoderStatusTimerId));
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdAdapterStatus);
    fx.FeedReply(kCmdAdapterStatus, {0x39, 0x30, 0, 0, 0xe7, 3, 0, 0, 0x10});
    EXPECT_EQ(page.m_asiToE1->text(), "12.345");
    EXPECT_EQ(page.m_e1ToAsi->text(), "0.999");
    EXPECT_FALSE(LampOn(page.m_lamps[0]));
    EXPECT_TRUE(LampOn(page.m_lamps[4]));

    page.m_mode->setCurrentIndex(3);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, std::vector<uint8_t>{4});
    EXPECT_TRUE(page.IsBusy());
    // A poll never replaces the set waiting in the send slot.
    EXPECT_TRUE(fx.FireTimer(&page, kEncoderStatusTimerId));
    EXPECT_FALSE(fx.TakeSentPacket());
    fx.FeedReply(kCmdAdapterSet, {});
    EXPECT_FALSE(page.IsBusy());

    page.hide();
    EXPECT_FALSE(fx.FireTimer(&page, kEncoderStatusTimerId));
}

TEST(AdapterViewsTest, Ds3PageSendsTheProtocolsAndShowsTheLocks) {
    PageFixture fx(0x5101);
    CDS3AdapterView page;
    fx.Bind(&page);
    EXPECT_TRUE(page.IsBusy());
    std::vector<uint8_t> record(79, 0x55);
    record[45] = 6;
    record[46] = 1;
    fx.TakeSentPacket();
    fx.FeedReply(kCmdAdapterGet, record);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(page.m_asiToDs3->currentText(), "DS3-->7");
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);  // the version follows

    page.m_ds3ToAsi->setCurrentIndex(7);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    std::vector<uint8_t> expected(79, 0);
    expected[45] = 6;
    expected[46] = 7;
    EXPECT_EQ(fx.TakeSentPacket()->payload, expected);
    fx.FeedReply(kCmdAdapterSet, {});

    fx.FeedReply(kCmdAdapterStatus, {0, 0, 0, 0, 0, 0, 0, 0, 0x01});
    EXPECT_EQ(page.m_ds3ToAsiLock->text(), "DS3=>ASI Lock ");
    EXPECT_TRUE(LampOn(page.m_ds3ToAsiLamp));
    EXPECT_EQ(page.m_asiToDs3Lock->text(), "ASI=>DS3 Unlock ");
    EXPECT_FALSE(LampOn(page.m_asiToDs3Lamp));
}

// Until the device has answered, the protocol lists show no protocol: none has been read yet.
TEST(AdapterViewsTest, Ds3ProtocolListsShowNothingBeforeTheRead) {
    PageFixture fx(0x5101);
    CDS3AdapterView page;
    fx.Bind(&page);
    ASSERT_EQ(fx.TakeSentPacket()->command, kCmdAdapterGet);
    EXPECT_EQ(page.m_asiToDs3->count(), 8);
    EXPECT_EQ(page.m_asiToDs3->currentIndex(), -1);
    EXPECT_EQ(page.m_ds3ToAsi->currentIndex(), -1);
    EXPECT_EQ(page.m_asiToDs3->currentText(), "");
    EXPECT_EQ(page.m_ds3ToAsiLock->text(), "DS3=>ASI Unlock ");
    EXPECT_FALSE(LampOn(page.m_ds3ToAsiLamp));
    std::vector<uint8_t> record(79, 0);
    record[45] = 9;  // no such protocol: the list stays empty
    record[46] = 0;
    fx.FeedReply(kCmdAdapterGet, record);
    EXPECT_EQ(page.m_asiToDs3->currentIndex(), -1);
    EXPECT_EQ(page.m_ds3ToAsi->currentText(), "DS3-->1");
}

TEST(AdapterViewsTest, DistributorSwitchesInputsAndLightsTheOutput) {
    PageFixture fx(0x7101);
    CASIDistributorView page;
    fx.Bind(&page);
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdAdapterGet);
    fx.FeedReply(kCmdAdapterGet, {0, 1});
    EXPECT_TRUE(page.m_autoSwitch->isChecked());
    EXPECT_FALSE(page.m_input1->isEnabled());
    fx.FeedReply(kCmdAdapterGet, {1, 0});
    EXPECT_TRUE(page.m_input1->isChecked());
    EXPECT_TRUE(page.m_input2->isEnabled());

    QTest::mouseClick(page.m_autoSwitch, Qt::LeftButton);
    page.m_input2->setChecked(true);
    QTest::mouseClick(page.m_set, Qt::LeftButton);
    EXPECT_EQ(fx.TakeSentPacket()->payload, (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(page.IsBusy());

    page.hide();  // the distributor polls shown or not
    ASSERT_TRUE(fx.FireTimer(&page, kEncoderStatusTimerId));
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdAdapterStatus);
    std::vector<uint8_t> status(17, 0);
    status[0] = 1;
    fx.FeedReply(kCmdAdapterStatus, status);
    EXPECT_TRUE(LampOn(page.m_lamp1));
    EXPECT_FALSE(LampOn(page.m_lamp2));
    EXPECT_EQ(page.m_rate1->text(), "0.000 / 0.000");
}

// A Get reply after its wait ran out is still shown, once, with the version request it asks for.
TEST(AdapterViewsTest, Ds3PageShowsALateGetOnce) {
    PageFixture fx(0x5101);
    CDS3AdapterView page;
    fx.Bind(&page);
    EXPECT_EQ(fx.TakeSentPacket()->command, kCmdAdapterGet);
    EXPECT_TRUE(fx.FireTimer(&page, kWaitTimerId));
    EXPECT_FALSE(page.IsBusy());
    std::vector<uint8_t> record(79, 0);
    record[45] = 3;
    record[46] = 5;
    fx.FeedReply(kCmdAdapterGet, record);
    EXPECT_EQ(page.m_asiToDs3->currentText(), "DS3-->4");
    EXPECT_EQ(page.m_ds3ToAsi->currentText(), "DS3-->6");
    EXPECT_FALSE(page.IsBusy());
    EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
    EXPECT_FALSE(fx.TakeSentPacket());
    record[45] = 1;
    fx.FeedReply(kCmdAdapterGet, record);  // a second copy is nobody's
    EXPECT_EQ(page.m_asiToDs3->currentText(), "DS3-->4");
    EXPECT_FALSE(fx.TakeSentPacket());
}

}  // namespace adapter_views_test
}  // namespace nms
