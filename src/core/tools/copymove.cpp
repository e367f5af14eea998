#include "copymove.h"

#include "common/filenames.h"
#include "common/files.h"
#include "common/stopsource.h"

#include <QCoro/QCoroTimer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <cerrno>
#include <cstring>
#include <memory>

namespace harvly {

namespace {

constexpr qint64 kChunk = 4 * 1024 * 1024;

// A copy in steps: the source streams into a hidden temporary file beside the target, which
// takes the target's name only once it is whole.
class SafeCopy
{
public:
    SafeCopy(const QString &source, const QString &target) : m_in(source), m_target(target) {}
    ~SafeCopy()
    {
        if (m_out && !m_placed) {
            m_out->close();
            QFile::remove(m_out->fileName()); // a copy that did not take its name leaves nothing
        }
    }
    Q_DISABLE_COPY_MOVE(SafeCopy)

    bool open()
    {
        if (!m_in.open(QIODevice::ReadOnly)) {
            m_reason = m_in.errorString();
            return false;
        }
        m_out = std::make_unique<QFile>();
        if (!OpenPartFile(*m_out, QFileInfo(m_target).absolutePath() + QLatin1Char('/'))) {
            m_reason = m_out->errorString();
            m_out.reset();
            return false;
        }
        return true;
    }
    // One chunk; false when the copy is done or failed (see failed()).
    bool step()
    {
        const QByteArray chunk = m_in.read(kChunk);
        if (chunk.isEmpty()) {
            if (m_in.error() != QFileDevice::NoError) {
                m_reason = m_in.errorString();
            }
            return false;
        }
        if (m_out->write(chunk) != chunk.size()) {
            m_reason = m_out->errorString();
            return false;
        }
        return true;
    }
    bool failed() const { return !m_reason.isEmpty(); }
    // Gives the copy its name; Taken when the name is taken and replace is false.
    FileMove commit(bool replace)
    {
        if (failed()) {
            return FileMove::Failed;
        }
        if (!m_out->flush() || m_out->size() != m_in.size()) {
            m_reason = m_out->errorString().isEmpty() ? QStringLiteral("short copy")
                                                      : m_out->errorString();
            return FileMove::Failed;
        }
        // The copy keeps the source's time, so that "same size and time" means the same file.
        m_out->setFileTime(m_in.fileTime(QFileDevice::FileModificationTime),
                           QFileDevice::FileModificationTime);
        m_out->close();
        const FileMove moved = MoveIntoPlace(m_out->fileName(), m_target, replace);
        if (moved == FileMove::Done) {
            m_placed = true;
        } else if (moved == FileMove::Failed) {
            m_reason = QString::fromLocal8Bit(std::strerror(errno));
        }
        return moved;
    }
    QString reason() const { return m_reason; }

private:
    QFile m_in;
    QString m_target;
    std::unique_ptr<QFile> m_out;
    QString m_reason;
    bool m_placed = false;
};

FileMove copySynchronously(const QString &source, const QString &target, bool replace,
                           QString *reason)
{
    SafeCopy copy(source, target);
    FileMove result = FileMove::Failed;
    if (copy.open()) {
        while (copy.step()) {
        }
        result = copy.commit(replace);
    }
    if (reason) {
        *reason = copy.reason();
    }
    return result;
}

// The name rule of an automatic rename: "name[001].ext", "name[002].ext", ...
QString numberedName(const QString &pure, const QString &extension, int counter)
{
    const QString base = counter == 0
                             ? pure
                             : pure + QLatin1Char('[') +
                                   QStringLiteral("%1").arg(counter, 3, 10, QLatin1Char('0')) +
                                   QLatin1Char(']');
    return extension.isEmpty() ? base : base + QLatin1Char('.') + extension;
}

QString withSeparator(const QString &folder)
{
    return folder.isEmpty() || IsPathSeparator(folder.back()) ? folder : folder + QLatin1Char('/');
}

bool sameFolder(const QString &a, const QString &b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath())
               .compare(QDir::cleanPath(QFileInfo(b).absoluteFilePath()), Qt::CaseInsensitive) == 0;
}

// The names a renamed file tries in turn: "name.ext", "name[001].ext", ... (counting on from
// a number the name has already).
class NumberedNames
{
public:
    NumberedNames(QString dir, const QString &base, QString extension)
        : m_dir(std::move(dir)), m_extension(std::move(extension))
    {
        SplitBracketNumber(base, &m_pure);
    }
    QString firstFree()
    {
        QString path;
        while (PathTaken(path = m_dir + numberedName(m_pure, m_extension, m_counter))) {
            ++m_counter;
        }
        return path;
    }
    QString next() { return m_dir + numberedName(m_pure, m_extension, ++m_counter); }

private:
    QString m_dir;
    QString m_pure;
    QString m_extension;
    int m_counter = 0;
};

// Across file systems a move is a copy, and the source goes only when the copy is there
// whole.
void removeMovedSource(const QString &source, const QString &target, qint64 size, CopyMoveResult &r)
{
    if (QFileInfo(target).size() == size) {
        r.sourceDeleted = QFile::remove(source);
        if (!r.sourceDeleted) {
            r.reason = QStringLiteral("copied, but the source could not be deleted");
        }
    }
}

// What the same-name rule makes of a name that is taken.
enum class Taking { Free, Skip, Cover, Rename };

Taking takingFor(const QString &source, const QString &target, SameNameRule rule)
{
    const QFileInfo a(source);
    const QFileInfo b(target);
    switch (rule) {
    case SameNameRule::Skip:
        return Taking::Skip;
    case SameNameRule::Cover:
        return Taking::Cover;
    case SameNameRule::AutoRename:
        return Taking::Rename;
    case SameNameRule::CoverWhenSizeAndTimeEqual:
        // Whole seconds: some file systems keep no finer times.
        return a.size() == b.size() &&
                       a.lastModified().toSecsSinceEpoch() == b.lastModified().toSecsSinceEpoch()
                   ? Taking::Cover
                   : Taking::Rename;
    case SameNameRule::CoverWhenSizeEqual:
        return a.size() == b.size() ? Taking::Cover : Taking::Rename;
    }
    return Taking::Rename;
}

struct Copied {
    FileMove placed = FileMove::Failed;
    QString reason;
};

// A copy in steps, letting the window run between them (large files).
QCoro::Task<Copied> copyInTurns(QString source, QString target, bool replace)
{
    SafeCopy copy(source, target);
    Copied copied;
    if (copy.open()) {
        while (copy.step()) {
            QCoro::Task<> turn = NextTurn();
            co_await turn;
        }
        copied.placed = copy.commit(replace);
    }
    copied.reason = copy.reason();
    co_return copied;
}

} // namespace

