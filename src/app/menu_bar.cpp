#include "app/menu_bar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace nms {

CMenuBar::CMenuBar(QWidget* parent) : CToolBarXP(parent) {
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
}

CMenuBar::~CMenuBar() {
    delete m_menu.data();
}

void CMenuBar::SetMenu(CMenuXP* menu) {
    if (menu == m_menu) {
        return;
    }
    clear();
    delete m_menu.data();
    m_menu = menu;
    m_itemCount = 0;
    if (menu == nullptr) {
        return;
    }
    bool anyImage = false;
    const QList<QAction*> items = menu->actions();
    for (int i = 0; i < items.size(); ++i) {
        const QAction* item = items[i];
        const CMenuXPItem* record = menu->ItemOf(item);
        const QString text = record != nullptr ? record->m_text : item->text().left(kMaxButtonText);
        const QIcon icon = record != nullptr ? record->m_icon : QIcon();
        auto* button = new QAction(icon, text, this);
        button->setIconText(text);  // keeps the mnemonic mark for the button
        button->setData(i);         // the command of a bar button is its item's position
        // A click is taken at the press; this is the button's keyboard mnemonic.
        connect(
            button, &QAction::triggered, this, [this, i] { TrackPopup(i); }, Qt::QueuedConnection);
        addAction(button);
        anyImage = anyImage || !icon.isNull();
        if (QWidget* widget = widgetForAction(button)) {
            widget->installEventFilter(this);
        }
    }
    m_itemCount = static_cast<int>(items.size());
    setToolButtonStyle(anyImage ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
}

QToolButton* CMenuBar::GetButton(int index) const {
    const QList<QAction*> list = actions();
    if (index < 0 || index >= list.size()) {
        return nullptr;
    }
    return qobject_cast<QToolButton*>(widgetForAction(list[index]));
}

int CMenuBar::ButtonAt(const QPoint& globalPos) const {
    for (int i = 0; i < m_itemCount; ++i) {
        const QToolButton* button = GetButton(i);
        if (button != nullptr && button->isVisible() &&
            button->rect().contains(button->mapFromGlobal(globalPos))) {
            return i;
        }
    }
    return -1;
}

void CMenuBar::TrackPopup(int index) {
    if (m_menu == nullptr || index < 0 || index >= m_itemCount || m_popup != nullptr) {
        return;
    }
    QAction* item = m_menu->actions().at(index);
    QToolButton* button = GetButton(index);
    if (!m_tracking) {
        m_tracking = true;
        emit enterMenuLoop();
    }
    QMenu* popup = item->menu();
    if (popup == nullptr || button == nullptr) {
        item->trigger();
        EndTracking();
        return;
    }
    m_popupIndex = index;
    m_nextIndex = -1;
    m_popup = popup;
    button->setDown(true);
    popup->installEventFilter(this);
    const auto hovered = connect(popup, &QMenu::hovered, this, &CMenuBar::menuSelected);
    const auto chosen = connect(popup, &QMenu::triggered, this,
                                [this](QAction* action) { emit commandTriggered(action->data().toInt()); });
    emit initMenuPopup(popup);
    // Below the button, kept on the screen.
    QPoint pos = button->mapToGlobal(QPoint(0, button->height()));
    if (const QScreen* screen = button->screen()) {
        const QRect area = screen->geometry();
        pos.setX(std::clamp(pos.x(), area.left(),
                            std::max(area.left(), area.right() - popup->sizeHint().width())));
    }
    QPointer<QToolButton> guard(button);
    popup->exec(pos);
    disconnect(hovered);
    disconnect(chosen);
    if (popup != nullptr) {
        popup->removeEventFilter(this);
    }
    if (guard != nullptr) {
        guard->setDown(false);
    }
    m_popup = nullptr;
    m_popupIndex = -1;
    if (m_nextIndex >= 0) {
        // Opened from the event loop, once this popup is really gone.
        const int next = m_nextIndex;
        m_nextIndex = -1;
        QTimer::singleShot(0, this, [this, next] { TrackPopup(next); });
    } else {
        EndTracking();
    }
}

void CMenuBar::EndTracking() {
    if (m_tracking) {
        m_tracking = false;
        emit exitMenuLoop();
    }
}

bool CMenuBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_popup) {
        // A button of the bar.
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            const QList<QAction*> list = actions();
            for (int i = 0; i < m_itemCount && i < list.size(); ++i) {
                if (widgetForAction(list[i]) == watched) {
                    TrackPopup(i);
                    return true;
                }
            }
        }
        return CToolBarXP::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            const QAction* active = m_popup->activeAction();
            if (key->key() == Qt::Key_Left ||
                (key->key() == Qt::Key_Right && (active == nullptr || active->menu() == nullptr))) {
                const int step = key->key() == Qt::Key_Left ? -1 : 1;
                m_nextIndex = (m_popupIndex + step + m_itemCount) % m_itemCount;
                m_popup->close();
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                m_nextIndex = -1;
            }
            break;
        }
        case QEvent::MouseMove: {
            const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            if (global != m_lastMouse) {
                m_lastMouse = global;
                const int over = ButtonAt(global);
                if (over >= 0 && over != m_popupIndex) {
                    m_nextIndex = over;
                    m_popup->close();
                    return true;
                }
            }
            break;
        }
        case QEvent::MouseButtonPress: {
            const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            if (ButtonAt(global) == m_popupIndex) {
                // The same button again: close and end, without the press reaching the button.
                m_nextIndex = -1;
                m_popup->setAttribute(Qt::WA_NoMouseReplay);
                m_popup->close();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return CToolBarXP::eventFilter(watched, event);
}

}  // namespace nms
