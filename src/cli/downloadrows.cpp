#include "downloadrows.h"

#include "download/downloadlist.h"
#include "jsonrows.h"

#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace harvly {

namespace {

QString bytesText(double bytes)
{
    static const char *const units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int unit = 0;
    while (bytes >= 1024 && unit < 4) {
        bytes /= 1024;
        ++unit;
    }
    return QString::number(bytes, 'f', unit == 0 ? 0 : 1) + QLatin1Char(' ') +
           QLatin1String(units[unit]);
}

qint64 bytesSoFar(const DownloadListModel &list)
{
    qint64 bytes = 0;
    for (int i = 0; i < list.size(); ++i) {
        bytes += qMax<qint64>(0, list.at(i).downloaded);
    }
    return bytes;
}

QString listLine(const DownloadRow &r)
{
    const auto field = [](QString s) { return s.replace(QLatin1Char('\t'), QLatin1Char(' ')); };
    return field(r.key) + QLatin1Char('\t') + field(r.text) + QLatin1Char('\t') + field(r.type) +
           QLatin1Char('\t') + field(r.tag) + QLatin1Char('\n');
}

} // namespace

DownloadProgress::DownloadProgress(QTextStream &err, bool quiet)
    : m_err(err), m_quiet(quiet), m_terminal(isatty(fileno(stderr)) == 1)
{
}

void DownloadProgress::tick(const DownloadListModel &list)
{
    if (m_quiet) {
        return;
    }
    if (!m_terminal) {
        m_err << list.ListCountsText() << '\n';
        m_err.flush();
        return;
    }
    const qint64 bytes = bytesSoFar(list);
    const double rate = m_lastBytes < 0 ? 0 : double(qMax<qint64>(0, bytes - m_lastBytes));
    m_lastBytes = bytes;
    QString line = ProgressLine(list, rate).left(150);
    const int width = int(line.size());
    line += QString(qMax(0, m_lastWidth - width), QLatin1Char(' ')); // what the last one left
    m_lastWidth = width;
    m_err << '\r' << line;
    m_err.flush();
}

void DownloadProgress::end(const DownloadListModel &list)
{
    if (m_quiet) {
        return;
    }
    if (m_terminal && m_lastWidth > 0) {
        m_err << '\r' << QString(m_lastWidth, QLatin1Char(' ')) << '\r';
    }
    m_err << list.ListCountsText() << '\n';
    m_err.flush();
}

QString ProgressLine(const DownloadListModel &list, double bytesPerSecond)
{
    int done = 0;
    qint64 left = 0;
    bool leftKnown = true;
    QString current;
    for (int i = 0; i < list.size(); ++i) {
        const DownloadRow &r = list.at(i);
        if (r.state == DownloadState::Finished || r.state == DownloadState::Failed) {
            ++done;
            continue;
        }
        if (r.state == DownloadState::Downloading && current.isEmpty()) {
            current = r.text;
        }
        if (r.fileSize < 0) {
            leftKnown = false;
        } else {
            left += r.fileSize - qMax<qint64>(0, r.downloaded);
        }
    }
    QString line = QStringLiteral("[%1/%2] %3")
                       .arg(done)
                       .arg(list.size())
                       .arg(bytesText(double(bytesSoFar(list))));
    if (bytesPerSecond > 0) {
        line += QStringLiteral(" at %1/s").arg(bytesText(bytesPerSecond));
        if (leftKnown && done < list.size()) {
            const qint64 seconds = qint64(double(left) / bytesPerSecond);
            line += seconds >= 60 ? QStringLiteral(", %1 min left").arg((seconds + 59) / 60)
                                  : QStringLiteral(", %1 s left").arg(seconds);
        }
    }
    if (!current.isEmpty()) {
        line += QStringLiteral(": ") + current;
    }
    return line;
}

QString DownloadRowLine(const DownloadRow &r, const QString &state, double seconds, bool json)
{
    // What the document check found of a finished document stands where a failure's reason
    // would.
    const QString reason =
        r.reason.isEmpty() && IsDocumentNote(r.note) ? RowNoteText(r.note) : r.reason;
    if (!json) {
        return state + QLatin1Char('\t') + r.type + QLatin1Char('\t') + r.fileSizeText() +
               QLatin1Char('\t') + r.downloadedText() + QLatin1Char('\t') + r.percentageText() +
               QLatin1Char('\t') + r.localFile() + QLatin1Char('\t') +
               QString::number(seconds, 'f', 3) + QLatin1Char('\t') + r.key + QLatin1Char('\t') +
               reason + QLatin1Char('\n');
    }
    QJsonObject row{
        {QStringLiteral("state"), state},        {QStringLiteral("type"), r.type},
        {QStringLiteral("size"), r.fileSize},    {QStringLiteral("downloaded"), r.downloaded},
        {QStringLiteral("file"), r.localFile()}, {QStringLiteral("seconds"), seconds},
        {QStringLiteral("address"), r.key},      {QStringLiteral("title"), r.text},
        {QStringLiteral("referer"), r.tag}};
    if (r.percentage) {
        row.insert(QStringLiteral("percentage"), *r.percentage);
    }
    if (!reason.isEmpty()) {
        row.insert(QStringLiteral("reason"), reason);
    }
    if (r.pages > 0) {
        row.insert(QStringLiteral("pages"), r.pages);
    }
    return JsonRowLine(row, r.record);
}

bool WriteFailedList(const QString &file, const DownloadListModel &list, bool json, QString *error)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = out.errorString();
        return false;
    }
    QString text;
    for (int i = 0; i < list.size(); ++i) {
        const DownloadRow &r = list.at(i);
        if (r.state == DownloadState::Finished) {
            continue;
        }
        QString reason = r.reason.isEmpty() ? QStringLiteral("not finished") : r.reason;
        text += QStringLiteral("# ") + reason.replace(QLatin1Char('\n'), QLatin1Char(' ')) +
                QLatin1Char('\n');
        text += json ? JsonRowLine({{QStringLiteral("address"), r.key},
                                    {QStringLiteral("title"), r.text},
                                    {QStringLiteral("type"), r.type},
                                    {QStringLiteral("referer"), r.tag}},
                                   r.record)
                     : listLine(r);
    }
    if (out.write(text.toUtf8()) < 0 || !out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace harvly
