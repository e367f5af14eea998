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

// The menu bar as data, built by one helper.
void fWebSearch::buildMenus()
{
    m_addMenu = new QMenu(tr("Add"), this);
    m_addMenu->setObjectName(QStringLiteral("menuAdd"));
    const auto pass = [this](AnalysisPass p) { return [this, p] { runAnalysisPass(p); }; };
    BuildMenu(
        m_addMenu,
        {
            {"menuAnalysisUnanalyzedItems", tr("Analysis Unanalyzed Items"),
             pass(AnalysisPass::Unanalyzed)},
            {"menuAnalysisFailureItem", tr("Analysis Failure Items"), pass(AnalysisPass::Failure)},
            {"menuAnalysisSelectItem", tr("Analysis Select Items"), pass(AnalysisPass::Selected)},
            {"menuAnalysisAlltem", tr("Analysis All Items"), pass(AnalysisPass::All)},
        },
        this);
    menuBar()->addMenu(m_addMenu);
    for (const MenuItem &menu : menuItems()) {
        QMenu *built = menuBar()->addMenu(menu.text);
        built->setObjectName(QLatin1String(menu.name));
        BuildMenu(built, menu.items, this);
    }
    m_clearMenu = menuBar()->findChild<QMenu *>(QStringLiteral("menuClear"));
}

QList<MenuItem> fWebSearch::menuItems()
{
    return {
        {"menuBrowse",
         tr("Browse(&B)"),
         {},
         {
             {"menuOpenProquestSearchHome", tr("Open Proquest Search Home Page"),
              [this] { menuOpenProquestSearchHome_Click(); }},
             {"menuOpenAssignURL", tr("Open Assigned URL..."),
              [this] { menuOpenAssignURL_Click(); }},
             {"menuAddBulkDocumentURLs", tr("Add Bulk Document URLs"),
              [this] { menuAddBulkDocumentURLs_Click(); }},
             MenuItem::separator(),
             {"menuBack", tr("Back"), [this] { m_browser->back(); }},
             {"menuForword", tr("Forword"), [this] { m_browser->forward(); }},
             MenuItem::separator(),
             {"menuCloseThisWindow", tr("Close This Window"), [this] { close(); }},
         }},
        {"menuClear",
         tr("Clear(&C)"),
         {},
         {
             {"menuClearSelectItems", tr("Clear Select Items"),
              [this] { menuClearSelectItems_Click(); }},
             {"menuClearAnalysisSuccessItem", tr("Clear Analysis Success Items"),
              [this] { menuClearAnalysisSuccessItem_Click(); }},
             {"menuClearTitleContainingSpecifiedItems",
              tr("Clear Title Containing Specified word Items"),
              [this] { menuClearTitleContainingSpecifiedItems_Click(); }},
             {"menuClearTitleNotContainingSpecifiedItems",
              tr("Clear Title Not Containing Specified word Items"),
              [this] { menuClearTitleNotContainingSpecifiedItems_Click(); }},
             {"menuClearAll", tr("ClearAll"), [this] { menuClearAll_Click(); }},
         }},
        {"menuTool", tr("Tool(&T)"), {}, toolMenuItems()},
        {"menuHelp",
         tr("Hple(&H)"),
         {},
         {{"menuAbout", tr("About(&A)"), [this] { OpenDialog(new frmAbout(m_program, this)); }}}},
    };
}

QList<MenuItem> fWebSearch::toolMenuItems()
{
    return {
        {"menuSet", tr("Set"), [this] { OpenDialog(new fOption(m_workspace, this)); }},
        {"menuOpenDownloadWindow", tr("Open Download Window"), [this] { ShowDownloadWindow(); }},
        MenuItem::separator(),
        {"menuCheckIEcach", tr("Check IE cach"),
         [this] {
             QWidget *cache = m_workspace.cacheWindow();
             cache->show();
             cache->raise();
         }},
        {"menuClearIEcach", tr("Clear IE cach"), [this] { m_workspace.ClearIECache(this, true); }},
        {"menuSaveHtml", tr("Save the page source"), [this] { menuSaveHtml_Click(); }},
        MenuItem::separator(),
        {"menuExportCitations",
         tr("Export Citations..."),
         {},
         {
             {"menuExportAllCitations", tr("All Items"),
              [this] { menuExportCitations_Click(false); }},
             {"menuExportSelectedCitations", tr("Select Items"),
              [this] { menuExportCitations_Click(true); }},
         }},
    };
}

} // namespace harvly
