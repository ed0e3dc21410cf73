#include "pages/psi/ca_descriptor_section.h"

#include <cstdio>

#include "devices/device_packet.h"
#include "pages/psi/psi_hex.h"

namespace nms {
namespace {

constexpr int kMaxSectionLength = 1021;

bool Fail(std::string* problem, const std::string& text) {
    if (problem)
        *problem = text;
    return false;
}

}  // namespace

bool CaDescriptorSection::Parse(bool cat, const uint8_t* buffer, int length) {
    *this = CaDescriptorSection();
    m_cat = cat;
    int skip = cat ? 0 : 2;
    if (!buffer || length < skip + 3)
        return Fail(&m_problem, cat ? "The CAT section is too short." : "The PMT section is too short.");
    m_prefix.assign(buffer, buffer + skip);
    const uint8_t* s = buffer + skip;
    int available = length - skip;
    uint8_t wanted = cat ? 0x01 : 0x02;
    if (s[0] != wanted) {
        std::printf(cat ? "CAT table id error:%#x\n" : "PMT table id error:%#x\n", s[0]);
        return Fail(&m_problem, cat ? "The section is not a CAT." : "The section is not a PMT.");
    }
    int sectionLength = ((s[1] & 0x0F) << 8) | s[2];
    int minimum = cat ? 9 : 13;
    if (sectionLength < minimum || sectionLength > kMaxSectionLength || 3 + sectionLength > available) {
        return Fail(&m_problem, "The section's length does not match the bytes received.");
    }
    int end = 3 + sectionLength - 4;  // the CRC is rebuilt, not kept
    int loopBegin = cat ? 8 : 12;
    int loopEnd = end;
    if (!cat) {
        int infoLength = ((s[10] & 0x0F) << 8) | s[11];
        loopEnd = 12 + infoLength;
        if (loopEnd > end)
            return Fail(&m_problem, "program_info_length runs past the section.");
    }
    m_head.assign(s, s + loopBegin);
    for (int at = loopBegin; at < loopEnd;) {
        if (at + 2 > loopEnd || at + 2 + s[at + 1] > loopEnd) {
            return Fail(&m_problem, "A descriptor runs past its loop.");
        }
        Descriptor d;
        d.bytes.assign(s + at, s + at + 2 + s[at + 1]);
        // Only CA descriptors with their four fixed bytes are editable; all others stay as they are.
        if (s[at] == 0x09 && s[at + 1] >= 4) {
            CaDescriptorEntry e;
            e.caSystemId = static_cast<uint16_t>(s[at + 2] << 8 | s[at + 3]);
            e.caPid = static_cast<uint16_t>((s[at + 4] & 0x1F) << 8 | s[at + 5]);
            e.privateText = psihex::BytesToHex(s + at + 6, s[at + 1] - 4);
            d.entry = static_cast<int>(m_entries.size());
            m_entries.push_back(e);
        }
        m_loop.push_back(std::move(d));
        at += 2 + s[at + 1];
    }
    m_tail.assign(s + loopEnd, s + end);
    m_valid = true;
    return true;
}

std::string CaDescriptorSection::CheckPrivateText(const std::string& text) {
    if (text.size() > 128)
        return "Private data length should not be more than 128.";
    if (text.size() % 2 != 0)
        return "Private data length should be even number.";
    if (!psihex::IsHex(text))
        return "Private data should be 0-9,a-f or A-F!";
    return std::string();
}

bool CaDescriptorSection::Rebuild(uint8_t* buffer, int* length, std::string* problem) const {
    if (!m_valid)
        return Fail(problem, m_problem);
    std::vector<uint8_t> loop;
    for (const Descriptor& d : m_loop) {
        if (d.entry < 0) {
            loop.insert(loop.end(), d.bytes.begin(), d.bytes.end());
            continue;
        }
        const CaDescriptorEntry& e = m_entries[d.entry];
        std::string message = CheckPrivateText(e.privateText);
        if (!message.empty())
            return Fail(problem, message);
        int n = static_cast<int>(e.privateText.size()) / 2;
        loop.push_back(0x09);
        loop.push_back(static_cast<uint8_t>(n + 4));
        // ca_system_id and the reserved bits with ca_pid as received
        loop.insert(loop.end(), d.bytes.begin() + 2, d.bytes.begin() + 6);
        for (int i = 0; i < n; ++i)
            loop.push_back(psihex::PairToByte(e.privateText[2 * i], e.privateText[2 * i + 1]));
    }
    std::vector<uint8_t> section = m_head;
    if (!m_cat) {
        if (loop.size() > 0xFFF)
            return Fail(problem, "The program information is too long.");
        section[10] = static_cast<uint8_t>((section[10] & 0xF0) | (loop.size() >> 8));
        section[11] = static_cast<uint8_t>(loop.size());
    }
    section.insert(section.end(), loop.begin(), loop.end());
    section.insert(section.end(), m_tail.begin(), m_tail.end());
    int sectionLength = static_cast<int>(section.size()) - 3 + 4;
    int total = static_cast<int>(m_prefix.size()) + sectionLength + 3;
    if (sectionLength > kMaxSectionLength || total > kCaSectionBufferSize) {
        return Fail(problem, "The section would be longer than 1024 bytes.");
    }
    section[1] = static_cast<uint8_t>((section[1] & 0xF0) | (sectionLength >> 8));
    section[2] = static_cast<uint8_t>(sectionLength);
    section.resize(section.size() + 4);
    AppendCrc32(section.data(), static_cast<int>(section.size()) - 4);
    int at = 0;
    for (uint8_t b : m_prefix)
        buffer[at++] = b;
    for (uint8_t b : section)
        buffer[at++] = b;
    *length = at;
    return true;
}

}  // namespace nms
