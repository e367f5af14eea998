#include "citationreader.h"

#include "common/urls.h"

#include <gumbo.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

#include <functional>

namespace harvly {

namespace {

// The fields of one source as found, first occurrence kept; dates by their names' rank.
struct Source {
    CitationRecord record;
    QStringList dates; // in the order the source ranks them
};

void keep(QString &field, const QString &value)
{
    if (field.isEmpty()) {
        field = value.simplified();
    }
}

void keepType(CitationType &type, CitationType found)
{
    if (type == CitationType::Unknown) {
        type = found;
    }
}

QStringList splitKeywords(const QString &text)
{
    QStringList words = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (words.size() == 1) {
        words = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    }
    QStringList out;
    for (const QString &w : words) {
        if (!w.simplified().isEmpty()) {
            out << w.simplified();
        }
    }
    return out;
}

// The entities a JSON-LD text may still carry (markup decodes its own through the parser).
QString decodeEntities(QString text)
{
    if (!text.contains(QLatin1Char('&'))) {
        return text;
    }
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-z]+);"));
    QString out;
    qsizetype at = 0;
    for (const QRegularExpressionMatch &m : entity.globalMatch(text)) {
        out += text.mid(at, m.capturedStart() - at);
        const QString name = m.captured(1);
        QString decoded = m.captured(0);
        if (name.startsWith(QLatin1String("#x"))) {
            const char32_t code = name.mid(2).toUInt(nullptr, 16);
            decoded = QString::fromUcs4(&code, 1);
        } else if (name.startsWith(QLatin1Char('#'))) {
            const char32_t code = name.mid(1).toUInt();
            decoded = QString::fromUcs4(&code, 1);
        } else if (name == QLatin1String("amp")) {
            decoded = QStringLiteral("&");
        } else if (name == QLatin1String("lt")) {
            decoded = QStringLiteral("<");
        } else if (name == QLatin1String("gt")) {
            decoded = QStringLiteral(">");
        } else if (name == QLatin1String("quot")) {
            decoded = QStringLiteral("\"");
        } else if (name == QLatin1String("apos")) {
            decoded = QStringLiteral("'");
        } else if (name == QLatin1String("nbsp")) {
            decoded = QStringLiteral(" ");
        }
        out += decoded;
        at = m.capturedEnd();
    }
    return out + text.mid(at);
}

QString attribute(const GumboElement &e, const char *name)
{
    const GumboAttribute *a = gumbo_get_attribute(&e.attributes, name);
    return a ? QString::fromUtf8(a->value) : QString();
}

// The meta and link elements of the page's head, and its base address.
struct HeadTags {
    QList<std::pair<QString, QString>> metas; // name (lower case) and content
    QString pdfAlternate;
    QString base;
};

void walk(const GumboNode *node, HeadTags &tags)
{
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) {
        return;
    }
    const GumboElement &e = node->v.element;
    if (e.tag == GUMBO_TAG_META) {
        QString name = attribute(e, "name");
        if (name.isEmpty()) {
            name = attribute(e, "property");
        }
        const QString content = attribute(e, "content").simplified();
        if (!name.isEmpty() && !content.isEmpty()) {
            tags.metas.append({name.trimmed().toLower(), content});
        }
    } else if (e.tag == GUMBO_TAG_LINK) {
        const QStringList rel = attribute(e, "rel").toLower().split(QLatin1Char(' '));
        if (tags.pdfAlternate.isEmpty() && rel.contains(QLatin1String("alternate")) &&
            attribute(e, "type").trimmed().toLower() == QLatin1String("application/pdf")) {
            tags.pdfAlternate = attribute(e, "href").trimmed();
        }
    } else if (e.tag == GUMBO_TAG_BASE && tags.base.isEmpty()) {
        tags.base = attribute(e, "href").trimmed();
    }
    for (unsigned i = 0; i < e.children.length; ++i) {
        walk(static_cast<const GumboNode *>(e.children.data[i]), tags);
    }
}

