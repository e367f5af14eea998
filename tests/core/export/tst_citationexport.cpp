#include "download/downloadlist.h"
#include "download/liststore.h"
#include "export/citationexport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

// The three citation formats, read back by parsers no one here wrote (bibutils' ris2xml,
// pybtex, citeproc-py; tests/export/readback.py drives them): every record whole, in its
// place, with its title, authors, year, DOI and file link.
class tst_CitationExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsBack_data();
    void readsBack();
    void keys_data();
    void keys();
    void risLineBreaksStartNoTag();
    void savedNamesSayTheFormat();
    void filesLinkRelativeBelowTheExportOnly();
    void commandExportsAKeptList();

private:
    QString placeFile(const QString &relative, const QByteArray &bytes = "%PDF-1.4\n%%EOF\n")
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QJsonArray readBack(const QString &format, const QString &file)
    {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(HARVLY_READBACK), format, file});
        p.waitForFinished(60000);
        const QByteArray err = p.readAllStandardError();
        if (p.exitCode() != 0) {
            qWarning().noquote() << QString::fromUtf8(err);
        }
        return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    }

    QTemporaryDir m_dir;
};

namespace {

CitationRecord article(const QString &title, QList<CitationName> authors, int year,
                       const QString &doi)
{
    CitationRecord r;
    r.type = CitationType::Article;
    r.title = title;
    r.authors = std::move(authors);
    r.issued = {year, 3, 4};
    r.containerTitle = QStringLiteral("Journal of Sample Studies");
    r.volume = QStringLiteral("4");
    r.issue = QStringLiteral("2");
    r.firstPage = QStringLiteral("30");
    r.lastPage = QStringLiteral("39");
    r.doi = doi;
    r.issn = QStringLiteral("1234-5679");
    r.publisher = QStringLiteral("Sample Press");
    r.language = QStringLiteral("en");
    r.abstract = QStringLiteral("What was found.\nAnd a second line.");
    r.keywords = {QStringLiteral("samples"), QStringLiteral("testing")};
    r.pageUrl = QStringLiteral("http://127.0.0.1/docview/3");
    return r;
}

// What the one-line formats keep of a text: control characters and runs of white space as
// one space.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control) {
            c = u' ';
        }
    }
    return text.simplified();
}

QJsonArray namesOf(const QList<CitationName> &names)
{
    QJsonArray out;
    for (const CitationName &n : names) {
        out.append(n.literal.isEmpty() ? QJsonObject{{"family", n.family}, {"given", n.given}}
                                       : QJsonObject{{"literal", n.literal}});
    }
    return out;
}

const QString kHostile = QStringLiteral(
    "50% of C# & R_2: {braces} and a lone { with \\emph{x}, $5, x^2, ~home, \"quoted\" "
    "it's\nover two lines\tand a tab \x01 and a bell\x07.");

} // namespace

void tst_CitationExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const char *tool : {"/usr/bin/python3", "/usr/bin/ris2xml"}) {
        QVERIFY2(QFile::exists(tool), tool); // scripts/deps.sh installs them
    }
}

