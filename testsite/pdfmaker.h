#pragma once

#include <QByteArray>
#include <QString>

namespace harvly::testsite {

// A valid one-page PDF that shows the title, in three parts so that a large one can be sent
// without being held whole: head, then `filler` bytes of 'x' (inside a comment), then tail.
struct PdfParts {
    QByteArray head;
    qint64 filler = 0;
    QByteArray tail;
};

// About minSize bytes in all (exactly, when minSize is larger than the frame).
PdfParts MakePdfParts(const QString &title, qint64 minSize = 0);

// The same, whole.
QByteArray MakePdf(const QString &title, int minSize = 0);

} // namespace harvly::testsite
