// Records of the QAM scrambler and the stand-alone scrambler pages: the CAS slot record (four per
// settings block), the two settings blocks, the two program records, the stand-alone scrambler's TS block
// and fixed-CW table, and the three-valued scramble marks of their program trees. Byte images with typed
// accessors; bytes no accessor names are carried as read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pages/mux/pid_bitmap.h"

namespace nms {

// The PIDs of the elements that carry the third mark: the layout of the PID filter's bitmap.
using PidMarkBitmap = PidBitmap;

constexpr int kCasSlots = 4;
constexpr int kScramblerPrograms = 64;  // programs 1..64
constexpr int kScramblerMaxElements = 31;
constexpr int kCasSlotSize = 214;

// One CAS slot (214 bytes; big-endian unless said): 0 enable, 3 super CAS id (u32), 7 ECM channel id,
// 9 ECMG IPv4 (first octet first), 13 ECMG port, 15 ECM PID of programs 1..64 (u16 little-endian),
// 143 AC index of programs 1..64, 207 EMM PID (little-endian), 209 EMMG TCP port, 211 EMMG UDP port,
// 213 EMMG mode (0 TCP, else UDP). Bytes 1..2 are carried as read.
struct CasSlotFields {
    bool enabled = false;
    uint32_t superCasId = 0;
    uint16_t ecmChannelId = 0;
    std::array<uint8_t, 4> ecmgAddress{};
    uint16_t ecmgPort = 0;
    uint16_t emmPid = 0;
    uint16_t emmgTcpPort = 0;
    uint16_t emmgUdpPort = 0;
    bool emmgUdp = false;
    bool operator==(const CasSlotFields&) const = default;
};
CasSlotFields ReadCasSlot(const uint8_t* slot);
void WriteCasSlot(uint8_t* slot, const CasSlotFields& fields);
// Program p is 1..64; other numbers read 0 and write nothing.
uint16_t CasSlotEcmPid(const uint8_t* slot, int program);
void SetCasSlotEcmPid(uint8_t* slot, int program, uint16_t pid);
uint8_t CasSlotAcIndex(const uint8_t* slot, int program);
void SetCasSlotAcIndex(uint8_t* slot, int program, uint8_t index);

// The settings block of either page: four slots, then the element masks of programs 1..64 (u32
// little-endian at 852 + 4p); the rest by kind.
class ScramblerSettings {
public:
    enum class Kind {
        kQam,  // 1249 bytes: 1112 encrypt period (BE), 1114 program count, 1115 TS ID (LE), 1119 IP insert
               // (LE)
        kStandAlone,  // 1121 bytes: 1112 output bitrate kbit/s (u32 LE), 1118 encrypt period (BE), 1120 count
    };
    static constexpr int kQamSize = 1249;
    static constexpr int kStandAloneSize = 1121;

    explicit ScramblerSettings(Kind kind) : m_kind(kind), m_bytes(size_t(Size(kind)), 0) {}
    static int Size(Kind kind) { return kind == Kind::kQam ? kQamSize : kStandAloneSize; }
    bool IsQam() const { return m_kind == Kind::kQam; }

    std::vector<uint8_t>& Bytes() { return m_bytes; }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    void Clear() { std::fill(m_bytes.begin(), m_bytes.end(), 0); }

    uint8_t* Slot(int slot) { return &m_bytes[size_t(Clamp(slot)) * kCasSlotSize]; }
    const uint8_t* Slot(int slot) const { return &m_bytes[size_t(Clamp(slot)) * kCasSlotSize]; }
    uint32_t Mask(int program) const;
    void SetMask(int program, uint32_t mask);
    uint16_t EncryptPeriod() const;
    void SetEncryptPeriod(uint16_t seconds);
    uint8_t ProgramCount() const;
    void SetProgramCount(uint8_t n);
    // The QAM scrambler's TS ID and IP insert port (0 on the stand-alone block).
    uint16_t TsId() const;
    void SetTsId(uint16_t v);
    uint16_t IpInsertPort() const;
    void SetIpInsertPort(uint16_t v);
    // The stand-alone scrambler's output bitrate (0 on the QAM block).
    uint32_t OutputBitrate() const;
    void SetOutputBitrate(uint32_t kbps);

private:
    static int Clamp(int slot) { return slot < 0 ? 0 : slot >= kCasSlots ? kCasSlots - 1 : slot; }
    Kind m_kind;
    std::vector<uint8_t> m_bytes;
};

// What the program tree shows of a program record.
struct ScramblerProgramInfo {
    std::string name;  // code-page bytes
    uint16_t serviceId = 0;
    uint16_t pmtPid = 0;
    uint16_t pcrPid = 0;
    int elementCount = 0;  // as the record says
    std::vector<uint8_t> streamTypes;
    std::vector<uint16_t> pids;
};

// The QAM scrambler's program record (267 bytes): 1..32 name (the page keeps byte 32 at 0), 65 service
// id, 71 PMT PID, 75 PCR PID (little-endian), 77 element count, from 82 5-byte elements {type, 2 bytes,
// PID little-endian}.
constexpr int kScramblerProgramSize = 267;
// The stand-alone scrambler's program record (135 bytes, little-endian): 0 service id, 2 PMT PID, 4 PCR
// PID, 6..37 name (byte 37 kept 0), 38 element count, from 39 32 elements of {type, PID}.
constexpr int kScrambleProgramSize = 135;

ScramblerProgramInfo DescribeScramblerProgram(const std::vector<uint8_t>& record);
ScramblerProgramInfo DescribeScrambleProgram(const std::vector<uint8_t>& record);

// Stand-alone scrambler: TS block (66 bytes: TS ID little-endian at 0, byte 4 bit 2 set = SDT off) and
// fixed-CW table (832 bytes: switch of program p at p - 1, its 8-byte CW at 56 + 8p).
constexpr int kScrambleTsBlockSize = 66;
constexpr int kFixedCwTableSize = 832;
constexpr int kFixedCwOffset = 56;

// Tree marks: 0 none, 1 empty box, 2 check mark, 3 cross. A click advances 1 -> 2 -> 3 -> 1; with
// twoValues an element's 2 goes back to 1.
int NextMark(int mark, bool twoValues = false);
// A program's mark from its elements': 2 if any is 2, else 1 if any is 1, else 3 (0 without elements).
int ProgramMark(const std::vector<int>& elementMarks);

// The element labels of the scrambler trees.
enum class StreamLabelSet { kQamScrambler, kStandAlone, kSasModulator };
std::string ScramblerStreamLabel(uint8_t streamType, StreamLabelSet set);

}  // namespace nms
