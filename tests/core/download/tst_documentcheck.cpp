#include "download/documentcheck.h"
#include "download/titlematch.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

using namespace harvly;

// Does a downloaded PDF open, and does it carry its row's title? Against PDFs that real
// producers write in the run (Ghostscript, Cairo, pdfTeX, qpdf, an update appended by hand) and the
// ones Debian ships, each judged as qpdf --check judges it, and damaged copies of them.
class tst_DocumentCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void titleRule_data();
    void titleRule();
    void realDocuments_data();
    void realDocuments();
    void checksLeaveQtsPoolToTheWindow();

private:
    static int run(const QString &program, const QStringList &args, const QByteArray &input = {})
    {
        QProcess p;
        p.start(program, args);
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(60000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A copy of file with its bytes changed.
    QString damagedCopy(const QString &file, const QString &name,
                        const std::function<void(QByteArray &)> &damage) const
    {
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        QByteArray bytes = in.readAll();
        damage(bytes);
        QFile out(path(name));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return out.fileName();
    }

    // The file with an update appended, as an editor saves it: a new Info dictionary, a table
    // of that one object, and a trailer whose /Prev points at the earlier table.
    QString updatedCopy(const QString &file, const QString &name, const QByteArray &newTitle) const
    {
        QFile in(file);
        in.open(QIODevice::ReadOnly);
        QByteArray bytes = in.readAll();
        const auto number = [&bytes](const char *pattern) {
            return QRegularExpression(pattern)
                .globalMatch(QString::fromLatin1(bytes))
                .next() // the first is enough for /Root and /Size of a one-table file
                .captured(1)
                .toLongLong();
        };
        const qint64 size = number(R"(/Size (\d+))");
        const qint64 root = number(R"(/Root (\d+) 0 R)");
        const qint64 prev = bytes.mid(bytes.lastIndexOf("startxref") + 9)
                                .trimmed()
                                .split('\n')
                                .value(0)
                                .toLongLong();
        bytes += "\n";
        const qint64 info = bytes.size();
        bytes += QByteArray::number(size) + " 0 obj\n<< /Title (" + newTitle + ") >>\nendobj\n";
        const qint64 xref = bytes.size();
        bytes += "xref\n0 1\n0000000000 65535 f \n" + QByteArray::number(size) + " 1\n" +
                 QByteArray::number(info).rightJustified(10, '0') +
                 " 00000 n \ntrailer\n<< /Size " + QByteArray::number(size + 1) + " /Root " +
                 QByteArray::number(root) + " 0 R /Info " + QByteArray::number(size) +
                 " 0 R /Prev " + QByteArray::number(prev) + " >>\nstartxref\n" +
                 QByteArray::number(xref) + "\n%%EOF\n";
        QFile out(path(name));
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return out.fileName();
    }

    QTemporaryDir m_dir;
};

void tst_DocumentCheck::initTestCase()
{
    // Ghostscript: two pages, the title broken over two lines, a Title field.
    QVERIFY(run("gs",
                {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                 "-sOutputFile=" + path("ghostscript.pdf"), "-"},
                "[ /Title (Soil carbon and regenerative agriculture) /DOCINFO pdfmark\n"
                "/Helvetica findfont 14 scalefont setfont\n"
                "72 720 moveto (Soil carbon and regen-) show\n"
                "72 700 moveto (erative agriculture: a systematic review) show\n"
                "72 660 moveto (Abstract. We dug in the soil for a long time.) show showpage\n"
                "72 720 moveto (The second page.) show showpage\n") == 0);
    // Cairo: a Chinese title; an image-only page, as a scanner writes it.
    QVERIFY(run("/usr/bin/python3", {"-"},
                QStringLiteral(R"(import cairo
s = cairo.PDFSurface("%1", 595, 842)
c = cairo.Context(s)
c.select_font_face("WenQuanYi Micro Hei")
c.set_font_size(18)
c.move_to(50, 100)
c.show_text("城市热岛与公共健康：面板数据的证据")
c.show_page()
s.finish()
image = cairo.ImageSurface(cairo.FORMAT_RGB24, 400, 300)
i = cairo.Context(image)
i.set_source_rgb(1, 1, 1)
i.paint()
s = cairo.PDFSurface("%2", 400, 300)
c = cairo.Context(s)
c.set_source_surface(image, 0, 0)
c.paint()
s.finish()
)")
                    .arg(path("cairo.pdf"), path("scanned.pdf"))
                    .toUtf8()) == 0);
    // pdfTeX (LaTeX): a compressed cross-reference stream and object streams, the title set
    // by \maketitle over two lines, a shorter Title field.
    QFile tex(path("article.tex"));
    QVERIFY(tex.open(QIODevice::WriteOnly));
    tex.write(
        "\\documentclass{article}\\pdfinfo{/Title (Urban heat islands)}\\begin{document}"
        "\\title{Urban Heat Islands and Public Health: Evidence from Panel Data}"
        "\\author{Wei Wang}\\date{}\\maketitle We measured.\\newpage Page two.\\end{document}\n");
    tex.close();
    QVERIFY(run("pdflatex", {"-interaction=batchmode", "-output-directory=" + m_dir.path(),
                             tex.fileName()}) == 0);
    // qpdf: the Ghostscript file linearised, and a file of its pages chosen.
    QVERIFY(run("qpdf", {"--linearize", path("ghostscript.pdf"), path("linearised.pdf")}) == 0);
    QVERIFY(run("qpdf", {path("ghostscript.pdf"), "--pages", ".", "1", "--",
                         "--newline-before-endstream", path("onepage.pdf")}) == 0);
    // Encrypted: with a user password, and with an owner password alone (opens as it is).
    for (const QString &user : {QString("secret"), QString()}) {
        QVERIFY(run("qpdf", {"--encrypt", user, "owner", "256", "--", path("ghostscript.pdf"),
                             path(user.isEmpty() ? "owner.pdf" : "locked.pdf")}) == 0);
    }
}

void tst_DocumentCheck::titleRule_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("carries");
    const QString paper = "Journal of Soils 12 (2021)\nSoil Carbon and Regenerative Agriculture: "
                          "a Systematic Review\nAnn Smith, Bo Li\nAbstract. We dug.";
    const QString title = "Soil carbon and regenerative agriculture: a systematic review";
    QTest::newRow("exact") << title << paper << true;
    QTest::newRow("case and width")
        << "ＳＯＩＬ Carbon and REGENERATIVE agriculture — a systematic review" << paper << true;
    QTest::newRow("a word broken over two lines")
        << title << "Soil carbon and regen-\nerative agri-\n  culture: a systematic review" << true;
    QTest::newRow("Chinese, spaced and broken over lines")
        << "城市热岛与公共健康：面板数据的证据"
        << "城市 热岛与公共\n健康——面板数据的证据 王伟" << true;
    QTest::newRow("four words of five") << "deep nets for soil maps"
                                        << "deep nets for soil" << true;
    QTest::newRow("three words of five") << "deep nets for soil maps"
                                         << "deep nets and rivers" << false;
    QTest::newRow("the words out of order")
        << title << "review systematic a agriculture regenerative and carbon soil" << false;
    QTest::newRow("a different paper")
        << title << "Urban heat islands and public health: evidence from panel data" << false;
    QTest::newRow("a cover sheet")
        << title << "This article was downloaded by: Sample University\nTerms of use apply."
        << false;
    QTest::newRow("no title") << "" << paper << false;
}

