// The device side of the "Edit NIT" page: reading the NIT section by section (command 0x2F) and sending
// it back (command 0x30), by page model. Every operator action and every reply returns a step for the
// page to carry out (waits are the short 15-s kind); replies that were not asked for change nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pagebase/page_step.h"
#include "pages/psi/nit_table.h"

namespace nms {

class ReplyView;

constexpr uint8_t kCmdGetNit = 0x2F;
constexpr uint8_t kCmdSetNit = 0x30;

class MuxNitLogic {
public:
    // What a step asks the page to refresh besides its members.
    enum : unsigned {
        kRefreshTable = PageStep::kRefreshPageBits,               // the lists and fields from the table
        kRefreshChannel = PageStep::kRefreshPageBits << 1,        // the selector takes ReplyChannel()
        kRefreshNoChannelForm = PageStep::kRefreshPageBits << 2,  // the selector hides for good
    };

    explicit MuxNitLogic(int model) : m_model(model) {}

    // Models whose section replies carry the channel byte before the section, and those whose sections
    // sent carry one (model 4 reads it but sends none).
    static bool ChannelInSectionReply(int model);
    static bool ChannelInSend(int model);

    NitTable& Table() { return m_table; }
    const NitTable& Table() const { return m_table; }
    int Model() const { return m_model; }
    bool IsIdle() const { return m_state == State::kIdle; }
    // The channel the last section reply named.
    int ReplyChannel() const { return m_replyChannel; }

    // Whether the channel selector shows, and its entries.
    bool SelectorShown() const;
    std::vector<std::string> SelectorItems() const;
    bool IsTwoSided() const { return m_model == 1; }

    // "Get" (or "Get A Channel"): empties the table and asks for section 1. selectorIndex -1: nothing
    // selected. Without a ready device only the emptying happens.
    PageStep Get(int selectorIndex, bool deviceReady);
    // "Get B Channel".
    PageStep GetB(bool deviceReady);
    // "Set" / "Send to A" (side 1) and "Send to B" (side 2): checks the members, builds and sends section 0.
    PageStep Send(int side, int selectorIndex, bool deviceReady);
    PageStep OnReply(uint16_t deviceType, const ReplyView& reply, int selectorIndex);
    // The wait timed out: what is in the image stays; nothing is retried. The reply the read or send
    // waited for, should it still come, is late: taken once (late_reply.h), shown, and the transfer
    // goes no further.
    void WaitEnded() {
        if (m_state != State::kIdle)
            m_late = m_state;
        m_state = State::kIdle;
    }
    bool TakeLate(const ReplyView& reply);
    void LateHandled() { m_state = m_late = State::kIdle; }

private:
    enum class State { kIdle, kReading, kSending };
    bool HasChannelByteInSend() const;
    PageStep Request(uint8_t channel, uint8_t b, uint8_t c);
    PageStep OnNitSection(uint16_t deviceType, const ReplyView& reply);
    PageStep OnNitSection102(const ReplyView& reply);
    PageStep OnSendReply(const ReplyView& reply, int selectorIndex);
    PageStep Finish(bool parse);

    NitTable m_table;
    int m_model;
    State m_state = State::kIdle;
    State m_late = State::kIdle;  // the transfer whose wait ran out
    int m_expected = 0;           // the section number (1-based) asked for or last sent
    int m_side = 1;
    int m_replyChannel = 0;
};

}  // namespace nms
