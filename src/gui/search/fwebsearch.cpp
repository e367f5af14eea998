#include "fwebsearch.h"

#include "addlinks.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "browsersession.h"
#include "common/citationfile.h"
#include "common/combos.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/messages.h"
#include "common/named.h"
#include "common/program.h"
#include "common/settings.h"
#include "dialogs/foption.h"
#include "dialogs/frmabout.h"
#include "download/downloadlist.h"
#include "download/ffiledownload.h"
#include "download/handover.h"
#include "folders/fselefilesavepath.h"
#include "search/harvest.h"
#include "search/resultlist.h"
#include "search/searchlayout.h"
#include "splitterbar.h"
#include "tools/fiecache.h"
#include "webbrowser.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoro/QCoroTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineProfile>

namespace harvly {

namespace {

int toTwips(int pixels)
{
    return pixels * 15;
}

// By edges, so panels that meet in twips still meet in pixels.
QRect toPixels(const QRect &twips)
{
    return QRect(
        QPoint(twips.left() / 15, twips.top() / 15),
        QPoint((twips.left() + twips.width()) / 15 - 1, (twips.top() + twips.height()) / 15 - 1));
}

} // namespace

fWebSearch::fWebSearch(Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_workspace(workspace), m_program(workspace.program())
{
    setObjectName(QStringLiteral("fWebSearch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(kSearchMinWidthTwips / 15, kSearchMinHeightTwips / 15);
    resize(1100, 780);

    auto *central = new QWidget(this);
    setCentralWidget(central);
    m_webPanel = Named(new QWidget(central), "PicPanWeb");
    m_browser = Named(new WebBrowser(workspace.session().profile(), m_webPanel), "WebBrowser1");
    auto *webLayout = new QVBoxLayout(m_webPanel);
    webLayout->setContentsMargins(0, 0, 1, 1);
    webLayout->addWidget(m_browser);
    m_bar = new SplitterBar(central);
    m_listPanel = buildListPanel();
    m_listPanel->setParent(central);

    auto *status = Named(new QStatusBar(this), "StatusBar1");
    m_statusText = Named(new QLabel(status), "StatusPanel2");
    status->addWidget(m_statusText, 1);
    setStatusBar(status);

    m_timer = Named(new QTimer(this), "Timer1");
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &fWebSearch::Timer1_Timer);

    m_analysis =
        new ArticleAnalysis(*m_results, m_program.network(), *this, m_program.build(), this);
    prompts.yesNo = [this](const QString &q) {
        return ShowMessage(this, q, MessageKind::Question);
    };
    prompts.text = [this](const QString &prompt) -> std::optional<QString> {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, m_program.build().applicationTitle,
                                                     prompt, QLineEdit::Normal, QString(), &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    };
    prompts.saveFile = [this] { return QFileDialog::getSaveFileName(this); };
    prompts.citationFile = [this] { return AskCitationFile(this); };
    prompts.tell = [this](const QString &text, bool error) {
        ShowMessage(this, text, error ? MessageKind::Error : MessageKind::Information);
    };

    buildMenus();
    // Small enough for a small screen, large enough for the list panel's controls and rows
    // under a strip of the browser.
    const QSize panel = m_listPanel->minimumSizeHint();
    setMinimumSize(qMax(kSearchMinWidthTwips / 15, panel.width() + 4),
                   qMax(kSearchMinHeightTwips / 15,
                        menuBar()->sizeHint().height() + statusBar()->sizeHint().height() +
                            kSplitterHeightTwips / 15 + panel.height() + 80));
    // The button and the pass entries stay disabled for the whole of a pass.
    connect(m_analysis, &ArticleAnalysis::runningChanged, this, [this](bool running) {
        m_analyse->setEnabled(!running);
        for (QAction *pass : m_addMenu->actions()) {
            pass->setEnabled(!running);
        }
    });

    connect(m_bar, &SplitterBar::dragged, this,
            [this](int dy) { m_bar->move(m_bar->x(), m_bar->y() + dy); });
    connect(m_bar, &SplitterBar::released, this, [this] { moveSplitter(m_bar->y()); });
    connect(page(), &BrowserPage::statusTextChanged, m_statusText, &QLabel::setText);
    connect(page(), &BrowserPage::beforeNavigate, this, [this] { statusBar()->setVisible(true); });
    connect(page(), &BrowserPage::documentComplete, this, [this] { m_pageLoading = false; });

    // Form_Load
    m_addMenu->menuAction()->setVisible(false);
    setWindowTitle(tr("ProQuest data retrieval and Analysis") + QLatin1Char('-') +
                   m_program.build().applicationTitle);
    FillSecondsBox(m_delay, 10, 600, m_program.settings().get(Keys::SearchTimeInterval));
    m_program.promptSavePath =
        m_program.settings().get(Keys::PromptedSavePathWhenExtractInfo) ? 1 : 0;
    menuOpenProquestSearchHome_Click();
    m_analysis->AnalysisStopped = true;
}

fWebSearch::~fWebSearch() = default;

BrowserPage *fWebSearch::page() const
{
    return m_browser->page();
}

QUrl fWebSearch::homePage() const
{
    return QUrl::fromUserInput(m_program.siteAddress).resolved(QUrl(QStringLiteral("/")));
}

void fWebSearch::menuOpenProquestSearchHome_Click()
{
    page()->navigate(homePage());
}

void fWebSearch::menuOpenAssignURL_Click()
{
    bool ok = false;
    const QString answer = QInputDialog::getText(this, tr("please enter..."),
                                                 tr("Please enter the need to open the URL:"),
                                                 QLineEdit::Normal, QString(), &ok);
    if (ok) {
        openAssignedUrl(answer);
    }
}

void fWebSearch::openAssignedUrl(const QString &answer)
{
    const QString url = answer.trimmed();
    if (!url.isEmpty()) {
        page()->navigate(QUrl::fromUserInput(url));
    }
}

QCoro::Task<bool> fWebSearch::OpenWebPage(QUrl url)
{
    // Arguments are made before the co_await: GCC 12 may destroy temporaries of a co_await
    // expression twice.
    QPointer<BrowserPage> target(page());
    QCoro::Task<bool> wait = harvly::OpenWebPage(target, url, m_limits, &StopAnalysisss);
    const bool done = co_await wait;
    co_return done;
}

QCoro::Task<bool> fWebSearch::ExtractSingleArticlePdfUrl()
{
    QPointer<fWebSearch> self(this);
    QCoro::Task<DomDocument> read = page()->snapshot();
    const DomDocument doc = co_await read;
    if (!self) {
        co_return false;
    }
    HarvestOptions options;
    options.savePath = harvestSavePath();
    // The site's page-limit page stops a bulk run that asks for it.
    options.onCharactersCheck = [bulk = m_bulk] {
        if (bulk) {
            bulk->pageLimitReached();
        }
    };
    co_return harvly::ExtractSingleArticlePdfUrl(doc, *m_results, options);
}

void fWebSearch::adoptBulkWindow(addlinks *bulk)
{
    m_bulk = bulk;
}

addlinks *fWebSearch::menuAddBulkDocumentURLs_Click()
{
    if (!m_bulk) {
        // A window of its own: it outlives nothing but itself, and a closed search window
        // only makes its remaining addresses unsuccessful.
        m_bulk = new addlinks(*this, m_program);
    }
    m_bulk->show();
    m_bulk->raise();
    return m_bulk;
}

void fWebSearch::moveSplitter(int top)
{
    m_splitterTop = top;
    Form_Resize();
}

void fWebSearch::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void fWebSearch::Form_Resize()
{
    if (isMinimized() || !centralWidget()) {
        return;
    }
    const QSize client = centralWidget()->size();
    const int requested = m_splitterTop < 0 ? -1 : toTwips(m_splitterTop);
    // The list panel keeps its controls and three rows; it opens with eight. What its
    // controls take is measured on the panel as laid out, hence a second pass when the
    // splitter was placed anew and the list came out short.
    const int minList = m_listPanel->minimumSizeHint().height();
    int openList = minList + 5 * kResultRowHeight;
    for (int pass = 0; pass < 2; ++pass) {
        const SearchLayout l =
            LayoutSearchWindow(QSize(toTwips(client.width()), toTwips(client.height())), requested,
                               toTwips(minList), toTwips(openList));
        m_splitterTop = l.splitterTop / 15;
        m_webPanel->setGeometry(toPixels(l.web));
        m_bar->setGeometry(toPixels(l.bar));
        m_listPanel->setGeometry(toPixels(l.list));
        m_listPanel->layout()->activate();
        const int missing = listHeightFor(8) - m_list->height();
        if (l.splitterTop == requested || missing <= 0) {
            break;
        }
        openList += missing;
    }
    layoutListPanel();
}

int fWebSearch::listHeightFor(int rows) const
{
    // The header and frame as laid out, once the list has been; until then their hints.
    const int chrome = m_list->viewport()->height() > 0
                           ? m_list->height() - m_list->viewport()->height()
                           : m_list->header()->sizeHint().height() + 2 * m_list->frameWidth();
    return chrome + rows * kResultRowHeight + 2;
}

void fWebSearch::layoutListPanel()
{
    m_progress->adjustSize();
    m_progress->move((m_listPanel->width() - m_progress->width()) / 2,
                     (m_listPanel->height() - m_progress->height()) / 2);
}

void fWebSearch::AddToDownloadList(const QString &url, const QString &title,
                                   const QString &articleType, const QString &ref,
                                   const QString &savePath, SharedRecord record)
{
    AddDownloadRow(m_workspace.downloadWindow()->list(), m_program, url, title, articleType, ref,
                   savePath, std::move(record));
}

void fWebSearch::ShowDownloadWindow()
{
    fFileDownload *window = m_workspace.downloadWindow();
    window->listView()->viewport()->update();
    if (window->isMinimized()) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) |
                               Qt::WindowMaximized);
    }
    window->show();
    window->raise();
}

