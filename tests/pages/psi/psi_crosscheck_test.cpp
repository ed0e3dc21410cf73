// The sections the editor produces, packed into transport-stream packets and decoded by libdvbpsi: every
// table must decode there with the values that the tree shows.
#include <gtest/gtest.h>

// libdvbpsi's headers depend on their order.
// clang-format off
extern "C" {
#include <dvbpsi/dvbpsi.h>
#include <dvbpsi/psi.h>
#include <dvbpsi/descriptor.h>
#include <dvbpsi/demux.h>
#include <dvbpsi/pat.h>
#include <dvbpsi/pmt.h>
#include <dvbpsi/cat.h>
#include <dvbpsi/nit.h>
#include <dvbpsi/sdt.h>
}
// clang-format on

#include <map>

#include "pages/psi/ca_descriptor_section.h"
#include "pages/psi/nit_table.h"
#include "pages/psi/psi_hex.h"
#include "pages/psi/psi_model.h"
#include "pages/psi/psi_section_checker.h"
#include "platform/prompt.h"
#include "psi_sections.h"

namespace nms {
namespace psi_crosscheck_test {

// "descriptors" names the container, "descriptors(" would name a field: prefixes end at the width.
bool Matches(const std::string& text, const std::string& prefix) {
    if (text == prefix)
        return true;
    std::string p = prefix.back() == '(' ? prefix : prefix + "(";
    return StartsWith(text, p.c_str());
}

using testing::Bytes;

// One section into 188-byte packets: pointer_field 0 in the first, 0xFF stuffing after the section.
void Push(dvbpsi_t* decoder, const Bytes& section, int pid) {
    size_t at = 0;
    int counter = 0;
    bool first = true;
    while (at < section.size()) {
        uint8_t packet[188];
        std::fill(packet, packet + 188, 0xFF);
        packet[0] = 0x47;
        packet[1] = static_cast<uint8_t>((first ? 0x40 : 0) | (pid >> 8));
        packet[2] = static_cast<uint8_t>(pid);
        packet[3] = static_cast<uint8_t>(0x10 | (counter++ & 0x0F));
        int p = 4;
        if (first)
            packet[p++] = 0;
        while (p < 188 && at < section.size())
            packet[p++] = section[at++];
        first = false;
        dvbpsi_packet_push(decoder, packet);
    }
}

void Quiet(dvbpsi_t*, const dvbpsi_msg_level_t, const char*) {}

struct Decoded {
    bool got = false;
    int tableId = 0, extension = 0, version = 0;
    std::vector<std::pair<int, int>> pairs;  // PAT: number/pid; PMT: type/pid; SDT/NIT: id/onid
    std::vector<std::vector<std::pair<int, Bytes>>> loops;  // descriptors per loop entry, loop 0 = top
    int pcrPid = 0;
};

std::vector<std::pair<int, Bytes>> Descriptors(dvbpsi_descriptor_t* d) {
    std::vector<std::pair<int, Bytes>> out;
    for (; d; d = d->p_next)
        out.push_back({d->i_tag, Bytes(d->p_data, d->p_data + d->i_length)});
    return out;
}

Decoded DecodePat(const Bytes& section) {
    Decoded result;
    dvbpsi_t* h = dvbpsi_new(&Quiet, DVBPSI_MSG_NONE);
    dvbpsi_pat_attach(
        h,
        [](void* data, dvbpsi_pat_t* pat) {
            auto* r = static_cast<Decoded*>(data);
            r->got = true;
            r->extension = pat->i_ts_id;
            r->version = pat->i_version;
            for (auto* p = pat->p_first_program; p; p = p->p_next)
                r->pairs.push_back({p->i_number, p->i_pid});
            dvbpsi_pat_delete(pat);
        },
        &result);
    Push(h, section, 0);
    dvbpsi_pat_detach(h);
    dvbpsi_delete(h);
    return result;
}

Decoded DecodePmt(const Bytes& section, int program) {
    Decoded result;
    dvbpsi_t* h = dvbpsi_new(&Quiet, DVBPSI_MSG_NONE);
    dvbpsi_pmt_attach(
        h, static_cast<uint16_t>(program),
        [](void* data, dvbpsi_pmt_t* pmt) {
            auto* r = static_cast<Decoded*>(data);
            r->got = true;
            r->extension = pmt->i_program_number;
            r->version = pmt->i_version;
            r->pcrPid = pmt->i_pcr_pid;
            r->loops.push_back(Descriptors(pmt->p_first_descriptor));
            for (auto* es = pmt->p_first_es; es; es = es->p_next) {
                r->pairs.push_back({es->i_type, es->i_pid});
                r->loops.push_back(Descriptors(es->p_first_descriptor));
            }
            dvbpsi_pmt_delete(pmt);
        },
        &result);
    Push(h, section, 0x100);
    dvbpsi_pmt_detach(h);
    dvbpsi_delete(h);
    return result;
}

Decoded DecodeCat(const Bytes& section) {
    Decoded result;
    dvbpsi_t* h = dvbpsi_new(&Quiet, DVBPSI_MSG_NONE);
    dvbpsi_cat_attach(
        h,
        [](void* data, dvbpsi_cat_t* cat) {
            auto* r = static_cast<Decoded*>(data);
            r->got = true;
            r->version = cat->i_version;
            r->loops.push_back(Descriptors(cat->p_first_descriptor));
            dvbpsi_cat_delete(cat);
        },
        &result);
    Push(h, section, 1);
    dvbpsi_cat_detach(h);
    dvbpsi_delete(h);
    return result;
}

struct DemuxContext {
    Decoded* result;
    std::vector<std::pair<uint8_t, uint16_t>> attached;
};

void OnNit(void* data, dvbpsi_nit_t* nit) {
    auto* r = static_cast<Decoded*>(data);
    r->got = true;
    r->tableId = nit->i_table_id;
    r->extension = nit->i_network_id;
    r->version = nit->i_version;
    r->loops.push_back(Descriptors(nit->p_first_descriptor));
    for (auto* ts = nit->p_first_ts; ts; ts = ts->p_next) {
        r->pairs.push_back({ts->i_ts_id, ts->i_orig_network_id});
        r->loops.push_back(Descriptors(ts->p_first_descriptor));
    }
    dvbpsi_nit_delete(nit);
}

void OnSdt(void* data, dvbpsi_sdt_t* sdt) {
    auto* r = static_cast<Decoded*>(data);
    r->got = true;
    r->tableId = sdt->i_table_id;
    r->extension = sdt->i_extension;
    r->version = sdt->i_version;
    r->pcrPid = sdt->i_network_id;
    r->loops.push_back({});
    for (auto* s = sdt->p_first_service; s; s = s->p_next) {
        r->pairs.push_back({s->i_service_id, s->i_running_status});
        r->loops.push_back(Descriptors(s->p_first_descriptor));
    }
    dvbpsi_sdt_delete(sdt);
}

// Several sections of one table, in order, on one PID.
Decoded DecodeSiSections(const std::vector<Bytes>& sections, int pid) {
    Decoded result;
    DemuxContext context{&result, {}};
    dvbpsi_t* h = dvbpsi_new(&Quiet, DVBPSI_MSG_NONE);
    dvbpsi_AttachDemux(
        h,
        [](dvbpsi_t* handle, uint8_t tableId, uint16_t extension, void* data) {
            auto* c = static_cast<DemuxContext*>(data);
            if (tableId == 0x40)
                dvbpsi_nit_attach(handle, tableId, extension, &OnNit, c->result);
            if (tableId == 0x42)
                dvbpsi_sdt_attach(handle, tableId, extension, &OnSdt, c->result);
            c->attached.push_back({tableId, extension});
        },
        &context);
    for (const Bytes& section : sections)
        Push(h, section, pid);
    for (auto [tableId, extension] : context.attached) {
        if (tableId == 0x40)
            dvbpsi_nit_detach(h, tableId, extension);
        if (tableId == 0x42)
            dvbpsi_sdt_detach(h, tableId, extension);
    }
    dvbpsi_DetachDemux(h);
    dvbpsi_delete(h);
    return result;
}

Decoded DecodeSi(const Bytes& section, int pid) {
    return DecodeSiSections({section}, pid);
}

// ---- what the tree shows ----

int Value(const PsiItem* item) {
    return static_cast<int>(psihex::ToUInt32(FieldValue(item->text)));
}

const PsiItem* Named(const PsiItem* under, const char* prefix) {
    for (auto& c : under->children) {
        if (Matches(c->text, prefix))
            return c.get();
    }
    return nullptr;
}

Bytes DescriptorBytes(const PsiItem* tag) {
    Bytes out;
    // The data item's value is hex; a service_descriptor is rebuilt from its name items.
    for (auto& c : tag->children) {
        if (StartsWith(c->text, "descriptor_data") || StartsWith(c->text, "private data")) {
            std::string hex = FieldValue(c->text);
            for (size_t i = 0; i + 1 < hex.size(); i += 2)
                out.push_back(psihex::PairToByte(hex[i], hex[i + 1]));
        } else if (StartsWith(c->text, "ca_system_id")) {
            out.push_back(static_cast<uint8_t>(Value(c.get()) >> 8));
            out.push_back(static_cast<uint8_t>(Value(c.get())));
        } else if (StartsWith(c->text, "ca_pid")) {
            out.push_back(static_cast<uint8_t>(0xE0 | Value(c.get()) >> 8));
            out.push_back(static_cast<uint8_t>(Value(c.get())));
        } else if (StartsWith(c->text, "service_type")) {
            out.push_back(static_cast<uint8_t>(Value(c.get())));
            for (auto& n : c->children) {
                if (n->data & FIELD_RAW_TEXT) {
                    std::string name = FieldValue(n->text);
                    out.insert(out.end(), name.begin(), name.end());
                } else {
                    out.push_back(static_cast<uint8_t>(Value(n.get())));
                }
            }
        } else if (StartsWith(c->text, "description name")) {
            std::string name = FieldValue(c->text);
            out.insert(out.end(), name.begin(), name.end());
        }
    }
    return out;
}

std::vector<std::pair<int, Bytes>> TreeDescriptors(const PsiItem* under) {
    std::vector<std::pair<int, Bytes>> out;
    for (auto& c : under->children) {
        if (StartsWith(c->text, "descriptor_tag"))
            out.push_back({Value(c.get()), DescriptorBytes(c.get())});
    }
    return out;
}

Bytes Pack(const CMuxPsiModel& model, const PsiItem* table) {
    Bytes out(2048);
    int n = model.SerializeTable(table, out.data(), 2048);
    out.resize(std::max(n, 0));
    std::string why;
    EXPECT_TRUE(CheckPsiSection(out.data(), static_cast<int>(out.size()), &why)) << why;
    return out;
}

class PsiCrosscheck : public ::testing::Test {
protected:
    void SetUp() override {
        Bytes pat = testing::MakePat(200);
        model.ParsePat(pat.data(), static_cast<int>(pat.size()));
        Bytes pmt = testing::MakePmt(0x0011);
        model.ParsePmt(1, 1, pmt.data(), static_cast<int>(pmt.size()));
        Bytes cat = testing::MakeCat(5);
        model.ParseCat(cat.data(), static_cast<int>(cat.size()));
        Bytes nit = testing::MakeNit();
        model.ParseNit(nit.data(), static_cast<int>(nit.size()));
        Bytes sdt = testing::MakeSdt(8);
        model.ParseSdt(sdt.data(), static_cast<int>(sdt.size()));
    }

