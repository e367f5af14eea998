#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

namespace harvly {

class BrowserSession;
class Program;
class fFileDownload;
class fWebSearch;

// The program's windows that live once each: created on first use and reused until they are
// closed; and the browsing session they share.
class Workspace final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Workspace)

public:
    // browserStorage: where the browser keeps its cookies and cache.
    Workspace(Program &program, const QString &browserStorage, QObject *parent = nullptr);
    ~Workspace() override;

    Program &program() const { return m_program; }
    BrowserSession &session() const { return *m_session; }

    fWebSearch *searchWindow(); // created when needed
    fWebSearch *loadedSearchWindow() const;
    fFileDownload *downloadWindow(); // created when needed
    fFileDownload *loadedDownloadWindow() const;

private:
    Program &m_program;
    std::unique_ptr<BrowserSession> m_session;
    QPointer<fWebSearch> m_search;
    QPointer<fFileDownload> m_download;
};

} // namespace harvly
