#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace harvly {

// A delay as the user types it into a box of seconds: whole seconds, a fraction cut off;
// nothing for a text that is no number, or a negative one.
std::optional<std::chrono::seconds> SecondsFromText(const QString &text);

} // namespace harvly
