#include "common/filenames.h"

#include <QTest>

using namespace harvly;

class tst_FileNames : public QObject
{
    Q_OBJECT

private slots:
    void makeValidFileName_data();
    void makeValidFileName();
    void byteLimitNeverSplitsACharacter_data();
    void byteLimitNeverSplitsACharacter();
    void splitFileName_data();
    void splitFileName();
    void splitFilePath_data();
    void splitFilePath();
    void getFileNameFromPath_data();
    void getFileNameFromPath();
    void splitBracketNumber_data();
    void splitBracketNumber();
    void removeLineBreaks();
    void randomStringUsesOnlyLettersAndDigits();
};

void tst_FileNames::makeValidFileName_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("forbidden characters and outer dots go") << false << "..a:b?.."
                                                            << "ab";
    QTest::newRow("every forbidden character") << false << "a\\b/c:d*e?f\"g<h>i|j"
                                               << "abcdefghij";
    QTest::newRow("line breaks and NUL go") << false << QString("a\r\nb\nc\rd") + QChar(0) + "e"
                                            << "abcde";
    QTest::newRow("inner dots stay") << false << ".a.b.c."
                                     << "a.b.c";
    QTest::newRow("English trims spaces") << false << "  title  "
                                          << "title";
    QTest::newRow("Chinese keeps spaces") << true << "  title  "
                                          << "  title  ";
    QTest::newRow("only dots: never empty") << false << "...."
                                            << "untitled";
    QTest::newRow("only forbidden characters: never empty") << false << "?*:"
                                                            << "untitled";
    QTest::newRow("only spaces: never empty") << false << "   "
                                              << "untitled";
    QTest::newRow("only dots, Chinese build: never empty") << true << "."
                                                           << "untitled";
    QTest::newRow("empty stays empty") << false << ""
                                       << "";
    QTest::newRow("CJK title kept") << true << "文献:综述?"
                                    << "文献综述";
}

void tst_FileNames::makeValidFileName()
{
    QFETCH(bool, chinese);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const Build build = chinese ? Build::chinese() : Build::english();
    QCOMPARE(MakeValidFileName(text, build), expected);
}

void tst_FileNames::byteLimitNeverSplitsACharacter_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expectedBytes");

    // 250 / 200 bytes: three-byte characters stop at the last whole one.
    QTest::newRow("CJK, English build") << false << QString(300, QChar(0x4E2D)) << 249;
    QTest::newRow("CJK, Chinese build") << true << QString(300, QChar(0x4E2D)) << 198;
    QTest::newRow("ASCII, English build") << false << QString(300, 'x') << 250;
    QTest::newRow("ASCII, Chinese build") << true << QString(300, 'x') << 200;
    QString emoji;
    for (int i = 0; i < 100; ++i) {
        emoji += QString::fromUcs4(U"\U0001F4D8");
    }
    QTest::newRow("four-byte characters") << false << "a" + emoji << 249;
}

void tst_FileNames::byteLimitNeverSplitsACharacter()
{
    QFETCH(bool, chinese);
    QFETCH(QString, text);
    QFETCH(int, expectedBytes);
    const Build build = chinese ? Build::chinese() : Build::english();
    const QString name = MakeValidFileName(text, build);
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(utf8.size(), expectedBytes);
    QCOMPARE(QString::fromUtf8(utf8), name); // round-trips: no half character
    QVERIFY(text.startsWith(name));
}

void tst_FileNames::splitFileName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");

    QTest::newRow("seven-character extension is none") << "/x/archive.backup1"
                                                       << "archive.backup1"
                                                       << "";
    QTest::newRow("six-character extension") << "/x/archive.backup"
                                             << "archive"
                                             << "backup";
    QTest::newRow("last dot splits") << "/x/a.b.pdf"
                                     << "a.b"
                                     << "pdf";
    QTest::newRow("no dot") << "/x/readme"
                            << "readme"
                            << "";
    QTest::newRow("trimmed parts") << "  /x/a .pdf "
                                   << "a"
                                   << "pdf";
    QTest::newRow("no folder") << "paper.pdf"
                               << "paper"
                               << "pdf";
}

