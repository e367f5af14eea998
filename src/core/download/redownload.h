#pragma once

namespace harvly {

class DownloadListModel;

// Puts failed rows back into the queue: their file is deleted, the progress cleared, and a
// page row's type becomes "xxx" so the next download decides it anew. Returns how many.
int ReDownloadErrItems(DownloadListModel &list);
// The same for finished or failed page and xml rows.
int ReDownloadHtmItems(DownloadListModel &list);

} // namespace harvly
