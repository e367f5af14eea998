#include "citationexport.h"
#include "citationtext.h"

#include <QRegularExpression>

namespace harvly {

namespace {

// A text as BibTeX and LaTeX read it back: the characters they treat specially written as
// commands. Braces become \textbraceleft and \textbraceright, since BibTeX counts a brace
// even after a backslash and a lone \{ would end the field early.
QString escaped(const QString &value)
{
    const QString text = OneLine(value);
    static const QString specials = QStringLiteral("{}\\^~%&#$_");
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return specials.contains(c); })) {
        return text;
    }
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'{':
            out += QLatin1String("{\\textbraceleft}");
            break;
        case u'}':
            out += QLatin1String("{\\textbraceright}");
            break;
        case u'\\':
            out += QLatin1String("{\\textbackslash}");
            break;
        case u'^':
            out += QLatin1String("{\\textasciicircum}");
            break;
        case u'~':
            out += QLatin1String("{\\textasciitilde}");
            break;
        case u'%':
        case u'&':
        case u'#':
        case u'$':
        case u'_':
            out += QLatin1Char('\\');
            out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

// An address or a DOI as it stands (reference managers read these fields verbatim), with the
// few characters that would break the field percent-encoded.
QString verbatim(const QString &value)
{
    QString out = OneLine(value);
    out.replace(QLatin1Char('{'), QLatin1String("%7B"));
    out.replace(QLatin1Char('}'), QLatin1String("%7D"));
    out.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return out;
}

// A file link as JabRef and Zotero write it: ":PATH:application/pdf", with the \, : and ; of the
// path escaped by a backslash. Braces stay when they pair up; otherwise they would end the
// field early, and are percent-encoded.
QString fileLink(const QString &path)
{
    int depth = 0;
    for (const QChar c : path) {
        depth += c == u'{' ? 1 : c == u'}' ? -1 : 0;
        if (depth < 0) {
            break;
        }
    }
    QString p;
    for (const QChar c : path) {
        if (c == u'\\' || c == u':' || c == u';') {
            p += QLatin1Char('\\');
        }
        if (depth != 0 && (c == u'{' || c == u'}')) {
            p += c == u'{' ? QLatin1String("%7B") : QLatin1String("%7D");
            continue;
        }
        p += c;
    }
    return QLatin1Char(':') + p + QStringLiteral(":application/pdf");
}

// Names part by part; a literal name braced whole, so BibTeX never splits it.
QString bibName(const CitationName &n)
{
    if (!n.literal.isEmpty()) {
        return QLatin1Char('{') + escaped(n.literal) + QLatin1Char('}');
    }
    QString family = escaped(n.family);
    static const QRegularExpression andWord(QStringLiteral("\\band\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (family.contains(QLatin1Char(',')) || family.contains(andWord)) {
        family = QLatin1Char('{') + family + QLatin1Char('}');
    }
    const QString given = escaped(n.given);
    return given.isEmpty() ? family : family + QStringLiteral(", ") + given;
}

QString entryType(CitationType type)
{
    switch (type) {
    case CitationType::Article:
        return QStringLiteral("article");
    case CitationType::Conference:
        return QStringLiteral("inproceedings");
    case CitationType::Report:
        return QStringLiteral("techreport");
    case CitationType::Unknown:
        break;
    }
    return QStringLiteral("misc");
}

const char *const kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                               "jul", "aug", "sep", "oct", "nov", "dec"};

} // namespace

bool WriteBibTex(QIODevice &device, const QList<CitationEntry> &entries, const CitationPaths &paths)
{
    const QStringList keys = CitationKeys(entries);
    QString out; // one entry
    const auto field = [&out](const char *name, const QString &value) {
        if (!value.isEmpty()) {
            out += QLatin1String("  ");
            out += QLatin1String(name);
            out += QLatin1String(" = {");
            out += value;
            out += QLatin1String("},\n");
        }
    };
    for (qsizetype i = 0; i < entries.size(); ++i) {
        out.resize(0);
        const CitationEntry &e = entries.at(i);
        const CitationRecord *r = e.record.get();
        const CitationType type = ExportedType(r);
        out += QLatin1Char('@') + entryType(type) + QLatin1Char('{') + keys.at(i) +
               QLatin1String(",\n");
        field("title", escaped(e.workTitle()));
        if (r) {
            QStringList names;
            for (const CitationName &n : r->authors) {
                names << bibName(n);
            }
            field("author", names.join(QStringLiteral(" and ")));
            if (r->issued.year > 0) {
                field("year", QString::number(r->issued.year));
            }
            if (r->issued.month > 0) {
                // A month macro, as the styles expect.
                out += QLatin1String("  month = ") + QLatin1String(kMonths[r->issued.month - 1]) +
                       QLatin1String(",\n");
            }
            field(type == CitationType::Conference ? "booktitle" : "journal",
                  escaped(r->containerTitle));
            field("volume", escaped(r->volume));
            field("number", escaped(r->issue));
            QString pages = escaped(r->firstPage);
            if (!r->lastPage.isEmpty() && r->lastPage != r->firstPage) {
                pages += QLatin1String("--") + escaped(r->lastPage);
            }
            field("pages", pages);
            field("doi", verbatim(r->doi));
            field("issn", escaped(r->issn));
            field("publisher", escaped(r->publisher));
            field("language", escaped(r->language));
            field("abstract", escaped(r->abstract));
            QStringList words;
            for (const QString &k : r->keywords) {
                words << escaped(k);
            }
            field("keywords", words.join(QStringLiteral(", ")));
        }
        field("url", verbatim(e.page()));
        if (!e.file.isEmpty()) {
            field("file", fileLink(paths.of(e.file)));
        }
        out += QLatin1String("}\n\n");
        if (device.write(out.toUtf8()) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace harvly
