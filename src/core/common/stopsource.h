#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>

#include <chrono>

namespace harvly {

// The stop of a flow (an analysis pass, a bulk run, a page wait, a command-line run): one
// object that a stop button or a signal sets, and that every pause of the flow awaits, so a
// stop ends a pause at once instead of being looked at on a timer.
class StopSource final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StopSource)

public:
    explicit StopSource(QObject *parent = nullptr) : QObject(parent) {}

    void stop();
    void reset() { m_stopped = false; } // a new run
    bool isStopped() const { return m_stopped; }

signals:
    void stopped();

private:
    bool m_stopped = false;
};

// Waits until the time has passed or the source stops (at once when it has): true when the
// time passed. A source that is gone counts as stopped.
QCoro::Task<bool> WaitUnlessStopped(QPointer<StopSource> stop, std::chrono::milliseconds time);

// Lets the events waiting in the queue run before the flow goes on (a window that repaints,
// a click that arrives), as a queued call would.
QCoro::Task<> NextTurn();

} // namespace harvly
