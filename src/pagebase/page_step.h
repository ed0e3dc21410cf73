// A page's next move, as its logic returns it: what to send, how the reply wait changes, what to show
// after the wait ended and which controls to refresh. Page logic (plain C++, no windows) returns steps;
// CFormTemplateView::Carry carries them out in one place for every page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nms {

// The version request; its reply fills the device record's version word.
constexpr uint8_t kVersionCommand = 0x02;

struct PageStep {
    enum class Wait {
        kNone,          // the wait stays as it is
        kBegin,         // 20 s (after the request was queued)
        kBeginLong,     // 80 s
        kBeginShort,    // 15 s
        kRestart,       // the wait ends (controls refreshed, messages shown), then 20 s begin again
        kRestartLong,   // the same with 80 s
        kRestartShort,  // the same with 15 s
        kEnd,           // the wait ends before anything else of the step happens
    };

    // Refresh bits; pages may define their own from kRefreshPageBits on. Plain constants, not an enum, so
    // that they combine with a page's own enumerated bits without a conversion between enumerations.
    static constexpr unsigned kRefreshNone = 0;
    static constexpr unsigned kRefreshAll = 1u << 0;  // members to controls (UpdateData(false))
    static constexpr unsigned kRefreshPageBits = 1u << 1;

    Wait wait = Wait::kNone;
    int command = -1;  // >= 0: send this request
    uint8_t b = 1, c = 1;
    std::vector<uint8_t> payload;
    bool checkOnline = true;   // false: queued without the online test (a request inside a running chain)
    bool poll = false;         // a status poll: gives way to a page's request (SendPollCommand), never waits
    bool sendVersion = false;  // then ask for the version (command 2): it takes the send slot
    std::vector<std::string> messages;  // modal boxes, shown after the wait ended
    std::string caption;                // their caption; empty: the program's
    unsigned refresh = kRefreshNone;

    bool HasRequest() const { return command >= 0; }
    bool IsEmpty() const {
        return !HasRequest() && wait == Wait::kNone && messages.empty() && refresh == kRefreshNone &&
               !sendVersion;
    }

    static PageStep Request(uint8_t command, std::vector<uint8_t> payload, Wait wait = Wait::kBegin) {
        PageStep s;
        s.command = command;
        s.payload = std::move(payload);
        s.wait = wait;
        return s;
    }
    static PageStep Poll(uint8_t command, std::vector<uint8_t> payload = {}) {
        PageStep s;
        s.command = command;
        s.payload = std::move(payload);
        s.poll = true;
        return s;
    }
    static PageStep Message(std::string text) {
        PageStep s;
        s.messages.push_back(std::move(text));
        return s;
    }
    static PageStep End(unsigned refresh = kRefreshAll) {
        PageStep s;
        s.wait = Wait::kEnd;
        s.refresh = refresh;
        return s;
    }
    PageStep& WithMessage(std::string text) {
        messages.push_back(std::move(text));
        return *this;
    }
    PageStep& WithCaption(std::string text) {
        caption = std::move(text);
        return *this;
    }
};

}  // namespace nms
