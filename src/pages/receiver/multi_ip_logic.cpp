#include "pages/receiver/multi_ip_logic.h"

#include <algorithm>
#include <cstdlib>

#include "devices/byte_io.h"
#include "pagebase/field_table.h"
#include "pagebase/text_conversion.h"
#include "pages/receiver/tuner_records.h"

namespace nms {
namespace {

constexpr const char* kMacMessage = "MAC error,please input correct MAC address!";
constexpr size_t kInputEntries = 52, kChannelEntries = 61;

// A decimal text of at most 5 digits up to max; an empty text counts as 0.
bool ParseBounded(const std::string& text, uint32_t max, uint32_t* value) {
    if (!IsDecimalText(text) || text.size() > 5)
        return false;
    const uint32_t v = text.empty() ? 0 : uint32_t(std::strtoul(text.c_str(), nullptr, 10));
    if (v > max)
        return false;
    *value = v;
    return true;
}

std::vector<std::string> ChannelTabs(int count) {
    static const char* const kNames[] = {"Channel 1-16", "Channel 17-32", "Channel 33-48", "Channel 49-64",
                                         "65-80",        "81-96",         "97-112",        "113-128"};
    return std::vector<std::string>(kNames, kNames + count);
}

}  // namespace

std::string PortRangeMessage(const std::string& label) {
    return label + "Value range should be between 0-65535";
}

MultiIpLogic::MultiIpLogic(int pageParam, uint16_t deviceType)
    : m_pageParam(pageParam), m_deviceType(deviceType) {
    switch (pageParam) {
        case 17:
        case 101:
            m_tabs = ChannelTabs(EightInputs() ? 1 : 2);
            m_layout = {8, !EightInputs()};
            break;
        case 35:
            m_tabs = {"Channel 1-4"};
            m_layout = {4, false};
            m_spts = false;  // the MPTS choice
            break;
        case 66:
            // Nothing until the first Get reply lays the page out.
            m_layout = {0, false};
            break;
        default:
            m_tabs = ChannelTabs(8);
            break;
    }
}

size_t MultiIpLogic::EntryOffset(int channel) const {
    return (InputPage() ? kInputEntries : kChannelEntries) + size_t(channel) * kIpChannelEntrySize;
}

bool MultiIpLogic::ReadReply(const ReplyView& reply, std::string* message) {
    const ByteReader r = reply.Reader();
    if (InputPage()) {
        if (!r.Has(0, kIpInputBlockSize))
            return false;
        r.Bytes(0, kIpInputBlockSize, m_input.data());
        m_read = true;
        return true;
    }
    if (m_pageParam == 35 && reply.PayloadLength() == 0) {
        *message = "Do not support this moudle";
        return false;
    }
    if (!r.Has(0, kIpChannelBlockSize))
        return false;
    r.Bytes(0, kIpChannelBlockSize, m_channels.data());
    m_read = true;
    return true;
}

PageStep MultiIpLogic::Get() {
    return m_wait.Request(kCmdIpBlockRead, {}, PageStep::Wait::kBeginShort);
}

PageStep MultiIpLogic::Set(const MultiIpForm& form) {
    const std::string message = Store(form, m_tab);
    if (!message.empty())
        return PageStep::Message(message);
    return m_wait.Request(kCmdIpBlockWrite, BuildSet(), PageStep::Wait::kBeginShort);
}

PageStep MultiIpLogic::HandleReply(const ReplyView& reply) {
    std::string refusal;
    return m_wait.ReadOrWrite(
        reply, kCmdIpBlockRead, kCmdIpBlockWrite, PageStep::kRefreshAll | kMultiIpRefreshRebuild, true,
        [&] { return ReadReply(reply, &refusal); }, &refusal);
}

MultiIpForm MultiIpLogic::Show(int tab, bool rebuild) {
    const std::vector<uint8_t>& b = Block();
    const ByteReader r(b);
    MultiIpForm f;
    std::copy(b.begin(), b.begin() + 4, f.sourceIp.begin());
    std::copy(b.begin() + 12, b.begin() + 16, f.gateway.begin());
    std::copy(b.begin() + 16, b.begin() + 20, f.mask.begin());
    f.sourcePort = std::to_string(r.U16LEOr(4));
    f.mac = FormatMacDashes(b.data() + 6);
    if (InputPage()) {
        const int count = b[50];
        if (!EightInputs())
            m_tabs = ChannelTabs(count > 48 ? 4 : count > 32 ? 3 : 2);
        f.rtp = m_pageParam == 101 && b[51] == 1;
        f.channelCount = std::to_string(count);
        m_layout = {8, !EightInputs()};
        if (tab >= 0 && tab <= 3) {
            f.enableAll[0] = b[EnableOffset() + size_t(2 * tab)] == 0xFF;
            f.enableAll[1] = b[EnableOffset() + size_t(2 * tab + 1)] == 0xFF;
        }
    } else if (m_read) {
        const int mode = Mode();
        if (m_pageParam == 66) {
            if (mode == 4) {
                if (rebuild)
                    m_tabs = ChannelTabs(1);
                m_spts = false;
                m_layout = {tab == 0 ? 4 : 0, false};
            } else if (mode == 8) {
                if (rebuild)
                    m_tabs = {"IP OUT", "IP IN"};
                m_spts = false;
                m_layout = {4, false};
            } else {
                if (rebuild)
                    m_tabs = ChannelTabs(2);
                m_spts = true;
                m_layout = {8, true};
            }
        }
        if (m_pageParam == 35) {
            if (mode == 4) {
                m_spts = false;
                m_layout = {4, false};
            }
        } else {
            // Channels by mode: the tabs past them show no rows.
            int channels = -1;
            switch (mode) {
                case 0:
                    channels = 8;
                    break;
                case 16:
                    channels = 16;
                    break;
                case 1:
                    channels = 32;
                    break;
                case 2:
                    channels = 64;
                    if (rebuild && m_pageParam == 0)
                        m_tabs = ChannelTabs(4);
                    break;
                case 3:
                    channels = 128;
                    if (rebuild && m_pageParam == 0)
                        m_tabs = ChannelTabs(8);
                    break;
                default:
                    break;
            }
            if (channels >= 0) {
                const int rows = std::clamp(channels - kIpRowsPerTab * tab, 0, kIpRowsPerTab);
                m_layout = {rows >= 8 ? 8 : 0, rows > 8};
            }
        }
    }
    for (int row = 0; row < kIpRowsPerTab; ++row) {
        const int k = kIpRowsPerTab * tab + row;
        if (k < 0 || k >= Channels())
            continue;
        const size_t at = EntryOffset(k);
        MultiIpRow& out = f.rows[size_t(row)];
        std::copy(b.begin() + long(at), b.begin() + long(at + 4), out.ip.begin());
        out.port = std::to_string(r.U16LEOr(at + 4));
        out.enable = b[EnableOffset() + size_t(k / 8)] >> (k % 8) & 1;
    }
    if (m_pageParam == 35) {
        for (int i = 0; i < 4; ++i) {
            const int k = kIpRowsPerTab * tab + i;
            if (k >= 0 && k < Channels())
                f.rows[size_t(8 + i)].enable = b[EntryOffset(k) + 6] != 0;
        }
    }
    return f;
}

std::string MultiIpLogic::Store(const MultiIpForm& f, int tab) {
    uint32_t sourcePort = 0, count = 0;
    std::array<uint32_t, kIpRowsPerTab> ports{};
    if (!ParseBounded(f.sourcePort, 65535, &sourcePort))
        return PortRangeMessage("Source Port:");
    // Every row's port fits its 16 bits or is refused, not only row 1's. Row 1's message names row 1 on
    // every tab; the other rows name their channel.
    for (int row = 0; row < kIpRowsPerTab; ++row)
        if (!ParseBounded(f.rows[size_t(row)].port, 65535, &ports[size_t(row)]))
            return PortRangeMessage("Port-" + std::to_string(row == 0 ? 1 : kIpRowsPerTab * tab + row + 1) +
                                    ":Port:");
    uint8_t mac[6];
    if (f.mac.size() != 17 || !ParseMacText(f.mac, mac))
        return kMacMessage;
    if (InputPage() && !ParseBounded(f.channelCount, 255, &count))
        return IntegerRangeMessage(0, 255);

    std::vector<uint8_t>& b = InputPage() ? m_input : m_channels;
    ByteWriter w(b);
    if (InputPage()) {
        b[51] = m_pageParam == 101 && f.rtp ? 1 : 0;
        b[50] = uint8_t(count);
    }
    std::copy(mac, mac + 6, b.begin() + 6);
    std::copy(f.gateway.begin(), f.gateway.end(), b.begin() + 12);
    std::copy(f.mask.begin(), f.mask.end(), b.begin() + 16);
    std::copy(f.sourceIp.begin(), f.sourceIp.end(), b.begin());
    w.U16LE(4, uint16_t(sourcePort));
    for (int row = 0; row < kIpRowsPerTab; ++row) {
        const int k = kIpRowsPerTab * tab + row;
        if (k < 0 || k >= Channels())
            continue;
        const size_t at = EntryOffset(k);
        const MultiIpRow& in = f.rows[size_t(row)];
        std::copy(in.ip.begin(), in.ip.end(), b.begin() + long(at));
        w.U16LE(at + 4, uint16_t(ports[size_t(row)]));
        uint8_t& bits = b[EnableOffset() + size_t(k / 8)];
        bits = uint8_t(in.enable ? bits | 1u << (k % 8) : bits & ~(1u << (k % 8)));
    }
    if (m_pageParam == 35) {
        for (int i = 0; i < 4; ++i) {
            const int k = kIpRowsPerTab * tab + i;
            if (k >= 0 && k < Channels())
                b[EntryOffset(k) + 6] = f.rows[size_t(8 + i)].enable ? 1 : 0;
        }
    }
    return {};
}

std::vector<uint8_t> MultiIpLogic::BuildSet() {
    if (m_pageParam == 66 && m_spts)
        m_channels[20] = kSptsMode;
    return Block();
}

int MultiIpLogic::EnableAllBlockedAt(bool right, int tab) const {
    if (!InputPage() || tab < 2)
        return 0;
    const int last = right ? 2 * tab : 2 * tab - 1;
    for (int i = 0; i <= last && i < 8; ++i)
        if (m_input[EnableOffset() + size_t(i)] != 0xFF)
            return 8 * i + 8;
    return 0;
}

bool MultiIpLogic::ChannelStates(const ReplyView& reply, int tab,
                                 std::array<bool, kIpRowsPerTab>* states) const {
    uint8_t low = 0, high = 0;
    if (tab < 0 || !reply.U8(1 + 2 * tab, &low) || !reply.U8(2 + 2 * tab, &high))
        return false;
    for (int row = 0; row < kIpRowsPerTab; ++row)
        (*states)[size_t(row)] = (row < 8 ? low >> row : high >> (row - 8)) & 1;
    return true;
}

}  // namespace nms
