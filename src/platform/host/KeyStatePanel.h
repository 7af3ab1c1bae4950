// A status bar panel for a keyboard lock: its text is readable while the lock is on and
// greyed while it is off, and follows the key as it changes.
#pragma once

#include <QLabel>

namespace host {

class KeyStatePanel : public QLabel
{
    Q_OBJECT

public:
    /// A panel showing `text` for the lock key `virtualKey` (such as 20, Caps Lock).
    KeyStatePanel(int virtualKey, const QString& text, QWidget* parent = nullptr);

    /// Reads the key's state through the host and shows it.
    void refresh();

private:
    int m_key;
};

} // namespace host
