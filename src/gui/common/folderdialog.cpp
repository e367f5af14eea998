#include "folderdialog.h"

#include "common/folderpicker.h"

#include <QFileDialog>

namespace harvly {

QString BrowseForFolder(QWidget *owner, const QString &startPath, const QString &title,
                        bool includeFiles)
{
    const QFileDialog::Options options =
        includeFiles ? QFileDialog::Options() : QFileDialog::ShowDirsOnly;
    const QString chosen =
        QFileDialog::getExistingDirectory(owner, title, BrowseStartFolder(startPath), options);
    return BrowseResult(chosen, startPath);
}

} // namespace harvly
