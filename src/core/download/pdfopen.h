#pragma once

#include <QString>

namespace harvly {

// What the PDF library read of a document. The library (Poppler, with its dozens of
// dependencies) is kept in a module of its own, loaded when the first document is checked,
// so that a program that checks none starts without it.
struct PdfOpened {
    enum class Result { Opened, DoesNotOpen, Locked };
    Result result = Result::DoesNotOpen;
    int pages = 0;
    QString text;    // the Title field, then the text of the first two pages
    QString problem; // the first thing the library found wrong, even when it opened the file
};

// The module's one function, found by the name below.
using OpenPdfFunction = void (*)(const QString &file, PdfOpened &opened);
inline constexpr char kOpenPdfSymbol[] = "harvly_open_pdf";

} // namespace harvly
