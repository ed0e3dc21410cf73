#include "pages/mux/mux_misc_logic.h"

#include <climits>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr const char* kBitrateError = "Output bitrate error!";
constexpr const char* kIntegerError = "Please enter an integer.";
constexpr const char* kU16RangeError = "Please enter an integer between 0 and 65535.";
// The identifiers are typed in hexadecimal: their bounds are given so.
constexpr const char* kHex16RangeError = "Please enter an integer between 0 and FFFF.";
constexpr const char* kAddressError = "Please enter an integer between 0 and 255.";

std::string Hex(uint16_t v, bool padded) {
    char text[8];
    std::snprintf(text, sizeof text, padded ? "%04x" : "%x", unsigned(v));
    return text;
}

bool DigitsAndPoint(const std::string& text) {
    for (char c : text)
        if ((c < '0' || c > '9') && c != '.')
            return false;
    return true;
}

uint8_t FlagsOf(const MuxOutputForm& form) {
    uint8_t flags = 0;
    for (int t = 0; t < kTableCount; ++t)
        if (form.tables[t])
            flags |= uint8_t(1u << t);
    return flags;
}

void SetTables(MuxOutputForm& form, uint8_t flags) {
    for (int t = 0; t < kTableCount; ++t)
        form.tables[t] = (flags >> t) & 1;
}

}  // namespace

std::string FormatMbps(uint32_t kbps, bool padded) {
    char text[24];
    std::snprintf(text, sizeof text, padded ? "%03u.%03u" : "%u.%03u", kbps / 1000, kbps % 1000);
    return text;
}

bool ParseBitrateText(const std::string& text, uint32_t* kbps) {
    const int32_t value = ParseThousandths(text);
    // A saturated value did not fit: refuse it rather than send a cut one.
    if (value < 0 || value == INT32_MAX)
        return false;
    *kbps = uint32_t(value);
    return true;
}

bool ParseHex16(const std::string& text, uint16_t* value) {
    if (!IsHexText(text))
        return false;
    size_t first = text.find_first_not_of('0');
    if (first != std::string::npos && text.size() - first > 4)
        return false;
    *value = uint16_t(HexTextToUInt32(first == std::string::npos ? "" : text.substr(first)));
    return true;
}

bool ParseUnsignedText(const std::string& text, uint32_t max, uint32_t* value) {
    if (text.empty())
        return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + uint64_t(c - '0');
        if (v > max)
            return false;
    }
    *value = uint32_t(v);
    return true;
}

bool ParseAddressText(const std::string& text, uint8_t address[4]) {
    uint8_t parts[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t dot = text.find('.', start);
        if ((i < 3) == (dot == std::string::npos))
            return false;
        const std::string part = text.substr(start, i < 3 ? dot - start : std::string::npos);
        uint32_t v = 0;
        if (part.size() > 3 || !ParseUnsignedText(part, 255, &v))
            return false;
        parts[i] = uint8_t(v);
        start = dot + 1;
    }
    for (int i = 0; i < 4; ++i)
        address[i] = parts[i];
    return true;
}

MuxMiscLogic::MuxMiscLogic(int pageParam) : m_pageParam(pageParam) {}

int MuxMiscLogic::ShownOutputs() const {
    if (m_pageParam == 20)
        return 4;
    if (m_pageParam == 1 || m_pageParam == 39)
        return 2;
    return 1;
}

PageStep MuxMiscLogic::Ask(uint8_t command, std::vector<uint8_t> payload) {
    PageStep step;
    step.command = command;
    step.payload = std::move(payload);
    step.wait = PageStep::Wait::kBeginShort;
    m_awaited.Expect(command);
    return step;
}

PageStep MuxMiscLogic::Shown() {
    if (IsBlockRecord())
        return Get(kAllOutputs);
    m_secondRead = false;
    return Get(kOutputA);
}

PageStep MuxMiscLogic::Get(Target target) {
    if (IsBlockRecord())
        return target == kAllOutputs ? Ask(kCmdGetOutputParams, {}) : PageStep{};
    if (target == kAllOutputs || (target == kOutputB && !IsTwoOutput()))
        return {};
    if (IsTranscoder())
        return Ask(kCmdGetOutputParams, {0, 0, 0, 0});
    if (IsTwoOutput())
        return Ask(kCmdGetOutputParams, {uint8_t(target == kOutputA ? 1 : 2)});
    return Ask(kCmdGetOutputParams, {});
}

