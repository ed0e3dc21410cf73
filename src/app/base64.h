// Base64 of the stored login (standard alphabet, '=' fills a short last group).
#pragma once

#include <string>
#include <string_view>

namespace nms {

// A last group of one byte ends in "==", of two bytes in "=".
std::string Base64Encode(std::string_view data);

// Decodes whole groups of four characters up to the first '=' and the fillers that follow it; anything
// after them, and a short group at the end, is ignored. A character outside the alphabet counts as 0 bits.
std::string Base64Decode(std::string_view text);

}  // namespace nms
