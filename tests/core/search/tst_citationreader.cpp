#include "search/citationreader.h"

#include <QJsonArray>
#include <QTest>

using namespace harvly;

// The citation record of a document page, from each of its sources and from bad input.
class tst_CitationReader : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void dates_data();
    void dates();
    void dois_data();
    void dois();
    void names_data();
    void names();
    void cslJsonRoundTrip();
};

namespace {

QString page(const QString &head, const QString &body = {})
{
    return "<!DOCTYPE html><html><head><meta charset=utf-8>" + head + "</head><body>" + body +
           "<p>" + QString(2000, 'x') + "</p></body></html>";
}

QString meta(const QString &name, const QString &content)
{
    return QString("<meta name=\"%1\" content=\"%2\">").arg(name, content);
}

QString field(const CitationRecord &r, const QString &name)
{
    QStringList authors;
    for (const CitationName &n : r.authors) {
        authors << (n.literal.isEmpty() ? n.family + "|" + n.given : n.literal);
    }
    if (name == "title")
        return r.title;
    if (name == "type")
        return CslTypeName(r.type);
    if (name == "title length")
        return QString::number(r.title.size());
    if (name == "authors")
        return authors.join(';');
    if (name == "author count")
        return QString::number(r.authors.size());
    if (name == "issued")
        return QString("%1-%2-%3").arg(r.issued.year).arg(r.issued.month).arg(r.issued.day);
    if (name == "container")
        return r.containerTitle;
    if (name == "volume/issue/pages")
        return r.volume + "/" + r.issue + "/" + r.pages();
    if (name == "doi")
        return r.doi;
    if (name == "issn/publisher/language")
        return r.issn + "/" + r.publisher + "/" + r.language;
    if (name == "abstract")
        return r.abstract;
    if (name == "keywords")
        return r.keywords.join(';');
    if (name == "pdf")
        return r.pdfUrl;
    return "no such field";
}

const QString kUrl = "https://journal.example/article/7?ref=x";

} // namespace

