#include "pages/psi/psi_model.h"

#include <gtest/gtest.h>

#include "pages/psi/psi_section_checker.h"
#include "platform/prompt.h"
#include "psi_sections.h"

namespace nms {
namespace psi_model_test {

// "descriptors" names the container, "descriptors(" would name a field: prefixes end at the width.
bool Matches(const std::string& text, const std::string& prefix) {
    if (text == prefix)
        return true;
    std::string p = prefix.back() == '(' ? prefix : prefix + "(";
    return StartsWith(text, p.c_str());
}

using testing::Bytes;

Bytes Pack(const CMuxPsiModel& model, const PsiItem* table) {
    Bytes out(2048);
    int n = model.SerializeTable(table, out.data(), static_cast<int>(out.size()));
    EXPECT_GE(n, 0);
    out.resize(n < 0 ? 0 : n);
    return out;
}

void ExpectSound(const Bytes& section) {
    std::string why;
    EXPECT_TRUE(CheckPsiSection(section.data(), static_cast<int>(section.size()), &why)) << why;
}

PsiItem* FindNth(PsiItem* under, const std::string& prefix, int n) {
    std::vector<PsiItem*> all;
    std::vector<PsiItem*> stack{under};
    while (!stack.empty()) {
        PsiItem* item = stack.back();
        stack.pop_back();
        bool match = Matches(item->text, prefix);
        if (item != under && match)
            all.push_back(item);
        for (auto it = item->children.rbegin(); it != item->children.rend(); ++it)
            stack.push_back(it->get());
    }
    return n < static_cast<int>(all.size()) ? all[n] : nullptr;
}

class PsiModelTest : public ::testing::Test {
protected:
    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
    CMuxPsiModel model{16};
};

TEST_F(PsiModelTest, PatOf200ProgramsReadsEveryEntryAndPacksBack) {
    Bytes pat = testing::MakePat(200);
    EXPECT_EQ(model.ParsePat(pat.data(), static_cast<int>(pat.size())), 200);
    PsiItem* info = model.PatRoot()->children[0].get();
    EXPECT_EQ(info->text, "table_info");
    EXPECT_EQ(info->image, kImageContainer);
    EXPECT_EQ(info->children[4]->text, "section_length(12bits)0x:32d");
    EXPECT_EQ(info->children[4]->data, 0x8000Cu);
    EXPECT_EQ(info->children[5]->text, "transport_stream_id(16bits)0x:0421");
    EXPECT_EQ(info->children[7]->text, "version_number(5bits)0x:03");
    EXPECT_EQ(info->children[7]->data, 0x10005u);
    PsiItem* programs = model.PatRoot()->children[1].get();
    EXPECT_EQ(programs->text, "programs 201");
    ASSERT_EQ(programs->children.size(), 201u);
    EXPECT_EQ(programs->children[0]->text, "network_number(16bits)0x:0000");
    EXPECT_EQ(programs->children[0]->image, kImageField);
    EXPECT_EQ(programs->children[0]->children[1]->text, "network_id(13bits)0x:0010");
    PsiItem* last = programs->children[200].get();
    EXPECT_EQ(last->text, "program_number(16bits)0x:00c8");
    EXPECT_EQ(last->image, kImageEntry);
    EXPECT_EQ(last->data, 0x10010u);
    EXPECT_EQ(last->children[0]->text, "reserved(3bits)0x:7");
    EXPECT_EQ(last->children[1]->text, "pid(13bits)0x:01c8");
    EXPECT_EQ(last->children[1]->data, 0x1000Du);
    EXPECT_TRUE(StartsWith(model.PatRoot()->children[2]->text, "crc_32(4bytes)0x:"));
    EXPECT_EQ(model.SideTable().programCount, 128);
    EXPECT_EQ(model.SideTable().serviceId[127], 128);
    EXPECT_FALSE(model.PatRoot()->locked);
    EXPECT_EQ(Pack(model, model.PatRoot()), pat);
}

TEST_F(PsiModelTest, PatOfOneEntryAndBadTableId) {
    Bytes pat = testing::MakePat(1, 0x0001, false);
    EXPECT_EQ(pat[2], 13);
    EXPECT_EQ(model.ParsePat(pat.data(), static_cast<int>(pat.size())), 1);
    EXPECT_EQ(model.PatRoot()->children[1]->text, "programs 1");
    PsiItem* before = model.PatRoot()->children[0].get();
    Bytes wrong = pat;
    wrong[0] = 0x02;
    EXPECT_EQ(model.ParsePat(wrong.data(), static_cast<int>(wrong.size())), 0);
    EXPECT_EQ(model.ParsePat(pat.data(), 7), 0);
    EXPECT_EQ(model.PatRoot()->children[0].get(), before);
}

TEST_F(PsiModelTest, PmtWithDescriptorsInBothLoops) {
    Bytes pmt = testing::MakePmt(0x0011);
    model.ParsePmt(1, 3, pmt.data(), static_cast<int>(pmt.size()));
    ASSERT_EQ(model.PmtsRoot()->children.size(), 1u);
    PsiItem* node = model.PmtsRoot()->children[0].get();
    EXPECT_EQ(node->data, 0x103u);
    EXPECT_EQ(node->text, "program_number(16bits)0x:0011");  // relabelled on variant 16
    EXPECT_EQ(node->children[12]->text, "pcr_pid(13bits)0x:0101");
    EXPECT_EQ(node->children[14]->text, "program_info_length(12bits)0x:00c");
    PsiItem* info = node->children[15].get();
    EXPECT_EQ(info->text, "program_info_descriptors");
    ASSERT_EQ(info->children.size(), 2u);
    EXPECT_EQ(info->children[0]->text, "descriptor_tag(8bits)0x:09");
    EXPECT_EQ(info->children[0]->data, 0x10008u);
    EXPECT_EQ(info->children[0]->children[1]->text, "descriptor_data(hex)(5bytes)0x:0b00e123aa");
    EXPECT_EQ(info->children[0]->children[1]->data, 0x50028u);
    PsiItem* components = node->children[16].get();
    ASSERT_EQ(components->children.size(), 3u);
    EXPECT_EQ(components->children[0]->image, kImageVideo);
    EXPECT_EQ(components->children[1]->image, kImageAudio);
    EXPECT_EQ(components->children[2]->image, kImageOtherStream);
    EXPECT_EQ(components->children[2]->children[1]->text, "elementary_PID(13bits)0x:0103");
    EXPECT_EQ(components->children[2]->children[4]->children.size(), 2u);
    EXPECT_EQ(Pack(model, node), pmt);

    // A second read of the same slot replaces the node instead of adding another.
    model.ParsePmt(1, 3, pmt.data(), static_cast<int>(pmt.size()));
    EXPECT_EQ(model.PmtsRoot()->children.size(), 1u);
}

TEST_F(PsiModelTest, Variant65LabelsByServiceIdAndNeverDuplicatesNodes) {
    model.SetPageParam(65);
    Bytes pat = testing::MakePat(2);
    model.ParsePat(pat.data(), static_cast<int>(pat.size()));
    Bytes pmt = testing::MakePmt(2);
    for (int read = 0; read < 3; ++read)
        model.ParsePmt(1, 1, pmt.data(), static_cast<int>(pmt.size()));
    ASSERT_EQ(model.PmtsRoot()->children.size(), 1u);
    EXPECT_EQ(model.PmtsRoot()->children[0]->data, 0x102u);
}

TEST_F(PsiModelTest, CatShowsAllFiveDescriptors) {
    Bytes cat = testing::MakeCat(5);
    model.ParseCat(cat.data(), static_cast<int>(cat.size()));
    PsiItem* descriptors = model.CatRoot()->children[10].get();
    EXPECT_EQ(descriptors->text, "descriptors");
    ASSERT_EQ(descriptors->children.size(), 5u);
    PsiItem* d4 = descriptors->children[4].get();
    EXPECT_EQ(d4->children[1]->text, "ca_system_id(16bits)0x:0b04");
    EXPECT_EQ(d4->children[3]->text, "ca_pid(13bits)0x:0104");
    EXPECT_EQ(d4->children[4]->text, "private data(4bytes)0x:a0a1a2a3");
    EXPECT_EQ(model.CatRoot()->children[5]->text, "reserved(18bits)0x:ffff03");
    EXPECT_EQ(Pack(model, model.CatRoot()), cat);
}

TEST_F(PsiModelTest, NitWithDeliveryDescriptorsAndEmptyDescriptor) {
    Bytes nit = testing::MakeNit("Velmora Cable", true);
    model.ParseNit(nit.data(), static_cast<int>(nit.size()));
    PsiItem* network = model.NitRoot()->children[13].get();
    ASSERT_EQ(network->text, "network_descriptors");
    ASSERT_EQ(network->children.size(), 2u);
    EXPECT_EQ(network->children[0]->children[1]->text, "description name(13bytes):Velmora Cable");
    EXPECT_EQ(network->children[1]->children.size(), 1u);  // length 0: tag and length only
    PsiItem* streams = model.NitRoot()->children[16].get();
    ASSERT_EQ(streams->text, "transport_streams");
    ASSERT_EQ(streams->children.size(), 2u);
    PsiItem* cable = streams->children[0]->children[3].get();
    EXPECT_EQ(cable->text, "descriptor_tag(8bits)0x:44");
    EXPECT_EQ(cable->children[1]->text, "frequency(4bytes)0x:04740000");
    EXPECT_EQ(cable->children[2]->text, "reserved_future_use(12bits)0x:fff");
    EXPECT_EQ(cable->children[5]->text, "symbol_rate(28bits)0x:0068750");
    EXPECT_EQ(cable->children[5]->data, 0x81001Cu);
    PsiItem* sat = streams->children[1]->children[3].get();
    EXPECT_EQ(sat->children[4]->text, "polarization(2bits)0x:0");
    EXPECT_EQ(sat->children[5]->text, "modulation(5bits)0x:01");
    EXPECT_EQ(Pack(model, model.NitRoot()), nit);
}

TEST_F(PsiModelTest, SdtReadsLongNamesAndMoreServicesThanThePat) {
    Bytes pat = testing::MakePat(2);
    model.ParsePat(pat.data(), static_cast<int>(pat.size()));
    Bytes sdt = testing::MakeSdt(8);
    model.ParseSdt(sdt.data(), static_cast<int>(sdt.size()));
    PsiItem* services = FindNth(model.SdtRoot(), "services ", 0);
    ASSERT_EQ(services->children.size(), 8u);
    PsiItem* type = services->children[7]->children[6]->children[0]->children[1].get();
    EXPECT_EQ(type->text, "service_type(8bits)0x:01");
    std::string name = testing::ServiceName(8);
    EXPECT_EQ(type->children[3]->text, "service_name(" + std::to_string(name.size()) + "bytes):" + name);
    EXPECT_EQ(type->children[3]->data, 0x30000u | (8 * name.size()));
    EXPECT_EQ(services->children[1]->children[6]->children[1]->children[1]->text,
              "descriptor_data(4bytes)(hex)0x:00000028");
    EXPECT_EQ(Pack(model, model.SdtRoot()), sdt);
}

TEST_F(PsiModelTest, ReparseKeepsTheSkeleton) {
    PsiItem* roots[] = {model.TopRoot(),  model.PatRoot(), model.CatRoot(),
                        model.PmtsRoot(), model.NitRoot(), model.SdtRoot()};
    Bytes pat = testing::MakePat(3);
    model.ParsePat(pat.data(), static_cast<int>(pat.size()));
    model.ParsePat(pat.data(), static_cast<int>(pat.size()));
    EXPECT_EQ(model.PatRoot()->children.size(), 3u);
    PsiItem* after[] = {model.TopRoot(),  model.PatRoot(), model.CatRoot(),
                        model.PmtsRoot(), model.NitRoot(), model.SdtRoot()};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(roots[i], after[i]);
}

// A section that does not pack back to itself is kept as received and cannot be edited.
TEST_F(PsiModelTest, SectionsThatDoNotRepackAreLockedAndSentAsReceived) {
    struct Case {
        const char* name;
        Bytes section;
    };
    Bytes ragged = testing::MakePat(2);
    ragged[2] += 2;  // program loop no longer a whole number of entries
    ragged.insert(ragged.end() - 4, {0x12, 0x34});
    Bytes truncated = testing::MakeSdt(3);
    truncated.resize(truncated.size() - 10);
    Bytes badCrc = testing::MakeCat(2);
    badCrc.back() ^= 1;
    std::vector<Case> cases = {{"PAT", ragged}, {"SDT", truncated}, {"CAT", badCrc}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t* p = c.section.data();
        int n = static_cast<int>(c.section.size());
        PsiItem* table = nullptr;
        if (std::string(c.name) == "PAT") {
            model.ParsePat(p, n);
            table = model.PatRoot();
        } else if (std::string(c.name) == "SDT") {
            model.ParseSdt(p, n);
            table = model.SdtRoot();
        } else {
            model.ParseCat(p, n);
            table = model.CatRoot();
        }
        EXPECT_TRUE(table->locked);
        EXPECT_EQ(Pack(model, table), c.section);
        EXPECT_EQ(model.TakeLockNotes(), std::vector<std::string>{c.name});
        PsiItem* editable = FindNth(table, "version_number", 0);
        ASSERT_NE(editable, nullptr);
        EXPECT_FALSE(editable->data & FIELD_EDITABLE);
        EXPECT_EQ(model.MenuEntryFor(FindNth(table, "descriptor_tag", 0)).command, 0);
    }
}

// ---- value edits ----

TEST_F(PsiModelTest, FixedWidthValuesPackAtTheirBits) {
    Bytes pmt = testing::MakePmt();
    model.ParsePmt(1, 1, pmt.data(), static_cast<int>(pmt.size()));
    PsiItem* node = model.PmtsRoot()->children[0].get();
    PsiItem* pcr = FindNth(node, "pcr_pid", 0);
    PsiItem* version = FindNth(node, "version_number", 0);
    EXPECT_TRUE(model.ApplyValueEdit(pcr, "1fff"));
    EXPECT_TRUE(model.ApplyValueEdit(version, "1f"));
    Bytes packed = Pack(model, node);
    ExpectSound(packed);
    EXPECT_EQ(packed[8], 0xFF);  // three reserved bits kept, PID 0x1fff
    EXPECT_EQ(packed[9], 0xFF);
    EXPECT_EQ(packed[5], 0xC0 | (0x1F << 1) | 1);

    struct Refusal {
        PsiItem* item;
        const char* value;
        const char* message;
    };
    Refusal refusals[] = {
        {pcr, "12", "The value's length is invalid!"},
        {version, "3", "The value's length is invalid!"},
        {pcr, "1g00", "Value should be 0-9,a-f or A-F!"},
        {pcr, "2000", "Please enter an integer between 0x0 and 0x1fff."},
        {version, "20", "Please enter an integer between 0x0 and 0x1f."},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.value);
        std::string before = r.item->text;
        prompt.shown.clear();
        EXPECT_FALSE(model.ApplyValueEdit(r.item, r.value));
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text, r.message);
        EXPECT_EQ(r.item->text, before);
    }
    EXPECT_TRUE(model.ApplyValueEdit(version, "03"));
    EXPECT_TRUE(model.ApplyValueEdit(pcr, ""));  // empty: no length message, packs as 0
    packed = Pack(model, node);
    EXPECT_EQ(packed[8], 0xE0);
    EXPECT_EQ(packed[9], 0x00);
    EXPECT_EQ((packed[5] >> 1) & 0x1F, 3);
}

