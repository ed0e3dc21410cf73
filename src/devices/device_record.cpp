#include "devices/device_record.h"

namespace nms {

std::array<uint8_t, 4> DeviceRecord::AddressBytes() const {
    return {uint8_t(address), uint8_t(address >> 8), uint8_t(address >> 16), uint8_t(address >> 24)};
}

void DeviceRecord::SetAddressBytes(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
    address = uint32_t(a) | uint32_t(b) << 8 | uint32_t(c) << 16 | uint32_t(d) << 24;
}

std::mutex& DeviceListMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace nms
