#pragma once

#include <QStringList>

namespace harvly {

// harvly-cli bulk [--web] [--delay S] FILE: takes each document-page address of a list file
// (or standard input for "-") as one result row, as the bulk window does: by the download
// method, or with --web by loading each page in an offscreen browser. Returns the exit status.
int RunBulkCommand(const QStringList &args);
// --web loads pages in a browser, which needs its application made first.
bool BulkNeedsBrowser(const QStringList &args);

} // namespace harvly
