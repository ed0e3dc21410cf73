// The logic of the PID filter page (CMuxPidFilterView) without any window: the list of filter PIDs, the
// Get and Set exchanges of the filter table(s) and the list edits. Actions and replies return the step the
// page takes; each request records the command it expects. A reply too short for its bitmap or of another
// command changes nothing; one that comes after its wait ran out is still shown once (late_reply.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/mux/pid_bitmap.h"

namespace nms {

enum : uint8_t {
    kCmdGetPidFilter = 0x37,
    kCmdSetPidFilter = 0x38,
};

// The list is refused by Set from this many rows on.
constexpr int kMaxPidFilterRows = 1024;

struct PidFilterRow {
    int index = 0;        // "Index"
    std::string pidText;  // "Filter PID": "%x" after a Get, the typed text after Add or Edit
    uint16_t pid = 0;     // item data
    bool outA = true;     // "Out ASI" of the two-output multiplexer: "A" or "B"
};

// The check of a typed filter PID: empty when the text is usable, else the message to show.
std::string CheckFilterPidText(const std::string& text);

class MuxPidFilterLogic {
public:
    explicit MuxPidFilterLogic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool IsTwoOutput() const { return m_pageParam == 1; }
    bool HasChannels() const { return m_pageParam == 15; }
    bool Waiting() const { return m_expect.active; }
    const std::vector<PidFilterRow>& Rows() const { return m_rows; }
    const PidBitmap& SecondBitmap() const { return m_second; }
    int GetPhase() const { return m_getPhase; }
    int SetPhase() const { return m_setPhase; }

    // channel: the channel combo's selection (-1 none), used on the 4-in-1 modulator only.
    PageStep Get(int channel);
    PageStep Set(int channel);
    PageStep HandleReply(const ReplyView& reply);
    // The wait ended without its reply: the reply, should it still come, is late (TakeLate).
    void WaitEnded() {
        if (m_expect.active)
            m_late = m_expect;
        m_expect = {};
    }
    bool TakeLate(const ReplyView& reply);
    // The late reply was shown: the exchange is over, a second table is not asked for.
    void LateHandled() {
        m_expect = m_late = {};
        m_getPhase = m_setPhase = 1;
    }

    // List edits (nothing is sent). outputSelection: the dialog's output combo (0 "A", else "B").
    void Add(const std::string& text, int outputSelection);
    bool Edit(int row, const std::string& text, int outputSelection);
    bool Delete(int row);
    void Empty() { m_rows.clear(); }

private:
    struct Expect {
        bool active = false;
        uint8_t command = 0;
        int channel = -1;  // the 4-in-1 modulator's channel asked for (-1: none)
    };

    PageStep Request(uint8_t command, std::vector<uint8_t> payload, bool begin, int channel = -1);
    void AppendRows(const PidBitmap& bitmap, bool outA);

    int m_pageParam;
    std::vector<PidFilterRow> m_rows;
    PidBitmap m_second;  // output B's table of the last Set
    int m_setPhase = 1;
    int m_getPhase = 1;
    Expect m_expect;
    Expect m_late;  // the request whose wait ran out
};

}  // namespace nms
