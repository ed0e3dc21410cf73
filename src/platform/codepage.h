// Text that devices and files carry is in the program's code page, GBK (CP936). Only the screen
// sees UTF-8. Plain ASCII is the same in both.
#pragma once

#include <string>

namespace nms {

// GBK bytes to UTF-8. Bytes that are not valid GBK become U+FFFD; never fails.
std::string GbkToUtf8(const std::string& gbk);
// UTF-8 to GBK bytes. Returns false (and leaves out nothing silently) when a character has no GBK form.
bool Utf8ToGbk(const std::string& utf8, std::string* gbk);

}  // namespace nms
