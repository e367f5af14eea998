#include "ffiledownload.h"

#include "app/workspace.h"
#include "browserpage.h"
#include "common/citationfile.h"
#include "common/combos.h"
#include "common/elidedlabel.h"
#include "common/files.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/messages.h"
#include "common/program.h"
#include "common/settings.h"
#include "common/shell.h"
#include "common/sound.h"
#include "dialogs/foption.h"
#include "dialogs/frmabout.h"
#include "download/correction.h"
#include "download/downloadlist.h"
#include "download/filetype.h"
#include "download/listcommands.h"
#include "download/liststore.h"
#include "download/scheduler.h"
#include "download/storelock.h"
#include "loginpanel.h"
#include "search/fwebsearch.h"
#include "stateicons.h"
#include "webbrowser.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace harvly {

fFileDownload::fFileDownload(Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_workspace(workspace), m_program(workspace.program()),
      m_list(new DownloadListModel(this))
{
    setObjectName(QStringLiteral("fFileDownload"));
    setAttribute(Qt::WA_DeleteOnClose);
    askYesNo = [this](const QString &q) { return ShowMessage(this, q, MessageKind::Question); };
    tell = [this](const QString &text, MessageKind kind) { ShowMessage(this, text, kind); };
    askSaveFile = [this] {
        return QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("*.txt"));
    };
    askCitationFile = [this] { return AskCitationFile(this); };
    askText = [this](const QString &prompt) -> std::optional<QString> {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, QCoreApplication::applicationName(),
                                                     prompt, QLineEdit::Normal, QString(), &ok);
        return ok ? std::optional<QString>(answer) : std::nullopt;
    };
    askOpenFile = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("*.*"));
    };

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(1, 1, 1, 0);
    layout->addWidget(buildSettingsRow());
    if (QWidget *bar = buildRestoreBar()) {
        layout->addWidget(bar);
    }
    buildListView(central);
    m_stack = new QStackedWidget(central);
    m_stack->addWidget(m_view);
    layout->addWidget(m_stack, 1);
    setCentralWidget(central);
    setStatusBar(buildStatusBar());

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(1000);
    connect(m_timer1, &QTimer::timeout, this, &fFileDownload::Timer1_Timer);
    m_timerDown = new QTimer(this);
    m_timerDown->setObjectName(QStringLiteral("Timer_Down"));
    m_timerDown->setInterval(1000);
    connect(m_timerDown, &QTimer::timeout, this, &fFileDownload::Timer_Down_Timer);
    m_scheduler =
        new DownloadScheduler(*m_list, m_program.network(), *this, m_program.build(), this);
    // The web panel lies exactly over the list when shown.
    m_login = new LoginPanel(workspace.session(), m_program.build(), m_stack);
    m_stack->addWidget(m_login);
    connect(m_login, &LoginPanel::autoLoginChanged, this, &fFileDownload::syncOptions);
    connect(m_login, &LoginPanel::closeRequested, this,
            [this] { m_stack->setCurrentWidget(m_view); });
    connect(m_login->browser()->page(), &BrowserPage::statusTextChanged, m_panel2,
            [this](const QString &text) {
                if (text.trimmed().toLower() != QLatin1String("about:blank")) {
                    m_panel2->setText(text);
                }
            });

    buildMenus();
    Form_Load();
}

void fFileDownload::Form_Load()
{
    setWindowTitle(tr("Files Download") + QLatin1Char('-') + m_program.build().applicationTitle);
    setWindowIcon(QApplication::windowIcon());
    FitComboDropDownWidth(m_reDownload);
    m_reDownload->setCurrentIndex(0);
    Settings &s = m_program.settings();
    const int mode = s.get(Keys::DownloadMode);
    m_way->setText(tr("Download Way:") + QString::number(mode));
    m_threads->setCurrentText(QStringLiteral("1"));
    if (mode == 1) {
        m_threads->setEnabled(false);
    } else {
        m_threads->setEnabled(true);
        m_threads->setCurrentIndex(qBound(0, s.get(Keys::Thread), m_threads->count() - 1));
    }
    showDuplicateMode(s.get(Keys::DuplicateFileNameSetting));
    resize(1000, 650);
    LoadFormPosition(this, s);
    for (int i = 0; i <= 600; ++i) {
        m_interval->addItem(QString::number(i));
    }
    m_interval->setCurrentIndex(0);
    readStoredOptions();
    syncOptions();
    m_timer1->start();
    ShowListCounts();
}

void fFileDownload::showDuplicateMode(DuplicateMode mode)
{
    switch (mode) {
    case DuplicateMode::Skip:
        m_skip->setChecked(true);
        break;
    case DuplicateMode::Cover:
        m_cover->setChecked(true);
        break;
    case DuplicateMode::Rename:
        m_rename->setChecked(true);
        break;
    }
}

