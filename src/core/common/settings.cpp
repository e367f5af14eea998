#include "settings.h"

#include "citationrecord.h"
#include "seconds.h"

#include <QCoreApplication>
#include <QDir>

namespace harvly {

namespace {

QString programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

SettingEntry englishEntry(Setting id)
{
    switch (id) {
    case Setting::SavePathOfDownloadFile:
        return {"Set", "SavePathOfDownloadFile", DefaultSaveFolder()};
    case Setting::PromptedSavePathWhenExtractInfo:
        return {"Set", "PromptedSavePathWhenExtractInfo", 1};
    case Setting::LastOpenedDirectory:
        return {"Set", "LastOpenedDirectory", programFolder()};
    case Setting::DownloadMode:
        return {"Set", "DownloadMode", 1};
    case Setting::ProxyEffective:
        return {"Set", "ProxyEffective", 0};
    case Setting::ProxyURL:
        return {"Set", "ProxyURL", QString()};
    case Setting::ProxyPort:
        return {"Set", "ProxyPort", QString()};
    case Setting::Thread:
        return {"download", "Thread", 2};
    case Setting::DuplicateFileNameSetting:
        return {"download", "DuplicateFileNameSetting", QStringLiteral("Rename")};
    case Setting::SearchTimeInterval:
        return {"search", "timeinterval", QStringLiteral("60")};
    case Setting::SpeedLimitDelay:
        return {"Speedlimitdelay", "Combo1", QStringLiteral("60")};
    case Setting::AnalysisOfDelay:
        return {"AnalysisofDelay", "Combo2", QStringLiteral("120")};
    case Setting::FormResolution:
        return {"fFileDownload", "Resolution", QStringLiteral("000")};
    case Setting::FormTop:
        return {"fFileDownload", "top", 100};
    case Setting::FormLeft:
        return {"fFileDownload", "left", 100};
    case Setting::FormWidth:
        return {"fFileDownload", "width", 15000};
    case Setting::FormHeight:
        return {"fFileDownload", "hight", 10000};
    case Setting::CopyMoveDestinationFolder:
        return {"Form_Copy_Move", "DestinationFolder", programFolder()};
    case Setting::CopyMoveOpIndex:
        return {"Form_Copy_Move", "OpIndex", 4};
    case Setting::MaxFileSizeMegabytes:
        return {};
    case Setting::SiteAddress:
        return {"Set", "SiteAddress", QStringLiteral("https://www.proquest.com/")};
    case Setting::CheckLatestVersion:
        return {"Set", "CheckLatestVersion", 1};
    case Setting::UpdateServer:
        return {"Set", "UpdateServer", QString()};
    case Setting::CheckPdfEnd:
        return {"Set", "CheckPdfEnd", 1};
    case Setting::Retries:
        return {"Set", "Retries", 5};
    case Setting::DoiResolver:
        return {"Set", "DoiResolver", kDefaultDoiResolver};
    case Setting::ExportAbsolutePaths:
        return {"Set", "ExportAbsolutePaths", 0};
    case Setting::CheckDocuments:
        return {"Set", "CheckDocuments", 1};
    }
    return {};
}

SettingEntry chineseEntry(Setting id)
{
    switch (id) {
    case Setting::Thread:
        return {"下载", "线程", 2};
    case Setting::DuplicateFileNameSetting:
        return {"专利下载", "DuplicateFileNameSetting", QStringLiteral("重命名")};
    case Setting::MaxFileSizeMegabytes:
        return {"设置", "文件最大值", 10.0};
    default:
        return englishEntry(id);
    }
}

} // namespace

QString DefaultSaveFolder()
{
    // The home folder's "12345" stands in for the drive-root folder of the Windows program.
    return QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/12345/"));
}

Settings::Settings(const Build &build)
    : m_build(build),
      m_store(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                          QStringLiteral("Harvly"), build.applicationTitle))
{
}

Settings::Settings(const Build &build, const QString &iniFile)
    : m_build(build), m_store(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

Settings::~Settings() = default;

SettingEntry Settings::entry(Setting id) const
{
    return m_build.ownSettingKeys ? chineseEntry(id) : englishEntry(id);
}

QString Settings::path(const SettingEntry &e, const QString &section) const
{
    return (section.isEmpty() ? e.section : section) + QLatin1Char('/') + e.key;
}

QVariant Settings::raw(Setting id, const QString &section) const
{
    const SettingEntry e = entry(id);
    if (e.key.isEmpty()) {
        return {};
    }
    const QVariant v = m_store->value(path(e, section));
    if (!v.isValid() || v.typeId() == QMetaType::QStringList) {
        return e.defaultValue;
    }
    return v;
}

QString Settings::storedText(Setting id, const QString &section) const
{
    return raw(id, section).toString();
}

template <> QString Settings::get(SettingKey<QString> key, const QString &section) const
{
    return storedText(key.id, section);
}

template <> int Settings::get(SettingKey<int> key, const QString &section) const
{
    bool ok = false;
    const int v = storedText(key.id, section).trimmed().toInt(&ok);
    return ok ? v : entry(key.id).defaultValue.toInt();
}

template <> bool Settings::get(SettingKey<bool> key, const QString &section) const
{
    bool ok = false;
    const int v = storedText(key.id, section).trimmed().toInt(&ok);
    return (ok ? v : entry(key.id).defaultValue.toInt()) == 1;
}

template <> double Settings::get(SettingKey<double> key, const QString &section) const
{
    bool ok = false;
    const double v = storedText(key.id, section).trimmed().toDouble(&ok);
    return ok ? v : entry(key.id).defaultValue.toDouble();
}

template <>
std::chrono::seconds Settings::get(SettingKey<std::chrono::seconds> key,
                                   const QString &section) const
{
    return SecondsFromText(storedText(key.id, section))
        .value_or(SecondsFromText(entry(key.id).defaultValue.toString())
                      .value_or(std::chrono::seconds(0)));
}

template <> DuplicateMode Settings::get(SettingKey<DuplicateMode> key, const QString &section) const
{
    // Stored as the option's caption of the build that wrote it.
    return DuplicateModeFromText(storedText(key.id, section), m_build);
}

void Settings::write(Setting id, const QString &value, const QString &section)
{
    const SettingEntry e = entry(id);
    if (!e.key.isEmpty()) {
        m_store->setValue(path(e, section), value);
    }
}

template <>
void Settings::set(SettingKey<QString> key, const QString &value, const QString &section)
{
    write(key.id, value, section);
}

template <> void Settings::set(SettingKey<int> key, const int &value, const QString &section)
{
    write(key.id, QString::number(value), section);
}

template <> void Settings::set(SettingKey<bool> key, const bool &value, const QString &section)
{
    write(key.id, value ? QStringLiteral("1") : QStringLiteral("0"), section);
}

template <> void Settings::set(SettingKey<double> key, const double &value, const QString &section)
{
    write(key.id, QString::number(value, 'g', 7), section);
}

template <>
void Settings::set(SettingKey<std::chrono::seconds> key, const std::chrono::seconds &value,
                   const QString &section)
{
    write(key.id, QString::number(value.count()), section);
}

template <>
void Settings::set(SettingKey<DuplicateMode> key, const DuplicateMode &value,
                   const QString &section)
{
    write(key.id, DuplicateModeText(value, m_build), section);
}

void Settings::sync()
{
    m_store->sync();
}

} // namespace harvly
