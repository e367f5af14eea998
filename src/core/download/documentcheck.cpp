#include "documentcheck.h"

#include "downloadlist.h"
#include "pdfopen.h"
#include "titlematch.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QRegularExpression>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <mutex>

namespace harvly {

namespace {

// The PDF library's module, loaded once for the process. Null, and why, when it cannot be.
OpenPdfFunction pdfLibrary(QString *why)
{
    static QString error;
    static const OpenPdfFunction open = [] {
        QStringList candidates;
        if (QCoreApplication::instance()) {
            candidates << QCoreApplication::applicationDirPath() +
                              QStringLiteral("/" HARVLY_PDF_MODULE_FROM_BIN);
        }
        candidates << QStringLiteral(HARVLY_PDF_MODULE_BUILT);
        for (const QString &candidate : candidates) {
            if (!QFileInfo::exists(candidate)) {
                continue;
            }
            QLibrary library(candidate);
            if (auto f = reinterpret_cast<OpenPdfFunction>(library.resolve(kOpenPdfSymbol))) {
                return f; // the library stays loaded: nothing unloads it
            }
            error = library.errorString();
            return OpenPdfFunction{};
        }
        error = QStringLiteral("no PDF library module at ") + candidates.join(QStringLiteral(", "));
        return OpenPdfFunction{};
    }();
    *why = error;
    return open;
}

// Whether the bytes at offset begin the object "number generation obj".
bool objectAt(const uchar *data, qint64 size, qint64 offset, qint64 number)
{
    if (offset < 0 || offset >= size) {
        return false;
    }
    const QByteArray head = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + offset,
                                                    qsizetype(qMin<qint64>(40, size - offset)))
                                .trimmed();
    const QList<QByteArray> words = head.simplified().split(' ');
    return words.size() >= 3 && words.at(0).toLongLong() == number && words.at(2).startsWith("obj");
}

// Poppler silently rebuilds a cross-reference table that is broken, or that the file's last
// pointer (startxref) misses; qpdf calls such a file damaged, and so does this check: it was
// changed on its way. The table that startxref names is read entry by entry, each object in
// use looked for where the table says it is. "" when all is found.
QString brokenCrossReference(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return f.errorString();
    }
    const qint64 size = f.size();
    const uchar *data = size > 0 ? f.map(0, size) : nullptr;
    if (!data) {
        return QStringLiteral("the file cannot be read");
    }
    const QByteArray all = QByteArray::fromRawData(reinterpret_cast<const char *>(data), size);
    // Only the end is searched: the whole of a large file would be read into memory for it.
    const qint64 end = qMax<qint64>(0, size - 1024);
    const qsizetype found = all.mid(end).lastIndexOf("startxref");
    const qint64 at = found < 0 ? -1 : end + found;
    if (at < 0) {
        return QStringLiteral("no startxref at the end of the file");
    }
    bool ok = false;
    const qint64 table = all.mid(at + 9, 24).simplified().split(' ').value(0).toLongLong(&ok);
    if (!ok || table < 0 || table >= size) {
        return QStringLiteral("startxref points outside the file");
    }
    if (!all.mid(table, 4).startsWith("xref")) {
        // A cross-reference stream (PDF 1.5): Poppler reads and checks it itself.
        static const QRegularExpression stream(QStringLiteral("^\\d+\\s+\\d+\\s+obj"));
        return stream.match(QString::fromLatin1(all.mid(table, 32))).hasMatch()
                   ? QString()
                   : QStringLiteral("startxref points to no cross-reference table");
    }
    qint64 pos = table + 4;
    const auto line = [&]() {
        while (pos < size && (all.at(pos) == '\r' || all.at(pos) == '\n' || all.at(pos) == ' ')) {
            ++pos;
        }
        const qint64 start = pos;
        while (pos < size && all.at(pos) != '\r' && all.at(pos) != '\n') {
            ++pos;
        }
        return all.mid(start, pos - start).trimmed();
    };
    for (QByteArray header = line(); !header.startsWith("trailer"); header = line()) {
        const QList<QByteArray> range = header.simplified().split(' ');
        bool first = false;
        bool count = false;
        const qint64 number = range.value(0).toLongLong(&first);
        const qint64 entries = range.value(1).toLongLong(&count);
        if (range.size() != 2 || !first || !count || entries < 0 || entries > size / 20) {
            return QStringLiteral("the cross-reference table is broken");
        }
        for (qint64 i = 0; i < entries; ++i) {
            const QList<QByteArray> entry = line().split(' ');
            bool offsetOk = false;
            const qint64 offset = entry.value(0).toLongLong(&offsetOk);
            if (entry.size() != 3 || !offsetOk || entry.at(0).size() != 10 ||
                (entry.at(2) != "n" && entry.at(2) != "f")) {
                return QStringLiteral("the cross-reference table is broken");
            }
            if (entry.at(2) == "n" && !objectAt(data, size, offset, number + i)) {
                return QStringLiteral("object %1 is not where the cross-reference table says")
                    .arg(number + i);
            }
        }
    }
    return {};
}

} // namespace

