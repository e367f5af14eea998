#include "urls.h"

#include <QHash>

namespace harvly {

QString GetUrlRoot(const QString &url)
{
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    if (scheme >= 0) {
        const qsizetype slash = url.indexOf(QLatin1Char('/'), scheme + 3);
        return slash < 0 ? url : url.left(slash);
    }
    const qsizetype slash = url.indexOf(QLatin1Char('/'));
    return slash > 2 ? url.left(slash) : url;
}

QString GetUrlBase(const QString &url, bool toLastSlash)
{
    QString address = url.contains(QLatin1String("://")) ? url : QStringLiteral("http://") + url;
    const qsizetype scheme = address.indexOf(QLatin1String("://")) + 3;
    if (address.indexOf(QLatin1Char('/'), scheme) < 0) {
        address += QLatin1Char('/');
    }
    if (toLastSlash) {
        const qsizetype query = address.indexOf(QLatin1Char('?'));
        if (query >= 0) {
            address.truncate(query);
        }
        return address.left(address.lastIndexOf(QLatin1Char('/')) + 1);
    }
    return address.left(address.indexOf(QLatin1Char('/'), scheme) + 1);
}

namespace {

struct Mapping {
    QString result;
    bool sets; // the English build hands the result to the extension output
};

using SubtypeTable = QHash<QString, Mapping>;

SubtypeTable sameNames(std::initializer_list<const char *> names)
{
    SubtypeTable t;
    for (const char *n : names) {
        t.insert(QString::fromLatin1(n), {QString::fromLatin1(n), true});
    }
    return t;
}

const QHash<QString, SubtypeTable> &englishTable()
{
    static const QHash<QString, SubtypeTable> table = [] {
        QHash<QString, SubtypeTable> t;
        SubtypeTable app = sameNames({"kdh", "caj", "pdf", "caa", "nh"});
        app.insert("octet-stream", {"", false});
        app.insert("x-shockwave-flash", {"swf", true});
        app.insert("x-javascript", {"js", true});
        app.insert("vnd.rn-realmedia", {"vnd.rn-realmedia", false});
        app.insert("vnd.ms-wpl", {"wpl", true});
        t.insert("application", app);

        SubtypeTable text = sameNames({"html", "txt", "htm", "xml", "css"});
        text.insert("plain", {"plain", false});
        t.insert("text", text);

        SubtypeTable image =
            sameNames({"jpg", "jpeg", "gif", "png", "bmp", "tif", "pjpeg", "g3fax", "ief"});
        image.insert("tiff", {"tif", true});
        image.insert("x-png", {"png", true});
        image.insert("x-ms-bmp", {"bmp", true});
        image.insert("x-icon", {"ico", true});
        t.insert("image", image);

        t.insert("video", SubtypeTable{{"mpeg", {"mpeg", true}},
                                       {"mpeg4", {"mp4", true}},
                                       {"x-msvideo", {"avi", true}},
                                       {"x-ms-asf", {"asf", true}},
                                       {"quicktime", {"quicktime", false}}});
        t.insert("audio", SubtypeTable{{"amr", {"amr", true}},
                                       {"x-ms-wma", {"wma", true}},
                                       {"x-wav", {"wav", true}},
                                       {"x-pn-realaudio", {"ram", true}},
                                       {"midi", {"mid", true}},
                                       {"x-mpegurl", {"x-mpegurl", false}}});
        return t;
    }();
    return table;
}

const QHash<QString, SubtypeTable> &chineseTable()
{
    static const QHash<QString, SubtypeTable> table = [] {
        QHash<QString, SubtypeTable> t = englishTable();
        SubtypeTable &app = t["application"];
        const std::pair<const char *, const char *> added[] = {
            {"vnd.ms-works", "wps"},
            {"ppt", "ppt"},
            {"vnd.ms-powerpoint", "ppt"},
            {"doc", "doc"},
            {"msword", "doc"},
            {"docx", "docx"},
            {"vnd.openxmlformats-officedocument.wordprocessingml.document", "docx"},
            {"rtf", "rtf"},
            {"xls", "xls"},
            {"vnd.ms-excel", "xls"},
            {"x-excel", "xls"},
            {"xlsx", "xlsx"},
            {"vnd.openxmlformats-officedocument.spreadsheetml.sheet", "xlsx"},
            {"pptx", "pptx"},
            {"vnd.openxmlformats-officedocument.presentationml.presentation", "pptx"},
            {"pps", "pps"},
            {"ppsx", "ppsx"},
            {"vnd.openxmlformats-officedocument.presentationml.slideshow", "ppsx"},
            {"dll", "dll"},
            {"x-msdownload", "dll"},
            {"tar", "tar"},
            {"x-tar", "tar"},
            {"tgz", "tgz"},
            {"x-compressed", "tgz"},
            {"zip", "zip"},
            {"x-zip-compressed", "zip"},
            {"z", "z"},
            {"x-compress", "z"},
        };
        for (const auto &[sub, ext] : added) {
            app.insert(QString::fromLatin1(sub), {QString::fromLatin1(ext), false});
        }
        t["text"]["plain"] = {"txt", false};
        t["video"]["x-ms-wmv"] = {"wmv", false};
        t["video"]["quicktime"] = {"mov", false};
        t["audio"]["x-mpegurl"] = {"mpeg", false};
        t.insert("message", SubtypeTable{{"rfc822", {"mht", false}}});
        return t;
    }();
    return table;
}

QString englishExtension(const QString &contentType, QString *extension)
{
    const QStringList parts = contentType.split(QLatin1Char('/'));
    if (parts.size() != 2) {
        return contentType;
    }
    const QString type = parts.at(0).trimmed().toLower();
    const QString sub = parts.at(1).trimmed().remove(QLatin1Char(' ')).toLower();
    const auto table = englishTable().constFind(type);
    if (table == englishTable().constEnd()) {
        return contentType;
    }
    if (sub.isEmpty() || sub == QLatin1String("*")) {
        return type;
    }
    const auto row = table->constFind(sub);
    if (row == table->constEnd()) {
        return contentType;
    }
    if (row->sets && extension) {
        *extension = row->result;
    }
    return row->result;
}

QString compactExtension(const QString &contentType)
{
    const QStringList parts = contentType.split(QLatin1Char('/'));
    QString result;
    if (parts.size() != 2) {
        result = parts.at(0).trimmed().toLower();
    } else {
        const QString type = parts.at(0).trimmed().toLower();
        const QString sub = parts.at(1).trimmed().remove(QLatin1Char(' ')).toLower();
        if (sub.isEmpty() || sub == QLatin1String("*")) {
            return {};
        }
        result = sub;
        const auto table = chineseTable().constFind(type);
        if (table != chineseTable().constEnd()) {
            const auto row = table->constFind(sub);
            if (row != table->constEnd()) {
                result = row->result;
            }
        }
    }
    return LeadingLetterWord(result);
}

} // namespace

QString LeadingLetterWord(const QString &text)
{
    qsizetype end = 0;
    while (end < text.size() && text.at(end).toLower() >= QLatin1Char('a') &&
           text.at(end).toLower() <= QLatin1Char('z')) {
        ++end;
    }
    return end > 5 ? QString() : text.left(end).toLower();
}

QString ContentTypeToExtension(const QString &contentType, QString *extension, const Build &build)
{
    return build.compactContentTypes ? compactExtension(contentType)
                                     : englishExtension(contentType, extension);
}

QString GetFileNameFromUrl(const QString &url, QString *fileName)
{
    QString text = url;
    bool second = false;
    const qsizetype first = text.indexOf(QLatin1String("://"));
    if (first >= 0) {
        text = text.mid(first + 3);
        const qsizetype next = text.indexOf(QLatin1String("://"));
        if (next >= 0) {
            text = text.left(next);
            second = true;
        }
    }
    text.replace(QLatin1Char('/'), QLatin1Char('\\'));
    text = text.mid(text.lastIndexOf(QLatin1Char('\\')) + 1);

    const auto cutBefore = [&text](QChar c) {
        const qsizetype at = text.indexOf(c);
        if (at >= 0) {
            text.truncate(at);
        }
    };
    cutBefore(QLatin1Char('#'));
    for (const char c : {'\b', '\t', '\n', '\r'}) {
        cutBefore(QLatin1Char(c));
    }
    for (const QChar c : QStringLiteral(":*<>|\"'")) {
        cutBefore(c);
    }

    QString name = text;
    if (second && !text.isEmpty()) {
        const qsizetype at = url.indexOf(text);
        if (at >= 0) {
            name = url.mid(at);
        }
    }
    if (fileName) {
        *fileName = name;
    }
    cutBefore(QLatin1Char('='));
    cutBefore(QLatin1Char('?'));
    const qsizetype dot = text.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) {
        return {};
    }
    const QString ext = text.mid(dot + 1).trimmed();
    return ext.size() < 7 ? ext : QString();
}

bool IsFetchableAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace harvly
