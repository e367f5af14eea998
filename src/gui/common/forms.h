#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace harvly {

class Settings;

// The open top-level window with that object name (compared case-insensitively), if any.
QWidget *FindForm(const QString &formName);
bool IsFormLoaded(const QString &formName);
// A window that is closing for good counts as unloaded from now on, even while Qt still
// holds it for deletion.
void MarkFormUnloaded(QWidget *form);

// Opens a dialog modal to its window without a nested event loop; it deletes itself once
// closed.
void OpenDialog(QDialog *dialog);

// Stored window placement, by the window's object name as the section.
void LoadFormPosition(QWidget *form, const Settings &settings);
void SaveFormPosition(const QWidget *form, Settings &settings);

} // namespace harvly
