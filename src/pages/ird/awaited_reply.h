// The late-reply rule for the pages of this folder that keep their own reply bookkeeping (AwaitedCommand)
// instead of the block page base: a reply whose wait ran out is handled once as if in time, and the page
// carries only LateStep of what the handler made of it.
#pragma once

#include <utility>

#include "pagebase/late_reply.h"

namespace nms {

// handle(reply) is the page's handler; it takes the awaited replies only while await.InTime(reply).
template <class Handler>
PageStep HandleAwaited(AwaitedCommand& await, const ReplyView& reply, Handler&& handle) {
    if (await.TakeLate(reply)) {
        PageStep step = LateStep(std::forward<Handler>(handle)(reply));
        await.Clear();
        return step;
    }
    return std::forward<Handler>(handle)(reply);
}

}  // namespace nms
