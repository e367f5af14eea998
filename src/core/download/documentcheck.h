#pragma once

#include <QFuture>
#include <QString>

namespace harvly {

// What opening a downloaded PDF with a real PDF library found.
struct DocumentCheck {
    enum class Opens { Yes, Damaged, NeedsPassword };
    enum class Title { Found, NotFound, NoText, NotChecked };

    Opens opens = Opens::Yes;
    Title title = Title::NotChecked;
    int pages = 0;
    QString problem; // Damaged: what was found wrong; Yes: why it was not judged, if it was not
};

struct DownloadRow;

// The title a row's document should carry: its record's, else the row's own.
QString ExpectedTitle(const DownloadRow &row);
// What the check found, on the row: its page count, and a note for a document that needs a
// password, does not carry the title, or has no text to check it by.
void NoteDocumentCheck(DownloadRow &row, const DocumentCheck &check);

// Opens the PDF (Poppler) and reads the text of its first two pages and its Title field, to
// tell whether it opens and whether it carries title. A document that the library can open
// only by repairing it (a broken cross-reference table, junk in place of objects), or that has
// no pages, is damaged. Reads the file; safe to run on any thread, and meant for a worker.
DocumentCheck CheckPdfDocument(const QString &file, const QString &title);
// The same on the checks' own thread, one document at a time.
QFuture<DocumentCheck> CheckPdfDocumentLater(const QString &file, const QString &title);

} // namespace harvly
