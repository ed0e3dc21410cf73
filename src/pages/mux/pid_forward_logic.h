// The logic of the PID pass-through page (CMuxPidForwardView) without any window: the rows of the table,
// the get/set exchanges (two tables, A and B, on the two-output multiplexer) and the checks of the Add PID
// dialog. Requests record the command they expect; a reply of another command, or one shorter than the
// table it announces, changes nothing. The selector echo only names the rows' output.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

enum : uint8_t {
    kCmdGetPidForward = 0x35,
    kCmdSetPidForward = 0x36,
};

constexpr int kMaxPidForwardRows = 200;
constexpr int kPidForwardEntrySize = 5;

// One row of the list, as its cells read.
struct PidForwardRow {
    std::string asi;
    std::string oldPid;
    std::string newPid;
    std::string outAsi;  // "A"/"B" or the output labels; empty on the one-table variants
    std::string c;       // the output mask in decimal (four-output variant); empty elsewhere

    bool operator==(const PidForwardRow&) const = default;
};

// What the Add PID dialog is opened with and gives back.
struct AddPidFields {
    std::string oldPid;
    std::string newPid;
    int filterMode = 0;
    int outputSelection = -1;  // output mode 4: the output mask going in
    int outputMode = 0;        // 0 none, 1 "Out ASI" combo, 4 check boxes C-1..C-4
    int inputFixed = 0;
    uint8_t input = 1;  // output mode 4: the output mask coming out
};

// The checks of the dialog; each returns the refusal's message, empty when the text passes.
std::string CheckPidTextMessage(const std::string& text);
// The first refusal of OK for these texts (the old PID is not asked in filter mode); empty: accepted.
std::string AddPidRefusal(const std::string& oldPid, const std::string& newPid, bool filterMode);
// "(1) ".."(4) " for mask bits 0..3; lastBare: the label of bit 3 without its trailing blank.
std::string OutputLabels(unsigned mask, bool lastBare);

// What the PID pass-through pages ask of their logic, whichever way the table travels.
class PidTableLogic {
public:
    virtual ~PidTableLogic() = default;
    virtual bool Waiting() const = 0;
    // Header text and width of each list column.
    virtual std::vector<std::pair<std::string, int>> Columns() const = 0;
    virtual bool TableFull() const = 0;
    // Get: empties the list and asks for the table. Set: sends the table the rows make.
    virtual PageStep Get() = 0;
    virtual PageStep Set() = 0;
    virtual PageStep HandleReply(const ReplyView& reply) = 0;
    // The wait ran out (or the request could not be queued: the page then also calls LateHandled). A reply
    // after the time-out is taken once by TakeLate, handled as awaited and shown; the page carries only
    // LateStep of it and calls LateHandled, which ends the exchange (late_reply.h).
    virtual void WaitEnded() = 0;
    virtual bool TakeLate(const ReplyView& reply) = 0;
    virtual void LateHandled() = 0;
    // Row `row` goes (false: no such row); Empty: every row goes.
    virtual bool Delete(int row) = 0;
    virtual void Empty() = 0;
};

class PidForwardLogic : public PidTableLogic {
public:
    explicit PidForwardLogic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool IsTwoTable() const { return m_pageParam == 1; }
    bool IsFourOutput() const { return m_pageParam == 66; }
    bool Waiting() const override { return m_awaited.Waiting(); }
    std::vector<std::pair<std::string, int>> Columns() const override;

    const std::vector<PidForwardRow>& Rows() const { return m_rows; }
    std::vector<PidForwardRow>& Rows() { return m_rows; }

    // Get: empties the list and asks for the (first) table. Set: sends the (first) table built from the rows.
    PageStep Get() override;
    PageStep Set() override;
    PageStep HandleReply(const ReplyView& reply) override;
    void WaitEnded() override { m_awaited.Ended(); }
    bool TakeLate(const ReplyView& reply) override { return m_awaited.TakeLate(reply); }
    void LateHandled() override { Done(); }

    // The request payloads the rows make: the first table, and the output-B table of the two-table variant.
    std::vector<uint8_t> BuildRequest() const;
    std::vector<uint8_t> BuildSecondTable() const;

    // Add and Edit: the dialog's fields for a new row or for row `row` (false: no such row), and the row
    // that OK makes of them.
    bool TableFull() const override { return m_rows.size() >= kMaxPidForwardRows; }
    bool Delete(int row) override;
    void Empty() override { m_rows.clear(); }
    AddPidFields AddFields() const;
    bool EditFields(int row, AddPidFields* fields) const;
    PidForwardRow RowFrom(const AddPidFields& fields) const;

private:
    std::vector<uint8_t> BuildTable(int selector, bool (*take)(const PidForwardRow&)) const;
    void AppendEntry(std::vector<uint8_t>* out, const PidForwardRow& row) const;
    // The exchange is over: nothing awaited, nothing late.
    void Done() {
        m_awaited.Clear();
        m_phase = 0;
    }

    int m_pageParam;
    std::vector<PidForwardRow> m_rows;
    // The reply awaited; m_phase 0 for the first table, 1 for the second.
    AwaitedCommand m_awaited;
    int m_phase = 0;
    std::vector<uint8_t> m_secondTable;
};

}  // namespace nms
