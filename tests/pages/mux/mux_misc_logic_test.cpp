#include "pages/mux/mux_misc_logic.h"

#include <gtest/gtest.h>

#include <vector>

#include "reply_packet.h"

namespace nms {
namespace mux_misc_logic_test {

using Bytes = std::vector<uint8_t>;

PageStep Reply(MuxMiscLogic& logic, uint8_t command, const Bytes& payload) {
    return logic.HandleReply(ReplyPacket(command, payload).View());
}

// A 75-byte output block with every field distinct and its uninterpreted tail numbered.
Bytes Block(uint8_t flags, uint16_t ts, uint16_t net, uint32_t kbps, uint16_t ins, uint8_t enable,
            std::array<uint8_t, 4> ip, uint16_t port, uint8_t tailSeed) {
    Bytes b(kMuxOutputBlockSize);
    b[0] = flags;
    b[1] = uint8_t(ts), b[2] = uint8_t(ts >> 8);
    b[3] = uint8_t(net), b[4] = uint8_t(net >> 8);
    for (int i = 0; i < 4; ++i)
        b[5 + i] = uint8_t(kbps >> (8 * i));
    b[9] = uint8_t(ins), b[10] = uint8_t(ins >> 8);
    b[11] = enable;
    for (int i = 0; i < 4; ++i)
        b[12 + i] = ip[i];
    b[16] = uint8_t(port), b[17] = uint8_t(port >> 8);
    for (int i = 18; i < kMuxOutputBlockSize; ++i)
        b[i] = uint8_t(tailSeed + i);
    return b;
}

Bytes Record() {
    Bytes r;
    for (const Bytes& b : {Block(0x1f, 0x0001, 0x0101, 38500, 10, 1, {192, 168, 1, 5}, 1234, 1),
                           Block(0x05, 0x0002, 0x0102, 12345, 11, 0, {10, 0, 0, 2}, 5000, 2),
                           Block(0x00, 0x0003, 0x0103, 1, 12, 2, {10, 0, 0, 3}, 5001, 3),
                           Block(0x10, 0xabcd, 0xffff, 0, 65535, 1, {255, 255, 255, 255}, 65535, 4)})
        r.insert(r.end(), b.begin(), b.end());
    return r;
}

Bytes BlockReply(uint8_t ipOutputs) {
    Bytes p{ipOutputs};
    const Bytes r = Record();
    p.insert(p.end(), r.begin(), r.end());
    return p;
}

TEST(MuxMiscText, BitrateFormsAndTypedValues) {
    EXPECT_EQ(FormatMbps(12345, false), "12.345");
    EXPECT_EQ(FormatMbps(38500, true), "038.500");
    EXPECT_EQ(FormatMbps(5, false), "0.005");
    EXPECT_EQ(FormatMbps(4294967295u, false), "4294967.295");

    struct Case {
        const char* text;
        bool ok;
        uint32_t kbps;
    } cases[] = {{"12.3456", true, 12345}, {"12", true, 12000}, {".5", true, 0},
                 {"38.5", true, 38500},    {"", true, 0},       {"99999999", false, 0}};
    for (const Case& c : cases) {
        uint32_t v = 777;
        EXPECT_EQ(ParseBitrateText(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.kbps) << c.text;
        }
    }
}

TEST(MuxMiscText, HexAndAddressFields) {
    uint16_t v = 0;
    EXPECT_TRUE(ParseHex16("ffff", &v));
    EXPECT_EQ(v, 0xffff);
    EXPECT_TRUE(ParseHex16("0001a", &v));  // leading zeros do not count
    EXPECT_EQ(v, 0x1a);
    EXPECT_TRUE(ParseHex16("", &v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(ParseHex16("12345", &v));  // would lose its top digit
    EXPECT_FALSE(ParseHex16("12g", &v));

    uint8_t a[4] = {9, 9, 9, 9};
    EXPECT_TRUE(ParseAddressText("192.168.001.5", a));
    EXPECT_EQ(Bytes(a, a + 4), (Bytes{192, 168, 1, 5}));
    for (const char* bad : {"1.2.3.256", "1.2.3", "1.2.3.4.5", "1..3.4", "a.b.c.d", "1.2.3.0004"})
        EXPECT_FALSE(ParseAddressText(bad, a)) << bad;
}

TEST(MuxMiscLogic, SingleOutputGetShowsAndSetSendsGolden) {
    MuxMiscLogic logic(0);
    PageStep get = logic.Shown();
    EXPECT_EQ(get.command, kCmdGetOutputParams);
    EXPECT_TRUE(get.payload.empty());
    EXPECT_EQ(get.wait, PageStep::Wait::kBeginShort);

    // 38500 kbit/s, TS 0x1a2b, net 0x0102, IP insert 300, PAT+NIT+CAT.
    const Bytes reply{0x64, 0x96, 0x00, 0x00, 0x2b, 0x1a, 0x02, 0x01, 0x2c, 0x01, 0x15};
    PageStep end = Reply(logic, kCmdGetOutputParams, reply);
    EXPECT_EQ(end.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(end.refresh, PageStep::kRefreshAll);
    const MuxOutputForm& f = logic.Form(0);
    EXPECT_EQ(f.bitrate, "38.500");
    EXPECT_EQ(f.tsId, "1a2b");
    EXPECT_EQ(f.netId, "102");
    EXPECT_EQ(f.ipInsert, "300");
    EXPECT_EQ(f.tables, (std::array<bool, kTableCount>{true, false, true, false, true}));

    PageStep set = logic.Set(MuxMiscLogic::kOutputA);
    EXPECT_EQ(set.command, kCmdSetOutputParams);
    EXPECT_EQ(set.payload, reply);
    EXPECT_EQ(Reply(logic, kCmdSetOutputParams, {}).wait, PageStep::Wait::kEnd);

    logic.Form(0).bitrate = "12.3456";
    logic.Form(0).tables = {false, true, false, true, false};
    EXPECT_EQ(logic.Set(MuxMiscLogic::kOutputA).payload,
              (Bytes{0x39, 0x30, 0, 0, 0x2b, 0x1a, 0x02, 0x01, 0x2c, 0x01, 0x0a}));
}

TEST(MuxMiscLogic, SingleOutputReplyLengths) {
    MuxMiscLogic logic(0);
    logic.Form(0).tables = {true, true, true, true, true};
    logic.Get(MuxMiscLogic::kOutputA);
    // Exactly ten bytes: the parameters but no flags byte, so the boxes stay.
    Bytes ten{0xe8, 0x03, 0, 0, 1, 0, 2, 0, 3, 0};
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, ten).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(logic.Form(0).bitrate, "1.000");
    EXPECT_EQ(logic.Form(0).tables, (std::array<bool, kTableCount>{true, true, true, true, true}));

    // Nine bytes: nothing changes and the wait runs on to its time-out.
    logic.Get(MuxMiscLogic::kOutputA);
    PageStep shortStep = Reply(logic, kCmdGetOutputParams, Bytes(9, 0xff));
    EXPECT_EQ(shortStep.wait, PageStep::Wait::kNone);
    EXPECT_EQ(logic.Form(0).bitrate, "1.000");
    EXPECT_TRUE(logic.Waiting());

    // After the time-out the late reply is not used.
    logic.WaitEnded();
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, Bytes(11, 0)).wait, PageStep::Wait::kNone);
    EXPECT_EQ(logic.Form(0).bitrate, "1.000");
    EXPECT_EQ(Reply(logic, kCmdSetOutputParams, {}).wait, PageStep::Wait::kNone);
}

TEST(MuxMiscLogic, FieldsThatDoNotFitAreRefused) {
    struct Case {
        int pageParam;
        const char* field;
        const char* text;
        const char* message;
    } cases[] = {
        {0, "bitrate", "12a", "Output bitrate error!"},
        {1, "bitrate", "-1", "Output bitrate error!"},
        {20, "bitrate", "99999999", "Output bitrate error!"},
        {86, "bitrate", "99999999", "Output bitrate error!"},
        {0, "ts", "12345", "Please enter an integer between 0 and FFFF."},
        {0, "net", "xyz", "Please enter an integer between 0 and FFFF."},
        {0, "insert", "65536", "Please enter an integer between 0 and 65535."},
        {0, "insert", "abc", "Please enter an integer."},
        {0, "insert", "", "Please enter an integer."},
        {20, "port", "70000", "Please enter an integer between 0 and 65535."},
        {20, "address", "1.2.3.256", "Please enter an integer between 0 and 255."},
    };
    for (const Case& c : cases) {
        MuxMiscLogic logic(c.pageParam);
        MuxOutputForm& f = logic.Form(c.pageParam == 20 ? 1 : 0);
        const std::string field = c.field;
        std::string& target = field == "bitrate"  ? f.bitrate
                              : field == "ts"     ? f.tsId
                              : field == "net"    ? f.netId
                              : field == "insert" ? f.ipInsert
                              : field == "port"   ? f.port
                                                  : f.address;
        target = c.text;
        PageStep step = logic.Set(c.pageParam == 20 ? MuxMiscLogic::kAllOutputs : MuxMiscLogic::kOutputA);
        EXPECT_FALSE(step.HasRequest()) << c.pageParam << " " << c.field << " " << c.text;
        EXPECT_EQ(step.messages.empty() ? std::string() : step.messages.front(), c.message)
            << c.pageParam << " " << c.field << " " << c.text;
        EXPECT_FALSE(logic.Waiting());
    }
    // Only the single-record variants check the characters; the others read the leading number.
    MuxMiscLogic blocks(20);
    blocks.Form(0).bitrate = "12a";
    PageStep step = blocks.Set(MuxMiscLogic::kAllOutputs);
    ASSERT_TRUE(step.HasRequest());
    EXPECT_EQ(step.payload[1 + 5], 0xe0);  // 12000 = 0x2ee0
    EXPECT_EQ(step.payload[1 + 6], 0x2e);
}

TEST(MuxMiscLogic, TwoOutputShownReadsAThenBUnderOneWait) {
    MuxMiscLogic logic(1);
    PageStep first = logic.Shown();
    EXPECT_EQ(first.payload, Bytes{1});
    EXPECT_EQ(first.wait, PageStep::Wait::kBeginShort);

    PageStep second = Reply(logic, kCmdGetOutputParams, {1, 0xe8, 0x03, 0, 0, 0x11, 0, 0x22, 0, 5, 0});
    EXPECT_EQ(second.command, kCmdGetOutputParams);
    EXPECT_EQ(second.payload, Bytes{2});
    EXPECT_EQ(second.wait, PageStep::Wait::kNone);
    EXPECT_EQ(logic.Form(0).tsId, "11");

    PageStep end = Reply(logic, kCmdGetOutputParams, {2, 0xd0, 0x07, 0, 0, 0x33, 0, 0x44, 0, 6, 0});
    EXPECT_FALSE(end.HasRequest());
    EXPECT_EQ(end.wait, PageStep::Wait::kEnd);
    EXPECT_EQ(logic.Form(1).bitrate, "2.000");
    EXPECT_EQ(logic.Form(1).netId, "44");
    EXPECT_EQ(logic.Form(0).bitrate, "1.000");

    // B's own Get reads only B.
    EXPECT_EQ(logic.Get(MuxMiscLogic::kOutputB).payload, Bytes{2});
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).wait,
              PageStep::Wait::kEnd);
    EXPECT_EQ(logic.Form(1).bitrate, "0.000");

