#include "fiecache.h"

#include "common/filenames.h"
#include "common/folderwalk.h"
#include "common/listviews.h"
#include "common/messages.h"
#include "common/named.h"
#include "common/program.h"
#include "common/stopsource.h"
#include "common/urls.h"
#include "formcopymove.h"
#include "tools/cachefolders.h"

#include <QCoro/QCoroTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>

namespace harvly {

namespace {

QTreeView *listView(QWidget *parent, const char *name, QStandardItemModel *model)
{
    auto *view = new QTreeView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers); // labels are never edited
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setAllColumnsShowFocus(true);
    return view;
}

constexpr int kRowRole = Qt::UserRole + 1;

} // namespace

fIEcache::fIEcache(Program &program, const QString &myCache, QWidget *parent)
    : QWidget(parent, Qt::Window), m_program(program), m_myCache(myCache),
      m_model(new QStandardItemModel(this)), m_userModel(new QStandardItemModel(this)),
      m_folderModel(new QStandardItemModel(this)), m_count(new QLabel(QStringLiteral("000"), this))
{
    setObjectName(QStringLiteral("fIEcache"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("IE browser cache Cookie  and history list") + QLatin1Char('-') +
                   program.build().applicationTitle);
    tell = [this](const QString &text, bool error) {
        ShowMessage(this, text, error ? MessageKind::Error : MessageKind::Information);
    };
    m_model->setHorizontalHeaderLabels({tr("URL"), tr("TYPE"), tr("SIZE(Byte)"), tr("FilePath")});
    m_model->setSortRole(Qt::UserRole);
    m_userModel->setHorizontalHeaderLabels({tr("User"), tr("Folder")});
    m_folderModel->setHorizontalHeaderLabels({tr("Folder")});
    m_list = listView(this, "ListView1", m_model);
    m_users = listView(this, "ListView2", m_userModel);
    m_folders = listView(this, "ListView3", m_folderModel);
    m_count->setObjectName(QStringLiteral("Label1"));

    auto *mine = NamedButton(this, "Command1", tr("View my cache"));
    auto *all = NamedButton(this, "Command7", tr("View all user cache"));
    auto *copy = NamedButton(this, "Command6", tr("Copy the selected ..."));
    auto *deleteSelected = NamedButton(this, "Command2", tr("Delete selected files"));
    auto *deleteAll = NamedButton(this, "Command3", tr("Delete all"));
    auto *close = NamedButton(this, "Command4", tr("Close"));

    auto *folders = new QSplitter(Qt::Horizontal, this);
    folders->addWidget(m_users);
    folders->addWidget(m_folders);
    auto *lists = new QSplitter(Qt::Vertical, this);
    lists->addWidget(m_list);
    lists->addWidget(folders);
    lists->setStretchFactor(0, 4);
    lists->setStretchFactor(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_count, 1);
    for (QPushButton *b : {mine, all, copy, deleteSelected, deleteAll, close}) {
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lists, 1);
    layout->addLayout(buttons);
    resize(980, 620);

    connect(mine, &QPushButton::clicked, this, &fIEcache::Command1_Click);
    connect(all, &QPushButton::clicked, this, &fIEcache::Command7_Click);
    connect(copy, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(deleteSelected, &QPushButton::clicked, this, &fIEcache::Command2_Click);
    connect(deleteAll, &QPushButton::clicked, this, &fIEcache::Command3_Click);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    m_list->header()->setSectionsClickable(true);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        // As the download list: one order for every column, turned at each click, descending
        // first.
        m_sortOrder = m_sortOrder == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
        m_model->sort(column, m_sortOrder);
    });
}

fIEcache::~fIEcache() = default;

Form_Copy_Move *fIEcache::copyWindow() const
{
    return m_copy.data();
}

QString fIEcache::walkedPrefix() const
{
    return tr("User:");
}

QString fIEcache::countText() const
{
    return m_count->text();
}

void fIEcache::showRows(const QList<Row> &rows)
{
    m_rows = rows;
    m_model->removeRows(0, m_model->rowCount());
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &r = m_rows.at(i);
        auto *text = new QStandardItem(r.text);
        text->setData(r.text.toLower(), Qt::UserRole);
        text->setData(i, kRowRole);
        auto *type = new QStandardItem(r.type);
        type->setData(r.type.toLower(), Qt::UserRole);
        auto *size = new QStandardItem(r.size < 0 ? QString() : QString::number(r.size));
        size->setData(r.size, Qt::UserRole); // sizes sort as numbers
        auto *file = new QStandardItem(r.file);
        file->setData(r.file.toLower(), Qt::UserRole);
        m_model->appendRow({text, type, size, file});
    }
}

void fIEcache::GetCacheURLList()
{
    const CacheListing listing = ListCache(m_myCache);
    QList<Row> rows;
    for (const CacheEntry &e : listing.entries) {
        rows.append({e.address, e.type, e.bodySize, e.file, e});
    }
    showRows(rows);
    if (listing.unreadable > 0) {
        m_count->setText(
            tr("Err!!!%1 Files").arg(rows.size()) + QStringLiteral("  ") +
            tr("(%1 entries unreadable: %2)").arg(listing.unreadable).arg(listing.firstReason));
    } else {
        m_count->setText(tr("Sum:%1  files").arg(rows.size()));
    }
}

void fIEcache::Command1_Click()
{
    GetCacheURLList();
    AutoSizeListViewColumns(m_list);
    m_view = QStringLiteral("Mycache");
}

