// What the program pages of the four-channel CAM receiver and the four-channel decoder share: the channel
// in front, its input record read (Get) and written (Set) with the output bitrate last read, the chain a
// shown page or tab starts with the input read, the parse request and the program list read one program
// at a time, and the 51-byte program entry both devices send.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pagebase/block_logic.h"
#include "pages/ird/cam_ird_input.h"

namespace nms {

enum : uint8_t {
    kCmdCamParse = 0x20,
    kCmdCamProgram = 0x21,
};

constexpr int kCamProgramEntrySize = 51;

// One program as the 0x21 reply carries it (payload bytes 3-53).
struct CamProgramEntry {
    std::array<uint8_t, kCamProgramEntrySize> bytes{};

    uint8_t Status() const { return bytes[0]; }
    // The name field as sent, up to its NUL.
    std::string RawName() const;
    // The name as UTF-8 when the entry carries UTF-16 (first byte 0x11), else the code-page bytes.
    std::string Name(bool* utf8) const;
    uint16_t Number() const { return uint16_t(bytes[33] | bytes[34] << 8); }
    uint16_t PmtPid() const { return uint16_t(bytes[35] | bytes[36] << 8); }
    uint8_t Elements() const { return bytes[37]; }
    uint8_t Ca() const { return bytes[38]; }
    uint16_t PcrPid() const { return uint16_t((bytes[40] | bytes[41] << 8) & 0x1fff); }
    uint16_t StreamPid(int stream) const {
        const int at = 42 + 2 * stream;
        return uint16_t((bytes[size_t(at)] | bytes[size_t(at + 1)] << 8) & 0x1fff);
    }
    uint16_t FilterMask() const { return uint16_t(bytes[48] << 8 | bytes[49]); }
    uint8_t IpIndex() const { return bytes[50]; }
};

// "CAM" for status 1, "Delete" for 2, "Bypass" for any other.
const char* CamProgramStatusText(uint8_t status);

class CamChannelLogic : public BlockLogic {
public:
    enum : unsigned {
        kRefreshInput = PageStep::kRefreshPageBits,
        kRefreshPrograms = PageStep::kRefreshPageBits << 1,
        kRefreshChannelBits = PageStep::kRefreshPageBits << 2,  // a page's own bits start here
    };

    int Channel() const { return m_channel; }
    int ModuleType() const { return m_moduleType; }

    // Showing the page or a tab: the input read, then the rest of the channel as one chain.
    PageStep Shown(int channel);
    // channel: the tab in front (none or another: the first).
    PageStep Get(std::optional<int> channel) override;
    PageStep Set(const FormInputs& inputs, std::optional<int> channel) override;
    // Only the reply the running wait is for counts. The input read and write are answered here, the
    // page's own commands in ChannelReply.
    PageStep HandleReply(const ReplyView& reply) final;
    void WaitEnded() override {
        BlockLogic::WaitEnded();
        m_chain = false;
    }

protected:
    static int ValidChannel(int channel) { return channel >= 0 && channel < kCamChannels ? channel : 0; }
    // The channel a request is for; a chain under way ends.
    void Select(int channel) {
        m_channel = ValidChannel(channel);
        m_chain = false;
    }
    // The input record of a channel; null where the page keeps none for it (a reply for it is ignored).
    virtual ParamBlock* InputRecordOf(int channel) = 0;
    // After the input read a shown page or tab started: the next request of the chain.
    virtual PageStep ContinueShown() = 0;
    // An awaited reply to any other command.
    virtual PageStep ChannelReply(const ReplyView& reply) = 0;

    // The awaited reply came: the wait ends.
    PageStep EndWait(unsigned refresh) {
        m_awaited = -1;
        return PageStep::End(refresh);
    }
    // A parse of the channel's input (0x20 with {first, channel}) under the long wait.
    PageStep ParseRequest(int channel, uint8_t first);
    // A parse reply's count of 0 or 255 means the channel has no input.
    static bool NoInput(uint8_t count) { return count == 0 || count == 0xff; }
    PageStep NoInputEnd(unsigned refresh) { return EndWait(refresh).WithMessage("No input!"); }

    // The program read of the channel in front: 0x21 with {channel, index} for index 0, 1, ... under one
    // wait, the list refreshed when it starts and when it ends.
    PageStep StartProgramRead(PageStep::Wait wait);
    // Whether a program reply moves the read on: any reply but a second copy of the one taken last does,
    // whichever program it carries.
    bool TakeProgramReply(const ReplyView& reply) {
        std::vector<uint8_t> key = {reply.B(), reply.C()};
        key.insert(key.end(), reply.Payload(), reply.Payload() + reply.PayloadLength());
        if (key == m_lastProgram)
            return false;
        m_lastProgram = std::move(key);
        return true;
    }
    // The program asked for was taken: the next one while the count lasts, else the read ends.
    PageStep NextProgram(int count);

    int m_channel = 0;
    int m_moduleType = 0;
    uint32_t m_bitrate = 0;
    bool m_chain = false;                // the input read goes on to the rest of the channel
    int m_counter = 0;                   // the program the read asked for last
    std::vector<uint8_t> m_lastProgram;  // header b, c and payload of the program reply taken last

private:
    PageStep InputReply(const ReplyView& reply);
};

}  // namespace nms
