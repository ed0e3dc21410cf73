#include "pages/psi/psi_model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "pages/psi/psi_hex.h"
#include "pages/psi/psi_serializer.h"
#include "platform/prompt.h"

namespace nms {
namespace {

using psihex::Format;

constexpr int kPackCapacity = 4096;
const char kLengthInvalid[] = "The value's length is invalid!";

// A section read one byte at a time inside the bytes that arrived. A byte past them reads as 0, so a
// field cut by the end still shows what did arrive of it (and the table then fails the repack test).
struct SectionBytes {
    ByteReader in;
    explicit SectionBytes(const ByteReader& reader) : in(reader) {}
    SectionBytes(const uint8_t* p, int n) : in(p, n > 0 ? static_cast<size_t>(n) : 0) {}
    uint8_t operator[](int i) const { return i < 0 ? 0 : in.U8Or(static_cast<size_t>(i)); }
    int U12(int i) const { return ((*this)[i] & 0x0F) << 8 | (*this)[i + 1]; }
    int U13(int i) const { return ((*this)[i] & 0x1F) << 8 | (*this)[i + 1]; }
    int U16(int i) const { return (*this)[i] << 8 | (*this)[i + 1]; }
    std::vector<uint8_t> Range(int at, int count) const {
        std::vector<uint8_t> bytes(static_cast<size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i)
            bytes[i] = (*this)[at + i];
        return bytes;
    }
    std::string Hex(int at, int count) const {
        const std::vector<uint8_t> bytes = Range(at, count);
        return psihex::BytesToHex(bytes.data(), static_cast<int>(bytes.size()));
    }
    std::string Raw(int at, int count) const {
        const std::vector<uint8_t> bytes = Range(at, count);
        return std::string(bytes.begin(), bytes.end());
    }
};

std::string Crc(const SectionBytes& s, int at) {
    return Format("crc_32(4bytes)0x:%02x%02x%02x%02x", s[at], s[at + 1], s[at + 2], s[at + 3]);
}

bool IsPmtInsertingVariant(int v) {
    return v == 16 || v == 17 || v == 19 || v == 23 || v == 38 || v == 39 || v == 64 || v == 96 || v == 102;
}

bool RelabelsPmtNode(int v) {
    return v == 16 || v == 17 || v == 23 || v == 38 || v == 39 || v == 64 || v == 65 || v == 96 || v == 102;
}

int WidthOf(uint32_t data) {
    return data & kFieldWidthMask;
}

std::string SetFieldValue(const std::string& text, uint32_t value) {
    return Format("%s%02x", FieldPrefix(text).c_str(), value);
}

// "(3bytes)" in a name follows its data when the size changes.
std::string WithByteCount(const std::string& prefix, int bytes) {
    size_t open = 0;
    while ((open = prefix.find('(', open)) != std::string::npos) {
        size_t close = prefix.find("bytes)", open);
        if (close == std::string::npos)
            break;
        bool digits = close > open + 1;
        for (size_t i = open + 1; i < close && digits; ++i)
            digits = prefix[i] >= '0' && prefix[i] <= '9';
        if (digits)
            return prefix.substr(0, open + 1) + std::to_string(bytes) + prefix.substr(close);
        open += 1;
    }
    return prefix;
}

}  // namespace

CMuxPsiModel::CMuxPsiModel(int pageParam) : m_pageParam(pageParam) {
    BuildSkeleton();
}

void CMuxPsiModel::BuildSkeleton() {
    m_tree.DeleteAll();
    m_current = nullptr;
    m_top = m_tree.InsertItem(nullptr, "PSI/SI Info", 0, kImageTop);
    m_pat = m_tree.InsertItem(m_top, "PAT", 0, kImageTable);
    m_cat = m_tree.InsertItem(m_top, "CAT", 0, kImageTable);
    m_pmts = m_tree.InsertItem(m_top, "PMTs", 0, kImageTable);
    m_nit = m_tree.InsertItem(m_top, "NIT", 0, kImageTable);
    m_sdt = m_tree.InsertItem(m_top, "SDT", 0, kImageTable);
    m_top->expanded = true;
}

bool CMuxPsiModel::IsTableRoot(const PsiItem* item) const {
    return item && (item == m_pat || item == m_cat || item == m_pmts || item == m_nit || item == m_sdt);
}

int CMuxPsiModel::StreamTypeImage(int streamType) {
    if (streamType == 1 || streamType == 2)
        return kImageVideo;
    if (streamType == 3 || streamType == 4)
        return kImageAudio;
    return kImageOtherStream;
}

PsiItem* CMuxPsiModel::Field(PsiItem* parent, const std::string& text, uint32_t data, int image) {
    return m_tree.InsertItem(parent, text, data, image);
}

void CMuxPsiModel::AddDescriptorItems(PsiItem* parent, int tagImage, uint32_t tagData, uint8_t tag,
                                      const uint8_t* bytes, int length, const char* dataFormat) {
    PsiItem* item = Field(parent, Format("descriptor_tag(8bits)0x:%02x", tag), tagData, tagImage);
    Field(item, Format("descriptor_length(8bits)0x:%02x", length), FIELD_AUTO_LENGTH | 8);
    Field(item, Format(dataFormat, length) + psihex::BytesToHex(bytes, length), 0x50000 | (8 * length));
}

void CMuxPsiModel::AddDescriptorAt(PsiItem* parent, const ByteReader& section, int at) {
    SectionBytes s(section);
    const int length = s[at + 1];
    const std::vector<uint8_t> data = s.Range(at + 2, length);
    AddDescriptorItems(parent, kImageField, FIELD_EDITABLE | 8, s[at], data.data(), length,
                       "descriptor_data(hex)(%dbytes)0x:");
}

void CMuxPsiModel::AddSectionHead(PsiItem* parent, const ByteReader& section, const char* bit6Name) {
    SectionBytes s(section);
    Field(parent, Format("table_id(8bits)0x:%02x", s[0]), 8);
    Field(parent, Format("section_syntax_indicator(1bits)0x:%x", s[1] >> 7), 1);
    Field(parent, Format("%s(1bits)0x:%x", bit6Name, (s[1] >> 6) & 1), 1);
    Field(parent, Format("reserved(2bits)0x:%x", (s[1] >> 4) & 3), 2);
    Field(parent, Format("section_length(12bits)0x:%03x", s.U12(1)), FIELD_AUTO_LENGTH | 12);
}

void CMuxPsiModel::AddSectionNumbers(PsiItem* parent, const ByteReader& section) {
    SectionBytes s(section);
    Field(parent, Format("version_number(5bits)0x:%02x", (s[5] >> 1) & 0x1F), FIELD_EDITABLE | 5);
    Field(parent, Format("current_next_indicator(1bits)0x:%x", s[5] & 1), 1);
    Field(parent, Format("section_number(8bits)0x:%02x", s[6]), 8);
    Field(parent, Format("last_section_number(8bits)0x:%02x", s[7]), 8);
}

void CMuxPsiModel::VerifyRepack(PsiItem* table, const uint8_t* section, int length) {
    table->locked = false;
    table->received.clear();
    int declared = length >= 3 ? (((section[1] & 0x0F) << 8) | section[2]) + 3 : length;
    int sent = std::min(declared, length);
    std::vector<uint8_t> packed(kPackCapacity, 0);
    int n = SerializeTree(table, packed.data(), kPackCapacity);
    if (declared <= length && n == declared && std::memcmp(packed.data(), section, n) == 0)
        return;
    table->locked = true;
    table->received.assign(section, section + sent);
    // Nothing of a locked table may change: it goes back exactly as it came.
    std::vector<PsiItem*> stack{table};
    while (!stack.empty()) {
        PsiItem* item = stack.back();
        stack.pop_back();
        if (item != table)
            item->data &= ~FIELD_EDITABLE;
        for (auto& child : item->children)
            stack.push_back(child.get());
    }
    m_lockNotes.push_back(TableName(table));
}

std::vector<std::string> CMuxPsiModel::TakeLockNotes() {
    std::vector<std::string> notes;
    notes.swap(m_lockNotes);
    return notes;
}

PsiItem* CMuxPsiModel::TableOf(const PsiItem* item) const {
    for (const PsiItem* at = item; at; at = m_tree.Parent(at)) {
        const PsiItem* parent = m_tree.Parent(at);
        if (at == m_pat || at == m_cat || at == m_nit || at == m_sdt)
            return const_cast<PsiItem*>(at);
        if (parent == m_pmts)
            return const_cast<PsiItem*>(at);
    }
    return nullptr;
}

bool CMuxPsiModel::IsLocked(const PsiItem* item) const {
    const PsiItem* table = TableOf(item);
    return table && table->locked;
}

std::string CMuxPsiModel::TableName(const PsiItem* table) const {
    if (table == m_pat)
        return "PAT";
    if (table == m_cat)
        return "CAT";
    if (table == m_nit)
        return "NIT";
    if (table == m_sdt)
        return "SDT";
    if (table && m_tree.Parent(table) == m_pmts)
        return "PMT (" + FieldName(table->text) + ")";
    return "PSI";
}

int CMuxPsiModel::SerializeTable(const PsiItem* table, uint8_t* buffer, int capacity) const {
    if (!table)
        return 0;
    if (table->locked) {
        int n = static_cast<int>(table->received.size());
        if (n > capacity)
            return -1;
        std::copy(table->received.begin(), table->received.end(), buffer);
        return n;
    }
    return SerializeTree(table, buffer, capacity);
}

// ---- readers ----

int CMuxPsiModel::ParsePat(const uint8_t* section, int length) {
    if (!section || length < 8 || section[0] != 0x00) {
        std::printf("PAT table id error:%#x\n", section && length > 0 ? section[0] : 0);
        return 0;
    }
    m_tree.DeleteChildren(m_pat);
    SectionBytes s{section, length};
    int sectionLength = s.U12(1);
    PsiItem* info = Field(m_pat, "table_info", 0, kImageContainer);
    AddSectionHead(info, s.in, "'0'");
    Field(info, Format("transport_stream_id(16bits)0x:%02x%02x", s[3], s[4]), FIELD_EDITABLE | 16);
    Field(info, Format("reserved(2bits)0x:%x", s[5] >> 6), 2);
    AddSectionNumbers(info, s.in);

    // Every entry inside the section is read (no cut at 128 entries).
    int bytes = std::max(0, sectionLength - 9);
    int entries = (bytes + 3) / 4;
    PsiItem* programs = Field(m_pat, Format("programs %d", entries), 0, kImageContainer);
    m_side = PsiProgramTable();
    int count = 0;
    for (int i = 0; i < entries; ++i) {
        int at = 8 + 4 * i;
        int number = s.U16(at);
        if (number != 0) {
            PsiItem* entry = Field(programs, Format("program_number(16bits)0x:%04x", number),
                                   FIELD_EDITABLE | 16, kImageEntry);
            Field(entry, Format("reserved(3bits)0x:%x", s[at + 2] >> 5), 3);
            Field(entry, Format("pid(13bits)0x:%04x", s.U13(at + 2)), FIELD_EDITABLE | 13);
            if (count < 128) {
                m_side.serviceId[count] = static_cast<uint16_t>(number);
                m_side.pmtPid[count] = static_cast<uint16_t>(s.U13(at + 2));
            }
            ++count;
        } else {
            PsiItem* entry = Field(programs, Format("network_number(16bits)0x:%04x", number),
                                   FIELD_EDITABLE | 16, kImageField);
            Field(entry, Format("reserved(3bits)0x:%x", s[at + 2] >> 5), 3);
            Field(entry, Format("network_id(13bits)0x:%04x", s.U13(at + 2)), FIELD_EDITABLE | 13);
        }
    }
    m_side.programCount = std::min(count, 128);
    Field(m_pat, Crc(s, 3 + sectionLength - 4), 32);
    m_pat->expanded = true;
    VerifyRepack(m_pat, section, length);
    return count;
}

PsiItem* CMuxPsiModel::FindPmtNode(uint32_t data) const {
    for (auto& child : m_pmts->children) {
        if ((child->data & 0xFFFF) == (data & 0xFFFF))
            return child.get();
    }
    return nullptr;
}

void CMuxPsiModel::ParsePmt(int channel, int slot, const uint8_t* section, int length) {
    PsiItem* node = nullptr;
    if (IsPmtInsertingVariant(m_pageParam) || m_pageParam == 65) {
        // A node of the same slot is reused, so a second read never adds a second set of PMT nodes.
        uint32_t data;
        std::string label;
        if (m_pageParam == 65) {
            data = ((slot + 1) & 0xFF) | 0x100;
            int serviceId = slot >= 0 && slot < 128 ? m_side.serviceId[slot] : 0;
            label = Format("Program Number %d", serviceId);
        } else {
            data = (slot & 0xFF) | 0x100;
            label = Format("Program Number %d", slot);
        }
        node = FindPmtNode(data);
        if (node) {
            m_tree.DeleteChildren(node);
            node->text = label;
        } else {
            node = m_tree.InsertItem(m_pmts, label, data, kImageContainer);
        }
    } else {
        node = FindPmtNode(((channel & 0xFF) << 8) | (slot & 0xFF));
        if (!node)
            return;
        m_tree.DeleteChildren(node);
    }
    node->locked = false;
    node->received.clear();
    if (!section || length <= 7 || section[0] != 0x02)
        return;

    SectionBytes s{section, length};
    int sectionLength = s.U12(1);
    AddSectionHead(node, s.in, "'0'");
    PsiItem* number =
        Field(node, Format("program_number(16bits)0x:%02x%02x", s[3], s[4]), FIELD_EDITABLE | 16);
    Field(node, Format("reserved(2bits)0x:%x", s[5] >> 6), 2);
    AddSectionNumbers(node, s.in);
    Field(node, Format("reserved(3bits)0x:%x", s[8] >> 5), 3);
    Field(node, Format("pcr_pid(13bits)0x:%04x", s.U13(8)), FIELD_EDITABLE | 13);
    Field(node, Format("reserved(4bits)0x:%x", s[10] >> 4), 4);
    int infoLength = s.U12(10);
    Field(node, Format("program_info_length(12bits)0x:%x%02x", s[10] & 0x0F, s[11]), FIELD_AUTO_LENGTH | 12);
    PsiItem* info = Field(node, "program_info_descriptors", 0, kImageContainer);
    int end = std::max(0, 3 + sectionLength - 4);  // where the CRC begins
    for (int off = 0; off < infoLength && 12 + off < end; off += s[12 + off + 1] + 2) {
        AddDescriptorAt(info, s.in, 12 + off);
    }
    PsiItem* components = Field(node, "components", 0, kImageContainer);
    int at = 12 + infoLength;
    int bytes = sectionLength - infoLength - 13;
    while (bytes > 0 && at < end) {
        int streamType = s[at];
        int esLength = s.U12(at + 3);
        PsiItem* stream = Field(components, Format("stream_type(8bits)0x:%02x", streamType), 8,
                                StreamTypeImage(streamType));
        Field(stream, Format("reserved(3bits)0x:%x", s[at + 1] >> 5), 3);
        Field(stream, Format("elementary_PID(13bits)0x:%04x", s.U13(at + 1)), FIELD_EDITABLE | 13);
        Field(stream, Format("reserved(4bits)0x:%x", s[at + 3] >> 4), 4);
        Field(stream, Format("es_info_length(12bits)0x:%03x", esLength), FIELD_AUTO_LENGTH | 12);
        PsiItem* es = Field(stream, "es_descriptors", 0, kImageContainer);
        for (int off = 0; off < esLength && at + 5 + off < end; off += s[at + 5 + off + 1] + 2) {
            AddDescriptorAt(es, s.in, at + 5 + off);
        }
        bytes -= 5 + esLength;
        at += 5 + esLength;
    }
    Field(node, Crc(s, 3 + sectionLength - 4), 32);
    if (RelabelsPmtNode(m_pageParam))
        node->text = number->text;
    VerifyRepack(node, section, length);
}

void CMuxPsiModel::ParseSdt(const uint8_t* section, int length) {
    if (!section || length <= 7 || section[0] != 0x42)
        return;
    m_tree.DeleteChildren(m_sdt);
    SectionBytes s{section, length};
    int sectionLength = s.U12(1);
    AddSectionHead(m_sdt, s.in, "reserved_future_use");
    Field(m_sdt, Format("transport_stream_id(16bits)0x:%04x", s.U16(3)), FIELD_EDITABLE | 16);
    Field(m_sdt, Format("reserved(2bits)0x:%x", s[5] >> 6), 2);
    AddSectionNumbers(m_sdt, s.in);
    Field(m_sdt, Format("original_network_id(16bits)0x:%04x", s.U16(8)), FIELD_EDITABLE | 16);
    Field(m_sdt, Format("reserved_future_use(8bits)0x:%02x", s[10]), 8);
    PsiItem* services = Field(m_sdt, "services ", 0, kImageSdtServices);
    int end = std::max(0, 3 + sectionLength - 4);
    // Every service inside the section is read, whatever the PAT holds.
    int at = 11;
    int remaining = sectionLength - 12;
    while (remaining > 0 && at < end) {
        int loopLength = s.U12(at + 3);
        PsiItem* service =
            Field(services, Format("service_id(16bits)0x:%04x", s.U16(at)), FIELD_EDITABLE | 16, kImageEntry);
        Field(service, Format("reserved_future_use(6bits)0x:%02x", s[at + 2] >> 2), 6);
        Field(service, Format("eit_schedule_flag(1bits)0x:%x", (s[at + 2] >> 1) & 1), FIELD_EDITABLE | 1);
        Field(service, Format("eit_present_following_flag(1bits)0x:%x", s[at + 2] & 1), FIELD_EDITABLE | 1);
        Field(service, Format("runing_status(3bits)0x:%x", s[at + 3] >> 5), FIELD_EDITABLE | 3);
        Field(service, Format("free_ca_mode(1bits)0x:%x", (s[at + 3] >> 4) & 1), FIELD_EDITABLE | 1);
        Field(service, Format("descriptors_loop_length(12bits)0x:%03x", loopLength), FIELD_AUTO_LENGTH | 12);
        PsiItem* descriptors = Field(service, "descriptors", 0, kImageContainer);
        for (int off = 0; off < loopLength && at + 5 + off < end;) {
            int d = at + 5 + off;
            int tag = s[d];
            int dl = s[d + 1];
            PsiItem* item =
                Field(descriptors, Format("descriptor_tag(8bits)0x:%02x", tag), 8, kImageContainer);
            Field(item, Format("descriptor_length(8bits)0x:%02x", dl), FIELD_AUTO_LENGTH | 8);
            // A service_descriptor is split into its names only when they tile it exactly.
            int providerLength = s[d + 3];
            int nameAt = d + 4 + providerLength;
            bool names =
                tag == 0x48 && dl >= 3 && 3 + providerLength <= dl && 3 + providerLength + s[nameAt] == dl;
            if (names) {
                PsiItem* type =
                    Field(item, Format("service_type(8bits)0x:%02x", s[d + 2]), FIELD_EDITABLE | 8);
                Field(type, Format("service_provider_name_length(8bits)0x:%02x", providerLength),
                      FIELD_AUTO_LENGTH | 8);
                Field(
                    type,
                    Format("service_provider_name(%dbytes):", providerLength) + s.Raw(d + 4, providerLength),
                    0x30000 | (8 * providerLength));
                int nameLength = s[nameAt];
                Field(type, Format("service_name_length(8bits)0x:%02x", nameLength), FIELD_AUTO_LENGTH | 8);
                Field(type, Format("service_name(%dbytes):", nameLength) + s.Raw(nameAt + 1, nameLength),
                      0x30000 | (8 * nameLength));
            } else {
                Field(item, Format("descriptor_data(%dbytes)(hex)0x:", dl) + s.Hex(d + 2, dl),
                      0x50000 | (8 * dl));
            }
            off += dl + 2;
        }
        remaining -= 5 + loopLength;
        at += 5 + loopLength;
    }
    Field(m_sdt, Crc(s, 3 + sectionLength - 4), 32);
    m_sdt->expanded = true;
    VerifyRepack(m_sdt, section, length);
}

void CMuxPsiModel::ParseCat(const uint8_t* section, int length) {
    if (!section || length <= 7 || section[0] != 0x01)
        return;
    m_tree.DeleteChildren(m_cat);
    SectionBytes s{section, length};
    int sectionLength = s.U12(1);
    AddSectionHead(m_cat, s.in, "'0'");
    Field(m_cat, Format("reserved(18bits)0x:%02x%02x%02x", s[3], s[4], s[5] >> 6), 18);
    AddSectionNumbers(m_cat, s.in);
    PsiItem* descriptors = Field(m_cat, "descriptors", 0, kImageContainer);
    int bytes = sectionLength - 9;
    int end = std::max(0, 3 + sectionLength - 4);
    // Every descriptor is read; one too short for a CA descriptor's fields is shown as plain data.
    for (int off = 0; off < bytes && 8 + off < end; off += s[8 + off + 1] + 2) {
        int d = 8 + off;
        int dl = s[d + 1];
        if (dl < 4) {
            AddDescriptorAt(descriptors, s.in, d);
            continue;
        }
        PsiItem* item = Field(descriptors, Format("descriptor_tag(8bits)0x:%02x", s[d]), FIELD_EDITABLE | 8);
        Field(item, Format("descriptor_length(8bits)0x:%02x", dl), FIELD_AUTO_LENGTH | 8);
        Field(item, Format("ca_system_id(16bits)0x:%04x", s.U16(d + 2)), FIELD_EDITABLE | 16);
        Field(item, Format("reserved(3bits)0x:%x", s[d + 4] >> 5), 3);
        Field(item, Format("ca_pid(13bits)0x:%04x", s.U13(d + 4)), FIELD_EDITABLE | 13);
        Field(item, Format("private data(%dbytes)0x:", dl - 4) + s.Hex(d + 6, dl - 4),
              0x50000 | (8 * dl - 32));
    }
    Field(m_cat, Crc(s, 3 + sectionLength - 4), 32);
    m_cat->expanded = true;
    VerifyRepack(m_cat, section, length);
}

void CMuxPsiModel::ParseNit(const uint8_t* section, int length) {
    if (!section || length <= 7 || section[0] != 0x40)
        return;
    m_tree.DeleteChildren(m_nit);
    SectionBytes s{section, length};
    int sectionLength = s.U12(1);
    int end = std::max(0, 3 + sectionLength - 4);
    AddSectionHead(m_nit, s.in, "'0'");
    Field(m_nit, Format("network_id(16bits)0x:%04x", s.U16(3)), FIELD_EDITABLE | 16);
    Field(m_nit, Format("reserved(2bits)0x:%02x", s[5] >> 6), 2);
    AddSectionNumbers(m_nit, s.in);
    Field(m_nit, Format("reserved_further_use(4bits)0x:%x", s[8] >> 4), 4);
    int networkLength = s.U12(8);
    Field(m_nit, Format("network_descriptors_length(12bits)0x:%03x", networkLength), FIELD_AUTO_LENGTH | 12);
    PsiItem* network = Field(m_nit, "network_descriptors", 0, kImageContainer);
    for (int off = 0; networkLength - off > 1 && 10 + off < end;) {
        int d = 10 + off;
        int tag = s[d];
        int dl = s[d + 1];
        PsiItem* item = Field(network, Format("descriptor_tag(8bits)0x:%02x", tag), FIELD_EDITABLE | 8);
        Field(item, Format("descriptor_length(8bits)0x:%02x", dl), FIELD_AUTO_LENGTH | 8);
        if (dl != 0) {
            if (tag == 0x40) {
                Field(item, Format("description name(%dbytes):", dl) + s.Raw(d + 2, dl), 0x30000 | (8 * dl));
            } else {
                Field(item, Format("descriptor_data(%dbytes)0x:", dl) + s.Hex(d + 2, dl), 0x50000 | (8 * dl));
            }
        }
        off += dl + 2;
    }
    int loopAt = 10 + networkLength;
    int loopLength = s.U12(loopAt);
    Field(m_nit, Format("reserved_further_use(4bits)0x:%x", s[loopAt] >> 4), 4);
    Field(m_nit, Format("transport_stream_loop_length(12bits)0x:%03x", loopLength), FIELD_AUTO_LENGTH | 12);
    PsiItem* streams = Field(m_nit, "transport_streams", 0, kImageEntry);
    for (int off = 0; loopLength - off > 5 && loopAt + 2 + off < end;) {
        int at = loopAt + 2 + off;
        int tsLength = s.U12(at + 4);
        PsiItem* entry =
            Field(streams, Format("transport_stream_id(16bits)0x:%04x", s.U16(at)), 16, kImageContainer);
        Field(entry, Format("original_network_id(16bits)0x:%04x", s.U16(at + 2)), FIELD_EDITABLE | 16);
        Field(entry, Format("reserved_further_use(4bits)0x:%x", s[at + 4] >> 4), 4);
        Field(entry, Format("transport_descriptors_length(12bits)0x:%03x", tsLength), FIELD_AUTO_LENGTH | 12);
        for (int doff = 0; doff < tsLength && at + 6 + doff < end;) {
            int d = at + 6 + doff;
            int tag = s[d];
            int dl = s[d + 1];
            PsiItem* item = Field(entry, Format("descriptor_tag(8bits)0x:%02x", tag), 8, kImageContainer);
            Field(item, Format("descriptor_length(8bits)0x:%02x", dl), FIELD_AUTO_LENGTH | 8);
            if ((tag == 0x44 || tag == 0x43) && dl == 11) {
                Field(item, "frequency(4bytes)0x:" + s.Hex(d + 2, 4), FIELD_EDITABLE | 32);
                if (tag == 0x44) {
                    Field(item, Format("reserved_future_use(12bits)0x:%02x%x", s[d + 6], s[d + 7] >> 4),
                          FIELD_LEFT_ALIGNED | 12);
                    Field(item, Format("FEC_Outer(4bits)0x:%x", s[d + 7] & 0x0F), 4);
                    Field(item, Format("modulation(8bits)0x:%02x", s[d + 8]), FIELD_EDITABLE | 8);
                } else {
                    Field(item, Format("orbital_position(16bits)0x:%02x%02x", s[d + 6], s[d + 7]), 16);
                    Field(item, Format("west_east_flag(1bits)0x:%x", s[d + 8] >> 7), 1);
                    Field(item, Format("polarization(2bits)0x:%x", (s[d + 8] >> 5) & 3), FIELD_EDITABLE | 2);
                    Field(item, Format("modulation(5bits)0x:%02x", s[d + 8] & 0x1F), FIELD_EDITABLE | 5);
                }
                Field(item,
                      Format("symbol_rate(28bits)0x:%02x%02x%02x%x", s[d + 9], s[d + 10], s[d + 11],
                             s[d + 12] >> 4),
                      FIELD_LEFT_ALIGNED | FIELD_EDITABLE | 28);
                Field(item,
                      Format(tag == 0x44 ? "FEC_inner(4bits)0x:%01x" : "FEC_inner(4bits)0x:%x",
                             s[d + 12] & 0x0F),
                      4);
            } else {
                Field(item, Format("descriptor_data(hex)(%dbytes)0x:", dl) + s.Hex(d + 2, dl),
                      0x50000 | (8 * dl));
            }
            doff += dl + 2;
        }
        off += 6 + tsLength;
    }
    Field(m_nit, Crc(s, 3 + sectionLength - 4), 32);
    m_nit->expanded = true;
    VerifyRepack(m_nit, section, length);
}

// ---- value edits and lengths ----

bool CMuxPsiModel::ApplyValueEdit(PsiItem* item, const std::string& newValueIn) {
    if (!item || !m_tree.Contains(item) || !(item->data & FIELD_EDITABLE) || !IsFieldText(item->text))
        return true;
    if (IsLocked(item))
        return true;
    uint32_t data = item->data;
    int width = WidthOf(data);
    std::string prefix = FieldPrefix(item->text);
    std::string oldValue = FieldValue(item->text);
    std::string value = newValueIn;
    int newSize = 0;
    int oldSize = 0;
    bool sized = (data & (FIELD_RAW_TEXT | FIELD_HEX_DATA)) != 0;
    if (data & FIELD_RAW_TEXT) {
        newSize = static_cast<int>(value.size());
        oldSize = static_cast<int>(oldValue.size());
    } else {
        size_t first = value.find_first_not_of(' ');
        value.erase(0, first == std::string::npos ? value.size() : first);
        if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X'))
            value.erase(0, 2);
        if (!psihex::IsHex(value)) {
            ShowMessageBox("Value should be 0-9,a-f or A-F!");
            return false;
        }
        if (data & FIELD_HEX_DATA) {
            // Whole bytes only: an odd last digit goes, so the text shows what is packed.
            if (value.size() % 2 != 0)
                value.pop_back();
        } else if (!value.empty() && (data & ~kFieldWidthMask) == FIELD_EDITABLE) {
            if (static_cast<int>(value.size()) != (width + 3) / 4) {
                ShowMessageBox(kLengthInvalid);
                return false;
            }
        } else if (static_cast<int>(value.size()) > (width + 3) / 4) {
            // Digits past the field's width would be dropped by packing.
            ShowMessageBox(kLengthInvalid);
            return false;
        }
        if (!(data & (FIELD_HEX_DATA | FIELD_LEFT_ALIGNED)) && !value.empty() && width < 32) {
            uint32_t max = (1u << width) - 1;
            if (psihex::ToUInt32(value) > max || value.size() > 8) {
                ShowMessageBox(Format("Please enter an integer between 0x0 and 0x%x.", max));
                return false;
            }
        }
        newSize = static_cast<int>(value.size()) / 2;
        oldSize = static_cast<int>(oldValue.size()) / 2;
    }
    if (sized && newSize > 255) {
        ShowMessageBox(kLengthInvalid);
        return false;
    }
    if (sized && newSize != oldSize) {
        // The length field just before must still hold its new value.
        for (PsiItem* at = m_tree.PrevSibling(item); at; at = m_tree.PrevSibling(at)) {
            if (!(at->data & FIELD_AUTO_LENGTH))
                continue;
            long next = at == m_tree.PrevSibling(item)
                            ? newSize
                            : static_cast<long>(psihex::ToUInt32(FieldValue(at->text))) + newSize - oldSize;
            int lengthWidth = WidthOf(at->data);
            if (next < 0 || next > (1L << lengthWidth) - 1) {
                ShowMessageBox(kLengthInvalid);
                return false;
            }
            break;
        }
        SetLengthBefore(item, oldSize, newSize, data);
        PropagateLengthChange(m_tree.Parent(item), newSize, oldSize);
        prefix = WithByteCount(prefix, newSize);
    }
    item->text = prefix + value;
    m_tree.Touch();
    return true;
}

bool CMuxPsiModel::SetLengthBefore(PsiItem* item, int oldSize, int newSize, uint32_t flags) {
    PsiItem* immediate = m_tree.PrevSibling(item);
    for (PsiItem* at = immediate; at; at = m_tree.PrevSibling(at)) {
        if (!(at->data & FIELD_AUTO_LENGTH))
            continue;
        long value = newSize;
        if (at != immediate)
            value = static_cast<long>(psihex::ToUInt32(FieldValue(at->text))) + newSize - oldSize;
        at->text = SetFieldValue(at->text, static_cast<uint32_t>(std::clamp(value, 0L, 0xFFFFL)));
        item->data = (flags & 0xFF0000) | static_cast<uint32_t>(newSize * 8);
        m_tree.Touch();
        return true;
    }
    return false;
}

void CMuxPsiModel::PropagateLengthChange(PsiItem* item, int newSize, int oldSize) {
    long delta = static_cast<long>(newSize) - oldSize;
    auto add = [&](PsiItem* length) {
        long value = static_cast<long>(psihex::ToUInt32(FieldValue(length->text))) + delta;
        length->text = SetFieldValue(length->text, static_cast<uint32_t>(std::max(value, 0L)));
    };
    for (PsiItem* at = item; at && !IsTableRoot(at) && at != m_top; at = m_tree.Parent(at)) {
        const std::string& text = at->text;
        if (text == "program_info_descriptors" || text == "transport_streams" || text == "descriptor_tag" ||
            text == "network_descriptors") {
            PsiItem* before = m_tree.PrevSibling(at);
            if (before && (before->data & FIELD_AUTO_LENGTH))
                add(before);
        }
        PsiItem* parent = m_tree.Parent(at);
        if (!parent)
            break;
        for (auto& sibling : parent->children) {
            if (sibling->data & FIELD_AUTO_LENGTH) {
                add(sibling.get());
                break;
            }
        }
    }
    m_tree.Touch();
}

void CMuxPsiModel::AdjustSectionLength(PsiItem* item, int newValue, int oldValue) {
    if (!item || IsTableRoot(item))
        return;
    PsiItem* parent = m_tree.Parent(item);
    PsiItem* first = m_tree.FirstChild(parent);
    if (!first)
        return;
    for (auto& child : first->children) {
        if (StartsWith(child->text, "section_length(12bits)")) {
            long value = static_cast<long>(psihex::ToUInt32(FieldValue(child->text))) + newValue - oldValue;
            child->text = SetFieldValue(child->text, static_cast<uint32_t>(std::max(value, 0L)));
            m_tree.Touch();
            return;
        }
    }
}

// ---- context menu and tree commands ----

PsiMenuEntry CMuxPsiModel::MenuEntryFor(const PsiItem* item) const {
    if (!item || IsLocked(item) || !TableOf(item))
        return {};
    const std::string& text = item->text;
    const PsiItem* parent = m_tree.Parent(item);
    std::string parentText = parent ? parent->text : std::string();
    if (StartsWith(text, "stream_type(8bits)0x:"))
        return {ID_PSI_DELETE_ELEMENT, "Delete"};
    // Containers by their whole text: "descriptors_loop_length(12bits)..." begins with "descriptors" too.
    if (text == "components")
        return {ID_PSI_ADD_ELEMENT, "Add Element"};
    if (StartsWith(text, "descriptor_tag(8bits)0x:"))
        return {ID_PSI_DELETE_DESCRIPTOR, "Delete"};
    if (text == "program_info_descriptors")
        return {ID_PSI_ADD_DESCRIPTOR, "Add Descriptor"};
    if (text == "descriptors")
        return {ID_PSI_ADD_DESCRIPTOR, "Add Descriptor"};
    if (StartsWith(text, "service_id(16bits)0x:"))
        return {ID_PSI_DELETE_SERVICE, "Delete"};
    // Header fields share these names; only NIT entries, PAT entries and PMT nodes carry the commands.
    if (StartsWith(text, "transport_stream_id(16bits)") && parentText == "transport_streams") {
        return {ID_PSI_ADD_DESCRIPTOR, "Add Descriptor"};
    }
    if (StartsWith(text, "program_number(16bits)0x:") &&
        (parent == m_pmts || (StartsWith(parentText, "programs ") && m_tree.Parent(parent) == m_pat))) {
        return {ID_PSI_DELETE_PROGRAM, "Delete"};
    }
    return {};
}

PsiItem* CMuxPsiModel::NewCurrentAfterDelete(PsiItem* item) {
    if (!item || !m_tree.Contains(item))
        return nullptr;
    PsiItem* next = m_tree.NextSibling(item);
    if (!next)
        next = m_tree.PrevSibling(item);
    if (!next)
        next = m_tree.Parent(item);
    if (!next)
        ShowMessageBox("Delete error:psi!");
    return next;
}

int CMuxPsiModel::SizeWithLength(const PsiItem* length, int fixed) {
    return fixed + (length && IsFieldText(length->text) ? psihex::ToUInt32(FieldValue(length->text)) : 0);
}

bool CMuxPsiModel::DeleteElement(PsiItem* item) {
    PsiItem* next = NewCurrentAfterDelete(item);
    if (!next)
        return false;
    m_current = next;
    int removed = SizeWithLength(m_tree.Child(item, 3), 5);
    m_tree.DeleteChildren(item);
    PropagateLengthChange(m_tree.Parent(item), 0, removed);
    m_tree.DeleteItem(item);
    return true;
}

bool CMuxPsiModel::DeleteService(PsiItem* item) {
    if (!NewCurrentAfterDelete(item))
        return false;
    int removed = SizeWithLength(m_tree.Child(item, 5), 5);
    m_tree.DeleteChildren(item);
    PropagateLengthChange(m_tree.Parent(item), 0, removed);
    m_tree.DeleteItem(item);
    m_current = nullptr;
    return true;
}

bool CMuxPsiModel::DeleteDescriptor(PsiItem* item) {
    if (!NewCurrentAfterDelete(item))
        return false;
    PropagateLengthChange(item, 0, SizeWithLength(m_tree.FirstChild(item), 2));
    m_tree.DeleteItem(item);
    m_current = nullptr;
    return true;
}

bool CMuxPsiModel::DeleteProgram(PsiItem* item) {
    if (!NewCurrentAfterDelete(item))
        return false;
    AdjustSectionLength(m_tree.Parent(item), 0, 4);
    m_tree.DeleteItem(item);
    m_current = nullptr;
    return true;
}

PsiItem* CMuxPsiModel::AddElement(PsiItem* components, uint8_t streamType, uint16_t pid,
                                  const std::vector<PsiDescriptorRow>& descriptors) {
    if (!components || !m_tree.Contains(components))
        return nullptr;
    int total = 0;
    for (const auto& row : descriptors)
        total += 2 + static_cast<int>(row.data.size());
    PsiItem* stream =
        Field(components, Format("stream_type(8bits)0x:%02x", streamType), 8, StreamTypeImage(streamType));
    Field(stream, Format("reserved(3bits)0x:%x", 7), 3);
    Field(stream, Format("elementary_PID(13bits)0x:%04x", pid & 0x1FFF), FIELD_EDITABLE | 13);
    Field(stream, Format("reserved(4bits)0x:%x", 0xF), 4);
    Field(stream, Format("es_info_length(12bits)0x:%03x", total), FIELD_AUTO_LENGTH | 12);
    PsiItem* es = Field(stream, "es_descriptors", 0, kImageContainer);
    for (const auto& row : descriptors) {
        AddDescriptorItems(es, kImageField, FIELD_EDITABLE | 8, row.tag, row.data.data(),
                           static_cast<int>(row.data.size()), "descriptor_data(hex)(%dbytes)0x:");
    }
    PropagateLengthChange(components, total + 5, 0);
    return stream;
}

PsiItem* CMuxPsiModel::AddDescriptor(PsiItem* context, uint8_t tag, const std::vector<uint8_t>& data) {
    if (!context || !m_tree.Contains(context) || data.size() > 255)
        return nullptr;
    int length = static_cast<int>(data.size());
    PsiItem* item = Field(context, Format("descriptor_tag(8bits)0x:%02x", tag), 8, kImageOtherStream);
    // The length carries the automatic-length mark, as a read descriptor's does, so later edits of the
    // data keep it right.
    Field(item, Format("descriptor_length(8bits)0x:%02x", length), FIELD_AUTO_LENGTH | 8);
    Field(
        item,
        Format("descriptor_data(hex)(%dbytes)0x:%s", length, psihex::BytesToHex(data.data(), length).c_str()),
        0x50000 | (8 * length));
    PropagateLengthChange(item, length + 2, 0);
    return item;
}

}  // namespace nms
