#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace harvly {

class Program;

// The about box: name, version, the system's description (copyable), the desktop's
// system-information program, and the maker's pages.
class frmAbout final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(Program &program, QWidget *parent = nullptr);

    void Form_Load();
    void Timer1_Timer();
    void Command1_Click(); // "Copy Information"
    void cmdSysInfo_Click();
    // The underline drawn under a link while the mouse is over it.
    void AnalogURLunderscore(QLabel *label);

    // The desktop's system-information programs, tried in this order (tests give their own).
    QStringList systemInformationPrograms;
    // Starts a program; true when it started (tests record instead).
    std::function<bool(const QString &program, const QStringList &arguments)> start;
    std::function<void(const QString &text)> tell;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    Program &m_program;
    QPlainTextEdit *m_text;
    QLabel *m_links[2];
    QFrame *m_underline;
    QTimer *m_timer;
};

} // namespace harvly
