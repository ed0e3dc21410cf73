// The replies a scrambler page's request chain takes. The chains keep their position (the stage, the
// program or AC page asked for) in the page's logic and go on reply by reply; this keeps, beside that
// position, what every chain step must know about the reply in front of it:
// - the command its request waits for: only that reply moves the chain;
// - the reply taken last: a device or a network that sends a reply twice must not move the chain twice,
//   so a second copy of it (the same header and the same bytes) is not taken again;
// - once the wait ran out, the stage the chain was in: a late reply is still read in that stage, so what
//   it carries lands in the page, but the chain goes no further (late_reply.h).
#pragma once

#include <cstdint>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

class ChainReplies {
public:
    // A chain begins: nothing was taken yet.
    void Start() { m_last.clear(); }

    // The step the page's logic made: a request (not a poll) is the one awaited now; a chain that is over
    // awaits nothing.
    void Made(const PageStep& step, bool chainRunning) {
        if (step.HasRequest() && !step.poll)
            m_awaited.Expect(step.command);
        else if (!chainRunning)
            m_awaited.Clear();
    }

    bool InTime(const ReplyView& reply) const { return m_awaited.InTime(reply); }

    // The reply is the one taken last, again.
    bool IsCopy(const ReplyView& reply) const {
        if (m_last.empty())
            return false;
        const std::vector<uint8_t> key = Key(reply);
        return key == m_last;
    }
    void Took(const ReplyView& reply) { m_last = Key(reply); }

    // The wait ran out (or the request was refused): the chain stops, its stage is kept for a late reply.
    void WaitEnded(int* stage) {
        m_awaited.Ended();
        m_lateStage = *stage;
        *stage = 0;
    }
    // A reply to the request whose wait ran out: taken once, in the stage the chain was in then.
    bool TakeLate(const ReplyView& reply, int* stage) {
        if (!m_awaited.TakeLate(reply))
            return false;
        *stage = m_lateStage;
        return true;
    }
    // The late reply was read (or nothing went out): the chain stays stopped and nothing is late.
    void LateHandled(int* stage) {
        *stage = 0;
        m_lateStage = 0;
        m_awaited.Clear();
    }

private:
    static std::vector<uint8_t> Key(const ReplyView& reply) {
        std::vector<uint8_t> key = {reply.Command(), reply.B(), reply.C()};
        if (reply.PayloadLength() > 0)
            key.insert(key.end(), reply.Payload(), reply.Payload() + reply.PayloadLength());
        return key;
    }

    AwaitedCommand m_awaited;
    int m_lateStage = 0;
    std::vector<uint8_t> m_last;
};

}  // namespace nms
