#pragma once

#include "common/build.h"

#include <QRect>
#include <QSize>
#include <QString>

namespace harvly {

// Seconds as the search window writes them: "2Minute5Sec", "59Sec".
QString FormattingTime(int seconds, const Build &build);

// The search window's panels, in twips, for a client area of the given size: the browser
// above, the splitter bar, the result-list panel below.
struct SearchLayout {
    int splitterTop = 0;
    QRect web;
    QRect bar;
    QRect list;
};

constexpr int kSearchMinWidthTwips = 9000;
constexpr int kSearchMinHeightTwips = 5000;
constexpr int kSplitterHeightTwips = 60;

// The smallest size the window springs back to.
QSize SearchWindowSize(QSize requestedTwips);
// Places the panels; a splitter lower than 1200 twips above the bottom, or above the browser
// panel, goes back to four fifths of the height.
SearchLayout LayoutSearchWindow(QSize clientTwips, int splitterTopTwips);

} // namespace harvly
