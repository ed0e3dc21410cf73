// Any byte sequence is a device list file: parse it, encode what came out, parse again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "devices/device_list_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto records = nms::ParseDeviceList(data, size);
    for (const auto& r : records) {
        nms::DeviceRecord d;
        d.nodeName = r.nodeName;
        d.deviceName = r.deviceName;
        d.typeCode = r.typeCode;
        d.address = r.address;
        d.port = r.port;
        const auto bytes = nms::EncodeDeviceRecord(d);
        const auto again = nms::DecodeDeviceRecord(bytes.data());
        if (again.nodeName != r.nodeName || again.deviceName != r.deviceName || again.port != r.port)
            std::abort();
    }
    return 0;
}
