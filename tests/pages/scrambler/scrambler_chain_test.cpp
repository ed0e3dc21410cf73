// The scrambler pages' request chains without windows, against the simulated devices and against
// scripted replies: repeated, short, out-of-range and late ones.
#include <gtest/gtest.h>

#include "devices/device_packet.h"
#include "pagebase/late_reply.h"
#include "pages/scrambler/scramble_logic.h"
#include "pages/scrambler/scrambler_logic.h"
#include "scrambler_device_sim.h"

namespace nms {
namespace scrambler_chain_test {

using test::ScramblerSimDevice;

struct Reply {
    std::vector<uint8_t> packet;
    Reply(uint8_t command, const std::vector<uint8_t>& payload, uint8_t b = 1, uint8_t c = 1) {
        packet.resize(payload.size() + kPacketOverhead);
        int length = 0;
        BuildPacket(0x3102, command, b, c, packet.data(), &length, payload.data(), uint16_t(payload.size()));
        packet.resize(size_t(length));
    }
    ReplyView View() const { return ReplyView(packet.data(), int(packet.size()) - kPacketCrcSize); }
};

// What one run of a chain sent and how it ended.
struct ChainRun {
    std::vector<PageStep> sent;
    bool ended = false;
    std::vector<std::string> messages;
};

// Answers every request from the simulated device until the chain stops.
template <class Logic>
ChainRun Pump(Logic& logic, ScramblerSimDevice& sim, PageStep step) {
    ChainRun run;
    for (int i = 0; i < 200; ++i) {
        run.ended = run.ended || step.wait == PageStep::Wait::kEnd;
        run.messages.insert(run.messages.end(), step.messages.begin(), step.messages.end());
        if (!step.HasRequest())
            break;
        run.sent.push_back(step);
        auto reply = sim.Handle(uint8_t(step.command), step.b, step.c, step.payload);
        if (!reply)
            break;
        step = logic.HandleReply(Reply(uint8_t(step.command), reply->payload, reply->b, reply->c).View());
    }
    return run;
}

std::vector<int> Commands(const ChainRun& run) {
    std::vector<int> out;
    for (const PageStep& s : run.sent)
        out.push_back(s.command);
    return out;
}

ScramblerSlotForm Untouched(const ScramblerLogic& logic) {
    return logic.SlotForm();
}

TEST(ScramblerQamChainTest, ReadThenUntouchedWriteGivesTheDeviceWhatItHad) {
    ScramblerSimDevice sim(0x3102);
    const auto block = sim.Block();
    const auto programs = sim.Programs();
    const auto marks = sim.Marks();
    const auto ac = sim.AcTables();
    ScramblerQamLogic logic;
    const ChainRun readRun = Pump(logic, sim, logic.Refresh());
    EXPECT_TRUE(readRun.ended);
    EXPECT_EQ(Commands(readRun), (std::vector<int>{0x21, 0x21, 0x21, 0x24, 0x37, 0x50, 0x50, 0x50, 0x50, 0x50,
                                                   0x50, 0x50, 0x50}));
    // The AC pages in the read order.
    std::vector<AcPage> pages;
    for (const PageStep& s : readRun.sent)
        if (s.command == 0x50)
            pages.push_back({s.payload[0], s.payload[1]});
    EXPECT_EQ(pages, std::vector<AcPage>(ScramblerQamLogic::ReadOrder().begin(),
                                         ScramblerQamLogic::ReadOrder().end()));
    EXPECT_EQ(logic.Progress(), 7u);
    EXPECT_EQ(logic.TreeCount(), 3);
    EXPECT_EQ(logic.Describe(1).name, "NEWS-1");
    // Marks: program 1 element 0 checked by its mask, program 2's audio (PID 0x202) crossed.
    EXPECT_EQ(logic.ElementMark(1, 0), 2);
    EXPECT_EQ(logic.ElementMark(1, 1), 1);
    EXPECT_EQ(logic.ElementMark(2, 1), 3);
    EXPECT_EQ(logic.ProgramMarkOf(1), 2);
    EXPECT_EQ(logic.AcNames(), (std::vector<std::string>{"AC1-1", "AC1-2"}));

    const ChainRun writeRun = Pump(logic, sim, logic.Set(Untouched(logic), 1));
    EXPECT_TRUE(writeRun.ended);
    EXPECT_EQ(Commands(writeRun), (std::vector<int>{0x25, 0x23, 0x23, 0x23, 0x38, 0x51, 0x51, 0x51, 0x51,
                                                    0x51, 0x51, 0x51, 0x51}));
    EXPECT_EQ(writeRun.sent[1].b, 1);
    EXPECT_EQ(writeRun.sent[3].b, 3);
    EXPECT_EQ(writeRun.sent[3].c, 3);
    EXPECT_EQ(writeRun.sent[5].b, 1);
    EXPECT_EQ(writeRun.sent[12].b, 8);
    EXPECT_EQ(writeRun.sent[12].c, 8);
    EXPECT_EQ(sim.Block(), block);
    EXPECT_EQ(sim.Programs(), programs);
    EXPECT_EQ(sim.Marks(), marks);
    EXPECT_EQ(sim.AcTables(), ac);
    EXPECT_EQ(logic.TakeEvents(), (std::vector<std::string>{"Commit AC info succeed"}));
}

TEST(ScramblerQamChainTest, SetBeforeAReadIsRefusedAndClicksBecomeMasksAndMarks) {
    ScramblerSimDevice sim(0x3102);
    ScramblerQamLogic logic;
    const PageStep refused = logic.Set(Untouched(logic), 1);
    EXPECT_FALSE(refused.HasRequest());
    ASSERT_EQ(refused.messages.size(), 1u);
    Pump(logic, sim, logic.Refresh());
    // Program 1: elements 2 and 1; a click on the program moves both to 3 (its mark 2 -> 3).
    logic.ClickProgram(1);
    EXPECT_EQ(logic.ElementMark(1, 0), 3);
    EXPECT_EQ(logic.ElementMark(1, 1), 3);
    // Program 3: elements 1, 2, 1 -> click element 0 to 2.
    logic.ClickElement(3, 0);
    EXPECT_EQ(logic.ProgramMarkOf(3), 2);
    Pump(logic, sim, logic.Set(Untouched(logic), 1));
    const auto& m = sim.Marks();
    auto marked = [&m](unsigned pid) { return (m[pid / 8] >> (7 - pid % 8) & 1) != 0; };
    EXPECT_TRUE(marked(0x102));
    EXPECT_TRUE(marked(0x101));
    EXPECT_TRUE(marked(0x202));
    EXPECT_EQ(sim.Masks()[0], 0u);    // crossed elements have their bit clear
    EXPECT_EQ(sim.Masks()[2], 0x3u);  // element 0 and element 1 checked
}

TEST(ScramblerQamChainTest, FormChecksStopSetInOrder) {
    ScramblerSimDevice sim(0x3102);
    ScramblerQamLogic logic;
    Pump(logic, sim, logic.Refresh());
    const struct {
        void (*edit)(ScramblerSlotForm&);
        const char* message;
    } cases[] = {
        {[](ScramblerSlotForm& f) { f.ecmgPort = "65536"; }, "Please enter an integer between 0 and 65535."},
        {[](ScramblerSlotForm& f) { f.emmPid = "12345"; },
         "EMM PID length should not be more than 4 characters."},
        {[](ScramblerSlotForm& f) { f.emmPid = "1g"; }, "EMM should be 0-9,a-f or A-F!"},
        {[](ScramblerSlotForm& f) { f.ecmPid = "10000"; },
         "ECM PID length should not be more than 4 characters."},
        {[](ScramblerSlotForm& f) { f.ecmPid = "z"; }, "ECM PID should be 0-9,a-f or A-F!"},
        {[](ScramblerSlotForm& f) { f.superCasId = "123456789"; },
         "Supper CAS ID should not be more than 8 characters."},
        {[](ScramblerSlotForm& f) { f.superCasId = "x"; }, "Supper CAS ID should be 0-9,a-f or A-F!"},
    };
    for (const auto& c : cases) {
        ScramblerSlotForm form = logic.SlotForm();
        c.edit(form);
        const PageStep step = logic.Set(form, 1);
        EXPECT_FALSE(step.HasRequest()) << c.message;
        EXPECT_EQ(step.messages, std::vector<std::string>{c.message});
    }
    // A tab change stores the old slot's form; a refusal keeps the old values and still changes the tab.
    ScramblerSlotForm form = logic.SlotForm();
    const std::string oldEmm = form.emmPid;
    form.emmPid = "q";
    EXPECT_EQ(logic.ChangeSlot(1, form, 1), "EMM should be 0-9,a-f or A-F!");
    EXPECT_EQ(logic.Slot(), 1);
    logic.ChangeSlot(0, logic.SlotForm(), 1);
    EXPECT_EQ(logic.SlotForm().emmPid, oldEmm);
    form = logic.SlotForm();
    form.ecmgPort = "7000";
    logic.ChangeSlot(2, form, 1);
    logic.ChangeSlot(0, logic.SlotForm(), 1);
    EXPECT_EQ(logic.SlotForm().ecmgPort, "7000");
}

TEST(ScramblerQamChainTest, RepliesThatDoNotFitTheStep) {
    ScramblerSimDevice sim(0x3102);
    const auto program = [&sim](uint8_t i, uint8_t n) {
        std::vector<uint8_t> p = {i, n, 0, 0, 0, 0};
        p.insert(p.end(), sim.Programs()[0].begin(), sim.Programs()[0].end());
        return p;
    };
    {
        // A short program reply or a reply of another command changes nothing and sends nothing.
        ScramblerQamLogic logic;
        logic.Refresh();
        EXPECT_TRUE(logic.HandleReply(Reply(0x21, {1, 3, 0, 0}).View()).IsEmpty());
        EXPECT_TRUE(logic.HandleReply(Reply(0x24, std::vector<uint8_t>(1249)).View()).IsEmpty());
        EXPECT_TRUE(logic.Running());
        // A read cannot start while one runs.
        EXPECT_FALSE(logic.Refresh().HasRequest());
        EXPECT_FALSE(logic.Set(logic.SlotForm(), 1).HasRequest());
    }
    {
        // A count of 200 asks for the 64 programs the page holds, then goes on.
        ScramblerQamLogic logic;
        PageStep s = logic.Refresh();
        for (int i = 1; i <= 64; ++i)
            s = logic.HandleReply(Reply(0x21, program(uint8_t(i), 200)).View());
        EXPECT_EQ(s.command, 0x24);
        EXPECT_EQ(logic.ProgramsRead(), 64);
    }
    {
        // 0 programs: 0x24 after the first reply; the write sends one 0x23 [0] with c = 0.
        ScramblerQamLogic logic;
        PageStep s = logic.Refresh();
        s = logic.HandleReply(Reply(0x21, {0, 0}).View());
        EXPECT_EQ(s.command, 0x24);
        EXPECT_EQ(s.payload, std::vector<uint8_t>{1});
        s = logic.HandleReply(Reply(0x24, sim.Block()).View());
        s = logic.HandleReply(Reply(0x37, sim.Marks()).View());
        // AC pages: a half byte of 5 counts as the second half when the header's b is even.
        for (const AcPage& page : ScramblerQamLogic::ReadOrder()) {
            std::vector<uint8_t> p(1026, 0xab);
            p[0] = page.first;
            p[1] = page.second == 2 ? 5 : 1;
            s = logic.HandleReply(Reply(0x50, p, page.second == 2 ? 2 : 1, 8).View());
        }
        EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
        EXPECT_TRUE(s.sendVersion);
        EXPECT_EQ(logic.AcImage(0)[2047], 0xab);
        s = logic.Set(logic.SlotForm(), 1);
        s = logic.HandleReply(Reply(0x25, {}).View());
        EXPECT_EQ(s.command, 0x23);
        EXPECT_EQ(s.payload, std::vector<uint8_t>{0});
        EXPECT_EQ(s.c, 0);
        s = logic.HandleReply(Reply(0x23, {}).View());
        EXPECT_EQ(s.command, 0x38);
        logic.WaitEnded();
        logic.Refresh();
        logic.HandleReply(Reply(0x21, {0, 0}).View());
        logic.HandleReply(Reply(0x24, sim.Block()).View());
        logic.HandleReply(Reply(0x37, sim.Marks()).View());
        // A page of table 9 has no place in the images: nothing is stored, the read goes on.
        std::vector<AcTableImage> before;
        for (int t = 0; t < kCasSlots; ++t)
            before.push_back(logic.AcImage(t));
        std::vector<uint8_t> p(1026, 0x5c);
        p[0] = 9, p[1] = 1;
        s = logic.HandleReply(Reply(0x50, p, 1, 8).View());
        EXPECT_EQ(s.command, 0x50);
        EXPECT_EQ(s.payload, (std::vector<uint8_t>{2, 2}));
        for (int t = 0; t < kCasSlots; ++t)
            EXPECT_EQ(logic.AcImage(t), before[size_t(t)]) << t;
    }
}

// A 0x21 reply of the QAM scrambler: program i of n, its record named after it.
std::vector<uint8_t> QamProgram(uint8_t i, uint8_t n) {
    std::vector<uint8_t> p = {i, n, 0, 0, 0, 0};
    p.resize(6 + ScramblerQamLogic::kRecordSize, 0);
    const std::string name = "P" + std::to_string(i);
    std::copy(name.begin(), name.end(), p.begin() + 6 + 1);
    return p;
}

// An AC page reply: [table, half] and 1024 bytes of fill.
std::vector<uint8_t> AcReply(uint8_t table, uint8_t half, uint8_t fill) {
    std::vector<uint8_t> p(1026, fill);
    p[0] = table, p[1] = half;
    return p;
}

// The QAM scrambler's read up to its first AC page request (no programs).
PageStep ReadUpToAcPages(ScramblerQamLogic& logic, const ScramblerSimDevice& sim) {
    logic.Refresh();
    logic.HandleReply(Reply(0x21, {0, 0}).View());
    logic.HandleReply(Reply(0x24, sim.Block()).View());
    return logic.HandleReply(Reply(0x37, sim.Marks()).View());
}

TEST(ScramblerQamChainTest, TheProgramReadGoesOnFromTheProgramTheReplyCarries) {
    ScramblerQamLogic logic;
    PageStep s = logic.Refresh();
    EXPECT_EQ(s.payload, (std::vector<uint8_t>{1, 1}));
    s = logic.HandleReply(Reply(0x21, QamProgram(1, 3)).View());
    EXPECT_EQ(s.payload, std::vector<uint8_t>{2});
    // The same reply again is a second copy: it moves nothing.
    EXPECT_TRUE(logic.HandleReply(Reply(0x21, QamProgram(1, 3)).View()).IsEmpty());
    s = logic.HandleReply(Reply(0x21, QamProgram(2, 3)).View());
    EXPECT_EQ(s.payload, std::vector<uint8_t>{3});
    // The device answers program 3's request with program 1: next comes 0x21 [2].
    s = logic.HandleReply(Reply(0x21, QamProgram(1, 3)).View());
    EXPECT_EQ(s.command, 0x21);
    EXPECT_EQ(s.payload, std::vector<uint8_t>{2});
    // A reply that skips ahead to the last program ends the program read.
    s = logic.HandleReply(Reply(0x21, QamProgram(3, 3)).View());
    EXPECT_EQ(s.command, 0x24);
    EXPECT_EQ(s.payload, std::vector<uint8_t>{1});
    EXPECT_EQ(logic.ProgramsRead(), 3);
    EXPECT_EQ(logic.Describe(3).name, "P3");
    // A program number outside 1..n sets the count to 0 and the read asks for program 1.
    ScramblerQamLogic other;
    other.Refresh();
    s = other.HandleReply(Reply(0x21, QamProgram(0, 2)).View());
    EXPECT_EQ(s.payload, std::vector<uint8_t>{1});
    EXPECT_EQ(other.ProgramsRead(), 0);
}

TEST(ScramblerQamChainTest, TheAcReadFollowsTheRepliesHalfAndStepCount) {
    ScramblerSimDevice sim(0x3102);
    using Page = std::vector<uint8_t>;
    const struct {
        const char* what;
        std::vector<std::vector<uint8_t>> replies;  // table, half, b, c
        std::vector<Page> requests;                 // after each reply; empty: the read ended
    } cases[] = {
        {"the reply to (2,2) carries (1,1)", {{1, 1, 1, 8}, {1, 1, 2, 8}}, {{2, 2}, {3, 1}}},
        {"half 5 with b = 2 is the second half", {{1, 5, 2, 8}}, {{1, 2}}},
        {"half 5 with b = 1 is the first half", {{1, 5, 1, 8}}, {{2, 2}}},
        {"four steps",
         {{1, 1, 1, 4}, {2, 2, 2, 4}, {2, 1, 3, 4}, {3, 2, 4, 4}},
         {{2, 2}, {2, 1}, {3, 2}, {}}},
        {"the count shrinks to 1 on the first reply", {{1, 1, 1, 1}}, {{}}},
    };
    for (const auto& c : cases) {
        ScramblerQamLogic logic;
        PageStep s = ReadUpToAcPages(logic, sim);
        ASSERT_EQ(s.payload, (Page{1, 1})) << c.what;
        for (size_t k = 0; k < c.replies.size(); ++k) {
            const auto& r = c.replies[k];
            s = logic.HandleReply(Reply(0x50, AcReply(r[0], r[1], uint8_t(0x10 + k)), r[2], r[3]).View());
            if (c.requests[k].empty()) {
                EXPECT_FALSE(s.HasRequest()) << c.what;
                EXPECT_EQ(s.wait, PageStep::Wait::kEnd) << c.what;
                EXPECT_TRUE(s.sendVersion) << c.what;
                EXPECT_EQ(logic.Progress() & ScramblerLogic::kAcRead, ScramblerLogic::kAcRead) << c.what;
            } else {
                EXPECT_EQ(s.command, 0x50) << c.what;
                EXPECT_EQ(s.payload, c.requests[k]) << c.what << " reply " << k;
            }
        }
    }
    // Where the pages went: the repeated (1,1) overwrites table 1's first half, half 5 with b = 2 lands
    // in the second half.
    ScramblerQamLogic logic;
    ReadUpToAcPages(logic, sim);
    logic.HandleReply(Reply(0x50, AcReply(1, 1, 0x11), 1, 8).View());
    logic.HandleReply(Reply(0x50, AcReply(1, 1, 0x22), 2, 8).View());
    logic.HandleReply(Reply(0x50, AcReply(3, 5, 0x33), 4, 8).View());
    EXPECT_EQ(logic.AcImage(0)[0], 0x22);
    EXPECT_EQ(logic.AcImage(2)[1024], 0x33);
    EXPECT_EQ(logic.AcImage(2)[0], 0);
}

// Every reply of a read comes twice: the read asks what it asks with single replies, and ends the same.
TEST(ScramblerChainTest, EveryReadReplyTwiceChangesNothing) {
    for (uint16_t type : {uint16_t(0x3102), uint16_t(0x3101)}) {
        auto run = [type](bool twice, std::vector<int>* commands) {
            ScramblerSimDevice sim(type);
            ScramblerQamLogic qam;
            ScrambleLogic standAlone;
            ScramblerLogic& logic = type == 0x3102 ? static_cast<ScramblerLogic&>(qam) : standAlone;
            PageStep step = type == 0x3102 ? qam.Refresh() : standAlone.Refresh();
            for (int i = 0; i < 100 && step.HasRequest(); ++i) {
                commands->push_back(step.command);
                auto reply = sim.Handle(uint8_t(step.command), step.b, step.c, step.payload);
                if (!reply)
                    break;
                const Reply r(uint8_t(step.command), reply->payload, reply->b, reply->c);
                step = logic.HandleReply(r.View());
                if (twice) {
                    EXPECT_TRUE(logic.HandleReply(r.View()).IsEmpty()) << std::hex << type;
                }
            }
            EXPECT_FALSE(logic.Running());
            return logic.Progress();
        };
        std::vector<int> once, twice;
        EXPECT_EQ(run(false, &once), 7u);
        EXPECT_EQ(run(true, &twice), 7u);
        EXPECT_EQ(twice, once) << std::hex << type;
    }
}

TEST(ScramblerQamChainTest, ALateReplyLandsButTheChainStaysStopped) {
    ScramblerQamLogic logic;
    logic.Refresh();
    logic.HandleReply(Reply(0x21, QamProgram(1, 3)).View());
    logic.WaitEnded();
    EXPECT_FALSE(logic.Running());
    // Without TakeLate the reply is not the chain's any more.
    EXPECT_TRUE(logic.HandleReply(Reply(0x21, QamProgram(2, 3)).View()).IsEmpty());
    ASSERT_TRUE(logic.TakeLate(Reply(0x21, QamProgram(2, 3)).View()));
    const PageStep late = LateStep(logic.HandleReply(Reply(0x21, QamProgram(2, 3)).View()));
    logic.LateHandled();
    EXPECT_FALSE(late.HasRequest());
    EXPECT_EQ(late.wait, PageStep::Wait::kNone);
    EXPECT_EQ(logic.Describe(2).name, "P2");
    EXPECT_FALSE(logic.Running());
    // Only once, and a reply of another command is never late.
    EXPECT_FALSE(logic.TakeLate(Reply(0x21, QamProgram(3, 3)).View()));
    // A refused send leaves nothing late.
    logic.Refresh();
    NothingLate(logic);
    EXPECT_FALSE(logic.TakeLate(Reply(0x21, QamProgram(1, 3)).View()));
    EXPECT_TRUE(logic.Refresh().HasRequest());
}

TEST(ScramblerQamChainTest, StatusLampsAndRate) {
    ScramblerQamLogic logic;
    EXPECT_TRUE(logic.HandleReply(Reply(0x26, {}).View()).IsEmpty());
    const PageStep s = logic.HandleReply(Reply(0x26, {0x11, 0x03, 0xe8, 0x02, 0, 0, 0}).View());
    EXPECT_EQ(s.refresh, unsigned(ScramblerLogic::kRefreshStatus));
    EXPECT_EQ(logic.Status().links, 0x11);
    EXPECT_EQ(logic.Status().kbps, 1504u);
    EXPECT_TRUE(logic.Status().hasAsi);
    EXPECT_EQ(logic.Status().asiFlags, 2u);
}

TEST(ScrambleChainTest, ProgramCountsAndWritesFollowThePage) {
    ScramblerSimDevice sim(0x3101);
    {
        // A short record is not stored, but the read goes on from the reply's header.
        ScrambleLogic logic;
        logic.Refresh();
        const PageStep s = logic.HandleReply(Reply(0x21, {1, 1, 3, 0, 0}, 1, 3).View());
        EXPECT_EQ(s.payload, (std::vector<uint8_t>{1, 2}));
        EXPECT_EQ(logic.Describe(1).name, "");
        EXPECT_TRUE(logic.Running());
    }
    {
        // No programs: the write sends [1, 0] with c = 0, then the AC pages (old codes below 0x0FFF).
        ScrambleLogic logic;
        logic.SetVersion(0xFE0F);
        PageStep s = logic.Refresh();
        s = logic.HandleReply(Reply(0x21, {1, 0, 0}).View());
        EXPECT_EQ(s.command, 0x24);
        s = logic.HandleReply(Reply(0x24, sim.Block()).View());
        for (int k = 0; k < 8; ++k) {
            ASSERT_EQ(s.command, 0x22);
            std::vector<uint8_t> page(1026, 0);
            page[0] = s.payload[0], page[1] = s.payload[1];
            s = logic.HandleReply(Reply(0x22, page, uint8_t(k + 1), 8).View());
        }
        EXPECT_EQ(s.command, 0x40);
        s = logic.HandleReply(Reply(0x40, {}).View());
        s = logic.HandleReply(Reply(0x42, {}).View());
        EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(logic.CwRead());
        s = logic.Set(logic.SlotForm(), 1);
        ASSERT_EQ(s.command, 0x25);
        s = logic.HandleReply(Reply(0x25, {}).View());
        EXPECT_EQ(s.command, 0x41);
        // The CW table was never read: it is not written.
        s = logic.HandleReply(Reply(0x41, {}).View());
        EXPECT_EQ(s.command, 0x2f);
        EXPECT_EQ(s.payload, (std::vector<uint8_t>{1, 0}));
        EXPECT_EQ(s.c, 0);
        s = logic.HandleReply(Reply(0x2f, {}).View());
        EXPECT_EQ(s.command, 0x23);
        EXPECT_EQ(s.b, 1);
        EXPECT_EQ(s.c, 8);
        // Success is reported on the last page's reply, not before.
        for (int k = 0; k < 7; ++k)
            s = logic.HandleReply(Reply(0x23, {}).View());
        EXPECT_TRUE(logic.TakeEvents().empty());
        s = logic.HandleReply(Reply(0x23, {}).View());
        EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
        EXPECT_EQ(logic.TakeEvents(),
                  (std::vector<std::string>{"Commit CA info succeed", "Commit AC info succeed"}));
    }
}

TEST(ScrambleChainTest, TheProgramReadFollowsTheHeaderAndIgnoresASecondCopy) {
    ScramblerSimDevice sim(0x3101);
    const auto program = [&sim](uint8_t i, uint8_t n) {
        std::vector<uint8_t> p = {1, i, n, uint8_t(i), 0, 0, 0};
        p.insert(p.end(), sim.Programs()[0].begin(), sim.Programs()[0].end());
        return p;
    };
    ScrambleLogic logic;
    PageStep s = logic.Refresh();
    EXPECT_EQ(s.payload, (std::vector<uint8_t>{1, 1}));
    // Every reply twice, with b = step and c = 4.
    for (uint8_t k = 1; k <= 4; ++k) {
        const Reply r(0x21, program(k, 4), k, 4);
        s = logic.HandleReply(r.View());
        EXPECT_TRUE(logic.HandleReply(r.View()).IsEmpty()) << int(k);
        if (k < 4) {
            EXPECT_EQ(s.command, 0x21);
            EXPECT_EQ(s.payload, (std::vector<uint8_t>{1, uint8_t(k + 1)}));
        }
    }
    EXPECT_EQ(s.command, 0x24);
    EXPECT_EQ(s.payload, std::vector<uint8_t>{1});
    EXPECT_EQ(logic.TreeCount(), 4);
    EXPECT_EQ(logic.Settings().Mask(3), 3u);
    // The header decides, not the payload's program number: a reply for step 2 of 2 ends the read.
    ScrambleLogic other;
    other.Refresh();
    s = other.HandleReply(Reply(0x21, program(1, 9), 2, 2).View());
    EXPECT_EQ(s.command, 0x24);
    EXPECT_EQ(other.TreeCount(), 9);
}

}  // namespace scrambler_chain_test
}  // namespace nms
