#include "fcover.h"

#include "artwork.h"
#include "common/messages.h"
#include "common/osdescription.h"
#include "common/program.h"
#include "common/registry.h"
#include "common/shell.h"
#include "common/stopsource.h"
#include "http/latestversion.h"
#include "http/uxmlhttp.h"
#include "search/fwebsearch.h"
#include "workspace.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCoro/QCoroTimer>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

namespace harvly {

using namespace std::chrono_literals;

fCover::fCover(Workspace &workspace, ProcessControl control, QWidget *parent)
    : QWidget(parent), m_workspace(workspace), m_program(workspace.program()),
      m_control(std::move(control)), m_image(new QLabel(this)),
      m_version(new QLabel(tr("Version："), this)),
      m_notice(new QLabel(tr("The software is used only for a small number of researchers assist "
                             "download; please do not download malicious downloads and a lot!"),
                          this)),
      m_enter(new QPushButton(tr("Download Document Retrieval"), this)),
      m_language(new QPushButton(tr("中文版"), this)), m_exit(new QPushButton(tr("Exit"), this)),
      m_timer(new QTimer(this))
{
    if (!m_control.launch) {
        m_control.launch = [](const QString &exe, const QStringList &arguments) {
            return QProcess::startDetached(exe, arguments);
        };
    }
    if (!m_control.endProcess) {
        m_control.endProcess = [] { QCoreApplication::exit(0); };
    }
    m_latest = new QLabel(tr("Latest Version："), this);
    m_latest->setObjectName(QStringLiteral("Label3"));
    m_latest->setVisible(false);
    m_request = new uXMLHTTP(&m_program.network(), this);
    m_request->setObjectName(QStringLiteral("uXMLHTTP2"));
    openPage = [](const QString &url) { OpenUrlInShell(url, true); };
    tell = [this](const QString &text, bool error) {
        ShowMessage(this, text, error ? MessageKind::Error : MessageKind::Information);
    };
    connect(m_request, &uXMLHTTP::OnDateArrived, this, [this] {
        const Build &build = m_program.build();
        const LatestVersion latest = CompareLatestVersion(m_request->ResponseText(), build);
        if (!latest.taken) {
            return;
        }
        if (!build.toldOfNewVersion) {
            m_latest->setText(tr("Latest Version：") + QLatin1Char('V') + latest.text);
        }
        if (!latest.newer) {
            return;
        }
        if (build.toldOfNewVersion) {
            m_latest->setText(tr("A newer version: V%1, ready to download.").arg(latest.text));
        }
        m_latest->setVisible(true);
        openPage(ProductPageAddress(m_program.updateServer));
        if (build.toldOfNewVersion) {
            tell(tr("A newer version can be installed!"), false);
        }
    });
    connect(m_request, &uXMLHTTP::OnDateErr, this,
            [this](const QString &) { tell(tr("Please keep the network flow！"), true); });
    m_workspace.setCover(this);
    setObjectName(QStringLiteral("fCover"));
    m_image->setObjectName(QStringLiteral("Image1"));
    m_version->setObjectName(QStringLiteral("Label1"));
    m_notice->setObjectName(QStringLiteral("Label2"));
    m_enter->setObjectName(QStringLiteral("Command1"));
    m_language->setObjectName(QStringLiteral("Command2"));
    m_exit->setObjectName(QStringLiteral("Command3"));
    m_timer->setObjectName(QStringLiteral("Timer1"));

    m_image->setPixmap(CoverPicture(m_program.build().applicationTitle));
    m_image->setAlignment(Qt::AlignCenter);
    m_notice->setWordWrap(true);
    m_enter->setEnabled(false);
    m_exit->setEnabled(false);
    m_timer->setInterval(100);
    m_timer->setSingleShot(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_enter, 2);
    buttons->addWidget(m_language, 1);
    buttons->addWidget(m_exit, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_image);
    layout->addWidget(m_version);
    layout->addWidget(m_notice);
    layout->addWidget(m_latest);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_timer, &QTimer::timeout, this, &fCover::Timer1_Timer);
    connect(m_enter, &QPushButton::clicked, this, &fCover::Command1_Click);
    connect(m_language, &QPushButton::clicked, this, &fCover::Command2_Click);
    connect(m_exit, &QPushButton::clicked, this, &fCover::Command3_Click);
}

QCoro::Task<> fCover::Form_Load()
{
    QPointer<fCover> self(this);
    setWindowTitle(m_program.build().applicationTitle);
    m_version->setText(tr("Version:") + m_program.build().versionText());
    show();
    QCoro::Task<> paint = NextTurn(); // let the window paint before the slower steps
    co_await paint;
    if (!self) {
        co_return;
    }
    m_program.osDescription = OsDescription(m_program.build().systemProductText);
    RegistryStore registry;
    SetBrowserEmulation(registry, QStringLiteral("IE10"), true, m_program.build());
    m_timer->start();
}

fWebSearch *fCover::searchWindow() const
{
    return m_workspace.loadedSearchWindow();
}

void fCover::Timer1_Timer()
{
    m_timer->stop();
    m_enter->setEnabled(true);
    m_exit->setEnabled(true);
    RequestLatestVersion();
}

void fCover::RequestLatestVersion()
{
    // A fresh install names no update server: then nothing is asked and nobody is nagged.
    const QString address = LatestVersionAddress(m_program.updateServer);
    if (address.isEmpty() || !m_program.settings().get(Keys::CheckLatestVersion)) {
        return;
    }
    if (m_request->Open_(QStringLiteral("GET"), address)) {
        m_request->Send_();
    }
}

void fCover::Command1_Click()
{
    hide();
    fWebSearch *search = m_workspace.searchWindow();
    search->show();
    search->raise();
    search->activateWindow();
}

QString fCover::siblingExecutable() const
{
    QString name = m_program.build().siblingExecutableName;
#ifdef Q_OS_WIN
    name += QStringLiteral(".exe");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

void fCover::Command2_Click()
{
    // Whether or not the other program starts, this one ends: the user asked to switch.
    m_control.launch(siblingExecutable(), m_program.runArguments);
    close();
}

void fCover::Command3_Click()
{
    close();
}

void fCover::closeEvent(QCloseEvent *event)
{
    event->accept();
    Form_Unload();
}

void fCover::Form_Unload()
{
    if (m_unloading) {
        return;
    }
    m_unloading = true;
    m_control.endProcess();
}

} // namespace harvly
