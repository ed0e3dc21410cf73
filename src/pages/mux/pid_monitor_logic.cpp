#include "pages/mux/pid_monitor_logic.h"

#include <cstdio>

namespace nms {

PidPageStep PidMonitorLogic::Get() {
    m_rows.clear();
    m_waiting = true;
    PidPageStep step;
    step.wait = PidPageStep::Wait::kBegin;
    step.command = kCmdGetPidPresence;
    step.payload.assign(7, 0);
    return step;
}

PidPageStep PidMonitorLogic::HandleReply(uint8_t command, const uint8_t* payload, int length) {
    PidPageStep step;
    if (!m_waiting || command != kCmdGetPidPresence)
        return step;
    m_waiting = false;
    step.wait = PidPageStep::Wait::kEnd;
    // An empty answer lists nothing; so does one whose bitmap did not arrive whole.
    PidBitmap bitmap;
    if (length > 0 && bitmap.Load(payload, length)) {
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