TEST_F(PsiModelTest, DescriptorDataGrowthIsCarriedIntoEveryLength) {
    Bytes pmt = testing::MakePmt();
    model.ParsePmt(1, 1, pmt.data(), static_cast<int>(pmt.size()));
    PsiItem* node = model.PmtsRoot()->children[0].get();
    PsiItem* data = FindNth(node, "descriptor_data", 1);  // 0x0e, 3 bytes, program info loop
    ASSERT_TRUE(StartsWith(data->text, "descriptor_data(hex)(3bytes)0x:"));
    EXPECT_TRUE(model.ApplyValueEdit(data, "c012345678"));
    EXPECT_EQ(data->text, "descriptor_data(hex)(5bytes)0x:c012345678");
    EXPECT_EQ(data->data, 0x50028u);
    EXPECT_EQ(FindNth(node, "descriptor_length", 1)->text, "descriptor_length(8bits)0x:05");
    EXPECT_EQ(FindNth(node, "program_info_length", 0)->text, "program_info_length(12bits)0x:0e");
    Bytes packed = Pack(model, node);
    ExpectSound(packed);
    EXPECT_EQ(packed.size(), pmt.size() + 2);

    // In an elementary stream's loop the es_info_length follows instead.
    PsiItem* lang = FindNth(node, "descriptor_data", 2);
    EXPECT_TRUE(model.ApplyValueEdit(lang, "656e6700"));
    EXPECT_TRUE(model.ApplyValueEdit(lang, "656e670064657500"));
    EXPECT_EQ(FindNth(node, "es_info_length", 1)->text, "es_info_length(12bits)0x:0a");
    ExpectSound(Pack(model, node));

    prompt.shown.clear();
    EXPECT_FALSE(model.ApplyValueEdit(lang, std::string(512, 'a')));  // 256 bytes do not fit the length
    EXPECT_FALSE(model.ApplyValueEdit(lang, "zz"));
    EXPECT_EQ(prompt.shown.size(), 2u);
    ExpectSound(Pack(model, node));

    // An odd last digit is dropped, and the lengths follow the bytes that remain.
    EXPECT_TRUE(model.ApplyValueEdit(lang, "656e67a"));
    EXPECT_EQ(prompt.shown.size(), 2u);
    EXPECT_TRUE(StartsWith(lang->text, "descriptor_data(hex)(3bytes)0x:656e67"));
    EXPECT_EQ(FieldValue(lang->text), "656e67");
    EXPECT_EQ(lang->data, 0x50018u);
    EXPECT_EQ(FindNth(node, "es_info_length", 1)->text, "es_info_length(12bits)0x:05");
    ExpectSound(Pack(model, node));
}

