#include "devices/device_list_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "devices/atomic_file.h"
#include "devices/byte_io.h"

namespace nms {

std::array<uint8_t, kDeviceRecordSize> EncodeDeviceRecord(const DeviceRecord& device) {
    std::array<uint8_t, kDeviceRecordSize> r{};
    ByteWriter w(r.data(), r.size());
    // Each name keeps its terminating zero.
    w.Text(0, kDeviceNameBytes - 1, device.nodeName);
    w.Text(48, kDeviceNameBytes - 1, device.deviceName);
    w.U16LE(96, device.typeCode);
    const auto a = device.AddressBytes();
    w.Bytes(98, a.data(), 4);
    w.U16LE(102, device.port);
    w.U8(104, uint8_t(device.status.load()));
    w.U8(105, device.busy.load());
    // 106..109: the run-time link reference; meaningless in a file.
    w.U32LE(110, device.version.load());
    return r;
}

FileDeviceRecord DecodeDeviceRecord(const uint8_t* bytes) {
    const ByteReader b(bytes, kDeviceRecordSize);
    FileDeviceRecord r;
    r.nodeName = b.Text(0, kDeviceNameBytes - 1);
    r.deviceName = b.Text(48, kDeviceNameBytes - 1);
    r.typeCode = b.U16LEOr(96);
    r.address = b.U32LEOr(98);  // the bytes in order are the network-order value in memory
    r.port = b.U16LEOr(102);
    r.status = int8_t(b.U8Or(104));
    r.busy = b.U8Or(105);
    r.version = b.U32LEOr(110);
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
