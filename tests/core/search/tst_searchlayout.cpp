#include "search/searchlayout.h"
#include "support/chinesetexts.h"

#include <QTest>

using namespace harvly;

class tst_SearchLayout : public QObject
{
    Q_OBJECT

private slots:
    void formattingTime_data();
    void formattingTime();
    void splitter_data();
    void splitter();
    void panelsTile();
    void windowSpringsBack_data();
    void windowSpringsBack();
};

void tst_SearchLayout::formattingTime_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("text");
    QTest::newRow("59 stays seconds") << 59 << false << "59Sec";
    QTest::newRow("60 is a minute") << 60 << false << "1Minute0Sec";
    QTest::newRow("125") << 125 << false << "2Minute5Sec";
    QTest::newRow("zero") << 0 << false << "0Sec";
    QTest::newRow("Chinese minutes") << 125 << true << "2分5秒";
    QTest::newRow("Chinese seconds") << 7 << true << "7秒";
}

void tst_SearchLayout::formattingTime()
{
    QFETCH(int, seconds);
    QFETCH(bool, chinese);
    QFETCH(QString, text);
    std::optional<ChineseTexts> texts;
    if (chinese) {
        QVERIFY(texts.emplace().loaded());
    }
    QCOMPARE(FormattingTime(seconds, chinese ? Build::chinese() : Build::english()), text);
}

void tst_SearchLayout::splitter_data()
{
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("expected");
    // client area 15000 x 10000 twips: four fifths is 8000, the lowest allowed top 8800
    QTest::newRow("inside the range stays") << 6000 << 6000;
    QTest::newRow("at the lowest allowed stays") << 8800 << 8800;
    QTest::newRow("below the lowest goes back") << 8801 << 8000;
    QTest::newRow("above the browser goes back") << -15 << 8000;
    QTest::newRow("top edge stays") << 0 << 0;
}

void tst_SearchLayout::splitter()
{
    QFETCH(int, top);
    QFETCH(int, expected);
    const SearchLayout l = LayoutSearchWindow(QSize(15000, 10000), top);
    QCOMPARE(l.splitterTop, expected);
    QCOMPARE(l.bar.top(), expected);
}

void tst_SearchLayout::panelsTile()
{
    const SearchLayout l = LayoutSearchWindow(QSize(15000, 10000), 6000);
    QCOMPARE(l.web.top(), 0);
    QCOMPARE(l.web.height(), 6000);
    QCOMPARE(l.list.top(), 6000 + kSplitterHeightTwips);
    QCOMPARE(l.list.top() + l.list.height(), 10000);
    QCOMPARE(l.web.left(), 20);
    QCOMPARE(l.web.width(), 15000 - 40);
    QCOMPARE(l.list.width(), l.web.width());
}

void tst_SearchLayout::windowSpringsBack_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("size");
    QTest::newRow("too narrow") << QSize(5000, 8000) << QSize(9000, 8000);
    QTest::newRow("too low") << QSize(12000, 100) << QSize(12000, 5000);
    QTest::newRow("large enough") << QSize(9000, 5000) << QSize(9000, 5000);
}

void tst_SearchLayout::windowSpringsBack()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, size);
    QCOMPARE(SearchWindowSize(requested), size);
}

QTEST_GUILESS_MAIN(tst_SearchLayout)
#include "tst_searchlayout.moc"