// The head only: the tags live there, and parsing a whole 200 KB page would cost
// milliseconds a page.
HeadTags readHead(const QString &pageText)
{
    qsizetype end = pageText.indexOf(QLatin1String("</head"), 0, Qt::CaseInsensitive);
    if (end < 0) {
        end = pageText.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    }
    const QByteArray head = (end < 0 ? pageText.left(512 * 1024) : pageText.left(end)).toUtf8();
    HeadTags tags;
    GumboOutput *out =
        gumbo_parse_with_options(&kGumboDefaultOptions, head.constData(), size_t(head.size()));
    walk(out->root, tags);
    gumbo_destroy_output(&kGumboDefaultOptions, out);
    return tags;
}

Source citationTags(const HeadTags &tags)
{
    Source s;
    CitationRecord &r = s.record;
    QString published, date, online;
    for (const auto &[name, content] : tags.metas) {
        if (!name.startsWith(QLatin1String("citation_"))) {
            continue;
        }
        const QString field = name.mid(9);
        if (field == QLatin1String("title")) {
            keep(r.title, content);
        } else if (field == QLatin1String("author")) {
            r.authors << ParseCitationName(content);
        } else if (field == QLatin1String("authors")) {
            for (const QString &a : content.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (!a.simplified().isEmpty()) {
                    r.authors << ParseCitationName(a);
                }
            }
        } else if (field == QLatin1String("publication_date")) {
            keep(published, content);
        } else if (field == QLatin1String("date")) {
            keep(date, content);
        } else if (field == QLatin1String("online_date")) {
            keep(online, content);
        } else if (field == QLatin1String("journal_title")) {
            keep(r.containerTitle, content);
            keepType(r.type, CitationType::Article);
        } else if (field == QLatin1String("conference_title")) {
            keep(r.containerTitle, content);
            keepType(r.type, CitationType::Conference);
        } else if (field == QLatin1String("technical_report_institution") ||
                   field == QLatin1String("technical_report_number")) {
            keepType(r.type, CitationType::Report);
        } else if (field == QLatin1String("volume")) {
            keep(r.volume, content);
        } else if (field == QLatin1String("issue")) {
            keep(r.issue, content);
        } else if (field == QLatin1String("firstpage")) {
            keep(r.firstPage, content);
        } else if (field == QLatin1String("lastpage")) {
            keep(r.lastPage, content);
        } else if (field == QLatin1String("doi")) {
            keep(r.doi, NormalizeDoi(content));
        } else if (field == QLatin1String("issn")) {
            keep(r.issn, content);
        } else if (field == QLatin1String("publisher")) {
            keep(r.publisher, content);
        } else if (field == QLatin1String("language")) {
            keep(r.language, content);
        } else if (field == QLatin1String("abstract")) {
            keep(r.abstract, content);
        } else if (field == QLatin1String("keywords")) {
            r.keywords << splitKeywords(content);
        } else if (field == QLatin1String("pdf_url")) {
            keep(r.pdfUrl, content);
        }
    }
    s.dates = {published, date, online};
    return s;
}

Source dublinCoreAndPrism(const HeadTags &tags)
{
    Source s;
    CitationRecord &r = s.record;
    static const QRegularExpression dc(QStringLiteral("^(?:dc|dcterms)\\.(.+)$"));
    for (const auto &[name, content] : tags.metas) {
        const QRegularExpressionMatch m = dc.match(name);
        const QString field = m.hasMatch() ? m.captured(1) : QString();
        if (field == QLatin1String("title")) {
            keep(r.title, content);
        } else if (field == QLatin1String("creator")) {
            r.authors << ParseCitationName(content);
        } else if (field == QLatin1String("date") || field == QLatin1String("issued")) {
            s.dates << content;
        } else if (field == QLatin1String("identifier")) {
            keep(r.doi, NormalizeDoi(content));
        } else if (field == QLatin1String("publisher")) {
            keep(r.publisher, content);
        } else if (field == QLatin1String("language")) {
            keep(r.language, content);
        } else if (field == QLatin1String("subject")) {
            r.keywords << splitKeywords(content);
        } else if (name == QLatin1String("prism.doi")) {
            keep(r.doi, NormalizeDoi(content));
        } else if (name == QLatin1String("prism.publicationname")) {
            keep(r.containerTitle, content);
            keepType(r.type, CitationType::Article);
        } else if (name == QLatin1String("prism.volume")) {
            keep(r.volume, content);
        } else if (name == QLatin1String("prism.number")) {
            keep(r.issue, content);
        } else if (name == QLatin1String("prism.startingpage")) {
            keep(r.firstPage, content);
        } else if (name == QLatin1String("prism.endingpage")) {
            keep(r.lastPage, content);
        } else if (name == QLatin1String("prism.issn")) {
            keep(r.issn, content);
        }
    }
    return s;
}

