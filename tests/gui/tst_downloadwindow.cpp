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
#include "export/citationexport.h"
#include "search/fwebsearch.h"
#include "support/searchwindowfixture.h"
#include "support/webenginetest.h"
#include "testsite.h"
#include "webbrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

using namespace harvly;
using namespace std::chrono_literals;

// The download window as the search window opens it: its settings, its list and its menus,
// its login and web panels, the list kept between runs.
class tst_DownloadWindow : public QObject, protected SearchWindowFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startSite()); }
    void init() { openWindows(); }
    void cleanup() { closeWindows(); }
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
    void exportCitationsFromBothWindows();
    void unconfirmedItemsFromTheMenus();
};

void tst_DownloadWindow::downloadWindowLoadAndClose()
{
    m_program->settings().set(Keys::DuplicateFileNameSetting, DuplicateMode::Cover);
    m_program->settings().set(Keys::DownloadMode, 2);
    m_program->settings().set(Keys::Thread, 4);
    fFileDownload *w = m_workspace->downloadWindow();
    QCOMPARE(w->windowTitle(), QString("Files Download-Harvly Retrieving Download Manager"));
    QVERIFY(w->sameNameOption(DuplicateMode::Cover)->isChecked());
    QCOMPARE(w->wayLabel()->text(), QString("Download Way:2"));
    QCOMPARE(w->threadsBox()->currentText(), QString("5"));
    QVERIFY(w->threadsBox()->isEnabled());
    w->ShowListCounts();
    QCOMPARE(w->statusPanel(4)->text(),
             QString("Sum:0|Downloading：0|Waitting:0|Completed:0|Err:0"));
    w->sameNameOption(DuplicateMode::Skip)->setChecked(true);
    w->close(); // nothing pending: no question
    QCOMPARE(m_program->settings().get(Keys::DuplicateFileNameSetting), DuplicateMode::Skip);
    QCOMPARE(m_program->settings().get(Keys::Thread), 4);
    QTRY_VERIFY(!m_workspace->loadedDownloadWindow());
}

void tst_DownloadWindow::closingWithPendingWorkAsks()
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

void tst_DownloadWindow::minimisedDownloadWindowComesBackMaximised()
{
    m_window->ShowDownloadWindow();
    fFileDownload *w = m_workspace->loadedDownloadWindow();
    QVERIFY(w && w->isVisible());
    w->showMinimized();
    m_window->ShowDownloadWindow();
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QVERIFY(!(w->windowState() & Qt::WindowMinimized));
}

void tst_DownloadWindow::toolMenuChecksFileTypes()
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
    QVERIFY(w->downloadTimer()->isActive());
    w->menuCheckAndCorrectDiskFileType_Click();
    QCOMPARE(told, QStringList{"Stop downloading later to perform this operation!"});
    QVERIFY(QFile::exists(folder + "Login.pdf"));
    w->Command31_Click();
    QVERIFY(!w->downloadTimer()->isActive());
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

void tst_DownloadWindow::loginPanel_data()
{
    QTest::addColumn<bool>("byAddress");
    QTest::newRow("by account") << false;
    QTest::newRow("by address") << true;
}

void tst_DownloadWindow::loginPanel()
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

void tst_DownloadWindow::loginNeedsItsSettings()
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

void tst_DownloadWindow::closingTheWindowMidLoginEndsTheLogin_data()
{
    QTest::addColumn<int>("afterMs");
    for (const int ms : {0, 1, 3, 6, 10, 20, 40, 80}) {
        QTest::addRow("closed %d ms after the login page came: no crash?", ms) << ms;
    }
}

void tst_DownloadWindow::closingTheWindowMidLoginEndsTheLogin()
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

