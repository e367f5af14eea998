#include "common/formposition.h"
#include "common/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace harvly;

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void defaults_data();
    void defaults();
    void roundTripKeepsBuildsApart();
    void unreadableNumbersFallBack();
    void settingOfTheOtherBuildIsIgnored();
    void storedAsPlainText();
    void formPosition_data();
    void formPosition();
    void maximisedWindowStoresOnlyTheMarker();

private:
    QTemporaryDir m_dir;
};

void tst_Settings::defaults_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("prompt flag") << false << int(Setting::PromptedSavePathWhenExtractInfo) << "Set"
                                 << "PromptedSavePathWhenExtractInfo"
                                 << "1";
    QTest::newRow("download way") << false << int(Setting::DownloadMode) << "Set"
                                  << "DownloadMode"
                                  << "1";
    QTest::newRow("proxy off") << false << int(Setting::ProxyEffective) << "Set"
                               << "ProxyEffective"
                               << "0";
    QTest::newRow("threads, English") << false << int(Setting::Thread) << "download"
                                      << "Thread"
                                      << "2";
    QTest::newRow("threads, Chinese") << true << int(Setting::Thread) << "下载"
                                      << "线程"
                                      << "2";
    QTest::newRow("same-name rule, English")
        << false << int(Setting::DuplicateFileNameSetting) << "download"
        << "DuplicateFileNameSetting"
        << "Rename";
    QTest::newRow("same-name rule, Chinese")
        << true << int(Setting::DuplicateFileNameSetting) << "专利下载"
        << "DuplicateFileNameSetting"
        << "重命名";
    QTest::newRow("analysis delay") << false << int(Setting::SearchTimeInterval) << "search"
                                    << "timeinterval"
                                    << "60";
    QTest::newRow("bulk delay") << false << int(Setting::SpeedLimitDelay) << "Speedlimitdelay"
                                << "Combo1"
                                << "60";
    QTest::newRow("retry delay") << false << int(Setting::AnalysisOfDelay) << "AnalysisofDelay"
                                 << "Combo2"
                                 << "120";
    QTest::newRow("window height key keeps its spelling")
        << false << int(Setting::FormHeight) << "fFileDownload"
        << "hight"
        << "10000";
    QTest::newRow("copy rule") << false << int(Setting::CopyMoveOpIndex) << "Form_Copy_Move"
                               << "OpIndex"
                               << "4";
    QTest::newRow("size ceiling, Chinese") << true << int(Setting::MaxFileSizeMegabytes) << "设置"
                                           << "文件最大值"
                                           << "10";
}

void tst_Settings::defaults()
{
    QFETCH(bool, chinese);
    QFETCH(int, id);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const Build build = chinese ? Build::chinese() : Build::english();
    Settings settings(build, m_dir.filePath(QTest::currentDataTag()));
    const SettingEntry e = settings.entry(Setting(id));
    QCOMPARE(e.section, section);
    QCOMPARE(e.key, key);
    QCOMPARE(settings.storedText(Setting(id)), value);
}

void tst_Settings::roundTripKeepsBuildsApart()
{
    const QString en = m_dir.filePath("en.ini");
    const QString zh = m_dir.filePath("zh.ini");
    {
        Settings english(Build::english(), en);
        Settings chinese(Build::chinese(), zh);
        english.set(Keys::SavePathOfDownloadFile, "/data/en/");
        english.set(Keys::Thread, 4);
        english.set(Keys::DuplicateFileNameSetting, DuplicateMode::Skip);
        chinese.set(Keys::SavePathOfDownloadFile, "/数据/中/");
        chinese.set(Keys::Thread, 5);
        chinese.set(Keys::MaxFileSizeMegabytes, 2.5);
    }
    Settings english(Build::english(), en);
    Settings chinese(Build::chinese(), zh);
    QCOMPARE(english.get(Keys::SavePathOfDownloadFile), QString("/data/en/"));
    QCOMPARE(english.get(Keys::Thread), 4);
    QCOMPARE(english.get(Keys::DuplicateFileNameSetting), DuplicateMode::Skip);
    QCOMPARE(english.storedText(Setting::DuplicateFileNameSetting),
             QString("Skip")); // the word kept
    QCOMPARE(chinese.get(Keys::SavePathOfDownloadFile), QString("/数据/中/"));
    QCOMPARE(chinese.get(Keys::Thread), 5);
    QCOMPARE(chinese.get(Keys::MaxFileSizeMegabytes), 2.5);
    QCOMPARE(chinese.get(Keys::DuplicateFileNameSetting), DuplicateMode::Rename);
    QCOMPARE(chinese.storedText(Setting::DuplicateFileNameSetting), QString("重命名"));
}

