// harvly-cli's side of the seam: no browser engine. Its main hands the commands that need
// one to harvly-cli-web, so these answers are reached only by a command that asks for a page
// after all; each caller says so and ends with status 2.
#include "cliweb.h"

#include <QCoreApplication>

namespace harvly {

bool CliHasBrowser()
{
    return false;
}

std::unique_ptr<QCoreApplication> MakeCliApplication(int &argc, char **argv, bool)
{
    return std::make_unique<QCoreApplication>(argc, argv);
}

std::unique_ptr<CliWebPage> MakeCliWebPage(SessionNetwork &)
{
    return nullptr;
}

QCoro::Task<std::optional<QList<QNetworkCookie>>> PutCookiesIntoBrowser(QString,
                                                                        QList<QNetworkCookie>)
{
    co_return std::nullopt;
}

} // namespace harvly