void tst_DownloadWindow::webPanelStatusGoesToPanel2()
{
    fFileDownload *w = m_workspace->downloadWindow();
    auto *panel2 = w->statusPanel(2);
    BrowserPage *page = w->loginPanel().browser()->page();
    emit page->linkHovered("http://127.0.0.1/docview/3");
    QCOMPARE(panel2->text(), QString("http://127.0.0.1/docview/3"));
    emit page->linkHovered(" About:Blank ");
    QCOMPARE(panel2->text(), QString("http://127.0.0.1/docview/3"));
}

void tst_DownloadWindow::webPageOpenKeepsAKeptAlivePage_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<bool>("navigates");
    QTest::newRow("nothing ticked: the row's address opens") << "" << true;
    QTest::newRow("auto login ticked: the page stays") << "Check2" << false;
    QTest::newRow("auto refresh ticked: the page stays") << "Check1" << false;
}

void tst_DownloadWindow::webPageOpenKeepsAKeptAlivePage()
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
    auto *view = w->listView();
    view->setCurrentIndex(w->list().index(0, 0));
    view->selectionModel()->select(w->list().index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    BrowserPage *page = panel.browser()->page();
    w->Command1_Click();
    QTest::qWait(300);
    QCOMPARE(page->requestedUrl().toString() == address || page->url().toString() == address,
             navigates);
}

void tst_DownloadWindow::longStatusTextsNeverWidenTheWindow()
{
    fFileDownload *w = m_workspace->downloadWindow();
    w->showNormal();
    w->resize(700, 500);
    QTest::qWait(50);
    const int width = w->width();
    const int least = w->minimumSizeHint().width();
    const QString longText = "Downloaded: " + QString(3000, QChar('W'));
    w->statusPanel(2)->setText(longText); // as the engines write them
    w->statusPanel(3)->setText("11 " + QString(2000, QChar('M')));
    QTest::qWait(100);
    QCOMPARE(w->width(), width);
    QCOMPARE(w->minimumSizeHint().width(), least);
    QCOMPARE(w->statusPanel(2)->text(), longText);
}

void tst_DownloadWindow::clickOnAFailedRowSaysWhy()
{
    fFileDownload *w = m_workspace->downloadWindow();
    m_window->AddToDownloadList("http://127.0.0.1:1/x.pdf", "Paper", "pdf", QString(),
                                m_dir.filePath("dl") + "/");
    w->list().update(w->list().at(0).id, [](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.reason = "connection refused";
    });
    emit w->listView()->clicked(w->list().index(0, 0));
    QCOMPARE(w->statusPanel(2)->text(), QString("connection refused"));
}

void tst_DownloadWindow::listCommandsRefuseWhileDownloading_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Clear Err Items") << "menuClearErrItems";
    QTest::newRow("Clear Completed Items") << "menuClearCompletedItems";
    QTest::newRow("Clear All") << "menuClearAll";
    QTest::newRow("Random Sorted List") << "menuRandomSortedList";
}

void tst_DownloadWindow::listCommandsRefuseWhileDownloading()
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

void tst_DownloadWindow::clearAllAsksAndTheCountFollows()
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
    auto *count = w->countLabel();
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

void tst_DownloadWindow::popupMenuFollowsTheDownloads()
{
    fFileDownload *w = m_workspace->downloadWindow();
    w->show();
    auto *menu = w->findChild<QMenu *>("menuListOperating");
    auto *view = w->listView();
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

void tst_DownloadWindow::doubleClickReQueuesAFailedRow()
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
    emit w->listView()->doubleClicked(w->list().index(0, 0));
    QCOMPARE(w->list().at(0).state, DownloadState::Waiting);
    QVERIFY(w->list().at(0).neverAttempted());
    // A transfer writes its own hidden file: a failed row never wrote this name, so the file
    // there is not the row's to delete.
    QVERIFY(QFile::exists(folder + "Failed one.pdf"));
}

void tst_DownloadWindow::columnClickSortsByValueOrRefuses()
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
    auto *header = w->listView()->header();
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

void tst_DownloadWindow::batchReplaceUrl()
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

