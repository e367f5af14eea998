#include "stopsource.h"

#include "signalwait.h"

#include <QCoro/QCoroTimer>

namespace harvly {

void StopSource::stop()
{
    if (!m_stopped) {
        m_stopped = true;
        emit stopped();
    }
}

QCoro::Task<bool> WaitUnlessStopped(QPointer<StopSource> stop, std::chrono::milliseconds time)
{
    if (!stop || stop->isStopped()) {
        co_return false;
    }
    auto woken = waitForSignal(stop.data(), &StopSource::stopped, time);
    co_await woken;
    co_return stop && !stop->isStopped();
}

QCoro::Task<> NextTurn()
{
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));
}

} // namespace harvly
