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

// The result list's commands and the road from harvested rows to Waiting download rows.
class tst_HandOver : public QObject, protected SearchWindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void harvestedRowsArriveAsWaitingDownloads();
    void removalIsRefusedDuringAPass();
    void analysisButtonStaysOffForTheWholePass();
    void stopEndsAPassWithoutWaitingOutItsDelay();
    void titleRules_data();
    void titleRules();
    void clearAllAsksFirst();
    void outputData();
    void savePageSource();
    void downloadWindowLoadAndClose();
    void closingWithPendingWorkAsks();
    void minimisedDownloadWindowComesBackMaximised();
    void toolMenuChecksFileTypes();
    void loginPanel_data();
    void loginPanel();
    void loginNeedsItsSettings();
    void closingTheWindowMidLoginEndsTheLogin_data();
    void closingTheWindowMidLoginEndsTheLogin();
    void webPanelStatusGoesToPanel2();
    void webPageOpenKeepsAKeptAlivePage_data();
    void webPageOpenKeepsAKeptAlivePage();
    void longStatusTextsNeverWidenTheWindow();
    void clickOnAFailedRowSaysWhy();
    void listCommandsRefuseWhileDownloading_data();
    void listCommandsRefuseWhileDownloading();
    void clearAllAsksAndTheCountFollows();
    void popupMenuFollowsTheDownloads();
    void doubleClickReQueuesAFailedRow();
    void columnClickSortsByValueOrRefuses();
    void batchReplaceUrl();
    void downloadListSurvivesARestart();
    void unreadableKeptListIsSetAside();
    void keptListInUseIsLeftAlone();
    void startSwitchAndDownload();

private:
    void fill(const QStringList &titles)
    {
        int i = 0;
        for (const QString &t : titles) {
            m_window->results().AddToLV1(t, QString("http://h/%1.pdf").arg(++i), "http://h/", "pdf",
                                         "/s/", "DT");
        }
    }
    QStringList titles() const
    {
        QStringList out;
        for (int i = 0; i < m_window->results().size(); ++i) {
            out << m_window->results().at(i).title;
        }
        return out;
    }
};

void tst_HandOver::initTestCase()
{
    QVERIFY(startSite());
}

void tst_HandOver::init()
{
    openWindows();
}

void tst_HandOver::cleanup()
{
    closeWindows();
}

void tst_HandOver::harvestedRowsArriveAsWaitingDownloads()
{
    QVERIFY(QCoro::waitFor(m_window->OpenWebPage(m_site.url("/search?q=x&layout=1"))));
    QCoro::waitFor(m_window->Command9_Click());
    QCOMPARE(m_window->results().size(), 9);
    // Not asked while harvesting, the folder is asked for when the analysis starts.
    const QString folder = m_dir.filePath("analysed");
    QTimer::singleShot(50, this, [this, folder] {
        auto *dialog = m_window->findChild<fSeleFileSavePath *>();
        QVERIFY(dialog);
        dialog->setListFile(m_dir.filePath("list.dat"));
        dialog->findChild<QComboBox *>("Combo1")->setCurrentText(folder);
        dialog->findChild<QPushButton *>("Command2")->click();
    });
    m_window->findChild<QComboBox *>("Combo1")->setCurrentText("1");
    QCoro::waitFor(m_window->Command2_Click());
    fFileDownload *downloads = m_workspace->loadedDownloadWindow();
    QVERIFY(downloads && downloads->isVisible());
    const DownloadListModel &list = downloads->list();
    QCOMPARE(list.size(), 9);
    for (int i = 0; i < list.size(); ++i) {
        const DownloadRow &r = list.at(i);
        const ResultRow &source = m_window->results().at(i);
        QCOMPARE(r.state, DownloadState::Waiting);
        QCOMPARE(r.text, QString(source.title).remove(':'));
        QCOMPARE(r.type, QString("pdf"));
        // Rows harvested without a folder get the one chosen when the pass started.
        QCOMPARE(r.savePath, folder + "/");
        QCOMPARE(r.tag, source.key); // the document page is the referer
        QVERIFY(r.key.startsWith(m_site.url("/pdf/").toString()));
        QCOMPARE(source.analysisState, Analysis::Success);
    }
    QCOMPARE(m_program->downloadSaveFolder, folder + "/");
}

