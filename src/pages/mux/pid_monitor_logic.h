// The logic of the PID monitor page (CpidMonitor) without any window: which PIDs the device's transport
// stream carries, read with command 112 as a PID bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pagebase/late_reply.h"
#include "pages/mux/mux_pid_filter_logic.h"

namespace nms {

enum : uint8_t { kCmdGetPidPresence = 0x70 };

struct PidMonitorRow {
    int index = 0;
    std::string pidText;  // "%x"
    uint16_t pid = 0;
};

class PidMonitorLogic {
public:
    bool Waiting() const { return m_awaited.Waiting(); }
    const std::vector<PidMonitorRow>& Rows() const { return m_rows; }

    PageStep Get();
    PageStep HandleReply(const ReplyView& reply);
    // The wait ran out: the bitmap, should it still come, is late and still listed (late_reply.h).
    void WaitEnded() { m_awaited.Ended(); }
    bool TakeLate(const ReplyView& reply) { return m_awaited.TakeLate(reply); }
    void LateHandled() { m_awaited.Clear(); }

private:
    std::vector<PidMonitorRow> m_rows;
    AwaitedCommand m_awaited;
};

}  // namespace nms
