#include "harvest.h"

#include "citationreader.h"
#include "common/filenames.h"
#include "pagemarkers.h"

#include "resultlist.h"

#include <QSet>

namespace harvly {

namespace {

QString unescapeAmp(QString link)
{
    return link.replace(QLatin1String("&amp;"), QLatin1String("&"));
}

// A page without the site's markers whose record names its PDF (other publishers and
// databases) as one row, titled by the record or else by the PDF's file name.
bool addRecordPdf(const SharedRecord &record, const QString &page, ResultListModel &list,
                  const HarvestOptions &o)
{
    if (!record || record->pdfUrl.isEmpty()) {
        return false;
    }
    QString title = record->title;
    if (title.isEmpty()) {
        title = GetFileNameFromPath(record->pdfUrl, true);
    }
    list.AddToLV1(title, record->pdfUrl, page, QStringLiteral("pdf"), o.savePath,
                  QStringLiteral("SS"), record);
    return true;
}

} // namespace

int HarvestContentAreaPage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o)
{
    static const QSet<QString> titles = {"previewtitle resulttitle topicsresult", "resulttitle",
                                         "previewtitle topicsresult"};
    static const QSet<QString> pdfs = {
        "formats_base_sprite format_pdf",
        "addflashpageparameterformat_fulltextpdf formats_base_sprite format_pdf"};
    static const QString htm =
        QStringLiteral("addflashpageparameterformat_fulltext formats_base_sprite format_fulltext");
    int count = 0;
    for (const DomNode *div : doc.elementsByTagName(QStringLiteral("div"))) {
        if (div->className.toLower() != QLatin1String("contentarea")) {
            continue;
        }
        QString title;
        QString link;
        QString type;
        // Later matches overwrite earlier ones: the last matching anchor of a record wins.
        for (const DomNode *a : div->elementsByTagName(QStringLiteral("A"))) {
            const QString cls = a->className.trimmed().toLower();
            if (titles.contains(cls)) {
                title = a->innerText().trimmed();
            } else if (pdfs.contains(cls)) {
                link = a->href.trimmed();
                type = QStringLiteral("pdf");
            } else if (o.withHtm && cls == htm) {
                link = a->href.trimmed();
                type = QStringLiteral("htm");
            }
        }
        if (!title.isEmpty() && !link.isEmpty()) {
            const bool pdf = type == QLatin1String("pdf");
            list.AddToLV1(title, unescapeAmp(link), doc.url, pdf ? "pdf" : "htm", o.savePath,
                          pdf ? "SPC" : "DT");
            ++count;
        }
    }
    return count;
}

int HarvestItemTitlePage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o)
{
    int count = 0;
    // Title and link live in separate divisions and carry over from one division to the next.
    QString title;
    QString link;
    for (const DomNode *div : doc.elementsByTagName(QStringLiteral("div"))) {
        const QString cls = div->className.toLower();
        if (cls == QLatin1String("item_tit")) {
            const auto anchors = div->elementsByTagName(QStringLiteral("A"));
            if (anchors.size() == 1) {
                title = anchors.first()->innerText().trimmed();
            }
        } else if (cls == QLatin1String("item_text2")) {
            const auto anchors = div->elementsByTagName(QStringLiteral("A"));
            if (anchors.size() == 2 && anchors.at(1)->innerText().contains(
                                           QStringLiteral("查看PDF全文"), Qt::CaseInsensitive)) {
                link = anchors.at(1)->href.trimmed();
            }
        }
        if (!title.isEmpty() && !link.isEmpty()) {
            list.AddToLV1(title, link, doc.url, QStringLiteral("pdf"), o.savePath,
                          QStringLiteral("DT"));
            ++count;
            title.clear();
            link.clear();
        }
    }
    return count;
}

