#include "pages/receiver/gateway_logic.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "devices/byte_io.h"
#include "pagebase/field_table.h"
#include "pagebase/text_conversion.h"
#include "pages/receiver/tuner_records.h"

namespace nms {
namespace {

bool ParsePort(const std::string& text, uint32_t* value) {
    if (text.empty() || text.size() > 5 || !IsDecimalText(text))
        return false;
    *value = uint32_t(std::strtoul(text.c_str(), nullptr, 10));
    return *value <= 65535;
}

IpBytes IpAt(const std::vector<uint8_t>& b, size_t at) {
    return {b[at], b[at + 1], b[at + 2], b[at + 3]};
}
void PutIp(std::vector<uint8_t>& b, size_t at, const IpBytes& a) {
    std::copy(a.begin(), a.end(), b.begin() + long(at));
}

// The MAC text: 1 to 17 characters, and twelve hexadecimal digits once ':' and '-' are taken out.
bool TakeMac(const std::string& text, uint8_t* mac) {
    return !text.empty() && text.size() <= 17 && ParseMacText(text, mac);
}

}  // namespace

bool ParseDottedText(const std::string& text, IpBytes* address) {
    IpBytes a{};
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        size_t end = at;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end == at || end - at > 3)
            return false;
        const int v = std::atoi(text.substr(at, end - at).c_str());
        if (v > 255)
            return false;
        a[size_t(part)] = uint8_t(v);
        if (part < 3) {
            if (end >= text.size() || text[end] != '.')
                return false;
            at = end + 1;
        } else if (end != text.size()) {
            return false;
        }
    }
    *address = a;
    return true;
}

std::string DottedText(const IpBytes& a) {
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
    return text;
}

std::string KbpsText(uint32_t kbps) {
    char text[24];
    std::snprintf(text, sizeof text, "%u.%03u", kbps / 1000, kbps % 1000);
    return text;
}

bool GatewayBlockLogic::ReadReply(const ReplyView& reply) {
    if (!reply.Bytes(int(m_replyOffset), int(m_block.size()), m_block.data()))
        return false;
    m_read = true;
    return true;
}

PageStep GatewayBlockLogic::HandleReply(const ReplyView& reply) {
    return m_wait.ReadOrWrite(reply, kCmdGatewayRead, kCmdGatewayWrite, PageStep::kRefreshAll, true,
                              [&] { return ReadReply(reply); });
}

// ---- IP-ASI gateway ----

void IpAsiGatewayLogic::RestartRates() {
    m_rateSeen = false;
    m_rates[0].max = m_rates[0].min = "0";
}

void IpAsiGatewayLogic::TakeStatus(const IpAsiGatewayStatus& s) {
    TrackRate(s.asiToIp, m_rateSeen, &m_rates[0]);
    TrackRate(s.ipToAsi, m_rateSeen, &m_rates[1]);
    m_rateSeen = true;
}

IpAsiGatewayForm IpAsiGatewayLogic::Form() const {
    const ByteReader r(m_block);
    IpAsiGatewayForm f;
    f.destination = IpAt(m_block, 0);
    f.destinationPort = std::to_string(r.U16LEOr(4));
    f.outputEnable = m_block[6] != 0;
    f.input = IpAt(m_block, 7);
    f.inputPort = std::to_string(r.U16LEOr(11));
    f.inputEnable = m_block[13] != 0;
    f.local = IpAt(m_block, 14);
    // A text that is no address shows as 255.255.255.255.
    if (!ParseDottedText(r.Text(18, 32), &f.gateway))
        f.gateway = {255, 255, 255, 255};
    if (!ParseDottedText(r.Text(50, 32), &f.mask))
        f.mask = {255, 255, 255, 255};
    f.mac = FormatMacDashes(m_block.data() + 82);
    f.sourcePort = std::to_string(r.U16LEOr(88));
    f.mode = m_block[90];
    f.protocol = m_block[91];
    f.input2Port = std::to_string(r.U16LEOr(95));
    f.input2 = IpAt(m_block, 98);
    return f;
}

