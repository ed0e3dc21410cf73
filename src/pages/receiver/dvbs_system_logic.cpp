#include "pages/receiver/dvbs_system_logic.h"

#include <algorithm>
#include <cstdio>

#include "pagebase/field_table.h"
#include "pagebase/text_conversion.h"

namespace nms {
namespace {

constexpr DvbsSystemVariant kVariants[] = {
    // pageParam, rows, sixteen, written, tone, disable, ip
    {0, 4, false, 4, false, false, false}, {35, 8, false, 0, true, true, true},
    {36, 6, false, 0, false, true, false}, {37, 8, false, 8, true, false, false},
    {39, 8, true, 16, true, true, false},
};

constexpr const char* kDvbsMacMessage = "MAC error,please input correct MAC address!";
constexpr int kSixRecords = 6 * kDvbsChannelParamsSize;    // 174
constexpr int kEightRecords = 8 * kDvbsChannelParamsSize;  // 232
constexpr int kAllRecords = 16 * kDvbsChannelParamsSize;   // 464

}  // namespace

const DvbsSystemVariant& DvbsSystemVariantOf(int pageParam) {
    return FindVariant(kVariants, pageParam);
}

DvbsSystemLogic::DvbsSystemLogic(int pageParam)
    : m_variant(&DvbsSystemVariantOf(pageParam)),
      m_records(kAllRecords, 0),
      m_ip(kDvbsIpBlockSize, 0),
      // Before any reply: zeroed records, which the empty-record check refuses to write.
      m_count(m_variant->sixteen ? 16 : 6) {
    Reset();
}

void DvbsSystemLogic::Reset() {
    m_tab = 0;
    DvbsLayout l;
    l.rows = m_variant->rowsShown;
    l.tone = m_variant->toneDiseqc;
    l.disable = m_variant->disable && m_variant->pageParam != 36;
    l.tabs = m_variant->sixteen;
    m_layout = l;
}

bool DvbsSystemLogic::ReadReply(const ReplyView& reply) {
    const ByteReader r = reply.Reader();
    const int mode = reply.B();
    if (m_variant->sixteen) {
        if (!r.Has(0, kAllRecords))
            return false;
        r.Bytes(0, kAllRecords, m_records.data());
        m_count = 16;
        return true;
    }
    if (!r.Has(0, kSixRecords))
        return false;
    r.Bytes(0, kSixRecords, m_records.data());
    m_count = 6;
    size_t marker = kSixRecords;
    if (r.Has(0, kEightRecords)) {
        r.Bytes(kSixRecords, kEightRecords - kSixRecords, m_records.data() + kSixRecords);
        m_count = 8;
        marker = kEightRecords;
    }
    m_ipFlag = false;
    // The marker with at least one byte behind it starts the block; bytes of it the reply does not
    // carry count as 0.
    if (r.Has(0, marker + 2) && r.U8Or(marker) == kDvbsIpMarker) {
        const size_t carried = std::min<size_t>(kDvbsIpBlockSize, r.Size() - marker - 1);
        std::fill(m_ip.begin(), m_ip.end(), 0);
        r.Bytes(marker + 1, carried, m_ip.data());
        m_ipFlag = true;
    }

    DvbsLayout& l = m_layout;
    switch (m_variant->pageParam) {
        case 35:
            Reset();
            l.rows = m_count;
            if (m_count == 8) {
                if (mode == 1)
                    l.tone = false;
                if (mode == 6)
                    l.rows = 4;
                if (mode == 3) {
                    l.cable = true;
                    l.tone = l.lnb = l.disable = false;
                }
            }
            l.ipArea = m_ipFlag;
            break;
        case 36:
            if (mode == 1)
                l.tone = false;
            if (mode == 2)
                l.tone = l.disable = true;
            break;
        default:
            if (mode == 1)
                l.tone = false;
            break;
    }
    return true;
}

int DvbsSystemLogic::RowsTaken() const {
    switch (m_variant->pageParam) {
        case 0:
            return 4;
        case 35:
            return m_count == 8 ? 8 : 6;
        case 36:
            return 6;
        default:
            return 8;
    }
}

std::string DvbsSystemLogic::BuildWrite(std::vector<uint8_t>* payload) const {
    const int records = m_variant->written ? m_variant->written : m_count;
    for (int i = 0; i < records; ++i) {
        if (!IsEmptyTunerRecord(m_records, size_t(i) * kDvbsChannelParamsSize))
            continue;
        if (!m_variant->sixteen)
            return "parameter can not empty!";
        char text[96];
        std::snprintf(text, sizeof text, "%d parameter is empty(%d,%d)!", i, m_count,
                      m_count * kDvbsChannelParamsSize);
        return text;
    }
    payload->assign(m_records.begin(), m_records.begin() + records * kDvbsChannelParamsSize);
    if (!m_variant->sixteen && m_ipFlag) {
        payload->push_back(kDvbsIpMarker);
        payload->insert(payload->end(), m_ip.begin(), m_ip.end());
    }
    return {};
}

PageStep DvbsSystemLogic::Get() {
    return m_wait.Request(kCmdTunerRead, {}, PageStep::Wait::kBeginShort);
}

bool DvbsSystemLogic::TakeRows(const DvbsSystemForm& form, std::vector<std::string>* reports,
                               std::string* refusal) {
    for (int r = 0; r < RowsTaken(); ++r) {
        const std::string message =
            TakeDvbsRow(form.rows[size_t(r)], m_records, RecordOffset(r), TakesDisable(), reports);
        if (!message.empty()) {
            m_failedField = r;
            *refusal = message;
            return false;
        }
    }
    return true;
}

bool DvbsSystemLogic::TakeIpArea(const DvbsSystemForm& form, std::string* refusal) {
    // Only the variant that shows the area takes it; the others send the block exactly as it came.
    if (!m_variant->ipArea || !m_ipFlag)
        return true;
    const std::string& port = form.port;
    if (port.empty() || !IsDecimalText(port) || port.size() > 5 || std::stoul(port) > 65535) {
        m_failedField = kDvbsPortField;
        *refusal = IntegerRangeMessage(0, 65535);
        return false;
    }
    uint8_t mac[6];
    if (!ParseMacDashes(form.mac, mac)) {
        m_failedField = kDvbsMacField;
        *refusal = kDvbsMacMessage;
        return false;
    }
    const unsigned long value = std::stoul(port);
    std::copy(form.ip.begin(), form.ip.end(), m_ip.begin());
    m_ip[4] = uint8_t(value >> 8);
    m_ip[5] = uint8_t(value);
    std::copy(mac, mac + 6, m_ip.begin() + 6);
    return true;
}

PageStep DvbsSystemLogic::Set(const DvbsSystemForm& form) {
    m_failedField = -1;
    PageStep step;
    std::string refusal;
    if (!TakeRows(form, &step.messages, &refusal) || !TakeIpArea(form, &refusal)) {
        step.messages.push_back(refusal);
        return step;
    }
    std::vector<uint8_t> payload;
    const std::string empty = BuildWrite(&payload);
    if (!empty.empty()) {
        step.messages.push_back(empty);
        return step;
    }
    PageStep request = m_wait.Request(kCmdTunerWrite, std::move(payload), PageStep::Wait::kBeginShort);
    request.messages = std::move(step.messages);
    return request;
}

PageStep DvbsSystemLogic::SwitchTab(const DvbsSystemForm& form, int tab, bool* switched) {
    m_failedField = -1;
    *switched = false;
    PageStep step;
    if (!m_variant->sixteen || tab == m_tab)
        return step;
    std::string refusal;
    if (!TakeRows(form, &step.messages, &refusal)) {
        step.messages.push_back(refusal);
        return step;
    }
    SetTab(tab);
    *switched = true;
    return step;
}

PageStep DvbsSystemLogic::HandleReply(const ReplyView& reply) {
    return m_wait.ReadOrWrite(reply, kCmdTunerRead, kCmdTunerWrite,
                              PageStep::kRefreshAll | kDvbsRefreshLayout, true,
                              [&] { return ReadReply(reply); });
}

}  // namespace nms
