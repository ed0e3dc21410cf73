#include "devices/qt_gui_handoff.h"

#include <QMetaObject>

namespace nms {

void QtGuiHandoff::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(
        this, [work = std::move(work)] { work(); }, Qt::QueuedConnection);
}

}  // namespace nms
