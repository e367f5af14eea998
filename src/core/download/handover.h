#pragma once

#include "common/citationrecord.h"

#include <QString>

#include <optional>

namespace harvly {

class DownloadListModel;
class Program;

// Queues one document for download: the row is named after the title (or, when the user
// keeps original names, after the address's file name), made a valid file name, and saved
// to savePath or else the program's download folder. Nothing happens for a known address.
std::optional<quint64> AddDownloadRow(DownloadListModel &list, const Program &program,
                                      const QString &url, const QString &title,
                                      const QString &articleType, const QString &ref,
                                      const QString &savePath, SharedRecord record = {});

} // namespace harvly
