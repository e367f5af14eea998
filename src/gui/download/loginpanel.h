#pragma once

#include "common/build.h"

#include <QCoro/QCoroTask>
#include <QWidget>

#include <chrono>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace harvly {

class BrowserSession;
class WebBrowser;

// The download window's web panel: a browser in the program's session where the user opens
// the document site and logs in, by account or by address, and keeps the login alive.
class LoginPanel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginPanel)

public:
    LoginPanel(BrowserSession &session, const Build &build, QWidget *parent = nullptr);

    bool autoLogin() const;
    bool autoRefresh() const;
    WebBrowser *browser() const { return m_browser; }
    void setLoginUrl(const QString &url);
    void setAccount(const QString &account, const QString &password);
    void setAddressLogin(bool byAddress);

    // Fills and submits the site's login form.
    QCoro::Task<> LoginSite(bool showMessages);
    // Loads a page and waits for it, at most the page limit.
    QCoro::Task<> openPage(QString url);
    QCoro::Task<> Command2_Click(); // Browse
    void Command3_Click();          // Close
    void stopRefresh();

    // How long the login waits: for each page, and after the form was sent.
    std::chrono::milliseconds pageLimit{10000};
    std::chrono::milliseconds settle{5000};
    std::function<void(const QString &)> tellError;

signals:
    void closeRequested();
    void autoLoginChanged(bool on);

private:
    bool validate(bool showMessages);

    Build m_build;
    WebBrowser *m_browser;
    QLineEdit *m_url;
    QRadioButton *m_byAccount;
    QRadioButton *m_byAddress;
    QLineEdit *m_account;
    QLineEdit *m_password;
    QCheckBox *m_autoRefresh;
    QCheckBox *m_autoLogin;
    QPushButton *m_browse;
    QPushButton *m_logTest;
    QTimer *m_refresh;
};

} // namespace harvly
