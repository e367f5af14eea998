#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace harvly {

// One HTTP request at a time without blocking the window: open, set headers, send, and wait
// for OnDateArrived (status 200; a save path then holds the body, complete) or OnDateErr
// (any other status, with its description). OnReadyStateChange comes as the request moves
// on, and once more just before the completion event. No event is raised inside Send_.
class uXMLHTTP final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(uXMLHTTP)

public:
    explicit uXMLHTTP(QNetworkAccessManager *network, QObject *parent = nullptr);
    ~uXMLHTTP() override;

    // False (the reason in *error) for a method or address that cannot be requested.
    bool Open_(const QString &method, const QString &url, const QString &savePath = QString(),
               QString *error = nullptr);
    void SetRequestHeader(const QString &header, const QString &value);
    void Send_(const QByteArray &body = QByteArray());
    void Abort_();

    bool DownOK() const { return m_downOK; }
    int ReadyState() const { return m_readyState; }
    int Status() const;
    QString StatusText() const;
    QString GetResponseHeader(const QString &header) const;
    QString GetAllResponseHeaders() const;
    QByteArray ResponseBody() const { return m_body; }
    QString ResponseText() const;

    // The description of an HTTP status ("" for codes without one).
    static QString StatusDescription(int status);

signals:
    void OnDateArrived();
    void OnReadyStateChange();
    void OnDateErr(const QString &description);

private:
    void watch();
    void complete();
    void setReadyState(int state);

    QPointer<QNetworkAccessManager> m_network;
    QNetworkRequest m_request;
    QByteArray m_method;
    QString m_savePath;
    bool m_opened = false;
    bool m_downOK = false;
    int m_readyState = 0;
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> m_reply;
    QByteArray m_body;
    // What the finished request answered, kept after its reply has gone.
    int m_status = 0;
    QString m_statusText;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    quint64 m_generation = 0; // a request's events never reach the next one
};

} // namespace harvly
