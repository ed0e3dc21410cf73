#include "pages/ird/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "devices/atomic_file.h"

namespace nms {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool IsSectionHeader(const std::string& line) {
    const std::string t = TrimBlanks(line);
    return !t.empty() && t[0] == '[';
}

std::string SectionName(const std::string& line) {
    const size_t open = line.find('[');
    const size_t close = line.find(']');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {};
    return TrimBlanks(line.substr(open + 1, close - open - 1));
}

std::string LineKey(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : TrimBlanks(line.substr(0, eq));
}

std::string LineValue(const std::string& line) {
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : TrimBlanks(line.substr(eq + 1));
}

bool CIniFile::Load() {
    std::ifstream in(m_fileName, std::ios::binary);
    if (!in)
        return false;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    m_lines = std::move(lines);
    return true;
}

bool CIniFile::Save() {
    m_lastError.clear();
    std::string text;
    for (const std::string& line : m_lines)
        text += line + "\r\n";
    return WriteFileAtomically(m_fileName, reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                               &m_lastError);
}

int CIniFile::FindSection(const std::string& section) const {
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (IsSectionHeader(m_lines[i]) && SectionName(m_lines[i]) == section)
            return int(i);
    return -1;
}

std::string CIniFile::Find(const std::string& section, const std::string& key) {
    if (!Load())
        return kCannotOpen;
    return Lookup(section, key);
}

std::string CIniFile::Lookup(const std::string& section, const std::string& key, int* status) const {
    std::string value = kMissing;
    const int header = FindSection(section);
    for (size_t i = size_t(header) + 1; header >= 0 && i < m_lines.size(); ++i) {
        if (IsSectionHeader(m_lines[i]))
            break;
        if (LineKey(m_lines[i]) != key)
            continue;
        value = LineValue(m_lines[i]);
        if (value.empty())
            value = kMissing;
        break;
    }
    if (status)
        *status = value == kCannotOpen ? -1 : value == kMissing ? -2 : 0;
    return value;
}

std::string CIniFile::GetString(const std::string& section, const std::string& key, int* status) {
    const std::string value = Find(section, key);
    if (status)
        *status = value == kCannotOpen ? -1 : value == kMissing ? -2 : 0;
    return value;
}

void CIniFile::SetValue(const std::string& section, const std::string& key, const std::string& value) {
    const std::string entry = key + "=" + value;
    const int header = FindSection(section);
    if (header < 0) {
        m_lines.push_back("[" + section + "]");
        m_lines.push_back(entry);
        return;
    }
    size_t i = size_t(header) + 1;
    for (; i < m_lines.size() && !IsSectionHeader(m_lines[i]); ++i) {
        if (LineKey(m_lines[i]) == key) {
            m_lines[i] = entry;
            return;
        }
    }
    m_lines.insert(m_lines.begin() + std::ptrdiff_t(i), entry);
}

bool CIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    SetValue(section, key, value);
    return Save();
}

bool CIniFile::WriteInt(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

}  // namespace nms
