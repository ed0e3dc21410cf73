#include "pages/psi/psi_chain.h"

#include <algorithm>

#include "pages/psi/psi_hex.h"
#include "pages/psi/psi_section_checker.h"

namespace nms {
namespace {

enum : uint8_t {
    kParse = 32,
    kReadPat = 39,
    kReadPmt = 41,
    kReadCat = 45,
    kReadNit = 47,
    kReadSdt = 43,
    kWritePat = 40,
    kWritePmt = 42,
    kWriteCat = 46,
    kWriteNit = 48,
    kWriteSdt = 44,
};

// The section a device sends back may be followed by other bytes: keep section_length's worth when it
// arrived, else everything (the checker then refuses it before it could be sent).
int SectionBytes(const uint8_t* data, int length) {
    if (length < 3)
        return length;
    int declared = (((data[1] & 0x0F) << 8) | data[2]) + 3;
    return declared <= length ? declared : length;
}

}  // namespace

CMuxPsiChain::CMuxPsiChain(CMuxPsiModel& model) : m_model(model) {}

bool CMuxPsiChain::IsMultiChannel(int v) {
    return v == 17 || v == 38 || v == 39 || v == 102;
}

bool CMuxPsiChain::WritesChannelByte(int v) {
    return IsMultiChannel(v) || v == 19;
}

bool CMuxPsiChain::ReadsChannelByte(int v) {
    return IsMultiChannel(v) || v == 16 || v == 19;
}

int CMuxPsiChain::ChannelCount() const {
    switch (m_pageParam) {
        case 17:
            return 4;
        case 38:
            return 3;
        case 39:
            return 2;
        case 102:
            return 4 * m_moduleCount;
        default:
            return 1;
    }
}

void CMuxPsiChain::ClearPmtSlots() {
    for (auto& channel : m_pmt) {
        for (auto& slot : channel) {
            std::vector<uint8_t>().swap(slot);
        }
    }
}

void CMuxPsiChain::ClearTables() {
    m_pat.fill(0);
    m_cat.fill(0);
    m_nit.fill(0);
    m_sdt.fill(0);
    m_patLength = m_catLength = m_sdtLength = 0;
    m_nitLength[0] = m_nitLength[1] = 0;
    m_sdtSegment[0] = m_sdtSegment[1] = 0;
    ClearPmtSlots();
    m_expect = 0;
    m_pmtIndex = m_pmtCount = 0;
    m_model.SetCurrentItem(nullptr);
}

const std::vector<uint8_t>& CMuxPsiChain::PmtSlot(int channel, int program) const {
    static const std::vector<uint8_t> kNone;
    if (channel < 1 || channel > kPsiChannels || program < 1 || program > kPsiPrograms)
        return kNone;
    return m_pmt[channel - 1][program - 1];
}

PageStep CMuxPsiChain::BeginRead(uint8_t channel, int sourceFlag) {
    m_sourceFlag = sourceFlag;
    m_channel = channel;
    PsiTree& tree = m_model.Tree();
    if (m_model.TopRoot()) {
        tree.DeleteChildren(m_model.PatRoot());
        tree.DeleteChildren(m_model.CatRoot());
        tree.DeleteChildren(m_model.NitRoot());
        tree.DeleteChildren(m_model.SdtRoot());
        for (PsiItem* table : {m_model.PatRoot(), m_model.CatRoot(), m_model.NitRoot(), m_model.SdtRoot()}) {
            table->locked = false;
            table->received.clear();
        }
        // Variant 65 labels its PMT nodes itself at every read, so they go too.
        int v = m_pageParam;
        if (v == 16 || v == 17 || v == 38 || v == 39 || v == 64 || v == 96 || v == 102 || v == 65) {
            tree.DeleteChildren(m_model.PmtsRoot());
        }
    }
    m_model.SetCurrentItem(nullptr);
    m_model.TakeLockNotes();
    m_pmtIndex = m_pmtCount = 0;
    m_expect = kReadPat;
    m_late = 0;
    PageStep request = PageStep::Request(kReadPat, {channel});
    if (m_pageParam == 102)
        request.payload = {0, 0, 0, 0, 0, 0, 0, 0, channel};
    return request;
}

PageStep CMuxPsiChain::BeginParse() {
    m_sourceFlag = 1;
    m_expect = kParse;
    m_late = 0;
    return PageStep::Request(kParse, {}, PageStep::Wait::kBeginLong);
}

void CMuxPsiChain::Abort() {
    m_expect = m_late = 0;
}

bool CMuxPsiChain::TakeLate(const ReplyView& reply) {
    if (!IsLate(reply))
        return false;
    // The parse reply carries no table: all it does is start the read, and a late reply starts nothing. Taken
    // as in time it would empty the tables for a read that never goes out.
    if (m_late == kParse) {
        m_late = 0;
        return false;
    }
    m_expect = m_late;
    m_late = 0;
    return true;
}

PageStep CMuxPsiChain::Request(PageStep step, uint8_t command, std::vector<uint8_t> payload, uint8_t b,
                               uint8_t c) {
    step.command = command;
    step.b = b;
    step.c = c;
    step.payload = std::move(payload);
    m_expect = command;
    return step;
}

PageStep CMuxPsiChain::Finish(PageStep step) {
    step.wait = PageStep::Wait::kEnd;
    step.refresh |= kRefreshTree;
    step.command = -1;
    step.payload.clear();
    m_expect = 0;
    m_pmtIndex = m_pmtCount = 0;
    std::vector<std::string> locked = m_model.TakeLockNotes();
    if (!locked.empty()) {
        std::string names;
        for (const std::string& name : locked)
            names += (names.empty() ? "" : ", ") + name;
        step.messages.push_back(psihex::Format(
            "%s: the section read from the device does not match its own lengths and cannot be edited; it is "
            "kept as read and written back unchanged.",
            names.c_str()));
    }
    return step;
}

PageStep CMuxPsiChain::OnReply(const ReplyView& reply) {
    if (!reply.IsValid() || m_expect == 0 || reply.Command() != m_expect)
        return {};
    switch (reply.Command()) {
        case kWritePat:
        case kWritePmt:
        case kWriteCat:
        case kWriteNit:
        case kWriteSdt:
            return ReplyWrite(reply);
        case kParse: {
            // The read goes on within the parse's own wait.
            PageStep step = BeginRead(1, 1);
            step.wait = PageStep::Wait::kNone;
            return step;
        }
        default:
            return IsMultiChannel(m_pageParam) ? ReplyMulti(reply) : ReplySingle(reply);
    }
}

// ---- multi-channel read (17, 38, 39, 102) ----

PageStep CMuxPsiChain::ReplyMulti(const ReplyView& reply) {
    PageStep step;
    const uint8_t* p = reply.Payload();
    int n = reply.PayloadLength();
    uint8_t ch = m_channel;
    switch (reply.Command()) {
        case kReadPat: {
            int skip = 1;
            if (m_pageParam == 102) {
                uint8_t modules = 0;
                if (!reply.U8(1, &modules) || modules < 1 || modules > 4) {
                    step.messages.push_back("Module Error");
                    return Finish(step);
                }
                if (modules != m_moduleCount)
                    step.refresh |= kRefreshChannels;
                m_moduleCount = modules;
                skip = 9;
            }
            m_model.Tree().DeleteChildren(m_model.PmtsRoot());
            ClearPmtSlots();
            int length = std::max(0, n - skip);
            if (length > kPsiTableBuffer)
                return Finish(step);
            std::copy(p + skip, p + skip + length, m_pat.begin());
            m_patLength = length;
            m_pmtCount = std::min(m_model.ParsePat(m_pat.data(), length), kPsiPrograms);
            if (m_pmtCount > 0) {
                m_pmtIndex = 1;
                return Request(step, kReadPmt, {ch, 0});
            }
            m_catLength = 0;
            return Request(step, kReadCat, {ch});
        }
        case kReadPmt: {
            uint8_t channel = 0, slot = 0;
            // The channel must be one of this device's and the slot one of the 128 buffers.
            if (!reply.U8(0, &channel) || !reply.U8(1, &slot) || channel >= ChannelCount() ||
                slot >= kPsiPrograms) {
                return Finish(step);
            }
            if (n != 5 && n > 5 && p[5] == 0x02) {
                int length = n - 5;
                if (length > kPsiTableBuffer)
                    return Finish(step);
                Slot(1, slot + 1).assign(p + 5, p + 5 + SectionBytes(p + 5, length));
                m_model.ParsePmt(0, slot, p + 5, length);
            }
            if (m_pmtIndex < m_pmtCount) {
                uint8_t index = static_cast<uint8_t>(m_pmtIndex++);
                return Request(step, kReadPmt, {ch, index});
            }
            m_model.PmtsRoot()->expanded = true;
            m_catLength = 0;
            return Request(step, kReadCat, {ch});
        }
        case kReadCat: {
            int length = std::max(0, n - 1);
            if (length > kPsiTableBuffer)
                return Finish(step);
            std::copy(p + 1, p + 1 + length, m_cat.begin());
            m_catLength = length;
            m_model.ParseCat(m_cat.data(), length);
            m_nitLength[0] = m_nitLength[1] = 0;
            m_segment = 1;
            return Request(step, kReadNit, {ch}, 1, 1);
        }
        case kReadNit:
        case kReadSdt: {
            bool nit = reply.Command() == kReadNit;
            int segment = reply.B();
            int count = reply.C();
            int length = std::max(0, n - 1);
            // Two segment slots of 1024 bytes each: any other number ends the read.
            if (segment != m_segment || count < segment || count > 2 || length > kPsiSegmentSize) {
                return Finish(step);
            }
            uint8_t* buffer = nit ? m_nit.data() : m_sdt.data();
            std::copy(p + 1, p + 1 + length, buffer + (segment - 1) * kPsiSegmentSize);
            if (nit) {
                m_nitLength[segment - 1] = length;
            } else {
                m_sdtSegment[segment - 1] = length;
                m_sdtLength = m_sdtSegment[0] + m_sdtSegment[1];
            }
            if (segment < count) {
                m_segment = segment + 1;
                return Request(step, reply.Command(), {ch}, static_cast<uint8_t>(segment + 1),
                               static_cast<uint8_t>(count));
            }
            if (nit) {
                m_model.ParseNit(m_nit.data(), m_nitLength[0]);
                m_sdtLength = m_sdtSegment[0] = m_sdtSegment[1] = 0;
                m_segment = 1;
                return Request(step, kReadSdt, {ch}, 1, 1);
            }
            // The segments' lengths add up to one SDT over the whole buffer.
            m_model.ParseSdt(m_sdt.data(), m_sdtLength);
            return Finish(step);
        }
        default:
            return {};
    }
}

// ---- single-channel read (0, 16, 19, 64, 65, 96) ----

int CMuxPsiChain::SectionOffset() const {
    return ReadsChannelByte(m_pageParam) ? 1 : 0;
}

std::vector<uint8_t> CMuxPsiChain::TablePayload() const {
    if (m_pageParam == 16)
        return {static_cast<uint8_t>(m_sourceFlag ? 1 : 2)};
    if (m_pageParam == 19)
        return {m_replyChannel};
    return {};
}

// The request for PMT number m_pmtIndex (0-based position in the chain), or none when past the count.
std::optional<PageStep> CMuxPsiChain::PmtRequestSingle(PageStep step) {
    if (m_pmtIndex >= m_pmtCount)
        return std::nullopt;
    int i = m_pmtIndex++;
    uint8_t source = static_cast<uint8_t>(m_sourceFlag ? 1 : 2);
    switch (m_pageParam) {
        case 0: {
            PsiItem* node = m_model.Tree().Child(m_model.PmtsRoot(), i);
            if (!node)
                return std::nullopt;
            return Request(step, kReadPmt,
                           {static_cast<uint8_t>(node->data >> 8), static_cast<uint8_t>(node->data & 0xFF)});
        }
        case 19:
            return Request(step, kReadPmt, {m_replyChannel, static_cast<uint8_t>(i)});
        case 65:
            return Request(step, kReadPmt, {0, static_cast<uint8_t>(i)});
        default:  // 16, 64, 96: programs from 1
            return Request(step, kReadPmt, {source, static_cast<uint8_t>(i + 1)});
    }
}

PageStep CMuxPsiChain::ReplySingle(const ReplyView& reply) {
    PageStep step;
    const uint8_t* p = reply.Payload();
    int n = reply.PayloadLength();
    int skip = SectionOffset();
    int length = std::max(0, n - skip);
    switch (reply.Command()) {
        case kReadPat: {
            if (length > kPsiTableBuffer)
                return Finish(step);
            if (m_pageParam == 19) {
                if (!reply.U8(0, &m_replyChannel))
                    return Finish(step);
                // The PMT nodes and buffers of that channel go; this variant keeps them in channel 1.
                m_model.Tree().DeleteChildren(m_model.PmtsRoot());
                for (auto& slot : m_pmt[0])
                    std::vector<uint8_t>().swap(slot);
            }
            m_patLength = length;
            std::copy(p + skip, p + skip + length, m_pat.begin());
            int programs = length > 0 ? m_model.ParsePat(m_pat.data(), length) : 0;
            m_pmtCount = m_pageParam == 0 ? m_model.Tree().ChildCount(m_model.PmtsRoot()) : programs;
            m_pmtCount = std::min(m_pmtCount, m_pageParam == 0 ? kPsiChannels * kPsiPrograms : kPsiPrograms);
            m_pmtIndex = 0;
            if (auto next = PmtRequestSingle(step))
                return *next;
            return Request(step, kReadCat, TablePayload());
        }
        case kReadPmt: {
            uint8_t channel = 0, slot = 0;
            if (!reply.U8(0, &channel) || !reply.U8(1, &slot))
                return Finish(step);
            int at = 2;
            if (m_pageParam == 19 && reply.Type() == 12548)
                at = 5;
            int sectionLength = std::max(0, n - at);
            int storeChannel = 1;
            int storeProgram = slot;
            bool ok = true;
            switch (m_pageParam) {
                case 0:
                    ok = channel >= 1 && channel <= kPsiChannels && slot >= 1 && slot <= kPsiPrograms;
                    storeChannel = channel;
                    break;
                case 19:
                case 65:
                    ok = slot < kPsiPrograms;
                    storeProgram = slot + 1;
                    break;
                default:
                    ok = slot >= 1 && slot <= kPsiPrograms;
                    break;
            }
            if (!ok || sectionLength > kPsiTableBuffer)
                return Finish(step);
            Slot(storeChannel, storeProgram).assign(p + at, p + at + SectionBytes(p + at, sectionLength));
            int parseChannel = m_pageParam == 0 ? channel : 1;
            m_model.ParsePmt(parseChannel, m_pageParam == 65 ? slot : slot, p + at, sectionLength);
            if (auto next = PmtRequestSingle(step))
                return *next;
            m_model.PmtsRoot()->expanded = true;
            m_pmtIndex = m_pmtCount = 0;
            return Request(step, kReadCat, TablePayload());
        }
        case kReadCat:
        case kReadNit:
        case kReadSdt: {
            // Not segmented here: a table fills its buffer from the start.
            if (length > kPsiTableBuffer)
                return Finish(step);
            uint8_t command = reply.Command();
            uint8_t* buffer = command == kReadCat   ? m_cat.data()
                              : command == kReadNit ? m_nit.data()
                                                    : m_sdt.data();
            if (length > 0) {
                std::copy(p + skip, p + skip + length, buffer);
                if (command == kReadCat) {
                    m_catLength = length;
                    m_model.ParseCat(buffer, length);
                } else if (command == kReadNit) {
                    m_nitLength[0] = length;
                    m_model.ParseNit(buffer, length);
                } else {
                    m_sdtLength = m_sdtSegment[0] = length;
                    m_model.ParseSdt(buffer, length);
                }
            }
            if (command == kReadCat)
                return Request(step, kReadNit, TablePayload());
            if (command == kReadNit)
                return Request(step, kReadSdt, TablePayload());
            if (m_pageParam == 16 && m_model.TopRoot()) {
                m_model.TopRoot()->text = m_sourceFlag ? "PSI/SI(from TS)" : "PSI/SI(Local)";
                m_model.Tree().Touch();
            }
            return Finish(step);
        }
        default:
            return {};
    }
}

// ---- write ----

bool CMuxPsiChain::PackForWrite(std::vector<std::string>* messages) {
    auto pack = [&](const PsiItem* table, uint8_t* buffer, int* length) {
        int n = m_model.SerializeTable(table, buffer, kPsiTableBuffer);
        *length = n < 0 ? 0 : n;
        if (n < 0 && messages) {
            messages->push_back("The " + m_model.TableName(table) + " section is not sent: it is too long.");
        }
    };
    auto check = [&](const std::string& name, const uint8_t* buffer, int* length) {
        std::string problem;
        if (*length > 0 && !CheckPsiSection(buffer, *length, &problem)) {
            if (messages)
                messages->push_back("The " + name + " section is not sent: " + problem + ".");
            *length = 0;
        }
    };
    pack(m_model.PatRoot(), m_pat.data(), &m_patLength);
    check("PAT", m_pat.data(), &m_patLength);
    bool byIndex = WritesChannelByte(m_pageParam);
    for (auto& owned : m_model.PmtsRoot()->children) {
        PsiItem* node = owned.get();
        int channel = byIndex ? 1 : static_cast<int>((node->data >> 8) & 0xFF);
        int program = byIndex ? static_cast<int>(node->data & 0xFF) + 1 : static_cast<int>(node->data & 0xFF);
        if (channel < 1 || channel > kPsiChannels || program < 1 || program > kPsiPrograms)
            continue;
        std::vector<uint8_t> buffer(kPsiTableBuffer, 0);
        int length = 0;
        pack(node, buffer.data(), &length);
        check(m_model.TableName(node), buffer.data(), &length);
        buffer.resize(length);
        Slot(channel, program) = std::move(buffer);
    }
    pack(m_model.CatRoot(), m_cat.data(), &m_catLength);
    check("CAT", m_cat.data(), &m_catLength);
    pack(m_model.NitRoot(), m_nit.data(), &m_nitLength[0]);
    check("NIT", m_nit.data(), &m_nitLength[0]);
    pack(m_model.SdtRoot(), m_sdt.data(), &m_sdtLength);
    check("SDT", m_sdt.data(), &m_sdtLength);
    return m_patLength > 0;
}

PageStep CMuxPsiChain::BeginWrite(uint8_t channel) {
    m_channel = channel;
    m_expect = kWritePat;
    m_late = 0;
    PageStep request = PageStep::Request(kWritePat, {});
    request.payload.reserve(1 + m_patLength);
    if (WritesChannelByte(m_pageParam))
        request.payload.push_back(channel);
    request.payload.insert(request.payload.end(), m_pat.begin(), m_pat.begin() + m_patLength);
    return request;
}

std::optional<PageStep> CMuxPsiChain::NextTableWrite(PageStep step, uint8_t after) {
    struct Table {
        uint8_t command;
        const uint8_t* data;
        int length;
    };
    const Table tables[] = {{kWriteCat, m_cat.data(), m_catLength},
                            {kWriteNit, m_nit.data(), m_nitLength[0]},
                            {kWriteSdt, m_sdt.data(), m_sdtLength}};
    bool past = after == kWritePat || after == kWritePmt;
    for (const Table& t : tables) {
        if (!past) {
            past = t.command == after;
            continue;
        }
        if (t.length <= 0)
            continue;
        std::vector<uint8_t> payload;
        if (WritesChannelByte(m_pageParam))
            payload.push_back(m_channel);
        payload.insert(payload.end(), t.data, t.data + t.length);
        return Request(step, t.command, std::move(payload));
    }
    return std::nullopt;
}

PageStep CMuxPsiChain::ReplyWrite(const ReplyView& reply) {
    PageStep step;
    uint8_t command = reply.Command();
    if (command == kWritePat) {
        m_sendList.clear();
        m_sendPos = 0;
        if (WritesChannelByte(m_pageParam) || m_pageParam == 65) {
            for (int p = 1; p <= kPsiPrograms; ++p) {
                if (!Slot(1, p).empty())
                    m_sendList.push_back({1, p});
            }
        } else {
            for (auto& node : m_model.PmtsRoot()->children) {
                int channel = static_cast<int>((node->data >> 8) & 0xFF);
                int program = static_cast<int>(node->data & 0xFF);
                if (channel >= 1 && channel <= kPsiChannels && program >= 1 && program <= kPsiPrograms &&
                    !Slot(channel, program).empty()) {
                    m_sendList.push_back({channel, program});
                }
            }
        }
    }
    if (command == kWritePat || command == kWritePmt) {
        if (m_sendPos < m_sendList.size()) {
            PmtSend next = m_sendList[m_sendPos++];
            const std::vector<uint8_t>& section = Slot(next.channel, next.program);
            std::vector<uint8_t> payload;
            if (WritesChannelByte(m_pageParam)) {
                payload = {m_channel, static_cast<uint8_t>(next.program - 1)};
            } else if (m_pageParam == 65) {
                payload = {0, static_cast<uint8_t>(next.program - 1)};
            } else {
                payload = {static_cast<uint8_t>(next.channel), static_cast<uint8_t>(next.program)};
            }
            payload.insert(payload.end(), section.begin(), section.end());
            return Request(step, kWritePmt, std::move(payload));
        }
    }
    if (auto next = NextTableWrite(step, command))
        return *next;
    step.wait = PageStep::Wait::kEnd;
    step.refresh |= kRefreshTree;
    m_expect = 0;
    return step;
}

}  // namespace nms
