#pragma once

#include <QString>

namespace harvly {

// The bash completion of harvly-cli, written from the command table: the commands, each
// command's options, and what follows each option (a folder, a file, one of its words).
QString BashCompletion();

} // namespace harvly
