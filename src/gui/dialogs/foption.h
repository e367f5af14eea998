#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;
class QLineEdit;
class QRadioButton;

namespace harvly {

class Program;
class Workspace;

// "Set": the download way, the proxy, when the save folder is asked for, whether the latest
// version is looked for at start, and (Chinese build) the largest file to download.
class fOption final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fOption)

public:
    explicit fOption(Workspace &workspace, QWidget *parent = nullptr);

    void Form_Load();
    void Command1_Click(); // OK
    void Command2_Click(); // Cancel

private:
    Workspace &m_workspace;
    Program &m_program;
    QRadioButton *m_first;
    QRadioButton *m_second;
    QCheckBox *m_proxy;
    QLineEdit *m_address;
    QLineEdit *m_port;
    QCheckBox *m_prompt;
    QCheckBox *m_checkVersion;
    QCheckBox *m_checkPdf;
    QCheckBox *m_checkDocuments;
    QSpinBox *m_retries;
    QLineEdit *m_doiResolver;
    QCheckBox *m_absolutePaths;
    QLineEdit *m_ceiling = nullptr; // the Chinese build only
};

} // namespace harvly
