#include "common/filenames.h"
#include "common/files.h"
#include "download/correction.h"
#include "download/downloadlist.h"
#include "download/savenames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_SaveNames : public QObject
{
    Q_OBJECT

private slots:
    void renameSavePath_data();
    void renameSavePath();
    void namesAlwaysFit_data();
    void namesAlwaysFit();
    void modesByCaption_data();
    void modesByCaption();
    void correction_data();
    void correction();
    void baseHref_data();
    void baseHref();

private:
    void touch(const QString &path, const QByteArray &content = "x")
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

void tst_SaveNames::renameSavePath_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected"); // file name; the new base name is it without ".type"

    const int rename = int(DuplicateMode::Rename);
    QTest::newRow("free name kept, brackets too") << QStringList{} << "A [new] note"
                                                  << "pdf" << rename << "A [new] note.pdf";
    QTest::newRow("cover returns the plain path")
        << QStringList{"A [x].pdf"} << "A [x]"
        << "pdf" << int(DuplicateMode::Cover) << "A [x].pdf";
    QTest::newRow("second paper") << QStringList{"Paper.pdf"} << "Paper"
                                  << "pdf" << rename << "Paper[001].pdf";
    QTest::newRow("third paper") << QStringList{"Paper.pdf", "Paper[001].pdf"} << "Paper"
                                 << "pdf" << rename << "Paper[002].pdf";
    QTest::newRow("counter starts from the bracket") << QStringList{"Paper[12].pdf"} << "Paper[12]"
                                                     << "pdf" << rename << "Paper[012].pdf";
    QTest::newRow("bracketed seven") << QStringList{"Paper[7].pdf"} << "Paper[7]"
                                     << "pdf" << rename << "Paper[007].pdf";
    QTest::newRow("non-numeric brackets become corner marks")
        << QStringList{"A [new] note.pdf"} << "A [new] note"
        << "pdf" << rename << "A 『new』 note.pdf";
    QTest::newRow("corner-marked name taken too")
        << QStringList{"A [new] note.pdf", "A 『new』 note.pdf"} << "A [new] note"
        << "pdf" << rename << "A 『new』 note[001].pdf";
    QTest::newRow("text after the bracket is dropped")
        << QStringList{"Report[3] final.pdf"} << "Report[3] final"
        << "pdf" << rename << "Report[003].pdf";
    QTest::newRow("a zero bracket cuts the name") << QStringList{"Doc[0].pdf"} << "Doc[0]"
                                                  << "pdf" << rename << "Doc.pdf";
    QTest::newRow("counter past 999") << QStringList{"N[999].pdf", "N.pdf"} << "N[999]"
                                      << "pdf" << rename << "N[1000].pdf";
    QTest::newRow("no type: no bare dot") << QStringList{} << "Paper"
                                          << "" << rename << "Paper";
    QTest::newRow("no type, taken: counter without a dot") << QStringList{"Paper"} << "Paper"
                                                           << "" << rename << "Paper[001]";
    QTest::newRow("inf in brackets is no counter") << QStringList{"Paper[inf].pdf"} << "Paper[inf]"
                                                   << "pdf" << rename << "Paper『inf』.pdf";
    QTest::newRow("nan in brackets is no counter")
        << QStringList{"Paper[nan].pdf", "Paper『nan』.pdf"} << "Paper[nan]"
        << "pdf" << rename << "Paper『nan』[001].pdf";
    QTest::newRow("a name being written is taken") << QStringList{"reserved:Paper.pdf"} << "Paper"
                                                   << "pdf" << rename << "Paper[001].pdf";
    QTest::newRow("cover never takes a name being written")
        << QStringList{"reserved:Paper.pdf"} << "Paper"
        << "pdf" << int(DuplicateMode::Cover) << "Paper[001].pdf";
    QTest::newRow("a folder holding the name counts as taken")
        << QStringList{"dir:Paper.pdf"} << "Paper"
        << "pdf" << rename << "Paper[001].pdf";
}

