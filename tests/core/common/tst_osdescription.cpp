#include "common/osdescription.h"

#include <QRegularExpression>
#include <QTest>

using namespace harvly;

class tst_OsDescription : public QObject
{
    Q_OBJECT

private slots:
    void osRelease_data();
    void osRelease();
    void runningSystemEndsWithItsWidth();
};

void tst_OsDescription::osRelease_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("description");

    QTest::newRow("quoted pretty name")
        << "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
        << "Debian GNU/Linux 12 (bookworm)";
    QTest::newRow("single quotes, comments, spaces")
        << "# comment\n  PRETTY_NAME='Fedora Linux 39'  \n"
        << "Fedora Linux 39";
    QTest::newRow("unquoted") << "PRETTY_NAME=Alpine\n"
                              << "Alpine";
    QTest::newRow("name and version without pretty name")
        << "NAME=\"Ubuntu\"\nVERSION=\"22.04 LTS\"\n"
        << "Ubuntu 22.04 LTS";
    QTest::newRow("empty pretty name falls back") << "PRETTY_NAME=\"\"\nNAME=Arch\n"
                                                  << "Arch";
    QTest::newRow("nothing at all") << ""
                                    << "Linux";
}

void tst_OsDescription::osRelease()
{
    QFETCH(QString, text);
    QFETCH(QString, description);
    QCOMPARE(OsReleaseDescription(text), description);
}

void tst_OsDescription::runningSystemEndsWithItsWidth()
{
    const QString d = OsDescription();
    QVERIFY2(QRegularExpression(R"(^.+ \[Kernel: .+\]\[(64|32)Bit\]$)").match(d).hasMatch(),
             qPrintable(d));
#if defined(Q_PROCESSOR_X86_64) || defined(Q_PROCESSOR_ARM_64)
    QVERIFY(d.endsWith("[64Bit]"));
#endif
}

QTEST_GUILESS_MAIN(tst_OsDescription)
#include "tst_osdescription.moc"
