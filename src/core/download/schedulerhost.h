#pragma once

#include <QCoro/QCoroTask>
#include <QString>

namespace harvly {

// The prompt sounds, by the number of the resource each is (101.wav, ...).
enum class Sound {
    WebPage = 101,          // a download ended as a web page
    SchedulerStopped = 102, // all done, or the error stop
    DownloadFailed = 103,
};

// What the download scheduler and its engines need from the window they run in.
class SchedulerHost
{
public:
    virtual ~SchedulerHost() = default;
    virtual void playSound(Sound sound) = 0;
    // Logs in again through the window's browser after a download came back as a page; the
    // single-request way starts its next row only when the login has ended.
    virtual QCoro::Task<> loginSite() = 0;
    virtual void scrollTo(quint64 rowId) = 0;
    // Opens a row's referer page in the window's browser before its download.
    virtual QCoro::Task<> openReferer(QString url) = 0;
    // Status bar panel 2 (the transfer) and 3 (the connection state).
    virtual void statusText(int panel, const QString &text) = 0;
    // The download timer was switched on or off.
    virtual void timerDownChanged(bool enabled) = 0;
};

} // namespace harvly
