// The scramblers as a device answers their "Scrambler" pages: program lists, CAS settings, PID marks and
// access-criteria tables read and written in the pages' request chains, and a status that changes with
// every poll. Plain logic: devsim and the tests use it; calls are serialised by the caller.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nms::test {

// Ways in which a device departs from the plain answers, for trying the pages against them.
struct ScramblerSimQuirks {
    int acSteps = 8;          // the header's c of the AC table read replies (the number of pages read)
    bool misnumber = false;   // the QAM scrambler answers the third program request and the second AC
                              // page request once with program 1 and page (1, 1)
    bool twoChannel = false;  // the scrambling modulators: channel A's second record is carried on
                              // channels A and C
};

class ScramblerSimDevice {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // True for the device types this simulator serves (their "Scrambler" page).
    static bool Serves(uint16_t typeCode);

    using Quirks = ScramblerSimQuirks;
    // "ac-steps:N", "misnumber", "two-channel"; false for any other text.
    static bool ParseQuirk(const std::string& text, Quirks* quirks);

    explicit ScramblerSimDevice(uint16_t typeCode, const Quirks& quirks = {});

    // The reply to one request, or none for a command the device does not answer.
    std::optional<Reply> Handle(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);

    // What the device holds, for tests.
    const Bytes& Block() const { return m_block; }
    const std::vector<Bytes>& Programs() const { return m_programs; }
    const std::vector<uint32_t>& Masks() const { return m_masks; }
    const Bytes& Marks() const { return m_marks; }
    const std::array<Bytes, 4>& AcTables() const { return m_ac; }
    const Bytes& TsBlock() const { return m_ts; }
    const Bytes& CwTable() const { return m_cw; }
    const Bytes& Cat() const { return m_cat; }
    int Writes() const { return m_writes; }
    const Bytes& CasBlock() const { return m_casBlock; }
    const std::array<std::vector<Bytes>, 4>& Channels() const { return m_channels; }
    const std::vector<Bytes>& OutputRecords() const { return m_outputRecords; }
    const std::array<uint8_t, 64>& AcIndexes() const { return m_acIndexes; }

private:
    std::optional<Reply> QamScrambler(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);
    std::optional<Reply> StandAlone(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);
    std::optional<Reply> SasModulator(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);
    Reply AcPage(uint8_t table, uint8_t half);
    void InitSas();
    static int SasVariant(uint16_t type);

    uint16_t m_type;
    Quirks m_quirks;
    int m_acStep = 0;  // the AC read replies since the read's first page, sent in the header's b
    bool m_programMisnumbered = false, m_acMisnumbered = false;
    unsigned m_tick = 0;
    int m_writes = 0;
    Bytes m_block;  // settings block
    std::vector<Bytes> m_programs;
    std::vector<uint32_t> m_masks;
    Bytes m_marks;              // PID marks
    std::array<Bytes, 4> m_ac;  // AC table images
    Bytes m_ts;                 // stand-alone TS block
    Bytes m_cw;                 // stand-alone fixed-CW table
    Bytes m_cat, m_pmt;         // sections written back by the CA descriptor dialog
    // The scrambling QAM modulators.
    int m_variant = 0;
    Bytes m_casBlock;                              // 202 bytes
    std::array<std::vector<Bytes>, 4> m_channels;  // program records (or entries) per channel
    std::array<std::vector<std::array<uint8_t, 2>>, 4> m_headers;
    std::vector<Bytes> m_outputRecords;     // variant 102
    std::array<uint8_t, 64> m_acIndexes{};  // variant 88
};

}  // namespace nms::test
