#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "fake_mux_ip.h"
#include "page_fixture.h"
#include "pages/mux/mux_channel2_logic.h"
#include "pages/mux/mux_channel2_view.h"
#include "pages/mux/program_info_dlg.h"
#include "reply_packet.h"

namespace nms {
namespace mux_channel2_test {

// The first box a step shows, empty when none.
std::string FirstMessage(const PageStep& step) {
    return step.messages.empty() ? std::string() : step.messages.front();
}

using Bytes = std::vector<uint8_t>;
using test::PageFixture;

std::vector<Bytes> Drive(MuxChannel2Logic& logic, FakeMuxIp& mux, PageStep step,
                         std::vector<std::string>* messages = nullptr) {
    std::vector<Bytes> requests;
    for (int i = 0; i < 5000; ++i) {
        if (messages)
            messages->insert(messages->end(), step.messages.begin(), step.messages.end());
        if (!step.HasRequest())
            break;
        Bytes req = {static_cast<uint8_t>(step.command)};
        req.insert(req.end(), step.payload.begin(), step.payload.end());
        requests.push_back(req);
        const Bytes answer = mux.Answer(step.command, step.payload);
        step = logic.HandleReply(ReplyPacket(static_cast<uint8_t>(step.command), answer).View());
    }
    return requests;
}

std::vector<std::string> ChildTexts(const ProgramTreeNode* n) {
    std::vector<std::string> out;
    if (n)
        for (const auto& c : n->children)
            out.push_back(c.text);
    return out;
}

TreePath ProgramPath(const ProgramTree& t, int root, int pos, int index) {
    return {2, root, pos, t.FindChild(root, pos, index)};
}

struct Channel2Logic : ::testing::Test {
    FakeMuxIp mux;
    Channel2Logic() { mux.channel2 = true; }
};

TEST_F(Channel2Logic, FullReadShowsRoutedProgramsUnderTheirLowestOutput) {
    mux.channels[0] = {FakeMuxIp::Program("A", 1, 0x01)};
    mux.channels[6] = {FakeMuxIp::Program("BC", 2, 0x06), FakeMuxIp::Program("Free", 3)};
    mux.settings.bytes[0] = 0;  // CAS 1 unused
    mux.settings.bytes[44] = 1;
    mux.settings.SetCaSystemId(1, 0x0B00);
    MuxChannel2Logic logic(33);
    logic.Initialise();
    ASSERT_EQ(logic.OutputTree().Roots().size(), 4u);
    const auto requests = Drive(logic, mux, logic.Refresh());
    EXPECT_EQ(requests.front(), (Bytes{0x24, 0}));
    EXPECT_EQ(requests.size(), 1u + 1u + 5u + 2u);
    EXPECT_FALSE(logic.Waiting());
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 A"}));
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(1, 6)), (std::vector<std::string>{"1 BC"}));
    EXPECT_TRUE(logic.OutputTree().Node(2, 6)->children.empty());
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 6)), (std::vector<std::string>{"1 BC", "2 Free"}));
    // Only the enabled CAS entries, numbered over the enabled ones.
    const ProgramTreeNode& ca = logic.OutputTree().Node(0, 0, 0)->children.back();
    ASSERT_EQ(ca.text, "CA");
    ASSERT_EQ(ca.children.size(), 1u);
    EXPECT_EQ(ca.children[0].text, "CA 1");
    EXPECT_EQ(ca.children[0].data, 1);
    EXPECT_EQ(ChildTexts(&ca.children[0]), (std::vector<std::string>{"CA system id: 0xb00", "ECM PID: 0x0"}));

    // With output A only, a program without bit 0 is not shown.
    MuxChannel2Logic single(0);
    single.Initialise();
    Drive(single, mux, single.Refresh());
    ASSERT_EQ(single.OutputTree().Roots().size(), 1u);
    EXPECT_TRUE(single.OutputTree().Node(0, 6)->children.empty());
}

