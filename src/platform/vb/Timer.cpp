#include "platform/vb/Timer.h"

#include "platform/vb/Error.h"

#include <QTimer>
#include <QVariant>

namespace vb {

namespace {

constexpr const char* kEnabled = "Enabled";

// A QTimer started with no interval fires at every pass of the event loop; a timer control
// with no interval never fires. So the QTimer runs only while both are set.
void apply(QTimer& timer)
{
    if (timerEnabled(timer) && timer.interval() > 0) {
        timer.start();
    } else {
        timer.stop();
    }
}

} // namespace

bool timerEnabled(const QTimer& timer)
{
    const QVariant enabled = timer.property(kEnabled);
    return !enabled.isValid() || enabled.toBool();
}

void setTimerEnabled(QTimer& timer, bool enabled)
{
    if (enabled == timerEnabled(timer) && (!enabled || timer.isActive() || timer.interval() == 0)) {
        return;
    }
    timer.setProperty(kEnabled, enabled);
    apply(timer);
}

void setTimerInterval(QTimer& timer, long interval)
{
    if (interval < 0 || interval > 65535) {
        raise(380);
    }
    timer.setInterval(static_cast<int>(interval));
    apply(timer);
}

} // namespace vb
