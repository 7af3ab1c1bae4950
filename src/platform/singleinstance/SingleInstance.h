// One running instance per user: the main window listens on a local socket named after its
// caption, and a second start asks it to come to the front instead of starting again.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QWidget;

namespace singleinstance {

/// The local socket's full path for a window caption and the current login name, in the
/// user's private runtime folder; empty when there is no such folder.
QString serverName(const QString& caption);

/// The login name of the user running the program.
QString loginName();

/// Looks for a running instance whose main window has the caption; when one answers, asks it
/// to restore and raise its window and returns true. A socket left behind by an instance that
/// died counts as none.
bool activateRunning(const QString& caption);

/// Shows, un-minimises, raises and activates a window, also when it is hidden.
void restoreWindow(QWidget* window);

/// The listening side, owned by the main window: answers a second start by restoring and
/// raising the window.
class InstanceServer : public QObject
{
    Q_OBJECT

public:
    /// Starts listening at once; the server becomes a child of the window.
    InstanceServer(QWidget* window, const QString& caption);
    ~InstanceServer() override;

    /// True when the server listens (false when another live instance holds the name).
    bool isListening() const;

signals:
    /// Emitted after the window was restored at another start's request.
    void restoreRequested();

private:
    void onNewConnection();

    QPointer<QWidget> m_window;
    QLocalServer* m_server = nullptr;
};

} // namespace singleinstance
