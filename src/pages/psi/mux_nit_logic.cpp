#include "pages/psi/mux_nit_logic.h"

#include <algorithm>
#include <cstring>

#include "devices/reply_view.h"
#include "pagebase/text_conversion.h"

namespace nms {

namespace {
bool SelectsChannel(int model) {
    return model == 5 || model == 19 || model == 33 || model == 39 || model == 102;
}
}  // namespace

bool MuxNitLogic::ChannelInSectionReply(int model) {
    return model == 1 || model == 4 || model == 5 || model == 19 || model == 33 || model == 39 ||
           model == 102;
}

bool MuxNitLogic::ChannelInSend(int model) {
    return model == 1 || SelectsChannel(model);
}

bool MuxNitLogic::SelectorShown() const {
    return m_model == 5 || m_model == 33 || m_model == 39;
}

std::vector<std::string> MuxNitLogic::SelectorItems() const {
    if (m_model == 5 || m_model == 33 || m_model == 102)
        return {"Channel A", "Channel B", "Channel C", "Channel D"};
    if (m_model == 39)
        return {"Channel A", "Channel B"};
    return {"Channel-1", "Channel-2", "Channel-3", "Channel-4"};
}

bool MuxNitLogic::HasChannelByteInSend() const {
    return ChannelInSend(m_model);
}

PageStep MuxNitLogic::Request(uint8_t channel, uint8_t b, uint8_t c) {
    PageStep step = PageStep::Request(kCmdGetNit, {channel}, PageStep::Wait::kBeginShort);
    step.b = b;
    step.c = c;
    m_state = State::kReading;
    m_late = State::kIdle;
    m_expected = b;
    return step;
}

PageStep MuxNitLogic::Get(int selectorIndex, bool deviceReady) {
    m_table.image.Clear();
    m_table.rows.clear();
    m_table.networkDescriptors.clear();
    PageStep step;
    step.refresh = kRefreshTable;
    uint8_t channel = 0;
    if (m_model == 1) {
        channel = 1;
    } else if (m_model == 4) {
        channel = 2;
    } else {
        if (selectorIndex < 0) {
            if (SelectsChannel(m_model))
                step.messages.push_back("Please select Channel !");
            return step;
        }
        channel = static_cast<uint8_t>(selectorIndex);
    }
    if (!deviceReady || !IsIdle())
        return step;
    PageStep request = Request(channel, 1, 1);
    request.refresh = kRefreshTable;
    return request;
}

PageStep MuxNitLogic::GetB(bool deviceReady) {
    if (!deviceReady || !IsIdle())
        return {};
    return Request(2, 1, 1);
}

PageStep MuxNitLogic::Send(int side, int selectorIndex, bool deviceReady) {
    PageStep step;
    const std::string& id = m_table.networkId;
    if (id.empty() || id.size() > 4) {
        return PageStep::Message("Network ID error!");
    }
    if (!IsHexText(id)) {
        return PageStep::Message("Network ID should be 0-9,a-f or A-F!");
    }
    if (m_table.networkName.empty()) {
        return PageStep::Message("Network description should not be empty!");
    }
    if (m_table.version < 0 || m_table.version > 31) {
        return PageStep::Message("Please enter an integer between 0 and 31.");
    }
    if (!m_table.Build()) {
        return PageStep::Message("The NIT does not fit into five sections.");
    }
    if (!deviceReady || !IsIdle() || m_table.imageLength <= 0)
        return step;
    if (HasChannelByteInSend()) {
        if (m_model == 1)
            step.payload.push_back(static_cast<uint8_t>(side));
        else
            step.payload.push_back(static_cast<uint8_t>(std::max(selectorIndex, 0)));
    }
    const uint8_t* slot0 = m_table.image.Slot(0);
    step.payload.insert(step.payload.end(), slot0, slot0 + m_table.imageLength);
    const int count = m_table.sectionCount;
    step.command = kCmdSetNit;
    step.b = 1;
    // The first packet's count as the devices have always received it; later ones carry the real count.
    step.c = count <= 1 ? 1 : count >= 5 ? 4 : 2;
    step.wait = PageStep::Wait::kBeginShort;
    m_state = State::kSending;
    m_late = State::kIdle;
    m_expected = 1;
    m_side = side;
    return step;
}

PageStep MuxNitLogic::Finish(bool parse) {
    PageStep step;
    if (parse)
        m_table.ParseNitSections();
    step.refresh = kRefreshTable;
    step.wait = PageStep::Wait::kEnd;
    m_state = State::kIdle;
    return step;
}

bool MuxNitLogic::TakeLate(const ReplyView& reply) {
    const bool taken =
        m_state == State::kIdle && ((m_late == State::kReading && reply.Command() == kCmdGetNit) ||
                                    (m_late == State::kSending && reply.Command() == kCmdSetNit));
    if (!taken)
        return false;
    m_state = m_late;
    m_late = State::kIdle;
    return true;
}

PageStep MuxNitLogic::OnReply(uint16_t deviceType, const ReplyView& reply, int selectorIndex) {
    if (!reply.IsValid())
        return {};
    if (reply.Command() == kCmdGetNit && m_state == State::kReading)
        return OnNitSection(deviceType, reply);
    if (reply.Command() == kCmdSetNit && m_state == State::kSending)
        return OnSendReply(reply, selectorIndex);
    return {};
}

PageStep MuxNitLogic::OnNitSection(uint16_t deviceType, const ReplyView& reply) {
    unsigned switched = 0;
    uint8_t first = 0;
    if (deviceType == 0x4208 && reply.U8(0, &first) && first == 0x40 && m_model != 0) {
        // The device sent the section without a channel byte: so it will from now on.
        m_model = 0;
        switched = kRefreshNoChannelForm;
    }
    auto merge = [&](PageStep step) {
        step.refresh |= switched;
        return step;
    };
    if (reply.PayloadLength() == 0)
        return merge(Finish(false));
    if (m_model == 102)
        return merge(OnNitSection102(reply));

    int offset = 0;
    uint8_t channel = 1;
    unsigned selection = 0;
    if (ChannelInSectionReply(m_model)) {
        channel = reply.Payload()[0];
        offset = 1;
        if (SelectsChannel(m_model)) {
            m_replyChannel = channel;
            selection = kRefreshChannel;
        }
    }
    const int length = reply.PayloadLength() - offset;
    const int n = reply.B();
    // Only the section asked for is taken: a late or stray one ends the read.
    if (n == 0 || n > 4 || n > reply.C() || n != m_expected) {
        PageStep step = Finish(false);
        step.refresh |= selection;
        return merge(step);
    }
    m_table.imageLength = length;
    uint8_t* slot = m_table.image.Slot(n - 1);
    std::memset(slot, 0, kNitSlotSize);
    std::memcpy(slot, reply.Payload() + offset, static_cast<size_t>(std::min(length, kNitSlotSize)));
    PageStep step = n < reply.C() ? Request(channel, static_cast<uint8_t>(n + 1), reply.C()) : Finish(true);
    step.refresh |= selection;
    return merge(step);
}

PageStep MuxNitLogic::OnNitSection102(const ReplyView& reply) {
    const uint8_t channel = reply.Payload()[0];
    const int length = reply.PayloadLength() - 1;
    const int n = reply.B();
    m_replyChannel = channel;
    if (n != m_expected) {
        PageStep step = Finish(false);
        step.refresh |= kRefreshChannel;
        return step;
    }
    uint8_t* slot = m_table.image.Slot(n == 2 ? 1 : 0);
    m_table.imageLength = length;
    std::memset(slot, 0, kNitSlotSize);
    std::memcpy(slot, reply.Payload() + 1, static_cast<size_t>(std::min(length, kNitSlotSize)));
    PageStep step;
    if (n == reply.C())
        step = Finish(true);
    else if (n < reply.C() && n < 2)
        step = Request(channel, 2, 2);
    else
        step = Finish(false);
    step.refresh |= kRefreshChannel;
    return step;
}

PageStep MuxNitLogic::OnSendReply(const ReplyView& reply, int selectorIndex) {
    const int n = reply.B();
    if (n != m_expected)
        return {};  // not the section just sent
    if (n < m_table.sectionCount && n <= 4 && m_table.image.HasSection(n)) {
        PageStep step;
        step.payload.reserve(1 + kNitSlotSize);
        if (m_model == 1) {
            uint8_t side = static_cast<uint8_t>(m_side);
            reply.U8(0, &side);
            step.payload.push_back(side);
        } else if (SelectsChannel(m_model)) {
            step.payload.push_back(static_cast<uint8_t>(std::max(selectorIndex, 0)));
        }
        const uint8_t* slot = m_table.image.Slot(n);
        step.payload.insert(step.payload.end(), slot, slot + kNitSlotSize);
        step.command = kCmdSetNit;
        step.b = static_cast<uint8_t>(n + 1);
        step.c = m_table.sectionCount;
        m_expected = n + 1;
        return step;
    }
    PageStep step;
    step.wait = PageStep::Wait::kEnd;
    m_state = State::kIdle;
    return step;
}

}  // namespace nms
