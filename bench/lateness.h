#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QTimer>

#include <algorithm>

// How late the event loop answers: a 10 ms timer that notes how far past 10 ms each of its
// ticks comes, and tells the median, 99th percentile and worst.
class LatenessProbe
{
public:
    LatenessProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last > 0) {
                m_late << std::max(0.0, (now - m_last) / 1e6 - 10.0);
            }
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_timer.start(10);
    }
    void stop()
    {
        m_timer.stop();
        std::sort(m_late.begin(), m_late.end());
    }
    // After stop(): "fired N times, late by median ... ms, 99th percentile ... ms, worst ... ms".
    QString report() const
    {
        const auto at = [this](double q) {
            return m_late.isEmpty() ? 0.0
                                    : m_late.at(std::min<qsizetype>(m_late.size() - 1,
                                                                    qsizetype(q * m_late.size())));
        };
        return QStringLiteral("a 10 ms timer fired %1 times, late by median %2 ms, 99th "
                              "percentile %3 ms, worst %4 ms")
            .arg(m_late.size())
            .arg(at(0.5), 0, 'f', 2)
            .arg(at(0.99), 0, 'f', 2)
            .arg(m_late.isEmpty() ? 0.0 : m_late.last(), 0, 'f', 2);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    QList<double> m_late;
};
