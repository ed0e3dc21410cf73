// LCN list text files: a first line beginning "LCN List", then command lines. "@lcn:SID:LCN:" adds a row
// (values decimal, or hexadecimal after "0x"; the second may also end with "#"), "@end" ends the list;
// every other line is a comment. Lines end in CR LF or LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/psi/nit_ts_entry.h"

namespace nms {

enum class LcnFileRead {
    kOk,
    kCannotOpen,
    kNoFirstLine,   // the file is empty
    kBadFirstLine,  // it does not begin with "LCN List"
};

struct LcnFileResult {
    LcnFileRead status = LcnFileRead::kOk;
    std::string firstLine;  // as read, for the message
    std::vector<LcnRow> rows;
};

// Any bytes: lines that do not parse, and values that do not fit 16 bits, are skipped.
LcnFileResult ParseLcnList(std::string_view text);
// Reads the file (only reads: a read-only file is fine); at most the first 1 MiB is looked at.
LcnFileResult ReadLcnListFile(const std::string& path);

}  // namespace nms
