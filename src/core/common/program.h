#pragma once

#include "build.h"
#include "settings.h"

#include "http/sessionnetwork.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace harvly {

// What the whole program shares while it runs: which build it is, its settings, its one
// network manager (which carries the browsing session) and the facts computed at start-up.
class Program final
{
public:
    explicit Program(const Build &build, std::unique_ptr<Settings> settings = nullptr);
    Q_DISABLE_COPY_MOVE(Program)

    const Build &build() const { return m_build; }
    Settings &settings() { return *m_settings; }
    SessionNetwork &network() { return m_network; }

    QString osDescription;
    // The site the search window opens: the stored address, or one given for this run only.
    QString siteAddress;
    // Where the latest-version check asks and the maker's pages are: the stored address, or
    // one given for this run only; "" (a fresh install): no check, no links.
    QString updateServer;
    // The DOI resolver of this run only (the demo's sample site); "" uses the setting.
    QString doiResolver;
    // The options this run was started with (as "--site URL"); switching to the other build
    // passes them on.
    QStringList runArguments;
    // 1: harvesting asks for the save folder first; otherwise an analysis pass asks.
    int promptSavePath = 1;
    // The save-path dialog's choices: the download folder (with its trailing separator),
    // whether files keep their own names, and whether the last opening was cancelled.
    QString downloadSaveFolder;
    bool useOriginalFileName = false;
    bool savePathDialogCancelled = false;
    // Where the download window keeps its list between runs; "" (tests): not kept.
    QString listStoreFile;

private:
    Build m_build;
    std::unique_ptr<Settings> m_settings;
    SessionNetwork m_network;
};

} // namespace harvly
