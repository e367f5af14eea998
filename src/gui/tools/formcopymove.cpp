#include "formcopymove.h"

#include "common/combos.h"
#include "common/files.h"
#include "common/folderdialog.h"
#include "common/messages.h"
#include "common/program.h"
#include "common/settings.h"
#include "folders/savefolder.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace harvly {

Form_Copy_Move::Form_Copy_Move(Program &program, QWidget *parent)
    : QDialog(parent), listFile(SaveListFile()), m_program(program), m_folder(new QComboBox(this)),
      m_start(new QPushButton(tr("Start"), this)), m_close(new QPushButton(tr("Close"), this)),
      m_progress(new QProgressBar(this)), m_current(new QLabel(this)),
      m_rules(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Form_Copy_Move"));
    setWindowTitle(tr("Copy or move files"));
    tell = [this](const QString &text, bool error) {
        ShowMessage(this, text, error ? MessageKind::Error : MessageKind::Information);
    };
    m_folder->setObjectName(QStringLiteral("Combo1"));
    m_folder->setEditable(true);
    m_folder->setInsertPolicy(QComboBox::NoInsert);
    m_folder->setMinimumWidth(380);
    m_start->setObjectName(QStringLiteral("Command1"));
    m_close->setObjectName(QStringLiteral("Command2"));
    auto *browse = new QPushButton(tr("Browse"), this);
    browse->setObjectName(QStringLiteral("Command3"));
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setValue(0);
    m_current->setObjectName(QStringLiteral("Label4"));

    auto *frame = new QGroupBox(tr("If the file already exists with the same name"), this);
    auto *options = new QVBoxLayout(frame);
    const QStringList captions{
        tr("Skip"), tr("cover"), tr("Auto Rename"),
        tr("File size and modification time are the same: cover; otherwise: Auto Rename"),
        tr("File size the same: cover; otherwise: Auto Rename")};
    for (int i = 0; i < captions.size(); ++i) {
        auto *option = new QRadioButton(captions.at(i), frame);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i + 1));
        m_rules->addButton(option, i + 1);
        options->addWidget(option);
    }

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Destination folder:"), this), 0, 0);
    grid->addWidget(m_folder, 0, 1);
    grid->addWidget(browse, 0, 2);
    grid->addWidget(frame, 1, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Current file:"), this), 2, 0);
    grid->addWidget(m_current, 2, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Progress:"), this), 3, 0);
    grid->addWidget(m_progress, 3, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_close);
    grid->addLayout(buttons, 4, 0, 1, 3);

    connect(m_start, &QPushButton::clicked, this, [this] { CopyOrMoveFile(true); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    connect(browse, &QPushButton::clicked, this, &Form_Copy_Move::Command3_Click);
    connect(&m_run, &CopyMoveRun::progress, this, [this](int index, int, const QString &name) {
        m_progress->setValue(index);
        m_current->setText(name);
    });
}

void Form_Copy_Move::Form_Load()
{
    setWindowTitle((MoveFiles ? tr("Move Files..") : tr("Copy Files...")) + QLatin1Char('-') +
                   m_program.build().applicationTitle);
    m_folder->clear();
    LoadComboItemsFromFile(m_folder, listFile);
    FitComboDropDownWidth(m_folder);
    m_folder->setCurrentText(m_program.settings().get(Keys::CopyMoveDestinationFolder));
    const int index = SameNameRuleOf(m_program.settings().get(Keys::CopyMoveOpIndex))
                          ? m_program.settings().get(Keys::CopyMoveOpIndex)
                          : int(SameNameRule::CoverWhenSizeAndTimeEqual);
    m_rules->button(index)->setChecked(true);
}

SameNameRule Form_Copy_Move::rule() const
{
    return SameNameRuleOf(m_rules->checkedId()).value_or(SameNameRule::CoverWhenSizeAndTimeEqual);
}

void Form_Copy_Move::Command3_Click()
{
    QString folder = BrowseForFolder(this, m_folder->currentText(),
                                     tr("Please select the folder you want to browse:"), false);
    if (!folder.isEmpty() && !folder.endsWith(QDir::separator())) {
        folder += QDir::separator();
    }
    m_folder->setCurrentText(folder);
}

void Form_Copy_Move::setRunning(bool running)
{
    m_start->setText(running ? tr("Stop") : tr("Start"));
    m_close->setEnabled(!running);
    for (QAbstractButton *option : m_rules->buttons()) {
        option->setEnabled(!running);
    }
    m_folder->setEnabled(!running);
}

QCoro::Task<> Form_Copy_Move::CopyOrMoveFile(bool showMessage)
{
    if (m_run.running()) {
        m_run.stop(); // the running call passes over the rest and ends as usual
        m_start->setText(tr("Start"));
        co_return;
    }
    QPointer<Form_Copy_Move> self(this);
    const QString folder = CreateFolderPath(m_folder->currentText(), m_program.build());
    if (folder.isEmpty()) {
        tell(tr("Create Folder error！"), true);
        co_return;
    }
    const QString destination = folder + QDir::separator();
    m_folder->setCurrentText(destination);
    m_program.settings().set(Keys::CopyMoveDestinationFolder, destination);
    m_program.settings().set(Keys::CopyMoveOpIndex, int(rule()));
    bool listed = false;
    for (int i = 0; i < m_folder->count(); ++i) {
        listed = listed || m_folder->itemText(i).trimmed().compare(destination.trimmed(),
                                                                   Qt::CaseInsensitive) == 0;
    }
    if (!listed) {
        m_folder->addItem(destination.trimmed());
    }
    SaveComboItemsToFile(m_folder, listFile);
    m_current->clear();

    QStringList present;
    for (const QString &f : FileFullPathCollection) {
        if (FileExists(f)) {
            present << f;
        }
    }
    FileFullPathCollection = present;
    if (present.isEmpty()) {
        co_return;
    }
    setRunning(true);
    m_progress->setMaximum(int(present.size()) + 1);
    m_progress->setValue(0);
    QCoro::Task<CopyMoveReport> run = m_run.run(present, destination, rule(), MoveFiles);
    const CopyMoveReport report = co_await run;
    if (!self) {
        co_return;
    }
    m_progress->setValue(0);
    m_current->clear();
    setRunning(false);
    if (!showMessage) {
        co_return;
    }
    QString text = MoveFiles ? tr("Move the files completed!") : tr("Copy the files completed!");
    if (report.failed() > 0) {
        text += QLatin1String("\n\n") + tr("These files could not be copied:");
        for (const CopyMoveResult &r : report.files) {
            if (r.outcome == CopyMoveResult::Outcome::Failed) {
                text += QLatin1Char('\n') + r.source + QStringLiteral(": ") + r.reason;
            }
        }
    }
    tell(text, report.failed() > 0);
}

// The close box, Escape and "Close" all come here: during a run they stop it, and the window
// stays until the file being copied is whole.
void Form_Copy_Move::reject()
{
    if (m_run.running()) {
        m_run.stop();
        return;
    }
    FileFullPathCollection.clear();
    QDialog::reject();
}

} // namespace harvly