void tst_SaveNames::renameSavePath()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(int, mode);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const QString &e : existing) {
        if (e.startsWith("dir:")) {
            QDir(dir.path()).mkdir(e.mid(4));
        } else if (e.startsWith("reserved:")) {
            QVERIFY(ReservePath(dir.filePath(e.mid(9))));
        } else {
            touch(dir.filePath(e));
        }
    }
    QString newName;
    // The folder comes without its separator: one is added.
    const QString path = RenameSavePath(dir.path(), name, type, DuplicateMode(mode), &newName);
    for (const QString &e : existing) {
        if (e.startsWith("reserved:")) {
            ReleasePath(dir.filePath(e.mid(9)));
        }
    }
    QCOMPARE(path, dir.filePath(expected));
    QCOMPARE(newName, type.isEmpty() ? expected : expected.left(expected.size() - type.size() - 1));
}

void tst_SaveNames::namesAlwaysFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("taken");
    QTest::newRow("long CJK title, free") << QString(120, QChar(0x6587)) << false;
    QTest::newRow("long CJK title, taken") << QString(120, QChar(0x6587)) << true;
    QTest::newRow("long ASCII title, taken") << QString(300, 'a') << true;
    QTest::newRow("empty title") << QString() << false;
}

void tst_SaveNames::namesAlwaysFit()
{
    QFETCH(QString, name);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    QString newName;
    const QString first = RenameSavePath(dir.path(), name, "pdf", DuplicateMode::Rename, &newName);
    touch(first); // the file system accepts the name
    QVERIFY(QFile::exists(first));
    QVERIFY(!newName.isEmpty());
    if (taken) {
        const QString second =
            RenameSavePath(dir.path(), name, "pdf", DuplicateMode::Rename, &newName);
        QVERIFY(second != first);
        QVERIFY(second.endsWith("[001].pdf"));
        QVERIFY(QFileInfo(second).fileName().toUtf8().size() <= kMaxFileNameBytes);
        touch(second);
        QVERIFY(QFile::exists(second));
        const QString unique = GetUniqueFileName(first);
        QVERIFY(unique != first && !QFile::exists(unique));
        QVERIFY(QFileInfo(unique).fileName().toUtf8().size() <= kMaxFileNameBytes);
        touch(unique);
        QVERIFY(QFile::exists(unique));
    }
    const QString fileName = QFileInfo(first).fileName();
    QVERIFY(fileName.toUtf8().size() <= kMaxFileNameBytes);
    QCOMPARE(QString::fromUtf8(fileName.toUtf8()), fileName); // cut between characters
}

void tst_SaveNames::modesByCaption_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::newRow("skip") << false << " Skip " << int(DuplicateMode::Skip);
    QTest::newRow("cover") << false << "Cover" << int(DuplicateMode::Cover);
    QTest::newRow("unknown renames") << false << "Overwrite" << int(DuplicateMode::Rename);
    QTest::newRow("Chinese skip") << true << "跳过" << int(DuplicateMode::Skip);
    QTest::newRow("the other build's word renames")
        << true << "Cover" << int(DuplicateMode::Rename);
}

void tst_SaveNames::modesByCaption()
{
    QFETCH(bool, chinese);
    QFETCH(QString, text);
    QFETCH(int, mode);
    QCOMPARE(int(DuplicateModeFromText(text, chinese ? Build::chinese() : Build::english())), mode);
}

void tst_SaveNames::correction_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<bool>("corrected");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("newType");
    const QByteArray page = "<html><head><title>Log in</title></head><body>x</body></html>";
    QTest::newRow("pdf that is a login page") << "pdf" << page << QStringList{} << true << "Paper"
                                              << "htm";
    QTest::newRow("taken target gets a counter")
        << "pdf" << page << QStringList{"Paper.htm"} << true << "Paper[0001]"
        << "htm";
    QTest::newRow("PDF in capitals is left alone")
        << "PDF" << QByteArray("%PDF-1.4 ...") << QStringList{} << false << "Paper"
        << "PDF";
    QTest::newRow("unknown content is left alone")
        << "pdf" << QByteArray("just text, nothing more") << QStringList{} << false << "Paper"
        << "pdf";
    QTest::newRow("no type yet") << "" << QByteArray("%PDF-1.4 ...") << QStringList{} << true
                                 << "Paper"
                                 << "pdf";
}

