#include "pages/psi/nit_table.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "devices/device_packet.h"
#include "pages/psi/psi_section_checker.h"

namespace nms {
namespace {

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
        for (const auto& r : g.rows)
            EXPECT_LE(r.entry.DescriptorsLength(), 510);
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

}  // namespace
}  // namespace nms
