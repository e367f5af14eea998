#include "fwebsearch.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "browsersession.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/program.h"
#include "common/settings.h"
#include "search/searchlayout.h"
#include "splitterbar.h"
#include "webbrowser.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace harvly {

namespace {

int toTwips(int pixels)
{
    return pixels * 15;
}

// By edges, so panels that meet in twips still meet in pixels.
QRect toPixels(const QRect &twips)
{
    return QRect(QPoint(twips.left() / 15, twips.top() / 15),
                 QPoint((twips.left() + twips.width()) / 15 - 1,
                        (twips.top() + twips.height()) / 15 - 1));
}

QAction *addItem(QMenu *menu, const char *objectName, const QString &text, bool enabled = true)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1String(objectName));
    a->setEnabled(enabled);
    return a;
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

    buildMenus();

    connect(m_bar, &SplitterBar::dragged, this, [this](int dy) {
        m_bar->move(m_bar->x(), m_bar->y() + dy);
    });
    connect(m_bar, &SplitterBar::released, this, [this] { moveSplitter(m_bar->y()); });
    connect(page(), &BrowserPage::statusTextChanged, m_statusText, &QLabel::setText);
    connect(page(), &BrowserPage::beforeNavigate, this, [this] { statusBar()->setVisible(true); });

    // Form_Load
    m_addMenu->menuAction()->setVisible(false);
    setWindowTitle(tr("ProQuest data retrieval and Analysis") + QLatin1Char('-') +
                   m_program.build().applicationTitle);
    for (int s = 10; s <= 600; ++s) {
        m_delay->addItem(QString::number(s));
    }
    m_delay->setCurrentText(QStringLiteral("60"));
    m_delay->setCurrentText(m_program.settings().text(Setting::SearchTimeInterval));
    m_program.promptSavePath = m_program.settings().integer(Setting::PromptedSavePathWhenExtractInfo);
    menuOpenProquestSearchHome_Click();
    AnalysisStopped = true;
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
    m_listModel = new QStandardItemModel(0, 5, m_list);
    m_listModel->setHorizontalHeaderLabels(
        {tr("Title"), tr("File type"), tr("Analysis state"), tr("Save Path"), tr("TYPE")});
    m_list->setModel(m_listModel);
    m_list->header()->resizeSection(0, 520);
    SetListViewRowColors(m_list, false, 13 + 6);

    // Filled and driven by harvesting and analysis; until those are built they stay disabled.
    auto button = [panel](const char *name, const QString &text) {
        auto *b = new QPushButton(text, panel);
        b->setObjectName(QLatin1String(name));
        b->setEnabled(false);
        return b;
    };
    QPushButton *addPage = button("Command9", tr("Add this page to list"));
    QPushButton *addAll = button("Command4", tr("Add all pages to list"));
    QPushButton *analyse = button("Command2", tr("Analysis to download"));
    QPushButton *output = button("Command7", tr("Output data..."));
    m_autoAnalysis = new QCheckBox(tr("Automatic analysis failed items and items not analyzed"), panel);
    m_autoAnalysis->setObjectName(QStringLiteral("Check1"));
    m_autoAnalysis->setEnabled(false);
    m_withHtm = new QCheckBox(tr("While add HTM format"), panel);
    m_withHtm->setObjectName(QStringLiteral("Check2"));
    m_withHtm->setEnabled(false);
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
    auto *progressText = new QLabel(tr("Analyzing, please wait ..."), m_progress);
    progressText->setObjectName(QStringLiteral("Label11"));
    auto *stop = new QPushButton(tr("Stop"), m_progress);
    stop->setObjectName(QStringLiteral("Command5"));
    auto *progressLayout = new QHBoxLayout(m_progress);
    progressLayout->addWidget(progressText);
    progressLayout->addWidget(stop);
    m_progress->hide();
    return panel;
}

