// The encoder pages against the simulated devices devsim uses: every page reads its records, writes them
// back untouched, and the device holds exactly what it had.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/page_registry.h"
#include "encoder_device_sim.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"

namespace nms {
namespace encoder_sim_test {

using test::EncoderSimDevice;
using test::PageFixture;

void Pump(PageFixture& fx, EncoderSimDevice& sim) {
    for (int i = 0; i < 50; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            return;
        if (auto reply = sim.Handle(sent->command, sent->payload))
            fx.FeedReply(sent->command, *reply);
    }
}

TEST(EncoderSimTest, PagesReadAndWriteTheSimulatedRecords) {
    RegisterBuiltPages();
    const struct {
        uint16_t type;
        const char* page;
        int pageParam;
    } cases[] = {
        {0x1101, "CEncoderVideoView", 0}, {0x1101, "CEncoderAudioView", 0}, {0x1101, "CEncoderSystemView", 0},
        {0x1102, "CEncoderVideoView", 2}, {0x1102, "CEncoderAudioView", 2}, {0x1102, "CEncoderSystemView", 2},
        {0x1105, "CencoderHDav", 0},      {0x1105, "CencoderHDsystems", 0}, {0x1115, "encoderHD4in1_av", 0},
        {0x1855, "encoderHD4in1_av", 83}, {0x4202, "encoderHD4in1_av", 0},  {0x4107, "encoderHD4in1_av", 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " " + std::to_string(c.type));
        PageFixture fx(c.type);
        EncoderSimDevice sim(c.type);
        const EncoderSimDevice before = sim;
        std::unique_ptr<CFormTemplateView> view(CreatePage(c.page, nullptr));
        fx.Bind(view.get(), c.pageParam);
        Pump(fx, sim);
        EXPECT_FALSE(view->IsBusy());
        for (QPushButton* button : view->findChildren<QPushButton*>())
            if (button->text() == "Set")
                QTest::mouseClick(button, Qt::LeftButton);
        Pump(fx, sim);
        EXPECT_FALSE(view->IsBusy());
        EXPECT_TRUE(fx.Prompt().shown.empty()) << fx.Prompt().shown.front().text;
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(sim.Video(k), before.Video(k));
            EXPECT_EQ(sim.Audio(k), before.Audio(k));
            EXPECT_EQ(sim.System(k), before.System(k));
        }
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(sim.Channel(k), before.Channel(k));
        EXPECT_EQ(sim.HdAv(), before.HdAv());
        EXPECT_EQ(sim.HdSystem(), before.HdSystem());
        // The identity block keeps its three fields; the device is sent zeros for the rest.
        EXPECT_TRUE(
            std::equal(sim.Identity().begin(), sim.Identity().begin() + 6, before.Identity().begin()));
    }
}

}  // namespace encoder_sim_test
}  // namespace nms
