#include "uxmlhttp.h"

#include "common/urls.h"
#include "common/urltext.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <array>

namespace harvly {

namespace {

void dropReply(QNetworkReply *reply)
{
    if (reply) {
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
    }
}

const std::array<std::pair<int, const char *>, 41> kDescriptions{{
    {100, "客户必须继续发出请求"},
    {101, "客户要求服务器根据请求转换HTTP协议版本"},
    {200, "交易成功"},
    {201, "提示知道新文件的URL"},
    {202, "接受和处理?但处理未完成"},
    {203, "返回信息不确定或不完整"},
    {204, "请求收到，但返回信息为空"},
    {205, "服务器完成了请求，用户代理必须复位当前已经浏览过的文件"},
    {206, "服务器已经完成了部分用户的GET请求"},
    {300, "请求的资源可在多处得到"},
    {301, "删除请求数据"},
    {302, "在其他地址发现了请求数据"},
    {303, "建议客户访问其他URL或访问方式"},
    {304, "客户端已经执行了GET，但文件未变化"},
    {305, "请求的资源必须从服务器指定的地址得到"},
    {306, "前一版本HTTP中使用的代码，现行版本中不再使用"},
    {307, "申明请求的资源临时性删除"},
    {400, "错误请求，如语法错误"},
    {401, "请求授权失败"},
    {402, "保留有效ChargeTo头响应"},
    {403, "请求不允许"},
    {404, "没有发现文件?查询或URl"},
    {405, "用户在Request -Line字段定义的方法不允许"},
    {406, "根据用户发送的Accept拖，请求资源不可访问"},
    {407, "类似401，用户必须首先在代理服务器上得到授权"},
    {408, "客户端没有在用户指定的饿时间内完成请求"},
    {409, "对当前资源状态，请求不能完成"},
    {410, "服务器上不再有此资源且无进一步的参考地址"},
    {411, "服务器拒绝用户定义的Content -Length属性请求"},
    {412, "一个或多个请求头字段在当前请求中错误"},
    {413, "请求的资源大于服务器允许的大小"},
    {414, "请求的资源URL长于服务器允许的长度"},
    {415, "请求资源不支持请求项目格式"},
    {416, "请求中包含Range请求头字段，在当前请求资源范围内没有range指示值，请求也不包含If-"
          "Range请求头字段"},
    {417,
     "服务器不满足请求Expect头字段指定的期望值，如果是代理服务器，可能是下一级服务器不能满足请求"},
    {500, "服务器产生内部错误"},
    {501, "服务器不支持请求的函数"},
    {502, "服务器暂时不可用，有时是为了防止发生系统过载"},
    {503, "服务器过载或暂停维修"},
    {504, "关口过载，服务器使用另一个关口或服务来响应用户，等待时间设定值较长"},
    {505, "服务器不支持或拒绝支请求头中指定的HTTP版本"},
}};

} // namespace

uXMLHTTP::uXMLHTTP(QNetworkAccessManager *network, QObject *parent)
    : QObject(parent), m_network(network), m_reply(nullptr, &dropReply)
{
}

uXMLHTTP::~uXMLHTTP() = default;

QString uXMLHTTP::StatusDescription(int status)
{
    for (const auto &[code, text] : kDescriptions) {
        if (code == status) {
            return QString::fromUtf8(text);
        }
    }
    return {};
}

bool uXMLHTTP::Open_(const QString &method, const QString &url, const QString &savePath,
                     QString *error)
{
    m_downOK = false;
    const QUrl address(url);
    const QByteArray verb = method.trimmed().toUpper().toLatin1();
    static const QList<QByteArray> verbs{"GET", "POST", "HEAD", "PUT", "DELETE", "OPTIONS"};
    if (!verbs.contains(verb) || !IsFetchableAddress(address)) {
        if (error) {
            *error = QStringLiteral("cannot request %1 %2").arg(method, url);
        }
        return false; // only web addresses, never a local file
    }
    m_reply.reset();
    ++m_generation;
    m_method = verb;
    m_request = QNetworkRequest(address);
    m_request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                           QNetworkRequest::NoLessSafeRedirectPolicy);
    m_request.setTransferTimeout(60000);
    m_savePath = savePath;
    m_opened = true;
    m_readyState = 1;
    m_body.clear();
    m_status = 0;
    m_statusText.clear();
    m_headers.clear();
    return true;
}

