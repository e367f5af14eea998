// The download window's list commands: each binds a menu entry to a rule of the core and
// shows what the rule returns.
#include "common/citationfile.h"
#include "common/files.h"
#include "common/program.h"
#include "common/shell.h"
#include "download/downloadlist.h"
#include "download/listcommands.h"
#include "download/scheduler.h"
#include "export/citationexport.h"
#include "ffiledownload.h"
#include "urlreplace.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QItemSelection>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTreeView>

namespace harvly {

namespace {

// The desktop's text editors, most common first.
QString TextEditor()
{
    for (const char *name : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "xed",
                             "pluma", "featherpad", "leafpad", "notepad"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty()) {
            return path;
        }
    }
    return {};
}

} // namespace

QSet<quint64> fFileDownload::selectedIds() const
{
    QSet<quint64> ids;
    for (const QModelIndex &i : m_view->selectionModel()->selectedRows()) {
        ids.insert(m_list->at(i.row()).id);
    }
    return ids;
}

void fFileDownload::selectIds(const QSet<quint64> &ids)
{
    QItemSelection rows;
    for (int i = 0; i < m_list->size(); ++i) {
        if (ids.contains(m_list->at(i).id)) {
            rows.select(m_list->index(i, 0), m_list->index(i, DownloadListModel::ColumnCount - 1));
        }
    }
    m_view->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
}

const DownloadRow *fFileDownload::selectedRow() const
{
    const QModelIndex current = m_view->currentIndex();
    if (m_list->size() == 0 || !current.isValid() ||
        !m_view->selectionModel()->isRowSelected(current.row(), {})) {
        return nullptr;
    }
    return &m_list->at(current.row());
}

bool fFileDownload::refuseWhileDownloading()
{
    if (!downloadsRunning()) {
        return false;
    }
    tell(tr("Stop downloading later to perform this operation!"), MessageKind::Information);
    return true;
}

void fFileDownload::afterRemoval()
{
    m_count->setText(CountLabelText(m_list->size()));
    ShowListCounts();
}

void fFileDownload::menuRandomSortedList_Click()
{
    if (refuseWhileDownloading()) {
        return;
    }
    std::mt19937_64 random(std::random_device{}());
    ShuffleList(*m_list, random);
    tell(tr("Random Sort complete!"), MessageKind::Information);
}

void fFileDownload::menuReDownloadAssinFileSizeItems_Click()
{
    const std::optional<QString> answer = askText(tr("Please enter the number:"));
    if (answer) {
        ReDownloadAssinFileSizeItems(*m_list, *answer, m_program.build());
    }
}

void fFileDownload::menuClear_Click(ClearKind kind)
{
    if (refuseWhileDownloading()) {
        return;
    }
    switch (kind) {
    case ClearKind::Selected:
        ClearSelectItems(*m_list, selectedIds());
        break;
    case ClearKind::Failed:
        ClearErrItems(*m_list);
        break;
    case ClearKind::Completed:
        ClearCompletedItems(*m_list);
        break;
    case ClearKind::All:
        if (!askYesNo(tr("Are you sure you want to clear the list of all the information?"))) {
            return;
        }
        m_list->clear();
        break;
    }
    afterRemoval();
}

void fFileDownload::menuCanelDownloadSelectItems_Click()
{
    if (m_scheduler->InetBusy()) {
        tell(tr("Before setting stop downloading!"), MessageKind::Error);
        return;
    }
    CancelSelectedWaitingItems(*m_list, selectedIds());
}

void fFileDownload::menuOutputTitles_Click(bool unfinishedOnly)
{
    if (m_list->size() == 0) {
        return;
    }
    const QString file = askSaveFile();
    if (file.isEmpty()) {
        return;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(TitlesText(*m_list, unfinishedOnly).toUtf8()) < 0 || !out.commit()) {
        tell(out.errorString(), MessageKind::Error);
    }
}

void fFileDownload::menuExportCitations_Click(CitationRows which)
{
    const QSet<quint64> selected = selectedIds();
    QList<CitationEntry> entries;
    for (const DownloadRow &row : m_list->rows()) {
        if (which == CitationRows::All ||
            (which == CitationRows::Finished && row.state == DownloadState::Finished) ||
            (which == CitationRows::Selected && selected.contains(row.id))) {
            entries << CitationEntryOf(row);
        }
    }
    ExportCitations(entries, m_program.settings(), askCitationFile,
                    [this](const QString &text, bool error) {
                        tell(text, error ? MessageKind::Error : MessageKind::Information);
                    });
}

void fFileDownload::menuCopyTitle_Click()
{
    if (const DownloadRow *row = selectedRow()) {
        QApplication::clipboard()->setText(row->text);
    }
}

UrlReplace *fFileDownload::menuBatchReplaceURL_Click()
{
    // Window-modal, without a nested event loop.
    auto *dialog = new UrlReplace(*m_list, m_program.build().applicationTitle, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

QString fFileDownload::selectedExistingFile()
{
    const DownloadRow *row = selectedRow();
    if (!row) {
        return {};
    }
    const QString path = row->savePath + row->text + QLatin1Char('.') + row->type;
    if (!FileExists(path)) {
        tell(tr("file does not exist!"), MessageKind::Error);
        return {};
    }
    return path;
}

void fFileDownload::menuOpenDownloadFile_Click()
{
    const QString path = selectedExistingFile();
    if (!path.isEmpty()) {
        OpenFileWithAssociatedProgram(path, this);
    }
}

void fFileDownload::menuOpenTheFolder_Click()
{
    const DownloadRow *row = selectedRow();
    if (!row) {
        return;
    }
    if (!FolderExists(row->savePath)) {
        tell(tr("Folder does not exist!"), MessageKind::Error);
        return;
    }
    const QString path = row->savePath + row->text + QLatin1Char('.') + row->type;
    const bool opened =
        FileExists(path) ? SelectFileInFolder(path) : OpenUrlInShell(row->savePath, false);
    if (!opened) {
        tell(tr("Failed to open!"), MessageKind::Error);
    }
}

void fFileDownload::menuOpenTheFileWithNotepad_Click()
{
    const QString path = selectedExistingFile();
    if (path.isEmpty()) {
        return;
    }
    if (TooLargeForTextEditor(QFileInfo(path).size())) {
        tell(tr("The file is too large, more than 2M, not easy to use Notepad to open!"),
             MessageKind::Error);
        return;
    }
    const QString editor = TextEditor();
    if (editor.isEmpty() || !QProcess::startDetached(editor, {path})) {
        tell(tr("Failed to open!"), MessageKind::Error);
    }
}

void fFileDownload::ListView3_DblClick(const QModelIndex &index)
{
    if (!index.isValid()) {
        return;
    }
    const DownloadRow &row = m_list->at(index.row());
    if (row.state == DownloadState::Finished) {
        OpenFileWithAssociatedProgram(row.localFile(), this);
    } else {
        ReQueueFailedItem(*m_list, row.id);
    }
}

void fFileDownload::ListView3_ColumnClick(int column)
{
    if (m_scheduler->timerDownEnabled() || m_scheduler->InetBusy()) {
        tell(tr("After the download stops before ordering!"), MessageKind::Information);
        return;
    }
    m_sortOrder = m_sortOrder == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_list->sort(column, m_sortOrder);
}

QString CountLabelText(int count)
{
    // The Chinese program follows the number with its counting word.
    return QCoreApplication::translate("harvly::fFileDownload", "%1").arg(count);
}

} // namespace harvly
