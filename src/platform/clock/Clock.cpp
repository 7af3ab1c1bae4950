#include "platform/clock/Clock.h"

#include <QElapsedTimer>

namespace sysclock {

namespace {

std::function<qint64()>& ticksOverride()
{
    static std::function<qint64()> f;
    return f;
}

std::function<QDateTime()>& nowOverride()
{
    static std::function<QDateTime()> f;
    return f;
}

} // namespace

qint64 timeGetTime()
{
    if (ticksOverride()) {
        return ticksOverride()();
    }
    static QElapsedTimer timer;
    if (!timer.isValid()) {
        timer.start();
    }
    return timer.elapsed();
}

QDateTime now()
{
    return nowOverride() ? nowOverride()() : QDateTime::currentDateTime();
}

void setTicks(std::function<qint64()> ticks)
{
    ticksOverride() = std::move(ticks);
}

void setNow(std::function<QDateTime()> now)
{
    nowOverride() = std::move(now);
}

} // namespace sysclock
