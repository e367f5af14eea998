#pragma once

#include "build.h"

#include <QString>
#include <QUrl>

namespace harvly {

// Scheme and host of an address: everything before the first "/" after "://".
QString GetUrlRoot(const QString &url);

// The start of an address: scheme, host and the first "/" (toLastSlash false), or everything
// up to the last "/" before any "?" (toLastSlash true). "http://" is assumed when missing.
QString GetUrlBase(const QString &url, bool toLastSlash);

// A MIME type as a file extension. In the English build *extension receives the result
// only for the types that name a file format; in the Chinese build it is left alone and the
// result is always a short lower-case word or "".
QString ContentTypeToExtension(const QString &contentType, QString *extension, const Build &build);

// The letters a-z (any case) a text starts with, lower-cased; "" when more than five.
QString LeadingLetterWord(const QString &text);

// The file name an address points at, and its extension (returned).
QString GetFileNameFromUrl(const QString &url, QString *fileName);

// Only web addresses are fetched: an address from a list or a page must never make the
// program read a local file or speak another protocol.
bool IsFetchableAddress(const QUrl &url);

} // namespace harvly
