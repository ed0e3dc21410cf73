#include "pages/scrambler/ac_table.h"

#include <gtest/gtest.h>

#include "pages/scrambler/scrambler_records.h"

namespace nms {
namespace ac_table_test {

// Appends one entry of the image form.
void Put(std::vector<uint8_t>& out, const std::string& name, const std::vector<uint8_t>& data) {
    out.push_back(uint8_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(uint8_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

AcTableImage Image(uint16_t count, const std::vector<uint8_t>& entries, uint8_t fill = 0) {
    AcTableImage image;
    image.fill(fill);
    image[0] = uint8_t(count >> 8);
    image[1] = uint8_t(count);
    std::copy(entries.begin(), entries.end(), image.begin() + 2);
    return image;
}

AcEcmBlock Ecm(const std::vector<uint16_t>& ids, uint16_t count) {
    AcEcmBlock ecm{};
    ecm[0] = uint8_t(count >> 8), ecm[1] = uint8_t(count);
    for (size_t k = 0; k < ids.size(); ++k)
        ecm[2 + 2 * k] = uint8_t(ids[k] >> 8), ecm[3 + 2 * k] = uint8_t(ids[k]);
    return ecm;
}

TEST(AcTableTest, ListingSkipsEmptyEntriesButTheyKeepTheirEcmId) {
    std::vector<uint8_t> entries;
    Put(entries, "first", {0x01});
    Put(entries, "", {0x02});    // empty name: skipped
    Put(entries, "nodata", {});  // empty data: skipped
    Put(entries, "second", {0x0a, 0x1b});
    const auto list = ReadAcEntries(Image(2, entries), Ecm({0x11, 0x22, 0x33, 0x44}, 4));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], (AcRecord{"first", {0x01}, 0x11}));
    EXPECT_EQ(list[1], (AcRecord{"second", {0x0a, 0x1b}, 0x44}));
    // An ECM block whose count is 0 gives every entry the id 1.
    for (const AcRecord& e : ReadAcEntries(Image(2, entries), Ecm({0x11, 0x22, 0x33, 0x44}, 0)))
        EXPECT_EQ(e.ecmId, 1);
    // A count of 0 lists nothing.
    EXPECT_TRUE(ReadAcEntries(Image(0, entries), Ecm({}, 0)).empty());
    EXPECT_EQ(AcDataText({0x0a, 0x1b}), "0a1b");
    EXPECT_EQ(AcDataText({0x0a, 0x1b}, true), "0A1B");
}

TEST(AcTableTest, ACountLargerThanTheImageStopsAtItsEnd) {
    // 0xFF-filled image: every entry claims 255 name and 255 data bytes; a count of 1000 must stop at the
    // end of the 2048 bytes without reading past it.
    const AcTableImage image = Image(1000, {}, 0xff);
    const auto list = ReadAcEntries(image, Ecm({}, 0));
    EXPECT_EQ(list.size(), 3u);  // entries of 512 bytes from byte 2: the fourth would end at 2050
    for (const AcRecord& e : list)
        EXPECT_EQ(e.name.size(), 255u);
    // The names of the index lists stop the same way.
    EXPECT_EQ(AcIndexNames(image).size(), 3u);
}

TEST(AcTableTest, PackingRewritesOnlyHeaderAndEntries) {
    AcTableImage image = Image(0, {}, 0xee);
    AcEcmBlock ecm = Ecm({7, 7, 7}, 3);
    const AcEcmBlock ecmBefore = ecm;
    // An empty list zeroes the count only; the ECM block keeps its contents.
    ASSERT_TRUE(PackAcEntries({}, &image, &ecm));
    EXPECT_EQ(image[0], 0);
    EXPECT_EQ(image[1], 0);
    EXPECT_EQ(image[2], 0xee);
    EXPECT_EQ(ecm, ecmBefore);

    const std::vector<AcRecord> entries = {{"a", {1, 2}, 0x1234}, {"bc", {3}, 5}};
    ASSERT_TRUE(PackAcEntries(entries, &image, &ecm));
    const std::vector<uint8_t> head(image.begin(), image.begin() + 14);
    EXPECT_EQ(head, (std::vector<uint8_t>{0, 2, 1, 'a', 2, 1, 2, 2, 'b', 'c', 1, 3, 0xee, 0xee}));
    EXPECT_EQ(std::vector<uint8_t>(ecm.begin(), ecm.begin() + 8),
              (std::vector<uint8_t>{0, 2, 0x12, 0x34, 0, 5, 0, 7}));
    EXPECT_EQ(ReadAcEntries(image, ecm), entries);

    // A list that does not fit the 2048 bytes is refused and writes nothing.
    std::vector<AcRecord> big(9, AcRecord{std::string(120, 'n'), std::vector<uint8_t>(120, 1), 1});
    EXPECT_GT(AcPackedLength(big), kAcImageSize);
    const AcTableImage before = image;
    EXPECT_FALSE(PackAcEntries(big, &image, &ecm));
    EXPECT_EQ(image, before);
}

TEST(AcTableTest, FileLoadsWhatItCoversAndSavesBothBlocks) {
    AcTableImage image = Image(1, {}, 0x55);
    AcEcmBlock ecm = Ecm({9}, 1);
    // A file of 100 bytes replaces the first 100 bytes of the image and leaves the ECM block.
    const AcEcmBlock ecmBefore = ecm;
    LoadAcFile(std::vector<uint8_t>(100, 0x01), &image, &ecm);
    EXPECT_EQ(image[99], 0x01);
    EXPECT_EQ(image[100], 0x55);
    EXPECT_EQ(ecm, ecmBefore);
    // A long file reads 3072 bytes only.
    std::vector<uint8_t> file(4000, 0x02);
    file[2048] = 0x03;
    LoadAcFile(file, &image, &ecm);
    EXPECT_EQ(image[2047], 0x02);
    EXPECT_EQ(ecm[0], 0x03);
    const std::vector<uint8_t> saved = AcFileBytes(image, ecm);
    ASSERT_EQ(saved.size(), size_t(kAcFileSize));
    AcTableImage image2{};
    AcEcmBlock ecm2{};
    LoadAcFile(saved, &image2, &ecm2);
    EXPECT_EQ(image2, image);
    EXPECT_EQ(ecm2, ecm);
}

TEST(AcTableTest, EntryChecksInOrder) {
    const struct {
        std::string name, data, ecm, message;
    } cases[] = {
        {"", "01", "1", "AC name error!(length should between 1-128)"},
        {std::string(129, 'x'), "01", "1", "AC name error!(length should between 1-128)"},
        {"n", "", "1", "AC value error!(length should be 0-512 Hex characters)"},
        {"n", "012", "1", "AC value's length should be even number!"},
        {"n", "0g", "1", "AC value error,should be hex data:'0-9','a-f' or 'A-F'!"},
        {"n", "01", "1x", "ECM ID should be 0-9,a-f or A-F!"},
        {std::string(128, 'x'), "0A1B", "", ""},
    };
    for (const auto& c : cases) {
        AcRecord out;
        EXPECT_EQ(CheckAcEntry(c.name, c.data, c.ecm, &out), c.message) << c.name << " " << c.data;
    }
    AcRecord out;
    ASSERT_EQ(CheckAcEntry("n", "0A1B", "12345", &out), "");
    EXPECT_EQ(out.data, (std::vector<uint8_t>{0x0a, 0x1b}));
    EXPECT_EQ(out.ecmId, 0x2345);  // the low 16 bits
    ASSERT_EQ(CheckAcEntry("n", "00", "", &out), "");
    EXPECT_EQ(out.ecmId, 0);
}

TEST(AcTableTest, ModulatorFormRoundTripsAndReadsTheOtherFormsFiles) {
    SasAcTableImage image;
    image.fill(0x99);
    const std::vector<AcRecord> entries = {{"one", {0xAB}, 1},
                                           {std::string(200, 'L'), std::vector<uint8_t>(150, 7), 1}};
    ASSERT_TRUE(PackSasAcEntries(entries, &image));
    EXPECT_EQ(image[0] << 8 | image[1], 3 + 2 + 3 + 1 + 2 + 200 + 150);
    EXPECT_EQ(image[2], 2);
    EXPECT_EQ(ReadSasAcEntries(image), entries);
    EXPECT_EQ(SasAcIndexNames(image), (std::vector<std::string>{"one", std::string(200, 'L')}));

    // Its own file: a 0 byte, image bytes 2..2047, then 512 ids of 1.
    const std::vector<uint8_t> file = SasAcFileBytes(image);
    ASSERT_EQ(file.size(), 3071u);
    EXPECT_EQ(file[0], 0);
    EXPECT_EQ(file[1], 2);
    EXPECT_EQ(file[2047], 0);
    EXPECT_EQ(file[2048], 1);
    SasAcTableImage loaded{};
    LoadSasAcFile(file, &loaded);
    EXPECT_EQ(ReadSasAcEntries(loaded), entries);

    // A file of the list dialog's form (u16 count, entries from byte 2) loads with the same entries.
    AcTableImage other{};
    AcEcmBlock ecm{};
    ASSERT_TRUE(PackAcEntries({{"x", {1}, 1}, {"yy", {2, 3}, 1}}, &other, &ecm));
    SasAcTableImage fromOther{};
    LoadSasAcFile(AcFileBytes(other, ecm), &fromOther);
    const auto list = ReadSasAcEntries(fromOther);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].name, "yy");