std::optional<SameNameRule> SameNameRuleOf(int index)
{
    if (index < 1 || index > 5) {
        return std::nullopt;
    }
    return SameNameRule(index);
}

bool CopyFileSafely(const QString &source, const QString &target, bool replace, QString *reason)
{
    const FileMove result = copySynchronously(source, target, replace, reason);
    if (result == FileMove::Taken && reason) {
        *reason = QStringLiteral("taken");
    }
    return result == FileMove::Done;
}

bool CopySameNameFilesAutomaticallyRename(const QString &source, const QString &folder,
                                          QString *fileName, QString *newPureFileName)
{
    if (!FileExists(source)) {
        return false;
    }
    QString extension;
    QString base;
    SplitFilePath(source, &extension, &base);
    QString pure;
    SplitBracketNumber(base, &pure);
    const QString dir = withSeparator(folder);
    for (int counter = 0; counter < 1000000; ++counter) {
        const QString name = numberedName(pure, extension, counter);
        if (PathTaken(dir + name)) {
            continue;
        }
        const FileMove result = copySynchronously(source, dir + name, false, nullptr);
        if (result == FileMove::Taken) {
            continue; // taken a moment ago: the next number
        }
        if (result == FileMove::Failed) {
            return false;
        }
        if (fileName) {
            *fileName = name;
        }
        if (newPureFileName) {
            *newPureFileName = counter == 0 ? pure : GetFileNameFromPath(name, true);
        }
        return true;
    }
    return false;
}

int CopyMoveReport::failed() const
{
    int n = 0;
    for (const CopyMoveResult &r : files) {
        n += r.outcome == CopyMoveResult::Outcome::Failed ? 1 : 0;
    }
    return n;
}

CopyMoveRun::CopyMoveRun(QObject *parent) : QObject(parent) {}

