#include "pages/mux/mux_channel_logic.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "fake_mux.h"
#include "reply_packet.h"

namespace nms {
namespace mux_channel_logic_test {

// The first box a step shows, empty when none.
std::string FirstMessage(const PageStep& step) {
    return step.messages.empty() ? std::string() : step.messages.front();
}

struct Driven {
    std::vector<int> commands;  // every request sent, in order
    std::vector<Bytes> payloads;
    std::vector<std::string> messages;
    PageStep last;
    int versions = 0;
};

// Runs one operator step and answers every request until the chain stops asking.
Driven Drive(MuxChannelLogic& logic, const FakeMux& mux, PageStep step, int maxSteps = 10000) {
    Driven d;
    for (int i = 0; i < maxSteps; ++i) {
        d.messages.insert(d.messages.end(), step.messages.begin(), step.messages.end());
        if (step.sendVersion)
            ++d.versions;
        d.last = step;
        if (!step.HasRequest())
            break;
        d.commands.push_back(step.command);
        d.payloads.push_back(step.payload);
        const Bytes answer = mux.Answer(step.command, step.payload);
        step =
            logic.HandleReply(ReplyPacket(static_cast<uint8_t>(step.command), answer, mux.b, mux.c).View());
    }
    return d;
}

PageStep Feed(MuxChannelLogic& logic, uint8_t cmd, const Bytes& payload, uint8_t b = 1, uint8_t c = 1) {
    return logic.HandleReply(ReplyPacket(cmd, payload, b, c).View());
}

std::vector<std::string> ChildTexts(const ProgramTreeNode* n) {
    std::vector<std::string> out;
    if (n)
        for (const auto& c : n->children)
            out.push_back(c.text);
    return out;
}

TreePath ChannelNode(const ProgramTree& t, int root, int channel) {
    return {1, root, t.FindChannel(root, channel), -1};
}
TreePath ProgramNode(const ProgramTree& t, int root, int channel, int index) {
    const int pos = t.FindChannel(root, channel);
    return {2, root, pos, t.FindChild(root, pos, index)};
}

// ---- Layouts ----

TEST(MuxChannelLayout, EveryPageParam) {
    struct Case {
        int pageParam;
        int inputChannels;
        std::vector<std::string> outputRoots;
        int outputChannels;
    };
    const Case cases[] = {
        {0, 8, {"Output-program"}, 8},
        {37, 8, {"Output-program"}, 8},
        {1, 8, {"Output Channel A", "Output Channel B"}, 8},
        {3, 2, {"Output-program"}, 2},
        {36, 7, {"Output-program"}, 7},
        {86, 8, {"Output-program"}, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        MuxChannelLogic logic(c.pageParam);
        logic.BuildLayout(true);
        ASSERT_EQ(logic.InputTree().Roots().size(), 1u);
        EXPECT_EQ(logic.InputTree().Roots()[0].text, "Input-program");
        EXPECT_TRUE(logic.InputTree().Roots()[0].expanded);
        const auto inputs = ChildTexts(logic.InputTree().Node(0));
        ASSERT_EQ(static_cast<int>(inputs.size()), c.inputChannels);
        EXPECT_EQ(inputs.front(), "Channel 1");
        EXPECT_EQ(inputs.back(), "Channel " + std::to_string(c.inputChannels));
        ASSERT_EQ(logic.OutputTree().Roots().size(), c.outputRoots.size());
        for (size_t r = 0; r < c.outputRoots.size(); ++r) {
            EXPECT_EQ(logic.OutputTree().Roots()[r].text, c.outputRoots[r]);
            EXPECT_EQ(static_cast<int>(logic.OutputTree().Roots()[r].children.size()), c.outputChannels);
        }
        EXPECT_EQ(logic.OutputTree().Roots()[0].children[0].data, 1);
        EXPECT_FALSE(logic.InputsFollow());
    }
}

// ---- Request payloads ----

TEST(MuxChannelRequests, AnalyseSelectRemoveRefreshPayloads) {
    struct Case {
        int pageParam;
        bool remap;
        Bytes analyse, select, refresh;
    };
    const Case cases[] = {
        {0, true, {3, 1, 0}, {3, 5}, {1, 1}},
        {0, false, {3, 1, 1}, {3, 5}, {1, 1}},
        {1, true, {3, 1}, {3, 5, 2}, {1, 1, 1}},
        {36, false, {3, 1, 1}, {3, 5}, {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam * 10 + c.remap);
        MuxChannelLogic logic(c.pageParam);
        logic.BuildLayout(true);
        PageStep s = logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 3), c.remap);
        EXPECT_EQ(s.command, kCmdAnalyseInput);
        EXPECT_EQ(s.payload, c.analyse);
        EXPECT_EQ(s.wait, PageStep::Wait::kBeginLong);
        logic.WaitEnded();
        // Put program 5 into the input tree by a read reply so that it can be selected.
        FakeMux mux;
        mux.pageParam = c.pageParam;
        for (int i = 0; i < 5; ++i)
            mux.programs[3].push_back(MakeRecord(263, "P", false));
        Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 3), c.remap));
        s = logic.Select(ProgramNode(logic.InputTree(), 0, 3, 5), 2);
        EXPECT_EQ(s.command, kCmdSelectIntoOutput);
        EXPECT_EQ(s.payload, c.select);
        EXPECT_EQ(s.wait, PageStep::Wait::kBegin);
        logic.WaitEnded();
        s = logic.RefreshOut();
        EXPECT_EQ(s.command, kCmdReadOutputProgram);
        EXPECT_EQ(s.payload, c.refresh);
    }
}

