// Citation export at scale: 10,000 finished rows with full records and files on disk, written
// as RIS, BibTeX and CSL-JSON (rows to entries to a file, as the window and harvly-cli export
// do), against bibutils converting the same records (ris2xml, then xml2bib) in the same run.
#include "download/downloadlist.h"
#include "export/citationexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

using namespace harvly;

namespace {

QTextStream out(stdout);

std::vector<DownloadRow> makeRows(int rows, const QString &folder)
{
    std::vector<DownloadRow> list;
    list.reserve(size_t(rows));
    for (int i = 0; i < rows; ++i) {
        DownloadRow row;
        row.id = quint64(i + 1);
        row.key = QStringLiteral("http://site.example/pdf/%1.pdf").arg(i);
        row.text = QStringLiteral("Article %1 on a subject of some length [001] 论文").arg(i);
        row.type = QStringLiteral("pdf");
        row.savePath = folder + QLatin1Char('/');
        row.state = DownloadState::Finished;
        row.tag = QStringLiteral("http://site.example/docview/%1").arg(i);
        QFile(row.localFile()).open(QIODevice::WriteOnly);
        CitationRecord r;
        r.type = CitationType::Article;
        r.title = QStringLiteral("Article %1: 50% of C# & R_2 {x} on a subject 的研究").arg(i);
        for (int a = 0; a < 5; ++a) {
            r.authors << CitationName{
                QStringLiteral("Family%1").arg(a), QStringLiteral("Given"), {}};
        }
        r.authors << CitationName{{}, {}, QStringLiteral("李娜")};
        r.issued = {2000 + i % 25, 1 + i % 12, 1 + i % 28};
        r.containerTitle = QStringLiteral("Journal of Sample Studies");
        r.volume = QString::number(i % 40);
        r.issue = QString::number(i % 12);
        r.firstPage = QString::number(i % 300);
        r.lastPage = QString::number(i % 300 + 12);
        r.doi = QStringLiteral("10.5555/harvly.%1").arg(i);
        r.issn = QStringLiteral("1234-5679");
        r.publisher = QStringLiteral("Sample Press");
        r.language = QStringLiteral("en");
        r.abstract = QString(1000, u'a');
        r.keywords = {QStringLiteral("samples"), QStringLiteral("testing")};
        r.pageUrl = row.tag;
        row.record = ShareRecord(r);
        list.push_back(std::move(row));
    }
    return list;
}

double peerSeconds(const QString &program, const QStringList &args, const QString &output)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        return -1;
    }
    QProcess p;
    p.setStandardOutputFile(output);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? t.nsecsElapsed() / 1e9 : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("papers"));
    QDir().mkpath(folder);
    const std::vector<DownloadRow> list = makeRows(rows, folder);
    out << "citation export of " << rows << " finished rows (6 authors, a 1,000-character "
        << "abstract, a file on disk each)\n";

    for (const auto &[name, format] :
         {std::pair{"RIS", CitationFormat::Ris}, std::pair{"BibTeX", CitationFormat::BibTex},
          std::pair{"CSL-JSON", CitationFormat::CslJson}}) {
        QElapsedTimer t;
        t.start();
        QList<CitationEntry> entries;
        entries.reserve(qsizetype(list.size()));
        for (const DownloadRow &row : list) {
            entries << CitationEntryOf(row);
        }
        const double entriesMs = t.nsecsElapsed() / 1e6;
        const QString file = dir.filePath(QStringLiteral("export.") + QString::fromLatin1(name));
        QString error;
        if (!SaveCitations(file, entries, format, false, &error)) {
            out << "  " << name << ": " << error << '\n';
            return 1;
        }
        const double ms = t.nsecsElapsed() / 1e6;
        out << "  " << name << ": " << QString::number(ms, 'f', 1) << " ms, "
            << QFile(file).size() / 1024 << " KiB (goal under 1000 ms, "
            << QString::number(1000 / ms, 'f', 1) << "x inside it; the rows' entries "
            << QString::number(entriesMs, 'f', 1) << " ms of it)\n";
        out.flush();
    }

    // The peer: bibutils reading the same RIS and writing BibTeX.
    const QString mods = dir.filePath(QStringLiteral("export.xml"));
    const double read = peerSeconds(
        QStringLiteral("ris2xml"),
        {QStringLiteral("-i"), QStringLiteral("utf8"), dir.filePath(QStringLiteral("export.RIS"))},
        mods);
    const double write =
        peerSeconds(QStringLiteral("xml2bib"), {mods}, dir.filePath(QStringLiteral("peer.bib")));
    if (read < 0 || write < 0) {
        out << "  peer: bibutils (ris2xml, xml2bib) is not installed\n";
    } else {
        out << "  peer, bibutils on the same records: ris2xml "
            << QString::number(read * 1000, 'f', 0) << " ms, xml2bib "
            << QString::number(write * 1000, 'f', 0) << " ms\n";
    }
    return 0;
}
