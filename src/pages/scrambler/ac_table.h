// Access-criteria (AC) tables of the scramblers: named byte strings that a scrambler hands its CAS with an
// ECM id, one table per CAS slot. Two image forms travel to devices and to "*.ac" files:
//  - AcTableImage (2048 bytes): u16 big-endian entry count at 0, entries from byte 2; with it goes the
//    AcEcmBlock (1024 bytes: u16 big-endian count, then one u16 big-endian ECM id per entry);
//  - SasAcTableImage (2048 bytes, the scrambling QAM modulators' form): u16 big-endian used length at 0,
//    u8 entry count at 2, entries from byte 3.
// An entry is {u8 name length, name bytes, u8 data length, data bytes}. Bytes after the last entry keep
// whatever the image held: packing rewrites only the header and the entries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nms {

constexpr int kAcImageSize = 2048;
constexpr int kAcEcmBlockSize = 1024;
constexpr int kAcFileSize = kAcImageSize + kAcEcmBlockSize;  // 3072
constexpr int kAcNameMax = 128;                              // characters the entry dialog accepts
constexpr int kAcDataTextMax = 256;                          // hexadecimal characters typed
constexpr int kSasAcMaxEntries = 255;

constexpr const char* kAcFullMessage = "AC length is full,please delete some old AC!";
constexpr const char* kAcFileTooLongQuestion =
    "File length more than 2K! please confirm the file is correct, continue?";
constexpr const char* kAcFileFilter = "*.ac|*.ac||";

using AcTableImage = std::array<uint8_t, kAcImageSize>;
using AcEcmBlock = std::array<uint8_t, kAcEcmBlockSize>;
using SasAcTableImage = std::array<uint8_t, kAcImageSize>;

// One entry as the dialogs hold it. Names read from an image may be longer than the entry dialog allows;
// they are kept whole.
struct AcRecord {
    std::string name;           // code-page bytes
    std::vector<uint8_t> data;  // at most 255 bytes
    uint16_t ecmId = 1;

    int PackedSize() const { return 2 + int(name.size()) + int(data.size()); }
    bool operator==(const AcRecord&) const = default;
};

// "%02x" pairs (lower case) or "%02X" pairs (upper case), no separators.
std::string AcDataText(const std::vector<uint8_t>& data, bool upper = false);

// --- the 2-byte-count form ---

// The listed entries: entries with an empty name or empty data are skipped (they still take their ECM id);
// the walk stops after count listed entries or at the end of the image. An ECM block whose count is 0
// gives every entry the id 1.
std::vector<AcRecord> ReadAcEntries(const AcTableImage& image, const AcEcmBlock& ecm);
// 2 + the entries' packed sizes.
int AcPackedLength(const std::vector<AcRecord>& entries);
// Packs the entries; an empty list only zeroes the count (the ECM block keeps its contents). False, and
// nothing written, when the entries do not fit the image or an entry does not fit its length bytes.
bool PackAcEntries(const std::vector<AcRecord>& entries, AcTableImage* image, AcEcmBlock* ecm);
// Every entry's name up to the count or the end of the image, empty names and data included: the choices of
// the pages' AC index lists.
std::vector<std::string> AcIndexNames(const AcTableImage& image);

// The "*.ac" file: the image then the ECM block. A file shorter than 3072 bytes fills only what it covers
// (the rest of both keeps its contents); bytes past 3072 are not read.
void LoadAcFile(const std::vector<uint8_t>& file, AcTableImage* image, AcEcmBlock* ecm);
std::vector<uint8_t> AcFileBytes(const AcTableImage& image, const AcEcmBlock& ecm);

// --- the scrambling QAM modulators' form ---

std::vector<AcRecord> ReadSasAcEntries(const SasAcTableImage& image);
// 3 + the entries' packed sizes.
int SasAcPackedLength(const std::vector<AcRecord>& entries);
// False, and nothing written, when the list holds more than 255 entries or does not fit the image.
bool PackSasAcEntries(const std::vector<AcRecord>& entries, SasAcTableImage* image);
// The names in entry order: walked from byte 3 while inside the used length and below the count.
std::vector<std::string> SasAcIndexNames(const SasAcTableImage& image);
// Its file: one 0 byte, image bytes 2..2047, the ECM companion block (512 ids of 1): 3071 bytes. A file
// read back puts its byte 1 into the count (byte 0 is dropped), so files of the 2-byte-count form load with
// their entries too; the used length is not read.
std::vector<uint8_t> SasAcFileBytes(const SasAcTableImage& image);
void LoadSasAcFile(const std::vector<uint8_t>& file, SasAcTableImage* image);

// The entry dialog's checks, in order; on success *out holds the entry (data bytes, ECM id from the low 16
// bits of the hexadecimal text, 0 when empty) and the result is empty, else it is the message.
std::string CheckAcEntry(const std::string& name, const std::string& dataText, const std::string& ecmText,
                         AcRecord* out);

// Reads a whole file (at most maxBytes + 1 bytes, so a caller sees that it is longer); false when it cannot
// be opened.
bool ReadAcFileBytes(const std::string& path, std::vector<uint8_t>* bytes, size_t maxBytes = kAcFileSize);

}  // namespace nms
