#pragma once

#include <QElapsedTimer>

namespace harvly {

// Milliseconds since construction or the last Reset, from the monotonic clock.
class CStopWatch final
{
public:
    CStopWatch() { m_timer.start(); }
    void Reset() { m_timer.restart(); }
    qint64 Elapsed() const { return m_timer.elapsed(); }
    // The clock counts whole milliseconds.
    static constexpr int MinimumResolution() { return 1; }

private:
    QElapsedTimer m_timer;
};

} // namespace harvly
