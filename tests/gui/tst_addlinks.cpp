#include "app/workspace.h"
#include "browserpage.h"
#include "common/program.h"
#include "common/urltext.h"
#include "download/downloadlist.h"
#include "download/ffiledownload.h"
#include "download/liststore.h"
#include "download/loginpanel.h"
#include "download/scheduler.h"
#include "download/urlreplace.h"
#include "folders/fselefilesavepath.h"
#include "search/addlinks.h"
#include "search/fwebsearch.h"
#include "search/resultlist.h"
#include "support/chinesetexts.h"
#include "support/searchwindowfixture.h"
#include "support/webenginetest.h"
#include "testsite.h"
#include "webbrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

using namespace harvly;
using namespace std::chrono_literals;

// The bulk document URL window, driven as a user drives it, into a live search window.
class tst_Addlinks : public QObject, protected SearchWindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void bulkWindowTakesAddresses_data();
    void bulkWindowTakesAddresses();
    void bulkWindowRefusesToCloseDuringARun();
    void bulkRetryCycleEndsWhenNothingIsLeft();
    void bulkTakesDoisThroughTheResolverSetting();
    void bulkPageLimitStopsARun();
    void bulkPageLimitWithRetryTriesTheRestLater();
    void bulkClosingTheSearchWindowStopsTheRun_data();
    void bulkClosingTheSearchWindowStopsTheRun();
    void bulkTwoHundredAddressesEachAddedOnce();
    void bulkWindowInTheChineseBuild();
    void bulkSaveAndCopyTheUnsuccessful();
    void bulkImport_data();
    void bulkImport();
};

void tst_Addlinks::initTestCase()
{
    QVERIFY(startSite());
}

void tst_Addlinks::init()
{
    openWindows();
}

void tst_Addlinks::cleanup()
{
    closeWindows();
}

void tst_Addlinks::bulkWindowTakesAddresses_data()
{
    QTest::addColumn<QString>("method");
    QTest::newRow("download method") << "Option2";
    QTest::newRow("web method") << "Option1";
}

void tst_Addlinks::bulkWindowTakesAddresses()
{
    QFETCH(QString, method);
    m_program->promptSavePath = 0; // the folder is not asked for at each run
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    QVERIFY(bulk->isVisible());
    QCOMPARE(bulk->windowTitle(),
             QString("Add Batch Document URL-Harvly Retrieving Download Manager"));
    QList<std::chrono::milliseconds> waits;
    bulk->bulkRun().sleep = [&waits](std::chrono::milliseconds d) -> QCoro::Task<> {
        waits << d;
        co_return;
    };
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->findChild<QRadioButton *>(method)->setChecked(true);
    bulk->delayBox()->setCurrentText("10");
    bulk->addressBox()->setPlainText(m_site.url("/docview/8").toString() + "\nnote\n" +
                                     m_site.url("/nothing").toString() + "\n" +
                                     m_site.url("/docview/9").toString());
    auto *results = m_window->resultView();
    results->setColumnWidth(0, 5);
    QCoro::waitFor(bulk->Command2_Click());
    QCOMPARE(told, QStringList{"Successfully imported：2/3"});
    QVERIFY(results->columnWidth(0) > 5); // sized to the rows the run added
    auto *progress = bulk->progressBar();
    QCOMPARE(progress->maximum(), 4); // every line of the box, the note too
    QCOMPARE(progress->value(), 4);
    QCOMPARE(m_window->results().size(), 2);
    QCOMPARE(bulk->unsuccessfulBox()->toPlainText(), m_site.url("/nothing").toString());
    QCOMPARE(waits.size(), 3);
    // Counted from when the address was taken: what its analysis took is deducted.
    QVERIFY(waits.first() <= 10000ms && waits.first() > 5000ms);
    QCOMPARE(bulk->startButton()->text(), QString("Analysis to Add"));
    bulk->close();
}

void tst_Addlinks::bulkWindowRefusesToCloseDuringARun()
{
    m_program->promptSavePath = 0; // the folder is not asked for at each run
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    QPointer<addlinks> guard(bulk);
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->downloadMethod()->setChecked(true);
    QString text;
    for (int i = 1; i <= 4; ++i) {
        text += m_site.url(QString("/docview/%1").arg(i)).toString() + "\n";
    }
    bulk->addressBox()->setPlainText(text);
    bulk->delayBox()->setCurrentText("10"); // ten real seconds, unless stopped
    QCoro::Task<> run = bulk->Command2_Click();
    QTRY_COMPARE(m_window->results().size(), 1); // the first address is in, the delay runs
    bulk->close();
    QVERIFY(guard && bulk->isVisible());
    QCOMPARE(told, QStringList{"The analysis is completed or stops, you can close the window！"});
    QElapsedTimer t;
    t.start();
    bulk->startButton()->click(); // stop: the delay ends at once
    QTRY_VERIFY(run.isReady());
    QVERIFY(t.elapsed() < 5000);
    QCOMPARE(bulk->unsuccessfulBox()->toPlainText().split(QLatin1Char('\n')).size(), 3);
    bulk->close();
    QTRY_VERIFY(!guard);
}

