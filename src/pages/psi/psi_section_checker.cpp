#include "pages/psi/psi_section_checker.h"

#include "devices/device_packet.h"
#include "pages/psi/psi_hex.h"

namespace nms {
namespace {

constexpr int kMaxSectionLength = 1021;  // PSI and DVB SI sections carry at most 1024 bytes

bool Fail(std::string* problem, const std::string& text) {
    if (problem)
        *problem = text;
    return false;
}

int U12(const uint8_t* p) {
    return ((p[0] & 0x0F) << 8) | p[1];
}

// Descriptors must tile [begin, end) exactly.
bool CheckDescriptors(const uint8_t* s, int begin, int end, const char* loop, std::string* problem) {
    int at = begin;
    while (at < end) {
        if (at + 2 > end)
            return Fail(problem, psihex::Format("%s: a descriptor header runs past the loop", loop));
        int tag = s[at];
        int length = s[at + 1];
        if (at + 2 + length > end) {
            return Fail(problem, psihex::Format("%s: descriptor 0x%02x runs past the loop", loop, tag));
        }
        if (tag == 0x48 && length > 0) {  // service_descriptor: two names inside
            int p = at + 3;
            int stop = at + 2 + length;
            if (p >= stop || p + 1 + s[p] > stop) {
                return Fail(problem,
                            psihex::Format("%s: service_provider_name runs past its descriptor", loop));
            }
            p += 1 + s[p];
            if (p >= stop || p + 1 + s[p] != stop) {
                return Fail(problem, psihex::Format("%s: service_name does not end its descriptor", loop));
            }
        }
        at += 2 + length;
    }
    return true;
}

bool CheckPat(const uint8_t* s, int end, std::string* problem) {
    if ((end - 8) % 4 != 0)
        return Fail(problem, "PAT: the program loop is not a whole number of entries");
    return true;
}

bool CheckCat(const uint8_t* s, int end, std::string* problem) {
    return CheckDescriptors(s, 8, end, "CAT", problem);
}

bool CheckPmt(const uint8_t* s, int end, std::string* problem) {
    if (end < 12)
        return Fail(problem, "PMT: section too short");
    int infoLength = U12(s + 10);
    if (12 + infoLength > end)
        return Fail(problem, "PMT: program_info_length runs past the section");
    if (!CheckDescriptors(s, 12, 12 + infoLength, "PMT program info", problem))
        return false;
    int at = 12 + infoLength;
    while (at < end) {
        if (at + 5 > end)
            return Fail(problem, "PMT: an elementary stream entry runs past the section");
        int esLength = U12(s + at + 3);
        if (at + 5 + esLength > end)
            return Fail(problem, "PMT: es_info_length runs past the section");
        if (!CheckDescriptors(s, at + 5, at + 5 + esLength, "PMT elementary stream", problem))
            return false;
        at += 5 + esLength;
    }
    return true;
}

bool CheckNit(const uint8_t* s, int end, std::string* problem) {
    if (end < 10)
        return Fail(problem, "NIT: section too short");
    int networkLength = U12(s + 8);
    if (10 + networkLength + 2 > end)
        return Fail(problem, "NIT: network_descriptors_length runs past the section");
    if (!CheckDescriptors(s, 10, 10 + networkLength, "NIT network", problem))
        return false;
    int loopAt = 10 + networkLength;
    int loopLength = U12(s + loopAt);
    if (loopAt + 2 + loopLength != end)
        return Fail(problem, "NIT: transport_stream_loop_length does not fill the section");
    int at = loopAt + 2;
    while (at < end) {
        if (at + 6 > end)
            return Fail(problem, "NIT: a transport stream entry runs past the loop");
        int tsLength = U12(s + at + 4);
        if (at + 6 + tsLength > end)
            return Fail(problem, "NIT: transport_descriptors_length runs past the loop");
        if (!CheckDescriptors(s, at + 6, at + 6 + tsLength, "NIT transport stream", problem))
            return false;
        at += 6 + tsLength;
    }
    return true;
}

bool CheckSdt(const uint8_t* s, int end, std::string* problem) {
    if (end < 11)
        return Fail(problem, "SDT: section too short");
    int at = 11;
    while (at < end) {
        if (at + 5 > end)
            return Fail(problem, "SDT: a service entry runs past the section");
        int loopLength = U12(s + at + 3);
        if (at + 5 + loopLength > end)
            return Fail(problem, "SDT: descriptors_loop_length runs past the section");
        if (!CheckDescriptors(s, at + 5, at + 5 + loopLength, "SDT service", problem))
            return false;
        at += 5 + loopLength;
    }
    return true;
}

}  // namespace

bool CheckPsiSection(const uint8_t* s, int length, std::string* problem) {
    if (!s || length < 3)
        return Fail(problem, "section shorter than its header");
    int tableId = s[0];
    if (!(s[1] & 0x80))
        return Fail(problem, "section_syntax_indicator is 0");
    int sectionLength = U12(s + 1);
    if (sectionLength > kMaxSectionLength) {
        return Fail(problem,
                    psihex::Format("section_length %d is above %d", sectionLength, kMaxSectionLength));
    }
    if (sectionLength + 3 != length) {
        return Fail(problem,
                    psihex::Format("section_length %d does not match the %d bytes", sectionLength, length));
    }
    if (sectionLength < 9)
        return Fail(problem, "section_length is below 9");
    if (s[6] > s[7])
        return Fail(problem, "section_number is above last_section_number");
    if (Crc32Mpeg2(s, length - 4) != (uint32_t(s[length - 4]) << 24 | uint32_t(s[length - 3]) << 16 |
                                      uint32_t(s[length - 2]) << 8 | s[length - 1])) {
        return Fail(problem, "CRC_32 is wrong");
    }
    int end = length - 4;  // the loops end where the CRC begins
    switch (tableId) {
        case 0x00:
            return CheckPat(s, end, problem);
        case 0x01:
            return CheckCat(s, end, problem);
        case 0x02:
            return CheckPmt(s, end, problem);
        case 0x40:
        case 0x41:
            return CheckNit(s, end, problem);
        case 0x42:
        case 0x46:
            return CheckSdt(s, end, problem);
        default:
            return Fail(problem,
                        psihex::Format("table_id 0x%02x is not a PAT, CAT, PMT, NIT or SDT", tableId));
    }
}

}  // namespace nms
