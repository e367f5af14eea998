#pragma once

#include "pagewait.h"

#include <QCoro/QCoroTask>
#include <QMainWindow>

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
class SplitterBar;
class WebBrowser;
class Workspace;

// The search window: the site in an embedded browser above the result list.
class fWebSearch final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fWebSearch)

public:
    explicit fWebSearch(Workspace &workspace, QWidget *parent = nullptr);
    ~fWebSearch() override;

    // Loads a page and waits until it is complete, at most the limits; true when it completed.
    QCoro::Task<bool> OpenWebPage(QUrl url);
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
    QCoro::Task<> Command9_Click();
    QCoro::Task<> Command4_Click();
    QCoro::Task<bool> NextPage();
    bool isAddingAllPages() const { return m_addingAll; }

    // Set by other windows to end this window's page waits.
    bool StopAnalysisss = false;
    bool StopAddAllPages = false;
    bool AnalysisStopped = true;

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
    QCoro::Task<DomDocument> readPage();
    QCoro::Task<> harvestPage(QString savePath);
    QString harvestSavePath() const;
    QWidget *buildListPanel();
    void Form_Resize();
    void layoutListPanel();

    Workspace &m_workspace;
    Program &m_program;
    PageWaitLimits m_limits;
    HarvestTiming m_timing;
    bool m_pageLoading = false;
    bool m_addingAll = false;
    ResultListModel *m_results = nullptr;
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
    QMenu *m_addMenu = nullptr;
};

} // namespace harvly
