#include "citationexport.h"

#include "citationtext.h"
#include "download/downloadlist.h"
#include "search/resultlist.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

namespace harvly {

std::optional<CitationFormat> CitationFormatNamed(const QString &name)
{
    if (name == QLatin1String("ris")) {
        return CitationFormat::Ris;
    }
    if (name == QLatin1String("bibtex")) {
        return CitationFormat::BibTex;
    }
    if (name == QLatin1String("csl-json")) {
        return CitationFormat::CslJson;
    }
    return std::nullopt;
}

std::optional<CitationFormat> CitationFormatOfFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ris")) {
        return CitationFormat::Ris;
    }
    if (suffix == QLatin1String("bib")) {
        return CitationFormat::BibTex;
    }
    if (suffix == QLatin1String("json")) {
        return CitationFormat::CslJson;
    }
    return std::nullopt;
}

QString WithCitationExtension(const QString &path, CitationFormat chosen)
{
    if (path.isEmpty() || CitationFormatOfFile(path)) {
        return path;
    }
    switch (chosen) {
    case CitationFormat::Ris:
        return path + QStringLiteral(".ris");
    case CitationFormat::BibTex:
        return path + QStringLiteral(".bib");
    case CitationFormat::CslJson:
        break;
    }
    return path + QStringLiteral(".json");
}

QString CitationEntry::workTitle() const
{
    return record && !record->title.isEmpty() ? record->title : title;
}

QString CitationEntry::page() const
{
    return record && !record->pageUrl.isEmpty() ? record->pageUrl : pageUrl;
}

CitationEntry CitationEntryOf(const DownloadRow &row)
{
    CitationEntry e{row.text, row.tag, {}, row.record};
    const QString file = row.state == DownloadState::Finished ? row.localFile() : row.earlier;
    if (!file.isEmpty() && QFileInfo(file).isFile()) {
        e.file = QFileInfo(file).absoluteFilePath();
    }
    return e;
}

CitationEntry CitationEntryOf(const ResultRow &row)
{
    return CitationEntry{row.title, row.key, {}, row.record};
}

QString CitationPaths::of(const QString &file) const
{
    const QString path = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    if (absolute || folder.isEmpty()) {
        return path;
    }
    const QString base = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QString prefix = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

namespace {

// Letters and digits of a text in ASCII lower case: accents dropped, other scripts left out.
QString asciiWord(const QString &text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.unicode() < 128 && c.isLetterOrNumber()) {
            out += c.toLower();
        }
    }
    return out;
}

QString firstAsciiWord(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s\\p{P}]+"));
    for (const QString &word : text.split(separators, Qt::SkipEmptyParts)) {
        if (const QString w = asciiWord(word); !w.isEmpty()) {
            return w;
        }
    }
    return {};
}

QString baseKey(const CitationEntry &e)
{
    QString key;
    if (e.record && !e.record->authors.isEmpty()) {
        const CitationName &first = e.record->authors.first();
        key = first.literal.isEmpty() ? asciiWord(first.family) : firstAsciiWord(first.literal);
    }
    if (e.record && e.record->issued.year > 0) {
        key += QString::number(e.record->issued.year);
    }
    key += firstAsciiWord(e.workTitle());
    return key.isEmpty() ? QStringLiteral("ref") : key;
}

// a, b, ..., z, aa, ab, ...
QString suffix(int n)
{
    QString s;
    for (++n; n > 0; n = (n - 1) / 26) {
        s.prepend(QChar(u'a' + (n - 1) % 26));
    }
    return s;
}

} // namespace

QStringList CitationKeys(const QList<CitationEntry> &entries)
{
    QStringList keys;
    keys.reserve(entries.size());
    QSet<QString> taken;
    taken.reserve(entries.size());
    QHash<QString, int> clashes; // the next suffix to try for a base key
    for (const CitationEntry &e : entries) {
        const QString base = baseKey(e);
        QString key = base;
        if (taken.contains(key)) {
            int &n = clashes[base];
            do {
                key = base + suffix(n++);
            } while (taken.contains(key));
        }
        taken.insert(key);
        keys << key;
    }
    return keys;
}

QString OneLine(const QString &text)
{
    // Most values are one line already: give them back without a copy.
    bool clean = text.isEmpty() || (!text.front().isSpace() && !text.back().isSpace());
    for (qsizetype i = 0; clean && i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        clean = c >= 0x20 && c != 0x7f && (c < 0x80 || !text.at(i).isSpace() || c == 0xa0) &&
                !(c == u' ' && i + 1 < text.size() && text.at(i + 1) == u' ');
    }
    if (clean) {
        return text;
    }
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            space = !out.isEmpty();
            continue;
        }
        if (space) {
            out += QLatin1Char(' ');
            space = false;
        }
        out += c;
    }
    return out;
}

CitationType ExportedType(const CitationRecord *record)
{
    if (!record) {
        return CitationType::Unknown;
    }
    if (record->type == CitationType::Unknown && !record->containerTitle.isEmpty()) {
        return CitationType::Article;
    }
    return record->type;
}

bool WriteCitations(QIODevice &device, const QList<CitationEntry> &entries, CitationFormat format,
                    const CitationPaths &paths)
{
    switch (format) {
    case CitationFormat::Ris:
        return WriteRis(device, entries, paths);
    case CitationFormat::BibTex:
        return WriteBibTex(device, entries, paths);
    case CitationFormat::CslJson:
        break;
    }
    return WriteCslJson(device, entries, paths);
}

QByteArray CitationsText(const QList<CitationEntry> &entries, CitationFormat format,
                         const CitationPaths &paths)
{
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    WriteCitations(buffer, entries, format, paths);
    return text;
}

bool SaveCitations(const QString &path, const QList<CitationEntry> &entries, CitationFormat format,
                   bool absolute, QString *error)
{
    const CitationPaths paths{QFileInfo(path).absolutePath(), absolute};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !WriteCitations(file, entries, format, paths) ||
        !file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace harvly
