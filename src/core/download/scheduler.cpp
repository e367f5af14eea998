#include "scheduler.h"

#include "common/filenames.h"
#include "common/files.h"
#include "correction.h"
#include "downloader.h"
#include "downloadlist.h"
#include "failurereason.h"
#include "http/sessionnetwork.h"
#include "redownload.h"
#include "savenames.h"
#include "schedulerhost.h"
#include "transferfile.h"

#include <QDir>
#include <QNetworkProxy>
#include <QElapsedTimer>
#include <QFileInfo>

namespace harvly {

DownloadScheduler::DownloadScheduler(DownloadListModel &list, SessionNetwork &network,
                                     SchedulerHost &host, const Build &build, QObject *parent)
    : QObject(parent), m_list(list), m_network(network), m_host(host), m_build(build)
{
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    m_clock = [started] { return started->elapsed() / 1000.0; };
    LastDownloadEndTime = now();
}

DownloadScheduler::~DownloadScheduler() = default;

QString DownloadScheduler::text(const char *english, const char *chinese) const
{
    return m_build.isChinese() ? QString::fromUtf8(chinese) : QString::fromUtf8(english);
}

void DownloadScheduler::setTimerDown(bool enabled)
{
    if (m_timerDown != enabled) {
        m_timerDown = enabled;
        m_host.timerDownChanged(enabled);
    }
}

int DownloadScheduler::runningSlots() const
{
    int n = 0;
    for (int k = 1; k <= 6; ++k) {
        n += m_slots[size_t(k)].downloader ? 1 : 0;
    }
    return n;
}

void DownloadScheduler::menuStartDownload()
{
    setTimerDown(true);
}

void DownloadScheduler::menuStopDownload()
{
    options.autoStart = false;
    options.autoReDownload = false;
    setTimerDown(false);
    m_inetBusy = false; // a running single-request transfer sees it at its next chunk
    for (int k = 1; k <= 6; ++k) {
        m_slots[size_t(k)].downloader.reset();
    }
    for (int i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).state == DownloadState::Downloading) {
            m_list.update(m_list.at(i).id, [](DownloadRow &r) {
                r.state = DownloadState::Failed;
                r.reason = FailureReason::stopped();
            });
        }
    }
}

void DownloadScheduler::Command26_Click()
{
    options.way = options.way == 2 ? 1 : 2;
    options.threads = 1;
}

bool DownloadScheduler::IsWantToDownload(quint64 rowId)
{
    const DownloadRow *row = m_list.find(rowId);
    if (!row) {
        return false;
    }
    QString folder = row->savePath;
    if (folder.isEmpty() || !IsPathSeparator(folder.back())) {
        folder += QDir::separator();
    }
    const QString file = row->type.isEmpty() ? folder + row->text
                                             : folder + row->text + QLatin1Char('.') + row->type;
    if (PathTaken(file) && options.duplicateMode == DuplicateMode::Skip) {
        markSkipped(rowId, file);
        return false;
    }
    return true;
}

void DownloadScheduler::markSkipped(quint64 rowId, const QString &existing)
{
    const QString size = QString::number(QFileInfo(existing).size());
    m_list.update(rowId, [&](DownloadRow &r) {
        r.state = DownloadState::Finished;
        r.fileSize = size;
        r.downloaded = size;
        r.percentage = text("Already exists, skip", "已存在，跳过");
    });
}

quint64 DownloadScheduler::takeNextRow(bool createFolders)
{
    for (int i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).state != DownloadState::Waiting) {
            continue;
        }
        const quint64 id = m_list.at(i).id;
        bool noFolder = false;
        m_list.update(id, [&](DownloadRow &r) {
            r.text = MakeValidFileName(r.text, m_build);
            if (createFolders) {
                // A folder that cannot be made fails the row; it never falls back to the root.
                const QString folder = CreateFolderPath(r.savePath, m_build);
                noFolder = folder.isEmpty();
                if (noFolder) {
                    r.state = DownloadState::Failed;
                    r.reason = FailureReason::notAFolder();
                    return;
                }
                r.savePath = folder;
            }
            if (r.savePath.isEmpty() || !IsPathSeparator(r.savePath.back())) {
                r.savePath += QDir::separator();
            }
        });
        if (noFolder) {
            endOfSlot(id);
            continue;
        }
        if (IsWantToDownload(id)) {
            return id;
        }
    }
    return 0;
}

