#pragma once

#include <QString>

namespace harvly {

class DownloadListModel;

// A row fetched again keeps its earlier file (DownloadRow::earlier) until the new one has
// arrived whole. These are the rules of that hand-over.

// False when the row's earlier file is a document and what arrived is a web page (a login
// or error page sent in its place): such an answer does not replace the document.
bool BringsTheDocument(const QString &earlier, const QString &arrived);

// After a row's attempt ended. Finished: an earlier file that the new one did not replace
// by name (its type changed, "htm" to "pdf") is removed, being the row's superseded copy;
// only a file in the row's folder under the row's own name is ever removed. Failed: the row
// points at its earlier file again (name and type), which stays in place.
void SettleEarlierFile(DownloadListModel &list, quint64 rowId);

} // namespace harvly
