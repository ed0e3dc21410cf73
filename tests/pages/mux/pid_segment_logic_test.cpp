#include "pages/mux/pid_segment_logic.h"

#include <gtest/gtest.h>

#include <vector>

namespace nms {
namespace pid_segment_logic_test {

using Bytes = std::vector<uint8_t>;

struct Reply {
    Bytes packet;
    Reply(uint8_t command, const Bytes& payload) {
        packet = {0x21, 0x01, 1, 1, command, uint8_t(payload.size() >> 8), uint8_t(payload.size())};
        packet.insert(packet.end(), payload.begin(), payload.end());
    }
    ReplyView View() const { return ReplyView(packet.data(), static_cast<int>(packet.size())); }
};

void Put16(Bytes* b, unsigned v) {
    b->push_back(uint8_t(v >> 8));
    b->push_back(uint8_t(v));
}

// A 53 reply carrying image[offset, offset + length).
Bytes GetReply(const Bytes& image, int offset, int length, bool chassis = false, uint8_t modules = 1) {
    Bytes out;
    if (chassis)
        out = {0, modules, 0, 0, 0, 0, 0, 0};
    Put16(&out, offset);
    Put16(&out, unsigned(image.size()));
    Put16(&out, length);
    out.insert(out.end(), image.begin() + offset, image.begin() + offset + length);
    return out;
}

Bytes SetReply(int offset, int length, bool chassis = false) {
    Bytes out;
    if (chassis)
        out.assign(8, 0);
    Put16(&out, offset);
    Put16(&out, length);
    return out;
}

PageStep Feed(PidSegmentLogic& logic, uint8_t command, const Bytes& payload) {
    Reply r(command, payload);
    return logic.HandleReply(r.View());
}

AddPidMultiFields Fields(int input, const char* oldPid, const char* newPid, uint32_t mask) {
    AddPidMultiFields f;
    f.input = input;
    f.oldPid = oldPid;
    f.newPid = newPid;
    f.outputMask = mask;
    return f;
}

TEST(PidSegment, OutputTextsAndBoxMasks) {
    EXPECT_EQ(OutputListText(0x5, 4), "1,3,");
    EXPECT_EQ(OutputListText(0xFF, 4), "1,2,3,4,");
    EXPECT_EQ(OutputListText(0x8001, 16), "1,16,");
    bool all[16];
    std::fill(std::begin(all), std::end(all), true);
    EXPECT_EQ(MaskFromBoxes(all, 4, 1), 0xFFFFu);  // "Select All" on four outputs
    EXPECT_EQ(MaskFromBoxes(all, 3, 1), 0x7u);
    EXPECT_EQ(MaskFromBoxes(all, 2, 1), 0x3u);
    EXPECT_EQ(MaskFromBoxes(all, 1, 9), 9u);  // one output keeps the row's mask
}

TEST(PidSegment, CountsByVariant) {
    EXPECT_EQ(PidSegmentLogic(39, 0x2125).OutputCount(), 4);
    EXPECT_EQ(PidSegmentLogic(39, 0x2124).OutputCount(), 2);
    EXPECT_EQ(PidSegmentLogic(38, 0).OutputCount(), 3);
    EXPECT_EQ(PidSegmentLogic(19, 0).OutputCount(), 1);
    EXPECT_EQ(PidSegmentLogic(17, 0).InputCount(), 64);
    EXPECT_EQ(PidSegmentLogic(102, 0).Columns()[4], (std::pair<std::string, int>{"Output", 280}));
    EXPECT_EQ(PidSegmentLogic(18, 0).Columns()[4], (std::pair<std::string, int>{"Output", 60}));
}

TEST(PidSegment, SetSendsSegmentsOf1024) {
    struct Case {
        int pageParam;
        int last;
    } cases[] = {{18, 178}, {102, 578}};
    for (const auto& c : cases) {
        const bool chassis = c.pageParam == 102;
        const int head = chassis ? 8 : 0;
        PidSegmentLogic logic(c.pageParam, 0);
        for (int i = 0; i < 200; ++i)
            logic.Add(Fields(2, "FFFF", "10", 0xFF));
        EXPECT_TRUE(logic.TableFull());
        logic.Add(Fields(1, "1", "2", 1));  // the 201st is not taken
        EXPECT_EQ(logic.Rows().size(), 200u);
        PageStep step = logic.Set();
        ASSERT_EQ(step.command, kCmdSetPidForward);
        ASSERT_EQ(step.payload.size(), size_t(head + 4 + 1024));
        EXPECT_EQ(step.payload[head + 2], 0x04);  // length 1024
        EXPECT_EQ(step.payload[head + 4], 0);     // count 200
        EXPECT_EQ(step.payload[head + 5], 200);
        // First entry: input 2 -> 1, mask, PID FFFF sent as 1FFF.
        const Bytes entry =
            chassis ? Bytes{0, 1, 0, 0xFF, 0x1F, 0xFF, 0, 0x10} : Bytes{1, 0xFF, 0x1F, 0xFF, 0, 0x10};
        EXPECT_EQ(
            Bytes(step.payload.begin() + head + 6, step.payload.begin() + head + 6 + long(entry.size())),
            entry);
        step = Feed(logic, kCmdSetPidForward, SetReply(0, 1024, chassis));
        ASSERT_EQ(step.command, kCmdSetPidForward);
        EXPECT_EQ(step.wait, PageStep::Wait::kNone);
        ASSERT_EQ(step.payload.size(), size_t(head + 4 + c.last));
        EXPECT_EQ(step.payload[head], 0x04);  // offset 1024
        EXPECT_EQ(step.payload[head + 1], 0);
        // A repeated answer for the first segment does not move the transfer.
        EXPECT_FALSE(Feed(logic, kCmdSetPidForward, SetReply(0, 1024, chassis)).HasRequest());
        step = Feed(logic, kCmdSetPidForward, SetReply(1024, c.last, chassis));
        EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
        EXPECT_FALSE(step.HasRequest());
        EXPECT_FALSE(logic.Waiting());
    }
}

TEST(PidSegment, GetReadsSegmentsThenParses) {
    PidSegmentLogic logic(18, 0);
    PidSegmentLogic source(18, 0);
    for (int i = 0; i < 200; ++i)
        source.Add(Fields(1 + i % 8, "1ff", "20", 0x5));
    const Bytes image = source.BuildImage();
    ASSERT_EQ(image.size(), 1202u);

    PageStep step = logic.Get();
    EXPECT_EQ(step.payload, (Bytes{0, 0}));
    step = Feed(logic, kCmdGetPidForward, GetReply(image, 0, 1024));
    EXPECT_EQ(step.payload, (Bytes{0x04, 0x00}));
    EXPECT_TRUE(logic.Rows().empty());
    step = Feed(logic, kCmdGetPidForward, GetReply(image, 1024, 178));
    EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
    ASSERT_EQ(logic.Rows().size(), 200u);
    EXPECT_EQ(logic.Rows()[1], (PidSegmentRow{"2", "2", "1FF", "20", "1,3,", 5}));

    // Total 2, count 0: nothing.
    logic.Get();
    EXPECT_EQ(Feed(logic, kCmdGetPidForward, GetReply({0, 0}, 0, 2)).wait, PageStep::Wait::kEnd);
    EXPECT_TRUE(logic.Rows().empty());
}

// A Set sends a short image; a Get after it (the Set's reply never came) must take a whole image again.
TEST(PidSegment, GetAfterASetTakesTheWholeImage) {
    PidSegmentLogic logic(18, 0);
    logic.Add(Fields(1, "100", "200", 0x1));
    logic.Set();
    logic.WaitEnded();
    PidSegmentLogic source(18, 0);
    for (int i = 0; i < 200; ++i)
        source.Add(Fields(1, "1ff", "20", 0x1));
    const Bytes image = source.BuildImage();
    logic.Get();
    Feed(logic, kCmdGetPidForward, GetReply(image, 0, 100));
    Feed(logic, kCmdGetPidForward, GetReply(image, 100, 1024));
    EXPECT_EQ(Feed(logic, kCmdGetPidForward, GetReply(image, 1124, 78)).wait, PageStep::Wait::kEnd);
    EXPECT_EQ(logic.Rows().size(), 200u);
}

TEST(PidSegment, ChassisModuleCount) {
    PidSegmentLogic logic(102, 0);
    Bytes image = {0, 1, 0, 4, 0x01, 0x01, 0xE0, 0x10, 0xE0, 0x20};  // input 5, QAM 1 and 9, top bits set
    EXPECT_EQ(logic.Get().payload, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    Feed(logic, kCmdGetPidForward, GetReply(image, 0, int(image.size()), true, 3));
    EXPECT_EQ(logic.ModuleCount(), 3);
    EXPECT_EQ(logic.OutputCount(), 12);
    ASSERT_EQ(logic.Rows().size(), 1u);
    EXPECT_EQ(logic.Rows()[0], (PidSegmentRow{"1", "5", "10", "20", "1,9,", 0x101}));

    for (uint8_t bad : {0, 5}) {
        logic.Get();
        const PageStep step =
            Feed(logic, kCmdGetPidForward, GetReply(image, 0, int(image.size()), true, bad));
        EXPECT_EQ(step.messages, std::vector<std::string>{"Module Error"});
        EXPECT_EQ(step.wait, PageStep::Wait::kEnd);
        EXPECT_TRUE(logic.Rows().empty());
        EXPECT_EQ(logic.ModuleCount(), 3);
    }
}

TEST(PidSegment, BadRepliesChangeNothing) {
    PidSegmentLogic logic(18, 0);
    const Bytes image = {0, 1, 0, 1, 0, 0x10, 0, 0x20};
    logic.Get();
    Bytes shortSegment = GetReply(image, 0, 8);
    shortSegment.pop_back();
    Bytes beyond;
    Put16(&beyond, 0);
    Put16(&beyond, 4000);
    Put16(&beyond, 8);
    beyond.insert(beyond.end(), image.begin(), image.end());
    Bytes empty;
    Put16(&empty, 0);
    Put16(&empty, 100);
    Put16(&empty, 0);
    for (const Bytes& payload : {shortSegment, beyond, empty, GetReply(image, 2, 6), Bytes{0, 0, 0}}) {
        const PageStep step = Feed(logic, kCmdGetPidForward, payload);
        EXPECT_FALSE(step.HasRequest());
        EXPECT_EQ(step.wait, PageStep::Wait::kNone);
    }
    EXPECT_TRUE(logic.Waiting());
    // A count reaching past the image shows only what lies inside it.
    const Bytes tooMany = {0, 9, 0, 1, 0, 0x10, 0, 0x20};
    Feed(logic, kCmdGetPidForward, GetReply(tooMany, 0, 8));
    EXPECT_EQ(logic.Rows().size(), 1u);
    // Nothing awaited: ignored.
    EXPECT_FALSE(Feed(logic, kCmdSetPidForward, SetReply(0, 8)).HasRequest());
}

TEST(PidSegment, AddEditDeleteKeepIndexTexts) {
    PidSegmentLogic logic(38, 0);
    const AddPidMultiFields f = logic.AddFields();
    EXPECT_EQ(f.input, 1);
    EXPECT_EQ(f.outputMask, 1u);
    EXPECT_EQ(f.inputCount, 12);
    EXPECT_EQ(f.outputCount, 3);
    logic.Add(Fields(1, "1", "2", 1));
    logic.Add(Fields(3, "3", "4", 6));
    logic.Add(Fields(5, "5", "6", 7));
    ASSERT_TRUE(logic.Delete(0));
    EXPECT_EQ(logic.Rows()[0].index, "2");
    AddPidMultiFields e;
    ASSERT_TRUE(logic.EditFields(0, &e));
    EXPECT_EQ(e.input, 3);
    EXPECT_EQ(e.outputMask, 6u);
    e.newPid = "44";
    ASSERT_TRUE(logic.Edit(0, e));
    EXPECT_EQ(logic.Rows()[0], (PidSegmentRow{"2", "3", "3", "44", "2,3,", 6}));
    EXPECT_FALSE(logic.Delete(5));
}

}  // namespace pid_segment_logic_test
}  // namespace nms