std::string MuxMiscLogic::CollectCommon(int output, uint32_t* bitrate, uint16_t* tsId, uint16_t* netId,
                                        uint16_t* ipInsert) const {
    const MuxOutputForm& f = m_form[output];
    // Only the single-record variants check the characters of the bitrate; every variant refuses a value
    // that does not fit.
    const bool checkText = m_pageParam == 0 || m_pageParam == 1;
    if ((checkText && !DigitsAndPoint(f.bitrate)) || !ParseBitrateText(f.bitrate, bitrate))
        return kBitrateError;
    if (!ParseHex16(f.tsId, tsId) || !ParseHex16(f.netId, netId))
        return kHex16RangeError;
    uint32_t v = 0;
    if (!ParseUnsignedText(f.ipInsert, UINT32_MAX, &v))
        return kIntegerError;
    if (v > 0xFFFF)
        return kU16RangeError;
    *ipInsert = uint16_t(v);
    return {};
}

std::string MuxMiscLogic::CollectIp(int output, uint8_t address[4], uint16_t* port) const {
    const MuxOutputForm& f = m_form[output];
    uint32_t v = 0;
    if (!ParseUnsignedText(f.port, UINT32_MAX, &v))
        return kIntegerError;
    if (v > 0xFFFF)
        return kU16RangeError;
    *port = uint16_t(v);
    if (!ParseAddressText(f.address, address))
        return kAddressError;
    return {};
}

PageStep MuxMiscLogic::Set(Target target) {
    std::string refused;
    uint32_t bitrate = 0;
    uint16_t tsId = 0, netId = 0, ipInsert = 0;

    if (IsBlockRecord()) {
        if (target != kAllOutputs)
            return {};
        std::array<uint8_t, kMuxOutputRecordSize> record = m_record;
        for (int o = 0; o < kMuxOutputs; ++o) {
            refused = CollectCommon(o, &bitrate, &tsId, &netId, &ipInsert);
            if (!refused.empty())
                return PageStep::Message(refused);
            uint8_t* b = record.data() + o * kMuxOutputBlockSize;
            ByteWriter w(b, kMuxOutputBlockSize);
            w.U8(0, FlagsOf(m_form[o]));
            w.U16LE(1, tsId);
            w.U16LE(3, netId);
            w.U32LE(5, bitrate);
            w.U16LE(9, ipInsert);
            if (o == 0 && !HasIpOutputs())
                continue;
            uint8_t address[4];
            uint16_t port = 0;
            refused = CollectIp(o, address, &port);
            if (!refused.empty())
                return PageStep::Message(refused);
            // An enable byte the box still shows as read goes back as read.
            if (m_form[o].enable != (b[11] == 1))
                b[11] = m_form[o].enable ? 1 : 0;
            w.Bytes(12, address, 4);
            w.U16LE(16, port);
        }
        std::vector<uint8_t> payload{0};
        payload.insert(payload.end(), record.begin(), record.end());
        return Ask(kCmdSetOutputParams, std::move(payload));
    }

    if (target == kAllOutputs || (target == kOutputB && !IsTwoOutput()))
        return {};
    const int output = target == kOutputB ? 1 : 0;
    refused = CollectCommon(output, &bitrate, &tsId, &netId, &ipInsert);
    if (!refused.empty())
        return PageStep::Message(refused);

    if (IsTranscoder()) {
        std::array<uint8_t, kTranscoderOutputParamsSize> record = m_transcoder;
        ByteWriter w(record.data(), record.size());
        w.U16LE(0, tsId);
        w.U16LE(2, netId);
        w.U8(4, FlagsOf(m_form[0]));
        w.U32LE(5, bitrate);
        w.U16LE(9, ipInsert);
        std::vector<uint8_t> payload{0, 0, 0, 0};
        payload.insert(payload.end(), record.begin(), record.end());
        return Ask(kCmdSetOutputParams, std::move(payload));
    }

    std::array<uint8_t, kMuxOutputParamsSize> params{};
    ByteWriter w(params.data(), params.size());
    w.U32LE(0, bitrate);
    w.U16LE(4, tsId);
    w.U16LE(6, netId);
    w.U16LE(8, ipInsert);
    std::vector<uint8_t> payload;
    if (IsTwoOutput())
        payload.push_back(uint8_t(output + 1));
    payload.insert(payload.end(), params.begin(), params.end());
    if (!IsTwoOutput())
        payload.push_back(FlagsOf(m_form[0]));
    return Ask(kCmdSetOutputParams, std::move(payload));
}

PageStep MuxMiscLogic::Poll() const {
    return PageStep::Poll(kCmdOutputStatus);
}

