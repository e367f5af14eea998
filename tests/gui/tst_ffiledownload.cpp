#include "app/workspace.h"
#include "common/program.h"
#include "download/downloadlist.h"
#include "download/ffiledownload.h"
#include "download/scheduler.h"
#include "support/webenginetest.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>

using namespace harvly;

// The download window's commands as a user reaches them: its menus, its list, its boxes.
class tst_FFileDownload : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void reDownloadKeepsTheFilesWhenTheSiteIsAway();
    void messagesCarryTheirIcons_data();
    void messagesCarryTheirIcons();
    void smallestWindowShowsEveryCaption();

private:
    quint64 addFinished(const QString &title, const QByteArray &bytes)
    {
        const quint64 id =
            *m_window->list().add("http://127.0.0.1:1/" + title, title, "pdf", m_folder, "");
        m_window->list().update(id, [&](DownloadRow &r) {
            r.state = DownloadState::Finished;
            r.fileSize = bytes.size();
            r.downloaded = bytes.size();
            r.percentage = 100;
        });
        QFile f(m_folder + title + ".pdf");
        if (f.open(QIODevice::WriteOnly)) {
            f.write(bytes);
        }
        return id;
    }
    void select(const QList<int> &rows)
    {
        auto *view = m_window->listView();
        view->selectionModel()->clearSelection();
        for (const int row : rows) {
            view->selectionModel()->setCurrentIndex(m_window->list().index(row, 0),
                                                    QItemSelectionModel::NoUpdate);
            view->selectionModel()->select(m_window->list().index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The message box on screen: its text and icon; closed once read.
    static std::pair<QString, QMessageBox::Icon> shownBox()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                const auto seen = std::make_pair(box->text(), box->icon());
                box->close();
                return seen;
            }
        }
        return {};
    }

    QTemporaryDir m_dir;
    QString m_folder;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<Workspace> m_workspace;
    fFileDownload *m_window = nullptr;
};

void tst_FFileDownload::init()
{
    static int run = 0;
    const Build build = Build::english();
    m_program = std::make_unique<Program>(
        build, std::make_unique<Settings>(build, m_dir.filePath("settings.ini")));
    m_folder = m_dir.filePath(QString("dl%1").arg(++run)) + "/";
    QDir().mkpath(m_folder);
    m_workspace = std::make_unique<Workspace>(*m_program, m_dir.filePath("browser"));
    m_window = m_workspace->downloadWindow();
    m_window->show();
}

void tst_FFileDownload::cleanup()
{
    m_workspace.reset();
    m_program.reset();
}

void tst_FFileDownload::reDownloadKeepsTheFilesWhenTheSiteIsAway()
{
    const QList<QByteArray> documents{"%PDF-1.4 first", "%PDF-1.4 second", "%PDF-1.4 third"};
    for (int i = 0; i < 3; ++i) {
        addFinished(QString("Paper %1").arg(i), documents.at(i));
    }
    select({0, 1, 2});
    m_window->findChild<QAction *>("menuReDownloadSelectItems")->trigger();
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(m_window->list().at(i).state, DownloadState::Waiting);
        QCOMPARE(read(m_folder + QString("Paper %1.pdf").arg(i)), documents.at(i));
    }
    // The site is away (nothing listens on port 1): every attempt fails, no file is lost.
    m_window->findChild<QPushButton *>("Command4")->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->list().countState(DownloadState::Failed), 3, 20000);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(read(m_folder + QString("Paper %1.pdf").arg(i)), documents.at(i));
        QVERIFY(!m_window->list().at(i).reason.isEmpty());
    }
    QCOMPARE(QDir(m_folder).entryList(QDir::Files).size(), 3);
}

void tst_FFileDownload::messagesCarryTheirIcons_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    const int error = QMessageBox::Critical;
    const int information = QMessageBox::Information;
    QTest::newRow("Open Downloaded File, the file gone: an error?")
        << "menuOpenDownloadFile"
        << "gone"
        << "file does not exist!" << error;
    QTest::newRow("Open The File With Notepad, the file gone: an error?")
        << "menuOpenTheFileWithNotepad"
        << "gone"
        << "file does not exist!" << error;
    QTest::newRow("Open The File With Notepad, 3 MB: an error?")
        << "menuOpenTheFileWithNotepad"
        << "large"
        << "The file is too large, more than 2M, not easy to use Notepad to open!" << error;
    QTest::newRow("Open The Folder Where The File, the folder gone: an error?")
        << "menuOpenTheFolderWhereTheFile"
        << "no folder"
        << "Folder does not exist!" << error;
    QTest::newRow("Random Sorted List: information?") << "menuRandomSortedList"
                                                      << ""
                                                      << "Random Sort complete!" << information;
    QTest::newRow("Clear while downloading: information?")
        << "menuClearErrItems"
        << "downloading"
        << "Stop downloading later to perform this operation!" << information;
}

void tst_FFileDownload::messagesCarryTheirIcons()
{
    QFETCH(QString, action);
    QFETCH(QString, setUp);
    QFETCH(QString, text);
    QFETCH(int, icon);
    const quint64 id = addFinished("Paper", "%PDF-1.4 x");
    if (setUp == "gone") {
        QVERIFY(QFile::remove(m_folder + "Paper.pdf"));
    } else if (setUp == "large") {
        QFile f(m_folder + "Paper.pdf");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3 * 1024 * 1024, 'x'));
    } else if (setUp == "no folder") {
        m_window->list().update(id, [&](DownloadRow &r) { r.savePath = m_folder + "away/"; });
    } else if (setUp == "downloading") {
        m_window->scheduler().menuStartDownload();
    }
    select({0});
    m_window->findChild<QAction *>(action)->trigger();
    const auto [shownText, shownIcon] = shownBox();
    QCOMPARE(shownText, text);
    QCOMPARE(int(shownIcon), icon);
    m_window->scheduler().menuStopDownload();
}

void tst_FFileDownload::smallestWindowShowsEveryCaption()
{
    for (int i = 0; i < 20; ++i) {
        addFinished(QString("Paper %1").arg(i), "%PDF-1.4 x");
    }
    m_window->resize(480, 300);
    QTest::qWait(50);

    QVERIFY2(m_window->width() >= m_window->minimumSizeHint().width(),
             qPrintable(QString("%1 < %2 (min %3)")
                            .arg(m_window->width())
                            .arg(m_window->minimumSizeHint().width())
                            .arg(m_window->minimumWidth())));
    // Every caption of the settings row whole, at the smallest size the window takes.
    for (QWidget *w : m_window->findChild<QWidget *>("Picture3")->findChildren<QWidget *>()) {
        const bool captioned = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
        if (captioned && w->isVisible()) {
            QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
        }
    }
    auto *view = m_window->listView();
    const int rowHeight = view->sizeHintForRow(0);
    QVERIFY2(view->viewport()->height() >= 3 * rowHeight,
             qPrintable(QString::number(view->viewport()->height())));
}

HARVLY_WEBENGINE_TEST_MAIN(tst_FFileDownload)
#include "tst_ffiledownload.moc"
