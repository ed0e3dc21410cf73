// The 16-QAM routing page against the simulated modular QAM modulator, and its rules on short, foreign
// and late replies.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTreeWidget>
#include <optional>

#include "page_fixture.h"
#include "pages/mux/program_tree_mirror.h"
#include "pages/mux/qam16_view.h"
#include "receiver_device_sim.h"

namespace nms {
namespace qam16_test {

using test::PageFixture;
using test::ReceiverSimDevice;
using Bytes = std::vector<uint8_t>;

struct Qam16Page {
    PageFixture fx{0x4153};
    Cqam16 page;
    ReceiverSimDevice sim{0x4153};
    std::vector<test::SentPacket> sent;

    Qam16Page() { fx.Bind(&page, 102); }
    // Answers every queued request as the device would.
    void Pump() {
        for (int i = 0; i < 100; ++i) {
            auto p = fx.TakeSentPacket();
            if (!p)
                return;
            sent.push_back(*p);
            if (p->command == 0x02)
                continue;
            if (auto r = sim.Handle(p->command, p->payload))
                fx.FeedReply(p->command, r->payload, r->b, r->c);
        }
    }
    QTreeWidgetItem* Item(QTreeWidget* tree, int root, int channel, int child = -1) {
        QTreeWidgetItem* item = tree->topLevelItem(root)->child(channel);
        return child < 0 ? item : item->child(child);
    }
    void Select(QTreeWidget* tree, QTreeWidgetItem* item) {
        tree->clearSelection();
        item->setSelected(true);
    }
};

QStringList Items(QComboBox* c) {
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    return l;
}

TEST(Qam16Test, FirstQamOutput) {
    EXPECT_EQ(FirstQamOutput(0, 4), 0);
    EXPECT_EQ(FirstQamOutput(0x24, 2), 3);
    EXPECT_EQ(FirstQamOutput(0x10, 1), 0);  // output 5 is not on a one-module chassis
    EXPECT_EQ(FirstQamOutput(0x00010000, 4), 0);
    EXPECT_EQ(FirstQamOutput(0x8000, 4), 16);
}

TEST(Qam16Test, ReadsTheGroupAndRoutes) {
    Qam16Page p;
    auto first = p.fx.PeekSentPacket();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->command, 0x24);
    EXPECT_EQ(first->payload, Bytes(9, 0));
    p.Pump();
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(Items(p.page.m_multiplexTo).size(), 8);
    EXPECT_EQ(Items(p.page.m_multiplexTo).back(), "QAM-08");
    EXPECT_EQ(Items(p.page.m_qamGroup), QStringList({"01-04", "05-08"}));
    EXPECT_EQ(Items(p.page.m_inputGroup).back(), "57-64");
    // The chain asked for every channel of the group once, program by program.
    int reads = 0;
    for (const auto& s : p.sent)
        if (s.command == 0x21)
            ++reads;
    EXPECT_EQ(reads, 3 + 1 + 6);
    QTreeWidgetItem* channel1 = p.Item(p.page.m_inputTree, 0, 0);
    EXPECT_EQ(channel1->text(0), "Channel 1");
    ASSERT_EQ(channel1->childCount(), 3);
    EXPECT_EQ(channel1->child(0)->text(0), "1 NEWS-1");
    EXPECT_EQ(channel1->child(0)->child(1)->text(0), "PMT PID:0x165");
    EXPECT_EQ(p.Item(p.page.m_outputTree, 0, 0)->child(0)->text(0), "1 NEWS-1");
    EXPECT_EQ(p.Item(p.page.m_outputTree, 0, 0)->child(0)->child(5)->text(0), "CA-1 ECM PID:0x0");