std::string IpAsiGatewayLogic::Store(const IpAsiGatewayForm& f) {
    uint32_t destination = 0, input = 0, input2 = 0, source = 0;
    if (!ParsePort(f.destinationPort, &destination))
        return kGatewayPortMessage;
    uint8_t mac[6];
    if (!TakeMac(f.mac, mac))
        return kGatewayMacMessage;
    if (!ParsePort(f.inputPort, &input) || !ParsePort(f.input2Port, &input2) ||
        !ParsePort(f.sourcePort, &source))
        return IntegerRangeMessage(0, 65535);
    ByteWriter w(m_block);
    std::copy(mac, mac + 6, m_block.begin() + 82);
    PutIp(m_block, 0, f.destination);
    w.U16LE(4, uint16_t(destination));
    m_block[6] = f.outputEnable ? 1 : 0;
    PutIp(m_block, 7, f.input);
    w.U16LE(11, uint16_t(input));
    m_block[13] = f.inputEnable ? 1 : 0;
    PutIp(m_block, 14, f.local);
    w.U16LE(88, uint16_t(source));
    w.U16LE(95, uint16_t(input2));
    PutIp(m_block, 98, f.input2);
    // The dotted texts end with their NUL; the rest of each 32-byte field keeps what it held.
    for (auto [at, address] : {std::pair<size_t, IpBytes>{18, f.gateway}, {50, f.mask}}) {
        const std::string text = DottedText(address);
        std::copy(text.begin(), text.end(), m_block.begin() + long(at));
        m_block[at + text.size()] = 0;
    }
    if (InputOnly()) {
        if (f.mode >= 0)
            m_block[90] = uint8_t(f.mode);
        if (f.protocol >= 0)
            m_block[91] = uint8_t(f.protocol);
    }
    return {};
}

bool ReadIpAsiGatewayStatus(const ReplyView& reply, IpAsiGatewayStatus* s) {
    uint8_t flags = 0;
    uint32_t a = 0, b = 0;
    if (!reply.U8(0, &flags) || !reply.U32LE(1, &a) || !reply.U32LE(5, &b))
        return false;
    *s = {bool(flags & 1), bool(flags & 2), a, b};
    return true;
}

void TrackRate(uint32_t kbps, bool seen, GatewayRates* rates) {
    rates->current = KbpsText(kbps);
    const int64_t value = kbps;
    if (!seen || value > ParseThousandths(rates->max))
        rates->max = rates->current;
    if (!seen || value < ParseThousandths(rates->min))
        rates->min = rates->current;
}

// ---- Eight-channel ASI-to-IP gateway ----

Asi2IpForm Asi2IpLogic::Form() const {
    const ByteReader r(m_block);
    Asi2IpForm f;
    for (int k = 0; k < kAsi2IpChannels; ++k) {
        const size_t at = size_t(k) * kAsi2IpRecordSize;
        f.rows[size_t(k)] = {IpAt(m_block, at), std::to_string(r.U16LEOr(at + 4)), m_block[at + 6] != 0};
    }
    f.local = IpAt(m_block, 14);
    f.sourcePort = std::to_string(r.U16LEOr(18));
    f.mac = FormatMacDashes(m_block.data() + 20);
    f.gateway = IpAt(m_block, 26);
    f.mask = IpAt(m_block, 30);
    return f;
}

std::string Asi2IpLogic::Store(const Asi2IpForm& f) {
    uint8_t mac[6];
    if (!TakeMac(f.mac, mac))
        return kGatewayMacMessage;
    std::array<uint32_t, kAsi2IpChannels> ports{};
    uint32_t source = 0;
    for (int k = 0; k < kAsi2IpChannels; ++k)
        if (!ParsePort(f.rows[size_t(k)].port, &ports[size_t(k)]))
            return kGatewayPortMessage;
    // The source port fits its 16 bits too, instead of 65536 going out as 0.
    if (!ParsePort(f.sourcePort, &source))
        return kGatewayPortMessage;
    ByteWriter w(m_block);
    std::copy(mac, mac + 6, m_block.begin() + 20);
    for (int k = 0; k < kAsi2IpChannels; ++k) {
        const size_t at = size_t(k) * kAsi2IpRecordSize;
        PutIp(m_block, at, f.rows[size_t(k)].ip);
        w.U16LE(at + 4, uint16_t(ports[size_t(k)]));
        m_block[at + 6] = f.rows[size_t(k)].enable ? 1 : 0;
    }
    PutIp(m_block, 14, f.local);
    PutIp(m_block, 26, f.gateway);
    PutIp(m_block, 30, f.mask);
    w.U16LE(18, uint16_t(source));
    return {};
}

std::vector<uint8_t> Asi2IpLogic::WritePayload() const {
    std::vector<uint8_t> payload = {0};
    payload.insert(payload.end(), m_block.begin(), m_block.end());
    return payload;
}

bool ReadAsi2IpStatus(const ReplyView& reply, Asi2IpStatus* s) {
    Asi2IpStatus out;
    if (!reply.U8(0, &out.locks))
        return false;
    for (int k = 0; k < kAsi2IpChannels; ++k) {
        uint32_t kbps = 0;
        if (!reply.U32LE(1 + 4 * k, &kbps))
            return false;
        out.rates[size_t(k)] = KbpsText(kbps);
    }
    *s = out;
    return true;
}

}  // namespace nms
