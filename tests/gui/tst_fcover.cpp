#include "app/fcover.h"
#include "app/workspace.h"
#include "common/forms.h"
#include "common/program.h"
#include "download/ffiledownload.h"
#include "search/fwebsearch.h"
#include "support/chinesetexts.h"
#include "support/webenginetest.h"
#include "testsite.h"

#include <QApplication>
#include <QCoro/QCoroTask>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <optional>

using namespace harvly;

class tst_fCover : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void loadShowsTitleAndVersion_data();
    void loadShowsTitleAndVersion();
    void buttonsWaitForTheTimer();
    void languageButtonStartsTheSiblingAndEnds();
    void languageButtonEndsEvenWhenTheSiblingFails();
    void exitAndCloseEndTheProcess();
    void searchWindowReturnsToTheCover();
    void chineseTextsAreTranslated();
    void latestVersionCheck_data();
    void latestVersionCheck();

private:
    struct Observed {
        QStringList launched;
        QList<QStringList> arguments;
        int ended = 0;
        bool launchResult = true;
    };
    std::unique_ptr<fCover> makeCover(Program &program, Observed &seen)
    {
        m_workspaces.push_back(std::make_unique<Workspace>(program, m_dir.filePath("browser")));
        fCover::ProcessControl control;
        control.launch = [&seen](const QString &exe, const QStringList &arguments) {
            seen.launched << exe;
            seen.arguments << arguments;
            return seen.launchResult;
        };
        control.endProcess = [&seen] { ++seen.ended; };
        return std::make_unique<fCover>(*m_workspaces.back(), control);
    }
    std::unique_ptr<Program> makeProgram(const Build &build)
    {
        auto program = std::make_unique<Program>(
            build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
        program->siteAddress = m_site.url().toString(); // never the real site in a test
        return program;
    }
    QTemporaryDir m_dir;
    testsite::TestSite m_site;
    std::vector<std::unique_ptr<Workspace>> m_workspaces;
};

void tst_fCover::init()
{
    if (!m_site.port()) {
        QVERIFY(m_site.start());
    }
    // Start-up records the browser emulation value in the user's store; keep it in the sandbox.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
}

void tst_fCover::loadShowsTitleAndVersion_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("version");
    QTest::newRow("English") << false << "Harvly Retrieving Download Manager"
                             << "Version:1.7.519";
    QTest::newRow("Chinese") << true << "Harvly检索下载管理器"
                             << "Version:1.8.1229";
}

void tst_fCover::loadShowsTitleAndVersion()
{
    QFETCH(bool, chinese);
    QFETCH(QString, title);
    QFETCH(QString, version);
    auto program = makeProgram(chinese ? Build::chinese() : Build::english());
    Observed seen;
    auto cover = makeCover(*program, seen);
    QCoro::waitFor(cover->Form_Load());
    QCOMPARE(cover->windowTitle(), title);
    QCOMPARE(cover->findChild<QLabel *>("Label1")->text(), version);
    QVERIFY(cover->isVisible());
    QVERIFY(!cover->findChild<QLabel *>("Image1")->pixmap().isNull());
    QVERIFY(program->osDescription.endsWith("Bit]"));
}

void tst_fCover::buttonsWaitForTheTimer()
{
    auto program = makeProgram(Build::english());
    Observed seen;
    auto cover = makeCover(*program, seen);
    QCoro::waitFor(cover->Form_Load());
    auto *enter = cover->findChild<QPushButton *>("Command1");
    auto *language = cover->findChild<QPushButton *>("Command2");
    auto *exit = cover->findChild<QPushButton *>("Command3");
    auto *timer = cover->findChild<QTimer *>("Timer1");
    QVERIFY(!enter->isEnabled());
    QVERIFY(!exit->isEnabled());
    QVERIFY(language->isEnabled());
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 100);
    cover->Timer1_Timer();
    QVERIFY(enter->isEnabled());
    QVERIFY(exit->isEnabled());
    QVERIFY(!timer->isActive());
}

void tst_fCover::languageButtonStartsTheSiblingAndEnds()
{
    for (const Build &build : {Build::english(), Build::chinese()}) {
        auto program = makeProgram(build);
        // Started on the sample site: the other build stays on it.
        program->runArguments = {"--site", m_site.url().toString()};
        Observed seen;
        auto cover = makeCover(*program, seen);
        QCoro::waitFor(cover->Form_Load());
        cover->findChild<QPushButton *>("Command2")->click();
        const QString expected =
            QCoreApplication::applicationDirPath() + "/" + build.siblingExecutableName;
        QCOMPARE(seen.launched, QStringList{expected});
        QCOMPARE(seen.arguments, QList<QStringList>{program->runArguments});
        QCOMPARE(seen.ended, 1);
    }
}

void tst_fCover::languageButtonEndsEvenWhenTheSiblingFails()
{
    auto program = makeProgram(Build::english());
    Observed seen;
    seen.launchResult = false;
    auto cover = makeCover(*program, seen);
    cover->Command2_Click();
    QCOMPARE(seen.launched.size(), 1);
    QCOMPARE(seen.ended, 1);
}

void tst_fCover::exitAndCloseEndTheProcess()
{
    auto program = makeProgram(Build::english());
    Observed seen;
    auto cover = makeCover(*program, seen);
    QCoro::waitFor(cover->Form_Load());
    cover->Timer1_Timer();
    cover->findChild<QPushButton *>("Command3")->click();
    QCOMPARE(seen.ended, 1);
    QVERIFY(seen.launched.isEmpty());

    Observed closed;
    auto other = makeCover(*program, closed);
    QCoro::waitFor(other->Form_Load());
    other->close();
    QCOMPARE(closed.ended, 1);
}

