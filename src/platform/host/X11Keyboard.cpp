#include "platform/host/X11Keyboard.h"

#include <QGuiApplication>

// Xlib's macros (KeyPress, None, Bool...) clash with Qt names, so it stays in this one file.
#include <X11/XKBlib.h>

namespace host {

bool x11CapsLockOn()
{
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return false;
    }
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success) {
        return false;
    }
    return (state.locked_mods & LockMask) != 0;
}

} // namespace host