TEST_F(Channel2Logic, AnalysedChannelsReadAllOutputsAgainOnEveryRouting) {
    mux.channels[2] = {FakeMuxIp::Program("P1", 1), FakeMuxIp::Program("P2", 2)};
    mux.channels[3] = {};
    MuxChannel2Logic logic(0);
    logic.Initialise();
    std::vector<std::string> messages;
    Drive(logic, mux, logic.InputAnalyze({1, 0, 3, -1}, true), &messages);
    EXPECT_EQ(messages, (std::vector<std::string>{"Channel 4 no input!"}));
    const auto analyse = Drive(logic, mux, logic.InputAnalyze({1, 0, 2, -1}, false));
    EXPECT_EQ(analyse[0][3], 1);  // remap 1 when unchecked
    ASSERT_TRUE(logic.Analysed(2));
    for (int index : {0, 1}) {
        const auto requests = Drive(logic, mux, logic.Route(ProgramPath(logic.InputTree(), 0, 2, index), 0));
        ASSERT_GE(requests.size(), 2u);
        EXPECT_EQ(requests[0], (Bytes{0x22, 2, static_cast<uint8_t>(index), 1}));
        EXPECT_EQ(requests[1], (Bytes{0x24, 0}));
        EXPECT_TRUE(logic.Analysed(2));
    }
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 2)), (std::vector<std::string>{"1 P1", "2 P2"}));
    EXPECT_EQ(FirstMessage(logic.Route(ProgramPath(logic.InputTree(), 0, 2, 0), 0)),
              "The program has already been selected!");
    Drive(logic, mux, logic.Remove(ProgramPath(logic.OutputTree(), 0, 2, 1)));
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 2)), (std::vector<std::string>{"1 P1"}));
    // The outputs are read again within a fresh 20-s wait, as "Refresh Out" reads them on this page.
    const PageStep route = logic.Route(ProgramPath(logic.InputTree(), 0, 2, 1), 0);
    const Bytes answer = mux.Answer(route.command, route.payload);
    const PageStep again = logic.HandleReply(ReplyPacket(static_cast<uint8_t>(route.command), answer).View());
    EXPECT_EQ(again.command, 0x24);
    EXPECT_EQ(again.wait, PageStep::Wait::kRestart);
    Drive(logic, mux, again);
}

TEST_F(Channel2Logic, MismatchedAndShortReadRepliesChangeNothing) {
    mux.channels[0] = {FakeMuxIp::Program("X", 1)};
    MuxChannel2Logic logic(0);
    logic.Initialise();
    PageStep step = logic.Refresh();
    Bytes settings = mux.Answer(0x24, {0});
    step = logic.HandleReply(ReplyPacket(0x24, settings).View());
    ASSERT_EQ(step.payload, (Bytes{0, 0, 0}));
    const Bytes other = {1, 0, 0};  // another channel: no skipping ahead
    EXPECT_FALSE(logic.HandleReply(ReplyPacket(0x21, other).View()).HasRequest());
    Bytes full = mux.Answer(0x21, {0, 0, 0});
    EXPECT_FALSE(logic.HandleReply(ReplyPacket(0x21, full.data(), 284).View()).HasRequest());
    EXPECT_EQ(logic.HandleReply(ReplyPacket(0x21, full).View()).payload, (Bytes{1, 0, 0}));
}

TEST_F(Channel2Logic, EditSendsTheRecordAndKeepsTheLanguageAndCiBytes) {
    MultiOutputProgramRecord rec = FakeMuxIp::Program("E", 5, 0x01);
    rec.SetLanguageFlag(1);
    rec.SetCiFlag(0x88);
    mux.channels[1] = {rec};
    MuxChannel2Logic logic(0);
    logic.Initialise();
    Drive(logic, mux, logic.Refresh());
    const TreePath sel = ProgramPath(logic.OutputTree(), 0, 1, 0);
    ProgramInfoEdit edit;
    ASSERT_TRUE(logic.BeginEdit(sel, &edit));
    EXPECT_EQ(edit.info.ciField, 0u);
    EXPECT_EQ(edit.info.name[0], 0);  // the output name as stored, even when empty
    edit.info.serviceId = 300;
    edit.info.ecmPids[1] = 0x20;
    edit.languageFlag = 0;
    PageStep step = logic.CommitEdit(edit);
    ASSERT_EQ(step.payload.size(), 285u);
    EXPECT_EQ(step.payload[2 + MultiOutputProgramRecord::kLanguageOffset], 1);
    EXPECT_EQ(step.payload[2 + MultiOutputProgramRecord::kCiFlagOffset], 0x88);
    const Bytes answer = mux.Answer(step.command, step.payload);
    logic.HandleReply(ReplyPacket(0x23, answer).View());
    EXPECT_EQ(logic.Program(1, 0)->OutputServiceId(), 300);
    EXPECT_EQ(logic.OutputTree().Node(0, 1, 0)->text, "1 ");
}

