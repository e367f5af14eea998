#include "addlinks.h"

#include "app/workspace.h"

#include "common/combos.h"
#include "common/messages.h"
#include "common/named.h"
#include "common/program.h"
#include "common/settings.h"
#include "folders/fselefilesavepath.h"
#include "fwebsearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace harvly {

namespace {

QComboBox *secondsBox(QWidget *parent, const char *name, int from, int to,
                      std::chrono::seconds value)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    FillSecondsBox(box, from, to, value);
    return box;
}

// The web method for one address: the search window loads it and takes its page.
QCoro::Task<bool> addByWebMethod(QPointer<fWebSearch> search, QString address)
{
    if (!search) {
        co_return false;
    }
    QCoro::Task<bool> open = search->OpenWebPage(QUrl(address));
    co_await open;
    if (!search) {
        co_return false;
    }
    QCoro::Task<bool> take = search->ExtractSingleArticlePdfUrl();
    const bool added = co_await take;
    co_return added;
}

} // namespace

addlinks::addlinks(fWebSearch &search, Program &program, QWidget *parent)
    : QWidget(parent, Qt::Window), m_search(&search), m_workspace(search.workspace()),
      m_program(program), m_tabs(new QTabWidget(this)), m_input(new QPlainTextEdit(this)),
      m_unsuccessful(new QPlainTextEdit(this)), m_web(new QRadioButton(tr("Web  Method"), this)),
      m_download(new QRadioButton(tr("Download Method"), this)),
      m_delay(secondsBox(this, "Combo1", 10, 600, program.settings().get(Keys::SpeedLimitDelay))),
      m_retryDelay(
          secondsBox(this, "Combo2", 60, 600, program.settings().get(Keys::AnalysisOfDelay))),
      m_retry(new QCheckBox(
          tr("Second interval              automatically analyzes the URL is not successful"),
          this)),
      m_pageLimit(
          new QCheckBox(tr("If you open the page limitation, automatic stop analysis"), this)),
      m_progress(new QProgressBar(this)),
      m_start(NamedButton(this, "Command2", tr("Analysis to Add"))), m_timer(new QTimer(this))
{
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &addlinks::Timer1_Timer);
    askOpenFile = [this] { return QFileDialog::getOpenFileName(this); };
    askSaveFile = [this] {
        return QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("*.txt"));
    };
    setObjectName(QStringLiteral("addlinks"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Add Batch Document URL") + QLatin1Char('-') +
                   program.build().applicationTitle);
    tell = [this](const QString &text, bool error) {
        ShowMessage(this, text, error ? MessageKind::Error : MessageKind::Information);
    };
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    m_input->setObjectName(QStringLiteral("RichTextBox1"));
    m_unsuccessful->setObjectName(QStringLiteral("RichTextBox2"));
    m_web->setObjectName(QStringLiteral("Option1"));
    m_download->setObjectName(QStringLiteral("Option2"));
    m_web->setChecked(true);
    m_retry->setObjectName(QStringLiteral("Check2"));
    m_pageLimit->setObjectName(QStringLiteral("Check1"));
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));

    buildInputTab();
    buildUnsuccessfulTab();

    auto *method = new QGroupBox(this);
    auto *methodRow = new QHBoxLayout(method);
    methodRow->addWidget(m_web);
    methodRow->addWidget(m_download);
    auto *cancel = NamedButton(this, "Command3", tr("Cancel"));
    auto *options = new QGridLayout;
    options->addWidget(method, 0, 0, 1, 3);
    options->addWidget(new QLabel(tr("Speed delay:             seconds"), this), 1, 0);
    options->addWidget(m_delay, 1, 1);
    options->addWidget(m_retry, 2, 0);
    options->addWidget(m_retryDelay, 2, 1);
    options->addWidget(m_pageLimit, 3, 0, 1, 3);
    options->addWidget(new QLabel(tr("progress:"), this), 4, 0);
    options->addWidget(m_progress, 4, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(options);
    layout->addLayout(buttons);
    resize(760, 560);

    connect(m_start, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(m_retry, &QCheckBox::clicked, this, &addlinks::Check2_Click);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(&m_run, &BulkUrlRun::progress, m_progress, [this](int line, int lines) {
        m_progress->setMaximum(lines);
        m_progress->setValue(line);
    });
}

void addlinks::buildInputTab()
{
    auto *page0 = new QWidget(m_tabs);
    auto *clearInput = NamedButton(page0, "Command1", tr("Clear All"));
    auto *selectInput = NamedButton(page0, "Command4", tr("Select All"));
    auto *import = NamedButton(page0, "Command9", tr("Import URL list file"));
    auto *row0 = new QHBoxLayout;
    row0->addWidget(clearInput);
    row0->addWidget(selectInput);
    row0->addWidget(import);
    row0->addStretch(1);
    auto *lay0 = new QVBoxLayout(page0);
    lay0->addWidget(m_input, 1);
    lay0->addLayout(row0);
    connect(clearInput, &QPushButton::clicked, m_input, &QPlainTextEdit::clear);
    connect(selectInput, &QPushButton::clicked, this, [this] {
        m_input->selectAll();
        m_input->setFocus();
    });
    connect(import, &QPushButton::clicked, this, &addlinks::importListFile);
    m_tabs->addTab(page0, tr("URL to be analyzed"));
}

void addlinks::buildUnsuccessfulTab()
{
    auto *page1 = new QWidget(m_tabs);
    auto *clearFailed = NamedButton(page1, "Command5", tr("Clear All"));
    auto *selectFailed = NamedButton(page1, "Command6", tr("Select All"));
    auto *save = NamedButton(page1, "Command8", tr("Save to"));
    auto *copy = NamedButton(page1, "Command7", tr("Copy to Analysis"));
    auto *row1 = new QHBoxLayout;
    for (QWidget *w : {clearFailed, selectFailed, save, copy}) {
        row1->addWidget(w);
    }
    row1->addStretch(1);
    auto *lay1 = new QVBoxLayout(page1);
    lay1->addWidget(m_unsuccessful, 1);
    lay1->addLayout(row1);
    connect(clearFailed, &QPushButton::clicked, m_unsuccessful, &QPlainTextEdit::clear);
    connect(selectFailed, &QPushButton::clicked, this, [this] {
        m_unsuccessful->selectAll();
        m_unsuccessful->setFocus();
    });
    connect(copy, &QPushButton::clicked, this, [this] {
        m_input->setPlainText(m_unsuccessful->toPlainText());
        m_tabs->setCurrentIndex(0);
    });
    connect(save, &QPushButton::clicked, this, &addlinks::saveUnsuccessful);
    m_tabs->addTab(page1, tr("URL of Analysis Unsuccessful "));
}

void addlinks::setRunning(bool running)
{
    m_start->setText(running ? tr("Stop Analysis") : tr("Analysis to Add"));
    m_start->setStyleSheet(running ? QStringLiteral("background-color: rgb(255, 0, 0);")
                                   : QString());
    if (m_search) {
        if (running) {
            m_search->StopAnalysisss.reset();
        } else {
            m_search->StopAnalysisss.stop();
        }
    }
}

QCoro::Task<> addlinks::Command2_Click()
{
    if (m_run.running()) {
        stopRun();
        co_return;
    }
    if (!m_search) {
        // The search window was closed: the rows go to a new one, as when it was not open.
        fWebSearch *search = m_workspace.searchWindow();
        search->adoptBulkWindow(this);
        search->show();
        search->raise();
        m_search = search;
    }
    QCoro::Task<> once = runOnce();
    co_await once;
}

void addlinks::stopRun()
{
    m_run.stop(); // ends the fetch or the delay going on
    if (m_search) {
        m_search->StopAnalysisss.stop(); // ends the search window's page wait
    }
}

void addlinks::searchWindowClosing()
{
    // The rows of a run go to the search window's list: without it nothing more is analysed,
    // and what was not reached stays listed as unsuccessful, for the user to save or to
    // start again (into a new search window).
    m_timer->stop();
    m_retry->setChecked(false);
    stopRun();
}

QCoro::Task<> addlinks::runOnce()
{
    QPointer<addlinks> self(this);
    setRunning(true);
    if (!m_retry->isChecked() && m_program.promptSavePath == 1) {
        QCoro::Task<bool> ask = fSeleFileSavePath::Ask(m_program, this);
        co_await ask;
        if (!self) {
            co_return;
        }
    }
    m_unsuccessful->clear();
    const QString folder = m_program.promptSavePath == 1 ? m_program.downloadSaveFolder : QString();
    BulkUrlRun::Analyse analyse;
    if (m_web->isChecked()) {
        QPointer<fWebSearch> search = m_search;
        analyse = [search](QString address) { return addByWebMethod(search, address); };
    } else {
        QPointer<QNetworkAccessManager> network(&m_program.network());
        QPointer<ResultListModel> list(m_search ? &m_search->results() : nullptr);
        HarvestOptions options;
        options.savePath = folder;
        options.onCharactersCheck = [self] {
            if (self) {
                self->pageLimitReached();
            }
        };
        QPointer<BulkUrlRun> run(&m_run);
        analyse = [network, list, options, run](QString address) {
            return AddByDownloadMethod(network, list, options, address, run);
        };
    }
    m_run.doiResolver = m_program.doiResolver.isEmpty()
                            ? m_program.settings().get(Keys::DoiResolver)
                            : m_program.doiResolver;
    QCoro::Task<BulkRunResult> walk =
        m_run.run(m_input->toPlainText(), analyse, BoxSeconds(m_delay));
    const BulkRunResult result = co_await walk;
    if (!self) {
        co_return;
    }
    if (m_search) {
        m_search->AutoSizeResultColumns();
    }
    m_unsuccessful->setPlainText(result.unsuccessful.join(QLatin1Char('\n')));
    m_tabs->setCurrentIndex(1);
    setRunning(false);
    // With automatic retry the cycle goes on while something is left to retry; a run that
    // leaves nothing ends it, so the same addresses are not analysed again and again.
    if (m_retry->isChecked() && !result.unsuccessful.isEmpty()) {
        m_retryTicks = 0;
        m_timer->start();
        co_return;
    }
    tell(tr("Successfully imported：") + QString::number(result.added) + QLatin1Char('/') +
             QString::number(result.addresses),
         false);
}

void addlinks::Timer1_Timer()
{
    if (++m_retryTicks <= BoxSeconds(m_retryDelay).count()) {
        return;
    }
    m_retryTicks = 0;
    if (!m_unsuccessful->toPlainText().isEmpty()) {
        m_input->setPlainText(m_unsuccessful->toPlainText());
    }
    if (m_run.running()) {
        return; // the countdown goes on
    }
    m_timer->stop();
    Command2_Click();
}

void addlinks::Check2_Click(bool checked)
{
    if (!checked) {
        m_timer->stop();
        return;
    }
    if (m_run.running()) {
        return;
    }
    if (!m_unsuccessful->toPlainText().isEmpty()) {
        m_input->setPlainText(m_unsuccessful->toPlainText());
        m_tabs->setCurrentIndex(0);
    }
    Command2_Click();
}

void addlinks::pageLimitReached()
{
    if (m_pageLimit->isChecked() && m_run.running()) {
        Command2_Click(); // stops the run; a ticked retry tries the rest after its interval
    }
}

void addlinks::importListFile()
{
    const QString file = askOpenFile();
    if (file.isEmpty()) {
        return;
    }
    QFile in(file);
    if (in.size() > 10 * 1024 * 1024 || !in.open(QIODevice::ReadOnly)) {
        tell(tr("The file cannot be imported: it is not a text list of at most 10 MB."), true);
        return;
    }
    const QByteArray bytes = in.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || bytes.contains('\0')) {
        tell(tr("The file cannot be imported: it is not a text list of at most 10 MB."), true);
        return;
    }
    if (text.trimmed().isEmpty()) {
        return; // a blank file changes nothing
    }
    const QString before = m_input->toPlainText();
    m_input->setPlainText(before.isEmpty() ? text : before + QLatin1Char('\n') + text);
}

void addlinks::saveUnsuccessful()
{
    const QString file = askSaveFile();
    if (file.isEmpty()) {
        return;
    }
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly) && out.write(m_unsuccessful->toPlainText().toUtf8()) >= 0 &&
        out.commit()) {
        tell(tr("OK"), false);
    } else {
        tell(out.errorString(), true);
    }
}

void addlinks::closeEvent(QCloseEvent *event)
{
    if (m_run.running()) {
        tell(tr("The analysis is completed or stops, you can close the window！"), true);
        event->ignore();
        return;
    }
    m_program.settings().set(Keys::SpeedLimitDelay, BoxSeconds(m_delay));
    m_program.settings().set(Keys::AnalysisOfDelay, BoxSeconds(m_retryDelay));
    event->accept();
}

} // namespace harvly
