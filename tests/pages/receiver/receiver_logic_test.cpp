// The receiver pages' logic without windows: the reply wait the read/write pages share, the input
// parameter page's Set, and the signal monitor's reads when shown.
#include <gtest/gtest.h>

#include "pages/receiver/dvbs_system_logic.h"
#include "pages/receiver/reply_wait.h"
#include "pages/receiver/tuner8x_logic.h"

namespace nms {
namespace receiver_logic_test {

using Bytes = std::vector<uint8_t>;

// A framed reply as the link hands it over (header + payload, no CRC).
struct Reply {
    Bytes bytes;
    Reply(uint8_t command, const Bytes& payload, uint8_t b = 1) {
        bytes = {0x51, 0x03, b, 1, command, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    }
    ReplyView View() const { return ReplyView(bytes.data(), int(bytes.size())); }
};

TEST(ReplyWaitTest, ALateReplyIsTakenOnceAndOnlyUntilTheNextRequest) {
    ReplyWait wait;
    bool late = true;
    EXPECT_FALSE(wait.Take(Reply(0x70, {}).View(), &late));  // nothing asked for
    wait.Request(0x70, {}, PageStep::Wait::kBeginShort);
    EXPECT_FALSE(wait.Take(Reply(0x71, {}).View(), &late));  // not the awaited command
    wait.Ended();
    // A late reply the page cannot use (too short) stays late for a whole one.
    ASSERT_TRUE(wait.Take(Reply(0x70, {}).View(), &late));
    EXPECT_TRUE(late);
    wait.Untaken(late);
    ASSERT_TRUE(wait.Take(Reply(0x70, {1}).View(), &late));
    EXPECT_TRUE(late);
    // What a late reply starts: nothing but the version request.
    PageStep step = PageStep::Request(0x71, {1, 2}, PageStep::Wait::kRestart);
    step.sendVersion = true;
    step = wait.Done(step, late);
    EXPECT_FALSE(step.HasRequest());
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(step.sendVersion);
    EXPECT_FALSE(wait.Take(Reply(0x70, {1}).View(), &late));  // once only

    // A newer request drops the late one; a refused one leaves nothing late.
    wait.Request(0x70, {}, PageStep::Wait::kBeginShort);
    wait.Ended();
    wait.Request(0x71, {}, PageStep::Wait::kBeginShort);
    EXPECT_FALSE(wait.Take(Reply(0x70, {1}).View(), &late));
    wait.Refused();
    EXPECT_FALSE(wait.Take(Reply(0x71, {}).View(), &late));
    EXPECT_FALSE(wait.Waiting());
}

// Eight records (frequency 11700 MHz and up, LNB 10600 MHz, 27.5 Msym/s), then the IP block.
Bytes EightRecordsWithBlock() {
    Bytes r(8 * 29, 0);
    for (size_t k = 0; k < 8; ++k) {
        const uint32_t lnb = 10600000, f = 11700000 + 20000 * uint32_t(k);
        for (size_t i = 0; i < 4; ++i) {
            r[29 * k + i] = uint8_t(lnb >> (8 * i));
            r[29 * k + 4 + i] = uint8_t(f >> (8 * i));
        }
        r[29 * k + 8] = 0x6c, r[29 * k + 9] = 0x6b;
    }
    r.push_back(0xA0);
    const Bytes head = {192, 168, 1, 50, 0x13, 0x88, 0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e};
    r.insert(r.end(), head.begin(), head.end());
    for (int i = 12; i < 96; ++i)
        r.push_back(uint8_t(i));
    return r;
}

DvbsSystemForm FormOf(const DvbsSystemLogic& logic, const std::string& mac) {
    DvbsSystemForm f;
    for (int r = 0; r < kDvbsRows; ++r)
        f.rows[size_t(r)] = ShowTunerRow(logic.Records(), logic.RecordOffset(r), true);
    f.ip = {10, 0, 0, 9};
    f.port = "5000";
    f.mac = mac;
    return f;
}

TEST(DvbsSystemLogicTest, OnlyTheVariantThatShowsTheIpAreaTakesIt) {
    const Bytes reply = EightRecordsWithBlock();
    const Bytes block(reply.end() - 96, reply.end());
    struct Case {
        int pageParam;
        size_t records;
        Bytes written;  // the block as the write carries it
    } cases[] = {
        {0, 4, block},
        {37, 8, block},
        {35, 8,
         [&] {
             Bytes b = block;
             const Bytes head = {10, 0, 0, 9, 0x13, 0x88, 0x00, 0x12, 0x09, 0x14, 0x30, 0x05};
             std::copy(head.begin(), head.end(), b.begin());
             return b;
         }()},
    };
    for (const Case& c : cases) {
        DvbsSystemLogic logic(c.pageParam);
        logic.Get();
        ASSERT_FALSE(logic.HandleReply(Reply(0x70, reply).View()).IsEmpty()) << c.pageParam;
        const PageStep set = logic.Set(FormOf(logic, "00-12-09-14-30-05"));
        ASSERT_EQ(set.command, 0x71) << c.pageParam;
        ASSERT_EQ(set.payload.size(), c.records * 29 + 97) << c.pageParam;
        EXPECT_EQ(set.payload[c.records * 29], 0xA0);
        EXPECT_EQ(Bytes(set.payload.end() - 96, set.payload.end()), c.written) << c.pageParam;
    }
}

TEST(DvbsSystemLogicTest, EveryTooLongNumberIsReportedBeforeTheEmptyRecordMessage) {
    DvbsSystemLogic logic(37);
    logic.Get();
    logic.HandleReply(Reply(0x70, EightRecordsWithBlock()).View());
    DvbsSystemForm form = FormOf(logic, "");
    form.rows[0].frequency = "123456.0";
    form.rows[4].lnb = "123456";
    form.rows[6].symbol = "654321";
    const PageStep step = logic.Set(form);
    EXPECT_FALSE(step.HasRequest());
    EXPECT_EQ(step.messages,
              (std::vector<std::string>{"Frequency error,over maximum!", "Frequency error,over maximum!",
                                        "Frequency error,over maximum!", "parameter can not empty!"}));
    // The fields became 0 in the records; the others kept theirs.
    TunerChannelHead h;
    ASSERT_TRUE(ReadTunerHead(logic.Records(), 0, &h));
    EXPECT_EQ(h.frequency, 0u);
    EXPECT_EQ(h.lnb, 10600000u);
    // A symbol rate the record cannot hold still refuses the Set at its row.
    form = FormOf(logic, "");
    form.rows[0].frequency = "11700";
    form.rows[4].lnb = "10600";
    form.rows[6].symbol = "70";
    EXPECT_EQ(logic.Set(form).messages, (std::vector<std::string>{kSymbolOverMaximumText}));
    EXPECT_EQ(logic.FailedField(), 6);
}

TEST(SignalMonitorLogicTest, ShowingAsksForTheVersionThenTheMap) {
    for (int pageParam : {0, 48, 49}) {
        SignalMonitorLogic logic;
        logic.Reset(pageParam);
        const PageStep shown = logic.Shown(true);
        EXPECT_TRUE(shown.sendVersion);
        EXPECT_FALSE(shown.HasRequest());
        EXPECT_TRUE(logic.MapReadPending()) << pageParam;
        logic.MapReadSent();
        EXPECT_FALSE(logic.MapReadPending());
    }
    SignalMonitorLogic logic;
    logic.Reset(0);
    logic.Shown(false);
    EXPECT_FALSE(logic.MapReadPending());  // offline: nothing follows
    logic.Shown(true);
    const PageStep get = logic.Get();  // "Get" reads at once and takes the pending read's place
    EXPECT_EQ(get.command, 0x33);
    EXPECT_FALSE(logic.MapReadPending());
}

}  // namespace receiver_logic_test
}  // namespace nms
