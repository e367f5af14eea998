#pragma once

#include <QObject>

class QSocketNotifier;

namespace harvly {

// Turns SIGINT and SIGTERM into a Qt signal, delivered from the event loop, while it lives.
// Outside it, the signals keep their usual effect.
class StopSignals final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StopSignals)

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace harvly
