#include "pages/mux/pid_forward_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nms {
namespace pid_forward_logic_test {

using Bytes = std::vector<uint8_t>;

// A framed reply (header + payload) that stays alive while its view is used.
struct Reply {
    Bytes packet;
    Reply(uint8_t command, const Bytes& payload) {
        packet = {0x21, 0x01, 1, 1, command, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
        packet.insert(packet.end(), payload.begin(), payload.end());
    }
    ReplyView View() const { return ReplyView(packet.data(), static_cast<int>(packet.size())); }
};

Bytes Entry(uint8_t first, uint16_t oldPid, uint16_t newPid) {
    return {first, uint8_t(oldPid >> 8), uint8_t(oldPid), uint8_t(newPid >> 8), uint8_t(newPid)};
}

Bytes Table(std::initializer_list<int> head, const std::vector<Bytes>& entries) {
    Bytes out;
    for (int h : head)
        out.push_back(uint8_t(h));
    for (const auto& e : entries)
        out.insert(out.end(), e.begin(), e.end());
    return out;
}

PageStep Feed(PidForwardLogic& logic, uint8_t command, const Bytes& payload) {
    Reply r(command, payload);
    return logic.HandleReply(r.View());
}

TEST(PidForwardCheck, PidTexts) {
    struct Case {
        std::string old, neu;
        std::string message;
    } cases[] = {
        {"1FFF", "1fff", ""},
        {"0", "1ff", ""},
        {"2000", "10", "PID value must be less than 8192 !"},
        {"10", "2000", "PID value must be less than 8192 !"},
        {"12345", "10", "PID length should not be more than 4 characters."},
        {"12G4", "10", "PID 12G4should be 0-9,a-f or A-F!"},
        {"", "10", "Please input the old PID."},
        {"10", "", "Please input the new PID."},
        {"10", "0x1", "PID 0x1should be 0-9,a-f or A-F!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddPidRefusal(c.old, c.neu, false), c.message) << c.old << " / " << c.neu;
    // Filter mode asks only the one PID.
    EXPECT_EQ(AddPidRefusal("", "1FFF", true), "");
    EXPECT_EQ(AddPidRefusal("zz", "2000", true), "PID value must be less than 8192 !");
}

TEST(PidForwardColumns, ByVariant) {
    auto names = [](int pageParam) {
        std::string out;
        for (const auto& c : PidForwardLogic(pageParam).Columns())
            out += c.first + ":" + std::to_string(c.second) + " ";
        return out;
    };
    EXPECT_EQ(names(1), "ASI:50 Old PID:70 New PID:70 Out ASI:100 ");
    EXPECT_EQ(names(66), "ASI:50 Old PID:70 New PID:70 Out ASI:100 C:50 ");
    for (int p : {0, 64, 65, 82})
        EXPECT_EQ(names(p), "ASI:50 Old PID:70 New PID:70 C:50 ");
}

TEST(PidForwardGet, OneTableRowsAndEnd) {
    PidForwardLogic logic(0);
    logic.Rows().push_back({"1", "10", "20", "", ""});
    PageStep step = logic.Get();
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_EQ(step.command, kCmdGetPidForward);
    EXPECT_EQ(step.payload, Bytes{0});
    EXPECT_EQ(step.wait, PageStep::Wait::kBeginShort);

    step = Feed(logic, kCmdGetPidForward, Table({2}, {Entry(3, 0x1FF, 0x0010), Entry(8, 0, 0x1FFF)}));
    EXPECT_FALSE(step.HasRequest());
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    ASSERT_EQ(logic.Rows().size(), 2u);
    EXPECT_EQ(logic.Rows()[0], (PidForwardRow{"3", "1FF", "10", "", ""}));
    EXPECT_EQ(logic.Rows()[1], (PidForwardRow{"8", "0", "1FFF", "", ""}));
    EXPECT_FALSE(logic.Waiting());
}

TEST(PidForwardGet, CountZeroAnd200) {
    PidForwardLogic logic(64);
    logic.Get();
    EXPECT_EQ(Feed(logic, kCmdGetPidForward, {0}).wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(logic.Rows().empty());

    std::vector<Bytes> entries(200, Entry(2, 0x100, 0x200));
    logic.Get();
    Feed(logic, kCmdGetPidForward, Table({200}, entries));
    EXPECT_EQ(logic.Rows().size(), 200u);
}

TEST(PidForwardGet, FourOutputLabels) {
    PidForwardLogic logic(66);
    EXPECT_EQ(logic.Get().payload, Bytes{0});
    Feed(logic, kCmdGetPidForward, Table({0, 2}, {Entry(0x0F, 1, 2), Entry(0x05, 3, 4)}));
    ASSERT_EQ(logic.Rows().size(), 2u);
    EXPECT_EQ(logic.Rows()[0], (PidForwardRow{"5", "1", "2", "(1) (2) (3) (4)", "15"}));
    EXPECT_EQ(logic.Rows()[1], (PidForwardRow{"5", "3", "4", "(1) (3) ", "5"}));
}

TEST(PidForwardGet, TwoTablesAskForBThenEnd) {
    PidForwardLogic logic(1);
    EXPECT_EQ(logic.Get().payload, Bytes{1});
    PageStep step = Feed(logic, kCmdGetPidForward, Table({1, 1}, {Entry(1, 0x11, 0x22)}));
    EXPECT_EQ(step.command, kCmdGetPidForward);
    EXPECT_EQ(step.payload, Bytes{2});
    EXPECT_EQ(step.wait, PageStep::Wait::kNone);  // the wait goes on
    // Table B empty still ends the exchange.
    step = Feed(logic, kCmdGetPidForward, Table({2, 0}, {}));
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    ASSERT_EQ(logic.Rows().size(), 1u);
    EXPECT_EQ(logic.Rows()[0].outAsi, "A");

    // Count 0 on table A still asks for table B.
    logic.Get();
    step = Feed(logic, kCmdGetPidForward, Table({1, 0}, {}));
    EXPECT_EQ(step.payload, Bytes{2});
    Feed(logic, kCmdGetPidForward, Table({2, 1}, {Entry(4, 5, 6)}));
    ASSERT_EQ(logic.Rows().size(), 1u);
    EXPECT_EQ(logic.Rows()[0], (PidForwardRow{"4", "5", "6", "B", ""}));
}

TEST(PidForwardGet, ShortLateAndForeignRepliesChangeNothing) {
    PidForwardLogic logic(0);
    // Nothing asked: a reply is ignored.
    EXPECT_EQ(Feed(logic, kCmdGetPidForward, Table({1}, {Entry(1, 2, 3)})).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(logic.Rows().empty());

    logic.Get();
    // Count 3 with only two entries, an empty payload, a half entry, another command.
    for (const Bytes& payload : {Table({3}, {Entry(1, 2, 3), Entry(1, 2, 3)}), Bytes{}, Bytes{1, 1, 0}}) {
        const PageStep step = Feed(logic, kCmdGetPidForward, payload);
        EXPECT_FALSE(step.HasRequest());
        EXPECT_EQ(step.wait, PageStep::Wait::kNone);
    }
    EXPECT_EQ(Feed(logic, kCmdSetPidForward, {}).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_TRUE(logic.Waiting());

    // After the time-out the reply is no longer awaited: only TakeLate lets it in (once).
    logic.WaitEnded();
    EXPECT_EQ(Feed(logic, kCmdGetPidForward, Table({1}, {Entry(1, 2, 3)})).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(logic.Rows().empty());
    const ReplyPacket late(kCmdGetPidForward, Table({1}, {Entry(1, 2, 3)}));
    ASSERT_TRUE(logic.TakeLate(late.View()));
    EXPECT_EQ(logic.HandleReply(late.View()).wait, PageStep::Wait::kEnd);
    logic.LateHandled();
    EXPECT_EQ(logic.Rows().size(), 1u);
    EXPECT_FALSE(logic.TakeLate(late.View()));
}

// Two tables: the echo names the rows' output ("A" for 1, anything else "B"); the first reply, whatever
// it echoes, asks for table B, the second ends the exchange.
TEST(PidForwardGet, TwoTableEchoNamesTheOutputAndNeverStopsTheExchange) {
    struct Case {
        uint8_t first, second;
        const char* outFirst;
        const char* outSecond;
    } cases[] = {{9, 0, "B", "B"}, {0, 1, "B", "A"}, {2, 2, "B", "B"}, {1, 9, "A", "B"}};
    for (const Case& c : cases) {
        PidForwardLogic two(1);
        two.Get();
        PageStep step = Feed(two, kCmdGetPidForward, Table({c.first, 1}, {Entry(1, 2, 3)}));
        EXPECT_EQ(step.command, kCmdGetPidForward) << int(c.first);
        EXPECT_EQ(step.payload, Bytes{2}) << int(c.first);
        step = Feed(two, kCmdGetPidForward, Table({c.second, 1}, {Entry(4, 5, 6)}));
        EXPECT_FALSE(step.HasRequest());
        EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
        ASSERT_EQ(two.Rows().size(), 2u);
        EXPECT_EQ(two.Rows()[0], (PidForwardRow{"1", "2", "3", c.outFirst, ""})) << int(c.first);
        EXPECT_EQ(two.Rows()[1], (PidForwardRow{"4", "5", "6", c.outSecond, ""})) << int(c.second);
        EXPECT_FALSE(two.Waiting());
    }
}

TEST(PidForwardSet, RequestImages) {
    PidForwardLogic one(0);
    EXPECT_EQ(one.Set().payload, Bytes{0});
    EXPECT_EQ(Feed(one, kCmdSetPidForward, {}).wait, PageStep::Wait::kEnd);

    one.Rows() = {{"3", "1ff", "10", "", ""}, {"8", "1FFF", "0", "", ""}};
    EXPECT_EQ(one.Set().payload, Table({2}, {Entry(3, 0x1FF, 0x10), Entry(8, 0x1FFF, 0)}));

    PidForwardLogic four(66);
    EXPECT_EQ(four.Set().payload, (Bytes{0, 0}));
    four.WaitEnded();
    four.Rows() = {{"5", "a", "b", "(1) (4) ", "9"}};
    EXPECT_EQ(four.Set().payload, Table({0, 1}, {Entry(9, 0xA, 0xB)}));
}

TEST(PidForwardSet, TwoTablesSendAThenB) {
    PidForwardLogic logic(1);
    PageStep step = logic.Set();
    EXPECT_EQ(step.payload, (Bytes{1, 0}));
    step = Feed(logic, kCmdSetPidForward, {});
    EXPECT_EQ(step.command, kCmdSetPidForward);
    EXPECT_EQ(step.payload, (Bytes{2, 0}));
    EXPECT_EQ(step.wait, PageStep::Wait::kNone);
    EXPECT_EQ(Feed(logic, kCmdSetPidForward, {}).wait, PageStep::Wait::kEnd);

    logic.Rows() = {{"1", "10", "20", "A", ""}, {"2", "30", "40", "B", ""}, {"3", "50", "60", "A", ""}};
    EXPECT_EQ(logic.Set().payload, Table({1, 2}, {Entry(1, 0x10, 0x20), Entry(3, 0x50, 0x60)}));
    EXPECT_EQ(Feed(logic, kCmdSetPidForward, {}).payload, Table({2, 1}, {Entry(2, 0x30, 0x40)}));

    // All rows on A: table B goes out empty.
    logic.WaitEnded();
    logic.Rows() = {{"1", "10", "20", "A", ""}};
    logic.Set();
    EXPECT_EQ(Feed(logic, kCmdSetPidForward, {}).payload, (Bytes{2, 0}));
}

TEST(PidForwardRows, AddAndEditFieldsByVariant) {
    struct Case {
        int pageParam;
        int outputMode, inputFixed, input, outputSelection;
    } cases[] = {
        {0, 0, 0, 1, -1},  {1, 1, 0, 1, -1},  {64, 0, 1, 2, -1},
        {65, 0, 1, 2, -1}, {82, 0, 1, 1, -1}, {66, 4, 1, 5, 0},
    };
    for (const auto& c : cases) {
        const AddPidFields f = PidForwardLogic(c.pageParam).AddFields();
        EXPECT_EQ(f.outputMode, c.outputMode) << c.pageParam;
        EXPECT_EQ(f.inputFixed, c.inputFixed) << c.pageParam;
        EXPECT_EQ(f.input, c.input) << c.pageParam;
        EXPECT_EQ(f.outputSelection, c.outputSelection) << c.pageParam;
        EXPECT_EQ(f.filterMode, 0);
    }

    PidForwardLogic two(1);
    AddPidFields f = two.AddFields();
    f.oldPid = "1ff";
    f.newPid = "20";
    f.input = 3;
    // No output chosen: the row goes to B.
    EXPECT_EQ(two.RowFrom(f), (PidForwardRow{"3", "1ff", "20", "B", ""}));
    f.outputSelection = 0;
    two.Rows().push_back(two.RowFrom(f));
    AddPidFields e;
    ASSERT_TRUE(two.EditFields(0, &e));
    EXPECT_EQ(e.outputSelection, 0);
    EXPECT_EQ(e.input, 3);
    EXPECT_EQ(e.oldPid, "1ff");
    EXPECT_FALSE(two.EditFields(1, &e));

    PidForwardLogic four(66);
    f = four.AddFields();
    f.oldPid = "1";
    f.newPid = "2";
    f.input = 0x0A;  // the mask the check boxes gave
    four.Rows().push_back(four.RowFrom(f));
    EXPECT_EQ(four.Rows()[0], (PidForwardRow{"5", "1", "2", "(2) (4) ", "10"}));
    ASSERT_TRUE(four.EditFields(0, &e));
    EXPECT_EQ(e.outputSelection, 10);
    EXPECT_EQ(e.outputMode, 4);
    EXPECT_EQ(e.input, 5);
}

}  // namespace pid_forward_logic_test
}  // namespace nms
