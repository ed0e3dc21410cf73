#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "devices/device_record.h"
#include "page_fixture.h"
#include "pages/ird/cam_mux_view.h"
#include "pages/mux/edit_program_dlg.h"

namespace nms {
namespace cam_mux_test {

using test::PageFixture;

std::vector<uint8_t> Program(uint8_t number, uint8_t count, uint8_t streams) {
    std::vector<uint8_t> p = {1, number, count};
    std::vector<uint8_t> r(kCamMuxRecordSize, 0);
    r[1] = 'I';
    r[33] = 'O';
    r[34] = uint8_t('0' + number);
    r[67] = number;
    r[71] = 0x00, r[72] = 0x01;
    r[77] = streams;
    for (int s = 0; s < streams; ++s) {
        r[size_t(78 + 51 * s)] = 0x02;
        r[size_t(78 + 51 * s + 3)] = uint8_t(0x10 + s), r[size_t(78 + 51 * s + 4)] = 0x01;
    }
    r[1710] = 3;  // three program ECM entries from CA-table entry 0
    r[1712] = 0x20, r[1713] = 0x01;
    p.insert(p.end(), r.begin(), r.end());
    return p;
}

// What the simulated input answers besides the program records.
struct InputReplies {
    std::vector<uint8_t> caTable = {1, 2, 0x0b, 0x00, 0xe1, 0x00, 0x06, 0x00, 0x00, 0x20};
    std::vector<uint8_t> cat = {1, 1, 1, 0x30, 0x00};
    std::function<void(std::vector<uint8_t>&)> program;  // changes each program reply
    bool repeated = false;  // each program reply comes twice, then one naming a program not asked for
};

struct MuxPage {
    PageFixture fx{0x5176};
    Ccam_ird_mux page;
    explicit MuxPage(uint32_t version = 0x00000104) {
        fx.Device()->version.store(version);
        fx.Bind(&page);
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamIrdCat);  // showing refreshes
        fx.FireTimer(&page, kWaitTimerId);
    }
    void Read(uint8_t count, uint8_t streams, const InputReplies& replies = {}) {
        QTest::mouseClick(page.m_parse, Qt::LeftButton);
        EXPECT_EQ(fx.TakeSentPacket()->payload, (std::vector<uint8_t>{1, 1, 0}));
        fx.FeedReply(kCmdCamIrdParse, {1, count});
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamIrdCat);
        fx.FeedReply(kCmdCamIrdCat, replies.caTable);
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamMuxCat);
        fx.FeedReply(kCmdCamMuxCat, replies.cat);
        EXPECT_EQ(fx.TakeSentPacket()->command, kCmdCamIrdConfig);
        std::vector<uint8_t> config(kCamOutputConfigSize, 0);
        config[10] = 0x00, config[11] = 0x0b;
        config[14] = 0x02;  // EMM not passed
        fx.FeedReply(kCmdCamIrdConfig, config);
        for (uint8_t n = 1; n <= count; ++n) {
            auto sent = fx.TakeSentPacket();
            ASSERT_TRUE(sent);
            EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, n, 0}));
            std::vector<uint8_t> reply = Program(n, count, streams);
            if (replies.program)
                replies.program(reply);
            fx.FeedReply(kCmdCamIrdProgram, reply);
            if (replies.repeated && n < count) {
                fx.FeedReply(kCmdCamIrdProgram, reply);
                ASSERT_TRUE(page.IsBusy());
            }
        }
        EXPECT_EQ(fx.TakeSentPacket()->command, 0x02);
        EXPECT_FALSE(page.IsBusy());
    }
};

// The CAT reply of the showing refresh after its wait ran out is taken once; the chain does not go on.
TEST(CamMuxTest, ALateReplyStartsNothing) {
    MuxPage p;  // the refresh timed out
    p.fx.FeedReply(kCmdCamIrdCat, {1, 1, 0x0b, 0x00, 0xe1, 0x00});
    EXPECT_EQ(p.page.Logic().CaSystemId(0, 0), 0x0b00);
    EXPECT_FALSE(p.fx.TakeSentPacket());
    EXPECT_FALSE(p.page.IsBusy());
    p.fx.FeedReply(kCmdCamIrdCat, {1, 1, 0x0c, 0x00, 0xe1, 0x00});
    EXPECT_EQ(p.page.Logic().CaSystemId(0, 0), 0x0b00);
}

