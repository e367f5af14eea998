#pragma once

#include <QObject>

#include <chrono>
#include <coroutine>
#include <memory>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

class QTimer;

namespace harvly {

namespace detail {

// The receiving end of one timed wait. It lives exactly as long as the awaiter that owns it,
// so an emission that is still queued when the wait has ended (by its time limit, or because
// the waiting coroutine was destroyed) finds no receiver and is dropped.
class SignalWaitState : public QObject
{
public:
    SignalWaitState();
    ~SignalWaitState() override;
    Q_DISABLE_COPY_MOVE(SignalWaitState)

    void watch(QMetaObject::Connection connection) { m_connections[m_count++] = connection; }
    void arm(std::coroutine_handle<> handle, std::chrono::milliseconds limit);
    // Ends the wait: no further emission is taken, and the coroutine resumes from the event
    // loop, never from inside the sender's emission.
    void finish();
    bool finished() const { return m_finished; }

private:
    QMetaObject::Connection m_connections[2];
    int m_count = 0;
    QTimer *m_timer = nullptr;
    std::coroutine_handle<> m_handle;
    bool m_finished = false;
};

template <typename... Args> class SignalWaitStateOf final : public SignalWaitState
{
public:
    std::optional<std::tuple<Args...>> value;
};

} // namespace detail

// Awaits one emission of a signal for at most a time limit. The result holds the signal's
// arguments, or nothing when the limit passed or the sender was destroyed first. Create it
// before starting what emits the signal; an emission in between is kept.
template <typename... Args> class [[nodiscard]] TimedSignalWait final
{
public:
    using Result = std::optional<std::tuple<Args...>>;

    template <typename Sender, typename Signal>
    TimedSignalWait(const Sender *sender, Signal signal, std::chrono::milliseconds limit)
        : m_state(std::make_shared<detail::SignalWaitStateOf<Args...>>()), m_limit(limit)
    {
        auto *state = m_state.get();
        if (!sender) {
            state->finish();
            return;
        }
        state->watch(QObject::connect(sender, signal, state, [state](const Args &...args) {
            if (!state->finished()) {
                state->value.emplace(args...);
                state->finish();
            }
        }));
        state->watch(
            QObject::connect(sender, &QObject::destroyed, state, [state] { state->finish(); }));
    }

    bool await_ready() const noexcept { return m_state->finished(); }
    void await_suspend(std::coroutine_handle<> handle) { m_state->arm(handle, m_limit); }
    Result await_resume() { return std::move(m_state->value); }

private:
    // Shared, because GCC 12 copies an awaiter named before its co_await.
    std::shared_ptr<detail::SignalWaitStateOf<Args...>> m_state;
    std::chrono::milliseconds m_limit;
};

// waitForSignal(reply, &QNetworkReply::readyRead, 200ms): see TimedSignalWait.
template <typename Sender, typename Owner, typename... Args>
requires std::is_base_of_v<Owner, Sender> TimedSignalWait<std::decay_t<Args>...>
waitForSignal(const Sender *sender, void (Owner::*signal)(Args...), std::chrono::milliseconds limit)
{
    return TimedSignalWait<std::decay_t<Args>...>(static_cast<const Owner *>(sender), signal,
                                                  limit);
}

} // namespace harvly