void tst_SaveNames::correction()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, content);
    QFETCH(QStringList, existing);
    QFETCH(bool, corrected);
    QFETCH(QString, text);
    QFETCH(QString, newType);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    for (const QString &e : existing) {
        touch(folder + e, "other");
    }
    DownloadListModel list;
    const quint64 id = *list.add("http://h/p", "Paper", type, folder, "");
    touch(list.at(0).localFile(), content);
    QCOMPARE(CorrectItemFileType(list, id), corrected);
    QCOMPARE(list.at(0).text, text);
    QCOMPARE(list.at(0).type, newType);
    QCOMPARE(read(list.at(0).localFile()), content); // the file moved with the row
    for (const QString &e : existing) {
        QCOMPARE(read(folder + e), QByteArray("other")); // nothing overwritten
    }
    list.add("http://h/missing", "Missing", "pdf", folder, "");
    QVERIFY(!CorrectItemFileType(list, list.at(1).id));
}

void tst_SaveNames::baseHref_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("b");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QByteArray>("expected"); // empty: the file is unchanged
    QTest::newRow("inserted before the first head end")
        << "http://h/a?x=1&y=2"
        << "Y"
        << "htm" << QByteArray("<html><HEAD><title>t</title></Head><p></head>") << false
        << QByteArray(
               "<html><HEAD><title>t</title><Base href='http://h/a?x=1&amp;y=2'></Head><p></head>");
    QTest::newRow("a quote cannot leave the attribute")
        << "http://h/x'><script>alert(1)</script>"
        << "Y"
        << "html" << QByteArray("<head></head>") << false
        << QByteArray("<head><Base "
                      "href='http://h/x&#39;&gt;&lt;script&gt;alert(1)&lt;/script&gt;'></head>");
    QTest::newRow("first of several addresses in the Chinese build")
        << "http://a/1|http://b/2"
        << "Y"
        << "htm" << QByteArray("<head></head>") << true
        << QByteArray("<head><Base href='http://a/1'></head>");
    QTest::newRow("rows not queued as pages are left")
        << "http://h/"
        << ""
        << "htm" << QByteArray("<head></head>") << false << QByteArray();
    QTest::newRow("pages without a head end are left")
        << "http://h/"
        << "Y"
        << "htm" << QByteArray("<p>no head</p>") << false << QByteArray();
    QTest::newRow("other types are left")
        << "http://h/"
        << "Y"
        << "pdf" << QByteArray("<head></head>") << false << QByteArray();
}

void tst_SaveNames::baseHref()
{
    QFETCH(QString, key);
    QFETCH(QString, b);
    QFETCH(QString, type);
    QFETCH(QByteArray, page);
    QFETCH(bool, chinese);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    DownloadListModel list;
    const quint64 id = *list.add(key, "page", type, dir.path() + "/", "");
    list.update(id, [&b](DownloadRow &r) { r.queuedAsPage = b == "Y"; });
    const QString file = dir.path() + "/page." + type.toLower();
    touch(file, page);
    const Build build = chinese ? Build::chinese() : Build::english();
    QCOMPARE(AddBaseHrefToSavedPage(list, id, build), !expected.isEmpty());
    QCOMPARE(read(file), expected.isEmpty() ? page : expected);
    if (!expected.isEmpty()) { // once per call: a second call adds a second tag
        QVERIFY(AddBaseHrefToSavedPage(list, id, build));
        QCOMPARE(read(file).count("<Base href="), 2);
    }
}

QTEST_GUILESS_MAIN(tst_SaveNames)
#include "tst_savenames.moc"
