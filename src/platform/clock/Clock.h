// The clocks the program reads: a monotonic millisecond count and the wall-clock date and time.
#pragma once

#include <QDateTime>

#include <functional>

namespace sysclock {

/// timeGetTime: milliseconds from a fixed point, never going back.
qint64 timeGetTime();

/// The current local date and time.
QDateTime now();

/// Replaces the clocks (tests); an empty function restores the real one.
void setTicks(std::function<qint64()> ticks);
void setNow(std::function<QDateTime()> now);

} // namespace sysclock