QString jsonText(const QJsonValue &v)
{
    if (v.isString()) {
        return decodeEntities(v.toString()).simplified();
    }
    if (v.isDouble()) {
        return QString::number(v.toInteger());
    }
    if (v.isObject()) {
        return jsonText(v.toObject().value(QStringLiteral("name")));
    }
    if (v.isArray()) {
        return jsonText(v.toArray().at(0));
    }
    return {};
}

QList<QJsonValue> listOf(const QJsonValue &v)
{
    if (v.isArray()) {
        const QJsonArray a = v.toArray();
        return QList<QJsonValue>(a.begin(), a.end());
    }
    if (v.isUndefined() || v.isNull()) {
        return {};
    }
    return {v};
}

bool isWork(const QJsonObject &o)
{
    static const QStringList types{QStringLiteral("ScholarlyArticle"), QStringLiteral("Article"),
                                   QStringLiteral("Report")};
    for (const QJsonValue &t : listOf(o.value(QStringLiteral("@type")))) {
        if (types.contains(t.toString())) {
            return true;
        }
    }
    return false;
}

void readWork(const QJsonObject &o, Source &s)
{
    CitationRecord &r = s.record;
    for (const QJsonValue &t : listOf(o.value(QStringLiteral("@type")))) {
        keepType(r.type, t.toString() == QLatin1String("Report") ? CitationType::Report
                                                                 : CitationType::Article);
    }
    keep(r.title, jsonText(o.value(QStringLiteral("headline"))));
    keep(r.title, jsonText(o.value(QStringLiteral("name"))));
    if (r.authors.isEmpty()) {
        for (const QJsonValue &a : listOf(o.value(QStringLiteral("author")))) {
            const QJsonObject person = a.toObject();
            const QString family = jsonText(person.value(QStringLiteral("familyName")));
            if (!family.isEmpty()) {
                r.authors << CitationName{
                    family, jsonText(person.value(QStringLiteral("givenName"))), {}};
            } else if (const QString name = jsonText(a); !name.isEmpty()) {
                r.authors << ParseCitationName(name);
            }
        }
    }
    s.dates << jsonText(o.value(QStringLiteral("datePublished")));
    // The journal, perhaps through its issue and volume.
    QJsonValue part = o.value(QStringLiteral("isPartOf"));
    for (int depth = 0; depth < 4 && !part.isUndefined() && !part.isNull(); ++depth) {
        if (part.isString()) {
            keep(r.containerTitle, jsonText(part));
            break;
        }
        const QJsonObject p = part.isArray() ? part.toArray().at(0).toObject() : part.toObject();
        keep(r.issue, jsonText(p.value(QStringLiteral("issueNumber"))));
        keep(r.volume, jsonText(p.value(QStringLiteral("volumeNumber"))));
        const QString type = jsonText(p.value(QStringLiteral("@type")));
        if (type != QLatin1String("PublicationIssue") &&
            type != QLatin1String("PublicationVolume")) {
            keep(r.containerTitle, jsonText(p.value(QStringLiteral("name"))));
        }
        part = p.value(QStringLiteral("isPartOf"));
    }
    for (const char *name : {"identifier", "sameAs", "@id", "url"}) {
        for (const QJsonValue &id : listOf(o.value(QLatin1String(name)))) {
            const QJsonObject value = id.toObject();
            keep(r.doi, NormalizeDoi(id.isObject() ? jsonText(value.value(QStringLiteral("value")))
                                                   : id.toString()));
        }
    }
    keep(r.publisher, jsonText(o.value(QStringLiteral("publisher"))));
    keep(r.language, jsonText(o.value(QStringLiteral("inLanguage"))));
    keep(r.abstract, jsonText(o.value(QStringLiteral("abstract"))));
    keep(r.abstract, jsonText(o.value(QStringLiteral("description"))));
    keep(r.firstPage, jsonText(o.value(QStringLiteral("pageStart"))));
    keep(r.lastPage, jsonText(o.value(QStringLiteral("pageEnd"))));
    if (r.keywords.isEmpty()) {
        const QJsonValue words = o.value(QStringLiteral("keywords"));
        if (words.isString()) {
            r.keywords = splitKeywords(jsonText(words));
        } else {
            for (const QJsonValue &w : listOf(words)) {
                if (!jsonText(w).isEmpty()) {
                    r.keywords << jsonText(w);
                }
            }
        }
    }
}

