// Program records of the multi-output, IP-input and 16-QAM multiplexer pages (also used by the scrambler
// pages), and the output-settings block whose CAS entries label their ECM PIDs. Byte images with typed
// accessors; received and sent whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pages/mux/program_record.h"

namespace nms {

// The layout from the output names on; kShift moves every offset (0 for the 283-byte record with a byte of
// output bits, 3 for the 286-byte record with a u32 QAM-output mask).
template <int kShift, int N>
class OutputProgramLayout {
public:
    static constexpr int kSize = N;
    std::array<uint8_t, N> bytes{};

    uint8_t* Data() { return bytes.data(); }
    const uint8_t* Data() const { return bytes.data(); }

    static constexpr int kInputNameOffset = 1 + kShift;
    static constexpr int kOutputNameOffset = 33 + kShift;
    static constexpr int kElementCountOffset = 77 + kShift;
    static constexpr int kAcIndexOffset = 78 + kShift;
    static constexpr int kEcmOffset = 82 + kShift;
    static constexpr int kScrambleMapOffset = 90 + kShift;
    static constexpr int kElementsOffset = 98 + kShift;
    static constexpr int kCiFlagOffset = 253 + kShift;
    static constexpr int kCiModeOffset = 254 + kShift;
    static constexpr int kLanguageOffset = 258 + kShift;
    static constexpr uint8_t kCiSlotMark = 0x88;

    std::string InputName() const { return ReadFixedName(&bytes[kInputNameOffset], kProgramNameWidth); }
    std::string OutputName() const { return ReadFixedName(&bytes[kOutputNameOffset], kProgramNameWidth); }
    bool SetOutputName(const std::string& name) {
        return WriteFixedName(&bytes[kOutputNameOffset], kProgramNameWidth, name);
    }
    // The raw 32 bytes of the output name (the language prefix 0x01 included).
    const uint8_t* OutputNameField() const { return &bytes[kOutputNameOffset]; }

    uint16_t InputServiceId() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(65 + kShift); }
    uint16_t OutputServiceId() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(67 + kShift); }
    void SetOutputServiceId(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(67 + kShift, v); }
    uint16_t InputPmtPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(69 + kShift); }
    uint16_t OutputPmtPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(71 + kShift); }
    void SetOutputPmtPid(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(71 + kShift, v); }
    uint16_t InputPcrPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(73 + kShift); }
    uint16_t OutputPcrPid() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(75 + kShift); }
    void SetOutputPcrPid(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(75 + kShift, v); }
    uint8_t ElementCount() const { return bytes[kElementCountOffset]; }
    void SetElementCount(uint8_t v) { bytes[kElementCountOffset] = v; }

    // Access-criteria index of CAS 0..3 (one byte each), ECM PID of CAS 0..3.
    uint8_t AcIndex(int k) const { return InCas(k) ? bytes[kAcIndexOffset + k] : 0; }
    void SetAcIndex(int k, uint8_t v) {
        if (InCas(k))
            bytes[kAcIndexOffset + k] = v;
    }
    uint16_t EcmPid(int k) const {
        return InCas(k) ? ByteReader(bytes.data(), bytes.size()).U16LEOr(kEcmOffset + 2 * k) : 0;
    }
    void SetEcmPid(int k, uint16_t v) {
        if (InCas(k))
            ByteWriter(bytes.data(), bytes.size()).U16LE(kEcmOffset + 2 * k, v);
    }
    // Element scramble map: two u32 words, 2 bits per stream.
    uint32_t ScrambleMap(int word) const {
        return word == 0 || word == 1
                   ? ByteReader(bytes.data(), bytes.size()).U32LEOr(kScrambleMapOffset + 4 * word)
                   : 0;
    }
    void SetScrambleMap(int word, uint32_t v) {
        if (word == 0 || word == 1)
            ByteWriter(bytes.data(), bytes.size()).U32LE(kScrambleMapOffset + 4 * word, v);
    }

    static constexpr int ElementOffset(int i) { return kElementsOffset + 5 * i; }
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

    // CI slot fields of the IP-input multiplexer page. They share bytes with element slot 31.
    uint8_t CiFlag() const { return bytes[kCiFlagOffset]; }
    void SetCiFlag(uint8_t v) { bytes[kCiFlagOffset] = v; }
    uint16_t CiMode() const { return ByteReader(bytes.data(), bytes.size()).U16LEOr(kCiModeOffset); }
    void SetCiMode(uint16_t v) { ByteWriter(bytes.data(), bytes.size()).U16LE(kCiModeOffset, v); }
    bool CiFieldsUsable() const { return ElementCount() < kMaxElements; }

    // 0 default (ANSI), 1 Russian: the output name is then 0x01 followed by the converted text.
    uint8_t LanguageFlag() const { return bytes[kLanguageOffset]; }
    void SetLanguageFlag(uint8_t v) { bytes[kLanguageOffset] = v; }

protected:
    static constexpr bool InSlot(int i) { return i >= 0 && i < kMaxElements; }
    static constexpr bool InCas(int k) { return k >= 0 && k < kMaxCaEntries; }
};

// 283 bytes: byte 0 holds the output bits (bit n = routed to output n+1).
class MultiOutputProgramRecord : public OutputProgramLayout<0, 283> {
public:
    uint8_t OutputBits() const { return bytes[0]; }
    void SetOutputBits(uint8_t v) { bytes[0] = v; }
};
static_assert(sizeof(MultiOutputProgramRecord) == 283);
static_assert(MultiOutputProgramRecord::ElementOffset(31) == 253);

// 286 bytes: a u32 QAM-output mask (bit n = QAM output n+1), then the layout above three bytes further on.
class QamOutputProgramRecord : public OutputProgramLayout<3, 286> {
public:
    uint32_t OutputMask() const { return ByteReader(bytes.data(), bytes.size()).U32LEOr(0); }
    void SetOutputMask(uint32_t v) { ByteWriter(bytes.data(), bytes.size()).U32LE(0, v); }
};
static_assert(sizeof(QamOutputProgramRecord) == 286);
static_assert(QamOutputProgramRecord::kLanguageOffset == 261 && QamOutputProgramRecord::kEcmOffset == 85);

// 202 bytes: 4 CAS entries of 44 bytes {byte enabled, u32 big-endian CA system id, 39 bytes}, then 26 bytes.
class MuxOutputSettings {
public:
    static constexpr int kSize = 202;
    static constexpr int kCasEntrySize = 44;
    std::array<uint8_t, kSize> bytes{};

    uint8_t* Data() { return bytes.data(); }
    const uint8_t* Data() const { return bytes.data(); }

    bool CasEnabled(int n) const { return InCas(n) && bytes[n * kCasEntrySize] == 1; }
    uint8_t CasEnabledByte(int n) const { return InCas(n) ? bytes[n * kCasEntrySize] : 0; }
    uint32_t CaSystemId(int n) const {
        return InCas(n) ? ByteReader(bytes.data(), bytes.size()).U32BEOr(n * kCasEntrySize + 1) : 0;
    }
    void SetCaSystemId(int n, uint32_t v) {
        if (InCas(n))
            ByteWriter(bytes.data(), bytes.size()).U32BE(n * kCasEntrySize + 1, v);
    }

private:
    static constexpr bool InCas(int n) { return n >= 0 && n < kMaxCaEntries; }
};
static_assert(sizeof(MuxOutputSettings) == 202);

}  // namespace nms
