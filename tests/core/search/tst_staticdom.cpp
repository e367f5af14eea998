#include "search/snapshotjson.h"
#include "search/staticdom.h"

#include <QTest>

using namespace harvly;

class tst_StaticDom : public QObject
{
    Q_OBJECT

private slots:
    void innerText_data();
    void innerText();
    void hrefResolvedAsTheBrowserDoes_data();
    void hrefResolvedAsTheBrowserDoes();
    void queries();
    void pathsFindElementsAgain();
    void formFields();
    void snapshotJson();
};

void tst_StaticDom::innerText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("spaces collapse") << "<a id=x>  Deep \n\t learning  </a>"
                                     << "Deep learning";
    QTest::newRow("inline elements join") << "<a id=x><b>Full</b> <i>text</i>-PDF</a>"
                                          << "Full text-PDF";
    QTest::newRow("entities decoded")
        << "<a id=x>Heat &amp; health&nbsp;x</a>" << QString("Heat & health") + QChar(0xA0) + "x";
    QTest::newRow("br breaks the line") << "<div id=x>a<br>b</div>"
                                        << "a\nb";
    QTest::newRow("blocks break lines") << "<div id=x>a<div>b</div>c</div>"
                                        << "a\nb\nc";
    QTest::newRow("scripts are not text") << "<div id=x>a<script>var s=1;</script>b</div>"
                                          << "ab";
    QTest::newRow("cells are tab-separated") << "<table><tr id=x><td>a</td><td>b</td></tr></table>"
                                             << "a\tb";
    QTest::newRow("CJK kept") << "<a id=x> 查看PDF全文 </a>"
                              << "查看PDF全文";
}

void tst_StaticDom::innerText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    const DomDocument doc = ParseHtmlDocument(html, "http://h/");
    QVERIFY(doc.elementById("x"));
    QCOMPARE(doc.elementById("x")->innerText(), text);
}

void tst_StaticDom::hrefResolvedAsTheBrowserDoes_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("href");
    QTest::newRow("relative path") << "<a id=x href='b/c.pdf'>"
                                   << "http://h/dir/b/c.pdf";
    QTest::newRow("root path") << "<a id=x href='/pdf/1.pdf'>"
                               << "http://h/pdf/1.pdf";
    QTest::newRow("escaped ampersand") << "<a id=x href='/p?a=1&amp;b=2'>"
                                       << "http://h/p?a=1&b=2";
    QTest::newRow("double escaped stays once") << "<a id=x href='/p?a=1&amp;amp;b=2'>"
                                               << "http://h/p?a=1&amp;b=2";
    QTest::newRow("absolute") << "<a id=x href=' https://o.example/x '>"
                              << "https://o.example/x";
    QTest::newRow("base element") << "<base href='http://b.example/r/'><a id=x href='y'>"
                                  << "http://b.example/r/y";
    QTest::newRow("no href attribute") << "<a id=x>t</a>"
                                       << "";
    QTest::newRow("divs have none") << "<div id=x href='/z'></div>"
                                    << "";
}

void tst_StaticDom::hrefResolvedAsTheBrowserDoes()
{
    QFETCH(QString, html);
    QFETCH(QString, href);
    const DomDocument doc = ParseHtmlDocument(html, "http://h/dir/page.html");
    QVERIFY(doc.elementById("x"));
    QCOMPARE(doc.elementById("x")->href, href);
}

void tst_StaticDom::queries()
{
    const DomDocument doc =
        ParseHtmlDocument("<div class='contentArea'><a class='resultTitle' href='/1'>One</a></div>"
                          "<DIV class='item  extra'><A href='/2'>Two</A><area href='/3'></DIV><a "
                          "name='n'>no link</a>",
                          "http://h/");
    QCOMPARE(doc.elementsByTagName("div").size(), 2);
    QCOMPARE(doc.elementsByTagName("DIV").size(), 2);
    QCOMPARE(doc.elementsByTagName("a").size(), 3);
    QCOMPARE(doc.elementsByClassName("item").size(), 1);
    QCOMPARE(doc.elementsByClassName("extra item").size(), 1);
    QCOMPARE(doc.elementsByClassName("contentarea").size(), 0); // class names are exact
    const auto links = doc.links();
    QCOMPARE(links.size(), 3);
    QCOMPARE(links[0]->href, QString("http://h/1"));
    QCOMPARE(links[2]->tag, QString("AREA"));
    const auto anchors = doc.elementsByTagName("div")[1]->elementsByTagName("a");
    QCOMPARE(anchors.size(), 1);
    QCOMPARE(anchors[0]->innerText(), QString("Two"));
    QCOMPARE(doc.elementsByTagName("html").size(), 1);
    QVERIFY(ParseHtmlDocument("", "http://h/").elementsByTagName("body").size() == 1);
}

void tst_StaticDom::pathsFindElementsAgain()
{
    const DomDocument doc =
        ParseHtmlDocument("<p>x</p><div><span></span>text<a id=t href=#>y</a></div>", "http://h/");
    const DomNode *t = doc.elementById("t");
    QVERIFY(t);
    // html > body(1) > div(1) > a(1): text nodes do not count
    QCOMPARE(t->path(), (QList<int>{1, 1, 1}));
}

void tst_StaticDom::formFields()
{
    const DomDocument doc = ParseHtmlDocument(
        "<input id=a name=username><input id=b type=PASSWORD name=password value=v>"
        "<button id=c>Go</button><textarea id=d>abc</textarea>",
        "http://h/");
    QCOMPARE(doc.elementById("a")->type, QString("text"));
    QCOMPARE(doc.elementById("a")->name, QString("username"));
    QCOMPARE(doc.elementById("b")->type, QString("password"));
    QCOMPARE(doc.elementById("b")->value, QString("v"));
    QCOMPARE(doc.elementById("c")->type, QString("submit"));
    QCOMPARE(doc.elementById("d")->value, QString("abc"));
}

void tst_StaticDom::snapshotJson()
{
    const DomDocument doc = DocumentFromSnapshot(
        R"({"url":"http://h/p","html":"<html></html>","root":{"t":"HTML","i":"","c":"","n":"",
        "y":"","v":"","h":"","k":[{"t":"BODY","i":"","c":"","n":"","y":"","v":"","h":"","k":[
        {"t":"A","i":"a","c":"x y","n":"","y":"","v":"","h":"http://h/z","x":"Shown","k":[
        {"t":"#text","d":"Shown  hidden"}]},
        {"t":"DIV","i":"d","c":"","n":"","y":"","v":"","h":"","k":[{"t":"#text","d":" a  b "}]}]}]}})");
    QCOMPARE(doc.url, QString("http://h/p"));
    QCOMPARE(doc.elementById("a")->innerText(), QString("Shown")); // the browser's word counts
    QCOMPARE(doc.elementById("d")->innerText(), QString("a b"));   // computed when not given
    QCOMPARE(doc.links().size(), 1);
    QCOMPARE(doc.elementsByClassName("y").size(), 1);
    QVERIFY(DocumentFromSnapshot("not json").isEmpty());
}

QTEST_GUILESS_MAIN(tst_StaticDom)
#include "tst_staticdom.moc"
