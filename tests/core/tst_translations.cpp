#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

// The Chinese program shows every text of the English one in Chinese.
class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated();
    void compiledTextsLoad();
};

void tst_Translations::everyTextIsTranslated()
{
    QFile f(QStringLiteral(HARVLY_ZH_TS));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString ts = QString::fromUtf8(f.readAll());
    const QRegularExpression message(
        QStringLiteral("<source>(.*?)</source>\\s*<translation([^>]*)>(.*?)</translation>"),
        QRegularExpression::DotMatchesEverythingOption);
    int count = 0;
    for (auto it = message.globalMatch(ts); it.hasNext();) {
        const auto m = it.next();
        ++count;
        QVERIFY2(!m.captured(2).contains("unfinished"), qPrintable(m.captured(1)));
        QVERIFY2(!m.captured(3).trimmed().isEmpty(), qPrintable(m.captured(1)));
    }
    QVERIFY(count > 50);
    QCOMPARE(ts.count("<source>"), count);
}

void tst_Translations::compiledTextsLoad()
{
    QTranslator t;
    QVERIFY(t.load(QStringLiteral(HARVLY_ZH_QM)));
    QCOMPARE(t.translate("harvly::fWebSearch", "Add all pages to list"), QString("加入全部到列表"));
    QCOMPARE(t.translate("harvly::fWebSearch", "Stop Add all pages"), QString("停止加入全部"));
    QCOMPARE(t.translate("harvly", "Folder Settings Error！"), QString("文件夹设置错误！"));
}

QTEST_GUILESS_MAIN(tst_Translations)
#include "tst_translations.moc"
