#include "pages/mux/pid_monitor_logic.h"

#include <algorithm>
#include <cstdio>

namespace nms {

PageStep PidMonitorLogic::Get() {
    m_rows.clear();
    m_awaited.Expect(kCmdGetPidPresence);
    PageStep step;
    step.wait = PageStep::Wait::kBegin;
    step.command = kCmdGetPidPresence;
    step.payload.assign(7, 0);
    return step;
}

PageStep PidMonitorLogic::HandleReply(const ReplyView& reply) {
    PageStep step;
    if (!m_awaited.InTime(reply))
        return step;
    m_awaited.Clear();
    step.wait = PageStep::Wait::kEnd;
    // An empty answer lists nothing; a short one lists the PIDs of the bytes that arrived.
    const ByteReader arrived = reply.Reader().Sub(0, PidBitmap::kBytes);
    if (arrived.Size() == 0)
        return step;
    std::vector<uint8_t> bytes(PidBitmap::kBytes, 0);
    arrived.Bytes(0, arrived.Size(), bytes.data());
    PidBitmap bitmap;
    bitmap.Load(ByteReader(bytes));
    int index = 0;
    char text[8];
    for (uint16_t pid : bitmap.Pids()) {
        std::snprintf(text, sizeof text, "%x", pid);
        m_rows.push_back({++index, text, pid});
    }
    return step;
}

}  // namespace nms
