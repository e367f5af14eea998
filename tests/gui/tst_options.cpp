#include "app/workspace.h"
#include "common/program.h"
#include "common/settings.h"
#include "dialogs/foption.h"
#include "dialogs/frmabout.h"
#include "download/ffiledownload.h"
#include "download/scheduler.h"
#include "support/chinesetexts.h"
#include "support/webenginetest.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace harvly;

// "Set" and "About" of both main windows.
class tst_Options : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void proxyWarningStillSaves();
    void doiResolverIsAnHttpAddress_data();
    void doiResolverIsAnHttpAddress();
    void secondWayResetsAnOpenDownloadWindow_data();
    void secondWayResetsAnOpenDownloadWindow();
    void closedDownloadWindowReadsTheValuesWhenItOpens();
    void cancelSavesNothing();
    void chineseBuildKeepsItsSizeCeiling();
    void aboutBox();
    void systemInformation_data();
    void systemInformation();
    void chineseAboutBox();
    void menusOpenTheDialogs();

private:
    QString boxText()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                const QString text = box->text();
                box->close();
                return text;
            }
        }
        return {};
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<Workspace> m_workspace;
};

void tst_Options::init()
{
    const Build build = Build::english();
    m_program = std::make_unique<Program>(
        build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
    m_program->osDescription = "Debian GNU/Linux 12 (bookworm) 64-bit";
    m_workspace = std::make_unique<Workspace>(*m_program, m_dir.filePath("browser"));
}

void tst_Options::cleanup()
{
    m_workspace.reset();
    m_program.reset();
    QFile::remove(m_dir.filePath("settings.ini"));
}

void tst_Options::proxyWarningStillSaves()
{
    // Opened from the menu as a user does: the dialog deletes itself once closed, and the
    // warning must outlive it.
    fFileDownload *downloads = m_workspace->downloadWindow();
    downloads->show();
    downloads->findChild<QAction *>("menuSet")->trigger();
    QPointer<fOption> dialog;
    QTRY_VERIFY((dialog = downloads->findChild<fOption *>()) && dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QString("Set-Harvly Retrieving Download Manager"));
    dialog->findChild<QCheckBox *>("Check1")->setChecked(true);
    dialog->findChild<QLineEdit *>("Text6")->setText("  proxy.example  ");
    dialog->findChild<QLineEdit *>("Text8")->setText(" abc ");
    dialog->findChild<QPushButton *>("Command1")->click();
    QTRY_VERIFY(!dialog); // closed all the same
    QMessageBox *box = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *b = qobject_cast<QMessageBox *>(w); b && b->isVisible()) {
            box = b;
        }
    }
    QVERIFY(box);
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QCOMPARE(boxText(), QString("Proxy URL or port wrong format!"));
    Settings &s = m_program->settings();
    QVERIFY(s.get(Keys::ProxyEffective));
    QCOMPARE(s.get(Keys::ProxyURL), QString("proxy.example"));
    QCOMPARE(s.get(Keys::ProxyPort), QString("abc")); // kept as typed
}

void tst_Options::doiResolverIsAnHttpAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message");
    QTest::newRow("an https address") << " https://resolver.example/ "
                                      << "https://resolver.example/"
                                      << "";
    QTest::newRow("nothing: the default") << ""
                                          << "https://doi.org/"
                                          << "";
    const QString wrong = "The DOI resolver must be an http or https address!";
    QTest::newRow("another scheme: kept as it was") << "ftp://resolver.example/"
                                                    << "http://kept.example/" << wrong;
    QTest::newRow("no scheme: kept as it was") << "resolver.example"
                                               << "http://kept.example/" << wrong;
}

void tst_Options::doiResolverIsAnHttpAddress()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QString, message);
    m_program->settings().set(Keys::DoiResolver, "http://kept.example/");
    auto *dialog = new fOption(*m_workspace);
    QCOMPARE(dialog->findChild<QLineEdit *>("Text3")->text(), QString("http://kept.example/"));
    dialog->findChild<QLineEdit *>("Text3")->setText(typed);
    dialog->findChild<QPushButton *>("Command1")->click();
    QCOMPARE(m_program->settings().get(Keys::DoiResolver), stored);
    QCOMPARE(boxText(), message);
    delete dialog;
}

void tst_Options::secondWayResetsAnOpenDownloadWindow_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("way");
    QTest::newRow("second way") << "Option2" << 2;
    QTest::newRow("first way") << "Option1" << 1;
}