void tst_DownloadWindow::downloadListSurvivesARestart()
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
    w->sameNameOption(DuplicateMode::Skip)->setChecked(true); // "Skip"
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
    QVERIFY(again->sameNameOption(DuplicateMode::Skip)->isChecked());
    QCOMPARE(again->countLabel()->text(), QString("3"));
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

void tst_DownloadWindow::unreadableKeptListIsSetAside()
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

void tst_DownloadWindow::keptListInUseIsLeftAlone()
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

void tst_DownloadWindow::startSwitchAndDownload()
{
    m_program->settings().set(Keys::DownloadMode, 1);
    fFileDownload *w = m_workspace->downloadWindow();
    auto *way = w->wayLabel();
    auto *threads = w->threadsBox();
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
    QVERIFY(w->downloadingIndicator()->isVisibleTo(w));
    QTRY_COMPARE_WITH_TIMEOUT(w->list().countState(DownloadState::Finished), 4, 15000);
    QVERIFY(QFile::exists(folder + "Paper 3.pdf"));
    QTRY_VERIFY_WITH_TIMEOUT(!w->downloadingIndicator()->isVisibleTo(w), 5000);
    w->Command26_Click();
    QCOMPARE(way->text(), QString("Download Way:1"));
    QVERIFY(!threads->isEnabled());
}

void tst_DownloadWindow::exportCitationsFromBothWindows()
{
    fFileDownload *w = m_workspace->downloadWindow();
    QStringList told;
    w->tell = [&told](const QString &t, MessageKind) { told << t; };
    QString target;
    w->askCitationFile = [&target] { return target; };
    CitationRecord record;
    record.title = QStringLiteral("论文: a record's title");
    record.authors = {{QStringLiteral("García"), QStringLiteral("Lucía"), {}}};
    record.issued.year = 2018;
    record.doi = QStringLiteral("10.5555/harvly.3");
    const QString folder = m_dir.filePath("dl") + "/";
    m_window->AddToDownloadList(m_site.url("/pdf/1.pdf").toString(), "Done paper", "pdf",
                                m_site.url("/docview/1").toString(), folder, ShareRecord(record));
    m_window->AddToDownloadList(m_site.url("/pdf/2.pdf").toString(), "Waiting paper", "pdf",
                                m_site.url("/docview/2").toString(), folder);
    QCOMPARE(w->list().size(), 2);
    QDir().mkpath(folder);
    QFile done(folder + "Done paper.pdf");
    QVERIFY(done.open(QIODevice::WriteOnly));
    done.write("%PDF-1.4\n%%EOF\n");
    done.close();
    w->list().update(w->list().at(0).id, [](DownloadRow &r) { r.state = DownloadState::Finished; });

    // Finished only, to a file beside the documents' folder: the link is relative.
    target = m_dir.filePath("finished.bib");
    w->findChild<QAction *>("menuExportFinishedCitations")->trigger();
    QFile bib(target);
    QVERIFY(bib.open(QIODevice::ReadOnly));
    const QByteArray text = bib.readAll();
    QCOMPARE(text.count("@"), 1);
    QVERIFY(text.contains("title = {论文: a record's title}"));
    QVERIFY(text.contains("file = {:dl/Done paper.pdf:application/pdf}"));
    QCOMPARE(told.last(), "1 citation(s) exported to " + target);

    // The selected row, as RIS; then all, as CSL-JSON, with absolute links as "Set" asks.
    w->listView()->selectionModel()->select(w->list().index(1, 0), QItemSelectionModel::Select |
                                                                       QItemSelectionModel::Rows);
    target = m_dir.filePath("selected.ris");
    w->findChild<QAction *>("menuExportSelectedCitations")->trigger();
    QFile ris(target);
    QVERIFY(ris.open(QIODevice::ReadOnly));
    QCOMPARE(ris.readAll(), QByteArray("TY  - GEN\r\nTI  - Waiting paper\r\nUR  - ") +
                                m_site.url("/docview/2").toString().toUtf8() +
                                "\r\nER  - \r\n\r\n");
    m_program->settings().set(Keys::ExportAbsolutePaths, true);
    target = m_dir.filePath("all.json");
    w->findChild<QAction *>("menuExportAllCitations")->trigger();
    QFile json(target);
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonArray items = QJsonDocument::fromJson(json.readAll()).array();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0)["note"].toString(), "file: " + done.fileName());
    QCOMPARE(items.at(0)["DOI"].toString(), record.doi);

    // Cancelled: nothing written, nothing said.
    target.clear();
    const qsizetype said = told.size();
    w->findChild<QAction *>("menuExportAllCitations")->trigger();
    QCOMPARE(told.size(), said);

    // The search window: every result, or the selected ones.
    m_window->results().AddToLV1("First result", m_site.url("/docview/5").toString(), {}, "pdf",
                                 folder, "SPC", ShareRecord(record));
    m_window->results().AddToLV1("Second result", m_site.url("/docview/6").toString(), {}, "pdf",
                                 folder, "SPC");
    QString searchTarget = m_dir.filePath("results.ris");
    m_window->prompts.citationFile = [&searchTarget] { return searchTarget; };
    m_window->findChild<QAction *>("menuExportAllCitations")->trigger();
    QFile results(searchTarget);
    QVERIFY(results.open(QIODevice::ReadOnly));
    const QByteArray all = results.readAll();
    QCOMPARE(all.count("TY  - "), 2);
    QVERIFY(all.contains("DO  - 10.5555/harvly.3\r\n"));
    QVERIFY(all.contains("TI  - Second result\r\nUR  - " +
                         m_site.url("/docview/6").toString().toUtf8()));
    m_window->resultView()->selectionModel()->select(
        m_window->results().index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    searchTarget = m_dir.filePath("one result.bib");
    m_window->findChild<QAction *>("menuExportSelectedCitations")->trigger();
    QFile one(searchTarget);
    QVERIFY(one.open(QIODevice::ReadOnly));
    QCOMPARE(one.readAll().count("@misc{second,"), 1);
}

