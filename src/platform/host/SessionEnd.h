// The end of the program's session from outside: a desktop logout, or a request to terminate
// (SIGTERM, SIGHUP, SIGINT), delivered as one signal on the user-interface thread.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace host {

class SessionEnd : public QObject
{
    Q_OBJECT

public:
    /// Catches the termination signals and the session manager's save request for as long as
    /// it lives; the previous signal handling comes back when it is destroyed. One at a time.
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

signals:
    /// The program is asked to end: close down as the user would, then quit.
    void ending();

private:
    void readSignals();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace host
