#pragma once

#include "build.h"

#include <QString>

namespace harvly {

// Path separators of the platform: "/" everywhere, and "\" too on Windows.
bool IsPathSeparator(QChar c);
qsizetype LastPathSeparator(const QString &path);

// The longest start of text that fits in maxBytes of UTF-8, cut between characters.
QString Utf8Left(const QString &text, int maxBytes);

// A number as the user or a file would write it: trimmed, non-empty, decimal.
bool IsNumericText(const QString &text);
// A counter in a file name: a run of decimal digits (trimmed), not "inf", "-1" or "1e3".
bool IsCounterText(const QString &text);

// Text to a legal file name: forbidden characters, line breaks and outer dots removed,
// cut to the build's byte limit. May come out empty; MakeValidFileName never does.
QString CleanFileNameText(const QString &text, const Build &build);
// As above, but a non-empty text that cleans to nothing becomes "untitled".
QString MakeValidFileName(const QString &text, const Build &build);

// Extension after the last "." of the last path element; none when 7 or more characters.
// The longest a file name may be, in bytes of UTF-8 (the common limit of Linux file systems).
constexpr int kMaxFileNameBytes = 255;
// base cut between characters so that base + suffix fits in a file name; never empty.
QString FitFileName(const QString &base, const QString &suffix);

QString SplitFileName(const QString &path, QString *baseName);
QString GetFileNameFromPath(const QString &pathOrUrl, bool withoutExtension);
// Folder (with its trailing separator), extension and base name of a path.
QString SplitFilePath(const QString &path, QString *extension, QString *baseName);
// "notes[12]" -> base "notes", number text "12"; anything else -> base = name, "".
QString SplitBracketNumber(const QString &name, QString *baseName);

QString RemoveLineBreaks(const QString &text);
QString GetRandomString(int length);

} // namespace harvly
