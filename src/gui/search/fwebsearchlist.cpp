#include "fwebsearch.h"

#include "addlinks.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "browsersession.h"
#include "common/citationfile.h"
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
#include "export/citationexport.h"
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

// The result list: its panel and its commands.
QWidget *fWebSearch::buildListPanel()
{
    auto *panel = new QWidget;
    panel->setObjectName(QStringLiteral("PicPanList"));

    auto *caption = Named(new QLabel(tr("List to be downloaded:"), panel), "Label2");
    m_count = Named(new QLabel(QStringLiteral("0"), panel), "Label1");

    m_list = Named(new QTreeView(panel), "ListView1");
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
    m_withHtm = Named(new QCheckBox(tr("While add HTM format"), panel), "Check2");
    auto *delayLabel = new QLabel(tr("Analysis speed delay:"), panel);
    m_delay = Named(new QComboBox(panel), "Combo1");
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

    m_progress = Named(new QWidget(panel), "PicPanPrograss");
    m_progress->setAutoFillBackground(true);
    m_progressText = Named(new QLabel(tr("Analyzing, please wait ..."), m_progress), "Label11");
    auto *stop = Named(new QPushButton(tr("Stop"), m_progress), "Command5");
    connect(stop, &QPushButton::clicked, this, [this] { m_analysis->Stop(); });
    auto *progressLayout = new QHBoxLayout(m_progress);
    progressLayout->addWidget(m_progressText);
    progressLayout->addWidget(stop);
    m_progress->hide();
    return panel;
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

void fWebSearch::menuExportCitations_Click(bool selectedOnly)
{
    const QSet<quint64> selected = selectedIds();
    QList<CitationEntry> entries;
    for (int i = 0; i < m_results->size(); ++i) {
        const ResultRow &row = m_results->at(i);
        if (!selectedOnly || selected.contains(row.id)) {
            entries << CitationEntryOf(row);
        }
    }
    ExportCitations(entries, m_program.settings(), prompts.citationFile, prompts.tell);
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
    removeWhere([](const ResultRow &r) { return r.analysisState == Analysis::Success; });
}

void fWebSearch::clearByTitleWord(bool containing)
{
    if (refuseWhileAnalysing()) {
        return;
    }
    const std::optional<QString> word = prompts.text(tr("Please enter the specified character:"));
    if (!word || word->isEmpty()) {
        return;
    }
    removeWhere([&word, containing](const ResultRow &r) {
        return r.title.contains(*word, Qt::CaseInsensitive) == containing;
    });
}

void fWebSearch::menuClearTitleContainingSpecifiedItems_Click()
{
    clearByTitleWord(true);
}

void fWebSearch::menuClearTitleNotContainingSpecifiedItems_Click()
{
    clearByTitleWord(false);
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

} // namespace harvly
