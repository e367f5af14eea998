#include "pagewait.h"

#include "browserpage.h"

#include <QCoro/QCoroTimer>

namespace harvly {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPoll(50);

QCoro::Task<bool> waitForDocument(QPointer<BrowserPage> page, std::chrono::milliseconds limit,
                                  std::function<bool()> stop)
{
    const auto deadline = Clock::now() + limit;
    while (page && page->isBusy()) {
        if ((stop && stop()) || Clock::now() > deadline) {
            co_return false;
        }
        co_await QCoro::sleepFor(kPoll);
    }
    co_return bool(page);
}

} // namespace

QCoro::Task<bool> OpenWebPage(QPointer<BrowserPage> page, QUrl url, PageWaitLimits limits,
                              std::function<bool()> stop)
{
    if (!page) {
        co_return false;
    }
    // Each wait is a named task: GCC 12 may destroy temporaries of a co_await expression twice.
    page->navigate(QUrl(QStringLiteral("about:blank")));
    QCoro::Task<bool> blank = waitForDocument(page, limits.blank, stop);
    co_await blank;
    if (!page || (stop && stop())) {
        co_return false;
    }
    page->navigate(url);
    QCoro::Task<bool> loaded = waitForDocument(page, limits.page, stop);
    const bool done = co_await loaded;
    co_return done;
}

} // namespace harvly
