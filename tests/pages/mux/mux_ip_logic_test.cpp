#include "pages/mux/mux_ip_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_mux_ip.h"
#include "reply_packet.h"

namespace nms {
namespace mux_ip_logic_test {

// The first box a step shows, empty when none.
std::string FirstMessage(const PageStep& step) {
    return step.messages.empty() ? std::string() : step.messages.front();
}

using Bytes = std::vector<uint8_t>;

struct Driven {
    std::vector<Bytes> requests;  // command byte first, then the payload
    std::vector<std::string> messages;
    PageStep last;
};

// Runs one operator step and answers every request until the chain stops asking.
Driven Drive(MuxIpLogic& logic, FakeMuxIp& mux, PageStep step) {
    Driven d;
    for (int i = 0; i < 20000; ++i) {
        d.messages.insert(d.messages.end(), step.messages.begin(), step.messages.end());
        d.last = step;
        if (!step.HasRequest())
            break;
        Bytes req = {static_cast<uint8_t>(step.command)};
        req.insert(req.end(), step.payload.begin(), step.payload.end());
        d.requests.push_back(req);
        const Bytes answer = mux.Answer(step.command, step.payload);
        step = logic.HandleReply(ReplyPacket(static_cast<uint8_t>(step.command), answer, mux.b).View());
    }
    return d;
}

PageStep Feed(MuxIpLogic& logic, uint8_t cmd, const Bytes& payload, uint8_t b = 1) {
    return logic.HandleReply(ReplyPacket(cmd, payload, b).View());
}

std::vector<std::string> ChildTexts(const ProgramTreeNode* n) {
    std::vector<std::string> out;
    if (n)
        for (const auto& c : n->children)
            out.push_back(c.text);
    return out;
}

TreePath ChannelPath(int root, int pos) {
    return {1, root, pos, -1};
}
TreePath ProgramPath(const ProgramTree& t, int root, int pos, int index) {
    return {2, root, pos, t.FindChild(root, pos, index)};
}

TEST(MuxIpLogic, LayoutsByVariantAndDeviceType) {
    struct Case {
        int param;
        uint16_t type;
        std::vector<std::string> inputs;  // first, ninth (if any) and last input node
        int inputCount;
        std::vector<std::string> roots;
        std::vector<bool> buttons;
        std::string first;
        bool combo;
    };
    const std::vector<Case> cases = {
        {0,
         0x2101,
         {"Channel 1", "Channel 8"},
         8,
         {"Output Channel A", "Output Channel B", "Output Channel C", "Output Channel D"},
         {1, 1, 1, 1},
         "Out A",
         true},
        {18,
         0x2101,
         {"Channel 1", "Channel 8"},
         8,
         {"Output Channel A", "Output Channel B", "Output Channel C", "Output Channel D"},
         {1, 1, 1, 1},
         "Out A",
         false},
        {19, 0x2101, {"Channel 1", "Channel 8"}, 8, {"Output-program"}, {1, 0, 0, 0}, "Select", false},
        {35,
         0x4187,
         {"Channel 1", "ASI In", "IP In8"},
         17,
         {"Output Channel A", "Output Channel B", "Output Channel C", "Output Channel D"},
         {1, 1, 1, 1},
         "Out A",
         false},
        {38,
         0x2101,
         {"Channel 1", "Channel 9", "Channel 12"},
         12,
         {"Output Channel A", "Output Channel B", "Output Channel C", "Output Channel D"},
         {1, 1, 1, 0},
         "Out A",
         false},
        {39,
         0x2101,
         {"Channel 1", "Channel 9", "Channel 16"},
         16,
         {"Output Channel A", "Output Channel B"},
         {1, 1, 0, 0},
         "Out A",
         false},
        {39,
         0x2125,
         {"Channel 1", "Channel 9", "Channel 16"},
         16,
         {"Output Channel A", "Output Channel B", "Output Channel C", "Output Channel D"},
         {1, 1, 1, 1},
         "Out A",
         false},
        {98, 0x2101, {"Channel 1", "Channel 5"}, 5, {"Output Channel A"}, {1, 0, 0, 0}, "Select", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.param);
        MuxIpLogic logic(c.param, c.type);
        logic.Initialise();
        const auto& in = logic.InputTree().Roots();
        ASSERT_EQ(in.size(), 1u);
        EXPECT_EQ(in[0].text, "Input-program");
        ASSERT_EQ(static_cast<int>(in[0].children.size()), c.inputCount);
        EXPECT_EQ(in[0].children.front().text, c.inputs.front());
        EXPECT_EQ(in[0].children.back().text, c.inputs.back());
        if (c.inputs.size() == 3) {
            EXPECT_EQ(in[0].children[8].text, c.inputs[1]);
        }
        EXPECT_EQ(in[0].children.back().data, c.inputCount - 1);
        std::vector<std::string> roots;
        for (const auto& r : logic.OutputTree().Roots()) {
            roots.push_back(r.text);
            EXPECT_EQ(static_cast<int>(r.children.size()), c.inputCount);
            EXPECT_EQ(r.children.back().text, c.inputs.back());
        }
        EXPECT_EQ(roots, c.roots);
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(logic.OutButtonShown(n), c.buttons[n]) << n;
        EXPECT_EQ(logic.FirstRouteText(), c.first);
        EXPECT_EQ(logic.GroupComboShown(), c.combo);
    }
}

TEST(MuxIpLogic, GroupRefreshReadsFromTheGroupToTheLastChannelAndShowsOnlyTheGroup) {
    FakeMuxIp mux;
    mux.channels[18] = {FakeMuxIp::Program("Alpha", 100, 0x01), FakeMuxIp::Program("Beta", 101)};
    mux.channels[40] = {FakeMuxIp::Program("Far", 7, 0x01)};
    MuxIpLogic logic(0, 0x2101);
    logic.Initialise();
    logic.SetGroup(2);  // "17-24"
    Driven d = Drive(logic, mux, logic.Refresh());

    ASSERT_GE(d.requests.size(), 2u);
    EXPECT_EQ(d.requests[0], (Bytes{0x24, 0}));
    EXPECT_EQ(d.requests[1], (Bytes{0x21, 16, 0, 0}));
    EXPECT_EQ(d.requests.back()[1], 63);  // read up to the last channel
    EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
    EXPECT_FALSE(logic.Waiting());
    EXPECT_EQ(logic.ProgramCount(40), 1);

    // The third node stands for wire channel 18 and is labelled from 1.
    const ProgramTreeNode* third = logic.InputTree().Node(0, 2);
    EXPECT_EQ(third->text, "Channel 19");
    EXPECT_EQ(logic.WireChannel(third->data), 18);
    EXPECT_EQ(ChildTexts(third), (std::vector<std::string>{"1 Alpha", "2 Beta"}));
    EXPECT_EQ(logic.OutputTree().Node(1, 2)->text, "Channel 19");
    // Only the group's routed program reaches the output tree.
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 2)), (std::vector<std::string>{"1 Alpha"}));
    for (int pos = 0; pos < 8; ++pos) {
        if (pos != 2) {
            EXPECT_TRUE(logic.OutputTree().Node(0, pos)->children.empty()) << pos;
        }
    }
}

