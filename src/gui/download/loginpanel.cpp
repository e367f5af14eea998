#include "loginpanel.h"

#include "browserpage.h"
#include "browsersession.h"
#include "common/messages.h"
#include "common/signalwait.h"
#include "download/loginform.h"
#include "pagewait.h"
#include "webbrowser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoro/QCoroTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace harvly {

LoginPanel::LoginPanel(BrowserSession &session, const Build &build, QWidget *parent)
    : QWidget(parent), m_build(build), m_browser(new WebBrowser(session.profile(), this)),
      m_url(new QLineEdit(this)), m_byAccount(new QRadioButton(tr("Account:"), this)),
      m_byAddress(new QRadioButton(tr("IP Login"), this)), m_account(new QLineEdit(this)),
      m_password(new QLineEdit(this)),
      m_autoRefresh(new QCheckBox(tr("Auto Refresh (per minute)"), this)),
      m_autoLogin(new QCheckBox(tr("Auto Login"), this)),
      m_browse(new QPushButton(tr("Browse"), this)),
      m_logTest(new QPushButton(tr("Log Test"), this)), m_refresh(new QTimer(this))
{
    setObjectName(QStringLiteral("PicWebBK"));
    m_browser->setObjectName(QStringLiteral("Web1"));
    m_url->setObjectName(QStringLiteral("Text1"));
    m_byAccount->setObjectName(QStringLiteral("Option4"));
    m_byAddress->setObjectName(QStringLiteral("Option5"));
    m_account->setObjectName(QStringLiteral("Text2"));
    m_password->setObjectName(QStringLiteral("Text3"));
    m_password->setEchoMode(QLineEdit::Password);
    m_autoRefresh->setObjectName(QStringLiteral("Check1"));
    m_autoLogin->setObjectName(QStringLiteral("Check2"));
    m_browse->setObjectName(QStringLiteral("Command2"));
    m_logTest->setObjectName(QStringLiteral("Command5"));
    m_refresh->setObjectName(QStringLiteral("Timer2"));
    m_refresh->setInterval(60000);
    m_byAccount->setChecked(true);
    tellError = [this](const QString &text) { ShowMessage(this, text, MessageKind::Error); };

    auto *condition = new QComboBox(this);
    condition->setObjectName(QStringLiteral("Combo3"));
    condition->addItem(QStringLiteral("下载到网页文件(htm/html/asp)文件!"));
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("Command3"));

    auto *row1 = new QHBoxLayout;
    row1->addWidget(new QLabel(tr("URL:"), this));
    row1->addWidget(m_url, 1);
    row1->addWidget(m_browse);
    row1->addWidget(close);
    auto *row2 = new QHBoxLayout;
    row2->addWidget(m_byAccount);
    row2->addWidget(m_account);
    row2->addWidget(new QLabel(tr("Pass:"), this));
    row2->addWidget(m_password);
    row2->addWidget(m_byAddress);
    row2->addStretch(1);
    // A row of its own, so that the panel (and the window) fits a small screen.
    auto *row3 = new QHBoxLayout;
    row3->addWidget(m_autoLogin);
    row3->addWidget(new QLabel(tr("Condition:"), this));
    row3->addWidget(condition);
    row3->addWidget(m_autoRefresh);
    row3->addWidget(m_logTest);
    row3->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(row1);
    layout->addLayout(row2);
    layout->addLayout(row3);
    layout->addWidget(m_browser, 1);

    connect(m_refresh, &QTimer::timeout, m_browser, &WebBrowser::refresh);
    connect(m_autoRefresh, &QCheckBox::toggled, this,
            [this](bool on) { on ? m_refresh->start() : m_refresh->stop(); });
    connect(m_autoLogin, &QCheckBox::toggled, this, &LoginPanel::autoLoginChanged);
    connect(m_autoLogin, &QCheckBox::clicked, this, [this](bool on) {
        if (on && !validate(true)) {
            m_autoLogin->setChecked(false);
        }
    });
    connect(m_browse, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(m_logTest, &QPushButton::clicked, this, [this] { LoginSite(true); });
    connect(close, &QPushButton::clicked, this, &LoginPanel::Command3_Click);
    m_browser->page()->navigate(QUrl(QStringLiteral("about:blank")));
}

