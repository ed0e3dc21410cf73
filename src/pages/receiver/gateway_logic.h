// The IP-ASI gateway's configuration block (102 bytes) and the eight-channel ASI-to-IP gateway's channel
// records (8 x 124 bytes), the forms they show and take back with their checks, and the gateways' status
// replies. Plain logic: the pages lay out the controls.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"

namespace nms {

constexpr int kIpAsiGatewayBlockSize = 102;  // IpAsiGatewayBlock
constexpr int kAsi2IpRecordSize = 124;       // Asi2IpChannelRecord
constexpr int kAsi2IpChannels = 8;
constexpr int kAsi2IpBlockSize = kAsi2IpRecordSize * kAsi2IpChannels;  // 992
constexpr int kGatewayPollMs = 1500;
constexpr const char* kGatewayPortMessage = "Port range should be between 0-65535!";
constexpr const char* kGatewayMacMessage = "MAC error,please input correct MAC address!";

using IpBytes = std::array<uint8_t, 4>;

// "a.b.c.d" without leading zeros, each part 0-255; false otherwise.
bool ParseDottedText(const std::string& text, IpBytes* address);
std::string DottedText(const IpBytes& address);
// "%d.%03d" of kbit/s.
std::string KbpsText(uint32_t kbps);

// ---- IP-ASI gateway ----

struct IpAsiGatewayForm {
    IpBytes destination{}, input{}, local{}, gateway{}, mask{}, input2{};
    std::string destinationPort, inputPort, input2Port, sourcePort, mac;
    bool outputEnable = true, inputEnable = true;
    int mode = -1, protocol = -1;  // list selections, -1: none
};

class IpAsiGatewayLogic {
public:
    bool HasRead() const { return m_read; }
    // A 0x58 reply: false (nothing changes) when shorter than the block.
    bool ReadReply(const ReplyView& reply);
    IpAsiGatewayForm Form() const;
    // The form into the block: the message of the first value that does not fit (nothing stored), or empty.
    std::string Store(const IpAsiGatewayForm& form);
    const std::vector<uint8_t>& Block() const { return m_block; }
    bool InputOnly() const { return m_block[94] == 1; }
    bool SecondInput() const { return m_block[97] == 1; }

private:
    std::vector<uint8_t> m_block = std::vector<uint8_t>(kIpAsiGatewayBlockSize, 0);
    bool m_read = false;
};

// The status of both directions with the highest and lowest rate seen since the last Get.
struct GatewayRates {
    std::string current, max = "0", min = "0";
};
struct IpAsiGatewayStatus {
    bool asiToIpLock = false, ipToAsiLock = false;
    uint32_t asiToIp = 0, ipToAsi = 0;
};
bool ReadIpAsiGatewayStatus(const ReplyView& reply, IpAsiGatewayStatus* status);
// Updates the texts with a rate; seen: a rate arrived since the last Get (else MAX and MIN restart).
void TrackRate(uint32_t kbps, bool seen, GatewayRates* rates);

// ---- Eight-channel ASI-to-IP gateway ----

struct Asi2IpRow {
    IpBytes ip{};
    std::string port;
    bool enable = false;
};
struct Asi2IpForm {
    std::array<Asi2IpRow, kAsi2IpChannels> rows{};
    IpBytes local{}, gateway{}, mask{};
    std::string sourcePort, mac;
};

class Asi2IpLogic {
public:
    bool HasRead() const { return m_read; }
    // A 0x58 reply (a byte, then the eight records): false when shorter.
    bool ReadReply(const ReplyView& reply);
    Asi2IpForm Form() const;
    std::string Store(const Asi2IpForm& form);
    // The 0x59 payload: 0, then the records.
    std::vector<uint8_t> BuildSet() const;
    const std::vector<uint8_t>& Block() const { return m_block; }

private:
    std::vector<uint8_t> m_block = std::vector<uint8_t>(kAsi2IpBlockSize, 0);
    bool m_read = false;
};

struct Asi2IpStatus {
    uint8_t locks = 0;
    std::array<std::string, kAsi2IpChannels> rates{};
};
bool ReadAsi2IpStatus(const ReplyView& reply, Asi2IpStatus* status);

}  // namespace nms
