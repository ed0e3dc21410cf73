// The PSI/SI field tree: a plain model of the items that the editor page mirrors into its tree control.
// Each item is one syntax element ("name(width)0x:value") or a container; its 32-bit data word says how
// the serialiser packs it and what the operator may do with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nms {

// Item data: low 16 bits are the width in bits; the flags above them.
constexpr uint32_t FIELD_EDITABLE = 0x10000;
constexpr uint32_t FIELD_RAW_TEXT = 0x20000;
constexpr uint32_t FIELD_HEX_DATA = 0x40000;
constexpr uint32_t FIELD_AUTO_LENGTH = 0x80000;
constexpr uint32_t FIELD_LEFT_ALIGNED = 0x800000;
constexpr uint32_t kFieldWidthMask = 0xFFFF;

// Image indexes into the page's image list.
enum : int {
    kImageSdtServices = 1,
    kImageField = 2,
    kImageEntry = 4,
    kImageContainer = 5,
    kImageVideo = 6,
    kImageAudio = 7,
    kImageOtherStream = 8,
    kImageTable = 9,
    kImageTop = 11,
};

struct PsiItem {
    std::string text;  // device bytes (GBK) for names
    uint32_t data = 0;
    int image = 0;
    bool expanded = false;
    PsiItem* parent = nullptr;  // the hidden top for root-level items
    // A table (root or PMT node) whose items do not pack back to what the device sent: it is shown
    // read-only and written back as these bytes.
    bool locked = false;
    std::vector<uint8_t> received;
    std::vector<std::unique_ptr<PsiItem>> children;
};

class PsiTree {
public:
    PsiTree();

    // First root-level item, or null.
    PsiItem* Root() const;
    // Inserts as the last child of parent (null: at root level).
    PsiItem* InsertItem(PsiItem* parent, const std::string& text, uint32_t data, int image);
    void DeleteItem(PsiItem* item);
    void DeleteChildren(PsiItem* item);
    void DeleteAll();

    PsiItem* Parent(const PsiItem* item) const;  // null for root-level items
    PsiItem* FirstChild(const PsiItem* item) const;
    PsiItem* NextSibling(const PsiItem* item) const;
    PsiItem* PrevSibling(const PsiItem* item) const;
    int ChildCount(const PsiItem* item) const { return item ? static_cast<int>(item->children.size()) : 0; }
    PsiItem* Child(const PsiItem* item, int index) const;
    // True when item is still part of this tree (handles may outlive a delete).
    bool Contains(const PsiItem* item) const;

    // Bumped by every structural change, so a view knows when to rebuild.
    uint64_t Revision() const { return m_revision; }
    void Touch() { ++m_revision; }

private:
    int IndexOf(const PsiItem* item) const;
    std::unique_ptr<PsiItem> m_top;
    uint64_t m_revision = 0;
};

// "name(width)0x:value": field items have a ':' after their first character.
bool IsFieldText(const std::string& text);
std::string FieldPrefix(const std::string& text);  // up to and including the first ':'
std::string FieldName(const std::string& text);    // before the first ':'
std::string FieldValue(const std::string& text);   // after the first ':'
bool StartsWith(const std::string& text, const char* prefix);

}  // namespace nms
