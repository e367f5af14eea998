#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

namespace harvly::testsite {

// The sample literature site: a small HTTP/1.1 server on 127.0.0.1 with search, result pages
// in three layouts, document pages, PDF files, a login, and faults on request.
class TestSite final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TestSite)

public:
    explicit TestSite(QObject *parent = nullptr);
    // Listens on 127.0.0.1; port 0 picks a free one. False when the port is taken.
    bool start(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const;

    // The version the site's update files announce.
    QString latestVersion = QStringLiteral("1.7.519");
    // How often each path and query was asked ("busy" faults answer busy the first times).
    QHash<QString, int> counts;
    // Requests that asked for a range: "/path?query RANGE IF-RANGE".
    QStringList ranges;

    // Requests served so far, as "METHOD /path?query".
    QStringList requests() const { return m_requests; }

private:
    void accept();

    QTcpServer m_server;
    QStringList m_requests;
};

} // namespace harvly::testsite
