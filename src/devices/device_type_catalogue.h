// The fixed catalogue of the device types this program manages: the name the operator sees, the type code
// the device puts into every packet, and what the main frame shows for it (one single view, or pages).
// The row order is the order of the device dialog's type list, of the main frame's view nodes and of the
// tree images (row + 1).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nms {

struct DevicePageInfo {
    const char* caption;    // tab caption
    const char* pageClass;  // class name the page is created from
    int pageParam;          // variant number given to the page before it is bound
};

struct DeviceTypeInfo {
    const char* name;  // some names begin with a blank, which is part of the name
    uint16_t typeCode;
    const char* singleViewClass;  // null when the type has pages
    uint32_t icon;                // tree image resource
    const DevicePageInfo* pages;  // null for a single view
    int pageCount;
};

int DeviceTypeCount();
const DeviceTypeInfo& DeviceTypeAt(int row);

// The first row holding the code wins; null (row untouched) when no row holds it.
const DeviceTypeInfo* FindDeviceTypeByCode(uint16_t code, int* row = nullptr);
// Exact match, leading blanks included; null (row untouched) when no row has the name.
const DeviceTypeInfo* FindDeviceTypeByName(std::string_view name, int* row = nullptr);

// Every distinct class the catalogue names (pages and single views), in order of first appearance.
std::vector<std::string> AllPageClassNames();

}  // namespace nms
