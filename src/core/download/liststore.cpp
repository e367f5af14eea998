#include "liststore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

namespace harvly {

namespace {

// The store is written by hand, not through QJsonObject: a list of 100,000 rows takes a
// tenth of the time (it is written up to once a second while the list changes).
void appendString(QByteArray &out, const QString &text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[(c >> 4) & 0xf];
                out += hex[c & 0xf];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendField(QByteArray &out, const char *name, const QString &text)
{
    out += ",\"";
    out += name;
    out += "\":";
    appendString(out, text);
}

void appendField(QByteArray &out, const char *name, qint64 number)
{
    out += ",\"";
    out += name;
    out += "\":";
    out += QByteArray::number(number);
}

void appendField(QByteArray &out, const char *name, bool value)
{
    out += ",\"";
    out += name;
    out += value ? "\":true" : "\":false";
}

void appendRow(QByteArray &out, const DownloadRow &r)
{
    out += "{\"key\":";
    appendString(out, r.key);
    appendField(out, "text", r.text);
    appendField(out, "tag", r.tag);
    appendField(out, "state", qint64(r.state));
    appendField(out, "type", r.type);
    appendField(out, "fileSize", r.fileSize);
    appendField(out, "sizeUnknown", r.sizeUnknown);
    appendField(out, "fileMissing", r.fileMissing);
    appendField(out, "downloaded", r.downloaded);
    appendField(out, "note", qint64(r.note));
    appendField(out, "savePath", r.savePath);
    appendField(out, "b", r.queuedAsPage ? QStringLiteral("Y") : QString()); // as stored before
    appendField(out, "reason", r.reason);
    appendField(out, "busyAnswers", qint64(r.busyAnswers));
    if (r.percentage) {
        appendField(out, "percentage", qint64(*r.percentage));
    }
    if (!r.earlier.isEmpty()) {
        appendField(out, "earlier", r.earlier);
    }
    if (r.pages > 0) {
        appendField(out, "pages", qint64(r.pages));
    }
    if (r.record) {
        // Under CSL-JSON names, with the PDF address beside them.
        out += ",\"record\":";
        out += QJsonDocument(RecordToCslJson(*r.record)).toJson(QJsonDocument::Compact);
        if (!r.record->pdfUrl.isEmpty()) {
            appendField(out, "recordPdf", r.record->pdfUrl);
        }
    }
    if (!r.part.isEmpty()) {
        out += ",\"part\":{\"path\":";
        appendString(out, r.part.path);
        appendField(out, "validator", r.part.validator);
        appendField(out, "address", r.part.address);
        out += '}';
    }
    out += '}';
}

std::optional<DownloadRow> rowFromJson(const QJsonObject &o)
{
    DownloadRow r;
    r.key = o.value("key").toString();
    const int state = o.value("state").toInt();
    const int note = o.value("note").toInt();
    if (r.key.isEmpty() || state < 1 || state > 4 || note < 0 ||
        note > int(RowNote::NoTextToCheck)) {
        return std::nullopt;
    }
    r.text = o.value("text").toString();
    r.tag = o.value("tag").toString();
    r.state = DownloadState(state);
    r.type = o.value("type").toString();
    r.fileSize = qint64(o.value("fileSize").toDouble(-1));
    r.sizeUnknown = o.value("sizeUnknown").toBool();
    r.fileMissing = o.value("fileMissing").toBool();
    r.downloaded = qint64(o.value("downloaded").toDouble(-1));
    if (o.contains("percentage")) {
        r.percentage = o.value("percentage").toInt();
    }
    r.note = RowNote(note);
    r.savePath = o.value("savePath").toString();
    r.queuedAsPage = o.value("b").toString() == QLatin1String("Y");
    r.reason = o.value("reason").toString();
    r.busyAnswers = o.value("busyAnswers").toInt();
    r.earlier = o.value("earlier").toString();
    r.pages = o.value("pages").toInt();
    r.record = RecordIn(o, QStringLiteral("recordPdf"));
    const QJsonObject part = o.value("part").toObject();
    r.part = PartialFile{part.value("path").toString(), part.value("validator").toString(),
                         part.value("address").toString()};
    if (r.state == DownloadState::Downloading) {
        // Its transfer ended with the run that held it: it is to do again, continuing what
        // it wrote when it can.
        r.state = DownloadState::Waiting;
        r.clearProgress();
    }
    if (r.note == RowNote::ServerBusy) {
        r.note = RowNote::None; // a new run asks the site again
        r.reason.clear();
    }
    return r;
}

QString JournalOf(const QString &store)
{
    return store + QStringLiteral(".journal");
}

// Rows whose file took its name after the store was last written: the journal names the
// temporary file and the name; when the one is gone and the other is there, the row ended.
void applyJournal(const QString &journal, QList<DownloadRow> &rows)
{
    QFile in(journal);
    if (!in.open(QIODevice::ReadOnly)) {
        return;
    }
    QHash<QString, std::pair<QString, QString>> last;
    for (const QByteArray &line : in.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString key = o.value("key").toString();
        if (!key.isEmpty()) {
            last.insert(key, {o.value("part").toString(), o.value("target").toString()});
        }
    }
    for (DownloadRow &r : rows) {
        const auto noted = last.constFind(r.key);
        if (noted == last.constEnd() || r.state == DownloadState::Finished) {
            continue;
        }
        const QFileInfo target(noted->second);
        if (noted->first.isEmpty() || QFile::exists(noted->first) || !target.isFile()) {
            continue; // not renamed: the row is fetched again
        }
        const QString name = target.fileName();
        const QString suffix = QLatin1Char('.') + r.type;
        r.text = !r.type.isEmpty() && name.endsWith(suffix, Qt::CaseInsensitive)
                     ? name.chopped(suffix.size())
                     : name;
        r.savePath = target.absolutePath() + QLatin1Char('/');
        r.clearProgress();
        r.state = DownloadState::Finished;
        r.fileSize = r.downloaded = target.size();
        r.percentage = 100;
        r.part = {};
    }
}

void say(QString *error, const QString &text)
{
    if (error) {
        *error = text;
    }
}

} // namespace

bool SaveDownloadList(const DownloadListModel &list, DuplicateMode mode, const QString &file,
                      QString *error)
{
    return SaveDownloadRows(list.rows(), mode, file, error);
}

namespace {

QByteArray rowLine(const DownloadRow &r)
{
    QByteArray line;
    line.reserve(256);
    appendRow(line, r);
    return line;
}

// The rows as the store writes them, each made before (see ListStoreWriter).
bool saveStoreLines(const QList<QByteArray> &lines, DuplicateMode mode, const QString &file,
                    QString *error)
{
    QByteArray text = "{\"version\":" + QByteArray::number(kListStoreVersion) +
                      ",\"sameName\":" + QByteArray::number(int(mode)) + ",\"rows\":[";
    qsizetype size = text.size() + 2;
    for (const QByteArray &line : lines) {
        size += line.size() + 1;
    }
    text.reserve(size);
    for (const QByteArray &line : lines) {
        if (&line != lines.constData()) {
            text += ',';
        }
        text += line;
    }
    text += "]}";
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) < 0 || !out.commit()) {
        say(error, out.errorString());
        return false;
    }
    return true;
}

} // namespace

