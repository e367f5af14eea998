#include "app/workspace.h"
#include "common/program.h"
#include "common/urltext.h"
#include "download/downloadlist.h"
#include "download/ffiledownload.h"
#include "folders/fselefilesavepath.h"
#include "search/fwebsearch.h"
#include "search/resultlist.h"
#include "support/searchwindowfixture.h"
#include "support/webenginetest.h"
#include "testsite.h"

#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
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
    m_window->delayBox()->setCurrentText("1");
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
    m_program->promptSavePath = 1;              // the folder was asked for when harvesting
    m_window->delayBox()->setCurrentText("50"); // 100 ms of delay
    auto *button = m_window->analyseButton();
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
    m_window->delayBox()->setCurrentText("60");
    auto *button = m_window->analyseButton();
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
    QCOMPARE(m_window->countLabel()->text(), QString::number(left.size()));
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
    m_window->resultView()->selectionModel()->select(
        m_window->results().index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
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

HARVLY_WEBENGINE_TEST_MAIN(tst_HandOver)
#include "tst_handover.moc"
