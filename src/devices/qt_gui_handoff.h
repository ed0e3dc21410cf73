// The network thread's road to the GUI thread: work is queued to this object's thread (the GUI thread)
// and runs there in the order it was handed over. Work still queued when the object is destroyed is
// dropped, so the object should live as long as what the work refers to (the device tree that owns the
// network thread).
#pragma once

#include <QObject>

#include "devices/gui_handoff.h"

namespace nms {

class QtGuiHandoff : public QObject, public IGuiHandoff {
    Q_OBJECT
public:
    explicit QtGuiHandoff(QObject* parent = nullptr) : QObject(parent) {}
    void Post(std::function<void()> work) override;
};

}  // namespace nms
