#pragma once

#include <QByteArray>
#include <QDateTime>

#include <chrono>
#include <optional>

namespace harvly {

// "Too many requests" (429) and "service unavailable" (503) say the site is busy, not that
// the page or document is missing: it is asked again later.
bool IsBusyStatus(int status);
constexpr int kBusyAnswersLimit = 5; // the fifth busy answer gives up

// Retry-After as seconds ("120") or an HTTP date; nullopt when absent or unreadable. A date in
// the past gives 0.
std::optional<std::chrono::seconds> RetryAfterOf(const QByteArray &header, const QDateTime &nowUtc);
// Without Retry-After: 30 s after the first busy answer, doubling, at most 10 minutes.
std::chrono::seconds BackOff(int earlierAnswers);

} // namespace harvly
