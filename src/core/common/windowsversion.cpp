#include "windowsversion.h"

#include <QStringList>

namespace harvly {

namespace {

QString editionName(quint32 code)
{
    static const char *const names[] = {
        "An unknown product",
        "Ultimate Edition",
        "Home Basic Edition",
        "Home Premium Edition",
        "Enterprise Edition",
        "Home Basic Edition (N)",
        "Business Edition",
        "Server Standard Edition (full installation)",
        "Server Datacenter Edition (full installation)",
        "Small Business Server",
        "Server Enterprise Edition (full installation)",
        "Starter Edition",
        "Server Datacenter Edition (core installation)",
        "Server Standard Edition (core installation)",
        "Server Enterprise Edition (core installation)",
        "Server Enterprise Edition for Itanium-based Systems",
        "Business Edition (N)",
        "Web Server Edition",
        "Cluster Server Edition",
        "Home Server Edition",
        "Storage Server Express Edition",
        "Storage Server Standard Edition",
        "Storage Server Workgroup Edition",
        "Storage Server Enterprise Edition",
        "Server for Small Business Edition",
        "Small Business Server Premium Edition",
        "Home Premium Edition (N)",
        "Enterprise Edition (N)",
        "Ultimate Edition (N)",
    };
    if (code < std::size(names)) {
        return QString::fromLatin1(names[code]);
    }
    if (code == 0xABCDABCDu) {
        return QStringLiteral("Not activated product");
    }
    return {};
}

QString ntName(const WindowsVersionRecord &r, const Build &build)
{
    const bool server = r.productType == 3;
    switch (r.major) {
    case 3:
        return QStringLiteral("Windows NT 3.51");
    case 4:
        return QStringLiteral("Windows NT 4.0");
    case 5:
        if (r.minor == 0) {
            return r.suiteMask == 2     ? QStringLiteral("Windows 2000 Advanced")
                   : r.suiteMask == 128 ? QStringLiteral("Windows 2000 Data center")
                                        : QStringLiteral("Windows 2000");
        }
        if (r.minor == 1) {
            return r.suiteMask == 0     ? QStringLiteral("Windows XP Professional")
                   : r.suiteMask == 512 ? QStringLiteral("Windows XP Home")
                                        : QStringLiteral("Windows XP");
        }
        if (r.minor == 2) {
            switch (r.suiteMask) {
            case 0:
                return QStringLiteral("Windows Server 2003 Standard");
            case 2:
                return QStringLiteral("Windows Server 2003 Enterprise");
            case 128:
                return QStringLiteral("Windows Server 2003 Data center");
            case 274:
                return QStringLiteral("Windows Server 2003 R2 Enterprise");
            case 1024:
                return QStringLiteral("Windows Server 2003 Web Edition");
            default:
                return QStringLiteral("Windows Server 2003");
            }
        }
        return {};
    case 6: {
        QString family;
        switch (r.minor) {
        case 0:
            family = server ? "Windows Server 2008 " : "Windows Vista ";
            break;
        case 1:
            family = server ? "Windows Server 2008 R2" : "Windows 7 ";
            break;
        case 2:
            family = server ? "Windows Server 2012 " : "Windows 8 ";
            break;
        case 3:
            family = "Windows 8.1 ";
            break;
        case 4:
            family = "Windows 10 ";
            break;
        default:
            family = build.unknownWindowsFamily;
        }
        return family + editionName(r.productCode);
    }
    default:
        return {};
    }
}

QString servicePack(const WindowsVersionRecord &r)
{
    if ((r.major != 5 && r.major != 6) || r.servicePackMajor <= 0) {
        return {};
    }
    QString sp = QStringLiteral(" Service Pack %1").arg(r.servicePackMajor);
    if (r.servicePackMinor > 0) {
        sp += QStringLiteral(".%1").arg(r.servicePackMinor);
    }
    return sp;
}

} // namespace

QString GetWindowsVersionName(const WindowsVersionRecord &r, const Build &build)
{
    const QStringList parts = r.kernelFileVersion.split(QLatin1Char('.'));
    if (parts.size() == 4) {
        const int major = parts.at(0).toInt();
        const int minor = parts.at(1).toInt();
        if (major > 6) {
            return QStringLiteral("Windows ") + r.kernelFileVersion;
        }
        if (major == 6 && minor >= 3) {
            return QStringLiteral("Windows 8.1 [") + r.kernelFileVersion + QLatin1Char(']');
        }
    }

    // The 9x service text is a fixed-size field; only its text up to the first NUL counts.
    const QString service = r.servicePackText.section(QChar(0), 0, 0).trimmed();
    QString name;
    switch (r.platformId) {
    case 0:
        name = QStringLiteral("DOS");
        break;
    case 1:
        if (r.minor == 0) {
            name = (service == "C" || service == "B") ? QStringLiteral("Windows 95 OSR2")
                                                      : QStringLiteral("Windows 95");
        } else if (r.minor == 10) {
            name = service == "A" ? QStringLiteral("Windows 98 SE") : QStringLiteral("Windows 98");
        } else if (r.minor == 90) {
            name = QStringLiteral("Windows Millennium Edition");
        }
        break;
    case 2:
        name = ntName(r, build) + servicePack(r);
        break;
    default:
        name = QStringLiteral("Unknown System Version!");
    }
    return name + QStringLiteral(" [Version: %1.%2.%3]").arg(r.major).arg(r.minor).arg(r.build);
}

} // namespace harvly
