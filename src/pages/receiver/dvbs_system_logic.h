// The DVB-S/S2 input parameter page without its windows: the variants, the record image as the read
// reply fills it, which rows and columns a variant shows, and the write request with its checks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/receiver/reply_wait.h"
#include "pages/receiver/tuner_records.h"

namespace nms {

constexpr int kDvbsRows = 8;

struct DvbsSystemVariant {
    int pageParam;
    int rowsShown;    // rows of the layout before a reply (8 on two tabs for the 16-channel page)
    bool sixteen;     // 16 records on two tabs, never the IP block
    int written;      // records written: 0 = as many as were read
    bool toneDiseqc;  // 22KHz and DiSEqC columns shown from the start
    bool disable;     // the "Disable" column is shown and taken
    bool ipArea;      // the IP/MAC area is shown after a reply that carries it
};
const DvbsSystemVariant& DvbsSystemVariantOf(int pageParam);

// What the page shows after a reply (or the initial update): per column and row.
struct DvbsLayout {
    int rows = 4;          // rows 1..rows shown
    bool lnb = true;       // LNB Frequency column
    bool tone = false;     // 22KHz and DiSEqC columns
    bool disable = false;  // "Disable" column
    bool cable = false;    // first column lists constellations, caption "Constellation:"
    bool ipArea = false;
    bool tabs = false;
};

// The form as the page collects it: the eight rows of the current tab and the IP area.
struct DvbsSystemForm {
    std::array<TunerRowInputs, kDvbsRows> rows{};
    std::array<uint8_t, 4> ip{};
    std::string port, mac;
};

// Page refresh bit: the layout of the last reply (rows, columns, lists, tabs, IP area) before the rows.
constexpr unsigned kDvbsRefreshLayout = PageStep::kRefreshPageBits;
// FailedField of a refused take beyond the rows.
constexpr int kDvbsPortField = kDvbsRows;
constexpr int kDvbsMacField = kDvbsRows + 1;

class DvbsSystemLogic : public RequestLogic {
public:
    explicit DvbsSystemLogic(int pageParam = 0);
    const DvbsSystemVariant& Variant() const { return *m_variant; }

    // The initial update: tab 0, the start layout; records and count keep what the last reply left.
    void Reset();
    // A 0x70 reply: false (nothing changes) when it is too short for the records it must carry.
    bool ReadReply(const ReplyView& reply);
    DvbsLayout Layout() const { return m_layout; }

    int ChannelCount() const { return m_count; }
    bool HasIpBlock() const { return m_ipFlag; }
    int Tab() const { return m_tab; }
    void SetTab(int tab) { m_tab = tab == 1 ? 1 : 0; }
    // The record shown in row (0-based) of the current tab.
    size_t RecordOffset(int row) const { return size_t(m_tab * kDvbsRows + row) * kDvbsChannelParamsSize; }
    // Rows taken on a write or a tab change.
    int RowsTaken() const;
    bool TakesDisable() const { return m_variant->disable; }

    std::vector<uint8_t>& Records() { return m_records; }
    const std::vector<uint8_t>& Records() const { return m_records; }
    std::vector<uint8_t>& IpBlock() { return m_ip; }
    const std::vector<uint8_t>& IpBlock() const { return m_ip; }

    // Records written by a Set, tested with the empty-record rule: the message of the first empty one,
    // or empty and the 0x71 payload.
    std::string BuildWrite(std::vector<uint8_t>* payload) const;

    // Get: the 0x70 read with its 15 s wait (the page asks only for an online device).
    PageStep Get() override;
    // Set: the form into the records (and, on the variant that shows it, the IP area into the block),
    // then the empty-record check and the 0x71 write. Every too-long number is reported and taken as 0;
    // a value that cannot be held refuses the Set at its field (FailedField).
    PageStep Set(const DvbsSystemForm& form);
    // A tab switch of the 16-channel variant: the shown rows into the current tab's records, then the new
    // tab. Refused (the tab stays, *switched false) at a value that cannot be held.
    PageStep SwitchTab(const DvbsSystemForm& form, int tab, bool* switched);
    // A reply of the device: the read shows the records (kDvbsRefreshLayout, then the rows) and asks for
    // the version; the write's reply ends the wait. Empty for a reply the page does not take.
    PageStep HandleReply(const ReplyView& reply) override;
    // The row (0-7) or kDvbsPortField / kDvbsMacField a refused take stopped at; -1 when none.
    int FailedField() const { return m_failedField; }

private:
    // Rows into records; reports collects the too-long numbers. False at a refused row (its message in
    // *refusal).
    bool TakeRows(const DvbsSystemForm& form, std::vector<std::string>* reports, std::string* refusal);
    bool TakeIpArea(const DvbsSystemForm& form, std::string* refusal);

    int m_failedField = -1;
    const DvbsSystemVariant* m_variant;
    std::vector<uint8_t> m_records;  // 16 records
    std::vector<uint8_t> m_ip;       // DvbsIpBlock
    int m_count;
    bool m_ipFlag = false;
    int m_tab = 0;
    DvbsLayout m_layout;
};

}  // namespace nms