void fIEcache::FindUserCacheFolders()
{
    const QList<UserCacheFolder> found =
        harvly::FindUserCacheFolders(m_program.build().applicationTitle, &m_subfolders, homes);
    m_userModel->removeRows(0, m_userModel->rowCount());
    m_folderModel->removeRows(0, m_folderModel->rowCount());
    for (const UserCacheFolder &f : found) {
        m_userModel->appendRow({new QStandardItem(f.user), new QStandardItem(f.folder)});
    }
    for (const QString &folder : m_subfolders) {
        if (!folder.isEmpty()) {
            m_folderModel->appendRow(new QStandardItem(folder));
        }
    }
}

void fIEcache::ListUserCacheFiles(const QString &folder, const QString &user)
{
    QStringList files;
    ListFilesInFolder(folder, files, true);
    for (const QString &path : files) {
        if (path.isEmpty()) {
            continue;
        }
        // A cache entry is shown as the document it holds; any other file as itself.
        std::optional<CacheEntry> entry;
        if (IsCacheEntryFileName(QFileInfo(path).fileName())) {
            entry = ReadCacheEntry(path);
        }
        Row r{walkedPrefix() + user, QString(), 0, path, entry};
        if (entry) {
            r.type = entry->type;
            r.size = entry->bodySize;
        } else {
            r.type = GetFileNameFromUrl(path, nullptr);
            r.size = QFileInfo(path).size();
        }
        m_rows.append(r);
    }
}

void fIEcache::Command7_Click()
{
    m_rows.clear();
    FindUserCacheFolders();
    for (int i = 0; i < m_userModel->rowCount(); ++i) {
        ListUserCacheFiles(m_userModel->item(i, 1)->text(), m_userModel->item(i, 0)->text());
    }
    showRows(QList<Row>(m_rows));
    m_count->setText(tr("%1 Files").arg(m_rows.size()));
    for (QTreeView *view : {m_list, m_users, m_folders}) {
        AutoSizeListViewColumns(view);
    }
    m_view = QStringLiteral("Allcache");
}

void fIEcache::deleteRows(const QList<int> &rows)
{
    for (const int i : rows) {
        const Row &r = m_rows.at(i);
        if (MayDeleteCacheItem(r.text, r.type, r.file, walkedPrefix())) {
            ForcedToDelete(r.file);
        }
    }
    DeleteEmptyFolders();
    refresh();
}

void fIEcache::DeleteEmptyFolders()
{
    // Children were listed after their parents: from the last, so a parent can go too.
    for (auto it = m_subfolders.crbegin(); it != m_subfolders.crend(); ++it) {
        if (!it->isEmpty()) {
            QDir().rmdir(*it); // a folder that still holds files stays
        }
    }
}

void fIEcache::refresh()
{
    if (m_view == QLatin1String("Mycache")) {
        Command1_Click();
    } else if (m_view == QLatin1String("Allcache")) {
        Command7_Click();
    }
}

void fIEcache::Command2_Click()
{
    QList<int> rows;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        if (m_list->selectionModel()->isRowSelected(i, QModelIndex())) {
            rows << m_model->item(i, 0)->data(kRowRole).toInt();
        }
    }
    deleteRows(rows);
}

void fIEcache::Command3_Click()
{
    QList<int> rows;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        rows << m_model->item(i, 0)->data(kRowRole).toInt();
    }
    deleteRows(rows);
}

QCoro::Task<> fIEcache::Command6_Click()
{
    QPointer<fIEcache> self(this);
    QList<int> rows;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        if (m_list->selectionModel()->isRowSelected(i, QModelIndex())) {
            rows << m_model->item(i, 0)->data(kRowRole).toInt();
        }
    }
    // The documents are written whole into a folder of their own, each under the name it
    // should take; the copy window then copies them with its rules.
    m_staging = std::make_unique<QTemporaryDir>();
    QStringList files;
    QStringList failed;
    int n = 0;
    for (const int i : rows) {
        const Row r = m_rows.at(i);
        if (r.file.isEmpty() || !QFileInfo::exists(r.file)) {
            continue;
        }
        if (!r.entry) {
            files << r.file;
            continue;
        }
        const QString folder = m_staging->filePath(QString::number(++n));
        QDir().mkpath(folder);
        QSaveFile out(folder + QLatin1Char('/') +
                      MakeValidFileName(CacheEntryDocumentName(*r.entry), m_program.build()));
        QString reason;
        if (out.open(QIODevice::WriteOnly) && WriteCacheBody(*r.entry, out, &reason) &&
            out.commit()) {
            QFile written(out.fileName());
            if (written.open(QIODevice::Append)) {
                StampWithCacheTime(written, *r.entry);
            }
            files << out.fileName();
        } else {
            failed << r.entry->address + QStringLiteral(": ") +
                          (reason.isEmpty() ? out.errorString() : reason);
        }
        QCoro::Task<> turn = NextTurn();
        co_await turn; // the window stays alive
        if (!self) {
            co_return;
        }
    }
    if (!failed.isEmpty()) {
        tell(tr("These documents could not be read from the cache:") + QLatin1Char('\n') +
                 failed.join(QLatin1Char('\n')),
             true);
    }
    auto *copy = new Form_Copy_Move(m_program, this);
    copy->FileFullPathCollection = files;
    copy->MoveFiles = false;
    copy->Form_Load();
    copy->setWindowTitle(tr("Copy Files：%1  files...").arg(files.size()));
    m_copy = copy;
    // Window-modal, never a nested loop; the written documents go when the window does.
    connect(copy, &QDialog::finished, this, [this, copy] {
        copy->deleteLater();
        m_staging.reset();
    });
    copy->setWindowModality(Qt::WindowModal);
    copy->open();
}

} // namespace harvly
