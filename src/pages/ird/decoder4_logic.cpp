#include "pages/ird/decoder4_logic.h"

#include "devices/byte_io.h"

namespace nms {

Decoder4Logic::Decoder4Logic()
    : m_inputs{ParamBlock(kCamInputSize), ParamBlock(kCamInputSize), ParamBlock(kCamInputSize),
               ParamBlock(kCamInputSize)},
      m_decoders{ParamBlock(kDecoderBlockSize), ParamBlock(kDecoderBlockSize), ParamBlock(kDecoderBlockSize),
                 ParamBlock(kDecoderBlockSize)} {}

PageStep Decoder4Logic::Parse(int channel) {
    // The list is emptied as the parse goes out: a channel without input then shows no programs.
    m_programs.clear();
    PageStep step = ParseRequest(channel, 0);
    step.refresh |= kRefreshPrograms;
    return step;
}

PageStep Decoder4Logic::ReadPrograms(int channel) {
    m_channel = ValidChannel(channel);
    m_programs.clear();
    m_count = 0;
    return StartProgramRead(PageStep::Wait::kBegin);
}

PageStep Decoder4Logic::ReadDecoder(int channel, bool restart) {
    m_channel = ValidChannel(channel);
    // The first byte is 0, never a leftover of an earlier request.
    return Request(kCmdDecoderRead, {0, uint8_t(m_channel)},
                   restart ? PageStep::Wait::kRestart : PageStep::Wait::kBegin);
}

PageStep Decoder4Logic::SendDecoder(int channel, const std::vector<std::optional<FieldInput>>& inputs) {
    Select(channel);
    ParamBlock& block = m_decoders[size_t(m_channel)];
    PageStep refused;
    if (!Collect(Decoder4SettingsTable(), inputs, block, &refused))
        return refused;
    std::vector<uint8_t> payload = {0, uint8_t(m_channel)};
    payload.insert(payload.end(), block.Bytes().begin(), block.Bytes().end());
    return Request(kCmdDecoderWrite, std::move(payload), PageStep::Wait::kBegin);
}

PageStep Decoder4Logic::ChannelReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    switch (reply.Command()) {
        case kCmdDecoderWrite:
        case kCmdDecoder4Ack:
            return EndWait(PageStep::kRefreshNone);
        case kCmdCamParse: {
            uint8_t count = 0;
            if (!r.U8(2, &count))
                return {};
            if (NoInput(count))
                return NoInputEnd(PageStep::kRefreshNone);
            m_count = count;
            return ReadDecoder(m_channel, true);
        }
        case kCmdDecoderRead: {
            uint8_t channel = 0;
            if (!r.U8(1, &channel))
                return {};
            PageStep message;
            if (channel != m_channel) {
                message.WithMessage("Channel Error 9527");
            } else {
                std::vector<uint8_t> block;
                DecoderOffer offer;
                if (!ReadDecoderReply(reply, &block, &offer, 2, false))
                    return {};
                m_decoders[size_t(m_channel)].Bytes() = std::move(block);
                m_offer = std::move(offer);
            }
            m_programs.clear();
            m_count = 0;
            PageStep step = StartProgramRead(PageStep::Wait::kRestart);
            step.messages = message.messages;
            step.refresh |= kRefreshDecoder;
            return step;
        }
        case kCmdCamProgram: {
            uint8_t channel = 0, index = 0, count = 0;
            if (!r.U8(0, &channel) || !r.U8(1, &index) || !r.U8(2, &count))
                return {};
            if (channel != m_channel)
                return EndWait(kRefreshPrograms).WithMessage("Channel Error 9528");
            if (!TakeProgramReply(reply))
                return {};
            m_count = count < kDecoder4Programs ? count : kDecoder4Programs;
            if (index < m_count && r.Has(3, kCamProgramEntrySize)) {
                if (m_programs.size() < size_t(m_count))
                    m_programs.resize(size_t(m_count));
                r.Bytes(3, kCamProgramEntrySize, m_programs[index].bytes.data());
            }
            PageStep step = NextProgram(m_count);
            if (!Waiting())  // the read ended: the list holds the count's entries
                m_programs.resize(size_t(m_count));
            return step;
        }
        default:
            return {};
    }
}

}  // namespace nms
