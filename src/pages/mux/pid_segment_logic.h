// The logic of the segmented PID pass-through page (CMuxPidForwardView1) without any window: the rows, the
// table image that travels in segments of at most 1024 bytes (6-byte entries, 8-byte on the modular
// chassis, which also reports its QAM module count) and the fields of its Add PID dialog. Each request
// records the offset it asked for; a reply for another offset, one shorter than its segment, or one that
// would not fit the image changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "devices/reply_view.h"
#include "pages/mux/pid_forward_logic.h"

namespace nms {

constexpr int kPidSegmentMax = 1024;
constexpr int kPidImageCapacity = 3608;

struct PidSegmentRow {
    std::string index;
    std::string input;
    std::string oldPid;
    std::string newPid;
    std::string output;
    uint32_t mask = 0;  // the row's item data

    bool operator==(const PidSegmentRow&) const = default;
};

// What the multi-output Add PID dialog is opened with and gives back.
struct AddPidMultiFields {
    std::string oldPid;
    std::string newPid;
    int inputFixed = 0;
    int input = 1;  // 1-based
    int outputCount = 1;
    uint32_t outputMask = 1;
    int inputCount = 1;
};

// "%d," for each set bit among the first `bits` bits of the mask, lowest first.
std::string OutputListText(uint32_t mask, int bits);
// The mask OK takes from the sixteen boxes (bit n = C-(n+1)) for this output count; one output keeps
// `previous`.
uint32_t MaskFromBoxes(const bool boxes[16], int outputCount, uint32_t previous);

class PidSegmentLogic : public PidTableLogic {
public:
    // deviceType: the bound device's type code (the IP gateway offers four outputs instead of two).
    PidSegmentLogic(int pageParam, uint16_t deviceType);

    int PageParam() const { return m_pageParam; }
    bool IsChassis() const { return m_pageParam == 102; }
    int EntrySize() const { return IsChassis() ? 8 : 6; }
    int ModuleCount() const { return m_moduleCount; }
    bool Waiting() const override { return m_awaited.Waiting(); }
    int InputCount() const;
    int OutputCount() const;

    std::vector<std::pair<std::string, int>> Columns() const override;
    const std::vector<PidSegmentRow>& Rows() const { return m_rows; }

    // The page's initial update: the list is emptied and the module count is 1 again.
    void Reset();

    PageStep Get() override;
    PageStep Set() override;
    PageStep HandleReply(const ReplyView& reply) override;
    // The offset asked for stays, so that the late reply of that segment is still recognised.
    void WaitEnded() override { m_awaited.Ended(); }
    bool TakeLate(const ReplyView& reply) override { return m_awaited.TakeLate(reply); }
    void LateHandled() override { Done(); }

    // The table image the rows make.
    std::vector<uint8_t> BuildImage() const;

    bool TableFull() const override { return m_rows.size() >= kMaxPidForwardRows; }
    AddPidMultiFields AddFields() const;
    bool EditFields(int row, AddPidMultiFields* fields) const;
    void Add(const AddPidMultiFields& fields);
    bool Edit(int row, const AddPidMultiFields& fields);
    bool Delete(int row) override;
    void Empty() override { m_rows.clear(); }

private:
    int OutputBits() const { return IsChassis() ? 4 * m_moduleCount : 4; }
    std::vector<uint8_t> SegmentRequest(uint8_t command, int offset) const;
    PageStep OnGet(const ReplyView& reply);
    PageStep OnSet(const ReplyView& reply);
    void ParseImage();
    void FillRow(PidSegmentRow* row, const AddPidMultiFields& fields) const;
    void Done() {
        m_awaited.Clear();
        m_offset = 0;
    }

    int m_pageParam;
    uint16_t m_deviceType;
    int m_moduleCount = 1;
    std::vector<PidSegmentRow> m_rows;
    std::vector<uint8_t> m_image;  // being received or sent
    int m_total = 0;
    AwaitedCommand m_awaited;
    int m_offset = 0;  // the offset asked or sent
};

}  // namespace nms
