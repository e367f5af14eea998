#pragma once

#include "folders/foldertree.h"

#include <QHash>
#include <QWidget>

#include <functional>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace harvly {

class Program;

// The machine's folders as a tree, the way a file dialog shows them: the desktop, the
// documents folder and the computer with one node per mounted volume. Folders are read as
// they are opened, off the window's thread, and shown in slices, so that a folder of many
// thousands of subfolders never stops the window.
class usrDir final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(usrDir)

public:
    // The places the tree starts from; tests give their own.
    struct Places {
        QString desktop;
        QString documents;
        std::function<QList<Volume>()> volumes;
    };

    explicit usrDir(Program &program, QWidget *parent = nullptr);
    usrDir(Program &program, Places places, QWidget *parent = nullptr);

    QString DirName() const { return m_dirName; }
    void setDirName(const QString &folder); // raises Click
    QString Drive() const;                  // the mount point of DirName's volume
    QString DriveName() const;
    static qint64 DiskSpaceInBytes(const QString &path);
    QString DriveSpace();

    void LoadTreeView();
    void OpenSpecifiedDirectory(const QString &path);

    QTreeWidget *tree() const { return m_tree; }
    QTreeWidgetItem *node(const QString &key) const { return m_nodes.value(key); }
    bool loading() const { return m_pending > 0; }
    std::function<void(const QString &text)> tell;

signals:
    void Click();
    void DblClick();
    void MouseDown(QMouseEvent *event);
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);
    void KeyDown(QKeyEvent *event);
    void KeyPress(QKeyEvent *event);
    void KeyUp(QKeyEvent *event);
    void NodeClick(QTreeWidgetItem *node);
    // A node's subfolders are all in the tree now.
    void childrenLoaded(QTreeWidgetItem *node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                             const QString &image);
    // Reads the folder's subfolders off the window's thread and adds them in slices; then
    // (when given) runs done.
    void loadChildren(QTreeWidgetItem *node, const QString &path, std::function<void()> done = {});
    void addSlice(quint64 generation, QString key, QList<FolderName> names, qsizetype from,
                  std::function<void()> done);
    void loadNow(QTreeWidgetItem *node, const QString &path);
    void chooseNode(QTreeWidgetItem *node); // a click or the keyboard chose it
    void nodeClicked(QTreeWidgetItem *node);
    void expanded(QTreeWidgetItem *node);
    QString pathOf(const QTreeWidgetItem *node) const;
    void setBusy(int delta);

    Program &m_program;
    Places m_places;
    QTreeWidget *m_tree;
    QLabel *m_busy;
    QString m_dirName;
    QHash<QString, QTreeWidgetItem *> m_nodes;
    QHash<QString, Volume> m_volumes; // by node key
    quint64 m_generation = 0;         // a reload drops what older reads bring
    int m_pending = 0;
};

} // namespace harvly
