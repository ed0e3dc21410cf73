// The device side of the "Edit NIT" page: reading the NIT section by section (command 0x2F) and sending
// it back (command 0x30), by page model. Every operator action and every reply returns a step for the
// page to carry out; replies that were not asked for change nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pages/psi/nit_table.h"

namespace nms {

class ReplyView;

constexpr uint8_t kCmdGetNit = 0x2F;
constexpr uint8_t kCmdSetNit = 0x30;

struct NitStep {
    enum class Wait { kNone, kBegin, kEnd };
    bool request = false;
    uint8_t command = 0, b = 1, c = 1;
    std::vector<uint8_t> payload;
    Wait wait = Wait::kNone;
    std::string message;         // a plain box, shown after the wait ended
    bool refresh = false;        // the table changed: show it
    int selectChannel = -1;      // the selector takes this index
    bool noChannelForm = false;  // hide the selector for good
};

class MuxNitLogic {
public:
    explicit MuxNitLogic(int model) : m_model(model) {}

    NitTable& Table() { return m_table; }
    const NitTable& Table() const { return m_table; }
    int Model() const { return m_model; }
    bool IsIdle() const { return m_state == State::kIdle; }

    // Whether the channel selector shows, and its entries.
    bool SelectorShown() const;
    std::vector<std::string> SelectorItems() const;
    bool IsTwoSided() const { return m_model == 1; }

    // "Get" (or "Get A Channel"): empties the table and asks for section 1. selectorIndex -1: nothing
    // selected. Without a ready device only the emptying happens.
    NitStep Get(int selectorIndex, bool deviceReady);
    // "Get B Channel".
    NitStep GetB(bool deviceReady);
    // "Set" / "Send to A" (side 1) and "Send to B" (side 2): checks the members, builds and sends section 0.
    NitStep Send(int side, int selectorIndex, bool deviceReady);
    NitStep OnReply(uint16_t deviceType, const ReplyView& reply, int selectorIndex);
    // The wait timed out: what is in the image stays; nothing is retried.
    void WaitEnded() { m_state = State::kIdle; }

private:
    enum class State { kIdle, kReading, kSending };
    bool HasChannelByteInSend() const;
    NitStep Request(uint8_t channel, uint8_t b, uint8_t c);
    NitStep OnNitSection(uint16_t deviceType, const ReplyView& reply);
    NitStep OnNitSection102(const ReplyView& reply);
    NitStep OnSendReply(const ReplyView& reply, int selectorIndex);
    NitStep Finish(bool parse);

    NitTable m_table;
    int m_model;
    State m_state = State::kIdle;
    int m_expected = 0;  // the section number (1-based) asked for or last sent
    int m_side = 1;
};

}  // namespace nms
