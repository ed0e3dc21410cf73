// Program (service) records of the multiplexer pages, kept in memory exactly as they travel in command
// payloads: byte images with typed accessors. Multi-byte fields are little-endian. Fields may overlap
// (element slot 31 shares its first byte with the IP output index), so they stay overlapping bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "devices/byte_io.h"

namespace nms {

// Reads a NUL-terminated name of a fixed field; the field's last byte is always treated as 0.
std::string ReadFixedName(const uint8_t* field, int width);
// Writes name into a fixed field, zero-padded. Refuses (false, field untouched) a name that would not leave
// room for the terminating zero.
bool WriteFixedName(uint8_t* field, int width, const std::string& name);

constexpr int kProgramNameWidth = 32;
constexpr int kMaxElements = 32;
constexpr int kMaxCaEntries = 4;
constexpr int kProgramsPerChannel = 128;

// The head shared by ProgramRecord and TranscodeProgramRecord (bytes 0..237).
template <int N>
class ProgramHead {
public:
    static constexpr int kSize = N;
    std::array<uint8_t, N> bytes{};

    uint8_t* Data() { return bytes.data(); }
    const uint8_t* Data() const { return bytes.data(); }

    uint8_t InOutput() const { return bytes[0]; }
    void SetInOutput(uint8_t v) { bytes[0] = v; }
    std::string InputName() const { return ReadFixedName(&bytes[1], kProgramNameWidth); }
    std::string OutputName() const { return ReadFixedName(&bytes[33], kProgramNameWidth); }
    bool SetOutputName(const std::string& name) {
        return WriteFixedName(&bytes[33], kProgramNameWidth, name);
    }
    // The output name, or the input name when the output name is empty.
    std::string ShownOutputName() const {
        std::string out = OutputName();
        return out.empty() ? InputName() : out;
    }
    uint16_t InputServiceId() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(65); }
    uint16_t OutputServiceId() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(67); }
    void SetOutputServiceId(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(67, v); }
    uint16_t InputPmtPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(69); }
    uint16_t OutputPmtPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(71); }
    void SetOutputPmtPid(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(71, v); }
    uint16_t InputPcrPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(73); }
    uint16_t OutputPcrPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(75); }
    void SetOutputPcrPid(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(75, v); }
    uint8_t ElementCount() const { return bytes[77]; }

    // Element slots 0..31; an index outside reads 0 and writes nothing.
    static constexpr int ElementOffset(int i) { return 78 + 5 * i; }
    uint8_t ElementStreamType(int i) const { return InSlot(i) ? bytes[ElementOffset(i)] : 0; }
    uint16_t ElementInputPid(int i) const {
        return InSlot(i) ? ByteReader(bytes.data(), bytes.size()).U16LEOr(ElementOffset(i) + 1) : 0;
    }
    uint16_t ElementOutputPid(int i) const {
        return InSlot(i) ? ByteReader(bytes.data(), bytes.size()).U16LEOr(ElementOffset(i) + 3) : 0;
    }
    void SetElementOutputPid(int i, uint16_t v) {
        if (InSlot(i))
            ByteWriter(bytes.data(), bytes.size()).U16LE(ElementOffset(i) + 3, v);
    }

    // The name bytes 32 and 64 are always treated as 0; the edit buffer makes it so.
    void TerminateNames() {
        bytes[32] = 0;
        bytes[64] = 0;
    }

protected:
    static constexpr bool InSlot(int i) { return i >= 0 && i < kMaxElements; }
};

// The 263-byte program record of the main multiplexer page, the PSI/SI editor and the encoder ASI page.
class ProgramRecord : public ProgramHead<263> {
public:
    // 0: not sent to an IP output. Byte 233 is also the stream_type of element slot 31, so it means an IP
    // output index only while fewer than 32 elements are in use.
    uint8_t IpOutputIndex() const { return bytes[233]; }
    void SetIpOutputIndex(uint8_t v) { bytes[233] = v; }
    bool IpOutputIndexUsable() const { return ElementCount() < kMaxElements; }

