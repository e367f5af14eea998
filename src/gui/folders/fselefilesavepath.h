#pragma once

#include <QCoro/QCoroTask>
#include <QDialog>

class QComboBox;
class QRadioButton;

namespace harvly {

class Program;

// The modal dialog that asks where downloads go and how files are named.
class fSeleFileSavePath final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fSeleFileSavePath)

public:
    explicit fSeleFileSavePath(Program &program, QWidget *parent = nullptr);

    // Opens the dialog and waits, without blocking, until it closes; the program-wide
    // choices are then set. True unless it was cancelled.
    static QCoro::Task<bool> Ask(Program &program, QWidget *parent);

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    QString listFile() const { return m_listFile; }
    void setListFile(const QString &file);

private:
    void Form_Load();

    Program &m_program;
    QString m_listFile;
    QComboBox *m_folder;
    QRadioButton *m_original;
    QRadioButton *m_title;
};

} // namespace harvly
