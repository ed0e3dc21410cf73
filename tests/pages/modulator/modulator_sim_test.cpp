// The modulator pages against the simulated devices devsim uses: read, write back untouched, and the
// device holds exactly what it had.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"
#include "param_store_sim.h"

namespace nms {
namespace {

using test::PageFixture;
using test::ParamStoreSim;

void Pump(PageFixture& fx, ParamStoreSim& sim) {
    for (int i = 0; i < 50; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            return;
        if (auto reply = sim.Handle(sent->command, sent->payload))
            fx.FeedReply(sent->command, *reply);
    }
}

TEST(ModulatorSimTest, PagesReadAndWriteTheSimulatedRecords) {
    RegisterBuiltPages();
    const struct {
        uint16_t type;
        const char* page;
        int pageParam;
    } cases[] = {{0x4101, "CQamBaseView", 0}, {0x4102, "CQamBaseView", 100}, {0x4111, "CmuxQAM", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        PageFixture fx(c.type);
        ParamStoreSim sim(ParamStoreSim::ProfileOf(c.type));
        const std::vector<uint8_t> before = *sim.Record(0x33);
        std::unique_ptr<CFormTemplateView> view(CreatePage(c.page, nullptr));
        fx.Bind(view.get(), c.pageParam);
        Pump(fx, sim);
        EXPECT_FALSE(view->IsBusy());
        for (QPushButton* button : view->findChildren<QPushButton*>())
            if (button->text() == "Set")
                QTest::mouseClick(button, Qt::LeftButton);
        Pump(fx, sim);
        EXPECT_FALSE(view->IsBusy());
        std::vector<uint8_t> expected = before;
        if (c.type != 0x4111)
            expected[41] = expected[30], expected[42] = expected[31];  // the port repeated
        EXPECT_EQ(*sim.Record(0x33), expected);
        EXPECT_TRUE(fx.Prompt().shown.empty());
    }
}

}  // namespace
}  // namespace nms
