#include "pages/psi/psi_tree.h"

#include <cstring>

namespace nms {

PsiTree::PsiTree() : m_top(std::make_unique<PsiItem>()) {}

PsiItem* PsiTree::Root() const {
    return m_top->children.empty() ? nullptr : m_top->children.front().get();
}

PsiItem* PsiTree::InsertItem(PsiItem* parent, const std::string& text, uint32_t data, int image) {
    PsiItem* owner = parent ? parent : m_top.get();
    auto item = std::make_unique<PsiItem>();
    item->text = text;
    item->data = data;
    item->image = image;
    item->parent = owner;
    owner->children.push_back(std::move(item));
    ++m_revision;
    return owner->children.back().get();
}

int PsiTree::IndexOf(const PsiItem* item) const {
    if (!item || !item->parent)
        return -1;
    const auto& siblings = item->parent->children;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

void PsiTree::DeleteItem(PsiItem* item) {
    int index = IndexOf(item);
    if (index < 0)
        return;
    auto& siblings = item->parent->children;
    siblings.erase(siblings.begin() + index);
    ++m_revision;
}

void PsiTree::DeleteChildren(PsiItem* item) {
    if (!item)
        return;
    item->children.clear();
    ++m_revision;
}

void PsiTree::DeleteAll() {
    m_top->children.clear();
    ++m_revision;
}

PsiItem* PsiTree::Parent(const PsiItem* item) const {
    if (!item || item->parent == m_top.get())
        return nullptr;
    return item->parent;
}

PsiItem* PsiTree::FirstChild(const PsiItem* item) const {
    return item && !item->children.empty() ? item->children.front().get() : nullptr;
}

PsiItem* PsiTree::NextSibling(const PsiItem* item) const {
    int index = IndexOf(item);
    if (index < 0 || index + 1 >= static_cast<int>(item->parent->children.size()))
        return nullptr;
    return item->parent->children[index + 1].get();
}

PsiItem* PsiTree::PrevSibling(const PsiItem* item) const {
    int index = IndexOf(item);
    if (index <= 0)
        return nullptr;
    return item->parent->children[index - 1].get();
}

PsiItem* PsiTree::Child(const PsiItem* item, int index) const {
    if (!item || index < 0 || index >= static_cast<int>(item->children.size()))
        return nullptr;
    return item->children[index].get();
}

static bool ContainsIn(const PsiItem* node, const PsiItem* wanted) {
    for (const auto& child : node->children) {
        if (child.get() == wanted || ContainsIn(child.get(), wanted))
            return true;
    }
    return false;
}

bool PsiTree::Contains(const PsiItem* item) const {
    return item && ContainsIn(m_top.get(), item);
}

bool IsFieldText(const std::string& text) {
    size_t colon = text.find(':');
    return colon != std::string::npos && colon > 0;
}

std::string FieldPrefix(const std::string& text) {
    size_t colon = text.find(':');
    return colon == std::string::npos ? text : text.substr(0, colon + 1);
}

std::string FieldName(const std::string& text) {
    size_t colon = text.find(':');
    return colon == std::string::npos ? text : text.substr(0, colon);
}

std::string FieldValue(const std::string& text) {
    size_t colon = text.find(':');
    return colon == std::string::npos ? std::string() : text.substr(colon + 1);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace nms