void tst_HandOver::removalIsRefusedDuringAPass()
{
    fill({"a", "b"});
    m_window->analysis().AnalysisStopped = false; // a pass is running
    m_window->menuClearAll_Click();
    m_window->menuClearAnalysisSuccessItem_Click();
    QCOMPARE(m_window->results().size(), 2);
    QCOMPARE(m_told, QStringList(2, "Being analyzed, it can not be removed!"));
    QVERIFY(m_asked.isEmpty());
    m_window->analysis().AnalysisStopped = true;
}

void tst_HandOver::analysisButtonStaysOffForTheWholePass()
{
    m_window->results().AddToLV1("Failing", m_site.url("/docview/18/relative").toString(),
                                 m_site.url("/").toString(), "pdf", "/s/", "PQ1");
    m_program->promptSavePath = 1; // the folder was asked for when harvesting
    m_window->findChild<QComboBox *>("Combo1")->setCurrentText("50"); // 100 ms of delay
    auto *button = m_window->findChild<QPushButton *>("Command2");
    const qsizetype before = m_site.requests().size();
    button->click();
    QVERIFY(!button->isEnabled());
    QTRY_VERIFY(m_window->analysis().AnalysisStopped); // the failure ended the pass ...
    QVERIFY(!button->isEnabled());                     // ... but its delay still runs
    m_window->Timer1_Timer();                          // an automatic tick meanwhile
    QTRY_VERIFY(button->isEnabled());
    int fetches = 0;
    for (const QString &r : m_site.requests().mid(before)) {
        fetches += r.contains("/docview/18/relative");
    }
    QCOMPARE(fetches, 1);
    QCOMPARE(m_told.size(), 1); // the failure told once
}

void tst_HandOver::stopEndsAPassWithoutWaitingOutItsDelay()
{
    m_window->analysis().setSecond(1000ms); // a delay of 60 real seconds
    for (const int id : {1, 2}) {
        m_window->results().AddToLV1(QString("Paper %1").arg(id),
                                     m_site.url(QString("/docview/%1").arg(id)).toString(),
                                     m_site.url("/").toString(), "pdf", "/s/", "PQ1");
    }
    m_program->promptSavePath = 1;
    m_window->findChild<QComboBox *>("Combo1")->setCurrentText("60");
    auto *button = m_window->findChild<QPushButton *>("Command2");
    button->click();
    QTRY_COMPARE(m_window->results().at(0).analysisState, Analysis::Success);
    QVERIFY(!button->isEnabled()); // the pass waits its delay
    m_window->findChild<QPushButton *>("Command5")->click();
    QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 2000); // ended, not 60 s later
    QCOMPARE(m_window->results().at(1).analysisState, Analysis::NotYet);
    // The site still gets its rest: a new pass fetches nothing before the delay is over.
    const auto pageFetches = [this] { return m_site.requests().filter("/docview/").size(); };
    const qsizetype before = pageFetches();
    button->click();
    QTest::qWait(500);
    QCOMPARE(pageFetches(), before);
    m_window->findChild<QPushButton *>("Command5")->click();
    QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 2000);
    QCOMPARE(pageFetches(), before);
}

void tst_HandOver::titleRules_data()
{
    QTest::addColumn<bool>("containing");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QStringList>("left");
    const QStringList list{"The soil", "the water", "THE air", "Rocks", "Mother earth"};
    QTest::newRow("consecutive matches all go") << true << "the" << QStringList{"Rocks"};
    QTest::newRow("not containing")
        << false << "the" << QStringList{"The soil", "the water", "THE air", "Mother earth"};
    QTest::newRow("empty answer changes nothing") << true << "" << list;
}

void tst_HandOver::titleRules()
{
    QFETCH(bool, containing);
    QFETCH(QString, word);
    QFETCH(QStringList, left);
    fill({"The soil", "the water", "THE air", "Rocks", "Mother earth"});
    m_text = word;
    if (containing) {
        m_window->menuClearTitleContainingSpecifiedItems_Click();
    } else {
        m_window->menuClearTitleNotContainingSpecifiedItems_Click();
    }
    QCOMPARE(titles(), left);
    QCOMPARE(m_window->findChild<QLabel *>("Label1")->text(), QString::number(left.size()));
}

