// Replies that come after their wait ran out. A page's reply wait ends with "Operation timeout", but the
// device may still answer: that reply is still the page's, and the page shows what it carries, as it would
// have in time. It starts nothing, though: no new request goes out and no wait begins, so a chain that
// timed out stays stopped (pages whose chain is meant to go on after a time-out say so and do it
// themselves). The version request a reply asks for still goes out: it waits for nothing.
//
// AwaitedCommand is the bookkeeping a page's logic keeps for this: the command its request waits for and,
// once the wait ended without it, the one late reply it still takes (only until the next request).
// ReplyStep is the one way a page that is not on the block page base takes a reply, in time or late; the
// block page base does the same for its pages.
#pragma once

#include "devices/reply_view.h"
#include "pagebase/page_step.h"

namespace nms {

// What a page carries out for a late reply: the step its logic made for the reply, without a request and
// without a new wait. A wait the step ends or restarts is only ended (no wait runs then: the end changes
// nothing but the refresh).
inline PageStep LateStep(PageStep step) {
    using Wait = PageStep::Wait;
    step.command = -1;
    step.payload.clear();
    step.poll = false;
    if (step.wait != Wait::kNone)
        step.wait = Wait::kEnd;
    return step;
}

class AwaitedCommand {
public:
    // A request went out: its reply counts, a late reply of an earlier request no longer does.
    void Expect(int command) {
        m_awaited = command;
        m_late = -1;
    }
    // The wait ended without the reply (time-out, a refused send): the reply, should it still come, is late.
    void Ended() {
        if (m_awaited >= 0)
            m_late = m_awaited;
        m_awaited = -1;
    }
    // Nothing awaited, nothing late (the reply was handled, the page starts over).
    void Clear() { m_awaited = m_late = -1; }
    void LateHandled() { Clear(); }

    bool Waiting() const { return m_awaited >= 0; }
    int Awaited() const { return m_awaited; }
    // The reply answers the request under way.
    bool InTime(const ReplyView& reply) const { return m_awaited >= 0 && reply.Command() == m_awaited; }
    // The reply answers the request whose wait ran out, and no request is under way.
    bool Late(const ReplyView& reply) const {
        return m_awaited < 0 && m_late >= 0 && reply.Command() == m_late;
    }
    // Takes a late reply once: its command is awaited again so the page's handler takes it as in time;
    // the page then carries LateStep of what the handler returned and calls Clear.
    bool TakeLate(const ReplyView& reply) {
        if (!Late(reply))
            return false;
        m_awaited = m_late;
        m_late = -1;
        return true;
    }

private:
    int m_awaited = -1;
    int m_late = -1;
};

// The step a page carries for a reply. late: what offers the late reply, anything with
//   bool TakeLate(const ReplyView&)  the reply answers the request whose wait ran out; taken once, after
//                                    which the handler takes it as awaited
//   void LateHandled()               nothing awaited and nothing late any more (the chain is over)
// (an AwaitedCommand, or a page logic that keeps one). busy: the page waits for a reply of a newer request,
// so nothing is late. handle: the page's handler, which makes the step for the reply. lateShows: refresh
// bits a late reply that the handler took adds to its step; a chain that would have shown what it read
// only at its end stops at the late reply, so the page shows it there (and the form does not keep older
// values that a later Set would write over what came in).
template <class Late, class Handle>
PageStep ReplyStep(Late& late, const ReplyView& reply, bool busy, Handle handle,
                   unsigned lateShows = PageStep::kRefreshNone) {
    if (!busy && late.TakeLate(reply)) {
        const PageStep made = handle();
        PageStep step = LateStep(made);
        if (!made.IsEmpty())
            step.refresh |= lateShows;
        late.LateHandled();
        return step;
    }
    return handle();
}

template <class Logic>
PageStep ReplyStep(Logic& logic, const ReplyView& reply, bool busy,
                   unsigned lateShows = PageStep::kRefreshNone) {
    return ReplyStep(
        logic, reply, busy, [&] { return logic.HandleReply(reply); }, lateShows);
}

// A send that was refused put nothing on the wire: nothing can come late for it. logic: anything with
// WaitEnded and LateHandled.
template <class Logic>
void NothingLate(Logic& logic) {
    logic.WaitEnded();
    logic.LateHandled();
}

}  // namespace nms
