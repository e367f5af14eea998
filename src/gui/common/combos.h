#pragma once

#include <QString>

class QComboBox;

namespace harvly {

// Widens the drop-down list so its longest item shows whole, within the screen.
void FitComboDropDownWidth(QComboBox *combo);
// The combo's items from and to a recent-entries file.
void LoadComboItemsFromFile(QComboBox *combo, const QString &file);
bool SaveComboItemsToFile(const QComboBox *combo, const QString &file);

} // namespace harvly