void fFileDownload::readStoredOptions()
{
    Settings &s = m_program.settings();
    m_scheduler->options.way = WayFromNumber(s.get(Keys::DownloadMode));
    m_scheduler->options.proxyOn = s.get(Keys::ProxyEffective);
    m_scheduler->options.proxyHost = s.get(Keys::ProxyURL).trimmed();
    m_scheduler->options.proxyPort = s.get(Keys::ProxyPort).trimmed();
    m_scheduler->options.checkPdfEnd = s.get(Keys::CheckPdfEnd);
    m_scheduler->options.checkDocuments = s.get(Keys::CheckDocuments);
    m_scheduler->options.retries = qBound(0, s.get(Keys::Retries), 20);
    if (m_program.build().fileSizeCeiling) {
        m_scheduler->options.sizeCeilingMegabytes = s.get(Keys::MaxFileSizeMegabytes);
    }
}

void fFileDownload::applyOptions(bool resetThreads)
{
    readStoredOptions();
    showWay(resetThreads);
    syncOptions();
}

void fFileDownload::syncOptions()
{
    DownloadOptions &o = m_scheduler->options;
    o.threads = m_threads->currentText().toInt();
    o.interval = m_interval->currentText().toInt();
    o.duplicateMode = duplicateMode();
    o.autoStart = m_autoStart->isChecked();
    o.autoReDownload = m_autoReDownload->isChecked();
    o.reDownloadKind = m_reDownload->currentIndex();
    o.errorStop = m_errorStop->isChecked();
    o.voicePrompts = m_voice->isChecked();
    o.autoLogin = m_login->autoLogin();
    o.autoPositioning = m_autoPositioning->isChecked();
    o.openRefererFirst = m_openRefUrl->isChecked();
}

void fFileDownload::showWay(bool resetThreads)
{
    const DownloadWay way = m_scheduler->options.way;
    m_way->setText(tr("Download Way:") + QString::number(WayNumber(way)));
    if (resetThreads) {
        m_threads->setCurrentText(QStringLiteral("1"));
    }
    m_threads->setEnabled(way == DownloadWay::Parallel);
}

void fFileDownload::Timer_Down_Timer()
{
    m_scheduler->Timer_Down_Timer();
}

void fFileDownload::Command4_Click()
{
    m_scheduler->menuStartDownload();
}

void fFileDownload::Command31_Click()
{
    m_scheduler->menuStopDownload();
    m_autoStart->setChecked(false);
    m_autoReDownload->setChecked(false);
}

void fFileDownload::Command1_Click()
{
    m_stack->setCurrentWidget(m_login);
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    // A kept-alive session or a login under way keeps its page.
    if (!m_login->autoLogin() && !m_login->autoRefresh() && !selected.isEmpty()) {
        m_login->browser()->page()->navigate(
            QUrl(GetItemUrlFromKey(m_list->at(selected.first().row()).key)));
    }
}

void fFileDownload::Command26_Click()
{
    m_scheduler->Command26_Click();
    showWay(true); // "Switch" starts either way at one thread
}

void fFileDownload::playSound(Sound sound)
{
    PlaySoundFile(int(sound));
}

QCoro::Task<> fFileDownload::loginSite()
{
    QCoro::Task<> login = m_login->LoginSite(false);
    co_await login;
}

void fFileDownload::scrollTo(quint64 rowId)
{
    const int row = m_list->rowOf(rowId);
    if (row >= 0) {
        m_view->scrollTo(m_list->index(row, 0));
    }
}

QCoro::Task<> fFileDownload::openReferer(QString url)
{
    QCoro::Task<> open = m_login->openPage(url);
    co_await open;
}

void fFileDownload::statusText(int panel, const QString &text)
{
    (panel == 3 ? m_panel3 : m_panel2)->setText(text);
}

void fFileDownload::timerDownChanged(bool enabled)
{
    if (enabled) {
        m_timerDown->start();
    } else {
        m_timerDown->stop();
    }
    m_shape->setVisible(enabled);
    m_startAction->setEnabled(!enabled);
}

void fFileDownload::Timer1_Timer()
{
    m_scheduler->Timer1_Timer();
    if (m_list->IsCompletedOfDownloadListView()) {
        m_startAction->setEnabled(true);
    }
    ShowListCounts();
}

void fFileDownload::ShowListCounts()
{
    m_panel4->setText(m_list->ListCountsText());
}

void fFileDownload::ListView3_ItemClick(const QModelIndex &index)
{
    const DownloadRow &row = m_list->at(index.row());
    const QString path = row.localFile();
    // An existing file's path; for a failed row, why it failed.
    m_panel2->setText(FileExists(path) ? path : row.reason);
}

bool fFileDownload::downloadsRunning() const
{
    return m_scheduler->timerDownEnabled() || m_scheduler->transferring();
}

