// The TS-over-IP and IP-input channel page without its windows: the channel block (957 bytes, up to 128
// channels) and the IP-input block (500 bytes, up to 64 channels), which tabs and rows a reply's mode or
// channel count shows, the form of one tab (sixteen rows) taken into and shown from the block, the
// "Enable All" rule and the channel-state bitmap.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"
#include "pages/receiver/reply_wait.h"

namespace nms {

constexpr uint8_t kCmdIpBlockRead = 0x58;
constexpr uint8_t kCmdIpBlockWrite = 0x59;
constexpr uint8_t kCmdIpChannelStates = 0x26;
constexpr int kIpChannelBlockSize = 957;  // IpChannelBlock
constexpr int kIpInputBlockSize = 500;    // IpInputBlock
constexpr int kIpChannelEntrySize = 7;    // IpChannelEntry
constexpr int kIpRowsPerTab = 16;
constexpr int kIpStatePollMs = 1000;
constexpr uint8_t kSptsMode = 0x20;

// One tab of the form: sixteen rows, the device's local settings, the RTP choice, the channel count.
struct MultiIpRow {
    std::array<uint8_t, 4> ip{};
    std::string port;
    bool enable = false;
};
struct MultiIpForm {
    std::array<uint8_t, 4> sourceIp{}, mask{}, gateway{};
    std::string sourcePort, mac, channelCount;
    bool rtp = false;
    // With the four-channel modulators the enable checks of rows 9-12 are the "Encrypted" checks of
    // channels 1-4: they carry byte 6 of those entries and, as they always did, channels 9-12's enable bits.
    std::array<MultiIpRow, kIpRowsPerTab> rows{};
    std::array<bool, 2> enableAll{};  // shown state of the two "Enable All" checks
};

// Which rows a tab shows: the left column's first 0, 4 or 8 rows, and the right column.
// Page refresh bit of a Get reply: tab 0 shown with its tabs rebuilt by the block's mode.
constexpr unsigned kMultiIpRefreshRebuild = PageStep::kRefreshPageBits;

struct MultiIpRowLayout {
    int leftRows = 8;
    bool right = true;
};

class MultiIpLogic : public RequestLogic {
public:
    MultiIpLogic(int pageParam, uint16_t deviceType);

    int PageParam() const { return m_pageParam; }
    // The "IP IN" pages: IP-input block, enable checks, channel states.
    bool InputPage() const { return m_pageParam == 17 || m_pageParam == 101; }
    bool EightInputs() const { return m_deviceType == 0x4187; }

    // A Get reply: false (nothing changes) when it is shorter than its block; message is set for a
    // four-channel modulator that has no IP module (empty reply).
    bool ReadReply(const ReplyView& reply, std::string* message);

    // The tab shown (0 after every Get reply).
    int Tab() const { return m_tab; }
    void SetTab(int tab) { m_tab = tab; }
    // Get: the 0x58 read with its 15 s wait (the page asks only for an online device).
    PageStep Get() override;
    // Set: the shown tab's form into the block (a value that does not fit refuses the Set with its
    // message; the block keeps what it held), then the 0x59 write.
    PageStep Set(const MultiIpForm& form);
    // The read's reply takes the block (kMultiIpRefreshRebuild: tab 0, its tabs rebuilt, then the form)
    // and asks for the version; the write's ends the wait; a late one is shown and starts nothing. Empty
    // for a reply not taken.
    PageStep HandleReply(const ReplyView& reply) override;

    // Tabs the page shows; rebuilt by Show when allowed.
    const std::vector<std::string>& Tabs() const { return m_tabs; }
    // The tab's form and layout (show mode); rebuild: a Get reply may rebuild the tabs.
    MultiIpForm Show(int tab, bool rebuild);
    MultiIpRowLayout Layout() const { return m_layout; }
    bool Spts() const { return m_spts; }
    // Store mode: checks the tab's form and takes it into the block; the message of the first value that
    // does not fit, with nothing stored, or empty.
    std::string Store(const MultiIpForm& form, int tab);
    // The Set payload (after Store).
    std::vector<uint8_t> BuildSet();

    // "Enable All" ticked on tab: 0 when allowed, else the channel number for "please use IP port from 1
    // to %d at first!".
    int EnableAllBlockedAt(bool right, int tab) const;
    // A channel-state reply: the sixteen states of the tab, false when it is too short for them.
    bool ChannelStates(const ReplyView& reply, int tab, std::array<bool, kIpRowsPerTab>* states) const;

    const std::vector<uint8_t>& Block() const { return InputPage() ? m_input : m_channels; }
    int Mode() const { return m_channels[20]; }

private:
    size_t EntryOffset(int channel) const;
    int Channels() const { return InputPage() ? 64 : 128; }
    size_t EnableOffset() const { return InputPage() ? 20 : 21; }
    void SetTabs(std::vector<std::string> tabs) { m_tabs = std::move(tabs); }

    int m_pageParam;
    uint16_t m_deviceType;
    std::vector<uint8_t> m_channels = std::vector<uint8_t>(kIpChannelBlockSize, 0);
    std::vector<uint8_t> m_input = std::vector<uint8_t>(kIpInputBlockSize, 0);
    std::vector<std::string> m_tabs;
    MultiIpRowLayout m_layout;
    bool m_spts = false;
    bool m_read = false;  // a Get reply filled the block: its mode lays the page out
    int m_tab = 0;
};

// "Port-1:Port:Value range should be between 0-65535" and its kin.
std::string PortRangeMessage(const std::string& label);

}  // namespace nms