TEST(MuxChannelRequests, AnalyseRefusals) {
    MuxChannelLogic logic(1);
    logic.BuildLayout(true);
    EXPECT_EQ(FirstMessage(logic.InputAnalyze({0, 0, -1, -1}, true)), "Please select Input Channel!");
    EXPECT_EQ(FirstMessage(logic.InputAnalyze({}, true)), "Please select Input Channel!");
    EXPECT_FALSE(logic.Waiting());
    // The transcoding multiplexer keeps 8 channel tables: a 16-channel tree's channel 9 is not analysed.
    MuxChannelLogic tc(86);
    tc.BuildLayout(true);
    ProgramTree& t = tc.InputTree();
    std::vector<ProgramTreeNode> roots(1);
    roots[0].text = "Input-program";
    for (int n = 1; n <= 16; ++n)
        roots[0].children.emplace_back("Channel " + std::to_string(n), n);
    t.Reset(roots);
    EXPECT_EQ(FirstMessage(tc.InputAnalyze(ChannelNode(t, 0, 9), true)), "Don't support !");
}

// ---- Analyse chain ----

TEST(MuxChannelAnalyse, ReadsCaInfoThenEveryProgram) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.programs[2] = {MakeRecord(263, "One", false, 2), MakeRecord(263, "Two", true, 1),
                       MakeRecord(263, "Three", false, 0)};
    Bytes ca(4);
    ByteWriter(ca).U16LE(0, 0x4AE1);
    ByteWriter(ca).U16LE(2, 0x1FFE);
    mux.caEntries[2] = ca;
    const Driven d = Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 2), true));
    EXPECT_EQ(d.commands, (std::vector<int>{0x20, 0x24, 0x21, 0x21, 0x21}));
    EXPECT_EQ(d.payloads[1], (Bytes{2}));
    EXPECT_EQ(d.payloads[2], (Bytes{2, 1}));
    EXPECT_EQ(d.payloads[4], (Bytes{2, 3}));
    EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
    EXPECT_FALSE(d.last.sendVersion);
    EXPECT_FALSE(logic.Waiting());
    const auto* ch = logic.InputTree().Node(0, 1);
    EXPECT_EQ(ChildTexts(ch), (std::vector<std::string>{"CA Info", "1 One", "2 Two", "3 Three"}));
    EXPECT_TRUE(ch->expanded);
    EXPECT_EQ(logic.Channel(2)->CaSystemId(0), 0x4AE1);
    EXPECT_EQ(logic.Channel(2)->Program(2)->InputName(), "Two");
}

TEST(MuxChannelAnalyse, NoInputFinishesWithMessage) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    FakeMux mux;
    const Driven d = Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 4), true));
    EXPECT_EQ(d.commands, (std::vector<int>{0x20}));
    EXPECT_EQ(d.messages, (std::vector<std::string>{"Channel 4 no input!"}));
    EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
}

TEST(MuxChannelAnalyse, ReAnalyseReplacesTheChannelsNodes) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.programs[1] = {MakeRecord(263, "A", false)};
    Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 1), true));
    Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 1), true));
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 0)), (std::vector<std::string>{"1 A"}));
}

// ---- Output read ----

TEST(MuxChannelOutput, OneOutputReadsEveryChannelThenAsksVersion) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.b = 2;  // IP output present
    mux.c = 2;
    mux.programs[1] = {MakeRecord(263, "In", true), MakeRecord(263, "Out", false)};
    mux.programs[8] = {MakeRecord(263, "Last", true)};
    const Driven d = Drive(logic, mux, logic.RefreshOut());
    // Channel 1: two reads; channels 2..7: one read each; channel 8: one.
    EXPECT_EQ(d.commands.size(), 2u + 6u + 1u);
    EXPECT_EQ(d.payloads[1], (Bytes{1, 2}));
    EXPECT_EQ(d.payloads[2], (Bytes{2, 1}));
    EXPECT_EQ(d.payloads.back(), (Bytes{8, 1}));
    EXPECT_EQ(d.versions, 1);
    EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(logic.IpOutputFlag());
    EXPECT_EQ(logic.IpOutputMode(), 2);
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 In"}));
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 7)), (std::vector<std::string>{"1 Last"}));
    EXPECT_EQ(logic.Channel(1)->programCount, 2);
    // A second refresh starts from scratch: the nodes are not doubled.
    Drive(logic, mux, logic.RefreshOut());
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 In"}));
}

// A reply naming a channel the page does not have is ignored, but the chain goes on from the item asked.
TEST(MuxChannelOutput, OutOfRangeRepliesDoNotStopTheChain) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    PageStep step = logic.RefreshOut();
    for (uint8_t named : {9, 0}) {
        Bytes reply = {named, 1, 1};
        reply.resize(3 + 263, 0);
        step = Feed(logic, kCmdReadOutputProgram, reply);
        ASSERT_TRUE(step.HasRequest()) << int(named);
        EXPECT_EQ(step.command, kCmdReadOutputProgram);
    }
    EXPECT_EQ(step.payload, (Bytes{3, 1}));  // channels 1 and 2 passed, nothing stored
    EXPECT_EQ(logic.Channel(1)->programCount, 0);

    // The input read likewise.
    MuxChannelLogic input(0);
    input.BuildLayout(true);
    step = input.InputAnalyze(TreePath{1, 0, 0}, false);
    ASSERT_TRUE(step.HasRequest());
    step = Feed(input, kCmdAnalyseInput, {1, 2});
    step = Feed(input, kCmdChannelCaInfo, {1, 0});
    ASSERT_EQ(step.command, kCmdReadInputProgram);
    Bytes in = {0, 1, 2};
    in.resize(3 + 263, 0);
    step = Feed(input, kCmdReadInputProgram, in);
    EXPECT_TRUE(step.HasRequest() || step.wait == PageStep::Wait::kEnd);  // no dead end
    EXPECT_TRUE(input.Channel(1)->Program(1)->InputName().empty());
}

