#include "pages/ird/decoder4_logic.h"

#include "devices/byte_io.h"

namespace nms {

Decoder4Logic::Decoder4Logic()
    : m_inputs{ParamBlock(kCamInputSize), ParamBlock(kCamInputSize), ParamBlock(kCamInputSize),
               ParamBlock(kCamInputSize)},
      m_decoders{ParamBlock(kDecoderBlockSize), ParamBlock(kDecoderBlockSize), ParamBlock(kDecoderBlockSize),
                 ParamBlock(kDecoderBlockSize)} {}

ParamBlock& Decoder4Logic::InputRecord() {
    return m_inputs[size_t(m_channel)];
}

PageStep Decoder4Logic::Parse(int channel) {
    Select(channel);
    m_programs.clear();
    return Request(kCmdDecoder4Parse, {0, uint8_t(m_channel)}, PageStep::Wait::kBeginLong);
}

PageStep Decoder4Logic::ProgramRequest(PageStep::Wait wait) {
    return Request(kCmdDecoder4Program, {uint8_t(m_channel), uint8_t(m_counter)}, wait);
}

PageStep Decoder4Logic::ReadPrograms(int channel) {
    m_channel = ValidChannel(channel);
    m_programs.clear();
    m_counter = 0;
    m_count = 0;
    PageStep step = ProgramRequest(PageStep::Wait::kBegin);
    step.refresh = kRefreshPrograms;
    return step;
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

PageStep Decoder4Logic::HandleReply(const ReplyView& reply) {
    const int command = reply.Command();
    // Only the reply the running wait is for continues anything.
    if (command != m_awaited)
        return {};
    const ByteReader r = reply.Reader();
    switch (command) {
        case kCmdCamReadInput: {
            CamInputReply input;
            if (!ParseCamInputReply(reply, &input))
                return {};
            m_inputs[size_t(input.channel)].Bytes() = input.record;
            m_moduleType = input.moduleType;
            if (input.hasBitrate)
                m_bitrate = input.bitrate;
            if (m_chain) {
                m_chain = false;
                PageStep step = ReadDecoder(m_channel, true);
                step.refresh = kRefreshInput;
                return step;
            }
            m_awaited = -1;
            return PageStep::End(kRefreshInput);
        }
        case kCmdCamWriteInput:
        case kCmdDecoderWrite:
        case kCmdDecoder4Ack:
            m_awaited = -1;
            return PageStep::End(PageStep::kRefreshNone);
        case kCmdDecoder4Parse: {
            uint8_t count = 0;
            if (!r.U8(2, &count))
                return {};
            if (count == 0 || count == 0xff) {
                m_awaited = -1;
                return PageStep::End(PageStep::kRefreshNone).WithMessage("No input!");
            }
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
            m_counter = 0;
            m_count = 0;
            PageStep step = ProgramRequest(PageStep::Wait::kRestart);
            step.messages = message.messages;
            step.refresh = kRefreshDecoder | kRefreshPrograms;
            return step;
        }
        case kCmdDecoder4Program: {
            uint8_t channel = 0, index = 0, count = 0;
            if (!r.U8(0, &channel) || !r.U8(1, &index) || !r.U8(2, &count))
                return {};
            if (channel != m_channel) {
                m_awaited = -1;
                return PageStep::End(kRefreshPrograms).WithMessage("Channel Error 9528");
            }
            // Only the program asked for moves the chain on: a repeated or unexpected one is ignored.
            if (index != m_counter)
                return {};
            m_count = count < kDecoder4Programs ? count : kDecoder4Programs;
            if (index < m_count && r.Has(3, kDecoder4EntrySize)) {
                const ByteReader e = r.Sub(3, kDecoder4EntrySize);
                if (m_programs.size() < size_t(m_count))
                    m_programs.resize(size_t(m_count));
                Decoder4Program& p = m_programs[index];
                p.status = e.U8Or(0);
                p.name = e.Text(1, 32);
                p.number = e.U16LEOr(33);
                p.pmtPid = e.U16LEOr(35);
                p.elements = e.U8Or(37);
                p.caCount = e.U8Or(38);
            }
            ++m_counter;
            if (m_counter < m_count)
                return ProgramRequest(PageStep::Wait::kNone);
            m_programs.resize(size_t(m_count));
            m_awaited = -1;
            return PageStep::End(kRefreshPrograms);
        }
        default:
            return {};
    }
}

}  // namespace nms
