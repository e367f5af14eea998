#pragma once

#include <QCoro/QCoroTask>
#include <QPointer>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace harvly {

class Program;
class Workspace;
class fWebSearch;
class uXMLHTTP;

// The start-up window and the program's home: unloading it ends the process.
class fCover final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fCover)

public:
    // How the window starts the other build and ends the process; tests observe both.
    struct ProcessControl {
        std::function<bool(const QString &executable, const QStringList &arguments)> launch;
        std::function<void()> endProcess;
    };

    explicit fCover(Workspace &workspace, ProcessControl control = {}, QWidget *parent = nullptr);

    QCoro::Task<> Form_Load();
    void Timer1_Timer();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    // The latest-version check: one request, answered whenever it comes.
    void RequestLatestVersion();
    QLabel *latestVersionLabel() const { return m_latest; }
    // How the window opens the product page and tells; tests record instead.
    std::function<void(const QString &url)> openPage;
    std::function<void(const QString &text, bool error)> tell;

    QString siblingExecutable() const;
    fWebSearch *searchWindow() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Unload();

    Workspace &m_workspace;
    Program &m_program;
    ProcessControl m_control;
    QLabel *m_image;
    QLabel *m_version;
    QLabel *m_notice;
    QPushButton *m_enter;
    QPushButton *m_language;
    QPushButton *m_exit;
    QTimer *m_timer;
    QLabel *m_latest;
    uXMLHTTP *m_request;
    bool m_unloading = false;
};

} // namespace harvly