void tst_CitationReader::reads_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    const QString full = page(
        meta("citation_title", "Soil  water &amp; roots") + meta("citation_author", "Smith, Ann") +
        meta("citation_author", "Bo Li") + meta("citation_author", "王小明") +
        meta("citation_online_date", "2020/12/01") +
        meta("citation_publication_date", "2021/03/04") +
        meta("citation_journal_title", "Journal of Soils") + meta("citation_volume", "12") +
        meta("citation_issue", "3") + meta("citation_firstpage", "101") +
        meta("citation_lastpage", "119") + meta("citation_doi", "doi:10.1234/ABC.5.") +
        meta("citation_issn", "1234-5678") + meta("citation_publisher", "Soil Press") +
        meta("citation_language", "en") + meta("citation_abstract", "We  dug.") +
        meta("citation_keywords", "soil; water") + meta("citation_pdf_url", "/pdf/7.pdf") +
        meta("DC.title", "Not this one") + "<meta property=\"og:title\" content=\"Nor this\">");
    QTest::newRow("citation tags: title, entities and spaces") << full << kUrl << "title"
                                                               << "Soil water & roots";
    QTest::newRow("citation tags: authors, a Chinese name literal") << full << kUrl << "authors"
                                                                    << "Smith|Ann;Li|Bo;王小明";
    QTest::newRow("citation tags: the publication date before the online one")
        << full << kUrl << "issued"
        << "2021-3-4";
    QTest::newRow("citation tags: journal") << full << kUrl << "container"
                                            << "Journal of Soils";
    QTest::newRow("citation tags: volume, issue, pages") << full << kUrl << "volume/issue/pages"
                                                         << "12/3/101-119";
    QTest::newRow("citation tags: the DOI normalised") << full << kUrl << "doi"
                                                       << "10.1234/abc.5";
    QTest::newRow("citation tags: ISSN, publisher, language")
        << full << kUrl << "issn/publisher/language"
        << "1234-5678/Soil Press/en";
    QTest::newRow("citation tags: abstract") << full << kUrl << "abstract"
                                             << "We dug.";
    QTest::newRow("citation tags: keywords") << full << kUrl << "keywords"
                                             << "soil;water";
    QTest::newRow("citation tags: the PDF resolved against the page")
        << full << kUrl << "pdf"
        << "https://journal.example/pdf/7.pdf";

    QString twenty;
    for (int i = 0; i < 20; ++i) {
        twenty += meta("citation_author", QString("Author%1, A.").arg(i));
    }
    QTest::newRow("twenty authors") << page(twenty) << kUrl << "author count"
                                    << "20";
    QTest::newRow("authors with empty content")
        << page(meta("citation_author", "") + meta("citation_author", "  ")) << kUrl
        << "author count"
        << "0";
    QTest::newRow("a record in two languages: the first title")
        << page(meta("citation_title", "Rice") + meta("citation_title", "水稻")) << kUrl << "title"
        << "Rice";
    const QString longTitle(10000, 'T');
    QTest::newRow("a title of 10,000 characters kept whole")
        << page(meta("citation_title", longTitle)) << kUrl << "title length"
        << "10000";

    const QString dc = page(
        meta("DC.Title", "Dublin title") + meta("dc.creator", "Doe, Jane") +
        meta("DCTERMS.date", "2019-07") + meta("dc.identifier", "https://doi.org/10.5555/DC.1") +
        meta("DC.publisher", "DC Press") + meta("prism.publicationName", "Prism Journal") +
        meta("prism.volume", "4") + meta("prism.number", "2") + meta("prism.startingPage", "9"));
    QTest::newRow("Dublin Core: title in any case") << dc << kUrl << "title"
                                                    << "Dublin title";
    QTest::newRow("Dublin Core: creator") << dc << kUrl << "authors"
                                          << "Doe|Jane";
    QTest::newRow("Dublin Core: date") << dc << kUrl << "issued"
                                       << "2019-7-0";
    QTest::newRow("Dublin Core: identifier as DOI") << dc << kUrl << "doi"
                                                    << "10.5555/dc.1";
    QTest::newRow("PRISM: journal") << dc << kUrl << "container"
                                    << "Prism Journal";
    QTest::newRow("PRISM: volume, number, first page") << dc << kUrl << "volume/issue/pages"
                                                       << "4/2/9";
    QTest::newRow("PRISM DOI") << page(meta("prism.doi", "10.7777/p")) << kUrl << "doi"
                               << "10.7777/p";

    const QString ld =
        R"(<script type="application/ld+json">{"@context":"https://schema.org","@graph":[
        {"@type":"WebPage","name":"Not the work"},
        {"@type":["ScholarlyArticle"],"headline":"Linked &amp; data",
         "author":[{"@type":"Person","familyName":"Kim","givenName":"Ha"},"Lee Jun",{"name":"张伟"}],
         "datePublished":"4 March 2021",
         "isPartOf":{"@type":"PublicationIssue","issueNumber":"5",
                     "isPartOf":{"@type":"Periodical","name":"LD Journal"}},
         "identifier":{"@type":"PropertyValue","propertyID":"doi","value":"10.4242/ld"}}]}
        </script>)";
    QTest::newRow("JSON-LD: headline") << page(ld) << kUrl << "title"
                                       << "Linked & data";
    QTest::newRow("JSON-LD: authors as objects and strings") << page(ld) << kUrl << "authors"
                                                             << "Kim|Ha;Jun|Lee;张伟";
    QTest::newRow("JSON-LD: date") << page(ld) << kUrl << "issued"
                                   << "2021-3-4";
    QTest::newRow("JSON-LD: journal through its issue") << page(ld) << kUrl << "container"
                                                        << "LD Journal";
    QTest::newRow("JSON-LD: DOI from the identifier") << page(ld) << kUrl << "doi"
                                                      << "10.4242/ld";
    QTest::newRow("JSON-LD in the body, DOI from sameAs")
        << page("", R"(<script type="application/ld+json">{"@type":"Report","name":"R",
                "sameAs":["https://x.example/","https://doi.org/10.9999/rep"]}</script>)")
        << kUrl << "doi"
        << "10.9999/rep";
    QTest::newRow("a broken JSON-LD block is passed over, the rest read")
        << page(R"(<script type="application/ld+json">{"@type":"Article", "name": </script>)" +
                meta("citation_title", "Still read"))
        << kUrl << "title"
        << "Still read";
    QTest::newRow("Dublin Core before JSON-LD")
        << page(meta("DC.title", "DC wins") + ld) << kUrl << "title"
        << "DC wins";

    QTest::newRow("og:title as the last resort")
        << page("<meta property=\"og:title\" content=\"Open graph\">") << kUrl << "title"
        << "Open graph";
    QTest::newRow("the PDF alternate link")
        << page("<base href=\"https://cdn.example/docs/\">"
                "<link rel=\"alternate\" type=\"application/pdf\" href=\"a.pdf\">")
        << kUrl << "pdf"
        << "https://cdn.example/docs/a.pdf";
    QTest::newRow("a javascript: PDF address is not taken")
        << page(meta("citation_pdf_url", "javascript:alert(1)")) << kUrl << "pdf"
        << "";
    QTest::newRow("a file: PDF address is not taken")
        << page(meta("citation_pdf_url", "file:///etc/passwd")) << kUrl << "pdf"
        << "";
    QTest::newRow("a relative PDF address with nothing to resolve it against")
        << page(meta("citation_pdf_url", "/pdf/1.pdf")) << ""
        << "pdf"
        << "";
    QTest::newRow("kind: a journal") << full << kUrl << "type"
                                     << "article-journal";
    QTest::newRow("kind: a conference")
        << page(meta("citation_title", "T") + meta("citation_conference_title", "Proc. X")) << kUrl
        << "type"
        << "paper-conference";
    QTest::newRow("kind: a report")
        << page(meta("citation_title", "T") +
                meta("citation_technical_report_institution", "Sample Institute"))
        << kUrl << "type"
        << "report";
    QTest::newRow("kind: a JSON-LD Report")
        << page("<script type=\"application/ld+json\">{\"@type\":\"Report\",\"name\":\"R\"}"
                "</script>")
        << kUrl << "type"
        << "report";
    QTest::newRow("kind: not said") << page(meta("citation_title", "T")) << kUrl << "type"
                                    << "document";
    QTest::newRow("no head at all") << QString("<p>just text</p>") << kUrl << "title"
                                    << "";
    QTest::newRow("no markup") << QString() << kUrl << "authors"
                               << "";
}