void tst_Options::secondWayResetsAnOpenDownloadWindow()
{
    QFETCH(QString, option);
    QFETCH(int, way);
    m_program->settings().set(Keys::DownloadMode, 3 - way);
    m_program->settings().set(Keys::Thread, 4);
    fFileDownload *downloads = m_workspace->downloadWindow();
    auto *threads = downloads->threadsBox();
    QCOMPARE(threads->isEnabled(), way == 1); // as it was loaded
    const QString before = threads->currentText();
    QVERIFY(way == 2 || before != "1");
    fOption dialog(*m_workspace);
    dialog.findChild<QRadioButton *>(option)->setChecked(true);
    dialog.findChild<QCheckBox *>("Check1")->setChecked(true);
    dialog.findChild<QLineEdit *>("Text6")->setText("127.0.0.1");
    dialog.findChild<QLineEdit *>("Text8")->setText("3128");
    dialog.Command1_Click();
    QCOMPARE(boxText(), QString()); // a good proxy: no warning
    QCOMPARE(m_program->settings().get(Keys::DownloadMode), way);
    QCOMPARE(downloads->wayLabel()->text(), QString("Download Way:%1").arg(way));
    QCOMPARE(threads->isEnabled(), way == 2);
    QCOMPARE(threads->currentText(),
             way == 2 ? QString("1") : before); // only the second way resets it
    // The rows that start next use the new values.
    QCOMPARE(WayNumber(downloads->scheduler().options.way), way);
    QVERIFY(downloads->scheduler().options.proxyOn);
    QCOMPARE(downloads->scheduler().options.proxyPort, QString("3128"));
}

void tst_Options::closedDownloadWindowReadsTheValuesWhenItOpens()
{
    QVERIFY(!m_workspace->loadedDownloadWindow());
    QVERIFY(!m_workspace->sessionMade()); // no browser until a window with a page needs it
    fOption dialog(*m_workspace);
    dialog.findChild<QRadioButton *>("Option2")->setChecked(true);
    dialog.findChild<QCheckBox *>("Check2")->setChecked(false);
    dialog.findChild<QCheckBox *>("Check3")->setChecked(false);
    QVERIFY(dialog.findChild<QCheckBox *>("Check4")->isChecked()); // on by default
    dialog.findChild<QCheckBox *>("Check4")->setChecked(false);
    QVERIFY(!dialog.findChild<QCheckBox *>("Check5")->isChecked()); // relative links by default
    dialog.findChild<QCheckBox *>("Check5")->setChecked(true);
    QVERIFY(dialog.findChild<QCheckBox *>("Check6")->isChecked()); // documents checked by default
    dialog.findChild<QCheckBox *>("Check6")->setChecked(false);
    dialog.Command1_Click();
    QVERIFY(!m_workspace->loadedDownloadWindow());
    QVERIFY(!m_program->settings().get(Keys::CheckPdfEnd));
    QVERIFY(m_program->settings().get(Keys::ExportAbsolutePaths));
    QCOMPARE(m_program->promptSavePath, 0);
    QVERIFY(!m_program->settings().get(Keys::PromptedSavePathWhenExtractInfo));
    QVERIFY(!m_program->settings().get(Keys::CheckLatestVersion));
    QVERIFY(!m_workspace->sessionMade()); // "Set" needs no browser either
    fFileDownload *downloads = m_workspace->downloadWindow();
    QVERIFY(m_workspace->sessionMade()); // its login panel is a browser
    QCOMPARE(downloads->wayLabel()->text(), QString("Download Way:2"));
    QVERIFY(!downloads->scheduler().options.checkPdfEnd);
    QVERIFY(!m_program->settings().get(Keys::CheckDocuments));
    QVERIFY(!downloads->scheduler().options.checkDocuments);
    fOption again(*m_workspace);
    QVERIFY(again.findChild<QRadioButton *>("Option2")->isChecked());
    QVERIFY(!again.findChild<QCheckBox *>("Check2")->isChecked());
    QVERIFY(again.findChild<QCheckBox *>("Check5")->isChecked());
    QVERIFY(!again.findChild<QCheckBox *>("Check3")->isChecked());
    QVERIFY(!again.findChild<QCheckBox *>("Check6")->isChecked());
}

void tst_Options::cancelSavesNothing()
{
    fOption dialog(*m_workspace);
    dialog.findChild<QLineEdit *>("Text6")->setText("elsewhere");
    dialog.findChild<QRadioButton *>("Option2")->setChecked(true);
    dialog.Command2_Click();
    QCOMPARE(m_program->settings().get(Keys::ProxyURL), QString());
    QCOMPARE(m_program->settings().get(Keys::DownloadMode), 1);
}