TEST_F(PsiModelTest, CatPrivateDataAndNames) {
    Bytes cat = testing::MakeCat(1);
    model.ParseCat(cat.data(), static_cast<int>(cat.size()));
    PsiItem* priv = FindNth(model.CatRoot(), "private data", 0);
    EXPECT_TRUE(model.ApplyValueEdit(priv, "beef"));
    EXPECT_EQ(FindNth(model.CatRoot(), "descriptor_length", 0)->text, "descriptor_length(8bits)0x:06");
    EXPECT_EQ(FindNth(model.CatRoot(), "section_length", 0)->text, "section_length(12bits)0x:11");
    ExpectSound(Pack(model, model.CatRoot()));

    Bytes sdt = testing::MakeSdt(2);
    model.ParseSdt(sdt.data(), static_cast<int>(sdt.size()));
    PsiItem* name = FindNth(model.SdtRoot(), "service_name(", 0);
    EXPECT_TRUE(model.ApplyValueEdit(name, "News"));
    EXPECT_EQ(name->text, "service_name(4bytes):News");
    Bytes packed = Pack(model, model.SdtRoot());
    ExpectSound(packed);
    EXPECT_FALSE(model.ApplyValueEdit(name, std::string(256, 'n')));
}

TEST_F(PsiModelTest, LeftAlignedSymbolRatePacksIntoItsNibbles) {
    Bytes nit = testing::MakeNit();
    model.ParseNit(nit.data(), static_cast<int>(nit.size()));
    PsiItem* rate = FindNth(model.NitRoot(), "symbol_rate", 0);
    prompt.shown.clear();
    EXPECT_FALSE(model.ApplyValueEdit(rate, "02750001"));  // an eighth digit would be lost
    EXPECT_EQ(prompt.shown.size(), 1u);
    EXPECT_TRUE(model.ApplyValueEdit(rate, "0275000"));
    Bytes packed = Pack(model, model.NitRoot());
    ExpectSound(packed);
    // The cable descriptor's rate sits 9 bytes into it; FEC_inner keeps the low nibble.
    size_t d = 0;
    for (size_t i = 0; i + 1 < packed.size(); ++i) {
        if (packed[i] == 0x44 && packed[i + 1] == 11) {
            d = i;
            break;
        }
    }
    ASSERT_NE(d, 0u);
    EXPECT_EQ(packed[d + 9], 0x02);
    EXPECT_EQ(packed[d + 10], 0x75);
    EXPECT_EQ(packed[d + 11], 0x00);
    EXPECT_EQ(packed[d + 12], 0x0F);
}

