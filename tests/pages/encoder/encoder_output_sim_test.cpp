// The output and TS-over-IP pages against the simulated devices devsim uses: every type that lists them
// reads, writes back untouched, and the device holds exactly what it had; the status poll lights lamps.
#include "encoder_output_sim.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/page_registry.h"
#include "devices/device_type_catalogue.h"
#include "page_fixture.h"
#include "pages/encoder/encoder_public_view.h"

namespace nms {
namespace encoder_output_sim_test {

using test::EncoderOutputSimDevice;
using test::PageFixture;

void Pump(PageFixture& fx, EncoderOutputSimDevice& sim) {
    for (int i = 0; i < 50; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            return;
        if (auto reply = sim.Handle(sent->command, sent->payload))
            fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
    }
}

TEST(EncoderOutputSimTest, EveryTypeReadsAndWritesItsOutputPages) {
    RegisterBuiltPages();
    int pagesTried = 0;
    for (int t = 0; t < DeviceTypeCount(); ++t) {
        const DeviceTypeInfo& info = DeviceTypeAt(t);
        if (!EncoderOutputSimDevice::Serves(info.typeCode))
            continue;
        for (int i = 0; i < info.pageCount; ++i) {
            const DevicePageInfo& page = info.pages[i];
            const std::string cls = page.pageClass;
            if (cls != "CEncoderPublicView" && cls != "CEncoderIPOutView")
                continue;
            SCOPED_TRACE(std::string(info.name) + " / " + cls);
            ++pagesTried;
            const uint8_t get = cls == "CEncoderPublicView" ? 0x33 : 0x58;
            PageFixture fx(info.typeCode);
            EncoderOutputSimDevice sim(info.typeCode);
            const auto before = sim.Handle(get, {});
            ASSERT_TRUE(before);
            std::unique_ptr<CFormTemplateView> view(CreatePage(page.pageClass, nullptr));
            fx.Bind(view.get(), page.pageParam);
            Pump(fx, sim);
            EXPECT_FALSE(view->IsBusy());
            for (QPushButton* button : view->findChildren<QPushButton*>())
                if (button->text() == "Set")
                    QTest::mouseClick(button, Qt::LeftButton);
            Pump(fx, sim);
            EXPECT_FALSE(view->IsBusy());
            EXPECT_EQ(sim.Handle(get, {})->payload, before->payload);
            for (const auto& shown : fx.Prompt().shown)
                ADD_FAILURE() << "box: " << shown.text;
            for (const std::string& event : fx.Events().Texts())
                EXPECT_NE(event, "Operation timeout");
            if (auto* output = dynamic_cast<CEncoderPublicView*>(view.get())) {
                ASSERT_TRUE(fx.FireTimer(output, kEncoderStatusTimerId));
                Pump(fx, sim);
                EXPECT_FALSE(output->m_bitrate->text().isEmpty());
            }
        }
    }
    EXPECT_GE(pagesTried, 25);
}

}  // namespace encoder_output_sim_test
}  // namespace nms
