#pragma once

#include <QCoro/QCoroTask>
#include <QList>
#include <QNetworkCookie>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QCoreApplication;

namespace harvly {

class DomDocument;
class SessionNetwork;
class StopSource;

// What the commands need of the browser engine, and the one place that knows of it. Two
// programs are built from the commands: harvly-cli, without the engine (it starts in a few
// milliseconds and holds little memory), and harvly-cli-web, with it. harvly-cli hands a
// command that needs the engine to harvly-cli-web before it starts (HandOverToBrowser);
// should such a command still reach harvly-cli's side, the functions below say so by giving
// nothing back.

// Whether this program has the browser engine.
bool CliHasBrowser();

// The application object the command runs under: with the browser's needs (an offscreen
// GUI application) when asked and this program has the engine, a plain one otherwise.
std::unique_ptr<QCoreApplication> MakeCliApplication(int &argc, char **argv, bool browser);

// An offscreen page of the windows' browser profile, whose requests carry network's cookies.
class CliWebPage
{
public:
    virtual ~CliWebPage() = default;
    // The bulk window's web method: the page loaded (until stop), then its document.
    virtual QCoro::Task<std::optional<DomDocument>> open(QUrl address,
                                                         QPointer<StopSource> stop) = 0;
    // A result page: loaded, then taken once it shows something to harvest (three seconds
    // at most).
    virtual QCoro::Task<std::optional<DomDocument>> openResultPage(QUrl address) = 0;
};
// Null without the engine.
std::unique_ptr<CliWebPage> MakeCliWebPage(SessionNetwork &network);

// Puts cookies into the browser's store kept in browserFolder and gives back those the store
// reports as taken. Nothing without the engine.
QCoro::Task<std::optional<QList<QNetworkCookie>>>
PutCookiesIntoBrowser(QString browserFolder, QList<QNetworkCookie> cookies);

// harvly-cli's side: runs harvly-cli-web with the same arguments in this process's place.
// Returns only when it cannot (having said why on standard error), with the exit status 2.
int HandOverToBrowser(const QString &command, char **argv);

} // namespace harvly
