#include "framework/Timers.h"

#include <QCoreApplication>
#include <QTimerEvent>

namespace quorvane {

TTimer::TTimer(QObject* owner) : QObject(owner) { UpdateTimer(); }

void TTimer::SetInterval(int milliseconds)
{
    if (milliseconds == m_interval) return;
    m_interval = milliseconds;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    m_timer.stop();
    if (m_enabled && m_interval > 0) m_timer.start(m_interval, Qt::CoarseTimer, this);
}

bool TTimer::Fire()
{
    if (!m_timer.isActive()) return false;
    QTimerEvent tick(m_timer.timerId());
    QCoreApplication::sendEvent(this, &tick);
    return true;
}

void TTimer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    OnTimer(this);
}

}  // namespace quorvane
