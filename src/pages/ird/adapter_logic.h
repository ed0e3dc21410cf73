// The line adapter and ASI distributor pages without windows: the 4 x E1 to ASI adapter, the DS3 to ASI
// adapter and the two-input ASI distributor. Each reads a short configuration record (0x33), writes it
// back (0x34) and decodes the status record (0x40) of rates and lock bits that the encoders' shared
// status poll asks for.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

enum : uint8_t {
    kCmdAdapterGet = 0x33,
    kCmdAdapterSet = 0x34,
    kCmdAdapterStatus = 0x40,
};
constexpr int kAdapterStatusPollMs = 1500;

// Refresh bits of the adapter pages' steps.
enum : unsigned {
    kRefreshAdapterConfig = PageStep::kRefreshPageBits,
    kRefreshAdapterStatus = PageStep::kRefreshPageBits << 1,
};

// "%d.%03d" of kbit/s: 12345 shows 12.345.
std::string AdapterMbps(uint32_t kbps);

// The selection a list shows for a received index: the index itself below count, no selection (-1) for
// indexes from count up to limit, and the current selection from limit on.
int ListIndexFor(int received, int count, int limit, int current);

class E1AdapterLogic {
public:
    static constexpr int kLines = 4;
    static constexpr int kStatusSize = 9;

    // Get starts no wait; Set starts the 20-s wait that its own reply ends.
    PageStep Get() const { return PageStep::Request(kCmdAdapterGet, {}, PageStep::Wait::kNone); }
    // modeIndex: the list's selection (-1 none: the mode last read is sent again).
    PageStep Set(int modeIndex);
    // A Set's reply after its wait ran out is taken once and ends nothing more.
    PageStep HandleReply(const ReplyView& reply);
    void WaitEnded() { m_await.Ended(); }
    void Refused() { m_await.Clear(); }

    uint8_t Mode() const { return m_mode; }
    // The list entry for the mode last read, given the current selection.
    int ModeIndex(int current) const { return ListIndexFor(int(m_mode) - 1, 4, 7, current); }
    const std::string& AsiToE1() const { return m_asiToE1; }
    const std::string& E1ToAsi() const { return m_e1ToAsi; }
    // Bits 0..3 the E1 lines, bit 4 the ASI input.
    uint8_t LockBits() const { return m_lock; }

private:
    PageStep Handle(const ReplyView& reply);

    uint8_t m_mode = 0;
    AwaitedCommand m_await;
    std::string m_asiToE1 = "0.000", m_e1ToAsi = "0.000";
    uint8_t m_lock = 0;
};

class Ds3AdapterLogic {
public:
    static constexpr int kRecordSize = 79;
    static constexpr int kParamsOffset = 45;
    static constexpr int kParamsSize = 32;
    static constexpr int kProtocols = 8;

    PageStep Get();
    // The two lists' selections (-1 none: the index last read is sent again). The request is built from
    // zeros but for the two indexes, as the device expects it.
    PageStep Set(int asiToDs3, int ds3ToAsi);
    // A Get's reply after its wait ran out is still shown (and asks for the version), once.
    PageStep HandleReply(const ReplyView& reply);
    void WaitEnded() { m_await.Ended(); }
    void Refused() { m_await.Clear(); }

    const std::array<uint8_t, kParamsSize>& Params() const { return m_params; }
    uint16_t TrailingWord() const { return m_word; }
    const std::string& AsiToDs3Rate() const { return m_asiToDs3; }
    const std::string& Ds3ToAsiRate() const { return m_ds3ToAsi; }
    bool Ds3ToAsiLocked() const { return m_lock & 1; }
    bool AsiToDs3Locked() const { return m_lock & 2; }

private:
    PageStep Handle(const ReplyView& reply);

    std::array<uint8_t, kParamsSize> m_params{};
    uint16_t m_word = 0;
    AwaitedCommand m_await;
    std::string m_asiToDs3 = "0.000", m_ds3ToAsi = "0.000";
    uint8_t m_lock = 0;
};

class AsiDistributorLogic {
public:
    static constexpr int kRecordSize = 12;
    static constexpr int kStatusSize = 17;

    // Neither starts a wait.
    PageStep Get() const { return PageStep::Request(kCmdAdapterGet, {}, PageStep::Wait::kNone); }
    PageStep Set(bool autoSwitch, bool input1) const;
    PageStep HandleReply(const ReplyView& reply);

    bool AutoSwitch() const { return m_auto; }
    bool Input2() const { return m_input2; }
    // 0 none, 1 or 2: the input on the output.
    int OutputInput() const { return m_output; }
    const std::string& Input1Rates() const { return m_rates[0]; }
    const std::string& Input2Rates() const { return m_rates[1]; }

private:
    bool m_auto = true;
    bool m_input2 = false;
    int m_output = 0;
    std::array<std::string, 2> m_rates{"0.000 / 0.000", "0.000 / 0.000"};
};

}  // namespace nms
