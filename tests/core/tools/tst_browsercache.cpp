#include "support/cachewriter.h"
#include "tools/browsercache.h"
#include "tools/cachefolders.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

#include <brotli/encode.h>
#include <zlib.h>

using namespace harvly;

namespace {

QByteArray deflated(const QByteArray &data, int windowBits)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))) + 32, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(int(z.total_out));
    deflateEnd(&z);
    return out;
}

QByteArray brotli(const QByteArray &data)
{
    size_t size = BrotliEncoderMaxCompressedSize(size_t(data.size()));
    QByteArray out(qsizetype(size), '\0');
    BrotliEncoderCompress(BROTLI_DEFAULT_QUALITY, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_GENERIC,
                          size_t(data.size()), reinterpret_cast<const uint8_t *>(data.constData()),
                          &size, reinterpret_cast<uint8_t *>(out.data()));
    out.resize(qsizetype(size));
    return out;
}

} // namespace

// The embedded browser's disk cache read without the browser: entries, bodies, damage.
class tst_BrowserCache : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void bodiesAsTheyWereSent_data();
    void bodiesAsTheyWereSent();
    void incompleteEntries_data();
    void incompleteEntries();
    void damageIsReportedNeverDeleted();
    void cacheFolderOfAProfileOrItsParts_data();
    void cacheFolderOfAProfileOrItsParts();
    void documentNames_data();
    void documentNames();
    void entryFileOfAnAddress();
    void deleteRemovesTheEntrysFiles();
    void deleteRule_data();
    void deleteRule();
    void everyUsersCacheFolders();

private:
    QString data() const { return m_dir.filePath("cache/Cache/Cache_Data"); }
    QTemporaryDir m_dir;
};

void tst_BrowserCache::init()
{
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    WriteCacheIndex(data());
}

void tst_BrowserCache::bodiesAsTheyWereSent_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("coding");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("type");
    QByteArray page = "<html><body>";
    for (int i = 0; i < 3000; ++i) {
        page += "<p>line " + QByteArray::number(i) + "</p>";
    }
    page += "</body></html>";
    const QByteArray html = "text/html; charset=utf-8";
    QTest::newRow("plain PDF: type from the headers")
        << QByteArray("%PDF-1.4 body") << QByteArray() << QByteArray("application/pdf")
        << "http://h/docview/1"
        << "pdf";
    QTest::newRow("gzip page") << deflated(page, MAX_WBITS + 16) << QByteArray("gzip") << html
                               << "http://h/a"
                               << "html";
    QTest::newRow("deflate with zlib header")
        << deflated(page, MAX_WBITS) << QByteArray("deflate") << html << "http://h/b"
        << "html";
    QTest::newRow("raw deflate") << deflated(page, -MAX_WBITS) << QByteArray("deflate") << html
                                 << "http://h/c"
                                 << "html";
    QTest::newRow("brotli") << brotli(page) << QByteArray("br") << html << "http://h/d"
                            << "html";
    QTest::newRow("no type in the headers: the address's")
        << QByteArray("x") << QByteArray() << QByteArray() << "http://h/f/report.PDF?x=1"
        << "pdf";
}

void tst_BrowserCache::bodiesAsTheyWereSent()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, coding);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, address);
    QFETCH(QString, type);
    CacheEntryWriter w;
    w.address = address;
    w.body = stored;
    w.headers.clear();
    if (!contentType.isEmpty()) {
        w.headers << "Content-Type: " + contentType;
    }
    if (!coding.isEmpty()) {
        w.headers << "Content-Encoding: " + coding;
    }
    w.writeTo(data());
    const CacheListing listing = ListCache(m_dir.filePath("cache"));
    QCOMPARE(listing.unreadable, 0);
    QCOMPARE(listing.entries.size(), 1);
    const CacheEntry &e = listing.entries.first();
    QCOMPARE(e.address, address);
    QCOMPARE(e.type, type);
    QCOMPARE(e.status, 200);
    QCOMPARE(e.bodySize, stored.size());
    QVERIFY(e.complete);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString reason;
    QVERIFY2(WriteCacheBody(e, out, &reason), qPrintable(reason));
    if (coding.isEmpty()) {
        QCOMPARE(out.data(), stored);
    } else {
        QVERIFY(out.data().startsWith("<html><body><p>line 0</p>"));
        QVERIFY(out.data().endsWith("<p>line 2999</p></body></html>"));
    }
}

void tst_BrowserCache::incompleteEntries_data()
{
    QTest::addColumn<bool>("truncated");
    QTest::addColumn<bool>("finished");
    QTest::newRow("a cut-off body") << true << true;
    QTest::newRow("an entry being written") << false << false;
}

