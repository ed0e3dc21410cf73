// The stored login values: whatever text the settings file holds for "user" and "password" decodes without
// harm, and storing it again is stable; typed credentials are stored as plain Base64 text (no line breaks
// or other characters an INI value would mangle) and come back exactly.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/base64.h"
#include "app/login_registry.h"

using namespace nms;

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool IsStoredText(const std::string& text) {
    size_t fill = 0;
    for (char c : text) {
        const bool alphabet = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                              c == '+' || c == '/';
        if (c == '=') {
            ++fill;
        } else if (!alphabet || fill > 0) {
            return false;
        }
    }
    return fill <= 2 && text.size() % 4 == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // Split into the stored user value and the stored password value, as read back from the file.
    const size_t split = size ? data[0] % (size + 1) : 0;
    for (std::string_view stored : {input.substr(0, split), input.substr(split)}) {
        const std::string decoded = Base64Decode(stored);
        Check(decoded.size() <= stored.size() / 4 * 3);
        const std::string restored = Base64Encode(decoded);
        Check(IsStoredText(restored));
        Check(Base64Decode(restored) == decoded);
        Check(Base64Encode(Base64Decode(restored)) == restored);
    }
    // Typed credentials: up to the login field's width of code-page bytes.
    const std::string typed(input.substr(0, kLoginFieldChars));
    const std::string stored = Base64Encode(typed);
    Check(IsStoredText(stored));
    Check(Base64Decode(stored) == typed);
    return 0;
}
