#include "pages/mux/mux_pid_filter_logic.h"

#include <cstdio>

#include "pagebase/text_conversion.h"
#include "pages/mux/pid_forward_logic.h"

namespace nms {

std::string CheckFilterPidText(const std::string& text) {
    return AddPidRefusal(std::string(), text, true);
}

MuxPidFilterLogic::MuxPidFilterLogic(int pageParam) : m_pageParam(pageParam) {}

PageStep MuxPidFilterLogic::Request(uint8_t command, std::vector<uint8_t> payload, bool begin, int channel) {
    m_expect = {true, command, channel};
    m_late = {};
    PageStep step;
    step.wait = begin ? PageStep::Wait::kBegin : PageStep::Wait::kNone;
    step.command = command;
    step.payload = std::move(payload);
    return step;
}

PageStep MuxPidFilterLogic::Get(int channel) {
    m_rows.clear();
    if (HasChannels() && (channel < 0 || channel > 3)) {
        PageStep step;
        step.messages.push_back("Please select Channel !");
        return step;
    }
    m_getPhase = 0;
    if (IsTwoOutput())
        return Request(kCmdGetPidFilter, {1}, true);
    if (HasChannels())
        return Request(kCmdGetPidFilter, {uint8_t(channel)}, true, channel);
    return Request(kCmdGetPidFilter, {0}, true);
}

PageStep MuxPidFilterLogic::Set(int channel) {
    PageStep step;
    if (HasChannels() && (channel < 0 || channel > 3)) {
        step.messages.push_back("Please select Channel !");
        return step;
    }
    if (m_rows.size() >= size_t(kMaxPidFilterRows)) {
        step.messages.push_back("PID filter table must be less than 1024 !");
        return step;
    }
    PidBitmap first;
    m_second.Clear();
    for (const auto& row : m_rows) {
        if (!IsTwoOutput() || row.outA)
            first.Set(row.pid);
        else
            m_second.Set(row.pid);
    }
    std::vector<uint8_t> payload;
    if (IsTwoOutput())
        payload.push_back(1);
    else if (HasChannels())
        payload.push_back(uint8_t(channel));
    payload.insert(payload.end(), first.Data(), first.Data() + PidBitmap::kBytes);
    m_setPhase = 0;
    return Request(kCmdSetPidFilter, std::move(payload), true);
}

void MuxPidFilterLogic::AppendRows(const PidBitmap& bitmap, bool outA) {
    int index = 0;
    char text[8];
    for (uint16_t pid : bitmap.Pids()) {
        std::snprintf(text, sizeof text, "%x", pid);
        m_rows.push_back({++index, text, pid, outA});
    }
}

PageStep MuxPidFilterLogic::HandleReply(const ReplyView& reply) {
    PageStep step;
    const uint8_t command = reply.Command();
    if (!m_expect.active || command != m_expect.command)
        return step;
    PageStep done;
    done.wait = PageStep::Wait::kEnd;

    if (command == kCmdSetPidFilter) {
        // The reply carries no status: its arrival completes the table.
        if (IsTwoOutput() && m_setPhase == 0) {
            m_setPhase = 1;
            std::vector<uint8_t> next{2};
            next.insert(next.end(), m_second.Data(), m_second.Data() + PidBitmap::kBytes);
            return Request(kCmdSetPidFilter, std::move(next), false);
        }
        m_setPhase = 1;
        m_expect = {};
        return done;
    }

    // Get: a selector echo, then the whole bitmap, or the bitmap alone. On the two-output multiplexer the
    // echo only names the output of the rows (1 A, anything else B); which table comes next follows the
    // exchange, not the echo. Another channel's table is not taken for the one asked: a Set would write
    // it to the wrong channel.
    const int offset = (IsTwoOutput() || HasChannels()) ? 1 : 0;
    const ByteReader in = reply.Reader();
    if (!in.Has(0, size_t(offset) + PidBitmap::kBytes))
        return step;
    const uint8_t selector = in.U8Or(0);
    if (HasChannels() && selector != m_expect.channel)
        return step;
    PidBitmap bitmap;
    bitmap.Load(in.Sub(size_t(offset)));
    AppendRows(bitmap, !IsTwoOutput() || selector == 1);
    // The rows are shown also when nothing else of the step remains (table A after the time-out, whose
    // request for table B is not sent).
    if (IsTwoOutput() && m_getPhase == 0) {
        m_getPhase = 1;
        PageStep next = Request(kCmdGetPidFilter, {2}, false);
        next.refresh = PageStep::kRefreshAll;
        return next;
    }
    m_getPhase = 1;
    m_expect = {};
    done.refresh = PageStep::kRefreshAll;
    return done;
}

bool MuxPidFilterLogic::TakeLate(const ReplyView& reply) {
    if (m_expect.active || !m_late.active || reply.Command() != m_late.command)
        return false;
    m_expect = m_late;
    m_late = {};
    return true;
}

void MuxPidFilterLogic::Add(const std::string& text, int outputSelection) {
    m_rows.push_back({int(m_rows.size()) + 1, text, uint16_t(HexTextToUInt32(text)),
                      !IsTwoOutput() || outputSelection == 0});
}

bool MuxPidFilterLogic::Edit(int row, const std::string& text, int outputSelection) {
    if (row < 0 || row >= int(m_rows.size()))
        return false;
    auto& r = m_rows[size_t(row)];
    r.pidText = text;
    r.pid = uint16_t(HexTextToUInt32(text));
    if (IsTwoOutput())
        r.outA = outputSelection == 0;
    return true;
}

bool MuxPidFilterLogic::Delete(int row) {
    if (row < 0 || row >= int(m_rows.size()))
        return false;
    m_rows.erase(m_rows.begin() + row);
    for (size_t i = size_t(row); i < m_rows.size(); ++i)
        m_rows[i].index = int(i) + 1;
    return true;
}

}  // namespace nms
