#include "fselefilesavepath.h"

#include "common/signalwait.h"

#include "common/combos.h"
#include "common/folderdialog.h"
#include "common/messages.h"
#include "common/program.h"
#include "folders/savefolder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace harvly {

fSeleFileSavePath::fSeleFileSavePath(Program &program, QWidget *parent)
    : QDialog(parent), m_program(program), m_listFile(SaveListFile()),
      m_folder(new QComboBox(this)),
      m_original(new QRadioButton(tr("The original file name"), this)),
      m_title(new QRadioButton(tr("Article Title Name"), this))
{
    setObjectName(QStringLiteral("fSeleFileSavePath"));
    setWindowTitle(tr("Select download save path－") + QStringLiteral("Harvly"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    auto *folderLabel = new QLabel(tr("Save to Folder:"), this);
    folderLabel->setObjectName(QStringLiteral("Label1"));
    m_folder->setObjectName(QStringLiteral("Combo1"));
    m_folder->setEditable(true);
    m_folder->setInsertPolicy(QComboBox::NoInsert);
    m_folder->setMinimumWidth(360);
    auto *browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("Command1"));
    auto *nameLabel = new QLabel(tr("Save the file name:"), this);
    nameLabel->setObjectName(QStringLiteral("Label3"));
    m_original->setObjectName(QStringLiteral("Option1"));
    m_title->setObjectName(QStringLiteral("Option2"));
    m_title->setChecked(true);
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("Command2"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command3"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(folderLabel, 0, 0);
    grid->addWidget(m_folder, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(nameLabel, 1, 0);
    auto *names = new QHBoxLayout;
    names->addWidget(m_original);
    names->addWidget(m_title);
    names->addStretch(1);
    grid->addLayout(names, 1, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(browse, &QPushButton::clicked, this, &fSeleFileSavePath::Command1_Click);
    connect(ok, &QPushButton::clicked, this, &fSeleFileSavePath::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &fSeleFileSavePath::Command3_Click);
    Form_Load();
}

void fSeleFileSavePath::setListFile(const QString &file)
{
    m_listFile = file;
    m_folder->clear();
    Form_Load();
}

void fSeleFileSavePath::Form_Load()
{
    if (m_program.useOriginalFileName) {
        m_original->setChecked(true);
    } else {
        m_title->setChecked(true);
    }
    LoadComboItemsFromFile(m_folder, m_listFile);
    m_folder->setCurrentText(m_program.settings().get(Keys::SavePathOfDownloadFile));
    FitComboDropDownWidth(m_folder);
}

void fSeleFileSavePath::Command1_Click()
{
    m_folder->setCurrentText(BrowseForFolder(
        this, m_folder->currentText(), tr("Please select the folder you want to browse:"), false));
}

void fSeleFileSavePath::Command2_Click()
{
    m_program.useOriginalFileName = m_original->isChecked();
    QStringList recent;
    for (int i = 0; i < m_folder->count(); ++i) {
        recent << m_folder->itemText(i);
    }
    const SaveFolderChoice choice = ConfirmSaveFolder(m_folder->currentText(), recent, m_listFile,
                                                      m_program.settings(), m_program.build());
    for (const QString &message : choice.messages) {
        ShowMessage(this, message, MessageKind::Error);
    }
    if (!choice.accepted) {
        return; // the dialog stays open for another choice
    }
    m_program.downloadSaveFolder = choice.folder;
    m_program.savePathDialogCancelled = false;
    m_folder->addItem(recent.last());
    accept();
}

void fSeleFileSavePath::Command3_Click()
{
    m_program.savePathDialogCancelled = true;
    reject();
}

QCoro::Task<bool> fSeleFileSavePath::Ask(Program &program, QWidget *parent)
{
    // Deleted only after the wait, so the answer is read from a live dialog.
    QPointer<fSeleFileSavePath> dialog(new fSeleFileSavePath(program, parent));
    // Closing by the window's close box counts as Cancel.
    program.savePathDialogCancelled = true;
    auto finished = waitForSignal(dialog.data(), &QDialog::finished, std::chrono::milliseconds(0));
    dialog->open();
    co_await finished;
    if (dialog) {
        dialog->deleteLater();
    }
    co_return !program.savePathDialogCancelled;
}

} // namespace harvly