TEST(MuxChannelOutput, TwoOutputsReadTwoPasses) {
    MuxChannelLogic logic(1);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.pageParam = 1;
    mux.programs[3] = {MakeRecord(263, "A", true)};
    const Driven d = Drive(logic, mux, logic.RefreshOut());
    ASSERT_EQ(d.commands.size(), 16u);
    EXPECT_EQ(d.payloads[0], (Bytes{1, 1, 1}));
    EXPECT_EQ(d.payloads[7], (Bytes{8, 1, 1}));
    EXPECT_EQ(d.payloads[8], (Bytes{1, 1, 2}));
    EXPECT_EQ(d.payloads[15], (Bytes{8, 1, 2}));
    EXPECT_EQ(d.versions, 1);
    // The fake clears the flag in pass 2, so only output A shows the program.
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 2)), (std::vector<std::string>{"1 A"}));
    EXPECT_TRUE(ChildTexts(logic.OutputTree().Node(1, 2)).empty());
}

TEST(MuxChannelOutput, SixteenChannelReplyRebuildsLayoutOnce) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.b = 16;
    mux.programs[16] = {MakeRecord(263, "Sixteen", true)};
    const Driven d = Drive(logic, mux, logic.RefreshOut());
    EXPECT_EQ(d.commands.size(), 16u);
    EXPECT_EQ(logic.ChannelCount(), 16);
    EXPECT_EQ(logic.InputTree().Node(0)->children.size(), 16u);
    EXPECT_EQ(logic.OutputTree().Node(0)->children.size(), 16u);
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 15)), (std::vector<std::string>{"1 Sixteen"}));
    // Analysed inputs survive a later refresh of the 16-channel device.
    mux.programs[9] = {MakeRecord(263, "Nine", false)};
    Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 9), true));
    Drive(logic, mux, logic.RefreshOut());
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 8)), (std::vector<std::string>{"1 Nine"}));
}

TEST(MuxChannelOutput, TranscoderShownReadsOutputsThenAllInputs) {
    MuxChannelLogic logic(86);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.pageParam = 86;
    mux.programs[1] = {MakeRecord(379, "T1", true), MakeRecord(379, "T2", false)};
    mux.programs[8] = {MakeRecord(379, "T8", false)};
    const Driven d = Drive(logic, mux, logic.Shown());
    // Outputs: 2 + 7; inputs: 2 + 7.
    ASSERT_EQ(d.commands.size(), 18u);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(d.commands[i], 0x22);
    for (int i = 9; i < 18; ++i)
        EXPECT_EQ(d.commands[i], 0x21);
    EXPECT_EQ(d.payloads[9], (Bytes{1, 1}));
    EXPECT_EQ(d.payloads[17], (Bytes{8, 1}));
    EXPECT_EQ(d.versions, 1);
    EXPECT_FALSE(logic.InputsFollow());
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 T1"}));
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 0)), (std::vector<std::string>{"1 T1", "2 T2"}));
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 7)), (std::vector<std::string>{"1 T8"}));
    // Without the show, a refresh reads only the outputs and ends without 0x02.
    const Driven r = Drive(logic, mux, logic.RefreshOut());
    EXPECT_EQ(r.commands.size(), 9u);
    EXPECT_EQ(r.versions, 0);
}

TEST(MuxChannelOutput, TranscoderFollowRestartsTheWait) {
    MuxChannelLogic logic(86);
    logic.BuildLayout(true);
    PageStep s = logic.Shown();
    for (int ch = 1; ch <= 7; ++ch) {
        s = Feed(logic, 0x22, {static_cast<uint8_t>(ch), 1, 0});
        EXPECT_EQ(s.wait, PageStep::Wait::kNone);
    }
    s = Feed(logic, 0x22, {8, 1, 0});
    EXPECT_EQ(s.command, 0x21);
    EXPECT_EQ(s.wait, PageStep::Wait::kRestart);
}

TEST(MuxChannelChains, EveryPageParamAnalysesSelectsAndReads) {
    struct Case {
        int pageParam;
        int outputReads;  // with one program on channel 2 and none elsewhere
        int passes;
    };
    const Case cases[] = {{0, 8, 1}, {37, 8, 1}, {3, 8, 1}, {36, 8, 1}, {1, 8, 2}, {86, 8, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pageParam);
        MuxChannelLogic logic(c.pageParam);
        logic.BuildLayout(true);
        FakeMux mux;
        mux.pageParam = c.pageParam;
        mux.programs[2] = {MakeRecord(c.pageParam == 86 ? 379 : 263, "Two", false)};
        const Driven a = Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 2), true));
        EXPECT_EQ(a.commands, (std::vector<int>{0x20, 0x24, 0x21}));
        EXPECT_EQ(a.versions, c.pageParam == 86 ? 1 : 0);
        EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 1)), (std::vector<std::string>{"1 Two"}));
        const Driven s = Drive(logic, mux, logic.Select(ProgramNode(logic.InputTree(), 0, 2, 1), 1));
        EXPECT_EQ(s.commands, (std::vector<int>{0x25}));
        EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 1)), (std::vector<std::string>{"1 Two"}));
        const Driven r = Drive(logic, mux, logic.RefreshOut());
        EXPECT_EQ(static_cast<int>(r.commands.size()), c.outputReads * c.passes);
        EXPECT_EQ(r.versions, c.pageParam == 86 ? 0 : 1);
        EXPECT_FALSE(logic.Waiting());
    }
}

