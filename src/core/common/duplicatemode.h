#pragma once

#include "build.h"

#include <QString>

namespace harvly {

// What happens when a download's target file already exists.
enum class DuplicateMode { Skip, Cover, Rename };

// The word a mode is stored as: the option's caption in the build's language. Anything
// else reads as Rename.
DuplicateMode DuplicateModeFromText(const QString &text, const Build &build);
QString DuplicateModeText(DuplicateMode mode, const Build &build);

} // namespace harvly
