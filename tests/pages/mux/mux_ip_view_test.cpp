#include "pages/mux/mux_ip_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <optional>

#include "app/page_registry.h"
#include "fake_mux_ip.h"
#include "page_fixture.h"
#include "pages/mux/program_info_dlg.h"

namespace nms {
namespace mux_ip_view_test {

using test::PageFixture;
using Bytes = std::vector<uint8_t>;

// Answers every request the page queues until it stops asking; returns the commands.
std::vector<int> Serve(PageFixture& fx, FakeMuxIp& mux) {
    std::vector<int> commands;
    for (int i = 0; i < 5000; ++i) {
        auto sent = fx.TakeSentPacket();
        if (!sent)
            break;
        commands.push_back(sent->command);
        fx.FeedReply(sent->command, mux.Answer(sent->command, sent->payload), mux.b, 1);
    }
    return commands;
}

QStringList Texts(QTreeWidgetItem* item) {
    QStringList out;
    if (item)
        for (int i = 0; i < item->childCount(); ++i)
            out << item->child(i)->text(0);
    return out;
}

struct MuxIpViewTest : ::testing::Test {
    PageFixture fx{0x2101};
    FakeMuxIp mux;
    std::unique_ptr<Cmuxip> page;

    void Open(int pageParam) {
        page = std::make_unique<Cmuxip>();
        fx.Bind(page.get(), pageParam);
    }
    QTreeWidgetItem* In(int pos) { return page->InputTreeWidget()->topLevelItem(0)->child(pos); }
    QTreeWidgetItem* Out(int root, int pos) {
        return page->OutputTreeWidget()->topLevelItem(root)->child(pos);
    }
};

TEST_F(MuxIpViewTest, ShownReadsTheOutputsAndPollsWhileShown) {
    mux.channels[0] = {FakeMuxIp::Program("News", 1, 0x01)};
    Open(0);
    EXPECT_TRUE(page->IsBusy());
    auto first = fx.PeekSentPacket();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->command, 0x24);
    EXPECT_TRUE(page->GroupCombo()->isVisible());
    EXPECT_FALSE(page->PidRemapCheck()->isVisible());
    EXPECT_TRUE(page->PidRemapCheck()->isChecked());
    const auto commands = Serve(fx, mux);
    EXPECT_EQ(commands.size(), 1u + 64u);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(Texts(Out(0, 0)), QStringList{"1 News"});
    EXPECT_EQ(Texts(In(0)), QStringList{"1 News"});

    // The poll: a status request on timer 64, its values kept as texts.
    ASSERT_TRUE(fx.FireTimer(page.get(), Cmuxip::kPollTimerId));
    auto poll = fx.TakeSentPacket();
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->command, 0x40);
    EXPECT_TRUE(poll->payload.empty());
    fx.FeedReply(0x40, {0, 0x39, 0x30, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(page->BitrateText(0), "12.345");
    EXPECT_EQ(page->BitrateText(1), "0.001");

    // No poll while a wait runs.
    page->RefreshButton()->click();
    ASSERT_TRUE(page->IsBusy());
    fx.TakeSentPacket();
    fx.FireTimer(page.get(), Cmuxip::kPollTimerId);
    EXPECT_FALSE(fx.PeekSentPacket());
    fx.FireTimer(page.get(), kWaitTimerId);
    EXPECT_FALSE(page->IsBusy());

    page->hide();
    EXPECT_FALSE(page->Timers().IsActive(Cmuxip::kPollTimerId));
}

TEST_F(MuxIpViewTest, GroupChangeRelabelsAndReadsTheGroup) {
    mux.channels[18] = {FakeMuxIp::Program("Grouped", 3, 0x02)};
    Open(0);
    Serve(fx, mux);
    page->GroupCombo()->setCurrentIndex(2);
    page->OnSelChangeGroup();
    EXPECT_EQ(In(2)->text(0), "Channel 19");
    EXPECT_EQ(Out(3, 7)->text(0), "Channel 24");
    Serve(fx, mux);
    EXPECT_EQ(Texts(In(2)), QStringList{"1 Grouped"});
    EXPECT_EQ(Texts(Out(1, 2)), QStringList{"1 Grouped"});
}

TEST_F(MuxIpViewTest, RouteRemoveAndEditThroughTheDialog) {
    mux.channels[1] = {FakeMuxIp::Program("Prog", 5)};
    Open(18);
    EXPECT_FALSE(page->GroupCombo()->isVisible());
    Serve(fx, mux);

    page->InputTreeWidget()->setCurrentItem(In(1)->child(0));
    page->OutButton(1)->click();
    EXPECT_EQ(Serve(fx, mux), (std::vector<int>{0x22}));
    EXPECT_EQ(Texts(Out(1, 1)), QStringList{"1 Prog"});
    page->OutButton(0)->click();
    EXPECT_EQ(fx.Prompt().shown.back().text, "The program has already been selected!");

    page->OutputTreeWidget()->setCurrentItem(Out(1, 1)->child(0));
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CProgramInfoDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->NameEdit()->setText("Renamed");
        dlg->ServiceIdEdit()->setText("4660");
        if (dlg->OnOK())
            dlg->accept();
    });
    page->EditButton()->click();
    auto sent = fx.PeekSentPacket();
    ASSERT_TRUE(sent);
    ASSERT_EQ(sent->command, 0x23);
    ASSERT_EQ(sent->payload.size(), 286u);
    EXPECT_EQ(sent->payload[3 + 67], 0x34);
    EXPECT_EQ(sent->payload[3 + 68], 0x12);
    Serve(fx, mux);
    EXPECT_EQ(Out(1, 1)->child(0)->text(0), "1 Renamed");
    EXPECT_EQ(Out(1, 1)->child(0)->child(0)->text(0), "Service ID:4660");