bool LoginPanel::autoLogin() const
{
    return m_autoLogin->isChecked();
}

bool LoginPanel::autoRefresh() const
{
    return m_autoRefresh->isChecked();
}

void LoginPanel::setLoginUrl(const QString &url)
{
    m_url->setText(url);
}

void LoginPanel::setAccount(const QString &account, const QString &password)
{
    m_account->setText(account);
    m_password->setText(password);
}

void LoginPanel::setAddressLogin(bool byAddress)
{
    (byAddress ? m_byAddress : m_byAccount)->setChecked(true);
}

bool LoginPanel::validate(bool showMessages)
{
    if (m_url->text().trimmed().isEmpty()) {
        if (showMessages) {
            tellError(tr("You must set the Login URL!"));
        }
        return false;
    }
    if (m_byAccount->isChecked() &&
        (m_account->text().trimmed().isEmpty() || m_password->text().trimmed().isEmpty())) {
        if (showMessages) {
            tellError(tr("Account login, you must first set the login account and password！"));
        }
        return false;
    }
    return true;
}

QCoro::Task<> LoginPanel::openPage(QString url)
{
    QPointer<BrowserPage> page(m_browser->page());
    page->navigate(QUrl::fromUserInput(url));
    QCoro::Task<bool> loaded = WaitForPage(page, pageLimit, {}, {});
    co_await loaded;
}

QCoro::Task<> LoginPanel::Command2_Click()
{
    const QString url = m_url->text().trimmed();
    if (url.isEmpty()) {
        co_return;
    }
    QPointer<LoginPanel> self(this);
    m_browse->setEnabled(false);
    QCoro::Task<> open = openPage(url);
    co_await open;
    if (self) {
        m_browse->setEnabled(true);
    }
}

void LoginPanel::Command3_Click()
{
    if (!m_autoRefresh->isChecked()) {
        m_browser->page()->navigate(QUrl(QStringLiteral("about:blank")));
    }
    emit closeRequested();
}

void LoginPanel::stopRefresh()
{
    m_refresh->stop();
}

QCoro::Task<> LoginPanel::LoginSite(bool showMessages)
{
    if (!validate(showMessages)) {
        m_autoLogin->setChecked(false);
        co_return;
    }
    if (!m_logTest->isEnabled()) {
        co_return; // a login is already under way
    }
    QPointer<LoginPanel> self(this);
    m_logTest->setEnabled(false);
    QCoro::Task<> browse = Command2_Click();
    co_await browse;
    if (!self) {
        co_return;
    }
    QPointer<BrowserPage> page(m_browser->page());
    QCoro::Task<DomDocument> read = page->snapshot();
    const DomDocument doc = co_await read;
    // After every wait the window (and its browser) may be gone: closing it ends the login.
    const auto gone = [&] { return !self || !page; };
    if (!gone() && !doc.isEmpty()) {
        const LoginPlan plan = m_byAccount->isChecked()
                                   ? PlanAccountLogin(doc, m_account->text(), m_password->text())
                                   : PlanAddressLogin(doc);
        for (const auto &[path, value] : plan.fills) {
            QCoro::Task<bool> fill = page->setValue(path, value);
            co_await fill;
            if (gone()) {
                co_return;
            }
        }
        if (!plan.submit.isEmpty()) {
            // The press starts a navigation a moment later; wait for its start, then its end.
            auto started = waitForSignal(page.data(), &QWebEnginePage::loadStarted,
                                         std::min(pageLimit, std::chrono::milliseconds(3000)));
            QCoro::Task<bool> press = page->click(plan.submit);
            co_await press;
            co_await started;
            if (gone()) {
                co_return;
            }
            QCoro::Task<bool> loaded = WaitForPage(page, pageLimit, {}, {});
            co_await loaded;
        }
    }
    if (!self) {
        co_return;
    }
    co_await QCoro::sleepFor(settle);
    if (self) {
        m_logTest->setEnabled(true);
    }
}

} // namespace harvly
