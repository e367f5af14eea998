#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace harvly {

enum class MessageKind { Information, Error, Question };

// A message with the application title as its caption. Information and errors are shown
// without waiting for the user (no nested event loop; safe inside a flow) and give true.
// Questions wait for Yes (true) or No: never ask one inside a flow.
bool ShowMessage(QWidget *parent, const QString &text, MessageKind kind);

} // namespace harvly
