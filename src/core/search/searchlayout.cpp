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

SearchLayout LayoutSearchWindow(QSize clientTwips, int splitterTopTwips)
{
    SearchLayout l;
    const int height = clientTwips.height();
    const int webTop = 0;
    l.splitterTop = splitterTopTwips;
    if (splitterTopTwips > height - 1200 || splitterTopTwips < webTop) {
        l.splitterTop = height * 4 / 5;
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
