#include "devices/device_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "devices/atomic_file.h"

namespace nms {
namespace {

void PutName(uint8_t* field, const std::string& name) {
    const size_t n = std::min<size_t>(name.size(), kDeviceNameBytes - 1);
    std::memcpy(field, name.data(), n);
    field[n] = 0;
}

std::string GetName(const uint8_t* field) {
    size_t n = 0;
    while (n < kDeviceNameBytes - 1 && field[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(field), n);
}

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

uint16_t GetU16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::array<uint8_t, kDeviceRecordSize> EncodeDeviceRecord(const DeviceRecord& device) {
    std::array<uint8_t, kDeviceRecordSize> r{};
    PutName(&r[0], device.nodeName);
    PutName(&r[48], device.deviceName);
    PutU16(&r[96], device.typeCode);
    const auto a = device.AddressBytes();
    std::memcpy(&r[98], a.data(), 4);
    PutU16(&r[102], device.port);
    r[104] = uint8_t(device.status.load());
    r[105] = device.busy.load();
    // 106..109: the run-time link reference; meaningless in a file.
    PutU32(&r[110], device.version.load());
    return r;
}

FileDeviceRecord DecodeDeviceRecord(const uint8_t* bytes) {
    FileDeviceRecord r;
    r.nodeName = GetName(bytes);
    r.deviceName = GetName(bytes + 48);
    r.typeCode = GetU16(bytes + 96);
    r.address = GetU32(bytes + 98);  // the bytes in order are the network-order value in memory
    r.port = GetU16(bytes + 102);
    r.status = int8_t(bytes[104]);
    r.busy = bytes[105];
    r.version = GetU32(bytes + 110);
    return r;
}

std::vector<FileDeviceRecord> ParseDeviceList(const uint8_t* data, size_t size) {
    std::vector<FileDeviceRecord> records;
    records.reserve(size / kDeviceRecordSize);
    for (size_t off = 0; off + kDeviceRecordSize <= size; off += kDeviceRecordSize)
        records.push_back(DecodeDeviceRecord(data + off));
    return records;
}

bool ReadDeviceListFile(const std::string& path, std::vector<FileDeviceRecord>* records) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    // In blocks, not byte by byte: lists of fifty thousand devices are several megabytes.
    std::vector<uint8_t> bytes;
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        bytes.insert(bytes.end(), block, block + in.gcount());
    *records = ParseDeviceList(bytes.data(), bytes.size());
    return true;
}

bool WriteDeviceListFile(const std::string& path, const std::vector<DevicePtr>& devices, std::string* error) {
    std::vector<uint8_t> bytes;
    bytes.reserve(devices.size() * kDeviceRecordSize);
    for (const DevicePtr& d : devices) {
        const auto r = EncodeDeviceRecord(*d);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    return WriteFileAtomically(path, bytes, error);
}

}  // namespace nms