void tst_DocumentCheck::titleRule()
{
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, carries);
    QCOMPARE(TextCarriesTitle(title, text), carries);
}

void tst_DocumentCheck::realDocuments_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("titleFound");
    QTest::addColumn<int>("pages");
    using O = DocumentCheck::Opens;
    using T = DocumentCheck::Title;
    const QString soil = "Soil carbon and regenerative agriculture: a systematic review";
    QTest::newRow("Ghostscript") << path("ghostscript.pdf") << soil << int(O::Yes) << int(T::Found)
                                 << 2;
    QTest::newRow("Ghostscript, another paper's title")
        << path("ghostscript.pdf") << "Urban heat islands and public health" << int(O::Yes)
        << int(T::NotFound) << 2;
    QTest::newRow("Cairo, a Chinese title")
        << path("cairo.pdf") << "城市热岛与公共健康" << int(O::Yes) << int(T::Found) << 1;
    QTest::newRow("Cairo, an image only")
        << path("scanned.pdf") << soil << int(O::Yes) << int(T::NoText) << 1;
    QTest::newRow("qpdf, linearised")
        << path("linearised.pdf") << soil << int(O::Yes) << int(T::Found) << 2;
    QTest::newRow("qpdf, encrypted without a user password")
        << path("owner.pdf") << soil << int(O::Yes) << int(T::Found) << 2;
    QTest::newRow("qpdf, needs a password")
        << path("locked.pdf") << soil << int(O::NeedsPassword) << int(T::NotChecked) << 0;
    QTest::newRow("qpdf, pages chosen")
        << path("onepage.pdf") << soil << int(O::Yes) << int(T::Found) << 1;
    const QString heat = "Urban heat islands and public health: evidence from panel data";
    QTest::newRow("pdfTeX") << path("article.pdf") << heat << int(O::Yes) << int(T::Found) << 2;
    QTest::newRow("an update appended")
        << updatedCopy(path("ghostscript.pdf"), "updated.pdf", "Soil carbon, revised") << soil
        << int(O::Yes) << int(T::Found) << 2;
    QTest::newRow("an update appended, its /Prev pointing nowhere")
        << damagedCopy(path("updated.pdf"), "updated-prev.pdf",
                       [](QByteArray &b) {
                           const qsizetype at = b.lastIndexOf("/Prev ") + 6;
                           b.replace(at, 3, "999");
                       })
        << soil << int(O::Damaged) << int(T::NotChecked) << 0;
    QTest::newRow("pdfTeX, its cross-reference stream junk")
        << damagedCopy(
               path("article.pdf"), "article-xref.pdf",
               [](QByteArray &b) {
                   const qsizetype table =
                       b.mid(b.lastIndexOf("startxref") + 9).trimmed().split('\n')[0].toLongLong();
                   const qsizetype data = b.indexOf("stream", table) + 7;
                   b.replace(data, 20, QByteArray(20, 'J'));
               })
        << heat << int(O::Damaged) << int(T::NotChecked) << 0;
    for (const QString &shipped :
         QDir("/usr/share/doc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QFileInfo &pdf : QDir("/usr/share/doc/" + shipped).entryInfoList({"*.pdf"})) {
            QTest::addRow("shipped: %s", qPrintable(pdf.fileName()))
                << pdf.filePath() << QString() << int(O::Yes) << int(T::NotChecked) << -1;
        }
    }
    const QString whole = path("ghostscript.pdf");
    QTest::newRow("cut in half") << damagedCopy(whole, "cut.pdf",
                                                [](QByteArray &b) { b.truncate(b.size() / 2); })
                                 << soil << int(O::Damaged) << int(T::NotChecked) << 0;
    for (const char *marker : {"\nxref", "startxref"}) {
        QTest::addRow("cross-reference damaged after \"%s\"", marker + (*marker == '\n'))
            << damagedCopy(whole, QString("xref%1.pdf").arg(*marker == '\n'),
                           [marker](QByteArray &b) {
                               const qsizetype at = b.lastIndexOf(marker) + qstrlen(marker);
                               b.replace(at + 1, 40, QByteArray(40, '7'));
                           })
            << soil << int(O::Damaged) << int(T::NotChecked) << 0;
    }
    QTest::newRow("objects overwritten with junk")
        << damagedCopy(whole, "junk.pdf",
                       [](QByteArray &b) {
                           b.replace(b.size() / 4, b.size() / 3, QByteArray(b.size() / 3, 'J'));
                       })
        << soil << int(O::Damaged) << int(T::NotChecked) << 0;
    QTest::newRow("an error page after a PDF header")
        << damagedCopy(whole, "page.pdf",
                       [](QByteArray &b) {
                           b = "%PDF-1.7\n<html><body>Internal Server Error</body></html>\n";
                       })
        << soil << int(O::Damaged) << int(T::NotChecked) << 0;
}

