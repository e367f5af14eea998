#pragma once

#include "common/stopsource.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace harvly {

// What to do when the destination already holds a file of the same name (the stored index).
enum class SameNameRule {
    Skip = 1,
    Cover = 2,
    AutoRename = 3,
    CoverWhenSizeAndTimeEqual = 4, // otherwise Auto Rename
    CoverWhenSizeEqual = 5,        // otherwise Auto Rename
};
std::optional<SameNameRule> SameNameRuleOf(int index);

// Copies source into folder under its own name, or, when that is taken, under the first free
// "name[001].ext", "name[002].ext", ... (a counter in brackets already on the name is dropped
// first). fileName and newPureFileName receive the name taken and its base. False when the
// source does not exist or the copy failed; nothing in the folder is replaced.
bool CopySameNameFilesAutomaticallyRename(const QString &source, const QString &folder,
                                          QString *fileName, QString *newPureFileName);

// Copies source to target through a temporary file beside the target, which then takes the
// name: replacing a file there only when replace is true, otherwise never (false, "taken").
// The target is never left half written.
bool CopyFileSafely(const QString &source, const QString &target, bool replace,
                    QString *reason = nullptr);

// A file to copy or move, and the name it should take there ("": its own).
struct CopyMoveItem {
    QString source;
    QString name;
};

struct CopyMoveResult {
    enum class Outcome { Copied, Covered, Renamed, Skipped, PassedOver, Failed };
    QString source;
    QString target; // where the file is now ("" when skipped or failed)
    Outcome outcome = Outcome::Failed;
    bool sourceDeleted = false;
    QString reason; // why it failed
};

struct CopyMoveReport {
    QList<CopyMoveResult> files;
    bool stopped = false;
    int failed() const;
};

// One run of copying (or moving) a list of files into one folder, file by file, with a rule
// for names that are taken. Nothing is lost: a copy takes its name only when it is whole, a
// move deletes its source only when the target exists with the source's size, and a file
// that fails is reported while the run goes on.
class CopyMoveRun final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CopyMoveRun)

public:
    explicit CopyMoveRun(QObject *parent = nullptr);

    bool running() const { return m_running; }
    // The files not yet reached are passed over; the file being copied is finished first.
    void stop() { m_stop.stop(); }

    // folder ends with a separator or not; it must exist. Refused (an empty report) while a
    // run goes on. Sources that do not exist are dropped before the run.
    QCoro::Task<CopyMoveReport> run(QStringList files, QString folder, SameNameRule rule,
                                    bool move);
    QCoro::Task<CopyMoveReport> run(QList<CopyMoveItem> items, QString folder, SameNameRule rule,
                                    bool move);

signals:
    // Before each file: its 1-based place, the number of files, its name.
    void progress(int index, int count, const QString &fileName);

private:
    QCoro::Task<CopyMoveResult> one(CopyMoveItem item, QString folder, SameNameRule rule,
                                    bool move);

    bool m_running = false;
    StopSource m_stop;
};

} // namespace harvly
