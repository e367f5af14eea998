#include "app/workspace.h"
#include "browserpage.h"
#include "common/program.h"
#include "folders/fselefilesavepath.h"
#include "search/fwebsearch.h"
#include "search/resultlist.h"
#include "support/webenginetest.h"
#include "testsite.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoro/QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace harvly;
using namespace std::chrono_literals;

class tst_Harvesting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addThisPage_data();
    void addThisPage();
    void addAllPagesTakesEveryPageOnce_data();
    void addAllPagesTakesEveryPageOnce();
    void stopClickEndsTheRun();
    void promptAsksForTheFolderFirst();
    void cancelKeepsThePreviousFolder();
    void okCreatesStoresAndRemembersTheFolder();
    void refusedFolderKeepsTheDialogOpen();

private:
    bool open(const QString &path)
    {
        return QCoro::waitFor(m_window->OpenWebPage(m_site.url(path)));
    }
    // Accepts or cancels the save-path dialog as soon as it shows.
    void answerDialog(bool ok, const QString &folder = {})
    {
        QTimer::singleShot(50, this, [this, ok, folder] { answerNow(ok, folder); });
    }
    void answerNow(bool ok, const QString &folder)
    {
        auto *dialog = m_window->findChild<fSeleFileSavePath *>();
        if (!dialog) {
            QTimer::singleShot(50, this, [this, ok, folder] { answerNow(ok, folder); });
            return;
        }
        ++m_dialogs;
        dialog->setListFile(m_dir.filePath("SaveList.dat"));
        if (!folder.isEmpty()) {
            dialog->findChild<QComboBox *>("Combo1")->setCurrentText(folder);
        }
        dialog->findChild<QPushButton *>(ok ? "Command2" : "Command3")->click();
    }

    QTemporaryDir m_dir;
    testsite::TestSite m_site;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<Workspace> m_workspace;
    QPointer<fWebSearch> m_window;
    int m_dialogs = 0;
};

void tst_Harvesting::initTestCase()
{
    QVERIFY(m_site.start());
}

void tst_Harvesting::init()
{
    const Build build = Build::english();
    m_program = std::make_unique<Program>(
        build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
    m_program->siteAddress = m_site.url().toString();
    m_program->promptSavePath = 0;
    m_program->settings().set(Keys::PromptedSavePathWhenExtractInfo, false);
    m_workspace = std::make_unique<Workspace>(*m_program, m_dir.filePath("browser"));
    m_window = m_workspace->searchWindow();
    m_window->setHarvestTiming({10s, 50ms, 3s});
    m_window->show();
    m_dialogs = 0;
}

void tst_Harvesting::cleanup()
{
    m_workspace.reset();
    m_program.reset();
}

void tst_Harvesting::addThisPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("withHtm");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("type");
    QTest::newRow("content areas") << "/search?q=a&layout=1" << false << 9 << "SPC";
    // Each record's HTML link comes after its PDF link, and the last match wins.
    QTest::newRow("content areas with htm") << "/search?q=a&layout=1" << true << 10 << "DT";
    QTest::newRow("titles and links apart") << "/search?q=a&layout=2" << false << 10 << "DT";
    QTest::newRow("items") << "/search?q=a&layout=3&page=2" << false << 9 << "PQ1";
    QTest::newRow("results added by script") << "/search?q=a&layout=4" << false << 9 << "SPC";
    QTest::newRow("single document") << "/docview/12" << false << 1 << "SS";
    QTest::newRow("nothing to take") << "/popup" << false << 0 << "";
}

void tst_Harvesting::addThisPage()
{
    QFETCH(QString, path);
    QFETCH(bool, withHtm);
    QFETCH(int, rows);
    QFETCH(QString, type);
    QVERIFY(open(path));
    m_window->withHtmBox()->setChecked(withHtm);
    QCoro::waitFor(m_window->Command9_Click());
    const ResultListModel &list = m_window->results();
    QCOMPARE(list.size(), rows);
    QCOMPARE(m_window->countLabel()->text(), QString::number(rows));
    if (rows) {
        QCOMPARE(list.at(0).type, type);
        QCOMPARE(list.at(0).tag, m_site.url(path).toString());
        QCOMPARE(list.at(0).savePath, QString()); // no prompt: the hand-over decides
        QVERIFY(!list.at(0).key.contains("&amp;"));
    }
    QCoro::waitFor(m_window->Command9_Click());
    QCOMPARE(list.size(), rows); // the same page again adds nothing
    QCOMPARE(m_dialogs, 0);
}

void tst_Harvesting::addAllPagesTakesEveryPageOnce_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("rows");
    QTest::newRow("next page text") << 1 << 27;
    QTest::newRow("chinese arrow") << 2 << 30;
}