// ---- context menu and tree commands ----

TEST_F(PsiModelTest, MenuEntriesOnlyWhereTheCommandFits) {
    Bytes pat = testing::MakePat(2);
    model.ParsePat(pat.data(), static_cast<int>(pat.size()));
    Bytes pmt = testing::MakePmt();
    model.ParsePmt(1, 1, pmt.data(), static_cast<int>(pmt.size()));
    Bytes nit = testing::MakeNit();
    model.ParseNit(nit.data(), static_cast<int>(nit.size()));
    Bytes sdt = testing::MakeSdt(2);
    model.ParseSdt(sdt.data(), static_cast<int>(sdt.size()));
    PsiItem* node = model.PmtsRoot()->children[0].get();
    struct Case {
        PsiItem* item;
        int command;
    };
    Case cases[] = {
        {FindNth(model.PatRoot(), "program_number", 0), ID_PSI_DELETE_PROGRAM},
        {node, ID_PSI_DELETE_PROGRAM},
        {FindNth(node, "program_number", 0), 0},  // the PMT's own field
        {FindNth(model.PatRoot(), "transport_stream_id", 0), 0},
        {FindNth(model.SdtRoot(), "transport_stream_id", 0), 0},
        {FindNth(model.NitRoot(), "transport_stream_id", 0), ID_PSI_ADD_DESCRIPTOR},
        {FindNth(node, "stream_type", 0), ID_PSI_DELETE_ELEMENT},
        {FindNth(node, "components", 0), ID_PSI_ADD_ELEMENT},
        {FindNth(node, "program_info_descriptors", 0), ID_PSI_ADD_DESCRIPTOR},
        {FindNth(node, "descriptor_tag", 0), ID_PSI_DELETE_DESCRIPTOR},
        {FindNth(model.SdtRoot(), "descriptors", 0), ID_PSI_ADD_DESCRIPTOR},
        {FindNth(model.SdtRoot(), "service_id", 0), ID_PSI_DELETE_SERVICE},
        {FindNth(model.SdtRoot(), "descriptors_loop_length", 0), 0},
        {FindNth(node, "program_info_length", 0), 0},
        {FindNth(node, "section_length", 0), 0},
        {model.PatRoot(), 0},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.item, nullptr);
        SCOPED_TRACE(c.item->text);
        EXPECT_EQ(model.MenuEntryFor(c.item).command, c.command);
    }
}

