#include "combos.h"

#include "common/combolist.h"
#include "common/seconds.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
#include <QStyle>

namespace harvly {

void FitComboDropDownWidth(QComboBox *combo)
{
    int longest = -1;
    for (int i = 0; i < combo->count(); ++i) {
        if (longest < 0 || combo->itemText(i).size() > combo->itemText(longest).size()) {
            longest = i;
        }
    }
    if (longest < 0) {
        return;
    }
    int width = combo->fontMetrics().horizontalAdvance(combo->itemText(longest)) + 7;
    if (combo->count() >= 9) {
        width += combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    }
    if (const QScreen *screen = combo->screen()) {
        const int left = combo->mapToGlobal(QPoint(0, 0)).x() - screen->geometry().left();
        width = qMin(width, screen->geometry().width() - left);
    }
    combo->view()->setMinimumWidth(qMax(width, combo->width()));
}

void LoadComboItemsFromFile(QComboBox *combo, const QString &file)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    const qsizetype before = items.size();
    harvly::LoadComboItemsFromFile(items, file);
    combo->addItems(items.mid(before));
}

bool SaveComboItemsToFile(const QComboBox *combo, const QString &file)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items << combo->itemText(i);
    }
    return harvly::SaveComboItemsToFile(items, file);
}

void FillSecondsBox(QComboBox *combo, int from, int to, std::chrono::seconds value)
{
    combo->setEditable(true);
    for (int s = from; s <= to; ++s) {
        combo->addItem(QString::number(s));
    }
    combo->setCurrentText(QString::number(value.count()));
}

std::chrono::seconds BoxSeconds(const QComboBox *combo)
{
    return SecondsFromText(combo->currentText()).value_or(std::chrono::seconds(0));
}

} // namespace harvly