void uXMLHTTP::SetRequestHeader(const QString &header, const QString &value)
{
    if (m_opened && !header.trimmed().isEmpty()) {
        m_request.setRawHeader(header.trimmed().toLatin1(), value.toUtf8());
    }
}

void uXMLHTTP::Send_(const QByteArray &body)
{
    if (!m_opened || !m_network) {
        return; // never opened: nothing to watch, no event
    }
    const quint64 generation = m_generation;
    if (m_readyState == 4) {
        // Sent again without a new Open_: the old request's completion is told again, as the
        // first look at the finished request would.
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation && m_readyState == 4) {
                emit OnReadyStateChange();
                complete();
            }
        });
        return;
    }
    m_reply.reset(m_network->sendCustomRequest(m_request, m_method, body));
    m_reply->setParent(nullptr);
    watch();
}

void uXMLHTTP::watch()
{
    QNetworkReply *reply = m_reply.get();
    connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
        setReadyState(2);
        emit OnReadyStateChange();
    });
    connect(reply, &QNetworkReply::readyRead, this, [this] {
        setReadyState(3);
        emit OnReadyStateChange();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply != m_reply.get()) {
            return;
        }
        m_body = reply->readAll();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        m_status = status.isValid() ? status.toInt() : 0;
        m_statusText = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        m_headers = reply->rawHeaderPairs();
        setReadyState(4);
        // Told from the event loop, never from inside the network's own call.
        const quint64 generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation && m_readyState == 4) {
                emit OnReadyStateChange();
                complete();
            }
        });
    });
}

void uXMLHTTP::complete()
{
    m_downOK = true;
    if (m_status == 200) {
        if (!m_savePath.isEmpty() && !m_body.isEmpty()) {
            // Written beside and renamed into place: a failed write keeps the old file.
            QSaveFile file(m_savePath);
            if (file.open(QIODevice::WriteOnly)) {
                file.write(m_body);
                file.commit();
            }
        }
        emit OnDateArrived();
        return;
    }
    // Also for a status outside the table (or no answer at all): an empty description.
    emit OnDateErr(StatusDescription(m_status));
}

void uXMLHTTP::setReadyState(int state)
{
    m_readyState = qMax(m_readyState, state);
}

void uXMLHTTP::Abort_()
{
    ++m_generation; // nothing of this request is told any more
    m_reply.reset();
    if (m_readyState != 4) {
        m_readyState = 0;
    }
}

int uXMLHTTP::Status() const
{
    return m_readyState == 4 ? m_status : 0;
}

QString uXMLHTTP::StatusText() const
{
    return m_readyState == 4 ? m_statusText : QString();
}

QString uXMLHTTP::GetResponseHeader(const QString &header) const
{
    for (const auto &[name, value] : m_headers) {
        if (QString::fromLatin1(name).compare(header, Qt::CaseInsensitive) == 0) {
            return QString::fromLatin1(value);
        }
    }
    return {};
}

QString uXMLHTTP::GetAllResponseHeaders() const
{
    QString all;
    for (const auto &[name, value] : m_headers) {
        all += QString::fromLatin1(name + ": " + value) + QStringLiteral("\r\n");
    }
    return all;
}

QString uXMLHTTP::ResponseText() const
{
    const QString type = GetResponseHeader(QStringLiteral("Content-Type"));
    const qsizetype at = type.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
    const QString charset =
        at < 0 ? QString() : type.mid(at + 8).section(QLatin1Char(';'), 0, 0).remove('"').trimmed();
    const QString text = BytesToText(m_body, charset);
    return text.isEmpty() && !m_body.isEmpty() ? QString::fromUtf8(m_body) : text;
}

} // namespace harvly