QString ExpectedTitle(const DownloadRow &row)
{
    return row.record && !row.record->title.isEmpty() ? row.record->title : row.text;
}

void NoteDocumentCheck(DownloadRow &row, const DocumentCheck &check)
{
    row.pages = check.pages;
    if (check.opens == DocumentCheck::Opens::NeedsPassword) {
        row.note = RowNote::NeedsPassword;
    } else if (check.title == DocumentCheck::Title::NotFound) {
        row.note = RowNote::TitleNotFound;
    } else if (check.title == DocumentCheck::Title::NoText) {
        row.note = RowNote::NoTextToCheck;
    }
}

DocumentCheck CheckPdfDocument(const QString &file, const QString &title)
{
    DocumentCheck check;
    const auto damaged = [&check](const QString &why) {
        check.opens = DocumentCheck::Opens::Damaged;
        check.problem = why;
        return check;
    };
    // The table first: it is read from the file's end in a moment, where Poppler, finding it
    // broken, would search the whole file (seconds for a large one) only to call it damaged.
    if (const QString broken = brokenCrossReference(file); !broken.isEmpty()) {
        return damaged(broken);
    }
    QString why;
    const OpenPdfFunction open = pdfLibrary(&why);
    if (!open) {
        // An installation without its PDF module: the document is not judged either way.
        static std::once_flag said;
        std::call_once(
            said, [&why] { qWarning("document check unavailable: %ls", qUtf16Printable(why)); });
        check.problem = why;
        return check;
    }
    PdfOpened opened;
    open(file, opened);
    if (opened.result == PdfOpened::Result::Locked) {
        check.opens = DocumentCheck::Opens::NeedsPassword;
        return check;
    }
    if (opened.result == PdfOpened::Result::DoesNotOpen) {
        return damaged(opened.problem.isEmpty() ? QStringLiteral("the file does not open")
                                                : opened.problem);
    }
    check.pages = opened.pages;
    if (check.pages <= 0) {
        return damaged(QStringLiteral("no pages"));
    }
    // Poppler opens what it can repair; a file it had to repair is not what the site sent.
    if (!opened.problem.isEmpty()) {
        return damaged(opened.problem);
    }
    if (title.trimmed().isEmpty()) {
        return check;
    }
    if (TitleWords(opened.text).isEmpty()) {
        check.title = DocumentCheck::Title::NoText;
    } else {
        check.title = TextCarriesTitle(title, opened.text) ? DocumentCheck::Title::Found
                                                           : DocumentCheck::Title::NotFound;
    }
    return check;
}

QFuture<DocumentCheck> CheckPdfDocumentLater(const QString &file, const QString &title)
{
    // Not Qt's global pool: the window's painting waits on that one (the raster engine
    // splits large fills over it), so a long check there, such as Poppler searching a large
    // damaged file, would hold a paint until it ends. One thread: the other core stays free.
    static QThreadPool *const pool = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(1);
        p->setObjectName(QStringLiteral("document checks"));
        return p;
    }();
    return QtConcurrent::run(pool, &CheckPdfDocument, file, title);
}

} // namespace harvly