QCoro::Task<> fWebSearch::Command2_Click()
{
    if (m_analysis->running()) {
        co_return;
    }
    if (m_results->size() == 0) {
        prompts.tell(tr("No data Oh!"), false);
    } else if (selectedIds().isEmpty()) {
        QCoro::Task<> pass = runAnalysisPass(AnalysisPass::All);
        co_await pass;
    } else {
        m_addMenu->popup(m_analyse->mapToGlobal(QPoint(0, m_analyse->height())));
    }
}

QCoro::Task<> fWebSearch::runAnalysisPass(AnalysisPass pass)
{
    QCoro::Task<> run = m_analysis->runPass(pass, selectedIds());
    co_await run;
}

void fWebSearch::Check1_Click(bool checked)
{
    if (!checked) {
        m_timer->stop();
        return;
    }
    QPointer<fWebSearch> self(this);
    auto start = [self] {
        if (!self || !self->m_autoAnalysis->isChecked()) {
            return;
        }
        self->m_timer->start();
        self->m_analysis->RunAutomaticAnalysisPass(); // refused while a pass runs
    };
    if (m_program.promptSavePath != 1) {
        QCoro::connect(fSeleFileSavePath::Ask(m_program, this), this, [start](bool) { start(); });
    } else {
        start();
    }
}