void tst_CitationExport::readsBack_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QList<CitationEntry>>("entries");

    const QString inside = placeFile(QStringLiteral("out/papers/A paper [001] 论文.pdf"));
    const QString outside = placeFile(QStringLiteral("elsewhere/Second paper.pdf"));

    QList<CitationEntry> samples;
    samples << CitationEntry{
        {},
        {},
        inside,
        ShareRecord(article(QStringLiteral("Microplastics in freshwater ecosystems"),
                            {{"García", "Lucía", {}}, {{}, {}, "李娜"}}, 2018,
                            QStringLiteral("10.5555/harvly.3")))};
    samples << CitationEntry{
        {},
        {},
        outside,
        ShareRecord(article(QStringLiteral("城市热岛与公共健康：面板数据的证据"),
                            {{{}, {}, "王伟"}, {"Smith", "Ann", {}}}, 2017,
                            QStringLiteral("10.5555/harvly.12")))};

    QList<CitationEntry> hostile;
    hostile << CitationEntry{
        {},
        {},
        inside,
        ShareRecord(article(kHostile, {{"O'Brien {Jr}", "Séan \\ 100%", {}}, {"Lee", "Kim", {}}},
                            2020, QStringLiteral("10.5555/a_b%c")))};
    CitationRecord longTitle =
        article(QString(10000, u'x').replace(5000, 1, u' '), {{"Long", "Title", {}}}, 2021, {});
    hostile << CitationEntry{{}, {}, {}, ShareRecord(longTitle)};

    QList<CitationName> many;
    for (int i = 0; i < 500; ++i) {
        many << CitationName{QStringLiteral("Family%1").arg(i), QStringLiteral("Given"), {}};
    }
    QList<CitationEntry> crowd{
        CitationEntry{{}, {}, {}, ShareRecord(article("A crowd", many, 2019, {}))}};

    CitationRecord titleOnly;
    titleOnly.title = QStringLiteral("Only a title");
    QList<CitationEntry> sparse{
        CitationEntry{{}, {}, {}, ShareRecord(titleOnly)},
        CitationEntry{QStringLiteral("A row without a record"),
                      QStringLiteral("http://127.0.0.1/docview/9"), inside, nullptr},
        CitationEntry{{}, {}, {}, ShareRecord(article("Same", {{"Twin", "A", {}}}, 2001, {}))},
        CitationEntry{{}, {}, {}, ShareRecord(article("Same", {{"Twin", "A", {}}}, 2001, {}))},
    };

    for (const char *format : {"ris", "bibtex", "csl-json"}) {
        QTest::addRow("%s: records with Chinese texts, files below and outside", format)
            << format << samples;
        QTest::addRow("%s: hostile characters, a 10,000-character title", format)
            << format << hostile;
        QTest::addRow("%s: 500 authors", format) << format << crowd;
        QTest::addRow("%s: a title alone, no record, the same title and year twice", format)
            << format << sparse;
    }
}

void tst_CitationExport::readsBack()
{
    QFETCH(QString, format);
    QFETCH(QList<CitationEntry>, entries);
    const CitationFormat f = *CitationFormatNamed(format);
    const QString file =
        m_dir.filePath(QStringLiteral("out/export.") + (f == CitationFormat::Ris      ? "ris"
                                                        : f == CitationFormat::BibTex ? "bib"
                                                                                      : "json"));
    QString error;
    QVERIFY2(SaveCitations(file, entries, f, false, &error), qPrintable(error));

    const QJsonArray read = readBack(format, file);
    QCOMPARE(read.size(), entries.size());
    const QStringList keys = CitationKeys(entries);
    for (int i = 0; i < entries.size(); ++i) {
        const CitationEntry &e = entries.at(i);
        const QJsonObject r = read.at(i).toObject();
        const bool exact = f == CitationFormat::CslJson; // JSON keeps line breaks
        const QString title = exact ? e.workTitle() : oneLine(e.workTitle());
        QCOMPARE(r.value("title").toString(), title);
        QList<CitationName> names = e.record ? e.record->authors : QList<CitationName>();
        if (!exact) {
            for (CitationName &n : names) {
                n = {oneLine(n.family), oneLine(n.given), oneLine(n.literal)};
            }
        }
        QCOMPARE(r.value("authors").toArray(), namesOf(names));
        QCOMPARE(r.value("year").toInt(), e.record ? e.record->issued.year : 0);
        QCOMPARE(r.value("doi").toString(), e.record ? e.record->doi : QString());
        const QString link = e.file.isEmpty() ? QString()
                             : e.file.startsWith(m_dir.filePath("out/"))
                                 ? e.file.mid(m_dir.filePath("out/").size())
                                 : e.file;
        QCOMPARE(r.value("file").toString(), link);
        const QJsonObject fields = r.value("fields").toObject();
        QCOMPARE(fields.value("url").toString(), e.page());
        if (e.record) {
            const CitationRecord &c = *e.record;
            QCOMPARE(fields.value("container").toString(), c.containerTitle);
            QCOMPARE(fields.value("volume").toString(), c.volume);
            QCOMPARE(fields.value("issue").toString(), c.issue);
            QCOMPARE(fields.value("pages").toString(), c.pages());
            QCOMPARE(fields.value("issn").toString(), c.issn);
            QCOMPARE(fields.value("publisher").toString(), c.publisher);
            QCOMPARE(fields.value("language").toString(), c.language);
            QCOMPARE(fields.value("abstract").toString(), exact ? c.abstract : oneLine(c.abstract));
            QCOMPARE(fields.value("keywords").toVariant().toStringList(), c.keywords);
            if (f == CitationFormat::BibTex && c.issued.month == 3) {
                QCOMPARE(fields.value("month").toString(), QString("March"));
            }
        }
        if (f != CitationFormat::Ris) {
            QCOMPARE(r.value("key").toString(), keys.at(i));
            const bool known = e.record && !e.record->containerTitle.isEmpty();
            QCOMPARE(r.value("type").toString(),
                     QString(f == CitationFormat::BibTex
                                 ? (known ? "article" : "misc")
                                 : (known ? "article-journal" : "document")));
        }
    }
}

