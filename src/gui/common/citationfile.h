#pragma once

#include <QString>

class QWidget;

namespace harvly {

// The save dialog of "Export Citations...": one filter per format (RIS, BibTeX, CSL-JSON). A
// name typed without one of their extensions gets the chosen filter's, so the name always
// says the format. "" when cancelled.
QString AskCitationFile(QWidget *parent);

} // namespace harvly
