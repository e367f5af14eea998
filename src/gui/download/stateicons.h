#pragma once

#include <QVariant>

#include <array>

namespace harvly {

// The four pictures of a download row's state, in state order: waiting, downloading,
// finished, failed.
std::array<QVariant, 4> StateIcons();

} // namespace harvly
