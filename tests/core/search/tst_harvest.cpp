#include "search/harvest.h"
#include "search/resultlist.h"
#include "search/staticdom.h"

#include <QSignalSpy>
#include <QTest>

using namespace harvly;

// Rows as "title|link|file type|TYPE|save path|tag".
static QStringList rows(const ResultListModel &list)
{
    QStringList out;
    for (int i = 0; i < list.size(); ++i) {
        const ResultRow &r = list.at(i);
        out << QStringList{r.title, r.key, r.fileType, r.type, r.savePath, r.tag}.join('|');
    }
    return out;
}

class tst_Harvest : public QObject
{
    Q_OBJECT

private slots:
    void currentPage_data();
    void currentPage();
    void layoutCounts_data();
    void layoutCounts();
    void sameListTwiceAddsNothing();
    void nextPageLink_data();
    void nextPageLink();
    void charactersCheckOnlyWhenAsked();
};

namespace {
const char *const kPage = "http://h/results";
}

void tst_Harvest::currentPage_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<bool>("withHtm");
    QTest::addColumn<QStringList>("expected");

    const QString tag = "|/save/|" + QString(kPage);
    QTest::newRow("content area: title and pdf")
        << "<div class='contentArea'><a class='previewTitle resultTitle topicsResult' href='/d/1'>"
           " T1 </a><a class='formats_base_sprite format_pdf' "
           "href='/p/1?a=1&amp;amp;b=2'>PDF</a></div>"
        << false << QStringList{"T1|http://h/p/1?a=1&b=2|pdf|SPC" + tag};
    QTest::newRow("content area class compared in lower case, not trimmed")
        << "<div class='CONTENTAREA'><a class='resultTitle' href='#'>A</a><a "
           "class='formats_base_sprite "
           "format_pdf' href='/a.pdf'>x</a></div><div class=' contentArea'><a "
           "class='resultTitle'>B</a>"
           "<a class='formats_base_sprite format_pdf' href='/b.pdf'>x</a></div>"
        << false << QStringList{"A|http://h/a.pdf|pdf|SPC" + tag};
    QTest::newRow("anchor class trimmed and lower-cased; decoys ignored")
        << "<div class='contentarea'><a class=' ResultTitle ' href='#'>Real</a>"
           "<a class='resultTitle decoy'>Decoy</a><a class='formats_base_sprite format_pdf_x' "
           "href='/decoy.pdf'>x</a><a class='AddFlashPageParameterFormat_FullTextPDF "
           "formats_base_sprite "
           "format_pdf' href='/real.pdf'>x</a></div>"
        << false << QStringList{"Real|http://h/real.pdf|pdf|SPC" + tag};
    const QString pdfThenHtm =
        "<div class='contentArea'><a class='previewTitle topicsResult'>T</a>"
        "<a class='formats_base_sprite format_pdf' href='/t.pdf'>PDF</a>"
        "<a class='addFlashPageParameterformat_fulltext formats_base_sprite format_fulltext' "
        "href='/t.htm'>Full text</a></div>";
    QTest::newRow("later htm link wins when the box is ticked")
        << pdfThenHtm << true << QStringList{"T|http://h/t.htm|htm|DT" + tag};
    QTest::newRow("without the box the pdf stays")
        << pdfThenHtm << false << QStringList{"T|http://h/t.pdf|pdf|SPC" + tag};
    QTest::newRow("title without pdf link is no row")
        << "<div class='contentArea'><a class='resultTitle'>T</a><a "
           "class='addFlashPageParameterformat_"
           "fulltext formats_base_sprite format_fulltext' href='/t.htm'>x</a></div>"
        << false << QStringList{};
    QTest::newRow("layout 2 pairs title and link across divisions")
        << "<div class='item_tit'><a href='/d/9'>Nine</a></div><div>author</div><div>abstract</div>"
           "<div class='ITEM_TEXT2'><a href='/d/9'>查看摘要</a><a "
           "href='/p/9.pdf?x=1&amp;amp;y'>查看PDF全文</a></div>"
        << false << QStringList{"Nine|http://h/p/9.pdf?x=1&amp;y|pdf|DT" + tag};
    QTest::newRow("layout 2 needs exactly one title anchor and two link anchors")
        << "<div class='item_tit'><a>One</a><a>Two</a></div>"
           "<div class='item_text2'><a href='/p/1.pdf'>查看PDF全文</a></div>"
        << false << QStringList{};
    QTest::newRow("layout 3 pdf record")
        << "<div class='item'><a class='previewTitle topicsResult' href='/d/3'>Three</a>"
           "<a href='/d/3?a=1&amp;amp;b'> Full text - PDF </a></div>"
        << false << QStringList{"Three|http://h/d/3?a=1&b|pdf|PQ1" + tag};
    QTest::newRow("layout 3 class is exact: Item is no record")
        << "<div class='Item'><a class='previewTitle topicsResult'>X</a><a href='/x'>Full text - "
           "PDF</a></div>"
           "<div class='item'><a class='previewTitle topicsResult'>Y</a><a href='/y'>FULL TEXT - "
           "PDF</a></div>"
        << false << QStringList{"Y|http://h/y|pdf|PQ1" + tag};
    QTest::newRow("layout 3 html record only with the box")
        << "<div class='item'><a class='previewTitle topicsResult'>H</a><a href='/h'>Full "
           "text</a></div>"
        << true << QStringList{"H|http://h/h|htm|PQ1" + tag};
    QTest::newRow("layout 3 html record without the box blocks the fallback")
        << "<div class='item'><a class='previewTitle topicsResult'>H</a><a href='/h'>Full "
           "text</a></div>"
           "<a id='downloadPDFLink' href='/single.pdf'>Download PDF</a>"
           "<div class='docViewContentHeader'><h1>Single</h1></div>"
        << false << QStringList{};
    QTest::newRow("layout 3 walk stops once both are set")
        << "<div class='item'><a href='/first'>Full text - PDF</a><a class='previewTitle "
           "topicsResult'>T</a><a href='/second'>Full text - PDF</a></div>"
        << false << QStringList{"T|http://h/first|pdf|PQ1" + tag};
    QTest::newRow("single document fallback")
        << "<h1>other</h1><div class='docViewContentHeader x'><h1> The Title "
           "</h1><h1>second</h1></div>"
           "<a id='downloadPDFLink' href='/pdf/1.pdf?a=1&amp;amp;b=2'>Download PDF</a>"
        << false << QStringList{"The Title|http://h/pdf/1.pdf?a=1&b=2|pdf|SS" + tag};
    QTest::newRow("single document without a title adds nothing")
        << "<a id='downloadPDFLink' href='/pdf/1.pdf'>Download PDF</a>" << false << QStringList{};
    QTest::newRow("duplicates within a page are skipped")
        << "<div class='contentArea'><a class='resultTitle'>A</a><a class='formats_base_sprite "
           "format_pdf' href='/same.pdf'>x</a></div><div class='contentArea'><a "
           "class='resultTitle'>B"
           "</a><a class='formats_base_sprite format_pdf' href='/same.pdf'>x</a></div>"
        << false << QStringList{"A|http://h/same.pdf|pdf|SPC" + tag};
    QTest::newRow("first recognised layout wins")
        << "<div class='contentArea'><a class='resultTitle'>A</a><a class='formats_base_sprite "
           "format_pdf' href='/a.pdf'>x</a></div><div class='item'><a class='previewTitle "
           "topicsResult'>B</a><a href='/b'>Full text - PDF</a></div>"
        << false << QStringList{"A|http://h/a.pdf|pdf|SPC" + tag};
}

