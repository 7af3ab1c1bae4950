#include "platform/window/ZOrder.h"

#include <QWidget>

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
    w->raise();
}

void setBringToTop(std::function<void(QWidget*)> raise)
{
    replacement() = std::move(raise);
}

} // namespace window