QCoro::Task<CopyMoveReport> CopyMoveRun::run(QStringList files, QString folder, SameNameRule rule,
                                             bool move)
{
    QList<CopyMoveItem> items;
    for (const QString &f : files) {
        items.append({f, QString()});
    }
    QCoro::Task<CopyMoveReport> all = run(items, folder, rule, move);
    CopyMoveReport report = co_await all;
    co_return report;
}

QCoro::Task<CopyMoveReport> CopyMoveRun::run(QList<CopyMoveItem> items, QString folder,
                                             SameNameRule rule, bool move)
{
    if (m_running) {
        co_return CopyMoveReport{};
    }
    QPointer<CopyMoveRun> self(this);
    m_running = true;
    m_stop.reset();
    QList<CopyMoveItem> present;
    for (const CopyMoveItem &item : items) {
        if (FileExists(item.source)) {
            present << item;
        }
    }
    CopyMoveReport report;
    for (int i = 0; i < present.size(); ++i) {
        if (m_stop.isStopped()) {
            report.stopped = true;
            break; // the rest is passed over
        }
        const CopyMoveItem &item = present.at(i);
        emit progress(i + 1, int(present.size()),
                      item.name.isEmpty() ? QFileInfo(item.source).fileName() : item.name);
        QCoro::Task<CopyMoveResult> file = one(item, folder, rule, move);
        CopyMoveResult result = co_await file;
        if (!self) {
            co_return report;
        }
        report.files.append(std::move(result));
    }
    m_running = false;
    m_stop.reset();
    co_return report;
}

QCoro::Task<CopyMoveResult> CopyMoveRun::one(CopyMoveItem item, QString folder, SameNameRule rule,
                                             bool move)
{
    using Outcome = CopyMoveResult::Outcome;
    const QString source = item.source;
    CopyMoveResult r;
    r.source = source;
    const QString dir = withSeparator(folder);
    QString extension;
    QString base;
    const QString from = SplitFilePath(source, &extension, &base);
    if (!item.name.isEmpty()) {
        SplitFilePath(item.name, &extension, &base);
    }
    // A file that would take its own place is passed over, whatever the rule.
    if (sameFolder(from, dir) &&
        (item.name.isEmpty() || item.name == QFileInfo(source).fileName())) {
        r.outcome = Outcome::PassedOver;
        r.target = source;
        co_return r;
    }
    QString target = dir + (extension.isEmpty() ? base : base + QLatin1Char('.') + extension);
    // Which name to take, and whether a file there may be replaced.
    const Taking taking = PathTaken(target) ? takingFor(source, target, rule) : Taking::Free;
    if (taking == Taking::Skip) {
        r.outcome = Outcome::Skipped; // a move keeps its source too
        co_return r;
    }
    const bool replace = taking == Taking::Cover;
    const bool rename = taking == Taking::Rename;
    if (replace && !QFileInfo(target).isFile()) {
        r.reason = QStringLiteral("a folder holds the name");
        co_return r;
    }
    NumberedNames names(dir, base, extension);
    if (rename) {
        target = names.firstFree();
    }

    const qint64 size = QFileInfo(source).size();
    for (;;) {
        // A move within one file system is a rename: the source is the target at once.
        if (move) {
            const FileMove moved = MoveIntoPlace(source, target, replace);
            if (moved == FileMove::Done) {
                r.sourceDeleted = true;
            } else if (moved == FileMove::Taken && rename) {
                target = names.next();
                continue;
            } else if (moved == FileMove::Taken) {
                r.outcome = Outcome::Skipped;
                co_return r;
            } else if (errno != EXDEV) {
                r.reason = QString::fromLocal8Bit(std::strerror(errno));
                co_return r;
            }
        }
        if (!r.sourceDeleted) {
            QCoro::Task<Copied> copying = copyInTurns(source, target, replace);
            const Copied copied = co_await copying;
            if (copied.placed == FileMove::Taken && (rename || !replace)) {
                if (!rename) {
                    r.outcome = Outcome::Skipped; // the name was taken meanwhile
                    co_return r;
                }
                target = names.next();
                continue;
            }
            if (copied.placed != FileMove::Done) {
                r.reason = copied.reason;
                co_return r;
            }
            if (move) {
                removeMovedSource(source, target, size, r);
            }
        }
        break;
    }
    r.target = target;
    r.outcome = replace ? Outcome::Covered : rename ? Outcome::Renamed : Outcome::Copied;
    QCoro::Task<> turn = NextTurn();
    co_await turn;
    co_return r;
}

} // namespace harvly