    PsiItem* At(PsiItem* under, const char* prefix, int n = 0) {
        std::vector<PsiItem*> stack{under};
        while (!stack.empty()) {
            PsiItem* item = stack.back();
            stack.pop_back();
            bool match = Matches(item->text, prefix);
            if (item != under && match && n-- == 0)
                return item;
            for (auto it = item->children.rbegin(); it != item->children.rend(); ++it)
                stack.push_back(it->get());
        }
        return nullptr;
    }

    void ExpectPat() {
        Decoded d = DecodePat(Pack(model, model.PatRoot()));
        ASSERT_TRUE(d.got);
        const PsiItem* info = model.PatRoot()->children[0].get();
        EXPECT_EQ(d.extension, Value(Named(info, "transport_stream_id")));
        EXPECT_EQ(d.version, Value(Named(info, "version_number")));
        std::vector<std::pair<int, int>> shown;
        for (auto& entry : model.PatRoot()->children[1]->children) {
            shown.push_back({Value(entry.get()), Value(entry->children[1].get())});
        }
        EXPECT_EQ(d.pairs, shown);
    }

    void ExpectPmt() {
        PsiItem* node = model.PmtsRoot()->children[0].get();
        Decoded d = DecodePmt(Pack(model, node), Value(Named(node, "program_number")));
        ASSERT_TRUE(d.got);
        EXPECT_EQ(d.pcrPid, Value(Named(node, "pcr_pid")));
        EXPECT_EQ(d.version, Value(Named(node, "version_number")));
        std::vector<std::pair<int, int>> shown;
        std::vector<std::vector<std::pair<int, Bytes>>> loops{
            TreeDescriptors(Named(node, "program_info_descriptors"))};
        for (auto& es : Named(node, "components")->children) {
            shown.push_back({Value(es.get()), Value(Named(es.get(), "elementary_PID"))});
            loops.push_back(TreeDescriptors(Named(es.get(), "es_descriptors")));
        }
        EXPECT_EQ(d.pairs, shown);
        EXPECT_EQ(d.loops, loops);
    }