TEST(CamMuxTest, ReadsTheInputAndWarnsOldSoftwareOnce) {
    MuxPage p(0x00000a03);  // software 3.10
    p.Read(2, 3);
    ASSERT_EQ(p.fx.Prompt().shown.size(), 1u);
    EXPECT_EQ(p.fx.Prompt().shown[0].text, "Please Update SW version 30a to >= 3.16");
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 2);
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(1), "($)O1");
    EXPECT_EQ(p.page.m_cas1->text(), "CI-1 CAS ID:0X0B00");
    EXPECT_TRUE(p.page.m_pass[0]->isChecked());
    EXPECT_FALSE(p.page.m_pass[1]->isChecked());
    ASSERT_EQ(p.page.m_cat->topLevelItemCount(), 1);
    EXPECT_EQ(p.page.m_cat->topLevelItem(0)->text(1), "0600");  // CA-table entry 1, read big-endian
}

TEST(CamMuxTest, ASecondCopyOfAProgramReplyIsIgnored) {
    MuxPage p;
    InputReplies replies;
    replies.repeated = true;
    p.Read(3, 1, replies);
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(p.page.m_programs->topLevelItem(2)->text(1), "($)O3");  // the last program is read
}

// A program reply that carries another program than the one asked for (here 200, outside the table, for
// program 2) still moves the read on to the next number.
TEST(CamMuxTest, AReplyCarryingAnotherProgramMovesTheReadOn) {
    MuxPage p;
    InputReplies replies;
    replies.program = [](std::vector<uint8_t>& reply) {
        if (reply[1] == 2)
            reply[1] = 200;
    };
    p.Read(3, 1, replies);  // asks for 1, 2 and 3, then the version
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 3);
    EXPECT_EQ(p.page.m_programs->topLevelItem(2)->text(1), "($)O3");
}

// Counts beyond their containers are clamped: 20 EMM entries in the CAT, 20 ECM entries a program and a
// stream, 32 streams; CA-table entries are read as far as the reply goes (later indexes read as 0).
TEST(CamMuxTest, OversizedCountsAreClampedToTheirContainers) {
    MuxPage p;
    InputReplies replies;
    replies.caTable = {1, 200, 0x0b, 0x00, 0xe1, 0x00};
    replies.cat = {1, 200, 0, 0x30, 0x00};
    replies.program = [](std::vector<uint8_t>& reply) {
        uint8_t* r = reply.data() + 3;
        r[77] = 200;      // streams
        r[78 + 5] = 255;  // ECM entries of stream 1
        r[1710] = 255;    // program ECM entries
        for (int i = 0; i < 21; ++i)
            r[1712 + 2 * i] = uint8_t(i + 1);
    };
    p.Read(1, 1, replies);
    ASSERT_EQ(p.page.m_cat->topLevelItemCount(), 20);
    EXPECT_EQ(p.page.m_cat->topLevelItem(0)->text(1), "0B00");
    EXPECT_EQ(p.page.m_cat->topLevelItem(1)->text(1), "0000");  // beyond the CA table that arrived
    ASSERT_EQ(p.page.m_programs->topLevelItemCount(), 1);
    EXPECT_EQ(p.page.m_programs->topLevelItem(0)->text(5), "20");
    p.page.m_programs->setCurrentItem(p.page.m_programs->topLevelItem(0));
    p.page.OnClickProgramList();
    EXPECT_EQ(p.page.m_elements->topLevelItemCount(), 32);
    EXPECT_EQ(p.page.m_elements->topLevelItem(0)->text(4).split('/').size(), 20);
    EXPECT_EQ(p.page.m_programEcm->topLevelItemCount(), 20);
    p.page.m_runEdit = [](CEditProgramDlg& dialog) {
        EXPECT_EQ(dialog.m_fields.ecmPids[19], 20);
        return false;
    };
    p.page.OnDblClickProgramList();
    EXPECT_FALSE(p.fx.TakeSentPacket());
}

