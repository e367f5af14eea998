#pragma once

#include <QString>

#include <chrono>

class QComboBox;

namespace harvly {

// Widens the drop-down list so its longest item shows whole, within the screen.
void FitComboDropDownWidth(QComboBox *combo);
// The combo's items from and to a recent-entries file.
void LoadComboItemsFromFile(QComboBox *combo, const QString &file);
bool SaveComboItemsToFile(const QComboBox *combo, const QString &file);
// A box of delays: the whole seconds from..to to pick, any number to type, value shown.
void FillSecondsBox(QComboBox *combo, int from, int to, std::chrono::seconds value);
// The delay the box holds; a text that is no number is none.
std::chrono::seconds BoxSeconds(const QComboBox *combo);

} // namespace harvly
