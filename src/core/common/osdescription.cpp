#include "osdescription.h"

#include <QFile>
#include <QHash>
#include <QSysInfo>

namespace harvly {

namespace {

QHash<QString, QString> osReleaseValues(const QString &osReleaseText)
{
    QHash<QString, QString> values;
    const QStringList lines = osReleaseText.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || eq <= 0) {
            continue;
        }
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 &&
            (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
            value.back() == value.front()) {
            value = value.mid(1, value.size() - 2);
        }
        values.insert(line.left(eq), value);
    }
    return values;
}

} // namespace

QString OsReleaseDescription(const QString &osReleaseText)
{
    const QHash<QString, QString> values = osReleaseValues(osReleaseText);
    if (!values.value("PRETTY_NAME").isEmpty()) {
        return values.value("PRETTY_NAME");
    }
    const QString name =
        (values.value("NAME") + QLatin1Char(' ') + values.value("VERSION")).trimmed();
    return name.isEmpty() ? QStringLiteral("Linux") : name;
}

QString OsProductText(const QString &osReleaseText, const QString &kernel)
{
    const QHash<QString, QString> values = osReleaseValues(osReleaseText);
    const QString name = values.value("NAME");
    if (name.isEmpty()) {
        return OsReleaseDescription(osReleaseText);
    }
    const QString version =
        values.value("VERSION_ID").isEmpty() ? values.value("VERSION") : values.value("VERSION_ID");
    return name + QStringLiteral(" 版本:") + version + QStringLiteral(" (内部版本:") + kernel +
           QLatin1Char(')');
}

QString OsDescription(bool productText)
{
    QString name;
#ifdef Q_OS_LINUX
    QFile f(QStringLiteral("/etc/os-release"));
    if (!f.open(QIODevice::ReadOnly)) {
        f.setFileName(QStringLiteral("/usr/lib/os-release"));
        f.open(QIODevice::ReadOnly);
    }
    const QString osRelease = QString::fromUtf8(f.readAll());
    name = productText ? OsProductText(osRelease, QSysInfo::kernelVersion())
                       : OsReleaseDescription(osRelease) +
                             QStringLiteral(" [Kernel: %1]").arg(QSysInfo::kernelVersion());
#else
    name = QSysInfo::prettyProductName() +
           QStringLiteral(" [Version: %1]").arg(QSysInfo::kernelVersion());
#endif
    const QString bits =
        QSysInfo::currentCpuArchitecture().contains(QLatin1String("64")) ? "64" : "32";
    return name + QLatin1Char('[') + bits + QStringLiteral("Bit]");
}

} // namespace harvly