// ---- Bad replies change nothing ----

TEST(MuxChannelReplies, ShortMismatchedLateAndDuplicatedRepliesChangeNothing) {
    const Bytes rec = MakeRecord(263, "X", true);
    auto withRecord = [&](Bytes head, int cut = 0) {
        head.insert(head.end(), rec.begin(), rec.end() - cut);
        return head;
    };
    struct Case {
        const char* name;
        int pageParam;
        uint8_t command;
        Bytes payload;
    };
    // The page has just asked 0x22 for channel 1, program 1 (pass 1 on PageParam 1).
    const Case cases[] = {
        {"empty", 0, 0x22, {}},
        {"header only two bytes", 0, 0x22, {1, 1}},
        {"pass missing", 1, 0x22, {1, 1, 3}},
        {"other channel", 0, 0x22, withRecord({2, 1, 3})},
        {"other index", 0, 0x22, withRecord({1, 2, 3})},
        {"other pass", 1, 0x22, withRecord({1, 1, 3, 2})},
        {"other command", 0, 0x21, withRecord({1, 1, 3})},
        {"unknown command", 0, 0x77, withRecord({1, 1, 3})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MuxChannelLogic logic(c.pageParam);
        logic.BuildLayout(true);
        const PageStep asked = logic.RefreshOut();
        ASSERT_TRUE(asked.HasRequest());
        const PageStep s = Feed(logic, c.command, c.payload);
        EXPECT_FALSE(s.HasRequest());
        EXPECT_EQ(s.wait, PageStep::Wait::kNone);
        EXPECT_TRUE(logic.Waiting());  // the wait runs on and ends as a time-out
        EXPECT_EQ(logic.Channel(1)->programCount, 0);
        EXPECT_TRUE(ChildTexts(logic.OutputTree().Node(0, 0)).empty());
    }
}

TEST(MuxChannelReplies, RecordCutShortIsNotStoredButTheChainGoesOn) {
    for (int cut : {1, 2, 3, 263}) {
        SCOPED_TRACE(cut);
        MuxChannelLogic logic(0);
        logic.BuildLayout(true);
        logic.RefreshOut();
        Bytes p = {1, 1, 2};
        const Bytes rec = MakeRecord(263, "X", true);
        p.insert(p.end(), rec.begin(), rec.end() - cut);
        const PageStep s = Feed(logic, 0x22, p);
        EXPECT_EQ(s.payload, (Bytes{1, 2}));
        EXPECT_EQ(logic.Channel(1)->Program(1)->InOutput(), 0);
        EXPECT_TRUE(ChildTexts(logic.OutputTree().Node(0, 0)).empty());
    }
}

TEST(MuxChannelReplies, EveryRecordNeedsTheWholeRecordInThePayload) {
    struct Case {
        int pageParam;
        uint8_t command;
        Bytes head;  // what precedes the record
        int size;
    };
    const Case cases[] = {
        {0, 0x21, {1, 1, 1}, 263},    {86, 0x21, {1, 1, 1}, 379}, {0, 0x22, {1, 1, 1}, 263},
        {1, 0x22, {1, 1, 1, 1}, 263}, {0, 0x25, {1, 1}, 263},     {1, 0x25, {1, 1, 1}, 263},
    };
    for (const auto& c : cases) {
        for (int cut : {0, 1}) {
            SCOPED_TRACE(std::to_string(c.pageParam) + "/" + std::to_string(c.command) + "/" +
                         std::to_string(cut));
            MuxChannelLogic logic(c.pageParam);
            logic.BuildLayout(true);
            FakeMux mux;
            mux.pageParam = c.pageParam;
            mux.programs[1] = {MakeRecord(c.size, "R", true)};
            if (c.command == 0x21) {
                Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 1), true), 2);
            } else if (c.command == 0x22) {
                logic.RefreshOut();
            } else {
                Drive(logic, mux, logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 1), true));
                logic.Select(ProgramNode(logic.InputTree(), 0, 1, 1), 1);
            }
            ASSERT_TRUE(logic.Waiting());
            Bytes payload = c.head;
            const Bytes rec = MakeRecord(c.size, "R", true);
            payload.insert(payload.end(), rec.begin(), rec.end() - cut);
            Feed(logic, c.command, payload);
            // The input read stored the record already before a select: there the new node tells.
            const bool stored = c.command == 0x25 ? !logic.OutputTree().Node(0, 0)->children.empty()
                                : c.pageParam == 86
                                    ? logic.TranscodeChannel(1)->Program(1)->InputName() == "R"
                                    : logic.Channel(1)->Program(1)->InputName() == "R";
            EXPECT_EQ(stored, cut == 0);
        }
    }
}

TEST(MuxChannelReplies, CountsBeyondTheTableStopAtItsEnd) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    logic.RefreshOut();
    int asked = 0;
    PageStep s;
    for (int idx = 1; idx <= 128; ++idx) {
        s = Feed(logic, 0x22, {1, static_cast<uint8_t>(idx), 255});
        ++asked;
        if (s.payload != Bytes{1, static_cast<uint8_t>(idx + 1)})
            break;
    }
    EXPECT_EQ(asked, 128);
    EXPECT_EQ(s.payload, (Bytes{2, 1}));  // on to channel 2 after program 128
    // An analyse reply without its count byte changes nothing.
    MuxChannelLogic other(0);
    other.BuildLayout(true);
    other.InputAnalyze(ChannelNode(other.InputTree(), 0, 1), true);
    EXPECT_FALSE(Feed(other, 0x20, {1}).HasRequest());
    EXPECT_TRUE(other.Waiting());
}

