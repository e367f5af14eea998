#include "testsite.h"

#include "pages.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace harvly::testsite {

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 403:
        return "Forbidden";
    case 206:
        return "Partial Content";
    case 404:
        return "Not Found";
    case 416:
        return "Range Not Satisfiable";
    case 429:
        return "Too Many Requests";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// One connection: reads a request, answers it as the route says, then closes.
class Connection final : public QObject
{
public:
    Connection(QTcpSocket *socket, TestSite *site, QStringList *log)
        : QObject(site), m_socket(socket), m_site(site), m_log(log)
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, &Connection::read);
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        m_origin = QStringLiteral("http://127.0.0.1:%1").arg(socket->localPort());
    }

private:
    void read()
    {
        if (m_answered) {
            m_socket->readAll();
            return;
        }
        m_buffer += m_socket->readAll();
        const qsizetype end = m_buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        const QList<QByteArray> lines = m_buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        Request req;
        req.method = first.value(0);
        const QUrl target(QString::fromUtf8(first.value(1)));
        req.path = target.path();
        req.query = QUrlQuery(target);
        req.origin = m_origin;
        req.latestVersion = m_site->latestVersion;
        req.counts = &m_site->counts;
        req.ranges = &m_site->ranges;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines.at(i).indexOf(':');
            if (colon > 0) {
                req.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                   lines.at(i).mid(colon + 1).trimmed());
            }
        }
        const qsizetype length = req.headers.value("content-length").toLongLong();
        if (m_buffer.size() - end - 4 < length) {
            return; // the body is still coming
        }
        req.body = m_buffer.mid(end + 4, length);
        m_answered = true;
        m_log->append(QString::fromUtf8(req.method + ' ' + first.value(1)));
        if (req.headers.contains("range")) {
            m_site->ranges.append(QString::fromUtf8(first.value(1) + ' ' +
                                                    req.headers.value("range") + ' ' +
                                                    req.headers.value("if-range")));
        }
        answer(Route(req));
    }

    void answer(const Response &res)
    {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(res.status) + ' ' + reason(res.status) +
                          "\r\nContent-Type: " + res.contentType + "\r\nConnection: close\r\n";
        if (res.announceLength && !res.neverComplete) {
            const qint64 size = res.body.size() + res.generatedSize + res.generatedTail.size();
            head += "Content-Length: " + QByteArray::number(size + res.announcedExtra) + "\r\n";
        }
        for (const auto &[name, value] : res.headers) {
            head += name + ": " + value + "\r\n";
        }
        m_socket->write(head + "\r\n");
        if (res.reset) {
            m_socket->abort();
            return;
        }
        if (res.generatedSize > 0 || !res.generatedTail.isEmpty()) {
            m_socket->write(res.body);
            m_left = res.generatedSize;
            m_tail = res.generatedTail;
            m_chunk = QByteArray(256 * 1024, 'x');
            connect(m_socket, &QTcpSocket::bytesWritten, this, &Connection::feed);
            feed();
            return;
        }
        if (res.neverComplete) {
            m_socket->write(res.body.left(res.body.size() / 2));
            return; // held open until the client gives up
        }
        if (res.stallAfter >= 0) {
            m_socket->write(res.body.left(res.stallAfter));
            return;
        }
        if (res.cutAfter >= 0) {
            m_socket->write(res.body.left(res.cutAfter));
            m_socket->disconnectFromHost(); // before the announced end
            return;
        }
        if (res.slowChunk > 0) {
            m_pending = res.body;
            auto *timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, [this, timer, chunk = res.slowChunk] {
                m_socket->write(m_pending.left(chunk));
                m_pending.remove(0, chunk);
                if (m_pending.isEmpty()) {
                    timer->stop();
                    m_socket->disconnectFromHost();
                }
            });
            timer->start(res.slowIntervalMs);
            return;
        }
        m_socket->write(res.body);
        m_socket->disconnectFromHost();
    }

    // Keeps about a megabyte on its way, no more.
    void feed()
    {
        while (m_left > 0 && m_socket->bytesToWrite() < 1024 * 1024) {
            const qint64 n = qMin<qint64>(m_left, m_chunk.size());
            m_socket->write(m_chunk.constData(), n);
            m_left -= n;
        }
        if (m_left == 0 && !m_tail.isEmpty()) {
            m_socket->write(std::exchange(m_tail, {}));
        }
        if (m_left == 0 && m_socket->bytesToWrite() == 0) {
            m_left = -1;
            m_socket->disconnectFromHost();
        }
    }

    QTcpSocket *m_socket;
    TestSite *m_site;
    QStringList *m_log;
    qint64 m_left = -1;
    QByteArray m_chunk;
    QByteArray m_tail;
    QString m_origin;
    QByteArray m_buffer;
    QByteArray m_pending;
    bool m_answered = false;
};

} // namespace

TestSite::TestSite(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TestSite::accept);
}

bool TestSite::start(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

QUrl TestSite::url(const QString &pathAndQuery) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(pathAndQuery));
}

void TestSite::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        new Connection(socket, this, &m_requests);
    }
}

} // namespace harvly::testsite
