#include "platform/host/KeyStatePanel.h"

#include "platform/host/Host.h"

#include <QTimer>

namespace host {

namespace {

// A lock can change while another program has the keyboard, so the panel asks rather than
// waits for key events; four times a second is quick enough to look immediate.
constexpr int kPollMs = 250;

} // namespace

KeyStatePanel::KeyStatePanel(int virtualKey, const QString& text, QWidget* parent)
    : QLabel(text, parent)
    , m_key(virtualKey)
{
    setAlignment(Qt::AlignCenter);
    setMinimumWidth(fontMetrics().horizontalAdvance(text) + 4 * fontMetrics().averageCharWidth());
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &KeyStatePanel::refresh);
    poll->start(kPollMs);
    refresh();
}

void KeyStatePanel::refresh()
{
    // Bit 0 of the key state is the lock's toggle; whether the key is held down does not matter.
    setEnabled((host().keyState(m_key) & 1) != 0);
}

} // namespace host
