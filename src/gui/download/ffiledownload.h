#pragma once

#include "download/savenames.h"

#include <QMainWindow>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QTimer;
class QTreeView;

namespace harvly {

class DownloadListModel;
class Program;
class Workspace;

// The download window: the list of download jobs, its settings row and its status bar.
class fFileDownload final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fFileDownload)

public:
    explicit fFileDownload(Workspace &workspace, QWidget *parent = nullptr);

    DownloadListModel &list() const { return *m_list; }
    QTreeView *listView() const { return m_view; }

    void Timer1_Timer();
    void ShowListCounts();
    // The choice of the same-name option buttons: "Skip", "Cover" or "Rename" (as captioned).
    QString duplicateFileNameSetting() const;

    // How the window asks and tells; tests answer and listen themselves.
    std::function<bool(const QString &)> askYesNo;
    std::function<void(const QString &)> tell;
    std::function<QString()> askOpenFile;

    // Tool menu: the files' real types.
    void menuCheckAndCorrectDiskFileType_Click();
    void menuOpenFileCheckType_Click();
    bool downloadsRunning() const;
    DuplicateMode duplicateMode() const;

    // The proxy the first download way uses, as read at load.
    bool proxyEffective = false;
    QString proxyUrl;
    QString proxyPort;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Form_Load();
    QWidget *buildSettingsRow();
    void buildMenus();
    bool workPending() const;
    void ListView3_ItemClick(const QModelIndex &index);

    Workspace &m_workspace;
    Program &m_program;
    DownloadListModel *m_list;
    QTreeView *m_view = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_way = nullptr;
    QComboBox *m_threads = nullptr;
    QComboBox *m_interval = nullptr;
    QComboBox *m_reDownload = nullptr;
    QRadioButton *m_skip = nullptr;
    QRadioButton *m_cover = nullptr;
    QRadioButton *m_rename = nullptr;
    QLabel *m_panel1 = nullptr;
    QLabel *m_panel2 = nullptr;
    QLabel *m_panel3 = nullptr;
    QLabel *m_panel4 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timerDown = nullptr;
    QTimer *m_timer2 = nullptr;
};

} // namespace harvly