    // Set B sends B's parameters behind its selector and no flags byte.
    logic.Form(1).bitrate = "2.5";
    EXPECT_EQ(logic.Set(MuxMiscLogic::kOutputB).payload, (Bytes{2, 0xc4, 0x09, 0, 0, 0, 0, 0, 0, 0, 0}));
    // A short reply does not continue the chain.
    logic.Shown();
    EXPECT_FALSE(Reply(logic, kCmdGetOutputParams, {1, 0, 0}).HasRequest());
    // After that read timed out, A's own Get reads A only.
    logic.WaitEnded();
    EXPECT_EQ(logic.Get(MuxMiscLogic::kOutputA).payload, Bytes{1});
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).wait,
              PageStep::Wait::kEnd);
}

TEST(MuxMiscLogic, BlockRecordReadShowsEveryOutputAndSetSendsItBack) {
    for (int param : {20, 39}) {
        SCOPED_TRACE(param);
        MuxMiscLogic logic(param);
        EXPECT_EQ(logic.Shown().payload, Bytes{});
        EXPECT_EQ(Reply(logic, kCmdGetOutputParams, BlockReply(1)).wait, PageStep::Wait::kEnd);
        EXPECT_TRUE(logic.HasIpOutputs());
        const MuxOutputForm& a = logic.Form(0);
        EXPECT_EQ(a.bitrate, "038.500");
        EXPECT_EQ(a.tsId, "0001");
        EXPECT_EQ(a.netId, "0101");
        EXPECT_EQ(a.address, "192.168.1.5");
        EXPECT_EQ(a.port, "1234");
        EXPECT_TRUE(a.enable);
        EXPECT_FALSE(logic.Form(1).enable);  // enable byte 0 is not shown as checked
        EXPECT_EQ(logic.Form(3).tsId, "abcd");

        // Untouched, the record goes back exactly as read (C and D on 39 too).
        PageStep set = logic.Set(MuxMiscLogic::kAllOutputs);
        Bytes expected{0};
        const Bytes r = Record();
        expected.insert(expected.end(), r.begin(), r.end());
        EXPECT_EQ(set.payload, expected);

        logic.Form(1).enable = true;
        logic.Form(2).tables[kTableNit] = true;
        set = logic.Set(MuxMiscLogic::kAllOutputs);
        EXPECT_EQ(set.payload[1 + 75 + 11], 1);
        EXPECT_EQ(set.payload[1 + 150], 0x04);
    }
}

