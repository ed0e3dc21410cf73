// The PSI/SI editor's tables as a field tree: the five readers, packing, value edits with length
// upkeep and the tree commands of the context menu. No window: the page mirrors the tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/byte_io.h"
#include "pages/psi/psi_tree.h"

namespace nms {

// What the PAT tells the PMT readers: program count and, per program entry, its number and PMT PID.
struct PsiProgramTable {
    int programCount = 0;
    uint16_t serviceId[128] = {};
    uint16_t pmtPid[128] = {};
};

// Context-menu commands of the tree.
enum : int {
    ID_PSI_REMOVE_DESCRIPTOR = 32810,
    ID_PSI_INSERT_DESCRIPTOR = 32811,
    ID_PSI_DELETE_ELEMENT = 32813,
    ID_PSI_ADD_ELEMENT = 32820,
    ID_PSI_ADD_DESCRIPTOR = 32821,
    ID_PSI_DELETE_DESCRIPTOR = 32822,
    ID_PSI_DELETE_PROGRAM = 32823,
    ID_PSI_DELETE_SERVICE = 32824,
};

struct PsiMenuEntry {
    int command = 0;  // 0: no menu for this item
    const char* label = "";
};

// One descriptor row of the element dialog.
struct PsiDescriptorRow {
    uint8_t tag = 0;
    std::vector<uint8_t> data;
};

class CMuxPsiModel {
public:
    explicit CMuxPsiModel(int pageParam = 0);

    void SetPageParam(int pageParam) { m_pageParam = pageParam; }
    int PageParam() const { return m_pageParam; }

    PsiTree& Tree() { return m_tree; }
    const PsiTree& Tree() const { return m_tree; }
    // The top root "PSI/SI Info" with "PAT", "CAT", "PMTs", "NIT", "SDT"; rebuilt from scratch.
    void BuildSkeleton();
    PsiItem* TopRoot() const { return m_top; }
    PsiItem* PatRoot() const { return m_pat; }
    PsiItem* CatRoot() const { return m_cat; }
    PsiItem* PmtsRoot() const { return m_pmts; }
    PsiItem* NitRoot() const { return m_nit; }
    PsiItem* SdtRoot() const { return m_sdt; }
    bool IsTableRoot(const PsiItem* item) const;

    PsiProgramTable& SideTable() { return m_side; }

    // Readers. Each replaces the subtree of its table; lengths inside the section are read within the
    // bytes given. A table whose items do not pack back to the same bytes is locked (see PsiItem).
    int ParsePat(const uint8_t* section, int length);
    void ParsePmt(int channel, int slot, const uint8_t* section, int length);
    void ParseSdt(const uint8_t* section, int length);
    void ParseCat(const uint8_t* section, int length);
    void ParseNit(const uint8_t* section, int length);

    // Packs a table root or a PMT node (a locked one as received). Bytes written, 0 for an empty table,
    // -1 when it does not fit.
    int SerializeTable(const PsiItem* table, uint8_t* buffer, int capacity) const;

    // Value edit of the current item. False when the value was refused (the operator was told).
    bool ApplyValueEdit(PsiItem* item, const std::string& newValue);
    bool SetLengthBefore(PsiItem* item, int oldSize, int newSize, uint32_t flags);
    void PropagateLengthChange(PsiItem* item, int newSize, int oldSize);
    void AdjustSectionLength(PsiItem* item, int newValue, int oldValue);

    // The one context-menu entry of an item (command 0: none).
    PsiMenuEntry MenuEntryFor(const PsiItem* item) const;

    // Tree commands. Each keeps every length above the change in step.
    bool DeleteElement(PsiItem* item);     // a stream_type item
    bool DeleteService(PsiItem* item);     // a service_id item
    bool DeleteDescriptor(PsiItem* item);  // a descriptor_tag item
    bool DeleteProgram(PsiItem* item);     // a PAT entry or a PMT node
    PsiItem* AddElement(PsiItem* components, uint8_t streamType, uint16_t pid,
                        const std::vector<PsiDescriptorRow>& descriptors);
    PsiItem* AddDescriptor(PsiItem* context, uint8_t tag, const std::vector<uint8_t>& data);

    PsiItem* CurrentItem() const { return m_current; }
    void SetCurrentItem(PsiItem* item) { m_current = item; }

    // Names of the tables locked by the readers since the last call, for the operator.
    std::vector<std::string> TakeLockNotes();
    // The table root or PMT node that holds item (null for the skeleton).
    PsiItem* TableOf(const PsiItem* item) const;
    bool IsLocked(const PsiItem* item) const;
    // "PAT", "CAT", "NIT", "SDT", or "PMT (...)" for a PMT node.
    std::string TableName(const PsiItem* table) const;

    static int StreamTypeImage(int streamType);

private:
    PsiItem* Field(PsiItem* parent, const std::string& text, uint32_t data, int image = kImageField);
    PsiItem* FindPmtNode(uint32_t data) const;
    void AddDescriptorItems(PsiItem* parent, int tagImage, uint32_t tagData, uint8_t tag,
                            const uint8_t* bytes, int length, const char* dataFormat);
    // A descriptor as tag, length and data items, read at offset at of a section.
    void AddDescriptorAt(PsiItem* parent, const ByteReader& section, int at);
    // table_id to section_length, the five fields every section begins with; bit6Name names bit 6.
    void AddSectionHead(PsiItem* parent, const ByteReader& section, const char* bit6Name);
    // version_number to last_section_number.
    void AddSectionNumbers(PsiItem* parent, const ByteReader& section);
    void VerifyRepack(PsiItem* table, const uint8_t* section, int length);
    // The item that becomes current when item is deleted; null when item is not in the tree, or (the
    // operator told) when nothing would be left.
    PsiItem* NewCurrentAfterDelete(PsiItem* item);
    // The bytes of an item with a length field: its fixed part plus the length field's value.
    static int SizeWithLength(const PsiItem* length, int fixed);

    int m_pageParam;
    PsiTree m_tree;
    PsiItem* m_top = nullptr;
    PsiItem* m_pat = nullptr;
    PsiItem* m_cat = nullptr;
    PsiItem* m_pmts = nullptr;
    PsiItem* m_nit = nullptr;
    PsiItem* m_sdt = nullptr;
    PsiItem* m_current = nullptr;
    PsiProgramTable m_side;
    std::vector<std::string> m_lockNotes;
};

}  // namespace nms
