#pragma once

#include "search/bulkrun.h"

#include <QCoro/QCoroTask>
#include <QPointer>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;

namespace harvly {

class Program;
class Workspace;
class fWebSearch;

// "Add Batch Document URL": many document-page addresses taken into the search window's
// result list, one row each, with a delay between two, the unsuccessful ones kept apart.
class addlinks final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(addlinks)

public:
    addlinks(fWebSearch &search, Program &program, QWidget *parent = nullptr);

    // Starts a run, or stops the one going on.
    QCoro::Task<> Command2_Click();
    void stopRun();
    // The search window is going: a run stops, and no new one can start.
    void searchWindowClosing();
    bool running() const { return m_run.running(); }
    BulkUrlRun &bulkRun() { return m_run; }
    // The retry countdown, once a second while automatic retry waits.
    void Timer1_Timer();
    void Check2_Click(bool checked);
    // The site showed its page-limit page: with Check1 ticked, a running run stops.
    void pageLimitReached();
    void importListFile();
    void saveUnsuccessful();

    // The controls a user reads and works, by what they are.
    QTabWidget *tabs() const { return m_tabs; }
    QPlainTextEdit *addressBox() const { return m_input; }
    QPlainTextEdit *unsuccessfulBox() const { return m_unsuccessful; }
    QRadioButton *webMethod() const { return m_web; }
    QRadioButton *downloadMethod() const { return m_download; }
    QComboBox *delayBox() const { return m_delay; }
    QComboBox *retryDelayBox() const { return m_retryDelay; }
    QCheckBox *retryBox() const { return m_retry; }
    QCheckBox *pageLimitBox() const { return m_pageLimit; }
    QProgressBar *progressBar() const { return m_progress; }
    QPushButton *startButton() const { return m_start; }
    QTimer *retryTimer() const { return m_timer; }

    // How the window asks and tells; tests answer and listen themselves.
    std::function<void(const QString &text, bool error)> tell;
    std::function<QString()> askOpenFile;
    std::function<QString()> askSaveFile;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QCoro::Task<> runOnce();
    void buildInputTab();
    void buildUnsuccessfulTab();
    void setRunning(bool running);

    QPointer<fWebSearch> m_search;
    Workspace &m_workspace;
    Program &m_program;
    BulkUrlRun m_run;
    QTabWidget *m_tabs;
    QPlainTextEdit *m_input;
    QPlainTextEdit *m_unsuccessful;
    QRadioButton *m_web;
    QRadioButton *m_download;
    QComboBox *m_delay;
    QComboBox *m_retryDelay;
    QCheckBox *m_retry;
    QCheckBox *m_pageLimit;
    QProgressBar *m_progress;
    QPushButton *m_start;
    QTimer *m_timer;
    int m_retryTicks = 0;
};

} // namespace harvly
