#include "citationrecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QUrl>

namespace harvly {

namespace {

int monthOf(const QString &word)
{
    static const char *const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    const QString w = word.left(3).toLower();
    for (int i = 0; i < 12; ++i) {
        if (w == QLatin1String(months[i])) {
            return i + 1;
        }
    }
    return 0;
}

CitationDate checked(int year, int month, int day)
{
    if (year < 1000 || year > 2999) {
        return {};
    }
    if (month < 1 || month > 12) {
        return {year, 0, 0};
    }
    return {year, month, day >= 1 && day <= 31 ? day : 0};
}

bool hasCjk(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x3040 && u <= 0x30ff) || (u >= 0x3400 && u <= 0x9fff) ||
            (u >= 0xac00 && u <= 0xd7af) || (u >= 0xf900 && u <= 0xfaff)) {
            return true;
        }
    }
    return false;
}

} // namespace

QString CitationName::displayName() const
{
    if (!literal.isEmpty()) {
        return literal;
    }
    return given.isEmpty() ? family : given + QLatin1Char(' ') + family;
}

bool CitationRecord::isEmpty() const
{
    CitationRecord withoutPage = *this;
    withoutPage.pageUrl.clear();
    return withoutPage == CitationRecord{};
}

QString CitationRecord::pages() const
{
    if (firstPage.isEmpty()) {
        return lastPage.isEmpty() ? QString() : lastPage;
    }
    return lastPage.isEmpty() || lastPage == firstPage ? firstPage
                                                       : firstPage + QLatin1Char('-') + lastPage;
}

SharedRecord ShareRecord(CitationRecord record)
{
    if (record.isEmpty()) {
        return nullptr; // the page alone says nothing of the work
    }
    return std::make_shared<const CitationRecord>(std::move(record));
}

QString NormalizeDoi(const QString &text)
{
    QString doi = QUrl::fromPercentEncoding(text.trimmed().toUtf8()).trimmed();
    static const QRegularExpression prefix(
        QStringLiteral("^(?:doi:\\s*|(?:https?://)?(?:dx\\.)?doi\\.org/)"),
        QRegularExpression::CaseInsensitiveOption);
    doi.remove(prefix);
    doi = doi.trimmed().toLower();
    static const QString trailing = QStringLiteral(".,;:)]}>'\"");
    while (!doi.isEmpty() && (trailing.contains(doi.back()) || doi.back().isSpace())) {
        doi.chop(1);
    }
    static const QRegularExpression shape(QStringLiteral("^10\\.\\d{4,9}/\\S+$"));
    return shape.match(doi).hasMatch() ? doi : QString();
}

