#pragma once

#include "savenames.h"

#include <QString>

#include <chrono>

namespace harvly {

// The two ways rows are downloaded, numbered as the settings and the window's "Download Way:"
// show them: one request at a time (with proxy), or parallel slots.
enum class DownloadWay { Single = 1, Parallel = 2 };
inline int WayNumber(DownloadWay way)
{
    return int(way);
}
inline DownloadWay WayFromNumber(int number)
{
    return number == 2 ? DownloadWay::Parallel : DownloadWay::Single;
}

// How the download window is set up: its settings row, menus and proxy values.
struct DownloadOptions {
    DownloadWay way = DownloadWay::Single;
    int threads = 1;  // parallel slots, 1 to 6
    int interval = 0; // seconds between the end of one download and the next start
    DuplicateMode duplicateMode = DuplicateMode::Rename;
    bool proxyOn = false;
    QString proxyHost;
    QString proxyPort;
    bool autoStart = false;
    bool autoReDownload = false;
    int reDownloadKind = 0; // 0 failed rows, 1 page rows, 2 both
    bool errorStop = false;
    bool voicePrompts = false;
    bool autoLogin = false;
    bool autoPositioning = false;
    bool openRefererFirst = false;
    double sizeCeilingMegabytes = 0; // the Chinese build skips larger downloads; 0: no ceiling
    bool checkPdfEnd = true;         // a PDF without its end marker fails its row
    bool checkDocuments = true;      // a PDF is opened: damaged fails, its title is looked for
    // A row whose transfer was cut off, timed out or met a server error is tried again this
    // many times (see TransientRetry); 0: it fails at once.
    int retries = 0;
};

// The time limits of a transfer; tests shorten them.
struct EngineLimits {
    std::chrono::milliseconds response{30000}; // for the response headers
    std::chrono::milliseconds stall{120000};   // without a byte of progress
    std::chrono::seconds abandon{1200};        // a slot that never learnt its size
};

} // namespace harvly