DuplicateMode fFileDownload::duplicateMode() const
{
    return m_skip->isChecked()    ? DuplicateMode::Skip
           : m_cover->isChecked() ? DuplicateMode::Cover
                                  : DuplicateMode::Rename;
}

void fFileDownload::menuCheckAndCorrectDiskFileType_Click()
{
    if (downloadsRunning()) {
        tell(tr("Stop downloading later to perform this operation!"), MessageKind::Information);
        return;
    }
    if (m_list->size() == 0) {
        return;
    }
    int corrected = 0;
    for (int i = 0; i < m_list->size(); ++i) {
        corrected += CorrectItemFileType(*m_list, m_list->at(i).id) ? 1 : 0;
    }
    tell(tr("Correct file types:%1").arg(corrected), MessageKind::Information);
}

void fFileDownload::menuOpenFileCheckType_Click()
{
    const QString file = askOpenFile();
    if (file.isEmpty()) {
        return;
    }
    const QString type = OpenFileToAnalyzingFileType(file);
    tell(type.isEmpty() ? tr("Still unable to determine.") : tr("File type:") + type,
         MessageKind::Information);
}

bool fFileDownload::workPending() const
{
    return !m_list->IsCompletedOfDownloadListView() || downloadsRunning();
}

void fFileDownload::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        m_count->setText(CountLabelText(m_list->size()));
    }
}

fFileDownload::~fFileDownload()
{
    // The list is written while the window's controls (the same-name choice) still exist.
    if (m_store) {
        releaseStore();
    } else if (!m_kept) {
        m_list->dropPartialFiles(); // nothing keeps the rows that would continue them
    }
}

void fFileDownload::releaseStore()
{
    delete m_store; // its last write
    m_store = nullptr;
    if (m_storeLock) {
        m_storeLock->release();
    }
}

QWidget *fFileDownload::buildRestoreBar()
{
    const QString file = m_program.listStoreFile;
    if (file.isEmpty()) {
        return nullptr;
    }
    // Another window of the program, or another instance, keeps the list already: this one's
    // rows live only as long as the window, rather than two writers taking turns.
    m_storeLock = std::make_unique<StoreLock>(file);
    if (!m_storeLock->acquire()) {
        const QString text = tr("The download list is kept by another running Harvly (process "
                                "%1): this window's list is not kept.")
                                 .arg(m_storeLock->holder());
        return restoreBar(text, nullptr);
    }
    m_kept = true;
    m_store = new ListStoreWriter(
        *m_list, file, [this] { return duplicateMode(); }, this);
    auto stored = std::make_shared<StoredList>();
    QString why;
    const StoreRead read = LoadDownloadList(file, stored.get(), &why);
    QString text;
    if (read == StoreRead::Ok && !stored->rows.isEmpty()) {
        text = tr("The download list of the last run (%1 rows) was kept.").arg(stored->rows.size());
    } else if (read == StoreRead::Damaged || read == StoreRead::FutureVersion) {
        const QString aside = SetStoreAside(file);
        text = tr("The kept download list could not be read (%1); it was set aside as %2.")
                   .arg(why, aside);
        stored.reset();
    } else {
        return nullptr;
    }
    return restoreBar(text, stored);
}

QWidget *fFileDownload::restoreBar(const QString &text, std::shared_ptr<StoredList> stored)
{
    auto *bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("RestoreBar"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(new QLabel(text, bar), 1);
    if (stored) {
        auto *restore = new QPushButton(tr("Restore Last List"), bar);
        restore->setObjectName(QStringLiteral("RestoreLastList"));
        row->addWidget(restore);
        connect(restore, &QPushButton::clicked, this, [this, bar, stored] {
            RestoreRows(*m_list, *stored);
            showDuplicateMode(stored->mode);
            m_store->adopt();
            afterRemoval(); // the count label and the status counts
            bar->hide();
        });
    }
    auto *dismiss = new QPushButton(stored ? tr("Start Empty") : tr("OK"), bar);
    dismiss->setObjectName(QStringLiteral("DismissRestore"));
    row->addWidget(dismiss);
    connect(dismiss, &QPushButton::clicked, bar, &QWidget::hide);
    m_restoreBar = bar;
    return bar;
}

void fFileDownload::closeEvent(QCloseEvent *event)
{
    Settings &s = m_program.settings();
    s.set(Keys::DuplicateFileNameSetting, duplicateMode());
    if (workPending() &&
        !askYesNo(
            tr("Downloading files or download is not completed, close the window to force it?"))) {
        event->ignore();
        return;
    }
    m_timer1->stop();
    m_timerDown->stop();
    m_login->stopRefresh();
    m_scheduler->menuStopDownload();
    SaveFormPosition(this, s);
    s.set(Keys::Thread, m_threads->currentIndex());
    // Closed for good: the list is written now and left to the next window, which may open
    // before this one is gone.
    releaseStore();
    event->accept();
    m_workspace.mainWindowClosing(this);
}

} // namespace harvly
