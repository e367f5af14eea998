#include "urltext.h"

#include "busysite.h"
#include "urls.h"

#include <QCoro/QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QStringDecoder>

#include <memory>

namespace harvly {

namespace {
constexpr int kSilenceLimitMs = 60000;

// The fetch may end inside the reply's own abort() (a stop), so the reply goes later.
struct DeleteLater {
    void operator()(QObject *o) const { o->deleteLater(); }
};
} // namespace

QString BytesToText(const QByteArray &bytes, const QString &charset)
{
    const QString name = charset.trimmed();
    if (name.isEmpty()) {
        auto encoding = QStringConverter::encodingForData(bytes);
        QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
        return decoder.decode(bytes);
    }
    QStringDecoder decoder(name.toLatin1().constData());
    if (!decoder.isValid()) {
        return {};
    }
    return decoder.decode(bytes);
}

QCoro::Task<QString> GetUrlText(QNetworkAccessManager *network, QUrl url, QString charset)
{
    QCoro::Task<std::optional<QString>> fetch = FetchUrlText(network, url, charset);
    const std::optional<QString> text = co_await fetch;
    co_return text.value_or(QString());
}

namespace {

struct PageAnswer {
    std::optional<QString> text;
    int status = 0;
    QByteArray retryAfter;
};

QCoro::Task<PageAnswer> fetchPage(QNetworkAccessManager *network, QUrl url, QString charset,
                                  std::function<void(QNetworkReply *)> started)
{
    QPointer<QNetworkAccessManager> guard(network);
    if (!guard || !IsFetchableAddress(url)) {
        co_return PageAnswer{}; // never a local file, whatever a page or list names
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(kSilenceLimitMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    std::unique_ptr<QNetworkReply, DeleteLater> reply(guard->get(request));
    reply->setParent(nullptr); // owned here alone, so the manager never deletes it under us
    if (started) {
        started(reply.get());
    }
    co_await reply.get();
    PageAnswer answer;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || reply->error() == QNetworkReply::OperationCanceledError) {
        co_return answer; // no answer, or one cut off by a stop or the silence limit
    }
    answer.status = status.toInt();
    answer.retryAfter = reply->rawHeader("Retry-After");
    answer.text = BytesToText(reply->readAll(), charset);
    co_return answer;
}

} // namespace

QCoro::Task<std::optional<QString>>
FetchPageWaitingForBusySite(QNetworkAccessManager *network, QUrl url, QString charset,
                            BusyWait wait, std::function<void(QNetworkReply *)> started)
{
    for (int answers = 0; answers < kBusyAnswersLimit; ++answers) {
        QCoro::Task<PageAnswer> fetch = fetchPage(network, url, charset, started);
        const PageAnswer answer = co_await fetch;
        if (!IsBusyStatus(answer.status)) {
            co_return answer.text;
        }
        const std::chrono::seconds pause =
            RetryAfterOf(answer.retryAfter, QDateTime::currentDateTimeUtc())
                .value_or(BackOff(answers));
        if (answers + 1 >= kBusyAnswersLimit || !wait) {
            break;
        }
        QCoro::Task<bool> waited = wait(pause);
        if (!co_await waited) {
            break; // stopped while waiting
        }
    }
    co_return std::nullopt;
}

QCoro::Task<std::optional<QString>> FetchUrlText(QNetworkAccessManager *network, QUrl url,
                                                 QString charset,
                                                 std::function<void(QNetworkReply *)> started)
{
    QCoro::Task<PageAnswer> fetch = fetchPage(network, url, charset, started);
    const PageAnswer answer = co_await fetch;
    co_return answer.text;
}

std::function<void(QNetworkReply *)> KeepFinalUrl(std::shared_ptr<QUrl> finalUrl,
                                                  std::function<void(QNetworkReply *)> also)
{
    return [finalUrl, also](QNetworkReply *reply) {
        QObject::connect(reply, &QNetworkReply::redirected, reply,
                         [finalUrl](const QUrl &to) { *finalUrl = finalUrl->resolved(to); });
        if (also) {
            also(reply);
        }
    };
}

} // namespace harvly
