#include "pages/encoder/magnum_script.h"

#include <cstdio>

namespace nms {
namespace {

constexpr size_t kPairByte = 2;
constexpr size_t kFirstByte = 3;
constexpr size_t kCountByte = 4;
constexpr size_t kLinesAt = 5;

}  // namespace

std::vector<std::string> ScriptExchange::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = text.find_first_not_of("\r\n", end);
        if (at == std::string::npos)
            break;
    }
    return lines;
}

PageStep ScriptExchange::Read(int pair, PageStep::Wait wait) {
    m_pair = pair;
    m_next = 0;
    m_lines.clear();
    m_state = State::kReading;
    return PageStep::Request(kCmdScriptRead, {0, 0, uint8_t(pair), 0}, wait);
}

PageStep ScriptExchange::OnReadReply(const ReplyView& reply, bool* done) {
    *done = false;
    if (m_state != State::kReading)
        return {};
    uint8_t pair = 0, first = 0, count = 0;
    if (!reply.U8(kPairByte, &pair) || !reply.U8(kFirstByte, &first) || !reply.U8(kCountByte, &count))
        return {};
    if (pair >= kMagnumPairs || count > m_maxLines) {
        // No store holds that: the chain ends here, nothing shown.
        m_state = State::kIdle;
        return PageStep::End(PageStep::kRefreshNone);
    }
    if (pair != m_pair || first != m_next)
        return {};  // a repeated or stray packet
    if (first >= count) {
        m_lines.resize(count);
        m_state = State::kIdle;
        *done = true;
        return {};
    }
    if (!reply.Has(int(kLinesAt), kScriptLinesPerPacket * kScriptLineSize))
        return {};
    if (m_lines.size() < count)
        m_lines.resize(count);
    const ByteReader r = reply.Reader();
    for (int k = 0; k < kScriptLinesPerPacket && first + k < count; ++k)
        m_lines[size_t(first + k)] = r.Text(kLinesAt + size_t(k * kScriptLineSize), kScriptLineSize - 1);
    m_next = first + kScriptLinesPerPacket;
    PageStep step =
        PageStep::Request(kCmdScriptRead, {0, 0, uint8_t(m_pair), uint8_t(m_next)}, PageStep::Wait::kNone);
    step.checkOnline = false;
    return step;
}

std::string ScriptExchange::Text() const {
    std::string text;
    for (const std::string& line : m_lines)
        text += m_keepLineEnds ? line : line + "\r\n";
    return text;
}

bool ScriptExchange::SetText(const std::string& text, std::string* message) {
    std::vector<std::string> lines = SplitLines(text);
    char buffer[96];
    if (int(lines.size()) > m_maxLines) {
        std::snprintf(buffer, sizeof buffer, "The script has %d lines; at most %d fit.", int(lines.size()),
                      m_maxLines);
        *message = buffer;
        return false;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        if (int(lines[i].size()) > MaxLineBytes()) {
            std::snprintf(buffer, sizeof buffer, "Line %d is longer than %d characters.", int(i + 1),
                          MaxLineBytes());
            *message = buffer;
            return false;
        }
        if (m_keepLineEnds)
            lines[i] += "\r\n";
    }
    m_lines = std::move(lines);
    return true;
}

PageStep ScriptExchange::WritePacket(int first, PageStep::Wait wait) {
    std::vector<uint8_t> payload = {0, 0, uint8_t(m_pair), uint8_t(first), uint8_t(m_lines.size())};
    payload.resize(payload.size() + kScriptLinesPerPacket * kScriptLineSize, 0);
    for (int k = 0; k < kScriptLinesPerPacket && first + k < int(m_lines.size()); ++k) {
        const std::string& line = m_lines[size_t(first + k)];
        std::copy(line.begin(), line.end(), payload.begin() + long(kLinesAt + size_t(k * kScriptLineSize)));
    }
    m_next = first + kScriptLinesPerPacket;
    PageStep step = PageStep::Request(kCmdScriptWrite, std::move(payload), wait);
    step.checkOnline = wait != PageStep::Wait::kNone;
    return step;
}

PageStep ScriptExchange::Write(int pair, PageStep::Wait wait) {
    m_pair = pair;
    m_state = State::kWriting;
    return WritePacket(0, wait);
}

PageStep ScriptExchange::OnWriteReply(bool* done) {
    *done = false;
    if (m_state != State::kWriting)
        return {};
    if (m_next < int(m_lines.size()))
        return WritePacket(m_next, PageStep::Wait::kNone);
    m_state = State::kIdle;
    *done = true;
    return {};
}

}  // namespace nms
