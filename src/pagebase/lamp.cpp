#include "pagebase/lamp.h"

#include <QLabel>

#include "platform/resource_icons.h"

namespace nms {
namespace {

constexpr int kLampOff = 212;
constexpr int kLampOn = 213;
constexpr const char* kStateProperty = "lampOn";

}  // namespace

QLabel* MakeLamp(QWidget* parent) {
    auto* lamp = new QLabel(parent);
    lamp->setFixedSize(16, 16);
    SetLamp(lamp, false);
    return lamp;
}

void SetLamp(QLabel* lamp, bool on) {
    lamp->setPixmap(PixmapById(on ? kLampOn : kLampOff));
    lamp->setProperty(kStateProperty, on);
}

bool IsLampOn(const QLabel* lamp) {
    return lamp->property(kStateProperty).toBool();
}

}  // namespace nms
