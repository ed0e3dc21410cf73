#include "pages/mux/pid_monitor_logic.h"

#include <algorithm>
#include <cstdio>

namespace nms {

PageStep PidMonitorLogic::Get() {
    m_rows.clear();
    m_waiting = true;
    PageStep step;
    step.wait = PageStep::Wait::kBegin;
    step.command = kCmdGetPidPresence;
    step.payload.assign(7, 0);
    return step;
}

PageStep PidMonitorLogic::HandleReply(uint8_t command, const uint8_t* payload, int length) {
    PageStep step;
    if (!m_waiting || command != kCmdGetPidPresence)
        return step;
    m_waiting = false;
    step.wait = PageStep::Wait::kEnd;
    // An empty answer lists nothing; a short one lists the PIDs of the bytes that arrived.
    PidBitmap bitmap;
    std::vector<uint8_t> bytes(PidBitmap::kBytes, 0);
    if (payload && length > 0)
        std::copy_n(payload, std::min(length, PidBitmap::kBytes), bytes.begin());
    if (length > 0 && bitmap.Load(bytes.data(), PidBitmap::kBytes)) {
        int index = 0;
        char text[8];
        for (uint16_t pid : bitmap.Pids()) {
            std::snprintf(text, sizeof text, "%x", pid);
            m_rows.push_back({++index, text, pid});
        }
    }
    return step;
}

}  // namespace nms
