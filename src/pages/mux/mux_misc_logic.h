// The logic of the output parameters page (CMuxMiscView) without any window: the form of the four
// outputs, the records last read from the device, the requests of Get, Set and the bitrate poll, and the
// handling of their replies. The page copies the form to and from its controls.
//
// A Get or Set runs under one wait and only its own reply is used. A reply that comes after that wait ran
// out is still shown, once, but asks for nothing more (late_reply.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/late_reply.h"
#include "pagebase/page_step.h"

namespace nms {

class ByteReader;

enum : uint8_t {
    kCmdGetOutputParams = 0x33,
    kCmdSetOutputParams = 0x34,
    kCmdOutputStatus = 0x40,
};

constexpr int kMuxOutputs = 4;  // A to D
constexpr int kMuxOutputParamsSize = 10;
constexpr int kMuxOutputBlockSize = 75;
constexpr int kMuxOutputRecordSize = kMuxOutputs * kMuxOutputBlockSize;  // 300
constexpr int kTranscoderOutputParamsSize = 76;

// Table insertion switches, in the order of the flags byte's bits 0 to 4.
enum MuxTable { kTablePat = 0, kTableSdt, kTableNit, kTablePmt, kTableCat, kTableCount };

// What one output group of the page shows, as the operator sees and types it.
struct MuxOutputForm {
    std::string bitrate = "0.000";  // Mbit/s with three decimals
    std::string tsId = "0";         // hexadecimal
    std::string netId = "0";        // hexadecimal
    std::string ipInsert = "0";     // decimal
    std::string realtime;           // real-time output bitrate, Mbit/s
    std::array<bool, kTableCount> tables{};
    std::string address = "0.0.0.0";
    std::string port = "0";
    bool enable = false;
};

class MuxMiscLogic {
public:
    enum Target { kOutputA = 0, kOutputB = 1, kAllOutputs = 2 };
    // Only the real-time fields changed: values being typed elsewhere stay as they are.
    enum : unsigned { kRefreshRealtime = PageStep::kRefreshPageBits };

    explicit MuxMiscLogic(int pageParam);

    int PageParam() const { return m_pageParam; }
    bool IsTwoOutput() const { return m_pageParam == 1; }
    bool IsBlockRecord() const { return m_pageParam == 20 || m_pageParam == 39; }
    bool IsTranscoder() const { return m_pageParam == 86; }
    // Outputs with a group on the page: A; A and B; all four on PageParam 20.
    int ShownOutputs() const;
    // Whether the device reported IP outputs (PageParam 20 and 39).
    bool HasIpOutputs() const { return m_ipOutputs == 1; }
    bool Waiting() const { return m_awaited.Waiting(); }

    MuxOutputForm& Form(int output) { return m_form[output]; }
    const MuxOutputForm& Form(int output) const { return m_form[output]; }

    const std::array<uint8_t, kMuxOutputParamsSize>& Params(int output) const { return m_params[output]; }
    const std::array<uint8_t, kMuxOutputRecordSize>& BlockRecord() const { return m_record; }
    const std::array<uint8_t, kTranscoderOutputParamsSize>& TranscoderRecord() const { return m_transcoder; }

    // Operator actions and the poll. An empty step means nothing happens.
    PageStep Shown();
    PageStep Get(Target target);
    // Takes the form as the page collected it; a field that does not fit gives its message and no request.
    PageStep Set(Target target);
    PageStep Poll() const;

    PageStep HandleReply(const ReplyView& reply);
    // The wait ended without its reply (its reply is late from now on), or the request could not be
    // queued; a later Get A reads A only.
    void WaitEnded() {
        m_awaited.Ended();
        m_secondRead = true;
    }
    bool TakeLate(const ReplyView& reply) { return m_awaited.TakeLate(reply); }
    void LateHandled() { m_awaited.Clear(); }

private:
    PageStep Ask(uint8_t command, std::vector<uint8_t> payload);
    PageStep OnGetReply(const ByteReader& reply);
    PageStep OnStatus(const ByteReader& reply);
    void ShowParams(int output);
    void ShowBlock(int output);
    // Field checks of one output; empty when every field fits.
    std::string CollectCommon(int output, uint32_t* bitrate, uint16_t* tsId, uint16_t* netId,
                              uint16_t* ipInsert) const;
    std::string CollectIp(int output, uint8_t address[4], uint16_t* port) const;

    int m_pageParam;
    AwaitedCommand m_awaited;
    bool m_secondRead = true;  // PageParam 1: B was read after A
    uint8_t m_ipOutputs = 0;
    std::array<MuxOutputForm, kMuxOutputs> m_form;
    std::array<std::array<uint8_t, kMuxOutputParamsSize>, 2> m_params{};
    std::array<uint8_t, kMuxOutputRecordSize> m_record{};
    std::array<uint8_t, kTranscoderOutputParamsSize> m_transcoder{};
};

// Text forms of the page.
std::string FormatMbps(uint32_t kbps, bool padded);
// Thousandths of the bitrate text; false when the value does not fit the 32-bit field.
bool ParseBitrateText(const std::string& text, uint32_t* kbps);
// Hexadecimal text of at most four digits; false otherwise.
bool ParseHex16(const std::string& text, uint16_t* value);
// Decimal digits giving a value up to max; false otherwise.
bool ParseUnsignedText(const std::string& text, uint32_t max, uint32_t* value);
// "a.b.c.d" with each part 0 to 255; false otherwise.
bool ParseAddressText(const std::string& text, uint8_t address[4]);

}  // namespace nms