TEST(Channel2Page, ShownReadsAndRoutes) {
    PageFixture fx{0x2101};
    FakeMuxIp mux;
    mux.channel2 = true;
    mux.channels[0] = {FakeMuxIp::Program("News", 1)};
    Cmuxchannel2 page;
    fx.Bind(&page, 33);
    EXPECT_TRUE(page.OutButton(3)->isVisible());
    EXPECT_TRUE(page.PidRemapCheck()->isChecked());
    for (int i = 0; i < 100; ++i) {
        auto s = fx.TakeSentPacket();
        if (!s)
            break;
        fx.FeedReply(s->command, mux.Answer(s->command, s->payload));
    }
    EXPECT_FALSE(page.IsBusy());
    QTreeWidgetItem* in = page.InputTreeWidget()->topLevelItem(0)->child(0);
    ASSERT_EQ(in->childCount(), 1);
    page.InputTreeWidget()->setCurrentItem(in->child(0));
    page.OutButton(2)->click();
    auto sent = fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->payload, (Bytes{0, 0, 4}));
    fx.FeedReply(sent->command, mux.Answer(sent->command, sent->payload));
    EXPECT_EQ(page.OutputTreeWidget()->topLevelItem(2)->child(0)->child(0)->text(0), "1 News");
    EXPECT_FALSE(page.IsBusy());
}

// Takes what the page sent; true when it was at most the version request (command 2).
bool OnlyVersionSent(PageFixture& fx) {
    while (auto sent = fx.TakeSentPacket())
        if (sent->command != 0x02)
            return false;
    return true;
}

QStringList Texts(QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out << item->child(i)->text(0);
    return out;
}

// A reply that comes after its wait ran out ("Operation timeout") is shown once and starts nothing: the
// read stops with the programs that came, the route of an analysed channel adds its program instead of
// reading every output again; once the page asked anew it no longer counts.
TEST(Channel2Page, LateRepliesAreShownOnceAndStartNothing) {
    for (bool read : {true, false}) {
        SCOPED_TRACE(read ? "first program of the read" : "route of an analysed channel");
        PageFixture fx{0x2101};
        FakeMuxIp mux;
        mux.channel2 = true;
        mux.channels[0] = {FakeMuxIp::Program("News", 1, 0x01), FakeMuxIp::Program("Sport", 2)};
        mux.channels[1] = {FakeMuxIp::Program("Film", 3)};
        Cmuxchannel2 page;
        fx.Bind(&page, 33);
        auto serve = [&] {
            while (auto s = fx.TakeSentPacket())
                fx.FeedReply(s->command, mux.Answer(s->command, s->payload));
        };
        QTreeWidgetItem* input = page.InputTreeWidget()->topLevelItem(0);
        QTreeWidget* output = page.OutputTreeWidget();
        if (read) {
            auto settings = fx.TakeSentPacket();
            ASSERT_TRUE(settings);
            fx.FeedReply(settings->command, mux.Answer(settings->command, settings->payload));
        } else {
            serve();
            page.InputTreeWidget()->setCurrentItem(input->child(1));
            page.AnalyzeButton()->click();
            serve();
            ASSERT_EQ(Texts(input->child(1)), QStringList{"1 Film"});
            page.InputTreeWidget()->setCurrentItem(input->child(1)->child(0));
            page.OutButton(2)->click();
        }
        auto request = fx.TakeSentPacket();
        ASSERT_TRUE(request);
        ASSERT_EQ(request->command, read ? 0x21 : 0x22);
        ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
        EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);

        const Bytes late = mux.Answer(request->command, request->payload);
        fx.FeedReply(request->command, late);
        EXPECT_FALSE(page.IsBusy());
        EXPECT_TRUE(OnlyVersionSent(fx));
        if (read) {
            EXPECT_EQ(Texts(input->child(0)), QStringList{"1 News"});  // "Sport" was not asked for any more
            EXPECT_EQ(Texts(output->topLevelItem(0)->child(0)), QStringList{"1 News"});
        } else {
            EXPECT_EQ(Texts(output->topLevelItem(2)->child(1)), QStringList{"1 Film"});
        }
        output->topLevelItem(0)->setText(0, "kept");
        fx.FeedReply(request->command, late);
        EXPECT_EQ(output->topLevelItem(0)->text(0), "kept");
        EXPECT_TRUE(OnlyVersionSent(fx));

        if (read)
            continue;
        // Route it again elsewhere; that reply comes after a newer request went out, and again after its
        // wait.
        page.OutputTreeWidget()->setCurrentItem(output->topLevelItem(2)->child(1)->child(0));
        page.RemoveButton()->click();
        auto remove = fx.TakeSentPacket();
        ASSERT_TRUE(remove);
        ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
        const Bytes removed = mux.Answer(remove->command, remove->payload);
        page.RefreshButton()->click();
        ASSERT_TRUE(fx.TakeSentPacket());
        fx.FeedReply(remove->command, removed);
        EXPECT_TRUE(page.IsBusy());
        ASSERT_TRUE(fx.FireTimer(&page, kWaitTimerId));
        fx.FeedReply(remove->command, removed);
        EXPECT_EQ(Texts(output->topLevelItem(2)->child(1)), QStringList{"1 Film"});
        EXPECT_TRUE(OnlyVersionSent(fx));
    }
}

}  // namespace mux_channel2_test
}  // namespace nms