void tst_HandOver::clearAllAsksFirst()
{
    fill({"a", "b"});
    m_answer = false;
    m_window->menuClearAll_Click();
    QCOMPARE(m_window->results().size(), 2);
    QCOMPARE(m_asked, QStringList{"Are you sure to clear the data list of hard search it?"});
    m_answer = true;
    m_window->menuClearAll_Click();
    QCOMPARE(m_window->results().size(), 0);

    fill({"x", "y", "z"});
    m_window->findChild<QTreeView *>("ListView1")
        ->selectionModel()
        ->select(m_window->results().index(1, 0),
                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_window->menuClearSelectItems_Click();
    QCOMPARE(titles(), (QStringList{"x", "z"}));
}

void tst_HandOver::outputData()
{
    const QString file = m_dir.filePath("out.txt");
    m_window->prompts.saveFile = [file] { return file; };
    m_window->Command7_Click(); // empty list: nothing at all
    QVERIFY(!QFile::exists(file));
    QVERIFY(m_told.isEmpty());
    fill({"Effects of X", "论文"});
    m_window->results().setAnalysisState(m_window->results().at(0).id, Analysis::Success);
    m_window->Command7_Click();
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QString("Effects of X-[pdf]success\r\n论文-[pdf]\r\n").toUtf8());
    QCOMPARE(m_told, QStringList{"Save the file is complete:0.0KB"});
}

void tst_HandOver::savePageSource()
{
    QVERIFY(QCoro::waitFor(m_window->OpenWebPage(m_site.url("/docview/2"))));
    const QString file = m_dir.filePath("page.html");
    m_window->prompts.saveFile = [file] { return file; };
    QCoro::waitFor(m_window->menuSaveHtml_Click());
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray html = f.readAll();
    QVERIFY(html.startsWith("<html>"));
    QVERIFY(html.contains("downloadPDFLink"));
    QCOMPARE(m_told, QStringList{"OK"});
}

void tst_HandOver::downloadWindowLoadAndClose()
{
    m_program->settings().set(Keys::DuplicateFileNameSetting, DuplicateMode::Cover);
    m_program->settings().set(Keys::DownloadMode, 2);
    m_program->settings().set(Keys::Thread, 4);
    fFileDownload *w = m_workspace->downloadWindow();
    QCOMPARE(w->windowTitle(), QString("Files Download-Harvly Retrieving Download Manager"));
    QVERIFY(w->findChild<QRadioButton *>("Option2")->isChecked());
    QCOMPARE(w->findChild<QLabel *>("Label7")->text(), QString("Download Way:2"));
    QCOMPARE(w->findChild<QComboBox *>("Combo1")->currentText(), QString("5"));
    QVERIFY(w->findChild<QComboBox *>("Combo1")->isEnabled());
    w->ShowListCounts();
    QCOMPARE(w->findChild<QLabel *>("StatusPanel4")->text(),
             QString("Sum:0|Downloading：0|Waitting:0|Completed:0|Err:0"));
    w->findChild<QRadioButton *>("Option1")->setChecked(true);
    w->close(); // nothing pending: no question
    QCOMPARE(m_program->settings().get(Keys::DuplicateFileNameSetting), DuplicateMode::Skip);
    QCOMPARE(m_program->settings().get(Keys::Thread), 4);
    QTRY_VERIFY(!m_workspace->loadedDownloadWindow());
}

void tst_HandOver::closingWithPendingWorkAsks()
{
    m_window->AddToDownloadList("http://h/a.pdf", "A", "pdf", "http://h/", "");
    fFileDownload *w = m_workspace->loadedDownloadWindow();
    QVERIFY(w);
    QCOMPARE(w->list().at(0).savePath, m_program->downloadSaveFolder);
    QStringList asked;
    w->askYesNo = [&asked](const QString &q) {
        asked << q;
        return false;
    };
    w->show();
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(asked, QStringList{"Downloading files or download is not completed, close the window "
                                "to force it?"});
    w->askYesNo = [](const QString &) { return true; };
    QVERIFY(w->close());
}

void tst_HandOver::minimisedDownloadWindowComesBackMaximised()
{
    m_window->ShowDownloadWindow();
    fFileDownload *w = m_workspace->loadedDownloadWindow();
    QVERIFY(w && w->isVisible());
    w->showMinimized();
    m_window->ShowDownloadWindow();
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QVERIFY(!(w->windowState() & Qt::WindowMinimized));
}

