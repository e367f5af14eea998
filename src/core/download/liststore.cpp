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

QJsonObject rowToJson(const DownloadRow &r)
{
    QJsonObject o{{"key", r.key},
                  {"text", r.text},
                  {"tag", r.tag},
                  {"state", int(r.state)},
                  {"type", r.type},
                  {"fileSize", double(r.fileSize)},
                  {"sizeUnknown", r.sizeUnknown},
                  {"fileMissing", r.fileMissing},
                  {"downloaded", double(r.downloaded)},
                  {"note", int(r.note)},
                  {"savePath", r.savePath},
                  {"b", r.b},
                  {"reason", r.reason},
                  {"busyAnswers", r.busyAnswers}};
    if (r.percentage) {
        o.insert("percentage", *r.percentage);
    }
    if (!r.part.isEmpty()) {
        o.insert("part", QJsonObject{{"path", r.part.path},
                                     {"validator", r.part.validator},
                                     {"address", r.part.address}});
    }
    return o;
}

std::optional<DownloadRow> rowFromJson(const QJsonObject &o)
{
    DownloadRow r;
    r.key = o.value("key").toString();
    const int state = o.value("state").toInt();
    const int note = o.value("note").toInt();
    if (r.key.isEmpty() || state < 1 || state > 4 || note < 0 || note > int(RowNote::ServerBusy)) {
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
    r.b = o.value("b").toString();
    r.reason = o.value("reason").toString();
    r.busyAnswers = o.value("busyAnswers").toInt();
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
    QJsonArray rows;
    for (int i = 0; i < list.size(); ++i) {
        rows.append(rowToJson(list.at(i)));
    }
    const QJsonObject root{{"version", kListStoreVersion}, {"sameName", int(mode)}, {"rows", rows}};
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) < 0 || !out.commit()) {
        say(error, out.errorString());
        return false;
    }
    return true;
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
    connect(&m_timer, &QTimer::timeout, this, &ListStoreWriter::flush);
    connect(&list, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) {
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
                    flush();
                }
            });
    connect(&list, &QAbstractItemModel::rowsInserted, this, &ListStoreWriter::changed);
    connect(&list, &QAbstractItemModel::rowsRemoved, this, &ListStoreWriter::changed);
    connect(&list, &QAbstractItemModel::modelReset, this, &ListStoreWriter::changed);
    connect(&list, &QAbstractItemModel::layoutChanged, this, &ListStoreWriter::changed);
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

void ListStoreWriter::flush()
{
    m_timer.stop();
    if (!m_dirty) {
        return;
    }
    m_dirty = false;
    // A store replaced without being restored: what its rows' transfers left goes with it.
    StoredList replaced;
    if (!m_written && !m_adopted) {
        LoadDownloadList(m_file, &replaced);
    }
    if (!SaveDownloadList(m_list, m_mode ? m_mode() : DuplicateMode::Rename, m_file, &m_error)) {
        m_dirty = true; // tried again at the next change
        return;
    }
    m_written = true;
    if (!replaced.rows.isEmpty()) {
        QSet<QString> listed;
        for (int i = 0; i < m_list.size(); ++i) {
            listed.insert(m_list.at(i).part.path);
        }
        for (const DownloadRow &old : replaced.rows) {
            if (!listed.contains(old.part.path)) {
                RemovePartialFile(old.part);
            }
        }
    }
}

} // namespace harvly
