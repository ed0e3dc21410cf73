// The program page of the four-channel CI/CAM receiver without windows: per channel the tuner input,
// the parse and the program list read one program at a time, each program's CAM/Bypass/Delete choice,
// IP output index and elementary-stream filter, and the selection sent back.
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
    kCmdCam4Parse = 0x20,
    kCmdCam4Program = 0x21,
    kCmdCam4Send = 0x22,
};

constexpr int kCam4Programs = 32;
constexpr int kCam4EntrySize = 51;
constexpr int kCam4MaxIpIndex = 32;

// Program status bytes.
enum : uint8_t { kCam4Bypass = 0, kCam4Cam = 1, kCam4Delete = 2 };

struct Cam4Program {
    std::array<uint8_t, kCam4EntrySize> bytes{};

    uint8_t Status() const { return bytes[0]; }
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

// "Bypass", "CAM" or "Delete" for a status byte.
const char* Cam4StatusText(uint8_t status);

class Cam4DecryptLogic : public CamChannelLogic {
public:
    enum : unsigned {
        kRefreshInput = PageStep::kRefreshPageBits,
        kRefreshPrograms = PageStep::kRefreshPageBits << 1,
    };

    Cam4DecryptLogic();

    const ParamBlock& Input() const { return m_input; }
    uint8_t Feature() const { return m_feature; }
    bool IpIndexFeature() const { return (m_feature & 0x81) == 0x81; }
    bool FilterFeature() const { return (m_feature & 0x82) == 0x82; }
    bool IndexBox() const { return m_indexBox; }
    int Count(int channel) const { return m_counts[size_t(channel)]; }
    const Cam4Program& Program(int channel, int index) const {
        return m_programs[size_t(channel)][size_t(index)];
    }

    PageStep Parse(int channel, bool index);
    PageStep Read(int channel);
    PageStep Send(int channel);
    PageStep HandleReply(const ReplyView& reply) override;

    // The operator's choices for one program of the channel on show.
    void SetStatus(int index, uint8_t status);
    // The IP-index dialog's result: the index (when the feature is on) and the filter mask (when that
    // feature is on). Returns the warnings to show.
    std::vector<std::string> SetIpIndex(int index, int ipIndex, uint16_t filterMask);

private:
    ParamBlock& InputRecord() override;

    ParamBlock m_input;
    std::array<std::array<Cam4Program, kCam4Programs>, kCamChannels> m_programs{};
    std::array<int, kCamChannels> m_counts{};
    int m_counter = 0;
    uint8_t m_feature = 0;
    bool m_indexBox = false;
};

}  // namespace nms
