#pragma once

class QAbstractItemView;
class QTreeView;

namespace harvly {

// Rows alternate light green and white; rowHeightPixels > 0 fixes the row height, else
// it follows the font, four pixels taller with extraSpace.
void SetListViewRowColors(QAbstractItemView *view, bool extraSpace, int rowHeightPixels);
// Fits a column (1-based) or every column to its content and header.
void AutoSizeListViewColumn(QTreeView *view, int column);
void AutoSizeListViewColumns(QTreeView *view);

} // namespace harvly
