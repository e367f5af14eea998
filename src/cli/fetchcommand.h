#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli fetch: the whole road without windows, from a result page (and the pages after
// it) or a list of document pages and DOIs, through the analysis, to the documents on disk.
int RunFetchCommand(const QStringList &args);
bool FetchNeedsBrowser(const QStringList &args); // --web: result pages in an offscreen browser

} // namespace harvly