TEST(MuxIpLogic, RefreshRelabelsAsiAndIpInputsAsChannels) {
    MuxIpLogic logic(35, 0x4187);
    logic.Initialise();
    logic.Refresh();
    const auto& inputs = logic.InputTree().Roots()[0].children;
    EXPECT_EQ(inputs[8].text, "Channel 9");
    EXPECT_EQ(inputs[16].text, "Channel 17");
    EXPECT_EQ(logic.OutputTree().Roots()[3].children[9].text, "Channel 10");
}

TEST(MuxIpLogic, DirectLayoutsReadAsManyChannelsAsTheDeviceSays) {
    for (uint8_t b : {uint8_t{12}, uint8_t{16}, uint8_t{17}, uint8_t{9}}) {
        FakeMuxIp mux;
        mux.b = b;
        MuxIpLogic logic(39, 0x2101);
        logic.Initialise();
        Driven d = Drive(logic, mux, logic.Refresh());
        EXPECT_EQ(d.requests.back()[1], b == 9 ? 6 : b - 1) << int(b);
    }
}

TEST(MuxIpLogic, ProgramRoutedToSeveralOutputsShowsUnderTheLowestOne) {
    FakeMuxIp mux;
    mux.channels[0] = {FakeMuxIp::Program("Multi", 5, 0x0A)};
    mux.settings.SetCaSystemId(0, 0x4AE1);
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();
    Drive(logic, mux, logic.Refresh());
    EXPECT_TRUE(logic.OutputTree().Node(0, 0)->children.empty());
    EXPECT_TRUE(logic.OutputTree().Node(3, 0)->children.empty());
    const ProgramTreeNode* p = logic.OutputTree().Node(1, 0, 0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->text, "1 Multi");  // the input name stands in for an empty output name
    EXPECT_EQ(ChildTexts(p), (std::vector<std::string>{"Service ID:5", "PMT PID:0x100", "PCR PID:0x101",
                                                       "Mpeg2 Video", "CA"}));
    const ProgramTreeNode& ca1 = p->children.back().children[0];
    EXPECT_EQ(ca1.text, "CA 1");
    EXPECT_EQ(ChildTexts(&ca1), (std::vector<std::string>{"CA system id: 0X4AE1", "ECM PID: 0x0"}));
}

