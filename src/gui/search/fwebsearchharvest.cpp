#include "fwebsearch.h"

#include "addlinks.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "browsersession.h"
#include "common/forms.h"
#include "common/listviews.h"
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

// Harvesting result pages into the result list: this page, or every page after it.
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
    QCoro::Task<bool> loaded = WaitForPage(page(), m_timing.pageLimit, &StopAddAllPages,
                                           [self] { return self && self->m_pageLoading; });
    const bool complete = co_await loaded;
    if (!complete || !self) {
        co_return false;
    }
    QCoro::Task<bool> pause = WaitUnlessStopped(&StopAddAllPages, m_timing.pause);
    co_await pause;
    co_return bool(self);
}

QCoro::Task<> fWebSearch::Command4_Click()
{
    if (m_addingAll) {
        StopAddAllPages.stop();
        co_return;
    }
    QPointer<fWebSearch> self(this);
    m_addingAll = true;
    m_addAll->setText(tr("Stop Add all pages"));
    m_addAll->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    StopAddAllPages.reset();
    if (m_program.promptSavePath == 1) {
        QCoro::Task<bool> ask = fSeleFileSavePath::Ask(m_program, this);
        co_await ask;
    }
    while (self && !StopAddAllPages.isStopped()) {
        QCoro::Task<bool> next = NextPage();
        const bool moved = co_await next;
        if (!moved || !self || StopAddAllPages.isStopped()) {
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

} // namespace harvly
