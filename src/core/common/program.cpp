#include "program.h"

namespace harvly {

Program::Program(const Build &build, std::unique_ptr<Settings> settings)
    : m_build(build), m_settings(settings ? std::move(settings) : std::make_unique<Settings>(build))
{
    siteAddress = m_settings->get(Keys::SiteAddress);
    updateServer = m_settings->get(Keys::UpdateServer);
    downloadSaveFolder = m_settings->get(Keys::SavePathOfDownloadFile);
}

} // namespace harvly
