// The scrambler pages' request chains without windows, against the simulated devices and against
// scripted replies: repeated, short, out-of-range and late ones.
#include <gtest/gtest.h>

#include "devices/device_packet.h"
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
    EXPECT_EQ(logic.Describe(1).name, "CCTV-1");
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
        // A reply for another program than the one asked for ends the chain; a late reply changes nothing.
        ScramblerQamLogic logic;
        logic.Refresh();
        PageStep s = logic.HandleReply(Reply(0x21, program(1, 3)).View());
        EXPECT_EQ(s.payload, std::vector<uint8_t>{2});
        s = logic.HandleReply(Reply(0x21, program(1, 3)).View());  // repeated
        EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(s.HasRequest());
        EXPECT_FALSE(logic.Running());
        EXPECT_TRUE(logic.HandleReply(Reply(0x21, program(2, 3)).View()).IsEmpty());
    }
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
        // AC pages: a half byte of 5 with header b = 2 counts as the second half; a page of table 9 ends.
        for (const AcPage& page : ScramblerQamLogic::ReadOrder()) {
            std::vector<uint8_t> p(1026, 0xab);
            p[0] = page.first;
            p[1] = page.second == 2 ? 5 : 1;
            s = logic.HandleReply(Reply(0x50, p, page.second == 2 ? 2 : 1).View());
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
        std::vector<uint8_t> p(1026, 0);
        p[0] = 9, p[1] = 1;
        s = logic.HandleReply(Reply(0x50, p).View());
        EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(s.HasRequest());
    }
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
    const auto program = [&sim](uint8_t i, uint8_t n) {
        std::vector<uint8_t> p = {1, i, n, 0, 0, 0, 0};
        p.insert(p.end(), sim.Programs()[0].begin(), sim.Programs()[0].end());
        return p;
    };
    {
        // Header counters are not followed: steps come from the first count; a wrong number ends the chain.
        ScrambleLogic logic;
        logic.Refresh();
        PageStep s = logic.HandleReply(Reply(0x21, program(1, 3), 1, 200).View());
        EXPECT_EQ(s.payload, (std::vector<uint8_t>{1, 2}));
        s = logic.HandleReply(Reply(0x21, program(7, 3), 2, 3).View());
        EXPECT_EQ(s.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(logic.Running());
        // A short record changes nothing and keeps the chain where it was.
        logic.Refresh();
        EXPECT_TRUE(logic.HandleReply(Reply(0x21, {1, 1, 3, 0, 0}).View()).IsEmpty());
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
            s = logic.HandleReply(Reply(0x22, page).View());
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

}  // namespace scrambler_chain_test
}  // namespace nms
