#pragma once

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>

// A one-page HTTPS server on 127.0.0.1 with a certificate made for the test by openssl: it
// answers every request with a small PDF file.
class TlsSite final : public QObject
{
public:
    bool start()
    {
        const QString key = m_dir.filePath("key.pem");
        const QString cert = m_dir.filePath("cert.pem");
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                                  "-out", cert, "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                                  "subjectAltName=IP:127.0.0.1"});
        if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0) {
            return false;
        }
        QFile k(key);
        QFile c(cert);
        if (!k.open(QIODevice::ReadOnly) || !c.open(QIODevice::ReadOnly)) {
            return false;
        }
        m_certificate = QSslCertificate(c.readAll());
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        conf.setLocalCertificate(m_certificate);
        conf.setPrivateKey(QSslKey(k.readAll(), QSsl::Rsa));
        conf.setPeerVerifyMode(QSslSocket::VerifyNone);
        m_server.setSslConfiguration(conf);
        connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    if (!s->readAll().contains("\r\n\r\n") || s->property("done").toBool()) {
                        return;
                    }
                    s->setProperty("done", true);
                    const QByteArray body = "%PDF-1.4\n% served over TLS\n%%EOF\n";
                    s->write(
                        "HTTP/1.1 200 OK\r\nContent-Type: application/pdf\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        return m_server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return m_server.serverPort(); }
    QSslCertificate certificate() const { return m_certificate; }

private:
    QTemporaryDir m_dir;
    QSslServer m_server;
    QSslCertificate m_certificate;
};
