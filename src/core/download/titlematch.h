#pragma once

#include <QString>
#include <QStringList>

namespace harvly {

// The words of a text as the title check compares them: folded in case and width (NFKC),
// punctuation dropped, a word broken across lines by a hyphen joined again, and each Chinese,
// Japanese or Korean character a word of its own.
QStringList TitleWords(const QString &text);

// Whether a document's text carries a title: at least 80% of the title's words appear in the
// text in the title's order (not necessarily side by side). An empty title matches nothing.
bool TextCarriesTitle(const QString &title, const QString &text);

} // namespace harvly
