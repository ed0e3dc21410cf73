#include "pages/psi/nit_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "devices/device_packet.h"
#include "pages/psi/lcn_list_file.h"
#include "pages/psi/nit_ts_entry.h"
#include "pages/psi/psi_section_checker.h"

namespace nms {
namespace nit_table_test {

using Bytes = std::vector<uint8_t>;

int SectionSize(const uint8_t* slot) {
    return (((slot[1] & 0x0F) << 8) | slot[2]) + 3;
}

void ExpectSound(const NitTable& t, int k) {
    const uint8_t* slot = t.image.Slot(k);
    std::string why;
    EXPECT_TRUE(CheckPsiSection(slot, SectionSize(slot), &why)) << "section " << k << ": " << why;
}

NitTsRow Row(const std::string& tsId, const std::string& onId, const Bytes& descriptors) {
    NitTsRow row;
    row.columns[0] = tsId;
    row.columns[1] = onId;
    row.entry.SetDescriptors(descriptors.data(), static_cast<int>(descriptors.size()));
    return row;
}

// A cable delivery descriptor followed by a private one, then padding so the entry is 'total' bytes.
Bytes EntryOf(int total) {
    Bytes d = {0x44, 0x0B, 0x03, 0x46, 0x00, 0x00, 0xFF, 0xF2, 0x03, 0x00, 0x68, 0x75, 0x05};
    while (static_cast<int>(d.size()) + 2 <= total) {
        const int n = std::min(255, total - static_cast<int>(d.size()) - 2);
        d.push_back(0x83);
        d.push_back(static_cast<uint8_t>(n));
        d.insert(d.end(), static_cast<size_t>(n), 0x5A);
    }
    return d;
}

TEST(NitTable, EmptyTableIsOneSectionWithHeaderFields) {
    struct Case {
        std::string id;
        int version;
        uint8_t b3, b4, b5;
    } cases[] = {{"1", 5, 0x00, 0x01, 0xCB}, {"abcd", 0, 0xAB, 0xCD, 0xC1}, {"FFFF", 31, 0xFF, 0xFF, 0xFF}};
    for (const Case& c : cases) {
        NitTable t;
        t.networkId = c.id;
        t.version = c.version;
        t.networkName = "Digital TV";
        ASSERT_TRUE(t.Build());
        const uint8_t* s = t.image.Slot(0);
        EXPECT_EQ(t.imageLength, 12 + 10 + 2 + 4);
        EXPECT_EQ(t.sectionCount, 1);
        EXPECT_EQ(s[3], c.b3);
        EXPECT_EQ(s[4], c.b4);
        EXPECT_EQ(s[5], c.b5);
        EXPECT_EQ(s[6], 0);
        EXPECT_EQ(s[7], 0);
        EXPECT_EQ(s[8], 0xF0);
        EXPECT_EQ(s[9], 12);  // name descriptor only
        EXPECT_EQ(s[22], 0xF0);
        EXPECT_EQ(s[23], 0x00);  // empty loop
        EXPECT_EQ(SectionSize(s), t.imageLength);
        EXPECT_EQ(Crc32Mpeg2(s, t.imageLength), 0u);  // CRC over everything checks to zero
        EXPECT_FALSE(t.image.HasSection(1));
        ExpectSound(t, 0);
    }
}

TEST(NitTable, EmptyNetworkIdBuildsNothing) {
    NitTable t;
    t.networkId = "";
    t.image.Slot(2)[0] = 0x40;
    EXPECT_FALSE(t.Build());
    EXPECT_EQ(t.imageLength, 0);
    EXPECT_EQ(t.sectionCount, 0);
    EXPECT_FALSE(t.image.HasSection(0));
    EXPECT_FALSE(t.image.HasSection(2));
}

TEST(NitTable, NetworkDescriptorsOnlyWhileChecked) {
    NitTable t;
    t.networkName = "N";
    t.networkDescriptors = {{0x5F, "0A0B"}};
    t.networkDescriptorsOn = false;
    ASSERT_TRUE(t.Build());
    EXPECT_EQ(t.image.Slot(0)[9], 3);
    t.networkDescriptorsOn = true;
    ASSERT_TRUE(t.Build());
    const uint8_t* s = t.image.Slot(0);
    EXPECT_EQ(s[9], 7);
    EXPECT_EQ(Bytes(s + 13, s + 17), (Bytes{0x5F, 0x02, 0x0A, 0x0B}));
    ExpectSound(t, 0);
}

// Header of every section here: 12 + 10 (name) + 2 (loop length); a row is 6 + D; CRC 4.
TEST(NitTable, RowsSplitAtTheSectionLimit) {
    const int header = 12 + 10 + 2;
    // Two rows that fill section 0 exactly to 1024 bytes with the CRC, and a third one.
    const int first = 500;
    const int second = 1024 - header - 4 - (6 + first) - 6;
    NitTable t;
    t.rows = {Row("1", "0", EntryOf(first)), Row("2", "0", EntryOf(second)), Row("3", "0", EntryOf(10))};
    ASSERT_TRUE(t.Build());
    EXPECT_EQ(t.sectionCount, 2);
    EXPECT_EQ(t.imageLength, 1024);
    EXPECT_EQ(SectionSize(t.image.Slot(0)), 1024);
    EXPECT_EQ(t.image.Slot(0)[7], 1);
    EXPECT_EQ(t.image.Slot(1)[6], 1);
    EXPECT_EQ(t.image.Slot(1)[7], 1);
    ExpectSound(t, 0);
    ExpectSound(t, 1);

    // One byte more in the second row moves it into section 1.
    t.rows[1] = Row("2", "0", EntryOf(second + 1));
    ASSERT_TRUE(t.Build());
    EXPECT_EQ(t.sectionCount, 2);
    EXPECT_EQ(SectionSize(t.image.Slot(0)), header + 6 + first + 4);
    EXPECT_EQ(t.imageLength, SectionSize(t.image.Slot(0)));
    NitTable back;
    back.image = t.image;
    back.ParseNitSections();
    ASSERT_EQ(back.rows.size(), 3u);
    EXPECT_EQ(back.rows[1].entry.DescriptorsLength(), second + 1);
}

TEST(NitTable, FiveSectionsAtMostAndNothingBeyondASlot) {
    NitTable t;
    for (int i = 0; i < 5; ++i)
        t.rows.push_back(Row("1", "0", EntryOf(510)));
    ASSERT_TRUE(t.Build());
    EXPECT_EQ(t.sectionCount, 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(t.image.Slot(k)[7], 4);
        ExpectSound(t, k);
    }
    // A sixth row would need a sixth section: the build is refused rather than overrunning slot 4.
    t.rows.push_back(Row("1", "0", EntryOf(510)));
    EXPECT_FALSE(t.Build());
    EXPECT_EQ(t.imageLength, 0);
    EXPECT_EQ(t.sectionCount, 0);
    EXPECT_FALSE(t.image.HasSection(0));

    // Network descriptors that leave no room for the loop and the CRC: refused too.
    NitTable big;
    big.networkName = std::string(200, 'x');  // cut to 128
    big.networkDescriptorsOn = true;
    for (int k = 0; k < 8; ++k)
        big.networkDescriptors.push_back({0x80, std::string(254, 'A')});
    EXPECT_FALSE(big.Build());
    big.networkDescriptors.resize(6);
    ASSERT_TRUE(big.Build());
    EXPECT_EQ(big.image.Slot(0)[11], 128);
    ExpectSound(big, 0);
}

TEST(NitTable, ReadBackReproducesTheTable) {
    NitTable t;
    t.networkId = "1a2";
    t.version = 7;
    t.networkName = "Velmora";
    t.networkDescriptorsOn = true;
    t.networkDescriptors = {{0x5F, "0A0B"}, {0x83, ""}};
    const Bytes terrestrial = {0x5A, 0x0B, 0x02, 0xD3, 0x44, 0x40, 0x20, 0x91, 0x1A, 0xFF, 0xFF, 0xFF, 0xFF};
    const Bytes satellite = {0x43, 0x0B, 0x01, 0x17, 0x27, 0x50, 0x00, 0x00, 0x41, 0x02, 0x75, 0x00, 0x03};
    for (int i = 0; i < 30; ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", i + 1);
        t.rows.push_back(Row(hex, "22", i % 3 == 0 ? EntryOf(200) : i % 3 == 1 ? terrestrial : satellite));
    }
    ASSERT_TRUE(t.Build());
    ASSERT_GE(t.sectionCount, 3);
    for (int k = 0; k < t.sectionCount; ++k)
        ExpectSound(t, k);

    const std::string path = (std::filesystem::temp_directory_path() / "nit_table_test.nit").string();
    ASSERT_TRUE(WriteNitFile(path, t.image));
    EXPECT_EQ(std::filesystem::file_size(path), 5120u);
    NitTable back;
    back.networkName = "old";
    ASSERT_EQ(ReadNitFile(path, &back.image, &back.imageLength), NitFileRead::kOk);
    EXPECT_EQ(back.imageLength, 5120);
    back.ParseNitSections();
    std::filesystem::remove(path);

    EXPECT_EQ(back.networkId, "01a2");
    EXPECT_EQ(back.version, 7);
    EXPECT_EQ(back.networkName, "Velmora");
    EXPECT_TRUE(back.networkDescriptorsOn);
    ASSERT_EQ(back.networkDescriptors.size(), 2u);
    EXPECT_EQ(back.networkDescriptors[0].tag, 0x5F);
    EXPECT_EQ(back.networkDescriptors[0].text, "0A0B");
    EXPECT_EQ(back.networkDescriptors[1].text, "");
    ASSERT_EQ(back.rows.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        const NitTsRow& r = back.rows[static_cast<size_t>(i)];
        char id[8];
        std::snprintf(id, sizeof id, "%04x", i + 1);
        EXPECT_EQ(r.columns[0], id);
        EXPECT_EQ(r.columns[1], "0022");
        EXPECT_EQ(r.entry.bytes, t.rows[static_cast<size_t>(i)].entry.bytes);
    }
    const auto& cable = back.rows[0].columns;
    EXPECT_EQ(cable[6], "Cable");
    EXPECT_EQ(cable[2], "0346.0000(MHz)");
    EXPECT_EQ(cable[3], "006.8750");
    EXPECT_EQ(cable[4], "64QAM");
    const auto& ter = back.rows[1].columns;
    EXPECT_EQ(ter[6], "Terrestrial");
    EXPECT_EQ(ter[2], "00474000000(Hz)");
    EXPECT_EQ(ter[7], "7MHz");
    EXPECT_EQ(ter[4], "64QAM");
    EXPECT_EQ(ter[10], "2/3");
    EXPECT_EQ(ter[9], "1/4");
    EXPECT_EQ(ter[8], "8k Mode");
    const auto& sat = back.rows[2].columns;
    EXPECT_EQ(sat[6], "Satellite");
    EXPECT_EQ(sat[2], "011.72750(GHz)");
    EXPECT_EQ(sat[3], "027.5000");
    EXPECT_EQ(sat[4], "QPSK");
    EXPECT_EQ(sat[5], "Circular Left Orb");
}

TEST(NitTable, FormatLeavesUnlabelledColumnsAndShortDescriptors) {
    NitTsRow row;
    row.columns[4] = "keep";
    const Bytes cable = {0x44, 0x0B, 0x03, 0x46, 0x00, 0x00, 0xFF, 0xF2, 0x09, 0x00, 0x68, 0x75, 0x05};
    EXPECT_EQ(NitTable::FormatDeliveryDescriptor(cable.data(), 13, row), 13);
    EXPECT_EQ(row.columns[4], "keep");  // modulation 9 has no label
    EXPECT_EQ(row.columns[6], "Cable");

    // A descriptor whose length byte is too short for its fields fills nothing.
    NitTsRow other;
    const Bytes shortCable = {0x44, 0x02, 0x03, 0x46};
    EXPECT_EQ(NitTable::FormatDeliveryDescriptor(shortCable.data(), 4, other), 4);
    EXPECT_EQ(other.columns[6], "");
    // Fewer bytes than the length claims: nothing read past them.
    EXPECT_EQ(NitTable::FormatDeliveryDescriptor(cable.data(), 8, other), 13);
    EXPECT_EQ(other.columns[6], "");
}

TEST(NitTable, ParserKeepsFieldsWithoutSectionAndSurvivesGarbage) {
    NitTable t;
    t.networkId = "12";
    t.rows.push_back(Row("5", "6", {}));
    t.ParseNitSections();  // slot 0 empty: nothing changes
    EXPECT_EQ(t.networkId, "12");
    EXPECT_EQ(t.rows.size(), 1u);

    // Lengths that claim far more than the slot holds, in every slot.
    uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        NitTable g;
        for (auto& b : g.image.bytes) {
            seed = seed * 1103515245u + 12345u;
            b = static_cast<uint8_t>(seed >> 16);
        }
        for (int k = 0; k < 5; ++k)
            g.image.Slot(k)[0] = 0x40;
        g.image.Slot(0)[8] = static_cast<uint8_t>(round % 2 ? 0xFF : 0xF0);
        g.ParseNitSections();
        EXPECT_LE(g.rows.size(), 100u);
        EXPECT_LE(g.networkDescriptors.size(), 8u);
        EXPECT_LE(g.networkName.size(), 128u);
        for (const auto& r : g.rows) {
            EXPECT_LE(r.entry.DescriptorsLength(), 510);
        }
    }
}

TEST(NitTable, FileLimits) {
    const auto dir = std::filesystem::temp_directory_path();
    const std::string path = (dir / "nit_table_limits.nit").string();
    NitImage image;
    int length = -1;
    EXPECT_EQ(ReadNitFile((dir / "no_such_dir" / "x.nit").string(), &image, &length),
              NitFileRead::kCannotOpen);

    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        Bytes data(5121, 0x40);
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
    image.Slot(0)[0] = 0x40;
    EXPECT_EQ(ReadNitFile(path, &image, &length), NitFileRead::kTooLong);
    EXPECT_EQ(length, -1);

    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        Bytes data(100, 0x40);
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
    image.Slot(3)[0] = 0x40;
    EXPECT_EQ(ReadNitFile(path, &image, &length), NitFileRead::kOk);
    EXPECT_EQ(length, 100);
    EXPECT_EQ(image.bytes[99], 0x40);
    EXPECT_EQ(image.bytes[100], 0);
    EXPECT_FALSE(image.HasSection(3));

    // A failed write leaves no temporary file and the old file as it was.
    EXPECT_FALSE(WriteNitFile((dir / "no_such_dir" / "x.nit").string(), image));
    std::filesystem::remove(path);
}

// ---- Transport-stream entries ----

Bytes EntryBytes(const NitTsEntry& e) {
    return Bytes(e.Descriptors(), e.Descriptors() + e.DescriptorsLength());
}

NitTsForm Cable(const std::string& frequency, const std::string& symbolRate, int modulation) {
    NitTsForm f;
    f.tsId = "1";
    f.onid = "0";
    f.frequency = frequency;
    f.symbolRate = symbolRate;
    f.delivery = kNitCable;
    f.modulation = modulation;
    return f;
}

TEST(NitTsEntryBuild, DeliveryDescriptorsOfEveryKind) {
    NitTsForm cable = Cable("346", "6.875", 3);
    ASSERT_EQ(CheckNitTsForm(cable), "");
    EXPECT_EQ(cable.frequency, "0346.0000(MHz)");
    EXPECT_EQ(cable.symbolRate, "6.8750");
    EXPECT_EQ(cable.tsId, "0001");
    NitTsEntry entry;
    ASSERT_EQ(BuildNitTsEntry(cable, entry), "");
    EXPECT_EQ(EntryBytes(entry),
              (Bytes{0x44, 0x0B, 0x03, 0x46, 0x00, 0x00, 0xFF, 0xF2, 0x03, 0x00, 0x68, 0x75, 0x05}));

    NitTsForm sat = Cable("11.7275", "27.5", 1);
    sat.delivery = kNitSatellite;
    sat.polarization = 0;
    ASSERT_EQ(CheckNitTsForm(sat), "");
    EXPECT_EQ(sat.frequency, "011.72750(GHz)");
    // What the dialog does not give (orbital position, FEC) stays as the entry held it.
    NitTsEntry satEntry;
    satEntry.bytes[2 + 6] = 0x01;
    satEntry.bytes[2 + 7] = 0x92;
    satEntry.bytes[2 + 12] = 0x0A;
    ASSERT_EQ(BuildNitTsEntry(sat, satEntry), "");
    EXPECT_EQ(EntryBytes(satEntry),
              (Bytes{0x43, 0x0B, 0x01, 0x17, 0x27, 0x50, 0x01, 0x92, 0x01, 0x02, 0x75, 0x00, 0x0A}));

    NitTsForm ter = Cable("474000000", "", 2);
    ter.delivery = kNitTerrestrial;
    ter.bandwidth = 0;
    ter.fec = 1;
    ter.guardInterval = 3;
    ter.transmissionMode = 1;
    ASSERT_EQ(CheckNitTsForm(ter), "");
    EXPECT_EQ(ter.frequency, "00474000000(Hz)");
    NitTsEntry terEntry;
    ASSERT_EQ(BuildNitTsEntry(ter, terEntry), "");
    EXPECT_EQ(EntryBytes(terEntry),
              (Bytes{0x5A, 0x0B, 0x02, 0xD3, 0x44, 0x40, 0x1F, 0x81, 0x3A, 0xFF, 0xFF, 0xFF, 0xFF}));
    // The delivery texts that the list shows come back the same from the descriptor.
    NitTsRow shown;
    NitTable::FormatDeliveryDescriptor(terEntry.Descriptors(), 13, shown);
    NitTsRow filled;
    FillRowColumns(ter, filled);
    for (int c = 2; c < kNitTsColumns; ++c) {
        EXPECT_EQ(shown.columns[c], filled.columns[c]) << c;
    }
}

TEST(NitTsEntryBuild, ChecksInOrderWithTheirMessages) {
    struct Case {
        const char* name;
        std::function<void(NitTsForm&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"no delivery", [](NitTsForm& f) { f.delivery = kNitNoDelivery; }, "Need Select Descriptor Type!"},
        {"empty ts id", [](NitTsForm& f) { f.tsId = ""; }, "TS ID(0x) should not be empty!"},
        {"empty onid", [](NitTsForm& f) { f.onid = ""; }, "Orig. Net. ID(0x) should not be empty!"},
        {"empty frequency", [](NitTsForm& f) { f.frequency = ""; }, "Please set RF output frequency!"},
        {"empty symbol rate", [](NitTsForm& f) { f.symbolRate = ""; }, "Please set symbol rate!"},
        {"ts id not hex", [](NitTsForm& f) { f.tsId = "1g"; }, "TS ID(0x) should be 0-9,a-f or A-F!"},
        {"onid not hex", [](NitTsForm& f) { f.onid = "z"; }, "Orig. Net. ID(0x) should be 0-9,a-f or A-F!"},
        {"ts id of five digits", [](NitTsForm& f) { f.tsId = "fffff"; },
         "Please enter no more than 4 characters."},
        {"frequency letter", [](NitTsForm& f) { f.frequency = "34a"; },
         "RF Frequency value should be '0-9' or '.'"},
        {"frequency two points", [](NitTsForm& f) { f.frequency = "3.4.6"; },
         "RF Frequency value should be '0-9' or '.'"},
        {"symbol letter", [](NitTsForm& f) { f.symbolRate = "6,875"; }, "Symbol rate should be '0-9' or '.'"},
        {"no modulation", [](NitTsForm& f) { f.modulation = -1; }, "Please select modulation!"},
        {"cable 10000 MHz", [](NitTsForm& f) { f.frequency = "10000"; },
         "RF Frequency should not be more than 10000M."},
        {"symbol rate 1000", [](NitTsForm& f) { f.symbolRate = "1000"; },
         "Symbol rate should not be more than 999.9999M."},
        {"satellite 1000 GHz",
         [](NitTsForm& f) {
             f.delivery = kNitSatellite;
             f.polarization = 0;
             f.modulation = 1;
             f.frequency = "1000.5";
         },
         "RF Frequency should not be more than 1000G."},
        {"satellite without polarization",
         [](NitTsForm& f) {
             f.delivery = kNitSatellite;
             f.modulation = -1;
         },
         "Polarization: should not be empty!"},
        {"terrestrial without guard",
         [](NitTsForm& f) {
             f.delivery = kNitTerrestrial;
             f.fec = 0;
         },
         "Guard Interval: should not be empty!"},
        {"terrestrial without fec",
         [](NitTsForm& f) {
             f.delivery = kNitTerrestrial;
             f.guardInterval = 0;
         },
         "FEC Rate: should not be empty!"},
        {"terrestrial over 32 bits",
         [](NitTsForm& f) {
             f.delivery = kNitTerrestrial;
             f.guardInterval = f.fec = 0;
             f.frequency = "42949672960";
         },
         "RF Frequency should not be more than 42949672950Hz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NitTsForm f = Cable("346", "6.875", 3);
        c.change(f);
        const NitTsForm before = f;
        EXPECT_EQ(CheckNitTsForm(f), c.message);
        // A refused form keeps the operator's texts.
        EXPECT_EQ(f.frequency, before.frequency);
        EXPECT_EQ(f.tsId, before.tsId);
    }
    // The largest terrestrial frequency fits the 32-bit field exactly.
    NitTsForm top = Cable("42949672950", "", 0);
    top.delivery = kNitTerrestrial;
    top.guardInterval = top.fec = 0;
    ASSERT_EQ(CheckNitTsForm(top), "");
    EXPECT_EQ(top.frequency, "42949672950(Hz)");
}

TEST(NitTsEntryBuild, LcnFormsAndPrivateDescriptorsReadBack) {
    NitTsForm f = Cable("346", "6.875", 3);
    ASSERT_EQ(CheckNitTsForm(f), "");
    f.lcnOn = true;
    f.lcnRows = {LcnRow{0x0001, 0x123, 0, "", 0}};
    NitTsEntry e;
    ASSERT_EQ(BuildNitTsEntry(f, e), "");
    EXPECT_EQ(Bytes(e.Descriptors() + 13, e.Descriptors() + 19), (Bytes{0x83, 4, 0x00, 0x01, 0xFD, 0x23}));
    f.nordigV21 = true;
    ASSERT_EQ(BuildNitTsEntry(f, e), "");
    EXPECT_EQ(Bytes(e.Descriptors() + 13, e.Descriptors() + 19), (Bytes{0x83, 4, 0x00, 0x01, 0xC1, 0x23}));
    NitTsEntryLists back = ReadNitTsEntry(e);
    EXPECT_TRUE(back.lcnOn && back.nordigV21 && !back.nordig87 && !back.privateOn);
    ASSERT_EQ(back.lcnRows.size(), 1u);
    EXPECT_EQ(back.lcnRows[0].lcn, 0x123);

    // NORDIG: one channel list per id in order of first appearance.
    f.nordigV21 = false;
    f.nordig87 = true;
    f.lcnRows = {{1, 10, 1, "A", 578}, {2, 20, 2, "B", 208}, {3, 30, 1, "ignored", 1}};
    f.privateOn = true;
    f.privateRows = {{0x5F, "0102"}, {0x80, ""}};
    ASSERT_EQ(BuildNitTsEntry(f, e), "");
    const Bytes nordig = {0x87, 28,                                                               //
                          1,    2,  'A', 0, 0x00, 0x02, 0x42, 8, 0, 1, 0xFC, 10, 0, 3, 0xFC, 30,  //
                          2,    2,  'B', 0, 0x00, 0x00, 0xD0, 4, 0, 2, 0xFC, 20,                  //
                          0x5F, 2,  1,   2, 0x80, 0};
    EXPECT_EQ(Bytes(e.Descriptors() + 13, e.Descriptors() + e.DescriptorsLength()), nordig);
    back = ReadNitTsEntry(e);
    EXPECT_TRUE(back.lcnOn && back.nordig87 && back.privateOn);
    ASSERT_EQ(back.lcnRows.size(), 3u);
    EXPECT_EQ(back.lcnRows[1].channelListId, 1);
    EXPECT_EQ(back.lcnRows[1].serviceId, 3);
    EXPECT_EQ(back.lcnRows[1].channelListName, "A");
    EXPECT_EQ(back.lcnRows[2].countryCode, 208u);
    ASSERT_EQ(back.privateRows.size(), 2u);
    EXPECT_EQ(back.privateRows[0].text, "0102");
    EXPECT_EQ(back.privateRows[1].tag, 0x80);
}

TEST(NitTsEntryBuild, AtMost510BytesAndNoDescriptorOver255) {
    NitTsForm f = Cable("346", "6.875", 3);
    ASSERT_EQ(CheckNitTsForm(f), "");
    f.privateOn = true;
    // 13 delivery bytes + private descriptors: 2 x (2 + 200) + (2 + 91) = 510 exactly.
    f.privateRows = {
        {0x80, std::string(400, 'A')}, {0x81, std::string(400, 'B')}, {0x82, std::string(182, 'C')}};
    NitTsEntry e;
    ASSERT_EQ(BuildNitTsEntry(f, e), "");
    EXPECT_EQ(e.DescriptorsLength(), 510);
    EXPECT_EQ(ReadNitTsEntry(e).privateRows.size(), 3u);
    const NitTsEntry kept = e;
    f.privateRows.back().text += "DD";
    EXPECT_EQ(BuildNitTsEntry(f, e),
              "The descriptors of a transport stream may not be longer than 510 bytes.");
    EXPECT_EQ(e.bytes, kept.bytes);
    // 64 plain LCNs would need a length byte of 256.
    f.privateOn = false;
    f.lcnOn = true;
    f.lcnRows.assign(64, LcnRow{});
    EXPECT_EQ(BuildNitTsEntry(f, e), "The LCN descriptor is longer than 255 bytes.");
    f.lcnRows.resize(63);
    EXPECT_EQ(BuildNitTsEntry(f, e), "");
}

TEST(NitTsEntryRead, AnyBytesStayInsideTheEntry) {
    // Descriptors cut short, lengths past the end, a NORDIG list longer than its descriptor.
    const Bytes cases[] = {
        {0x83, 5, 0, 1, 0xFC, 7, 9},
        {0x87, 9, 1, 200, 'x', 'y'},
        {0x87, 8, 1, 1, 0, 0, 0, 1, 40, 0},
        {0x83, 250},
        {0x5F},
    };
    for (const Bytes& b : cases) {
        NitTsEntry e;
        e.SetDescriptors(b.data(), static_cast<int>(b.size()));
        const NitTsEntryLists lists = ReadNitTsEntry(e);
        EXPECT_LE(lists.lcnRows.size(), 1u);
    }
    NitTsEntry e;
    e.SetDescriptors(cases[0].data(), static_cast<int>(cases[0].size()));
    ASSERT_EQ(ReadNitTsEntry(e).lcnRows.size(), 1u);
    EXPECT_EQ(ReadNitTsEntry(e).lcnRows[0].lcn, 7);
}

TEST(NitTsRows, PresetsAndEditForms) {
    NitTsForm first = NewRowPreset({});
    EXPECT_EQ(first.tsId, "1");
    EXPECT_EQ(first.onid, "0");
    EXPECT_EQ(first.frequency, "307");
    EXPECT_EQ(first.delivery, kNitCable);
    NitTsRow last;
    last.columns[0] = "00FF";
    last.columns[1] = "0001";
    last.columns[2] = "0346.0000(MHz)";
    NitTsForm next = NewRowPreset({last});
    EXPECT_EQ(next.tsId, "0100");
    EXPECT_EQ(next.onid, "0001");
    EXPECT_EQ(next.frequency, "354");
    last.columns[0] = "FFFF";
    EXPECT_EQ(NewRowPreset({last}).tsId, "0000");
    last.columns[0] = "xy";
    EXPECT_EQ(NewRowPreset({last}).tsId, "0000");

    NitTsRow row;
    row.columns = {
        "0002", "0001", "011.72750(GHz)", "027.5000", "QPSK", "Circular Left Orb", "Satellite", "", "",
        "",     ""};
    NitTsForm f;
    ASSERT_TRUE(FormFromRow(row, &f));
    EXPECT_EQ(f.delivery, kNitSatellite);
    EXPECT_EQ(f.frequency, "011.72750");
    EXPECT_EQ(f.modulation, 1);
    EXPECT_EQ(f.polarization, 2);
    row.columns[6] = "";
    EXPECT_FALSE(FormFromRow(row, &f));
}

// ---- LCN list files ----

TEST(LcnListFile, LinesAndValues) {
    struct Case {
        const char* name;
        std::string text;
        LcnFileRead status;
        std::vector<std::pair<int, int>> rows;
    };
    const Case cases[] = {
        {"crlf", "LCN List\r\n@lcn:0x10:5:\r\n@end\r\n", LcnFileRead::kOk, {{16, 5}}},
        {"lf", "LCN List\n@lcn:0x10:5:\n@end\n", LcnFileRead::kOk, {{16, 5}}},
        {"no newline at the end", "LCN List\n@lcn:1:2#", LcnFileRead::kOk, {{1, 2}}},
        {"empty", "", LcnFileRead::kNoFirstLine, {}},
        {"wrong first line", "LCN Lst\r\n@lcn:1:2:\r\n", LcnFileRead::kBadFirstLine, {}},
        {"comments and other words",
         "LCN List 2\n# x\nlcn:1:2:\n@lcnx:1:2:\n@lcn 1 2\n@LCN:1:2:\n@lcn:3:0X1F#\n",
         LcnFileRead::kOk,
         {{3, 31}}},
        {"value without its end counts 0",
         "LCN List\n@lcn:7:8\n@lcn:9\n",
         LcnFileRead::kOk,
         {{7, 0}, {0, 0}}},
        {"end stops the list", "LCN List\n@lcn:1:1:\n@end\n@lcn:2:2:\n", LcnFileRead::kOk, {{1, 1}}},
        // Values that do not fit 16 bits are skipped, not cut; leading zeros are fine.
        {"over-long values",
         "LCN List\n@lcn:0x12345:1:\n@lcn:65536:1:\n@lcn:1:0x00001:\n@lcn:65535:0xFFFF:\n",
         LcnFileRead::kOk,
         {{1, 1}, {65535, 65535}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LcnFileResult r = ParseLcnList(c.text);
        EXPECT_EQ(r.status, c.status);
        std::vector<std::pair<int, int>> rows;
        for (const LcnRow& row : r.rows)
            rows.emplace_back(row.serviceId, row.lcn);
        EXPECT_EQ(rows, c.rows);
    }
    // An over-long line is one line: its tail is never read as a command of its own.
    const std::string longLine = "LCN List\n#" + std::string(600, 'x') + "@lcn:5:5:\n";
    EXPECT_TRUE(ParseLcnList(longLine).rows.empty());
}

TEST(LcnListFile, MissingAndReadOnlyFiles) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lcn_list_file_test";
    std::filesystem::create_directories(dir);
    EXPECT_EQ(ReadLcnListFile((dir / "missing.txt").string()).status, LcnFileRead::kCannotOpen);
    const std::filesystem::path path = dir / "ro.txt";
    std::filesystem::remove(path);
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("LCN List\r\n@lcn:0x10:5:\r\n@end\r\n", f);
        std::fclose(f);
    }
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    const LcnFileResult r = ReadLcnListFile(path.string());
    EXPECT_EQ(r.status, LcnFileRead::kOk);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].serviceId, 16);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir);
}

}  // namespace nit_table_test
}  // namespace nms
