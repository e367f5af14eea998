#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli analyse URL...: the links each analysis routine would hand over for each
// document page. Returns the exit status.
int RunAnalyseCommand(const QStringList &args);

} // namespace harvly
