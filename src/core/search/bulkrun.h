#pragma once

#include "common/citationrecord.h"
#include "common/stopsource.h"
#include "harvest.h"
#include "resultlist.h"

#include <QCoro/QCoroTask>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <chrono>
#include <functional>

namespace harvly {

// The lines of a bulk list: NUL characters dropped, CR LF, LF and lone CR all end a line.
QStringList BulkLines(const QString &text);
// The address a line of it stands for: a line that holds a DOI ("10.1234/abc",
// "doi:10.1234/abc", "https://doi.org/10.1234/abc") the DOI's address at the resolver, a line
// that begins with "http" (any letter case) itself, trimmed; "" for any other line (skipped).
QString BulkLineAddress(const QString &line, const QString &doiResolver = kDefaultDoiResolver);
// The addresses of its lines.
QStringList BulkAddressLines(const QString &text, const QString &doiResolver = kDefaultDoiResolver);

class BulkUrlRun;

// The "Download Method" for one address: its page text fetched and taken as one row. A stop
// of run, when given, aborts the fetch at once.
QCoro::Task<bool> AddByDownloadMethod(QPointer<QNetworkAccessManager> network,
                                      QPointer<ResultListModel> list, HarvestOptions options,
                                      QString address, QPointer<BulkUrlRun> run = {});

struct BulkRunResult {
    int added = 0;     // addresses that gave a row
    int addresses = 0; // address lines walked
    QStringList unsuccessful;
    bool stopped = false;
};

// One run over a bulk list: each address is analysed in turn (by the caller's method), with
// the user's delay after each, and the addresses that gave no row are collected. A stop
// ends the current analysis's wait and lists every remaining address as unsuccessful.
class BulkUrlRun final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BulkUrlRun)

public:
    // True when the address gave a row.
    using Analyse = std::function<QCoro::Task<bool>(QString address)>;
    // Waits the delay, or less when a stop comes; tests give one that does not wait.
    using Sleep = std::function<QCoro::Task<>(std::chrono::milliseconds delay)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit BulkUrlRun(QObject *parent = nullptr);

    bool running() const { return m_running; }
    void stop();
    bool stopRequested() const { return m_stop.isStopped(); }
    StopSource *stopSource() { return &m_stop; }
    Sleep sleep;
    // The user's delay counts from when an address was taken; tests give their own clock.
    Clock now = [] { return std::chrono::steady_clock::now(); };
    QString doiResolver = kDefaultDoiResolver; // where a line's DOI is looked up

    // Refused (an empty result) while a run goes on.
    QCoro::Task<BulkRunResult> run(QString text, Analyse analyse, std::chrono::seconds delay);

signals:
    // The line of the list reached (from 1), of all its lines, address or not.
    void progress(int line, int lines);
    void stopped();

private:
    bool m_running = false;
    StopSource m_stop;
};

} // namespace harvly
