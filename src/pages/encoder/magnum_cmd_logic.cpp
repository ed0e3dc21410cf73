#include "pages/encoder/magnum_cmd_logic.h"

#include <algorithm>
#include <cstdio>

namespace nms {
namespace {

constexpr uint8_t kCmdReset = 0x64;
constexpr size_t kLogTextAt = 4;

}  // namespace

std::string MagnumCmdLogic::TakeLog() {
    std::string out;
    out.swap(m_logShown);
    return out;
}

PageStep MagnumCmdLogic::Get(int pair, int pairs) {
    if (m_logVariant) {
        m_log.clear();
        m_segment = 0;
        m_await.Expect(kCmdMagnumLog);
        return PageStep::Request(kCmdMagnumLog, {0}, PageStep::Wait::kNone);
    }
    if (pair < 0 || pair >= pairs)
        return PageStep::Message("Please select Channel !");
    m_await.Expect(kCmdScriptRead);
    return m_script.Read(pair, PageStep::Wait::kBegin);
}

PageStep MagnumCmdLogic::Set(int pair, int pairs, const std::string& text) {
    if (m_logVariant)
        return {};
    if (pair < 0 || pair >= pairs)
        return PageStep::Message("Please select Channel !");
    if (text.size() >= size_t(kMagnumCmdMaxText)) {
        char message[64];
        std::snprintf(message, sizeof message, "Length is over:%d,%d", int(text.size()), kMagnumCmdMaxText);
        return PageStep::Message(message);
    }
    std::string message;
    if (!m_script.SetText(text, &message))
        return PageStep::Message(message);
    m_await.Expect(kCmdScriptWrite);
    // The write runs under a wait like every chain: it ends with the last packet or a time-out.
    return m_script.Write(pair, PageStep::Wait::kBegin);
}

PageStep MagnumCmdLogic::Reset(int pair, int pairs) {
    if (m_logVariant)
        return {};
    if (pair < 0 || pair >= pairs)
        return PageStep::Message("Please select Channel !");
    m_script.Stop();
    m_await.Expect(kCmdReset);
    return PageStep::Request(kCmdReset, {0, 0, uint8_t(pair), 1}, PageStep::Wait::kBegin);
}

void MagnumCmdLogic::WaitEnded() {
    // The script exchange stays where it was: a late packet of it is still taken.
    if (m_await.Awaited() != kCmdMagnumLog)
        m_await.Ended();
}

void MagnumCmdLogic::Refused() {
    m_await.Clear();
    m_script.Stop();
}

std::optional<PageStep> MagnumCmdLogic::HandleLate(const ReplyView& reply) {
    if (!m_await.TakeLate(reply))
        return std::nullopt;
    PageStep step = HandleReply(reply);
    // A write goes on to its last packet, without a wait: stopped here, the pair would keep the new line
    // count with only part of the new lines. Its further acknowledgements are taken as awaited.
    if (reply.Command() == kCmdScriptWrite && m_await.Waiting())
        return step;
    m_await.Clear();
    m_script.Stop();
    return LateStep(std::move(step));
}

PageStep MagnumCmdLogic::HandleReply(const ReplyView& reply) {
    if (!m_await.InTime(reply))
        return {};
    bool done = false;
    switch (reply.Command()) {
        case kCmdMagnumLog:
            return HandleLog(reply);
        case kCmdScriptRead: {
            PageStep step = m_script.OnReadReply(reply, &done);
            if (!done)
                return step;
            m_await.Clear();
            return PageStep::End(kRefreshText);
        }
        case kCmdScriptWrite: {
            PageStep step = m_script.OnWriteReply(&done);
            if (!done)
                return step;
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        }
        case kCmdReset:
            m_await.Clear();
            return PageStep::End(PageStep::kRefreshNone);
        default:
            return {};
    }
}

PageStep MagnumCmdLogic::HandleLog(const ReplyView& reply) {
    uint8_t segment = 0, count = 0;
    uint16_t length = 0;
    if (!reply.U8(0, &segment) || !reply.U8(1, &count) || !reply.U16BE(2, &length) ||
        !reply.Has(int(kLogTextAt), length) || segment != m_segment)
        return {};
    const ByteReader r = reply.Reader();
    // The log keeps at most 6144 bytes: a longer one is cut there and the chain ends.
    const size_t room = kMagnumLogBytes - m_log.size();
    const size_t taken = std::min<size_t>(length, room);
    m_log.append(reinterpret_cast<const char*>(r.Data() + kLogTextAt), taken);
    if (segment + 1 < count && taken == length && m_log.size() < kMagnumLogBytes) {
        m_segment = segment + 1;
        PageStep step = PageStep::Request(kCmdMagnumLog, {uint8_t(m_segment)}, PageStep::Wait::kNone);
        step.checkOnline = false;
        return step;
    }
    m_await.Clear();
    m_logShown += m_log;
    m_log.clear();
    PageStep step;
    step.refresh = kRefreshLog;
    return step;
}

}  // namespace nms
