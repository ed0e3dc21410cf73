#include "pages/scrambler/qam4_sas_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"
#include "pages/modulator/channel_mask.h"
#include "pages/scrambler/scrambler_records.h"

namespace nms {
namespace {

enum Stage {
    kIdle,
    kProbe,
    kCas,
    kAcRead,
    kPrograms,
    kParse,
    kWriteCas,
    kWritePrograms,
    kWriteAcIndexes,
    kAcWrite
};

constexpr int kRecordReplySize = 5 + MultiOutputProgramRecord::kSize;  // 288
constexpr int kEntryReplySize = 3 + kSasEntrySize;                     // 325
constexpr int kOutputReplySize = 11 + QamOutputProgramRecord::kSize;   // 297
constexpr int kCasReplySize = 16 + SasCasBlock::kSize;                 // 218
constexpr int kSlotSize = SasCasBlock::kCasEntrySize;
constexpr const char* kIntegerMessage = "Please enter an integer between 0 and 65535.";

const Qam4SasVariant kVariants[] = {
    {Qam4SasVariant::kEntries, 0, false, nullptr, false, true},
    {Qam4SasVariant::kRecords, 17, false, nullptr, false, false},
    {Qam4SasVariant::kRecords, 18, false, nullptr, false, false},
    {Qam4SasVariant::kRecords, 19, true, "Output-program", false, false},
    {Qam4SasVariant::kRecords, 35, false, nullptr, true, false},
    {Qam4SasVariant::kRecords, 98, true, "Channel A", false, false},
    {Qam4SasVariant::kAcIndexes, 88, true, "Channel A", false, false},
    {Qam4SasVariant::kOutputs, 102, false, nullptr, false, false},
};

bool Decimal16(const std::string& text, uint16_t* value) {
    if (text.empty() || text.size() > 5 || !IsDecimalText(text))
        return false;
    const unsigned long v = std::stoul(text);
    if (v > 65535)
        return false;
    *value = uint16_t(v);
    return true;
}

std::string Printf(const char* format, const std::string& value) {
    char text[256];
    std::snprintf(text, sizeof text, format, value.c_str());
    return text;
}

int ValueOfCode(int code) {
    return code & 1 ? 2 : code & 2 ? 3 : 1;
}

}  // namespace

const Qam4SasVariant& Qam4SasVariantOf(int pageParam) {
    for (const Qam4SasVariant& v : kVariants)
        if (v.pageParam == pageParam)
            return v;
    return kVariants[1];
}

Qam4SasLogic::Qam4SasLogic(int pageParam) : m_variant(&Qam4SasVariantOf(pageParam)) {}

void Qam4SasLogic::SetVariant(int pageParam) {
    m_variant = &Qam4SasVariantOf(pageParam);
    for (Channel& c : m_channels)
        c = Channel{};
    m_outputs.clear();
    m_acIndexes.fill(0);
    m_acIndexCount = 0;
    m_read = false;
}

std::vector<uint8_t> Qam4SasLogic::CasPrefix() const {
    return std::vector<uint8_t>(Is(Qam4SasVariant::kAcIndexes) ? 16 : 0, 0);
}

PageStep Qam4SasLogic::Show(uint16_t deviceType) {
    if (m_stage != kIdle)
        return {};
    if (!m_laidOut && m_probe && deviceType == kSasProbeType) {
        m_stage = kProbe;
        // The probe waits too, so an unanswered probe cannot leave the page stuck.
        return Begin(PageStep::Request(kCmdSasProgram, {0, 0, 0, 0, 0, 0, 0, 1, 0, 1, uint8_t(m_group), 0},
                                       PageStep::Wait::kBeginShort));
    }
    if (!m_laidOut) {
        SetLaidOut();
        PageStep step = Get();
        step.refresh |= kRefreshLayout;
        return step;
    }
    return Get();
}

PageStep Qam4SasLogic::Get() {
    if (m_stage != kIdle)
        return {};
    for (Channel& c : m_channels)
        c = Channel{};
    m_outputs.clear();
    m_acIndexCount = 0;
    m_getAll = true;
    m_stage = kCas;
    std::vector<uint8_t> payload = {0};
    if (Is(Qam4SasVariant::kOutputs))
        payload.assign(17, 0);
    else if (Is(Qam4SasVariant::kAcIndexes))
        payload.assign(16, 0);
    return Begin(PageStep::Request(kCmdSasCas, std::move(payload)));
}

PageStep Qam4SasLogic::Parse(int channel) {
    if (m_stage != kIdle || !Is(Qam4SasVariant::kEntries))
        return {};
    if (channel < 0 || channel >= kSasChannels)
        return PageStep::Message("Please Select a Channel !");
    m_channels[size_t(channel)] = Channel{};
    m_channel = channel;
    m_getAll = false;
    m_stage = kParse;
    return Begin(PageStep::Request(kCmdSasParse, {uint8_t(channel), 0, 0}, PageStep::Wait::kBeginLong));
}

PageStep Qam4SasLogic::Set(const SasCasForm& form) {
    if (m_stage != kIdle)
        return {};
    if (Is(Qam4SasVariant::kAcIndexes) && !m_laidOut)
        return {};
    // Without a whole read the block is all zero: writing it would wipe the device's set-up.
    if (!m_read)
        return PageStep::Message("Please press 'Get' to read the device's settings before Set.");
    if (std::string error = StoreForm(form); !error.empty())
        return PageStep::Message(error);
    TreeToTables();
    std::vector<uint8_t> payload = CasPrefix();
    payload.insert(payload.end(), m_block.bytes.begin(), m_block.bytes.end());
    m_stage = kWriteCas;
    return Begin(PageStep::Request(kCmdSasWriteCas, std::move(payload)));
}

PageStep Qam4SasLogic::WriteAcTable() {
    if (m_stage != kIdle)
        return {};
    m_stage = kAcWrite;
    m_page = 0;
    std::vector<uint8_t> payload = {uint8_t(m_tab), 0};
    payload.insert(payload.end(), AcImage(m_tab).begin(), AcImage(m_tab).begin() + 1024);
    // The transfer waits for its replies too, so a device that never answers cannot keep the page from
    // its next Get or Set.
    return Begin(PageStep::Request(kCmdSasAcWrite, std::move(payload)));
}

SasCasForm Qam4SasLogic::Form() const {
    const ByteReader r(m_block.Data() + m_tab * kSlotSize, kSlotSize);
    const ByteReader b(m_block.Data(), SasCasBlock::kSize);
    SasCasForm f;
    char text[16];
    f.enabled = r.U8Or(0) != 0;
    std::snprintf(text, sizeof text, "%08x", unsigned(r.U32BEOr(1)));
    f.superCasId = text;
    f.ecmId = std::to_string(r.U16BEOr(5));
    r.Bytes(7, 4, f.ecmgAddress.data());
    f.ecmgPort = std::to_string(r.U16LEOr(11));
    std::snprintf(text, sizeof text, "%x", unsigned(r.U16LEOr(13)));
    f.emmPid = text;
    f.emmgTcpPort = std::to_string(r.U16BEOr(15));
    f.emmgUdpPort = std::to_string(r.U16BEOr(17));
    f.emmgMode = r.U8Or(19) ? 1 : 0;
    f.encryptPeriod = std::to_string(b.U16LEOr(176));
    f.mode = b.U8Or(178);
    return f;
}

std::string Qam4SasLogic::StoreForm(const SasCasForm& f) {
    uint16_t period = 0, port = 0, tcp = 0, udp = 0, ecmId = 0;
    if (!Decimal16(f.encryptPeriod, &period) || !Decimal16(f.ecmgPort, &port) ||
        !Decimal16(f.emmgTcpPort, &tcp) || !Decimal16(f.emmgUdpPort, &udp) || !Decimal16(f.ecmId, &ecmId))
        return kIntegerMessage;
    ByteWriter b(m_block.Data(), SasCasBlock::kSize);
    ByteWriter w(m_block.Data() + m_tab * kSlotSize, kSlotSize);
    b.U16LE(176, period);
    if (m_variant->modeCombo && f.mode >= 0 && f.mode <= 255)
        b.U8(178, uint8_t(f.mode));
    w.U8(0, f.enabled ? 1 : 0);
    w.Bytes(7, f.ecmgAddress.data(), 4);
    w.U16LE(11, port);
    w.U16BE(15, tcp);
    w.U16BE(17, udp);
    w.U16BE(5, ecmId);
    if (!IsHexText(f.emmPid) || f.emmPid.size() > 4)
        return Printf("PID must be HEX !(%s)", f.emmPid);
    w.U16LE(13, HexTextToUShort(f.emmPid));
    w.U8(19, f.emmgMode ? 1 : 0);
    if (!IsHexText(f.superCasId) || f.superCasId.size() > 8)
        return Printf("PID must be HEX !(%s)", f.superCasId);
    w.U32BE(1, HexTextToUInt32(f.superCasId));
    return {};
}

std::string Qam4SasLogic::ChangeTab(int tab, const SasCasForm& form) {
    std::string error = StoreForm(form);
    if (tab >= 0 && tab < 4)
        m_tab = tab;
    return error;
}

int Qam4SasLogic::RootCount() const {
    return m_variant->singleRoot ? 1 : 4;
}

int Qam4SasLogic::ChannelCount(int channel) const {
    return channel >= 0 && channel < kSasChannels ? std::min(m_channels[size_t(channel)].count, kSasPrograms)
                                                  : 0;
}

std::vector<int> Qam4SasLogic::ProgramsOf(int root) const {
    std::vector<int> out;
    if (root < 0 || root >= RootCount())
        return out;
    switch (m_variant->family) {
        case Qam4SasVariant::kEntries:
            for (int p = 0; p < ChannelCount(root); ++p)
                out.push_back(p);
            break;
        case Qam4SasVariant::kRecords:
            // A record shows under every channel whose bit its byte [0] carries, whichever channel's
            // table it was read in.
            for (int t = 0; t < kSasChannels; ++t)
                for (int p = 0; p < ChannelCount(t); ++p)
                    if (m_channels[size_t(t)].programs[size_t(p)].bytes[0] >> root & 1)
                        out.push_back(t * kSasPrograms + p);
            break;
        case Qam4SasVariant::kAcIndexes:
            for (int p = 0; p < std::min(m_acIndexCount, kSasAcIndexPrograms); ++p)
                out.push_back(p);
            break;
        case Qam4SasVariant::kOutputs:
            for (size_t i = 0; i < m_outputs.size(); ++i) {
                const uint32_t mask = ByteReader(m_outputs[i].bytes).U32LEOr(0);
                if (IsBitSetInChannelMask(mask, uint8_t(m_modules), uint8_t(4 * m_group + root)))
                    out.push_back(int(i));
            }
            break;
    }
    return out;
}

SasProgram* Qam4SasLogic::Find(int root, int program) {
    return const_cast<SasProgram*>(static_cast<const Qam4SasLogic*>(this)->Find(root, program));
}

bool Qam4SasLogic::Locate(int root, int program, int* table, int* index) const {
    if (root < 0 || root >= RootCount() || program < 0)
        return false;
    if (Is(Qam4SasVariant::kEntries)) {
        *table = root;
        *index = program;
    } else if (Is(Qam4SasVariant::kRecords)) {
        *table = program / kSasPrograms;
        *index = program % kSasPrograms;
    } else {
        return false;
    }
    return *table < kSasChannels && *index < ChannelCount(*table);
}

const SasProgram* Qam4SasLogic::Find(int root, int program) const {
    if (Is(Qam4SasVariant::kOutputs))
        return program >= 0 && program < int(m_outputs.size()) ? &m_outputs[size_t(program)] : nullptr;
    int table = 0, index = 0;
    if (!Locate(root, program, &table, &index))
        return nullptr;
    return &m_channels[size_t(table)].programs[size_t(index)];
}

const SasProgram& Qam4SasLogic::Program(int root, int program) const {
    static const SasProgram kNone;
    const SasProgram* p = Find(root, program);
    return p ? *p : kNone;
}

int Qam4SasLogic::StreamCount(const std::vector<uint8_t>& r) const {
    const int n = ByteReader(r).U8Or(size_t(77 + Shift()));
    return n <= kSasMaxStreams ? n : 0;
}

int Qam4SasLogic::Code(const std::vector<uint8_t>& r, int stream) const {
    const uint32_t word = ByteReader(r).U32LEOr(size_t(90 + Shift() + 4 * (stream / 16)));
    return int(word >> (2 * (stream % 16)) & 3);
}

void Qam4SasLogic::SetCode(std::vector<uint8_t>& r, int stream, int code) const {
    const size_t at = size_t(90 + Shift() + 4 * (stream / 16));
    uint32_t word = ByteReader(r).U32LEOr(at);
    word = (word & ~(3u << (2 * (stream % 16)))) | uint32_t(code & 3) << (2 * (stream % 16));
    ByteWriter(r).U32LE(at, word);
}

SasProgramView Qam4SasLogic::Describe(int root, int program) const {
    SasProgramView v;
    if (Is(Qam4SasVariant::kAcIndexes))
        return v;
    const SasProgram* p = Find(root, program);
    if (!p)
        return v;
    const ByteReader r(p->bytes);
    const int s = Shift();
    v.name = r.Text(size_t(33 + s), 32);
    v.serviceId = r.U16LEOr(size_t(67 + s));
    v.pmtPid = r.U16LEOr(size_t(71 + s));
    v.pcrPid = r.U16LEOr(size_t(75 + s));
    for (int i = 0; i < StreamCount(p->bytes); ++i) {
        v.streamTypes.push_back(r.U8Or(size_t(98 + s + 5 * i)));
        v.pids.push_back(r.U16LEOr(size_t(98 + s + 5 * i + 3)));
    }
    return v;
}

void Qam4SasLogic::LoadMarks(int channel) {
    Channel& c = m_channels[size_t(channel)];
    for (int p = 0; p < ChannelCount(channel); ++p) {
        c.marks[size_t(p)].fill(0);
        const auto& r = c.programs[size_t(p)].bytes;
        for (int i = 0; i < StreamCount(r); ++i)
            c.marks[size_t(p)][size_t(i)] = uint8_t(ValueOfCode(Code(r, i)));
    }
}

int Qam4SasLogic::StreamValue(int root, int program, int stream) const {
    const SasProgram* p = Find(root, program);
    if (!p || stream < 0 || stream >= StreamCount(p->bytes))
        return 0;
    if (Is(Qam4SasVariant::kOutputs)) {
        const bool scrambled = ByteReader(p->bytes).U32LEOr(0) >> 16 & 1;
        return (Code(p->bytes, stream) & 1) && scrambled ? 2 : 1;
    }
    int table = 0, index = 0;
    Locate(root, program, &table, &index);
    return m_channels[size_t(table)].marks[size_t(index)][size_t(stream)];
}

int Qam4SasLogic::ProgramValue(int root, int program) const {
    const SasProgram* p = Find(root, program);
    if (!p)
        return 0;
    const int n = StreamCount(p->bytes);
    if (Is(Qam4SasVariant::kOutputs))
        return n ? StreamValue(root, program, n - 1) : 0;
    std::vector<int> marks;
    for (int i = 0; i < n; ++i)
        marks.push_back(StreamValue(root, program, i));
    return ProgramMark(marks);
}

void Qam4SasLogic::ClickProgram(int root, int program) {
    SasProgram* p = Find(root, program);
    if (!p)
        return;
    const int n = StreamCount(p->bytes);
    if (Is(Qam4SasVariant::kOutputs)) {
        ByteWriter w(p->bytes);
        uint32_t mask = ByteReader(p->bytes).U32LEOr(0);
        mask ^= 1u << 16;
        w.U32LE(0, mask);
        const uint32_t words = mask >> 16 & 1 ? 0x55555555u : 0;
        w.U32LE(93, words);
        w.U32LE(97, words);
        return;
    }
    const int value = ProgramValue(root, program);
    if (!value)
        return;
    int table = 0, index = 0;
    Locate(root, program, &table, &index);
    for (int i = 0; i < n; ++i)
        m_channels[size_t(table)].marks[size_t(index)][size_t(i)] = uint8_t(NextMark(value));
}

void Qam4SasLogic::ClickStream(int root, int program, int stream) {
    SasProgram* p = Find(root, program);
    if (!p || stream < 0 || stream >= StreamCount(p->bytes))
        return;
    if (Is(Qam4SasVariant::kOutputs)) {
        const int code = Code(p->bytes, stream) & 1 ? 0 : 1;
        SetCode(p->bytes, stream, code);
        uint32_t mask = ByteReader(p->bytes).U32LEOr(0);
        bool any = false;
        for (int i = 0; i < StreamCount(p->bytes); ++i)
            any = any || (Code(p->bytes, i) & 1);
        mask = any ? mask | 1u << 16 : mask & ~(1u << 16);
        ByteWriter(p->bytes).U32LE(0, mask);
        return;
    }
    int table = 0, index = 0;
    Locate(root, program, &table, &index);
    uint8_t& mark = m_channels[size_t(table)].marks[size_t(index)][size_t(stream)];
    mark = uint8_t(NextMark(mark));
}

void Qam4SasLogic::TreeToTables() {
    if (!Is(Qam4SasVariant::kRecords) && !Is(Qam4SasVariant::kEntries))
        return;
    for (int root = 0; root < RootCount(); ++root) {
        for (int program : ProgramsOf(root)) {
            std::vector<uint8_t>& r = Find(root, program)->bytes;
            const int v = ProgramValue(root, program);
            const int n = StreamCount(r);
            if (v == 3) {
                for (int i = 0; i < n; ++i)
                    SetCode(r, i, 2);
            } else {
                for (int i = 0; i < n; ++i)
                    SetCode(r, i, StreamValue(root, program, i) - 1);
            }
            if (Is(Qam4SasVariant::kEntries)) {
                r[0] = v == 3 ? 2 : v == 2 ? 1 : 0;
            } else {
                if (v != 3)
                    r[0] = uint8_t(r[0] | 1u << root | (v == 2 ? 0x10 : 0));
                r[0] &= 0x1f;
            }
        }
    }
}

int Qam4SasLogic::AcIndexOf(int root, int program) const {
    if (Is(Qam4SasVariant::kAcIndexes))
        return program >= 0 && program < kSasAcIndexPrograms ? m_acIndexes[size_t(program * 4 + m_tab)] : 0;
    const SasProgram* p = Find(root, program);
    return p ? ByteReader(p->bytes).U8Or(size_t(78 + Shift() + m_tab)) : 0;
}

void Qam4SasLogic::SetAcIndex(int root, int program, int index) {
    if (index < 0 || index > 255)
        return;
    if (Is(Qam4SasVariant::kAcIndexes)) {
        if (program >= 0 && program < kSasAcIndexPrograms)
            m_acIndexes[size_t(program * 4 + m_tab)] = uint8_t(index);
        return;
    }
    if (SasProgram* p = Find(root, program))
        ByteWriter(p->bytes).U8(size_t(78 + Shift() + m_tab), uint8_t(index));
}

uint16_t Qam4SasLogic::EcmPidOf(int root, int program) const {
    const SasProgram* p = Find(root, program);
    return p ? ByteReader(p->bytes).U16LEOr(size_t(82 + Shift() + 2 * m_tab)) : 0;
}

std::string Qam4SasLogic::SetEcmPid(int root, int program, const std::string& text) {
    if (text.size() > 4)
        return Printf("ECM %s", "PID length should not be more than 4 characters.");
    if (!IsHexText(text))
        return Printf("ECM PID %s", "should be 0-9,a-f or A-F!");
    if (SasProgram* p = Find(root, program))
        ByteWriter(p->bytes).U16LE(size_t(82 + Shift() + 2 * m_tab), HexTextToUShort(text));
    return {};
}

std::string Qam4SasLogic::SetProgramFields(int root, int program, const std::string& name,
                                           const std::string& serviceId, int acIndex,
                                           const std::string& ecmPid) {
    SasProgram* p = Find(root, program);
    if (!p)
        return {};
    uint16_t sid = 0;
    if (!Decimal16(serviceId, &sid))
        return kIntegerMessage;
    if (name.size() > 32)
        return "Program name should not be more than 32 characters.";
    ByteWriter w(p->bytes);
    w.Text(33, 32, name);
    w.U16LE(67, sid);
    SetAcIndex(root, program, acIndex);
    return SetEcmPid(root, program, ecmPid);
}

PageStep Qam4SasLogic::EndChain(unsigned refresh) {
    m_stage = kIdle;
    return PageStep::End(refresh);
}

PageStep Qam4SasLogic::Finish() {
    for (int c = 0; c < kSasChannels; ++c)
        LoadMarks(c);
    m_read = true;
    return EndChain(PageStep::kRefreshAll | kRefreshTree);
}

PageStep Qam4SasLogic::ProgramRequest() {
    if (Is(Qam4SasVariant::kOutputs)) {
        std::vector<uint8_t> p(7, 0);
        p.insert(p.end(), {1, uint8_t(m_index >> 8), uint8_t(m_index), uint8_t(m_group), 0});
        return PageStep::Request(kCmdSasProgram, std::move(p), PageStep::Wait::kNone);
    }
    if (Is(Qam4SasVariant::kAcIndexes))
        return PageStep::Request(kCmdSasProgram, std::vector<uint8_t>(16, 0), PageStep::Wait::kNone);
    return PageStep::Request(kCmdSasProgram, {uint8_t(m_channel), uint8_t(m_index), 1},
                             PageStep::Wait::kNone);
}

PageStep Qam4SasLogic::NextProgramOrEnd() {
    if (m_index < ChannelCount(m_channel))
        return ProgramRequest();
    // Parse reads one channel of variant 0.
    if (!m_getAll)
        return Finish();
    if (++m_channel >= kSasChannels)
        return Finish();
    m_index = 0;
    return ProgramRequest();
}

PageStep Qam4SasLogic::WriteNext() {
    // m_channel / m_index: the next program to send.
    if (Is(Qam4SasVariant::kOutputs)) {
        if (m_index >= int(m_outputs.size()))
            return EndChain();
        std::vector<uint8_t> p(7, 0);
        p.insert(p.end(), {1, 0, 0, uint8_t(m_index), uint8_t(m_group)});
        p.insert(p.end(), m_outputs[size_t(m_index)].bytes.begin(), m_outputs[size_t(m_index)].bytes.end());
        ++m_index;
        return PageStep::Request(kCmdSasWriteProgram, std::move(p), PageStep::Wait::kNone);
    }
    while (m_channel < kSasChannels && m_index >= ChannelCount(m_channel)) {
        ++m_channel;
        m_index = 0;
    }
    if (m_channel >= kSasChannels)
        return EndChain();
    const SasProgram& prog = m_channels[size_t(m_channel)].programs[size_t(m_index)];
    std::vector<uint8_t> p;
    if (Is(Qam4SasVariant::kEntries)) {
        p = {uint8_t(m_channel), uint8_t(m_index)};
    } else {
        bool more = m_index + 1 < ChannelCount(m_channel);
        for (int c = m_channel + 1; c < kSasChannels; ++c)
            more = more || ChannelCount(c) > 0;
        p = {prog.head1, prog.head2, uint8_t(more ? 1 : 2)};
    }
    p.insert(p.end(), prog.bytes.begin(), prog.bytes.end());
    ++m_index;
    return PageStep::Request(kCmdSasWriteProgram, std::move(p), PageStep::Wait::kNone);
}

bool Qam4SasLogic::RepliesNamed() const {
    switch (m_stage) {
        case kAcRead:
        case kPrograms:
            return true;
        case kWritePrograms:
            return Is(Qam4SasVariant::kEntries);  // the others' write replies carry nothing to tell apart
        // Both halves of an AC transfer are answered [table, 0, 0]: alike, and both count.
        default:
            return false;
    }
}

PageStep Qam4SasLogic::HandleReply(const ReplyView& reply) {
    if (reply.Command() == kCmdSasStatus) {
        uint8_t links = 0;
        if (!reply.U8(0, &links))
            return {};
        m_links = links;
        PageStep step;
        step.refresh = kRefreshStatus;
        return step;
    }
    if (m_stage == kIdle || !m_replies.InTime(reply))
        return {};
    if (RepliesNamed() && m_replies.IsCopy(reply))
        return {};
    m_replies.Took(reply);
    return Made(Step(reply));
}

PageStep Qam4SasLogic::Step(const ReplyView& reply) {
    switch (m_stage) {
        case kProbe: {
            uint8_t first = 0;
            if (!reply.U8(0, &first))
                return {};
            if (first == 8)
                SetVariant(88);
            m_stage = kIdle;
            SetLaidOut();
            PageStep step = Get();
            step.refresh |= kRefreshLayout;
            return step;
        }
        case kCas: {
            if (Is(Qam4SasVariant::kAcIndexes) && reply.PayloadLength() < 202) {
                m_laidOut = false;
                return EndChain().WithMessage("Don't support Scrambler !");
            }
            if (Is(Qam4SasVariant::kOutputs)) {
                uint8_t modules = 0;
                if (!reply.U8(1, &modules))
                    return {};
                if (modules < 1 || modules > 4)
                    return EndChain().WithMessage("Module Error");
                m_modules = modules;
            }
            if (!reply.Has(0, kCasReplySize))
                return {};
            if (Is(Qam4SasVariant::kEntries))
                for (int c = 0; c < kSasChannels; ++c)
                    reply.Bytes(4 * c, 4, m_channels[size_t(c)].pairs.data());
            reply.Bytes(16, SasCasBlock::kSize, m_block.Data());
            m_stage = kAcRead;
            m_page = 0;
            return PageStep::Request(kCmdSasAcRead, {0, 0}, PageStep::Wait::kNone);
        }
        case kAcRead: {
            uint8_t table = 0, half = 0;
            if (!reply.U8(0, &table) || !reply.U8(1, &half) || !reply.Has(0, 2 + 1024))
                return {};
            if (table != m_page / 2 || half != m_page % 2)
                return EndChain();
            reply.Bytes(2, 1024, m_ac[table].data() + half * 1024);
            if (++m_page < 8)
                return PageStep::Request(kCmdSasAcRead, {uint8_t(m_page / 2), uint8_t(m_page % 2)},
                                         PageStep::Wait::kNone);
            m_stage = kPrograms;
            m_channel = 0;
            m_index = 0;
            return ProgramRequest();
        }
        case kParse: {
            uint8_t channel = 0, count = 0, locks = 0;
            if (!reply.U8(0, &channel) || !reply.U8(3, &count) || !reply.U8(4, &locks))
                return {};
            if (channel != m_channel)
                return EndChain();
            m_channels[size_t(channel)].count = count;
            if (count == 0) {
                PageStep step = Finish();
                if (!(locks >> channel & 1))
                    step.WithMessage("Input is Unlock!");
                return step;
            }
            m_stage = kPrograms;
            m_index = 0;
            return ProgramRequest();
        }
        case kPrograms: {
            if (Is(Qam4SasVariant::kAcIndexes)) {
                uint8_t count = 0;
                if (!reply.U8(0, &count) || !reply.Has(16, kSasAcIndexPrograms * 4))
                    return {};
                m_acIndexCount = std::min<int>(count, kSasAcIndexPrograms);
                reply.Bytes(16, kSasAcIndexPrograms * 4, m_acIndexes.data());
                return Finish();
            }
            if (Is(Qam4SasVariant::kOutputs)) {
                uint8_t one = 0, end = 0;
                uint16_t index = 0;
                if (!reply.U8(7, &one) || !reply.U16BE(8, &index) || !reply.U8(10, &end))
                    return {};
                if (one != 1 || index != m_index)
                    return EndChain();
                if (end == 0xFF)
                    return Finish();
                if (!reply.Has(0, kOutputReplySize))
                    return {};
                SasProgram p;
                reply.Bytes(11, QamOutputProgramRecord::kSize, &p.bytes);
                m_outputs.push_back(std::move(p));
                if (++m_index >= kSasOutputRecords)
                    return Finish();
                return ProgramRequest();
            }
            uint8_t channel = 0, index = 0, count = 0;
            if (!reply.U8(0, &channel) || !reply.U8(1, &index) || !reply.U8(2, &count))
                return {};
            if (channel != m_channel || index != m_index)
                return EndChain();
            Channel& c = m_channels[size_t(channel)];
            if (m_index == 0)
                c.count = std::min<int>(count, kSasPrograms);
            if (m_index < c.count) {
                const bool entries = Is(Qam4SasVariant::kEntries);
                if (!reply.Has(0, entries ? kEntryReplySize : kRecordReplySize))
                    return {};
                if (c.programs.size() < size_t(kSasPrograms))
                    c.programs.resize(kSasPrograms);
                SasProgram& p = c.programs[size_t(m_index)];
                if (entries) {
                    reply.Bytes(3, kSasEntrySize, &p.bytes);
                } else {
                    reply.U8(3, &p.head1);
                    reply.U8(4, &p.head2);
                    reply.Bytes(5, MultiOutputProgramRecord::kSize, &p.bytes);
                }
                ++m_index;
            }
            return NextProgramOrEnd();
        }
        case kWriteCas: {
            if (Is(Qam4SasVariant::kAcIndexes)) {
                std::vector<uint8_t> p(16, 0);
                p.insert(p.end(), m_acIndexes.begin(), m_acIndexes.end());
                m_stage = kWriteAcIndexes;
                return PageStep::Request(kCmdSasAcIndexes, std::move(p), PageStep::Wait::kNone);
            }
            uint8_t status = 0;
            if (!reply.U8(0, &status))
                return {};
            if (status != 0)
                return EndChain().WithMessage(Is(Qam4SasVariant::kOutputs) ? "Eorror:CA_RUN_QAM16"
                                                                           : "Eorror:CA_RUN_QAM4");
            m_stage = kWritePrograms;
            m_channel = 0;
            m_index = 0;
            return WriteNext();
        }
        case kWritePrograms: {
            if (Is(Qam4SasVariant::kEntries)) {
                uint8_t status = 0;
                if (!reply.U8(2, &status))
                    return {};
                if (status != 0)
                    return EndChain().WithMessage("Eorror:CA_RUN_QAM4");
            }
            return WriteNext();
        }
        case kWriteAcIndexes:
            return EndChain();
        case kAcWrite: {
            // Any reply to the second half ends the transfer: that is its normal end.
            if (m_page != 0)
                return EndChain();
            // The first half's reply [table, 0, 0] asks for the second half of that table.
            uint8_t table = 0, b1 = 0, b2 = 0;
            if (reply.U8(0, &table) && reply.U8(1, &b1) && reply.U8(2, &b2) && b1 == 0 && b2 == 0 &&
                table < 4) {
                m_page = 1;
                std::vector<uint8_t> payload = {table, 1};
                payload.insert(payload.end(), AcImage(table).begin() + 1024, AcImage(table).end());
                return PageStep::Request(kCmdSasAcWrite, std::move(payload), PageStep::Wait::kNone);
            }
            // The device refused the first half: the table on the device is not the one edited.
            return EndChain().WithMessage("The device did not take the AC table.");
        }
        default:
            return {};
    }
}

}  // namespace nms