TEST(MuxMiscLogic, BlockRecordEdges) {
    MuxMiscLogic logic(20);
    // Before any read the uninterpreted bytes go as zeros.
    PageStep blank = logic.Set(MuxMiscLogic::kAllOutputs);
    EXPECT_EQ(blank.payload, Bytes(301, 0));
    // While the Set waits, a read reply is not its answer.
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, BlockReply(1)).wait, PageStep::Wait::kNone);
    EXPECT_EQ(Reply(logic, kCmdSetOutputParams, {}).wait, PageStep::Wait::kEnd);
    logic.Get(MuxMiscLogic::kAllOutputs);

    // Without IP outputs A's IP fields are not taken from the form.
    ASSERT_EQ(Reply(logic, kCmdGetOutputParams, BlockReply(0)).wait, PageStep::Wait::kEnd);
    EXPECT_FALSE(logic.HasIpOutputs());
    logic.Form(0).port = "9";
    logic.Form(0).address = "garbage";
    PageStep set = logic.Set(MuxMiscLogic::kAllOutputs);
    ASSERT_TRUE(set.HasRequest());
    EXPECT_EQ(set.payload[1 + 16], 1234 & 0xff);
    EXPECT_EQ(set.payload[1 + 12], 192);
    Reply(logic, kCmdSetOutputParams, {});

    // A reply one byte short keeps everything and lets the wait time out.
    logic.Get(MuxMiscLogic::kAllOutputs);
    Bytes shortReply = BlockReply(1);
    shortReply.pop_back();
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, shortReply).wait, PageStep::Wait::kNone);
    EXPECT_FALSE(logic.HasIpOutputs());
    EXPECT_TRUE(logic.Waiting());
}

