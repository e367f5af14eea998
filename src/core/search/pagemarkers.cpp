#include "pagemarkers.h"

#include "staticdom.h"

namespace harvly {

namespace {

QString unescapeAmp(QString s)
{
    return s.replace(QLatin1String("&amp;"), QLatin1String("&"));
}

bool isAbsolute(const QString &link)
{
    return link.startsWith(QLatin1String("http"), Qt::CaseInsensitive);
}

} // namespace

QStringList FindEmbeddedPdfLinks(const QString &pageText)
{
    static const QString first = QStringLiteral("id=\"EmbedFile\" src=\"");
    static const QString second = QStringLiteral("id=\"embedded-pdf\" src=\"");
    QStringList links;
    // What the second search looks at follows the first one's outcome: the whole page, the
    // rest after a marker whose address never closes, or the address it found.
    QString rest = pageText;
    const qsizetype at = pageText.indexOf(first, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        rest = pageText.mid(at + first.size());
        const qsizetype quote = rest.indexOf(QLatin1Char('"'));
        if (quote >= 0) {
            rest = unescapeAmp(rest.left(quote));
            links << rest;
        }
    }
    const qsizetype at2 = rest.indexOf(second, 0, Qt::CaseInsensitive);
    if (at2 >= 0) {
        const QString after = rest.mid(at2 + second.size());
        const qsizetype quote = after.indexOf(QLatin1Char('"'));
        if (quote >= 0) {
            links << unescapeAmp(after.left(quote)).trimmed();
        }
    }
    return links;
}

QString FindDownloadPdfLink(const QString &pageText)
{
    const qsizetype anchorEnd =
        pageText.indexOf(QLatin1String(">Download PDF</a>"), 0, Qt::CaseInsensitive);
    if (anchorEnd < 0) {
        return {};
    }
    const QString before = pageText.left(anchorEnd);
    const qsizetype href = before.lastIndexOf(QLatin1String("href="), -1, Qt::CaseInsensitive);
    if (href < 0) {
        return {};
    }
    QString link = before.mid(href + 5).replace(QLatin1Char('"'), QLatin1Char(' ')).trimmed();
    // Attributes after the address are cut off; an address standing alone is taken whole.
    const qsizetype space = link.indexOf(QLatin1Char(' '));
    if (space >= 0) {
        link.truncate(space);
    }
    link = unescapeAmp(link);
    return isAbsolute(link) ? link : QString();
}

DocumentLink FindDocumentLink(const QString &pageText)
{
    const qsizetype file =
        pageText.indexOf(QLatin1String("ProQuestDocument.pdf"), 0, Qt::CaseInsensitive);
    if (file < 0) {
        return {};
    }
    const QString after = pageText.mid(file + 24);
    const qsizetype href = after.indexOf(QLatin1String("href="), 0, Qt::CaseInsensitive);
    if (href < 0) {
        return {};
    }
    QString link = after.mid(href + 5);
    // The address ends at the next space, or where its tag ends: an address followed
    // directly by ">" would otherwise carry the markup after it.
    qsizetype linkEnd = link.indexOf(QLatin1Char(' '));
    const qsizetype tagEnd = link.indexOf(QLatin1Char('>'));
    if (tagEnd >= 0 && (linkEnd < 0 || tagEnd < linkEnd)) {
        linkEnd = tagEnd;
    }
    if (linkEnd < 0) {
        return {};
    }
    link = unescapeAmp(link.left(linkEnd).remove(QLatin1Char('"')));
    if (!isAbsolute(link)) {
        return {};
    }
    const qsizetype wrapper =
        pageText.indexOf(QLatin1String("citationTextWrapper"), 0, Qt::CaseInsensitive);
    if (wrapper < 0) {
        return {};
    }
    const qsizetype h1 = pageText.indexOf(QLatin1String("<h1>"), wrapper + 19, Qt::CaseInsensitive);
    if (h1 < 0) {
        return {};
    }
    const qsizetype end = pageText.indexOf(QLatin1String("</h1>"), h1 + 4, Qt::CaseInsensitive);
    // The heading as the reader sees it: "&amp;" is "&", and markup inside it is no title.
    const QString heading = pageText.mid(h1, end < 0 ? -1 : end + 5 - h1);
    const DomDocument fragment = ParseHtmlDocument(heading, QString());
    const auto headings = fragment.elementsByTagName(QStringLiteral("h1"));
    const QString title = headings.isEmpty() ? QString() : headings.first()->innerText().trimmed();
    if (title.isEmpty()) {
        return {};
    }
    return {link, title};
}

} // namespace harvly