void tst_Addlinks::bulkRetryCycleEndsWhenNothingIsLeft()
{
    m_program->promptSavePath = 0;
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    bulk->bulkRun().sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->downloadMethod()->setChecked(true);
    auto *input = bulk->addressBox();
    auto *failed = bulk->unsuccessfulBox();
    auto *timer = bulk->retryTimer();
    bulk->retryDelayBox()->setCurrentText("60");
    input->setPlainText(m_site.url("/docview/10").toString() + "\n" +
                        m_site.url("/gone").toString());
    // Ticking while idle with an empty unsuccessful box runs the input once.
    bulk->retryBox()->click();
    QTRY_VERIFY(!bulk->running() && timer->isActive());
    QCOMPARE(failed->toPlainText(), m_site.url("/gone").toString());
    QVERIFY(told.isEmpty()); // no summary while the cycle goes on
    for (int i = 0; i < 60; ++i) {
        bulk->Timer1_Timer(); // sixty seconds: not yet
    }
    QVERIFY(timer->isActive());
    // The failed address now works (the site learnt it): the retry adds it and ends the cycle.
    failed->setPlainText(m_site.url("/docview/11").toString());
    bulk->Timer1_Timer();
    QCOMPARE(input->toPlainText(), m_site.url("/docview/11").toString());
    QTRY_VERIFY(!bulk->running());
    QVERIFY(!timer->isActive());
    QCOMPARE(told, QStringList{"Successfully imported：1/1"});
    QCOMPARE(m_window->results().size(), 2);
    bulk->close();
}

void tst_Addlinks::bulkTakesDoisThroughTheResolverSetting()
{
    m_program->promptSavePath = 0;
    m_program->settings().set(Keys::DoiResolver, m_site.url("/doi").toString()); // no slash
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    bulk->bulkRun().sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->downloadMethod()->setChecked(true);
    bulk->addressBox()->setPlainText("doi:10.5555/harvly.24.\n  10.5555/HARVLY.25  \nnot a line\n");
    bulk->startButton()->click();
    QTRY_VERIFY(!bulk->running());
    QCOMPARE(told, QStringList{"Successfully imported：2/2"});
    QCOMPARE(m_window->results().size(), 2);
    for (int i = 0; i < 2; ++i) {
        const ResultRow &row = m_window->results().at(i);
        QCOMPARE(row.key, m_site.url(QString("/pdf/%1.pdf").arg(24 + i)).toString());
        QVERIFY(row.record);
        QCOMPARE(row.record->doi, QString("10.5555/harvly.%1").arg(24 + i));
        QCOMPARE(row.title, row.record->title);
    }
    bulk->close();
}

void tst_Addlinks::bulkPageLimitStopsARun()
{
    m_program->promptSavePath = 0;
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    bulk->bulkRun().sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    bulk->tell = [](const QString &, bool) {};
    bulk->downloadMethod()->setChecked(true);
    bulk->pageLimitBox()->setChecked(true);
    bulk->addressBox()->setPlainText(m_site.url("/captcha").toString() + "\n" +
                                     m_site.url("/docview/12").toString() + "\n" +
                                     m_site.url("/docview/13").toString());
    QCoro::waitFor(bulk->Command2_Click());
    QCOMPARE(m_window->results().size(), 0); // stopped at the page-limit page
    QCOMPARE(bulk->unsuccessfulBox()->toPlainText().split('\n').size(), 3);
    bulk->pageLimitReached(); // an idle window is left alone
    QVERIFY(!bulk->running());
    bulk->close();
}

void tst_Addlinks::bulkClosingTheSearchWindowStopsTheRun_data()
{
    QTest::addColumn<QString>("method");
    QTest::newRow("download method") << "Option2";
    QTest::newRow("web method") << "Option1";
}

