#include "common/windowsversion.h"

#include <QTest>

using namespace harvly;

Q_DECLARE_METATYPE(WindowsVersionRecord)

class tst_WindowsVersion : public QObject
{
    Q_OBJECT

private slots:
    void name_data();
    void name();
};

namespace {

WindowsVersionRecord nt(int major, int minor, int build, int suite = 0, int type = 1,
                        quint32 product = 0, int spMajor = 0, int spMinor = 0)
{
    WindowsVersionRecord r;
    r.platformId = 2;
    r.major = major;
    r.minor = minor;
    r.build = build;
    r.suiteMask = suite;
    r.productType = type;
    r.productCode = product;
    r.servicePackMajor = spMajor;
    r.servicePackMinor = spMinor;
    return r;
}

} // namespace

void tst_WindowsVersion::name_data()
{
    QTest::addColumn<WindowsVersionRecord>("record");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("expected");

    WindowsVersionRecord ten = nt(6, 2, 9200);
    ten.kernelFileVersion = "10.0.19041.1";
    QTest::newRow("kernel above 6 names itself") << ten << false << "Windows 10.0.19041.1";
    WindowsVersionRecord eightOne = nt(6, 2, 9200);
    eightOne.kernelFileVersion = "6.3.9600.17031";
    QTest::newRow("kernel 6.3 is 8.1") << eightOne << false << "Windows 8.1 [6.3.9600.17031]";
    WindowsVersionRecord three = nt(6, 1, 7601, 0, 1, 1);
    three.kernelFileVersion = "6.1.7601";
    QTest::newRow("three-part kernel version falls through")
        << three << false << "Windows 7 Ultimate Edition [Version: 6.1.7601]";

    QTest::newRow("XP Professional SP3")
        << nt(5, 1, 2600, 0, 1, 0, 3) << false
        << "Windows XP Professional Service Pack 3 [Version: 5.1.2600]";
    QTest::newRow("XP Home") << nt(5, 1, 2600, 512) << false
                             << "Windows XP Home [Version: 5.1.2600]";
    QTest::newRow("XP other suite")
        << nt(5, 1, 2600, 4) << false << "Windows XP [Version: 5.1.2600]";
    QTest::newRow("2000 Advanced SP4.1")
        << nt(5, 0, 2195, 2, 3, 0, 4, 1) << false
        << "Windows 2000 Advanced Service Pack 4.1 [Version: 5.0.2195]";
    QTest::newRow("Server 2003 R2")
        << nt(5, 2, 3790, 274) << false << "Windows Server 2003 R2 Enterprise [Version: 5.2.3790]";
    QTest::newRow("Server 2003 other")
        << nt(5, 2, 3790, 8) << false << "Windows Server 2003 [Version: 5.2.3790]";
    QTest::newRow("Vista Home Premium") << nt(6, 0, 6002, 0, 1, 3) << false
                                        << "Windows Vista Home Premium Edition [Version: 6.0.6002]";
    QTest::newRow("Server 2008 R2 runs into its edition")
        << nt(6, 1, 7601, 0, 3, 10) << false
        << "Windows Server 2008 R2Server Enterprise Edition (full installation) [Version: "
           "6.1.7601]";
    QTest::newRow("Server 2012")
        << nt(6, 2, 9200, 0, 3, 7) << false
        << "Windows Server 2012 Server Standard Edition (full installation) "
           "[Version: 6.2.9200]";
    QTest::newRow("not activated") << nt(6, 4, 9841, 0, 1, 0xABCDABCD) << false
                                   << "Windows 10 Not activated product [Version: 6.4.9841]";
    QTest::newRow("unknown product code: no edition")
        << nt(6, 1, 7600, 0, 1, 200) << false << "Windows 7  [Version: 6.1.7600]";
    QTest::newRow("unknown family")
        << nt(6, 9, 1, 0, 1, 4) << false << "Unknown system Enterprise Edition [Version: 6.9.1]";
    QTest::newRow("unknown family, Chinese")
        << nt(6, 9, 1, 0, 1, 4) << true << "未知系统 Enterprise Edition [Version: 6.9.1]";
    QTest::newRow("NT 4") << nt(4, 0, 1381, 0, 1, 0, 6) << false
                          << "Windows NT 4.0 [Version: 4.0.1381]";

    WindowsVersionRecord osr2;
    osr2.platformId = 1;
    osr2.major = 4;
    osr2.build = 1111;
    osr2.servicePackText = QString("B") + QChar(0) + "garbage";
    QTest::newRow("95 OSR2 by its service text")
        << osr2 << false << "Windows 95 OSR2 [Version: 4.0.1111]";
    WindowsVersionRecord se = osr2;
    se.minor = 10;
    se.build = 2222;
    se.servicePackText = " A ";
    QTest::newRow("98 SE") << se << false << "Windows 98 SE [Version: 4.10.2222]";
    WindowsVersionRecord me = osr2;
    me.minor = 90;
    me.servicePackText.clear();
    QTest::newRow("Millennium") << me << false << "Windows Millennium Edition [Version: 4.90.1111]";
    WindowsVersionRecord dos;
    dos.platformId = 0;
    QTest::newRow("DOS") << dos << false << "DOS [Version: 0.0.0]";
    WindowsVersionRecord other;
    other.platformId = 3;
    other.major = 1;
    QTest::newRow("other platform") << other << false << "Unknown System Version! [Version: 1.0.0]";
}

void tst_WindowsVersion::name()
{
    QFETCH(WindowsVersionRecord, record);
    QFETCH(bool, chinese);
    QFETCH(QString, expected);
    QCOMPARE(GetWindowsVersionName(record, chinese ? Build::chinese() : Build::english()),
             expected);
}

QTEST_GUILESS_MAIN(tst_WindowsVersion)
#include "tst_windowsversion.moc"