TEST(MuxIpLogic, AnalyseReportsMissingStreamsAndReadsPresentOnes) {
    FakeMuxIp mux;
    mux.states[1] = 0;
    mux.states[2] = 255;
    mux.channels[3] = {FakeMuxIp::Program("Prog", 1), FakeMuxIp::Program("Other", 2)};
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();

    EXPECT_EQ(FirstMessage(logic.InputAnalyze({0, 0, -1, -1})), "Please select Input Channel!");
    EXPECT_EQ(Drive(logic, mux, logic.InputAnalyze(ChannelPath(0, 1))).messages,
              (std::vector<std::string>{"Channel 2: there is no stream!"}));
    EXPECT_EQ(Drive(logic, mux, logic.InputAnalyze(ChannelPath(0, 2))).messages,
              (std::vector<std::string>{"Channel 3: Un-Lock!"}));

    Driven d = Drive(logic, mux, logic.InputAnalyze(ChannelPath(0, 3)));
    EXPECT_EQ(d.requests, (std::vector<Bytes>{{0x20, 3, 0, 1}, {0x21, 3, 0, 0}, {0x21, 3, 1, 0}}));
    EXPECT_EQ(d.last.wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(logic.Analysed(3));
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 3)), (std::vector<std::string>{"1 Prog", "2 Other"}));
}

