#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A loopback HTTP server that answers each path with a fixed response, for tests of the
// routines that fetch pages.
class CannedHttpServer final : public QObject
{
public:
    CannedHttpServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    void add(const QByteArray &path, int status, const QByteArray &contentType,
             const QByteArray &body)
    {
        m_responses.insert(path, "HTTP/1.1 " + QByteArray::number(status) +
                                     " X\r\nContent-Type: " + contentType +
                                     "\r\nContent-Length: " + QByteArray::number(body.size()) +
                                     "\r\nConnection: close\r\n\r\n" + body);
    }

    QUrl url(const QByteArray &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()) +
                    QString::fromLatin1(path));
    }

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n")) {
            return;
        }
        const QByteArray path = buffer.split(' ').value(1);
        m_buffers.remove(socket);
        socket->write(m_responses.value(path, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                                              "Connection: close\r\n\r\n"));
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, QByteArray> m_responses;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};