void fWebSearch::Timer1_Timer()
{
    // A pass still running (its last delay included) is left to end; none starts beside it.
    if (!m_analysis->running()) {
        m_analysis->RunAutomaticAnalysisPass();
    }
}

void fWebSearch::handOver(const QString &url, const QString &title, const QString &fileType,
                          const QString &ref, const QString &savePath, SharedRecord record)
{
    AddToDownloadList(url, title, fileType, ref, savePath, std::move(record));
}

void fWebSearch::showProgress(const QString &text)
{
    m_progressText->setText(text);
    layoutListPanel(); // the panel grows with its text and stays centred
    m_progressText->repaint();
}

void fWebSearch::setProgressVisible(bool visible)
{
    layoutListPanel();
    m_progress->setVisible(visible);
    if (visible) {
        m_progress->raise();
    }
}

void fWebSearch::clearBrowserCache()
{
    m_workspace.ClearIECache(this, false);
}

void fWebSearch::tellAnalysisFailed(const QString &message)
{
    prompts.tell(message, false);
}

QCoro::Task<bool> fWebSearch::askSavePath()
{
    QCoro::Task<bool> ask = fSeleFileSavePath::Ask(m_program, this);
    const bool ok = co_await ask;
    co_return ok;
}

bool fWebSearch::promptsWhileHarvesting() const
{
    if (m_program.promptSavePath == 1) {
        m_program.savePathDialogCancelled = false;
        return true;
    }
    return false;
}

void fWebSearch::stopAutomaticAnalysis()
{
    m_autoAnalysis->setChecked(false);
    m_timer->stop();
}

std::chrono::seconds fWebSearch::delay() const
{
    return BoxSeconds(m_delay);
}

void fWebSearch::closeEvent(QCloseEvent *event)
{
    StopAddAllPages.stop();
    m_analysis->Stop();
    if (m_bulk) {
        m_bulk->searchWindowClosing();
    }
    m_timer->stop();
    m_program.settings().set(Keys::SearchTimeInterval, BoxSeconds(m_delay));
    event->accept();
    m_workspace.mainWindowClosing(this);
}

} // namespace harvly