void tst_DownloadWindow::unconfirmedItemsFromTheMenus()
{
    fFileDownload *w = m_workspace->downloadWindow();
    w->askYesNo = [](const QString &) { return true; };
    const QList<RowNote> notes{RowNote::None, RowNote::TitleNotFound, RowNote::NoTextToCheck,
                               RowNote::TitleNotFound};
    for (int i = 0; i < notes.size(); ++i) {
        m_window->AddToDownloadList(QString("http://127.0.0.1:1/%1.pdf").arg(i),
                                    QString("Paper %1").arg(i), "pdf", QString(),
                                    m_dir.filePath("dl") + "/");
        w->list().update(w->list().at(i).id, [&](DownloadRow &r) {
            r.state = DownloadState::Finished;
            r.note = notes.at(i);
            r.pages = 3;
        });
    }
    QTRY_VERIFY(w->statusPanel(4)->text().contains("|Unconfirmed:2"));
    w->findChild<QAction *>("menuSelectUnconfirmedItems")->trigger();
    QList<int> selected;
    for (const QModelIndex &i : w->listView()->selectionModel()->selectedRows()) {
        selected << i.row();
    }
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, (QList<int>{1, 3}));
    w->findChild<QAction *>("menuReDownloadUnconfirmedItems")->trigger();
    QList<DownloadState> states;
    for (int i = 0; i < notes.size(); ++i) {
        states << w->list().at(i).state;
    }
    QCOMPARE(states, (QList<DownloadState>{DownloadState::Finished, DownloadState::Waiting,
                                           DownloadState::Finished, DownloadState::Waiting}));
    QCOMPARE(w->list().at(1).note, RowNote::None);
    QTRY_VERIFY(!w->statusPanel(4)->text().contains("Unconfirmed"));
}

HARVLY_WEBENGINE_TEST_MAIN(tst_DownloadWindow)
#include "tst_downloadwindow.moc"
