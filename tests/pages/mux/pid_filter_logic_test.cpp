#include <gtest/gtest.h>

#include <vector>

#include "pages/mux/mux_pid_filter_logic.h"
#include "pages/mux/pid_bitmap.h"
#include "pages/mux/pid_monitor_logic.h"
#include "reply_packet.h"

namespace nms {
namespace pid_filter_logic_test {

std::vector<uint8_t> BitmapBytes(std::initializer_list<unsigned> pids) {
    PidBitmap bitmap;
    for (unsigned p : pids)
        bitmap.Set(p);
    return {bitmap.Data(), bitmap.Data() + PidBitmap::kBytes};
}

std::vector<uint8_t> WithHead(uint8_t head, std::vector<uint8_t> bytes) {
    bytes.insert(bytes.begin(), head);
    return bytes;
}

PageStep Feed(MuxPidFilterLogic& logic, uint8_t command, const std::vector<uint8_t>& payload) {
    return logic.HandleReply(ReplyPacket(command, payload).View());
}

std::vector<std::string> Texts(const std::vector<PidFilterRow>& rows) {
    std::vector<std::string> out;
    for (const auto& r : rows)
        out.push_back(std::to_string(r.index) + ":" + r.pidText + (r.outA ? "A" : "B"));
    return out;
}

TEST(PidBitmapTest, BitLayoutAtBothEnds) {
    PidBitmap bitmap;
    bitmap.Set(0);
    bitmap.Set(0x1FFF);
    bitmap.Set(9);
    EXPECT_EQ(bitmap.Data()[0], 0x80);
    EXPECT_EQ(bitmap.Data()[1], 0x40);  // PID 9: bit 6 of byte 1
    EXPECT_EQ(bitmap.Data()[1023], 0x01);
    EXPECT_EQ(bitmap.Pids(), (std::vector<uint16_t>{0, 9, 0x1FFF}));
    bitmap.Set(0x2000 | 5);  // only 13 bits count
    EXPECT_TRUE(bitmap.Test(5));
    EXPECT_FALSE(bitmap.Test(8192));
}

TEST(PidBitmapTest, LoadRefusesShortInput) {
    std::vector<uint8_t> bytes(1023, 0xFF);
    PidBitmap bitmap;
    EXPECT_FALSE(bitmap.Load(bytes.data(), 1023));
    EXPECT_TRUE(bitmap.Pids().empty());
}

TEST(FilterPidTextTest, Refusals) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"1FFF", ""},
        {"1fff", ""},
        {"0", ""},
        {"", "Please input the new PID."},
        {"2000", "PID value must be less than 8192 !"},
        {"12345", "PID length should not be more than 4 characters."},
        {"12G4", "PID 12G4should be 0-9,a-f or A-F!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckFilterPidText(c.text), c.message) << c.text;
}

TEST(MuxPidFilterLogicTest, GetRequestsByVariant) {
    const struct {
        int pageParam;
        int channel;
        std::vector<uint8_t> payload;
    } cases[] = {{0, -1, {0}}, {8, 2, {0}}, {1, -1, {1}}, {15, 2, {2}}};
    for (const auto& c : cases) {
        MuxPidFilterLogic logic(c.pageParam);
        const PageStep step = logic.Get(c.channel);
        EXPECT_EQ(step.command, kCmdGetPidFilter);
        EXPECT_EQ(step.payload, c.payload) << c.pageParam;
        EXPECT_EQ(step.wait, PageStep::Wait::kBegin);
    }
}

TEST(MuxPidFilterLogicTest, GetWithoutChannelSendsNothing) {
    MuxPidFilterLogic logic(15);
    logic.Add("100", -1);
    const PageStep step = logic.Get(-1);
    EXPECT_FALSE(step.HasRequest());
    EXPECT_EQ(step.messages, std::vector<std::string>{"Please select Channel !"});
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_FALSE(logic.Waiting());
}

TEST(MuxPidFilterLogicTest, ReplyListsBitsInOrder) {
    MuxPidFilterLogic logic(0);
    logic.Get(-1);
    const PageStep step = Feed(logic, kCmdGetPidFilter, BitmapBytes({0x1FFF, 0x11, 0}));
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(Texts(logic.Rows()), (std::vector<std::string>{"1:0A", "2:11A", "3:1fffA"}));
    EXPECT_EQ(logic.Rows()[2].pid, 0x1FFF);
    EXPECT_FALSE(logic.Waiting());
}

TEST(MuxPidFilterLogicTest, TwoOutputGetReadsBothTablesNumberingEachFromOne) {
    MuxPidFilterLogic logic(1);
    logic.Get(-1);
    PageStep step = Feed(logic, kCmdGetPidFilter, WithHead(1, BitmapBytes({0x100, 0x200})));
    EXPECT_EQ(step.command, kCmdGetPidFilter);
    EXPECT_EQ(step.payload, std::vector<uint8_t>{2});
    EXPECT_EQ(step.wait, PageStep::Wait::kNone);  // the wait goes on
    step = Feed(logic, kCmdGetPidFilter, WithHead(2, BitmapBytes({0x30})));
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(Texts(logic.Rows()), (std::vector<std::string>{"1:100A", "2:200A", "1:30B"}));
}

// The selector echo only names the rows' output: 1 is A, anything else B. The first reply, whatever it
// echoes, is followed by the request for table B, and the second ends the exchange.
TEST(MuxPidFilterLogicTest, TwoOutputEchoNamesTheOutputAndNeverStopsTheExchange) {
    struct Case {
        uint8_t first, second;
        std::vector<std::string> rows;
    } cases[] = {
        {9, 0, {"1:10B", "1:20B"}},
        {0, 1, {"1:10B", "1:20A"}},
        {2, 2, {"1:10B", "1:20B"}},
        {1, 9, {"1:10A", "1:20B"}},
    };
    for (const Case& c : cases) {
        MuxPidFilterLogic logic(1);
        logic.Get(-1);
        PageStep step = Feed(logic, kCmdGetPidFilter, WithHead(c.first, BitmapBytes({0x10})));
        EXPECT_EQ(step.command, kCmdGetPidFilter) << int(c.first);
        EXPECT_EQ(step.payload, std::vector<uint8_t>{2}) << int(c.first);
        step = Feed(logic, kCmdGetPidFilter, WithHead(c.second, BitmapBytes({0x20})));
        EXPECT_FALSE(step.HasRequest());
        EXPECT_EQ(step.wait, PageStep::Wait::kEnd) << int(c.first) << "/" << int(c.second);
        EXPECT_EQ(Texts(logic.Rows()), c.rows) << int(c.first) << "/" << int(c.second);
        EXPECT_FALSE(logic.Waiting());
    }
}

// A reply after the time-out is taken once (TakeLate), shown like one in time, and the exchange is over:
// no table B is asked for by the page, and a second copy finds nothing late.
TEST(MuxPidFilterLogicTest, LateReplyIsTakenOnceAndOnlyUntilTheNextRequest) {
    MuxPidFilterLogic logic(1);
    logic.Get(-1);
    logic.WaitEnded();
    const ReplyPacket late(kCmdGetPidFilter, WithHead(1, BitmapBytes({0x100})));
    EXPECT_FALSE(logic.TakeLate(ReplyPacket(kCmdSetPidFilter, {}).View()));  // another command
    ASSERT_TRUE(logic.TakeLate(late.View()));
    Feed(logic, kCmdGetPidFilter, WithHead(1, BitmapBytes({0x100})));
    logic.LateHandled();
    EXPECT_EQ(Texts(logic.Rows()), std::vector<std::string>{"1:100A"});
    EXPECT_FALSE(logic.Waiting());
    EXPECT_FALSE(logic.TakeLate(late.View()));

    // A new request: the earlier one's reply is no longer late.
    logic.Get(-1);
    logic.WaitEnded();
    logic.Set(-1);
    EXPECT_FALSE(logic.TakeLate(late.View()));
}

TEST(MuxPidFilterLogicTest, ChannelEchoMustMatchTheAskedChannel) {
    MuxPidFilterLogic logic(15);
    logic.Get(0);
    logic.Get(3);  // the operator moved on before channel 1 answered
    EXPECT_EQ(Feed(logic, kCmdGetPidFilter, WithHead(0, BitmapBytes({0x40}))).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_EQ(Feed(logic, kCmdGetPidFilter, WithHead(3, BitmapBytes({0x41}))).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(Texts(logic.Rows()), std::vector<std::string>{"1:41A"});
}

TEST(MuxPidFilterLogicTest, ShortLateAndForeignRepliesChangeNothing) {
    MuxPidFilterLogic logic(0);
    auto full = BitmapBytes({5});
    // Nothing asked yet.
    EXPECT_EQ(Feed(logic, kCmdGetPidFilter, full).wait, PageStep::Wait::kNone);
    logic.Get(-1);
    std::vector<uint8_t> shortReply(full.begin(), full.end() - 1);
    EXPECT_EQ(Feed(logic, kCmdGetPidFilter, shortReply).wait, PageStep::Wait::kNone);
    EXPECT_EQ(Feed(logic, kCmdSetPidFilter, {}).wait, PageStep::Wait::kNone);
    EXPECT_EQ(logic.HandleReply(ReplyView()).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(logic.Rows().empty());
    EXPECT_TRUE(logic.Waiting());
    // After the time-out the reply is no longer awaited: only TakeLate lets it in.
    logic.WaitEnded();
    EXPECT_EQ(Feed(logic, kCmdGetPidFilter, full).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(logic.Rows().empty());
}

TEST(MuxPidFilterLogicTest, SetBuildsBitmapsByVariant) {
    {
        MuxPidFilterLogic logic(0);
        logic.Add("1fff", -1);
        logic.Add("11", -1);
        logic.Add("11", -1);  // a repeated PID sets one bit
        const PageStep step = logic.Set(-1);
        EXPECT_EQ(step.command, kCmdSetPidFilter);
        EXPECT_EQ(step.payload, BitmapBytes({0x11, 0x1FFF}));
        EXPECT_EQ(Feed(logic, kCmdSetPidFilter, {}).wait, PageStep::Wait::kEnd);
    }
    {
        MuxPidFilterLogic logic(15);
        logic.Add("20", -1);
        EXPECT_EQ(logic.Set(2).payload, WithHead(2, BitmapBytes({0x20})));
    }
}

TEST(MuxPidFilterLogicTest, TwoOutputSetSendsBothTablesUnderOneWait) {
    MuxPidFilterLogic logic(1);
    logic.Add("100", 0);
    logic.Add("200", 1);
    logic.Add("300", -1);  // no output chosen: B
    PageStep step = logic.Set(-1);
    EXPECT_EQ(step.payload, WithHead(1, BitmapBytes({0x100})));
    EXPECT_EQ(step.wait, PageStep::Wait::kBegin);
    step = Feed(logic, kCmdSetPidFilter, {});
    EXPECT_EQ(step.payload, WithHead(2, BitmapBytes({0x200, 0x300})));
    EXPECT_EQ(step.wait, PageStep::Wait::kNone);
    EXPECT_EQ(Feed(logic, kCmdSetPidFilter, {}).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(Feed(logic, kCmdSetPidFilter, {}).wait, PageStep::Wait::kNone);  // nothing more asked
}

TEST(MuxPidFilterLogicTest, SetOfEmptyListSendsZeroBitmaps) {
    MuxPidFilterLogic logic(1);
    EXPECT_EQ(logic.Set(-1).payload, WithHead(1, BitmapBytes({})));
    EXPECT_EQ(Feed(logic, kCmdSetPidFilter, {}).payload, WithHead(2, BitmapBytes({})));
    MuxPidFilterLogic single(0);
    EXPECT_EQ(single.Set(-1).payload, BitmapBytes({}));
}

TEST(MuxPidFilterLogicTest, SetRefusesOverlongList) {
    MuxPidFilterLogic logic(0);
    for (int i = 0; i < kMaxPidFilterRows - 1; ++i)
        logic.Add("10", -1);
    EXPECT_TRUE(logic.Set(-1).HasRequest());
    logic.WaitEnded();
    logic.Add("10", -1);
    const PageStep step = logic.Set(-1);
    EXPECT_FALSE(step.HasRequest());
    EXPECT_EQ(step.messages, std::vector<std::string>{"PID filter table must be less than 1024 !"});
}

TEST(MuxPidFilterLogicTest, EditDeleteAndEmpty) {
    MuxPidFilterLogic logic(1);
    for (const char* t : {"a", "b", "c", "d", "e"})
        logic.Add(t, 0);
    EXPECT_TRUE(logic.Delete(1));
    EXPECT_EQ(Texts(logic.Rows()), (std::vector<std::string>{"1:aA", "2:cA", "3:dA", "4:eA"}));
    EXPECT_FALSE(logic.Delete(4));
    EXPECT_FALSE(logic.Delete(-1));
    EXPECT_TRUE(logic.Edit(0, "1Ff", 1));
    EXPECT_EQ(logic.Rows()[0].pidText, "1Ff");
    EXPECT_EQ(logic.Rows()[0].pid, 0x1FF);
    EXPECT_FALSE(logic.Rows()[0].outA);
    EXPECT_FALSE(logic.Edit(9, "1", 0));
    logic.Empty();
    EXPECT_TRUE(logic.Rows().empty());
}

TEST(PidMonitorLogicTest, ListsPresentPids) {
    PidMonitorLogic logic;
    const PageStep get = logic.Get();
    EXPECT_EQ(get.command, kCmdGetPidPresence);
    EXPECT_EQ(get.payload, std::vector<uint8_t>(7, 0));
    const auto bytes = BitmapBytes({0, 0x11, 0x1FFF});
    EXPECT_EQ(logic.HandleReply(ReplyPacket(kCmdGetPidPresence, bytes).View()).wait, PageStep::Wait::kEnd);
    ASSERT_EQ(logic.Rows().size(), 3u);
    EXPECT_EQ(logic.Rows()[0].pidText, "0");
    EXPECT_EQ(logic.Rows()[1].pidText, "11");
    EXPECT_EQ(logic.Rows()[2].index, 3);
    EXPECT_EQ(logic.Rows()[2].pidText, "1fff");
}

TEST(PidMonitorLogicTest, ShortRepliesListWhatArrivedAndEveryReplyEndsTheWait) {
    const auto zero = BitmapBytes({});
    const auto full = BitmapBytes({7, 0x1FFF});
    const struct {
        const uint8_t* data;
        int length;
        size_t rows;
    } cases[] = {{nullptr, 0, 0}, {zero.data(), 1024, 0}, {full.data(), 1023, 1}, {full.data(), 1, 1}};
    for (const auto& c : cases) {
        PidMonitorLogic logic;
        logic.Get();
        EXPECT_EQ(logic.HandleReply(ReplyPacket(kCmdGetPidPresence, c.data, size_t(c.length)).View()).wait,
                  PageStep::Wait::kEnd);
        EXPECT_EQ(logic.Rows().size(), c.rows) << c.length;
    }
    PidMonitorLogic idle;
    EXPECT_EQ(idle.HandleReply(ReplyPacket(kCmdGetPidPresence, full).View()).wait, PageStep::Wait::kNone);
    EXPECT_TRUE(idle.Rows().empty());
}

}  // namespace pid_filter_logic_test
}  // namespace nms