bool SaveDownloadRows(const std::vector<DownloadRow> &list, DuplicateMode mode, const QString &file,
                      QString *error)
{
    QList<QByteArray> lines;
    lines.reserve(qsizetype(list.size()));
    for (const DownloadRow &r : list) {
        lines.append(rowLine(r));
    }
    return saveStoreLines(lines, mode, file, error);
}

StoreRead LoadDownloadList(const QString &file, StoredList *out, QString *error)
{
    QFile in(file);
    if (!in.exists()) {
        return StoreRead::Missing;
    }
    if (!in.open(QIODevice::ReadOnly)) {
        say(error, in.errorString());
        return StoreRead::Damaged;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(in.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        say(error, parse.errorString());
        return StoreRead::Damaged;
    }
    const QJsonObject root = doc.object();
    const int version = root.value("version").toInt();
    if (version > kListStoreVersion) {
        say(error, QStringLiteral("a list of a newer program (version %1)").arg(version));
        return StoreRead::FutureVersion;
    }
    if (version < 1 || !root.value("rows").isArray()) {
        say(error, QStringLiteral("not a download list"));
        return StoreRead::Damaged;
    }
    StoredList stored;
    const int mode = root.value("sameName").toInt(int(DuplicateMode::Rename));
    stored.mode = mode >= 0 && mode <= 2 ? DuplicateMode(mode) : DuplicateMode::Rename;
    for (const QJsonValue &v : root.value("rows").toArray()) {
        const std::optional<DownloadRow> row = rowFromJson(v.toObject());
        if (!row) {
            say(error, QStringLiteral("a row that cannot be read"));
            return StoreRead::Damaged;
        }
        stored.rows.append(*row);
    }
    applyJournal(JournalOf(file), stored.rows);
    if (out) {
        *out = std::move(stored);
    }
    return StoreRead::Ok;
}

QString SetStoreAside(const QString &file)
{
    const QString aside = file + QStringLiteral(".unreadable-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QFile::rename(file, aside) ? aside : QString();
}

int RestoreRows(DownloadListModel &list, const StoredList &stored)
{
    int added = 0;
    for (const DownloadRow &r : stored.rows) {
        const std::optional<quint64> id = list.add(r.key, r.text, r.type, r.savePath, r.tag);
        if (!id) {
            continue; // already in the list
        }
        list.update(*id, [&r](DownloadRow &row) {
            const quint64 keep = row.id;
            row = r;
            row.id = keep;
        });
        ++added;
    }
    return added;
}

ListStoreWriter::ListStoreWriter(DownloadListModel &list, QString file,
                                 std::function<DuplicateMode()> mode, QObject *parent)
    : QObject(parent), m_list(list), m_file(std::move(file)), m_mode(std::move(mode))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ListStoreWriter::writeSoon);
    // The rows are kept as the store writes them, each made again when it changes: a write
    // then costs the window a pointer per row rather than a copy of every row.
    mirrorAll();
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) {
                mirrorChanged(from.row(), to.row());
                changed();
                // A row that ended is written at once: its file is in place, and a crash a
                // moment later must not send it to be fetched again.
                // So is a part that became one to continue: a crash must not orphan it.
                bool now = false;
                for (int i = from.row(); i <= to.row() && i < m_list.size(); ++i) {
                    const DownloadRow &r = m_list.at(i);
                    const auto was = m_states.constFind(r.id);
                    const bool ended =
                        r.state == DownloadState::Finished || r.state == DownloadState::Failed;
                    now |= ended && (was == m_states.constEnd() || *was != r.state);
                    m_states.insert(r.id, r.state);
                    const QString part = r.part.resumable() ? r.part.path : QString();
                    if (part != m_parts.value(r.id)) {
                        now |= !part.isEmpty();
                        m_parts.insert(r.id, part);
                    }
                }
                if (now) {
                    writeSoon();
                }
            });
    connect(&list, &DownloadListModel::placing, this, &ListStoreWriter::journal);
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) {
                mirrorInserted(first, last);
                changed();
            });
    connect(&list, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                mirrorRemoved(first, last);
                changed();
            });
    const auto whole = [this] {
        mirrorAll();
        changed();
    };
    connect(&list, &QAbstractItemModel::modelReset, this, whole);
    connect(&list, &QAbstractItemModel::layoutChanged, this, whole);
}

