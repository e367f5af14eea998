#include "download/filetype.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

static QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

class tst_FileType : public QObject
{
    Q_OBJECT

private slots:
    void crafted_data();
    void crafted();
    void filesMadeByRealTools_data();
    void filesMadeByRealTools();
    void cliAgreesWithTheRoutine();

private:
    QString write(const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QString("f%1").arg(++m_count));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
        return path;
    }
    QTemporaryDir m_dir;
    int m_count = 0;
};

void tst_FileType::crafted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("type");

    const QByteArray pad(64, 'x');
    QTest::newRow("pdf whatever follows") << QByteArray("%PDF-1.7\n") + pad << "pdf";
    QTest::newRow("caj") << hex("C8000000") + pad << "caj";
    QTest::newRow("CAJ then zero is kdh") << hex("43414A00") + pad << "kdh";
    QTest::newRow("KDH blank") << QByteArray("KDH ") + pad << "kdh";
    QTest::newRow("nh") << hex("484E0000") + pad << "nh";
    QTest::newRow("tif") << hex("49492A00") + pad << "tif";
    QTest::newRow("exe by two bytes") << QByteArray("MZ") + pad << "exe";
    QTest::newRow("rar") << QByteArray("Rar!") + pad << "rar";
    QTest::newRow("zip") << hex("504B0304140000000800") + pad << "zip";
    QTest::newRow("docx") << hex("504B0304140006000800") + pad << "docx";
    QTest::newRow("zip of another version") << hex("504B03040A0000000000") + pad << "";
    QTest::newRow("swf") << hex("43575306") + pad << "swf";
    QTest::newRow("rm") << QByteArray(".RMF") + pad << "rm";
    QTest::newRow("wma") << hex("3026B2758E") + pad << "wma";
    QTest::newRow("mp3 with ID3v2.3") << hex("49443303") + pad << "mp3";
    QTest::newRow("png") << hex("89504E470D0A1A0A") + pad << "png";
    QTest::newRow("gif87a") << QByteArray("GIF87a") + pad << "gif";
    QTest::newRow("gif89a") << QByteArray("GIF89a") + pad << "gif";
    QTest::newRow("jpeg exif, Motorola order") << hex("FFD8FFE1001845786966000"
                                                      "04D4D002A") +
                                                      pad
                                               << "jpg";
    QTest::newRow("jpeg exif, Intel order is not recognised")
        << hex("FFD8FFE100184578696600004949002A") + pad << "";
    QTest::newRow("jpeg jfif") << hex("FFD8FFE000104A464946") + pad << "jpg";

    QByteArray ole = hex("D0CF11E0A1B11AE1") + QByteArray(504, '\0');
    QTest::newRow("ole word") << ole + hex("ECA5C100") + pad << "doc";
    QTest::newRow("ole excel") << ole + hex("09081000") + pad << "xls";
    QTest::newRow("ole powerpoint by its 516th byte") << ole + hex("000000F0") + pad << "ppt";
    QTest::newRow("ole with no marker goes on to the page test")
        << ole + QByteArray("xxxx<html><title>t</title>") + pad << "htm";
    QTest::newRow("ole shorter than its markers") << ole.left(100) << "";

    QTest::newRow("short file ends identification") << QByteArray("hello") << "";
    QTest::newRow("empty file") << QByteArray() << "";
    QTest::newRow("html page") << QByteArray("<!DOCTYPE html><html lang=en><head><title>Log in") +
                                      pad
                               << "htm";
    QTest::newRow("upper-case HTML tag with body")
        << QByteArray("<HTML><BODY>refused</BODY></HTML>") + pad << "htm";
    QTest::newRow("title without an html tag")
        << QByteArray("<title>not a page</title>") + pad << "";
    QByteArray tagged(200, 'q');
    tagged.replace(72, 3, "TAG");
    QTest::newRow("ID3v1 tail") << tagged << "mp3";
    QByteArray link =
        "[TARGET]\r\nA1=x\r\nA2=x\r\nB1=x\r\nB2=x\r\nC1=x\r\nC2=x\r\nD1=x\r\nD2=x\r\ndoctype=x\r\n";
    QTest::newRow("link file under 3 KB") << link + QByteArray(1900, ' ') << "caa";
    QTest::newRow("link file of 4 KB is not one") << link + QByteArray(4000, ' ') << "";
    QTest::newRow("link file missing a marker") << QByteArray(link).replace("D2=", "D3=") << "";
}

void tst_FileType::crafted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, type);
    QCOMPARE(OpenFileToAnalyzingFileType(write(bytes)), type);
}

void tst_FileType::filesMadeByRealTools_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");
    QTest::newRow("ImageMagick png") << "sample.png"
                                     << "png";
    QTest::newRow("ImageMagick gif") << "sample.gif"
                                     << "gif";
    QTest::newRow("ImageMagick jpeg") << "sample.jpg"
                                      << "jpg";
    QTest::newRow("Info-ZIP archive") << "sample.zip"
                                      << "zip";
    // LibreOffice writes its OLE streams in another order than Office, so the markers at 512
    // are not there, and its docx archives start with other flags: neither is recognised.
    QTest::newRow("LibreOffice doc") << "sample.doc"
                                     << "";
    QTest::newRow("LibreOffice xls") << "sheet.xls"
                                     << "";
    QTest::newRow("LibreOffice docx") << "sample.docx"
                                      << "";
}

void tst_FileType::filesMadeByRealTools()
{
    QFETCH(QString, file);
    QFETCH(QString, type);
    QCOMPARE(OpenFileToAnalyzingFileType(QStringLiteral(HARVLY_TEST_DATA "/") + file), type);
}

void tst_FileType::cliAgreesWithTheRoutine()
{
    QStringList files;
    QByteArray expected;
    for (const char *f : {"sample.png", "sample.doc", "sample.zip"}) {
        files << QStringLiteral(HARVLY_TEST_DATA "/") + QLatin1String(f);
    }
    files << write("%PDF-1.4") << write("<html><head></head></html>") << m_dir.filePath("missing");
    for (const QString &f : files) {
        expected += (OpenFileToAnalyzingFileType(f) + '\t' + f + '\n').toUtf8();
    }
    QProcess cli;
    cli.start(QStringLiteral(HARVLY_CLI), QStringList{"identify"} + files);
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(cli.readAllStandardOutput(), expected);
    QVERIFY(expected.contains("\t" + m_dir.filePath("missing").toUtf8()));
}

QTEST_GUILESS_MAIN(tst_FileType)
#include "tst_filetype.moc"
