#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "encoder_multi_support.h"
#include "pages/encoder/encoder_asi_view.h"
#include "pages/mux/edit_program_dlg.h"

namespace nms {
namespace encoder_asi_test {

using test::EncoderMultiSim;
using test::PageFixture;
using test::Pump;

QTreeWidgetItem* Root(QTreeWidget* tree) {
    return tree->topLevelItem(0);
}

QTreeWidgetItem* Child(QTreeWidget* tree, const QString& prefix) {
    for (int i = 0; i < Root(tree)->childCount(); ++i)
        if (Root(tree)->child(i)->text(0).startsWith(prefix))
            return Root(tree)->child(i);
    return nullptr;
}

std::vector<int> Indexes(const std::vector<test::SentPacket>& sent, uint8_t command) {
    std::vector<int> out;
    for (const auto& p : sent)
        if (p.command == command)
            out.push_back(p.payload.at(1));
    return out;
}

struct AsiPage {
    PageFixture fx{0x1102};
    EncoderMultiSim sim{0x1102};
    CEncoderASIView page;
    AsiPage() {
        fx.Bind(&page, 2);
        Pump(fx, sim);
    }
    void Analyze() {
        QTest::mouseClick(page.m_analyze, Qt::LeftButton);
        Pump(fx, sim);
    }
    void Select(int index) {
        page.m_inputTree->setCurrentItem(Child(page.m_inputTree, QString("%1 ").arg(index)));
        QTest::mouseClick(page.m_select, Qt::LeftButton);
    }
};

TEST(EncoderAsiTest, AnalysisReadsTheCaListAndEveryProgramThenEnds) {
    AsiPage p;
    QTest::mouseClick(p.page.m_analyze, Qt::LeftButton);
    const auto sent = Pump(p.fx, p.sim);
    EXPECT_EQ(test::Commands(sent), (std::vector<uint8_t>{0x20, 0x24, 0x21, 0x21, 0x21}));
    EXPECT_EQ(Indexes(sent, 0x21), (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(p.page.IsBusy());
    QTreeWidget* tree = p.page.m_inputTree;
    EXPECT_EQ(Root(tree)->text(0), "ASI IN");
    ASSERT_EQ(Root(tree)->childCount(), 4);
    QTreeWidgetItem* ca = Root(tree)->child(0);
    EXPECT_EQ(ca->text(0), "CA Info");
    EXPECT_EQ(ca->child(0)->child(0)->text(0), "CA system ID:0xb00");
    QTreeWidgetItem* second = Child(tree, "2 ");
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text(0), "2 ASI 2");
    EXPECT_EQ(second->child(0)->text(0), "Service ID:102");
    EXPECT_EQ(second->child(0)->data(0, Qt::UserRole).toInt(), 102);
    EXPECT_EQ(second->child(1)->text(0), "PMT PID:0x220");
    EXPECT_EQ(second->child(3)->text(0), "Mpeg2 Video");
    EXPECT_EQ(second->child(3)->child(0)->text(0), "PID:0x221");
    EXPECT_EQ(second->child(5)->text(0), "CA");
    EXPECT_EQ(second->child(5)->child(0)->child(1)->text(0), "CA PID: 0x1ff0");
    EXPECT_EQ(Root(p.page.m_outputTree)->childCount(), 0);  // nothing routed yet
}

TEST(EncoderAsiTest, EmptyRepliesTakeTheTotalFromTheHeaderAndTheCounterStopsAt128) {
    AsiPage p;
    QTest::mouseClick(p.page.m_refreshOut, Qt::LeftButton);
    int requests = 0;
    while (auto sent = p.fx.TakeSentPacket()) {
        ASSERT_EQ(sent->command, 0x22);
        ++requests;
        p.fx.FeedReply(0x22, {}, 1, 255);
        ASSERT_LT(requests, 200);
    }
    EXPECT_EQ(requests, 128);
    EXPECT_FALSE(p.page.IsBusy());

    QTest::mouseClick(p.page.m_refreshOut, Qt::LeftButton);
    requests = 0;
    while (auto sent = p.fx.TakeSentPacket()) {
        ++requests;
        p.fx.FeedReply(0x22, {}, 1, 2);
    }
    EXPECT_EQ(requests, 2);
}

// A reply after its wait ran out goes into the slots and trees as it would have in time, but the
// sequence asks for nothing more, no wait starts, and the next sequence starts from the first program.
TEST(EncoderAsiTest, AReplyAfterTheTimeOutIsShownAndTheSequenceAsksNothingMore) {
    enum class Action { kAnalyze, kSelect, kRemove };
    struct Case {
        const char* name;
        Action action;
        int inTime;      // replies answered before the wait runs out
        bool inputTwo;   // program 2 in the input tree afterwards
        bool outputTwo;  // program 2 in the output tree afterwards
    };
    const Case cases[] = {
        {"analysis before the CA list", Action::kAnalyze, 0, false, false},
        {"analysis at program 2", Action::kAnalyze, 3, true, false},
        {"select", Action::kSelect, 0, true, true},
        {"remove", Action::kRemove, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AsiPage p;
        if (c.action == Action::kAnalyze) {
            QTest::mouseClick(p.page.m_analyze, Qt::LeftButton);
        } else {
            p.Analyze();
            if (c.action == Action::kRemove) {
                p.Select(2);
                Pump(p.fx, p.sim);
                p.page.m_outputTree->setCurrentItem(Child(p.page.m_outputTree, "2 "));
                QTest::mouseClick(p.page.m_remove, Qt::LeftButton);
            } else {
                p.Select(2);
            }
        }
        for (int i = 0; i < c.inTime; ++i) {
            auto sent = p.fx.TakeSentPacket();
            ASSERT_TRUE(sent);
            auto reply = p.sim.Handle(sent->command, sent->payload);
            p.fx.FeedReply(sent->command, reply->payload, reply->b, reply->c);
        }
        auto pending = p.fx.TakeSentPacket();
        ASSERT_TRUE(pending);
        EXPECT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));
        EXPECT_FALSE(p.page.IsBusy());
        auto late = p.sim.Handle(pending->command, pending->payload);
        ASSERT_TRUE(late);
        p.fx.FeedReply(pending->command, late->payload, late->b, late->c);
        p.fx.FeedReply(pending->command, late->payload, late->b, late->c);  // once only
        EXPECT_FALSE(p.fx.TakeSentPacket());
        EXPECT_FALSE(p.page.IsBusy());
        EXPECT_FALSE(p.page.Logic().Waiting());
        EXPECT_EQ(Child(p.page.m_inputTree, "2 ") != nullptr, c.inputTwo);
        EXPECT_EQ(Child(p.page.m_outputTree, "2 ") != nullptr, c.outputTwo);
        QTest::mouseClick(p.page.m_refreshOut, Qt::LeftButton);
        EXPECT_EQ(p.fx.TakeSentPacket()->payload, (std::vector<uint8_t>{1, 1}));
    }
}

TEST(EncoderAsiTest, SelectEditAndRemoveAProgram) {
    AsiPage p;
    p.Analyze();
    p.Select(2);
    auto sent = Pump(p.fx, p.sim);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].payload, (std::vector<uint8_t>{1, 2}));
    QTreeWidgetItem* out = Child(p.page.m_outputTree, "2 ");
    ASSERT_TRUE(out);
    EXPECT_EQ(p.page.Logic().Slot(2).InOutput(), 1);

