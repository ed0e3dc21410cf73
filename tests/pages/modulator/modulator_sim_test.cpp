// The modulator pages against the simulated devices devsim uses: read, write back untouched, and the
// device holds exactly what it had.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/page_registry.h"
#include "page_fixture.h"
#include "pagebase/form_template_view.h"
#include "pages/modulator/dvbt_view.h"
#include "param_store_sim.h"

namespace nms {
namespace modulator_sim_test {

using test::PageFixture;
using test::ParamStoreSim;

void Pump(PageFixture& fx, ParamStoreSim& sim) {
    for (int i = 0; i < 50; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            return;
        if (auto reply = sim.Handle(sent->command, sent->payload))
            fx.FeedReply(sent->command, *reply, sim.ReplyB(sent->command));
    }
}

bool Shows(QWidget* page, const QString& text) {
    for (QLineEdit* edit : page->findChildren<QLineEdit*>())
        if (edit->isVisibleTo(page) && edit->text() == text)
            return true;
    for (QComboBox* combo : page->findChildren<QComboBox*>())
        if (combo->isVisibleTo(page) && combo->currentText() == text)
            return true;
    return false;
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
        if (c.type != 0x4111) {
            expected[41] = expected[30], expected[42] = expected[31];             // the port repeated
            std::fill(expected.begin() + 11, expected.begin() + 23, uint8_t(0));  // the block past the form
        }
        EXPECT_EQ(*sim.Record(0x33), expected);
        EXPECT_TRUE(fx.Prompt().shown.empty());
    }
}

// The single-output modulators (the DVB-T/T2 one with and without its DVB-T2 block, as devsim serves it
// with and without --dvbt2) and the multi-channel DTMB modulators: read, shown, written back untouched,
// but for bits 5-7 of the insertion byte, which the DTMB, DVB-T and DVB-T2 blocks write as 0.
TEST(ModulatorSimTest, SingleOutputAndMultiChannelDtmbModulators) {
    RegisterBuiltPages();
    const struct {
        uint16_t type;
        const char* page;
        int pageParam;
        bool dvbt2;
        const char* shown[2];  // texts the page shows after the read
        int insertionAt;       // -1: none cleared
    } cases[] = {
        {0x4122, "CDVBTView", 97, false, {"1150.000", "3/4"}, -1},
        {0x4107, "CDVBTView", 0, false, {"474.000", "16QAM,LDPC0.8"}, 17},
        {0x4109, "CDVBTView", 25, false, {"474.000", "0.000"}, 17},
        {0x4106, "CDVBTView", 24, false, {"64QAM", "1/16"}, 17},
        {0x4106, "CDVBTView", 24, true, {"474.000", "C2_3"}, 19},
        {0x4127, "Cdtmb4", 101, false, {"474.000", "90.6"}, -1},
        {0x4137, "Cdtmb4", 99, false, {"474.000", "90.6"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.page << " " << std::hex << c.type << (c.dvbt2 ? " DVB-T2" : ""));
        PageFixture fx(c.type);
        ParamStoreSim sim(c.dvbt2 ? ParamStoreSim::DvbT2ModulatorProfile()
                                  : ParamStoreSim::ProfileOf(c.type));
        const std::vector<uint8_t> before = *sim.Record(0x33);
        std::unique_ptr<CFormTemplateView> view(CreatePage(c.page, nullptr));
        fx.Bind(view.get(), c.pageParam);
        Pump(fx, sim);
        EXPECT_FALSE(view->IsBusy());
        if (auto* dvbt = dynamic_cast<CDVBTView*>(view.get())) {
            EXPECT_EQ(dvbt->Logic().Layout() == DvbtLayout::kDvbT2, c.dvbt2);
        }
        for (const char* text : c.shown)
            EXPECT_TRUE(Shows(view.get(), text)) << text;
        for (QPushButton* button : view->findChildren<QPushButton*>())
            if (button->text() == "Set")
                QTest::mouseClick(button, Qt::LeftButton);
        Pump(fx, sim);
        EXPECT_FALSE(view->IsBusy());
        std::vector<uint8_t> expected = before;
        if (c.insertionAt >= 0)
            expected[size_t(c.insertionAt)] &= 0x1f;
        EXPECT_EQ(*sim.Record(0x33), expected);
        EXPECT_TRUE(fx.Prompt().shown.empty());
    }
}

}  // namespace modulator_sim_test
}  // namespace nms
