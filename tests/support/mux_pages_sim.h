// The multiplexer pages besides the input channel page and the PSI/SI editors, as a device answers them:
// the PID filter tables (0x37/0x38), the PID pass-through tables (0x35/0x36, whole or in segments), the
// PID presence bitmap (0x70), the IP multiplexer's channels and routing (0x20 to 0x24), the output
// parameters (0x33/0x34) and the real-time status (0x40). Which of them a device answers, and in which
// layout, follows the pages its type shows in the catalogue. A Get answers what the device keeps, a Set
// replaces it, and the status and PID presence move a little with every poll.
//
// Plain logic: devsim and the tests use it. Calls may come from the simulator's thread and a test's
// thread at once; a mutex serialises them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace nms::test {

class MuxPagesSim {
public:
    using Bytes = std::vector<uint8_t>;
    struct Reply {
        uint8_t b = 1;
        uint8_t c = 1;
        Bytes payload;
    };

    // The PageParam of each page this simulator answers for a device type; -1 where the type has none.
    struct Pages {
        int pidFilter = -1;   // CMuxPidFilterView
        int pidForward = -1;  // CMuxPidForwardView
        int pidSegment = -1;  // CMuxPidForwardView1
        int pidMonitor = -1;  // CpidMonitor
        int ip = -1;          // Cmuxip
        int outputSet = -1;   // CMuxMiscView
        int asiMonitor = -1;  // CMuxMonitorView
    };
    static Pages PagesOf(uint16_t typeCode);
    // True when the type shows at least one of these pages.
    static bool Serves(uint16_t typeCode);

    explicit MuxPagesSim(uint16_t typeCode);
    MuxPagesSim(uint16_t typeCode, Pages pages);

    // Replies that differ from the usual ones, to try the pages on them: the output parameters of the
    // one-output variant without their flags byte (the ten parameter bytes only), and a fixed selector echo
    // (0..255) in the two-output multiplexer's PID filter and pass-through tables instead of the table's.
    struct Quirks {
        bool outputWithoutFlags = false;
        int selectorEcho = -1;
    };
    void SetQuirks(const Quirks& quirks);

    // The reply to one request, or none for a request none of the type's pages makes.
    std::optional<Reply> Handle(uint8_t command, uint8_t b, uint8_t c, const Bytes& payload);

    // What the device keeps, for tests. table: the selector (output 1/2 of the two-output multiplexer,
    // channel 0..3 of the 4-in-1 modulator, else 0).
    Bytes FilterBitmap(int table = 0) const;
    Bytes ForwardTable(int table = 0) const;  // [count] + 5-byte entries
    Bytes SegmentImage() const;               // [count BE] + entries
    Bytes OutputParams(int output = 1) const;
    Bytes OutputRecord() const;  // 300-byte block record, or the transcoder's 76 bytes
    Bytes IpProgram(int channel, int index) const;
    uint8_t IpOutputMask(int channel, int index) const;
    int Writes() const;

    // IP multiplexer programs of the demo content: channel 0 (shown as 1) with two programs, the first
    // routed to output A; channel 1 with one.
    static Bytes MakeIpProgram(const char* name, uint16_t serviceId, uint16_t pmtPid,
                               std::vector<std::pair<uint8_t, uint16_t>> elements);

private:
    std::optional<Reply> Filter(uint8_t command, const Bytes& q);
    std::optional<Reply> Forward(uint8_t command, const Bytes& q);
    std::optional<Reply> Segment(uint8_t command, const Bytes& q);
    std::optional<Reply> Presence(uint8_t command, const Bytes& q);
    std::optional<Reply> Ip(uint8_t command, const Bytes& q);
    std::optional<Reply> OutputSet(uint8_t command, const Bytes& q);
    std::optional<Reply> Status(uint8_t command, const Bytes& q);
    int SegmentEntrySize() const { return m_pages.pidSegment == 102 ? 8 : 6; }
    uint8_t IpChannelCount() const;

    uint16_t m_type;
    Pages m_pages;
    Quirks m_quirks;
    mutable std::mutex m_mutex;
    unsigned m_tick = 0;
    int m_writes = 0;
    std::map<int, Bytes> m_filter;   // selector -> 1024-byte bitmap
    std::map<int, Bytes> m_forward;  // selector -> [count] + entries
    Bytes m_segment;                 // [count BE] + entries
    std::array<Bytes, 2> m_outputParams;
    Bytes m_outputRecord;
    Bytes m_ipSettings;  // 202-byte MuxOutputSettings
    struct IpSlot {
        Bytes record;  // 283 bytes, byte 0 the output mask
    };
    std::map<int, std::vector<IpSlot>> m_ipChannels;
};

}  // namespace nms::test