void tst_HandOver::toolMenuChecksFileTypes()
{
    fFileDownload *w = m_workspace->downloadWindow();
    QStringList told;
    w->tell = [&told](const QString &t, MessageKind) { told << t; };
    w->menuCheckAndCorrectDiskFileType_Click(); // empty list: silent
    QVERIFY(told.isEmpty());

    const QString folder = m_dir.filePath("tool") + "/";
    QDir().mkpath(folder);
    const quint64 id = *w->list().add("http://h/login", "Login", "pdf", folder, "");
    w->list().add("http://h/real", "Real", "pdf", folder, "");
    for (const auto &[name, bytes] :
         {std::pair<QString, QByteArray>{"Login.pdf", "<html><head><title>Log in"},
          {"Real.pdf", "%PDF-1.4"}}) {
        QFile f(folder + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    w->scheduler().menuStartDownload();
    QVERIFY(w->findChild<QTimer *>("Timer_Down")->isActive());
    w->menuCheckAndCorrectDiskFileType_Click();
    QCOMPARE(told, QStringList{"Stop downloading later to perform this operation!"});
    QVERIFY(QFile::exists(folder + "Login.pdf"));
    w->Command31_Click();
    QVERIFY(!w->findChild<QTimer *>("Timer_Down")->isActive());
    w->menuCheckAndCorrectDiskFileType_Click();
    QCOMPARE(told.last(), QString("Correct file types:1"));
    QCOMPARE(w->list().find(id)->type, QString("htm"));
    QVERIFY(QFile::exists(folder + "Login.htm"));

    QString chosen = folder + "Real.pdf";
    w->askOpenFile = [&chosen] { return chosen; };
    w->menuOpenFileCheckType_Click();
    QCOMPARE(told.last(), QString("File type:pdf"));
    chosen = m_dir.filePath("settings.ini");
    w->menuOpenFileCheckType_Click();
    QCOMPARE(told.last(), QString("Still unable to determine."));
    chosen.clear();
    const qsizetype before = told.size();
    w->menuOpenFileCheckType_Click();
    QCOMPARE(told.size(), before);
    w->askYesNo = [](const QString &) { return true; };
}

void tst_HandOver::loginPanel_data()
{
    QTest::addColumn<bool>("byAddress");
    QTest::newRow("by account") << false;
    QTest::newRow("by address") << true;
}

void tst_HandOver::loginPanel()
{
    QFETCH(bool, byAddress);
    // A fresh browsing session each time: no cookie from an earlier login.
    m_workspace.reset();
    m_workspace = std::make_unique<Workspace>(
        *m_program, m_dir.filePath(QString("browser-%1").arg(QTest::currentDataTag())));
    const QUrl secure = m_site.url("/secure/4.pdf");
    QVERIFY(
        !QCoro::waitFor(GetUrlText(&m_program->network(), secure, "latin1")).startsWith("%PDF"));
    fFileDownload *w = m_workspace->downloadWindow();
    LoginPanel &panel = w->loginPanel();
    panel.settle = 50ms;
    panel.setLoginUrl(m_site.url("/login").toString());
    panel.setAccount("reader", "secret");
    panel.setAddressLogin(byAddress);
    QCoro::waitFor(panel.LoginSite(true));
    // The login happened in the shared session: downloads now get the file.
    QTRY_VERIFY_WITH_TIMEOUT(
        QCoro::waitFor(GetUrlText(&m_program->network(), secure, "latin1")).startsWith("%PDF"),
        10000);
}

void tst_HandOver::loginNeedsItsSettings()
{
    LoginPanel &panel = m_workspace->downloadWindow()->loginPanel();
    QStringList errors;
    panel.tellError = [&errors](const QString &e) { errors << e; };
    QCoro::waitFor(panel.LoginSite(true));
    panel.setLoginUrl("http://127.0.0.1:1/login");
    QCoro::waitFor(panel.LoginSite(true));
    QCoro::waitFor(panel.LoginSite(false)); // automatic: no message
    QCOMPARE(errors,
             (QStringList{"You must set the Login URL!",
                          "Account login, you must first set the login account and password！"}));
    QVERIFY(!panel.autoLogin());
}

void tst_HandOver::closingTheWindowMidLoginEndsTheLogin_data()
{
    QTest::addColumn<int>("afterMs");
    for (const int ms : {0, 1, 3, 6, 10, 20, 40, 80}) {
        QTest::addRow("closed %d ms after the login page came: no crash?", ms) << ms;
    }
}

void tst_HandOver::closingTheWindowMidLoginEndsTheLogin()
{
    QFETCH(int, afterMs);
    QPointer<fFileDownload> w = m_workspace->downloadWindow();
    LoginPanel &panel = w->loginPanel();
    panel.settle = 50ms;
    panel.setLoginUrl(m_site.url("/login").toString());
    panel.setAccount("reader", "secret");
    QPointer<BrowserPage> page = panel.browser()->page();
    QCoro::Task<> login = panel.LoginSite(false);
    // The login page came (the login may be past it already: closing then must be safe too).
    QTRY_VERIFY_WITH_TIMEOUT(
        page && (page->url().path() == "/login" || page->url().path() == "/account"), 10000);
    if (afterMs > 0) {
        QTest::qWait(afterMs);
    }
    delete w.data(); // the window goes while the form is being filled
    QTRY_VERIFY(login.isReady());
    QVERIFY(!w);
}

void tst_HandOver::webPanelStatusGoesToPanel2()
{
    fFileDownload *w = m_workspace->downloadWindow();
    auto *panel2 = w->findChild<QLabel *>("StatusPanel2");
    BrowserPage *page = w->loginPanel().browser()->page();
    emit page->linkHovered("http://127.0.0.1/docview/3");
    QCOMPARE(panel2->text(), QString("http://127.0.0.1/docview/3"));
    emit page->linkHovered(" About:Blank ");
    QCOMPARE(panel2->text(), QString("http://127.0.0.1/docview/3"));
}

void tst_HandOver::webPageOpenKeepsAKeptAlivePage_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<bool>("navigates");
    QTest::newRow("nothing ticked: the row's address opens") << "" << true;
    QTest::newRow("auto login ticked: the page stays") << "Check2" << false;
    QTest::newRow("auto refresh ticked: the page stays") << "Check1" << false;
}

void tst_HandOver::webPageOpenKeepsAKeptAlivePage()
{
    QFETCH(QString, ticked);
    QFETCH(bool, navigates);
    fFileDownload *w = m_workspace->downloadWindow();
    w->show();
    LoginPanel &panel = w->loginPanel();
    panel.setLoginUrl(m_site.url("/login").toString());
    panel.setAccount("reader", "secret");
    if (!ticked.isEmpty()) {
        panel.findChild<QCheckBox *>(ticked)->click();
        QVERIFY(panel.findChild<QCheckBox *>(ticked)->isChecked());
    }
    const QString address = m_site.url("/docview/2").toString();
    m_window->AddToDownloadList(address, "Paper", "pdf", QString(), m_dir.filePath("dl") + "/");
    auto *view = w->findChild<QTreeView *>("ListView3");
    view->setCurrentIndex(w->list().index(0, 0));
    view->selectionModel()->select(w->list().index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    BrowserPage *page = panel.browser()->page();
    w->Command1_Click();
    QTest::qWait(300);
    QCOMPARE(page->requestedUrl().toString() == address || page->url().toString() == address,
             navigates);
}

void tst_HandOver::longStatusTextsNeverWidenTheWindow()
{
    fFileDownload *w = m_workspace->downloadWindow();
    w->showNormal();
    w->resize(700, 500);
    QTest::qWait(50);
    const int width = w->width();
    const int least = w->minimumSizeHint().width();
    const QString longText = "Downloaded: " + QString(3000, QChar('W'));
    w->findChild<QLabel *>("StatusPanel2")->setText(longText); // as the engines write them
    w->findChild<QLabel *>("StatusPanel3")->setText("11 " + QString(2000, QChar('M')));
    QTest::qWait(100);
    QCOMPARE(w->width(), width);
    QCOMPARE(w->minimumSizeHint().width(), least);
    QCOMPARE(w->findChild<QLabel *>("StatusPanel2")->text(), longText);
}

void tst_HandOver::clickOnAFailedRowSaysWhy()
{
    fFileDownload *w = m_workspace->downloadWindow();
    m_window->AddToDownloadList("http://127.0.0.1:1/x.pdf", "Paper", "pdf", QString(),
                                m_dir.filePath("dl") + "/");
    w->list().update(w->list().at(0).id, [](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.reason = "connection refused";
    });
    emit w->findChild<QTreeView *>("ListView3")->clicked(w->list().index(0, 0));
    QCOMPARE(w->findChild<QLabel *>("StatusPanel2")->text(), QString("connection refused"));
}

void tst_HandOver::listCommandsRefuseWhileDownloading_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Clear Err Items") << "menuClearErrItems";
    QTest::newRow("Clear Completed Items") << "menuClearCompletedItems";
    QTest::newRow("Clear All") << "menuClearAll";
    QTest::newRow("Random Sorted List") << "menuRandomSortedList";
}

void tst_HandOver::listCommandsRefuseWhileDownloading()
{
    QFETCH(QString, action);
    fFileDownload *w = m_workspace->downloadWindow();
    QStringList told;
    w->tell = [&told](const QString &t, MessageKind) { told << t; };
    w->askYesNo = [](const QString &) { return true; };
    m_window->AddToDownloadList("http://127.0.0.1:1/a.pdf", "A", "pdf", QString(),
                                m_dir.filePath("dl") + "/");
    w->list().update(w->list().at(0).id, [](DownloadRow &r) { r.state = DownloadState::Failed; });
    w->scheduler().menuStartDownload(); // the download timer runs
    w->findChild<QAction *>(action)->trigger();
    QCOMPARE(told, QStringList{"Stop downloading later to perform this operation!"});
    QCOMPARE(w->list().size(), 1);
    w->scheduler().menuStopDownload();
}

void tst_HandOver::clearAllAsksAndTheCountFollows()
{
    fFileDownload *w = m_workspace->downloadWindow();
    bool answer = false;
    QStringList asked;
    w->askYesNo = [&](const QString &q) {
        asked << q;
        return answer;
    };
    for (int i = 0; i < 3; ++i) {
        m_window->AddToDownloadList(QString("http://127.0.0.1:1/%1.pdf").arg(i), "A", "pdf",
                                    QString(), m_dir.filePath("dl") + "/");
    }
    auto *count = w->findChild<QLabel *>("Label1");
    QCOMPARE(count->text(), QString("3"));
    w->findChild<QAction *>("menuClearAll")->trigger();
    QCOMPARE(asked, QStringList{"Are you sure you want to clear the list of all the information?"});
    QCOMPARE(w->list().size(), 3); // No keeps the list
    for (int i = 0; i < 2; ++i) {
        w->list().update(w->list().at(i).id,
                         [](DownloadRow &r) { r.state = DownloadState::Failed; });
    }
    w->findChild<QAction *>("menuClearErrItems")->trigger(); // two failed rows side by side
    QCOMPARE(w->list().size(), 1);
    QCOMPARE(count->text(), QString("1"));
    answer = true;
    w->findChild<QAction *>("menuClearAll")->trigger();
    QCOMPARE(w->list().size(), 0);
    QCOMPARE(count->text(), QString("0"));
}

void tst_HandOver::popupMenuFollowsTheDownloads()
{
    fFileDownload *w = m_workspace->downloadWindow();
    w->show();
    auto *menu = w->findChild<QMenu *>("menuListOperating");
    auto *view = w->findChild<QTreeView *>("ListView3");
    const auto state = [&] {
        return QList<bool>{w->findChild<QAction *>("menuClearAll")->isEnabled(),
                           w->findChild<QAction *>("menuSelectAll")->isEnabled(),
                           w->findChild<QMenu *>("menuClearItems")->menuAction()->isEnabled(),
                           w->findChild<QAction *>("menuStopDownload")->isEnabled()};
    };
    emit view->customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(state(), (QList<bool>{true, true, true, false}));
    menu->hide();
    w->scheduler().menuStartDownload();
    emit view->customContextMenuRequested(QPoint(5, 5));
    QCOMPARE(state(), (QList<bool>{false, false, false, true}));
    menu->hide();
    w->scheduler().menuStopDownload();
}

void tst_HandOver::doubleClickReQueuesAFailedRow()
{
    fFileDownload *w = m_workspace->downloadWindow();
    const QString folder = m_dir.filePath("dbl") + "/";
    QDir().mkpath(folder);
    m_window->AddToDownloadList("http://127.0.0.1:1/a.pdf", "Failed one", "pdf", QString(), folder);
    QFile half(folder + "Failed one.pdf");
    QVERIFY(half.open(QIODevice::WriteOnly));
    half.close();
    w->list().update(w->list().at(0).id, [](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.note = RowNote::DownloadFailed;
    });
    emit w->findChild<QTreeView *>("ListView3")->doubleClicked(w->list().index(0, 0));
    QCOMPARE(w->list().at(0).state, DownloadState::Waiting);
    QVERIFY(w->list().at(0).neverAttempted());
    // A transfer writes its own hidden file: a failed row never wrote this name, so the file
    // there is not the row's to delete.
    QVERIFY(QFile::exists(folder + "Failed one.pdf"));
}

void tst_HandOver::columnClickSortsByValueOrRefuses()
{
    fFileDownload *w = m_workspace->downloadWindow();
    QStringList told;
    w->tell = [&told](const QString &t, MessageKind) { told << t; };
    const QList<qint64> sizes{900, 10000, 80};
    for (int i = 0; i < 3; ++i) {
        m_window->AddToDownloadList(QString("http://127.0.0.1:1/%1.pdf").arg(i),
                                    QString("R%1").arg(i), "pdf", QString(),
                                    m_dir.filePath("dl") + "/");
        w->list().update(w->list().at(i).id, [&](DownloadRow &r) {
            r.state = DownloadState::Finished;
            r.fileSize = sizes.at(i);
        });
    }
    auto *header = w->findChild<QTreeView *>("ListView3")->header();
    emit header->sectionClicked(DownloadListModel::FileSize); // first click: descending
    QCOMPARE(w->list().at(0).fileSize, 10000);
    QCOMPARE(w->list().at(2).fileSize, 80);
    emit header->sectionClicked(DownloadListModel::FileSize);
    QCOMPARE(w->list().at(0).fileSize, 80);
    w->scheduler().menuStartDownload();
    emit header->sectionClicked(DownloadListModel::FileSize);
    QCOMPARE(told, QStringList{"After the download stops before ordering!"});
    QCOMPARE(w->list().at(0).fileSize, 80);
    w->scheduler().menuStopDownload();
}

void tst_HandOver::batchReplaceUrl()
{
    fFileDownload *w = m_workspace->downloadWindow();
    m_window->AddToDownloadList("http://old.example/a.pdf", "A", "pdf", "http://OLD.example/",
                                m_dir.filePath("dl") + "/");
    QPointer<UrlReplace> dialog = w->menuBatchReplaceURL_Click();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(),
             QString("Batch Replace URL-Harvly Retrieving Download Manager"));
    QStringList told;
    dialog->tell = [&told](const QString &t, bool) { told << t; };
    dialog->findChild<QLineEdit *>("Text1")->setText("   ");
    dialog->findChild<QPushButton *>("Command1")->click();
    QCOMPARE(told, QStringList{"Please enter the string！"});
    QVERIFY(dialog->isVisible()); // stays open
    dialog->findChild<QLineEdit *>("Text1")->setText("old.EXAMPLE");
    dialog->findChild<QLineEdit *>("Text2")->setText("new.example");
    dialog->findChild<QPushButton *>("Command1")->click();
    QCOMPARE(told.last(), QString("All URLs replacement is completed！"));
    QCOMPARE(w->list().at(0).key, QString("http://new.example/a.pdf"));
    QCOMPARE(w->list().at(0).tag, QString("http://new.example/"));
    QTRY_VERIFY(!dialog);
}

