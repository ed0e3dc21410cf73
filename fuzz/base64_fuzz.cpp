// Stored login text of any bytes decodes without harm; encoding round-trips.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/base64.h"

using namespace nms;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string decoded = Base64Decode(input);
    if (decoded.size() > size / 4 * 3)
        std::abort();
    const std::string text = Base64Encode(input);
    if (text.size() != (size + 2) / 3 * 4 || Base64Decode(text) != input)
        std::abort();
    return 0;
}