    page->RemoveButton()->click();
    EXPECT_EQ(Serve(fx, mux), (std::vector<int>{0x22}));
    EXPECT_TRUE(Texts(Out(1, 1)).isEmpty());
    EXPECT_FALSE(page->IsBusy());
}

// Takes what the page sent; true when it was at most the version request (command 2).
bool OnlyVersionSent(PageFixture& fx) {
    while (auto sent = fx.TakeSentPacket())
        if (sent->command != 0x02)
            return false;
    return true;
}

// A reply that comes after its wait ran out ("Operation timeout") is shown once and starts nothing: the
// read of the outputs stops with the programs that came, the route of an analysed channel adds its program
// instead of reading every output again.
TEST_F(MuxIpViewTest, LateRepliesAreShownOnceAndStartNothing) {
    for (bool read : {true, false}) {
        SCOPED_TRACE(read ? "first program of the read" : "route of an analysed channel");
        mux = FakeMuxIp();
        mux.channels[0] = {FakeMuxIp::Program("News", 1, 0x01), FakeMuxIp::Program("Sport", 2)};
        mux.channels[1] = {FakeMuxIp::Program("Film", 3)};
        fx.Events().Clear();
        Open(0);
        std::optional<test::SentPacket> request;
        if (read) {
            auto settings = fx.TakeSentPacket();
            ASSERT_TRUE(settings);
            fx.FeedReply(settings->command, mux.Answer(settings->command, settings->payload));
        } else {
            Serve(fx, mux);
            page->InputTreeWidget()->setCurrentItem(In(1));
            page->AnalyzeButton()->click();
            Serve(fx, mux);
            ASSERT_EQ(Texts(In(1)), QStringList{"1 Film"});
            page->InputTreeWidget()->setCurrentItem(In(1)->child(0));
            page->OutButton(1)->click();
        }
        request = fx.TakeSentPacket();
        ASSERT_TRUE(request);
        ASSERT_EQ(request->command, read ? 0x21 : 0x22);
        ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
        EXPECT_EQ(fx.Events().Count("Operation timeout"), 1);
        EXPECT_FALSE(page->IsBusy());

        const Bytes late = mux.Answer(request->command, request->payload);
        fx.FeedReply(request->command, late);
        EXPECT_FALSE(page->IsBusy());
        EXPECT_TRUE(OnlyVersionSent(fx));
        if (read) {
            EXPECT_EQ(Texts(In(0)), QStringList{"1 News"});  // "Sport" was not asked for any more
            EXPECT_EQ(Texts(Out(0, 0)), QStringList{"1 News"});
        } else {
            EXPECT_EQ(Texts(Out(1, 1)), QStringList{"1 Film"});
        }

        // A second copy changes nothing.
        page->OutputTreeWidget()->topLevelItem(0)->setText(0, "kept");
        fx.FeedReply(request->command, late);
        EXPECT_EQ(page->OutputTreeWidget()->topLevelItem(0)->text(0), "kept");
        EXPECT_TRUE(OnlyVersionSent(fx));
    }
}

TEST_F(MuxIpViewTest, LateReplyNoLongerCountsOnceThePageAskedAgain) {
    mux.channels[1] = {FakeMuxIp::Program("Film", 3)};
    Open(0);
    Serve(fx, mux);
    page->InputTreeWidget()->setCurrentItem(In(1)->child(0));
    page->OutButton(1)->click();
    auto route = fx.TakeSentPacket();
    ASSERT_TRUE(route);
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    const Bytes late = mux.Answer(route->command, route->payload);
    page->RefreshButton()->click();
    ASSERT_TRUE(fx.TakeSentPacket());
    fx.FeedReply(route->command, late);  // while the new read waits
    EXPECT_TRUE(page->IsBusy());
    ASSERT_TRUE(fx.FireTimer(page.get(), kWaitTimerId));
    fx.FeedReply(route->command, late);  // after its time-out
    EXPECT_TRUE(Texts(Out(1, 1)).isEmpty());
    EXPECT_TRUE(OnlyVersionSent(fx));
}

TEST_F(MuxIpViewTest, RegisteredForTheCatalogue) {
    RegisterBuiltPages();
    EXPECT_TRUE(IsPageRegistered("Cmuxip"));
}

}  // namespace mux_ip_view_test
}  // namespace nms
