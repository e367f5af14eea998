#pragma once

#include "common/stopsource.h"

#include <QCoro/QCoroTask>
#include <QPointer>
#include <QUrl>

#include <chrono>
#include <functional>

namespace harvly {

class BrowserPage;

struct PageWaitLimits {
    std::chrono::milliseconds blank{3000};
    std::chrono::milliseconds page{30000};
};

// Waits while the page (or loading(), when given) is busy, at most limit; a stop ends the
// wait at once. True when the page came to rest in time.
QCoro::Task<bool> WaitForPage(QPointer<BrowserPage> page, std::chrono::milliseconds limit,
                              QPointer<StopSource> stop, std::function<bool()> loading);

// Loads url into the page and waits until its top-level document is complete: first the
// blank page (so a slow old page cannot be mistaken for the new one), then the address. Each
// wait ends at its limit or as soon as stop stops. True when the page completed in time.
QCoro::Task<bool> OpenWebPage(QPointer<BrowserPage> page, QUrl url, PageWaitLimits limits,
                              QPointer<StopSource> stop);

} // namespace harvly
