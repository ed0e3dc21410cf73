#include "pages/mux/pid_segment_logic.h"

#include <algorithm>
#include <cstdio>

#include "devices/byte_io.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

int DecimalValue(const std::string& text) {
    int value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            break;
        value = (value * 10 + (ch - '0')) & 0xFFFFF;
    }
    return value;
}

}  // namespace

std::string OutputListText(uint32_t mask, int bits) {
    std::string text;
    for (int bit = 0; bit < bits && bit < 32; ++bit) {
        if (mask & (1u << bit)) {
            text.append(std::to_string(bit + 1));
            text.push_back(',');
        }
    }
    return text;
}

uint32_t MaskFromBoxes(const bool boxes[16], int outputCount, uint32_t previous) {
    if (outputCount < 2)
        return previous;
    const int taken = outputCount >= 4 ? 16 : outputCount;
    uint32_t mask = 0;
    for (int bit = 0; bit < taken; ++bit)
        if (boxes[bit])
            mask |= 1u << bit;
    return mask;
}

PidSegmentLogic::PidSegmentLogic(int pageParam, uint16_t deviceType)
    : m_pageParam(pageParam), m_deviceType(deviceType), m_image(kPidImageCapacity, 0) {}

int PidSegmentLogic::InputCount() const {
    switch (m_pageParam) {
        case 17:
        case 102:
            return 64;
        case 18:
        case 19:
            return 8;
        case 33:
        case 38:
            return 12;
        case 39:
            return 16;
        default:
            return 1;
    }
}

int PidSegmentLogic::OutputCount() const {
    switch (m_pageParam) {
        case 17:
        case 18:
        case 33:
            return 4;
        case 38:
            return 3;
        case 39:
            return m_deviceType == 0x2125 ? 4 : 2;
        case 102:
            return 4 * m_moduleCount;
        default:
            return 1;
    }
}

std::vector<std::pair<std::string, int>> PidSegmentLogic::Columns() const {
    return {
        {"Index", 50}, {"Input", 60}, {"Old PID", 70}, {"New PID", 70}, {"Output", IsChassis() ? 280 : 60},
        {"Value", 80}};
}

void PidSegmentLogic::Reset() {
    m_rows.clear();
    m_moduleCount = 1;
}

std::vector<uint8_t> PidSegmentLogic::SegmentRequest(uint8_t command, int offset) const {
    std::vector<uint8_t> out;
    if (IsChassis())
        out.assign(8, 0);
    ByteAppender(out).U16BE(static_cast<uint16_t>(offset));
    if (command == kCmdSetPidForward) {
        const int length = std::min(m_total - offset, kPidSegmentMax);
        ByteAppender(out).U16BE(static_cast<uint16_t>(length));
        out.insert(out.end(), m_image.begin() + offset, m_image.begin() + offset + length);
    }
    return out;
}

PageStep PidSegmentLogic::Get() {
    if (Waiting())
        return {};
    m_rows.clear();
    m_total = 0;
    // A Set leaves the image the size of the list it sent: a Get starts again from the whole image.
    m_image.assign(kPidImageCapacity, 0);
    m_awaited.Expect(kCmdGetPidForward);
    m_offset = 0;
    PageStep step;
    step.command = kCmdGetPidForward;
    step.payload = SegmentRequest(kCmdGetPidForward, 0);
    step.wait = PageStep::Wait::kBeginShort;
    return step;
}

std::vector<uint8_t> PidSegmentLogic::BuildImage() const {
    std::vector<uint8_t> image;
    ByteAppender(image).U16BE(static_cast<uint16_t>(m_rows.size()));
    for (const auto& row : m_rows) {
        const unsigned input = unsigned(DecimalValue(row.input) - 1) & 0xFFFFu;
        const unsigned oldPid = HexTextToUShort(row.oldPid) & 0x1FFFu;
        const unsigned newPid = HexTextToUShort(row.newPid) & 0x1FFFu;
        if (IsChassis()) {
            ByteAppender(image).U16BE(static_cast<uint16_t>(input));
            ByteAppender(image).U16BE(static_cast<uint16_t>(row.mask & 0xFFFFu));
        } else {
            image.push_back(static_cast<uint8_t>(input));
            image.push_back(static_cast<uint8_t>(row.mask));
        }
        ByteAppender(image).U16BE(static_cast<uint16_t>(oldPid));
        ByteAppender(image).U16BE(static_cast<uint16_t>(newPid));
    }
    return image;
}

PageStep PidSegmentLogic::Set() {
    if (Waiting())
        return {};
    m_image = BuildImage();
    m_total = static_cast<int>(m_image.size());
    m_awaited.Expect(kCmdSetPidForward);
    m_offset = 0;
    PageStep step;
    step.command = kCmdSetPidForward;
    step.payload = SegmentRequest(kCmdSetPidForward, 0);
    step.wait = PageStep::Wait::kBeginShort;
    return step;
}

