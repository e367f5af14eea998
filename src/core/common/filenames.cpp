#include "filenames.h"

#include <QRandomGenerator>

namespace harvly {

bool IsPathSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
#else
    return c == QLatin1Char('/');
#endif
}

qsizetype LastPathSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (IsPathSeparator(path.at(i))) {
            return i;
        }
    }
    return -1;
}

QString Utf8Left(const QString &text, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const char32_t cp = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                                 : char32_t(text.at(i).unicode());
        const int width = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        if (bytes + width > maxBytes) {
            break;
        }
        bytes += width;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

bool IsNumericText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        return false;
    }
    bool ok = false;
    t.toDouble(&ok);
    return ok;
}

bool IsCounterText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 18) { // 18 digits always fit a counter
        return false;
    }
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

QString CleanFileNameText(const QString &text, const Build &build)
{
    QString s = text;
    for (const QChar c : QStringLiteral("\\/:*?\"<>|")) {
        s.remove(c);
    }
    s.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).remove(QChar(0));
    qsizetype from = 0;
    while (from < s.size() && s.at(from) == QLatin1Char('.')) {
        ++from;
    }
    qsizetype to = s.size();
    while (to > from && s.at(to - 1) == QLatin1Char('.')) {
        --to;
    }
    s = Utf8Left(s.mid(from, to - from), build.fileNameByteLimit);
    return build.trimCleanedFileName ? s.trimmed() : s;
}

QString MakeValidFileName(const QString &text, const Build &build)
{
    const QString s = CleanFileNameText(text, build);
    if (s.trimmed().isEmpty() && !text.isEmpty()) {
        return QStringLiteral("untitled");
    }
    return s;
}

QString FitFileName(const QString &base, const QString &suffix)
{
    const int room = qMax(1, kMaxFileNameBytes - int(suffix.toUtf8().size()));
    const QString name = Utf8Left(base.isEmpty() ? QStringLiteral("untitled") : base, room);
    return name.isEmpty() ? QStringLiteral("_") : name;
}

namespace {

// Splits a file name at its last "."; an extension of 7 or more characters is no extension.
QString splitExtension(const QString &name, QString *base)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || name.size() - dot - 1 >= 7) {
        *base = name.trimmed();
        return {};
    }
    *base = name.left(dot).trimmed();
    return name.mid(dot + 1).trimmed();
}

} // namespace

QString SplitFileName(const QString &path, QString *baseName)
{
    const QString p = path.trimmed();
    const QString name = p.mid(LastPathSeparator(p) + 1);
    QString base;
    const QString ext = splitExtension(name, &base);
    if (baseName) {
        *baseName = base;
    }
    return ext;
}

QString GetFileNameFromPath(const QString &pathOrUrl, bool withoutExtension)
{
    // Addresses use "/" on every platform, so both separators count here.
    qsizetype cut = -1;
    for (qsizetype i = pathOrUrl.size() - 1; i >= 0; --i) {
        if (pathOrUrl.at(i) == QLatin1Char('/') || pathOrUrl.at(i) == QLatin1Char('\\')) {
            cut = i;
            break;
        }
    }
    QString name = pathOrUrl.mid(cut + 1).trimmed();
    if (withoutExtension) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot >= 0) {
            name = name.left(dot).trimmed();
        }
    }
    return name;
}

QString SplitFilePath(const QString &path, QString *extension, QString *baseName)
{
    const QString p = path.trimmed();
    const qsizetype sep = LastPathSeparator(p);
    const QString folder = p.left(sep + 1);
    const QString rest = p.mid(sep + 1);
    QString base;
    QString ext = splitExtension(rest, &base);
    if (base.isEmpty()) {
        base = rest;
        ext.clear();
    }
    if (extension) {
        *extension = ext;
    }
    if (baseName) {
        *baseName = base;
    }
    return folder;
}

QString SplitBracketNumber(const QString &name, QString *baseName)
{
    if (name.endsWith(QLatin1Char(']'))) {
        const qsizetype open = name.lastIndexOf(QLatin1Char('['));
        if (open > 0) {
            const QString number = name.mid(open + 1, name.size() - open - 2).trimmed();
            if (IsCounterText(number)) {
                *baseName = name.left(open);
                return number;
            }
        }
    }
    *baseName = name;
    return {};
}

QString RemoveLineBreaks(const QString &text)
{
    QString s = text;
    s.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).remove(QChar(0));
    return s;
}

QString GetRandomString(int length)
{
    static const QString chars =
        QStringLiteral("1234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString s;
    s.reserve(qMax(0, length));
    for (int i = 0; i < length; ++i) {
        s.append(chars.at(QRandomGenerator::global()->bounded(int(chars.size()))));
    }
    return s;
}

} // namespace harvly
