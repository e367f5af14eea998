#include "recordpages.h"

#include <QStringList>

namespace harvly::testsite {

namespace {

const QStringList kAuthors = {"Smith, Ann",   "Okafor, Chidi", "王小明",        "García, Lucía",
                              "Kim, Ha-eun",  "Müller, Jonas", "李娜",          "Novak, Petra",
                              "Haddad, Omar", "Tanaka, Yui",   "Ivanova, Olga", "Dubois, Marc"};

QStringList authorsOf(int id)
{
    // One to three authors, a Chinese name among them now and then.
    QStringList out;
    for (int i = 0; i <= id % 3; ++i) {
        out << kAuthors.at((id * 5 + i * 7) % kAuthors.size());
    }
    return out;
}

QString escape(const QString &s)
{
    return s.toHtmlEscaped();
}

QString meta(const QString &name, const QString &content)
{
    return QStringLiteral("<meta name=\"%1\" content=\"%2\">").arg(name, escape(content));
}

QString doiOf(int id)
{
    return QStringLiteral("10.5555/harvly.%1").arg(id);
}

QString dateOf(int id)
{
    return QStringLiteral("%1/%2/%3")
        .arg(2015 + id % 10)
        .arg(1 + id % 12, 2, 10, QLatin1Char('0'))
        .arg(1 + id % 28, 2, 10, QLatin1Char('0'));
}

Response paperPage(const QString &head, int id, const QString &note)
{
    const QByteArray html =
        QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>%2"
                       "</head><body><header>Sample Publisher</header><main><h2>%1</h2>"
                       "<p class=\"authors\">%3</p><p>%4</p><p>Abstract of record %5.</p>"
                       "</main></body></html>")
            .arg(escape(RecordTitle(id)), head, escape(authorsOf(id).join(QStringLiteral("; "))),
                 escape(note))
            .arg(id)
            .toUtf8();
    Response res;
    res.body = html;
    return res;
}

QString jsonString(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString jsonLdOf(const Request &r, int id)
{
    QStringList authors;
    for (const QString &a : authorsOf(id)) {
        const qsizetype comma = a.indexOf(QLatin1Char(','));
        authors << (comma < 0
                        ? QStringLiteral("{\"@type\":\"Person\",\"name\":%1}").arg(jsonString(a))
                        : QStringLiteral("{\"@type\":\"Person\",\"familyName\":%1,"
                                         "\"givenName\":%2}")
                              .arg(jsonString(a.left(comma)), jsonString(a.mid(comma + 2))));
    }
    return QStringLiteral(
               "<script type=\"application/ld+json\">{\"@context\":\"https://schema.org\","
               "\"@type\":\"ScholarlyArticle\",\"headline\":%1,\"author\":[%2],"
               "\"datePublished\":\"%3\",\"isPartOf\":{\"@type\":\"Periodical\",\"name\":"
               "\"Linked Sample Letters\"},\"identifier\":\"https://doi.org/%4\"}</script>"
               "<link rel=\"alternate\" type=\"application/pdf\" href=\"%5\">")
        .arg(jsonString(RecordTitle(id)), authors.join(QLatin1Char(',')),
             dateOf(id).replace(QLatin1Char('/'), QLatin1Char('-')), doiOf(id),
             r.origin + QStringLiteral("/pdf/%1.pdf").arg(id));
}

QString dublinCoreOf(int id)
{
    QString head = meta(QStringLiteral("DC.title"), RecordTitle(id));
    for (const QString &a : authorsOf(id)) {
        head += meta(QStringLiteral("DC.creator"), a);
    }
    return head +
           meta(QStringLiteral("DC.date"), dateOf(id).replace(QLatin1Char('/'), QLatin1Char('-'))) +
           meta(QStringLiteral("DC.identifier"), QStringLiteral("doi:") + doiOf(id)) +
           meta(QStringLiteral("DC.publisher"), QStringLiteral("Sample Press")) +
           meta(QStringLiteral("prism.publicationName"), QStringLiteral("Dublin Sample Review")) +
           meta(QStringLiteral("prism.volume"), QString::number(id % 20 + 1)) +
           meta(QStringLiteral("prism.startingPage"), QString::number(id * 10)) +
           QStringLiteral("<link rel=\"alternate\" type=\"application/pdf\" href=\"/pdf/%1.pdf\">")
               .arg(id);
}

} // namespace

QString CitationTags(const Request &r, int id, bool withPdf)
{
    QString head = meta(QStringLiteral("citation_title"), RecordTitle(id));
    for (const QString &a : authorsOf(id)) {
        head += meta(QStringLiteral("citation_author"), a);
    }
    head += meta(QStringLiteral("citation_publication_date"), dateOf(id)) +
            meta(QStringLiteral("citation_journal_title"),
                 QStringLiteral("Journal of Sample Studies")) +
            meta(QStringLiteral("citation_volume"), QString::number(id % 20 + 1)) +
            meta(QStringLiteral("citation_issue"), QString::number(id % 4 + 1)) +
            meta(QStringLiteral("citation_firstpage"), QString::number(id * 10)) +
            meta(QStringLiteral("citation_lastpage"), QString::number(id * 10 + 9)) +
            meta(QStringLiteral("citation_doi"), doiOf(id)) +
            meta(QStringLiteral("citation_issn"), QStringLiteral("1234-5679")) +
            meta(QStringLiteral("citation_publisher"), QStringLiteral("Sample Press")) +
            meta(QStringLiteral("citation_language"), QStringLiteral("en")) +
            meta(QStringLiteral("citation_keywords"), QStringLiteral("samples; testing"));
    if (withPdf) {
        head += meta(QStringLiteral("citation_pdf_url"), QStringLiteral("/pdf/%1.pdf").arg(id));
    }
    Q_UNUSED(r);
    return head;
}

std::optional<Response> RecordRoute(const Request &r)
{
    const QStringList parts = r.path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() >= 2 && parts.first() == QLatin1String("paper")) {
        const int id = qMax(1, parts.at(1).toInt());
        const QString shape = parts.value(2);
        if (shape == QLatin1String("jsonld")) {
            return paperPage(jsonLdOf(r, id), id, QStringLiteral("Its record is JSON-LD."));
        }
        if (shape == QLatin1String("dc")) {
            return paperPage(dublinCoreOf(id), id, QStringLiteral("Its record is Dublin Core."));
        }
        if (shape == QLatin1String("nopdf")) {
            return paperPage(CitationTags(r, id, false), id,
                             QStringLiteral("No full text is offered."));
        }
        return paperPage(CitationTags(r, id, true), id,
                         QStringLiteral("Its record is in citation tags."));
    }
    // The resolver of the sample DOIs "10.5555/harvly.N".
    if (parts.size() >= 3 && parts.first() == QLatin1String("doi") &&
        parts.at(1) == QLatin1String("10.5555") &&
        parts.at(2).startsWith(QLatin1String("harvly."), Qt::CaseInsensitive)) {
        const int id = parts.at(2).mid(7).toInt();
        if (id > 0) {
            return Response::redirect(QStringLiteral("/paper/%1").arg(id).toUtf8(), 302);
        }
    }
    return std::nullopt;
}

} // namespace harvly::testsite
