#include "pages/mux/program_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/mux/output_program_record.h"
#include "pages/mux/program_node_texts.h"
#include "pages/mux/stream_type_labels.h"

namespace nms {
namespace program_record_test {

// Every byte of the image set to its own offset (low byte), so a getter names the offset it reads.
template <class R>
R Ramp() {
    R r;
    for (size_t i = 0; i < r.bytes.size(); ++i)
        r.bytes[i] = static_cast<uint8_t>(i);
    return r;
}

uint16_t Le16At(int off) {
    return static_cast<uint16_t>((off & 0xFF) | (((off + 1) & 0xFF) << 8));
}

TEST(ProgramRecord, FieldOffsets) {
    const auto r = Ramp<ProgramRecord>();
    EXPECT_EQ(r.InOutput(), 0);
    EXPECT_EQ(r.InputServiceId(), Le16At(65));
    EXPECT_EQ(r.OutputServiceId(), Le16At(67));
    EXPECT_EQ(r.InputPmtPid(), Le16At(69));
    EXPECT_EQ(r.OutputPmtPid(), Le16At(71));
    EXPECT_EQ(r.InputPcrPid(), Le16At(73));
    EXPECT_EQ(r.OutputPcrPid(), Le16At(75));
    EXPECT_EQ(r.ElementCount(), 77);
    EXPECT_EQ(r.ElementStreamType(0), 78);
    EXPECT_EQ(r.ElementInputPid(0), Le16At(79));
    EXPECT_EQ(r.ElementOutputPid(0), Le16At(81));
    EXPECT_EQ(r.ElementStreamType(31), 233);
    EXPECT_EQ(r.ElementOutputPid(31), Le16At(236));
    EXPECT_EQ(r.IpOutputIndex(), 233);  // the same byte as element 31's stream_type
    EXPECT_EQ(r.CaCount(), 238);
    EXPECT_EQ(r.CaSystemId(0), Le16At(239));
    EXPECT_EQ(r.CaSystemId(3), Le16At(245));
    EXPECT_EQ(r.InputEcmPid(0), Le16At(247));
    EXPECT_EQ(r.OutputEcmPid(3), Le16At(261));
    // Outside the tables: 0, never a neighbour's bytes.
    EXPECT_EQ(r.ElementStreamType(32), 0);
    EXPECT_EQ(r.CaSystemId(4), 0);
}

TEST(ProgramRecord, SettersWriteOnlyTheirBytes) {
    ProgramRecord r = Ramp<ProgramRecord>();
    const ProgramRecord before = r;
    r.SetOutputServiceId(0xA1B2);
    r.SetOutputPmtPid(0x0C0D);
    r.SetOutputPcrPid(0x0E0F);
    r.SetElementOutputPid(2, 0x1234);
    r.SetElementOutputPid(32, 0xFFFF);  // no such slot
    r.SetOutputEcmPid(1, 0x0567);
    r.SetIpOutputIndex(9);
    std::vector<int> changed;
    for (int i = 0; i < ProgramRecord::kSize; ++i)
        if (r.bytes[i] != before.bytes[i])
            changed.push_back(i);
    EXPECT_EQ(changed, (std::vector<int>{67, 68, 71, 72, 75, 76, 91, 92, 233, 257, 258}));
    EXPECT_EQ(r.bytes[67], 0xB2);
    EXPECT_EQ(r.bytes[68], 0xA1);
}

TEST(ProgramRecord, NamesStopAtTheFieldsLastByte) {
    ProgramRecord r;
    for (int i = 1; i <= 64; ++i)
        r.bytes[i] = 'A';
    EXPECT_EQ(r.InputName(), std::string(31, 'A'));
    EXPECT_EQ(r.OutputName(), std::string(31, 'A'));
    EXPECT_FALSE(r.SetOutputName(std::string(32, 'B')));
    EXPECT_EQ(r.OutputName(), std::string(31, 'A'));
    EXPECT_TRUE(r.SetOutputName("News"));
    EXPECT_EQ(r.OutputName(), "News");
    EXPECT_EQ(r.bytes[37], 0);
    EXPECT_EQ(r.bytes[64], 0);
    EXPECT_EQ(r.InputName(), std::string(31, 'A'));
    EXPECT_TRUE(r.SetOutputName(""));
    EXPECT_EQ(r.ShownOutputName(), std::string(31, 'A'));
}

TEST(TranscodeProgramRecord, FieldOffsets) {
    const auto r = Ramp<TranscodeProgramRecord>();
    EXPECT_EQ(r.ElementCount(), 77);
    EXPECT_EQ(r.ElementStreamType(31), 233);
    EXPECT_EQ(r.VideoMode(), 238);
    EXPECT_EQ(r.Profile(), 239);
    EXPECT_EQ(r.Level(), 240);
    EXPECT_EQ(r.RateControl(), 241);
    EXPECT_EQ(r.VideoBitrate(), Le16At(242));
    EXPECT_EQ(r.AudioMode(), 244);
    EXPECT_EQ(r.AudioElementIndex(), 245);
    EXPECT_EQ(r.AudioBitrate(), Le16At(246));
    EXPECT_EQ(r.Width(), Le16At(248));
    EXPECT_EQ(r.Height(), Le16At(250));
    EXPECT_EQ(r.Channel(), 252);
    EXPECT_EQ(r.KeyValue(), Le16At(253));
    EXPECT_EQ(r.FrameRate(), 255);
}

TEST(ChannelTables, SizesAndSlots) {
    static_assert(sizeof(ChannelProgramTable) == 1 + 16 + 128 * 263);
    ChannelProgramTable t;
    EXPECT_EQ(t.Program(0), nullptr);
    EXPECT_EQ(t.Program(129), nullptr);
    EXPECT_EQ(t.Program(1), &t.programs[0]);
    EXPECT_EQ(t.Program(128), &t.programs[127]);
    t.SetCaEntry(3, 0x0B00, 0x1FF0);
    t.SetCaEntry(4, 1, 1);  // ignored
    EXPECT_EQ(t.caList[12], 0x00);
    EXPECT_EQ(t.caList[13], 0x0B);
    EXPECT_EQ(t.CaPid(3), 0x1FF0);
}

TEST(MultiOutputProgramRecord, FieldOffsets) {
    const auto r = Ramp<MultiOutputProgramRecord>();
    EXPECT_EQ(r.OutputBits(), 0);
    EXPECT_EQ(r.OutputServiceId(), Le16At(67));
    EXPECT_EQ(r.OutputPmtPid(), Le16At(71));
    EXPECT_EQ(r.OutputPcrPid(), Le16At(75));
    EXPECT_EQ(r.ElementCount(), 77);
    EXPECT_EQ(r.AcIndex(0), 78);
    EXPECT_EQ(r.AcIndex(3), 81);
    EXPECT_EQ(r.EcmPid(0), Le16At(82));
    EXPECT_EQ(r.EcmPid(3), Le16At(88));
    EXPECT_EQ(r.ScrambleMap(0), 0x5D5C5B5Au);
    EXPECT_EQ(r.ScrambleMap(1), 0x61605F5Eu);
    EXPECT_EQ(r.ElementStreamType(0), 98);
    EXPECT_EQ(r.ElementOutputPid(0), Le16At(101));
    EXPECT_EQ(r.ElementStreamType(31), 253);
    EXPECT_EQ(r.CiFlag(), 253);
    EXPECT_EQ(r.CiMode(), Le16At(254));
    EXPECT_EQ(r.LanguageFlag(), 258 & 0xFF);
}

TEST(QamOutputProgramRecord, EveryOffsetThreeFurther) {
    const auto r = Ramp<QamOutputProgramRecord>();
    EXPECT_EQ(r.OutputMask(), 0x03020100u);
    EXPECT_EQ(r.OutputServiceId(), Le16At(70));
    EXPECT_EQ(r.OutputPmtPid(), Le16At(74));
    EXPECT_EQ(r.OutputPcrPid(), Le16At(78));
    EXPECT_EQ(r.ElementCount(), 80);
    EXPECT_EQ(r.AcIndex(0), 81);
    EXPECT_EQ(r.EcmPid(0), Le16At(85));
    EXPECT_EQ(r.ScrambleMap(0), 0x605F5E5Du);
    EXPECT_EQ(r.ElementStreamType(0), 101);
    EXPECT_EQ(r.LanguageFlag(), 261 & 0xFF);
    QamOutputProgramRecord q;
    ASSERT_TRUE(q.SetOutputName("TV"));
    EXPECT_EQ(q.bytes[36], 'T');
}

TEST(MuxOutputSettings, CaSystemIdsAreBigEndian) {
    MuxOutputSettings s;
    s.bytes[44] = 1;
    s.bytes[45] = 0x00;
    s.bytes[46] = 0x00;
    s.bytes[47] = 0x4A;
    s.bytes[48] = 0xE1;
    EXPECT_TRUE(s.CasEnabled(1));
    EXPECT_FALSE(s.CasEnabled(0));
    EXPECT_EQ(s.CaSystemId(1), 0x4AE1u);
    s.SetCaSystemId(3, 0x0B000001);
    EXPECT_EQ(s.bytes[133], 0x0B);
    EXPECT_EQ(s.bytes[136], 0x01);
    EXPECT_EQ(s.CaSystemId(4), 0u);
}

TEST(StreamTypeLabels, AllThreeSets) {
    struct Case {
        uint8_t type;
        const char* tree;
        const char* dialog;
        const char* transcode;
    };
    const Case cases[] = {
        {0x01, "Mpeg1 Video", "MPEG-1 Video", "MPEG-1 Video"},
        {0x02, "Mpeg2 Video", "MPEG-2 Video", "MPEG-2 Video"},
        {0x03, "Mpeg1 Audio", "MPEG-1 Audio", "MPEG-1 Audio"},
        {0x04, "Mpeg2 Audio", "MPEG-2 Audio", "MPEG-2 Audio"},
        {0x05, "Private Section", "Private Section", "Private Section"},
        {0x06, "A52 Audio(aka AC3)", "A52 Audio(aka AC3)", "A52 Audio(aka AC3)"},
        {0x0F, "HE-AAC Audio", "HE-AAC Audio", "AAC Audio"},
        {0x1B, "MPEG-4/H.264 Video", "MPEG-4/H.264 Video", "H.264 Video"},
        {0x81, "AC3 Audio", "AC3 Audio", "AC3 Audio"},
        {0x84, "User Define Data", "User Define Data", "AC3+ Audio"},
        {0x00, "User Define Data", "User Define Data", "User Define Data"},
        {0xC0, "User Define Data", "User Define Data", "User Define Data"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(StreamTypeLabels::Tree(c.type), c.tree);
        EXPECT_EQ(StreamTypeLabels::Dialog(c.type), c.dialog);
        EXPECT_EQ(StreamTypeLabels::Transcode(c.type), c.transcode);
    }
    EXPECT_EQ(StreamTypeLabels::Tree(0xC0, TreeLabelStyle::kMultiOutput), "User Define:C0");
    EXPECT_EQ(StreamTypeLabels::Tree(0x02, TreeLabelStyle::kMultiOutput), "Mpeg2 Video");
    EXPECT_EQ(StreamTypeLabels::Dialog(0x1B, DialogLabelStyle::kShortH264), "H.264 Video");
    EXPECT_EQ(StreamTypeLabels::DialogEntry(0x1B), "1B MPEG-4/H.264 Video");
    EXPECT_EQ(StreamTypeLabels::DialogEntry(0x03), "03 MPEG-1 Audio");
    EXPECT_EQ(StreamTypeLabels::TranscodeEntry(2, 0x0F), "2:0F AAC Audio");
}

// Flattens a node into indented lines "text [data]" for golden comparison.
void Flatten(const ProgramTreeNode& n, int depth, std::vector<std::string>* out) {
    std::string line(2 * depth, ' ');
    line += n.text;
    if (n.data)
        line += " [" + std::to_string(n.data) + "]";
    out->push_back(line);
    for (const auto& c : n.children)
        Flatten(c, depth + 1, out);
}
std::vector<std::string> Lines(const ProgramTreeNode& n) {
    std::vector<std::string> out;
    Flatten(n, 0, &out);
    return out;
}

ProgramRecord SampleProgram(int elements, int caCount) {
    ProgramRecord r;
    r.bytes[0] = 1;
    WriteFixedName(&r.bytes[1], 32, "NEWS-1");
    ByteWriter(r.bytes.data(), r.bytes.size()).U16LE(65, 101);
    r.SetOutputServiceId(201);
    ByteWriter(r.bytes.data(), r.bytes.size()).U16LE(69, 0x100);
    r.SetOutputPmtPid(0x200);
    ByteWriter(r.bytes.data(), r.bytes.size()).U16LE(73, 0x101);
    r.SetOutputPcrPid(0x201);
    r.bytes[77] = static_cast<uint8_t>(elements);
    for (int i = 0; i < elements && i < 32; ++i) {
        r.bytes[ProgramRecord::ElementOffset(i)] = i == 0 ? 0x02 : 0x03;
        ByteWriter(r.bytes.data(), r.bytes.size()).U16LE(ProgramRecord::ElementOffset(i) + 1, 0x110 + i);
        r.SetElementOutputPid(i, 0x210 + i);
    }
    r.bytes[238] = static_cast<uint8_t>(caCount);
    for (int k = 0; k < 4; ++k) {
        r.SetCaSystemId(k, 0x0B00 + k);
        ByteWriter(r.bytes.data(), r.bytes.size()).U16LE(247 + 2 * k, 0x120 + k);
        r.SetOutputEcmPid(k, 0x220 + k);
    }
    return r;
}

TEST(ProgramNodeTexts, InputProgramWithOneCaEntry) {
    const auto lines = Lines(InputProgramNode(SampleProgram(2, 1), 3));
    const std::vector<std::string> want = {
        "3 NEWS-1 [3]",
        "  Service ID:101 [101]",
        "  PMT PID:0x100 [256]",
        "  PCR PID:0x101 [257]",
        "  Mpeg2 Video",
        "    PID:0x110",
        "  Mpeg1 Audio",
        "    PID:0x111",
        "  CA",
        "    CA 1",
        "      CA system id: 0xb00",
        "      CA PID: 0x120 [288]",
    };
    EXPECT_EQ(lines, want);
}

TEST(ProgramNodeTexts, OutputProgramUsesOutputValuesAndFallsBackToInputName) {
    ProgramRecord r = SampleProgram(1, 4);
    const auto lines = Lines(OutputProgramNode(r, 7));
    const std::vector<std::string> want = {
        "7 NEWS-1 [7]",
        "  Service ID:201",
        "  PMT PID:0x200",
        "  PCR PID:0x201",
        "  Mpeg2 Video",
        "    PID:0x210",
        "  CA",
        "    CA 1",
        "      CA system id: 0xb00",
        "      CA PID: 0x220",
        "    CA 2",
        "      CA system id: 0xb01",
        "      CA PID: 0x221",
        "    CA 3",
        "      CA system id: 0xb02",
        "      CA PID: 0x222",
        "    CA 4",
        "      CA system id: 0xb03",
        "      CA PID: 0x223",
    };
    EXPECT_EQ(lines, want);
    r.SetOutputName("Out");
    EXPECT_EQ(OutputProgramNode(r, 7).text, "7 Out");
}

TEST(ProgramNodeTexts, ElementAndCaCountsOutsideTheirRangesShowNoNodes) {
    struct Case {
        int elements, ca;
        size_t children;
    };
    // 3 value nodes + elements (1..31 only) + one "CA" node (1..4 only).
    const Case cases[] = {{0, 0, 3}, {31, 0, 34}, {32, 0, 3}, {40, 2, 4}, {1, 5, 4}, {1, 2, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elements * 100 + c.ca);
        EXPECT_EQ(InputProgramNode(SampleProgram(c.elements, c.ca), 1).children.size(), c.children);
    }
}

TEST(ProgramNodeTexts, ModifiedProgramNumbersCaFromZeroInDecimal) {
    const auto lines = Lines(ModifiedProgramNode(SampleProgram(1, 2), 5));
    const std::vector<std::string> want = {
        "5 NEWS-1 [5]",    "  Service ID:201",       "  PMT PID:0x200",
        "  PCR PID:0x201", "  Mpeg2 Video",          "    PID:0x210",
        "  CA 0",          "    CA system id: 2816", "    CA PID: 544",
        "  CA 1",          "    CA system id: 2817", "    CA PID: 545",
    };
    EXPECT_EQ(lines, want);
}

TEST(ProgramNodeTexts, ModifiedProgramShowsCaOnlyWithItsElements) {
    struct Case {
        int elements, ca;
        size_t caNodes;
    };
    // CA entries are rebuilt only for element counts 1..31, and only for CA counts 1..4.
    const Case cases[] = {{1, 2, 2}, {31, 4, 4}, {0, 2, 0}, {32, 2, 0}, {40, 1, 0}, {1, 0, 0}, {1, 5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.elements * 100 + c.ca);
        const ProgramTreeNode node = ModifiedProgramNode(SampleProgram(c.elements, c.ca), 1);
        size_t caNodes = 0;
        for (const auto& child : node.children)
            caNodes += child.text.rfind("CA ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(caNodes, c.caNodes);
    }
}

TEST(ProgramNodeTexts, TranscodeProgramsShowNoCa) {
    TranscodeProgramRecord t;
    WriteFixedName(&t.bytes[1], 32, "HD");
    t.bytes[77] = 1;
    t.bytes[78] = 0x1B;
    t.SetElementOutputPid(0, 0x44);
    const auto lines = Lines(OutputProgramNode(t, 1));
    const std::vector<std::string> want = {"1 HD [1]",      "  Service ID:0",       "  PMT PID:0x0",
                                           "  PCR PID:0x0", "  MPEG-4/H.264 Video", "    PID:0x44"};
    EXPECT_EQ(lines, want);
}

TEST(ProgramNodeTexts, ChannelCaInfo) {
    ChannelProgramTable t;
    t.SetCaEntry(0, 0x4AE1, 0x1FFE);
    t.SetCaEntry(1, 0x0100, 0x30);
    const std::vector<std::string> want = {"CA Info",           "  CA 1", "    CA system ID:0x4ae1",
                                           "    CA PID:0x1ffe", "  CA 2", "    CA system ID:0x100",
                                           "    CA PID:0x30"};
    EXPECT_EQ(Lines(ChannelCaInfoNode(t, 2)), want);
    EXPECT_EQ(ChannelCaInfoNode(t, 9).children.size(), 4u);
}

}  // namespace program_record_test
}  // namespace nms
