// Lock indicators: a small lamp on a label, red (not locked) or green (locked), from the lamp pictures.
#pragma once

class QLabel;
class QWidget;

namespace nms {

// A 16 x 16 lamp that starts off.
QLabel* MakeLamp(QWidget* parent);
void SetLamp(QLabel* lamp, bool on);
bool IsLampOn(const QLabel* lamp);

}  // namespace nms
