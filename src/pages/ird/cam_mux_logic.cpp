#include "pages/ird/cam_mux_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/late_reply.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr int kStreamOffset = 78;
constexpr int kStreamSize = 51;
constexpr int kMaxStreams = 32;
constexpr int kPrograms = 128;

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return ByteReader(b).U16LEOr(at);
}
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return ByteReader(b).U32LEOr(at);
}
size_t StreamAt(int stream) {
    return size_t(kStreamOffset + kStreamSize * stream);
}

}  // namespace

std::string CamMuxProgram::InputName() const {
    return ByteReader(bytes).Text(1, 32);
}
std::string CamMuxProgram::OutputName() const {
    return ByteReader(bytes).Text(33, 32);
}
uint16_t CamMuxProgram::ServiceId() const {
    return Le16(bytes, 67);
}
uint16_t CamMuxProgram::PmtPid() const {
    return Le16(bytes, 71);
}
uint16_t CamMuxProgram::PcrPid() const {
    return Le16(bytes, 75);
}
int CamMuxProgram::StreamCount() const {
    return std::min<int>(bytes[77], kMaxStreams);
}
uint8_t CamMuxProgram::StreamType(int s) const {
    return bytes[StreamAt(s)];
}
uint16_t CamMuxProgram::StreamPid(int s) const {
    return Le16(bytes, StreamAt(s) + 3);
}
int CamMuxProgram::StreamEcmCount(int s) const {
    return std::min<int>(bytes[StreamAt(s) + 5], kCamMuxEcmEntries);
}
int CamMuxProgram::StreamFirstIndex(int s) const {
    return bytes[StreamAt(s) + 6];
}
uint16_t CamMuxProgram::StreamEcmPid(int s, int j) const {
    return Le16(bytes, StreamAt(s) + 7 + size_t(2 * j));
}
uint32_t CamMuxProgram::StreamMask(int s) const {
    return Le32(bytes, StreamAt(s) + 47);
}
int CamMuxProgram::EcmCount() const {
    return std::min<int>(bytes[1710], kCamMuxEcmEntries);
}
int CamMuxProgram::FirstIndex() const {
    return bytes[1711];
}
uint16_t CamMuxProgram::EcmPid(int i) const {
    return Le16(bytes, 1712 + size_t(2 * i));
}
uint32_t CamMuxProgram::Mask() const {
    return Le32(bytes, 1752);
}
bool CamMuxProgram::HasEcm() const {
    if (EcmCount() > 0)
        return true;
    for (int s = 0; s < StreamCount(); ++s)
        if (StreamEcmCount(s) > 0)
            return true;
    return false;
}

