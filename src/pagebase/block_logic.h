// What a parameter-block page asks of its logic, and the request/reply bookkeeping that most such logics
// share. The page (CBlockPageView) carries out the glue once: its Get and Set buttons, the replies of its
// device, the end of the reply wait and the status poll.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/field_table.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

// The form as a binder collects it: one entry per field of the table, none for a field the page hides.
using FormInputs = std::vector<std::optional<FieldInput>>;

class IBlockLogic {
public:
    virtual ~IBlockLogic() = default;

    // selection: the entry of the page's selector (encoding channel, pixel list) the request is for; none
    // where the page has no selector or nothing is selected.
    virtual PageStep Get(std::optional<int> selection) = 0;
    virtual PageStep Set(const FormInputs& inputs, std::optional<int> selection) = 0;
    virtual PageStep HandleReply(const ReplyView& reply) = 0;
    // The wait ended without the awaited reply (time-out, refused send): a late one no longer counts.
    virtual void WaitEnded() = 0;
    // The field a refused Set stopped at, -1 when none did.
    virtual int FailedField() const = 0;
    // The status request of the page's poll timer; empty where the page polls nothing.
    virtual PageStep Poll() const { return {}; }
    // A reply that came after the wait for it ended (see late_reply.h): true when it answers the request
    // that wait was for; HandleReply then takes it as awaited, the page carries only LateStep of the step
    // and calls LateHandled.
    virtual bool TakeLate(const ReplyView& reply) { return false; }
    virtual void LateHandled() {}
};

// The command a reply has to answer, and the field a refused Set stopped at.
class BlockLogic : public IBlockLogic {
public:
    int FailedField() const override { return m_failedField; }
    // The reply of the request under way, should it still come, is late: still taken (TakeLate).
    void WaitEnded() override {
        if (m_awaited >= 0)
            m_late = m_awaited;
        m_awaited = -1;
    }
    bool TakeLate(const ReplyView& reply) override;
    void LateHandled() override { m_awaited = m_late = -1; }
    bool Waiting() const { return m_awaited >= 0; }

protected:
    // The request, remembered as the one whose reply counts.
    PageStep Request(uint8_t command, std::vector<uint8_t> payload,
                     PageStep::Wait wait = PageStep::Wait::kBegin);
    // True when the reply answers the request under way (the wait is still on: see WaitEnded).
    bool Awaits(const ReplyView& reply) const { return m_awaited >= 0 && reply.Command() == m_awaited; }
    // The form into the block, checked in table order; a refusal keeps the failed field and gives the step
    // with its message in *refused.
    bool Collect(const FieldTable& table, const FormInputs& inputs, ParamBlock& block, PageStep* refused);

    int m_awaited = -1;
    int m_late = -1;  // the command whose wait ran out; -1 when none or a request went out since
    int m_failedField = -1;
};

}  // namespace nms