void tst_HandOver::downloadListSurvivesARestart()
{
    m_program->listStoreFile = m_dir.filePath("kept/downloadlist.json");
    QFile::remove(m_program->listStoreFile);
    fFileDownload *w = m_workspace->downloadWindow();
    w->askYesNo = [](const QString &) { return true; }; // close although rows are pending
    QVERIFY(!w->restoreBar());                          // nothing kept yet
    for (int i = 1; i <= 3; ++i) {
        m_window->AddToDownloadList(QString("http://127.0.0.1:1/%1.pdf").arg(i),
                                    QString("Paper %1").arg(i), "pdf", "http://ref/",
                                    m_dir.filePath("dl") + "/");
    }
    w->list().update(w->list().at(0).id, [](DownloadRow &r) {
        r.state = DownloadState::Finished;
        r.fileSize = r.downloaded = 100;
        r.percentage = 100;
    });
    w->list().update(w->list().at(1).id, [](DownloadRow &r) {
        r.state = DownloadState::Downloading;
        r.downloaded = 40;
    });
    w->findChild<QRadioButton *>("Option1")->setChecked(true); // "Skip"
    w->close();
    QTRY_VERIFY(!m_workspace->loadedDownloadWindow());
    // The next start offers the list; restoring brings every row back.
    fFileDownload *again = m_workspace->downloadWindow();
    again->askYesNo = [](const QString &) { return true; };
    QVERIFY(again->restoreBar() && !again->restoreBar()->isHidden());
    QCOMPARE(again->list().size(), 0); // the Part's empty start until the user chooses
    again->findChild<QPushButton *>("RestoreLastList")->click();
    QVERIFY(again->restoreBar()->isHidden());
    QCOMPARE(again->list().size(), 3);
    QCOMPARE(again->list().at(0).state, DownloadState::Finished);
    QCOMPARE(again->list().at(1).state, DownloadState::Waiting); // was Downloading
    QCOMPARE(again->list().at(2).text, QString("Paper 3"));
    QVERIFY(again->findChild<QRadioButton *>("Option1")->isChecked());
    QCOMPARE(again->findChild<QLabel *>("Label1")->text(), QString("3"));
    // A window destroyed without closing (the program ending) still writes its list safely.
    again->list().update(again->list().at(2).id, [](DownloadRow &r) { r.text = "Renamed"; });
    delete again;
    QTRY_VERIFY(!m_workspace->loadedDownloadWindow());
    StoredList written;
    QCOMPARE(LoadDownloadList(m_program->listStoreFile, &written), StoreRead::Ok);
    QCOMPARE(written.rows.at(2).text, QString("Renamed"));
    // Declining keeps the empty start and the kept list until a new one replaces it.
    fFileDownload *third = m_workspace->downloadWindow();
    third->askYesNo = [](const QString &) { return true; };
    third->findChild<QPushButton *>("DismissRestore")->click();
    QCOMPARE(third->list().size(), 0);
    third->close();
    QTRY_VERIFY(!m_workspace->loadedDownloadWindow());
    StoredList kept;
    QCOMPARE(LoadDownloadList(m_program->listStoreFile, &kept), StoreRead::Ok);
    QCOMPARE(kept.rows.size(), 3);
}