void tst_Addlinks::bulkClosingTheSearchWindowStopsTheRun()
{
    QFETCH(QString, method);
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    QPointer<addlinks> guard(bulk);
    bulk->bulkRun().sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->findChild<QRadioButton *>(method)->setChecked(true);
    const QStringList addresses{
        m_site.url("/docview/21").toString(), m_site.url("/stall").toString(),
        m_site.url("/docview/22").toString(), m_site.url("/docview/23").toString()};
    bulk->addressBox()->setPlainText(addresses.join('\n'));
    QCoro::Task<> run = bulk->Command2_Click();
    QTRY_COMPARE(m_window->results().size(), 1);
    QTest::qWait(300); // the page that never completes is being waited for
    QElapsedTimer t;
    t.start();
    m_window->close();
    QTRY_VERIFY(run.isReady());
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
    QTRY_VERIFY(!m_window); // the search window went, the bulk window stays
    QVERIFY(guard && bulk->isVisible() && !bulk->running());
    QCOMPARE(bulk->unsuccessfulBox()->toPlainText(), addresses.mid(1).join('\n'));
    QCOMPARE(told, QStringList{"Successfully imported：1/4"});
    // No dead button: started again, the rows go to a new search window.
    auto *start = bulk->startButton();
    QVERIFY(start->isEnabled());
    bulk->addressBox()->setPlainText(m_site.url("/docview/24").toString());
    told.clear();
    QCoro::waitFor(bulk->Command2_Click());
    fWebSearch *again = m_workspace->loadedSearchWindow();
    QVERIFY(again && again->isVisible());
    QCOMPARE(again->results().size(), 1);
    QCOMPARE(told, QStringList{"Successfully imported：1/1"});
    QCOMPARE(again->menuAddBulkDocumentURLs_Click(), bulk); // the one bulk window still
    again->close();
    QTRY_VERIFY(!bulk->running());
    bulk->close();
    QTRY_VERIFY(!guard);
}

void tst_Addlinks::bulkTwoHundredAddressesEachAddedOnce()
{
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->downloadMethod()->setChecked(true);
    bulk->delayBox()->setCurrentText("0");
    QStringList addresses;
    for (int i = 1; i <= 200; ++i) {
        addresses << m_site.url(QString("/docview/%1").arg(i)).toString();
    }
    bulk->addressBox()->setPlainText(addresses.join("\r\n"));
    // The window's own events keep running during the run.
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(10);
    QCoro::waitFor(bulk->Command2_Click());
    ticker.stop();
    QCOMPARE(told, QStringList{"Successfully imported：200/200"});
    QCOMPARE(m_window->results().size(), 200);
    QSet<QString> keys;
    for (int i = 0; i < m_window->results().size(); ++i) {
        keys.insert(m_window->results().at(i).key);
    }
    QCOMPARE(keys.size(), 200);
    QVERIFY(ticks > 0);
    QVERIFY(bulk->unsuccessfulBox()->toPlainText().isEmpty());
    bulk->close();
}

void tst_Addlinks::bulkPageLimitWithRetryTriesTheRestLater()
{
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    bulk->bulkRun().sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    bulk->downloadMethod()->setChecked(true);
    bulk->pageLimitBox()->setChecked(true);
    bulk->retryDelayBox()->setCurrentText("60");
    auto *input = bulk->addressBox();
    auto *failed = bulk->unsuccessfulBox();
    auto *timer = bulk->retryTimer();
    const QString first = m_site.url("/docview/14").toString();
    const QString limit = m_site.url("/captcha").toString();
    const QString rest = m_site.url("/docview/15").toString();
    input->setPlainText(first + "\n" + limit + "\n" + rest);
    bulk->retryBox()->click(); // starts the cycle
    QTRY_VERIFY(!bulk->running() && timer->isActive());
    QCOMPARE(m_window->results().size(), 1);
    QCOMPARE(failed->toPlainText(), limit + "\n" + rest);
    QVERIFY(told.isEmpty());
    for (int i = 0; i < 60; ++i) {
        bulk->Timer1_Timer();
    }
    QVERIFY(!bulk->running()); // not before the interval has passed
    bulk->Timer1_Timer();      // the limit page again: stopped again, the cycle goes on
    QCOMPARE(input->toPlainText(), limit + "\n" + rest);
    QTRY_VERIFY(!bulk->running() && timer->isActive());
    QCOMPARE(failed->toPlainText(), limit + "\n" + rest);
    for (int i = 0; i < 60; ++i) {
        bulk->Timer1_Timer();
    }
    // The site no longer shows its limit: the retry takes the rest and the cycle ends.
    failed->setPlainText(rest);
    bulk->Timer1_Timer();
    QCOMPARE(input->toPlainText(), rest);
    QTRY_VERIFY(!bulk->running() && !timer->isActive());
    QCOMPARE(m_window->results().size(), 2);
    QCOMPARE(told, QStringList{"Successfully imported：1/1"});
    bulk->close();
}

