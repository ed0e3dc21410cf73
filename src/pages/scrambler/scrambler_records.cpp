#include "pages/scrambler/scrambler_records.h"

#include <algorithm>

#include "devices/byte_io.h"

namespace nms {
namespace {

bool InPrograms(int program) {
    return program >= 1 && program <= kScramblerPrograms;
}

}  // namespace

CasSlotFields ReadCasSlot(const uint8_t* slot) {
    const ByteReader r(slot, kCasSlotSize);
    CasSlotFields f;
    f.enabled = r.U8Or(0) != 0;
    f.superCasId = r.U32BEOr(3);
    f.ecmChannelId = r.U16BEOr(7);
    r.Bytes(9, 4, f.ecmgAddress.data());
    f.ecmgPort = r.U16BEOr(13);
    f.emmPid = r.U16LEOr(207);
    f.emmgTcpPort = r.U16BEOr(209);
    f.emmgUdpPort = r.U16BEOr(211);
    f.emmgUdp = r.U8Or(213) != 0;
    return f;
}

void WriteCasSlot(uint8_t* slot, const CasSlotFields& f) {
    ByteWriter w(slot, kCasSlotSize);
    w.U8(0, f.enabled ? 1 : 0);
    w.U32BE(3, f.superCasId);
    w.U16BE(7, f.ecmChannelId);
    w.Bytes(9, f.ecmgAddress.data(), 4);
    w.U16BE(13, f.ecmgPort);
    w.U16LE(207, f.emmPid);
    w.U16BE(209, f.emmgTcpPort);
    w.U16BE(211, f.emmgUdpPort);
    w.U8(213, f.emmgUdp ? 1 : 0);
}

uint16_t CasSlotEcmPid(const uint8_t* slot, int program) {
    return InPrograms(program) ? ByteReader(slot, kCasSlotSize).U16LEOr(size_t(13 + 2 * program)) : 0;
}
void SetCasSlotEcmPid(uint8_t* slot, int program, uint16_t pid) {
    if (InPrograms(program))
        ByteWriter(slot, kCasSlotSize).U16LE(size_t(13 + 2 * program), pid);
}
uint8_t CasSlotAcIndex(const uint8_t* slot, int program) {
    return InPrograms(program) ? slot[142 + program] : 0;
}
void SetCasSlotAcIndex(uint8_t* slot, int program, uint8_t index) {
    if (InPrograms(program))
        slot[142 + program] = index;
}

uint32_t ScramblerSettings::Mask(int program) const {
    return InPrograms(program) ? ByteReader(m_bytes).U32LEOr(size_t(852 + 4 * program)) : 0;
}
void ScramblerSettings::SetMask(int program, uint32_t mask) {
    if (InPrograms(program))
        ByteWriter(m_bytes).U32LE(size_t(852 + 4 * program), mask);
}
uint16_t ScramblerSettings::EncryptPeriod() const {
    return ByteReader(m_bytes).U16BEOr(m_kind == Kind::kQam ? 1112 : 1118);
}
void ScramblerSettings::SetEncryptPeriod(uint16_t seconds) {
    ByteWriter(m_bytes).U16BE(m_kind == Kind::kQam ? 1112 : 1118, seconds);
}
uint8_t ScramblerSettings::ProgramCount() const {
    return m_bytes[m_kind == Kind::kQam ? 1114 : 1120];
}
void ScramblerSettings::SetProgramCount(uint8_t n) {
    m_bytes[m_kind == Kind::kQam ? 1114 : 1120] = n;
}
uint16_t ScramblerSettings::TsId() const {
    return m_kind == Kind::kQam ? ByteReader(m_bytes).U16LEOr(1115) : 0;
}
void ScramblerSettings::SetTsId(uint16_t v) {
    if (m_kind == Kind::kQam)
        ByteWriter(m_bytes).U16LE(1115, v);
}
uint16_t ScramblerSettings::IpInsertPort() const {
    return m_kind == Kind::kQam ? ByteReader(m_bytes).U16LEOr(1119) : 0;
}
void ScramblerSettings::SetIpInsertPort(uint16_t v) {
    if (m_kind == Kind::kQam)
        ByteWriter(m_bytes).U16LE(1119, v);
}
uint32_t ScramblerSettings::OutputBitrate() const {
    return m_kind == Kind::kStandAlone ? ByteReader(m_bytes).U32LEOr(1112) : 0;
}
void ScramblerSettings::SetOutputBitrate(uint32_t kbps) {
    if (m_kind == Kind::kStandAlone)
        ByteWriter(m_bytes).U32LE(1112, kbps);
}

ScramblerProgramInfo DescribeScramblerProgram(const std::vector<uint8_t>& record) {
    const ByteReader r(record);
    ScramblerProgramInfo info;
    info.name = r.Text(1, 31);
    info.serviceId = r.U16LEOr(65);
    info.pmtPid = r.U16LEOr(71);
    info.pcrPid = r.U16LEOr(75);
    info.elementCount = r.U8Or(77);
    const int shown = info.elementCount <= kScramblerMaxElements ? info.elementCount : 0;
    for (int e = 0; e < shown; ++e) {
        const size_t at = size_t(82 + 5 * e);
        info.streamTypes.push_back(r.U8Or(at));
        info.pids.push_back(r.U16LEOr(at + 3));
    }
    return info;
}

ScramblerProgramInfo DescribeScrambleProgram(const std::vector<uint8_t>& record) {
    const ByteReader r(record);
    ScramblerProgramInfo info;
    info.serviceId = r.U16LEOr(0);
    info.pmtPid = r.U16LEOr(2);
    info.pcrPid = r.U16LEOr(4);
    info.name = r.Text(6, 31);
    info.elementCount = r.U8Or(38);
    const int shown = info.elementCount <= kScramblerMaxElements ? info.elementCount : 0;
    for (int e = 0; e < shown; ++e) {
        const size_t at = size_t(39 + 3 * e);
        info.streamTypes.push_back(r.U8Or(at));
        info.pids.push_back(r.U16LEOr(at + 1));
    }
    return info;
}

int NextMark(int mark, bool twoValues) {
    if (mark == 3 || (twoValues && mark == 2))
        return 1;
    return mark + 1;
}

int ProgramMark(const std::vector<int>& marks) {
    if (marks.empty())
        return 0;
    if (std::find(marks.begin(), marks.end(), 2) != marks.end())
        return 2;
    if (std::find(marks.begin(), marks.end(), 1) != marks.end())
        return 1;
    return 3;
}

std::string ScramblerStreamLabel(uint8_t type, StreamLabelSet set) {
    switch (type) {
        case 1:
            return "Mpeg1 Video";
        case 2:
            return "Mpeg2 Video";
        case 3:
            return "Mpeg1 Audio";
        case 4:
            return "Mpeg2 Audio";
        case 5:
            return "Private Section";
        case 6:
            return "A52 Audio(aka AC3)";
        case 27:
            return "H.264 Video";
        default:
            break;
    }
    if (set == StreamLabelSet::kStandAlone) {
        if (type == 15)
            return "AAC Audio";
        if (type == 0x81)
            return "AC3 Audio";
    }
    return set == StreamLabelSet::kSasModulator ? "Unknow Type" : "User Define Data";
}

}  // namespace nms
