#pragma once

#include "common/citationrecord.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace harvly {

struct DownloadRow;
struct ResultRow;

enum class CitationFormat { Ris, BibTex, CslJson };

// "ris", "bibtex", "csl-json".
std::optional<CitationFormat> CitationFormatNamed(const QString &name);
// By the file's extension: .ris, .bib, .json (any letter case).
std::optional<CitationFormat> CitationFormatOfFile(const QString &path);
// The file as a save dialog gives it, with the chosen format's extension added when its name
// has none of the three, so that the name always says the format.
QString WithCitationExtension(const QString &path, CitationFormat chosen);

// One exported work: what a row knows of it. A row without a record still gives its title,
// its page and its file.
struct CitationEntry {
    QString title;
    QString pageUrl; // the row's page (a download row's referer, a result's link)
    QString file;    // the downloaded document, absolute; "" when there is none
    SharedRecord record;

    QString workTitle() const; // the record's title, else the row's
    QString page() const;      // the record's page, else the row's
};

// A download row as an entry: its file when it has one on disk (a finished row's, or the file
// it keeps while it is fetched again).
CitationEntry CitationEntryOf(const DownloadRow &row);
// A result row as an entry: no file yet.
CitationEntry CitationEntryOf(const ResultRow &row);

// How the file links are written: relative to folder when the file lies below it, absolute
// otherwise or when absolute is set (or no folder is known, as for standard output).
struct CitationPaths {
    QString folder;
    bool absolute = false;

    QString of(const QString &file) const;
};

// A BibTeX key for each entry, unique among them and the same in every export of the same
// rows: family name of the first author, year, first word of the title, in ASCII lower case,
// with a, b, c... after a key already given.
QStringList CitationKeys(const QList<CitationEntry> &entries);

// The writers, in UTF-8, a record at a time (so a long export never holds the whole text);
// false when the device refuses a write.
bool WriteRis(QIODevice &device, const QList<CitationEntry> &entries, const CitationPaths &paths);
bool WriteBibTex(QIODevice &device, const QList<CitationEntry> &entries,
                 const CitationPaths &paths);
bool WriteCslJson(QIODevice &device, const QList<CitationEntry> &entries,
                  const CitationPaths &paths);
bool WriteCitations(QIODevice &device, const QList<CitationEntry> &entries, CitationFormat format,
                    const CitationPaths &paths);
// The same, as one text.
QByteArray CitationsText(const QList<CitationEntry> &entries, CitationFormat format,
                         const CitationPaths &paths);

// Writes the export to path through a temporary file that takes the name at the end, so a
// failed export never leaves half a file over an earlier one. File links are relative to
// path's folder unless absolute is set.
bool SaveCitations(const QString &path, const QList<CitationEntry> &entries, CitationFormat format,
                   bool absolute, QString *error);

} // namespace harvly
