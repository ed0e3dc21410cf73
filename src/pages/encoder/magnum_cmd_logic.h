// The Magnum command page without windows: a channel pair's script of up to 120 lines that keep their
// line ends (read with 0x62, written with 0x63, reset with 0x64), or, for the log variant, a device text
// log read in segments with command 0x08.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"
#include "pages/encoder/magnum_script.h"

namespace nms {

constexpr int kMagnumLogPageParam = 65;
constexpr int kMagnumCmdLines = 120;
constexpr int kMagnumCmdMaxText = 21600;
constexpr size_t kMagnumLogBytes = 6144;
constexpr uint8_t kCmdMagnumLog = 0x08;

class MagnumCmdLogic {
public:
    enum : unsigned {
        kRefreshText = PageStep::kRefreshPageBits,      // the script's text replaces the edit's
        kRefreshLog = PageStep::kRefreshPageBits << 1,  // TakeLog() goes at the end of the edit
    };

    explicit MagnumCmdLogic(int pageParam) : m_logVariant(pageParam == kMagnumLogPageParam) {}

    bool LogVariant() const { return m_logVariant; }
    std::string Text() const { return m_script.Text(); }
    const ScriptExchange& Script() const { return m_script; }
    // The log gathered since the last call.
    std::string TakeLog();

    PageStep Get(int pair, int pairs);
    // text: the edit's text in the device's code page.
    PageStep Set(int pair, int pairs, const std::string& text);
    PageStep Reset(int pair, int pairs);
    PageStep HandleReply(const ReplyView& reply);
    // The wait ran out: the reply it waited for, should it still come, is late (HandleLate). The log
    // runs without a wait and is not touched.
    void WaitEnded();
    // A request was refused: nothing went out, nothing can come late.
    void Refused();
    // A reply that came after its wait ran out: taken as it would have been in time, but no request goes
    // out and no wait begins (a script read that stopped half-way shows nothing), except that a write
    // sends the rest of its lines, still without a wait. Null when the reply is not the late one; it is
    // taken once, and only until the next request.
    std::optional<PageStep> HandleLate(const ReplyView& reply);
    bool Waiting() const { return m_await.Waiting(); }

private:
    PageStep HandleLog(const ReplyView& reply);

    bool m_logVariant;
    ScriptExchange m_script{kMagnumCmdLines, true};
    AwaitedCommand m_await;
    int m_segment = 0;
    std::string m_log;
    std::string m_logShown;
};

}  // namespace nms
