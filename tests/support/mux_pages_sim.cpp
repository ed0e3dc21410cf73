#include "mux_pages_sim.h"

#include <algorithm>
#include <string>

#include "devices/byte_io.h"
#include "devices/device_type_catalogue.h"

namespace nms::test {
namespace {

constexpr size_t kBitmapSize = 1024;
constexpr size_t kSegmentMax = 1024;
constexpr size_t kSegmentImageMax = 3608;
constexpr size_t kIpRecordSize = 283;
constexpr size_t kIpSettingsSize = 202;
constexpr size_t kBlockSize = 75;

void SetPid(MuxPagesSim::Bytes& bitmap, uint16_t pid) {
    pid &= 0x1FFF;
    bitmap[pid / 8] = uint8_t(bitmap[pid / 8] | (0x80 >> (pid % 8)));
}

MuxPagesSim::Bytes Bitmap(std::initializer_list<uint16_t> pids) {
    MuxPagesSim::Bytes b(kBitmapSize, 0);
    for (uint16_t p : pids)
        SetPid(b, p);
    return b;
}

// [count] + 5-byte entries {first byte, old PID BE, new PID BE}.
MuxPagesSim::Bytes MakeForwardTable(std::initializer_list<std::array<uint16_t, 3>> entries) {
    MuxPagesSim::Bytes t = {uint8_t(entries.size())};
    ByteAppender out(t);
    for (const auto& e : entries) {
        out.U8(uint8_t(e[0]));
        out.U16BE(e[1]);
        out.U16BE(e[2]);
    }
    return t;
}

}  // namespace

MuxPagesSim::Pages MuxPagesSim::PagesOf(uint16_t type) {
    Pages pages;
    const DeviceTypeInfo* info = FindDeviceTypeByCode(type);
    if (!info || !info->pages)
        return pages;
    for (int i = 0; i < info->pageCount; ++i) {
        const std::string cls = info->pages[i].pageClass;
        const int param = info->pages[i].pageParam;
        if (cls == "CMuxPidFilterView")
            pages.pidFilter = param;
        else if (cls == "CMuxPidForwardView")
            pages.pidForward = param;
        else if (cls == "CMuxPidForwardView1")
            pages.pidSegment = param;
        else if (cls == "CpidMonitor")
            pages.pidMonitor = param;
        else if (cls == "Cmuxip")
            pages.ip = param;
        else if (cls == "CMuxMiscView")
            pages.outputSet = param;
        else if (cls == "CMuxMonitorView")
            pages.asiMonitor = param;
    }
    // The QAM modulator with scrambler keeps one PID table that its scrambler page marks and its PID
    // filter page lists: the scrambler simulator holds it.
    if (type == 0x3102)
        pages.pidFilter = -1;
    return pages;
}

bool MuxPagesSim::Serves(uint16_t type) {
    const Pages p = PagesOf(type);
    return p.pidFilter >= 0 || p.pidForward >= 0 || p.pidSegment >= 0 || p.pidMonitor >= 0 || p.ip >= 0 ||
           p.outputSet >= 0 || p.asiMonitor >= 0;
}

MuxPagesSim::Bytes MuxPagesSim::MakeIpProgram(const char* name, uint16_t serviceId, uint16_t pmtPid,
                                              std::vector<std::pair<uint8_t, uint16_t>> elements) {
    Bytes r(kIpRecordSize, 0);
    ByteWriter w(r);
    w.Text(1, 32, name);
    w.Text(33, 32, name);
    w.U16LE(65, serviceId);
    w.U16LE(67, serviceId);
    w.U16LE(69, pmtPid);
    w.U16LE(71, pmtPid);
    const uint16_t pcr = elements.empty() ? pmtPid : elements.front().second;
    w.U16LE(73, pcr);
    w.U16LE(75, pcr);
    w.U8(77, uint8_t(elements.size()));
    for (size_t i = 0; i < elements.size() && i < 31; ++i) {
        w.U8(98 + 5 * i, elements[i].first);
        w.U16LE(99 + 5 * i, elements[i].second);
        w.U16LE(101 + 5 * i, elements[i].second);
    }
    return r;
}

MuxPagesSim::MuxPagesSim(uint16_t type) : MuxPagesSim(type, PagesOf(type)) {}

MuxPagesSim::MuxPagesSim(uint16_t type, Pages pages) : m_type(type), m_pages(pages) {
    // PID filter: output A / the only table, output B, or one table per channel of the 4-in-1 modulator.
    m_filter[0] = Bitmap({0x100, 0x101, 0x200});
    m_filter[1] = m_filter[0];
    m_filter[2] = Bitmap({0x300});
    for (int c = 0; c < 4 && pages.pidFilter == 15; ++c)
        m_filter[c] = Bitmap({uint16_t(0x100 + 0x10 * c), uint16_t(0x101 + 0x10 * c)});

    // PID pass-through: the first entry byte is the input (fixed 2 on the modulators and the scrambler,
    // 1 on the encoders) or, on the four-output variant, the output mask.
    const int fp = pages.pidForward;
    const uint16_t in1 = fp == 64 || fp == 65 ? 2 : 1, in2 = fp == 64 || fp == 65 ? 2 : fp == 82 ? 1 : 3;
    if (fp == 66)
        m_forward[0] = MakeForwardTable({{0x3, 0x100, 0x1100}, {0x8, 0x200, 0x1200}});
    else
        m_forward[0] = MakeForwardTable({{in1, 0x100, 0x1100}, {in2, 0x200, 0x1200}});
    m_forward[1] = m_forward[0];
    m_forward[2] = MakeForwardTable({{2, 0x300, 0x1300}});

    // Segmented pass-through: two entries, the second on two outputs.
    {
        const bool wide = pages.pidSegment == 102;
        ByteAppender out(m_segment);
        out.U16BE(2);
        const uint16_t entries[2][4] = {{0, 0x1, 0x100, 0x1100}, {1, 0x3, 0x200, 0x1200}};
        for (const auto& e : entries) {
            if (wide) {
                out.U16BE(e[0]);
                out.U16BE(e[1]);
            } else {
                out.U8(uint8_t(e[0]));
                out.U8(uint8_t(e[1]));
            }
            out.U16BE(e[2]);
            out.U16BE(e[3]);
        }
    }

    // Output parameters: 38 Mbit/s, TS ID 1, network 2; PAT, SDT, NIT and PMT inserted.
    m_outputParams[0].assign(11, 0);
    {
        ByteWriter w(m_outputParams[0]);
        w.U32LE(0, 38000);
        w.U16LE(4, 0x0001);
        w.U16LE(6, 0x0002);
        w.U8(10, 0x0F);
    }
    m_outputParams[1] = m_outputParams[0];
    ByteWriter(m_outputParams[1]).U32LE(0, 24000);
    ByteWriter(m_outputParams[1]).U16LE(4, 0x0011);
    if (pages.outputSet == 86) {
        m_outputRecord.assign(76, 0);
        ByteWriter w(m_outputRecord);
        w.U16LE(0, 0x0021);
        w.U16LE(2, 0x0001);
        w.U8(4, 0x0F);
        w.U32LE(5, 36000);
        for (size_t i = 11; i < m_outputRecord.size(); ++i)
            m_outputRecord[i] = uint8_t(0x40 + i);  // carried as read
    } else {
        m_outputRecord.assign(4 * kBlockSize, 0);
        for (size_t o = 0; o < 4; ++o) {
            ByteWriter w(m_outputRecord.data() + o * kBlockSize, kBlockSize);
            w.U8(0, 0x0F);
            w.U16LE(1, uint16_t(0x100 + o));
            w.U16LE(3, 0x0001);
            w.U32LE(5, uint32_t(38000 + 1000 * o));
            w.U8(11, 1);
            const uint8_t address[4] = {239, 1, 1, uint8_t(o + 1)};
            w.Bytes(12, address, 4);
            w.U16LE(16, uint16_t(1234 + o));
            for (size_t i = 18; i < kBlockSize; ++i)
                w.U8(i, uint8_t(0x20 + o));  // carried as read
        }
    }

    // IP multiplexer: CAS 1 (CA system 0x0B00) in use; channel 0 with two programs (the first on output
    // A), channel 1 with one.
    m_ipSettings.assign(kIpSettingsSize, 0);
    m_ipSettings[0] = 1;
    ByteWriter(m_ipSettings).U32BE(1, 0x0B00);
    ByteWriter(m_ipSettings).U32BE(45, 0x0100);
    Bytes first = MakeIpProgram("NEWS-1", 101, 0x100, {{0x02, 0x101}, {0x04, 0x102}});
    first[0] = 0x1;
    ByteWriter(first).U16LE(82, 0x1FF0);
    m_ipChannels[0].push_back({first});
    m_ipChannels[0].push_back({MakeIpProgram("NEWS-2", 102, 0x110, {{0x02, 0x111}, {0x04, 0x112}})});
    m_ipChannels[1].push_back({MakeIpProgram("Sport HD", 301, 0x300, {{0x1B, 0x301}, {0x0F, 0x302}})});
}

void MuxPagesSim::SetQuirks(const Quirks& quirks) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_quirks = quirks;
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Handle(uint8_t command, uint8_t, uint8_t, const Bytes& q) {
    std::lock_guard<std::mutex> lock(m_mutex);
    switch (command) {
        case 0x37:
        case 0x38:
            return Filter(command, q);
        case 0x35:
        case 0x36:
            if (m_pages.pidSegment >= 0)
                return Segment(command, q);
            return Forward(command, q);
        case 0x70:
            return Presence(command, q);
        case 0x20:
        case 0x21:
        case 0x22:
        case 0x23:
        case 0x24:
            return Ip(command, q);
        case 0x33:
        case 0x34:
            return OutputSet(command, q);
        case 0x40:
            return Status(command, q);
        default:
            return std::nullopt;
    }
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Filter(uint8_t command, const Bytes& q) {
    const int param = m_pages.pidFilter;
    if (param < 0)
        return std::nullopt;
    // The table a request names: output 1/2 (two outputs), channel 0..3 (the 4-in-1 modulator), else 0.
    const bool selected = param == 1 || param == 15;
    int table = 0;
    if (param == 1)
        table = !q.empty() && q[0] == 1 ? 1 : 2;
    else if (param == 15)
        table = q.empty() ? 0 : q[0] & 3;
    Reply r;
    if (command == 0x37) {
        if (selected)
            r.payload.push_back(
                uint8_t(param == 1 && m_quirks.selectorEcho >= 0 ? m_quirks.selectorEcho : table));
        r.payload.insert(r.payload.end(), m_filter[table].begin(), m_filter[table].end());
        return r;
    }
    const size_t at = selected ? 1 : 0;
    if (q.size() >= at + kBitmapSize) {
        m_filter[table].assign(q.begin() + long(at), q.begin() + long(at + kBitmapSize));
        ++m_writes;
    }
    return r;
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Forward(uint8_t command, const Bytes& q) {
    const int param = m_pages.pidForward;
    if (param < 0)
        return std::nullopt;
    // Tables travel as [selector] (two outputs, four outputs) + [count] + entries.
    const bool selector = param == 1 || param == 66;
    Reply r;
    if (command == 0x35) {
        // One byte: the selector. (The CAM receivers ask for their source with 0x35 too, in three bytes.)
        if (q.size() != 1)
            return std::nullopt;
        const int table = param == 1 ? (q[0] == 1 ? 1 : 2) : 0;
        if (selector)
            r.payload.push_back(param != 1                   ? 0
                                : m_quirks.selectorEcho >= 0 ? uint8_t(m_quirks.selectorEcho)
                                                             : uint8_t(table));
        r.payload.insert(r.payload.end(), m_forward[table].begin(), m_forward[table].end());
        return r;
    }
    const size_t at = selector ? 1 : 0;
    if (q.size() <= at)
        return r;
    const size_t count = q[at];
    if (q.size() == at + 1 + 5 * count) {
        const int table = param == 1 ? (q[0] == 1 ? 1 : 2) : 0;
        m_forward[table].assign(q.begin() + long(at), q.end());
        ++m_writes;
    }
    return r;
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Segment(uint8_t command, const Bytes& q) {
    // The modular chassis puts 8 zero bytes in front of every request and reply header and reports its
    // module count in the reply's second byte.
    const bool wide = m_pages.pidSegment == 102;
    const size_t head = wide ? 8 : 0;
    ByteReader in(q);
    uint16_t offset = 0, length = 0;
    Reply r;
    r.payload.assign(head, 0);
    if (wide)
        r.payload[1] = 2;
    ByteAppender out(r.payload);
    if (command == 0x35) {
        if (q.size() != head + 2 || !in.U16BE(head, &offset))
            return std::nullopt;
        const size_t entries = ByteReader(m_segment).U16BEOr(0);
        const size_t total = std::min(m_segment.size(), 2 + entries * size_t(SegmentEntrySize()));
        const size_t from = std::min<size_t>(offset, total);
        const size_t n = std::min(total - from, kSegmentMax);
        out.U16BE(offset);
        out.U16BE(uint16_t(total));
        out.U16BE(uint16_t(n));
        out.Bytes(m_segment.data() + from, n);
        return r;
    }
    if (!in.U16BE(head, &offset) || !in.U16BE(head + 2, &length))
        return std::nullopt;
    if (length > kSegmentMax || !in.Has(head + 4, length) || size_t(offset) + length > kSegmentImageMax)
        return std::nullopt;
    if (offset == 0)
        m_segment.clear();  // a new table begins
    if (m_segment.size() < size_t(offset) + length)
        m_segment.resize(size_t(offset) + length, 0);
    std::copy_n(q.begin() + long(head + 4), length, m_segment.begin() + offset);
    ++m_writes;
    out.U16BE(offset);
    out.U16BE(length);
    return r;
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Presence(uint8_t, const Bytes&) {
    if (m_pages.pidMonitor < 0)
        return std::nullopt;
    // PAT, CAT, NIT, SDT, two programs' PMT, video and audio, the null packets, and an EIT that comes
    // and goes.
    Reply r;
    r.payload =
        Bitmap({0x0000, 0x0001, 0x0010, 0x0011, 0x0100, 0x0101, 0x0102, 0x0200, 0x0201, 0x0202, 0x1FFF});
    if (m_tick++ % 2 == 0)
        SetPid(r.payload, 0x0012);
    return r;
}

uint8_t MuxPagesSim::IpChannelCount() const {
    switch (m_pages.ip) {
        case 35:
            return m_type == 0x4187 ? 17 : 12;
        case 38:
            return 12;
        case 39:
            return 16;
        default:
            return 1;
    }
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Ip(uint8_t command, const Bytes& q) {
    if (m_pages.ip < 0)
        return std::nullopt;
    Reply r;
    r.b = IpChannelCount();
    // The requests of this page carry 0 in their third byte (the remap flag 1 in an analysis); the
    // scrambler pages of the same devices use these commands with other payloads.
    auto slot = [this](int channel, int index) -> IpSlot* {
        auto it = m_ipChannels.find(channel);
        if (it == m_ipChannels.end() || index < 0 || index >= int(it->second.size()))
            return nullptr;
        return &it->second[size_t(index)];
    };
    auto count = [this](int channel) {
        auto it = m_ipChannels.find(channel);
        return it == m_ipChannels.end() ? 0 : int(it->second.size());
    };
    switch (command) {
        case 0x20:
            if (q.size() != 3 || q[2] != 1)
                return std::nullopt;
            r.payload = {q[0], 0, 0, uint8_t(count(q[0]) > 0 ? 1 : 0)};
            return r;
        case 0x21: {
            if (q.size() != 3 || q[2] != 0)
                return std::nullopt;
            r.payload = {q[0], q[1], uint8_t(count(q[0]))};
            if (const IpSlot* s = slot(q[0], q[1]))
                r.payload.insert(r.payload.end(), s->record.begin(), s->record.end());
            return r;
        }
        case 0x22: {
            const bool route = q.size() == 4;
            if (!route && (q.size() != 3 || q[2] != 0))
                return std::nullopt;
            IpSlot* s = slot(q[0], q[1]);
            if (s) {
                s->record[0] = route ? uint8_t(s->record[0] | q[2]) : 0;
                ++m_writes;
            }
            r.payload = {q[0], q[1], s ? s->record[0] : uint8_t(0)};
            return r;
        }
        case 0x23: {
            if (q.size() != 3 + kIpRecordSize || q[2] != 0)
                return std::nullopt;
            if (IpSlot* s = slot(q[0], q[1])) {
                const uint8_t mask = s->record[0];  // routing is the device's, not the record's
                std::copy(q.begin() + 3, q.end(), s->record.begin());
                s->record[0] = mask;
                ++m_writes;
            }
            r.payload = {q[0], q[1]};
            return r;
        }
        case 0x24:
            if (q.size() != 1)
                return std::nullopt;
            r.payload.assign(16, 0);
            r.payload.insert(r.payload.end(), m_ipSettings.begin(), m_ipSettings.end());
            if (m_pages.ip == 98)
                r.payload.push_back(2);  // QAM modules
            return r;
        default:
            return std::nullopt;
    }
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::OutputSet(uint8_t command, const Bytes& q) {
    const int param = m_pages.outputSet;
    if (param < 0)
        return std::nullopt;
    Reply r;
    const bool blocks = param == 20 || param == 39;
    if (command == 0x33) {
        if (param == 1) {
            const int output = !q.empty() && q[0] == 2 ? 2 : 1;
            r.payload.push_back(uint8_t(output));
            r.payload.insert(r.payload.end(), m_outputParams[size_t(output - 1)].begin(),
                             m_outputParams[size_t(output - 1)].begin() + 10);
        } else if (blocks) {
            r.payload.push_back(param == 20 ? 1 : 0);  // IP outputs
            r.payload.insert(r.payload.end(), m_outputRecord.begin(), m_outputRecord.end());
        } else if (param == 86) {
            r.payload.assign(4, 0);
            r.payload.insert(r.payload.end(), m_outputRecord.begin(), m_outputRecord.end());
        } else {
            r.payload = m_outputParams[0];
            if (m_quirks.outputWithoutFlags)
                r.payload.resize(10);
        }
        return r;
    }
    if (param == 1) {
        if (q.size() >= 11 && (q[0] == 1 || q[0] == 2)) {
            std::copy(q.begin() + 1, q.begin() + 11, m_outputParams[size_t(q[0] - 1)].begin());
            ++m_writes;
        }
    } else if (blocks || param == 86) {
        const size_t at = blocks ? 1 : 4;
        if (q.size() >= at + m_outputRecord.size()) {
            std::copy_n(q.begin() + long(at), m_outputRecord.size(), m_outputRecord.begin());
            ++m_writes;
        }
    } else if (q.size() >= 11) {
        std::copy_n(q.begin(), 11, m_outputParams[0].begin());
        ++m_writes;
    }
    return r;
}

std::optional<MuxPagesSim::Reply> MuxPagesSim::Status(uint8_t, const Bytes& q) {
    const int monitor = m_pages.asiMonitor;
    const bool polled =
        monitor >= 0 || (m_pages.outputSet >= 0 && m_pages.outputSet != 86) || m_pages.ip >= 0;
    if (!polled)
        return std::nullopt;
    const unsigned t = m_tick++;
    // Bitrates that wander a little around 38, 24, 30 and 20 Mbit/s.
    const uint32_t rates[4] = {38000 + (t * 137) % 400, 24000 + (t * 71) % 300, 30000 + (t * 29) % 400,
                               20000 + (t * 17) % 200};
    // A set bit is a channel without input (red): channels 1 and 3 carry a stream, channel 2 now and then.
    // The two-output multiplexer's software up to 1.71 (devsim's default is 1.00) inverts both bytes and
    // then shows output A's set bits green and output B's red: B carries the inverse of A to light the
    // same channels.
    const uint8_t alarms = uint8_t(0xFA & ~(t % 3 == 0 ? 0x02 : 0));
    Reply r;
    ByteAppender out(r.payload);
    if (monitor == 1 && q.size() == 1) {  // one output of the two-output multiplexer
        const int output = q[0] == 2 ? 2 : 1;
        out.U8(uint8_t(output));
        out.U8(output == 1 ? 3 : 1);
        out.U32LE(rates[output - 1]);
        out.U8(output == 1 ? alarms : uint8_t(~alarms));
        return r;
    }
    if (monitor == 86) {
        out.U8(3);
        out.U32LE(rates[0]);
        out.U8(alarms);
        out.U8(0x38);  // status byte
        for (uint32_t c = 0; c < 8; ++c) {
            out.U16LE(uint16_t(alarms & (1u << c) ? 0 : 4000 + 500 * c + t % 50));
            out.U16LE(0);
        }
        return r;
    }
    // The output bitrates of A..D; a single-output monitor reads the program count before them and its
    // lock byte where output B's would be.
    const bool single =
        monitor >= 0 && monitor != 1 && m_pages.outputSet != 20 && m_pages.outputSet != 39 && m_pages.ip < 0;
    out.U8(3);
    for (int o = 0; o < 4; ++o)
        out.U32LE(single && o > 0 ? 0 : rates[o]);
    if (single)
        r.payload[5] = alarms;
    return r;
}

MuxPagesSim::Bytes MuxPagesSim::FilterBitmap(int table) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_filter.find(table);
    return it == m_filter.end() ? Bytes() : it->second;
}

MuxPagesSim::Bytes MuxPagesSim::ForwardTable(int table) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_forward.find(table);
    return it == m_forward.end() ? Bytes() : it->second;
}

MuxPagesSim::Bytes MuxPagesSim::SegmentImage() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_segment;
}

MuxPagesSim::Bytes MuxPagesSim::OutputParams(int output) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return output == 2 ? m_outputParams[1] : m_outputParams[0];
}

MuxPagesSim::Bytes MuxPagesSim::OutputRecord() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_outputRecord;
}

MuxPagesSim::Bytes MuxPagesSim::IpProgram(int channel, int index) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_ipChannels.find(channel);
    if (it == m_ipChannels.end() || index < 0 || index >= int(it->second.size()))
        return {};
    return it->second[size_t(index)].record;
}

uint8_t MuxPagesSim::IpOutputMask(int channel, int index) const {
    const Bytes r = IpProgram(channel, index);
    return r.empty() ? 0 : r[0];
}

int MuxPagesSim::Writes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writes;
}

}  // namespace nms::test
