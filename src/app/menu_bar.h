// The top-level menu shown as a flat tool bar: one button per top-level item; a press opens the item's
// popup below its button, and while it is open Left / Right and the mouse move between the popups.
#pragma once

#include <QPoint>
#include <QPointer>

#include "app/menu_xp.h"
#include "app/tool_bar_xp.h"

class QToolButton;

namespace nms {

class CMenuBar : public CToolBarXP {
    Q_OBJECT
public:
    static constexpr int kMaxButtonText = 80;

    explicit CMenuBar(QWidget* parent = nullptr);
    ~CMenuBar() override;

    // Takes the menu over (deleting the one shown before) and makes one button per top-level item.
    void SetMenu(CMenuXP* menu);
    CMenuXP* GetMenu() const { return m_menu.data(); }
    int GetItemCount() const { return m_itemCount; }
    QToolButton* GetButton(int index) const;
    // The item whose popup is open, else -1.
    int GetPopupIndex() const { return m_popupIndex; }
    bool IsTracking() const { return m_tracking; }

    // Opens the popup of item index (or runs an item without popup); returns when the popup has closed.
    void TrackPopup(int index);

signals:
    void enterMenuLoop();
    void exitMenuLoop();
    void menuSelected(QAction* action);
    void initMenuPopup(QMenu* popup);
    // An item of an open popup was chosen: its command id (the action's data).
    void commandTriggered(int id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int ButtonAt(const QPoint& globalPos) const;
    void EndTracking();

    QPointer<CMenuXP> m_menu;
    int m_itemCount = 0;
    int m_popupIndex = -1;
    int m_nextIndex = -1;  // the popup to open once the current one has closed
    QPointer<QMenu> m_popup;
    QPoint m_lastMouse;
    bool m_tracking = false;
};

}  // namespace nms
