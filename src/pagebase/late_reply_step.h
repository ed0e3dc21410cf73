// The one way a page that is not on the block page base takes a reply, in time or late (see
// late_reply.h). Its logic offers:
//   PageStep HandleReply(const ReplyView&)  the reply as if it were awaited
//   void WaitEnded()                        the wait ran out: the awaited reply, should it come, is late
//   bool TakeLate(const ReplyView&)         the late reply, once; HandleReply then takes it as awaited
//   void LateHandled()                      nothing awaited and nothing late any more (the chain is over)
// and the page calls ReplyStep from its reply handler, LateWaitEnded from its wait time-out and
// NothingLate when a request of its own could not be queued.
#pragma once

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

// The step the page carries for a reply. busy: the page waits for a reply (a late reply counts only while
// no new request of the page is under way). handle: the logic's handler, for logic whose handler takes
// more than the reply.
template <class Logic, class Handle>
PageStep ReplyStep(Logic& logic, const ReplyView& reply, bool busy, Handle handle) {
    if (!busy && logic.TakeLate(reply)) {
        PageStep step = LateStep(handle());
        logic.LateHandled();
        return step;
    }
    return handle();
}

template <class Logic>
PageStep ReplyStep(Logic& logic, const ReplyView& reply, bool busy) {
    return ReplyStep(logic, reply, busy, [&] { return logic.HandleReply(reply); });
}

// A send that was refused put nothing on the wire: nothing can come late for it.
template <class Logic>
void NothingLate(Logic& logic) {
    logic.WaitEnded();
    logic.LateHandled();
}

}  // namespace nms
