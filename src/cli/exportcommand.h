#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli export: the citations of a kept download list as RIS, BibTeX or CSL-JSON.
// Returns the exit status.
int RunExportCommand(const QStringList &args);

} // namespace harvly