TEST(MuxChannelReplies, CaInfoTooShortForItsCountIsIgnored) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    logic.InputAnalyze(ChannelNode(logic.InputTree(), 0, 1), true);
    ASSERT_EQ(Feed(logic, 0x20, {1, 2}).command, 0x24);
    // Two entries need 10 bytes: the list is neither stored nor shown, but the program read follows.
    const PageStep s = Feed(logic, 0x24, {1, 2, 0, 1, 0, 2, 0, 3});
    EXPECT_EQ(s.command, 0x21);
    EXPECT_EQ(s.payload, (Bytes{1, 1}));
    EXPECT_TRUE(ChildTexts(logic.InputTree().Node(0, 0)).empty());
    EXPECT_EQ(logic.Channel(1)->CaSystemId(0), 0);
    // CA count 5 is out of range: no CA node, the read goes on.
    MuxChannelLogic other(0);
    other.BuildLayout(true);
    other.InputAnalyze(ChannelNode(other.InputTree(), 0, 1), true);
    ASSERT_EQ(Feed(other, 0x20, {1, 2}).command, 0x24);
    EXPECT_EQ(Feed(other, 0x24, {1, 5}).payload, (Bytes{1, 1}));
    EXPECT_TRUE(ChildTexts(other.InputTree().Node(0, 0)).empty());
}

TEST(MuxChannelReplies, LateAndDuplicatedReplies) {
    MuxChannelLogic logic(0);
    logic.BuildLayout(true);
    FakeMux mux;
    mux.programs[1] = {MakeRecord(263, "A", true), MakeRecord(263, "B", true)};
    logic.RefreshOut();
    const Bytes first = mux.Answer(0x22, {1, 1});
    ASSERT_TRUE(Feed(logic, 0x22, first).HasRequest());
    // The same reply again: the chain asked for program 2 meanwhile.
    EXPECT_FALSE(Feed(logic, 0x22, first).HasRequest());
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 A"}));
    // Time-out; the answer for program 2 arrives late: its record is shown, but the chain does not go on
    // to channel 2 and no wait changes.
    logic.TimedOut();
    const PageStep late = Feed(logic, 0x22, mux.Answer(0x22, {1, 2}));
    EXPECT_FALSE(late.HasRequest());
    EXPECT_EQ(late.wait, PageStep::Wait::kNone);
    EXPECT_FALSE(late.sendVersion);
    EXPECT_FALSE(logic.Waiting());
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 A", "2 B"}));
    EXPECT_EQ(logic.Channel(1)->Program(2)->InOutput(), 1);
    // Used once; a reply the page never asked for stays ignored.
    Feed(logic, 0x22, mux.Answer(0x22, {1, 2}));
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)).size(), 2u);
    logic.WaitEnded();  // a refused send leaves nothing to arrive late
    EXPECT_FALSE(Feed(logic, 0x22, mux.Answer(0x22, {1, 1})).HasRequest());
}

// ---- Select, remove ----

struct Routed : ::testing::Test {
    void SetUpPage(int pageParam) {
        logic = std::make_unique<MuxChannelLogic>(pageParam);
        logic->BuildLayout(true);
        mux.pageParam = pageParam;
        const int size = pageParam == 86 ? 379 : 263;
        mux.programs[2] = {MakeRecord(size, "P1", false), MakeRecord(size, "P2", false)};
        Drive(*logic, mux, logic->InputAnalyze(ChannelNode(logic->InputTree(), 0, 2), true));
    }
    std::unique_ptr<MuxChannelLogic> logic;
    FakeMux mux;
};

TEST_F(Routed, SelectAddsTheProgramAndRefusesItTwice) {
    SetUpPage(0);
    const Driven d = Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 2), 1));
    EXPECT_EQ(d.commands, (std::vector<int>{0x25}));
    EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(ChildTexts(logic->OutputTree().Node(0, 1)), (std::vector<std::string>{"2 P2"}));
    EXPECT_EQ(logic->Channel(2)->Program(2)->InOutput(), 1);
    const PageStep again = logic->Select(ProgramNode(logic->InputTree(), 0, 2, 2), 1);
    EXPECT_FALSE(again.HasRequest());
    EXPECT_EQ(FirstMessage(again), "The program has already been selected!");
    // Not a program node: nothing happens.
    EXPECT_FALSE(logic->Select(ChannelNode(logic->InputTree(), 0, 2), 1).HasRequest());
    EXPECT_TRUE(logic->Select(ChannelNode(logic->InputTree(), 0, 2), 1).messages.empty());
}

TEST_F(Routed, TwoOutputsRefuseAProgramThatTheOtherOutputShows) {
    SetUpPage(1);
    const Driven d = Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 2));
    EXPECT_EQ(d.payloads[0], (Bytes{2, 1, 2}));
    EXPECT_EQ(ChildTexts(logic->OutputTree().Node(1, 1)), (std::vector<std::string>{"1 P1"}));
    EXPECT_TRUE(ChildTexts(logic->OutputTree().Node(0, 1)).empty());
    EXPECT_EQ(FirstMessage(logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1)),
              "The program has already been selected!");
    // Remove from output B sends pass 2 and deletes the node there.
    const Driven r = Drive(*logic, mux, logic->Remove(ProgramNode(logic->OutputTree(), 1, 2, 1)));
    EXPECT_EQ(r.payloads[0], (Bytes{2, 1, 2}));
    EXPECT_TRUE(ChildTexts(logic->OutputTree().Node(1, 1)).empty());
}