void tst_Settings::unreadableNumbersFallBack()
{
    const QString file = m_dir.filePath("bad.ini");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Set]\nDownloadMode=two\n[download]\nThread=\" 3 \"\n"
                "[search]\ntimeinterval=abc\n[Speedlimitdelay]\nCombo1=-5\n"
                "[AnalysisofDelay]\nCombo2=\" 90.5 \"\n");
    }
    Settings settings(Build::english(), file);
    QCOMPARE(settings.get(Keys::DownloadMode), 1);
    QCOMPARE(settings.get(Keys::Thread), 3);
    // A delay typed as no number, or below zero, is the default; a fraction is cut off.
    using std::chrono::seconds;
    QCOMPARE(settings.get(Keys::SearchTimeInterval), seconds(60));
    QCOMPARE(settings.get(Keys::SpeedLimitDelay), seconds(60));
    QCOMPARE(settings.get(Keys::AnalysisOfDelay), seconds(90));
    settings.set(Keys::SearchTimeInterval, seconds(125));
    QCOMPARE(settings.storedText(Setting::SearchTimeInterval), QString("125"));
}

void tst_Settings::settingOfTheOtherBuildIsIgnored()
{
    Settings english(Build::english(), m_dir.filePath("other.ini"));
    QVERIFY(!english.has(Setting::MaxFileSizeMegabytes));
    english.set(Keys::MaxFileSizeMegabytes, 99);
    english.sync();
    QFile f(m_dir.filePath("other.ini"));
    QVERIFY(!f.exists() || (f.open(QIODevice::ReadOnly) && !f.readAll().contains("99")));
    QCOMPARE(english.get(Keys::MaxFileSizeMegabytes), 0.0);
}

void tst_Settings::storedAsPlainText()
{
    const QString file = m_dir.filePath("text.ini");
    {
        Settings settings(Build::english(), file);
        settings.set(Keys::FormWidth, 16000);
    }
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("width=16000"));
}

void tst_Settings::formPosition_data()
{
    QTest::addColumn<QString>("stored"); // INI lines under [fFileDownload]
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QRect>("twips");

    QTest::newRow("nothing stored: maximised") << "" << true << QRect();
    QTest::newRow("other screen: maximised") << "Resolution=1024*768\ntop=10" << true << QRect();
    QTest::newRow("saved maximised: maximised") << "Resolution=0*0" << true << QRect();
    QTest::newRow("same screen: restored")
        << "Resolution=1920*1080\ntop=300\nleft=450\nwidth=9000\nhight=6000" << false
        << QRect(450, 300, 9000, 6000);
    QTest::newRow("off-screen and tiny values are pulled back")
        << "Resolution=1920*1080\ntop=-50\nleft=-1\nwidth=100\nhight=100" << false
        << QRect(0, 0, 4000, 3000);
    QTest::newRow("missing values take their defaults")
        << "Resolution=1920*1080" << false << QRect(100, 100, 15000, 10000);
}

void tst_Settings::formPosition()
{
    QFETCH(QString, stored);
    QFETCH(bool, maximised);
    QFETCH(QRect, twips);
    const QString file = m_dir.filePath(QString("pos-%1.ini").arg(QTest::currentDataTag()));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[fFileDownload]\n" + stored.toUtf8() + "\n");
    }
    Settings settings(Build::english(), file);
    const FormPlacement p = LoadFormPosition(settings, "fFileDownload", QSize(1920, 1080));
    QCOMPARE(p.maximised, maximised);
    if (!maximised) {
        QCOMPARE(p.twips, twips);
    }
}

void tst_Settings::maximisedWindowStoresOnlyTheMarker()
{
    Settings settings(Build::english(), m_dir.filePath("max.ini"));
    FormPlacement normal{false, QRect(15, 30, 6000, 4500)};
    SaveFormPosition(settings, "fFileDownload", normal, QSize(800, 600));
    QCOMPARE(settings.get(Keys::FormResolution, "fFileDownload"), QString("800*600"));
    SaveFormPosition(settings, "fFileDownload", FormPlacement{true, QRect(0, 0, 1, 1)},
                     QSize(800, 600));
    QCOMPARE(settings.get(Keys::FormResolution, "fFileDownload"), QString("0*0"));
    QCOMPARE(settings.get(Keys::FormWidth, "fFileDownload"), 6000); // untouched
    const FormPlacement back = LoadFormPosition(settings, "fFileDownload", QSize(800, 600));
    QVERIFY(back.maximised);
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