TEST(MuxMiscLogic, TranscoderRecordKeepsItsUninterpretedBytes) {
    MuxMiscLogic logic(86);
    EXPECT_EQ(logic.Shown().payload, (Bytes{0, 0, 0, 0}));
    Bytes record(kTranscoderOutputParamsSize);
    for (int i = 0; i < kTranscoderOutputParamsSize; ++i)
        record[i] = uint8_t(0x80 + i);
    record[0] = 0x34, record[1] = 0x12;                                // TS id
    record[4] = 0x09;                                                  // PAT + PMT
    record[5] = 0x39, record[6] = 0x30, record[7] = 0, record[8] = 0;  // 12345 kbit/s
    Bytes reply{0xaa, 0xbb, 0xcc, 0xdd};
    reply.insert(reply.end(), record.begin(), record.end());
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, reply).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(logic.Form(0).tsId, "1234");
    EXPECT_EQ(logic.Form(0).bitrate, "12.345");
    EXPECT_EQ(logic.Form(0).tables, (std::array<bool, kTableCount>{true, false, false, true, false}));

    Bytes expected{0, 0, 0, 0};
    expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(logic.Set(MuxMiscLogic::kOutputA).payload, expected);

    Reply(logic, kCmdSetOutputParams, {});
    logic.Get(MuxMiscLogic::kOutputA);
    reply.pop_back();
    EXPECT_EQ(Reply(logic, kCmdGetOutputParams, reply).wait, PageStep::Wait::kNone);
}

TEST(MuxMiscLogic, RealTimeBitrates) {
    Bytes status{0};
    for (uint32_t v : {12345u, 2000u, 3u, 40000u})
        for (int i = 0; i < 4; ++i)
            status.push_back(uint8_t(v >> (8 * i)));

    MuxMiscLogic all(0);
    EXPECT_EQ(all.Poll().command, kCmdOutputStatus);
    EXPECT_TRUE(all.Poll().payload.empty());
    EXPECT_EQ(Reply(all, kCmdOutputStatus, status).refresh, MuxMiscLogic::kRefreshRealtime);
    EXPECT_EQ(all.Form(0).realtime, "12.345");
    EXPECT_EQ(all.Form(3).realtime, "40.000");

    MuxMiscLogic two(39);
    Reply(two, kCmdOutputStatus, status);
    EXPECT_EQ(two.Form(1).realtime, "2.000");
    EXPECT_EQ(two.Form(2).realtime, "");

    // A short status reply fills only what arrived.
    MuxMiscLogic cut(20);
    Reply(cut, kCmdOutputStatus, Bytes(status.begin(), status.begin() + 7));
    EXPECT_EQ(cut.Form(0).realtime, "12.345");
    EXPECT_EQ(cut.Form(1).realtime, "");
    EXPECT_EQ(Reply(cut, kCmdOutputStatus, {}).refresh, PageStep::kRefreshNone);
}

}  // namespace mux_misc_logic_test
}  // namespace nms