void tst_fCover::searchWindowReturnsToTheCover()
{
    auto program = makeProgram(Build::english());
    Observed seen;
    auto cover = makeCover(*program, seen);
    QCoro::waitFor(cover->Form_Load());
    cover->Timer1_Timer();
    cover->findChild<QPushButton *>("Command1")->click();
    QVERIFY(!cover->isVisible());
    QPointer<fWebSearch> search = cover->searchWindow();
    QVERIFY(search);
    QVERIFY(search->isVisible());
    QCOMPARE(search->windowTitle(),
             QString("ProQuest data retrieval and Analysis-Harvly Retrieving Download Manager"));
    Workspace &workspace = *m_workspaces.back();
    QCOMPARE(workspace.loadedSearchWindow(), search.data());

    // A download window still open keeps the cover hidden.
    QPointer<fFileDownload> download = workspace.downloadWindow();
    search->close();
    QVERIFY(!cover->isVisible());
    QVERIFY(!workspace.loadedSearchWindow());
    QTRY_VERIFY(!search); // unloaded, not just hidden

    cover->Command1_Click();
    QVERIFY(cover->searchWindow());
    download->close();
    QVERIFY(!cover->isVisible()); // the search window is still open
    cover->searchWindow()->close();
    QVERIFY(cover->isVisible());
    QCOMPARE(seen.ended, 0);
}

void tst_fCover::chineseTextsAreTranslated()
{
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(HARVLY_ZH_QM)));
    QCoreApplication::installTranslator(&translator);
    auto program = makeProgram(Build::chinese());
    Observed seen;
    auto cover = makeCover(*program, seen);
    QCoro::waitFor(cover->Form_Load());
    QCOMPARE(cover->findChild<QPushButton *>("Command2")->text(), QString("English Version"));
    QCOMPARE(cover->findChild<QPushButton *>("Command3")->text(), QString("退出"));
    QVERIFY(cover->findChild<QLabel *>("Label1")->text().endsWith("1.8.1229"));
    QCoreApplication::removeTranslator(&translator);

    auto english = makeCover(*program, seen);
    QCOMPARE(english->findChild<QPushButton *>("Command2")->text(), QString("中文版"));
}

void tst_fCover::latestVersionCheck_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("server"); // "%site": the sample site
    QTest::addColumn<bool>("switchedOn");
    QTest::addColumn<QString>("published"); // what the site announces
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("label"); // "" : hidden
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("pageOpened");
    QTest::addColumn<QString>("told");
    QTest::newRow("a fresh install asks nothing") << false << "" << true << "9.9.9" << false << ""
                                                  << "Latest Version：" << false << "";
    QTest::newRow("switched off in the options")
        << false << "%site" << false << "9.9.9" << false << ""
        << "Latest Version：" << false << "";
    QTest::newRow("the same version: caption set, hidden, no page")
        << false << "%site" << true << "1.7.519" << true << ""
        << "Latest Version：V1.7.519" << false << "";
    QTest::newRow("a newer one: shown, the page opened, no message")
        << false << "%site" << true << "1.10.0" << true << "Latest Version：V1.10.0"
        << "Latest Version：V1.10.0" << true << "";
    QTest::newRow("no server there: the message")
        << false << "http://127.0.0.1:1" << true << "" << false << ""
        << "Latest Version：" << false << "Please keep the network flow！";
    QTest::newRow("Chinese build: a newer one told")
        << true << "%site" << true << "1.9.0" << true << "有最新版本：V1.9.0可以下载升级。"
        << "有最新版本：V1.9.0可以下载升级。" << true << "有最新版本可以更新升级！！";
    QTest::newRow("Chinese build: an older one, nothing")
        << true << "%site" << true << "1.7.519" << true << ""
        << "最新版本：" << false << "";
}

void tst_fCover::latestVersionCheck()
{
    QFETCH(bool, chinese);
    QFETCH(QString, server);
    QFETCH(bool, switchedOn);
    QFETCH(QString, published);
    QFETCH(bool, asked);
    QFETCH(QString, label);
    QFETCH(QString, caption);
    QFETCH(bool, pageOpened);
    QFETCH(QString, told);
    std::optional<ChineseTexts> texts;
    if (chinese) {
        texts.emplace();
    }
    m_site.latestVersion = published;
    auto program = makeProgram(chinese ? Build::chinese() : Build::english());
    program->updateServer = QString(server).replace("%site", m_site.url().toString());
    program->settings().set(Keys::CheckLatestVersion, switchedOn);
    Observed seen;
    auto cover = makeCover(*program, seen);
    QStringList opened;
    QStringList messages;
    cover->openPage = [&opened](const QString &url) { opened << url; };
    cover->tell = [&messages](const QString &text, bool) { messages << text; };
    const auto before = m_site.requests().filter("/Harvly/newver.txt").size();
    cover->show();
    cover->Timer1_Timer();
    QVERIFY(!cover->latestVersionLabel()->isVisible()); // nothing during the call itself
    QTest::qWait(400);
    QCOMPARE(m_site.requests().filter("/Harvly/newver.txt").size() - before, asked ? 1 : 0);
    if (!told.isEmpty()) {
        QTRY_COMPARE(messages, QStringList{told});
    } else {
        QVERIFY(messages.isEmpty());
    }
    QLabel *latest = cover->latestVersionLabel();
    QCOMPARE(latest->isVisible(), !label.isEmpty());
    QCOMPARE(latest->text(), caption);
    QCOMPARE(opened, pageOpened ? QStringList{m_site.url("/Harvly/").toString()} : QStringList{});
}

HARVLY_WEBENGINE_TEST_MAIN(tst_fCover)
#include "tst_fcover.moc"
