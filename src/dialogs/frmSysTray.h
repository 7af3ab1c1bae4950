// The notification-area icon: its tip, picture and pop-up menu, and its callbacks as events.
#pragma once

#include "platform/tray/NotifyIcon.h"

#include <QList>
#include <QMenu>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QAction;

class frmSysTray : public QObject, public tray::NotifyWindow
{
    Q_OBJECT

public:
    /// Creates and loads the component, which adds the icon at once.
    explicit frmSysTray(QObject* parent = nullptr);
    /// Unloads the component if it still is loaded, which removes the icon.
    ~frmSysTray() override;

    /// The window's caption; the window itself is never shown.
    static QString caption();

    QString ToolTip() const;
    void setToolTip(const QString& text);

    uint32_t IconHandle() const;
    void setIconHandle(uint32_t handle);

    int16_t AddMenuItem(const QString& caption, const QString& key = {}, bool isDefault = false);
    void EnableMenuItem(int32_t index, bool enabled);
    int32_t RemoveMenuItem(int32_t index);

    int32_t DefaultMenuIndex() const;
    void setDefaultMenuIndex(int32_t index);

    /// Shows the pop-up menu at the mouse position; returns once it has closed.
    void ShowMenu();

    /// Removes the icon; the component stays usable as an object but shows nothing.
    void Unload();

    /// The window's mouse-move event: x in twips carries the icon's mouse message.
    void Form_MouseMove(int button, int shift, float x, float y);
    void mnuSysTray_Click(int index);

    /// The pop-up menu and its items, in index order.
    QMenu& mnuPopup() { return m_mnuPopup; }
    int menuCount() const { return static_cast<int>(mnuSysTray.size()); }
    QAction* menuItem(int index) const { return mnuSysTray.value(index); }
    /// An item's key (its tag).
    QString menuTag(int index) const;

    /// The icon record as it stands.
    const tray::NotifyIconData& iconRecord() const { return m_nid; }

    void windowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) override;

signals:
    void SysTrayMouseDown(int button);
    void SysTrayMouseUp(int button);
    void SysTrayMouseMove();
    void SysTrayDoubleClick(int button);
    void MenuClick(int index, const QString& key);

private:
    void Form_Load();
    void Form_QueryUnload();
    bool ValidIndex(int32_t index) const;
    QAction* newItem();

    tray::NotifyIconData m_nid;
    QMenu m_mnuPopup;
    QList<QAction*> mnuSysTray;
    bool m_bFirstItem = false;
    int32_t m_lDefaultIndex = 0;
    bool m_bLoaded = false;
};
