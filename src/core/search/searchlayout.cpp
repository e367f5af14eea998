#include "searchlayout.h"

#include <QCoreApplication>

namespace harvly {

QString FormattingTime(int seconds, const Build &build)
{
    Q_UNUSED(build)
    const QString minute = QCoreApplication::translate("harvly", "Minute");
    const QString sec = QCoreApplication::translate("harvly", "Sec");
    if (seconds > 59) {
        return QString::number(seconds / 60) + minute + QString::number(seconds % 60) + sec;
    }
    return QString::number(seconds) + sec;
}

QSize SearchWindowSize(QSize requestedTwips)
{
    return {qMax(requestedTwips.width(), kSearchMinWidthTwips),
            qMax(requestedTwips.height(), kSearchMinHeightTwips)};
}

SearchLayout LayoutSearchWindow(QSize clientTwips, int splitterTopTwips, int minListTwips,
                                int openListTwips)
{
    SearchLayout l;
    const int height = clientTwips.height();
    const int webTop = 0;
    const int lowest = qMin(height - 1200, height - kSplitterHeightTwips - minListTwips);
    l.splitterTop = splitterTopTwips;
    if (splitterTopTwips > lowest || splitterTopTwips < webTop) {
        // The list shows its opening rows, the browser what is left (at most four fifths, and
        // in a small window at least 1200 twips while the list keeps its least).
        l.splitterTop =
            qBound(qMin(webTop + 1200, lowest),
                   qMin(height * 4 / 5, height - kSplitterHeightTwips - openListTwips), lowest);
    }
    // Menu, borders and status bar lie outside the client area, so only the side margins stay.
    const int left = 20;
    const int width = qMax(0, clientTwips.width() - 2 * left);
    l.bar = QRect(left, l.splitterTop, width, kSplitterHeightTwips);
    l.web = QRect(left, webTop, width, l.splitterTop - webTop);
    const int listTop = l.splitterTop + kSplitterHeightTwips;
    l.list = QRect(left, listTop, width, qMax(0, height - listTop));
    return l;
}

} // namespace harvly