TEST_F(Routed, RemoveClearsTheFlagAndTheNode) {
    SetUpPage(0);
    Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1));
    const Driven d = Drive(*logic, mux, logic->Remove(ProgramNode(logic->OutputTree(), 0, 2, 1)));
    EXPECT_EQ(d.payloads[0], (Bytes{2, 1}));
    EXPECT_TRUE(ChildTexts(logic->OutputTree().Node(0, 1)).empty());
    EXPECT_EQ(logic->Channel(2)->Program(1)->InOutput(), 0);
    // Remove needs a program node.
    EXPECT_FALSE(logic->Remove(ChannelNode(logic->OutputTree(), 0, 2)).HasRequest());
}

TEST_F(Routed, TranscoderSelectNeedsTheWholeRecord) {
    SetUpPage(86);
    PageStep s = logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1);
    ASSERT_EQ(s.payload, (Bytes{2, 1}));
    Bytes reply = {2, 1};
    Bytes rec = MakeRecord(379, "P1", false);
    reply.insert(reply.end(), rec.begin(), rec.end() - 1);  // 380 bytes
    s = Feed(*logic, 0x25, reply);
    EXPECT_EQ(FirstMessage(s), "Eorror:quantity of programs should <= 8");
    EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(ChildTexts(logic->OutputTree().Node(0, 1)).empty());
    const Driven d = Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1));
    EXPECT_TRUE(d.messages.empty());
    EXPECT_EQ(ChildTexts(logic->OutputTree().Node(0, 1)), (std::vector<std::string>{"1 P1"}));
    EXPECT_EQ(logic->TranscodeChannel(2)->Program(1)->InOutput(), 1);
}

// ---- Edit ----

TEST_F(Routed, EditFillsTheDialogAndSendsTheRecord) {
    SetUpPage(0);
    mux.b = 2;  // IP output present
    mux.c = 2;
    Bytes& p1 = mux.programs[2][0];
    p1[238] = 2;  // two CA entries
    ByteWriter(p1).U16LE(239, 0x0B00);
    ByteWriter(p1).U16LE(241, 0x0604);
    ByteWriter(p1).U16LE(255, 0x300);
    ByteWriter(p1).U16LE(257, 0x301);
    p1[0] = 1;  // the device reports it routed from now on
    Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1));
    Drive(*logic, mux, logic->RefreshOut());
    ASSERT_TRUE(logic->IpOutputFlag());

    EditProgramFields f;
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
    EXPECT_EQ(f.name, "P1");
    EXPECT_EQ(f.serviceId, "1");
    EXPECT_EQ(f.pmtPid, "100");
    EXPECT_EQ(f.caSystemIds[0], 0x0B00);
    EXPECT_EQ(f.caSystemIds[1], 0x0604);
    EXPECT_EQ(f.caSystemIds[2], 0);
    EXPECT_EQ(f.ecmPids[1], 0x301);
    EXPECT_EQ(f.elementPids[0], 0x200);
    EXPECT_EQ(f.elementPids[1], kNoElement);
    EXPECT_EQ(f.elementLabels[0], "02 MPEG-2 Video");
    EXPECT_EQ(f.ipOutputFlag, 1);
    EXPECT_EQ(f.ipOutputMode, 2);

    f.name = "New";
    f.serviceId = "300";
    f.pmtPid = "1ff";
    f.pcrPid = "1fe";
    f.ecmPids[1] = 0x333;
    f.elementPids[0] = 0x444;
    f.ipOutputIndex = 5;
    const PageStep s = logic->CommitEdit(f);
    ASSERT_EQ(s.command, 0x23);
    ASSERT_EQ(s.payload.size(), 265u);
    Bytes want = {2, 1};
    ProgramRecord r;
    std::copy(p1.begin(), p1.end(), r.bytes.begin());
    r.SetInOutput(1);
    r.SetOutputName("New");
    r.SetOutputServiceId(300);
    r.SetOutputPmtPid(0x1FF);
    r.SetOutputPcrPid(0x1FE);
    r.SetOutputEcmPid(1, 0x333);
    r.SetElementOutputPid(0, 0x444);
    r.SetIpOutputIndex(5);
    want.insert(want.end(), r.bytes.begin(), r.bytes.end());
    EXPECT_EQ(s.payload, want);
    // The table keeps the old record until the device confirms.
    EXPECT_EQ(logic->Channel(2)->Program(1)->OutputServiceId(), 1);
    Feed(*logic, 0x23, {2, 1});
    EXPECT_EQ(logic->Channel(2)->Program(1)->OutputServiceId(), 300);
    const auto* node = logic->OutputTree().Node(0, 1, 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->text, "1 New");
    EXPECT_EQ(ChildTexts(node), (std::vector<std::string>{"Service ID:300", "PMT PID:0x1ff", "PCR PID:0x1fe",
                                                          "Mpeg2 Video", "CA 0", "CA 1"}));
}

TEST_F(Routed, TwoOutputModifyCarriesThePass) {
    SetUpPage(1);
    Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 2), 2));
    EditProgramFields f;
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 1, 2, 2), &f));
    const PageStep s = logic->CommitEdit(f);
    ASSERT_EQ(s.payload.size(), 266u);
    EXPECT_EQ(s.payload[0], 2);
    EXPECT_EQ(s.payload[1], 2);
    EXPECT_EQ(s.payload[2], 2);
    // An untouched edit sends the record as read, names terminated.
    ProgramRecord r = *logic->Channel(2)->Program(2);
    r.SetOutputName("P2");  // the dialog hands back the shown name as the output name
    EXPECT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), s.payload.begin() + 3));
}