void tst_CitationExport::keys_data()
{
    QTest::addColumn<QList<CitationEntry>>("entries");
    QTest::addColumn<QStringList>("expected");
    const auto entry = [](const QString &title, QList<CitationName> authors, int year) {
        CitationRecord r;
        r.title = title;
        r.authors = std::move(authors);
        r.issued.year = year;
        return CitationEntry{{}, {}, {}, ShareRecord(r)};
    };
    QTest::newRow("family, year, first word, in ASCII")
        << QList<CitationEntry>{entry("Über die Bäume", {{"Müller-Lüdenscheidt", "Å", {}}}, 1999)}
        << QStringList{"mullerludenscheidt1999uber"};
    QTest::newRow("a clash takes a, then b")
        << QList<CitationEntry>{entry("Deep nets", {{"Lee", "K", {}}}, 2020),
                                entry("Deep nets", {{"Lee", "K", {}}}, 2020),
                                entry("Deep nets", {{"Lee", "K", {}}}, 2020)}
        << QStringList{"lee2020deep", "lee2020deepa", "lee2020deepb"};
    QTest::newRow("a key that a suffix would repeat")
        << QList<CitationEntry>{entry("Deep", {{"Lee", "K", {}}}, 2020),
                                entry("Deep", {{"Lee", "K", {}}}, 2020),
                                entry("Deepa", {{"Lee", "K", {}}}, 2020)}
        << QStringList{"lee2020deep", "lee2020deepa", "lee2020deepaa"};
    QTest::newRow("Chinese names and titles give the year; nothing gives ref")
        << QList<CitationEntry>{entry("城市热岛", {{{}, {}, "李娜"}}, 2017),
                                entry("城市热岛", {{{}, {}, "李娜"}}, 2017),
                                CitationEntry{QStringLiteral("论文"), {}, {}, nullptr}}
        << QStringList{"2017", "2017a", "ref"};
    QTest::newRow("an organisation's first word; leading punctuation skipped")
        << QList<CitationEntry>{entry("\"50%\" of all", {{{}, {}, "World Health Org"}}, 2001)}
        << QStringList{"world200150"};
}

void tst_CitationExport::keys()
{
    QFETCH(QList<CitationEntry>, entries);
    QFETCH(QStringList, expected);
    QCOMPARE(CitationKeys(entries), expected);
    QCOMPARE(CitationKeys(entries), expected); // the same in every export
}

void tst_CitationExport::risLineBreaksStartNoTag()
{
    CitationRecord r = article(QStringLiteral("A title\r\nER  - \nTY  - JOUR"),
                               {{"Fam\nAU  - ily", "Gi\rven", {}}}, 2020, {});
    r.abstract = QStringLiteral("line\nUR  - http://evil/\n\nER  - ");
    r.keywords = {QStringLiteral("one\ntwo")};
    const QByteArray text =
        CitationsText({CitationEntry{{}, {}, {}, ShareRecord(r)}}, CitationFormat::Ris, {});
    QCOMPARE(text.count("TY  - "), 1);
    QCOMPARE(text.count("ER  - "), 1);
    for (const QByteArray &line : text.split('\n')) {
        QVERIFY2(line.isEmpty() || line == "\r" ||
                     QRegularExpression("^[A-Z][A-Z0-9]  - ").match(line).hasMatch(),
                 line.constData());
        QVERIFY(!line.chopped(line.endsWith('\r') ? 1 : 0).contains('\r'));
    }
    QCOMPARE(text.count("\r\n"), text.count('\n')); // CR LF throughout
}

void tst_CitationExport::savedNamesSayTheFormat()
{
    // A name typed in the save dialog without an extension takes the chosen filter's.
    QCOMPARE(WithCitationExtension("/t/refs", CitationFormat::BibTex), QString("/t/refs.bib"));
    QCOMPARE(WithCitationExtension("/t/refs.txt", CitationFormat::CslJson),
             QString("/t/refs.txt.json"));
    QCOMPARE(WithCitationExtension("/t/refs.RIS", CitationFormat::BibTex), QString("/t/refs.RIS"));
    QCOMPARE(WithCitationExtension("", CitationFormat::Ris), QString()); // cancelled
    QCOMPARE(CitationFormatOfFile("/t/refs.Bib"), std::optional(CitationFormat::BibTex));
}