void tst_DocumentCheck::realDocuments()
{
    QFETCH(QString, file);
    QFETCH(QString, title);
    QFETCH(int, opens);
    QFETCH(int, titleFound);
    QFETCH(int, pages);
    const DocumentCheck check = CheckPdfDocument(file, title);
    QCOMPARE(int(check.opens), opens);
    QVERIFY2(check.opens != DocumentCheck::Opens::Damaged || !check.problem.isEmpty(),
             "a damaged document says why");
    QCOMPARE(int(check.title), titleFound);
    if (pages > 0) {
        QCOMPARE(check.pages, pages);
    }
    // qpdf --check agrees (given the owner's password): 0 for a sound file, 2 (errors) or
    // 3 (warnings) for a damaged one.
    const int qpdf = run("qpdf", {"--check", "--password=owner", file});
    QCOMPARE(qpdf == 0, opens != int(DocumentCheck::Opens::Damaged));
}

void tst_DocumentCheck::checksLeaveQtsPoolToTheWindow()
{
    // The window paints with Qt's global pool; the checks run on a thread of their own, so
    // neither waits for the other. Here the global pool is held busy throughout.
    QSemaphore release;
    QThreadPool *global = QThreadPool::globalInstance();
    const int threads = global->maxThreadCount();
    for (int i = 0; i < threads; ++i) {
        global->start([&release] { release.acquire(); });
    }
    const auto freed = qScopeGuard([&] {
        release.release(threads);
        global->waitForDone();
    });
    QFuture<DocumentCheck> check = CheckPdfDocumentLater(path("ghostscript.pdf"), "Soil carbon");
    // Polled, not waited for: a wait would run the task on this thread.
    QTRY_VERIFY_WITH_TIMEOUT(check.isFinished(), 10000);
    QCOMPARE(int(check.result().title), int(DocumentCheck::Title::Found));
}

QTEST_GUILESS_MAIN(tst_DocumentCheck)
#include "tst_documentcheck.moc"