void tst_BrowserCache::incompleteEntries()
{
    QFETCH(bool, truncated);
    QFETCH(bool, finished);
    CacheEntryWriter w;
    w.address = "http://h/big.pdf";
    w.headers = {"Content-Type: application/pdf"};
    w.body = QByteArray(5000, 'x');
    w.truncated = truncated;
    w.finished = finished;
    w.writeTo(data());
    const CacheListing listing = ListCache(data());
    QCOMPARE(listing.entries.size(), 1);
    const CacheEntry &e = listing.entries.first();
    QVERIFY(!e.complete);
    QCOMPARE(e.bodySize, 5000);
    QCOMPARE(e.type, QString("pdf")); // from the headers, or the address while they are not there
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QString reason;
    QVERIFY(!WriteCacheBody(e, out, &reason));
    QCOMPARE(reason, QString("the document is incomplete in the cache"));
}

void tst_BrowserCache::damageIsReportedNeverDeleted()
{
    CacheEntryWriter good;
    good.address = "http://h/good";
    good.body = "fine";
    good.writeTo(data());
    CacheEntryWriter other = good;
    other.address = "http://h/other-version";
    other.version = 7;
    const QString otherFile = other.writeTo(data());
    CacheEntryWriter crc = good;
    crc.address = "http://h/bad-crc";
    crc.badCrc = true;
    crc.writeTo(data());
    // Garbage, a file cut inside its header, and one whose last record points outside it.
    const QString garbage = QDir(data()).filePath("0000000000000001_0");
    QFile g(garbage);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write(QByteArray(200, 'z'));
    g.close();
    QFile cut(QDir(data()).filePath("0000000000000002_0"));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(QByteArray::fromHex("305c72a71b6dfbfc0500"));
    cut.close();
    CacheEntryWriter big = good;
    big.address = "http://h/lying-size";
    const QString lying = big.writeTo(data());
    QFile l(lying);
    QVERIFY(l.open(QIODevice::ReadWrite));
    l.seek(l.size() - 8);
    l.write(QByteArray::fromHex("ffffff00"));
    l.close();
    // Not an entry's name: not read at all.
    QFile(QDir(data()).filePath("notes.txt")).open(QIODevice::WriteOnly);

    const CacheListing listing = ListCache(data());
    QCOMPARE(listing.unreadable, 4);
    QVERIFY2(listing.firstReason.startsWith("0000000000000001_0: not a cache entry"),
             qPrintable(listing.firstReason));
    QStringList addresses;
    for (const CacheEntry &e : listing.entries) {
        addresses << e.address;
    }
    addresses.sort();
    QCOMPARE(addresses, (QStringList{"http://h/bad-crc", "http://h/good"}));
    QString reason;
    QVERIFY(!ReadCacheEntry(otherFile, &reason));
    QCOMPARE(reason, QString("cache entry version 7 (this program reads version 5)"));
    for (const CacheEntry &e : listing.entries) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QCOMPARE(WriteCacheBody(e, out, &reason), e.address == "http://h/good");
    }
    QCOMPARE(reason, QString("checksum error"));
    // Reading deleted nothing.
    QCOMPARE(QDir(data()).entryList(QDir::Files).size(), 8);
}

void tst_BrowserCache::cacheFolderOfAProfileOrItsParts_data()
{
    QTest::addColumn<QString>("given");
    QTest::newRow("the profile's cache folder") << "cache";
    QTest::newRow("the folder with Cache_Data in it") << "cache/Cache";
    QTest::newRow("Cache_Data itself") << "cache/Cache/Cache_Data";
}

void tst_BrowserCache::cacheFolderOfAProfileOrItsParts()
{
    QFETCH(QString, given);
    QCOMPARE(CacheDataFolder(m_dir.filePath(given)), data());
    QCOMPARE(CacheDataFolder(m_dir.filePath("nowhere")), QString());
    QVERIFY(ListCache(m_dir.filePath("nowhere")).folder.isEmpty());
}