void tst_Addlinks::bulkWindowInTheChineseBuild()
{
    const ChineseTexts texts;
    QVERIFY(texts.loaded());
    const Build build = Build::chinese();
    Program program(build, std::make_unique<Settings>(build, m_dir.filePath("zh.ini")));
    program.siteAddress = m_site.url().toString();
    program.promptSavePath = 0;
    program.settings().set(Keys::PromptedSavePathWhenExtractInfo, false);
    Workspace workspace(program, m_dir.filePath("zh-browser"));
    addlinks *bulk = workspace.searchWindow()->menuAddBulkDocumentURLs_Click();
    bulk->bulkRun().sleep = [](std::chrono::milliseconds) -> QCoro::Task<> { co_return; };
    QStringList told;
    bulk->tell = [&told](const QString &t, bool) { told << t; };
    auto *start = bulk->startButton();
    QCOMPARE(start->text(), QString("分析加入"));
    bulk->downloadMethod()->setChecked(true);
    bulk->addressBox()->setPlainText(m_site.url("/docview/16").toString() + "\n" +
                                     m_site.url("/nothing").toString());
    QCoro::Task<> run = bulk->Command2_Click();
    QCOMPARE(start->text(), QString("停止分析"));
    QCoro::waitFor(std::move(run));
    QCOMPARE(start->text(), QString("分析加入"));
    QCOMPARE(told, QStringList{"成功导入：1/2"});
    bulk->close();
}

void tst_Addlinks::bulkSaveAndCopyTheUnsuccessful()
{
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    QList<std::pair<QString, bool>> told;
    bulk->tell = [&told](const QString &t, bool error) { told << std::make_pair(t, error); };
    auto *input = bulk->addressBox();
    auto *failed = bulk->unsuccessfulBox();
    input->setPlainText("http://a/1");
    failed->setPlainText("http://f/1\nhttp://f/2");
    QString target = m_dir.filePath("unsuccessful.txt");
    bulk->askSaveFile = [&target] { return target; };
    bulk->findChild<QPushButton *>("Command8")->click();
    QFile saved(target);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("http://f/1\nhttp://f/2"));
    QCOMPARE(told.last(), std::make_pair(QString("OK"), false));
    // A save that cannot be written says so; it is never reported as done.
    target = m_dir.filePath("no-such-folder/unsuccessful.txt");
    bulk->findChild<QPushButton *>("Command8")->click();
    QVERIFY(told.last().second);
    QVERIFY(!QFile::exists(target));
    bulk->findChild<QPushButton *>("Command7")->click();
    QCOMPARE(input->toPlainText(), failed->toPlainText());
    QCOMPARE(bulk->tabs()->currentIndex(), 0);
    bulk->close();
}

void tst_Addlinks::bulkImport_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("refused");
    QTest::newRow("appended after a line break")
        << QByteArray("http://b/1\nhttp://b/2") << "http://a/1\nhttp://b/1\nhttp://b/2" << false;
    QTest::newRow("a blank file changes nothing") << QByteArray(" \n\n") << "http://a/1" << false;
    QTest::newRow("not text: refused") << QByteArray("%PDF\0\x01\x02", 7) << "http://a/1" << true;
    QTest::newRow("over 10 MB: refused")
        << QByteArray("http://b/1\n").repeated(10 * 1024 * 1024 / 11 + 1) << "http://a/1" << true;
}

void tst_Addlinks::bulkImport()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, after);
    QFETCH(bool, refused);
    addlinks *bulk = m_window->menuAddBulkDocumentURLs_Click();
    const QString path = m_dir.filePath("import.txt");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(file);
    f.close();
    QStringList errors;
    bulk->tell = [&errors](const QString &t, bool error) {
        if (error) {
            errors << t;
        }
    };
    bulk->askOpenFile = [path] { return path; };
    auto *input = bulk->addressBox();
    input->setPlainText("http://a/1");
    bulk->findChild<QPushButton *>("Command9")->click();
    QCOMPARE(input->toPlainText(), after);
    QCOMPARE(errors.size(), refused ? 1 : 0);
    bulk->close();
}

HARVLY_WEBENGINE_TEST_MAIN(tst_Addlinks)
#include "tst_addlinks.moc"
