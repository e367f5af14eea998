#pragma once

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A minimal HTTP forward proxy on 127.0.0.1 for tests: it takes "GET http://host:port/path",
// forwards the request to that host and relays the answer, counting what it carried.
class ForwardProxy final : public QObject
{
public:
    ForwardProxy()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = m_server.nextPendingConnection()) {
                serve(client);
            }
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    int requests() const { return m_requests; }

private:
    void serve(QTcpSocket *client)
    {
        auto *buffer = new QByteArray;
        connect(client, &QObject::destroyed, client, [buffer] { delete buffer; });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QTcpSocket::readyRead, client, [this, client, buffer] {
            *buffer += client->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0 || client->property("forwarded").toBool()) {
                return;
            }
            client->setProperty("forwarded", true);
            const qsizetype lineEnd = buffer->indexOf("\r\n");
            const QList<QByteArray> first = buffer->left(lineEnd).split(' ');
            const QUrl target(QString::fromLatin1(first.value(1)));
            ++m_requests;
            QByteArray request = first.value(0) + ' ' + target.path(QUrl::FullyEncoded).toLatin1();
            if (target.hasQuery()) {
                request += '?' + target.query(QUrl::FullyEncoded).toLatin1();
            }
            request += ' ' + first.value(2) + buffer->mid(lineEnd);
            auto *upstream = new QTcpSocket(client);
            connect(upstream, &QTcpSocket::connected, upstream,
                    [upstream, request] { upstream->write(request); });
            connect(upstream, &QTcpSocket::readyRead, client,
                    [client, upstream] { client->write(upstream->readAll()); });
            connect(upstream, &QTcpSocket::disconnected, client,
                    [client] { client->disconnectFromHost(); });
            upstream->connectToHost(target.host(), quint16(target.port(80)));
        });
    }

    QTcpServer m_server;
    int m_requests = 0;
};
