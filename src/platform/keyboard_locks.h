// The keyboard's lock states (Caps, Num, Scroll) where the window system can tell them: on X11 through
// the XKB indicator state. Elsewhere (Wayland, offscreen) the states are unknown.
#pragma once

namespace nms {

struct KeyboardLocks {
    bool known = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

KeyboardLocks ReadKeyboardLocks();

// The status-bar texts of the three indicators: the name when on, nothing when off or unknown.
const char* CapsLockText(const KeyboardLocks& locks);
const char* NumLockText(const KeyboardLocks& locks);
const char* ScrollLockText(const KeyboardLocks& locks);

}  // namespace nms
