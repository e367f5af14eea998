// The document check at size: a 20-page article and a 500-page book (written by Ghostscript in
// the run), each checked many times, against pdftotext -l 2 and qpdf --check on the same files
// in the same run; then the resident memory across 1,000 checks.
#include "download/documentcheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

using namespace harvly;

namespace {

QTextStream out(stdout);

// Pages of running text, the title on the first.
bool makePdf(const QString &file, int pages)
{
    QByteArray ps = "[ /Title (Soil carbon and regenerative agriculture) /DOCINFO pdfmark\n"
                    "/Helvetica findfont 10 scalefont setfont\n";
    for (int p = 0; p < pages; ++p) {
        if (p == 0) {
            ps += "72 760 moveto (Soil carbon and regenerative agriculture: a review) show\n";
        }
        for (int line = 0; line < 60; ++line) {
            ps += "72 " + QByteArray::number(740 - line * 11) + " moveto (Line " +
                  QByteArray::number(line) + " of page " + QByteArray::number(p + 1) +
                  ": words of an article about the soil) show\n";
        }
        ps += "showpage\n";
    }
    QProcess gs;
    gs.start("gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                    "-sOutputFile=" + file, "-"});
    gs.write(ps);
    gs.closeWriteChannel();
    return gs.waitForFinished(300000) && gs.exitCode() == 0;
}

double peerMs(const QString &program, const QStringList &args, int rounds)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        return -1;
    }
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(-1);
    }
    return t.nsecsElapsed() / 1e6 / rounds;
}

long residentKiB()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString title = QStringLiteral("Soil carbon and regenerative agriculture: a review");
    for (const auto &[name, pages, goal] :
         {std::tuple{"article", 20, 50.0}, std::tuple{"book", 500, 200.0}}) {
        const QString file = dir.filePath(QString::fromLatin1(name) + ".pdf");
        if (!makePdf(file, pages)) {
            out << "Ghostscript (gs) is needed to write the documents\n";
            return 1;
        }
        const int rounds = 20;
        QElapsedTimer t;
        t.start();
        DocumentCheck check;
        for (int i = 0; i < rounds; ++i) {
            check = CheckPdfDocument(file, title);
        }
        const double ms = t.nsecsElapsed() / 1e6 / rounds;
        out << "  " << name << ", " << pages << " pages, " << QFile(file).size() / 1024
            << " KiB: " << QString::number(ms, 'f', 1) << " ms (goal under " << goal << " ms, "
            << QString::number(goal / ms, 'f', 1) << "x inside it); opens "
            << (check.opens == DocumentCheck::Opens::Yes ? "yes" : "no") << ", title "
            << (check.title == DocumentCheck::Title::Found ? "found" : "not found") << '\n';
        const double text = peerMs("pdftotext", {"-l", "2", file, "-"}, 5);
        const double qpdf = peerMs("qpdf", {"--check", file}, 5);
        out << "    peers on the same file: pdftotext -l 2 "
            << (text < 0 ? QStringLiteral("not installed") : QString::number(text, 'f', 1) + " ms")
            << ", qpdf --check "
            << (qpdf < 0 ? QStringLiteral("not installed") : QString::number(qpdf, 'f', 1) + " ms")
            << '\n';
        out.flush();
    }
    const QString article = dir.filePath("article.pdf");
    CheckPdfDocument(article, title);
    const long before = residentKiB();
    for (int i = 0; i < 1000; ++i) {
        CheckPdfDocument(article, title);
    }
    out << "  resident memory across 1,000 checks: " << before / 1024 << " MB before, "
        << residentKiB() / 1024 << " MB after\n";
    return 0;
}
