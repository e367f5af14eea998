#pragma once

#include "tools/browsercache.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QStandardItemModel;
class QTemporaryDir;
class QTreeView;

namespace harvly {

class Form_Copy_Move;
class Program;

// The browser cache window: the documents the embedded browser has kept, listed so that they
// can be copied out as files or deleted.
class fIEcache final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fIEcache)

public:
    // myCache: the program's own browser cache folder.
    fIEcache(Program &program, const QString &myCache, QWidget *parent = nullptr);
    ~fIEcache() override;

    // "View my cache", "View all user cache", "Delete selected files", "Delete all".
    void Command1_Click();
    void Command7_Click();
    void Command2_Click();
    void Command3_Click();
    // "Copy the selected ...": the selected documents written out and handed to the copy window.
    QCoro::Task<> Command6_Click();

    // The homes walked by "View all user cache"; empty: every user's of the system.
    QStringList homes;
    // How the window tells; tests listen themselves.
    std::function<void(const QString &text, bool error)> tell;
    // The copy window of the last "Copy the selected ..." while it is open.
    Form_Copy_Move *copyWindow() const;

    QTreeView *entries() const { return m_list; }
    QString countText() const;

private:
    struct Row {
        QString text;
        QString type;
        qint64 size = -1;
        QString file;
        std::optional<CacheEntry> entry; // the document when the file is a cache entry
    };
    void GetCacheURLList();
    void FindUserCacheFolders();
    void ListUserCacheFiles(const QString &folder, const QString &user);
    void deleteRows(const QList<int> &rows);
    void DeleteEmptyFolders();
    void showRows(const QList<Row> &rows);
    void refresh();
    QString walkedPrefix() const;

    Program &m_program;
    QString m_myCache;
    QList<Row> m_rows;
    QStringList m_subfolders;
    QString m_view; // "Mycache" or "Allcache"
    QTreeView *m_list;
    QTreeView *m_users;
    QTreeView *m_folders;
    QStandardItemModel *m_model;
    QStandardItemModel *m_userModel;
    QStandardItemModel *m_folderModel;
    QLabel *m_count;
    QPointer<Form_Copy_Move> m_copy;
    std::unique_ptr<QTemporaryDir> m_staging;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace harvly
