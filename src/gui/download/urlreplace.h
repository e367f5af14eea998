#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;

namespace harvly {

class DownloadListModel;

// "Batch Replace URL": replaces a text in the address and referer of every download row.
class UrlReplace final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UrlReplace)

public:
    UrlReplace(DownloadListModel &list, const QString &applicationTitle, QWidget *parent = nullptr);

    void Command1_Click(); // Replace
    // How the dialog tells; tests listen themselves. error: with the error icon.
    std::function<void(const QString &text, bool error)> tell;

private:
    DownloadListModel &m_list;
    QLineEdit *m_find;
    QLineEdit *m_with;
};

} // namespace harvly
