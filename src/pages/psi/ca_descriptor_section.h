// The CA descriptors (tag 0x09) of one CAT or PMT section, as the CA descriptor dialog edits them: their
// private data can change, everything else of the section is kept as it came.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nms {

constexpr int kCaSectionBufferSize = 1024;

struct CaDescriptorEntry {
    uint16_t caSystemId = 0;
    uint16_t caPid = 0;
    std::string privateText;  // hex pairs of the private data
};

class CaDescriptorSection {
public:
    // buffer holds, in CAT mode, the section from its table_id; in PMT mode two bytes that precede the
    // section, then the section. Bytes after the section (the packet's CRC) are ignored. False with a
    // reason when the section is not one this editor can rebuild soundly.
    bool Parse(bool cat, const uint8_t* buffer, int length);
    bool IsValid() const { return m_valid; }
    const std::string& Problem() const { return m_problem; }

    std::vector<CaDescriptorEntry>& Entries() { return m_entries; }
    const std::vector<CaDescriptorEntry>& Entries() const { return m_entries; }

    // Writes the section with the entries' private data, new lengths and a new CRC_32 into buffer
    // (at most kCaSectionBufferSize bytes) and its byte count into length. False (buffer untouched) when
    // the section is invalid or would not fit.
    bool Rebuild(uint8_t* buffer, int* length, std::string* problem) const;

    // The private-data check of the dialog: "" when text is fine, else the message to show.
    static std::string CheckPrivateText(const std::string& text);

private:
    struct Descriptor {
        std::vector<uint8_t> bytes;  // whole descriptor as received
        int entry = -1;              // index into m_entries for the CA descriptors shown
    };
    bool m_cat = true;
    bool m_valid = false;
    std::string m_problem;
    std::vector<uint8_t> m_prefix;   // PMT mode: the two bytes before the section
    std::vector<uint8_t> m_head;     // CAT: bytes 0..7; PMT: bytes 0..11
    std::vector<Descriptor> m_loop;  // CAT descriptors or PMT program info descriptors
    std::vector<uint8_t> m_tail;     // PMT: the elementary-stream loop
    std::vector<CaDescriptorEntry> m_entries;
};

}  // namespace nms
