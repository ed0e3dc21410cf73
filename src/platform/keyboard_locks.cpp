#include "platform/keyboard_locks.h"

#include <QGuiApplication>

#ifdef NMS_HAVE_XCB_XKB
#include <xcb/xcb.h>
// The XKB header names a structure member "explicit"; it is renamed while the header is read.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <cstdlib>
#endif

namespace nms {

KeyboardLocks ReadKeyboardLocks() {
    KeyboardLocks locks;
#ifdef NMS_HAVE_XCB_XKB
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return locks;
    static bool ready = false;
    if (!ready) {
        xcb_xkb_use_extension_reply_t* use = xcb_xkb_use_extension_reply(
            connection, xcb_xkb_use_extension(connection, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION),
            nullptr);
        ready = use && use->supported;
        std::free(use);
        if (!ready)
            return locks;
    }
    xcb_xkb_get_indicator_state_reply_t* state = xcb_xkb_get_indicator_state_reply(
        connection, xcb_xkb_get_indicator_state(connection, XCB_XKB_ID_USE_CORE_KBD), nullptr);
    if (!state)
        return locks;
    // The core keyboard's first three indicators are Caps Lock, Num Lock and Scroll Lock.
    locks.known = true;
    locks.caps = state->state & 0x1;
    locks.num = state->state & 0x2;
    locks.scroll = state->state & 0x4;
    std::free(state);
#endif
    return locks;
}

const char* CapsLockText(const KeyboardLocks& locks) {
    return locks.known && locks.caps ? "CAP" : "";
}
const char* NumLockText(const KeyboardLocks& locks) {
    return locks.known && locks.num ? "NUM" : "";
}
const char* ScrollLockText(const KeyboardLocks& locks) {
    return locks.known && locks.scroll ? "SCRL" : "";
}

}  // namespace nms
