#include "pages/mux/pid_forward_logic.h"

#include <cstdio>

#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr char kPidTooLarge[] = "PID value must be less than 8192 !";

std::string Hex(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

// The leading decimal digits of a cell, as the entry byte they stand for.
uint8_t CellByte(const std::string& text) {
    unsigned value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            break;
        value = (value * 10 + unsigned(ch - '0')) & 0xFFFFu;
    }
    return static_cast<uint8_t>(value);
}

void PutPid(std::vector<uint8_t>* out, const std::string& text) {
    const uint16_t pid = HexTextToUShort(text);
    out->push_back(static_cast<uint8_t>(pid >> 8));
    out->push_back(static_cast<uint8_t>(pid));
}

}  // namespace

std::string CheckPidTextMessage(const std::string& text) {
    if (text.size() > 4)
        return "PID length should not be more than 4 characters.";
    if (!IsHexText(text)) {
        std::string message = "PID ";
        message.append(text).append("should be 0-9,a-f or A-F!");
        return message;
    }
    return {};
}

std::string AddPidRefusal(const std::string& oldPid, const std::string& newPid, bool filterMode) {
    if (!filterMode) {
        std::string message = CheckPidTextMessage(oldPid);
        if (!message.empty())
            return message;
        if (oldPid.empty())
            return "Please input the old PID.";
        if (HexTextToUInt32(oldPid) >= 8192)
            return kPidTooLarge;
    }
    if (newPid.empty())
        return "Please input the new PID.";
    std::string message = CheckPidTextMessage(newPid);
    if (!message.empty())
        return message;
    if (HexTextToUInt32(newPid) >= 8192)
        return kPidTooLarge;
    return {};
}

std::string OutputLabels(unsigned mask, bool lastBare) {
    std::string text;
    for (int bit = 0; bit < 4; ++bit) {
        if (!(mask & (1u << bit)))
            continue;
        static const char* const kLabels[4] = {"(1)", "(2)", "(3)", "(4)"};
        text.append(kLabels[bit]);
        if (bit < 3 || !lastBare)
            text.push_back(' ');
    }
    return text;
}

PidForwardLogic::PidForwardLogic(int pageParam) : m_pageParam(pageParam) {}

std::vector<std::pair<std::string, int>> PidForwardLogic::Columns() const {
    std::vector<std::pair<std::string, int>> columns = {{"ASI", 50}, {"Old PID", 70}, {"New PID", 70}};
    if (IsTwoTable() || IsFourOutput())
        columns.emplace_back("Out ASI", 100);
    if (!IsTwoTable())
        columns.emplace_back("C", 50);
    return columns;
}

PageStep PidForwardLogic::Get() {
    if (Waiting())
        return {};
    m_rows.clear();
    m_awaited.Expect(kCmdGetPidForward);
    m_phase = 0;
    PageStep step;
    step.command = kCmdGetPidForward;
    step.payload = {static_cast<uint8_t>(IsTwoTable() ? 1 : 0)};
    step.wait = PageStep::Wait::kBeginShort;
    return step;
}

PageStep PidForwardLogic::Set() {
    if (Waiting())
        return {};
    PageStep step;
    step.command = kCmdSetPidForward;
    step.payload = BuildRequest();
    step.wait = PageStep::Wait::kBeginShort;
    m_secondTable = IsTwoTable() ? BuildSecondTable() : std::vector<uint8_t>();
    m_awaited.Expect(kCmdSetPidForward);
    m_phase = 0;
    return step;
}

bool PidForwardLogic::Delete(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return false;
    m_rows.erase(m_rows.begin() + row);
    return true;
}

void PidForwardLogic::AppendEntry(std::vector<uint8_t>* out, const PidForwardRow& row) const {
    out->push_back(CellByte(IsFourOutput() ? row.c : row.asi));
    PutPid(out, row.oldPid);
    PutPid(out, row.newPid);
}

std::vector<uint8_t> PidForwardLogic::BuildTable(int selector, bool (*take)(const PidForwardRow&)) const {
    std::vector<uint8_t> out;
    if (selector >= 0)
        out.push_back(static_cast<uint8_t>(selector));
    const size_t countAt = out.size();
    out.push_back(0);
    unsigned count = 0;
    for (const auto& row : m_rows) {
        if (take && !take(row))
            continue;
        AppendEntry(&out, row);
        ++count;
    }
    out[countAt] = static_cast<uint8_t>(count);
    return out;
}

