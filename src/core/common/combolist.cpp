#include "combolist.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace harvly {

namespace {
constexpr int kMaxLines = 100;
}

void LoadComboItemsFromFile(QStringList &items, const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return;
    }
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    int taken = 0;
    QString line;
    while (in.readLineInto(&line)) {
        line = line.trimmed();
        if (line.isEmpty()) {
            continue;
        }
        if (++taken > kMaxLines) {
            break;
        }
        if (!items.contains(line, Qt::CaseInsensitive)) {
            items.append(line);
        }
    }
}

bool SaveComboItemsToFile(const QStringList &items, const QString &file)
{
    // Written beside and renamed over, so a failed write never costs the old list.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray data;
    for (const QString &item : items) {
        data += item.toUtf8() + "\r\n";
    }
    if (items.isEmpty()) {
        data = "\r\n";
    }
    f.write(data);
    return f.commit();
}

} // namespace harvly
