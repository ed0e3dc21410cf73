// A scripted multiplexer for the input channel page's tests: answers each request the way the device does.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "pages/mux/mux_channel_logic.h"

namespace nms {

using Bytes = std::vector<uint8_t>;

// A scripted multiplexer: answers each request of the page from its channels the way the device does.
struct FakeMux {
    int pageParam = 0;
    uint8_t b = 1;  // 16: 16 channels, 2: IP output present
    uint8_t c = 1;  // IP output mode
    // Programs by channel (1-based); record bytes of the page's record size.
    std::map<int, std::vector<Bytes>> programs;
    std::map<int, Bytes> caEntries;  // channel -> {u16 system, u16 pid}...
    int recordSize() const { return pageParam == 86 ? 379 : 263; }

    Bytes Record(int ch, int idx) const {
        auto it = programs.find(ch);
        if (it == programs.end() || idx < 1 || idx > static_cast<int>(it->second.size()))
            return {};
        return it->second[idx - 1];
    }
    int Count(int ch) const {
        auto it = programs.find(ch);
        return it == programs.end() ? 0 : static_cast<int>(it->second.size());
    }

    Bytes Answer(int cmd, const Bytes& q) const {
        Bytes a;
        switch (cmd) {
            case kCmdAnalyseInput:
                return {q[0], static_cast<uint8_t>(Count(q[0]))};
            case kCmdChannelCaInfo: {
                a = {q[0], 0};
                auto it = caEntries.find(q[0]);
                if (it != caEntries.end()) {
                    a[1] = static_cast<uint8_t>(it->second.size() / 4);
                    a.insert(a.end(), it->second.begin(), it->second.end());
                }
                return a;
            }
            case kCmdReadInputProgram:
            case kCmdReadOutputProgram: {
                a = {q[0], q[1], static_cast<uint8_t>(Count(q[0]))};
                if (cmd == kCmdReadOutputProgram && pageParam == 1)
                    a.push_back(q[2]);
                Bytes rec = Record(q[0], q[1]);
                if (cmd == kCmdReadOutputProgram && pageParam == 1 && !rec.empty())
                    rec[0] = q[2] == 2 ? 0 : rec[0];
                a.insert(a.end(), rec.begin(), rec.end());
                return a;
            }
            case kCmdSelectIntoOutput: {
                a = {q[0], q[1]};
                if (pageParam == 1)
                    a.push_back(q[2]);
                Bytes rec = Record(q[0], q[1]);
                if (!rec.empty())
                    rec[0] = 1;
                a.insert(a.end(), rec.begin(), rec.end());
                return a;
            }
            case kCmdRemoveFromOutput:
                a = {q[0], q[1]};
                if (pageParam == 1)
                    a.push_back(q[2]);
                return a;
            case kCmdModifyOutputProgram:
                return {q[0], q[1]};
        }
        return a;
    }
};

inline Bytes MakeRecord(int size, const std::string& name, bool inOutput, int elements = 1,
                        uint16_t sid = 1) {
    Bytes r(size, 0);
    r[0] = inOutput ? 1 : 0;
    for (size_t i = 0; i < name.size(); ++i)
        r[1 + i] = static_cast<uint8_t>(name[i]);
    ByteWriter(r).U16LE(65, sid);
    ByteWriter(r).U16LE(67, sid);
    ByteWriter(r).U16LE(69, 0x100);
    ByteWriter(r).U16LE(71, 0x100);
    r[77] = static_cast<uint8_t>(elements);
    for (int i = 0; i < elements && i < 32; ++i) {
        r[78 + 5 * i] = 0x02;
        ByteWriter(r).U16LE(79 + 5 * i, 0x200 + i);
        ByteWriter(r).U16LE(81 + 5 * i, 0x200 + i);
    }
    return r;
}

}  // namespace nms
