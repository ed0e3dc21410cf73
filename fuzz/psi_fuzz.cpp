// PSI/SI sections of any bytes: the readers stay inside them, a table packs back to exactly what came
// (or is kept as received), a section the checker accepts is never kept read-only, and the CA editor
// and the read chain take any reply without harm. The same bytes as an LCN list file and as the
// descriptors of a transport-stream entry.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pages/psi/ca_descriptor_section.h"
#include "pages/psi/lcn_list_file.h"
#include "pages/psi/nit_ts_entry.h"
#include "pages/psi/psi_chain.h"
#include "pages/psi/psi_model.h"
#include "pages/psi/psi_section_checker.h"

using namespace nms;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4096)
        return 0;
    const uint8_t selector = data[0];
    const uint8_t* section = data + 1;
    const int length = static_cast<int>(size - 1);

    CMuxPsiModel model(16);
    PsiItem* table = nullptr;
    switch (selector % 5) {
        case 0:
            model.ParsePat(section, length);
            table = model.PatRoot();
            break;
        case 1:
            model.ParsePmt(1, 1, section, length);
            table = model.PmtsRoot()->children.empty() ? nullptr : model.PmtsRoot()->children[0].get();
            break;
        case 2:
            model.ParseCat(section, length);
            table = model.CatRoot();
            break;
        case 3:
            model.ParseNit(section, length);
            table = model.NitRoot();
            break;
        default:
            model.ParseSdt(section, length);
            table = model.SdtRoot();
            break;
    }
    if (table && !table->children.empty()) {
        std::vector<uint8_t> packed(4096);
        int n = model.SerializeTable(table, packed.data(), static_cast<int>(packed.size()));
        int declared = length >= 3 ? (((section[1] & 0x0F) << 8) | section[2]) + 3 : length;
        if (!table->locked && (n != declared || !std::equal(packed.begin(), packed.begin() + n, section)))
            std::abort();
        if (table->locked && n != std::min(declared, length))
            std::abort();
        if (table->locked && declared <= length && CheckPsiSection(section, declared))
            std::abort();
    }

    CaDescriptorSection ca;
    if (ca.Parse(selector & 1, section, length)) {
        std::vector<uint8_t> out(kCaSectionBufferSize);
        int n = 0;
        if (ca.Rebuild(out.data(), &n, nullptr) && (n < 0 || n > kCaSectionBufferSize))
            std::abort();
    }

    // The same bytes as a reply packet, to a chain that waits for them.
    CMuxPsiModel chainModel;
    CMuxPsiChain chain(chainModel);
    static const int kVariants[] = {0, 16, 17, 19, 38, 39, 64, 65, 96, 102};
    int variant = kVariants[selector % 10];
    chainModel.SetPageParam(variant);
    chain.SetPageParam(variant);
    chain.BeginRead(0, 0);
    std::vector<uint8_t> packet(data, data + size);
    if (packet.size() >= 7) {
        static const uint8_t kCommands[] = {39, 41, 45, 47, 43};
        packet[4] = kCommands[selector % 5];
        chain.OnReply(ReplyView(packet.data(), static_cast<int>(packet.size())));
    }

    const LcnFileResult lcn = ParseLcnList(std::string_view(reinterpret_cast<const char*>(data), size));
    if (lcn.status != LcnFileRead::kOk && !lcn.rows.empty())
        std::abort();
    NitTsEntry entry;
    entry.SetDescriptors(section, length);
    const NitTsEntryLists lists = ReadNitTsEntry(entry);
    // Every row needs at least four bytes of the entry.
    if (lists.lcnRows.size() * 4 > static_cast<size_t>(entry.DescriptorsLength()))
        std::abort();
    // What was read builds again, or is refused; never more than the entry holds.
    NitTsForm form;
    form.symbolRate = "6.875";
    form.modulation = 3;
    if (CheckNitTsForm(form).empty()) {
        form.lcnOn = lists.lcnOn;
        form.nordig87 = lists.nordig87;
        form.nordigV21 = lists.nordigV21;
        form.lcnRows = lists.lcnRows;
        form.privateOn = lists.privateOn;
        form.privateRows = lists.privateRows;
        NitTsEntry rebuilt = entry;
        if (BuildNitTsEntry(form, rebuilt).empty() && rebuilt.DescriptorsLength() > kNitMaxEntryDescriptors)
            std::abort();
    }
    return 0;
}