void DownloadScheduler::Timer_Down_Timer()
{
    if (m_list.size() == 0) {
        setTimerDown(false);
        return;
    }
    if (std::abs(now() - LastDownloadEndTime) <= options.interval) {
        return;
    }
    if (options.way != 2) {
        if (m_inetBusy || m_inetRunning) {
            return;
        }
        const quint64 id = takeNextRow(false);
        if (!id) {
            return;
        }
        m_list.update(id, [](DownloadRow &r) {
            r.state = DownloadState::Downloading;
            r.fileSize.clear();
            r.downloaded.clear();
            r.percentage.clear();
            r.reason.clear();
        });
        if (options.autoPositioning) {
            m_host.scrollTo(id);
        }
        m_slots[1].rowId = id;
        InetDownloadThisFile(id);
        return;
    }
    for (int k = 1; k <= qBound(1, options.threads, 6); ++k) {
        if (m_slots[size_t(k)].downloader) {
            continue;
        }
        const quint64 id = takeNextRow(true);
        if (!id) {
            continue;
        }
        const DownloadRow *row = m_list.find(id);
        // The name is reserved now, so the next slot of this tick picks another.
        auto file = std::make_unique<TransferFile>(row->savePath, row->text, row->type,
                                                   options.duplicateMode);
        const TransferFile::Result opened = file->open();
        const QString address = GetItemUrlFromKey(row->key);
        if (opened == TransferFile::Result::Skipped) {
            markSkipped(id, file->target());
            continue;
        }
        m_list.update(id, [&](DownloadRow &r) {
            r.state = DownloadState::Downloading;
            r.text = file->name();
        });
        if (options.autoPositioning) {
            m_host.scrollTo(id);
        }
        if (opened == TransferFile::Result::Failed) {
            const QString reason = file->errorString();
            m_list.update(id, [&](DownloadRow &r) {
                r.state = DownloadState::Failed;
                r.reason = reason;
            });
            endOfSlot(id);
            continue;
        }
        MultiThreadedDownload(k, id, address, std::move(file));
    }
}

void DownloadScheduler::Timer1_Timer()
{
    if (m_list.IsCompletedOfDownloadListView() && m_timerDown && !m_inetRunning && runningSlots() == 0) {
        setTimerDown(false);
        if (options.voicePrompts) {
            m_host.playSound(102);
        }
    }
    // Abandon rule: a slot that has not learnt its file's size in twenty minutes.
    for (int k = 1; k <= 6; ++k) {
        Slot &slot = m_slots[size_t(k)];
        if (!slot.downloader || now() - slot.startTime < double(limits.abandon.count())) {
            continue;
        }
        const DownloadRow *row = m_list.find(slot.rowId);
        if (!row || row->fileSize.isEmpty()) {
            slot.downloader.reset();
            m_list.update(slot.rowId, [](DownloadRow &r) {
                r.state = DownloadState::Failed;
                r.reason = FailureReason::abandoned();
            });
        }
    }
    if (options.way != 2) {
        if (!m_inetRunning && !m_timerDown) {
            m_inetBusy = false;
        }
    } else {
        m_inetBusy = runningSlots() > 0 && m_timerDown;
    }
    if (options.autoStart && m_list.StatisticsNotDownloadItemNumbers() >= 1) {
        setTimerDown(true);
    }
    if (options.autoReDownload && !m_timerDown) {
        if (options.reDownloadKind == 0 || options.reDownloadKind == 2) {
            ReDownloadErrItems(m_list);
        }
        if (options.reDownloadKind == 1 || options.reDownloadKind == 2) {
            ReDownloadHtmItems(m_list);
        }
        setTimerDown(true);
    }
    if (options.errorStop && m_list.CountErrorItems() >= 5 && m_timerDown) {
        setTimerDown(false);
        if (options.voicePrompts) {
            m_host.playSound(102);
        }
    }
}

