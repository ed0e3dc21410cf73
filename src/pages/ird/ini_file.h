// A small store for INI-style text files: the file's lines kept in memory, values looked up by section
// and key, values set by editing the lines and written back as a whole. Section and key names compare
// exactly (case-sensitive); blanks around names and values do not count.
#pragma once

#include <string>
#include <vector>

namespace nms {

class CIniFile {
public:
    CIniFile() = default;
    virtual ~CIniFile() = default;

    static constexpr const char* kCannotOpen = "error1";
    static constexpr const char* kMissing = "error2";

    void SetFileName(const std::string& name) { m_fileName = name; }
    const std::string& FileName() const { return m_fileName; }

    // Replaces the lines by the file's (line breaks removed, a CR before them too); false, lines kept,
    // when the file cannot be read.
    bool Load();
    // Writes every line with CR LF (the key files' line end; Load takes LF alone too) through a temporary
    // file renamed over the target, so a failed save leaves the old file whole. False (error text in
    // LastError) on failure.
    bool Save();
    const std::string& LastError() const { return m_lastError; }

    // Loads the file and looks the value up: the value, kCannotOpen, or kMissing when the section, the key
    // or a value is missing. Blank lines inside a section do not end it (as for SetValue).
    std::string Find(const std::string& section, const std::string& key);
    // Find with a status: -1 for kCannotOpen, -2 for kMissing, else 0.
    std::string GetString(const std::string& section, const std::string& key, int* status);
    // GetString in the lines as they are, without loading them again.
    std::string Lookup(const std::string& section, const std::string& key, int* status = nullptr) const;
    // Edits the lines only: replaces the key's line in the first section of that name, or inserts the
    // entry after the section's last line, or appends the section and the entry.
    void SetValue(const std::string& section, const std::string& key, const std::string& value);
    // SetValue then Save.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt(const std::string& section, const std::string& key, int value);

    const std::vector<std::string>& Lines() const { return m_lines; }
    void ClearLines() { m_lines.clear(); }

private:
    // The index of the first header naming section, or -1.
    int FindSection(const std::string& section) const;

    std::string m_fileName = "ini.ini";
    std::vector<std::string> m_lines;
    std::string m_lastError;
};

// Text helpers of the store, exposed for the tests.
std::string TrimBlanks(const std::string& text);
bool IsSectionHeader(const std::string& line);
std::string SectionName(const std::string& line);
std::string LineKey(const std::string& line);
std::string LineValue(const std::string& line);

}  // namespace nms
