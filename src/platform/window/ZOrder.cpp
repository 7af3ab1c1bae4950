#include "platform/window/ZOrder.h"

#include <QGuiApplication>
#include <QWidget>

// Xlib's macros (None, Bool, Status...) clash with Qt names, so it comes last.
#include <X11/Xlib.h>

namespace window {

namespace {

std::function<void(QWidget*)>& replacement()
{
    static std::function<void(QWidget*)> f;
    return f;
}

} // namespace

void bringToTop(QWidget* w)
{
    if (replacement()) {
        replacement()(w);
        return;
    }
    // A hidden or minimised window stays where the user put it.
    if (w == nullptr || !w->isVisible() || w->isMinimized()) {
        return;
    }
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        w->raise();
        return;
    }
    // Qt's own raise does not reach the window manager for a window that is not active; a
    // plain restack request, sent at once, does. It moves no focus.
    XRaiseWindow(display, static_cast<Window>(w->winId()));
    XFlush(display);
}

void setBringToTop(std::function<void(QWidget*)> raise)
{
    replacement() = std::move(raise);
}

} // namespace window