TEST(MuxIpLogic, UnexpectedShortAndLateRepliesChangeNothing) {
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();
    const MultiOutputProgramRecord rec = FakeMuxIp::Program("X", 1);
    Bytes full = {2, 0, 1};
    full.insert(full.end(), rec.bytes.begin(), rec.bytes.end());

    // Nothing asked: a reply is ignored.
    EXPECT_FALSE(Feed(logic, 0x21, full).HasRequest());
    EXPECT_EQ(logic.ProgramCount(2), 0);

    ASSERT_TRUE(logic.InputAnalyze(ChannelPath(0, 2)).HasRequest());
    EXPECT_FALSE(Feed(logic, 0x20, {5, 0, 0, 1}).HasRequest());  // another channel
    EXPECT_FALSE(Feed(logic, 0x20, {2, 0, 0}).HasRequest());     // no state byte
    ASSERT_TRUE(Feed(logic, 0x20, {2, 0, 0, 1}).HasRequest());
    // A record cut short: nothing stored, nothing asked, the index stays.
    Bytes cut(full.begin(), full.begin() + 285);
    EXPECT_EQ(Feed(logic, 0x21, cut).wait, PageStep::Wait::kNone);
    EXPECT_FALSE(Feed(logic, 0x21, {2, 1, 1}).HasRequest());  // another index
    EXPECT_EQ(Feed(logic, 0x21, full).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(ChildTexts(logic.InputTree().Node(0, 2)), (std::vector<std::string>{"1 X"}));

    // The wait ran out: the answer that comes after it is not used.
    ASSERT_TRUE(logic.InputAnalyze(ChannelPath(0, 4)).HasRequest());
    logic.WaitEnded();
    EXPECT_FALSE(Feed(logic, 0x20, {4, 0, 0, 1}).HasRequest());
    EXPECT_FALSE(logic.Analysed(4));
}

TEST(MuxIpLogic, ProgramCountsAboveTheTableAreCutTo69) {
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();
    ASSERT_TRUE(logic.InputAnalyze(ChannelPath(0, 0)).HasRequest());
    PageStep step = Feed(logic, 0x20, {0, 0, 0, 1});
    const MultiOutputProgramRecord rec = FakeMuxIp::Program("P", 1);
    int asked = 0;
    while (step.HasRequest() && asked < 200) {
        ++asked;
        Bytes reply = {0, step.payload[1], 120};
        reply.insert(reply.end(), rec.bytes.begin(), rec.bytes.end());
        step = Feed(logic, 0x21, reply);
    }
    EXPECT_EQ(asked, 69);
    EXPECT_EQ(logic.ProgramCount(0), 69);
    EXPECT_EQ(logic.InputTree().Node(0, 0)->children.size(), 69u);
}

TEST(MuxIpLogic, RouteRemoveAndDuplicateCheck) {
    FakeMuxIp mux;
    mux.channels[1] = {FakeMuxIp::Program("One", 1), FakeMuxIp::Program("Two", 2)};
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();
    Drive(logic, mux, logic.Refresh());  // full read: channel 1 is not marked analysed
    const TreePath two = ProgramPath(logic.InputTree(), 0, 1, 1);

    Driven d = Drive(logic, mux, logic.Route(two, 2));
    EXPECT_EQ(d.requests, (std::vector<Bytes>{{0x22, 1, 1, 4, 1}}));
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(2, 1)), (std::vector<std::string>{"2 Two"}));
    EXPECT_EQ(FirstMessage(logic.Route(two, 0)), "The program has already been selected!");

    d = Drive(logic, mux, logic.Remove(ProgramPath(logic.OutputTree(), 2, 1, 1)));
    EXPECT_EQ(d.requests, (std::vector<Bytes>{{0x22, 1, 1, 0}}));
    EXPECT_TRUE(logic.OutputTree().Node(2, 1)->children.empty());
    EXPECT_EQ(logic.Program(1, 1)->OutputBits(), 0);

    // A program index the table does not hold is not sent.
    EXPECT_FALSE(logic.Route({2, 0, 1, 5}, 0).HasRequest());
}

TEST(MuxIpLogic, RoutingFromAnAnalysedChannelReadsTheOutputsAgain) {
    FakeMuxIp mux;
    mux.channels[0] = {FakeMuxIp::Program("One", 1)};
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();
    Drive(logic, mux, logic.InputAnalyze(ChannelPath(0, 0)));
    ASSERT_TRUE(logic.Analysed(0));
    PageStep step = logic.Route(ProgramPath(logic.InputTree(), 0, 0, 0), 0);
    const Bytes answer = mux.Answer(step.command, step.payload);
    step = Feed(logic, 0x22, answer);
    EXPECT_EQ(step.command, 0x24);
    EXPECT_EQ(step.wait,
              PageStep::Wait::kRestartLong);  // the outputs are read again with their own 80-s wait
    EXPECT_FALSE(logic.Analysed(0));
    Drive(logic, mux, step);
    EXPECT_EQ(ChildTexts(logic.OutputTree().Node(0, 0)), (std::vector<std::string>{"1 One"}));
}

