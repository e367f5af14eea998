#pragma once

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace harvly {

// Bytes in the named character set as text; "" when the set is unknown. An empty name
// means UTF-8, unless a byte-order mark says otherwise.
QString BytesToText(const QByteArray &bytes, const QString &charset);

// The page at url as text, fetched through the program's one network manager (its cookies
// and user agent are the browser's). Whatever the server answered counts, error pages too;
// "" when no answer came.
QCoro::Task<QString> GetUrlText(QNetworkAccessManager *network, QUrl url, QString charset);
// The same, telling a page that never came (nullopt) from an empty one. started, when given,
// sees the request once it is sent, so that a caller can abort it (a stop button).
QCoro::Task<std::optional<QString>> FetchUrlText(QNetworkAccessManager *network, QUrl url,
                                                 QString charset,
                                                 std::function<void(QNetworkReply *)> started = {});

// A page fetch that waits for a busy site: an answer 429 or 503 is asked again after the
// site's Retry-After (or 30 s doubling), at most five answers in all. wait(seconds) waits and
// gives false when the caller stopped meanwhile (then nothing more is asked). nullopt: no
// page (no answer, still busy, or stopped).
using BusyWait = std::function<QCoro::Task<bool>(std::chrono::seconds)>;
QCoro::Task<std::optional<QString>>
FetchPageWaitingForBusySite(QNetworkAccessManager *network, QUrl url, QString charset,
                            BusyWait wait, std::function<void(QNetworkReply *)> started = {});

// A started callback for the fetches above that keeps the address the answer finally came
// from (after redirects) in finalUrl, then calls also.
std::function<void(QNetworkReply *)> KeepFinalUrl(std::shared_ptr<QUrl> finalUrl,
                                                  std::function<void(QNetworkReply *)> also = {});

} // namespace harvly
