// One owner-drawn menu item: command, icon and text (with an accelerator text after a tab).
#pragma once

#include <QIcon>
#include <QString>
#include <cstdint>

namespace nms {

class CMenuXPItem {
public:
    static constexpr uint32_t kMagic = 0x0505A0A0;
    static constexpr int kMaxText = 127;  // characters; the record held 128 with the terminator

    explicit CMenuXPItem(int iconSize = 16) : m_iconSize(iconSize) {}
    CMenuXPItem(uint32_t id, const QIcon& icon, const QString& text, int iconSize = 16)
        : m_id(id), m_icon(icon), m_iconSize(iconSize) {
        SetText(text);
    }
    virtual ~CMenuXPItem() = default;
    CMenuXPItem(const CMenuXPItem&) = delete;
    CMenuXPItem& operator=(const CMenuXPItem&) = delete;

    void SetText(const QString& text) { m_text = text.left(kMaxText); }

    uint32_t m_magic = kMagic;  // records without it are left alone by the menu
    uint32_t m_id = 0;
    uint8_t m_separator = 0;
    uint8_t m_sideBar = 0;
    uint8_t m_iconOnly = 0;
    QIcon m_icon;
    int m_iconSize = 16;
    QString m_text;
};

}  // namespace nms