void tst_Harvest::currentPage()
{
    QFETCH(QString, html);
    QFETCH(bool, withHtm);
    QFETCH(QStringList, expected);
    ResultListModel list;
    HarvestOptions o;
    o.savePath = "/save/";
    o.withHtm = withHtm;
    HarvestCurrentPage(ParseHtmlDocument(html, kPage), list, o);
    QCOMPARE(rows(list), expected);
}

void tst_Harvest::layoutCounts_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("added");
    QTest::newRow("duplicate records still count")
        << "<div class='contentArea'><a class='resultTitle'>A</a><a class='formats_base_sprite "
           "format_pdf' href='/s'>x</a></div><div class='contentArea'><a "
           "class='resultTitle'>B</a><a "
           "class='formats_base_sprite format_pdf' href='/s'>x</a></div>"
        << 1 << 2 << 1;
    QTest::newRow("html item counted, not added")
        << "<div class='item'><a class='previewTitle topicsResult'>H</a><a href='/h'>Full "
           "text</a></div>"
        << 3 << 1 << 0;
    QTest::newRow("layout 2 count")
        << "<div class='item_tit'><a>A</a></div><div class='item_text2'>"
           "<a>x</a><a href='/a'>查看pdf全文</a></div>"
        << 2 << 1 << 1;
}

