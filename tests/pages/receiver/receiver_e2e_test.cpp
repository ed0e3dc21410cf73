// The receiver and gateway pages against the simulated devices over real UDP, through the network thread
// and the GUI hand-off, as devsim serves them: each page reads, takes an edit and writes it back, and the
// monitors show what the polls bring. With NMS_SHOT_DIR set, each page is saved there as a picture.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <memory>

#include "devices/device_record.h"
#include "live_page_test.h"
#include "pagebase/lamp.h"
#include "pages/mux/qam16_view.h"
#include "pages/receiver/asi2ip_view.h"
#include "pages/receiver/dvbs2_8x_tuner_view.h"
#include "pages/receiver/dvbs2_signal_monitor_view.h"
#include "pages/receiver/dvbs_monitor_view.h"
#include "pages/receiver/dvbs_system_view.h"
#include "pages/receiver/ip_gateway_view.h"
#include "pages/receiver/multi_ip_view.h"
#include "pages/receiver/tuner_grid.h"
#include "param_store_sim.h"
#include "receiver_device_sim.h"

namespace nms {
namespace receiver_e2e_test {

class ReceiverEndToEnd : public test::LivePageTest {
protected:
    // Starts a simulated device of the type and binds the page to it.
    template <class Page>
    Page* Open(uint16_t type, int pageParam) {
        receiver = std::make_shared<test::ReceiverSimDevice>(type);
        store = std::make_shared<test::ParamStoreSim>(type);
        live = std::make_unique<test::LiveDevice>(type, 91);
        auto r = receiver;
        auto s = store;
        live->SetHandler([r, s](const test::SimPacket& p) -> std::optional<test::SimReply> {
            if (auto reply = s->Handle(p.command, p.payload))
                return test::SimReply{p.command, *reply, s->ReplyB(p.command)};
            if (auto reply = r->Handle(p.command, p.payload))
                return test::SimReply{p.command, reply->payload, reply->b, reply->c};
            return std::nullopt;
        });
        EXPECT_TRUE(live->Start());
        return Bind<Page>(pageParam, 1100, 700);
    }

    std::shared_ptr<test::ReceiverSimDevice> receiver;
    std::shared_ptr<test::ParamStoreSim> store;
};

TEST_F(ReceiverEndToEnd, DvbsInputAndMonitor) {
    auto* in = Open<CDVBSSystemView>(0x5103, 0);
    EXPECT_EQ(in->m_grid->m_frequency[1]->text(), "11720.000");
    const std::vector<uint8_t> block = receiver->DvbsIpBlock();
    ASSERT_EQ(block.size(), 96u);
    in->m_grid->m_symbol[1]->setText("30");
    Click(in->m_set);
    EXPECT_EQ(receiver->TunerRecords()[29 + 8], 0x30);
    EXPECT_EQ(receiver->TunerRecords()[29 + 9], 0x75);
    // This variant does not show the IP block: it goes back as it came, its MAC too.
    EXPECT_EQ(receiver->DvbsIpBlock(), block);
    Shot("dvbs_input");
    EXPECT_TRUE(live->Prompt().shown.empty());
}

TEST_F(ReceiverEndToEnd, DvbsMonitorPolls) {
    auto* mon = Open<CDVBSMonitorView>(0x5103, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !mon->m_values[0]->text().isEmpty(); }, 5000));
    EXPECT_TRUE(mon->m_values[0]->text().endsWith("db"));
    EXPECT_FALSE(mon->m_useful[0]->text().isEmpty());
    Shot("dvbs_monitor");
}

TEST_F(ReceiverEndToEnd, GatewayTunersMonitorAndIp) {
    auto* in = Open<Cdvbs2_8xTuner>(0x2105, 0);
    EXPECT_EQ(in->m_grid->m_frequency[7]->text(), "11840.000");
    in->m_grid->m_frequency[7]->setText("11841");
    Click(in->m_set);
    EXPECT_EQ(receiver->TunerRecords()[75 * 7 + 4], uint8_t(11841000 & 0xff));
    Shot("tuner8x_input");
}

TEST_F(ReceiverEndToEnd, GatewaySignalMonitor) {
    auto* mon = Open<CDVBS2signalMonitor>(0x2105, 0);
    // Shown: the version request, then the channel map read, both out on the wire in that order.
    ASSERT_TRUE(live->Sim().WaitForRequests(live->SimIndex(), 0x33, 1));
    std::vector<int> order;
    for (const test::SimPacket& packet : live->Sim().Requests(live->SimIndex()))
        if (packet.command == 0x02 || packet.command == 0x33)
            order.push_back(packet.command);
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 2), (std::vector<int>{0x02, 0x33}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !mon->m_bitrates[0]->text().isEmpty(); }, 5000));
    EXPECT_TRUE(IsLampOn(mon->m_lamps[0]));
    Shot("tuner8x_monitor");
}

TEST_F(ReceiverEndToEnd, GatewayTsOverIp) {
    auto* ip = Open<CMultiIPout>(0x2105, 0);
    ip->m_ports[2]->setText("6002");
    Click(ip->m_set);
    EXPECT_EQ(receiver->IpBlock()[61 + 14 + 4], uint8_t(6002 & 0xff));
    Shot("ts_over_ip");
    EXPECT_TRUE(live->Prompt().shown.empty());
}

TEST_F(ReceiverEndToEnd, QamModulatorIpInAndMultiplex) {
    auto* ip = Open<CMultiIPout>(0x4153, 17);
    ASSERT_TRUE(QTest::qWaitFor([&] { return IsLampOn(ip->m_states[0]); }, 5000));
    ip->m_enables[1]->setChecked(true);
    Click(ip->m_set);
    EXPECT_EQ(receiver->IpBlock()[20] & 0x02, 0x02);
    Shot("ip_in");
}

TEST_F(ReceiverEndToEnd, QamModulatorMultiplex) {
    auto* mux = Open<Cqam16>(0x4153, 102);
    QTreeWidgetItem* channel1 = mux->m_inputTree->topLevelItem(0)->child(0);
    ASSERT_EQ(channel1->childCount(), 3);
    mux->m_inputTree->setCurrentItem(channel1->child(2));
    mux->OnMultiplexTo(1);
    WaitIdle();
    EXPECT_EQ(receiver->QamPrograms()[2][0], 0x02);
    EXPECT_EQ(mux->m_outputTree->topLevelItem(1)->child(0)->childCount(), 1);
    Shot("qam16_multiplex");
}

TEST_F(ReceiverEndToEnd, IpAsiGateway) {
    auto* gw = Open<CIPGateWayView1>(0x5104, 0);
    gw->m_inputPort->setText("5010");
    Click(gw->m_set);
    EXPECT_EQ(receiver->GatewayBlock()[11], uint8_t(5010 & 0xff));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gw->m_current[0]->text().isEmpty(); }, 5000));
    Shot("ip_asi_gateway");
    EXPECT_TRUE(live->Prompt().shown.empty());
}

TEST_F(ReceiverEndToEnd, AsiToIpGateway) {
    auto* gw = Open<Casi2ip>(0x5124, 0);
    gw->m_ports[7]->setText("7007");
    Click(gw->m_set);
    EXPECT_EQ(receiver->GatewayBlock()[124 * 7 + 4], uint8_t(7007 & 0xff));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !gw->m_bitrates[1]->text().isEmpty(); }, 5000));
    Shot("asi2ip_gateway");
}

}  // namespace receiver_e2e_test
}  // namespace nms