ListStoreWriter::~ListStoreWriter()
{
    flush();
}

void ListStoreWriter::adopt()
{
    m_active = true;
    m_adopted = true;
    changed();
}

void ListStoreWriter::changed()
{
    if (!m_active && m_list.size() == 0) {
        return; // a declined restore keeps the old store until a new list replaces it
    }
    m_active = true;
    m_dirty = true;
    if (!m_timer.isActive()) {
        m_timer.start(); // at most once a second
    }
}

namespace {

// One write of the store. A store replaced without being restored takes the parts that its
// rows' transfers left along that no row lists any more.
QString writeStore(const QList<QByteArray> &lines, DuplicateMode mode, const QString &file,
                   const std::optional<QSet<QString>> &listedParts)
{
    StoredList replaced;
    if (listedParts) {
        LoadDownloadList(file, &replaced);
    }
    QString error;
    if (!saveStoreLines(lines, mode, file, &error)) {
        return error.isEmpty() ? QStringLiteral("cannot write") : error;
    }
    for (const DownloadRow &old : replaced.rows) {
        if (!listedParts->contains(old.part.path)) {
            RemovePartialFile(old.part);
        }
    }
    return {};
}

} // namespace

void ListStoreWriter::writeSoon()
{
    m_timer.stop();
    if (!m_dirty) {
        return;
    }
    if (m_write.valid()) {
        m_again = true; // one write at a time: the next starts as soon as this one is done
        return;
    }
    m_dirty = false;
    const std::optional<QSet<QString>> listed = partsIfReplacing();
    const int number = ++m_writeNumber;
    m_journalCovered = m_journalLines;
    // The rows' lines are shared with the worker, not copied: a change meanwhile copies the
    // list of lines (a pointer each), never the rows.
    m_write = std::async(std::launch::async,
                         [this, lines = m_lines, mode = m_mode ? m_mode() : DuplicateMode::Rename,
                          file = m_file, listed, number] {
                             QString error = writeStore(lines, mode, file, listed);
                             QMetaObject::invokeMethod(
                                 this, [this, number] { written(number); }, Qt::QueuedConnection);
                             return error;
                         });
}