TEST(CamMuxTest, EcmSelectionAndProgramEdit) {
    MuxPage p;
    p.Read(1, 3);
    p.page.m_programs->setCurrentItem(p.page.m_programs->topLevelItem(0));
    p.page.OnClickProgramList();
    ASSERT_EQ(p.page.m_programEcm->topLevelItemCount(), 3);
    p.page.m_programEcm->setCurrentItem(p.page.m_programEcm->topLevelItem(2));
    p.page.OnDblClickProgramEcmList();
    EXPECT_EQ(p.page.Logic().Program(0, 0).Mask(), 4u);
    EXPECT_EQ(p.page.m_programEcm->topLevelItem(2)->text(0), "$3");
    p.page.OnDblClickProgramEcmList();
    EXPECT_EQ(p.page.Logic().Program(0, 0).Mask(), 0u);
    p.page.OnDblClickProgramEcmList();

    QTest::mouseClick(p.page.m_setEcm, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload.size(), 18u);
    EXPECT_EQ(sent->payload[2], 4);
    p.fx.FeedReply(kCmdCamMuxEcm, {});

    p.page.m_runEdit = [](CEditProgramDlg& dialog) {
        EXPECT_EQ(dialog.m_fields.name, "O1");
        EXPECT_EQ(dialog.m_fields.pmtPid, "100");
        EXPECT_EQ(dialog.m_fields.elementLabels[0], "02 MPEG-2 Video");
        dialog.m_fields.name = "New";
        dialog.m_fields.serviceId = "300";
        return true;
    };
    p.page.OnDblClickProgramList();
    sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamIrdWriteProgram);
    EXPECT_EQ(sent->payload.size(), 2u + kCamMuxRecordSize);
    const uint8_t* r = sent->payload.data() + 2;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 33)), "New");
    EXPECT_EQ(r[67] | r[68] << 8, 300);
    EXPECT_EQ(r[78 + 3], 0x10);        // stream 1 kept
    EXPECT_EQ(r[78 + 51 * 3 + 3], 0);  // streams beyond the count are 0
}

TEST(CamMuxTest, WritingTheConfigurationAnswersTheDevicesRecordRequests) {
    MuxPage p;
    p.Read(2, 1);
    p.page.m_pass[1]->setChecked(true);  // now pass EMM
    QTest::mouseClick(p.page.m_setConfig, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->command, kCmdCamMuxWriteConfig);
    EXPECT_EQ(sent->payload[14], 0);
    p.fx.FeedReply(kCmdCamMuxWriteConfig, {});
    sent = p.fx.TakeSentPacket();
    EXPECT_EQ(sent->command, kCmdCamIrdSelection);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{1, 2, 0, 0}));
    for (uint8_t k = 0; k < 2; ++k) {
        p.fx.FeedReply(kCmdCamMuxNextRecord, {});
        sent = p.fx.TakeSentPacket();
        ASSERT_TRUE(sent);
        EXPECT_EQ(sent->command, kCmdCamIrdProgram);
        EXPECT_EQ(sent->payload[1], k);
        EXPECT_EQ(sent->payload.size(), 2u + kCamMuxRecordSize);
    }
    p.fx.FeedReply(kCmdCamMuxNextRecord, {});
    EXPECT_FALSE(p.fx.TakeSentPacket());
    p.fx.FeedReply(kCmdCamIrdSelection, {0, 0x20, 0, 0, 5, 0, 3, 0});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Warning:Too many channels,Can not output some channels,5,3");
    EXPECT_FALSE(p.page.IsBusy());

    QTest::mouseClick(p.page.m_parse, Qt::LeftButton);
    p.fx.TakeSentPacket();
    p.fx.FeedReply(kCmdCamIrdParse, {1, 0});
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "RF:no input.");
}

}  // namespace cam_mux_test
}  // namespace nms
