// Drives any page of the program with arbitrary bytes: the first byte picks a page of the catalogue (every
// class with every PageParam it is given, and the registered classes no type lists), the rest is a
// sequence of replies of any command, b, c and payload, button clicks, timer expiries and typed text. The
// fuzzer and the robustness test share it, so both grow by themselves as pages are registered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace nms::test {

// Every (class, PageParam) pair a device type can show, and registered classes no type lists (PageParam 0).
std::vector<std::pair<std::string, int>> AllPageVariants();

// A device type that shows the page variant (the first in catalogue order; 0x2101 when none lists it), so
// pages that look at the device's type see a real one.
uint16_t TypeShowing(const std::string& name, int pageParam);

// Runs one input against page variant index (modulo the count); returns the number of operations done.
int DrivePage(size_t variant, const uint8_t* data, size_t size);

}  // namespace nms::test
