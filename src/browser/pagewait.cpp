#include "pagewait.h"

#include "browserpage.h"

#include "common/signalwait.h"

namespace harvly {

namespace {
using Clock = std::chrono::steady_clock;
// How long one wait lasts before the page's own state is looked at again (a load that ends
// without a completion, say).
constexpr std::chrono::milliseconds kRecheck(100);

bool stopped(const QPointer<StopSource> &stop)
{
    return stop && stop->isStopped();
}
} // namespace

QCoro::Task<bool> WaitForPage(QPointer<BrowserPage> page, std::chrono::milliseconds limit,
                              QPointer<StopSource> stop, std::function<bool()> loading)
{
    const auto deadline = Clock::now() + limit;
    while (page && (page->isBusy() || (loading && loading()))) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (stopped(stop) || left.count() <= 0) {
            co_return false;
        }
        // Woken by the page's completion or by the stop, whichever comes first.
        StopSource wake;
        QObject::connect(page.data(), &BrowserPage::documentComplete, &wake, &StopSource::stop);
        if (stop) {
            QObject::connect(stop.data(), &StopSource::stopped, &wake, &StopSource::stop);
        }
        QCoro::Task<bool> woken = WaitUnlessStopped(&wake, std::min(kRecheck, left));
        co_await woken;
    }
    co_return bool(page);
}

QCoro::Task<bool> OpenWebPage(QPointer<BrowserPage> page, QUrl url, PageWaitLimits limits,
                              QPointer<StopSource> stop)
{
    if (!page) {
        co_return false;
    }
    // Each wait is a named task: GCC 12 may destroy temporaries of a co_await expression twice.
    page->navigate(QUrl(QStringLiteral("about:blank")));
    QCoro::Task<bool> blank = WaitForPage(page, limits.blank, stop, {});
    co_await blank;
    if (!page || stopped(stop)) {
        co_return false;
    }
    page->navigate(url);
    QCoro::Task<bool> loaded = WaitForPage(page, limits.page, stop, {});
    const bool done = co_await loaded;
    co_return done;
}

} // namespace harvly
