#include "fwebsearch.h"

#include "addlinks.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "browsersession.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/menus.h"
#include "common/messages.h"
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

constexpr int kResultRowHeight = 13 + 6;

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
    m_webPanel = new QWidget(central);
    m_webPanel->setObjectName(QStringLiteral("PicPanWeb"));
    m_browser = new WebBrowser(workspace.session().profile(), m_webPanel);
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    auto *webLayout = new QVBoxLayout(m_webPanel);
    webLayout->setContentsMargins(0, 0, 1, 1);
    webLayout->addWidget(m_browser);
    m_bar = new SplitterBar(central);
    m_listPanel = buildListPanel();
    m_listPanel->setParent(central);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    m_statusText = new QLabel(status);
    m_statusText->setObjectName(QStringLiteral("StatusPanel2"));
    status->addWidget(m_statusText, 1);
    setStatusBar(status);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
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
    for (int s = 10; s <= 600; ++s) {
        m_delay->addItem(QString::number(s));
    }
    m_delay->setCurrentText(QStringLiteral("60"));
    m_delay->setCurrentText(m_program.settings().get(Keys::SearchTimeInterval));
    m_program.promptSavePath = m_program.settings().get(Keys::PromptedSavePathWhenExtractInfo);
    menuOpenProquestSearchHome_Click();
    m_analysis->AnalysisStopped = true;
}

fWebSearch::~fWebSearch() = default;

BrowserPage *fWebSearch::page() const
{
    return m_browser->page();
}