    void ExpectCat() {
        Decoded d = DecodeCat(Pack(model, model.CatRoot()));
        ASSERT_TRUE(d.got);
        ASSERT_EQ(d.loops.size(), 1u);
        EXPECT_EQ(d.loops[0], TreeDescriptors(Named(model.CatRoot(), "descriptors")));
    }

    void ExpectNit() {
        Decoded d = DecodeSi(Pack(model, model.NitRoot()), 0x10);
        ASSERT_TRUE(d.got);
        EXPECT_EQ(d.extension, Value(Named(model.NitRoot(), "network_id")));
        std::vector<std::pair<int, int>> shown;
        std::vector<std::vector<std::pair<int, Bytes>>> loops{
            TreeDescriptors(At(model.NitRoot(), "network_descriptors"))};
        for (auto& ts : Named(model.NitRoot(), "transport_streams")->children) {
            shown.push_back({Value(ts.get()), Value(Named(ts.get(), "original_network_id"))});
            std::vector<std::pair<int, Bytes>> descriptors;
            for (auto& c : ts->children) {
                if (!StartsWith(c->text, "descriptor_tag"))
                    continue;
                Bytes raw;
                if (Named(c.get(), "frequency")) {
                    // delivery descriptors: the frequency bytes and the rate's seven digits are compared
                    std::string f = FieldValue(Named(c.get(), "frequency")->text);
                    for (size_t i = 0; i + 1 < f.size(); i += 2)
                        raw.push_back(psihex::PairToByte(f[i], f[i + 1]));
                    std::string rate = FieldValue(Named(c.get(), "symbol_rate")->text);
                    descriptors.push_back({Value(c.get()), raw});
                    descriptors.back().second.push_back(
                        0xEE);  // marker: compare the frequency and rate below
                    descriptors.back().second.insert(descriptors.back().second.end(), rate.begin(),
                                                     rate.end());
                } else {
                    descriptors.push_back({Value(c.get()), DescriptorBytes(c.get())});
                }
            }
            loops.push_back(descriptors);
        }
        EXPECT_EQ(d.pairs, shown);
        ASSERT_EQ(d.loops.size(), loops.size());
        for (size_t i = 0; i < loops.size(); ++i) {
            ASSERT_EQ(d.loops[i].size(), loops[i].size());
            for (size_t k = 0; k < loops[i].size(); ++k) {
                EXPECT_EQ(d.loops[i][k].first, loops[i][k].first);
                const Bytes& got = d.loops[i][k].second;
                const Bytes& want = loops[i][k].second;
                auto marker = std::find(want.begin(), want.end(), 0xEE);
                if (marker == want.end()) {
                    EXPECT_EQ(got, want);
                    continue;
                }
                EXPECT_EQ(Bytes(got.begin(), got.begin() + 4), Bytes(want.begin(), marker));
                std::string rate = psihex::BytesToHex(got.data() + 7, 4).substr(0, 7);
                EXPECT_EQ(rate, std::string(marker + 1, want.end()));
            }
        }
    }