PageStep PidSegmentLogic::HandleReply(const ReplyView& reply) {
    if (!reply.IsValid() || !m_awaited.InTime(reply))
        return {};
    return m_awaited.Awaited() == kCmdGetPidForward ? OnGet(reply) : OnSet(reply);
}

PageStep PidSegmentLogic::OnGet(const ReplyView& reply) {
    const int base = IsChassis() ? 8 : 0;
    uint16_t offset = 0, total = 0, length = 0;
    if (!reply.U16BE(base, &offset) || !reply.U16BE(base + 2, &total) || !reply.U16BE(base + 4, &length))
        return {};
    PageStep step;
    if (IsChassis()) {
        uint8_t modules = 0;
        reply.U8(1, &modules);
        if (modules == 0 || modules > 4) {
            Done();
            step.wait = PageStep::Wait::kEnd;
            step.messages.push_back("Module Error");
            return step;
        }
        m_moduleCount = modules;
    }
    // Another offset's answer, a segment that did not all arrive, or one beyond the image is not used;
    // an empty segment short of the total would ask for the same offset for ever.
    const size_t capacity = m_image.size();
    if (offset != m_offset || !reply.Has(base + 6, length) || size_t(offset) + length > capacity ||
        total > capacity || (length == 0 && offset < total))
        return {};
    m_total = total;
    reply.Bytes(base + 6, length, m_image.data() + offset);
    const int next = offset + length;
    if (next < m_total) {
        m_offset = next;
        step.command = kCmdGetPidForward;
        step.payload = SegmentRequest(kCmdGetPidForward, next);
        return step;
    }
    ParseImage();
    Done();
    step.wait = PageStep::Wait::kEnd;
    return step;
}

void PidSegmentLogic::ParseImage() {
    m_rows.clear();
    const int count = ByteReader(m_image).U16BEOr(0);
    const int size = EntrySize();
    // Only entries that lie inside the received image.
    const int fit = std::max(0, std::min(m_total, int(m_image.size())) - 2) / size;
    for (int i = 0; i < std::min(count, fit); ++i) {
        const uint8_t* e = m_image.data() + 2 + i * size;
        PidSegmentRow row;
        unsigned input, mask;
        if (IsChassis()) {
            input = unsigned(e[0] << 8 | e[1]);
            mask = unsigned(e[2] << 8 | e[3]);
            e += 4;
        } else {
            input = e[0];
            mask = e[1];
            e += 2;
        }
        row.index = std::to_string(i + 1);
        row.input = std::to_string(input + 1);
        row.oldPid = Hex(unsigned(e[0] << 8 | e[1]) & 0x1FFFu);
        row.newPid = Hex(unsigned(e[2] << 8 | e[3]) & 0x1FFFu);
        row.mask = mask;
        row.output = OutputListText(mask, OutputBits());
        m_rows.push_back(std::move(row));
    }
}

PageStep PidSegmentLogic::OnSet(const ReplyView& reply) {
    const int base = IsChassis() ? 8 : 0;
    uint16_t offset = 0, length = 0;
    if (!reply.U16BE(base, &offset) || !reply.U16BE(base + 2, &length))
        return {};
    const int next = offset + length;
    // Only progress within the image moves the transfer on.
    if (next <= m_offset || next > m_total)
        return {};
    PageStep step;
    if (next < m_total) {
        m_offset = next;
        step.command = kCmdSetPidForward;
        step.payload = SegmentRequest(kCmdSetPidForward, next);
        return step;
    }
    Done();
    step.wait = PageStep::Wait::kEnd;
    return step;
}

AddPidMultiFields PidSegmentLogic::AddFields() const {
    AddPidMultiFields f;
    f.input = 1;
    f.outputMask = 1;
    f.inputFixed = 0;
    f.inputCount = InputCount();
    f.outputCount = OutputCount();
    return f;
}

bool PidSegmentLogic::EditFields(int row, AddPidMultiFields* fields) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || !fields)
        return false;
    AddPidMultiFields f = AddFields();
    const PidSegmentRow& r = m_rows[size_t(row)];
    f.input = DecimalValue(r.input);
    f.oldPid = r.oldPid;
    f.newPid = r.newPid;
    f.outputMask = r.mask;
    *fields = f;
    return true;
}

void PidSegmentLogic::FillRow(PidSegmentRow* row, const AddPidMultiFields& f) const {
    row->input = std::to_string(f.input);
    row->oldPid = f.oldPid;
    row->newPid = f.newPid;
    row->mask = f.outputMask;
    row->output = OutputListText(f.outputMask, OutputBits());
}

void PidSegmentLogic::Add(const AddPidMultiFields& fields) {
    if (TableFull())
        return;
    PidSegmentRow row;
    row.index = std::to_string(m_rows.size() + 1);
    FillRow(&row, fields);
    m_rows.push_back(std::move(row));
}

bool PidSegmentLogic::Edit(int row, const AddPidMultiFields& fields) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return false;
    FillRow(&m_rows[size_t(row)], fields);
    return true;
}

bool PidSegmentLogic::Delete(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return false;
    m_rows.erase(m_rows.begin() + row);
    return true;
}

}  // namespace nms
