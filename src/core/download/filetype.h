#pragma once

#include <QByteArray>
#include <QString>

namespace harvly {

// What a file really is, from its content: a lower-case type word ("pdf", "htm", "doc", ...)
// or "" when it is not recognised. Reads at most the first 10 KB and the last 128 bytes.
QString OpenFileToAnalyzingFileType(const QString &path);

// The same rules over what was read: the first min(length, 10240) bytes and, for files over
// 128 bytes, the last 128.
QString IdentifyFileContent(const QByteArray &head, qint64 length, const QByteArray &tail);

} // namespace harvly
