#pragma once

#include "common/build.h"

#include <QString>

namespace harvly {

class DownloadListModel;

// Gives a downloaded row's file the extension of what it really is; true when renamed. A
// taken name gets a counter, and the row's text and type follow the file.
bool CorrectItemFileType(DownloadListModel &list, quint64 rowId);

// Writes <base href='address'> before the first </head> of a row's saved web page, so its
// relative links work from disk; true when written. The address is escaped for the attribute.
bool AddBaseHrefToSavedPage(const DownloadListModel &list, quint64 rowId, const Build &build);

// The address a row downloads: its key, or in a key of alternatives the first of them.
QString GetItemUrlFromKey(const QString &key);

} // namespace harvly
