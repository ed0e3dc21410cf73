// Owner-drawn menu: items are CMenuXPItem records measured and drawn by the menu itself (icon column,
// text with a right-aligned accelerator, optional side bar), on top of QMenu's mechanics.
#pragma once

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <map>
#include <vector>

#include "app/accel_text.h"
#include "app/menu_xp_item.h"

namespace nms {

// Menu item flags, with the values the program has always used.
enum : unsigned {
    MF_STRING = 0x0,
    MF_GRAYED = 0x1,
    MF_DISABLED = 0x2,
    MF_CHECKED = 0x8,
    MF_POPUP = 0x10,
    MF_MENUBARBREAK = 0x20,
    MF_MENUBREAK = 0x40,
    MF_OWNERDRAW = 0x100,
    MF_SEPARATOR = 0x800,
    MF_DEFAULT = 0x1000,
};

// Answers of the mnemonic handling.
enum : int { MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3 };

class CMenuXP : public QMenu {
    Q_OBJECT
public:
    enum MenuStyle { kStylePlain = 0, kStyleXP = 2 };

    struct ItemState {
        bool selected = false;
        bool enabled = true;
        bool checked = false;
        bool isDefault = false;
    };

    explicit CMenuXP(QWidget* parent = nullptr);
    ~CMenuXP() override;

    // Appends an item (the menu takes the record over). With an accelerator whose text is not empty, a
    // tab and that text go after the item's text. Flags: MF_GRAYED / MF_DISABLED, MF_CHECKED, MF_DEFAULT,
    // MF_SEPARATOR (or the record's separator mark), MF_MENUBARBREAK / MF_MENUBREAK.
    QAction* AppendMenuItem(unsigned flags, CMenuXPItem* item, const CAccelText* accel = nullptr);
    // Appends a sub-menu as an item with the given record (or a record with just the text). A CMenuXP
    // sub-menu is deleted with this menu; other menus are left to their owner.
    QAction* AppendPopup(unsigned flags, QMenu* popup, CMenuXPItem* item);
    QAction* AppendPopup(unsigned flags, QMenu* popup, const QString& text);

    // The next appended item starts a new column (menu-bar break: with a line) or a new menu column.
    void AddColumnBreak() { m_pendingColumnBreak = true; }
    void AddMenuBreak() { m_pendingMenuBreak = true; }

    // The item record of an action of this menu; null for actions without a record or with a bad magic.
    CMenuXPItem* ItemOf(const QAction* action) const;
    // The break flags the action was appended with (MF_MENUBARBREAK / MF_MENUBREAK), else 0.
    static unsigned BreakOf(const QAction* action);

    // Mnemonic: MNC_IGNORE (no item), MNC_EXECUTE (one item; *position is its index in actions()) or
    // MNC_SELECT (several: the next after the highlighted one, wrapping).
    int OnMenuChar(QChar ch, int* position) const;

    void SetMenuStyle(int style);
    int GetMenuStyle() const { return m_style; }

    // Measuring and drawing; a derived menu may replace any step. Sizes are as the platform's menu was
    // told (width without the check-mark column it adds itself).
    virtual QSize MeasureItem(const CMenuXPItem& item) const;
    virtual void DrawItem(QPainter& painter, const QRect& rect, const CMenuXPItem& item,
                          const ItemState& state);
    virtual void DrawBackground(QPainter& painter, const QRect& rect, const CMenuXPItem& item,
                                const ItemState& state);
    virtual void DrawIconFrame(QPainter& painter, const QRect& iconRect, const ItemState& state);
    virtual void DrawIcon(QPainter& painter, const QRect& iconRect, const CMenuXPItem& item,
                          const ItemState& state);
    virtual void DrawSideBar(QPainter& painter, const QRect& rect, const CMenuXPItem& item);
    virtual void DrawText(QPainter& painter, const QRect& rect, const CMenuXPItem& item,
                          const ItemState& state);
    virtual void DrawSelectionFrame(QPainter& painter, const QRect& rect);
    virtual void DrawCheckMark(QPainter& painter, const QRect& iconRect, const ItemState& state);
    virtual void DrawIconColumn(QPainter& painter, const QRect& rect, const CMenuXPItem& item);

    // The platform's menu check-mark size.
    static QSize CheckMarkSize();

    QFont m_font;
    QColor m_clrBackground;
    QColor m_clrSelected;
    QColor m_clrText;
    QColor m_clrSelectedText;
    QColor m_clrDisabledText;
    QColor m_clrSideBarStart{0, 0, 192};
    QColor m_clrSideBarEnd{0, 0, 0};
    QColor m_clrIconColumn;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    unsigned TakeBreaks();
    int TextWidth(const QString& text) const;

    std::map<const QAction*, CMenuXPItem*> m_items;
    std::vector<QPointer<CMenuXP>> m_subMenus;
    CMenuXPItem* m_sideBar = nullptr;
    bool m_pendingColumnBreak = false;
    bool m_pendingMenuBreak = false;
    int m_style = kStylePlain;
};

}  // namespace nms
