// The script texts of the Magnum encoders: per channel pair a store of numbered lines of 180 bytes
// (zero-terminated), read five at a time with command 0x62 and written five at a time with 0x63. The
// "Video/Audio" page keeps 100 lines of text; the command page 120 lines that keep their line ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/reply_view.h"
#include "pagebase/page_step.h"

namespace nms {

constexpr uint8_t kCmdScriptRead = 0x62;
constexpr uint8_t kCmdScriptWrite = 0x63;
constexpr int kScriptLineSize = 180;
constexpr int kScriptLinesPerPacket = 5;
constexpr int kMagnumPairs = 4;

class ScriptExchange {
public:
    // maxLines: the store; keepLineEnds: each line is stored with its "\r\n".
    ScriptExchange(int maxLines, bool keepLineEnds) : m_maxLines(maxLines), m_keepLineEnds(keepLineEnds) {}

    int MaxLines() const { return m_maxLines; }
    int MaxLineBytes() const { return kScriptLineSize - 1 - (m_keepLineEnds ? 2 : 0); }
    const std::vector<std::string>& Lines() const { return m_lines; }
    int Pair() const { return m_pair; }
    bool Busy() const { return m_state != State::kIdle; }

    // The first read request of a pair's lines.
    PageStep Read(int pair, PageStep::Wait wait);
    // A 0x62 reply. *done: the last line arrived (the caller shows the text and ends the wait).
    PageStep OnReadReply(const ReplyView& reply, bool* done);
    // The stored lines as one text: each followed by "\r\n" (lines that keep their ends as they are).
    std::string Text() const;
    // Splits a text into lines (any run of carriage returns and line feeds ends a line; a trailing line
    // end adds no empty line). False with the message when a line or the line count does not fit.
    bool SetText(const std::string& text, std::string* message);
    // The first write request of the lines set; the replies send the rest.
    PageStep Write(int pair, PageStep::Wait wait);
    PageStep OnWriteReply(bool* done);
    void Stop() { m_state = State::kIdle; }

    static std::vector<std::string> SplitLines(const std::string& text);

private:
    enum class State { kIdle, kReading, kWriting };
    PageStep WritePacket(int first, PageStep::Wait wait);

    int m_maxLines;
    bool m_keepLineEnds;
    std::vector<std::string> m_lines;  // code-page bytes, without the zero padding
    int m_pair = 0;
    int m_next = 0;  // the first line of the packet asked for (reading) or to send next (writing)
    State m_state = State::kIdle;
};

}  // namespace nms