void tst_Options::chineseBuildKeepsItsSizeCeiling()
{
    const ChineseTexts texts;
    const Build build = Build::chinese();
    Program program(build, std::make_unique<Settings>(build, m_dir.filePath("zh.ini")));
    Workspace workspace(program, m_dir.filePath("zh-browser"));
    fOption dialog(workspace);
    QCOMPARE(dialog.windowTitle(), QString("设置-Harvly检索下载管理器"));
    auto *ceiling = dialog.findChild<QLineEdit *>("Text1");
    QVERIFY(ceiling);
    QCOMPARE(ceiling->text(), QString("10"));
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>()) {
        labels << label->text();
    }
    QVERIFY2(labels.contains("下载文件大小不超过：       MB"), qPrintable(labels.join('|')));
    ceiling->setText("25.5");
    dialog.findChild<QRadioButton *>("Option2")->setChecked(true);
    fFileDownload *downloads = workspace.downloadWindow();
    dialog.Command1_Click();
    QCOMPARE(program.settings().get(Keys::MaxFileSizeMegabytes), 25.5);
    QCOMPARE(downloads->wayLabel()->text(), QString("下载方式：2"));
    QVERIFY(!fOption(*m_workspace).findChild<QLineEdit *>("Text1")); // not in the English one
}

void tst_Options::aboutBox()
{
    frmAbout about(*m_program);
    QCOMPARE(about.windowTitle(), QString("About [Harvly Retrieving Download Manager]"));
    QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), QString("Version: 1.7.519"));
    auto *text = about.findChild<QPlainTextEdit *>("Text1");
    // Copied before the timer filled the text: the loading text.
    about.Command1_Click();
    QCOMPARE(QApplication::clipboard()->text(), QString("Loading, please wait ...\n"));
    QTRY_COMPARE(text->toPlainText(),
                 QString("Operating System:Debian GNU/Linux 12 (bookworm) 64-bit\n"));
    about.Command1_Click();
    QCOMPARE(QApplication::clipboard()->text(), text->toPlainText());
    // The links go to the update server's pages; without a server they are not shown.
    QVERIFY(about.findChild<QLabel *>("Label2")->isHidden());
    m_program->updateServer = "http://127.0.0.1:1";
    frmAbout linked(*m_program);
    linked.show();
    auto *link = linked.findChild<QLabel *>("Label2");
    QVERIFY(link->isVisible());
    QCOMPARE(link->property("address").toString(), QString("http://127.0.0.1:1/Harvly/"));
    auto *line = linked.findChild<QFrame *>("Line2");
    QVERIFY(line->isHidden());
    linked.AnalogURLunderscore(link);
    QVERIFY(line->isVisible());
    QCOMPARE(line->geometry().left(), link->x());
    QCOMPARE(line->geometry().width(), link->width());
    QCOMPARE(line->geometry().top(), link->y() + link->height());
}

void tst_Options::systemInformation_data()
{
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<bool>("started");
    QTest::newRow("none installed: the message")
        << QStringList{"no-such-program-here-1", "no-such-program-here-2"} << false;
    QTest::newRow("the first installed starts")
        << QStringList{"no-such-program-here", "sh"} << true;
}

void tst_Options::systemInformation()
{
    QFETCH(QStringList, programs);
    QFETCH(bool, started);
    frmAbout about(*m_program);
    about.systemInformationPrograms = programs;
    QStringList run;
    about.start = [&run](const QString &program, const QStringList &) {
        run << program;
        return true;
    };
    QStringList told;
    about.tell = [&told](const QString &t) { told << t; };
    about.findChild<QPushButton *>("cmdSysInfo")->click();
    QCOMPARE(run.size(), started ? 1 : 0);
    if (started) {
        QVERIFY(run.first().endsWith("/sh"));
        QVERIFY(told.isEmpty());
    } else {
        QCOMPARE(told, QStringList{"此时系统信息不可用"});
    }
}

void tst_Options::chineseAboutBox()
{
    const ChineseTexts texts;
    const Build build = Build::chinese();
    Program program(build, std::make_unique<Settings>(build, m_dir.filePath("zh.ini")));
    program.osDescription = "Debian GNU/Linux 12 (bookworm) 64-bit";
    frmAbout about(program);
    QCOMPARE(about.windowTitle(), QString("关于『Harvly检索下载管理器』"));
    QTRY_COMPARE(about.findChild<QPlainTextEdit *>("Text1")->toPlainText(),
                 QString("Debian GNU/Linux 12 (bookworm) 64-bit\n")); // no label
}

void tst_Options::menusOpenTheDialogs()
{
    fFileDownload *downloads = m_workspace->downloadWindow();
    downloads->show();
    for (const char *name : {"menuSet", "menuAbout"}) {
        auto *action = downloads->findChild<QAction *>(name);
        QVERIFY2(action && action->isEnabled(), name);
        action->trigger();
        QDialog *open = nullptr;
        QTRY_VERIFY((open = downloads->findChild<QDialog *>()) && open->isVisible());
        QCOMPARE(open->windowModality(), Qt::WindowModal);
        QPointer<QDialog> guard(open);
        open->reject();
        QTRY_VERIFY(!guard); // deleted once closed
    }
}

HARVLY_WEBENGINE_TEST_MAIN(tst_Options)
#include "tst_options.moc"
