#pragma once

#include "app/workspace.h"
#include "common/program.h"
#include "common/settings.h"
#include "search/articleanalysis.h"
#include "search/fwebsearch.h"
#include "testsite.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A search window on the sample site, its questions answered and its messages kept, for the
// tests that drive it and the windows it hands over to.
class SearchWindowFixture
{
protected:
    bool startSite() { return m_site.start(); }
    void openWindows()
    {
        using namespace std::chrono_literals;
        const harvly::Build build = harvly::Build::english();
        m_program = std::make_unique<harvly::Program>(
            build, std::make_unique<harvly::Settings>(build, m_dir.filePath("settings.ini")));
        m_program->siteAddress = m_site.url().toString();
        m_program->promptSavePath = 0;
        m_program->downloadSaveFolder = m_dir.filePath("dl") + "/";
        m_program->settings().set(harvly::Keys::PromptedSavePathWhenExtractInfo, false);
        m_workspace = std::make_unique<harvly::Workspace>(*m_program, m_dir.filePath("browser"));
        m_window = m_workspace->searchWindow();
        m_window->setHarvestTiming({10s, 50ms, 3s});
        m_window->analysis().setSecond(2ms);
        m_told.clear();
        m_asked.clear();
        m_window->prompts.tell = [this](const QString &t, bool) { m_told << t; };
        m_window->prompts.yesNo = [this](const QString &q) {
            m_asked << q;
            return m_answer;
        };
        m_window->prompts.text = [this](const QString &) { return std::optional<QString>(m_text); };
        m_window->show();
    }
    void closeWindows()
    {
        m_workspace.reset();
        m_program.reset();
    }

    QTemporaryDir m_dir;
    harvly::testsite::TestSite m_site;
    std::unique_ptr<harvly::Program> m_program;
    std::unique_ptr<harvly::Workspace> m_workspace;
    QPointer<harvly::fWebSearch> m_window;
    QStringList m_told;
    QStringList m_asked;
    bool m_answer = true;
    QString m_text;
};
