#include "pagewait.h"

#include "browserpage.h"

#include "common/signalwait.h"

namespace harvly {

namespace {
using Clock = std::chrono::steady_clock;
// How long one wait for the page lasts before the stop condition is looked at again.
constexpr std::chrono::milliseconds kRecheck(100);
} // namespace

QCoro::Task<bool> WaitForPage(QPointer<BrowserPage> page, std::chrono::milliseconds limit,
                              std::function<bool()> stop, std::function<bool()> loading)
{
    const auto deadline = Clock::now() + limit;
    while (page && (page->isBusy() || (loading && loading()))) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if ((stop && stop()) || left.count() <= 0) {
            co_return false;
        }
        // Woken by the page's completion; the stop condition has no signal of its own.
        auto complete =
            waitForSignal(page.data(), &BrowserPage::documentComplete, std::min(kRecheck, left));
        co_await complete;
    }
    co_return bool(page);
}

QCoro::Task<bool> OpenWebPage(QPointer<BrowserPage> page, QUrl url, PageWaitLimits limits,
                              std::function<bool()> stop)
{
    if (!page) {
        co_return false;
    }
    // Each wait is a named task: GCC 12 may destroy temporaries of a co_await expression twice.
    page->navigate(QUrl(QStringLiteral("about:blank")));
    QCoro::Task<bool> blank = WaitForPage(page, limits.blank, stop, {});
    co_await blank;
    if (!page || (stop && stop())) {
        co_return false;
    }
    page->navigate(url);
    QCoro::Task<bool> loaded = WaitForPage(page, limits.page, stop, {});
    const bool done = co_await loaded;
    co_return done;
}

} // namespace harvly
