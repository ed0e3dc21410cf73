#include "app/base64.h"

#include <gtest/gtest.h>

#include <string>

namespace nms {
namespace base64_test {

TEST(Base64, EncodeAndDecodeKnownTexts) {
    const struct {
        std::string data;
        const char* text;
    } cases[] = {
        {"quill", "cXVpbGw="},  // the built-in login, as it is stored
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\x00\xFF\xFE", 3), "AP/+"},
        {std::string("\xFB\xEF\xBE", 3), "++++"},
        {"admin\xB9\xDC", "YWRtaW653A=="},  // GBK bytes pass through as bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Base64Encode(c.data), c.text);
        EXPECT_EQ(Base64Decode(c.text), c.data);
    }
}

TEST(Base64, RoundTripsEveryByteAndLength) {
    std::string data;
    for (int i = 0; i < 256; ++i)
        data.push_back(static_cast<char>(255 - i));
    for (size_t n = 0; n <= data.size(); ++n) {
        const std::string part = data.substr(0, n);
        const std::string text = Base64Encode(part);
        EXPECT_EQ(text.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(Base64Decode(text), part) << n;
    }
}

TEST(Base64, DecodeOfBadInput) {
    const struct {
        const char* text;
        std::string data;
    } cases[] = {
        {"Zm9", ""},                        // a short group is ignored
        {"Zm9vYmF", "foo"},                 // ... also after whole groups
        {"Zm*v", "f`/"},                    // a character outside the alphabet counts as 0 bits
        {"Zg==Zm8=", "f"},                  // nothing after the fillers is read
        {"Zm9v====", "foo"},                // fillers past the last group do not cut it
        {"Zm9v=", "foo"},    {"====", ""},  // only fillers: empty, never a negative length
        {"========", ""},    {"=", ""},    {"Z===", ""}, {"Zm8=garbage", "fo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Base64Decode(c.text), c.data);
    }
}

}  // namespace base64_test
}  // namespace nms
