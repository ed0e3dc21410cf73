#include "mux_device_sim.h"

namespace nms::test {
namespace {

void PutU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

}  // namespace

MuxSimPrograms::MuxSimPrograms(int pageParam, bool demo) : m_pageParam(pageParam) {
    if (!demo)
        return;
    AddProgram(1, MakeProgram("NEWS-1", 101, 0x100, {{0x02, 0x101}, {0x03, 0x102}}), true);
    AddProgram(1, MakeProgram("NEWS-2", 102, 0x110, {{0x02, 0x111}, {0x03, 0x112}}));
    AddProgram(1, MakeProgram("News 24", 103, 0x120, {{0x1B, 0x121}, {0x0F, 0x122}, {0x81, 0x123}}));
    AddProgram(3, MakeProgram("Sport HD", 301, 0x300, {{0x1B, 0x301}, {0x06, 0x302}}));
    SetChannelCa(1, {{0x4AE1, 0x1FF0}});
    if (m_pageParam != 86) {
        Bytes& first = m_channels[1][0].record;
        first[238] = 1;  // one CA entry
        PutU16(&first[239], 0x4AE1);
        PutU16(&first[247], 0x1FF0);
        PutU16(&first[255], 0x1FF0);
    }
}

MuxSimPrograms::Bytes MuxSimPrograms::MakeProgram(
    const std::string& name, uint16_t serviceId, uint16_t pmtPid,
    const std::vector<std::pair<uint8_t, uint16_t>>& elements) const {
    Bytes r(size_t(RecordSize()), 0);
    for (size_t i = 0; i < name.size() && i < 31; ++i)
        r[1 + i] = uint8_t(name[i]);
    PutU16(&r[65], serviceId);
    PutU16(&r[67], serviceId);
    PutU16(&r[69], pmtPid);
    PutU16(&r[71], pmtPid);
    const uint16_t pcr = elements.empty() ? pmtPid : elements.front().second;
    PutU16(&r[73], pcr);
    PutU16(&r[75], pcr);
    r[77] = uint8_t(elements.size());
    for (size_t i = 0; i < elements.size() && i < 32; ++i) {
        r[78 + 5 * i] = elements[i].first;
        PutU16(&r[79 + 5 * i], elements[i].second);
        PutU16(&r[81 + 5 * i], elements[i].second);
    }
    if (m_pageParam == 86) {
        for (size_t i = 0; i < elements.size(); ++i) {
            const uint8_t t = elements[i].first;
            if (t == 0x02 || t == 0x1B) {
                r[238] = t == 0x02 ? 3 : 0;  // MPEG2-to-MPEG2-PAL, H.264-to-H.264
                break;
            }
        }
        for (size_t i = 0; i < elements.size(); ++i) {
            const uint8_t t = elements[i].first;
            if (t == 0x03 || t == 0x04 || t == 0x06 || t == 0x0F || t == 0x81) {
                r[244] = 1;  // pass
                r[245] = uint8_t(i);
                break;
            }
        }
        PutU16(&r[242], 4000);  // video bitrate
        PutU16(&r[246], 192);   // audio bitrate
        r[252] = 1;             // channel
    }
    return r;
}

void MuxSimPrograms::AddProgram(int channel, Bytes record, bool routed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    record.resize(size_t(RecordSize()));
    m_channels[channel].push_back({std::move(record), uint8_t(routed ? 1 : 0)});
}

void MuxSimPrograms::SetChannelCa(int channel, std::vector<std::pair<uint16_t, uint16_t>> entries) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Bytes ca;
    for (const auto& e : entries) {
        ca.resize(ca.size() + 4);
        PutU16(&ca[ca.size() - 4], e.first);
        PutU16(&ca[ca.size() - 2], e.second);
    }
    m_ca[channel] = ca;
}

MuxSimPrograms::Slot* MuxSimPrograms::Find(int channel, int index) {
    auto it = m_channels.find(channel);
    if (it == m_channels.end() || index < 1 || index > int(it->second.size()))
        return nullptr;
    return &it->second[size_t(index - 1)];
}

int MuxSimPrograms::Count(int channel) const {
    auto it = m_channels.find(channel);
    return it == m_channels.end() ? 0 : int(it->second.size());
}

MuxSimPrograms::Bytes MuxSimPrograms::Program(int channel, int index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto* p = const_cast<MuxSimPrograms*>(this)->Find(channel, index);
    return p ? p->record : Bytes();
}

bool MuxSimPrograms::Routed(int channel, int index, int output) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto* p = const_cast<MuxSimPrograms*>(this)->Find(channel, index);
    return p && (p->outputs & (1 << (output - 1)));
}

std::optional<MuxSimPrograms::Reply> MuxSimPrograms::Handle(uint8_t command, uint8_t, uint8_t,
                                                            const Bytes& q) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool twoOutputs = m_pageParam == 1;
    Reply reply;
    Bytes& a = reply.payload;
    auto withRecord = [&](const Slot* p, uint8_t flag) {
        if (!p)
            return;
        a.insert(a.end(), p->record.begin(), p->record.end());
        a[a.size() - size_t(RecordSize())] = flag;
    };
    auto output = [&](size_t at) { return twoOutputs && q.size() > at && q[at] == 2 ? 2 : 1; };
    switch (command) {
        case 0x20:
            if (q.empty())
                return std::nullopt;
            a = {q[0], uint8_t(Count(q[0]))};
            return reply;
        case 0x24: {
            if (q.empty())
                return std::nullopt;
            const Bytes& ca = m_ca[q[0]];
            a = {q[0], uint8_t(ca.size() / 4)};
            a.insert(a.end(), ca.begin(), ca.end());
            return reply;
        }
        case 0x21:
        case 0x22: {
            if (q.size() < 2)
                return std::nullopt;
            a = {q[0], q[1], uint8_t(Count(q[0]))};
            const int out = output(2);
            if (command == 0x22) {
                reply.b = headerB;
                reply.c = headerC;
                if (twoOutputs)
                    a.push_back(uint8_t(out));
            }
            const Slot* p = Find(q[0], q[1]);
            withRecord(p, command == 0x22 && p && (p->outputs & (1 << (out - 1))) ? 1 : 0);
            return reply;
        }
        case 0x25: {
            if (q.size() < 2)
                return std::nullopt;
            const int out = output(2);
            a = {q[0], q[1]};
            if (twoOutputs)
                a.push_back(uint8_t(out));
            if (Slot* p = Find(q[0], q[1])) {
                p->outputs |= uint8_t(1 << (out - 1));
                withRecord(p, 1);
            }
            return reply;
        }
        case 0x26: {
            if (q.size() < 2)
                return std::nullopt;
            const int out = output(2);
            if (Slot* p = Find(q[0], q[1]))
                p->outputs &= uint8_t(~(1 << (out - 1)));
            a = {q[0], q[1]};
            if (twoOutputs)
                a.push_back(uint8_t(out));
            return reply;
        }
        case 0x23: {
            const size_t head = twoOutputs ? 3 : 2;
            if (q.size() < head + size_t(RecordSize()))
                return std::nullopt;
            if (Slot* p = Find(q[0], q[1])) {
                std::copy(q.begin() + long(head), q.begin() + long(head) + RecordSize(), p->record.begin());
                ++modifications;
            }
            a = {q[0], q[1]};
            return reply;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace nms::test
