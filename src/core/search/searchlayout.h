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
constexpr int kSplitterHeightTwips = 120; // 8 pixels: a bar one can see and grab

// The smallest size the window springs back to.
QSize SearchWindowSize(QSize requestedTwips);
// Places the panels; a splitter lower than 1200 twips above the bottom (or than leaves the
// list panel minListTwips), or above the browser panel, goes back to four fifths of the
// height, or higher when the list panel would have less than openListTwips there.
SearchLayout LayoutSearchWindow(QSize clientTwips, int splitterTopTwips, int minListTwips = 0,
                                int openListTwips = 0);

} // namespace harvly
