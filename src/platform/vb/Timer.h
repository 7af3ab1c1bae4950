// A timer control as the forms use it: it fires only while it is enabled and has an interval.
#pragma once

class QTimer;

namespace vb {

/// The timer's Enabled property; a timer never switched off counts as enabled.
bool timerEnabled(const QTimer& timer);

/// Switches the timer on or off. Switching on a timer that is already on leaves its count
/// where it was; a timer with an interval of 0 stays quiet while enabled.
void setTimerEnabled(QTimer& timer, bool enabled);

/// Sets the interval in milliseconds and restarts the count when the timer is enabled;
/// 0 stops it. Outside 0 to 65,535 raises 380 ("Invalid property value").
void setTimerInterval(QTimer& timer, long interval);

} // namespace vb