void MuxMiscLogic::ShowParams(int output) {
    const ByteReader p(m_params[output].data(), m_params[output].size());
    MuxOutputForm& f = m_form[output];
    f.bitrate = FormatMbps(p.U32LEOr(0), false);
    f.tsId = Hex(p.U16LEOr(4), false);
    f.netId = Hex(p.U16LEOr(6), false);
    f.ipInsert = std::to_string(p.U16LEOr(8));
}

void MuxMiscLogic::ShowBlock(int output) {
    const ByteReader b =
        ByteReader(m_record.data(), m_record.size()).Sub(output * kMuxOutputBlockSize, kMuxOutputBlockSize);
    MuxOutputForm& f = m_form[output];
    SetTables(f, b.U8Or(0));
    f.tsId = Hex(b.U16LEOr(1), true);
    f.netId = Hex(b.U16LEOr(3), true);
    f.bitrate = FormatMbps(b.U32LEOr(5), true);
    f.ipInsert = std::to_string(b.U16LEOr(9));
    // Hidden IP controls hold the record's values too, so that Set sends them back as read.
    f.address = std::to_string(b.U8Or(12)) + "." + std::to_string(b.U8Or(13)) + "." +
                std::to_string(b.U8Or(14)) + "." + std::to_string(b.U8Or(15));
    f.port = std::to_string(b.U16LEOr(16));
    f.enable = b.U8Or(11) == 1;
}

PageStep MuxMiscLogic::OnGetReply(const ByteReader& r) {
    const uint8_t* p = r.Data();
    const int length = static_cast<int>(r.Size());
    PageStep step;
    step.refresh = PageStep::kRefreshAll;

    if (IsTranscoder()) {
        if (length < 4 + kTranscoderOutputParamsSize)
            return {};
        std::copy(p + 4, p + 4 + kTranscoderOutputParamsSize, m_transcoder.begin());
        MuxOutputForm& f = m_form[0];
        f.tsId = Hex(r.U16LEOr(4), false);
        f.netId = Hex(r.U16LEOr(6), false);
        SetTables(f, r.U8Or(8));
        f.bitrate = FormatMbps(r.U32LEOr(9), false);
        f.ipInsert = std::to_string(r.U16LEOr(13));
    } else if (IsTwoOutput()) {
        if (length < 1 + kMuxOutputParamsSize)
            return {};
        const int output = p[0] == 1 ? 0 : 1;
        std::copy(p + 1, p + 1 + kMuxOutputParamsSize, m_params[output].begin());
        ShowParams(output);
        if (!m_secondRead) {
            m_secondRead = true;
            PageStep next = Ask(kCmdGetOutputParams, {2});
            next.wait = PageStep::Wait::kNone;  // the wait goes on
            next.refresh = PageStep::kRefreshAll;
            return next;
        }
    } else if (IsBlockRecord()) {
        if (length < 1 + kMuxOutputRecordSize)
            return {};
        m_ipOutputs = p[0];
        std::copy(p + 1, p + 1 + kMuxOutputRecordSize, m_record.begin());
        for (int o = 0; o < kMuxOutputs; ++o)
            ShowBlock(o);
    } else {
        if (length < kMuxOutputParamsSize)
            return {};
        std::copy(p, p + kMuxOutputParamsSize, m_params[0].begin());
        ShowParams(0);
        if (length > kMuxOutputParamsSize)
            SetTables(m_form[0], p[kMuxOutputParamsSize]);
    }
    m_awaited.Clear();
    step.wait = PageStep::Wait::kEnd;
    return step;
}

PageStep MuxMiscLogic::OnStatus(const ByteReader& r) {
    PageStep step;
    const int outputs = m_pageParam == 39 ? 2 : kMuxOutputs;
    uint32_t kbps = 0;
    for (int o = 0; o < outputs && r.U32LE(1 + 4 * size_t(o), &kbps); ++o) {
        m_form[o].realtime = FormatMbps(kbps, false);
        step.refresh = kRefreshRealtime;
    }
    return step;
}

PageStep MuxMiscLogic::HandleReply(const ReplyView& reply) {
    switch (reply.Command()) {
        case kCmdGetOutputParams:
            return m_awaited.InTime(reply) ? OnGetReply(reply.Reader()) : PageStep{};
        case kCmdSetOutputParams:
            if (!m_awaited.InTime(reply))
                return {};
            {
                m_awaited.Clear();
                PageStep end;
                end.wait = PageStep::Wait::kEnd;
                return end;
            }
        case kCmdOutputStatus:
            return OnStatus(reply.Reader());
        default:
            return {};
    }
}

}  // namespace nms
