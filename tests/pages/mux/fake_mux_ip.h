// A device behind the IP multiplexer page for tests: channel tables of multi-output records, the output
// settings, and the answers to the page's commands.
#pragma once

#include <cstring>
#include <map>
#include <vector>

#include "pages/mux/mux_ip_logic.h"

namespace nms {

struct FakeMuxIp {
    using Bytes = std::vector<uint8_t>;
    std::map<int, std::vector<MultiOutputProgramRecord>> channels;
    std::map<int, uint8_t> states;  // 0x20 state per channel (default 1: stream present)
    MuxOutputSettings settings;
    int moduleCount = -1;   // >= 0: appended to the settings reply
    uint8_t b = 1;          // the reply's header byte 2
    bool channel2 = false;  // the multi-output channel page's forms of 0x20, 0x22 and 0x23

    static MultiOutputProgramRecord Program(const char* name, uint16_t sid, uint8_t bits = 0) {
        MultiOutputProgramRecord r;
        std::memcpy(r.Data() + MultiOutputProgramRecord::kInputNameOffset, name, std::strlen(name));
        r.bytes[65] = static_cast<uint8_t>(sid);
        r.bytes[66] = static_cast<uint8_t>(sid >> 8);
        r.SetOutputServiceId(sid);
        r.SetOutputPmtPid(0x100);
        r.SetOutputPcrPid(0x101);
        r.SetElementCount(1);
        r.bytes[MultiOutputProgramRecord::ElementOffset(0)] = 0x02;
        r.SetElementOutputPid(0, 0x102);
        r.SetOutputBits(bits);
        return r;
    }

    Bytes Answer(int command, const Bytes& p) {
        const int ch = p.empty() ? 0 : p[0];
        const int idx = p.size() > 1 ? p[1] : 0;
        switch (command) {
            case kCmdIpAnalyse:
                if (channel2)
                    return {static_cast<uint8_t>(ch), static_cast<uint8_t>(channels[ch].size())};
                return {static_cast<uint8_t>(ch), 0, 0, states.count(ch) ? states[ch] : uint8_t{1}};
            case kCmdIpReadProgram: {
                const auto& list = channels[ch];
                Bytes r = {static_cast<uint8_t>(ch), static_cast<uint8_t>(idx),
                           static_cast<uint8_t>(list.size())};
                if (idx < static_cast<int>(list.size()))
                    r.insert(r.end(), list[idx].bytes.begin(), list[idx].bytes.end());
                return r;
            }
            case kCmdIpRoute: {
                auto& list = channels[ch];
                uint8_t mask = 0;
                if (idx < static_cast<int>(list.size())) {
                    if (channel2 && p.size() == 3)
                        list[idx].SetOutputBits(p[2] ? list[idx].OutputBits() | p[2] : 0);
                    else if (p.size() == 4)
                        list[idx].SetOutputBits(list[idx].OutputBits() | p[2]);
                    else
                        list[idx].SetOutputBits(0);
                    mask = list[idx].OutputBits();
                }
                return {static_cast<uint8_t>(ch), static_cast<uint8_t>(idx), mask};
            }
            case kCmdIpModify: {
                const size_t head = channel2 ? 2 : 3;
                if (p.size() == head + MultiOutputProgramRecord::kSize &&
                    idx < static_cast<int>(channels[ch].size()))
                    std::memcpy(channels[ch][idx].Data(), p.data() + head, MultiOutputProgramRecord::kSize);
                return {static_cast<uint8_t>(ch), static_cast<uint8_t>(idx)};
            }
            case kCmdIpOutputSettings: {
                Bytes r(16, 0);
                r.insert(r.end(), settings.bytes.begin(), settings.bytes.end());
                if (moduleCount >= 0)
                    r.push_back(static_cast<uint8_t>(moduleCount));
                return r;
            }
            default:
                return {};
        }
    }
};

}  // namespace nms
