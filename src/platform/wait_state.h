// The wait state of a window that waits for a device: the wait cursor, and the operator's input to that
// window's top-level window swallowed (clicks, keys, wheel), so that tabs and devices cannot be switched.
// The mouse is never grabbed, and other top-level windows (message boxes, dialogs) still take input.
#pragma once

class QWidget;

namespace nms {

// Starts the wait of owner; a second begin for the same owner changes nothing.
void BeginWaitState(QWidget* owner);
// Ends the wait of owner; ending a wait that is not running changes nothing.
void EndWaitState(QWidget* owner);
bool IsInWaitState(const QWidget* owner);

}  // namespace nms
