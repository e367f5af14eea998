#include "signalwait.h"

#include <QTimer>

namespace harvly::detail {

SignalWaitState::SignalWaitState() = default;

SignalWaitState::~SignalWaitState() = default;

void SignalWaitState::arm(std::coroutine_handle<> handle, std::chrono::milliseconds limit)
{
    m_handle = handle;
    if (m_finished) {
        finish();
        return;
    }
    if (limit.count() > 0) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, &SignalWaitState::finish);
        m_timer->start(limit);
    }
}

void SignalWaitState::finish()
{
    const bool first = !m_finished;
    m_finished = true;
    if (first) {
        for (int i = 0; i < m_count; ++i) {
            disconnect(m_connections[i]);
        }
        if (m_timer) {
            m_timer->stop();
        }
    }
    if (m_handle) {
        // A zero timer delivers to a timer object of its own and is cancelled when this state
        // dies first, so the coroutine may destroy this state while it resumes.
        const std::coroutine_handle<> handle = std::exchange(m_handle, {});
        QTimer::singleShot(0, this, [handle] { handle.resume(); });
    }
}

} // namespace harvly::detail