void ListStoreWriter::written(int number)
{
    if (number != m_writeNumber || !m_write.valid()) {
        return; // flush() took the result already
    }
    waitForWrite(); // done: this only takes its result
    if (m_error.isEmpty() && m_again) {
        // A row that ended while the list was being written is written now, not a second
        // later: a crash meanwhile would send it to be fetched again.
        m_again = false;
        writeSoon();
    }
}

void ListStoreWriter::waitForWrite()
{
    if (m_write.valid()) {
        m_error = m_write.get();
        if (m_error.isEmpty()) {
            journalCovered(m_journalCovered);
        } else {
            m_dirty = true; // tried again at the next change
        }
    }
}

std::optional<QSet<QString>> ListStoreWriter::partsIfReplacing()
{
    const bool replaces = !m_written && !m_adopted;
    m_written = true;
    if (!replaces) {
        return std::nullopt;
    }
    QSet<QString> listed;
    for (const DownloadRow &r : m_list.rows()) {
        listed.insert(r.part.path);
    }
    return listed;
}

void ListStoreWriter::mirrorAll()
{
    m_lines.clear();
    m_lines.reserve(m_list.size());
    for (const DownloadRow &r : m_list.rows()) {
        m_lines.append(rowLine(r));
    }
}

void ListStoreWriter::mirrorInserted(int first, int last)
{
    for (int i = first; i <= last; ++i) {
        m_lines.insert(i, rowLine(m_list.at(i)));
    }
}

void ListStoreWriter::mirrorRemoved(int first, int last)
{
    m_lines.remove(first, last - first + 1);
}

void ListStoreWriter::mirrorChanged(int first, int last)
{
    for (int i = first; i <= last && i < m_list.size(); ++i) {
        m_lines[i] = rowLine(m_list.at(i));
    }
}

void ListStoreWriter::flush()
{
    m_timer.stop();
    m_again = false;
    waitForWrite();
    if (!m_dirty) {
        return;
    }
    m_dirty = false;
    const std::optional<QSet<QString>> listed = partsIfReplacing();
    m_error = writeStore(m_lines, m_mode ? m_mode() : DuplicateMode::Rename, m_file, listed);
    m_dirty = !m_error.isEmpty(); // tried again at the next change
    if (!m_dirty) {
        journalCovered(m_journalLines);
    }
}

void ListStoreWriter::journal(const QString &key, const QString &part, const QString &target)
{
    if (!m_journal.isOpen()) {
        m_journal.setFileName(JournalOf(m_file));
        if (!m_journal.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            return; // the row is then fetched again after a crash, as without the journal
        }
    }
    QByteArray line = "{\"key\":";
    appendString(line, key);
    appendField(line, "part", part);
    appendField(line, "target", target);
    line += "}\n";
    m_journal.write(line); // unbuffered: with the system at once, a crash cannot lose it
    ++m_journalLines;
}

void ListStoreWriter::journalCovered(int lines)
{
    // Emptied only when no file was noted after the rows were copied for the write.
    if (lines > 0 && lines == m_journalLines && m_journal.isOpen()) {
        m_journal.resize(0);
        m_journalLines = 0;
    }
    m_journalCovered = 0;
}

} // namespace harvly