    p.Select(2);  // already there: a box, nothing sent
    EXPECT_FALSE(p.fx.TakeSentPacket());
    ASSERT_FALSE(p.fx.Prompt().shown.empty());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "The program has already been selected!");

    p.page.m_outputTree->setCurrentItem(out);
    EditProgramFields seen;
    p.page.m_runEdit = [&](CEditProgramDlg& dialog) {
        seen = dialog.m_fields;
        dialog.m_fields.name = std::string(32, 'N');
        dialog.m_fields.serviceId = "777";
        dialog.m_fields.elementPids[0] = 0x300;
        dialog.m_fields.ecmPids[0] = 0x1ff1;
        return true;
    };
    QTest::mouseClick(p.page.m_edit, Qt::LeftButton);
    EXPECT_EQ(seen.name, "ASI 2");
    EXPECT_EQ(seen.pmtPid, "220");
    EXPECT_EQ(seen.caSystemIds[0], 0x0b00);
    EXPECT_EQ(seen.elementLabels[0], "02 MPEG-2 Video");
    EXPECT_EQ(seen.elementPids[2], kNoElement);
    sent = Pump(p.fx, p.sim);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x23);
    ASSERT_EQ(sent[0].payload.size(), 265u);
    const ProgramRecord& stored = p.page.Logic().Slot(2);
    EXPECT_EQ(stored.OutputName(), std::string(31, 'N'));
    EXPECT_EQ(stored.OutputServiceId(), 777);
    EXPECT_EQ(stored.ElementOutputPid(0), 0x300);
    EXPECT_EQ(stored.ElementOutputPid(5), 0);
    EXPECT_EQ(p.sim.AsiProgram(2)[67], 777 & 0xff);
    out = Child(p.page.m_outputTree, "2 ");
    ASSERT_TRUE(out);
    EXPECT_EQ(out->text(0), QString("2 ") + QString(31, 'N'));
    EXPECT_TRUE(out->isExpanded());
    EXPECT_EQ(out->child(out->childCount() - 1)->text(0), "CA 0");
    EXPECT_EQ(out->child(out->childCount() - 1)->child(0)->text(0), "CA system id: 2816");
    EXPECT_EQ(out->child(out->childCount() - 1)->child(1)->text(0), "CA PID: 8177");

    p.page.m_outputTree->setCurrentItem(out);
    QTest::mouseClick(p.page.m_remove, Qt::LeftButton);
    sent = Pump(p.fx, p.sim);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].command, 0x26);
    EXPECT_FALSE(Child(p.page.m_outputTree, "2 "));
    EXPECT_EQ(p.page.Logic().Slot(2).InOutput(), 0);
    EXPECT_FALSE(p.page.IsBusy());
}