void tst_CitationReader::reads()
{
    QFETCH(QString, html);
    QFETCH(QString, url);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const CitationRecord r = ReadCitationRecord(html, url);
    QCOMPARE(::field(r, field), expected);
    QCOMPARE(r.pageUrl, url);
}

void tst_CitationReader::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("slashes") << "2021/03/04" << 2021 << 3 << 4;
    QTest::newRow("dashes") << "2021-03-04" << 2021 << 3 << 4;
    QTest::newRow("year and month") << "2021-03" << 2021 << 3 << 0;
    QTest::newRow("year") << "2021" << 2021 << 0 << 0;
    QTest::newRow("with a time") << "2021-03-04T10:00:00Z" << 2021 << 3 << 4;
    QTest::newRow("day month year") << "4 March 2021" << 2021 << 3 << 4;
    QTest::newRow("month day, year") << "Mar. 4, 2021" << 2021 << 3 << 4;
    QTest::newRow("month year") << "March 2021" << 2021 << 3 << 0;
    QTest::newRow("Chinese") << "2021年3月4日" << 2021 << 3 << 4;
    QTest::newRow("a month out of range keeps the year") << "2021-13-01" << 2021 << 0 << 0;
    QTest::newRow("no date") << "soon" << 0 << 0 << 0;
}

void tst_CitationReader::dates()
{
    QFETCH(QString, text);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QCOMPARE(ParseCitationDate(text), (CitationDate{year, month, day}));
}

void tst_CitationReader::dois_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("doi");
    QTest::newRow("bare") << "10.1234/ABC"
                          << "10.1234/abc";
    QTest::newRow("doi: prefix") << "doi: 10.1234/abc"
                                 << "10.1234/abc";
    QTest::newRow("resolver address") << "https://doi.org/10.1234/abc"
                                      << "10.1234/abc";
    QTest::newRow("old resolver") << "http://dx.doi.org/10.1234/abc"
                                  << "10.1234/abc";
    QTest::newRow("spaces and a full stop") << "  10.1234/abc.  "
                                            << "10.1234/abc";
    QTest::newRow("percent-encoded") << "https://doi.org/10.1234%2Fabc"
                                     << "10.1234/abc";
    QTest::newRow("no DOI") << "ISBN 978-3-16"
                            << "";
    QTest::newRow("too short a registrant") << "10.12/abc"
                                            << "";
    QTest::newRow("a space inside") << "10.1234/a b"
                                    << "";
}

void tst_CitationReader::dois()
{
    QFETCH(QString, text);
    QFETCH(QString, doi);
    QCOMPARE(NormalizeDoi(text), doi);
}

void tst_CitationReader::names_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("literal");
    QTest::newRow("family, given") << "Smith, Ann B."
                                   << "Smith"
                                   << "Ann B."
                                   << "";
    QTest::newRow("given family") << "Ann B. Smith"
                                  << "Smith"
                                  << "Ann B."
                                  << "";
    QTest::newRow("a Chinese name") << "王小明"
                                    << ""
                                    << ""
                                    << "王小明";
    QTest::newRow("a Chinese name with a space") << "王 小明"
                                                 << ""
                                                 << ""
                                                 << "王 小明";
    QTest::newRow("one word") << "Plato"
                              << ""
                              << ""
                              << "Plato";
}

void tst_CitationReader::names()
{
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(QString, given);
    QFETCH(QString, literal);
    QCOMPARE(ParseCitationName(text), (CitationName{family, given, literal}));
}

void tst_CitationReader::cslJsonRoundTrip()
{
    CitationRecord r;
    r.title = "Rice 水稻";
    r.authors = {{"Smith", "Ann", ""}, {"", "", "王小明"}};
    r.issued = {2021, 3, 0};
    r.containerTitle = "J";
    r.volume = "1";
    r.issue = "2";
    r.firstPage = "3";
    r.lastPage = "9";
    r.doi = "10.1234/x";
    r.issn = "1234-5678";
    r.publisher = "P";
    r.language = "zh";
    r.abstract = "A";
    r.keywords = {"a", "b"};
    r.pageUrl = kUrl;
    const QJsonObject csl = RecordToCslJson(r);
    QCOMPARE(csl.value("page").toString(), QString("3-9"));
    QCOMPARE(csl.value("author").toArray().at(1).toObject().value("literal").toString(),
             QString("王小明"));
    QCOMPARE(RecordFromCslJson(csl, "https://x.example/a.pdf").pdfUrl,
             QString("https://x.example/a.pdf"));
    QCOMPARE(RecordFromCslJson(csl), r);
}

QTEST_GUILESS_MAIN(tst_CitationReader)
#include "tst_citationreader.moc"
