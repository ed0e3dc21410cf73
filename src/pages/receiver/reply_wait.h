// The reply wait of the receiver and gateway pages that read and write their device with a request and a
// timed wait (the input parameter pages, the TS-over-IP page, the gateways): which reply the request under
// way waits for, and the one late reply a wait that ran out still takes (late_reply.h). A page's logic
// keeps one; its view passes the wait's end and a refused send on.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

class ReplyWait {
public:
    // The request, remembered as the one whose reply counts (a late reply of an earlier one no longer does).
    PageStep Request(uint8_t command, std::vector<uint8_t> payload, PageStep::Wait wait) {
        m_command.Expect(command);
        return PageStep::Request(command, std::move(payload), wait);
    }

    // Whether the reply is the page's to take: the answer of the request under way, or once the answer of
    // the request whose wait ran out (*late). A reply nobody asked for is not taken.
    bool Take(const ReplyView& reply, bool* late) {
        *late = false;
        if (m_command.InTime(reply))
            return true;
        *late = m_command.TakeLate(reply);
        return *late;
    }
    // A taken reply the page could not use (too short): the wait goes on, or a late reply stays late.
    void Untaken(bool late) {
        if (late)
            m_command.Ended();
    }
    // A taken reply that the page used: what it carries out. A late one shows what it brought but starts
    // nothing (LateStep); the version request still goes out.
    PageStep Done(PageStep step, bool late) {
        m_command.Clear();
        return late ? LateStep(std::move(step)) : step;
    }

    // The pages that read a block with one command and write it with another: the read's reply is taken by
    // read (false: too short, the wait goes on) and ends the wait with the refresh bits (and the version
    // request when asked); the write's reply only ends the wait. Empty for a reply the page does not take.
    // refusal: where read may say why a reply it did not take still ends the wait (its message is shown).
    template <typename Read>
    PageStep ReadOrWrite(const ReplyView& reply, uint8_t readCommand, uint8_t writeCommand, unsigned refresh,
                         bool askVersion, Read&& read, const std::string* refusal = nullptr) {
        const int command = reply.Command();
        if (command != readCommand && command != writeCommand)
            return {};
        bool late = false;
        if (!Take(reply, &late))
            return {};
        if (command == writeCommand)
            return Done(PageStep::End(PageStep::kRefreshNone), late);
        if (!read()) {
            if (refusal && !refusal->empty())
                return Done(PageStep::End(PageStep::kRefreshNone).WithMessage(*refusal), late);
            Untaken(late);
            return {};
        }
        PageStep step = PageStep::End(refresh);
        step.sendVersion = askVersion;
        return Done(std::move(step), late);
    }

    // The wait ran out: the reply, should it still come, is late.
    void Ended() { m_command.Ended(); }
    // The request was refused: nothing went out, nothing can come late.
    void Refused() { m_command.Clear(); }
    bool Waiting() const { return m_command.Waiting(); }

private:
    AwaitedCommand m_command;
};

// The logic of a page that reads (and writes) its device with one request under way at a time: the read
// the page asks for when shown and by "Get", what a reply brings, and the wait's bookkeeping.
class RequestLogic {
public:
    virtual ~RequestLogic() = default;
    virtual PageStep Get() = 0;
    // The step a reply of the device brings; empty for a reply the logic does not take.
    virtual PageStep HandleReply(const ReplyView& reply) = 0;
    void WaitEnded() { m_wait.Ended(); }
    void Refused() { m_wait.Refused(); }
    bool Waiting() const { return m_wait.Waiting(); }

protected:
    ReplyWait m_wait;
};

}  // namespace nms
