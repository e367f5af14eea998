#pragma once

#include "tools/copymove.h"

#include <QCoro/QCoroTask>
#include <QDialog>
#include <QStringList>

#include <functional>

class QButtonGroup;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace harvly {

class Program;

// "Copy or move files": copies (or moves) a list of files into one folder, with a rule for
// names that are taken there.
class Form_Copy_Move final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form_Copy_Move)

public:
    explicit Form_Copy_Move(Program &program, QWidget *parent = nullptr);

    QStringList FileFullPathCollection;
    bool MoveFiles = false;
    // Where the recent destination folders are kept ("SaveList.dat"); tests use their own.
    QString listFile;

    // Caption and controls as the window opens, after the caller has set MoveFiles.
    void Form_Load();
    // Starts a run, or stops the one going on.
    QCoro::Task<> CopyOrMoveFile(bool showMessage);
    bool running() const { return m_run.running(); }
    SameNameRule rule() const;

    // How the window tells; tests listen themselves.
    std::function<void(const QString &text, bool error)> tell;

protected:
    void reject() override;

private:
    void Command3_Click();
    void setRunning(bool running);

    Program &m_program;
    CopyMoveRun m_run;
    QComboBox *m_folder;
    QPushButton *m_start;
    QPushButton *m_close;
    QProgressBar *m_progress;
    QLabel *m_current;
    QButtonGroup *m_rules;
};

} // namespace harvly