TEST_F(PsiModelTest, EveryTreeCommandLeavesSoundSections) {
    Bytes pat = testing::MakePat(4);
    model.ParsePat(pat.data(), static_cast<int>(pat.size()));
    Bytes pmt = testing::MakePmt();
    model.ParsePmt(1, 1, pmt.data(), static_cast<int>(pmt.size()));
    Bytes nit = testing::MakeNit();
    model.ParseNit(nit.data(), static_cast<int>(nit.size()));
    Bytes sdt = testing::MakeSdt(3);
    model.ParseSdt(sdt.data(), static_cast<int>(sdt.size()));
    Bytes cat = testing::MakeCat(3);
    model.ParseCat(cat.data(), static_cast<int>(cat.size()));
    PsiItem* node = model.PmtsRoot()->children[0].get();

    EXPECT_TRUE(model.DeleteProgram(FindNth(model.PatRoot(), "program_number", 1)));
    Bytes packed = Pack(model, model.PatRoot());
    ExpectSound(packed);
    EXPECT_EQ(packed.size(), pat.size() - 4);

    EXPECT_TRUE(model.DeleteElement(FindNth(node, "stream_type", 2)));
    ExpectSound(Pack(model, node));
    EXPECT_TRUE(model.DeleteDescriptor(FindNth(node, "descriptor_tag", 0)));
    ExpectSound(Pack(model, node));
    PsiItem* added = model.AddElement(FindNth(node, "components", 0), 0x1B, 0x0200,
                                      {{0x0A, {'d', 'e', 'u', 0}}, {0x52, {0x09}}});
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->children[3]->text, "es_info_length(12bits)0x:009");
    ExpectSound(Pack(model, node));
    PsiItem* descriptor =
        model.AddDescriptor(FindNth(node, "program_info_descriptors", 0), 0x05, {'H', 'E', 'V', 'C'});
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor->children[0]->data, FIELD_AUTO_LENGTH | 8);
    ExpectSound(Pack(model, node));
    // The added descriptor's data can be edited with its lengths kept.
    model.ApplyValueEdit(descriptor->children[1].get(), "");
    descriptor->children[1]->data |= FIELD_EDITABLE;
    EXPECT_TRUE(model.ApplyValueEdit(descriptor->children[1].get(), "41564331"));
    ExpectSound(Pack(model, node));

    EXPECT_TRUE(model.DeleteService(FindNth(model.SdtRoot(), "service_id", 1)));
    ExpectSound(Pack(model, model.SdtRoot()));
    EXPECT_TRUE(model.DeleteDescriptor(FindNth(model.SdtRoot(), "descriptor_tag", 0)));
    ExpectSound(Pack(model, model.SdtRoot()));
    EXPECT_NE(model.AddDescriptor(FindNth(model.SdtRoot(), "descriptors", 0), 0x5F, {0, 0, 0, 1}), nullptr);
    ExpectSound(Pack(model, model.SdtRoot()));

    EXPECT_NE(model.AddDescriptor(FindNth(model.NitRoot(), "transport_stream_id", 1), 0x41, {0, 1, 1}),
              nullptr);
    ExpectSound(Pack(model, model.NitRoot()));
    EXPECT_TRUE(model.DeleteDescriptor(FindNth(model.NitRoot(), "descriptor_tag", 0)));
    ExpectSound(Pack(model, model.NitRoot()));

    EXPECT_TRUE(model.DeleteDescriptor(FindNth(model.CatRoot(), "descriptor_tag", 1)));
    EXPECT_NE(model.AddDescriptor(FindNth(model.CatRoot(), "descriptors", 0), 0x09, {0x4A, 0, 0xE2, 0}),
              nullptr);
    ExpectSound(Pack(model, model.CatRoot()));
}

}  // namespace psi_model_test
}  // namespace nms
