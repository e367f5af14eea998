#include "search/pagemarkers.h"

#include <QTest>

using namespace harvly;

class tst_PageMarkers : public QObject
{
    Q_OBJECT

private slots:
    void embedded_data();
    void embedded();
    void downloadPdf_data();
    void downloadPdf();
    void document_data();
    void document();
};

void tst_PageMarkers::embedded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("links");
    QTest::newRow("first marker") << "<iframe id=\"EmbedFile\" src=\"http://h/a.pdf?x=1&amp;y=2\">"
                                  << QStringList{"http://h/a.pdf?x=1&y=2"};
    QTest::newRow("marker in any case")
        << "<iframe ID=\"embedfile\" SRC=\"http://h/a.pdf\">" << QStringList{"http://h/a.pdf"};
    QTest::newRow("second marker alone, trimmed")
        << "<embed id=\"embedded-pdf\" src=\" http://h/b.pdf \">" << QStringList{"http://h/b.pdf"};
    QTest::newRow("after a found first link, the second is looked for in that link")
        << "<iframe id=\"EmbedFile\" src=\"http://h/a.pdf\"><embed id=\"embedded-pdf\" "
           "src=\"http://h/b.pdf\">"
        << QStringList{"http://h/a.pdf"};
    QTest::newRow("first marker never closes: the rest is searched, nothing found")
        << "<p>id=\"EmbedFile\" src=\"http://h/broken" << QStringList{};
    QTest::newRow("nothing") << "<p>no viewer here</p>" << QStringList{};
    QTest::newRow("empty page") << "" << QStringList{};
}

void tst_PageMarkers::embedded()
{
    QFETCH(QString, text);
    QFETCH(QStringList, links);
    QCOMPARE(FindEmbeddedPdfLinks(text), links);
}

void tst_PageMarkers::downloadPdf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("link");
    QTest::newRow("attributes after the address")
        << "<a href=\"http://h/d.pdf?a=1&amp;b=2\" class=\"x\">Download PDF</a>"
        << "http://h/d.pdf?a=1&b=2";
    QTest::newRow("address alone is taken whole") << "<a href=\"https://h/d.pdf\">Download PDF</a>"
                                                  << "https://h/d.pdf";
    QTest::newRow("last href before the text counts")
        << "<a href=\"http://h/other\">x</a> <a class=y href=\"http://h/right.pdf\">download "
           "pdf</A>"
        << "http://h/right.pdf";
    QTest::newRow("relative address fails") << "<a href=\"/pdf/1.pdf\" class=x>Download PDF</a>"
                                            << "";
    QTest::newRow("no anchor text") << "<a href=\"http://h/a.pdf\">PDF</a>"
                                    << "";
    QTest::newRow("no href") << "<a>Download PDF</a>"
                             << "";
}

void tst_PageMarkers::downloadPdf()
{
    QFETCH(QString, text);
    QFETCH(QString, link);
    QCOMPARE(FindDownloadPdfLink(text), link);
}

void tst_PageMarkers::document_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("title");
    const QString wrapper = "<div class=\"citationTextWrapper\"><h1> A Title </h1></div>";
    QTest::newRow("link and title") << "<a data-file=\"ProQuestDocument.pdf\" class=\"alt\" "
                                       "href=\"http://h/d.pdf?a&amp;b\" x>" +
                                           wrapper
                                    << "http://h/d.pdf?a&b"
                                    << "A Title";
    QTest::newRow("address ending its tag stops at the tag end")
        << "<a data-file=\"ProQuestDocument.pdf\" class=\"alt\" href=\"http://h/d.pdf\">" + wrapper
        << "http://h/d.pdf"
        << "A Title";
    QTest::newRow("address that never ends: no link")
        << "<a data-file=\"ProQuestDocument.pdf\" class=\"alt\" href=\"http://h/d.pdf"
        << ""
        << "";
    QTest::newRow("relative: no link") << "<a data-file=\"ProQuestDocument.pdf\" class=\"alt\" "
                                          "href=\"/d.pdf\" x>" +
                                              wrapper
                                       << ""
                                       << "";
    QTest::newRow("the title as the reader sees it: entities decoded, markup dropped")
        << "<a data-file=\"ProQuestDocument.pdf\" class=\"alt\" href=\"http://h/d.pdf\" x>"
           "<div class=\"citationTextWrapper\"><h1>Heat &amp; <i>health</i>\n  in   cities</h1>"
        << "http://h/d.pdf"
        << "Heat & health in cities";
    QTest::newRow("no title: nothing") << "<a data-file=\"ProQuestDocument.pdf\" class=\"alt\" "
                                          "href=\"http://h/d.pdf\" x>"
                                       << ""
                                       << "";
}

void tst_PageMarkers::document()
{
    QFETCH(QString, text);
    QFETCH(QString, link);
    QFETCH(QString, title);
    const DocumentLink d = FindDocumentLink(text);
    QCOMPARE(d.link, link);
    QCOMPARE(d.title, title);
}

QTEST_GUILESS_MAIN(tst_PageMarkers)
#include "tst_pagemarkers.moc"
