#include "pages/psi/psi_chain.h"

#include <gtest/gtest.h>

#include "pages/psi/psi_section_checker.h"
#include "platform/prompt.h"
#include "psi_sections.h"

namespace nms {
namespace psi_chain_test {

using testing::Bytes;

// A reply packet as the link hands it to the page.
struct Reply {
    Bytes packet;
    ReplyView View() const { return ReplyView(packet.data(), static_cast<int>(packet.size())); }
};

Reply MakeReply(uint8_t command, const Bytes& payload, uint8_t b = 1, uint8_t c = 1, uint16_t type = 0x2101) {
    Reply r;
    r.packet = {static_cast<uint8_t>(type >> 8),           static_cast<uint8_t>(type),          b, c, command,
                static_cast<uint8_t>(payload.size() >> 8), static_cast<uint8_t>(payload.size())};
    r.packet.insert(r.packet.end(), payload.begin(), payload.end());
    return r;
}

Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Expect {
    uint8_t command;
    Bytes payload;
    uint8_t b = 1, c = 1;
};

void ExpectRequest(const PageStep& step, const Expect& want) {
    ASSERT_TRUE(step.HasRequest());
    EXPECT_EQ(step.command, want.command);
    EXPECT_EQ(step.payload, want.payload);
    EXPECT_EQ(step.b, want.b);
    EXPECT_EQ(step.c, want.c);
    EXPECT_NE(step.wait, PageStep::Wait::kEnd);
}

class PsiChainTest : public ::testing::Test {
protected:
    void Use(int pageParam) {
        model.SetPageParam(pageParam);
        chain.SetPageParam(pageParam);
    }
    PageStep Feed(uint8_t command, const Bytes& payload, uint8_t b = 1, uint8_t c = 1,
                  uint16_t type = 0x2101) {
        Reply r = MakeReply(command, payload, b, c, type);
        return chain.OnReply(r.View());
    }
    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
    CMuxPsiModel model;
    CMuxPsiChain chain{model};
    Bytes pat = testing::MakePat(2, 0x0421, false);
    Bytes pmt1 = testing::MakePmt(1);
    Bytes pmt2 = testing::MakePmt(2);
    Bytes cat = testing::MakeCat(2);
    Bytes nit = testing::MakeNit();
    Bytes sdt = testing::MakeSdt(3);
};

TEST_F(PsiChainTest, MultiChannelReadWithTwoNitSegments) {
    Use(17);
    PageStep first = chain.BeginRead(2, 0);
    EXPECT_EQ(first.command, 39);
    EXPECT_EQ(first.payload, Bytes{2});
    ExpectRequest(Feed(39, Cat({2}, pat)), {41, {2, 0}});
    ExpectRequest(Feed(41, Cat({2, 0, 0, 0, 0}, pmt1)), {41, {2, 1}});
    ExpectRequest(Feed(41, Cat({2, 1, 0, 0, 0}, pmt2)), {45, {2}});
    ExpectRequest(Feed(45, Cat({2}, cat)), {47, {2}, 1, 1});
    ExpectRequest(Feed(47, Cat({2}, nit), 1, 2), {47, {2}, 2, 2});
    ExpectRequest(Feed(47, {2, 0x40}, 2, 2), {43, {2}, 1, 1});
    PageStep last = Feed(43, Cat({2}, sdt));
    EXPECT_EQ(last.wait, PageStep::Wait::kEnd);
    EXPECT_FALSE(last.HasRequest());
    EXPECT_TRUE(last.messages.empty());
    EXPECT_EQ(model.PmtsRoot()->children.size(), 2u);
    EXPECT_EQ(chain.PmtSlot(1, 2), pmt2);
    EXPECT_EQ(model.SdtRoot()->children.size(), 15u);
    EXPECT_EQ(model.NitRoot()->children.size(), 18u);
    EXPECT_FALSE(chain.IsRunning());
}

TEST_F(PsiChainTest, MultiChannelSdtOfTwoSegmentsIsReadAsOneSection) {
    Use(17);
    Bytes big = testing::MakeSdt(12);
    ASSERT_GT(big.size(), 1024u);
    ASSERT_LE(big.size(), 2048u);
    Bytes first(big.begin(), big.begin() + 1024);
    Bytes second(big.begin() + 1024, big.end());
    chain.BeginRead(1, 0);
    ExpectRequest(Feed(39, Cat({1}, testing::MakePat(0, 1, false))), {45, {1}});
    ExpectRequest(Feed(45, Cat({1}, cat)), {47, {1}, 1, 1});
    ExpectRequest(Feed(47, Cat({1}, nit)), {43, {1}, 1, 1});
    ExpectRequest(Feed(43, Cat({1}, first), 1, 2), {43, {1}, 2, 2});
    PageStep last = Feed(43, Cat({1}, second), 2, 2);
    EXPECT_EQ(last.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(chain.SdtLength(), static_cast<int>(big.size()));
    EXPECT_FALSE(model.SdtRoot()->locked);
    PsiItem* services = model.Tree().Child(model.SdtRoot(), 13);
    ASSERT_NE(services, nullptr);
    EXPECT_EQ(services->text, "services ");
    EXPECT_EQ(services->children.size(), 12u);
}

TEST_F(PsiChainTest, BadNumbersEndTheChainAndLateRepliesContinueNothing) {
    Use(17);
    struct Case {
        const char* name;
        uint8_t command;
        Bytes payload;
        uint8_t b, c;
    };
    // Each case runs a fresh read up to the step it breaks.
    Case cases[] = {
        {"channel beyond the device's", 41, Cat({4, 0, 0, 0, 0}, pmt1), 1, 1},
        {"slot beyond 128", 41, Cat({2, 128, 0, 0, 0}, pmt1), 1, 1},
        {"too short for its bytes", 41, {2}, 1, 1},
        {"PMT larger than its buffer", 41, Cat({2, 0, 0, 0, 0}, Cat({0x02}, Bytes(2100, 0))), 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chain.BeginRead(2, 0);
        ExpectRequest(Feed(39, Cat({2}, pat)), {41, {2, 0}});
        PageStep step = Feed(c.command, c.payload, c.b, c.c);
        EXPECT_FALSE(step.IsEmpty());
        EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(step.HasRequest());
        EXPECT_TRUE(Feed(41, Cat({2, 1, 0, 0, 0}, pmt2)).IsEmpty());
    }
    struct Segment {
        uint8_t b, c;
    };
    for (Segment s : {Segment{2, 2}, Segment{1, 3}, Segment{0, 1}, Segment{3, 3}}) {
        SCOPED_TRACE(int(s.b) * 10 + s.c);
        chain.BeginRead(2, 0);
        Feed(39, Cat({2}, testing::MakePat(0, 1, false)));
        ExpectRequest(Feed(45, Cat({2}, cat)), {47, {2}, 1, 1});
        PageStep step = Feed(47, Cat({2}, nit), s.b, s.c);
        EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(step.HasRequest());
    }
    // A reply after the wait ended, or to another request, is not taken.
    chain.BeginRead(2, 0);
    chain.Abort();
    EXPECT_TRUE(Feed(39, Cat({2}, pat)).IsEmpty());
    chain.BeginRead(2, 0);
    EXPECT_TRUE(Feed(45, Cat({2}, cat)).IsEmpty());
}

TEST_F(PsiChainTest, Variant102ModuleCount) {
    Use(102);
    PageStep first = chain.BeginRead(5, 0);
    EXPECT_EQ(first.payload, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 5}));
    PageStep bad = Feed(39, Cat({5, 0, 0, 0, 0, 0, 0, 0, 0}, pat));
    EXPECT_EQ(bad.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(bad.messages, std::vector<std::string>{"Module Error"});
    EXPECT_TRUE(model.PatRoot()->children.empty());
    chain.BeginRead(5, 0);
    PageStep ok = Feed(39, Cat({5, 2, 0, 0, 0, 0, 0, 0, 0}, pat));
    EXPECT_TRUE(ok.refresh & CMuxPsiChain::kRefreshChannels);
    EXPECT_EQ(chain.ChannelCount(), 8);
    ExpectRequest(ok, {41, {5, 0}});
    ExpectRequest(Feed(41, Cat({5, 0, 0, 0, 0}, pmt1)), {41, {5, 1}});
}

TEST_F(PsiChainTest, Variant0AsksForTheProgramsOfTheFirstPage) {
    Use(0);
    model.Tree().InsertItem(model.PmtsRoot(), "ASI 1: 3 News", 0x0103, kImageEntry);
    model.Tree().InsertItem(model.PmtsRoot(), "ASI 2: 5 Sport", 0x0205, kImageEntry);
    EXPECT_EQ(chain.BeginRead(0, 0).payload, Bytes{0});
    ExpectRequest(Feed(39, pat), {41, {1, 3}});
    ExpectRequest(Feed(41, Cat({1, 3}, pmt1)), {41, {2, 5}});
    ExpectRequest(Feed(41, Cat({2, 5}, pmt2)), {45, {}});
    ExpectRequest(Feed(45, cat), {47, {}});
    ExpectRequest(Feed(47, nit), {43, {}});
    EXPECT_EQ(Feed(43, sdt).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(model.PmtsRoot()->children[1]->children.size(), 18u);
    EXPECT_EQ(chain.PmtSlot(2, 5), pmt2);

    chain.BeginRead(0, 0);
    Feed(39, pat);
    PageStep bad = Feed(41, Cat({9, 3}, pmt1));
    EXPECT_EQ(bad.wait, PageStep::Wait::kEnd);
}

// Without segments a table may fill its whole 2048-byte buffer; only more than that ends the read.
TEST_F(PsiChainTest, SingleChannelTablesUpToTheirBuffer) {
    Use(64);
    Bytes big = testing::MakeSdt(12);
    ASSERT_GT(big.size(), 1024u);
    chain.BeginRead(0, 0);
    ExpectRequest(Feed(39, testing::MakePat(0, 1, false)), {45, {}});
    ExpectRequest(Feed(45, cat), {47, {}});
    ExpectRequest(Feed(47, nit), {43, {}});
    EXPECT_EQ(Feed(43, big).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(chain.SdtLength(), static_cast<int>(big.size()));
    EXPECT_FALSE(model.SdtRoot()->locked);
    EXPECT_EQ(model.Tree().Child(model.SdtRoot(), 13)->children.size(), 12u);

    chain.BeginRead(0, 0);
    Feed(39, testing::MakePat(0, 1, false));
    PageStep over = Feed(45, Cat(cat, Bytes(2049 - cat.size(), 0xFF)));
    EXPECT_EQ(over.wait, PageStep::Wait::kEnd);
    EXPECT_FALSE(over.HasRequest());
}

TEST_F(PsiChainTest, Variant16SourcesAndCaption) {
    Use(16);
    EXPECT_EQ(chain.BeginRead(2, 0).payload, Bytes{2});
    ExpectRequest(Feed(39, Cat({2}, pat)), {41, {2, 1}});
    ExpectRequest(Feed(41, Cat({1, 1}, pmt1)), {41, {2, 2}});
    ExpectRequest(Feed(41, Cat({1, 2}, pmt2)), {45, {2}});
    ExpectRequest(Feed(45, Cat({2}, cat)), {47, {2}});
    ExpectRequest(Feed(47, Cat({2}, nit)), {43, {2}});
    EXPECT_EQ(Feed(43, Cat({2}, sdt)).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(model.TopRoot()->text, "PSI/SI(Local)");
    EXPECT_EQ(model.PmtsRoot()->children[0]->text, "program_number(16bits)0x:0001");

    PageStep parse = chain.BeginParse();
    EXPECT_EQ(parse.command, 32);
    EXPECT_TRUE(parse.payload.empty());
    ExpectRequest(Feed(32, {}), {39, {1}});
    ExpectRequest(Feed(39, Cat({1}, testing::MakePat(0, 1, false))), {45, {1}});
    Feed(45, {1});
    Feed(47, {1});
    EXPECT_EQ(Feed(43, {1}).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(model.TopRoot()->text, "PSI/SI(from TS)");
}

TEST_F(PsiChainTest, Variants65And19UseZeroBasedSlots) {
    Use(65);
    for (int read = 0; read < 2; ++read) {
        chain.BeginRead(0, 0);
        ExpectRequest(Feed(39, pat), {41, {0, 0}});
        ExpectRequest(Feed(41, Cat({0, 0}, pmt1)), {41, {0, 1}});
        ExpectRequest(Feed(41, Cat({0, 1}, pmt2)), {45, {}});
        EXPECT_EQ(model.PmtsRoot()->children.size(), 2u);
    }
    EXPECT_EQ(model.PmtsRoot()->children[1]->text, "program_number(16bits)0x:0002");
    EXPECT_EQ(chain.PmtSlot(1, 2), pmt2);

    Use(19);
    chain.BeginRead(0, 0);
    ExpectRequest(Feed(39, Cat({3}, pat), 1, 1, 12548), {41, {3, 0}});
    // This device puts three more bytes before the section.
    ExpectRequest(Feed(41, Cat({3, 0, 9, 9, 9}, pmt1), 1, 1, 12548), {41, {3, 1}});
    EXPECT_EQ(chain.PmtSlot(1, 1), pmt1);
}

TEST_F(PsiChainTest, WriteChainSendsCheckedSections) {
    Use(17);
    chain.BeginRead(1, 0);
    Feed(39, Cat({1}, pat));
    Feed(41, Cat({1, 0, 0, 0, 0}, pmt1));
    Feed(41, Cat({1, 1, 0, 0, 0}, pmt2));
    Feed(45, Cat({1}, cat));
    Feed(47, Cat({1}, nit));
    Feed(43, Cat({1}, sdt));
    PsiItem* name = nullptr;
    for (PsiItem* at = model.SdtRoot(); at;) {
        PsiItem* next = nullptr;
        for (auto& c : at->children) {
            if (StartsWith(c->text, "service_name(")) {
                name = c.get();
                break;
            }
            if (!c->children.empty() && !next)
                next = c.get();
        }
        if (name)
            break;
        at = next;
    }
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(model.ApplyValueEdit(name, "Nachrichten"));

    std::vector<std::string> messages;
    ASSERT_TRUE(chain.PackForWrite(&messages));
    EXPECT_TRUE(messages.empty());
    PageStep first = chain.BeginWrite(1);
    EXPECT_EQ(first.command, 40);
    EXPECT_EQ(first.payload, Cat({1}, pat));
    ExpectRequest(Feed(40, {}), {42, Cat({1, 0}, pmt1)});
    ExpectRequest(Feed(42, {}), {42, Cat({1, 1}, pmt2)});
    ExpectRequest(Feed(42, {}), {46, Cat({1}, cat)});
    ExpectRequest(Feed(46, {}), {48, Cat({1}, nit)});
    PageStep sdtStep = Feed(48, {});
    ASSERT_TRUE(sdtStep.HasRequest());
    EXPECT_EQ(sdtStep.command, 44);
    const Bytes& sent = sdtStep.payload;
    EXPECT_TRUE(CheckPsiSection(sent.data() + 1, static_cast<int>(sent.size()) - 1));
    EXPECT_NE(std::search(sent.begin(), sent.end(), std::begin("Nachrichten"), std::end("Nachrichten") - 1),
              sent.end());
    PageStep end = Feed(44, {});
    EXPECT_EQ(end.wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(Feed(44, {}).IsEmpty());
}

TEST_F(PsiChainTest, WriteWithoutPmtsAndWithARefusedSection) {
    Use(64);
    chain.BeginRead(0, 0);
    Feed(39, testing::MakePat(0, 1, false));
    Bytes badCat = cat;
    badCat.back() ^= 0xFF;
    Feed(45, badCat);
    Feed(47, {});
    PageStep done = Feed(43, sdt);
    ASSERT_EQ(done.messages.size(), 1u);
    EXPECT_NE(done.messages[0].find("CAT"), std::string::npos);

    std::vector<std::string> messages;
    ASSERT_TRUE(chain.PackForWrite(&messages));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The CAT section is not sent: CRC_32 is wrong.");
    chain.BeginWrite(0);
    PageStep step = Feed(40, {});
    ExpectRequest(step, {44, sdt});  // no PMTs, no CAT, no NIT
    EXPECT_EQ(Feed(44, {}).wait, PageStep::Wait::kEnd);

    CMuxPsiModel empty;
    CMuxPsiChain nothing(empty);
    EXPECT_FALSE(nothing.PackForWrite(&messages));
}

// The PMT writes of the variants: which bytes come before each section.
TEST_F(PsiChainTest, PmtWritePayloadsByVariant) {
    struct Case {
        int variant;
        Bytes patReply, pmtReply1, pmtReply2;
        Bytes write40Prefix, pmtPrefix1, pmtPrefix2;
    };
    Case cases[] = {
        {16, Cat({2}, pat), Cat({1, 1}, pmt1), Cat({1, 2}, pmt2), {}, {1, 1}, {1, 2}},
        {65, pat, Cat({0, 0}, pmt1), Cat({0, 1}, pmt2), {}, {0, 0}, {0, 1}},
        {19, Cat({3}, pat), Cat({3, 0}, pmt1), Cat({3, 1}, pmt2), {0}, {0, 0}, {0, 1}},
        {38, Cat({0}, pat), Cat({0, 0, 0, 0, 0}, pmt1), Cat({0, 1, 0, 0, 0}, pmt2), {0}, {0, 0}, {0, 1}},
        {96, pat, Cat({1, 1}, pmt1), Cat({1, 2}, pmt2), {}, {1, 1}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        model.BuildSkeleton();
        chain.ClearTables();
        Use(c.variant);
        chain.BeginRead(c.variant == 16 ? 2 : 0, 0);
        EXPECT_TRUE(Feed(39, c.patReply).HasRequest());
        EXPECT_TRUE(Feed(41, c.pmtReply1).HasRequest());
        PageStep afterPmts = Feed(41, c.pmtReply2);
        ASSERT_TRUE(afterPmts.HasRequest());
        EXPECT_EQ(afterPmts.command, 45);
        chain.Abort();
        std::vector<std::string> messages;
        ASSERT_TRUE(chain.PackForWrite(&messages));
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(chain.BeginWrite(0).payload, Cat(c.write40Prefix, pat));
        ExpectRequest(Feed(40, {}), {42, Cat(c.pmtPrefix1, pmt1)});
        ExpectRequest(Feed(42, {}), {42, Cat(c.pmtPrefix2, pmt2)});
        EXPECT_EQ(Feed(42, {}).wait, PageStep::Wait::kEnd);  // no CAT, NIT or SDT was read
    }
}

// The device keeps 128 PMT slots: a PAT of 200 programs asks for PMTs 1..128, then the CAT.
TEST_F(PsiChainTest, PmtRequestsStopAtTheSlots) {
    Use(16);
    chain.BeginRead(2, 0);
    PageStep step = Feed(39, Cat({2}, testing::MakePat(200)));
    int asked = 0;
    while (step.HasRequest() && step.command == 41) {
        ++asked;
        ASSERT_EQ(step.payload, (Bytes{2, static_cast<uint8_t>(asked)}));
        step = Feed(41, Cat({1, static_cast<uint8_t>(asked)}, testing::MakePmt(asked)));
    }
    EXPECT_EQ(asked, 128);
    ASSERT_TRUE(step.HasRequest());
    EXPECT_EQ(step.command, 45);
    EXPECT_EQ(model.PmtsRoot()->children.size(), 128u);
}

}  // namespace psi_chain_test
}  // namespace nms
