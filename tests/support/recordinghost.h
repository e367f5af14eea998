#pragma once

#include "common/signalwait.h"
#include "download/schedulerhost.h"

#include <QObject>
#include <QStringList>

// Holds a login open until the test lets it end.
class LoginGate final : public QObject
{
    Q_OBJECT
signals:
    void opened();
};

// Stands in for the download window: records what the scheduler and engines ask of it.
class RecordingHost final : public harvly::SchedulerHost
{
public:
    void playSound(harvly::Sound sound) override { sounds << int(sound); }
    QCoro::Task<> loginSite() override
    {
        ++logins;
        if (holdLogins) {
            auto open =
                harvly::waitForSignal(&gate, &LoginGate::opened, std::chrono::milliseconds(0));
            co_await open;
        }
        ++loginsEnded;
    }
    void scrollTo(quint64) override {}
    QCoro::Task<> openReferer(QString url) override
    {
        referers << url;
        co_return;
    }
    void statusText(int panel, const QString &text) override
    {
        if (panel == 2) {
            panel2 = text;
        }
    }
    void timerDownChanged(bool) override {}

    QList<int> sounds;
    LoginGate gate;
    bool holdLogins = false;
    int logins = 0;
    int loginsEnded = 0;
    QStringList referers;
    QString panel2;
};