TEST_F(Routed, ModifySendsOutputPidZeroForUnusedElementSlots) {
    SetUpPage(0);
    Bytes& p1 = mux.programs[2][0];
    p1 = MakeRecord(263, "P1", true, 2);
    for (int i = 2; i < 32; ++i)
        ByteWriter(p1).U16LE(81 + 5 * i, static_cast<uint16_t>(0x1000 + i));  // left over in unused slots
    p1[233] = 3;                                                              // IP output index
    Drive(*logic, mux, logic->RefreshOut());
    EditProgramFields f;
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
    const PageStep s = logic->CommitEdit(f);
    ASSERT_EQ(s.payload.size(), 265u);
    const uint8_t* sent = s.payload.data() + 2;
    EXPECT_EQ(ByteReader(sent, 263).U16LEOr(81), 0x200);
    EXPECT_EQ(ByteReader(sent, 263).U16LEOr(86), 0x201);
    for (int i = 2; i < 32; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ByteReader(sent, 263).U16LEOr(81 + 5 * i), 0);
        EXPECT_EQ(sent[78 + 5 * i], p1[78 + 5 * i]);  // stream type and input PID travel as read
        EXPECT_EQ(ByteReader(sent, 263).U16LEOr(79 + 5 * i), ByteReader(p1).U16LEOr(79 + 5 * i));
    }
    EXPECT_EQ(sent[233], 3);
}

// An untouched edit sends back what the dialog could not show: output ECM PIDs of a record whose CA count
// is beyond the four entries, and element output PIDs the dialog holds as "no element" (0xFFFF).
TEST_F(Routed, UntouchedEditKeepsValuesTheDialogDidNotShow) {
    struct Case {
        const char* name;
        uint8_t caCount;
        uint16_t element2Pid;
    };
    const Case cases[] = {
        {"CA count 5", 5, 0x201},
        {"CA count 255", 255, 0x201},
        {"element PID FFFF", 2, 0xFFFF},
        {"element PID 8000", 0, 0x8000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUpPage(0);
        Bytes& p1 = mux.programs[2][0];
        p1 = MakeRecord(263, "P1", true, 3);
        p1[238] = c.caCount;
        for (int k = 0; k < 4; ++k) {
            ByteWriter(p1).U16LE(239 + 2 * k, static_cast<uint16_t>(0x0B00 + k));
            ByteWriter(p1).U16LE(255 + 2 * k, static_cast<uint16_t>(0x700 + k));
        }
        ByteWriter(p1).U16LE(81 + 5 * 1, c.element2Pid);
        Drive(*logic, mux, logic->RefreshOut());
        EditProgramFields f;
        ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
        const PageStep s = logic->CommitEdit(f);
        ASSERT_EQ(s.payload.size(), 265u);
        const ByteReader sent(s.payload.data() + 2, 263);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(sent.U16LEOr(255 + 2 * k), 0x700 + k) << "ECM PID " << k;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(sent.U16LEOr(81 + 5 * i), i == 1 ? c.element2Pid : 0x200 + i) << "element " << i;
    }
}

TEST_F(Routed, IpIndexConflictIsRefusedWhenTheIpOutputIsPresent) {
    SetUpPage(0);
    mux.b = 2;
    mux.programs[2][0][233] = 7;  // program 1 already uses IP output 7
    mux.programs[2][0][0] = 1;
    mux.programs[2][1][0] = 1;
    Drive(*logic, mux, logic->RefreshOut());
    EditProgramFields f;
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 2), &f));
    f.ipOutputIndex = 7;
    PageStep s = logic->CommitEdit(f);
    EXPECT_FALSE(s.HasRequest());
    EXPECT_EQ(FirstMessage(s), "Fail:IP-Index conflict with channel(2) program(1)");
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 2), &f));
    f.ipOutputIndex = 0;  // "Disable" never conflicts
    EXPECT_TRUE(logic->CommitEdit(f).HasRequest());
}

TEST_F(Routed, ThirtyTwoElementsHideTheIpIndexAndSkipTheScan) {
    SetUpPage(0);
    mux.b = 2;
    mux.programs[2][0] = MakeRecord(263, "Big", true, 32);
    mux.programs[2][1][0] = 1;
    mux.programs[2][1][233] = 0x02;  // program 2 holds IP index 2
    Drive(*logic, mux, logic->RefreshOut());
    EditProgramFields f;
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
    EXPECT_EQ(f.ipOutputFlag, 0);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(f.elementPids[i], 0x200 + i);
    // Slot 31's stream_type (0x02) reads as IP index 2, yet no conflict is reported and it is kept.
    const PageStep s = logic->CommitEdit(f);
    ASSERT_TRUE(s.HasRequest());
    EXPECT_EQ(s.payload[2 + 233], 0x02);
    // The tree shows no element nodes for 32 elements.
    EXPECT_EQ(logic->OutputTree().Node(0, 1, 0)->children.size(), 3u);
}

