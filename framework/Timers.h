#pragma once

#include "framework/Events.h"

#include <QBasicTimer>
#include <QObject>

namespace quorvane {

// A timer that ticks from the event loop, between other events, like any
// other window message: a tick never interrupts a handler, and a handler
// that runs long delays the next tick rather than piling ticks up. It runs
// while it is enabled and its interval is above 0.
class TTimer : public QObject {
    Q_OBJECT

public:
    explicit TTimer(QObject* owner);

    int Interval() const { return m_interval; }
    // Milliseconds; a change restarts the count.
    void SetInterval(int milliseconds);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    bool Active() const { return m_timer.isActive(); }

    // Delivers one tick now through the application's event handling, as the
    // event loop would when the interval is over, so tests need not wait.
    // Does nothing and returns false when the timer is not running.
    bool Fire();

    TNotifyEvent OnTimer;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void UpdateTimer();

    int m_interval = 1000;
    bool m_enabled = true;
    QBasicTimer m_timer;
};

}  // namespace quorvane
