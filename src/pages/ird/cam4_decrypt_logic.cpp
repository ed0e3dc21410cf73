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

}  // namespace

Cam4DecryptLogic::Cam4DecryptLogic() : m_input(kCamInputSize) {}

PageStep Cam4DecryptLogic::ContinueShown() {
    PageStep step = Read(m_channel);
    step.wait = PageStep::Wait::kRestart;
    return step;
}

PageStep Cam4DecryptLogic::Parse(int channel, bool index) {
    return ParseRequest(channel, index ? 0x80 : 0);
}

PageStep Cam4DecryptLogic::Read(int channel) {
    m_channel = ValidChannel(channel);
    m_counts[size_t(m_channel)] = 0;
    return StartProgramRead(PageStep::Wait::kBegin);
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
    CamProgramEntry& edited = m_programs[size_t(m_channel)][size_t(index)];
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
                const CamProgramEntry& other = m_programs[size_t(c)][size_t(i)];
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

PageStep Cam4DecryptLogic::ChannelReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    switch (reply.Command()) {
        case kCmdCam4Send:
            return EndWait(PageStep::kRefreshNone);
        case kCmdCamParse: {
            uint8_t channel = 0, count = 0;
            if (!r.U8(1, &channel) || !r.U8(2, &count))
                return {};
            if (channel < kCamChannels)
                m_counts[channel] = UsableCount(count);
            if (NoInput(count))
                return NoInputEnd(kRefreshPrograms);
            PageStep step = Read(m_channel);
            step.wait = PageStep::Wait::kRestart;
            return step;
        }
        case kCmdCamProgram: {
            uint8_t channel = 0, index = 0, count = 0;
            if (!r.U8(0, &channel) || !r.U8(1, &index) || !r.U8(2, &count) || channel >= kCamChannels)
                return {};
            if (!TakeProgramReply(reply))
                return {};
            m_indexBox = !((reply.C() >> (m_channel + 2)) & 1);
            m_feature = reply.B();
            const int usable = UsableCount(count);
            m_counts[channel] = usable;
            if (index < usable && r.Has(3, kCamProgramEntrySize))
                r.Bytes(3, kCamProgramEntrySize, m_programs[channel][index].bytes.data());
            return NextProgram(usable);
        }
        default:
            return {};
    }
}

}  // namespace nms
