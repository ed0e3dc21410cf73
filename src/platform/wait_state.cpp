#include "platform/wait_state.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <map>

namespace nms {
namespace {

bool IsOperatorInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
            return true;
        default:
            return false;
    }
}

class InputSwallower : public QObject {
public:
    // Waiting owner -> its top-level window at the time the wait began.
    std::map<const QWidget*, QPointer<QWidget>> waiting;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsOperatorInput(event->type()) || !watched->isWidgetType())
            return false;
        const QWidget* target = static_cast<QWidget*>(watched)->window();
        for (const auto& [owner, window] : waiting)
            if (window && window == target)
                return true;
        return false;
    }
};

InputSwallower* Swallower() {
    static InputSwallower* swallower = nullptr;
    if (!swallower)
        swallower = new InputSwallower;
    return swallower;
}

}  // namespace

void BeginWaitState(QWidget* owner) {
    if (!owner)
        return;
    InputSwallower* swallower = Swallower();
    if (swallower->waiting.count(owner))
        return;
    if (swallower->waiting.empty() && qApp)
        qApp->installEventFilter(swallower);
    swallower->waiting[owner] = owner->window();
    if (qApp)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWaitState(QWidget* owner) {
    InputSwallower* swallower = Swallower();
    auto it = swallower->waiting.find(owner);
    if (it == swallower->waiting.end())
        return;
    swallower->waiting.erase(it);
    if (qApp)
        QApplication::restoreOverrideCursor();
    if (swallower->waiting.empty() && qApp)
        qApp->removeEventFilter(swallower);
}

bool IsInWaitState(const QWidget* owner) {
    return Swallower()->waiting.count(owner) != 0;
}

}  // namespace nms
