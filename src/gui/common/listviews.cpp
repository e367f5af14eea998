#include "listviews.h"

#include <QHeaderView>
#include <QTableView>
#include <QTreeView>

namespace harvly {

void SetListViewRowColors(QAbstractItemView *view, bool extraSpace, int rowHeightPixels)
{
    QPalette palette = view->palette();
    palette.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0xFF));
    palette.setColor(QPalette::AlternateBase, QColor(0xE7, 0xF8, 0xED));
    view->setPalette(palette);
    view->setAlternatingRowColors(true);

    int height = view->fontMetrics().height() + 1 + (extraSpace ? 4 : 0);
    if (rowHeightPixels > 0) {
        height = rowHeightPixels;
    }
    if (auto *table = qobject_cast<QTableView *>(view)) {
        table->verticalHeader()->setMinimumSectionSize(1);
        table->verticalHeader()->setDefaultSectionSize(height);
    } else if (auto *tree = qobject_cast<QTreeView *>(view)) {
        tree->setUniformRowHeights(true);
        tree->setStyleSheet(QStringLiteral("QTreeView::item { height: %1px; }").arg(height));
    }
}

void AutoSizeListViewColumn(QTreeView *view, int column)
{
    if (view->model() && column >= 1 && column <= view->model()->columnCount()) {
        view->resizeColumnToContents(column - 1);
        const int header = view->header()->sectionSizeHint(column - 1);
        if (view->columnWidth(column - 1) < header) {
            view->setColumnWidth(column - 1, header);
        }
    }
}

void AutoSizeListViewColumns(QTreeView *view)
{
    const int count = view->model() ? view->model()->columnCount() : 0;
    for (int c = 1; c <= count; ++c) {
        AutoSizeListViewColumn(view, c);
    }
}

} // namespace harvly