void DownloadScheduler::MultiThreadedDownload(int slot, quint64 rowId, const QString &address,
                                              std::unique_ptr<TransferFile> file)
{
    Slot &s = m_slots[size_t(slot)];
    m_inetBusy = true;
    m_list.update(rowId, [](DownloadRow &r) {
        r.state = DownloadState::Downloading;
        r.fileSize.clear();
        r.downloaded.clear();
        r.percentage.clear();
        r.reason.clear();
    });
    s.rowId = rowId;
    s.startTime = now();
    s.downloader = std::make_unique<Downloader>(m_network, limits);
    Downloader *d = s.downloader.get();
    connect(d, &Downloader::DownloadProgress, this,
            [this, slot](qint64 read, qint64 expected) { slotProgress(slot, read, expected); });
    connect(d, &Downloader::DownloadError, this, [this, slot] { slotError(slot); });
    connect(d, &Downloader::DownloadComplete, this, [this, slot] { slotComplete(slot); });
    connect(d, &Downloader::DownloadSkipped, this, [this, slot](const QString &existing) {
        Slot &s = m_slots[size_t(slot)];
        const quint64 id = s.rowId;
        s.downloader.release()->deleteLater();
        markSkipped(id, existing);
        endOfSlot(id);
    });
    const DownloadRow *row = m_list.find(rowId);
    const QString referer = row ? row->tag : QString();
    if (options.openRefererFirst && !referer.isEmpty()) {
        auto held = std::make_shared<std::unique_ptr<TransferFile>>(std::move(file));
        QCoro::connect(m_host.openReferer(referer), d, [d, address, held, referer] {
            d->BeginDownload(address, std::move(*held), referer);
        });
    } else {
        d->BeginDownload(address, std::move(file), referer);
    }
}

void DownloadScheduler::slotProgress(int slot, qint64 read, qint64 expected)
{
    if (expected <= 0 || expected < read) {
        return;
    }
    m_list.update(m_slots[size_t(slot)].rowId, [&](DownloadRow &r) {
        r.fileSize = QString::number(expected);
        r.downloaded = QString::number(read);
        r.percentage = QString::number(read * 100 / expected) + QLatin1Char('%');
    });
}

void DownloadScheduler::slotError(int slot)
{
    Slot &s = m_slots[size_t(slot)];
    const quint64 id = s.rowId;
    const QString reason = s.downloader->failureReason();
    s.downloader.release()->deleteLater(); // it is still emitting
    m_list.update(id, [&](DownloadRow &r) {
        r.state = DownloadState::Failed;
        r.reason = reason;
    });
    endOfSlot(id);
}

void DownloadScheduler::slotComplete(int slot)
{
    Slot &s = m_slots[size_t(slot)];
    const quint64 id = s.rowId;
    const QString name = s.downloader->file()->name(); // the next free one, when a file came
    s.downloader.release()->deleteLater();
    m_list.update(id, [&](DownloadRow &r) {
        r.text = name;
        r.state = r.percentage == QLatin1String("100%") ? DownloadState::Finished
                                                        : DownloadState::Failed;
    });
    CorrectItemFileType(m_list, id);
    AddBaseHrefToSavedPage(m_list, id, m_build);
    endOfSlot(id);
}

bool DownloadScheduler::endOfDownload(quint64 rowId)
{
    bool login = false;
    const DownloadRow *row = m_list.find(rowId);
    if (row) {
        if (options.way == 2) {
            m_host.statusText(2, text("Downloaded:", "完成下载:") + row->text);
        }
        // The Chinese build takes xml answers for pages too.
        const bool page = m_build.isChinese() ? IsPageOrXmlType(row->type) : IsPageType(row->type);
        if (options.voicePrompts) {
            if (page) {
                m_host.playSound(101);
            }
            if (row->state == DownloadState::Failed) {
                m_host.playSound(103);
            }
        }
        login = options.autoLogin && page;
    }
    LastDownloadEndTime = now();
    return login;
}

void DownloadScheduler::endOfSlot(quint64 rowId)
{
    if (endOfDownload(rowId)) {
        m_host.loginSite(); // the parallel way does not wait for it
    }
    emit rowEnded(rowId);
}

QNetworkAccessManager *DownloadScheduler::networkFor(bool proxied, QString *error)
{
    if (!proxied) {
        return &m_network;
    }
    bool ok = false;
    const uint port = options.proxyPort.trimmed().toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || options.proxyHost.trimmed().isEmpty()) {
        *error = text("Bad proxy setting", "代理设置错误");
        return nullptr;
    }
    if (!m_proxyNetwork) {
        // A manager of its own for the proxy, sharing the session's cookies.
        m_proxyNetwork = std::make_unique<QNetworkAccessManager>();
        m_proxyNetwork->setCookieJar(m_network.cookies());
        m_network.cookies()->setParent(&m_network);
    }
    m_proxyNetwork->setProxy(
        QNetworkProxy(QNetworkProxy::HttpProxy, options.proxyHost.trimmed(), quint16(port)));
    return m_proxyNetwork.get();
}

} // namespace harvly
