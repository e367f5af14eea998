#pragma once

#include "build.h"

#include <QString>

namespace harvly {

// What Windows tells about itself: the version of its kernel library and the extended
// version information.
struct WindowsVersionRecord {
    QString kernelFileVersion; // "10.0.19041.1"; empty when the file has no version
    int platformId = 2;        // 0 DOS, 1 Windows 9x, 2 NT
    int major = 0;
    int minor = 0;
    int build = 0;
    int servicePackMajor = 0;
    int servicePackMinor = 0;
    int suiteMask = 0;
    int productType = 1; // 1 workstation, 2 domain controller, 3 server
    quint32 productCode = 0;
    QString servicePackText; // "A", "B", "C" on the 9x variants
};

// One line naming the Windows that the record describes.
QString GetWindowsVersionName(const WindowsVersionRecord &record, const Build &build);

} // namespace harvly
