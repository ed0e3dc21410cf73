#include "pages/ird/cam4_channel_logic.h"

#include "devices/byte_io.h"

namespace nms {
namespace {

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xc0 | c >> 6);
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xe0 | c >> 12);
        out += char(0x80 | ((c >> 6) & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

}  // namespace

const char* CamProgramStatusText(uint8_t status) {
    return status == 1 ? "CAM" : status == 2 ? "Delete" : "Bypass";
}

std::string CamProgramEntry::RawName() const {
    return ByteReader(bytes.data(), bytes.size()).Text(1, 32);
}

std::string CamProgramEntry::Name(bool* utf8) const {
    if (bytes[1] == 0x11) {
        // UTF-16 big-endian in bytes 2..32, up to a 16-bit NUL; lone surrogates become '?'.
        std::string out;
        for (size_t i = 2; i + 1 <= 32; i += 2) {
            const uint32_t c = uint32_t(bytes[i] << 8 | bytes[i + 1]);
            if (c == 0)
                break;
            AppendUtf8(out, c >= 0xd800 && c <= 0xdfff ? '?' : c);
        }
        *utf8 = true;
        return out;
    }
    *utf8 = false;
    return RawName();
}

PageStep CamChannelLogic::Shown(int channel) {
    PageStep step = Get(channel);
    m_chain = true;
    return step;
}

PageStep CamChannelLogic::Get(std::optional<int> channel) {
    Select(channel.value_or(0));
    return Request(kCmdCamReadInput, CamReadInputRequest(m_channel), PageStep::Wait::kBegin);
}

PageStep CamChannelLogic::Set(const FormInputs& inputs, std::optional<int> channel) {
    Select(channel.value_or(0));
    ParamBlock& record = *InputRecordOf(m_channel);
    PageStep refused;
    if (!Collect(CamIrdInputTable(), inputs, record, &refused))
        return refused;
    StoreToneAsShown(CamIrdInputTable(), inputs, record);
    return Request(kCmdCamWriteInput, CamWriteInputRequest(m_channel, record.Bytes(), m_bitrate),
                   PageStep::Wait::kBegin);
}

PageStep CamChannelLogic::HandleReply(const ReplyView& reply) {
    if (reply.Command() != m_awaited)
        return {};
    switch (reply.Command()) {
        case kCmdCamReadInput:
            return InputReply(reply);
        case kCmdCamWriteInput:
            return EndWait(PageStep::kRefreshNone);
        default:
            return ChannelReply(reply);
    }
}

PageStep CamChannelLogic::InputReply(const ReplyView& reply) {
    CamInputReply input;
    ParamBlock* record = nullptr;
    if (!ParseCamInputReply(reply, &input) || !(record = InputRecordOf(input.channel)))
        return {};
    record->Bytes() = input.record;
    m_moduleType = input.moduleType;
    if (input.hasBitrate)
        m_bitrate = input.bitrate;
    if (m_chain) {
        m_chain = false;
        PageStep step = ContinueShown();
        step.refresh |= kRefreshInput;
        return step;
    }
    return EndWait(kRefreshInput);
}

PageStep CamChannelLogic::ParseRequest(int channel, uint8_t first) {
    Select(channel);
    return Request(kCmdCamParse, {first, uint8_t(m_channel)}, PageStep::Wait::kBeginLong);
}

PageStep CamChannelLogic::StartProgramRead(PageStep::Wait wait) {
    m_counter = 0;
    m_lastProgram.clear();
    PageStep step = Request(kCmdCamProgram, {uint8_t(m_channel), 0}, wait);
    step.refresh = kRefreshPrograms;
    return step;
}

PageStep CamChannelLogic::NextProgram(int count) {
    ++m_counter;
    if (m_counter < count)
        return Request(kCmdCamProgram, {uint8_t(m_channel), uint8_t(m_counter)}, PageStep::Wait::kNone);
    return EndWait(kRefreshPrograms);
}

}  // namespace nms