void tst_Harvest::layoutCounts()
{
    QFETCH(QString, html);
    QFETCH(int, layout);
    QFETCH(int, count);
    QFETCH(int, added);
    ResultListModel list;
    const DomDocument doc = ParseHtmlDocument(html, kPage);
    const int got = layout == 1   ? HarvestContentAreaPage(doc, list, {})
                    : layout == 2 ? HarvestItemTitlePage(doc, list, {})
                                  : HarvestItemPage(doc, list, {});
    QCOMPARE(got, count);
    QCOMPARE(list.size(), added);
}

void tst_Harvest::sameListTwiceAddsNothing()
{
    const DomDocument doc = ParseHtmlDocument(
        "<div class='contentArea'><a class='resultTitle'>A</a><a class='formats_base_sprite "
        "format_pdf' href='/a.pdf'>x</a></div>",
        kPage);
    ResultListModel list;
    QSignalSpy counts(&list, &ResultListModel::countChanged);
    HarvestCurrentPage(doc, list, {});
    HarvestCurrentPage(doc, list, {});
    QCOMPARE(list.size(), 1);
    QCOMPARE(counts.size(), 1);
    QVERIFY(!list.AddToLV1("other title", "http://h/a.pdf", "", "pdf", "", "SPC"));
    QCOMPARE(list.at(0).title, QString("A")); // the old row is untouched
}

void tst_Harvest::nextPageLink_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("href");
    QTest::newRow("next page text in any case")
        << "<a href='/1'>Prev</a><a href='/2'> NEXT Page »</a>"
        << "http://h/2";
    QTest::newRow("chinese arrow with its class")
        << "<a class='Arrows_Base_Sprite arrow_next' href='/3'> 下一页 </a>"
        << "http://h/3";
    QTest::newRow("chinese arrow without the class is not it") << "<a href='/3'>下一页</a>"
                                                               << "";
    QTest::newRow("text must begin with next") << "<a href='/4'>go next</a>"
                                               << "";
    QTest::newRow("first of several") << "<a href='/5'>Next</a><a href='/6'>Next page</a>"
                                      << "http://h/5";
    QTest::newRow("anchors without href are no links") << "<a>Next</a>"
                                                       << "";
}

void tst_Harvest::nextPageLink()
{
    QFETCH(QString, html);
    QFETCH(QString, href);
    const DomDocument doc = ParseHtmlDocument(html, kPage);
    const DomNode *next = FindNextPageLink(doc);
    QCOMPARE(next ? next->href : QString(), href);
}

void tst_Harvest::charactersCheckOnlyWhenAsked()
{
    const DomDocument doc =
        ParseHtmlDocument("<h2>" + kCharactersCheckText + "</h2><form></form>", kPage);
    ResultListModel list;
    HarvestCurrentPage(doc, list, {}); // no bulk run: nothing to tell
    int told = 0;
    HarvestOptions o;
    o.onCharactersCheck = [&told] { ++told; };
    HarvestCurrentPage(doc, list, o);
    QCOMPARE(told, 1);
    HarvestCurrentPage(ParseHtmlDocument("<p>nothing</p>", kPage), list, o);
    QCOMPARE(told, 1);
    QCOMPARE(list.size(), 0);
}

QTEST_GUILESS_MAIN(tst_Harvest)
#include "tst_harvest.moc"