namespace {
bool OnOutputA(const PidForwardRow& row) {
    return !row.outAsi.empty() && row.outAsi[0] == 'A';
}
bool OnOutputB(const PidForwardRow& row) {
    return !OnOutputA(row);
}
}  // namespace

std::vector<uint8_t> PidForwardLogic::BuildRequest() const {
    if (IsTwoTable())
        return BuildTable(1, OnOutputA);
    return BuildTable(IsFourOutput() ? 0 : -1, nullptr);
}

std::vector<uint8_t> PidForwardLogic::BuildSecondTable() const {
    return BuildTable(2, OnOutputB);
}

PageStep PidForwardLogic::HandleReply(const ReplyView& reply) {
    if (!reply.IsValid() || !m_awaited.InTime(reply))
        return {};
    PageStep step;
    if (m_awaited.Awaited() == kCmdSetPidForward) {
        if (IsTwoTable() && m_phase == 0) {
            m_phase = 1;
            step.command = kCmdSetPidForward;
            step.payload = m_secondTable;
            return step;
        }
        Done();
        step.wait = PageStep::Wait::kEnd;
        return step;
    }

    // The table: [selector echo] count entries...
    const bool hasSelector = IsTwoTable() || IsFourOutput();
    const int countAt = hasSelector ? 1 : 0;
    uint8_t echo = 0, count = 0;
    if ((hasSelector && !reply.U8(0, &echo)) || !reply.U8(countAt, &count))
        return {};
    const int first = countAt + 1;
    // A table shorter than its count is not this answer. The echo names the rows' output (1 A, anything
    // else B); the second table is asked for after the first whatever it echoed.
    if (!reply.Has(first, count * kPidForwardEntrySize))
        return {};
    for (int i = 0; i < count; ++i) {
        const int at = first + i * kPidForwardEntrySize;
        uint8_t byte = 0;
        uint16_t oldPid = 0, newPid = 0;
        reply.U8(at, &byte);
        reply.U16BE(at + 1, &oldPid);
        reply.U16BE(at + 3, &newPid);
        PidForwardRow row;
        if (IsFourOutput()) {
            row.asi.assign(1, '5');
            row.c = std::to_string(byte);
            row.outAsi = OutputLabels(byte, true);
        } else {
            row.asi = std::to_string(byte);
        }
        row.oldPid = Hex(oldPid);
        row.newPid = Hex(newPid);
        if (IsTwoTable())
            row.outAsi.assign(1, echo == 1 ? 'A' : 'B');
        m_rows.push_back(std::move(row));
    }
    if (IsTwoTable() && m_phase == 0) {
        m_phase = 1;
        step.command = kCmdGetPidForward;
        step.payload = {2};
        return step;
    }
    Done();
    step.wait = PageStep::Wait::kEnd;
    return step;
}

AddPidFields PidForwardLogic::AddFields() const {
    AddPidFields f;
    f.input = 1;
    f.outputSelection = -1;
    switch (m_pageParam) {
        case 1:
            f.outputMode = 1;
            break;
        case 64:
        case 65:
            f.inputFixed = 1;
            f.input = 2;
            break;
        case 82:
            f.inputFixed = 1;
            f.input = 1;
            break;
        case 66:
            f.inputFixed = 1;
            f.input = 5;
            f.outputMode = 4;
            f.outputSelection = 0;
            break;
        default:
            break;
    }
    return f;
}

bool PidForwardLogic::EditFields(int row, AddPidFields* fields) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || !fields)
        return false;
    const PidForwardRow& r = m_rows[row];
    AddPidFields f = AddFields();
    f.oldPid = r.oldPid;
    f.newPid = r.newPid;
    f.input = CellByte(r.asi);
    if (IsTwoTable()) {
        f.outputSelection = OnOutputA(r) ? 0 : 1;
    } else if (IsFourOutput()) {
        f.input = 5;
        f.outputSelection = CellByte(r.c);
    } else if (f.inputFixed) {
        f.input = m_pageParam == 82 ? 1 : 2;
    }
    *fields = f;
    return true;
}

PidForwardRow PidForwardLogic::RowFrom(const AddPidFields& f) const {
    PidForwardRow row;
    if (IsFourOutput()) {
        row.asi.assign(1, '5');
        row.c = std::to_string(f.input);
        row.outAsi = OutputLabels(f.input, false);
    } else {
        row.asi = std::to_string(f.input);
    }
    row.oldPid = f.oldPid;
    row.newPid = f.newPid;
    if (IsTwoTable())
        row.outAsi.assign(1, f.outputSelection == 0 ? 'A' : 'B');
    return row;
}

}  // namespace nms