    void ExpectSdt() {
        Decoded d = DecodeSi(Pack(model, model.SdtRoot()), 0x11);
        ASSERT_TRUE(d.got);
        EXPECT_EQ(d.extension, Value(Named(model.SdtRoot(), "transport_stream_id")));
        EXPECT_EQ(d.pcrPid, Value(Named(model.SdtRoot(), "original_network_id")));
        std::vector<std::pair<int, int>> shown;
        std::vector<std::vector<std::pair<int, Bytes>>> loops{{}};
        for (auto& s : Named(model.SdtRoot(), "services ")->children) {
            shown.push_back({Value(s.get()), Value(Named(s.get(), "runing_status"))});
            loops.push_back(TreeDescriptors(Named(s.get(), "descriptors")));
        }
        EXPECT_EQ(d.pairs, shown);
        EXPECT_EQ(d.loops, loops);
    }

    void ExpectAll() {
        ExpectPat();
        ExpectPmt();
        ExpectCat();
        ExpectNit();
        ExpectSdt();
    }

    ScriptedPrompt prompt;
    ScopedPrompt scoped{&prompt};
    CMuxPsiModel model{16};
};

TEST_F(PsiCrosscheck, TablesAsRead) {
    ExpectAll();
}

TEST_F(PsiCrosscheck, ValueEdits) {
    EXPECT_TRUE(model.ApplyValueEdit(At(model.PatRoot(), "transport_stream_id"), "0999"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.PatRoot(), "pid", 5), "1abc"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.PatRoot(), "program_number", 7), "7777"));
    PsiItem* node = model.PmtsRoot()->children[0].get();
    EXPECT_TRUE(model.ApplyValueEdit(At(node, "pcr_pid"), "0fff"));
    EXPECT_TRUE(model.ApplyValueEdit(At(node, "version_number"), "1e"));
    EXPECT_TRUE(model.ApplyValueEdit(At(node, "descriptor_data", 2), "6465750001"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.CatRoot(), "private data", 1), "0102030405060708"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.CatRoot(), "ca_pid", 2), "1234"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.NitRoot(), "description name"), "A much longer network name"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.NitRoot(), "symbol_rate"), "0275000"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.NitRoot(), "frequency"), "03620000"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.SdtRoot(), "service_name(", 3), "Kanal"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.SdtRoot(), "service_provider_name(", 0),
                                     "A provider with a long name indeed"));
    EXPECT_TRUE(model.ApplyValueEdit(At(model.SdtRoot(), "runing_status", 2), "4"));
    EXPECT_TRUE(prompt.shown.empty());
    ExpectAll();
}