// Every JSON-LD block of the page; a block that does not parse is passed over.
Source jsonLd(const QString &pageText)
{
    Source s;
    static const QString marker = QStringLiteral("application/ld+json");
    for (qsizetype at = pageText.indexOf(marker, 0, Qt::CaseInsensitive); at >= 0;
         at = pageText.indexOf(marker, at + 1, Qt::CaseInsensitive)) {
        const qsizetype open =
            pageText.lastIndexOf(QLatin1String("<script"), at, Qt::CaseInsensitive);
        const qsizetype start = pageText.indexOf(QLatin1Char('>'), at);
        if (open < 0 || start < 0 || pageText.lastIndexOf(QLatin1Char('>'), at) > open) {
            continue; // the words stand outside a script tag
        }
        const qsizetype end =
            pageText.indexOf(QLatin1String("</script"), start, Qt::CaseInsensitive);
        if (end < 0) {
            break;
        }
        const QJsonDocument doc =
            QJsonDocument::fromJson(pageText.mid(start + 1, end - start - 1).toUtf8());
        QList<QJsonValue> items =
            doc.isArray() ? listOf(doc.array()) : QList<QJsonValue>{doc.object()};
        for (qsizetype i = 0; i < items.size() && i < 200; ++i) {
            const QJsonObject o = items.at(i).toObject();
            items << listOf(o.value(QStringLiteral("@graph")));
            if (isWork(o)) {
                readWork(o, s);
            }
        }
        at = end;
    }
    return s;
}

// A link of the page as an absolute http(s) address, or "" (javascript:, file:, a relative
// link with nothing to resolve it against).
QString absoluteWebLink(const QString &link, const QUrl &base)
{
    if (link.trimmed().isEmpty()) {
        return {};
    }
    const QUrl url = base.resolved(QUrl(link.trimmed()));
    return IsFetchableAddress(url) ? url.toString() : QString();
}

void merge(CitationRecord &into, const Source &from)
{
    const CitationRecord &r = from.record;
    keepType(into.type, r.type);
    for (QString CitationRecord::*field :
         {&CitationRecord::title, &CitationRecord::containerTitle, &CitationRecord::volume,
          &CitationRecord::issue, &CitationRecord::firstPage, &CitationRecord::lastPage,
          &CitationRecord::doi, &CitationRecord::issn, &CitationRecord::publisher,
          &CitationRecord::language, &CitationRecord::abstract}) {
        keep(into.*field, r.*field);
    }
    if (into.authors.isEmpty()) {
        for (const CitationName &n : r.authors) {
            if (!n.displayName().isEmpty()) {
                into.authors << n;
            }
        }
    }
    if (into.keywords.isEmpty()) {
        into.keywords = r.keywords;
    }
    for (const QString &date : from.dates) {
        if (into.issued.isEmpty()) {
            into.issued = ParseCitationDate(date);
        }
    }
}

} // namespace

CitationRecord ReadCitationRecord(const QString &pageText, const QString &pageUrl)
{
    const HeadTags tags = readHead(pageText);
    const QUrl page(pageUrl);
    const QUrl base = tags.base.isEmpty() ? page : page.resolved(QUrl(tags.base));

    CitationRecord record;
    const Source citation = citationTags(tags);
    merge(record, citation);
    merge(record, dublinCoreAndPrism(tags));
    merge(record, jsonLd(pageText));
    for (const auto &[name, content] : tags.metas) {
        if (name == QLatin1String("og:title")) {
            keep(record.title, content);
        }
    }
    record.pdfUrl = absoluteWebLink(citation.record.pdfUrl, base);
    if (record.pdfUrl.isEmpty()) {
        record.pdfUrl = absoluteWebLink(tags.pdfAlternate, base);
    }
    record.pageUrl = pageUrl;
    return record;
}

} // namespace harvly