    // A short file fills only what it covers.
    SasAcTableImage partial;
    partial.fill(0x44);
    LoadSasAcFile({0, 5, 9}, &partial);
    EXPECT_EQ(partial[2], 5);
    EXPECT_EQ(partial[3], 9);
    EXPECT_EQ(partial[4], 0x44);

    // More than 255 entries or more than 2048 bytes are refused, and nothing is written.
    const SasAcTableImage before = image;
    EXPECT_FALSE(PackSasAcEntries(std::vector<AcRecord>(256, AcRecord{"a", {1}, 1}), &image));
    EXPECT_FALSE(
        PackSasAcEntries(std::vector<AcRecord>(11, AcRecord{std::string(200, 'a'), {1, 2}, 1}), &image));
    EXPECT_EQ(image, before);
    EXPECT_TRUE(PackSasAcEntries(std::vector<AcRecord>(255, AcRecord{"a", {1}, 1}), &image));
}

TEST(ScramblerRecordsTest, MarksAndSlotFields) {
    const struct {
        int mark;
        bool two;
        int next;
    } steps[] = {{1, false, 2}, {2, false, 3}, {3, false, 1}, {2, true, 1}, {1, true, 2}};
    for (const auto& s : steps)
        EXPECT_EQ(NextMark(s.mark, s.two), s.next);
    EXPECT_EQ(ProgramMark({3, 3}), 3);
    EXPECT_EQ(ProgramMark({1, 2, 3}), 2);
    EXPECT_EQ(ProgramMark({1, 3}), 1);
    EXPECT_EQ(ProgramMark({}), 0);

    // Writing the fields keeps the bytes no field names.
    std::vector<uint8_t> slot(kCasSlotSize);
    for (size_t i = 0; i < slot.size(); ++i)
        slot[i] = uint8_t(i * 7 + 1);
    slot[0] = slot[213] = 1;  // flags read back as 0 or 1
    const std::vector<uint8_t> before = slot;
    WriteCasSlot(slot.data(), ReadCasSlot(slot.data()));
    SetCasSlotEcmPid(slot.data(), 64, CasSlotEcmPid(slot.data(), 64));
    SetCasSlotEcmPid(slot.data(), 65, 0xffff);  // outside the table: nothing
    SetCasSlotAcIndex(slot.data(), 0, 9);
    EXPECT_EQ(slot, before);
}

}  // namespace ac_table_test
}  // namespace nms