TEST_F(PsiCrosscheck, StructuralEdits) {
    PsiItem* node = model.PmtsRoot()->children[0].get();
    EXPECT_TRUE(model.DeleteProgram(At(model.PatRoot(), "program_number", 10)));
    EXPECT_TRUE(model.DeleteElement(At(node, "stream_type", 1)));
    EXPECT_NE(model.AddElement(At(node, "components"), 0x24, 0x0333, {{0x0A, {'p', 'o', 'l', 1}}}), nullptr);
    EXPECT_NE(model.AddDescriptor(At(node, "program_info_descriptors"), 0x05, {'H', 'D', 'M', 'V'}), nullptr);
    EXPECT_TRUE(model.DeleteDescriptor(At(node, "descriptor_tag", 0)));
    EXPECT_TRUE(model.DeleteDescriptor(At(model.CatRoot(), "descriptor_tag", 4)));
    EXPECT_NE(model.AddDescriptor(At(model.CatRoot(), "descriptors"), 0x09, {0x4A, 0x02, 0xE3, 0x00, 0x77}),
              nullptr);
    EXPECT_NE(model.AddDescriptor(At(model.NitRoot(), "transport_stream_id", 0), 0x83, {0, 1, 0xFC, 0x01}),
              nullptr);
    EXPECT_TRUE(model.DeleteDescriptor(At(model.NitRoot(), "descriptor_tag", 0)));
    EXPECT_TRUE(model.DeleteService(At(model.SdtRoot(), "service_id", 4)));
    EXPECT_NE(model.AddDescriptor(At(model.SdtRoot(), "descriptors", 2), 0x5F, {0, 0, 0, 0x28}), nullptr);
    EXPECT_TRUE(model.DeleteDescriptor(At(model.SdtRoot(), "descriptor_tag", 0)));
    ExpectAll();
}

