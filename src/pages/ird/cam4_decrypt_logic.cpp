#include "pages/ird/cam4_decrypt_logic.h"

#include <cstdio>

#include "devices/byte_io.h"

namespace nms {
namespace {

// A count as the page uses it: at most its 32 slots; 255 (no input) holds none.
int UsableCount(int count) {
    if (count == 0xff)
        return 0;
    return count < kCam4Programs ? count : kCam4Programs;
}

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xc0 | c >> 6);
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xe0 | c >> 12);
        out += char(0x80 | ((c >> 6) & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

}  // namespace

const char* Cam4StatusText(uint8_t status) {
    return status == kCam4Cam ? "CAM" : status == kCam4Delete ? "Delete" : "Bypass";
}

std::string Cam4Program::Name(bool* utf8) const {
    if (bytes[1] == 0x11) {
        // UTF-16 big-endian in bytes 2..32, up to a 16-bit NUL; lone surrogates become '?'.
        std::string out;
        for (size_t i = 2; i + 1 <= 32; i += 2) {
            const uint32_t c = uint32_t(bytes[i] << 8 | bytes[i + 1]);
            if (c == 0)
                break;
            AppendUtf8(out, c >= 0xd800 && c <= 0xdfff ? '?' : c);
        }
        *utf8 = true;
        return out;
    }
    *utf8 = false;
    return ByteReader(bytes.data(), bytes.size()).Text(1, 32);
}

Cam4DecryptLogic::Cam4DecryptLogic() : m_input(kCamInputSize) {}

ParamBlock& Cam4DecryptLogic::InputRecord() {
    return m_input;
}

PageStep Cam4DecryptLogic::Parse(int channel, bool index) {
    Select(channel);
    return Request(kCmdCam4Parse, {uint8_t(index ? 0x80 : 0), uint8_t(m_channel)},
                   PageStep::Wait::kBeginLong);
}

PageStep Cam4DecryptLogic::Read(int channel) {
    m_channel = ValidChannel(channel);
    m_counter = 0;
    m_counts[size_t(m_channel)] = 0;
    PageStep step = Request(kCmdCam4Program, {uint8_t(m_channel), 0}, PageStep::Wait::kBegin);
    step.refresh = kRefreshPrograms;
    return step;
}

PageStep Cam4DecryptLogic::Send(int channel) {
    m_channel = ValidChannel(channel);
    const int n = m_counts[size_t(m_channel)];
    const auto& programs = m_programs[size_t(m_channel)];
    std::vector<uint8_t> payload = {uint8_t(m_channel), uint8_t(n)};
    for (int i = 0; i < n; ++i)
        payload.push_back(programs[size_t(i)].bytes[0]);
    if (IpIndexFeature()) {
        payload.push_back(0x81);
        payload.push_back(uint8_t(n));
        for (int i = 0; i < n; ++i)
            payload.push_back(programs[size_t(i)].bytes[50]);
    }
    if (FilterFeature()) {
        payload.push_back(0x82);
        payload.push_back(uint8_t(2 * n));
        for (int i = 0; i < n; ++i) {
            payload.push_back(programs[size_t(i)].bytes[48]);
            payload.push_back(programs[size_t(i)].bytes[49]);
        }
    }
    return Request(kCmdCam4Send, std::move(payload), PageStep::Wait::kBegin);
}

void Cam4DecryptLogic::SetStatus(int index, uint8_t status) {
    if (index >= 0 && index < m_counts[size_t(m_channel)] && status <= kCam4Delete)
        m_programs[size_t(m_channel)][size_t(index)].bytes[0] = status;
}

std::vector<std::string> Cam4DecryptLogic::SetIpIndex(int index, int ipIndex, uint16_t filterMask) {
    std::vector<std::string> warnings;
    if (index < 0 || index >= m_counts[size_t(m_channel)])
        return warnings;
    Cam4Program& edited = m_programs[size_t(m_channel)][size_t(index)];
    if (IpIndexFeature() && ipIndex >= 0 && ipIndex <= kCam4MaxIpIndex) {
        edited.bytes[50] = uint8_t(ipIndex);
        if (ipIndex == 0)
            edited.bytes[0] = kCam4Delete;
        else if (edited.bytes[0] == kCam4Delete)
            edited.bytes[0] = kCam4Bypass;
        for (int c = 0; c < kCamChannels; ++c) {
            int live = 0;
            for (int i = 0; i < m_counts[size_t(c)]; ++i) {
                if (c == m_channel && i == index)
                    continue;
                const Cam4Program& other = m_programs[size_t(c)][size_t(i)];
                if (other.bytes[0] == kCam4Delete)
                    continue;
                ++live;
                if (other.bytes[50] != 0 && other.bytes[50] == ipIndex) {
                    char text[96];
                    std::snprintf(text, sizeof text, "IP Index:conflict with channel(%d) program(%d)", c + 1,
                                  i + 1);
                    warnings.push_back(text);
                }
            }
            if (live > 8) {
                char text[96];
                std::snprintf(text, sizeof text,
                              "Channel(%d) only support MAX (8) Multicast IP output,not (%d)", c + 1, live);
                warnings.push_back(text);
            }
        }
    }
    if (FilterFeature()) {
        // Streams beyond the program's count (and beyond 16) do not pass.
        const int streams = edited.Elements() < 16 ? edited.Elements() : 16;
        const uint16_t shown = uint16_t(streams >= 16 ? 0xffff : (1u << streams) - 1);
        const uint16_t mask = uint16_t(filterMask & shown);
        edited.bytes[48] = uint8_t(mask >> 8);
        edited.bytes[49] = uint8_t(mask);
    }
    return warnings;
}

PageStep Cam4DecryptLogic::HandleReply(const ReplyView& reply) {
    const int command = reply.Command();
    if (command != m_awaited)
        return {};
    const ByteReader r = reply.Reader();
    switch (command) {
        case kCmdCamReadInput: {
            CamInputReply input;
            if (!ParseCamInputReply(reply, &input) || input.channel != m_channel)
                return {};
            m_input.Bytes() = input.record;
            m_moduleType = input.moduleType;
            if (input.hasBitrate)
                m_bitrate = input.bitrate;
            if (m_chain) {
                m_chain = false;
                PageStep step = Read(m_channel);
                step.wait = PageStep::Wait::kRestart;
                step.refresh |= kRefreshInput;
                return step;
            }
            m_awaited = -1;
            return PageStep::End(kRefreshInput);
        }
        case kCmdCamWriteInput:
        case kCmdCam4Send:
            m_awaited = -1;
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdCam4Parse: {
            uint8_t channel = 0, count = 0;
            if (!r.U8(1, &channel) || !r.U8(2, &count))
                return {};
            if (channel < kCamChannels)
                m_counts[channel] = UsableCount(count);
            if (count == 0 || count == 0xff) {
                m_awaited = -1;
                return PageStep::End(kRefreshPrograms).WithMessage("No input!");
            }
            PageStep step = Read(m_channel);
            step.wait = PageStep::Wait::kRestart;
            return step;
        }
        case kCmdCam4Program: {
            uint8_t channel = 0, index = 0, count = 0;
            if (!r.U8(0, &channel) || !r.U8(1, &index) || !r.U8(2, &count) || channel >= kCamChannels)
                return {};
            // Only the program asked for moves the chain on: a repeated or unexpected one is ignored.
            if (index != m_counter)
                return {};
            m_indexBox = !((reply.C() >> (m_channel + 2)) & 1);
            m_feature = reply.B();
            const int usable = UsableCount(count);
            m_counts[channel] = usable;
            if (index < usable && r.Has(3, kCam4EntrySize))
                r.Bytes(3, kCam4EntrySize, m_programs[channel][index].bytes.data());
            ++m_counter;
            if (m_counter < usable)
                return Request(kCmdCam4Program, {uint8_t(m_channel), uint8_t(m_counter)},
                               PageStep::Wait::kNone);
            m_awaited = -1;
            return PageStep::End(kRefreshPrograms);
        }
        default:
            return {};
    }
}

}  // namespace nms