TEST(MuxIpLogic, EditSendsTheWholeRecordAndRebuildsTheNode) {
    FakeMuxIp mux;
    MultiOutputProgramRecord ci = FakeMuxIp::Program("Ci", 9, 0x01);
    ci.SetCiFlag(0x88);
    ci.SetCiMode(1);
    ci.bytes[256] = 0xAB;  // carried unchanged
    ci.bytes[257] = 0xCD;
    ci.bytes[280] = 0x5A;
    mux.channels[0] = {ci};
    mux.settings.bytes[0] = 1;
    mux.settings.SetCaSystemId(0, 0x100);
    MuxIpLogic logic(18, 0x2101);
    logic.Initialise();
    Drive(logic, mux, logic.Refresh());
    const TreePath sel = ProgramPath(logic.OutputTree(), 0, 0, 0);

    ProgramInfoEdit edit;
    ASSERT_TRUE(logic.BeginEdit(sel, &edit));
    EXPECT_EQ(edit.info.serviceId, 9u);
    EXPECT_EQ(edit.info.ciField, 0x81u);
    EXPECT_EQ(edit.info.casEnabled[0], 1);
    EXPECT_EQ(edit.info.caSystemIds[0], 0x100u);
    EXPECT_EQ(edit.info.elementPids[0], 0x102);
    EXPECT_EQ(edit.info.streamTypes[0], 0x02);

    edit.info.name.fill(0);
    std::memcpy(edit.info.name.data(), "New", 3);
    edit.info.serviceId = 77;
    edit.info.elementPids[0] = 0x200;
    edit.info.elementPids[31] = 0x1FFF;  // beyond the element count: not written
    edit.info.ciField = 0x80;
    edit.info.ecmPids[0] = 0x300;
    PageStep step = logic.CommitEdit(edit);
    ASSERT_EQ(step.command, 0x23);
    ASSERT_EQ(step.payload.size(), 286u);
    EXPECT_EQ(step.payload[0], 0);
    EXPECT_EQ(step.payload[2], 0);
    MultiOutputProgramRecord sent;
    std::memcpy(sent.Data(), step.payload.data() + 3, 283);
    EXPECT_EQ(sent.OutputName(), "New");
    EXPECT_EQ(sent.OutputServiceId(), 77);
    EXPECT_EQ(sent.ElementOutputPid(0), 0x200);
    EXPECT_EQ(sent.CiMode(), 0);
    EXPECT_EQ(sent.EcmPid(0), 0x300);
    EXPECT_EQ(sent.bytes[256], 0xAB);
    EXPECT_EQ(sent.bytes[257], 0xCD);
    EXPECT_EQ(sent.bytes[280], 0x5A);

    // The table keeps the device's values until it confirms.
    EXPECT_EQ(logic.Program(0, 0)->OutputServiceId(), 9);
    EXPECT_FALSE(Feed(logic, 0x23, {0, 1}).HasRequest());
    EXPECT_EQ(logic.Program(0, 0)->OutputServiceId(), 9);
    EXPECT_EQ(Feed(logic, 0x23, {0, 0}).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(logic.Program(0, 0)->OutputServiceId(), 77);
    const ProgramTreeNode* p = logic.OutputTree().Node(0, 0, 0);
    EXPECT_EQ(p->text, "1 New");
    EXPECT_EQ(ChildTexts(p), (std::vector<std::string>{"Service ID:77", "PMT PID:0x100", "PCR PID:0x101",
                                                       "Mpeg2 Video", "CA 1", "CA 2", "CA 3", "CA 4"}));
    EXPECT_EQ(ChildTexts(&p->children[4]), (std::vector<std::string>{"CA system id: 256", "ECM PID: 300"}));
}

TEST(MuxIpLogic, ModuleCountFourOpensOutputsBToD) {
    FakeMuxIp mux;
    mux.moduleCount = 4;
    MuxIpLogic logic(98, 0x2101);
    logic.Initialise();
    Drive(logic, mux, logic.Refresh());
    EXPECT_EQ(logic.ModuleCount(), 4);
    EXPECT_EQ(logic.OutputTree().Roots().size(), 4u);
    EXPECT_EQ(logic.OutputTree().Roots()[3].children.size(), 5u);
    EXPECT_TRUE(logic.OutButtonShown(3));

    // Without the module byte the count stays and nothing opens.
    FakeMuxIp plain;
    MuxIpLogic other(98, 0x2101);
    other.Initialise();
    Drive(other, plain, other.Refresh());
    EXPECT_EQ(other.OutputTree().Roots().size(), 1u);
    EXPECT_FALSE(other.OutButtonShown(1));
}

TEST(MuxIpLogic, StatusValuesBecomeBitrateTexts) {
    MuxIpLogic logic(0, 0x2101);
    logic.Initialise();
    Bytes reply(17, 0);
    const uint32_t values[4] = {12345, 7, 1000, 0};
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 4; ++i)
            reply[1 + 4 * k + i] = static_cast<uint8_t>(values[k] >> (8 * i));
    Feed(logic, 0x40, Bytes(reply.begin(), reply.begin() + 16));  // short: ignored
    EXPECT_EQ(logic.Bitrates()[0], "");
    Feed(logic, 0x40, reply);
    EXPECT_EQ(logic.Bitrates(), (std::array<std::string, 4>{"12.345", "0.007", "1.000", "0.000"}));
}

}  // namespace mux_ip_logic_test
}  // namespace nms
