#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace harvly {

enum class MessageKind { Information, Error, Question };

// A modal message with the application title as its caption. Questions answer Yes (true)
// or No; the others always give true.
bool ShowMessage(QWidget *parent, const QString &text, MessageKind kind);

} // namespace harvly
