#pragma once

namespace harvly {

// When a command of the download window's list menu may be chosen: the entries that remove
// or reorder rows wait for the downloads to stop, "Stop Download " waits for them to run.
enum class WhenEnabled { Always, Idle, Downloading };

// downloading: the downloads-running test (the download timer on or a transfer going on).
constexpr bool IsEnabledWhen(WhenEnabled when, bool downloading)
{
    return when == WhenEnabled::Always || (when == WhenEnabled::Idle) != downloading;
}

} // namespace harvly