void tst_HandOver::unreadableKeptListIsSetAside()
{
    m_program->listStoreFile = m_dir.filePath("bad/downloadlist.json");
    QDir().mkpath(m_dir.filePath("bad"));
    QFile f(m_program->listStoreFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\"version\":1,\"rows\":[{\"key\"");
    f.close();
    fFileDownload *w = m_workspace->downloadWindow();
    QVERIFY(w->restoreBar());
    QVERIFY(!w->findChild<QPushButton *>("RestoreLastList"));
    QVERIFY(w->restoreBar()->findChild<QLabel *>()->text().startsWith(
        "The kept download list could not be read"));
    QVERIFY(!QFile::exists(m_program->listStoreFile));
    QCOMPARE(QDir(m_dir.filePath("bad")).entryList({"*unreadable*"}, QDir::Files).size(),
             1); // set aside
}

void tst_HandOver::keptListInUseIsLeftAlone()
{
    m_program->listStoreFile = m_dir.filePath("busy/downloadlist.json");
    QDir().mkpath(m_dir.filePath("busy"));
    QLockFile other(m_program->listStoreFile + ".lock"); // another instance keeps the list
    QVERIFY(other.tryLock(0));
    fFileDownload *w = m_workspace->downloadWindow();
    QVERIFY(w->restoreBar());
    QCOMPARE(w->restoreBar()->findChild<QLabel *>()->text(),
             QString("The download list is kept by another running Harvly (process %1): this "
                     "window's list is not kept.")
                 .arg(QCoreApplication::applicationPid()));
    m_window->AddToDownloadList("http://127.0.0.1:1/a.pdf", "A", "pdf", QString(),
                                m_dir.filePath("dl") + "/");
    w->askYesNo = [](const QString &) { return true; }; // close with a row waiting
    w->close();
    QTRY_VERIFY(!m_workspace->loadedDownloadWindow());
    QVERIFY(!QFile::exists(m_program->listStoreFile)); // the other instance's list, untouched
}

