#include "common/combos.h"
#include "common/forms.h"
#include "common/listviews.h"
#include "common/settings.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QScreen>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

using namespace harvly;

class tst_GuiCommon : public QObject
{
    Q_OBJECT

private slots:
    void formsAreFoundByNameInAnyCase();
    void windowPlacementRoundTrip();
    void windowOnAnotherScreenOpensMaximised();
    void rowsAlternateGreenAndWhite();
    void columnsFitTheirContent();
    void comboItemsFromAndToTheRecentFile();

private:
    QTemporaryDir m_dir;
};

void tst_GuiCommon::formsAreFoundByNameInAnyCase()
{
    QWidget w;
    w.setObjectName("fFileDownload");
    QVERIFY(IsFormLoaded("ffiledownload"));
    QCOMPARE(FindForm("FFILEDOWNLOAD"), &w);
    QVERIFY(!IsFormLoaded("fWebSearch"));
    MarkFormUnloaded(&w);
    QVERIFY(!IsFormLoaded("fFileDownload"));
}

void tst_GuiCommon::windowPlacementRoundTrip()
{
    Settings settings(Build::english(), m_dir.filePath("pos.ini"));
    QWidget w;
    w.setObjectName("fFileDownload");
    w.setGeometry(40, 60, 700, 500);
    SaveFormPosition(&w, settings);
    QCOMPARE(settings.get(Keys::FormWidth, "fFileDownload"), 700 * 15);

    QWidget again;
    again.setObjectName("fFileDownload");
    LoadFormPosition(&again, settings);
    QVERIFY(!(again.windowState() & Qt::WindowMaximized));
    QCOMPARE(again.geometry(), QRect(40, 60, 700, 500));
}

void tst_GuiCommon::windowOnAnotherScreenOpensMaximised()
{
    Settings settings(Build::english(), m_dir.filePath("other.ini"));
    settings.set(Keys::FormResolution, "1*1", "fFileDownload");
    QWidget w;
    w.setObjectName("fFileDownload");
    LoadFormPosition(&w, settings);
    QVERIFY(w.windowState() & Qt::WindowMaximized);
}

void tst_GuiCommon::rowsAlternateGreenAndWhite()
{
    QTreeView view;
    SetListViewRowColors(&view, false, 13);
    QVERIFY(view.alternatingRowColors());
    QCOMPARE(view.palette().color(QPalette::AlternateBase), QColor(0xE7, 0xF8, 0xED));
    QCOMPARE(view.palette().color(QPalette::Base), QColor(Qt::white));
    QVERIFY(view.styleSheet().contains("13px"));
}

void tst_GuiCommon::columnsFitTheirContent()
{
    QStandardItemModel model(1, 2);
    model.setHorizontalHeaderLabels({"A", "B"});
    model.setItem(0, 0, new QStandardItem(QString(80, 'w')));
    model.setItem(0, 1, new QStandardItem("x"));
    QTreeView view;
    view.setModel(&model);
    view.setColumnWidth(0, 10);
    AutoSizeListViewColumns(&view);
    QVERIFY(view.columnWidth(0) > view.fontMetrics().horizontalAdvance(QString(80, 'w')));
    QVERIFY(view.columnWidth(1) >= view.fontMetrics().horizontalAdvance("B"));
    AutoSizeListViewColumn(&view, 3); // no such column: nothing happens
}

void tst_GuiCommon::comboItemsFromAndToTheRecentFile()
{
    const QString file = m_dir.filePath("SaveList.dat");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("/home/a\r\n/HOME/A\r\n/data/b\r\n");
    }
    QComboBox combo;
    combo.addItem("/data/B");
    LoadComboItemsFromFile(&combo, file);
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.itemText(1), QString("/home/a"));
    combo.addItem(QString(60, 'x'));
    FitComboDropDownWidth(&combo);
    QVERIFY(combo.view()->minimumWidth() > combo.fontMetrics().horizontalAdvance(QString(60, 'x')));
    combo.addItem(QString(3000, 'x'));
    FitComboDropDownWidth(&combo);
    QVERIFY(combo.view()->minimumWidth() <= combo.screen()->geometry().width());
    QVERIFY(SaveComboItemsToFile(&combo, file));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), "/data/B\r\n/home/a\r\n" + QByteArray(60, 'x') + "\r\n" +
                              QByteArray(3000, 'x') + "\r\n");
}

QTEST_MAIN(tst_GuiCommon)
#include "tst_guicommon.moc"
