#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli bulk [--delay S] FILE: takes each document-page address of a list file (or
// standard input for "-") as one result row, as the bulk window's download method does.
// Returns the exit status.
int RunBulkCommand(const QStringList &args);

} // namespace harvly
