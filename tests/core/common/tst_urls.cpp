#include "common/urls.h"

#include <QTest>

using namespace harvly;

class tst_Urls : public QObject
{
    Q_OBJECT

private slots:
    void urlRoot_data();
    void urlRoot();
    void contentTypeEnglish_data();
    void contentTypeEnglish();
    void contentTypeChinese_data();
    void contentTypeChinese();
    void fileNameFromUrl_data();
    void fileNameFromUrl();
};

void tst_Urls::urlRoot_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("root");
    QTest::newRow("path cut") << "https://www.proquest.com/docview/1"
                              << "https://www.proquest.com";
    QTest::newRow("port kept") << "http://127.0.0.1:8080/a"
                               << "http://127.0.0.1:8080";
    QTest::newRow("no path") << "https://h.example"
                             << "https://h.example";
    QTest::newRow("no scheme") << "host.example/a/b"
                               << "host.example";
    QTest::newRow("no scheme, slash too early") << "ab/c"
                                                << "ab/c";
}

void tst_Urls::urlRoot()
{
    QFETCH(QString, url);
    QFETCH(QString, root);
    QCOMPARE(GetUrlRoot(url), root);
}

void tst_Urls::contentTypeEnglish_data()
{
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("extension"); // output after the call, starting from "old"

    QTest::newRow("pdf sets") << "application/pdf"
                              << "pdf"
                              << "pdf";
    QTest::newRow("case and spaces") << " Application / P DF "
                                     << "pdf"
                                     << "pdf";
    QTest::newRow("octet-stream is nothing, output kept") << "application/octet-stream"
                                                          << ""
                                                          << "old";
    QTest::newRow("realmedia named, not set") << "application/vnd.rn-realmedia"
                                              << "vnd.rn-realmedia"
                                              << "old";
    QTest::newRow("plain text not set") << "text/plain"
                                        << "plain"
                                        << "old";
    QTest::newRow("html sets") << "text/html"
                               << "html"
                               << "html";
    QTest::newRow("tiff becomes tif") << "image/tiff"
                                      << "tif"
                                      << "tif";
    QTest::newRow("x-icon becomes ico") << "image/x-icon"
                                        << "ico"
                                        << "ico";
    QTest::newRow("mpeg4 becomes mp4") << "video/mpeg4"
                                       << "mp4"
                                       << "mp4";
    QTest::newRow("quicktime not set") << "video/quicktime"
                                       << "quicktime"
                                       << "old";
    QTest::newRow("midi becomes mid") << "audio/midi"
                                      << "mid"
                                      << "mid";
    QTest::newRow("unknown subtype: whole type") << "image/webp"
                                                 << "image/webp"
                                                 << "old";
    QTest::newRow("star: the type") << "image/*"
                                    << "image"
                                    << "old";
    QTest::newRow("empty subtype: the type") << "text/"
                                             << "text"
                                             << "old";
    QTest::newRow("unlisted type: whole type") << "font/woff"
                                               << "font/woff"
                                               << "old";
    QTest::newRow("parameters make it unknown") << "text/html; charset=utf-8"
                                                << "text/html; charset=utf-8"
                                                << "old";
    QTest::newRow("no slash: unchanged") << "pdf"
                                         << "pdf"
                                         << "old";
    QTest::newRow("two slashes: unchanged") << "a/b/c"
                                            << "a/b/c"
                                            << "old";
}

void tst_Urls::contentTypeEnglish()
{
    QFETCH(QString, contentType);
    QFETCH(QString, result);
    QFETCH(QString, extension);
    QString ext = "old";
    QCOMPARE(ContentTypeToExtension(contentType, &ext, Build::english()), result);
    QCOMPARE(ext, extension);
}

void tst_Urls::contentTypeChinese_data()
{
    QTest::addColumn<QString>("contentType");
    QTest::addColumn<QString>("result");

    QTest::newRow("pdf") << "application/pdf"
                         << "pdf";
    QTest::newRow("charset parameter cut") << "text/html; charset=gbk"
                                           << "html";
    QTest::newRow("plain is txt") << "text/plain"
                                  << "txt";
    QTest::newRow("word") << "application/msword"
                          << "doc";
    QTest::newRow("docx long name")
        << "application/vnd.openxmlformats-officedocument.wordprocessingml.document"
        << "docx";
    QTest::newRow("excel") << "application/x-excel"
                           << "xls";
    QTest::newRow("zip") << "application/x-zip-compressed"
                         << "zip";
    QTest::newRow("quicktime is mov") << "video/quicktime"
                                      << "mov";
    QTest::newRow("wmv") << "video/x-ms-wmv"
                         << "wmv";
    QTest::newRow("mpegurl is mpeg") << "audio/x-mpegurl"
                                     << "mpeg";
    QTest::newRow("mail message") << "message/rfc822"
                                  << "mht";
    QTest::newRow("octet-stream is nothing") << "application/octet-stream"
                                             << "";
    QTest::newRow("unknown subtype cut at its first non-letter") << "application/vnd.foo"
                                                                 << "vnd";
    QTest::newRow("unlisted type gives its subtype") << "font/woff2"
                                                     << "woff";
    QTest::newRow("too long becomes nothing") << "application/postscript"
                                              << "";
    QTest::newRow("star is nothing") << "image/*"
                                     << "";
    QTest::newRow("no slash: first part") << " PDF "
                                          << "pdf";
}

void tst_Urls::contentTypeChinese()
{
    QFETCH(QString, contentType);
    QFETCH(QString, result);
    QString ext = "old";
    QCOMPARE(ContentTypeToExtension(contentType, &ext, Build::chinese()), result);
    QCOMPARE(ext, QString("old"));
}

void tst_Urls::fileNameFromUrl_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("extension");

    QTest::newRow("plain file") << "https://h/a/b/paper.pdf"
                                << "paper.pdf"
                                << "pdf";
    QTest::newRow("query cut for the extension") << "https://h/get/file.pdf?id=3"
                                                 << "file.pdf?id=3"
                                                 << "pdf";
    QTest::newRow("fragment cut") << "https://h/a/doc.html#top"
                                  << "doc.html"
                                  << "html";
    QTest::newRow("query with dotted value") << "https://h/dl?name=a.pdf"
                                             << "dl?name=a.pdf"
                                             << "";
    QTest::newRow("long extension is none") << "https://h/a/file.archive"
                                            << "file.archive"
                                            << "";
    QTest::newRow("no dot") << "https://h/a/file"
                            << "file"
                            << "";
    QTest::newRow("nested address: the name found in the original runs to its end")
        << "https://cache/https://h/a/x.pdf"
        << "https://cache/https://h/a/x.pdf"
        << "";
    QTest::newRow("nested address with a matching part") << "ms-cache://h/a/b.pdf?x=http://o/"
                                                         << "b.pdf?x=http://o/"
                                                         << "pdf";
}

void tst_Urls::fileNameFromUrl()
{
    QFETCH(QString, url);
    QFETCH(QString, fileName);
    QFETCH(QString, extension);
    QString name;
    QCOMPARE(GetFileNameFromUrl(url, &name), extension);
    QCOMPARE(name, fileName);
}

QTEST_GUILESS_MAIN(tst_Urls)
#include "tst_urls.moc"
