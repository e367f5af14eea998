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
    void productText_data();
    void productText();
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

void tst_OsDescription::productText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("product");
    QTest::newRow("name and version number")
        << "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\nVERSION=\"12 (bookworm)\"\n"
        << QString::fromUtf8("Debian GNU/Linux 版本:12 (内部版本:6.1.0-18-amd64)");
    QTest::newRow("no version number: the version")
        << "NAME=Arch\nVERSION=rolling\n"
        << QString::fromUtf8("Arch 版本:rolling (内部版本:6.1.0-18-amd64)");
    QTest::newRow("no name: the description") << "PRETTY_NAME=Alpine\n"
                                              << "Alpine";
}

void tst_OsDescription::productText()
{
    QFETCH(QString, text);
    QFETCH(QString, product);
    QCOMPARE(OsProductText(text, "6.1.0-18-amd64"), product);
}

QTEST_GUILESS_MAIN(tst_OsDescription)
#include "tst_osdescription.moc"
