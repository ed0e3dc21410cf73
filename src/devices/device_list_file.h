// The device list file (devinfo.db, *.db): a flat sequence of 114-byte records, no header, no count.
// Record layout (little-endian except the address): node name at 0 and device name at 48 (48 bytes each,
// at most 47 and a NUL), type code at 96, IPv4 address at 98 in network order, port at 102, status
// counter 104, busy flag 105, link reference 106 (written as 0), version word 110.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/device_registry.h"

namespace nms {

constexpr int kDeviceRecordSize = 114;

// What a file record carries that loading uses, plus the run-time bytes for completeness.
struct FileDeviceRecord {
    std::string nodeName;
    std::string deviceName;
    uint16_t typeCode = 0;
    uint32_t address = 0;  // network order, as DeviceRecord::address
    uint16_t port = 0;
    int8_t status = 0;
    uint8_t busy = 0;
    uint32_t version = 0;
};

std::array<uint8_t, kDeviceRecordSize> EncodeDeviceRecord(const DeviceRecord& device);
// Names stop at their NUL; a name without one is cut to 47 bytes.
FileDeviceRecord DecodeDeviceRecord(const uint8_t* bytes);

// Reads every whole record of a file; a partial last record is ignored. False when the file cannot be
// opened (records then untouched).
bool ReadDeviceListFile(const std::string& path, std::vector<FileDeviceRecord>* records);
// Same, from bytes already in memory.
std::vector<FileDeviceRecord> ParseDeviceList(const uint8_t* data, size_t size);

// Writes the records to a temporary file beside path and renames it over path, so a failed save leaves
// the old file whole. On failure returns false with a reason in *error.
bool WriteDeviceListFile(const std::string& path, const std::vector<DevicePtr>& devices, std::string* error);

}  // namespace nms