void tst_Harvesting::addAllPagesTakesEveryPageOnce()
{
    QFETCH(int, layout);
    QFETCH(int, rows);
    QVERIFY(open(QString("/search?q=all&layout=%1").arg(layout)));
    auto *button = m_window->findChild<QPushButton *>("Command4");
    const qsizetype before = m_site.requests().size();
    QTimer::singleShot(0, this, [this, button] {
        QVERIFY(m_window->isAddingAllPages());
        QCOMPARE(button->text(), QString("Stop Add all pages"));
        QVERIFY(button->styleSheet().contains("255, 0, 0"));
    });
    QCoro::waitFor(m_window->Command4_Click());
    QCOMPARE(m_window->results().size(), rows);
    QVERIFY(m_window->page()->url().toString().contains("page=3"));
    QCOMPARE(button->text(), QString("Add all pages to list"));
    QVERIFY(button->styleSheet().isEmpty());
    int pages = 0;
    for (const QString &r : m_site.requests().mid(before)) {
        pages += r.startsWith("GET /search") && r.contains("page=");
    }
    QCOMPARE(pages, 2); // pages 2 and 3, each loaded once
}

void tst_Harvesting::stopClickEndsTheRun()
{
    m_window->setHarvestTiming({10s, 2s, 3s});
    QVERIFY(open("/search?q=stop&layout=3"));
    // The second click, while the run pauses after page 2, asks it to stop.
    QTimer::singleShot(600, this, [this] { m_window->Command4_Click(); });
    QElapsedTimer t;
    t.start();
    QCoro::waitFor(m_window->Command4_Click());
    QVERIFY2(t.elapsed() < 4000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(m_window->page()->url().toString().contains("page=2"));
    QCOMPARE(m_window->results().size(), 18);
    QVERIFY(!m_window->isAddingAllPages());
}

void tst_Harvesting::promptAsksForTheFolderFirst()
{
    m_program->promptSavePath = 1;
    QVERIFY(open("/search?q=a&layout=2"));
    const QString folder = m_dir.filePath("papers/2019");
    answerDialog(true, folder);
    QCoro::waitFor(m_window->Command9_Click());
    QCOMPARE(m_dialogs, 1);
    QCOMPARE(m_window->results().size(), 10);
    QCOMPARE(m_window->results().at(0).savePath, folder + "/");
    QCOMPARE(m_program->downloadSaveFolder, folder + "/");
}

void tst_Harvesting::cancelKeepsThePreviousFolder()
{
    m_program->promptSavePath = 1;
    m_program->downloadSaveFolder = "/before/";
    const QString stored = m_program->settings().get(Keys::SavePathOfDownloadFile);
    QVERIFY(open("/search?q=a&layout=1"));
    answerDialog(false, m_dir.filePath("never"));
    QCoro::waitFor(m_window->Command9_Click());
    QCOMPARE(m_dialogs, 1);
    QVERIFY(m_program->savePathDialogCancelled);
    QCOMPARE(m_window->results().size(), 9); // harvesting goes on
    QCOMPARE(m_window->results().at(0).savePath, QString("/before/"));
    QVERIFY(!QDir(m_dir.filePath("never")).exists());
    QCOMPARE(m_program->settings().get(Keys::SavePathOfDownloadFile), stored);
}

void tst_Harvesting::okCreatesStoresAndRemembersTheFolder()
{
    const QString list = m_dir.filePath("ok-list.dat");
    const QString folder = m_dir.filePath("a?b/c");
    for (int i = 0; i < 2; ++i) {
        fSeleFileSavePath dialog(*m_program);
        dialog.setListFile(list);
        dialog.findChild<QRadioButton *>("Option1")->setChecked(true);
        dialog.findChild<QComboBox *>("Combo1")->setCurrentText(folder);
        dialog.Command2_Click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    const QString made = m_dir.filePath("ab/c");
    QVERIFY(QFileInfo(made).isDir());
    QCOMPARE(m_program->settings().get(Keys::SavePathOfDownloadFile), made + "/");
    QCOMPARE(m_program->downloadSaveFolder, made + "/");
    QVERIFY(m_program->useOriginalFileName);
    QVERIFY(!m_program->savePathDialogCancelled);
    QFile f(list);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), (made + "\r\n" + made + "\r\n").toUtf8()); // written twice ...
    fSeleFileSavePath again(*m_program);
    again.setListFile(list);
    QCOMPARE(again.findChild<QComboBox *>("Combo1")->count(), 1); // ... shown once
    QVERIFY(again.findChild<QRadioButton *>("Option1")->isChecked());
}

void tst_Harvesting::refusedFolderKeepsTheDialogOpen()
{
    QFile blocker(m_dir.filePath("file-not-folder"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    fSeleFileSavePath dialog(*m_program);
    dialog.setListFile(m_dir.filePath("refused.dat"));
    dialog.show();
    dialog.findChild<QComboBox *>("Combo1")->setCurrentText(m_dir.filePath("file-not-folder/x"));
    QTimer::singleShot(100, this, [] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                QCOMPARE(box->text(), QString("Folder Settings Error！"));
                box->accept();
            }
        }
    });
    dialog.Command2_Click();
    QVERIFY(dialog.isVisible());
    QVERIFY(!QFile::exists(m_dir.filePath("refused.dat")));
}

HARVLY_WEBENGINE_TEST_MAIN(tst_Harvesting)
#include "tst_harvesting.moc"
