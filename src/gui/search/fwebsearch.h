#pragma once

#include "common/menutable.h"
#include "common/stopsource.h"
#include "pagewait.h"
#include "search/articleanalysis.h"

#include <QCoro/QCoroTask>
#include <QMainWindow>
#include <QPointer>
#include <QSet>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QTreeView;

namespace harvly {

class BrowserPage;
class DomDocument;
class Program;
class ResultListModel;
struct ResultRow;
class SplitterBar;
class WebBrowser;
class Workspace;
class addlinks;

// The search window: the site in an embedded browser above the result list.
class fWebSearch final : public QMainWindow, private AnalysisHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fWebSearch)

public:
    explicit fWebSearch(Workspace &workspace, QWidget *parent = nullptr);
    ~fWebSearch() override;

    // Loads a page and waits until it is complete, at most the limits; true when it completed.
    QCoro::Task<bool> OpenWebPage(QUrl url);
    // The browser's page as one document row; true when it added one.
    QCoro::Task<bool> ExtractSingleArticlePdfUrl();
    // "Add Bulk Document URLs": the bulk window, made when needed.
    addlinks *menuAddBulkDocumentURLs_Click();
    void setPageWaitLimits(PageWaitLimits limits) { m_limits = limits; }

    // How long harvesting waits: for a next page to load, after it loaded, and for a page's
    // results to appear when a script adds them.
    struct HarvestTiming {
        std::chrono::milliseconds pageLimit{30000};
        std::chrono::milliseconds pause{2000};
        std::chrono::milliseconds settle{3000};
    };
    void setHarvestTiming(HarvestTiming timing) { m_timing = timing; }

    ResultListModel &results() const { return *m_results; }
    // The controls a user reads and works, by what they are.
    QTreeView *resultView() const { return m_list; }
    QLabel *countLabel() const { return m_count; }
    QComboBox *delayBox() const { return m_delay; }
    QCheckBox *withHtmBox() const { return m_withHtm; }
    QPushButton *analyseButton() const { return m_analyse; }
    QPushButton *addPageButton() const { return m_addPage; }
    Workspace &workspace() const { return m_workspace; }
    // A bulk window that outlived the search window it came from goes on with this one.
    void adoptBulkWindow(addlinks *bulk);
    // The result list's columns fitted to their contents and headers.
    void AutoSizeResultColumns();
    QCoro::Task<> Command9_Click();
    QCoro::Task<> Command4_Click();
    QCoro::Task<bool> NextPage();
    bool isAddingAllPages() const { return m_addingAll; }

    // Set by other windows to end this window's page waits.
    StopSource StopAnalysisss;
    StopSource StopAddAllPages;
    ArticleAnalysis &analysis() const { return *m_analysis; }

    // Hand-over to the download window, which is made when needed.
    void AddToDownloadList(const QString &url, const QString &title, const QString &articleType,
                           const QString &ref, const QString &savePath, SharedRecord record = {});
    void ShowDownloadWindow();

    // How the window asks and tells; tests answer and listen themselves.
    struct Prompts {
        std::function<bool(const QString &)> yesNo;
        std::function<std::optional<QString>(const QString &prompt)> text;
        std::function<QString()> saveFile;
        std::function<QString()> citationFile;
        std::function<void(const QString &, bool error)> tell;
    };
    Prompts prompts;

    // The result list commands.
    void menuClearSelectItems_Click();
    void menuClearAnalysisSuccessItem_Click();
    void menuClearTitleContainingSpecifiedItems_Click();
    void menuClearTitleNotContainingSpecifiedItems_Click();
    void menuClearAll_Click();
    void menuExportCitations_Click(bool selectedOnly);
    QCoro::Task<> menuSaveHtml_Click();
    void Command7_Click();
    QCoro::Task<> Command2_Click();
    QCoro::Task<> runAnalysisPass(AnalysisPass pass);
    void Check1_Click(bool checked);
    void Timer1_Timer();
    void ListView1_DblClick(const QModelIndex &index);

    BrowserPage *page() const;
    WebBrowser *browser() const { return m_browser; }
    QUrl homePage() const;
    int splitterTop() const { return m_splitterTop; }
    // Moves the splitter as a drag ending at top (pixels) would.
    void moveSplitter(int top);

    void menuOpenProquestSearchHome_Click();
    void menuOpenAssignURL_Click();
    void openAssignedUrl(const QString &answer);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    bool refuseWhileAnalysing();
    // Removes the rows whose title holds (or does not hold) a word the user types.
    void clearByTitleWord(bool containing);
    void removeWhere(const std::function<bool(const ResultRow &)> &match);
    QSet<quint64> selectedIds() const;

    // AnalysisHost
    void handOver(const QString &url, const QString &title, const QString &fileType,
                  const QString &ref, const QString &savePath, SharedRecord record) override;
    void showProgress(const QString &text) override;
    void setProgressVisible(bool visible) override;
    void clearBrowserCache() override;
    void tellAnalysisFailed(const QString &message) override;
    QCoro::Task<bool> askSavePath() override;
    bool promptsWhileHarvesting() const override;
    void showDownloadWindow() override { ShowDownloadWindow(); }
    void stopAutomaticAnalysis() override;
    std::chrono::seconds delay() const override;
    QCoro::Task<DomDocument> readPage();
    QCoro::Task<> harvestPage(QString savePath);
    QString harvestSavePath() const;
    QWidget *buildListPanel();
    void Form_Resize();
    void layoutListPanel();
    int listHeightFor(int rows) const; // the result list's height that shows that many rows
    static constexpr int kResultRowHeight = 13 + 6;
    QList<MenuItem> menuItems(); // the menu bar as data
    QList<MenuItem> toolMenuItems();

    Workspace &m_workspace;
    Program &m_program;
    PageWaitLimits m_limits;
    HarvestTiming m_timing;
    bool m_pageLoading = false;
    bool m_addingAll = false;
    ResultListModel *m_results = nullptr;
    ArticleAnalysis *m_analysis = nullptr;
    QLabel *m_progressText = nullptr;
    QPushButton *m_analyse = nullptr;
    QMenu *m_clearMenu = nullptr;
    QPushButton *m_addPage = nullptr;
    QPushButton *m_addAll = nullptr;
    int m_splitterTop = -1; // pixels; -1 until the first layout

    WebBrowser *m_browser = nullptr;
    QWidget *m_webPanel = nullptr;
    SplitterBar *m_bar = nullptr;
    QWidget *m_listPanel = nullptr;
    QTreeView *m_list = nullptr;
    QComboBox *m_delay = nullptr;
    QCheckBox *m_autoAnalysis = nullptr;
    QCheckBox *m_withHtm = nullptr;
    QLabel *m_count = nullptr;
    QWidget *m_progress = nullptr;
    QLabel *m_statusText = nullptr;
    QTimer *m_timer = nullptr;
    QPointer<addlinks> m_bulk;
    QMenu *m_addMenu = nullptr;
};

} // namespace harvly
