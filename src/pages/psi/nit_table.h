// The data side of the NIT editor: the image of up to five NIT sections that goes to the device and into
// "*.nit" files, the descriptor store of each transport-stream row, the section builder, the parser that
// turns sections back into rows, and the texts of delivery-system descriptors.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nms {

constexpr int kNitSlotSize = 1024;
constexpr int kNitSlotCount = 5;
constexpr int kNitImageSize = kNitSlotSize * kNitSlotCount;
constexpr int kNitTsEntrySize = 512;
constexpr int kNitMaxEntryDescriptors = kNitTsEntrySize - 2;  // 510
constexpr int kNitMaxTsRows = 100;
constexpr int kNitMaxNetworkDescriptors = 8;
constexpr int kNitMaxNetworkDescriptorHex = 254;  // 127 data bytes
constexpr int kNitMaxNameLength = 128;
constexpr int kNitTsColumns = 11;

// Five 1024-byte slots; slot k holds section k (first byte 0x40) or zeros.
struct NitImage {
    std::array<uint8_t, kNitImageSize> bytes{};
    uint8_t* Slot(int k) { return bytes.data() + k * kNitSlotSize; }
    const uint8_t* Slot(int k) const { return bytes.data() + k * kNitSlotSize; }
    bool HasSection(int k) const { return k >= 0 && k < kNitSlotCount && Slot(k)[0] == 0x40; }
    void Clear() { bytes.fill(0); }
};

// Descriptors of one transport stream as they go into the section: bytes 0-1 the length (big-endian,
// low 12 bits count), bytes 2-511 the descriptors.
struct NitTsEntry {
    std::array<uint8_t, kNitTsEntrySize> bytes{};
    int DescriptorsLength() const;
    const uint8_t* Descriptors() const { return bytes.data() + 2; }
    // Stores at most 510 bytes; returns the number stored.
    int SetDescriptors(const uint8_t* data, int length);
    void Clear() { bytes.fill(0); }
};

struct NetworkDescriptorRow {
    uint8_t tag = 0;
    std::string text;  // upper-case hexadecimal, at most 254 characters
};

// One row of the transport-stream list: column 0 TS id, 1 original network id (hexadecimal texts),
// 2-10 the delivery texts; and its descriptors.
struct NitTsRow {
    std::array<std::string, kNitTsColumns> columns;
    NitTsEntry entry;
};

// The fixed label tables of the delivery-system values.
struct DeliveryValueLabels {
    static const std::vector<std::string> kCableModulation;
    static const std::vector<std::string> kSatelliteModulation;
    static const std::vector<std::string> kTerrestrialConstellation;
    static const std::vector<std::string> kPolarization;
    static const std::vector<std::string> kDeliverySystem;
    static const std::vector<std::string> kBandwidth;
    static const std::vector<std::string> kTransmissionMode;
    static const std::vector<std::string> kGuardInterval;
    static const std::vector<std::string> kFecRate;
    // The label of code, or nullptr when the table has no such row.
    static const std::string* Label(const std::vector<std::string>& table, int code);
};

// What the NIT editor builds from and parses into.
class NitTable {
public:
    std::string networkId = "0";                           // 1 to 4 hexadecimal characters
    std::string networkName = "Digital TV";                // device bytes (GBK), at most 128
    int version = 0;                                       // 0..31
    bool networkDescriptorsOn = false;                     // the "Network Descriptor" check box
    std::vector<NetworkDescriptorRow> networkDescriptors;  // at most 8
    std::vector<NitTsRow> rows;                            // at most 100

    NitImage image;
    int imageLength = 0;
    uint8_t sectionCount = 0;

    // Clears the image and builds every section from the members, section 0 into slot 0. Returns false
    // (image cleared, length and count 0) when the network id is empty or the table does not fit into
    // five sections; nothing is ever written beyond a slot.
    bool Build();
    // Reads slots 0-3 into the members: rows and network descriptors are replaced when slot 0 holds a
    // section; otherwise nothing changes. Any bytes are accepted.
    void ParseNitSections();
    // Fills the delivery columns of row from the descriptor d (available bytes from d on). Returns the
    // descriptor's total size (length byte + 2); a descriptor too short for its fields fills nothing.
    static int FormatDeliveryDescriptor(const uint8_t* d, int available, NitTsRow& row);

    // Appends a row unless the list is full.
    bool AddRow(NitTsRow row);

private:
    // -1: does not fit; otherwise the last section number.
    int BuildNitSections(int slot, int sectionNumber, int firstRow);
    // Walks one slot's transport-stream loop into rows.
    void ParseLoop(const uint8_t* slot, int loopAt);
};

// Reads a "*.nit" file into image (cleared first). Files of up to 5120 bytes are read; a shorter one
// leaves the rest zero.
enum class NitFileRead { kOk, kCannotOpen, kTooLong };
NitFileRead ReadNitFile(const std::string& path, NitImage* image, int* length);
// Writes all 5120 bytes through a temporary file renamed into place; false when that fails (the old
// file stays as it was).
bool WriteNitFile(const std::string& path, const NitImage& image);

}  // namespace nms
