#include "ffiledownload.h"

#include "app/workspace.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/menutable.h"
#include "common/program.h"
#include "dialogs/foption.h"
#include "dialogs/frmabout.h"
#include "download/listcommands.h"
#include "download/scheduler.h"
#include "search/fwebsearch.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>

namespace harvly {

// The first menu, also the list's pop-up menu.
QList<MenuItem> fFileDownload::listMenuItems()
{
    const Build build = m_program.build();
    using W = WhenEnabled;
    return {
        {"menuSelectAll", tr("Select All"), [this] { m_view->selectAll(); }, {}, W::Idle},
        {"menuDeSelectAll", tr("DeSelect All"), [this] { m_view->clearSelection(); }},
        {"menuSelectUnconfirmedItems", tr("Select Unconfirmed Items"),
         [this] { selectIds(UnconfirmedItems(*m_list)); }},
        {"menuRandomSortedList", tr("Random Sorted List"),
         [this] { menuRandomSortedList_Click(); }},
        {"menuAutomaticColumnWidth", tr("Automatic Column Width"),
         [this] { AutoSizeListViewColumns(m_view); }},
        MenuItem::separator(),
        {"menuReDownload",
         tr("ReDownload"),
         {},
         {
             {"menuReDownloadSelectItems", tr("Select Items"),
              [this, build] { ReDownloadSelectItems(*m_list, selectedIds(), build); }},
             {"menuReDownloadErrItems", tr("Err Items"),
              [this, build] { ReDownloadErrItems(*m_list, build); }},
             {"menuReDownloadHtmItems", tr("HTM/HTML/xml Items"),
              [this, build] { ReDownloadHtmItems(*m_list, build); }},
             {"menuReDownloadErrAndHtmItems", tr("ReDownload Err And Htm Items"),
              [this, build] { ReDownloadErrAndHtmItems(*m_list, build); }},
             {"menuReDownloadAssinFileSizeItems", tr("ReDownload Assin FileSize Items"),
              [this] { menuReDownloadAssinFileSizeItems_Click(); }},
             {"menuReDownloadUnconfirmedItems", tr("ReDownload Unconfirmed Items"),
              [this, build] { ReDownloadUnconfirmedItems(*m_list, build); }},
         }},
        MenuItem::separator(),
        {"menuClearItems",
         tr("Clear"),
         {},
         {
             {"menuClearSelectItems", tr("Select Items"),
              [this] { menuClear_Click(ClearKind::Selected); }},
             {"menuClearErrItems", tr("Err Items"), [this] { menuClear_Click(ClearKind::Failed); }},
             {"menuClearCompletedItems", tr("Completed Items"),
              [this] { menuClear_Click(ClearKind::Completed); }},
         },
         W::Idle},
        {"menuClearAll", tr("Clear All"), [this] { menuClear_Click(ClearKind::All); }, {}, W::Idle},
        {"menuDeleteFile",
         tr("Delete File"),
         {},
         {
             {"menuDeleteHtmItems", tr("HTM/HTML/xml Items"), [this] { DeleteHtmItems(*m_list); }},
             {"menuDeleteErrItems", tr("Err Items"), [this] { DeleteErrItems(*m_list); }},
         }},
        MenuItem::separator(),
        {"menuStartDownload", tr("Start Download "), [this] { Command4_Click(); }},
        {"menuStopDownload",
         tr("Stop Download "),
         [this] { Command31_Click(); },
         {},
         W::Downloading},
        {"menuCanelDownloadSelectItems", tr("Canel Download Select Items"),
         [this] { menuCanelDownloadSelectItems_Click(); }},
        MenuItem::separator(),
        {"menuOpenDownloadFile", tr("Open Downloaded File"),
         [this] { menuOpenDownloadFile_Click(); }},
        {"menuOpenTheFolderWhereTheFile", tr("Open The Folder Where The File"),
         [this] { menuOpenTheFolder_Click(); }},
        {"menuOpenTheFileWithNotepad", tr("Open The File With Notepad"),
         [this] { menuOpenTheFileWithNotepad_Click(); }},
        MenuItem::separator(),
        {"menuCopyTitle", tr("Copy Title"), [this] { menuCopyTitle_Click(); }},
        {"menuBatchReplaceURL", tr("Batch Replace URL"), [this] { menuBatchReplaceURL_Click(); }},
        {"menuOutputTitles",
         tr("Output Titles"),
         {},
         {
             {"menuOutputAllTitles", tr("All"), [this] { menuOutputTitles_Click(false); }},
             {"menuOutputUnFinishedTitles", tr("UnFinished"),
              [this] { menuOutputTitles_Click(true); }},
         }},
        {"menuExportCitations", tr("Export Citations..."), {}, citationMenuItems()},
        MenuItem::separator(),
        {"menuCloseThisWindow", tr("Close This Window"), [this] { close(); }},
    };
}

QList<MenuItem> fFileDownload::citationMenuItems()
{
    return {
        {"menuExportAllCitations", tr("All"),
         [this] { menuExportCitations_Click(CitationRows::All); }},
        {"menuExportFinishedCitations", tr("Finished Items"),
         [this] { menuExportCitations_Click(CitationRows::Finished); }},
        {"menuExportSelectedCitations", tr("Select Items"),
         [this] { menuExportCitations_Click(CitationRows::Selected); }},
    };
}

QList<MenuItem> fFileDownload::toolMenuItems()
{
    return {
        {"menuSet", tr("Set"), [this] { OpenDialog(new fOption(m_workspace, this)); }},
        {"menuAutoPositioningToDownloadItem",
         tr("Auto Positioning To Download Item"),
         [this] { syncOptions(); },
         {},
         WhenEnabled::Always,
         true},
        {"menuOpenRefURLbeforeDownload",
         tr("Open Ref URL before Download"),
         [this] { syncOptions(); },
         {},
         WhenEnabled::Always,
         true},
        MenuItem::separator(),
        {"menuCheckTheFileIsExists", tr("Check The File Is Exists"),
         [this] { CheckTheFileIsExists(*m_list); }},
        {"menuCheckAndCorrectFileType", tr("Check And Correct Disk File Type"),
         [this] { menuCheckAndCorrectDiskFileType_Click(); }},
        MenuItem::separator(),
        {"menuClearIEcach", tr("Clear IE cach"), [this] { m_workspace.ClearIECache(this, true); }},
        {"menuOpenFileCheckType", tr("Open the File Check the File Type"),
         [this] { menuOpenFileCheckType_Click(); }},
    };
}

// The menus as data, built by one helper.
void fFileDownload::buildMenus()
{
    m_listItems = listMenuItems();
    m_listMenu = menuBar()->addMenu(tr("List Operating(&D)"));
    m_listMenu->setObjectName(QStringLiteral("menuListOperating"));
    BuildMenu(m_listMenu, m_listItems, this);
    m_startAction = m_listMenu->findChild<QAction *>(QStringLiteral("menuStartDownload"));

    QMenu *window = menuBar()->addMenu(tr("Window(&W)"));
    BuildMenu(window,
              {{"menuSearchWindow", tr("Search Information Analysis Window "),
                [this] {
                    fWebSearch *search = m_workspace.searchWindow();
                    search->show();
                    search->raise();
                }}},
              this);

    QMenu *tool = menuBar()->addMenu(tr("Tool(&T)"));
    tool->setObjectName(QStringLiteral("menuTool"));
    BuildMenu(tool, toolMenuItems(), this);
    m_autoPositioning =
        tool->findChild<QAction *>(QStringLiteral("menuAutoPositioningToDownloadItem"));
    m_openRefUrl = tool->findChild<QAction *>(QStringLiteral("menuOpenRefURLbeforeDownload"));

    QMenu *help = menuBar()->addMenu(tr("Help(&H)"));
    BuildMenu(help,
              {{"menuAbout", tr("About"), [this] { OpenDialog(new frmAbout(m_program, this)); }}},
              this);
}

void fFileDownload::showListMenu(const QPoint &at)
{
    EnableMenu(m_listMenu, m_listItems, m_scheduler->InetBusy() || m_scheduler->timerDownEnabled());
    m_listMenu->popup(m_view->viewport()->mapToGlobal(at));
}

} // namespace harvly