    // Route program 2 of channel 1 to QAM-03.
    p.Select(p.page.m_inputTree, p.Item(p.page.m_inputTree, 0, 0, 1));
    p.page.OnMultiplexTo(2);
    auto route = p.fx.PeekSentPacket();
    ASSERT_TRUE(route);
    EXPECT_EQ(route->command, 0x22);
    EXPECT_EQ(route->payload, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x04, 0, 0, 0}));
    EXPECT_TRUE(p.page.IsBusy());
    p.Pump();
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.Item(p.page.m_outputTree, 2, 0)->childCount(), 1);
    // Routing it again is refused with the output it has.
    p.Select(p.page.m_inputTree, p.Item(p.page.m_inputTree, 0, 0, 1));
    p.page.OnMultiplexTo(5);
    EXPECT_FALSE(p.fx.PeekSentPacket());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "[NEWS-2] The program has already been selected! to QAM 3");
    p.page.OnInputTreeFocus();
    EXPECT_EQ(p.page.m_multiplexTo->currentIndex(), 2);

    // Remove takes it off every output of the modules.
    p.Select(p.page.m_outputTree, p.Item(p.page.m_outputTree, 2, 0, 0));
    p.page.OnRemove();
    route = p.fx.PeekSentPacket();
    ASSERT_TRUE(route);
    EXPECT_EQ(Bytes(route->payload.begin() + 8, route->payload.end()), (Bytes{0, 0, 1, 0, 0, 0, 0}));
    p.Pump();
    EXPECT_EQ(p.Item(p.page.m_outputTree, 2, 0)->childCount(), 0);
}

TEST(Qam16Test, AnalyseLastGroupAndOddReplies) {
    Qam16Page p;
    p.Pump();
    // Input Analyze needs a channel node.
    p.page.m_inputTree->clearSelection();
    p.page.OnInputAnalyze();
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Please select Input Channel!");
    p.Select(p.page.m_inputTree, p.Item(p.page.m_inputTree, 0, 1));
    p.page.OnInputAnalyze();
    auto analyse = p.fx.TakeSentPacket();
    ASSERT_TRUE(analyse);
    EXPECT_EQ(Bytes(analyse->payload.begin() + 8, analyse->payload.end()), (Bytes{0, 1, 1}));
    Bytes r(20, 0);
    r[16] = 1;
    p.fx.FeedReply(0x20, r);
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Channel 2: there is no stream!");

    // The last group reads channels 56..63.
    p.page.m_inputGroup->setCurrentIndex(7);
    p.page.OnRefreshClicked();
    p.fx.TakeSentPacket();
    Bytes config(225, 0);
    config[8] = 1;
    p.fx.FeedReply(0x24, config);
    auto read = p.fx.TakeSentPacket();
    ASSERT_TRUE(read);
    EXPECT_EQ(Bytes(read->payload.begin() + 8, read->payload.end()), (Bytes{0, 56, 0, 0}));
    EXPECT_EQ(p.Item(p.page.m_inputTree, 0, 7)->text(0), "Channel 64");
    // A short reply, a reply for another command and a record cut short change nothing / end the channel.
    p.fx.FeedReply(0x21, Bytes(18, 0));
    EXPECT_FALSE(p.fx.PeekSentPacket());
    p.fx.FeedReply(0x22, Bytes(308, 0));
    EXPECT_FALSE(p.fx.PeekSentPacket());
    Bytes program(19 + 200, 0);
    program[16] = 56;
    program[18] = 3;
    p.fx.FeedReply(0x21, program);
    read = p.fx.TakeSentPacket();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->payload[9], 57);  // on to the next channel
    // A program count of 0 moves on as well; the wait's end stops the chain.
    program[16] = 57, program[18] = 0;
    p.fx.FeedReply(0x21, program);
    EXPECT_EQ(p.fx.TakeSentPacket()->payload[9], 58);
    p.fx.FireTimer(&p.page, kWaitTimerId);
    program[16] = 58;
    p.fx.FeedReply(0x21, program);
    EXPECT_FALSE(p.fx.PeekSentPacket());
    // Module count outside 1..4.
    p.page.OnRefreshClicked();
    p.fx.TakeSentPacket();
    config[8] = 5;
    p.fx.FeedReply(0x24, config);
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Module Error");
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(Qam16Test, LongNamesAndEditKeepsTheMask) {
    Qam16Page p;
    p.Pump();
    // A 32-character input name shows its first 31.
    Bytes record(286, 0);
    for (int i = 0; i < 32; ++i)
        record[size_t(4 + i)] = uint8_t('A' + i % 26);
    record[0] = 0x80;  // QAM-08
    p.page.OnRefreshClicked();
    p.fx.TakeSentPacket();
    Bytes config(225, 0);
    config[8] = 2;
    p.fx.FeedReply(0x24, config);
    for (int channel = 0; channel < 8; ++channel) {
        auto read = p.fx.TakeSentPacket();
        ASSERT_TRUE(read);
        Bytes reply(19, 0);
        reply[16] = uint8_t(channel);
        reply[18] = channel == 0 ? 1 : 0;
        if (channel == 0)
            reply.insert(reply.end(), record.begin(), record.end());
        p.fx.FeedReply(0x21, reply);
    }
    EXPECT_FALSE(p.page.IsBusy());
    const QString name = p.Item(p.page.m_inputTree, 0, 0, 0)->text(0);
    EXPECT_EQ(name.size(), 2 + 31);
    p.page.m_qamGroup->setCurrentIndex(1);
    p.page.OnRefreshClicked();
    p.fx.TakeSentPacket();
    p.fx.FeedReply(0x24, config);
    for (int channel = 0; channel < 8; ++channel) {
        auto read = p.fx.TakeSentPacket();
        Bytes reply(19, 0);
        reply[16] = uint8_t(channel);
        reply[18] = channel == 0 ? 1 : 0;
        if (channel == 0)
            reply.insert(reply.end(), record.begin(), record.end());
        p.fx.FeedReply(0x21, reply);
    }
    QTreeWidgetItem* routed = p.Item(p.page.m_outputTree, 3, 0, 0);
    ASSERT_TRUE(routed);
    EXPECT_EQ(p.page.m_outputTree->topLevelItem(3)->text(0), "Output Channel 8");
    // The dialog gets no CI choice from the mask; its OK sends the mask as it was.
    p.Select(p.page.m_outputTree, routed);
    ProgramInfoFields fields;
    int language = 0;
    Qam16Logic& logic = const_cast<Qam16Logic&>(p.page.Logic());
    ASSERT_TRUE(logic.BeginEdit(ProgramTreeMirror::PathOf(routed), &fields, &language));
    EXPECT_EQ(fields.ciField, 0u);
    fields.ciField = 0x81;
    fields.pmtPid = 0x1ff;
    p.page.Carry(logic.CommitEdit(fields, language));
    auto modify = p.fx.TakeSentPacket();
    ASSERT_TRUE(modify);
    EXPECT_EQ(modify->command, 0x23);
    ASSERT_EQ(modify->payload.size(), 298u);
    EXPECT_EQ(modify->payload[12], 0x80);
    EXPECT_EQ(modify->payload[12 + 74], 0xff);
    EXPECT_EQ(modify->payload[12 + 75], 0x01);
}