TEST(EncoderAsiTest, EditReplyForAnotherProgramChangesNothing) {
    AsiPage p;
    p.Analyze();
    p.Select(1);
    Pump(p.fx, p.sim);
    p.Select(3);
    Pump(p.fx, p.sim);
    p.page.m_outputTree->setCurrentItem(Child(p.page.m_outputTree, "1 "));
    p.page.m_runEdit = [](CEditProgramDlg&) { return true; };
    QTest::mouseClick(p.page.m_edit, Qt::LeftButton);
    auto sent = p.fx.TakeSentPacket();
    ASSERT_TRUE(sent);
    p.fx.FeedReply(0x23, {1, 3});  // a reply for another program: the sequence ends, nothing changes
    EXPECT_FALSE(p.page.IsBusy());
    EXPECT_EQ(Child(p.page.m_outputTree, "3 ")->childCount(), Child(p.page.m_outputTree, "1 ")->childCount());
    EXPECT_FALSE(Child(p.page.m_outputTree, "3 ")->isExpanded());
}

// The operator may open the edit dialog while a reply is still to come late and cancel it: that sends
// nothing, so the late reply still lands where its request was for (the program selected, the record
// the edit sent), not on the program the cancelled dialog showed.
TEST(EncoderAsiTest, ALateReplyLandsAfterACancelledEditDialog) {
    enum class Action { kSelect, kEdit };
    struct Case {
        const char* name;
        Action action;
        const char* cancelledOn;  // the output program the cancelled dialog was opened on
    };
    const Case cases[] = {
        {"select, dialog on another program", Action::kSelect, "1 "},
        {"edit, dialog on the same program", Action::kEdit, "2 "},
        {"edit, dialog on another program", Action::kEdit, "1 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AsiPage p;
        p.Analyze();
        p.Select(1);
        Pump(p.fx, p.sim);
        if (c.action == Action::kSelect) {
            p.Select(2);
        } else {
            p.Select(2);
            Pump(p.fx, p.sim);
            p.page.m_outputTree->setCurrentItem(Child(p.page.m_outputTree, "2 "));
            p.page.m_runEdit = [](CEditProgramDlg& dialog) {
                dialog.m_fields.name = "EDITED";
                return true;
            };
            QTest::mouseClick(p.page.m_edit, Qt::LeftButton);
        }
        auto pending = p.fx.TakeSentPacket();
        ASSERT_TRUE(pending);
        ASSERT_TRUE(p.fx.FireTimer(&p.page, kWaitTimerId));

        p.page.m_outputTree->setCurrentItem(Child(p.page.m_outputTree, c.cancelledOn));
        p.page.m_runEdit = [](CEditProgramDlg& dialog) {
            dialog.m_fields.name = "CANCELLED";
            return false;
        };
        QTest::mouseClick(p.page.m_edit, Qt::LeftButton);
        EXPECT_FALSE(p.fx.TakeSentPacket());

        auto late = p.sim.Handle(pending->command, pending->payload);
        ASSERT_TRUE(late);
        p.fx.FeedReply(pending->command, late->payload, late->b, late->c);
        EXPECT_FALSE(p.fx.TakeSentPacket());
        QTreeWidgetItem* two = Child(p.page.m_outputTree, "2 ");
        EXPECT_TRUE(two);
        EXPECT_EQ(p.page.Logic().Slot(2).InOutput(), 1);
        if (two && c.action == Action::kEdit) {
            EXPECT_EQ(two->text(0), "2 EDITED");
            EXPECT_EQ(p.page.Logic().Slot(2).OutputName(), "EDITED");
        }
        EXPECT_EQ(Child(p.page.m_outputTree, "1 ")->text(0).toStdString().find("CANCELLED"),
                  std::string::npos);
    }
}

TEST(EncoderAsiTest, NoAsiInputEndsTheWaitBeforeItsBox) {
    AsiPage p;
    p.sim.SetNoAsiInput(true);
    bool busyAtBox = true;
    p.fx.Prompt().onShow = [&](const PromptRequest&) { busyAtBox = p.page.IsBusy(); };
    QTest::mouseClick(p.page.m_analyze, Qt::LeftButton);
    const auto sent = Pump(p.fx, p.sim);
    EXPECT_EQ(sent.size(), 1u);
    ASSERT_FALSE(p.fx.Prompt().shown.empty());
    EXPECT_EQ(p.fx.Prompt().shown.back().text, "Don't Support ASI-IN !");
    EXPECT_FALSE(busyAtBox);
}

TEST(EncoderAsiTest, ThirtyTwoElementsShowNoElementsButFillTheDialog) {
    ProgramRecord r;
    r.bytes[77] = 32;
    r.bytes[238] = 1;
    for (int i = 0; i < 32; ++i)
        r.bytes[size_t(78 + 5 * i)] = uint8_t(i == 0 ? 27 : 6);
    const ProgramTreeNode node = AsiProgramNode(r, 5, true);
    EXPECT_EQ(node.children.size(), 3u);  // service id, PMT, PCR: no elements, no CA
    r.bytes[77] = 1;
    const ProgramTreeNode one = AsiProgramNode(r, 5, true);
    ASSERT_EQ(one.children.size(), 5u);
    EXPECT_EQ(one.children[3].text, "H.264 Video");
    EXPECT_EQ(one.children[4].text, "CA");
    EXPECT_EQ(AsiTreeLabel(6, true), "AC3_A52_AUDIO_STREAM");
    EXPECT_EQ(AsiTreeLabel(6, false), "A52 Audio(aka AC3)");
    EXPECT_EQ(AsiTreeLabel(0x0f, false), "User Define Data");
    EXPECT_EQ(AsiDialogEntry(27), "27 H.264 Video");
}

}  // namespace encoder_asi_test
}  // namespace nms