void tst_FileNames::splitFileName()
{
    QFETCH(QString, path);
    QFETCH(QString, base);
    QFETCH(QString, extension);
    QString gotBase;
    QCOMPARE(SplitFileName(path, &gotBase), extension);
    QCOMPARE(gotBase, base);
}

void tst_FileNames::splitFilePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("extension");

    QTest::newRow("folder keeps its separator") << "/a/b/c.pdf"
                                                << "/a/b/"
                                                << "c"
                                                << "pdf";
    QTest::newRow("long extension stays in the base") << "/a/c.longext"
                                                      << "/a/"
                                                      << "c.longext"
                                                      << "";
    QTest::newRow("dot file: whole rest is the base") << "/a/.pdf"
                                                      << "/a/"
                                                      << ".pdf"
                                                      << "";
    QTest::newRow("no folder") << "c.txt"
                               << ""
                               << "c"
                               << "txt";
}

void tst_FileNames::splitFilePath()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, base);
    QFETCH(QString, extension);
    QString gotExt;
    QString gotBase;
    QCOMPARE(SplitFilePath(path, &gotExt, &gotBase), folder);
    QCOMPARE(gotBase, base);
    QCOMPARE(gotExt, extension);
}

void tst_FileNames::getFileNameFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("withoutExtension");
    QTest::addColumn<QString>("expected");

    QTest::newRow("address") << "https://h/docview/123/fulltextPDF/ab.pdf" << false << "ab.pdf";
    QTest::newRow("address without extension") << "https://h/x/ab.pdf" << true << "ab";
    QTest::newRow("backslash path") << "C:\\a\\b.doc" << false << "b.doc";
    QTest::newRow("no dot, without extension") << "/a/readme" << true << "readme";
    QTest::newRow("trailing slash") << "https://h/dir/" << false << "";
}

void tst_FileNames::getFileNameFromPath()
{
    QFETCH(QString, path);
    QFETCH(bool, withoutExtension);
    QFETCH(QString, expected);
    QCOMPARE(GetFileNameFromPath(path, withoutExtension), expected);
}

void tst_FileNames::splitBracketNumber_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("number");

    QTest::newRow("number in brackets") << "notes[12]"
                                        << "notes"
                                        << "12";
    QTest::newRow("brackets alone keep the name") << "[12]"
                                                  << "[12]"
                                                  << "";
    QTest::newRow("spaces inside are trimmed") << "notes[ 7 ]"
                                               << "notes"
                                               << "7";
    QTest::newRow("not a number") << "notes[ab]"
                                  << "notes[ab]"
                                  << "";
    QTest::newRow("empty brackets") << "notes[]"
                                    << "notes[]"
                                    << "";
    QTest::newRow("no closing bracket at the end") << "notes[1]x"
                                                   << "notes[1]x"
                                                   << "";
    QTest::newRow("infinity is no counter") << "notes[inf]"
                                            << "notes[inf]"
                                            << "";
    QTest::newRow("nan is no counter") << "notes[nan]"
                                       << "notes[nan]"
                                       << "";
    QTest::newRow("a sign is no counter") << "notes[-3]"
                                          << "notes[-3]"
                                          << "";
    QTest::newRow("an exponent is no counter") << "notes[1e3]"
                                               << "notes[1e3]"
                                               << "";
    QTest::newRow("last bracket counts") << "a[1][0002]"
                                         << "a[1]"
                                         << "0002";
}

void tst_FileNames::splitBracketNumber()
{
    QFETCH(QString, name);
    QFETCH(QString, base);
    QFETCH(QString, number);
    QString gotBase;
    QCOMPARE(SplitBracketNumber(name, &gotBase), number);
    QCOMPARE(gotBase, base);
}

void tst_FileNames::removeLineBreaks()
{
    QCOMPARE(RemoveLineBreaks(QString("a\r\nb\rc\nd") + QChar(0) + "e"), QString("abcde"));
}

void tst_FileNames::randomStringUsesOnlyLettersAndDigits()
{
    const QString s = GetRandomString(500);
    QCOMPARE(s.size(), 500);
    for (const QChar c : s) {
        QVERIFY2(c.isLetterOrNumber() && c.unicode() < 128, qPrintable(QString(c)));
    }
    QVERIFY(GetRandomString(0).isEmpty());
}

QTEST_GUILESS_MAIN(tst_FileNames)
#include "tst_filenames.moc"
