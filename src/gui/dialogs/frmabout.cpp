#include "frmabout.h"

#include "common/messages.h"
#include "common/program.h"
#include "common/settings.h"
#include "common/shell.h"
#include "http/latestversion.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace harvly {

frmAbout::frmAbout(Program &program, QWidget *parent)
    : QDialog(parent), m_program(program),
      m_text(new QPlainTextEdit(this)), m_links{new QLabel(this), new QLabel(this)},
      m_underline(new QFrame(this)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setMouseTracking(true);
    // The system-information programs of the common desktops (KDE, GNOME, Xfce, others).
    systemInformationPrograms = {QStringLiteral("kinfocenter"),
                                 QStringLiteral("gnome-control-center"),
                                 QStringLiteral("xfce4-about"), QStringLiteral("hardinfo"),
                                 QStringLiteral("gnome-system-monitor")};
    start = [](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    };
    tell = [this](const QString &text) { ShowMessage(this, text, MessageKind::Information); };

    auto *name = new QLabel(this);
    name->setObjectName(QStringLiteral("lsoftname"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    name->setFont(big);
    auto *version = new QLabel(this);
    version->setObjectName(QStringLiteral("lblVersion"));
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setPlainText(tr("Loading, please wait ...") + QLatin1Char('\n'));
    auto *copy = new QPushButton(tr("Copy Information"), this);
    copy->setObjectName(QStringLiteral("Command1"));
    auto *sysInfo = new QPushButton(tr("System Information(&S)..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    m_links[0]->setObjectName(QStringLiteral("Label2"));
    m_links[1]->setObjectName(QStringLiteral("Label7"));
    m_underline->setObjectName(QStringLiteral("Line2"));
    m_underline->setFrameShape(QFrame::HLine);
    m_underline->setFixedHeight(1);
    m_underline->setStyleSheet(QStringLiteral("background: palette(link); border: none;"));
    m_underline->hide();

    auto *links = new QHBoxLayout;
    for (QLabel *link : m_links) {
        link->setCursor(Qt::PointingHandCursor);
        link->setMouseTracking(true);
        link->installEventFilter(this);
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        link->setPalette(p);
        links->addWidget(link);
    }
    links->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addStretch(1);
    buttons->addWidget(sysInfo);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(m_text, 1);
    layout->addLayout(links);
    layout->addLayout(buttons);
    resize(520, 340);

    connect(copy, &QPushButton::clicked, this, &frmAbout::Command1_Click);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &frmAbout::Timer1_Timer);
    Form_Load();
}

void frmAbout::Form_Load()
{
    const Build &b = m_program.build();
    setWindowTitle(tr("About [%1]").arg(b.applicationTitle));
    findChild<QLabel *>(QStringLiteral("lsoftname"))->setText(b.applicationTitle);
    findChild<QLabel *>(QStringLiteral("lblVersion"))->setText(tr("Version: ") + b.versionText());
    // The maker's pages are on the update server; without one there is nothing to link.
    const QString page = ProductPageAddress(m_program.updateServer);
    m_links[0]->setText(tr("Home page"));
    m_links[1]->setText(tr("Latest version"));
    for (QLabel *link : m_links) {
        link->setProperty("address", page);
        link->setVisible(!page.isEmpty());
    }
    m_timer->start();
}

void frmAbout::Timer1_Timer()
{
    m_timer->stop();
    const QString description =
        m_program.osDescription.isEmpty() ? QStringLiteral("Linux") : m_program.osDescription;
    // The Chinese build shows the system's name alone.
    m_text->setPlainText(m_program.build().systemNameAlone
                             ? description + QLatin1Char('\n')
                             : tr("Operating System:") + description + QLatin1Char('\n'));
}

void frmAbout::Command1_Click()
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text->toPlainText());
}

void frmAbout::cmdSysInfo_Click()
{
    for (const QString &program : systemInformationPrograms) {
        const QString path = QStandardPaths::findExecutable(program);
        if (path.isEmpty()) {
            continue;
        }
        QStringList arguments;
        if (program == QLatin1String("gnome-control-center")) {
            arguments << QStringLiteral("info-overview"); // its "About" page
        }
        if (start(path, arguments)) {
            return;
        }
    }
    tell(QStringLiteral("此时系统信息不可用"));
}

void frmAbout::AnalogURLunderscore(QLabel *label)
{
    m_underline->setGeometry(label->x(), label->y() + label->height(), label->width(), 1);
    m_underline->show();
    m_underline->raise();
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    auto *link = qobject_cast<QLabel *>(watched);
    if (link && (link == m_links[0] || link == m_links[1])) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
            AnalogURLunderscore(link);
        } else if (event->type() == QEvent::Leave) {
            m_underline->hide();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            OpenUrlInShell(link->property("address").toString(), true);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    m_underline->hide();
    QDialog::mouseMoveEvent(event);
}

} // namespace harvly
