#include "app/workspace.h"
#include "browserpage.h"
#include "common/forms.h"
#include "common/program.h"
#include "search/fwebsearch.h"
#include "search/resultlist.h"
#include "support/webenginetest.h"
#include "testsite.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

using namespace harvly;
using namespace std::chrono_literals;

class tst_fWebSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadOpensTheSiteHome();
    void delayBoxAndPromptFlag();
    void closingSavesTheDelayAndShowsTheCover();
    void openWebPageCompletes();
    void openWebPageGivesUpAtItsLimit();
    void openWebPageEndsOnStop();
    void assignedUrl_data();
    void assignedUrl();
    void splitterSpringsBackBelowTheLimit();
    void windowKeepsItsMinimumSize();
    void everyMenuEntryIsEnabled();

private:
    bool waitLoaded()
    {
        QElapsedTimer t;
        t.start();
        while (m_window->page()->isBusy() && t.elapsed() < 30000) {
            QTest::qWait(20);
        }
        return !m_window->page()->isBusy();
    }

    QTemporaryDir m_dir;
    testsite::TestSite m_site;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<Workspace> m_workspace;
    QPointer<fWebSearch> m_window;
};

void tst_fWebSearch::initTestCase()
{
    QVERIFY(m_site.start());
}

void tst_fWebSearch::init()
{
    const Build build = Build::english();
    m_program = std::make_unique<Program>(
        build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
    m_program->siteAddress = m_site.url("/search?q=ignored").toString();
    m_workspace = std::make_unique<Workspace>(*m_program, m_dir.filePath("browser"));
    m_window = m_workspace->searchWindow();
    m_window->show();
}

void tst_fWebSearch::cleanup()
{
    m_workspace.reset();
    m_program.reset();
}

void tst_fWebSearch::loadOpensTheSiteHome()
{
    QCOMPARE(m_window->windowTitle(),
             QString("ProQuest data retrieval and Analysis-Harvly Retrieving Download Manager"));
    QVERIFY(waitLoaded());
    QCOMPARE(m_window->page()->url(), m_site.url("/")); // the site's root, not the given path
    QVERIFY(m_window->analysis().AnalysisStopped);
    QVERIFY(!m_window->findChild<QMenu *>("menuAdd")->menuAction()->isVisible());
}

void tst_fWebSearch::delayBoxAndPromptFlag()
{
    auto *combo = m_window->delayBox();
    QCOMPARE(combo->count(), 591);
    QCOMPARE(combo->itemText(0), QString("10"));
    QCOMPARE(combo->itemText(590), QString("600"));
    QCOMPARE(combo->currentText(), QString("60"));
    QCOMPARE(m_program->promptSavePath, 1);
}

void tst_fWebSearch::closingSavesTheDelayAndShowsTheCover()
{
    QWidget cover;
    m_workspace->setCover(&cover);
    m_window->delayBox()->setCurrentText("125");
    m_window->close();
    QVERIFY(cover.isVisible());
    QVERIFY(m_window->StopAddAllPages.isStopped());
    QCOMPARE(m_program->settings().get(Keys::SearchTimeInterval), std::chrono::seconds(125));

    // Opened again, the window reads the stored delay back.
    m_program->settings().set(Keys::PromptedSavePathWhenExtractInfo, false);
    QTRY_VERIFY(!m_window);
    m_window = m_workspace->searchWindow();
    QCOMPARE(m_window->delayBox()->currentText(), QString("125"));
    QCOMPARE(m_program->promptSavePath, 0);
}

void tst_fWebSearch::openWebPageCompletes()
{
    QVERIFY(QCoro::waitFor(m_window->OpenWebPage(m_site.url("/docview/3"))));
    QCOMPARE(m_window->page()->url(), m_site.url("/docview/3"));
    QVERIFY(!m_window->page()->isBusy());
}

void tst_fWebSearch::openWebPageGivesUpAtItsLimit()
{
    m_window->setPageWaitLimits({300ms, 700ms});
    QElapsedTimer t;
    t.start();
    QVERIFY(!QCoro::waitFor(m_window->OpenWebPage(m_site.url("/stall"))));
    QVERIFY2(t.elapsed() >= 600 && t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
}

void tst_fWebSearch::openWebPageEndsOnStop()
{
    QTimer::singleShot(300, m_window, [this] { m_window->StopAnalysisss.stop(); });
    QElapsedTimer t;
    t.start();
    QVERIFY(!QCoro::waitFor(m_window->OpenWebPage(m_site.url("/stall"))));
    QVERIFY2(t.elapsed() < 5000, qPrintable(QString::number(t.elapsed())));
}

void tst_fWebSearch::assignedUrl_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("navigates");
    QTest::newRow("empty answer goes nowhere") << "" << false;
    QTest::newRow("blank answer goes nowhere") << "   " << false;
    QTest::newRow("address is opened") << "  @/docview/7  " << true;
}

void tst_fWebSearch::assignedUrl()
{
    QFETCH(QString, answer);
    QFETCH(bool, navigates);
    QVERIFY(waitLoaded());
    answer.replace("@", m_site.url("").toString());
    QSignalSpy before(m_window->page(), &BrowserPage::beforeNavigate);
    m_window->openAssignedUrl(answer);
    if (navigates) {
        QVERIFY(waitLoaded());
        QTRY_COMPARE(m_window->page()->url(), m_site.url("/docview/7"));
    } else {
        QTest::qWait(200);
        QCOMPARE(before.size(), 0);
        QCOMPARE(m_window->page()->url(), m_site.url("/"));
    }
}

void tst_fWebSearch::splitterSpringsBackBelowTheLimit()
{
    m_window->resize(900, 700);
    QTest::qWait(50);
    const int client = m_window->centralWidget()->height();
    m_window->moveSplitter(200);
    QCOMPARE(m_window->splitterTop(), 200);
    QCOMPARE(m_window->findChild<QWidget *>("PicPanWeb")->height(), 200);
    m_window->moveSplitter(client - 20); // below the bottom limit of 80 pixels
    // Back to four fifths, or higher where the list would show fewer than eight rows.
    QVERIFY(m_window->splitterTop() <= client * 4 / 5);
    QVERIFY(m_window->splitterTop() > 200);
    auto *rows = m_window->resultView();
    QVERIFY2(rows->viewport()->height() >= 8 * 19, qPrintable(QString("%1 %2 %3")
                                                                  .arg(rows->viewport()->height())
                                                                  .arg(client)
                                                                  .arg(m_window->splitterTop())));
    const QWidget *list = m_window->findChild<QWidget *>("PicPanList");
    QCOMPARE(list->geometry().bottom() + 1, client);
}

void tst_fWebSearch::windowKeepsItsMinimumSize()
{
    for (int i = 0; i < 20; ++i) {
        m_window->results().AddToLV1(QString("Paper %1").arg(i), QString("http://h/%1.pdf").arg(i),
                                     "http://h/", "pdf", "/s/", "DT");
    }
    auto *list = m_window->resultView();
    auto *bar = m_window->findChild<QWidget *>("PicBar");
    const auto rowsShown = [list] {
        return list->viewport()->height() / qMax(1, list->sizeHintForRow(0));
    };
    // As it opens: at least eight rows, and a splitter bar one can see and grab.
    QTRY_VERIFY2(rowsShown() >= 8, qPrintable(QString::number(rowsShown())));
    QVERIFY(bar->height() >= 6);
    m_window->resize(100, 100);
    QTest::qWait(50);
    QVERIFY(m_window->width() >= 600);
    QVERIFY(m_window->height() >= 333);
    // At its smallest every caption is whole and some rows still show.
    for (QWidget *w : m_window->findChild<QWidget *>("PicPanList")->findChildren<QWidget *>()) {
        const bool captioned = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
        if (captioned && w->isVisible()) {
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
            QVERIFY2(w->height() >= w->sizeHint().height(), qPrintable(w->objectName()));
        }
    }
    QVERIFY2(rowsShown() >= 3, qPrintable(QString::number(rowsShown())));
}

void tst_fWebSearch::everyMenuEntryIsEnabled()
{
    for (const char *name :
         {"menuAddBulkDocumentURLs", "menuOpenProquestSearchHome", "menuOpenAssignURL", "menuBack",
          "menuForword", "menuCloseThisWindow", "menuClearAll", "menuOpenDownloadWindow",
          "menuSaveHtml", "menuCheckIEcach", "menuClearIEcach"}) {
        auto *action = m_window->findChild<QAction *>(name);
        QVERIFY2(action && action->isEnabled(), name);
    }
    QVERIFY(m_window->analyseButton()->isEnabled());
    QVERIFY(m_window->addPageButton()->isEnabled());
}

HARVLY_WEBENGINE_TEST_MAIN(tst_fWebSearch)
#include "tst_fwebsearch.moc"