int HarvestItemPage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o)
{
    if (doc.isEmpty()) {
        return 0;
    }
    int count = 0;
    for (const DomNode *div : doc.elementsByTagName(QStringLiteral("DIV"))) {
        if (div->className.trimmed() != QLatin1String("item")) { // exact, case-sensitive
            continue;
        }
        QString title;
        QString link;
        bool pdf = false;
        for (const DomNode *a : div->elementsByTagName(QStringLiteral("A"))) {
            const QString text = a->innerText().trimmed().remove(QLatin1Char(' ')).toLower();
            const QString aLink = unescapeAmp(a->href.trimmed());
            if (a->className.trimmed().toLower() == QLatin1String("previewtitle topicsresult")) {
                title = a->innerText().trimmed();
            } else if (text == QLatin1String("fulltext-pdf")) {
                link = aLink;
                pdf = true;
            } else if (text == QLatin1String("fulltext")) {
                link = aLink;
                pdf = false;
            }
            if (!title.isEmpty() && !link.isEmpty()) {
                break;
            }
        }
        if (title.isEmpty() || link.isEmpty()) {
            continue;
        }
        if (pdf) {
            list.AddToLV1(title, link, doc.url, QStringLiteral("pdf"), o.savePath,
                          QStringLiteral("PQ1"));
        } else if (o.withHtm) {
            list.AddToLV1(title, link, doc.url, QStringLiteral("htm"), o.savePath,
                          QStringLiteral("PQ1"));
        }
        ++count; // counted also when the HTML link was not taken
    }
    return count;
}

bool ExtractSingleArticlePdfUrl(const DomDocument &doc, ResultListModel &list,
                                const HarvestOptions &o)
{
    if (doc.isEmpty()) {
        return false;
    }
    bool added = false;
    const auto record = [&doc] { return ShareRecord(ReadCitationRecord(doc.outerHtml, doc.url)); };
    if (const DomNode *anchor = doc.elementById(QStringLiteral("downloadPDFLink"))) {
        const QString link = unescapeAmp(anchor->href).trimmed();
        const auto headers = doc.elementsByClassName(QStringLiteral("docViewContentHeader"));
        if (!link.isEmpty() && !headers.isEmpty()) {
            const auto h1 = headers.first()->elementsByTagName(QStringLiteral("h1"));
            const QString title = h1.isEmpty() ? QString() : h1.first()->innerText().trimmed();
            if (!title.isEmpty()) {
                list.AddToLV1(title, link, doc.url, QStringLiteral("pdf"), o.savePath,
                              QStringLiteral("SS"), record());
                added = true;
            }
        }
    }
    added = added || addRecordPdf(record(), doc.url, list, o);
    if (!added && o.onCharactersCheck &&
        doc.outerHtml.contains(kCharactersCheckText, Qt::CaseInsensitive)) {
        o.onCharactersCheck();
    }
    return added;
}

bool ExtractSingleArticlePdfUrl2(const QString &html, const QString &address, ResultListModel &list,
                                 const HarvestOptions &o, const QString &pageUrl)
{
    const DocumentLink doc = FindDocumentLink(html);
    const SharedRecord record =
        ShareRecord(ReadCitationRecord(html, pageUrl.isEmpty() ? address : pageUrl));
    bool added = false;
    if (!doc.link.isEmpty() && !doc.title.isEmpty()) {
        list.AddToLV1(doc.title, doc.link, address, QStringLiteral("pdf"), o.savePath,
                      QStringLiteral("SS"), record);
        added = true;
    }
    added = added || addRecordPdf(record, address, list, o);
    if (!added && o.onCharactersCheck && html.contains(kCharactersCheckText, Qt::CaseInsensitive)) {
        o.onCharactersCheck();
    }
    return added;
}

void HarvestCurrentPage(const DomDocument &doc, ResultListModel &list, const HarvestOptions &o)
{
    if (HarvestContentAreaPage(doc, list, o) || HarvestItemTitlePage(doc, list, o) ||
        HarvestItemPage(doc, list, o)) {
        return;
    }
    ExtractSingleArticlePdfUrl(doc, list, o);
}

const DomNode *FindNextPageLink(const DomDocument &doc)
{
    for (const DomNode *link : doc.links()) {
        const QString text = link->innerText().trimmed().toLower();
        if ((link->className.toLower() == QLatin1String("arrows_base_sprite arrow_next") &&
             text == QStringLiteral("下一页")) ||
            text.startsWith(QLatin1String("next"))) {
            return link;
        }
    }
    return nullptr;
}

bool HasHarvestableContent(const DomDocument &doc)
{
    for (const DomNode *div : doc.elementsByTagName(QStringLiteral("div"))) {
        const QString cls = div->className.toLower();
        if (cls == QLatin1String("contentarea") || cls == QLatin1String("item_tit") ||
            div->className.trimmed() == QLatin1String("item")) {
            return true;
        }
    }
    return doc.elementById(QStringLiteral("downloadPDFLink")) != nullptr;
}

} // namespace harvly
