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
    page->navigate(QUrl(QStringLiteral("about:blank")));
    co_await waitForDocument(page, limits.blank, stop);
    if (!page || (stop && stop())) {
        co_return false;
    }
    page->navigate(url);
    co_return co_await waitForDocument(page, limits.page, stop);
}

} // namespace harvly
