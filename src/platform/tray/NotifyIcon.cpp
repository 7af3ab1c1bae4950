#include "platform/tray/NotifyIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>
#include <QMenu>
#include <QPointer>

namespace tray {

namespace {

using IconKey = QPair<NotifyWindow*, uint32_t>;

QHash<IconKey, QPointer<QSystemTrayIcon>>& icons()
{
    static QHash<IconKey, QPointer<QSystemTrayIcon>> map;
    return map;
}

QList<NotifyCall>& calls()
{
    static QList<NotifyCall> list;
    return list;
}

struct IconRegistry
{
    QHash<qint64, uint32_t> byKey;  // QIcon::cacheKey -> handle
    QHash<uint32_t, QIcon> byHandle;
    uint32_t next = 1;
};

IconRegistry& registry()
{
    static IconRegistry r;
    return r;
}

MenuOverride::Chooser& menuChooser()
{
    static MenuOverride::Chooser chooser;
    return chooser;
}

void apply(QSystemTrayIcon& icon, const NotifyIconData& data)
{
    if (data.uFlags & NIF_ICON) {
        icon.setIcon(iconOf(data.hIcon));
    }
    if (data.uFlags & NIF_TIP) {
        icon.setToolTip(tipText(data.szTip));
    }
}

bool add(const NotifyIconData& data)
{
    const IconKey key(data.hWnd, data.uID);
    if (icons().value(key)) {
        return false;
    }
    auto* icon = new QSystemTrayIcon(QCoreApplication::instance());
    apply(*icon, data);
    if (data.uFlags & NIF_MESSAGE) {
        NotifyWindow* window = data.hWnd;
        const uint32_t callback = data.uCallbackMessage;
        QObject::connect(icon, &QSystemTrayIcon::activated, icon,
                         [window, callback](QSystemTrayIcon::ActivationReason reason) {
                             activate(window, callback, reason);
                         });
    }
    icons().insert(key, icon);
    icon->show();
    return true;
}

} // namespace

namespace {

std::optional<bool>& availableOverride()
{
    static std::optional<bool> value;
    return value;
}

} // namespace

bool available()
{
    return availableOverride().value_or(QSystemTrayIcon::isSystemTrayAvailable());
}

void setAvailableForTesting(std::optional<bool> value)
{
    availableOverride() = value;
}

bool Shell_NotifyIcon(uint32_t message, const NotifyIconData& data)
{
    calls().append(NotifyCall{message, data.uFlags, tipText(data.szTip), data.hIcon});
    // Without a notification area there is nothing to show the icon in; the caller does not
    // look at the result, so the program simply runs without one.
    if (!available()) {
        return false;
    }
    const IconKey key(data.hWnd, data.uID);
    switch (message) {
    case NIM_ADD:
        return add(data);
    case NIM_MODIFY:
        if (QSystemTrayIcon* icon = icons().value(key)) {
            apply(*icon, data);
            return true;
        }
        return false;
    case NIM_DELETE:
        if (QSystemTrayIcon* icon = icons().take(key)) {
            icon->hide();
            delete icon;
            return true;
        }
        return false;
    default:
        return false;
    }
}

const QList<NotifyCall>& recordedCalls()
{
    return calls();
}

void clearRecordedCalls()
{
    calls().clear();
}

QString tipText(const QString& field)
{
    const qsizetype end = field.indexOf(QChar(0));
    return end < 0 ? field : field.left(end);
}

uint32_t registerIcon(const QIcon& icon)
{
    if (icon.isNull()) {
        return 0;
    }
    IconRegistry& r = registry();
    const auto found = r.byKey.constFind(icon.cacheKey());
    if (found != r.byKey.cend()) {
        return found.value();
    }
    const uint32_t handle = r.next++;
    r.byKey.insert(icon.cacheKey(), handle);
    r.byHandle.insert(handle, icon);
    return handle;
}

QIcon iconOf(uint32_t handle)
{
    return registry().byHandle.value(handle);
}

void activate(NotifyWindow* window, uint32_t callbackMessage,
              QSystemTrayIcon::ActivationReason reason)
{
    if (window == nullptr) {
        return;
    }
    QList<uint32_t> mouse;
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        mouse = {WM_LBUTTONDOWN, WM_LBUTTONUP};
        break;
    case QSystemTrayIcon::DoubleClick:
        // The first click of the pair has already come as a Trigger.
        mouse = {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
        break;
    case QSystemTrayIcon::Context:
        mouse = {WM_RBUTTONDOWN, WM_RBUTTONUP};
        break;
    case QSystemTrayIcon::MiddleClick:
        mouse = {WM_MBUTTONDOWN, WM_MBUTTONUP};
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
    for (const uint32_t m : mouse) {
        window->windowMessage(callbackMessage, 0, m);
    }
}

QAction* popupMenu(QMenu& menu, const QPoint& at)
{
    if (const MenuOverride::Chooser& chooser = menuChooser()) {
        QAction* chosen = chooser(menu);
        if (chosen != nullptr) {
            chosen->trigger();
        }
        return chosen;
    }
    return menu.exec(at);
}

MenuOverride::MenuOverride(Chooser chooser)
    : m_previous(std::exchange(menuChooser(), std::move(chooser)))
{
}

MenuOverride::~MenuOverride()
{
    menuChooser() = std::move(m_previous);
}

} // namespace tray
