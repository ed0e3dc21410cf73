#include "pagebase/block_logic.h"

namespace nms {

PageStep BlockLogic::Request(uint8_t command, std::vector<uint8_t> payload, PageStep::Wait wait) {
    m_awaited = command;
    m_late = -1;
    return PageStep::Request(command, std::move(payload), wait);
}

bool BlockLogic::TakeLate(const ReplyView& reply) {
    if (m_awaited >= 0 || m_late < 0 || reply.Command() != m_late)
        return false;
    m_awaited = m_late;
    m_late = -1;
    return true;
}

bool BlockLogic::Collect(const FieldTable& table, const FormInputs& inputs, ParamBlock& block,
                         PageStep* refused) {
    m_failedField = -1;
    const CollectResult result = CollectFields(table, inputs, block);
    if (result.ok)
        return true;
    m_failedField = result.field;
    *refused = PageStep::Message(result.message);
    return false;
}

}  // namespace nms
