// The notification-area icon: the icon record, add/modify/delete, icon handles and the pop-up menu.
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QSystemTrayIcon>

#include <cstdint>
#include <optional>
#include <functional>

class QAction;
class QMenu;
class QPoint;

namespace tray {

inline constexpr uint32_t NIM_ADD = 0;
inline constexpr uint32_t NIM_MODIFY = 1;
inline constexpr uint32_t NIM_DELETE = 2;

inline constexpr uint32_t NIF_MESSAGE = 1;
inline constexpr uint32_t NIF_ICON = 2;
inline constexpr uint32_t NIF_TIP = 4;

inline constexpr uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x201;
inline constexpr uint32_t WM_LBUTTONUP = 0x202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x204;
inline constexpr uint32_t WM_RBUTTONUP = 0x205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x207;
inline constexpr uint32_t WM_MBUTTONUP = 0x208;

/// Length of the tip field, its closing NUL included.
inline constexpr int kTipLength = 64;

/// A window that receives the icon's callbacks as window messages.
class NotifyWindow
{
public:
    virtual ~NotifyWindow() = default;

    /// A message sent to the window: for the icon's callback, message is the record's
    /// callback message and lParam the mouse message that happened on the icon.
    virtual void windowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) = 0;
};

/// The icon record, in its first (88-byte) version.
struct NotifyIconData
{
    uint32_t cbSize = 0;
    NotifyWindow* hWnd = nullptr;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    uint32_t hIcon = 0;
    QString szTip = QString(kTipLength, QChar(0));  ///< always kTipLength characters
};

/// One call of Shell_NotifyIcon as it was made, kept for tests.
struct NotifyCall
{
    uint32_t message = 0;
    uint32_t flags = 0;
    QString tip;  ///< the tip up to its first NUL
    uint32_t icon = 0;
};

/// Adds, modifies or deletes the icon the record names (by its window and id), applying the
/// fields its flags select. Returns false when nothing could be done (no notification area,
/// no such icon); the call is recorded either way.
bool Shell_NotifyIcon(uint32_t message, const NotifyIconData& data);

/// Whether the desktop has a notification area to show icons in.
bool available();
/// Test seam: answers available() with the given value until reset with std::nullopt.
void setAvailableForTesting(std::optional<bool> available);

/// Every Shell_NotifyIcon call so far, oldest first.
const QList<NotifyCall>& recordedCalls();
void clearRecordedCalls();

/// The text of a tip field: up to its first NUL, the whole field when it holds none.
QString tipText(const QString& field);

/// Hands out a handle for an icon; the same icon always gets the same handle, a null icon 0.
uint32_t registerIcon(const QIcon& icon);

/// The icon a handle stands for; a null icon for 0 or an unknown handle.
QIcon iconOf(uint32_t handle);

/// Turns an activation of the icon into the mouse messages a click of that kind makes, and
/// sends each to the window as its callback message. The tray icon's own activations come
/// through here.
void activate(NotifyWindow* window, uint32_t callbackMessage,
              QSystemTrayIcon::ActivationReason reason);

/// Shows the menu at the given point and returns once it has closed; a chosen item has been
/// triggered by then. Returns the chosen action, or nullptr.
QAction* popupMenu(QMenu& menu, const QPoint& at);

/// Replaces the pop-up for a scope: the chooser gets the menu and returns the action to
/// choose (or nullptr), which is then triggered as a real choice would be.
class MenuOverride
{
public:
    using Chooser = std::function<QAction*(QMenu&)>;
    explicit MenuOverride(Chooser chooser);
    ~MenuOverride();
    MenuOverride(const MenuOverride&) = delete;
    MenuOverride& operator=(const MenuOverride&) = delete;

private:
    Chooser m_previous;
};

} // namespace tray