TEST_F(Routed, LateModifyReplyAppliesTheEditItAcknowledges) {
    SetUpPage(0);
    Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1));
    EditProgramFields f;
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
    f.serviceId = "999";
    ASSERT_TRUE(logic->CommitEdit(f).HasRequest());
    logic->TimedOut();
    // The operator opens the dialog again and cancels it: the late reply still applies the edit it answers.
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
    const PageStep late = Feed(*logic, 0x23, {2, 1});
    EXPECT_FALSE(late.HasRequest());
    EXPECT_EQ(late.wait, PageStep::Wait::kNone);
    EXPECT_EQ(logic->Channel(2)->Program(1)->OutputServiceId(), 999);
    EXPECT_EQ(logic->OutputTree().Node(0, 1, 0)->children[0].text, "Service ID:999");
    // A modify reply for another slot than the one edited is ignored.
    ASSERT_TRUE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &f));
    f.serviceId = "7";
    logic->CommitEdit(f);
    EXPECT_FALSE(Feed(*logic, 0x23, {2, 2}).HasRequest());
    EXPECT_EQ(logic->Channel(2)->Program(2)->OutputServiceId(), 1);
    EXPECT_EQ(logic->Channel(2)->Program(1)->OutputServiceId(), 999);
}

TEST_F(Routed, LateSelectAndRemoveRepliesShowWhatTheDeviceDid) {
    for (int pageParam : {0, 1}) {
        SCOPED_TRACE(pageParam);
        SetUpPage(pageParam);
        // Select times out; the device routed the program all the same.
        const PageStep asked = logic->Select(ProgramNode(logic->InputTree(), 0, 2, 2), 1);
        ASSERT_TRUE(asked.HasRequest());
        logic->TimedOut();
        // Meanwhile the operator refreshes the outputs; the late select reply arrives inside that chain.
        const PageStep refresh = logic->RefreshOut();
        ASSERT_TRUE(refresh.HasRequest());
        const PageStep late = Feed(*logic, 0x25, mux.Answer(0x25, asked.payload));
        EXPECT_FALSE(late.HasRequest());
        EXPECT_EQ(late.wait, PageStep::Wait::kNone);
        EXPECT_TRUE(logic->Waiting());  // the refresh still waits for its own reply
        EXPECT_EQ(ChildTexts(logic->OutputTree().Node(0, 1)), (std::vector<std::string>{"2 P2"}));
        // The refresh chain goes on from where it stood.
        mux.programs[2][1][0] = 1;
        const Driven d = Drive(*logic, mux, refresh);
        EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(logic->Waiting());
        ASSERT_EQ(ChildTexts(logic->OutputTree().Node(0, 1)), (std::vector<std::string>{"2 P2"}));

        // Remove times out; the late reply takes the node away once.
        const PageStep remove = logic->Remove(ProgramNode(logic->OutputTree(), 0, 2, 2));
        ASSERT_TRUE(remove.HasRequest());
        logic->TimedOut();
        const PageStep gone = Feed(*logic, 0x26, mux.Answer(0x26, remove.payload));
        EXPECT_FALSE(gone.HasRequest());
        EXPECT_EQ(gone.wait, PageStep::Wait::kNone);
        EXPECT_TRUE(ChildTexts(logic->OutputTree().Node(0, 1)).empty());
        EXPECT_EQ(logic->Channel(2)->Program(2)->InOutput(), 0);
    }
}

TEST_F(Routed, TranscodeEditSends381Bytes) {
    SetUpPage(86);
    Drive(*logic, mux, logic->Select(ProgramNode(logic->InputTree(), 0, 2, 1), 1));
    TranscodeProgramRecord t;
    EXPECT_FALSE(logic->BeginEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), nullptr));
    ASSERT_TRUE(logic->BeginTranscodeEdit(ProgramNode(logic->OutputTree(), 0, 2, 1), &t));
    t.SetVideoBitrate(4000);
    t.SetOutputName("HD1");
    const PageStep s = logic->CommitTranscodeEdit(t);
    ASSERT_EQ(s.payload.size(), 381u);
    EXPECT_EQ(s.payload[0], 2);
    EXPECT_EQ(s.payload[1], 1);
    EXPECT_TRUE(std::equal(t.bytes.begin(), t.bytes.end(), s.payload.begin() + 2));
    Feed(*logic, 0x23, {2, 1});
    EXPECT_EQ(logic->OutputTree().Node(0, 1, 0)->text, "1 HD1");
}

}  // namespace mux_channel_logic_test
}  // namespace nms

namespace nms {
namespace mux_channel_logic_test {

TEST(EditProgramFieldChecks, NumbersThatDoNotFitAreRefused) {
    struct Case {
        const char* text;
        bool hex;
        uint32_t max;
        bool ok;
        uint32_t value;
        const char* message;
    };
    const Case cases[] = {
        {"65535", false, 0xFFFF, true, 65535, ""},
        {"65536", false, 0xFFFF, false, 0, "Please enter an integer between 0 and 65535."},
        {"99999999999999999999", false, 0xFFFF, false, 0, "Please enter an integer between 0 and 65535."},
        {"", false, 0xFFFF, false, 0, "Please enter an integer."},
        {"-1", false, 0xFFFF, false, 0, "Please enter an integer."},
        {"12a", false, 0xFFFF, false, 0, "Please enter an integer."},
        {"1fFf", true, 0xFFFF, true, 0x1FFF, ""},
        {"10000", true, 0xFFFF, false, 0, "Please enter an integer between 0 and FFFF."},
        {"0x10", true, 0xFFFF, false, 0, "Please enter an integer between 0 and FFFF."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        uint32_t v = 0;
        std::string msg;
        const bool ok =
            c.hex ? ParseHexField(c.text, c.max, &v, &msg) : ParseDecimalField(c.text, c.max, &v, &msg);
        EXPECT_EQ(ok, c.ok);
        if (ok)
            EXPECT_EQ(v, c.value);
        else
            EXPECT_EQ(msg, c.message);
    }
}

}  // namespace mux_channel_logic_test
}  // namespace nms