QWidget *fWebSearch::buildListPanel()
{
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("PicPanList"));

    auto *caption = new QLabel(tr("List to be downloaded:"), panel);
    caption->setObjectName(QStringLiteral("Label2"));
    m_count = new QLabel(QStringLiteral("0"), panel);
    m_count->setObjectName(QStringLiteral("Label1"));

    m_list = new QTreeView(panel);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setToolTip(tr("Double-click Browse"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_results = new ResultListModel(m_list);
    m_list->setModel(m_results);
    connect(m_results, &ResultListModel::countChanged, m_count,
            [this](int n) { m_count->setText(QString::number(n)); });
    m_list->header()->resizeSection(0, 520);
    SetListViewRowColors(m_list, false, kResultRowHeight);
    m_list->setMinimumHeight(listHeightFor(3));

    auto button = [panel](const char *name, const QString &text) {
        auto *b = new QPushButton(text, panel);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    QPushButton *addPage = m_addPage = button("Command9", tr("Add this page to list"));
    QPushButton *addAll = m_addAll = button("Command4", tr("Add all pages to list"));
    QPushButton *analyse = m_analyse = button("Command2", tr("Analysis to download"));
    QPushButton *output = button("Command7", tr("Output data..."));
    connect(analyse, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(output, &QPushButton::clicked, this, &fWebSearch::Command7_Click);
    connect(m_list, &QTreeView::doubleClicked, this, &fWebSearch::ListView1_DblClick);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { m_clearMenu->popup(m_list->viewport()->mapToGlobal(at)); });
    connect(addPage, &QPushButton::clicked, this, [this] { Command9_Click(); });
    connect(addAll, &QPushButton::clicked, this, [this] { Command4_Click(); });
    m_autoAnalysis =
        new QCheckBox(tr("Automatic analysis failed items and items not analyzed"), panel);
    m_autoAnalysis->setObjectName(QStringLiteral("Check1"));
    connect(m_autoAnalysis, &QCheckBox::clicked, this, &fWebSearch::Check1_Click);
    m_withHtm = new QCheckBox(tr("While add HTM format"), panel);
    m_withHtm->setObjectName(QStringLiteral("Check2"));
    auto *delayLabel = new QLabel(tr("Analysis speed delay:"), panel);
    m_delay = new QComboBox(panel);
    m_delay->setObjectName(QStringLiteral("Combo1"));
    m_delay->setEditable(true);
    m_delay->setMaxVisibleItems(20);
    auto *secLabel = new QLabel(tr("Sec"), panel);

    auto *top = new QHBoxLayout;
    top->addWidget(caption);
    top->addWidget(m_count);
    top->addStretch(1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {addPage, addAll, analyse, output}) {
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    auto *options = new QHBoxLayout;
    options->addWidget(m_withHtm);
    options->addWidget(m_autoAnalysis);
    options->addStretch(1);
    options->addWidget(delayLabel);
    options->addWidget(m_delay);
    options->addWidget(secLabel);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    layout->addLayout(options);

    m_progress = new QWidget(panel);
    m_progress->setObjectName(QStringLiteral("PicPanPrograss"));
    m_progress->setAutoFillBackground(true);
    m_progressText = new QLabel(tr("Analyzing, please wait ..."), m_progress);
    m_progressText->setObjectName(QStringLiteral("Label11"));
    auto *stop = new QPushButton(tr("Stop"), m_progress);
    stop->setObjectName(QStringLiteral("Command5"));
    connect(stop, &QPushButton::clicked, this, [this] { m_analysis->Stop(); });
    auto *progressLayout = new QHBoxLayout(m_progress);
    progressLayout->addWidget(m_progressText);
    progressLayout->addWidget(stop);
    m_progress->hide();
    return panel;
}

void fWebSearch::buildMenus()
{
    m_addMenu = new QMenu(tr("Add"), this);
    m_addMenu->setObjectName(QStringLiteral("menuAdd"));
    const std::pair<const char *, AnalysisPass> passes[] = {
        {"menuAnalysisUnanalyzedItems", AnalysisPass::Unanalyzed},
        {"menuAnalysisFailureItem", AnalysisPass::Failure},
        {"menuAnalysisSelectItem", AnalysisPass::Selected},
        {"menuAnalysisAlltem", AnalysisPass::All}};
    const QString passTexts[] = {tr("Analysis Unanalyzed Items"), tr("Analysis Failure Items"),
                                 tr("Analysis Select Items"), tr("Analysis All Items")};
    for (int i = 0; i < 4; ++i) {
        const AnalysisPass pass = passes[i].second;
        connect(AddMenuItem(m_addMenu, passes[i].first, passTexts[i]), &QAction::triggered, this,
                [this, pass] { runAnalysisPass(pass); });
    }
    menuBar()->addMenu(m_addMenu);

    QMenu *browse = menuBar()->addMenu(tr("Browse(&B)"));
    browse->setObjectName(QStringLiteral("menuBrowse"));
    connect(AddMenuItem(browse, "menuOpenProquestSearchHome", tr("Open Proquest Search Home Page")),
            &QAction::triggered, this, &fWebSearch::menuOpenProquestSearchHome_Click);
    connect(AddMenuItem(browse, "menuOpenAssignURL", tr("Open Assigned URL...")),
            &QAction::triggered, this, &fWebSearch::menuOpenAssignURL_Click);
    connect(AddMenuItem(browse, "menuAddBulkDocumentURLs", tr("Add Bulk Document URLs"), true),
            &QAction::triggered, this, [this] { menuAddBulkDocumentURLs_Click(); });
    browse->addSeparator();
    connect(AddMenuItem(browse, "menuBack", tr("Back")), &QAction::triggered, m_browser,
            &WebBrowser::back);
    connect(AddMenuItem(browse, "menuForword", tr("Forword")), &QAction::triggered, m_browser,
            &WebBrowser::forward);
    browse->addSeparator();
    connect(AddMenuItem(browse, "menuCloseThisWindow", tr("Close This Window")),
            &QAction::triggered, this, &QWidget::close);

    QMenu *clear = m_clearMenu = menuBar()->addMenu(tr("Clear(&C)"));
    clear->setObjectName(QStringLiteral("menuClear"));
    connect(AddMenuItem(clear, "menuClearSelectItems", tr("Clear Select Items")),
            &QAction::triggered, this, &fWebSearch::menuClearSelectItems_Click);
    connect(AddMenuItem(clear, "menuClearAnalysisSuccessItem", tr("Clear Analysis Success Items")),
            &QAction::triggered, this, &fWebSearch::menuClearAnalysisSuccessItem_Click);
    connect(AddMenuItem(clear, "menuClearTitleContainingSpecifiedItems",
                        tr("Clear Title Containing Specified word Items")),
            &QAction::triggered, this, &fWebSearch::menuClearTitleContainingSpecifiedItems_Click);
    connect(AddMenuItem(clear, "menuClearTitleNotContainingSpecifiedItems",
                        tr("Clear Title Not Containing Specified word Items")),
            &QAction::triggered, this,
            &fWebSearch::menuClearTitleNotContainingSpecifiedItems_Click);
    connect(AddMenuItem(clear, "menuClearAll", tr("ClearAll")), &QAction::triggered, this,
            &fWebSearch::menuClearAll_Click);

    QMenu *tool = menuBar()->addMenu(tr("Tool(&T)"));
    tool->setObjectName(QStringLiteral("menuTool"));
    connect(AddMenuItem(tool, "menuSet", tr("Set")), &QAction::triggered, this,
            [this] { OpenDialog(new fOption(m_workspace, this)); });
    connect(AddMenuItem(tool, "menuOpenDownloadWindow", tr("Open Download Window")),
            &QAction::triggered, this, &fWebSearch::ShowDownloadWindow);
    tool->addSeparator();
    connect(AddMenuItem(tool, "menuCheckIEcach", tr("Check IE cach")), &QAction::triggered, this,
            [this] {
                QWidget *cache = m_workspace.cacheWindow();
                cache->show();
                cache->raise();
            });
    connect(AddMenuItem(tool, "menuClearIEcach", tr("Clear IE cach")), &QAction::triggered, this,
            [this] { m_workspace.ClearIECache(this, true); });
    connect(AddMenuItem(tool, "menuSaveHtml", tr("Save the page source")), &QAction::triggered,
            this, [this] { menuSaveHtml_Click(); });

    QMenu *help = menuBar()->addMenu(tr("Hple(&H)"));
    help->setObjectName(QStringLiteral("menuHelp"));
    connect(AddMenuItem(help, "menuAbout", tr("About(&A)")), &QAction::triggered, this,
            [this] { OpenDialog(new frmAbout(m_program, this)); });
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
    QPointer<fWebSearch> self(this);
    std::function<bool()> stop = [self] { return !self || self->StopAnalysisss; };
    QPointer<BrowserPage> target(page());
    QCoro::Task<bool> wait = harvly::OpenWebPage(target, url, m_limits, stop);
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

QString fWebSearch::harvestSavePath() const
{
    return m_program.promptSavePath == 1 ? m_program.downloadSaveFolder : QString();
}

QCoro::Task<DomDocument> fWebSearch::readPage()
{
    // Pages that add their results by script are read once the results are there.
    QCoro::Task<DomDocument> read = page()->snapshotWhen(&HasHarvestableContent, m_timing.settle);
    DomDocument doc = co_await read;
    co_return doc;
}

QCoro::Task<> fWebSearch::harvestPage(QString savePath)
{
    QPointer<fWebSearch> self(this);
    QCoro::Task<DomDocument> read = readPage();
    const DomDocument doc = co_await read;
    if (!self) {
        co_return;
    }
    HarvestOptions options;
    options.savePath = savePath;
    options.withHtm = m_withHtm->isChecked();
    HarvestCurrentPage(doc, *m_results, options);
}

QCoro::Task<> fWebSearch::Command9_Click()
{
    QPointer<fWebSearch> self(this);
    m_addPage->setEnabled(false);
    if (m_program.promptSavePath == 1) {
        QCoro::Task<bool> ask = fSeleFileSavePath::Ask(m_program, this);
        co_await ask; // Cancel keeps the folder chosen before
    }
    if (!self) {
        co_return;
    }
    QCoro::Task<> harvest = harvestPage(harvestSavePath());
    co_await harvest;
    if (self) {
        AutoSizeListViewColumns(m_list);
        m_addPage->setEnabled(true);
    }
}

void fWebSearch::AutoSizeResultColumns()
{
    AutoSizeListViewColumns(m_list);
}

QCoro::Task<bool> fWebSearch::NextPage()
{
    QPointer<fWebSearch> self(this);
    QCoro::Task<DomDocument> read = readPage();
    const DomDocument doc = co_await read;
    if (!self) {
        co_return false;
    }
    HarvestOptions options;
    options.savePath = harvestSavePath();
    options.withHtm = m_withHtm->isChecked();
    HarvestCurrentPage(doc, *m_results, options);

    const DomNode *next = FindNextPageLink(doc);
    if (!next) {
        co_return false;
    }
    m_pageLoading = true;
    QCoro::Task<bool> click = page()->click(next->path());
    co_await click;
    if (!self) {
        co_return false;
    }
    QCoro::Task<bool> loaded = WaitForPage(
        page(), m_timing.pageLimit, [self] { return !self || self->StopAddAllPages; },
        [self] { return self && self->m_pageLoading; });
    const bool complete = co_await loaded;
    if (!complete || !self) {
        co_return false;
    }
    const auto pauseEnd = std::chrono::steady_clock::now() + m_timing.pause;
    while (self && !StopAddAllPages && std::chrono::steady_clock::now() < pauseEnd) {
        co_await QCoro::sleepFor(std::chrono::milliseconds(50));
    }
    co_return bool(self);
}

QCoro::Task<> fWebSearch::Command4_Click()
{
    if (m_addingAll) {
        StopAddAllPages = true;
        co_return;
    }
    QPointer<fWebSearch> self(this);
    m_addingAll = true;
    m_addAll->setText(tr("Stop Add all pages"));
    m_addAll->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    StopAddAllPages = false;
    if (m_program.promptSavePath == 1) {
        QCoro::Task<bool> ask = fSeleFileSavePath::Ask(m_program, this);
        co_await ask;
    }
    while (self && !StopAddAllPages) {
        QCoro::Task<bool> next = NextPage();
        const bool moved = co_await next;
        if (!moved || !self || StopAddAllPages) {
            break;
        }
    }
    if (!self) {
        co_return;
    }
    // The page where the run ended: its rows are mostly there already, new ones are added.
    QCoro::Task<> last = harvestPage(harvestSavePath());
    co_await last;
    if (!self) {
        co_return;
    }
    m_addAll->setStyleSheet(QString());
    m_addAll->setText(tr("Add all pages to list"));
    m_addingAll = false;
    AutoSizeListViewColumns(m_list);
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
                                   const QString &savePath)
{
    AddDownloadRow(m_workspace.downloadWindow()->list(), m_program, url, title, articleType, ref,
                   savePath);
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

bool fWebSearch::refuseWhileAnalysing()
{
    if (m_analysis->AnalysisStopped) {
        return false;
    }
    prompts.tell(tr("Being analyzed, it can not be removed!"), true);
    return true;
}

QSet<quint64> fWebSearch::selectedIds() const
{
    QSet<quint64> ids;
    for (const QModelIndex &i : m_list->selectionModel()->selectedRows()) {
        ids.insert(m_results->at(i.row()).id);
    }
    return ids;
}

void fWebSearch::removeWhere(const std::function<bool(const ResultRow &)> &match)
{
    m_list->setUpdatesEnabled(false);
    m_results->removeWhere(match);
    m_list->setUpdatesEnabled(true);
}

void fWebSearch::menuClearSelectItems_Click()
{
    if (refuseWhileAnalysing()) {
        return;
    }
    const QSet<quint64> ids = selectedIds();
    removeWhere([&ids](const ResultRow &r) { return ids.contains(r.id); });
}

void fWebSearch::menuClearAnalysisSuccessItem_Click()
{
    if (refuseWhileAnalysing()) {
        return;
    }
    const QString success = m_analysis->successText();
    removeWhere([&success](const ResultRow &r) { return r.analysisState == success; });
}

void fWebSearch::menuClearTitleContainingSpecifiedItems_Click()
{
    if (refuseWhileAnalysing()) {
        return;
    }
    const std::optional<QString> word = prompts.text(tr("Please enter the specified character:"));
    if (!word || word->isEmpty()) {
        return;
    }
    removeWhere(
        [&word](const ResultRow &r) { return r.title.contains(*word, Qt::CaseInsensitive); });
}

void fWebSearch::menuClearTitleNotContainingSpecifiedItems_Click()
{
    if (refuseWhileAnalysing()) {
        return;
    }
    const std::optional<QString> word = prompts.text(tr("Please enter the specified character:"));
    if (!word || word->isEmpty()) {
        return;
    }
    removeWhere(
        [&word](const ResultRow &r) { return !r.title.contains(*word, Qt::CaseInsensitive); });
}

void fWebSearch::menuClearAll_Click()
{
    if (refuseWhileAnalysing()) {
        return;
    }
    if (prompts.yesNo(tr("Are you sure to clear the data list of hard search it?"))) {
        m_results->clear();
    }
}

void fWebSearch::ListView1_DblClick(const QModelIndex &index)
{
    if (index.isValid()) {
        page()->navigate(QUrl(m_results->at(index.row()).key));
    }
}

QCoro::Task<> fWebSearch::menuSaveHtml_Click()
{
    QPointer<fWebSearch> self(this);
    QCoro::Task<DomDocument> read = page()->snapshot();
    const DomDocument doc = co_await read;
    if (!self) {
        co_return;
    }
    const QString file = prompts.saveFile();
    if (file.isEmpty()) {
        co_return;
    }
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly) && out.write(doc.outerHtml.toUtf8()) >= 0 && out.commit()) {
        prompts.tell(tr("OK"), false);
    }
}

void fWebSearch::Command7_Click()
{
    if (m_results->size() == 0) {
        return;
    }
    const QString file = prompts.saveFile();
    if (file.isEmpty()) {
        return;
    }
    const bool chinese = m_program.build().isChinese();
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(m_results->OutputDataText(chinese)) < 0 ||
        !out.commit()) {
        return;
    }
    const QString kb = QLocale(QLocale::English).toString(QFileInfo(file).size() / 1024.0, 'f', 1);
    prompts.tell(tr("Save the file is complete:") + kb + QStringLiteral("KB"), false);
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
                          const QString &ref, const QString &savePath)
{
    AddToDownloadList(url, title, fileType, ref, savePath);
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

QString fWebSearch::delayText() const
{
    return m_delay->currentText();
}

void fWebSearch::closeEvent(QCloseEvent *event)
{
    StopAddAllPages = true;
    m_analysis->Stop();
    if (m_bulk) {
        m_bulk->searchWindowClosing();
    }
    m_timer->stop();
    m_program.settings().set(Keys::SearchTimeInterval, m_delay->currentText());
    event->accept();
    m_workspace.mainWindowClosing(this);
}

} // namespace harvly
