// Every page of the receiver, decoder, adapter and remote-control types, run against the simulated
// device devsim uses: each request the page queues is answered by the simulator until the page is idle,
// then every button is pressed in turn the same way. The pages must end idle, without a time-out and
// without a box the device's answers should not cause.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/page_registry.h"
#include "devices/device_type_catalogue.h"
#include "ird_device_sim.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"
#include "pages/ird/cam4_monitor_view.h"
#include "pages/ird/cam_ird_view.h"
#include "receiver_device_sim.h"

namespace nms {
namespace ird_sim_test {

using test::IrdSimDevice;
using test::PageFixture;
using test::ReceiverSimDevice;

// Answers queued requests until none is left, as devsim does (the receiver simulator answers what the
// receiver's TS-over-IP page asks); the number of exchanges.
int Pump(PageFixture& fx, IrdSimDevice& sim, ReceiverSimDevice& receiver) {
    int exchanges = 0;
    for (; exchanges < 400; ++exchanges) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            break;
        EXPECT_TRUE(sent->crcOk);
        if (sent->command == 0x02)
            continue;  // the version: the link answers it
        if (auto reply = sim.Handle(sent->command, sent->payload))
            fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
        else if (auto other = receiver.Handle(sent->command, sent->payload))
            fx.FeedReply(sent->command, other->payload, other->b, other->c);
    }
    return exchanges;
}

TEST(IrdSimTest, EveryPageWorksAgainstTheSimulatedDevice) {
    RegisterBuiltPages();
    for (uint16_t type : {0x5109, 0x5101, 0x7101, 0x7201, 0x5106, 0x5176, 0x5217, 0x5304}) {
        const DeviceTypeInfo* info = FindDeviceTypeByCode(type);
        ASSERT_TRUE(info);
        std::vector<DevicePageInfo> pages;
        if (info->singleViewClass)
            pages.push_back({info->name, info->singleViewClass, 0});
        for (int i = 0; i < info->pageCount; ++i)
            pages.push_back(info->pages[i]);
        for (const DevicePageInfo& page : pages) {
            if (std::string(page.pageClass).rfind("CMux", 0) == 0 ||
                std::string(page.pageClass) == "CEncoderIPOutView" || !IsPageRegistered(page.pageClass))
                continue;  // the multiplexing and TS-over-IP pages have their own simulators
            SCOPED_TRACE(std::string(info->name) + " / " + page.pageClass);
            PageFixture fx(type);
            IrdSimDevice sim(type);
            ReceiverSimDevice receiver(type);
            std::unique_ptr<CFormTemplateView> view(CreatePage(page.pageClass, nullptr));
            fx.Bind(view.get(), page.pageParam);
            Pump(fx, sim, receiver);
            EXPECT_FALSE(view->IsBusy());
            for (QPushButton* button : view->findChildren<QPushButton*>()) {
                if (!button->isVisible() || button->text().contains("Local"))
                    continue;
                QTest::mouseClick(button, Qt::LeftButton);
                Pump(fx, sim, receiver);
                EXPECT_FALSE(view->IsBusy()) << button->text().toStdString();
            }
            // Only a box about the operator's own choice may show: nothing was selected.
            for (const auto& shown : fx.Prompt().shown)
                if (shown.text != "Not select index")
                    ADD_FAILURE() << "box: " << shown.text;
            for (const std::string& event : fx.Events().Texts())
                EXPECT_NE(event, "Operation timeout");
        }
    }
}

// The simulated four-channel receiver reports channel 4's tone as 7; the signal monitor's Set writes it
// back as 1. The one-channel receiver accepts a source change, and the page keeps that source.
TEST(IrdSimTest, ToneAndSourceChoicesReachTheSimulatedDevice) {
    {
        PageFixture fx(0x5217);
        IrdSimDevice sim(0x5217);
        ReceiverSimDevice receiver(0x5217);
        ASSERT_EQ(sim.Handle(0x70, {0, 3})->payload[2 + 11], 7);
        Ccam4ird_monitors page;
        fx.Bind(&page);
        Pump(fx, sim, receiver);
        QTest::mouseClick(page.m_set, Qt::LeftButton);
        Pump(fx, sim, receiver);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_EQ(sim.Handle(0x70, {0, 3})->payload[2 + 11], 1);
    }
    PageFixture fx(0x5106);
    IrdSimDevice sim(0x5106);
    ReceiverSimDevice receiver(0x5106);
    CCAMIRDView page;
    fx.Bind(&page);
    Pump(fx, sim, receiver);
    page.m_source->setCurrentIndex(1);
    page.OnSelChangeSource();
    Pump(fx, sim, receiver);
    EXPECT_EQ(page.m_source->currentIndex(), 1);
    QTest::mouseClick(page.m_parse, Qt::LeftButton);
    auto sent = fx.PeekSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (std::vector<uint8_t>{2, 1, 0}));
    Pump(fx, sim, receiver);
    EXPECT_FALSE(page.IsBusy());
    EXPECT_TRUE(fx.Prompt().shown.empty());
}

}  // namespace ird_sim_test
}  // namespace nms