void tst_BrowserCache::documentNames_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("disposition");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("name");
    QTest::newRow("the address's name") << "http://h/pdf/3.pdf?accountid=7" << QByteArray()
                                        << QByteArray("application/pdf") << "3.pdf";
    QTest::newRow("the type added")
        << "http://h/docview/3" << QByteArray() << QByteArray("application/pdf") << "3.pdf";
    QTest::newRow("the server's name")
        << "http://h/get?id=1" << QByteArray("attachment; filename=\"Paper 1.pdf\"")
        << QByteArray("application/pdf") << "Paper 1.pdf";
    QTest::newRow("the server's UTF-8 name")
        << "http://h/get?id=2"
        << QByteArray("attachment; filename=\"x.pdf\"; filename*=UTF-8''%E8%AE%BA%E6%96%87.pdf")
        << QByteArray("application/pdf") << QString::fromUtf8("论文.pdf");
    QTest::newRow("no folders from the server")
        << "http://h/get?id=3" << QByteArray("attachment; filename=\"../../etc/x.pdf\"")
        << QByteArray("application/pdf") << "x.pdf";
    QTest::newRow("an address with no name: the host")
        << "http://h.example/" << QByteArray() << QByteArray("text/html") << "h.example.html";
}

void tst_BrowserCache::documentNames()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, disposition);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, name);
    CacheEntryWriter w;
    w.address = address;
    w.headers = {"Content-Type: " + contentType};
    if (!disposition.isEmpty()) {
        w.headers << "Content-Disposition: " + disposition;
    }
    const auto e = ReadCacheEntry(w.writeTo(data()));
    QVERIFY(e);
    QCOMPARE(CacheEntryDocumentName(*e), name);
}

void tst_BrowserCache::entryFileOfAnAddress()
{
    CacheEntryWriter w;
    w.address = "http://127.0.0.1:34437/pdf/3.pdf";
    QCOMPARE(CacheEntryFileName(w.address),
             QString("7efb6947b5424618_0")); // as the engine names it
    const QString file = w.writeTo(data());
    QCOMPARE(GetCacheEntryLocalFile(m_dir.filePath("cache"), w.address), std::optional(file));
    QCOMPARE(GetCacheEntryLocalFile(m_dir.filePath("cache"), "http://elsewhere/"), std::nullopt);
}

void tst_BrowserCache::deleteRemovesTheEntrysFiles()
{
    CacheEntryWriter w;
    w.address = "http://h/a";
    const QString file = w.writeTo(data());
    const QString stem = file.chopped(2);
    QFile(stem + "_s").open(QIODevice::WriteOnly);
    QVERIFY(DeleteCacheEntry(file));
    QVERIFY(!QFile::exists(file));
    QVERIFY(!QFile::exists(stem + "_s"));
    QVERIFY(QFile::exists(QDir(data()).filePath("index")));
}

void tst_BrowserCache::deleteRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("an entry") << "http://h/a.pdf"
                              << "pdf"
                              << "/c/1_0" << true;
    QTest::newRow("a cookie's address, any case") << "http://h/setCOOKIE"
                                                  << "html"
                                                  << "/c/2_0" << false;
    QTest::newRow("a walked file") << "User:ann"
                                   << "pdf"
                                   << "/c/3_0" << true;
    QTest::newRow("a walked text file") << "User:ann"
                                        << "TXT"
                                        << "/c/notes.txt" << false;
    QTest::newRow("a walked file named Cookie goes") << "User:Cookie"
                                                     << ""
                                                     << "/c/index" << true;
    QTest::newRow("no file") << "http://h/a.pdf"
                             << "pdf"
                             << "" << false;
    QTest::newRow("no text") << ""
                             << "pdf"
                             << "/c/4_0" << false;
}

void tst_BrowserCache::deleteRule()
{
    QFETCH(QString, text);
    QFETCH(QString, type);
    QFETCH(QString, file);
    QFETCH(bool, deleted);
    QCOMPARE(MayDeleteCacheItem(text, type, file, "User:"), deleted);
}

void tst_BrowserCache::everyUsersCacheFolders()
{
    const QString homes = m_dir.filePath("home");
    const QString title = "Harvly Retrieving Download Manager";
    WriteCacheIndex(ProgramCacheFolder(title, homes + "/ann") + "/Cache/Cache_Data");
    QDir().mkpath(homes + "/bob/.local/share"); // no cache of the program
    WriteCacheIndex(ProgramCacheFolder(title, homes + "/cy") + "/Cache/Cache_Data");
    QStringList subfolders;
    const QList<UserCacheFolder> found =
        FindUserCacheFolders(title, &subfolders, {homes + "/ann", homes + "/bob", homes + "/cy"});
    QCOMPARE(found.size(), 2);
    QCOMPARE(found.at(0).user, QString("ann"));
    QCOMPARE(found.at(1).user, QString("cy"));
    QCOMPARE(found.at(0).folder, ProgramCacheFolder(title, homes + "/ann"));
    QCOMPARE(subfolders.size(), 4); // Cache and Cache_Data of each
}

QTEST_GUILESS_MAIN(tst_BrowserCache)
#include "tst_browsercache.moc"