TEST_F(PsiCrosscheck, CaDescriptorEdits) {
    Bytes cat = Pack(model, model.CatRoot());
    Bytes buffer(kCaSectionBufferSize);
    std::copy(cat.begin(), cat.end(), buffer.begin());
    CaDescriptorSection ca;
    ASSERT_TRUE(ca.Parse(true, buffer.data(), static_cast<int>(cat.size())));
    ca.Entries()[0].privateText = "00112233";
    ca.Entries()[4].privateText = "";
    int n = 0;
    std::string why;
    ASSERT_TRUE(ca.Rebuild(buffer.data(), &n, &why)) << why;
    Bytes rebuilt(buffer.begin(), buffer.begin() + n);
    model.ParseCat(rebuilt.data(), n);
    EXPECT_FALSE(model.CatRoot()->locked);
    EXPECT_EQ(FieldValue(At(model.CatRoot(), "private data", 0)->text), "00112233");
    ExpectCat();

    PsiItem* node = model.PmtsRoot()->children[0].get();
    Bytes pmt = Pack(model, node);
    Bytes withPrefix{0x01, 0x00};
    withPrefix.insert(withPrefix.end(), pmt.begin(), pmt.end());
    std::copy(withPrefix.begin(), withPrefix.end(), buffer.begin());
    ASSERT_TRUE(ca.Parse(false, buffer.data(), static_cast<int>(withPrefix.size())));
    ASSERT_EQ(ca.Entries().size(), 1u);
    ca.Entries()[0].privateText = "cafe";
    ASSERT_TRUE(ca.Rebuild(buffer.data(), &n, &why)) << why;
    model.ParsePmt(1, 1, buffer.data() + 2, n - 2);
    EXPECT_FALSE(node->locked);
    ExpectPmt();
}

}  // namespace psi_crosscheck_test
}  // namespace nms

namespace nms {
namespace psi_crosscheck_test {

// The NIT editor's builder: every section passes the checker, and libdvbpsi assembles the sections
// into one table with every transport stream and its descriptors in order.
TEST(NitBuilderCrosscheck, SectionsDecodeAsOneTable) {
    NitTable t;
    t.networkId = "3A1";
    t.version = 9;
    t.networkName = "Velmora";
    t.networkDescriptorsOn = true;
    t.networkDescriptors = {{0x5F, "0000233A"}, {0x4A, "00010002"}};
    std::vector<Bytes> entries;
    for (int i = 0; i < 20; ++i) {
        Bytes d = {0x44, 0x0B, 0x03, 0x46, 0x00, 0x00, 0xFF, 0xF2, 0x03, 0x00, 0x68, 0x75, 0x05};
        d.push_back(0x83);
        d.push_back(static_cast<uint8_t>(20 * (i % 12)));
        d.insert(d.end(), static_cast<size_t>(20 * (i % 12)), static_cast<uint8_t>(i));
        entries.push_back(d);
        NitTsRow row;
        row.columns[0] = std::to_string(100 + i);
        row.columns[1] = "22";
        row.entry.SetDescriptors(d.data(), static_cast<int>(d.size()));
        t.rows.push_back(row);
    }
    ASSERT_TRUE(t.Build());
    ASSERT_GE(t.sectionCount, 3);
    std::vector<Bytes> sections;
    for (int k = 0; k < t.sectionCount; ++k) {
        const uint8_t* slot = t.image.Slot(k);
        const int size = (((slot[1] & 0x0F) << 8) | slot[2]) + 3;
        std::string why;
        EXPECT_TRUE(CheckPsiSection(slot, size, &why)) << "section " << k << ": " << why;
        sections.emplace_back(slot, slot + size);
    }
    Decoded d = DecodeSiSections(sections, 0x10);
    ASSERT_TRUE(d.got);
    EXPECT_EQ(d.tableId, 0x40);
    EXPECT_EQ(d.extension, 0x3A1);
    EXPECT_EQ(d.version, 9);
    ASSERT_EQ(d.pairs.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(d.pairs[static_cast<size_t>(i)].first, std::stoi(std::to_string(100 + i), nullptr, 16));
        EXPECT_EQ(d.pairs[static_cast<size_t>(i)].second, 0x22);
        const auto& loop = d.loops[static_cast<size_t>(i) + 1];
        ASSERT_EQ(loop.size(), 2u);
        EXPECT_EQ(loop[0].first, 0x44);
        EXPECT_EQ(loop[1].second.size(), static_cast<size_t>(20 * (i % 12)));
    }
    // libdvbpsi keeps the top-level descriptors of every section; the first section's come first.
    ASSERT_GE(d.loops[0].size(), 3u);
    EXPECT_EQ(d.loops[0][0].first, 0x40);
    EXPECT_EQ(d.loops[0][0].second, Bytes({'V', 'e', 'l', 'm', 'o', 'r', 'a'}));
    EXPECT_EQ(d.loops[0][1], (std::pair<int, Bytes>{0x5F, {0x00, 0x00, 0x23, 0x3A}}));
    EXPECT_EQ(d.loops[0][2], (std::pair<int, Bytes>{0x4A, {0x00, 0x01, 0x00, 0x02}}));
}

}  // namespace psi_crosscheck_test
}  // namespace nms
