#pragma once

#include <QByteArray>
#include <QString>

namespace harvly::testsite {

// A small but valid one-page PDF that shows the title; padding makes it about minSize bytes.
QByteArray MakePdf(const QString &title, int minSize = 0);

} // namespace harvly::testsite