    uint8_t CaCount() const { return bytes[238]; }
    // CA entries k = 0..3; an index outside reads 0 and writes nothing.
    uint16_t CaSystemId(int k) const {
        return InCa(k) ? ByteReader(bytes.data(), bytes.size()).U16LEOr(239 + 2 * k) : 0;
    }
    uint16_t InputEcmPid(int k) const {
        return InCa(k) ? ByteReader(bytes.data(), bytes.size()).U16LEOr(247 + 2 * k) : 0;
    }
    uint16_t OutputEcmPid(int k) const {
        return InCa(k) ? ByteReader(bytes.data(), bytes.size()).U16LEOr(255 + 2 * k) : 0;
    }
    void SetCaSystemId(int k, uint16_t v) {
        if (InCa(k))
            ByteWriter(bytes.data(), bytes.size()).U16LE(239 + 2 * k, v);
    }
    void SetOutputEcmPid(int k, uint16_t v) {
        if (InCa(k))
            ByteWriter(bytes.data(), bytes.size()).U16LE(255 + 2 * k, v);
    }

private:
    static constexpr bool InCa(int k) { return k >= 0 && k < kMaxCaEntries; }
};
static_assert(sizeof(ProgramRecord) == 263);
static_assert(ProgramRecord::ElementOffset(31) == 233 && ProgramRecord::ElementOffset(32) == 238);

// The 379-byte program record of the transcoding multiplexer: the ProgramRecord head, then its transcode
// settings. Bytes 256..378 are carried unchanged.
class TranscodeProgramRecord : public ProgramHead<379> {
public:
    uint8_t VideoMode() const { return bytes[238]; }
    void SetVideoMode(uint8_t v) { bytes[238] = v; }
    uint8_t Profile() const { return bytes[239]; }
    void SetProfile(uint8_t v) { bytes[239] = v; }
    uint8_t Level() const { return bytes[240]; }
    void SetLevel(uint8_t v) { bytes[240] = v; }
    uint8_t RateControl() const { return bytes[241]; }
    void SetRateControl(uint8_t v) { bytes[241] = v; }
    uint16_t VideoBitrate() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(242); }
    void SetVideoBitrate(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(242, v); }
    uint8_t AudioMode() const { return bytes[244]; }
    void SetAudioMode(uint8_t v) { bytes[244] = v; }
    uint8_t AudioElementIndex() const { return bytes[245]; }
    void SetAudioElementIndex(uint8_t v) { bytes[245] = v; }
    uint16_t AudioBitrate() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(246); }
    void SetAudioBitrate(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(246, v); }
    uint16_t Width() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(248); }
    void SetWidth(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(248, v); }
    uint16_t Height() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(250); }
    void SetHeight(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(250, v); }
    uint8_t Channel() const { return bytes[252]; }
    void SetChannel(uint8_t v) { bytes[252] = v; }
    uint16_t KeyValue() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(253); }
    void SetKeyValue(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(253, v); }
    uint8_t FrameRate() const { return bytes[255]; }
    void SetFrameRate(uint8_t v) { bytes[255] = v; }
};
static_assert(sizeof(TranscodeProgramRecord) == 379);

// One input channel: program count, the channel's CA list (from command 0x24) and 128 program slots.
// Program index p (1..128) lives in slot p-1.
template <class Record>
class ChannelTable {
public:
    uint8_t programCount = 0;
    std::array<uint8_t, 16> caList{};  // 4 x {u16 CA system id, u16 CA PID}
    std::array<Record, kProgramsPerChannel> programs{};

    uint16_t CaSystemId(int k) const {
        return InCa(k) ? ByteReader(caList.data(), caList.size()).U16LEOr(4 * k) : 0;
    }
    uint16_t CaPid(int k) const {
        return InCa(k) ? ByteReader(caList.data(), caList.size()).U16LEOr(4 * k + 2) : 0;
    }
    void SetCaEntry(int k, uint16_t system, uint16_t pid) {
        if (!InCa(k))
            return;
        ByteWriter(caList.data(), caList.size()).U16LE(4 * k, system);
        ByteWriter(caList.data(), caList.size()).U16LE(4 * k + 2, pid);
    }
    // Program index 1..128, or null.
    Record* Program(int index) {
        return index >= 1 && index <= kProgramsPerChannel ? &programs[index - 1] : nullptr;
    }
    const Record* Program(int index) const {
        return index >= 1 && index <= kProgramsPerChannel ? &programs[index - 1] : nullptr;
    }

private:
    static constexpr bool InCa(int k) { return k >= 0 && k < kMaxCaEntries; }
};

using ChannelProgramTable = ChannelTable<ProgramRecord>;
using TranscodeChannelTable = ChannelTable<TranscodeProgramRecord>;
static_assert(sizeof(ChannelProgramTable) == 33681);
static_assert(sizeof(TranscodeChannelTable) == 48529);

}  // namespace nms
