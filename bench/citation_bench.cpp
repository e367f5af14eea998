// Times reading the citation record of document pages against what the analysis already does
// with each page (finding the site's PDF markers in its text), and against parsing the whole
// page: 1,000 pages of about 200 KB each, in the same run.
#include "search/citationreader.h"
#include "search/pagemarkers.h"
#include "search/staticdom.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace harvly;

namespace {

// A publisher's page: a head with citation tags, Dublin Core and a JSON-LD block, a body of
// about 200 KB of article text, links and markup.
QString documentPage(int id)
{
    QString head = QStringLiteral("<meta charset=\"utf-8\"><title>Paper %1</title>").arg(id);
    for (int i = 0; i < 40; ++i) {
        head += QStringLiteral("<link rel=\"stylesheet\" href=\"/css/%1.css\">").arg(i);
    }
    head += QStringLiteral("<meta name=\"citation_title\" content=\"Paper %1 on soil &amp; "
                           "water\">")
                .arg(id);
    for (int i = 0; i < 8; ++i) {
        head +=
            QStringLiteral("<meta name=\"citation_author\" content=\"Author%1, Given\">").arg(i);
    }
    head +=
        QStringLiteral("<meta name=\"citation_publication_date\" content=\"2021/03/04\">"
                       "<meta name=\"citation_journal_title\" content=\"Journal\">"
                       "<meta name=\"citation_doi\" content=\"10.5555/bench.%1\">"
                       "<meta name=\"citation_pdf_url\" content=\"/pdf/%1.pdf\">"
                       "<meta name=\"DC.title\" content=\"Paper %1\">"
                       "<script type=\"application/ld+json\">{\"@type\":\"ScholarlyArticle\","
                       "\"headline\":\"Paper %1\",\"author\":[\"A B\"],\"datePublished\":\"2021\"}"
                       "</script>")
            .arg(id);
    QString body;
    body.reserve(210000);
    while (body.size() < 200000) {
        body += QStringLiteral("<p class=\"text\">Lorem ipsum dolor sit amet, <a href=\"/ref/%1\">"
                               "consectetur</a> adipiscing elit, sed do eiusmod tempor.</p>\n")
                    .arg(body.size());
    }
    return QStringLiteral("<!DOCTYPE html><html><head>%1</head><body><h1>Paper %2</h1>%3"
                          "<a id=\"downloadPDFLink\" href=\"http://site/pdf/%2.pdf\">Download "
                          "PDF</a></body></html>")
        .arg(head)
        .arg(id)
        .arg(body);
}

template <typename F> double millisecondsPerPage(const QStringList &pages, F &&f)
{
    QElapsedTimer t;
    t.start();
    for (const QString &p : pages) {
        f(p);
    }
    return double(t.nsecsElapsed()) / 1e6 / double(pages.size());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? qMax(1, atoi(argv[1])) : 1000;
    QStringList pages;
    for (int i = 0; i < count; ++i) {
        pages << documentPage(i);
    }
    int found = 0;
    const double record = millisecondsPerPage(pages, [&found](const QString &p) {
        found += !ReadCitationRecord(p, QStringLiteral("https://site/doc")).doi.isEmpty();
    });
    const double markers = millisecondsPerPage(pages, [&found](const QString &p) {
        found += FindEmbeddedPdfLinks(p).size() + !FindDownloadPdfLink(p).isEmpty() +
                 !FindDocumentLink(p).link.isEmpty();
    });
    const double whole = millisecondsPerPage(pages.mid(0, qMin(100, count)), [](const QString &p) {
        ParseHtmlDocument(p, QStringLiteral("https://site/doc"));
    });
    std::printf("citation record of %d pages of %lld KB\n", count,
                static_cast<long long>(pages.first().size() / 1024));
    std::printf("  record read: %.3f ms a page (goal under 1 ms, %.1fx inside it)\n", record,
                1.0 / record);
    std::printf(
        "  the analysis's markers on the same pages: %.3f ms a page (record/markers %.2f)\n",
        markers, record / markers);
    std::printf("  parsing the whole page: %.3f ms a page (%.1fx the record)\n", whole,
                whole / record);
    std::printf("  (%d found)\n", found);
    return 0;
}