// Takes what the page sent; true when it was at most the version request (command 2).
bool OnlyVersionSent(PageFixture& fx) {
    while (auto sent = fx.TakeSentPacket())
        if (sent->command != 0x02)
            return false;
    return true;
}

QStringList Children(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

// A reply that comes after its wait ran out ("Operation timeout") is shown once and starts nothing: a read
// stops with the programs that came, a route shows where the program went. Once the page asked anew, the
// late reply no longer counts.
TEST(Qam16Test, LateRepliesAreShownOnceAndStartNothing) {
    for (bool readAll : {true, false}) {
        SCOPED_TRACE(readAll ? "read of the group" : "route to QAM-03");
        Qam16Page p;
        std::optional<test::SentPacket> request;
        if (readAll) {
            auto config = p.fx.TakeSentPacket();
            ASSERT_TRUE(config);
            auto r = p.sim.Handle(config->command, config->payload);
            p.fx.FeedReply(config->command, r->payload, r->b, r->c);
            request = p.fx.TakeSentPacket();  // channel 1, program 1 of 3
            ASSERT_TRUE(request);
            ASSERT_EQ(request->command, 0x21);
        } else {
            p.Pump();
            p.Select(p.page.m_inputTree, p.Item(p.page.m_inputTree, 0, 0, 1));
            p.page.OnMultiplexTo(2);
            request = p.fx.TakeSentPacket();
            ASSERT_TRUE(request);
            ASSERT_EQ(request->command, 0x22);
        }
        ASSERT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
        EXPECT_EQ(p.fx.Events().Count("Operation timeout"), 1);
        EXPECT_FALSE(p.page.IsBusy());

        auto late = p.sim.Handle(request->command, request->payload);
        ASSERT_TRUE(late);
        p.fx.FeedReply(request->command, late->payload, late->b, late->c);
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_TRUE(OnlyVersionSent(p.fx));
        if (readAll) {
            // The one program that came; the read does not go on to programs 2 and 3.
            EXPECT_EQ(Children(p.Item(p.page.m_inputTree, 0, 0)), QStringList{"1 NEWS-1"});
            EXPECT_EQ(Children(p.Item(p.page.m_outputTree, 0, 0)), QStringList{"1 NEWS-1"});
            EXPECT_EQ(Items(p.page.m_multiplexTo).size(), 8);  // the two modules the reply named
        } else {
            EXPECT_EQ(Children(p.Item(p.page.m_outputTree, 2, 0)), QStringList{"2 NEWS-2"});
        }

        // A second copy changes nothing (the trees are not even redrawn).
        p.page.m_outputTree->topLevelItem(0)->setText(0, "kept");
        p.fx.FeedReply(request->command, late->payload, late->b, late->c);
        EXPECT_EQ(p.page.m_outputTree->topLevelItem(0)->text(0), "kept");
        EXPECT_TRUE(OnlyVersionSent(p.fx));
    }
}

TEST(Qam16Test, LateReplyNoLongerCountsOnceThePageAskedAgain) {
    Qam16Page p;
    p.Pump();
    p.Select(p.page.m_inputTree, p.Item(p.page.m_inputTree, 0, 0, 1));
    p.page.OnMultiplexTo(2);
    auto route = p.fx.TakeSentPacket();
    ASSERT_TRUE(route);
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    auto late = p.sim.Handle(route->command, route->payload);
    // Refresh asks anew; the route's reply comes while that read waits, and again after its time-out.
    p.page.OnRefreshClicked();
    ASSERT_TRUE(p.fx.TakeSentPacket());
    p.fx.FeedReply(route->command, late->payload, late->b, late->c);
    EXPECT_TRUE(p.page.IsBusy());
    EXPECT_TRUE(Children(p.Item(p.page.m_outputTree, 2, 0)).isEmpty());
    ASSERT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
    p.fx.FeedReply(route->command, late->payload, late->b, late->c);
    EXPECT_TRUE(Children(p.Item(p.page.m_outputTree, 2, 0)).isEmpty());
    EXPECT_TRUE(OnlyVersionSent(p.fx));
}

// The rows hold the channels of the group last read. After a change of the input group whose read timed out
// (its reply late or never), the channels of the new group show none of the old group's programs, and none of
// them can be routed with another channel's mask.
TEST(Qam16Test, AnotherGroupsRowsAreNotShownUnderTheNewGroup) {
    for (bool lateConfig : {false, true}) {
        SCOPED_TRACE(lateConfig ? "late configuration reply" : "no reply");
        Qam16Page p;
        p.Pump();
        ASSERT_EQ(p.Item(p.page.m_inputTree, 0, 0)->childCount(), 3);  // channel 1: NEWS-1 .. Sports HD

        p.page.m_inputGroup->setCurrentIndex(1);  // "09-16"
        p.page.OnRefreshClicked();
        auto config = p.fx.TakeSentPacket();
        ASSERT_TRUE(config);
        ASSERT_EQ(config->command, 0x24);
        ASSERT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
        if (lateConfig) {
            auto r = p.sim.Handle(config->command, config->payload);
            ASSERT_TRUE(r);
            p.fx.FeedReply(config->command, r->payload, r->b, r->c);
            EXPECT_TRUE(OnlyVersionSent(p.fx));
        }
        EXPECT_EQ(p.Item(p.page.m_inputTree, 0, 0)->text(0), "Channel 9");
        for (int row = 0; row < 8; ++row) {
            EXPECT_EQ(p.Item(p.page.m_inputTree, 0, row)->childCount(), 0) << "row " << row;
            EXPECT_EQ(p.Item(p.page.m_outputTree, 0, row)->childCount(), 0) << "row " << row;
        }
        // Nothing of channel 1 can be sent as channel 9's.
        if (p.Item(p.page.m_inputTree, 0, 0)->childCount() > 0) {
            p.Select(p.page.m_inputTree, p.Item(p.page.m_inputTree, 0, 0, 1));
            p.page.OnMultiplexTo(5);
        }
        EXPECT_TRUE(OnlyVersionSent(p.fx));

        // Back to "01-08": the group is read again and shows its own programs.
        p.page.m_inputGroup->setCurrentIndex(0);
        p.page.OnRefreshClicked();
        p.Pump();
        EXPECT_EQ(Children(p.Item(p.page.m_inputTree, 0, 0)),
                  QStringList({"1 NEWS-1", "2 NEWS-2", "3 Sports HD"}));
        EXPECT_EQ(Children(p.Item(p.page.m_inputTree, 0, 2)), QStringList{"1 News"});
    }
}

}  // namespace qam16_test
}  // namespace nms
