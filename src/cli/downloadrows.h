#pragma once

#include <QString>

class QTextStream;

namespace harvly {

class DownloadListModel;
struct DownloadRow;

// What a download run tells while it goes: on a terminal one line that rewrites itself
// (rows done of all, bytes, rate, time left, the title being fetched); elsewhere the list's
// counts once a second, as before; nothing when quiet.
class DownloadProgress
{
public:
    DownloadProgress(QTextStream &err, bool quiet);
    void tick(const DownloadListModel &list); // once a second
    void end(const DownloadListModel &list);  // the last counts, the terminal line ended

private:
    QTextStream &m_err;
    bool m_quiet;
    bool m_terminal;
    qint64 m_lastBytes = -1;
    int m_lastWidth = 0;
};

// The line a terminal shows, from the bytes the rows have so far and the rate.
QString ProgressLine(const DownloadListModel &list, double bytesPerSecond);

// One row of the result: tab-separated columns, or a JSON object with its record.
QString DownloadRowLine(const DownloadRow &row, const QString &state, double seconds, bool json);

// The rows that did not finish, as a list the download command reads again: a comment line
// with the reason before each, then the address, title, type and referer (a JSON line with
// the record when json). False, with the error, when the file cannot be written.
bool WriteFailedList(const QString &file, const DownloadListModel &list, bool json, QString *error);

} // namespace harvly