void tst_HandOver::startSwitchAndDownload()
{
    m_program->settings().set(Keys::DownloadMode, 1);
    fFileDownload *w = m_workspace->downloadWindow();
    auto *way = w->findChild<QLabel *>("Label7");
    auto *threads = w->findChild<QComboBox *>("Combo1");
    QCOMPARE(way->text(), QString("Download Way:1"));
    w->Command26_Click();
    QCOMPARE(way->text(), QString("Download Way:2"));
    QVERIFY(threads->isEnabled());
    threads->setCurrentText("3");
    const QString folder = m_dir.filePath("window") + "/";
    for (int i = 1; i <= 4; ++i) {
        m_window->AddToDownloadList(m_site.url(QString("/pdf/%1.pdf").arg(i)).toString(),
                                    QString("Paper %1").arg(i), "pdf", m_site.url("/").toString(),
                                    folder);
    }
    w->findChild<QPushButton *>("Command4")->click();
    QVERIFY(w->findChild<QWidget *>("Shape1")->isVisibleTo(w));
    QTRY_COMPARE_WITH_TIMEOUT(w->list().countState(DownloadState::Finished), 4, 15000);
    QVERIFY(QFile::exists(folder + "Paper 3.pdf"));
    QTRY_VERIFY_WITH_TIMEOUT(!w->findChild<QWidget *>("Shape1")->isVisibleTo(w), 5000);
    w->Command26_Click();
    QCOMPARE(way->text(), QString("Download Way:1"));
    QVERIFY(!threads->isEnabled());
}

HARVLY_WEBENGINE_TEST_MAIN(tst_HandOver)
#include "tst_handover.moc"
