// Where a top-level window stands among the desktop's windows.
#pragma once

#include <functional>

class QWidget;

namespace window {

/// Brings the window to the top of the ordinary windows without putting it in the band of
/// windows that stay above all others, and without taking the keyboard focus. Under X11 this
/// is a restack request that the window manager grants or refuses.
void bringToTop(QWidget* w);

/// Replaces what bringToTop does (tests count the raises); an empty function restores it.
void setBringToTop(std::function<void(QWidget*)> raise);

} // namespace window
