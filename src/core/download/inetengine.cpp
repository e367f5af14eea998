// The single-request way: one row at a time, start to end, with its progress in the row.
#include "common/files.h"
#include "common/filenames.h"
#include "common/signalwait.h"
#include "common/urls.h"
#include "correction.h"
#include "documentrequest.h"
#include "failurereason.h"
#include "downloadlist.h"
#include "savenames.h"
#include "scheduler.h"
#include "schedulerhost.h"
#include "transferfile.h"

#include <QCoro/QCoroNetworkReply>
#include <QCoro/QCoroTimer>
#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>

namespace harvly {

namespace {

using namespace std::chrono_literals;
constexpr auto kPoll = 50ms;

// The connection states of a transfer, as status bar panel 3 shows them.
QString stateText(int state)
{
    static const char *const texts[] = {
        "0 无状态可报告。",
        "1 正在查询所指定的主机的 IP 地址...",
        "2 已成功地找到所指定的主机的 IP 地址。",
        "3 正在与主机连接...",
        "4 已与主机连接成功。",
        "5 正在向主机发送请求...",
        "6 发送请求已成功。",
        "7 正在接收主机的响应...",
        "8 已成功地接收到主机的响应。",
        "9 正在解除与主机的连接...",
        "10 已成功地与主机解除了连接。",
        "11 与主机通讯时出现了错误:",
        "12 该请求已经完成，并且所有数据均已接收到。",
    };
    return QString::fromUtf8(texts[qBound(0, state, 12)]);
}

} // namespace

QCoro::Task<> DownloadScheduler::InetDownloadThisFile(quint64 rowId)
{
    if (m_inetRunning || m_inetBusy) {
        m_list.update(rowId, [](DownloadRow &r) {
            r.state = DownloadState::Waiting;
            r.fileSize = QStringLiteral("Wait re-download");
        });
        co_return;
    }
    QPointer<DownloadScheduler> self(this);
    m_inetBusy = true;
    QCoro::Task<bool> run = InetDownloadFile(rowId);
    co_await run;
    if (self) {
        m_inetBusy = false;
    }
}

QCoro::Task<bool> DownloadScheduler::InetDownloadFile(quint64 rowId)
{
    QPointer<DownloadScheduler> self(this);
    const DownloadRow *start = m_list.find(rowId);
    if (!start) {
        co_return false;
    }
    m_inetRunning = true;
    m_inetBusy = true;
    bool result = false;
    const bool chinese = m_build.isChinese();
    const QString address = GetItemUrlFromKey(start->key);
    const QString referer = start->tag.isEmpty() ? GetUrlRoot(address) : start->tag;
    m_host.statusText(2, text("downloading:", "正在下载:") + start->text);

    // Whatever happens below, the row ends here and the window hears of it once.
    const auto fail = [&](const QString &fileSize, const QString &reason) {
        m_list.update(rowId, [&](DownloadRow &r) {
            r.state = DownloadState::Failed;
            r.reason = reason;
            if (!fileSize.isNull()) {
                r.fileSize = fileSize;
            }
        });
    };

    if (options.openRefererFirst && !start->tag.isEmpty()) {
        QCoro::Task<> open = m_host.openReferer(start->tag);
        co_await open;
        if (!self) {
            co_return false;
        }
    }

    QString proxyError;
    QNetworkAccessManager *network = networkFor(options.proxyOn, &proxyError);
    std::unique_ptr<QNetworkReply> reply;
    std::unique_ptr<TransferFile> file;
    if (!network) {
        fail(proxyError, FailureReason::badProxy());
    } else if (!IsFetchableAddress(QUrl(address))) {
        fail(text("download failed", "下载失败"), FailureReason::unsupported());
    } else {
        m_host.statusText(3, stateText(5));
        reply.reset(network->get(DocumentRequest(QUrl(address), referer)));
        reply->setParent(nullptr);
        // Bounded, and drained to disk as it fills: memory stays flat whatever the size.
        reply->setReadBufferSize(1024 * 1024);

        // The response headers, for at most the response limit.
        const auto headerDeadline = now() + limits.response.count() / 1000.0;
        while (self && !reply->isFinished() &&
               !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid() &&
               now() < headerDeadline && m_inetBusy) {
            co_await QCoro::sleepFor(kPoll);
        }
        if (!self) {
            co_return false;
        }
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (!status.isValid()) {
            const bool tls = reply->error() == QNetworkReply::SslHandshakeFailedError;
            const QString reason = !m_inetBusy        ? FailureReason::stopped()
                                   : reply->isFinished() ? FailureReason::ofReply(*reply)
                                                         : FailureReason::noAnswer();
            reply->abort();
            m_host.statusText(3, stateText(11) + reply->errorString());
            fail(tls ? text("certificate not trusted", "证书不可信") : QString(), reason);
        } else {
            m_host.statusText(3, stateText(8));
            const qint64 size = AnnouncedSize(reply.get());
            const QString contentType = QString::fromLatin1(reply->rawHeader("Content-Type")).trimmed();
            QString derived;
            ContentTypeToExtension(contentType.section(QLatin1Char(';'), 0, 0).trimmed(), &derived,
                                   m_build);
            if (chinese) {
                derived = ContentTypeToExtension(contentType.section(QLatin1Char(';'), 0, 0).trimmed(),
                                                 nullptr, m_build);
                if (derived.isEmpty()) {
                    const QString disposition = QString::fromUtf8(reply->rawHeader("Content-Disposition"));
                    const qsizetype at = disposition.indexOf(QLatin1String("filename="), 0, Qt::CaseInsensitive);
                    if (at >= 0) {
                        QString name = disposition.mid(at + 9).remove(QLatin1Char('"')).trimmed();
                        derived = LeadingLetterWord(name.mid(name.lastIndexOf(QLatin1Char('.')) + 1));
                    }
                    if (derived.isEmpty() && contentType.contains(QLatin1String("charset"), Qt::CaseInsensitive)) {
                        derived = QStringLiteral("htm");
                    }
                }
            }
            const double ceiling = options.sizeCeilingMegabytes;
            if (chinese && ceiling > 0 && size / 1024.0 / 1024.0 > ceiling) {
                reply->abort();
                m_list.update(rowId, [](DownloadRow &r) {
                    r.state = DownloadState::Finished;
                    r.percentage = QStringLiteral("大文件，跳过");
                });
                result = true;
            } else {
                // Folder, type and target name.
                QString folderError;
                QString folder = CreateFolderPath(m_list.find(rowId) ? m_list.find(rowId)->savePath
                                                                     : QString(),
                                                  m_build, &folderError);
                if (folder.isEmpty()) {
                    reply->abort();
                    fail(text("download failed", "下载失败"), FailureReason::notAFolder());
                } else {
                    if (!IsPathSeparator(folder.back())) {
                        folder += QDir::separator();
                    }
                    m_list.update(rowId, [&](DownloadRow &r) {
                        r.savePath = folder;
                        if (!derived.isEmpty()) {
                            r.type = derived;
                        }
                    });
                    const DownloadRow *row = m_list.find(rowId);
                    file = std::make_unique<TransferFile>(folder, row->text, row->type,
                                                          options.duplicateMode);
                    const TransferFile::Result opened = file->open();
                    if (opened == TransferFile::Result::Skipped) {
                        reply->abort();
                        markSkipped(rowId, file->target());
                        file.reset();
                    } else if (opened == TransferFile::Result::Failed) {
                        reply->abort();
                        fail(text("download failed", "下载失败"), file->errorString());
                        file.reset();
                    } else {
                        const QString name = file->name();
                        m_list.update(rowId, [&](DownloadRow &r) { r.text = name; });
                    }
                }
            }

            if (file) {
                const bool announced = size > 0;
                m_list.update(rowId, [&](DownloadRow &r) {
                    r.fileSize = announced ? QString::number(size) : text("unknow", "未知");
                    r.downloaded = QStringLiteral("0");
                });
                auto lastProgress = now();
                qint64 lastLength = 0;
                QString outcome; // empty: the body came whole
                QString reason;  // of a failure
                while (true) {
                    if (!file->drain(reply.get())) {
                        outcome = text("download failed", "下载失败");
                        reason = file->errorString();
                        break;
                    }
                    if (file->written() > lastLength) {
                        lastLength = file->written();
                        lastProgress = now();
                        const QString done = QString::number(lastLength);
                        m_list.update(rowId, [&](DownloadRow &r) {
                            r.downloaded = done;
                            if (announced) {
                                r.percentage = QString::number(lastLength * 100 / size) + QLatin1Char('%');
                            }
                        });
                    }
                    if (chinese && ceiling > 0 && !announced &&
                        file->written() / 1024.0 / 1024.0 > ceiling) {
                        outcome = QStringLiteral("ceiling"); // the part received is kept
                        break;
                    }
                    if (reply->isFinished() && reply->bytesAvailable() == 0) {
                        break;
                    }
                    if (now() - lastProgress > limits.stall.count() / 1000.0) {
                        outcome = text("download failed", "下载失败");
                        reason = FailureReason::stalled();
                        break;
                    }
                    if (!m_inetBusy) {
                        outcome = text("Download Cancel", "下载取消");
                        reason = FailureReason::stopped();
                        break;
                    }
                    // Woken by new data, or after a short while to look at the limits again.
                    if (reply->bytesAvailable() == 0 && !reply->isFinished()) {
                        auto more = waitForSignal(reply.get(), &QNetworkReply::readyRead, kPoll * 4);
                        co_await more;
                    }
                    if (!self) {
                        co_return false;
                    }
                }
                const bool transportError = reply->error() != QNetworkReply::NoError &&
                                            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() < 400;
                if (outcome.isEmpty() && (transportError || (announced && file->written() < size))) {
                    outcome = text("download failed", "下载失败"); // a short body is no document
                    const bool closedEarly =
                        reply->error() == QNetworkReply::RemoteHostClosedError;
                    reason = (!transportError || closedEarly) && announced && file->written() < size
                                 ? FailureReason::shortBody(file->written(), size)
                                 : FailureReason::ofReply(*reply);
                }
                if (outcome.isEmpty() && !announced && file->written() == 0) {
                    m_list.update(rowId, [](DownloadRow &r) {
                        r.fileSize = QStringLiteral("0");
                        r.downloaded = QStringLiteral("0");
                        r.percentage = QStringLiteral("100%");
                    });
                    outcome = QStringLiteral("-");
                    reason = FailureReason::emptyAnswer();
                }
                const bool ceilingReached = outcome == QLatin1String("ceiling");
                if (ceilingReached) {
                    reply->abort(); // the part received is kept
                }
                const TransferFile::Result placed = outcome.isEmpty() || ceilingReached
                                                        ? file->commit()
                                                        : TransferFile::Result::Failed;
                const QString placedName = file->name();
                if (placed != TransferFile::Result::Failed) {
                    m_list.update(rowId, [&](DownloadRow &r) { r.text = placedName; });
                }
                if (placed == TransferFile::Result::Skipped) {
                    markSkipped(rowId, file->target());
                    result = true;
                } else if (ceilingReached) {
                    const QString total = QString::number(file->written());
                    m_list.update(rowId, [&](DownloadRow &r) {
                        r.state = DownloadState::Finished;
                        r.downloaded = total;
                        r.percentage = QStringLiteral("大文件，跳过");
                    });
                    result = true;
                } else if (!outcome.isEmpty()) {
                    reply->abort();
                    file->discard();
                    fail(outcome == QLatin1String("-") ? QString() : outcome, reason);
                } else if (placed == TransferFile::Result::Failed) {
                    file->discard();
                    const QString existing = QString::number(QFileInfo(file->target()).size());
                    m_list.update(rowId, [&](DownloadRow &r) {
                        r.state = DownloadState::Failed;
                        r.fileSize = existing;
                        r.downloaded = existing;
                        r.percentage = text("Can not replace", "无法替换");
                        r.reason = file->errorString();
                    });
                } else {
                    const QString total = QString::number(file->written());
                    m_list.update(rowId, [&](DownloadRow &r) {
                        r.state = DownloadState::Finished;
                        if (!announced) {
                            r.fileSize = total;
                            r.downloaded = total;
                            r.percentage = QStringLiteral("100%");
                        }
                    });
                    result = true;
                    CorrectItemFileType(m_list, rowId);
                    AddBaseHrefToSavedPage(m_list, rowId, m_build);
                }
            }
        }
        if (reply && !reply->isFinished()) {
            reply->abort();
        }
        m_host.statusText(3, stateText(reply && reply->error() == QNetworkReply::NoError ? 12 : 10));
    }

    if (const DownloadRow *row = m_list.find(rowId)) {
        m_host.statusText(2, text("Downloaded", "完成下载:") + row->text);
    }
    if (endOfDownload(rowId)) {
        // The login is part of this row's end: the next row is not started before it ended.
        QCoro::Task<> login = m_host.loginSite();
        co_await login;
        if (!self) {
            co_return result;
        }
    }
    m_inetRunning = false;
    emit rowEnded(rowId);
    co_return result;
}

} // namespace harvly