CitationDate ParseCitationDate(const QString &text)
{
    const QString t = text.simplified();
    // 2021/03/04, 2021-03-04, 2021-03, 2021, 2021-03-04T10:00:00Z, 2021.03.04
    static const QRegularExpression numeric(
        QStringLiteral("^(\\d{4})(?:[-/.](\\d{1,2})(?:[-/.](\\d{1,2}))?)?(?:[T ].*)?$"));
    QRegularExpressionMatch m = numeric.match(t);
    if (m.hasMatch()) {
        return checked(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    // 4 March 2021, 4 Mar. 2021
    static const QRegularExpression dayFirst(
        QStringLiteral("^(\\d{1,2})\\s+([A-Za-z]+)\\.?,?\\s+(\\d{4})$"));
    m = dayFirst.match(t);
    if (m.hasMatch() && monthOf(m.captured(2)) > 0) {
        return checked(m.captured(3).toInt(), monthOf(m.captured(2)), m.captured(1).toInt());
    }
    // March 4, 2021; March 2021
    static const QRegularExpression monthFirst(
        QStringLiteral("^([A-Za-z]+)\\.?\\s+(?:(\\d{1,2}),?\\s+)?(\\d{4})$"));
    m = monthFirst.match(t);
    if (m.hasMatch() && monthOf(m.captured(1)) > 0) {
        return checked(m.captured(3).toInt(), monthOf(m.captured(1)), m.captured(2).toInt());
    }
    // 2021年3月4日
    static const QRegularExpression chinese(
        QStringLiteral("^(\\d{4})年(?:(\\d{1,2})月(?:(\\d{1,2})日)?)?$"));
    m = chinese.match(t);
    if (m.hasMatch()) {
        return checked(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    }
    return {};
}

CitationName ParseCitationName(const QString &text)
{
    const QString name = text.simplified();
    if (name.isEmpty()) {
        return {};
    }
    if (hasCjk(name)) {
        return {{}, {}, name};
    }
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    if (comma > 0 && comma < name.size() - 1) {
        return {name.left(comma).trimmed(), name.mid(comma + 1).trimmed(), {}};
    }
    const qsizetype space = name.lastIndexOf(QLatin1Char(' '));
    if (space <= 0) {
        return {{}, {}, name};
    }
    return {name.mid(space + 1), name.left(space), {}};
}

QString CslTypeName(CitationType type)
{
    switch (type) {
    case CitationType::Article:
        return QStringLiteral("article-journal");
    case CitationType::Conference:
        return QStringLiteral("paper-conference");
    case CitationType::Report:
        return QStringLiteral("report");
    case CitationType::Unknown:
        break;
    }
    return QStringLiteral("document");
}

CitationType CitationTypeFromCsl(const QString &name)
{
    for (const CitationType t :
         {CitationType::Article, CitationType::Conference, CitationType::Report}) {
        if (name == CslTypeName(t)) {
            return t;
        }
    }
    return CitationType::Unknown;
}

QJsonObject RecordToCslJson(const CitationRecord &r)
{
    QJsonObject o;
    const auto put = [&o](const char *name, const QString &value) {
        if (!value.isEmpty()) {
            o.insert(QLatin1String(name), value);
        }
    };
    o.insert(QStringLiteral("type"), CslTypeName(r.type));
    put("title", r.title);
    if (!r.authors.isEmpty()) {
        QJsonArray authors;
        for (const CitationName &n : r.authors) {
            QJsonObject a;
            if (!n.literal.isEmpty()) {
                a.insert(QStringLiteral("literal"), n.literal);
            } else {
                a.insert(QStringLiteral("family"), n.family);
                if (!n.given.isEmpty()) {
                    a.insert(QStringLiteral("given"), n.given);
                }
            }
            authors.append(a);
        }
        o.insert(QStringLiteral("author"), authors);
    }
    if (!r.issued.isEmpty()) {
        QJsonArray parts{r.issued.year};
        if (r.issued.month > 0) {
            parts.append(r.issued.month);
            if (r.issued.day > 0) {
                parts.append(r.issued.day);
            }
        }
        o.insert(QStringLiteral("issued"),
                 QJsonObject{{QStringLiteral("date-parts"), QJsonArray{parts}}});
    }
    put("container-title", r.containerTitle);
    put("volume", r.volume);
    put("issue", r.issue);
    put("page", r.pages());
    put("DOI", r.doi);
    put("ISSN", r.issn);
    put("publisher", r.publisher);
    put("language", r.language);
    put("abstract", r.abstract);
    put("keyword", r.keywords.join(QStringLiteral(", ")));
    put("URL", r.pageUrl);
    return o;
}

CitationRecord RecordFromCslJson(const QJsonObject &o, const QString &pdfUrl)
{
    CitationRecord r;
    const auto text = [&o](const char *name) { return o.value(QLatin1String(name)).toString(); };
    r.type = CitationTypeFromCsl(text("type"));
    r.title = text("title");
    for (const QJsonValue &v : o.value(QStringLiteral("author")).toArray()) {
        const QJsonObject a = v.toObject();
        r.authors.append({a.value(QStringLiteral("family")).toString(),
                          a.value(QStringLiteral("given")).toString(),
                          a.value(QStringLiteral("literal")).toString()});
    }
    const QJsonArray parts = o.value(QStringLiteral("issued"))
                                 .toObject()
                                 .value(QStringLiteral("date-parts"))
                                 .toArray()
                                 .at(0)
                                 .toArray();
    r.issued = {parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt()};
    r.containerTitle = text("container-title");
    r.volume = text("volume");
    r.issue = text("issue");
    const QString page = text("page");
    const qsizetype dash = page.indexOf(QLatin1Char('-'));
    r.firstPage = dash < 0 ? page : page.left(dash);
    r.lastPage = dash < 0 ? QString() : page.mid(dash + 1);
    r.doi = text("DOI");
    r.issn = text("ISSN");
    r.publisher = text("publisher");
    r.language = text("language");
    r.abstract = text("abstract");
    if (!text("keyword").isEmpty()) {
        r.keywords = text("keyword").split(QStringLiteral(", "));
    }
    r.pageUrl = text("URL");
    r.pdfUrl = pdfUrl;
    return r;
}

void InsertRecord(QJsonObject &object, const SharedRecord &record, const QString &pdfKey)
{
    if (!record) {
        return;
    }
    object.insert(QStringLiteral("record"), RecordToCslJson(*record));
    if (!record->pdfUrl.isEmpty()) {
        object.insert(pdfKey, record->pdfUrl);
    }
}

SharedRecord RecordIn(const QJsonObject &object, const QString &pdfKey)
{
    const QJsonValue csl = object.value(QStringLiteral("record"));
    return csl.isObject()
               ? ShareRecord(RecordFromCslJson(csl.toObject(), object.value(pdfKey).toString()))
               : nullptr;
}

QString RecordSummary(const CitationRecord &r)
{
    QStringList lines;
    QStringList names;
    for (const CitationName &n : r.authors) {
        names << n.displayName();
    }
    if (names.size() > 6) {
        names = names.mid(0, 6) << QStringLiteral("…");
    }
    if (!names.isEmpty()) {
        lines << names.join(QStringLiteral("; "));
    }
    QStringList where;
    if (!r.containerTitle.isEmpty()) {
        where << r.containerTitle;
    }
    if (!r.volume.isEmpty()) {
        where << (r.issue.isEmpty() ? r.volume : r.volume + QStringLiteral("(%1)").arg(r.issue));
    }
    if (!r.pages().isEmpty()) {
        where << r.pages();
    }
    if (!r.issued.isEmpty()) {
        where << QString::number(r.issued.year);
    }
    if (!where.isEmpty()) {
        lines << where.join(QStringLiteral(", "));
    }
    if (!r.doi.isEmpty()) {
        lines << QStringLiteral("doi:") + r.doi;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace harvly