std::string CamMuxStreamLabel(uint8_t type) {
    const char* name = "Unknow";
    switch (type) {
        case 0x01:
            name = "MPEG1 VIDEO";
            break;
        case 0x02:
            name = "MPEG2 VIDEO";
            break;
        case 0x03:
            name = "MPEG1 AUDIO";
            break;
        case 0x04:
            name = "MPEG2 AUDIO";
            break;
        case 0x05:
            name = "Private Section";
            break;
        case 0x06:
            name = "A52 Audio(aka AC3)";
            break;
        case 0x0f:
            name = "AAC Audio";
            break;
        case 0x1b:
            name = "H.264 VIDEO";
            break;
        case 0x81:
            name = "AC3 Audio";
            break;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%s:%02X", name, type);
    return text;
}

std::string CamMuxEditLabel(uint8_t type) {
    const char* name = "User Define Data";
    unsigned shown = type;
    switch (type) {
        case 0x01:
            name = "MPEG-1 Video";
            break;
        case 0x02:
            name = "MPEG-2 Video";
            break;
        case 0x03:
            name = "MPEG-1 Audio";
            break;
        case 0x04:
            name = "MPEG-2 Audio";
            break;
        case 0x05:
            name = "Private Section";
            break;
        case 0x1b:
            name = "H.264 Video";
            break;
        case 0x0f:
            name = "HE-AAC Audio";
            break;
        case 0x81:
            name = "AC3 Audio";
            break;
        case 0x06:
            name = "A52 Audio(aka AC3)";
            shown = 0x81;
            break;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%02X %s", shown, name);
    return text;
}

CamMuxLogic::CamMuxLogic() : m_config(kCamOutputConfigSize) {
    for (auto& programs : m_programs)
        programs.resize(kPrograms);
}

uint16_t CamMuxLogic::CaSystemId(int input, int index) const {
    const auto& table = m_caTables[size_t(input)];
    return index >= 0 && size_t(index) < table.size() ? uint16_t(table[size_t(index)] >> 16) : 0;
}

CamMuxProgram* CamMuxLogic::Row(int row) {
    return row >= 0 && row < m_counts[size_t(m_input)] ? &m_programs[size_t(m_input)][size_t(row)] : nullptr;
}

PageStep CamMuxLogic::Ask(uint8_t command, std::vector<uint8_t> payload, PageStep::Wait wait) {
    m_await.Expect(command);
    return PageStep::Request(command, std::move(payload), wait);
}

PageStep CamMuxLogic::Parse(int input) {
    m_input = input == 1 ? 1 : 0;
    m_warned = false;
    m_writing = false;
    return Ask(kCmdCamIrdParse, {uint8_t(m_input + 1), 1, 0}, PageStep::Wait::kBeginLong);
}

PageStep CamMuxLogic::Refresh(int input) {
    m_input = input == 1 ? 1 : 0;
    m_warned = false;
    m_writing = false;
    for (int i = 0; i < kCamMuxInputs; ++i) {
        m_counts[size_t(i)] = 0;
        m_caTables[size_t(i)].clear();
        m_cats[size_t(i)] = CamMuxCat();
        for (CamMuxProgram& p : m_programs[size_t(i)])
            std::fill(p.bytes.begin(), p.bytes.end(), 0);
    }
    m_config.Clear();
    PageStep step = Ask(kCmdCamIrdCat, {uint8_t(m_input + 1)}, PageStep::Wait::kBegin);
    step.refresh = kRefreshPrograms;
    return step;
}

PageStep CamMuxLogic::WriteConfig(int input, const std::vector<std::optional<FieldInput>>& config,
                                  const std::array<bool, kCamMuxPassBoxes>& passBoxes) {
    m_failedField = -1;
    const CollectResult result = CollectFields(CamOutputConfigTable(), config, m_config);
    if (!result.ok) {
        m_failedField = result.field;
        return PageStep::Message(result.message);
    }
    // A set bit means "not passed"; a box left as shown keeps its bit as read.
    uint8_t& flags = m_config.Bytes()[kCamMuxPassFlags];
    for (int b = 0; b < kCamMuxPassBoxes; ++b) {
        const bool shownPassed = !(flags >> b & 1);
        if (passBoxes[size_t(b)] != shownPassed)
            flags = uint8_t(passBoxes[size_t(b)] ? flags & ~(1u << b) : flags | (1u << b));
    }
    m_input = input == 1 ? 1 : 0;
    m_counter = 0;
    m_warned = false;
    m_writing = true;
    return Ask(kCmdCamMuxWriteConfig, m_config.Bytes(), PageStep::Wait::kBegin);
}

PageStep CamMuxLogic::WriteEcm(int row) {
    const CamMuxProgram* p = Row(row);
    if (!p)
        return {};
    std::vector<uint8_t> payload = {uint8_t(m_input + 1), uint8_t(row + 1)};
    ByteAppender out(payload);
    out.U32LE(p->Mask());
    for (int s = 0; s < p->StreamCount(); ++s)
        out.U32LE(p->StreamMask(s));
    m_warned = false;
    return Ask(kCmdCamMuxEcm, std::move(payload), PageStep::Wait::kBegin);
}

void CamMuxLogic::SetOperation(int row, uint8_t operation) {
    if (CamMuxProgram* p = Row(row); p && operation <= 3)
        p->bytes[0] = operation;
}

void CamMuxLogic::ToggleEcm(int row, int stream, int entry) {
    CamMuxProgram* p = Row(row);
    if (!p || entry < 0 || entry >= kCamMuxEcmEntries)
        return;
    size_t at = 1752;
    if (stream >= 0) {
        if (stream >= p->StreamCount())
            return;
        at = StreamAt(stream) + 47;
    }
    ByteWriter(p->bytes).U32LE(at, Le32(p->bytes, at) ^ (1u << entry));
}

EditProgramFields CamMuxLogic::EditFields(int row) const {
    EditProgramFields f;
    if (row < 0 || row >= m_counts[size_t(m_input)])
        return f;
    const CamMuxProgram& p = m_programs[size_t(m_input)][size_t(row)];
    f.name = p.OutputName().empty() ? p.InputName() : p.OutputName();
    if (f.name.size() > kMaxProgramNameBytes)
        f.name.resize(kMaxProgramNameBytes);
    f.serviceId = std::to_string(p.ServiceId());
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", p.PmtPid());
    f.pmtPid = hex;
    std::snprintf(hex, sizeof hex, "%x", p.PcrPid());
    f.pcrPid = hex;
    if (p.EcmCount() >= 1)
        for (int i = 0; i < p.EcmCount(); ++i) {
            f.caSystemIds[size_t(i)] = CaSystemId(m_input, p.FirstIndex() + i);
            f.ecmPids[size_t(i)] = p.EcmPid(i);
        }
    if (p.StreamCount() >= 1)
        for (int s = 0; s < p.StreamCount(); ++s) {
            f.elementPids[size_t(s)] = int16_t(p.StreamPid(s));
            f.elementLabels[size_t(s)] = CamMuxEditLabel(p.StreamType(s));
        }
    return f;
}

PageStep CamMuxLogic::ApplyEdit(int row, const EditProgramFields& f) {
    CamMuxProgram* p = Row(row);
    if (!p)
        return {};
    ByteWriter w(p->bytes);
    w.Text(33, 32, f.name);
    w.U8(64, 0);
    w.U16LE(67, uint16_t(ParseFirstNumber(f.serviceId)));
    w.U16LE(71, uint16_t(HexTextToUInt32(f.pmtPid)));
    w.U16LE(75, uint16_t(HexTextToUInt32(f.pcrPid)));
    for (int i = 0; i < p->EcmCount(); ++i)
        w.U16LE(1712 + size_t(2 * i), f.ecmPids[size_t(i)]);
    for (int s = 0; s < kMaxStreams; ++s)
        w.U16LE(StreamAt(s) + 3, s < p->StreamCount() ? uint16_t(f.elementPids[size_t(s)]) : 0);
    std::vector<uint8_t> payload = {uint8_t(m_input + 1), uint8_t(row + 1)};
    payload.insert(payload.end(), p->bytes.begin(), p->bytes.end());
    m_warned = false;
    PageStep step = Ask(kCmdCamIrdWriteProgram, std::move(payload), PageStep::Wait::kBegin);
    step.refresh = kRefreshPrograms;
    return step;
}

PageStep CamMuxLogic::Finish() {
    m_counter = m_expected = 1;
    m_await.Clear();
    PageStep step = PageStep::End(kRefreshPrograms);
    step.sendVersion = true;
    return step;
}

PageStep CamMuxLogic::Hold(const PageStep& warning) {
    m_pendingWarning.insert(m_pendingWarning.end(), warning.messages.begin(), warning.messages.end());
    return {};
}

PageStep CamMuxLogic::HandleReply(const ReplyView& reply) {
    return ReplyStep(m_await, reply, false, [&] { return Handle(reply); });
}

PageStep CamMuxLogic::Handle(const ReplyView& reply) {
    const int command = reply.Command();
    const ByteReader r = reply.Reader();
    PageStep step;
    if (command == kCmdCamMuxNextRecord) {
        // The device asks for the next record while the configuration is written.
        if (!m_writing || m_counter >= m_counts[size_t(m_input)])
            return {};
        std::vector<uint8_t> payload = {uint8_t(m_input + 1), uint8_t(m_counter)};
        const auto& record = m_programs[size_t(m_input)][size_t(m_counter)].bytes;
        payload.insert(payload.end(), record.begin(), record.end());
        ++m_counter;
        return PageStep::Request(kCmdCamIrdProgram, std::move(payload), PageStep::Wait::kNone);
    }
    if (!m_await.InTime(reply))
        return {};
    // Devices with software 3.01 to 3.21 need an update: said once per operation.
    const int soft = int(m_version & 0xff) * 256 + int(m_version >> 8 & 0xff);
    if (!m_warned && soft >= 0x301 && soft <= 0x315) {
        char text[64];
        std::snprintf(text, sizeof text, "Please Update SW version %03x to >= 3.16", unsigned(soft));
        step.messages.push_back(text);
        m_warned = true;
    }
    PageStep next;
    switch (command) {
        case kCmdCamIrdParse: {
            uint8_t input = 0, count = 0;
            if (!r.U8(0, &input) || !r.U8(1, &count))
                return Hold(step);
            if (count != 0 && count != 0xff) {
                next = Ask(kCmdCamIrdCat, {input}, PageStep::Wait::kNone);
            } else {
                m_await.Clear();
                next = PageStep::End(PageStep::kRefreshNone)
                           .WithMessage(m_input == 0 ? "RF:no input." : "ASI:no input.");
            }
            break;
        }
        case kCmdCamIrdCat: {
            uint8_t input = 0, n = 0;
            if (!r.U8(0, &input) || !r.U8(1, &n))
                return Hold(step);
            if (input >= 1 && input <= kCamMuxInputs) {
                auto& table = m_caTables[size_t(input - 1)];
                table.clear();
                for (int i = 0; i < n; ++i) {
                    uint32_t entry = 0;
                    if (!r.U32BE(size_t(2 + 4 * i), &entry))
                        break;
                    table.push_back(entry & 0xffff1fffu);
                }
            }
            next = Ask(kCmdCamMuxCat, {input}, PageStep::Wait::kNone);
            break;
        }
        case kCmdCamMuxCat: {
            uint8_t input = 0;
            if (!r.U8(0, &input))
                return Hold(step);
            if (input >= 1 && input <= kCamMuxInputs && r.Has(0, 3)) {
                CamMuxCat& cat = m_cats[size_t(input - 1)];
                cat.emmCount = std::min<int>(r.U8Or(1), kCamMuxEcmEntries);
                cat.firstIndex = r.U8Or(2);
                for (int i = 0; i < kCamMuxEcmEntries; ++i)
                    cat.emmPids[size_t(i)] = r.U16LEOr(size_t(3 + 2 * i));
            }
            next = Ask(kCmdCamIrdConfig, {input}, PageStep::Wait::kNone);
            break;
        }
        case kCmdCamIrdConfig:
            if (r.Has(0, kCamOutputConfigSize))
                m_config.Load(r);
            m_counter = m_expected = 1;
            m_counts[size_t(m_input)] = 0;
            m_lastProgram.clear();
            next = Ask(kCmdCamIrdProgram, {uint8_t(m_input + 1), 1, 0}, PageStep::Wait::kNone);
            break;
        case kCmdCamIrdProgram: {
            // A second copy of the reply just taken moves nothing; any other program reply moves the
            // read on by one, whichever program it carries.
            std::vector<uint8_t> key = {reply.B(), reply.C()};
            key.insert(key.end(), reply.Payload(), reply.Payload() + reply.PayloadLength());
            if (key == m_lastProgram)
                return Hold(step);
            m_lastProgram = std::move(key);
            uint8_t input = uint8_t(m_input + 1), number = 0, count = 0;
            ++m_counter;
            if (r.U8(0, &input) && r.U8(1, &number) && r.U8(2, &count) && input >= 1 &&
                input <= kCamMuxInputs) {
                // Every program the device counts is asked for; the table holds programs 1..128.
                m_expected = count;
                m_counts[size_t(input - 1)] = std::min<int>(count, kPrograms);
                if (r.Has(3, kCamMuxRecordSize) && number >= 1 && number <= kPrograms)
                    r.Bytes(3, kCamMuxRecordSize,
                            m_programs[size_t(input - 1)][size_t(number - 1)].bytes.data());
            }
            if (m_counter <= m_expected)
                next = Ask(kCmdCamIrdProgram, {input, uint8_t(m_counter), 0}, PageStep::Wait::kNone);
            else
                next = Finish();
            break;
        }
        case kCmdCamMuxWriteConfig: {
            const int n = m_counts[size_t(m_input)];
            std::vector<uint8_t> payload = {uint8_t(m_input + 1), uint8_t(n)};
            for (int i = 0; i < n; ++i)
                payload.push_back(m_programs[size_t(m_input)][size_t(i)].bytes[0]);
            next = Ask(kCmdCamIrdSelection, std::move(payload), PageStep::Wait::kNone);
            break;
        }
        case kCmdCamIrdSelection: {
            m_await.Clear();
            m_writing = false;
            next = PageStep::End(PageStep::kRefreshNone);
            uint32_t flags = 0;
            if (r.U32LE(0, &flags) && (flags & (1u << 13))) {
                char text[96];
                std::snprintf(text, sizeof text,
                              "Warning:Too many channels,Can not output some channels,%d,%d", r.U16LEOr(4),
                              r.U16LEOr(6));
                next.messages.push_back(text);
            }
            break;
        }
        case kCmdCamIrdWriteProgram:
        case kCmdCamMuxEcm:
            m_await.Clear();
            next = PageStep::End(PageStep::kRefreshNone);
            break;
        default:
            return {};
    }
    // The warning waits for the end of the operation: no box opens while a wait runs.
    m_pendingWarning.insert(m_pendingWarning.end(), step.messages.begin(), step.messages.end());
    if (next.wait == PageStep::Wait::kEnd) {
        next.messages.insert(next.messages.begin(), m_pendingWarning.begin(), m_pendingWarning.end());
        m_pendingWarning.clear();
    }
    return next;
}

}  // namespace nms
