#pragma once

#include "common/menutable.h"
#include "common/messages.h"
#include "download/savenames.h"
#include "download/schedulerhost.h"

#include <QMainWindow>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QRadioButton;
class QStackedWidget;
class QTimer;
class QStatusBar;
class QTreeView;

namespace harvly {

class DownloadListModel;
class ListStoreWriter;
class StoreLock;
struct StoredList;
class ElidedLabel;
struct DownloadRow;
class DownloadScheduler;
class LoginPanel;
class Program;
class UrlReplace;
class Workspace;

// The download window: the list of download jobs, its settings row and its status bar.
class fFileDownload final : public QMainWindow, private SchedulerHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fFileDownload)

public:
    // The stored way, proxy and size ceiling taken again (after "Set"): the label and the
    // thread count follow, and the rows that start next use them.
    void applyOptions(bool resetThreads = false);
    // The bar that offers the list kept from the last run (null when none was offered).
    QWidget *restoreBar() const { return m_restoreBar; }
    explicit fFileDownload(Workspace &workspace, QWidget *parent = nullptr);
    ~fFileDownload() override;

    DownloadListModel &list() const { return *m_list; }
    DownloadScheduler &scheduler() const { return *m_scheduler; }
    LoginPanel &loginPanel() const { return *m_login; }

    void Timer_Down_Timer();
    void Command4_Click();  // Start Download
    void Command31_Click(); // Stop Download
    void Command26_Click(); // Switch
    void Command1_Click();  // Web page open

    // The controls a user reads and works, by what they are.
    QTreeView *listView() const { return m_view; }
    QLabel *countLabel() const { return m_count; }
    QLabel *wayLabel() const { return m_way; }
    QComboBox *threadsBox() const { return m_threads; }
    QRadioButton *sameNameOption(DuplicateMode mode) const
    {
        return mode == DuplicateMode::Skip    ? m_skip
               : mode == DuplicateMode::Cover ? m_cover
                                              : m_rename;
    }
    QLabel *statusPanel(int number) const; // 1 to 4, as the status bar shows them
    QWidget *downloadingIndicator() const { return m_shape; }
    QTimer *downloadTimer() const { return m_timerDown; }

    void Timer1_Timer();
    void ShowListCounts();

    // How the window asks and tells; tests answer and listen themselves.
    std::function<bool(const QString &)> askYesNo;
    std::function<void(const QString &, MessageKind)> tell;
    std::function<QString()> askOpenFile;
    std::function<QString()> askSaveFile;
    std::function<QString()> askCitationFile;
    std::function<std::optional<QString>(const QString &prompt)> askText;

    // List commands (the list's pop-up menu and the menu bar).
    enum class ClearKind { Selected, Failed, Completed, All };
    void menuRandomSortedList_Click();
    void menuReDownloadAssinFileSizeItems_Click();
    void menuClear_Click(ClearKind kind);
    void menuCanelDownloadSelectItems_Click();
    void menuOutputTitles_Click(bool unfinishedOnly);
    enum class CitationRows { All, Finished, Selected };
    void menuExportCitations_Click(CitationRows which);
    void menuCopyTitle_Click();
    UrlReplace *menuBatchReplaceURL_Click();
    void menuOpenDownloadFile_Click();
    void menuOpenTheFolder_Click();
    void menuOpenTheFileWithNotepad_Click();
    void ListView3_DblClick(const QModelIndex &index);
    void ListView3_ColumnClick(int column);
    void showListMenu(const QPoint &at);

    // Tool menu: the files' real types.
    void menuCheckAndCorrectDiskFileType_Click();
    void menuOpenFileCheckType_Click();
    bool downloadsRunning() const;
    DuplicateMode duplicateMode() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // SchedulerHost
    void playSound(Sound sound) override;
    QCoro::Task<> loginSite() override;
    void scrollTo(quint64 rowId) override;
    QCoro::Task<> openReferer(QString url) override;
    void statusText(int panel, const QString &text) override;
    void timerDownChanged(bool enabled) override;
    void syncOptions();
    void showWay(bool resetThreads);
    void readStoredOptions();
    void showDuplicateMode(DuplicateMode mode);
    // The list kept from the last run: offered in a bar above the list, never in a box.
    QWidget *buildRestoreBar();
    void releaseStore();
    QWidget *restoreBar(const QString &text, std::shared_ptr<StoredList> stored);

    void Form_Load();
    QWidget *buildSettingsRow();
    void connectSettingsRow();
    void buildListView(QWidget *parent);
    QStatusBar *buildStatusBar();
    void buildMenus();
    QList<MenuItem> listMenuItems();
    QList<MenuItem> toolMenuItems();
    QList<MenuItem> citationMenuItems();
    bool workPending() const;
    void ListView3_ItemClick(const QModelIndex &index);
    QSet<quint64> selectedIds() const;
    void selectIds(const QSet<quint64> &ids); // those rows alone
    const DownloadRow *selectedRow() const;
    // The selected row's file (always with its "."); empty, after saying so, when missing.
    QString selectedExistingFile();
    bool refuseWhileDownloading();
    void afterRemoval();

    Workspace &m_workspace;
    Program &m_program;
    DownloadListModel *m_list;
    std::unique_ptr<StoreLock> m_storeLock; // held while this window keeps the list
    ListStoreWriter *m_store = nullptr;
    bool m_kept = false; // the list is kept in the store (also once written for good)
    QWidget *m_restoreBar = nullptr;
    QTreeView *m_view = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_way = nullptr;
    QComboBox *m_threads = nullptr;
    QComboBox *m_interval = nullptr;
    QComboBox *m_reDownload = nullptr;
    QRadioButton *m_skip = nullptr;
    QRadioButton *m_cover = nullptr;
    QRadioButton *m_rename = nullptr;
    QLabel *m_panel1 = nullptr;
    ElidedLabel *m_panel2 = nullptr;
    ElidedLabel *m_panel3 = nullptr;
    QLabel *m_panel4 = nullptr;
    QTimer *m_timer1 = nullptr;
    QMenu *m_listMenu = nullptr;
    QList<MenuItem> m_listItems; // the list menu's table, for its enabling rules
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QTimer *m_timerDown = nullptr;
    DownloadScheduler *m_scheduler = nullptr;
    LoginPanel *m_login = nullptr;
    QWidget *m_shape = nullptr;
    QCheckBox *m_autoReDownload = nullptr;
    QCheckBox *m_autoStart = nullptr;
    QCheckBox *m_errorStop = nullptr;
    QCheckBox *m_voice = nullptr;
    QAction *m_startAction = nullptr;
    QAction *m_autoPositioning = nullptr;
    QAction *m_openRefUrl = nullptr;
};

// The item count label's text.
QString CountLabelText(int count);

} // namespace harvly