void fWebSearch::buildMenus()
{
    m_addMenu = new QMenu(tr("Add"), this);
    m_addMenu->setObjectName(QStringLiteral("menuAdd"));
    addItem(m_addMenu, "menuAnalysisUnanalyzedItems", tr("Analysis Unanalyzed Items"), false);
    addItem(m_addMenu, "menuAnalysisFailureItem", tr("Analysis Failure Items"), false);
    addItem(m_addMenu, "menuAnalysisSelectItem", tr("Analysis Select Items"), false);
    addItem(m_addMenu, "menuAnalysisAlltem", tr("Analysis All Items"), false);
    menuBar()->addMenu(m_addMenu);

    QMenu *browse = menuBar()->addMenu(tr("Browse(&B)"));
    browse->setObjectName(QStringLiteral("menuBrowse"));
    connect(addItem(browse, "menuOpenProquestSearchHome", tr("Open Proquest Search Home Page")),
            &QAction::triggered, this, &fWebSearch::menuOpenProquestSearchHome_Click);
    connect(addItem(browse, "menuOpenAssignURL", tr("Open Assigned URL...")), &QAction::triggered,
            this, &fWebSearch::menuOpenAssignURL_Click);
    addItem(browse, "menuAddBulkDocumentURLs", tr("Add Bulk Document URLs"), false);
    browse->addSeparator();
    connect(addItem(browse, "menuBack", tr("Back")), &QAction::triggered, m_browser,
            &WebBrowser::back);
    connect(addItem(browse, "menuForword", tr("Forword")), &QAction::triggered, m_browser,
            &WebBrowser::forward);
    browse->addSeparator();
    connect(addItem(browse, "menuCloseThisWindow", tr("Close This Window")), &QAction::triggered,
            this, &QWidget::close);

    QMenu *clear = menuBar()->addMenu(tr("Clear(&C)"));
    clear->setObjectName(QStringLiteral("menuClear"));
    addItem(clear, "menuClearSelectItems", tr("Clear Select Items"), false);
    addItem(clear, "menuClearAnalysisSuccessItem", tr("Clear Analysis Success Items"), false);
    addItem(clear, "menuClearTitleContainingSpecifiedItems",
            tr("Clear Title Containing Specified word Items"), false);
    addItem(clear, "menuClearTitleNotContainingSpecifiedItems",
            tr("Clear Title Not Containing Specified word Items"), false);
    addItem(clear, "menuClearAll", tr("ClearAll"), false);

    QMenu *tool = menuBar()->addMenu(tr("Tool(&T)"));
    tool->setObjectName(QStringLiteral("menuTool"));
    addItem(tool, "menuSet", tr("Set"), false);
    addItem(tool, "menuOpenDownloadWindow", tr("Open Download Window"), false);
    tool->addSeparator();
    addItem(tool, "menuCheckIEcach", tr("Check IE cach"), false);
    addItem(tool, "menuClearIEcach", tr("Clear IE cach"), false);
    addItem(tool, "menuSaveHtml", tr("Save the page source"), false);

    QMenu *help = menuBar()->addMenu(tr("Hple(&H)"));
    help->setObjectName(QStringLiteral("menuHelp"));
    addItem(help, "menuAbout", tr("About(&A)"), false);
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
    const QString answer =
        QInputDialog::getText(this, tr("please enter..."), tr("Please enter the need to open the URL:"),
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
    const SearchLayout l = LayoutSearchWindow(QSize(toTwips(client.width()), toTwips(client.height())),
                                              m_splitterTop < 0 ? -1 : toTwips(m_splitterTop));
    m_splitterTop = l.splitterTop / 15;
    m_webPanel->setGeometry(toPixels(l.web));
    m_bar->setGeometry(toPixels(l.bar));
    m_listPanel->setGeometry(toPixels(l.list));
    layoutListPanel();
}

void fWebSearch::layoutListPanel()
{
    m_progress->adjustSize();
    m_progress->move((m_listPanel->width() - m_progress->width()) / 2,
                     (m_listPanel->height() - m_progress->height()) / 2);
}

void fWebSearch::closeEvent(QCloseEvent *event)
{
    StopAddAllPages = true;
    AnalysisStopped = true;
    m_timer->stop();
    m_program.settings().setText(Setting::SearchTimeInterval, m_delay->currentText());
    event->accept();
    MarkFormUnloaded(this);
    if (!IsFormLoaded(QStringLiteral("fFileDownload"))) {
        if (QWidget *cover = FindForm(QStringLiteral("fCover"))) {
            cover->show();
        }
    }
}

} // namespace harvly