void tst_CitationExport::filesLinkRelativeBelowTheExportOnly()
{
    const QString below = placeFile(QStringLiteral("rel/sub dir/a.pdf"));
    const QString beside = placeFile(QStringLiteral("relative/b.pdf")); // a longer name, not below
    const QList<CitationEntry> entries{CitationEntry{"A", {}, below, nullptr},
                                       CitationEntry{"B", {}, beside, nullptr}};
    const CitationPaths relative{m_dir.filePath("rel"), false};
    QCOMPARE(relative.of(below), QString("sub dir/a.pdf"));
    QCOMPARE(relative.of(beside), beside);
    QCOMPARE((CitationPaths{m_dir.filePath("rel"), true}.of(below)), below);
    QCOMPARE((CitationPaths{{}, false}.of(below)), below);

    // A failed export leaves an earlier file as it was.
    const QString earlier = placeFile(QStringLiteral("rel/earlier.bib"), "kept");
    QString error;
    QVERIFY(!SaveCitations(m_dir.filePath("missing folder/x.bib"), entries, CitationFormat::BibTex,
                           false, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(SaveCitations(earlier, entries, CitationFormat::BibTex, false, &error));
    QFile back(earlier);
    QVERIFY(back.open(QIODevice::ReadOnly));
    QVERIFY(back.readAll().contains("file = {:sub dir/a.pdf:application/pdf}"));
}

void tst_CitationExport::commandExportsAKeptList()
{
    const QString done = placeFile(QStringLiteral("cli/docs/Done paper.pdf"));
    DownloadRow finished;
    finished.key = QStringLiteral("http://127.0.0.1/pdf/1.pdf");
    finished.text = QStringLiteral("Done paper");
    finished.type = QStringLiteral("pdf");
    finished.savePath = QFileInfo(done).absolutePath() + QLatin1Char('/');
    finished.state = DownloadState::Finished;
    finished.tag = QStringLiteral("http://127.0.0.1/docview/1");
    finished.record = ShareRecord(article("Done paper", {{"Lee", "Kim", {}}}, 2020, "10.1/x"));
    DownloadRow failed = finished;
    failed.key = QStringLiteral("http://127.0.0.1/pdf/2.pdf");
    failed.text = QStringLiteral("Failed paper");
    failed.state = DownloadState::Failed;
    failed.record = nullptr;
    const QString state = m_dir.filePath("cli/state.json");
    QVERIFY(SaveDownloadRows({finished, failed}, DuplicateMode::Rename, state));

    const auto run = [](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral(HARVLY_CLI), QStringList{"export"} + args);
        p.waitForFinished(30000);
        return std::make_tuple(p.exitCode(), p.readAllStandardOutput(),
                               QString::fromUtf8(p.readAllStandardError()));
    };
    const QString out = m_dir.filePath("cli/refs.bib");
    auto [status, text, err] = run({"--state", state, "--finished", "-o", out});
    QVERIFY2(status == 0, qPrintable(err));
    const QJsonArray bib = readBack("bibtex", out);
    QCOMPARE(bib.size(), 1);
    QCOMPARE(bib.at(0).toObject().value("file").toString(), QString("docs/Done paper.pdf"));

    std::tie(status, text, err) = run({"--state", state, "--format", "ris"});
    QCOMPARE(status, 0);
    QCOMPARE(text.count("TY  - "), 2);
    QVERIFY(text.contains("L1  - " + done.toUtf8() + "\r\n")); // standard output: absolute
    QVERIFY(text.contains("TY  - GEN\r\nTI  - Failed paper\r\nUR  - http://127.0.0.1/docview/1"));

    for (const QStringList &bad :
         {QStringList{"--format", "ris"}, QStringList{"--state", state, "--format", "endnote"},
          QStringList{"--state", state, "-o", "refs.txt"},
          QStringList{"--state", m_dir.filePath("none.json")}}) {
        std::tie(status, text, err) = run(bad);
        QVERIFY2(status == 2, qPrintable(bad.join(' ')));
        QVERIFY(text.isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_CitationExport)
#include "tst_citationexport.moc"
