#include "pages/psi/lcn_list_file.h"

#include <cstdio>

namespace nms {
namespace {

constexpr size_t kMaxFileBytes = 1 << 20;

// One line without its CR LF or LF; pos moves past it. False at the end of the text.
bool NextLine(std::string_view text, size_t* pos, std::string_view* line) {
    if (*pos >= text.size())
        return false;
    const size_t end = text.find('\n', *pos);
    const size_t stop = end == std::string_view::npos ? text.size() : end;
    *line = text.substr(*pos, stop - *pos);
    if (!line->empty() && line->back() == '\r')
        line->remove_suffix(1);
    *pos = end == std::string_view::npos ? text.size() : end + 1;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A value: "0x" and hexadecimal digits, or decimal digits, each up to the first character that is not
// one. False when it does not fit 16 bits (rather than keep a cut value).
bool ParseValue(std::string_view text, uint16_t* value) {
    uint32_t v = 0;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        for (size_t i = 2; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
            v = (v << 4) | static_cast<uint32_t>(HexDigit(text[i]));
            if (v > 0xFFFF)
                return false;
        }
    } else {
        size_t i = 0;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            v = v * 10 + static_cast<uint32_t>(text[i] - '0');
            if (v > 0xFFFF)
                return false;
        }
    }
    *value = static_cast<uint16_t>(v);
    return true;
}

}  // namespace

LcnFileResult ParseLcnList(std::string_view text) {
    LcnFileResult result;
    size_t pos = 0;
    std::string_view line;
    if (!NextLine(text, &pos, &line)) {
        result.status = LcnFileRead::kNoFirstLine;
        return result;
    }
    result.firstLine = std::string(line.substr(0, 255));
    if (line.substr(0, 8) != "LCN List") {
        result.status = LcnFileRead::kBadFirstLine;
        return result;
    }
    while (NextLine(text, &pos, &line)) {
        if (line.empty() || line[0] != '@')
            continue;
        const std::string_view command = line.substr(1);
        if (command.substr(0, 3) == "end")
            break;
        const size_t colon = command.find(':');
        if (colon == std::string_view::npos || command.substr(0, colon) != "lcn")
            continue;
        // Each value ends with ':' (the second also with '#'); a value without its end counts 0.
        std::string_view rest = command.substr(colon + 1);
        const size_t end1 = rest.find(':');
        uint16_t serviceId = 0, lcn = 0;
        if (end1 != std::string_view::npos) {
            if (!ParseValue(rest.substr(0, end1), &serviceId))
                continue;
            rest = rest.substr(end1 + 1);
            const size_t end2 = rest.find_first_of(":#");
            if (end2 != std::string_view::npos && !ParseValue(rest.substr(0, end2), &lcn))
                continue;
        }
        LcnRow row;
        row.serviceId = serviceId;
        row.lcn = lcn;
        result.rows.push_back(row);
    }
    return result;
}

LcnFileResult ReadLcnListFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        LcnFileResult result;
        result.status = LcnFileRead::kCannotOpen;
        return result;
    }
    std::string text(kMaxFileBytes, '\0');
    const size_t n = std::fread(text.data(), 1, text.size(), file);
    std::fclose(file);
    text.resize(n);
    return ParseLcnList(text);
}

}  // namespace nms
